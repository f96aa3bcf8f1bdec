#include <gtest/gtest.h>

#include <random>
#include <string>

#include "formula/recalc.h"
#include "sheet/address.h"
#include "edit/block_ops.h"
#include "edit/sheet_invariants.h"
#include "edit/undo.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::At;
using testing::CheckSheet;
using testing::Describe;
using testing::DescribeBlock;
using testing::References;
using testing::Rng;
using testing::Refs;
using testing::Desc;
using testing::TestSheet;

CellRange Name(TestSheet& t, std::string_view name) {
  const CellRange* r = t.doc->names().Lookup(name);
  return r ? *r : CellRange{};
}

std::string Everything(TestSheet& t) { return DescribeBlock(*t.doc, 0, 0, 40, 20); }

#define EXPECT_CONSISTENT(t) EXPECT_EQ(CheckSheet(*(t).doc), "")

// ---------------------------------------------------------------------------
// Rows

TEST(InsertRows, FormulasNamesAndStoredRangesShiftWithTheRows) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A3", "3");
  t.Enter("A10", "10");
  t.Enter("A5", "+A1+A10");
  t.Enter("C1", "@SUM(A1..A10)");
  t.doc->names().DefineName("LOW", Rng("A5..B6"));
  t.doc->names().DefineName("TOP", Rng("A1..A2"));
  t.doc->names().DefineName("SPAN", Rng("B7..A1"));
  CellRange graph = Rng("C4..D4");
  t.doc->RegisterStoredRange(&graph);
  t.doc->metrics().SetRowHeight(2, 30);
  int maxRow = t.cells().maxRow();

  ASSERT_TRUE(InsertRows(*t.doc, 2, 2).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(t.Number("A5"), 3);
  EXPECT_EQ(Refs(t, "A7"), "A1 A12");
  EXPECT_EQ(t.Number("A7"), 11);
  EXPECT_EQ(Refs(t, "C1"), "A1..A12");
  EXPECT_EQ(Name(t, "LOW"), Rng("A7..B8"));
  EXPECT_EQ(Name(t, "TOP"), Rng("A1..A2"));
  EXPECT_EQ(Name(t, "SPAN"), Rng("B9..A1")) << "a range across the first row stretches";
  EXPECT_EQ(graph, Rng("C6..D6"));
  EXPECT_EQ(t.doc->metrics().rowHeights[4], 30);
  EXPECT_EQ(t.doc->metrics().rowHeights[2], kDefaultRowHeight);
  EXPECT_FALSE(t.doc->metrics().FollowsDefaultHeight(4));
  EXPECT_TRUE(t.doc->metrics().FollowsDefaultHeight(2));
  EXPECT_EQ(t.cells().maxRow(), maxRow + 2);
  // The inserted rows lie inside the sum's rectangle: it sees them.
  t.Enter("A3", "100");
  EXPECT_EQ(t.Number("C1"), 1 + 100 + 3 + 11 + 10);
}

TEST(InsertRows, FailsWhenUsedRowsWouldLeaveTheSheet) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B8191", "+A1");
  std::string before = Everything(t);
  ASSERT_TRUE(InsertRows(*t.doc, 0, 1).ok) << "the last row is still free";
  EXPECT_EQ(Refs(t, "B8192"), "A2");
  EXPECT_FALSE(InsertRows(*t.doc, 0, 1).ok);
  EXPECT_EQ(t.session.errors().message(), "CELLS in bottom row");
  EXPECT_EQ(Refs(t, "B8192"), "A2");
  EXPECT_FALSE(InsertRows(*t.doc, 5, 9000).ok);
  EXPECT_CONSISTENT(t);
}

