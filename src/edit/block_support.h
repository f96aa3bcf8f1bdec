// Helpers shared by the block commands: protection and range checks, the
// re-registration of range formulas whose rectangles a command reshapes,
// and the closing recalculation.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sheet/address.h"
#include "sheet/sheet_document.h"

namespace tabulon::block {

// True when protection is on and the cell is missing or locked.
inline bool IsLockedForEntry(const SheetDocument& doc, const CellRecord* cell) {
  if (!doc.settings().protect) return false;
  return cell == nullptr || cell->IsLocked();
}

// Defined, and both corners inside the sheet.
inline bool InSheet(const CellRange& r) {
  return r.IsDefined() && RowInSheet(r.firstRow) && RowInSheet(r.lastRow) &&
         ColumnInSheet(r.firstCol) && ColumnInSheet(r.lastCol);
}

// A range operand registers its formula with every cell of its rectangle.
// When a command moves or deletes records inside such a rectangle, or moves
// one of its corners, the rectangle and the registered cells part ways.
// Capture() notes, before the command, every formula with a range operand
// that depends on a record of the given rectangles, together with the
// records it is registered with; Restore() afterwards takes it off those
// records and registers it again over its rectangles as they now are.
class RangeRegistrations {
 public:
  void Capture(SheetDocument& doc, std::initializer_list<CellRange> regions);
  // Returns the formulas that were registered again (to recalculate).
  std::vector<CellId> Restore(SheetDocument& doc);

 private:
  struct Entry {
    CellId formula;
    std::size_t first, last;  // its registered records in footprint_
  };
  std::vector<Entry> entries_;
  std::vector<CellId> footprint_;
};

// Recalculates the cells and their dependents unless recalculation is
// manual; dead identities are skipped.
void Recalculate(SheetDocument& doc, std::vector<CellId>& cells);
// A full recalculation unless recalculation is manual.
void RecalculateAll(SheetDocument& doc);

}  // namespace tabulon::block
