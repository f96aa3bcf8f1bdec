// Bin: a frequency table of the values of a column over a list of bin
// boundaries, with each count's fraction of the values.
#pragma once

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Counts the non-blank cells of the input range's first column (anything
// but a number counts as 0) per boundary of the table range's first column:
// below the first boundary, then between each boundary and the one before
// it (`lowerClosed`: a <= x < b, otherwise a < x <= b). Each count goes one
// column right of its boundary and its fraction of the input's row count
// two columns right; the row after the last boundary receives what is left
// (values above the last boundary, and blank cells). An undefined range
// does nothing. A table whose results would fall past the sheet fails with
// "Out of Range", a locked result cell under protection with "Protected
// Cell", before anything is written. The caller takes the undo snapshot.
bool BinValues(SheetDocument& doc, const CellRange& input, const CellRange& table,
               bool lowerClosed);

}  // namespace tabulon