TEST(InsertRows, BeyondTheUsedRowsOrWithNoCountNothingHappens) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A3", "3");
  t.doc->names().DefineName("N", Rng("A5..A6"));
  for (auto [a, n] : {std::pair{5, 1}, {-1, 1}, {0, 0}, {1, -3}}) {
    EXPECT_TRUE(InsertRows(*t.doc, a, n).ok);
    EXPECT_TRUE(DeleteRows(*t.doc, a, n).ok);
  }
  EXPECT_EQ(Everything(t), "A1 N:1\nA3 N:3\n");
  EXPECT_EQ(Name(t, "N"), Rng("A5..A6"));
}

TEST(DeleteRows, ReferencesToDeletedRowsBecomeErrorsAndTheRestMovesUp) {
  TestSheet t;
  for (int r = 1; r <= 10; ++r) t.Enter("A" + std::to_string(r), std::to_string(r));
  t.Enter("B1", "+A3");
  t.Enter("B2", "+A4*2");
  t.Enter("C1", "@SUM(A1..A10)");
  t.Enter("C3", "+B2");  // a formula in the deleted row that others do not use
  t.doc->names().DefineName("NAME", Rng("A5..B6"));
  t.doc->names().DefineName("EDGE", Rng("D3..D6"));  // D3 has no record
  t.doc->names().DefineName("INSIDE", Rng("E3"));
  t.doc->names().DefineName("ONCELL", Rng("A3..A4"));

  ASSERT_TRUE(DeleteRows(*t.doc, 2, 1).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(Refs(t, "B1"), "ERR");
  EXPECT_TRUE(t.IsError("B1"));
  EXPECT_EQ(Refs(t, "B2"), "A3");
  EXPECT_EQ(t.Number("B2"), 8);
  EXPECT_EQ(Refs(t, "C1"), "A1..A9");
  EXPECT_EQ(t.Number("C1"), 55 - 3);
  EXPECT_EQ(Name(t, "NAME"), Rng("A4..B5"));
  EXPECT_EQ(Name(t, "EDGE"), Rng("D3..D5")) << "a corner in the deleted row keeps to the rows left";
  EXPECT_FALSE(Name(t, "INSIDE").IsDefined());
  EXPECT_FALSE(Name(t, "ONCELL").IsDefined()) << "its corner was a deleted record";
  EXPECT_EQ(t.cells().maxRow(), 8);
  EXPECT_EQ(t.Number("A9"), 10);
}

TEST(DeleteRows, DeletingPastTheUsedRowsKeepsTheExtentsCoveringEveryCell) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "+A1");
  t.Enter("B6", "6");
  ASSERT_TRUE(DeleteRows(*t.doc, 3, 100).ok);
  EXPECT_EQ(t.cells().maxRow(), 2);
  EXPECT_EQ(t.Cell("B6"), nullptr);
  EXPECT_CONSISTENT(t);
  ASSERT_TRUE(DeleteRows(*t.doc, 0, 8192).ok);
  EXPECT_EQ(t.cells().recordCount(), 0u);
  EXPECT_EQ(t.cells().maxRow(), 0);
  EXPECT_CONSISTENT(t);
}

TEST(DeleteRows, UndoBringsTheRowsBack) {
  TestSheet t;
  for (int r = 1; r <= 5; ++r) t.Enter("A" + std::to_string(r), std::to_string(r));
  t.Enter("B1", "@SUM(A1..A5)+A3");
  std::string before = Everything(t);
  ASSERT_TRUE(DeleteRows(*t.doc, 1, 2).ok);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Everything(t), before);
  EXPECT_CONSISTENT(t);
}

