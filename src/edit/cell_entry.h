// Cell entry: the one path by which typed text becomes cell content.
#pragma once

#include <string>
#include <string_view>

#include "base/number_parse.h"

namespace tabulon {

class SheetDocument;

struct EntryResult {
  bool ok = true;           // false: the error channel says why
  bool recalculated = false;  // dependents were recalculated (repaint the sheet)
  int errorPosition = 0;    // a formula that does not compile: where it stopped (1-based)
};

// Classifies the text (label, number, date in a D4/D5 cell, or formula),
// stores it in the cell at (row, col) and recalculates as the mode asks.
// Failures ("Protected Cell", "Out of Range", a formula that does not
// compile) are reported through the session's error channel.
EntryResult EnterCell(SheetDocument& doc, std::string_view text, int row, int col);

}  // namespace tabulon
