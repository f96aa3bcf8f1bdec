// Fill: an arithmetic, geometric or power sequence written into a range,
// and Speed Fill, which continues the selection's top-left cell.
#pragma once

#include <functional>
#include <string>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

enum class FillType { kLinear = 1, kMultiply = 2, kPower = 3 };
enum class FillOrder { kRow = 1, kColumn = 2 };

struct FillSpec {
  CellRange output;
  double start = 0;
  double step = 1;
  FillType type = FillType::kLinear;
  FillOrder order = FillOrder::kRow;
};

// Called every 2048 cells with the cells done and the range's cell count.
using FillProgress = std::function<void(long done, long total)>;

// Writes the sequence into every cell of the range: along each row (Row)
// or down each column (Column). A whole start and step make a Linear fill
// count in exact steps; otherwise each value comes from the one before.
// Recalculation waits until the range is complete. An undefined range does
// nothing; a range reaching past the sheet fails with "Out of Memory" and a
// locked cell under protection with "Protected Cell", before anything is
// written. The caller takes the undo snapshot.
bool FillRange(SheetDocument& doc, const FillSpec& spec, const FillProgress& progress = {});

// Column letters for any column number, continuing past IV the same way
// (IW, IX, ... ZZ, AAA).
std::string ColumnName(long column);

// Speed Fill of the selection from its top-left cell: a one-character
// label counts on in column letters, a formula is copied, a number starts
// a Linear fill with step 1 (along the rows when the selection is at least
// as wide as it is tall). False when the top-left cell is none of these
// (nothing changes) or a step failed (the error channel says why). The
// caller takes the undo snapshot.
bool SpeedFill(SheetDocument& doc, const CellRange& selection);

}  // namespace tabulon
