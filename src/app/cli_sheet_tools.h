// The find and audit commands of tabulon-cli: what they find in a loaded
// sheet, left for the command line to print. Both run the same code as the
// windowed program's Find & Replace and audit dialogs.
#pragma once

#include <string>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

struct FindRequest {
  std::string text;         // at most FindReplace::kMaxFindText bytes
  std::string replacement;  // used with `replace`
  bool replace = false;
  bool matchCase = false;
  CellRange scope;  // undefined: the whole used area
};

struct FindMatch {
  CellAddress cell;
  std::string contents;  // the cell's entry text when it was found
};

struct FindOutcome {
  std::vector<FindMatch> matches;  // in the order Find visits them
  int changedCells = 0;            // cells whose text a replacement changed
  int refused = 0;                 // replacements refused (protection, length)
};

// Finds every cell containing the text, in the dialog's scan order (rows
// then columns), and with `replace` replaces every occurrence as Replace All
// does. A replacement that contains the find text is made once per
// occurrence; one that would make a cell longer than a cell holds, or a
// protected cell, is refused and counted.
FindOutcome FindInSheet(SheetDocument& doc, const FindRequest& request);

// The dependents tree of a cell as text lines, each indented two spaces per
// level, then the summary line "Total References: n   Depth: d".
struct AuditTreeText {
  std::vector<std::string> lines;
  bool missing = false;    // no cell record at the address
  bool truncated = false;  // the tree was cut at its line limit
};
AuditTreeText DependentsText(SheetDocument& doc, CellAddress cell, int depth);

}  // namespace tabulon
