#include <gtest/gtest.h>

#include "support/test_session.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

using testing::TestSheet;

CellAddress End(TestSheet& t, std::string_view from, Key arrow) {
  testing::Pos p = testing::At(from);
  return EndBoundary(*t.doc, p.row, p.col, arrow);
}

TEST(EndBoundary, EmptySheetRunsToTheEdges) {
  TestSheet t;
  EXPECT_EQ(End(t, "A1", Key::Right).col, 255);
  EXPECT_EQ(End(t, "A1", Key::Down).row, 8191);
  EXPECT_EQ(End(t, "C5", Key::Left).col, 0);
  EXPECT_EQ(End(t, "C5", Key::Up).row, 0);
}

TEST(EndBoundary, RunsAndGapsAlongARow) {
  TestSheet t;
  for (const char* a : {"A1", "B1", "C1", "D1", "E1", "J1", "K1"}) t.Enter(a, "1");
  EXPECT_EQ(End(t, "A1", Key::Right).col, 4) << "the end of the run";
  EXPECT_EQ(End(t, "E1", Key::Right).col, 9) << "the next filled cell";
  EXPECT_EQ(End(t, "K1", Key::Right).col, 255) << "nothing further: the edge";
  EXPECT_EQ(End(t, "K1", Key::Left).col, 9);
  EXPECT_EQ(End(t, "J1", Key::Left).col, 4);
  EXPECT_EQ(End(t, "E1", Key::Left).col, 0) << "the start of the run";
  EXPECT_EQ(End(t, "Z1", Key::Left).col, 10) << "beyond the used area the search starts at its edge";
}

TEST(EndBoundary, RunsAndGapsAlongAColumn) {
  TestSheet t;
  for (const char* a : {"B2", "B3", "B4", "B9"}) t.Enter(a, "x");
  EXPECT_EQ(End(t, "B2", Key::Down).row, 3);
  EXPECT_EQ(End(t, "B4", Key::Down).row, 8);
  EXPECT_EQ(End(t, "B9", Key::Up).row, 3);
  EXPECT_EQ(End(t, "B4", Key::Up).row, 1) << "the top of the run";
  EXPECT_EQ(End(t, "B2", Key::Up).row, 0);
  // Placeholders (empty records) are not filled cells.
  t.cells().GetOrCreateCell(5, 1);
  EXPECT_EQ(End(t, "B4", Key::Down).row, 8);
}

TEST(SheetWindowKeys, ArrowsShiftAndEndMode) {
  TestSheet t;
  SheetWindow w(*t.doc);
  w.SetVisibleSize(20, 8);
  w.HandleKey(Key::Right, {});
  w.HandleKey(Key::Down, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{1, 1}));
  w.HandleKey(Key::Left, {});
  w.HandleKey(Key::Left, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{0, 1})) << "the cursor stops at the edge";
  w.HandleKey(Key::Down, {true});
  w.HandleKey(Key::Right, {true});
  EXPECT_EQ(w.SelectionRange(), CellRange::Of(1, 0, 2, 1));
  w.HandleKey(Key::Down, {});
  EXPECT_TRUE(w.SelectionRange().IsSingleCell()) << "a plain move collapses the block";
  w.HandleKey(Key::End, {});
  EXPECT_TRUE(w.endMode());
  w.HandleKey(Key::Down, {});
  EXPECT_FALSE(w.endMode());
  EXPECT_EQ(w.CursorCell().row, 8191);
  EXPECT_EQ(w.activePane().topRow, 8191 - 20 + 1) << "the cursor is scrolled into view";
  w.HandleKey(Key::Home, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{0, 0}));
  t.Enter("D7", "5");
  w.HandleKey(Key::End, {});
  w.HandleKey(Key::Home, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{3, 6})) << "End Home goes to the last used cell";
  w.HandleKey(Key::PageDown, {});
  EXPECT_EQ(w.CursorCell().row, 26);
}

