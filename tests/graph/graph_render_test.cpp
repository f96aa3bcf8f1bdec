// Graph layout and drawing through the recording canvas, whose characters
// are half the font height wide. A surface 350 pixels high makes the unit
// 1, so font heights are the point sizes and the gap is 6.
#include "graph/graph_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>

#include "graph/graph_layout.h"
#include "support/recording_canvas.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::RecordingCanvas;
using testing::TestSheet;

CellRange R(int r1, int c1, int r2, int c2) { return CellRange::Of(r1, c1, r2, c2); }

// Q1..Q4 in A1..A4, 10 20 30 40 in B, 5 in C.
struct GraphSheet : TestSheet {
  GraphSheet() {
    for (int i = 0; i < 4; ++i) {
      std::string row = std::to_string(i + 1);
      Enter("A" + row, "'Q" + row);
      Enter("B" + row, std::to_string(10 * (i + 1)));
      Enter("C" + row, "5");
    }
    g().x = R(0, 0, 3, 0);
    g().series[0] = R(0, 1, 3, 1);
  }
  GraphSettings& g() { return doc->extras().graphs.current; }
  GraphDrawing Draw(int w = 700, int h = 350) {
    canvas.Reset();
    return DrawGraph(canvas, *doc, g(), w, h);
  }
  std::vector<GraphHit> SeriesHits(const GraphDrawing& d, int s) {
    std::vector<GraphHit> v;
    for (const GraphHit& h : d.hits)
      if (h.part == GraphPart::Series && h.series == s) v.push_back(h);
    return v;
  }
  const RecordingCanvas::TextOp* FindText(const std::string& t) {
    for (const auto& op : canvas.texts)
      if (op.text == t) return &op;
    return nullptr;
  }
  RecordingCanvas canvas;
};

