#include "graph/graph_layout.h"

#include <algorithm>
#include <cmath>

namespace tabulon {

namespace {

int Round(double v) { return ToPixel(v); }

}  // namespace

FontSpec GraphFont(const GraphSettings& g, int item, double unit) {
  FontSpec f;
  f.face = g.FontFace(item);
  if (f.face.empty()) f.face = "ARIAL";
  f.pixelHeight = std::max(1, Round(g.fontSize[item] * unit));
  f.style = g.fontStyle[item] & 15u;
  return f;
}

GraphLayout LayOutGraph(Canvas& canvas, const GraphSettings& g, const GraphTraits& traits,
                        int width, int height, int zoom, const std::string& yLimitText) {
  GraphLayout L;
  L.width = std::max(1, width);
  L.height = std::max(1, height);
  L.unit = L.height / 350.0;
  for (int i = 0; i < kGraphTextItems; ++i) L.textHeight[i] = GraphFont(g, i, L.unit).pixelHeight;
  L.gap = Round(6 * L.unit);
  L.depth = traits.threeD ? Round(20 * L.unit) : 0;
  L.labelRows = g.axes[0].step > 10 ? 2 : 1;
  L.symbolSize = std::max(3, Round(3 * L.unit));
  double z = std::clamp(zoom, 10, 1000) / 100.0;

  canvas.SetFont(GraphFont(g, kValuesText, L.unit));
  int labelWidth = canvas.TextWidth(yLimitText + "000");
  canvas.SetFont(GraphFont(g, kYTitle, L.unit));
  int titleHeight = canvas.TextHeight();

  // The legend: series with a legend text, unless hidden.
  LegendLayout& lg = L.legend;
  std::vector<int> entries;
  for (int s = 0; s < kGraphSeries; ++s)
    if (!g.Legend(s).empty()) entries.push_back(s);
  lg.shown = !entries.empty() && !g.LegendHidden();
  lg.table = g.LegendTable();
  FontSpec legendFont = GraphFont(g, kLegendText, L.unit);
  canvas.SetFont(legendFont);
  int c = std::max(1, canvas.TextWidth("0"));
  lg.lineHeight = std::max(1, canvas.TextHeight());
  int stripHeight = lg.shown && !lg.table ? lg.lineHeight * 11 / 8 : 0;

  PlotBox& p = L.plot;
  p.left = labelWidth + titleHeight + L.gap;
  p.right = L.width - labelWidth - L.depth - L.gap;
  p.top = Round((L.textHeight[kMainHeading] + L.textHeight[kSecondHeading]) * z) + L.gap + L.depth;
  p.bottom = L.height - 2 * L.gap -
             Round((L.textHeight[kValuesText] * L.labelRows + 1.5 * L.textHeight[kXTitle] +
                    stripHeight) * z);

  if (lg.shown && lg.table) {
    int longest = 0;
    for (int s : entries) longest = std::max(longest, canvas.TextWidth(g.Legend(s)));
    int boxWidth = longest + 5 * c;  // sample 3c, margins c each side
    int boxHeight = (5 * static_cast<int>(entries.size()) + 1) * lg.lineHeight / 2;
    lg.box = {p.right - boxWidth, p.top, p.right, p.top + boxHeight};
    p.right = lg.box.left - L.gap;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      int y = lg.box.top + lg.lineHeight / 2 + static_cast<int>(i) * 5 * lg.lineHeight / 2;
      LegendEntry e;
      e.series = entries[i];
      e.sample = {lg.box.left + c, y, lg.box.left + 4 * c, y + lg.lineHeight};
      e.text = {lg.box.left + 4 * c + c / 2, y};
      lg.entries.push_back(e);
    }
  } else if (lg.shown) {
    lg.box = {0, L.height - stripHeight, L.width, L.height};
    int share = (L.width - 3 * c) / static_cast<int>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      int x = static_cast<int>(i) * share + 3 * c;
      int y = lg.box.top + (stripHeight - lg.lineHeight) / 2;
      LegendEntry e;
      e.series = entries[i];
      e.sample = {x, y, x + 3 * c, y + lg.lineHeight};
      e.text = {x + 3 * c + c / 2, y};
      lg.entries.push_back(e);
    }
  }
  // A surface too small for the margins still gets a plot of a pixel or
  // two, so nothing below divides by a zero or negative size.
  if (p.right <= p.left) p.right = p.left + 1;
  if (p.bottom <= p.top) p.bottom = p.top + 1;
  return L;
}

GraphScales ComputeScales(const GraphSettings& g, const GraphTraits& t, const GraphData& d) {
  GraphScales s;
  GraphType type = GraphTypeOf(g.type);
  bool contour = type == GraphType::Contour;
  const GraphAxis& ax = g.axes[0];
  const GraphAxis& ay = g.axes[1];

  double xMin = 0, xMax = 0;
  if (ax.manual != 0) {
    xMin = ax.low;
    xMax = ax.high;
  } else if (contour) {
    xMax = std::max(0, d.gridCols - 1);
  } else if (t.numericX) {
    xMin = d.xMin;
    xMax = d.xMax;
  } else {
    xMin = 1;
    xMax = d.points + 1;
  }
  // Only numeric X axes can be logarithmic; slots stay linear.
  s.x = MakeAxis(xMin, xMax, ax.step, g.LogX() && t.numericX, false);

  double yMin = 0, yMax = 0;
  if (ay.manual != 0) {
    yMin = ay.low;
    yMax = ay.high;
  } else if (contour) {
    yMax = std::max(0, d.gridRows - 1);
  } else {
    bool first = true;
    for (const SeriesValues& sv : d.series) {
      if (!sv.defined || !sv.anyValue) continue;
      if (t.stacked) {
        yMin += sv.min;
        yMax += sv.max;
      } else if (first) {
        yMin = sv.min;
        yMax = sv.max;
      } else {
        yMin = std::min(yMin, sv.min);
        yMax = std::max(yMax, sv.max);
      }
      first = false;
    }
  }
  s.y = MakeAxis(yMin, yMax, ay.step, g.LogY(), true);
  return s;
}

}  // namespace tabulon
