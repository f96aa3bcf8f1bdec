#include "formula/functions/args.h"

namespace tabulon {

double CellAsNumber(Evaluator& e, const CellRecord* cell) {
  if (cell == nullptr) return 0;
  if (cell->HasError()) {
    e.Fail();
    return 0;
  }
  return IsNumericCell(*cell) ? NumericCellValue(*cell) : 0;
}

RangeArg RangeArgument(Evaluator& e, const Value& v) {
  RangeArg r = e.RangeOf(v);
  if (!r.valid) e.Fail();
  return r;
}

bool DenseValues(Evaluator& e, const Value& v, std::vector<double>& out, int& rows, int& cols,
                 bool byColumn) {
  RangeArg r = RangeArgument(e, v);
  if (!r.valid) return false;
  rows = r.rows();
  cols = r.cols();
  out.assign(static_cast<std::size_t>(rows) * cols, 0.0);
  e.ForEachCellIn(r, [&](const CellRecord& c) {
    std::size_t i = byColumn ? static_cast<std::size_t>(c.col - r.left) * rows + (c.row - r.top)
                             : static_cast<std::size_t>(c.row - r.top) * cols + (c.col - r.left);
    out[i] = CellAsNumber(e, &c);
  });
  return true;
}

}  // namespace tabulon
