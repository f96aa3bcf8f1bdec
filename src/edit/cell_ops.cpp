#include "edit/cell_ops.h"

#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon {

void BlankCell(SheetDocument& doc, CellRecord& cell) {
  if (cell.Kind() == kEmpty) {
    cell.kind &= ~kErrorBit;
    return;
  }
  CellStore& store = doc.cells();
  if (cell.IsFormula() && !(cell.kind & kFileFormBit)) RegisterFormula(doc, cell, false);
  store.ReleaseValue(cell);
  store.FreeText(cell);
  cell.kind = kEmpty | (cell.kind & kRecalcMarks);
}

void SetNumber(SheetDocument& doc, CellRecord& cell, double x) {
  BlankCell(doc, cell);
  doc.cells().StoreNumber(cell, x);
}

void DeleteCell(SheetDocument& doc, CellRecord& cell, std::vector<CellId>* pending) {
  CellStore& store = doc.cells();
  std::vector<CellId> dependents;
  store.ForEachDependent(cell, [&](CellId d) { dependents.push_back(d); });
  store.FreeDependents(cell);
  CellId gone = cell.id;
  for (CellId d : dependents) {
    CellRecord* dep = store.Get(d);
    if (dep == nullptr || dep == &cell || !dep->IsFormula() || dep->text == nullptr) continue;
    NullReferences(doc, *dep, gone);
    if (pending != nullptr) pending->push_back(d);
  }
  int row = cell.row, col = cell.col;
  doc.ForEachStoredRange([&](CellRange& r) {
    if (!r.IsDefined()) return;
    if ((r.firstRow == row && r.firstCol == col) || (r.lastRow == row && r.lastCol == col))
      r.SetUndefined();
  });
  if (cell.IsFormula() && !(cell.kind & kFileFormBit)) RegisterFormula(doc, cell, false);
  store.ReleaseValue(cell);
  store.FreeText(cell);
  cell.kind = kEmpty;
  if (pending == nullptr) {
    for (CellId d : dependents)
      if (CellRecord* dep = store.Get(d); dep != nullptr && dep != &cell) RecalcFrom(doc, *dep);
  }
}

}  // namespace tabulon
