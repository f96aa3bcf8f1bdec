#include "ui/row_painter.h"

#include <gtest/gtest.h>

#include "support/recording_canvas.h"
#include "support/test_session.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

using testing::RecordingCanvas;
using testing::TestSheet;

constexpr Rgb kRed = MakeRgb(255, 0, 0);
constexpr Rgb kWhite = MakeRgb(255, 255, 255);

// A sheet, a pane with the cursor parked far away, and helpers that paint
// one row and find what was drawn in a column.
struct PaintFixture {
  TestSheet t;
  GridPane pane;
  PaintOptions options;
  RecordingCanvas canvas;

  PaintFixture() {
    pane.cursor = {200, 8000};
    pane.selection = CellRange::Cell(8000, 200);
  }

  void Paint(int row, int leftCol = 0, int width = 640) {
    canvas.Reset();
    RowPainter p(canvas, *t.doc, pane, options);
    pane.leftCol = leftCol;
    std::vector<GridSlot> cols = VisibleColumns(pane, t.doc->metrics(), options.zoom, 0, width);
    p.PaintRow({row, 0, 16}, cols);
  }
  // Texts drawn whose anchor lies in column slot x range [left, right).
  std::vector<RecordingCanvas::TextOp> TextsIn(int left, int right) {
    std::vector<RecordingCanvas::TextOp> r;
    for (auto& op : canvas.texts)
      if (op.clip.left >= left && op.clip.left < right) r.push_back(op);
    return r;
  }
  Rgb FillAt(int x) {
    Rgb c = 0xFFFFFFFF;
    for (auto& f : canvas.fills)
      if (f.rect.left <= x && x < f.rect.right) c = f.colour;
    return c;
  }
};

TEST(RowPainter, NumbersRightAlignedLabelsByPrefix) {
  PaintFixture f;
  f.t.Enter("A1", "123");
  f.t.Enter("B1", "\"right");
  f.t.Enter("C1", "^mid");
  f.t.Enter("D1", "left");
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].text.find("123"), 0u);
  EXPECT_EQ(a[0].align, Align::Right);
  EXPECT_EQ(a[0].x, 64 - 4) << "right-aligned text ends 4 pixels inside";
  auto b = f.TextsIn(64, 128);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].text, "right") << "the prefix is not drawn";
  EXPECT_EQ(b[0].align, Align::Right);
  auto c = f.TextsIn(128, 192);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].align, Align::Centre);
  EXPECT_EQ(c[0].x, 160);
  auto d = f.TextsIn(192, 256);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].text, "left");
  EXPECT_EQ(d[0].x, 196) << "left-aligned text starts 4 pixels inside";
}

TEST(RowPainter, WideNumberBecomesXMarksUntilTheColumnIsWidened) {
  PaintFixture f;
  f.t.Enter("A1", "1234567.5");
  f.t.Cell("A1")->format = 0x02;  // fixed, two decimals: "1234567.50 "
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  // (64 - 8) / width of "x" (6 pixels at the default 12-pixel font) = 9.
  EXPECT_EQ(a[0].text, std::string(9, 'x'));
  EXPECT_TRUE(f.TextsIn(64, 128).empty()) << "numbers never spill";

  f.t.doc->metrics().columnWidths[0] = 200;
  f.Paint(0);
  a = f.TextsIn(0, 200);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_NE(a[0].text.find("1234567.50"), std::string::npos) << a[0].text;
}

TEST(RowPainter, LongLabelSpillsOverEmptyNeighboursAndStopsAtAFilledOne) {
  PaintFixture f;
  f.t.Enter("A1", "a label much longer than one column");  // 35 chars, 210 pixels
  f.t.cells().GetOrCreateCell(0, 1);  // an empty record still lets it through
  f.t.Enter("E1", "stop");
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].clip.left, 0);
  EXPECT_EQ(a[0].clip.right, 256) << "runs over B, C and D, enough for 214 pixels";

  f.t.Enter("C1", "x");
  f.Paint(0);
  a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].clip.right, 128) << "cut at the first filled cell";
  // No vertical grid line inside the run-over area.
  for (auto& l : f.canvas.lines) {
    if (l.from.x == l.to.x) {
      EXPECT_NE(l.from.x, 63);
    }
  }
}

