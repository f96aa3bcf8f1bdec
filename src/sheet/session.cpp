#include "sheet/session.h"

#include "base/text.h"
#include "platform/host.h"

namespace tabulon {

SheetDocument::SheetDocument(Session& session, int slot)
    : session_(session),
      slot_(slot),
      settings_(session.settings().sheetDefaults),
      cells_(session.errors(), settings_.modified) {
  settings_.modified = false;
}

Session::Session(Host& host) : host_(host) {}

Session::~Session() {
  current_ = nullptr;
  for (auto& d : docs_) d.reset();
  formulaPart_.reset();
}

void Session::ShowError(std::string_view message) { tabulon::ShowError(host_, message); }

SheetDocument* Session::NewDocument() {
  for (int i = 0; i < kDocumentSlots; ++i) {
    if (!docs_[i]) {
      docs_[i] = std::make_unique<SheetDocument>(*this, i + 1);
      docs_[i]->refCount = 1;
      return docs_[i].get();
    }
  }
  errors_.Fail("Too many worksheets");
  return nullptr;
}

SheetDocument* Session::FindDocument(std::string_view fileName) {
  if (fileName.empty()) return nullptr;
  std::string key = UpperCase(fileName);
  for (auto& d : docs_)
    if (d && !d->fileName().empty() && UpperCase(d->fileName()) == key) return d.get();
  return nullptr;
}

void Session::Release(SheetDocument& doc) {
  if (--doc.refCount > 0) return;
  int slot = doc.slot();
  if (current_ == &doc) current_ = nullptr;
  docs_[slot - 1].reset();
}

int Session::documentCount() const {
  int n = 0;
  for (auto& d : docs_) n += d ? 1 : 0;
  return n;
}

}  // namespace tabulon
