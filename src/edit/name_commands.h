// The range-name commands: Create, Delete and Reset of the names dialog,
// Build (names from labels) and Table (the name list written into the sheet).
#pragma once

#include <string_view>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Create: defines the name for the parsed range text. False (the dialog
// beeps) when the name is empty, the range undefined or invalid, or the
// table is full.
bool CreateName(SheetDocument& doc, std::string_view name, std::string_view rangeText);
// Delete: false (beep) when the name does not exist.
bool DeleteName(SheetDocument& doc, std::string_view name);

// Build: for each row of the range, the text value of its first cell names
// the range written in the cell to its right. Stops when the table holds 240
// names. Returns the number of names defined or replaced.
int BuildNames(SheetDocument& doc, const CellRange& from);

// Table: writes every name (as a label) and its range text into two columns
// starting at the cell; stops at the first entry that fails (the error
// channel says why). Returns false on such a failure.
bool WriteNameTable(SheetDocument& doc, int row, int col);

}  // namespace tabulon