TEST(RowPainter, CentredAndRightLabelsAreClippedToTheirCell) {
  PaintFixture f;
  f.t.Enter("A1", "\"a right label much longer than one column");
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].clip.right, 64);
  f.t.Enter("A1", "^a centred label much longer than one column");
  f.Paint(0);
  a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].align, Align::Left) << "too wide to centre: starts at the left and runs on";
  EXPECT_GT(a[0].clip.right, 64);
}

TEST(RowPainter, RepeatedCharacterFillsTheCell) {
  PaintFixture f;
  f.t.Enter("A1", "\\-=");
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].text, std::string(9, '-'));
}

TEST(RowPainter, ErrorsHiddenAndTextFormat) {
  PaintFixture f;
  f.t.Enter("A1", "+1/0");
  f.t.Enter("B1", "+2+3");
  f.t.Enter("C1", "+2+3");
  f.t.Cell("B1")->format = 117;  // show the formula text
  f.t.Cell("C1")->format = 118;  // hidden
  f.Paint(0);
  auto a = f.TextsIn(0, 64);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].text, "ERR");
  auto b = f.TextsIn(64, 128);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].text, "2+3");
  EXPECT_EQ(b[0].align, Align::Left);
  EXPECT_TRUE(f.TextsIn(128, 192).empty());
}

TEST(RowPainter, StyleAlignmentOverridesThePrefix) {
  PaintFixture f;
  f.t.Enter("A1", "7");
  f.t.Cell("A1")->style = 0x10;  // left
  f.t.Enter("B1", "'text");
  f.t.Cell("B1")->style = 0x30;  // centre
  f.Paint(0);
  EXPECT_EQ(f.TextsIn(0, 64)[0].align, Align::Left);
  EXPECT_EQ(f.TextsIn(64, 128)[0].align, Align::Centre);
}

TEST(RowPainter, SchemeColoursByKindAndNegative) {
  PaintFixture f;
  f.t.Enter("A1", "5");
  f.t.Enter("B1", "-5");
  f.t.Enter("C1", "label");
  f.t.doc->settings().negativeColour = true;
  f.options.colours[kSchemeValue] = 0x03112233;  // own background, index 3
  f.Paint(0);
  EXPECT_EQ(f.FillAt(10), 0x112233u) << "value colour's background";
  EXPECT_EQ(f.TextsIn(0, 64)[0].colour, PaletteEntry(1));
  // Negative: background ignored -> row background; index 12 -> entry 10.
  EXPECT_EQ(f.FillAt(70), kWhite);
  EXPECT_EQ(f.TextsIn(64, 128)[0].colour, PaletteEntry(10));
  EXPECT_EQ(f.TextsIn(128, 192)[0].colour, PaletteEntry(0));

  f.t.doc->settings().negativeColour = false;
  f.Paint(0);
  EXPECT_EQ(f.TextsIn(64, 128)[0].colour, PaletteEntry(1)) << "plain value colour";
}

TEST(RowPainter, OwnShadeAndFontColour) {
  PaintFixture f;
  f.t.Enter("A1", "5");
  f.t.Cell("A1")->colour = 0x0E00FF00;  // own shade green, own font index 14
  f.Paint(0);
  EXPECT_EQ(f.FillAt(10), MakeRgb(0, 255, 0));
  EXPECT_EQ(f.TextsIn(0, 64)[0].colour, PaletteEntry(12));
}

TEST(RowPainter, UnlockedCellsUnderProtection) {
  PaintFixture f;
  f.t.Enter("A1", "5");
  f.t.Enter("B1", "6");
  f.t.Cell("A1")->format &= ~kLockBit;
  f.t.Cell("B1")->format |= kLockBit;
  f.t.doc->settings().protect = true;
  f.Paint(0);
  EXPECT_EQ(f.FillAt(10), 0x800000u) << "unlocked colour background";
  EXPECT_EQ(f.TextsIn(0, 64)[0].colour, PaletteEntry(5));
  EXPECT_EQ(f.FillAt(70), kWhite);
}