TEST(SheetWindowKeys, CharactersAndFunctionKeys) {
  TestSheet t;
  SheetWindow w(*t.doc);
  EXPECT_EQ(w.HandleKey(Key::Character, {}, 'a'), WindowAction::StartEntry);
  EXPECT_EQ(w.HandleKey(Key::Character, {}, '/'), WindowAction::CommandMenu);
  EXPECT_EQ(w.HandleKey(Key::Character, {}, '\t'), WindowAction::None);
  EXPECT_EQ(w.HandleKey(Key::Character, {}, '.'), WindowAction::StartEntry);
  w.SetPointing(true);
  EXPECT_EQ(w.HandleKey(Key::Character, {}, '.'), WindowAction::AnchorBlock);
  EXPECT_EQ(w.HandleKey(Key::F2, {}), WindowAction::EditCell);
  EXPECT_EQ(w.HandleKey(Key::F4, {}), WindowAction::CycleReference);
  EXPECT_EQ(t.host.beeps, 1) << "F4 beeps";
}

TEST(SheetWindowTitlesAndPages, TitlesKeepTheCursorOut) {
  TestSheet t;
  SheetWindow w(*t.doc);
  w.MoveCursor(2, 1);
  w.HandleKey(Key::F8, {});
  EXPECT_EQ(w.activePane().titleRowLast, 1);
  EXPECT_EQ(w.activePane().titleColLast, 0);
  w.HandleKey(Key::Home, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{1, 2}));
  w.HandleKey(Key::F8, {});
  w.HandleKey(Key::Home, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{0, 0}));
}

TEST(SheetWindowTitlesAndPages, PageTabsKeepTheRowWithinThePage) {
  TestSheet t;
  t.doc->settings().pageHeight = 2048;
  SheetWindow w(*t.doc);
  EXPECT_EQ(w.pageCount(), 4);
  w.MoveCursor(10, 3);
  w.PickPage(2);
  EXPECT_EQ(w.CursorCell(), (CellAddress{3, 2 * 2048 + 10}));
  EXPECT_EQ(w.CurrentPage(), 2);
  w.PickPage(9);
  EXPECT_EQ(w.CurrentPage(), 2) << "no such page";
}

TEST(SheetWindowPanes, SplitPanesKeepTheirOwnCursors) {
  TestSheet t;
  SheetWindow w(*t.doc);
  w.SetSplit(true);
  w.MoveCursor(5, 5);
  w.HandleKey(Key::F6, {});
  EXPECT_EQ(w.activeIndex(), 1);
  EXPECT_EQ(w.CursorCell(), (CellAddress{0, 0}));
  w.SetSplit(false);
  w.MoveCursor(3, 3);
  w.HandleKey(Key::F6, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{0, 0})) << "unsplit F6 exchanges the panes";
  w.HandleKey(Key::F6, {});
  EXPECT_EQ(w.CursorCell(), (CellAddress{3, 3}));
}

TEST(SheetWindowClose, TheQueryAsksOnlyForAModifiedLastWindow) {
  TestSheet t;
  SheetWindow w(*t.doc);
  t.doc->settings().modified = false;
  EXPECT_EQ(w.QueryClose("SHEET1.WKS", true), SheetWindow::CloseDecision::Close);
  EXPECT_TRUE(t.host.questions.empty());
  t.Enter("A1", "1");
  EXPECT_EQ(w.QueryClose("SHEET1.WKS", false), SheetWindow::CloseDecision::Close);
  t.host.answers = {Answer::Cancel, Answer::Yes, Answer::No};
  EXPECT_EQ(w.QueryClose("SHEET1.WKS", true), SheetWindow::CloseDecision::Cancel);
  EXPECT_EQ(t.host.questions.back(), "Save Worksheet \nSHEET1.WKS?");
  EXPECT_EQ(w.QueryClose("SHEET1.WKS", true), SheetWindow::CloseDecision::SaveThenClose);
  EXPECT_EQ(w.QueryClose("SHEET1.WKS", true), SheetWindow::CloseDecision::Close);
}

}  // namespace
}  // namespace tabulon
