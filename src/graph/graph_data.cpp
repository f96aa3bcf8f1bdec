#include "graph/graph_data.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "edit/cell_text.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Trimmed(std::string s) {
  std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  std::size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

}  // namespace

bool IsUsableRange(const CellRange& r) {
  return r.IsDefined() && ColumnInSheet(r.firstCol) && ColumnInSheet(r.lastCol) &&
         RowInSheet(r.firstRow) && RowInSheet(r.lastRow);
}

RangeWalk::RangeWalk(const CellRange& r) {
  if (!IsUsableRange(r)) return;
  top = r.Top();
  left = r.Left();
  rows = r.Bottom() - top + 1;
  count = static_cast<long long>(rows) * (r.Right() - left + 1);
}

bool GraphIsDefined(const GraphSettings& g) {
  if (!IsUsableRange(g.x)) return false;
  return std::any_of(g.series.begin(), g.series.end(), IsUsableRange);
}

double NumericCell(const SheetDocument& doc, int row, int col) {
  const CellRecord* c = doc.cells().FindCell(row, col);
  if (c == nullptr) return kNaN;
  switch (c->KindAndError()) {
    case kFormula: case kReal: case kInteger: {
      double v = CellNumber(c);
      return std::isfinite(v) ? v : kNaN;
    }
    default: return kNaN;
  }
}

std::string RangeCellText(SheetDocument& doc, const CellRange& range, long long n) {
  RangeWalk w(range);
  if (n < 0 || n >= w.count) return {};
  CellAddress a = w.At(n);
  const CellRecord* c = doc.cells().FindCell(a.row, a.col);
  if (c == nullptr) return {};
  switch (c->KindAndError()) {
    case kStringFormula: case kLabel: return CellStringValue(c);
    default: return Trimmed(CellDisplayText(doc, c));
  }
}

GraphData ReadGraphData(SheetDocument& doc, const GraphSettings& g) {
  GraphData d;
  RangeWalk xs(g.x);
  d.points = static_cast<int>(std::min<long long>(xs.count, kMaxGraphPoints));
  if (IsUsableRange(g.x)) {
    d.gridRows = g.x.Bottom() - g.x.Top() + 1;
    d.gridCols = g.x.Right() - g.x.Left() + 1;
  }
  d.x.assign(d.points, kNaN);
  d.xFilled.assign(d.points, false);
  for (int n = 0; n < d.points; ++n) {
    CellAddress a = xs.At(n);
    const CellRecord* c = doc.cells().FindCell(a.row, a.col);
    d.xFilled[n] = c != nullptr && c->Kind() != kEmpty;
    double v = NumericCell(doc, a.row, a.col);
    d.x[n] = v;
    if (std::isnan(v)) continue;
    if (!d.anyX) d.xMin = d.xMax = v;
    d.anyX = true;
    d.xMin = std::min(d.xMin, v);
    d.xMax = std::max(d.xMax, v);
  }
  bool cumulative = g.Type() == GraphType::Cumulative;
  for (int s = 0; s < kGraphSeries; ++s) {
    SeriesValues& sv = d.series[s];
    RangeWalk ys(g.series[s]);
    if (ys.count == 0) continue;
    sv.defined = true;
    ++d.definedSeries;
    // Limits and total over the whole series range, as the scales use them.
    long long scan = std::min<long long>(ys.count, kMaxGraphPoints);
    for (long long n = 0; n < scan; ++n) {
      CellAddress a = ys.At(n);
      double v = NumericCell(doc, a.row, a.col);
      if (std::isnan(v)) continue;
      if (!sv.anyValue) sv.min = sv.max = v;
      sv.anyValue = true;
      sv.min = std::min(sv.min, v);
      sv.max = std::max(sv.max, v);
      sv.total += v;
    }
    sv.y.assign(d.points, kNaN);
    double running = 0;
    double runMin = 0, runMax = 0;
    for (int n = 0; n < d.points && n < ys.count; ++n) {
      if (!d.xFilled[n]) continue;
      CellAddress a = ys.At(n);
      double v = NumericCell(doc, a.row, a.col);
      if (std::isnan(v)) continue;
      if (cumulative) {
        running += v;
        v = running;
        runMin = std::min(runMin, v);
        runMax = std::max(runMax, v);
      }
      sv.y[n] = v;
    }
    if (cumulative) {
      // From 0 to the series total; running sums that pass beyond it (a
      // series with negative values) widen the range.
      sv.min = std::min({0.0, sv.total, runMin});
      sv.max = std::max({0.0, sv.total, runMax});
      sv.anyValue = true;
    }
  }
  return d;
}

}  // namespace tabulon