Point Centre(const Rect& r) { return {(r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2}; }

TEST(GraphLayout, MarginsFollowTheFontsAndTheUnit) {
  GraphSettings g;
  RecordingCanvas c;
  GraphLayout L = LayOutGraph(c, g, TraitsOf(GraphType::XY), 700, 350, 100, "30.0");
  EXPECT_EQ(L.unit, 1);
  EXPECT_EQ(L.gap, 6);
  EXPECT_EQ(L.depth, 0);
  EXPECT_EQ(L.textHeight[kMainHeading], 24);
  // Left: "30.0000" in the 12-pixel values font (6 per character), the
  // 16-pixel Y title, the gap.
  EXPECT_EQ(L.plot.left, 42 + 16 + 6);
  EXPECT_EQ(L.plot.right, 700 - 42 - 6);
  EXPECT_EQ(L.plot.top, 24 + 18 + 6);
  EXPECT_EQ(L.plot.bottom, 350 - 12 - (12 + 24));
  EXPECT_FALSE(L.legend.shown);

  // Twice the height: everything doubles.
  GraphLayout big = LayOutGraph(c, g, TraitsOf(GraphType::XY), 1400, 700, 100, "30.0");
  EXPECT_EQ(big.unit, 2);
  EXPECT_EQ(big.plot.top, 48 + 36 + 12);

  // Three-dimensional types keep a depth for the back plane.
  GraphLayout solid = LayOutGraph(c, g, TraitsOf(GraphType::Bar3D), 700, 350, 100, "30.0");
  EXPECT_EQ(solid.depth, 20);
  EXPECT_EQ(solid.plot.right, 700 - 42 - 20 - 6);
  EXPECT_EQ(solid.plot.top, 24 + 18 + 6 + 20);

  // The worksheet zoom scales the room for headings and labels.
  GraphLayout zoomed = LayOutGraph(c, g, TraitsOf(GraphType::XY), 700, 350, 200, "30.0");
  EXPECT_EQ(zoomed.plot.top, 84 + 6);
  EXPECT_EQ(zoomed.plot.bottom, 350 - 12 - 72);

  // More than ten X intervals: the labels take two rows.
  g.axes[0].step = 11;
  GraphLayout two = LayOutGraph(c, g, TraitsOf(GraphType::XY), 700, 350, 100, "30.0");
  EXPECT_EQ(two.labelRows, 2);
  EXPECT_EQ(two.plot.bottom, 350 - 12 - (24 + 24));
}

TEST(GraphLayout, LegendInARowSharesTheWidth) {
  GraphSettings g;
  g.SetLegend(0, "North");
  g.SetLegend(2, "West");  // series 2 has no legend: no entry
  g.SetLegend(4, "South");
  RecordingCanvas c;
  GraphLayout L = LayOutGraph(c, g, TraitsOf(GraphType::Line), 700, 350, 100, "1");
  ASSERT_TRUE(L.legend.shown);
  EXPECT_FALSE(L.legend.table);
  // 8-pixel legend font: lines of 11 pixels, characters 4 wide.
  EXPECT_EQ(L.legend.box.top, 350 - 11);
  EXPECT_EQ(L.plot.bottom, 350 - 12 - (12 + 24 + 11));
  ASSERT_EQ(L.legend.entries.size(), 3u);
  int share = (700 - 12) / 3;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(L.legend.entries[i].sample.left, i * share + 12);
  EXPECT_EQ(L.legend.entries[1].series, 2);
  EXPECT_EQ(L.legend.entries[2].text.x, 2 * share + 12 + 12 + 2);

  g.SetFlag(16, true);  // hidden
  EXPECT_FALSE(LayOutGraph(c, g, TraitsOf(GraphType::Line), 700, 350, 100, "1").legend.shown);
}

TEST(GraphLayout, LegendAsATableNarrowsThePlot) {
  GraphSettings g;
  g.SetLegend(0, "North");
  g.SetLegend(1, "Sth");
  g.SetFlag(8, true);
  RecordingCanvas c;
  GraphLayout L = LayOutGraph(c, g, TraitsOf(GraphType::Line), 700, 350, 100, "30.0");
  ASSERT_TRUE(L.legend.table);
  int right = 700 - 42 - 6;
  int width = 5 * 4 + 5 * 4;  // longest entry, sample and margins
  EXPECT_EQ(L.legend.box.right, right);
  EXPECT_EQ(L.legend.box.left, right - width);
  EXPECT_EQ(L.legend.box.top, L.plot.top);
  EXPECT_EQ(L.legend.box.bottom - L.legend.box.top, (5 * 2 + 1) * 8 / 2);
  EXPECT_EQ(L.plot.right, right - width - 6);
  EXPECT_EQ(L.plot.bottom, 350 - 12 - (12 + 24)) << "no strip at the bottom";
  EXPECT_EQ(L.legend.entries[1].sample.top - L.legend.entries[0].sample.top, 20);
}

TEST(GraphDrawing, UndefinedGraphsDrawOnlyTheMessage) {
  GraphSheet t;
  GraphSettings reset;
  t.g() = reset;
  GraphDrawing d = t.Draw();
  EXPECT_FALSE(d.defined);
  ASSERT_EQ(t.canvas.texts.size(), 1u);
  EXPECT_EQ(t.canvas.texts[0].text, "Graph Undefined!");
  EXPECT_EQ(t.canvas.texts[0].x, 350);
  EXPECT_EQ(t.canvas.texts[0].align, Align::Centre);

  t.g().series[1] = R(0, 1, 3, 1);  // series without an X range
  EXPECT_FALSE(t.Draw().defined);
  t.g().x = R(0, 0, 3, 0);
  t.g().series[1].SetUndefined();  // X range without series
  EXPECT_FALSE(t.Draw().defined);
  t.g().series[3] = R(0, 1, 3, 1);
  t.g().x.lastCol = 300;  // past the sheet's last column
  EXPECT_FALSE(t.Draw().defined);
}

TEST(GraphDrawing, BarsShareTheirSlotAroundItsCentre) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Bar);
  t.g().series[1] = R(0, 2, 3, 2);
  GraphDrawing d = t.Draw();
  ASSERT_TRUE(d.defined);
  EXPECT_EQ(d.x.min, 1);
  EXPECT_EQ(d.x.max, 5);
  EXPECT_EQ(d.y.min, 5) << "the limits found, not widened";
  EXPECT_EQ(d.y.max, 40);
  std::vector<GraphHit> s1 = t.SeriesHits(d, 0), s2 = t.SeriesHits(d, 1);
  ASSERT_EQ(s1.size(), 4u);
  ASSERT_EQ(s2.size(), 4u);
  // Bar area per slot: plot width / (X max - X min + 1), halved for two series.
  double area = d.layout.plot.width() / 5.0;
  for (int n = 0; n < 4; ++n) {
    int centre;
    ASSERT_TRUE(d.x.Pixel(n + 1.5, centre));
    EXPECT_NEAR(s1[n].rect.right - s1[n].rect.left, area / 2, 1.01);
    EXPECT_NEAR(s1[n].rect.left, centre - area / 2, 1.01);
    EXPECT_NEAR(s2[n].rect.right, centre + area / 2, 1.01);
    EXPECT_EQ(s1[n].rect.right, s2[n].rect.left) << "side by side";
  }
  // Bars rise from the bottom when 0 lies below the plot.
  EXPECT_EQ(s1[3].rect.bottom - 1, d.layout.plot.bottom);
  EXPECT_EQ(s1[3].rect.top, d.layout.plot.top);
  // The X tick labels are the X cells' texts, centred on the slots.
  const auto* q2 = t.FindText("Q2");
  ASSERT_NE(q2, nullptr);
  int centre2;
  d.x.Pixel(2.5, centre2);
  EXPECT_EQ(q2->x, centre2);
  EXPECT_EQ(q2->align, Align::Centre);
}

