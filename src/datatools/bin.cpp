#include "datatools/bin.h"

#include <vector>

#include "datatools/cell_values.h"
#include "edit/block_support.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

bool BinValues(SheetDocument& doc, const CellRange& input, const CellRange& table,
               bool lowerClosed) {
  if (!input.IsDefined() || !table.IsDefined()) return true;
  ErrorChannel& errors = doc.session().errors();
  if (!block::InSheet(input) || !block::InSheet(table)) {
    errors.Fail("Out of Range");
    return false;
  }
  const int first = table.Top(), last = table.Bottom(), b = table.Left();
  if (b + 2 >= kColumnCount || last + 1 >= kRowCount) {
    errors.Fail("Out of Range");
    return false;
  }
  CellStore& store = doc.cells();
  if (doc.settings().protect) {
    for (int r = first; r <= last + 1; ++r)
      for (int c = b + 1; c <= b + 2; ++c)
        if (block::IsLockedForEntry(doc, store.FindCell(r, c))) {
          errors.Fail("Protected Cell");
          return false;
        }
  }

  // Everything is read before anything is written.
  const int n = input.Bottom() - input.Top() + 1;
  std::vector<double> values;
  for (int r = input.Top(); r <= input.Bottom(); ++r) {
    const CellRecord* c = store.FindCell(r, input.Left());
    if (!IsBlankCell(c)) values.push_back(CellNumber(c));
  }
  std::vector<double> bounds;
  for (int r = first; r <= last; ++r) bounds.push_back(CellNumber(store.FindCell(r, b)));

  std::vector<CellId> written;
  auto put = [&](int row, int col, double x) {
    CellRecord* c = store.GetOrCreateCell(row, col);
    if (c == nullptr) return false;
    SetNumber(doc, *c, x);
    written.push_back(c->id);
    return true;
  };
  double remainder = n, previous = 0;
  bool ok = true;
  for (std::size_t i = 0; i < bounds.size() && ok; ++i) {
    const double v = bounds[i];
    long count = 0;
    for (double x : values) {
      bool below = lowerClosed ? x < v : x <= v;
      bool above = i == 0 || (lowerClosed ? x >= previous : x > previous);
      if (below && above) ++count;
    }
    int row = first + static_cast<int>(i);
    ok = put(row, b + 1, static_cast<double>(count)) && put(row, b + 2, count / static_cast<double>(n));
    remainder -= static_cast<double>(count);
    previous = v;
  }
  if (ok) ok = put(last + 1, b + 1, remainder) && put(last + 1, b + 2, remainder / n);
  doc.settings().modified = true;
  block::Recalculate(doc, written);
  return ok;
}

}  // namespace tabulon
