// The link store: the worksheets that links of open sheets read values out
// of. A source file is read once, without its names or settings and without
// linking its formulas (their stored results are the values), and kept
// until Uplink reads every source again or Reset forgets them. A file that
// is open in a window is read from its window's document instead, so a
// link sees the values the user sees.
//
// A link that cannot be answered gives no document, which the formula reads
// as ERR (or N/A through @LINK): a missing or damaged file, the linking
// sheet's own file, and a file whose links lead back to the linking sheet.
// No link ever evaluates another sheet, so nothing can loop.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formula/links.h"

namespace tabulon {

class Session;

enum class LinkState { Loaded, Open, Missing, Damaged, Self, Circular };

// "Loaded", "Open", "Not found", ... as the external reference table shows it.
const char* LinkStateText(LinkState state);

struct LinkSourceInfo {
  std::string path;
  LinkState state = LinkState::Missing;
  std::size_t cells = 0;  // cells held by a loaded source
};

class LinkStore : public LinkSource {
 public:
  // Installs the store as the session's link source; the destructor takes
  // it out again.
  explicit LinkStore(Session& session);
  ~LinkStore() override;
  LinkStore(const LinkStore&) = delete;
  LinkStore& operator=(const LinkStore&) = delete;

  // Reads every source file again (File > Uplink). Sources that could not
  // be read before are tried again.
  void Reload();
  // Forgets every source; links read their files afresh when next used.
  void Reset();
  // Every source looked up so far, in path order, with what became of it.
  std::vector<LinkSourceInfo> Sources() const;

 protected:
  SheetDocument* Linked(const std::string& path, const SheetDocument& from) override;

 private:
  struct Source {
    std::unique_ptr<SheetDocument> doc;  // null when not loaded (see state)
    LinkState state = LinkState::Missing;
    bool tried = false;
    // The resolved paths this source's own links name, and the structure
    // version of an open document they were read at.
    std::vector<std::string> targets;
    std::uint64_t targetsVersion = ~0ull;
    const SheetDocument* targetsOf = nullptr;
  };

  Source& Entry(const std::string& path);
  // The open document of a path, or the loaded source; null when neither.
  SheetDocument* Document(const std::string& path, Source& source);
  void Load(const std::string& path, Source& source);
  const std::vector<std::string>& Targets(const std::string& path);
  bool LeadsTo(const std::string& start, const std::string& goal);

  Session& session_;
  std::map<std::string, Source> sources_;
};

// A path made absolute and normal, as the store keys its sources.
std::string NormalLinkPath(const std::string& path);

}  // namespace tabulon
