#include <gtest/gtest.h>

#include "support/test_session.h"
#include "ui/input_line.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

using testing::TestSheet;

struct Line {
  TestSheet t;
  SheetWindow window{*t.doc};
  InputLine line{t.session};
  Line() { line.SetWindow(&window); }
  void Type(std::string_view s) {
    for (char c : s) line.TypeChar(c);
  }
};

TEST(InputLine, TypingShowsTheModeAndEnterStoresTheEntry) {
  Line l;
  EXPECT_EQ(l.line.mode(), "READY");
  l.Type("1");
  EXPECT_EQ(l.line.mode(), "VALUE");
  l.Type("2+3");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.line.mode(), "READY");
  EXPECT_EQ(l.t.Number("A1"), 15);
  EXPECT_EQ(l.line.text(), "12+3") << "the line shows the regenerated formula";
  l.line.HandleKey(Key::Down);
  l.Type("hello");
  EXPECT_EQ(l.line.mode(), "LABEL");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.line.text(), "'hello");
  EXPECT_EQ(l.line.IndicatorText(), "A2");
}

TEST(InputLine, ArrowsAcceptAndMoveUnlessTheTextAsksForAnOperand) {
  Line l;
  l.Type("7");
  l.line.HandleKey(Key::Right);
  EXPECT_EQ(l.t.Number("A1"), 7);
  EXPECT_EQ(l.window.CursorCell(), (CellAddress{1, 0}));
  l.Type("+");
  l.line.HandleKey(Key::Left);
  EXPECT_TRUE(l.line.pointing());
  EXPECT_EQ(l.line.mode(), "POINT");
  EXPECT_EQ(l.line.text(), "+A1");
  l.line.HandleKey(Key::Down);
  EXPECT_EQ(l.line.text(), "+A2");
  l.Type("*2");
  EXPECT_FALSE(l.line.pointing());
  EXPECT_EQ(l.window.CursorCell(), (CellAddress{1, 0})) << "the cursor returns to the entry";
  l.t.Enter("A2", "4");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.t.Number("B1"), 8);
  EXPECT_EQ(l.line.text(), "+A2*2");
}

TEST(InputLine, PointingABlockWithTheDotAndCyclingAbsoluteMarks) {
  Line l;
  l.window.MoveCursor(0, 3);  // D1
  l.Type("@SUM(");
  l.line.HandleKey(Key::Left);
  EXPECT_EQ(l.line.text(), "@SUM(C1");
  l.line.HandleKey(Key::F4);
  EXPECT_EQ(l.line.text(), "@SUM($C$1");
  l.line.HandleKey(Key::F4);
  EXPECT_EQ(l.line.text(), "@SUM($C1");
  l.line.HandleKey(Key::F4);
  EXPECT_EQ(l.line.text(), "@SUM(C$1");
  l.line.HandleKey(Key::F4);
  EXPECT_EQ(l.line.text(), "@SUM(C1");
  EXPECT_EQ(l.t.host.beeps, 4);
  l.line.TypeChar('.');
  EXPECT_EQ(l.line.text(), "@SUM(C1..C1") << "an anchored block always shows two corners";
  l.line.HandleKey(Key::Left);
  l.line.HandleKey(Key::Down);
  EXPECT_EQ(l.line.text(), "@SUM(C1..B2");
  l.line.HandleKey(Key::F4);
  EXPECT_EQ(l.line.text(), "@SUM(C1..$B$2") << "F4 now marks the last corner";
  l.Type(")");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.t.Cell("D1")->Kind(), kFormula);
  EXPECT_EQ(l.line.text(), "@SUM(C1..$B$2)");
}

