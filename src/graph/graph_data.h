// The worksheet values a graph plots: the cells of its X range, series
// ranges and data-label ranges, taken down each column and then across
// columns, paired by their position in that order.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "graph/graph_scale.h"
#include "sheet/address.h"
#include "sheet/graph_settings.h"

namespace tabulon {

class SheetDocument;

// More cells than this in an X range are not plotted: a range over the
// whole sheet would otherwise ask for two million points.
inline constexpr int kMaxGraphPoints = 65536;

// A range that lies inside the sheet with both corners defined.
bool IsUsableRange(const CellRange& r);

// The n-th cell (0-based) of a range in plotting order.
struct RangeWalk {
  explicit RangeWalk(const CellRange& r);
  long long count = 0;  // cells in the range (0 when unusable)
  int top = 0, left = 0, rows = 0;
  CellAddress At(long long n) const {
    return {static_cast<std::int16_t>(left + n / rows), static_cast<std::int16_t>(top + n % rows)};
  }
};

struct SeriesValues {
  bool defined = false;
  // Per point: the Y value (for cumulative graphs the running sum), or NaN
  // when the point is missing (no X cell, past the series' end, not a number).
  std::vector<double> y;
  bool anyValue = false;
  double min = 0, max = 0;  // over the numeric cells of the whole series range
  double total = 0;         // sum of those cells
};

struct GraphData {
  int points = 0;               // X cells plotted
  std::vector<double> x;        // numeric X value per point, or NaN
  std::vector<bool> xFilled;    // the X cell has an entry
  bool anyX = false;
  double xMin = 0, xMax = 0;    // over the numeric X cells
  std::array<SeriesValues, kGraphSeries> series;
  int definedSeries = 0;
  // Contour: the X range's grid.
  int gridRows = 0, gridCols = 0;
};

// False when the graph is undefined: no usable X range or no usable series.
bool GraphIsDefined(const GraphSettings& g);

GraphData ReadGraphData(SheetDocument& doc, const GraphSettings& g);

// The display text of the n-th cell of a range (category labels, data
// labels, pie labels): what the cell shows without a label prefix and
// without surrounding blanks; empty past the range's end.
std::string RangeCellText(SheetDocument& doc, const CellRange& range, long long n);

// The numeric value of a cell, or NaN when it holds no number.
double NumericCell(const SheetDocument& doc, int row, int col);

}  // namespace tabulon