TEST(GraphRanges, FollowInsertionDeletionAndMoveOfRowsAndColumns) {
  TestSheet t;
  for (int r = 1; r <= 6; ++r) t.Enter("B" + std::to_string(r), std::to_string(r));
  GraphBook& book = t.doc->extras().graphs;
  book.current.x = Rng("A2..A6");
  book.current.series[0] = Rng("B2..B6");
  book.current.labels[5] = Rng("C4..C4");
  ErrorChannel errors;
  ASSERT_EQ(book.Create("SAVED", errors), 1);
  book.current.series[1] = Rng("D1..D3");

  ASSERT_TRUE(InsertRows(*t.doc, 2, 3).ok);  // before row 3
  EXPECT_EQ(book.current.x, Rng("A2..A9"));
  EXPECT_EQ(book.current.labels[5], Rng("C7..C7"));
  EXPECT_EQ(book.current.series[1], Rng("D1..D6"));
  EXPECT_EQ(book.named[0].settings.series[0], Rng("B2..B9")) << "named graphs follow too";

  ASSERT_TRUE(InsertColumns(*t.doc, 1, 1).ok);  // before column B
  EXPECT_EQ(book.current.series[0], Rng("C2..C9"));
  EXPECT_EQ(book.current.x, Rng("A2..A9"));

  ASSERT_TRUE(DeleteRows(*t.doc, 6, 1).ok);  // the row of the label cell
  EXPECT_FALSE(book.current.labels[5].IsDefined()) << "a range inside the band goes";
  EXPECT_EQ(book.current.x, Rng("A2..A8"));

  ASSERT_TRUE(MoveRange(*t.doc, Rng("C2..C8"), Rng("F12")).ok);
  EXPECT_EQ(book.current.series[0], Rng("F12..F18"));
  EXPECT_EQ(book.named[0].settings.series[0], Rng("F12..F18"));
  EXPECT_CONSISTENT(t);
}

TEST(GraphRanges, UndoBringsThemBackWithTheCells) {
  TestSheet t;
  for (int r = 1; r <= 4; ++r) t.Enter("A" + std::to_string(r), std::to_string(r));
  GraphBook& book = t.doc->extras().graphs;
  book.current.series[0] = Rng("A1..A4");
  t.doc->names().DefineName("DATA", Rng("A2..A3"));
  ErrorChannel errors;
  ASSERT_EQ(book.Create("G", errors), 1);
  std::string before = Everything(t);

  ASSERT_TRUE(DeleteRows(*t.doc, 1, 2).ok);
  EXPECT_EQ(book.current.series[0], Rng("A1..A2"));
  EXPECT_FALSE(Name(t, "DATA").IsDefined());
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Everything(t), before);
  EXPECT_EQ(book.current.series[0], Rng("A1..A4"));
  EXPECT_EQ(book.named[0].settings.series[0], Rng("A1..A4"));
  EXPECT_EQ(Name(t, "DATA"), Rng("A2..A3"));

  // Named graphs created or deleted since the snapshot keep their own
  // ranges: a graph restores by its name, not by its place in the list.
  ASSERT_EQ(book.Create("H", errors), 2);
  ASSERT_TRUE(InsertRows(*t.doc, 0, 1).ok);
  EXPECT_EQ(book.named[1].settings.series[0], Rng("A2..A5"));
  ASSERT_EQ(book.Remove("G"), 1);
  ASSERT_EQ(book.Create("K", errors), 2);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(book.current.series[0], Rng("A1..A4"));
  ASSERT_EQ(book.named.size(), 2u);
  EXPECT_EQ(book.named[0].name(), "H");
  EXPECT_EQ(book.named[0].settings.series[0], Rng("A1..A4"));
  EXPECT_EQ(book.named[1].name(), "K");
  EXPECT_EQ(book.named[1].settings.series[0], Rng("A2..A5")) << "made after the snapshot";
  EXPECT_CONSISTENT(t);
}

