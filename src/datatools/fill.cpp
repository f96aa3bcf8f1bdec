#include "datatools/fill.h"

#include <cmath>
#include <vector>

#include "base/text.h"
#include "datatools/cell_values.h"
#include "edit/block_ops.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

bool Whole(double x) { return std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 1e15; }

// Under protection every cell written must exist and be unlocked.
bool Writable(SheetDocument& doc, const CellRange& r) {
  if (!doc.settings().protect) return true;
  CellStore& store = doc.cells();
  for (int row = r.Top(); row <= r.Bottom(); ++row)
    for (int col = r.Left(); col <= r.Right(); ++col)
      if (block::IsLockedForEntry(doc, store.FindCell(row, col))) return false;
  return true;
}

}  // namespace

bool FillRange(SheetDocument& doc, const FillSpec& spec, const FillProgress& progress) {
  ErrorChannel& errors = doc.session().errors();
  const CellRange& r = spec.output;
  if (!r.IsDefined()) return true;
  if (!block::InSheet(r)) {
    errors.Fail("Out of Memory");
    return false;
  }
  if (!Writable(doc, r)) {
    errors.Fail("Protected Cell");
    return false;
  }
  CellStore& store = doc.cells();
  const long rows = r.Bottom() - r.Top() + 1, cols = r.Right() - r.Left() + 1;
  const long total = rows * cols;
  const bool exact = spec.type == FillType::kLinear && Whole(spec.start) && Whole(spec.step);
  double current = spec.start;
  long done = 0;
  std::vector<CellId> filled;
  bool ok = true;
  auto put = [&](int row, int col) {
    double v = exact ? spec.start + static_cast<double>(done) * spec.step : current;
    CellRecord* c = store.GetOrCreateCell(row, col);
    if (c == nullptr) return ok = false;
    SetNumber(doc, *c, v);
    if (store.HasDependents(*c)) filled.push_back(c->id);
    switch (spec.type) {
      case FillType::kLinear: current += spec.step; break;
      case FillType::kMultiply: current *= spec.step; break;
      case FillType::kPower: current = std::pow(current, spec.step); break;
    }
    if (++done % 2048 == 0 && progress) progress(done, total);
    return true;
  };
  if (spec.order == FillOrder::kColumn) {
    for (int col = r.Left(); col <= r.Right() && ok; ++col)
      for (int row = r.Top(); row <= r.Bottom() && put(row, col);) ++row;
  } else {
    for (int row = r.Top(); row <= r.Bottom() && ok; ++row)
      for (int col = r.Left(); col <= r.Right() && put(row, col);) ++col;
  }
  doc.settings().modified = true;
  block::Recalculate(doc, filled);
  if (!ok) errors.Fail("Out of Memory");
  return ok;
}

std::string ColumnName(long column) {
  std::string s;
  for (long n = column + 1; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (n - 1) % 26));
  return s;
}

bool SpeedFill(SheetDocument& doc, const CellRange& selection) {
  if (!block::InSheet(selection)) return false;
  CellStore& store = doc.cells();
  const int top = selection.Top(), left = selection.Left();
  const CellRecord* corner = store.FindCell(top, left);
  if (corner == nullptr) return false;
  const CellRange sel = CellRange::Of(top, left, selection.Bottom(), selection.Right());
  if (corner->Kind() == kLabel) {
    std::string_view text = WithoutPrefix(corner->TextView());
    if (text.size() != 1 || !IsLetter(text[0])) return false;
    if (!Writable(doc, sel)) {
      doc.session().errors().Fail("Protected Cell");
      return false;
    }
    long column = ColumnFromLetters(text);
    for (int row = top; row <= sel.Bottom(); ++row)
      for (int col = left; col <= sel.Right(); ++col)
        if (!EnterCell(doc, "'" + ColumnName(column++), row, col).ok) return false;
    return true;
  }
  if (corner->IsFormula()) {
    if (sel.IsSingleCell()) return true;
    return CopyRange(doc, CellRange::Cell(top, left), sel).ok;
  }
  if (corner->Kind() == kReal || corner->Kind() == kInteger) {
    FillSpec spec;
    spec.output = sel;
    spec.start = CellNumber(corner);
    spec.step = 1;
    bool wide = sel.Right() - left >= sel.Bottom() - top;
    spec.order = wide ? FillOrder::kRow : FillOrder::kColumn;
    return FillRange(doc, spec);
  }
  return false;
}

}  // namespace tabulon
