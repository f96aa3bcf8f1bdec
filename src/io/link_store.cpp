#include "io/link_store.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "base/text.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "io/worksheet_file.h"
#include "sheet/session.h"

namespace tabulon {

namespace fs = std::filesystem;

namespace {

// Paths name the same file when equal, or equal but for case: @LINK gives
// its file name in capitals, as files used to be named.
bool SamePath(const std::string& a, const std::string& b) {
  return a == b || (a.size() == b.size() && UpperCase(a) == UpperCase(b));
}

// The file a path names: itself when it exists, else a file of the same
// folder whose name differs only in case.
std::string ExistingFile(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return path;
  fs::path p(path);
  std::string want = UpperCase(p.filename().string());
  for (fs::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec))
    if (UpperCase(it->path().filename().string()) == want) return it->path().string();
  return path;
}

}  // namespace

const char* LinkStateText(LinkState state) {
  switch (state) {
    case LinkState::Loaded: return "Loaded";
    case LinkState::Open: return "Open";
    case LinkState::Missing: return "Not found";
    case LinkState::Damaged: return "Damaged";
    case LinkState::Self: return "Links to itself";
    case LinkState::Circular: return "Circular";
  }
  return "";
}

std::string NormalLinkPath(const std::string& path) {
  fs::path p(path);
  if (p.is_relative()) {
    std::error_code ec;
    fs::path abs = fs::absolute(p, ec);
    if (!ec) p = abs;
  }
  return p.lexically_normal().string();
}

LinkStore::LinkStore(Session& session) : session_(session) { Engine(session_).links = this; }

LinkStore::~LinkStore() {
  FormulaEngine& engine = Engine(session_);
  if (engine.links == this) engine.links = nullptr;
}

void LinkStore::Reload() {
  for (auto& [path, source] : sources_) {
    source.doc.reset();
    source.tried = false;
    source.targetsOf = nullptr;
  }
}

void LinkStore::Reset() { sources_.clear(); }

std::vector<LinkSourceInfo> LinkStore::Sources() const {
  std::vector<LinkSourceInfo> out;
  for (const auto& [path, source] : sources_)
    out.push_back({path, source.state, source.doc ? source.doc->cells().recordCount() : 0});
  return out;
}

LinkStore::Source& LinkStore::Entry(const std::string& path) { return sources_[path]; }

void LinkStore::Load(const std::string& path, Source& source) {
  source.tried = true;
  source.doc.reset();
  source.targetsOf = nullptr;
  // A name without an extension means a worksheet, as opening it would.
  std::string file = ExistingFile(path);
  std::error_code ec;
  if (!fs::exists(file, ec)) file = ExistingFile(WorksheetFileName(path));
  if (!fs::is_regular_file(file, ec)) {
    source.state = LinkState::Missing;
    return;
  }
  auto doc = std::make_unique<SheetDocument>(session_, 0);
  // Loading reports through the error channel; a link is silent, and the
  // formula being evaluated must not see a message that is not its own.
  ErrorChannel& errors = session_.errors();
  bool failed = errors.failed();
  std::string message = errors.message();
  LoadResult r = LoadWorksheet(*doc, file, kExternalLoad);
  errors.Clear();
  if (failed) errors.Fail(message);
  if (r.status != LoadStatus::Loaded) {
    source.state = LinkState::Damaged;
    return;
  }
  doc->SetFileName(file);
  source.doc = std::move(doc);
  source.state = LinkState::Loaded;
}

SheetDocument* LinkStore::Document(const std::string& path, Source& source) {
  SheetDocument* open = nullptr;
  for (int slot = 1; slot <= kDocumentSlots; ++slot) {
    SheetDocument* d = session_.Document(slot);
    if (d == nullptr || d->fileName().empty()) continue;
    std::string name = NormalLinkPath(d->fileName());
    if (name == path) {
      open = d;
      break;
    }
    if (open == nullptr && SamePath(name, path)) open = d;
  }
  if (open != nullptr) {
    source.state = LinkState::Open;
    return open;
  }
  if (!source.tried) Load(path, source);
  if (source.doc == nullptr) return nullptr;
  source.state = LinkState::Loaded;
  return source.doc.get();
}

const std::vector<std::string>& LinkStore::Targets(const std::string& path) {
  Source& source = Entry(path);
  SheetDocument* doc = Document(path, source);
  if (doc == nullptr) {
    source.targets.clear();
    source.targetsOf = nullptr;
    return source.targets;
  }
  std::uint64_t version = doc->cells().structureVersion();
  if (source.targetsOf == doc && source.targetsVersion == version) return source.targets;
  std::set<std::string> found;
  std::string folder = LinkFolder(*doc);
  CellStore& cells = doc->cells();
  cells.ForEachIn(0, 0, cells.maxRow(), cells.maxCol(), [&](CellRecord& c) {
    if (!c.IsFormula() || c.text == nullptr) return;
    const std::uint8_t* code = c.text;
    int end = CodeEnd(code);
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op != kOpLink) return;
      std::string typed;
      for (int i = pos + 9; i < end && code[i] != 0; ++i) typed.push_back(static_cast<char>(code[i]));
      found.insert(NormalLinkPath(ResolveLinkPath(typed, folder)));
    });
  });
  source.targets.assign(found.begin(), found.end());
  source.targetsOf = doc;
  source.targetsVersion = version;
  return source.targets;
}

bool LinkStore::LeadsTo(const std::string& start, const std::string& goal) {
  std::set<std::string> seen{start};
  std::vector<std::string> todo{start};
  while (!todo.empty()) {
    std::string path = todo.back();
    todo.pop_back();
    std::vector<std::string> next = Targets(path);  // copied: Entry may add sources
    for (const std::string& t : next) {
      if (SamePath(t, goal)) return true;
      if (seen.insert(t).second) todo.push_back(t);
    }
  }
  return false;
}

SheetDocument* LinkStore::Linked(const std::string& resolved, const SheetDocument& from) {
  std::string path = NormalLinkPath(resolved);
  std::string self = from.fileName().empty() ? std::string() : NormalLinkPath(from.fileName());
  Source& source = Entry(path);
  if (!self.empty() && SamePath(path, self)) {
    source.state = LinkState::Self;
    return nullptr;
  }
  SheetDocument* doc = Document(path, source);
  if (doc == nullptr) return nullptr;
  if (doc == &from) {
    source.state = LinkState::Self;
    return nullptr;
  }
  // Files that link to each other are common (a summary and its parts):
  // what is read is the value stored in the other file, which evaluates
  // nothing, so the link is answered and only marked in the table.
  if (!self.empty() && LeadsTo(path, self)) Entry(path).state = LinkState::Circular;
  return doc;
}

}  // namespace tabulon