TEST(GraphDrawing, StackedBarsStandOnTheSeriesBelow) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::StackedBar);
  t.g().series[1] = R(0, 2, 3, 2);
  GraphDrawing automatic = t.Draw();
  // The stacked extent adds the series' minima and maxima.
  EXPECT_EQ(automatic.y.min, 10 + 5);
  EXPECT_EQ(automatic.y.max, 40 + 5);
  t.g().axes[1].manual = 1;
  t.g().axes[1].low = 0;
  t.g().axes[1].high = 50;
  GraphDrawing d = t.Draw();
  std::vector<GraphHit> s1 = t.SeriesHits(d, 0), s2 = t.SeriesHits(d, 1);
  ASSERT_EQ(s2.size(), 4u);
  for (int n = 0; n < 4; ++n) {
    int base, mid, top;
    d.y.Pixel(0, base);
    d.y.Pixel(10.0 * (n + 1), mid);
    d.y.Pixel(10.0 * (n + 1) + 5, top);
    EXPECT_EQ(s1[n].rect.bottom - 1, base);
    EXPECT_EQ(s1[n].rect.top, mid);
    EXPECT_EQ(s2[n].rect.bottom - 1, mid);
    EXPECT_EQ(s2[n].rect.top, top);
    EXPECT_EQ(s1[n].rect.left, s2[n].rect.left) << "the whole slot area";
  }
}

TEST(GraphDrawing, PieSlicesAreShareOfTheTotalFromAngleZero) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Pie);
  t.g().series[1] = R(0, 2, 3, 2);  // ignored: a pie draws series 1 only
  t.g().hatch[0] = 8;               // hollow: one pie call per slice
  t.g().hatch[1] = 8;
  t.g().hatch[2] = 8;
  t.g().hatch[3] = 8;
  GraphDrawing d = t.Draw();
  ASSERT_TRUE(d.defined);
  std::vector<std::pair<double, double>> slices;
  for (const auto& s : t.canvas.shapes)
    if (s.kind == RecordingCanvas::ShapeOp::Pie) slices.push_back({s.start, s.span});
  ASSERT_EQ(slices.size(), 4u);
  const double starts[] = {0, 36, 108, 216}, spans[] = {36, 72, 108, 144};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(slices[i].first, starts[i], 1e-9);
    EXPECT_NEAR(slices[i].second, spans[i], 1e-9);
  }
  // Labels: the X cell, then the fraction in the Y format (F1).
  EXPECT_NE(t.FindText("Q1 (0.1)"), nullptr);
  EXPECT_NE(t.FindText("Q4 (0.4)"), nullptr);
  // No axes on a pie.
  EXPECT_EQ(t.FindText("40.0"), nullptr);
}

TEST(GraphDrawing, PieOverNothingPositiveDrawsNoSlices) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Pie3D);
  for (int i = 1; i <= 4; ++i) t.Enter("B" + std::to_string(i), "-3");
  t.Draw();
  for (const auto& s : t.canvas.shapes) EXPECT_NE(s.kind, RecordingCanvas::ShapeOp::Pie);
}

TEST(GraphDrawing, LogarithmicAxisLabelsEveryDecade) {
  GraphSheet t;
  t.Enter("B1", "3");
  t.Enter("B4", "2000");
  t.g().SetLog(1, true);
  GraphDrawing d = t.Draw();
  EXPECT_EQ(d.y.min, 1);
  EXPECT_EQ(d.y.max, 10000);
  int previous = 1 << 30;
  for (const char* label : {"1.0", "10.0", "100.0", "1000.0", "10000.0"}) {
    const auto* op = t.FindText(label);
    ASSERT_NE(op, nullptr) << label;
    EXPECT_LT(op->y, previous) << "decades climb evenly";
    previous = op->y;
  }
  // Equal steps between decades.
  int p1, p10, p100;
  d.y.Pixel(1, p1);
  d.y.Pixel(10, p10);
  d.y.Pixel(100, p100);
  EXPECT_NEAR(p1 - p10, p10 - p100, 1);
}