TEST(RowPainter, SelectionRedWhiteTextAndCursorColour) {
  PaintFixture f;
  f.t.Enter("B1", "5");
  f.pane.cursor = {1, 0};
  f.pane.selection = CellRange::Of(0, 1, 0, 2);
  f.Paint(0);
  EXPECT_EQ(f.FillAt(70), 0xFF0000u) << "cursor colour (blue) on the cursor cell";
  EXPECT_EQ(f.TextsIn(64, 128)[0].colour, kWhite);
  EXPECT_EQ(f.FillAt(140), kRed) << "rest of the selection";
  EXPECT_EQ(f.FillAt(10), kWhite);
  f.options.windowActive = false;
  f.Paint(0);
  EXPECT_EQ(f.FillAt(70), kRed) << "an inactive window shows no cursor colour";
}

TEST(RowPainter, BandingColoursEveryOtherDisplayedRow) {
  PaintFixture f;
  f.t.doc->settings().banding = true;
  f.Paint(0);
  EXPECT_EQ(f.FillAt(10), 0xE0FFFFu) << "displayed row 1 is banded";
  f.Paint(1);
  EXPECT_EQ(f.FillAt(10), kWhite);
}

TEST(RowPainter, GridLinesFollowTheFlagsAndBordersTheirCodes) {
  PaintFixture f;
  f.Paint(0, 0, 64);
  ASSERT_EQ(f.canvas.lines.size(), 2u);
  EXPECT_EQ(f.canvas.lines[0].colour, MakeRgb(192, 192, 192));
  f.pane.gridLines = 1 | 4;
  f.Paint(0, 0, 64);
  ASSERT_EQ(f.canvas.lines.size(), 1u);
  EXPECT_EQ(f.canvas.lines[0].style, PenStyle::Dot);
  EXPECT_EQ(f.canvas.lines[0].from.y, 15) << "horizontal line at the bottom";

  f.pane.gridLines = 0;
  f.t.Enter("A1", "1");
  f.t.Cell("A1")->borders = 0x01 | 0x08;  // left thin, bottom thick (code 2)
  f.Paint(0, 0, 64);
  ASSERT_EQ(f.canvas.lines.size(), 2u);
  EXPECT_EQ(f.canvas.lines[0].width, 1);
  EXPECT_EQ(f.canvas.lines[0].from.x, 0);
  EXPECT_EQ(f.canvas.lines[0].to.x, 0);
  EXPECT_EQ(f.canvas.lines[1].width, 2);
  EXPECT_EQ(f.canvas.lines[1].colour, 0u);
}

TEST(RowPainter, FontsAreSetOnlyWhenTheyChange) {
  PaintFixture f;
  for (const char* a : {"A1", "B1", "C1", "D1"}) f.t.Enter(a, "1");
  f.t.Cell("C1")->style = kBold;
  f.t.Cell("D1")->style = kBold;
  f.Paint(0);
  ASSERT_EQ(f.canvas.fonts.size(), 2u) << "default, then bold once";
  EXPECT_EQ(f.canvas.fonts[1].style, static_cast<unsigned>(kBold));
  f.t.Cell("D1")->style = kBold | 0x80;  // plain whatever the bits say
  f.Paint(0);
  EXPECT_EQ(f.canvas.fonts.back().style, 0u);
}

TEST(RowPainter, ZoomScalesFontsAndColumns) {
  PaintFixture f;
  f.t.Enter("A1", "1");
  f.t.Cell("A1")->fontSize = 20;
  f.options.zoom = ZoomForTag(8);
  f.Paint(0);
  ASSERT_FALSE(f.canvas.fonts.empty());
  EXPECT_EQ(f.canvas.fonts[0].pixelHeight, 10) << "half size at 50%";
  EXPECT_EQ(f.TextsIn(0, 32)[0].x, 32 - 4) << "columns are half as wide";
  EXPECT_EQ(ZoomForTag(3), 125) << "the 130% item draws at 125%";
  EXPECT_EQ(TagForZoom(87), 5);
  EXPECT_EQ(ZoomForTag(99), 100);
}

TEST(RowPainter, CellFontNamesFromTheTable) {
  PaintFixture f;
  std::vector<std::string> names{"Courier", "Times"};
  f.options.fontNames = &names;
  f.t.Enter("A1", "1");
  f.t.Enter("B1", "1");
  f.t.Enter("C1", "1");
  f.t.Cell("A1")->font = 1;
  f.t.Cell("C1")->font = 77;  // no such font: the default
  f.Paint(0);
  ASSERT_EQ(f.canvas.texts.size(), 3u);
  EXPECT_EQ(f.canvas.texts[0].font.face, "Times");
  EXPECT_EQ(f.canvas.texts[1].font.face, "Arial");
  EXPECT_EQ(f.canvas.texts[2].font.face, "Arial");
}