TEST(InputLine, AFailedEntryKeepsItsTextForCorrection) {
  Line l;
  l.Type("+A1+");
  l.line.HandleKey(Key::Enter);
  EXPECT_TRUE(l.line.showsError());
  EXPECT_TRUE(l.line.errorPending());
  EXPECT_EQ(l.line.text(), "+A1+");
  EXPECT_EQ(l.line.mode(), "EDIT");
  Status failed = l.line.TakeStatus();
  EXPECT_FALSE(failed.ok()) << "the failure is handed to the workspace to show";
  // Arrows now move the caret within the text instead of accepting it.
  EXPECT_TRUE(l.line.HandleKey(Key::Left));
  EXPECT_EQ(l.line.caret(), 3);
  l.line.HandleKey(Key::End);
  l.line.TypeChar('1');
  l.line.HandleKey(Key::Enter);
  EXPECT_FALSE(l.line.showsError());
  EXPECT_EQ(l.t.Number("A1"), 1) << "a self-reference to an empty cell";
}

TEST(InputLine, ProtectedCellsShowTheirMessage) {
  Line l;
  l.t.doc->settings().protect = true;
  l.line.CursorMoved();
  EXPECT_EQ(l.line.text(), "* Protected *");
  EXPECT_TRUE(l.line.disabled());
  // Entry itself still refuses a locked cell, whoever opens the line.
  l.Type("5");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.line.TakeStatus().message(), "Protected Cell");
  EXPECT_EQ(l.line.text(), "5");
}

TEST(InputLine, TextSetWhilePointingGoesBackToTheEntryCellFirst) {
  // The view used to hand its text over while pointing; the line then
  // entered the formula into the pointed cell and erased it.
  Line l;
  l.t.Enter("G5", "5");
  l.window.MoveCursor(5, 6);  // G6
  l.line.CursorMoved();
  l.Type("@SUM(");
  l.line.HandleKey(Key::Up);
  ASSERT_TRUE(l.line.pointing());
  l.line.SetText(l.line.text(), static_cast<int>(l.line.text().size()));
  EXPECT_FALSE(l.line.pointing());
  EXPECT_EQ(l.window.CursorCell().row, 5) << "back on G6";
  l.line.HandleKey(Key::Up);
  EXPECT_EQ(l.t.Number("G5"), 5);
  EXPECT_NE(l.t.Cell("G5"), nullptr);
}

TEST(InputLine, EscapeClearsThenCloses) {
  Line l;
  l.Type("abc");
  l.line.HandleKey(Key::Escape);
  EXPECT_TRUE(l.line.entryOpen());
  EXPECT_EQ(l.line.text(), "");
  EXPECT_EQ(l.line.mode(), "?");
  l.line.HandleKey(Key::Escape);
  EXPECT_FALSE(l.line.entryOpen());
  EXPECT_EQ(l.line.mode(), "READY");
}

TEST(InputLine, F9ReplacesAFormulaByItsValue) {
  Line l;
  l.Type("2*21");
  l.line.HandleKey(Key::F9);
  EXPECT_EQ(l.line.text(), "42");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.t.Cell("A1")->Kind(), kInteger);
  // The value that replaces the formula is the formula's value, every digit.
  l.Type("1/3");
  l.line.HandleKey(Key::F9);
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(l.t.Number("A1"), 1.0 / 3.0);
}

TEST(InputLine, RangePromptHandsTheTextToItsCommand) {
  Line l;
  std::string got;
  l.window.MoveCursor(1, 1);
  l.window.MoveCursor(3, 2, true);
  l.line.OpenRangePrompt(" BUILD: FROM Range", [&](const std::string& text) { got = text; });
  EXPECT_EQ(l.line.mode(), "RANGE");
  EXPECT_EQ(l.line.text(), "B2..C4");
  l.line.HandleKey(Key::Escape);
  EXPECT_TRUE(l.line.promptOpen()) << "the first Escape collapses the block";
  EXPECT_EQ(l.line.text(), "C4");
  l.line.HandleKey(Key::Enter);
  EXPECT_EQ(got, "C4");
  EXPECT_FALSE(l.line.promptOpen());
  l.line.OpenRangePrompt(" TABLE: To Range", [&](const std::string&) { got = "called"; });
  l.line.HandleKey(Key::Escape);
  EXPECT_FALSE(l.line.promptOpen()) << "Escape on a single cell cancels";
  EXPECT_EQ(got, "C4");
}

}  // namespace
}  // namespace tabulon