TEST(RowPages, InsertionAndDeletionStayInsideTheirPage) {
  TestSheet t;
  t.doc->settings().pageHeight = 2048;  // four pages
  t.Enter("A1", "1");
  t.Enter("A3", "3");
  t.Enter("A2049", "5");       // first row of page B
  t.Enter("A2050", "+A3+A2049");
  t.doc->names().DefineName("PAGEB", Rng("A2049..B2050"));
  t.doc->names().DefineName("PAGEA", Rng("A3..B4"));
  t.doc->metrics().rowHeights[2048] = 40;

  ASSERT_TRUE(InsertRows(*t.doc, 1, 1).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(t.Number("A4"), 3);
  EXPECT_EQ(t.Number("A2049"), 5) << "page B's rows stay";
  EXPECT_EQ(Refs(t, "A2050"), "A4 A2049");
  EXPECT_EQ(Name(t, "PAGEB"), Rng("A2049..B2050"));
  EXPECT_EQ(Name(t, "PAGEA"), Rng("A4..B5"));
  EXPECT_EQ(t.doc->metrics().rowHeights[2048], 40);

  ASSERT_TRUE(DeleteRows(*t.doc, 0, 1).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(t.Number("A3"), 3);
  EXPECT_EQ(t.Number("A2049"), 5);
  EXPECT_EQ(Name(t, "PAGEB"), Rng("A2049..B2050"));

  // A cell on the page's last row would be pushed into the next page.
  t.Enter("C2048", "7");
  std::string before = Everything(t);
  EXPECT_FALSE(InsertRows(*t.doc, 0, 1).ok);
  EXPECT_EQ(t.session.errors().message(), "CELLS in bottom row");
  EXPECT_EQ(Everything(t), before);
  EXPECT_EQ(t.Number("C2048"), 7);
  // Other pages are free to grow.
  t.session.errors().Clear();
  EXPECT_TRUE(InsertRows(*t.doc, 2048, 1).ok);
  EXPECT_EQ(t.Number("A2050"), 5);
  EXPECT_CONSISTENT(t);
}

TEST(RowPages, RangesAcrossPagesStayRegisteredOverTheirRectangles) {
  TestSheet t;
  t.doc->settings().pageHeight = 128;
  t.Enter("A1", "1");
  t.Enter("A200", "2");
  t.Enter("B1", "@SUM(A1..A200)");
  ASSERT_TRUE(DeleteRows(*t.doc, 5, 3).ok);
  EXPECT_CONSISTENT(t) << "the rows that emptied at the end of page A are still in the sum";
  EXPECT_EQ(Refs(t, "B1"), "A1..A200");
  t.Enter("A127", "10");
  EXPECT_EQ(t.Number("B1"), 13);
}

TEST(InsertPageBreak, InsertsARowWithTheBreakMarkUnderTheCursor) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  t.Enter("B1", "+A2");
  ASSERT_TRUE(InsertPageBreak(*t.doc, 1, 2).ok);
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 0, 3, 3), "A1 N:1\nB1 F:A3=2\nC2 L:|::\nA3 N:2\n");
  EXPECT_CONSISTENT(t);
  EXPECT_FALSE(InsertPageBreak(*t.doc, 8192, 0).ok);
}

// ---------------------------------------------------------------------------
// Columns

