#include "ui/find_replace.h"

#include <gtest/gtest.h>

#include "edit/cell_text.h"
#include "support/test_session.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

using testing::TestSheet;

struct Finder {
  TestSheet t;
  SheetWindow w{*t.doc};
  FindReplace f;
  std::string Edit(std::string_view a) { return CellEditText(*t.doc, t.Cell(a)); }
  std::string At() {
    CellAddress c = w.CursorCell();
    return ShortAddressText(c.row, c.col, 0);
  }
};

TEST(FindReplace, ScansRowsThenColumnsThroughLabelsFormulasAndDigits) {
  Finder x;
  x.t.Enter("C1", "total");
  x.t.Enter("A2", "@SUM(B1..B3)");
  x.t.Enter("B3", "1234");
  x.t.Enter("A3", "'subtotal");
  x.f.Activate(x.w);
  EXPECT_FALSE(x.f.selectedOnly) << "a single cell searches the whole sheet";
  x.f.SetFindText("t");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "C1");
  EXPECT_EQ(x.f.result(), "C1]'total");
  EXPECT_EQ(x.f.FindCaption(), "Find &Next");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "A3");
  // The end: a beep, the count line, and the next Find starts again.
  EXPECT_FALSE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.f.result(), "0 Occurances.");
  EXPECT_EQ(x.f.FindCaption(), "Fi&nd");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "C1");

  // Regenerated formula text and the digits of numbers match too.
  x.f.SetFindText("SUM(B1");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "A2");
  x.f.SetFindText("23");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "B3");
}

TEST(FindReplace, CaseMattersUnlessAskedNotTo) {
  Finder x;
  x.t.Enter("A1", "'Apple");
  x.f.SetFindText("apple");
  EXPECT_FALSE(x.f.Find(x.w).ok());
  x.f.caseInsensitive = true;
  x.f.SetFindText("apple ");
  x.f.SetFindText("apple");
  EXPECT_TRUE(x.f.Find(x.w).ok());
}

TEST(FindReplace, ASelectionLimitsTheSearch) {
  Finder x;
  x.t.Enter("A1", "'x");
  x.t.Enter("C3", "'x");
  x.w.MoveCursor(1, 1);
  x.w.MoveCursor(3, 3, true);  // B2..D4
  x.f.Activate(x.w);
  EXPECT_TRUE(x.f.selectedOnly);
  EXPECT_EQ(x.f.ScopeText(0), "B2..D4");
  x.f.SetFindText("x");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "C3");
  EXPECT_FALSE(x.f.Find(x.w).ok());
}

TEST(FindReplace, ReplaceAllCountsEveryOccurrenceAndRecompilesFormulas) {
  Finder x;
  x.t.Enter("A1", "'ab ab ab");
  x.t.Enter("B2", "'cab");
  x.t.Enter("C3", "+A9*2");
  x.t.Enter("A9", "4");
  x.f.SetFindText("ab");
  x.f.SetReplaceText("X");
  ASSERT_FALSE(x.f.ReplaceAll(x.w).ok());  // ends at the end of the scope
  EXPECT_EQ(x.f.count(), 4);
  EXPECT_EQ(x.f.result(), "4 occurances!");
  EXPECT_EQ(x.Edit("A1"), "'X X X");
  EXPECT_EQ(x.Edit("B2"), "'cX");
  // A replaced address is entered as typed: the formula is compiled anew.
  x.f.SetFindText("A9");
  x.f.SetReplaceText("A10");
  x.t.Enter("A10", "5");
  x.f.ReplaceAll(x.w);
  EXPECT_EQ(x.Edit("C3"), "+A10*2");
  EXPECT_EQ(x.t.Number("C3"), 10);
}

TEST(FindReplace, AReplacementContainingTheFindTextEnds) {
  Finder x;
  x.t.Enter("A1", "'a-a");
  x.f.SetFindText("a");
  x.f.SetReplaceText("aa");
  x.f.ReplaceAll(x.w);
  EXPECT_EQ(x.Edit("A1"), "'aa-aa");
  EXPECT_EQ(x.f.count(), 2);
  // With the Replace button the guard refuses outright.
  x.f.SetFindText("aa");
  x.f.SetReplaceText("AAA");
  Status s = x.f.Replace(x.w);
  EXPECT_EQ(s.message(), "Circular Replace Detected");
  EXPECT_EQ(x.Edit("A1"), "'aa-aa");
}

TEST(FindReplace, ATextThatWouldOutgrowTheCellIsRefusedNotCut) {
  Finder x;
  std::string long_text = "'" + std::string(200, 'y') + "zz";
  x.t.Enter("A1", long_text);
  x.t.Enter("A2", "'zz");
  x.f.SetFindText("zz");
  x.f.SetReplaceText(std::string(60, 'w'));
  x.f.ReplaceAll(x.w);
  EXPECT_EQ(x.Edit("A1"), long_text) << "unchanged, not cut";
  EXPECT_EQ(x.Edit("A2"), "'" + std::string(60, 'w'));
  EXPECT_EQ(x.f.count(), 1);
  EXPECT_EQ(x.f.refused(), 1);
  EXPECT_EQ(x.f.result(), "1 occurances! (1 refused)");
}

TEST(FindReplace, ReplaceChangesTheCellFoundThenMovesOn) {
  Finder x;
  x.t.Enter("A1", "'red");
  x.t.Enter("A2", "'red");
  x.f.SetFindText("red");
  x.f.SetReplaceText("blue");
  ASSERT_TRUE(x.f.Find(x.w).ok());
  EXPECT_EQ(x.At(), "A1");
  ASSERT_TRUE(x.f.Replace(x.w).ok());
  EXPECT_EQ(x.Edit("A1"), "'blue");
  EXPECT_EQ(x.At(), "A2");
  EXPECT_EQ(x.Edit("A2"), "'red");
}

TEST(FindReplace, TheHistoryKeepsTenDistinctTexts) {
  FindReplace f;
  for (int i = 0; i < 14; ++i) {
    f.SetFindText("t" + std::to_string(i % 12));
    f.RememberFindText();
  }
  EXPECT_EQ(f.history().size(), 10u);
  EXPECT_EQ(f.history().front(), "t1");
  std::vector<std::string> h = f.history();
  std::sort(h.begin(), h.end());
  EXPECT_EQ(std::unique(h.begin(), h.end()), h.end());
}

TEST(FindReplace, EmptyFindTextAndEmptySheetAreHarmless) {
  Finder x;
  EXPECT_FALSE(x.f.Find(x.w).ok());
  x.f.SetFindText("q");
  EXPECT_FALSE(x.f.ReplaceAll(x.w).ok());
  EXPECT_EQ(x.f.count(), 0);
}

}  // namespace
}  // namespace tabulon
