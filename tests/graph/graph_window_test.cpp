#include "graph/graph_window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graph/graph_dialog.h"
#include "support/recording_canvas.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::RecordingCanvas;
using testing::TestSheet;

// X 1..8 in A, Y 10..80 in B: an XY graph of a straight line.
struct WindowSheet : TestSheet {
  WindowSheet() {
    for (int i = 1; i <= 8; ++i) {
      Enter("A" + std::to_string(i), std::to_string(i));
      Enter("B" + std::to_string(i), std::to_string(10 * i));
    }
    g().x = CellRange::Of(0, 0, 7, 0);
    g().series[0] = CellRange::Of(0, 1, 7, 1);
    g().SetHeading(kMainHeading, "Heading");
    g().SetLegend(0, "Line");
  }
  GraphSettings& g() { return doc->extras().graphs.current; }
  RecordingCanvas canvas;
};

Point PixelOf(const GraphDrawing& d, double x, double y) {
  Point p;
  d.x.Pixel(x, p.x);
  d.y.Pixel(y, p.y);
  return p;
}

TEST(GraphWindowZoom, ARectangleSetsBothAxesToTheValuesUnderIt) {
  WindowSheet t;
  GraphWindow w(*t.doc);
  const GraphDrawing& d = w.Paint(t.canvas, 700, 350);
  Point a = PixelOf(d, 2, 60), b = PixelOf(d, 5, 20);
  ASSERT_TRUE(w.BeginZoom(a));
  w.DragZoom({a.x + 3, a.y + 3});
  EXPECT_TRUE(w.zooming());
  ASSERT_TRUE(w.EndZoom(b));
  const GraphAxis& x = t.g().axes[0];
  const GraphAxis& y = t.g().axes[1];
  EXPECT_EQ(x.manual, 1);
  EXPECT_EQ(y.manual, 1);
  double xPixel = 1 / d.x.pixelsPerUnit, yPixel = 1 / d.y.pixelsPerUnit;
  EXPECT_NEAR(x.low, 2, xPixel);
  EXPECT_NEAR(x.high, 5, xPixel);
  EXPECT_NEAR(y.low, 20, yPixel);
  EXPECT_NEAR(y.high, 60, yPixel);

  // Drawn again, the plot spans the zoomed limits.
  const GraphDrawing& z = w.Paint(t.canvas, 700, 350);
  EXPECT_NEAR(z.x.min, 2, xPixel);
  EXPECT_NEAR(z.y.max, 60, yPixel);
}

TEST(GraphWindowZoom, ASmallRectangleZoomsInByTwoAboutItsCentre) {
  WindowSheet t;
  GraphWindow w(*t.doc);
  const GraphDrawing& d = w.Paint(t.canvas, 700, 350);
  double xSpan = d.x.max - d.x.min, ySpan = d.y.max - d.y.min;
  Point c = PixelOf(d, 3, 30);
  ASSERT_TRUE(w.BeginZoom(c));
  ASSERT_TRUE(w.EndZoom({c.x + 10, c.y + 15}));
  const GraphAxis& x = t.g().axes[0];
  const GraphAxis& y = t.g().axes[1];
  EXPECT_NEAR(x.high - x.low, xSpan / 2, 2 / d.x.pixelsPerUnit);
  EXPECT_NEAR(y.high - y.low, ySpan / 2, 2 / d.y.pixelsPerUnit);
  EXPECT_NEAR((x.low + x.high) / 2, 3 + 5 / d.x.pixelsPerUnit, 2 / d.x.pixelsPerUnit);
  EXPECT_NEAR((y.low + y.high) / 2, 30 - 7 / d.y.pixelsPerUnit, 2 / d.y.pixelsPerUnit);
}

TEST(GraphWindowZoom, MenuOutInAllAndReset) {
  WindowSheet t;
  t.g().axes[1].manual = 1;
  t.g().axes[1].low = 0;
  t.g().axes[1].high = 100;
  GraphWindow w(*t.doc);
  const GraphDrawing& d = w.Paint(t.canvas, 700, 350);
  double xSpan = d.x.max - d.x.min;
  ASSERT_TRUE(w.Zoom(GraphZoom::Out));
  EXPECT_NEAR(t.g().axes[0].high - t.g().axes[0].low, 2 * xSpan, 0.1);
  EXPECT_NEAR(t.g().axes[1].high - t.g().axes[1].low, 200, 1);
  EXPECT_NEAR((t.g().axes[1].high + t.g().axes[1].low) / 2, 50, 1);
  w.Paint(t.canvas, 700, 350);
  ASSERT_TRUE(w.Zoom(GraphZoom::In));
  EXPECT_NEAR(t.g().axes[1].high - t.g().axes[1].low, 100, 1e-9);
  EXPECT_NEAR(t.g().axes[1].low, 0, 1e-9);
  ASSERT_TRUE(w.Zoom(GraphZoom::All));
  EXPECT_EQ(t.g().axes[0].manual, 0);
  EXPECT_EQ(t.g().axes[1].manual, 0);
  ASSERT_TRUE(w.Zoom(GraphZoom::Reset));
  EXPECT_EQ(t.g().axes[0].manual, 0);
  EXPECT_EQ(t.g().axes[1].manual, 1);
  EXPECT_EQ(t.g().axes[1].high, 100);
}

