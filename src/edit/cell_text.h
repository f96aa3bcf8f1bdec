// The texts and values read from a cell: its number, its string value, what
// a cell shows formatted, what the input line shows for editing, and the
// cell indicator's attribute text.
#pragma once

#include <string>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

// A number as the input line offers it: the input form where that reads
// back as the same number, otherwise as many digits as it takes (up to 17),
// so that editing and entering the text again never changes a value.
std::string NumberEditText(double x, char decimalChar);

// 0 for a missing cell, a label, a text result, an empty cell and any
// error; otherwise the number.
double CellNumber(const CellRecord* cell);

// A text result, or a label without its prefix; otherwise empty.
std::string CellStringValue(const CellRecord* cell);

// What the cell shows: "'" and the text result of a string formula, the
// formatted value (20 digits wide) of a number or numeric formula, a label
// with its prefix; empty for empty cells and errors.
std::string CellDisplayText(SheetDocument& doc, const CellRecord* cell);

// What the input line offers for editing: the number in input form (with
// every digit it needs to read back as the same number), the integer's
// digits, the label with its prefix, the formula text; empty otherwise.
std::string CellEditText(SheetDocument& doc, const CellRecord* cell);

// The input line's contents for the cell under the cursor. With protection
// on, a locked or missing cell shows "* Protected *" and the line is
// disabled.
struct InputLineContents {
  std::string text;
  bool disabled = false;
};
InputLineContents CellContents(SheetDocument& doc, int row, int col);

// " [" attributes "]" for the cell indicator: the format's short name when
// the cell has its own format, "," and the style byte when it is not zero,
// the protection mark when protection is on; empty when there is nothing
// to show.
std::string CellAttributeText(SheetDocument& doc, int row, int col);

// The cell indicator: the cursor's address and attribute text for a
// single-cell selection, the selection's range text otherwise.
std::string CellIndicatorText(SheetDocument& doc, CellAddress cursor, const CellRange& selection);

}  // namespace tabulon