TEST(RowPainter, FrozenTitleColumnsComeFirst) {
  PaintFixture f;
  f.pane.titleColFirst = 0;
  f.pane.titleColLast = 0;
  f.t.Enter("A1", "title");
  f.t.Enter("K1", "far");
  f.Paint(0, 10, 128);
  ASSERT_EQ(f.canvas.texts.size(), 2u);
  EXPECT_EQ(f.canvas.texts[0].text, "title");
  EXPECT_EQ(f.canvas.texts[1].text, "far");
  EXPECT_EQ(f.canvas.texts[1].x, 68);
}

TEST(RowPainter, LabelDoesNotSpillAcrossAScrollGap) {
  PaintFixture f;
  f.pane.titleColFirst = 0;
  f.pane.titleColLast = 0;
  f.t.Enter("A1", "a label much longer than one column");
  f.Paint(0, 10, 256);
  ASSERT_EQ(f.canvas.texts.size(), 1u);
  EXPECT_EQ(f.canvas.texts[0].clip.right, 64) << "column K does not follow column A";
}

TEST(GridLayout, RowsUseTheDefaultHeightAndHiddenColumnsTakeNoRoom) {
  TestSheet t;
  GridPane pane;
  t.doc->metrics().columnWidths[1] = 0;
  auto cols = VisibleColumns(pane, t.doc->metrics(), 100, 40, 200);
  ASSERT_EQ(cols.size(), 4u);
  EXPECT_EQ(cols[1].index, 2);
  EXPECT_EQ(cols[1].pos, 104);
  t.doc->metrics().rowHeights[2] = 30;
  auto rows = VisibleRows(pane, t.doc->metrics(), 100, 12, 0, 40);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].size, 30);
  pane.topRow = 8190;
  EXPECT_EQ(VisibleRows(pane, t.doc->metrics(), 100, 12, 0, 1000).size(), 2u)
      << "nothing past the last row";
}

TEST(RowPainter, HeadersShowPageRowsAndZoomedFont) {
  PaintFixture f;
  f.t.doc->settings().pageHeight = 128;
  RowPainter p(f.canvas, *f.t.doc, f.pane, f.options);
  std::vector<GridSlot> rows{{127, 0, 16}, {128, 16, 16}};
  p.PaintRowHeader(rows, 0, 40);
  ASSERT_EQ(f.canvas.texts.size(), 2u);
  EXPECT_EQ(f.canvas.texts[0].text, "128");
  EXPECT_EQ(f.canvas.texts[1].text, "1") << "row numbers count within the page";
  p.PaintCorner({0, 0, 40, 16}, 300);
  EXPECT_EQ(f.canvas.texts.back().text, "C");
  PaintOptions small = f.options;
  small.zoom = 65;
  RowPainter q(f.canvas, *f.t.doc, f.pane, small);
  std::vector<GridSlot> cols{{27, 0, 40}};
  q.PaintColumnHeader(cols, 0, 16);
  EXPECT_EQ(f.canvas.texts.back().text, "AB");
  EXPECT_EQ(f.canvas.texts.back().font.face, "Small Fonts");
  EXPECT_EQ(f.canvas.texts.back().font.pixelHeight, 9);
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(RowPainter, ALabelRunningOutOfTheCursorCellStaysReadable) {
  PaintFixture f;
  f.t.Enter("A1", "a label much longer than one column");
  f.pane.cursor = {0, 0};
  f.pane.selection = CellRange::Cell(0, 0);
  f.Paint(0);
  const auto& texts = f.canvas.texts;
  ASSERT_EQ(texts.size(), 2u) << "the cursor cell and the run-over part are drawn apart";
  EXPECT_EQ(texts[0].colour, MakeRgb(255, 255, 255)) << "white inside the selection";
  EXPECT_NE(texts[1].colour, texts[0].colour) << "the label's own colour outside it";
  EXPECT_EQ(texts[0].clip.right, 64);
  EXPECT_EQ(texts[1].clip.left, 64);
  EXPECT_EQ(texts[1].clip.right, 256);
}

}  // namespace
}  // namespace tabulon