TEST(GraphWindowZoom, PiesAndPolarGraphsRefuse) {
  WindowSheet t;
  for (GraphType type : {GraphType::Pie, GraphType::Pie3D, GraphType::Donut, GraphType::Radar,
                         GraphType::Polar}) {
    t.g().type = static_cast<std::uint8_t>(type);
    GraphWindow w(*t.doc);
    w.Paint(t.canvas, 700, 350);
    EXPECT_FALSE(w.BeginZoom({300, 150}));
    EXPECT_FALSE(w.EndZoom({400, 200}));
    EXPECT_FALSE(w.Zoom(GraphZoom::In));
    EXPECT_EQ(t.g().axes[0].manual, 0);
  }
  // An undefined graph has nothing to zoom either.
  GraphSettings reset;
  t.g() = reset;
  GraphWindow w(*t.doc);
  w.Paint(t.canvas, 700, 350);
  EXPECT_FALSE(w.BeginZoom({1, 1}));
}

TEST(GraphWindowClicks, ShiftClickOpensThePageOfTheElement) {
  WindowSheet t;
  t.g().type = static_cast<std::uint8_t>(GraphType::Bar);
  t.g().series[2] = t.g().series[0];
  GraphWindow w(*t.doc);
  const GraphDrawing& d = w.Paint(t.canvas, 700, 350);
  Rect bar{};
  for (const GraphHit& h : d.hits)
    if (h.part == GraphPart::Series && h.series == 2) bar = h.rect;
  Point inBar{(bar.left + bar.right) / 2, bar.bottom - 2};
  EXPECT_EQ(w.ShiftClick(inBar), (GraphPageRequest{kGraphOptionsPage, 2}));
  const PlotBox& p = d.layout.plot;
  EXPECT_EQ(w.ShiftClick({p.right - 3, p.top + 3}),
            (GraphPageRequest{kGraphOptionsPage, kGraphOtherTab}));
  EXPECT_EQ(w.ShiftClick({1, 1}), (GraphPageRequest{kGraphOptionsPage, kGraphOtherTab}));
  EXPECT_EQ(w.ShiftClick({350, 12}), (GraphPageRequest{kGraphHeadingsPage, 0}));
  EXPECT_EQ(w.ShiftClick({p.left - 6, (p.top + p.bottom) / 2}),
            (GraphPageRequest{kGraphScalesPage, 1}));
  EXPECT_EQ(w.ShiftClick({(p.left + p.right) / 2, p.bottom + 8}),
            (GraphPageRequest{kGraphScalesPage, 0}));
  const LegendEntry& e = d.layout.legend.entries[0];
  EXPECT_EQ(w.ShiftClick({e.text.x + 2, e.text.y + 2}), (GraphPageRequest{kGraphLegendsPage, 0}));
  EXPECT_EQ(w.ShiftClick({-10, 500}), std::nullopt);

  // The context menu names the series under a right click.
  w.SelectAt(inBar);
  EXPECT_EQ(w.selectedSeries(), 2);
  std::vector<std::string> menu = w.ContextMenuCaptions();
  ASSERT_EQ(menu.size(), 11u);
  EXPECT_EQ(menu[0], "&Attributes (3)");
  EXPECT_EQ(menu[8], "S&ave to Bitmap");
  EXPECT_EQ(w.PageFor(GraphMenuItem::Attributes), (GraphPageRequest{kGraphOptionsPage, 2}));
  EXPECT_EQ(w.PageFor(GraphMenuItem::Fonts), (GraphPageRequest{kGraphFontsPage, 0}));
  EXPECT_EQ(w.PageFor(GraphMenuItem::CopyToClipboard), std::nullopt);
  w.SelectAt({1, 1});
  EXPECT_EQ(w.ContextMenuCaptions()[0], "No Selection");
  EXPECT_EQ(w.PageFor(GraphMenuItem::Attributes), std::nullopt);
}