TEST(GraphDrawing, LogarithmicAxisSkipsValuesWithoutAPlace) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::XY);
  for (int i = 1; i <= 4; ++i) t.Enter("A" + std::to_string(i), std::to_string(i));
  t.Enter("B2", "-20");
  t.Enter("B3", "0");
  t.g().SetLog(1, true);
  GraphDrawing d = t.Draw();
  EXPECT_EQ(t.SeriesHits(d, 0).size(), 2u);
}

TEST(GraphDrawing, NumericXTicksAndAlternatingLabelRows) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::XY);
  for (int i = 1; i <= 4; ++i) t.Enter("A" + std::to_string(i), std::to_string(i * 2));
  GraphDrawing d = t.Draw();
  EXPECT_EQ(d.x.min, 2);
  EXPECT_EQ(d.x.max, 8);
  // Ticks at 2, 3.5, 5, 6.5, 8 across the plot.
  const auto* first = t.FindText("2.0");
  const auto* last = t.FindText("8.0");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(first->x, d.layout.plot.left);
  EXPECT_EQ(last->x, d.layout.plot.right);
  EXPECT_NE(t.FindText("3.5"), nullptr);

  t.g().axes[0].step = 12;
  t.Draw();
  std::set<int> rows;
  for (const char* label : {"2.0", "2.5", "3.0"}) {
    const auto* op = t.FindText(label);
    ASSERT_NE(op, nullptr) << label;
    rows.insert(op->y);
  }
  EXPECT_EQ(rows.size(), 2u);
}

TEST(GraphDrawing, SeriesOneIsDrawnLastAndXLimitsThePoints) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Line);
  t.g().series[1] = R(0, 2, 3, 2);
  t.g().foreColour[0] = 12;
  t.g().foreColour[1] = 10;
  t.Draw();
  std::vector<Rgb> order;
  for (const auto& s : t.canvas.shapes)
    if (s.kind == RecordingCanvas::ShapeOp::Polyline) order.push_back(s.pen);
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0], GraphColour(10));
  EXPECT_EQ(order[1], GraphColour(12));

  // Two X cells: two points, however long the series.
  t.g().x = R(0, 0, 1, 0);
  GraphDrawing d = t.Draw();
  EXPECT_EQ(t.SeriesHits(d, 0).size(), 2u);
}

TEST(GraphDrawing, TextAndGapsBreakTheLine) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Line);
  t.Enter("B2", "'text");
  GraphDrawing d = t.Draw();
  EXPECT_EQ(t.SeriesHits(d, 0).size(), 3u);
  int polylines = 0;
  for (const auto& s : t.canvas.shapes)
    if (s.kind == RecordingCanvas::ShapeOp::Polyline) {
      ++polylines;
      EXPECT_EQ(s.points.size(), 2u);  // B3..B4; B1 stands alone
    }
  EXPECT_EQ(polylines, 1);
  // A series of nothing but text draws no point and does not fail.
  for (int i = 1; i <= 4; ++i) t.Enter("B" + std::to_string(i), "'x");
  d = t.Draw();
  EXPECT_TRUE(d.defined);
  EXPECT_TRUE(t.SeriesHits(d, 0).empty());
}

TEST(GraphDrawing, EqualValuesLieOnOneLine) {
  GraphSheet t;
  t.g().series[0] = R(0, 2, 3, 2);  // all 5
  t.g().type = static_cast<std::uint8_t>(GraphType::Line);
  GraphDrawing d = t.Draw();
  std::vector<GraphHit> hits = t.SeriesHits(d, 0);
  ASSERT_EQ(hits.size(), 4u);
  for (const GraphHit& h : hits) EXPECT_EQ(h.rect.top, hits[0].rect.top);
}

