#include "ui/names_dialog.h"

#include "platform/host.h"
#include "sheet/address.h"
#include "sheet/range_names.h"
#include "sheet/sheet_document.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

std::string RangeOf(const SheetDocument& doc, const CellRange& r) {
  return r.IsDefined() ? RangeText(r, doc.settings().pageHeight) : std::string();
}

}  // namespace

void NamesDialog::Activate() {
  name.clear();
  SheetWindow* w = ws_.active();
  range = w != nullptr ? RangeOf(w->document(), w->SelectionRange()) : std::string();
  Refresh();
}

void NamesDialog::Refresh() {
  list_.clear();
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  const SheetDocument& doc = w->document();
  for (const RangeName& n : doc.names().entries()) {
    std::string line = n.name;
    line.resize(std::max<std::size_t>(line.size() + 2, 14), ' ');
    list_.push_back(line + RangeOf(doc, n.range));
  }
}

std::string NamesDialog::TotalText() const { return "Total: " + std::to_string(list_.size()); }

void NamesDialog::Choose(int index) {
  SheetWindow* w = ws_.active();
  if (w == nullptr || index < 0) return;
  const NameTable& names = w->document().names();
  if (index >= names.count()) return;
  const RangeName& n = names.entry(index + 1);
  name = n.name;
  range = RangeOf(w->document(), n.range);
}

bool NamesDialog::Create() {
  bool ok = static_cast<bool>(ws_.Execute("range.create", {name, range}));
  Refresh();
  return ok;
}

bool NamesDialog::Delete() {
  bool ok = static_cast<bool>(ws_.Execute("range.delete", {name}));
  if (ok) name.clear(), range.clear();
  Refresh();
  return ok;
}

bool NamesDialog::Reset() {
  if (!ws_.host().AskOkCancel("Names", "Reset All Names: Are You Sure?")) return false;
  bool ok = static_cast<bool>(ws_.Execute("range.reset"));
  Refresh();
  return ok;
}

void NamesDialog::Build() { ws_.Invoke("range.build"); }
void NamesDialog::Table() { ws_.Invoke("range.table"); }

}  // namespace tabulon