TEST(GraphWindowClicks, KeysAndPageCodes) {
  EXPECT_TRUE(GraphWindow::KeyCloses(Key::Escape, {}));
  EXPECT_TRUE(GraphWindow::KeyCloses(Key::Character, {}));
  EXPECT_FALSE(GraphWindow::KeyCloses(Key::Character, {.shift = true}));
  EXPECT_FALSE(GraphWindow::KeyCloses(Key::F4, {.alt = true}));
  EXPECT_FALSE(GraphWindow::KeyCloses(Key::None, {}));
  GraphPageRequest r{kGraphScalesPage, 1};
  EXPECT_EQ(GraphPageRequest::FromCode(r.Code()), r);
  EXPECT_EQ(GraphPageRequest::FromCode(15).page, 8);
}

// --- the settings dialog ----------------------------------------------------

struct DialogSheet : WindowSheet {
  DialogSheet() : dialog(*doc) { dialog.Open({kGraphRangesPage, 0}, CellRange::Of(2, 2, 5, 3)); }
  GraphDialog dialog;
};

TEST(GraphSettingsDialog, OkTakesRangesAndScalesCancelRestores) {
  DialogSheet t;
  EXPECT_STREQ(t.dialog.Caption(), "Specify Ranges");
  EXPECT_EQ(t.dialog.seriesEdits[0], "A1..A8");
  EXPECT_EQ(t.dialog.seriesEdits[1], "B1..B8");
  EXPECT_EQ(t.dialog.seriesEdits[2], "");
  t.dialog.seriesEdits[2] = "c1..c8";
  t.dialog.labelEdits[5] = "A1..A8";
  t.dialog.scaleEdits[1].upper = "500";
  t.dialog.scaleEdits[1].step = "10";
  ASSERT_TRUE(t.dialog.Ok());
  EXPECT_EQ(t.g().series[1], CellRange::Of(0, 2, 7, 2));
  EXPECT_EQ(t.g().labels[5], CellRange::Of(0, 0, 7, 0));
  EXPECT_EQ(t.g().axes[1].high, 500);
  EXPECT_EQ(t.g().axes[1].step, 10);

  // A bad edit refuses OK and takes nothing.
  GraphSettings before = t.g();
  t.dialog.seriesEdits[3] = "B1..!!";
  t.dialog.scaleEdits[0].lower = "7";
  Status s = t.dialog.Ok();
  EXPECT_FALSE(s);
  EXPECT_EQ(s.message(), "Invalid range 3: B1..!!");
  EXPECT_EQ(t.g(), before);
  t.dialog.seriesEdits[3] = "";
  t.dialog.scaleEdits[0].step = "300";
  EXPECT_FALSE(t.dialog.Ok());
  t.dialog.scaleEdits[0].step = "4";
  t.dialog.scaleEdits[0].upper = "abc";
  EXPECT_FALSE(t.dialog.Ok());
  EXPECT_EQ(t.g(), before);

  // Choices change the record at once; Cancel takes it back to the opening.
  t.dialog.Open({kGraphTypePage, 0}, {});
  t.dialog.ChooseType(true, 4);
  EXPECT_EQ(t.g().Type(), GraphType::Bar3D);
  EXPECT_EQ(t.dialog.TypeIndex(false), -1);
  EXPECT_EQ(t.dialog.TypeIndex(true), 4);
  t.dialog.ChooseType(false, 11);
  EXPECT_EQ(t.g().Type(), GraphType::Contour);
  t.dialog.ChooseType(false, 12);  // no such item
  EXPECT_EQ(t.g().Type(), GraphType::Contour);
  t.dialog.Cancel();
  EXPECT_EQ(t.g(), before);
}

TEST(GraphSettingsDialog, RangesPageResetsPointingAndLabelLocations) {
  DialogSheet t;
  EXPECT_EQ(t.dialog.PointPrompt(false, 0), "X-Data: Specify Range");
  EXPECT_EQ(t.dialog.PointPrompt(false, 4), "4-Data: Specify Range");
  EXPECT_EQ(t.dialog.PointPrompt(true, 1), "2-Label : Specify Range");
  EXPECT_EQ(t.dialog.PointStart(false, 1), CellRange::Of(0, 1, 7, 1));
  EXPECT_EQ(t.dialog.PointStart(false, 5), CellRange::Of(2, 2, 5, 3)) << "empty: the selection";
  t.dialog.PointDone(false, 5, CellRange::Of(0, 4, 9, 4));
  EXPECT_EQ(t.dialog.seriesEdits[5], "E1..E10");
  t.dialog.labelFocus = 3;
  t.dialog.SetLabelLocation(2);
  EXPECT_EQ(t.g().labelPlace[3], 2);
  EXPECT_EQ(t.dialog.LabelLocation(), 2);
  t.dialog.SetLabelLocation(6);
  EXPECT_EQ(t.g().labelPlace[3], 2);
  t.dialog.ResetRanges();
  ASSERT_TRUE(t.dialog.Ok());
  EXPECT_FALSE(t.g().x.IsDefined());
  EXPECT_FALSE(t.g().series[0].IsDefined());
}

