// Where the parts of a graph go on a surface of W x H pixels: the unit and
// gaps, the text heights, the plot box, the legend's place and entries,
// and the axis limits the values give. Separate from the drawing so each
// step can be checked on its own.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "graph/graph_data.h"
#include "graph/graph_scale.h"
#include "platform/canvas.h"
#include "sheet/graph_settings.h"

namespace tabulon {

// The plot's edges in pixels: left and right are the X axis' ends, bottom
// the Y axis' minimum and top its maximum (all inclusive).
struct PlotBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct LegendEntry {
  int series = 0;  // 0..5
  Rect sample;     // the sample line, symbol or fill
  Point text;      // top-left of the legend text
};

struct LegendLayout {
  bool shown = false;
  bool table = false;
  Rect box;        // the strip along the bottom, or the table box
  int lineHeight = 0;
  std::vector<LegendEntry> entries;
};

struct GraphLayout {
  int width = 0, height = 0;
  double unit = 0;  // H / 350
  int gap = 0;      // 6 units
  int depth = 0;    // 20 units for three-dimensional types, else 0
  std::array<int, kGraphTextItems> textHeight{};  // pixel heights of the fonts
  int labelRows = 1;  // X tick labels in one row, or two alternating ones
  int symbolSize = 3;
  PlotBox plot;
  LegendLayout legend;
};

// The font of a text item at a unit: the face (ARIAL when none is set),
// the size in points times the unit, the style bits.
FontSpec GraphFont(const GraphSettings& g, int item, double unit);

// Lays out the graph. `yLimitText` is the Y upper limit in the Y format,
// which sizes the room for the Y tick labels; `zoom` is the worksheet
// zoom percentage, which scales the room kept for headings and labels.
GraphLayout LayOutGraph(Canvas& canvas, const GraphSettings& g, const GraphTraits& traits,
                        int width, int height, int zoom, const std::string& yLimitText);

// The limits each axis takes from the data and the settings.
struct GraphScales {
  AxisScale x, y;
};
GraphScales ComputeScales(const GraphSettings& g, const GraphTraits& traits, const GraphData& d);

}  // namespace tabulon
