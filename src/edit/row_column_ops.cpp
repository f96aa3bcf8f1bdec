// Insertion and deletion of rows and columns, the page break, and the
// shifting of stored ranges.
#include <algorithm>

#include "edit/block_ops.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "sheet/session.h"
#include "edit/undo.h"

namespace tabulon {

namespace {

BlockResult Failed(SheetDocument& doc, const char* message) {
  doc.session().errors().Fail(message);
  BlockResult r;
  r.ok = false;
  return r;
}

int PageHeight(const SheetDocument& doc) {
  return doc.settings().UsesPages() ? doc.settings().pageHeight : kRowCount;
}

// Last row of the page holding `row`.
int PageEnd(int row, int pageHeight) {
  return std::min(pageHeight * (row / pageHeight + 1) - 1, kRowCount - 1);
}

// Moves the corners inside `region` by (dr, dc), stopping them at the edges
// of `limit`.
void ShiftCorners(SheetDocument& doc, const CellRange& region, int dr, int dc,
                  const CellRange& limit) {
  if (!region.IsDefined()) return;
  auto shift = [&](std::int16_t& row, std::int16_t& col) {
    if (!region.Contains(row, col)) return;
    row = static_cast<std::int16_t>(std::clamp(row + dr, limit.Top(), limit.Bottom()));
    col = static_cast<std::int16_t>(std::clamp(col + dc, limit.Left(), limit.Right()));
  };
  doc.ForEachStoredRange([&](CellRange& r) {
    if (!r.IsDefined()) return;
    // Both corners are tested before either moves.
    bool first = region.Contains(r.firstRow, r.firstCol);
    bool last = region.Contains(r.lastRow, r.lastCol);
    if (first) shift(r.firstRow, r.firstCol);
    if (last) shift(r.lastRow, r.lastCol);
  });
}

// Stored ranges with a corner in a deleted band of rows (or columns)
// a..a+n-1: the upper (left) corner moves to a, where the first surviving
// row now is, and the lower (right) corner to a-1; a range inside the band
// becomes undefined.
void CollapseBand(SheetDocument& doc, bool rows, int a, int n) {
  int end = a + n - 1;
  doc.ForEachStoredRange([&](CellRange& r) {
    if (!r.IsDefined()) return;
    std::int16_t& p1 = rows ? r.firstRow : r.firstCol;
    std::int16_t& p2 = rows ? r.lastRow : r.lastCol;
    bool in1 = p1 >= a && p1 <= end, in2 = p2 >= a && p2 <= end;
    if (!in1 && !in2) return;
    std::int16_t& low = p1 <= p2 ? p1 : p2;
    std::int16_t& high = p1 <= p2 ? p2 : p1;
    if (low >= a && high <= end) {
      r.SetUndefined();
      return;
    }
    if (low >= a && low <= end) low = static_cast<std::int16_t>(a);
    if (high >= a && high <= end) high = static_cast<std::int16_t>(a - 1);
  });
}

// Every record inside the rectangle gets DeleteCell before any is freed, so
// the formulas they invalidate are unregistered while every position is
// still what it was.
void DeleteRecords(SheetDocument& doc, int r1, int c1, int r2, int c2,
                   std::vector<CellId>& pending) {
  CellStore& store = doc.cells();
  std::vector<CellId> doomed;
  store.ForEachIn(r1, c1, r2, c2, [&](CellRecord& c) { doomed.push_back(c.id); });
  for (CellId id : doomed)
    if (CellRecord* c = store.Get(id)) DeleteCell(doc, *c, &pending);
  for (CellId id : doomed)
    if (CellRecord* c = store.Get(id)) store.FreeRecord(*c);
}

template <typename Vec>
void InsertDefaults(Vec& v, int first, int last, int n, typename Vec::value_type value) {
  std::rotate(v.begin() + first, v.begin() + (last + 1 - n), v.begin() + last + 1);
  std::fill(v.begin() + first, v.begin() + first + n, value);
}

template <typename Vec>
void RemoveEntries(Vec& v, int first, int last, int n, typename Vec::value_type value) {
  std::rotate(v.begin() + first, v.begin() + first + n, v.begin() + last + 1);
  std::fill(v.begin() + (last + 1 - n), v.begin() + last + 1, value);
}

// Rows (columns) first..last move by n; the ones that come in follow the
// default, and sizes of their own travel with their rows (columns).
void InsertRowHeights(GridMetrics& m, int first, int last, int n) {
  InsertDefaults(m.rowHeights, first, last, n, m.defaultRowHeight);
  InsertDefaults(m.ownHeight, first, last, n, std::uint8_t{0});
}
void RemoveRowHeights(GridMetrics& m, int first, int last, int n) {
  RemoveEntries(m.rowHeights, first, last, n, m.defaultRowHeight);
  RemoveEntries(m.ownHeight, first, last, n, std::uint8_t{0});
}
void InsertColumnWidths(GridMetrics& m, int first, int n) {
  InsertDefaults(m.columnWidths, first, kColumnCount - 1, n, m.defaultColumnWidth);
  InsertDefaults(m.ownWidth, first, kColumnCount - 1, n, std::uint8_t{0});
}
void RemoveColumnWidths(GridMetrics& m, int first, int n) {
  RemoveEntries(m.columnWidths, first, kColumnCount - 1, n, m.defaultColumnWidth);
  RemoveEntries(m.ownWidth, first, kColumnCount - 1, n, std::uint8_t{0});
}

const CellRange kWholeSheet = CellRange::Of(0, 0, kRowCount - 1, kColumnCount - 1);

}  // namespace

void ShiftStoredRanges(SheetDocument& doc, const CellRange& region, int rowOffset,
                       int columnOffset) {
  ShiftCorners(doc, region, rowOffset, columnOffset, kWholeSheet);
}

BlockResult InsertRows(SheetDocument& doc, int a, int n) {
  CellStore& store = doc.cells();
  if (n <= 0 || a < 0 || a > store.maxRow()) return {};
  int pageHeight = PageHeight(doc);
  if (a + n > kRowCount) return Failed(doc, "CELLS in bottom row");
  int g = PageEnd(a + n - 1, pageHeight);
  int last = std::min<int>(store.maxRow(), g);
  while (last >= a && store.Row(last).empty()) --last;
  if (store.maxRow() + n > kRowCount - 1 && !doc.settings().UsesPages())
    return Failed(doc, "CELLS in bottom row");
  // With pages the rows move inside their page only; pushing cells past the
  // page's last row would carry them into the next page.
  if (last >= a && last + n > g) return Failed(doc, "CELLS in bottom row");

  TakeSnapshot(doc);
  doc.settings().modified = true;
  int oldMaxRow = store.maxRow();
  block::RangeRegistrations ranges;
  if (last >= a) ranges.Capture(doc, {CellRange::Of(a, 0, last, kColumnCount - 1)});
  for (int r = last; r >= a; --r)
    if (!store.Row(r).empty()) store.MoveRow(r, r + n);
  InsertRowHeights(doc.metrics(), a, g, n);
  int newMaxRow = oldMaxRow;
  if (oldMaxRow > g - pageHeight && oldMaxRow <= g) newMaxRow = std::min(oldMaxRow + n, kRowCount - 1);
  store.SetExtents(std::max(newMaxRow, last >= a ? last + n : 0), store.maxCol());
  ShiftCorners(doc, CellRange::Of(a, 0, g, kColumnCount - 1), n, 0,
               CellRange::Of(0, 0, g, kColumnCount - 1));
  std::vector<CellId> again = ranges.Restore(doc);
  block::Recalculate(doc, again);

  BlockResult result;
  result.changed = CellRange::Of(a, 0, g, kColumnCount - 1);
  return result;
}

BlockResult DeleteRows(SheetDocument& doc, int a, int n) {
  CellStore& store = doc.cells();
  if (n <= 0 || a < 0 || a > store.maxRow()) return {};
  n = std::min(n, kRowCount - a);
  int pageHeight = PageHeight(doc);
  int g = PageEnd(a + n - 1, pageHeight);
  int last = std::min<int>(store.maxRow(), g);

  TakeSnapshot(doc);
  doc.settings().modified = true;
  int oldMaxRow = store.maxRow();
  block::RangeRegistrations ranges;
  ranges.Capture(doc, {CellRange::Of(a, 0, last, kColumnCount - 1)});
  std::vector<CellId> pending;
  DeleteRecords(doc, a, 0, std::min(a + n - 1, last), kColumnCount - 1, pending);
  for (int r = a + n; r <= last; ++r)
    if (!store.Row(r).empty()) store.MoveRow(r, r - n);
  RemoveRowHeights(doc.metrics(), a, g, n);
  int newMaxRow = oldMaxRow;
  if (oldMaxRow > g - pageHeight && oldMaxRow <= g)
    newMaxRow = std::max(0, oldMaxRow - std::min(n, oldMaxRow - a + 1));
  store.SetExtents(newMaxRow, store.maxCol());
  CollapseBand(doc, true, a, n);
  if (a + n <= g) ShiftStoredRanges(doc, CellRange::Of(a + n, 0, g, kColumnCount - 1), -n, 0);
  ranges.Restore(doc);
  block::RecalculateAll(doc);

  BlockResult result;
  result.changed = CellRange::Of(a, 0, g, kColumnCount - 1);
  return result;
}

BlockResult InsertColumns(SheetDocument& doc, int a, int n) {
  CellStore& store = doc.cells();
  if (n <= 0 || a < 0) return {};
  if (a + n > kColumnCount - 1 || store.maxCol() + n > kColumnCount - 1)
    return Failed(doc, "Cells in last Column");
  if (store.maxCol() < a) return {};

  TakeSnapshot(doc);
  doc.settings().modified = true;
  int maxRow = store.maxRow(), oldMaxCol = store.maxCol();
  block::RangeRegistrations ranges;
  ranges.Capture(doc, {CellRange::Of(0, a, maxRow, kColumnCount - 1)});
  for (int r = 0; r <= maxRow; ++r) store.ShiftColumns(r, a, n);
  InsertColumnWidths(doc.metrics(), a, n);
  store.SetExtents(maxRow, oldMaxCol + n);
  ShiftStoredRanges(doc, CellRange::Of(0, a, kRowCount - 1, kColumnCount - 1), 0, n);
  std::vector<CellId> again = ranges.Restore(doc);
  block::Recalculate(doc, again);

  BlockResult result;
  result.changed = CellRange::Of(0, a, maxRow, kColumnCount - 1);
  return result;
}

BlockResult DeleteColumns(SheetDocument& doc, int a, int n) {
  CellStore& store = doc.cells();
  if (n <= 0 || a < 0 || a > store.maxCol()) return {};
  n = std::min(n, kColumnCount - a);

  TakeSnapshot(doc);
  doc.settings().modified = true;
  int maxRow = store.maxRow(), oldMaxCol = store.maxCol();
  block::RangeRegistrations ranges;
  ranges.Capture(doc, {CellRange::Of(0, a, maxRow, kColumnCount - 1)});
  std::vector<CellId> pending;
  DeleteRecords(doc, 0, a, maxRow, a + n - 1, pending);
  for (int r = 0; r <= maxRow; ++r) store.ShiftColumns(r, a + n, -n);
  RemoveColumnWidths(doc.metrics(), a, n);
  store.SetExtents(maxRow, std::max(0, oldMaxCol - std::min(n, oldMaxCol - a + 1)));
  CollapseBand(doc, false, a, n);
  if (a + n < kColumnCount)
    ShiftStoredRanges(doc, CellRange::Of(0, a + n, kRowCount - 1, kColumnCount - 1), 0, -n);
  ranges.Restore(doc);
  block::RecalculateAll(doc);

  BlockResult result;
  result.changed = CellRange::Of(0, a, maxRow, kColumnCount - 1);
  return result;
}

BlockResult InsertPageBreak(SheetDocument& doc, int row, int cursorColumn) {
  if (!RowInSheet(row) || !ColumnInSheet(cursorColumn)) return Failed(doc, "Out of Range");
  BlockResult result = InsertRows(doc, row, 1);
  if (!result.ok) return result;
  if (!EnterCell(doc, "|::", row, cursorColumn).ok) result.ok = false;
  if (!result.changed.IsDefined()) result.changed = CellRange::Cell(row, cursorColumn);
  return result;
}

}  // namespace tabulon