TEST(GraphSettingsDialog, OptionsScalesNamesHeadingsLegendsFonts) {
  DialogSheet t;
  t.dialog.SetLineStyle(1, 3);
  t.dialog.SetThickness(1, 4);
  EXPECT_EQ(t.g().thickness[1], 4);
  EXPECT_EQ(t.g().lineStyle[1], 1) << "a thickness resets the style";
  t.dialog.SetLineStyle(1, 2);
  EXPECT_EQ(t.g().thickness[1], 1) << "a style resets the thickness";
  t.dialog.SetGrid(3);
  t.dialog.SetGridSolid(true);
  t.dialog.SetInsideColour(20);
  EXPECT_EQ(t.g().Grid(), 3);
  EXPECT_TRUE(t.g().GridSolid());
  EXPECT_EQ(t.g().insideColour, 4);

  t.dialog.scaleEdits[1].lower = "2*-5";
  t.dialog.LeaveScaleEdit(1, ScaleField::Lower);
  EXPECT_EQ(t.dialog.scaleEdits[1].lower, "-10");
  t.dialog.scaleEdits[1].upper = "@SQRT(B4*10)";
  t.dialog.LeaveScaleEdit(1, ScaleField::Upper);
  EXPECT_EQ(t.dialog.scaleEdits[1].upper, "20");
  t.dialog.scaleEdits[0].step = "1+";
  t.dialog.LeaveScaleEdit(0, ScaleField::Step);
  EXPECT_EQ(t.dialog.scaleEdits[0].step, "1+") << "kept for correction";
  t.dialog.scaleEdits[0].step = "5";
  t.dialog.SetManual(1, true);
  t.dialog.SetLogarithmic(0, true);
  ASSERT_TRUE(t.dialog.Ok());
  EXPECT_EQ(t.g().axes[1].low, -10);
  EXPECT_EQ(t.g().axes[1].high, 20);
  EXPECT_TRUE(t.g().LogX());

  t.dialog.Open({kGraphNamesPage, 0}, {});
  t.dialog.TypeName("first one");
  EXPECT_EQ(t.dialog.nameEdit, "FIRST ONE");
  ASSERT_TRUE(t.dialog.NewName());
  EXPECT_EQ(t.dialog.NameList(), std::vector<std::string>{"FIRSTONE"});
  t.dialog.headingEdits[0] = std::string(45, 'h');
  t.dialog.LeaveHeading(0);
  EXPECT_EQ(t.g().Heading(0), std::string(40, 'h'));
  EXPECT_TRUE(t.dialog.UseListEntry(0));
  EXPECT_EQ(t.dialog.headingEdits[0], "Heading") << "the fields show the graph used";
  EXPECT_FALSE(t.dialog.UseListEntry(3));
  t.dialog.nameEdit = "FIRSTONE";
  EXPECT_TRUE(t.dialog.DeleteName());
  EXPECT_FALSE(t.dialog.DeleteName());
  for (int i = 0; i < 10; ++i) {
    t.dialog.TypeName("g" + std::to_string(i));
    ASSERT_TRUE(t.dialog.NewName());
  }
  t.dialog.TypeName("more");
  Status full = t.dialog.NewName();
  EXPECT_FALSE(full);
  EXPECT_EQ(full.message(), "Named Graphs>10");

  t.dialog.legendEdits[2] = std::string(30, 'l');
  t.dialog.LeaveLegend(2);
  EXPECT_EQ(t.g().Legend(2), std::string(20, 'l'));
  t.dialog.ClearLegends();
  EXPECT_EQ(t.g().Legend(0), "");
  t.dialog.SetLegendTable(true);
  EXPECT_TRUE(t.g().LegendTable());
  t.dialog.SetFont(kValuesText, "Courier", 10, kBold | kItalic, 12);
  EXPECT_EQ(t.g().FontFace(kValuesText), "Courier");
  EXPECT_EQ(t.g().fontSize[kValuesText], 10);
  EXPECT_EQ(t.g().fontStyle[kValuesText], 3);
  EXPECT_EQ(t.g().textColour[kValuesText], 12);
}

}  // namespace
}  // namespace tabulon