TEST(GraphDrawing, RadarStartsAtTheTopAndTurnsClockwisePolarFromTheRight) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Radar);
  for (int i = 1; i <= 4; ++i) t.Enter("B" + std::to_string(i), "10");
  t.g().axes[1].manual = 1;
  t.g().axes[1].high = 10;
  GraphDrawing d = t.Draw();
  const PlotBox& p = d.layout.plot;
  int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
  int radius = p.height() / 2 - 12;
  std::vector<GraphHit> hits = t.SeriesHits(d, 0);
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(Centre(hits[0].rect).x, cx);
  EXPECT_EQ(Centre(hits[0].rect).y, cy - radius);
  EXPECT_EQ(Centre(hits[1].rect).x, cx + radius);
  EXPECT_EQ(Centre(hits[1].rect).y, cy);
  EXPECT_EQ(Centre(hits[2].rect).y, cy + radius);

  // Polar: the X value is the angle, counter-clockwise from the right.
  t.g().type = static_cast<std::uint8_t>(GraphType::Polar);
  t.Enter("A1", "0");
  t.Enter("A2", "90");
  t.Enter("A3", "180");
  t.Enter("B3", "5");
  t.Enter("A4", "'none");  // not a number: no point
  d = t.Draw();
  hits = t.SeriesHits(d, 0);
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(Centre(hits[0].rect).x, cx + radius);
  EXPECT_EQ(Centre(hits[1].rect).y, cy - radius);
  EXPECT_EQ(Centre(hits[2].rect).x, cx - radius / 2);
  // Spokes every 90 degrees for the default X step of 4, labelled.
  EXPECT_NE(t.FindText("90.0\xB0"), nullptr);
  EXPECT_NE(t.FindText("270.0\xB0"), nullptr);
}

TEST(GraphDrawing, LegendEntriesAndTheirSamples) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Bar);
  t.g().SetLegend(0, "Sales");
  GraphDrawing d = t.Draw();
  ASSERT_TRUE(d.layout.legend.shown);
  const LegendEntry& e = d.layout.legend.entries[0];
  const auto* text = t.FindText("Sales");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->x, e.text.x);
  EXPECT_EQ(text->y, e.text.y);
  EXPECT_EQ(text->font.pixelHeight, 8);
  // A bar graph's sample is a filled box in the series' hatch.
  bool sample = false;
  for (const auto& s : t.canvas.shapes)
    sample |= s.kind == RecordingCanvas::ShapeOp::Polygon && s.points[0].x == e.sample.left &&
              s.brush == GraphColour(t.g().foreColour[0]);
  EXPECT_TRUE(sample);
  EXPECT_EQ(d.HitAt(e.text.x + 1, e.text.y + 1).part, GraphPart::Legend);
}

TEST(GraphDrawing, HitsFindTheTopmostElement) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Bar);
  t.g().SetHeading(kMainHeading, "Title");
  GraphDrawing d = t.Draw();
  GraphHit bar = t.SeriesHits(d, 0)[3];
  Point c = Centre(bar.rect);
  GraphHit h = d.HitAt(c.x, c.y);
  EXPECT_EQ(h.part, GraphPart::Series);
  EXPECT_EQ(h.series, 0);
  EXPECT_EQ(d.HitAt(d.layout.plot.right - 2, d.layout.plot.top + 2).part, GraphPart::Plot);
  EXPECT_EQ(d.HitAt(2, 2).part, GraphPart::Outside);
  EXPECT_EQ(d.HitAt(d.layout.plot.left - 5, d.layout.plot.bottom - 10).part, GraphPart::YLabels);
  EXPECT_EQ(d.HitAt(350, d.layout.plot.bottom + 10).part, GraphPart::XLabels);
  EXPECT_EQ(d.HitAt(350, 10).part, GraphPart::Heading);
  EXPECT_EQ(d.HitAt(-5, -5).part, GraphPart::None);
}

TEST(GraphDrawing, EveryTypeDrawsAtAnySize) {
  GraphSheet t;
  t.g().series[1] = R(0, 2, 3, 2);
  t.g().x = R(0, 1, 3, 2);  // a grid of numbers, for contour
  t.g().SetLegend(0, "One");
  t.g().SetHeading(kYTitle, "Y");
  for (int type = 0; type < kGraphTypeCount + 2; ++type) {
    t.g().type = static_cast<std::uint8_t>(type);
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {3, 700}, {700, 2}, {100000, 100000}}) {
      GraphDrawing d = t.Draw(w, h);
      EXPECT_TRUE(d.defined);
      EXPECT_GT(d.layout.plot.width(), 0) << type << " " << w << "x" << h;
      EXPECT_GT(d.layout.plot.height(), 0);
    }
  }
}