TEST(InsertColumns, CellsFormulasNamesAndWidthsShiftRight) {
  TestSheet t;
  t.Enter("B1", "2");
  t.Enter("E1", "5");
  t.Enter("C1", "+B1+E1");
  t.Enter("A3", "@SUM(A1..E1)");
  t.doc->names().DefineName("COLS", Rng("C1..D2"));
  t.doc->names().DefineName("LEFT", Rng("A1..B2"));
  t.doc->metrics().SetDefaultColumnWidth(80);  // a global width set by the user
  t.doc->metrics().SetColumnWidth(2, 100);
  t.doc->metrics().SetColumnWidth(3, 80);
  ASSERT_TRUE(InsertColumns(*t.doc, 2, 2).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(Refs(t, "E1"), "B1 G1");
  EXPECT_EQ(t.Number("E1"), 7);
  EXPECT_EQ(Refs(t, "A3"), "A1..G1");
  EXPECT_EQ(Name(t, "COLS"), Rng("E1..F2"));
  EXPECT_EQ(Name(t, "LEFT"), Rng("A1..B2"));
  EXPECT_EQ(t.doc->metrics().columnWidths[4], 100);
  EXPECT_EQ(t.doc->metrics().columnWidths[2], 80) << "new columns take the sheet's default";
  // The new columns follow the default; the moved ones keep their own widths,
  // also the one that equals the default.
  t.doc->metrics().SetDefaultColumnWidth(50);
  EXPECT_EQ(t.doc->metrics().columnWidths[2], 50);
  EXPECT_EQ(t.doc->metrics().columnWidths[3], 50);
  EXPECT_EQ(t.doc->metrics().columnWidths[4], 100);
  EXPECT_EQ(t.doc->metrics().columnWidths[5], 80);
  EXPECT_EQ(t.doc->metrics().columnWidths[6], 50);
  EXPECT_EQ(t.cells().maxCol(), 6);
  t.Enter("C1", "10");
  EXPECT_EQ(t.Number("A3"), 24) << "the new columns are inside the sum";
}

TEST(InsertColumns, FailsWhenACellWouldBePushedPastColumnIV) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("IU1", "+A1");
  std::string before = Everything(t);
  EXPECT_FALSE(InsertColumns(*t.doc, 0, 2).ok);
  EXPECT_EQ(t.session.errors().message(), "Cells in last Column");
  ASSERT_TRUE(InsertColumns(*t.doc, 0, 1).ok);
  EXPECT_EQ(Refs(t, "IV1"), "B1");
  EXPECT_FALSE(InsertColumns(*t.doc, 0, 1).ok) << "column IV holds a cell";
  EXPECT_EQ(Refs(t, "IV1"), "B1");
  EXPECT_CONSISTENT(t);

  TestSheet u;
  u.Enter("A1", "1");
  EXPECT_FALSE(InsertColumns(*u.doc, 255, 1).ok) << "a column inserted at IV";
  EXPECT_FALSE(InsertColumns(*u.doc, 0, 300).ok);
  EXPECT_EQ(u.Number("A1"), 1);
  EXPECT_TRUE(InsertColumns(*u.doc, 3, 1).ok) << "beyond the used columns nothing happens";
}

TEST(DeleteColumns, ReferencesToDeletedColumnsBecomeErrorsAndTheRestMovesLeft) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "2");
  t.Enter("C1", "3");
  t.Enter("D1", "+A1+B1+C1");
  t.Enter("A2", "@SUM(A1..C1)");
  t.Enter("F2", "@SUM(B1..B1)");
  t.doc->names().DefineName("WIDE", Rng("A3..E4"));
  t.doc->names().DefineName("FROMB", Rng("B5..C5"));
  t.doc->metrics().columnWidths[3] = 90;
  ASSERT_TRUE(DeleteColumns(*t.doc, 1, 1).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(Refs(t, "C1"), "A1 ERR B1");
  EXPECT_TRUE(t.IsError("C1"));
  EXPECT_EQ(Refs(t, "A2"), "A1..B1");
  EXPECT_EQ(t.Number("A2"), 4);
  EXPECT_EQ(Refs(t, "E2"), "ERR");
  EXPECT_EQ(Name(t, "WIDE"), Rng("A3..D4"));
  EXPECT_EQ(Name(t, "FROMB"), Rng("B5..B5"));
  EXPECT_EQ(t.doc->metrics().columnWidths[2], 90);
  EXPECT_EQ(t.cells().maxCol(), 4);
}

TEST(DeleteColumns, DeletingPastTheUsedColumnsKeepsTheExtentsCoveringEveryCell) {
  TestSheet t;
  t.Enter("C1", "3");
  t.Enter("F1", "6");
  ASSERT_TRUE(DeleteColumns(*t.doc, 3, 100).ok);
  EXPECT_EQ(t.cells().maxCol(), 2) << "column C still holds a cell";
  EXPECT_CONSISTENT(t);
  ASSERT_TRUE(DeleteColumns(*t.doc, 0, 256).ok);
  EXPECT_EQ(t.cells().recordCount(), 0u);
}

