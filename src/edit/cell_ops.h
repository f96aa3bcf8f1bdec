// Cell operations that reach beyond the store: erasing an entry unlinks its
// formula, deleting a record invalidates the formulas and ranges that use it.
#pragma once

#include <vector>

#include "base/limits.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

// Erases the entry of a cell that is not already empty: the formula's
// references are unlinked, the text freed, the kind set to Empty. Style,
// format and lock stay.
void BlankCell(SheetDocument& doc, CellRecord& cell);

// Prepares a record for removal: every formula that refers to it gets the
// null reference in its place (ranges with it as a corner lose both corners)
// and is recalculated; every stored range with a corner on it becomes
// undefined; its own formula is unlinked and its text freed. The caller
// frees the record. When `pending` is given, the affected formulas are
// appended to it instead of being recalculated at once.
void DeleteCell(SheetDocument& doc, CellRecord& cell, std::vector<CellId>* pending = nullptr);

// Stores a number in a cell that may hold a formula or a label.
void SetNumber(SheetDocument& doc, CellRecord& cell, double x);

}  // namespace tabulon