TEST(GraphDrawing, HugeRangesAreCappedAndLongSeriesDrawEveryPoint) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::XY);
  for (int i = 1; i <= 8000; ++i) {
    std::string row = std::to_string(i);
    t.Enter("E" + row, row);
    t.Enter("F" + row, std::to_string(std::sin(i / 100.0)));
  }
  t.g().x = R(0, 4, 7999, 4);
  t.g().series[0] = R(0, 5, 7999, 5);
  GraphDrawing d = t.Draw(1200, 800);
  EXPECT_EQ(t.SeriesHits(d, 0).size(), 8000u);
  // A range over the whole sheet stops at the point limit.
  t.g().type = static_cast<std::uint8_t>(GraphType::Bar);
  t.g().x = R(0, 0, kRowCount - 1, kColumnCount - 1);
  t.g().series[0] = t.g().x;
  auto start = std::chrono::steady_clock::now();
  d = t.Draw();
  EXPECT_TRUE(d.defined);
  EXPECT_EQ(d.x.max, kMaxGraphPoints + 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(GraphDrawing, PiesOfThousandsOfSlicesStayReadable) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Pie3D);
  for (int i = 1; i <= 5000; ++i) {
    std::string row = std::to_string(i);
    t.Enter("E" + row, "'s" + row);
    t.Enter("F" + row, "1");
  }
  t.g().x = R(0, 4, 4999, 4);
  t.g().series[0] = R(0, 5, 4999, 5);
  GraphDrawing d = t.Draw(1400, 700);
  int pies = 0, labels = 0;
  for (const auto& s : t.canvas.shapes) pies += s.kind == RecordingCanvas::ShapeOp::Pie;
  for (const auto& op : t.canvas.texts) labels += op.text.find(" (") != std::string::npos;
  // Every slice on top (background and hatch), and the side in a few
  // layers whatever the thickness.
  EXPECT_EQ(pies % 5000, 0);
  EXPECT_GE(pies / 5000, 3);
  EXPECT_LE(pies / 5000, 2 + 9);
  EXPECT_GT(labels, 10);
  EXPECT_LT(labels, 300) << "labels that would overlap are left out";
  EXPECT_TRUE(d.defined);
}

TEST(GraphDrawing, DataLabelsSitWhereTheSeriesSays) {
  GraphSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Line);
  t.g().labels[0] = R(0, 0, 3, 0);
  GraphDrawing d = t.Draw();
  GraphHit p = t.SeriesHits(d, 0)[1];
  const RecordingCanvas::TextOp* above = nullptr;
  for (const auto& op : t.canvas.texts)
    if (op.text == "Q2" && op.font.pixelHeight == 12 && op.y < Centre(p.rect).y) above = &op;
  ASSERT_NE(above, nullptr);
  EXPECT_EQ(above->x, Centre(p.rect).x);
  t.g().labelPlace[0] = static_cast<std::uint8_t>(LabelPlace::Right);
  t.Draw();
  bool right = false;
  for (const auto& op : t.canvas.texts)
    right |= op.text == "Q2" && op.align == Align::Left && op.x > Centre(p.rect).x;
  EXPECT_TRUE(right);
  t.g().labelPlace[0] = static_cast<std::uint8_t>(LabelPlace::None);
  t.Draw();
  int q2 = 0;
  for (const auto& op : t.canvas.texts) q2 += op.text == "Q2";
  EXPECT_EQ(q2, 1) << "only the X tick label";
}

TEST(GraphDrawing, NamedGraphsDrawByIndexWithoutTouchingTheCurrentOne) {
  GraphSheet t;
  ErrorChannel errors;
  t.g().SetHeading(kMainHeading, "Saved");
  ASSERT_EQ(t.doc->extras().graphs.Create("KEPT", errors), 1);
  GraphSettings reset;
  t.g() = reset;
  GraphSettings before = t.g();
  GraphDrawing d = DrawDocumentGraph(t.canvas, *t.doc, 0, 700, 350);
  EXPECT_TRUE(d.defined);
  EXPECT_NE(t.FindText("Saved"), nullptr);
  EXPECT_EQ(t.g(), before);
  t.canvas.Reset();
  EXPECT_FALSE(DrawDocumentGraph(t.canvas, *t.doc, 1, 700, 350).defined);
  EXPECT_FALSE(DrawDocumentGraph(t.canvas, *t.doc, -1, 700, 350).defined);
}

}  // namespace
}  // namespace tabulon
