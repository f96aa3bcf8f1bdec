// Cell entry: the one path by which typed text becomes cell content.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;

struct EntryResult {
  bool ok = true;           // false: the error channel says why
  bool recalculated = false;  // dependents were recalculated (repaint the sheet)
};

// Classifies the text (label, number, date in a D4/D5 cell, or formula),
// stores it in the cell at (row, col) and recalculates as the mode asks.
// Failures ("Protected Cell", "Out of Range", a formula that does not
// compile) are reported through the session's error channel.
EntryResult EnterCell(SheetDocument& doc, std::string_view text, int row, int col);

struct ParsedNumber {
  double value = 0;
  int errorPosition = 0;  // 0: the whole text is a number; else 1-based position
};
// Reads a number the way entry does: configured decimal character, optional
// sign, fraction and exponent; no thousands separators, currency or "%".
ParsedNumber ParseNumber(std::string_view text, char decimalChar);

}  // namespace tabulon