TEST(ShiftStoredRanges, CornersInsideTheRegionMoveAndStopAtTheEdges) {
  TestSheet t;
  t.doc->names().DefineName("IN", Rng("B2..C3"));
  t.doc->names().DefineName("HALF", Rng("A1..C3"));
  t.doc->names().DefineName("OUT", Rng("F6"));
  t.doc->names().DefineName("EDGE", Rng("IV8192"));
  CellRange undefined;
  t.doc->RegisterStoredRange(&undefined);
  ShiftStoredRanges(*t.doc, Rng("B2..IV8192"), 2, 1);
  EXPECT_EQ(Name(t, "IN"), Rng("C4..D5"));
  EXPECT_EQ(Name(t, "HALF"), Rng("A1..D5"));
  EXPECT_EQ(Name(t, "OUT"), Rng("G8"));
  EXPECT_EQ(Name(t, "EDGE"), Rng("IV8192"));
  EXPECT_FALSE(undefined.IsDefined());
}

// ---------------------------------------------------------------------------
// Random sequences of commands keep the sheet consistent, and the values
// they leave are those a full recalculation gives.

TEST(BlockCommands, RandomSequencesKeepReferencesAndDependentsConsistent) {
  std::mt19937 rng(12345);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int compared = 0;
  auto addr = [&]() { return AddressText(pick(0, 11), pick(0, 7), pick(0, 3) == 0, false, 0); };
  for (int round = 0; round < 6; ++round) {
    TestSheet t;
    if (round % 2 == 1) t.doc->settings().pageHeight = 8;
    for (int i = 0; i < 40; ++i) {
      std::string a = AddressText(pick(0, 11), pick(0, 7), false, false, 0);
      switch (pick(0, 3)) {
        case 0: t.Enter(a, std::to_string(pick(1, 9))); break;
        case 1: t.Enter(a, "+" + addr() + "+" + addr()); break;
        case 2: t.Enter(a, "@SUM(" + addr() + ".." + addr() + ")"); break;
        default: t.Enter(a, "'x"); break;
      }
    }
    t.doc->names().DefineName("N1", CellRange::Of(pick(0, 11), pick(0, 7), pick(0, 11), pick(0, 7)));
    for (int step = 0; step < 60; ++step) {
      auto block = [&]() {
        return CellRange::Of(pick(0, 11), pick(0, 7), pick(0, 11), pick(0, 7));
      };
      int op = pick(0, 5);
      std::string what = "round " + std::to_string(round) + " step " + std::to_string(step) +
                         " op " + std::to_string(op);
      switch (op) {
        case 0: CopyRange(*t.doc, block(), CellRange::Cell(pick(0, 12), pick(0, 8))); break;
        case 1: MoveRange(*t.doc, block(), CellRange::Cell(pick(0, 12), pick(0, 8))); break;
        case 2: InsertRows(*t.doc, pick(0, 12), pick(1, 3)); break;
        case 3: DeleteRows(*t.doc, pick(0, 12), pick(1, 3)); break;
        case 4: InsertColumns(*t.doc, pick(0, 8), pick(1, 2)); break;
        default: DeleteColumns(*t.doc, pick(0, 8), pick(1, 2)); break;
      }
      t.session.errors().Clear();
      ASSERT_EQ(CheckSheet(*t.doc), "") << what;
      // A cycle steps forward on every recalculation; without one the
      // values must be those of a full recalculation.
      if (!testing::HasCycle(*t.doc)) {
        std::string shown = DescribeBlock(*t.doc, 0, 0, 20, 12);
        RecalcAll(*t.doc);
        ++compared;
        ASSERT_EQ(DescribeBlock(*t.doc, 0, 0, 20, 12), shown) << what;
      }
    }
  }
  EXPECT_GT(compared, 100) << "too few steps free of cycles to check the values";
}

}  // namespace
}  // namespace tabulon
