// The block commands that rearrange cells: copy and move of a range, the
// one-step nudges, insertion and deletion of rows and columns, the value
// copies, and the shifting of stored ranges that goes with them.
//
// Formula code refers to cells by record identity, so references follow a
// record wherever move, insertion or deletion takes it; copy re-aims the
// relative references of each copied formula at its new place. Every
// command takes the undo snapshot before it changes anything, reports a
// failure through the session's error channel (the caller shows it) and
// recalculates what it changed unless recalculation is manual.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sheet/address.h"
#include "base/limits.h"
#include "sheet/sheet_document.h"

namespace tabulon {

struct BlockResult {
  bool ok = true;     // false: the error channel holds the message
  CellRange changed;  // the block to repaint; undefined when nothing changed
};

// Copies the source block to the destination. A single-row source fills
// every row of a taller destination, a single-column source every column of
// a wider one, a single cell every cell; any other source is placed once at
// the destination's first corner. Locked targets under protection are
// skipped. Fails with "Copy Error" (nothing changed) when either range is
// undefined or leaves the sheet.
BlockResult CopyRange(SheetDocument& doc, const CellRange& source, const CellRange& destination);

// Moves the source block so that its top-left corner lands on the
// destination's first corner. Records keep their identity, so formulas that
// referred to a moved cell follow it; a record that is moved onto is deleted
// and the formulas that used it get an invalid reference. Stored ranges with
// a corner in the source block move with it.
BlockResult MoveRange(SheetDocument& doc, const CellRange& source, const CellRange& destination);

enum class NudgeDirection { kUp, kDown, kLeft, kRight };

// Moves the selected block one row or column and the selection with it. Up
// at the top row and left at the first column do nothing; past the far
// edges the move fails like any move outside the sheet.
BlockResult NudgeBlock(SheetDocument& doc, CellRange& selection, NudgeDirection direction);

// Row insertion and deletion shift the rows of the page that holds the last
// affected row only (the whole sheet when it has no pages). Insertion fails
// with "CELLS in bottom row" when used rows would be pushed past the page's
// (or the sheet's) last row; a first row beyond the used rows does nothing.
BlockResult InsertRows(SheetDocument& doc, int firstRow, int count);
BlockResult DeleteRows(SheetDocument& doc, int firstRow, int count);
// Column insertion fails with "Cells in last Column" when a cell would be
// pushed past column IV.
BlockResult InsertColumns(SheetDocument& doc, int firstColumn, int count);
BlockResult DeleteColumns(SheetDocument& doc, int firstColumn, int count);

// Inserts one row at `row` and enters the page-break label "|::" at
// (row, cursorColumn).
BlockResult InsertPageBreak(SheetDocument& doc, int row, int cursorColumn);

// Every corner of every defined stored range (names and the ranges other
// parts of the document keep) that lies inside `region` moves by
// (rowOffset, columnOffset); corners outside stay, so a range across the
// region's edge stretches or shrinks. Moved corners stop at the sheet's
// edges.
void ShiftStoredRanges(SheetDocument& doc, const CellRange& region, int rowOffset,
                       int columnOffset);

// Calls action(record, row, column) for every existing record of the range
// (corners in any order), rows ascending and columns ascending within a row.
// The action may create or free records: each row's records are taken
// before its first call, and records freed meanwhile are skipped.
template <typename Fn>
void ForEachCell(SheetDocument& doc, const CellRange& range, Fn&& action) {
  if (!range.IsDefined()) return;
  CellStore& store = doc.cells();
  int top = std::max(range.Top(), 0), bottom = std::min(range.Bottom(), kRowCount - 1);
  int left = range.Left(), right = range.Right();
  std::vector<CellId> ids;
  for (int r = top; r <= bottom; ++r) {
    if (store.Row(r).empty()) continue;
    ids.clear();
    store.ForEachIn(r, left, r, right, [&](CellRecord& c) { ids.push_back(c.id); });
    for (CellId id : ids) {
      CellRecord* c = store.Get(id);
      if (c != nullptr && c->row == r) action(*c, r, static_cast<int>(c->col));
    }
  }
}

// The value copies of the Range > Copy menu.
enum class ValueCopyMode {
  kValue,      // values as they are
  kTranspose,  // rows become columns
  kScale,      // values times a factor
  kInvert,     // 1 / value; a zero gives @ERR
};

// Writes the values of the source block at the output's first corner (or,
// for a single-cell source, into every cell of the output): labels and text
// results are entered as text, everything else stored as a number. Locked
// source cells under protection are skipped, and so are locked targets.
// Fails with "Copy Error" (nothing changed) when a range is undefined or
// the output would leave the sheet.
BlockResult CopyValues(SheetDocument& doc, const CellRange& source, const CellRange& output,
                       ValueCopyMode mode, double factor = 2.0);

}  // namespace tabulon
