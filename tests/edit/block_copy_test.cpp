#include <gtest/gtest.h>

#include <string>

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

std::string Everything(TestSheet& t, const CellRange& except = CellRange{}) {
  return DescribeBlock(*t.doc, 0, 0, 40, 20, except);
}

#define EXPECT_CONSISTENT(t) EXPECT_EQ(CheckSheet(*(t).doc), "")

// A block B3..D5 of numbers, labels and formulas that refer inside and
// outside the block, relatively and absolutely, plus formulas outside the
// block that use it.
void FillBlockSheet(TestSheet& t) {
  t.Enter("A1", "100");
  t.Enter("B3", "1");
  t.Enter("C3", "+B3*2");
  t.Enter("D3", "'text");
  t.Enter("B4", "+$A$1+B3");
  t.Enter("C4", "@SUM(B3..C3)");
  t.Enter("D4", "+C4&\"\"");
  t.Enter("B5", "2.5");
  t.Enter("D5", "+A1+D4");
  t.Enter("F1", "+C4*10");
  t.Enter("F2", "@SUM(B3..D5)");
}

// ---------------------------------------------------------------------------
// Copy

TEST(CopyRange, RelativeReferencesAreReAimedAndAbsoluteOnesStay) {
  TestSheet t;
  for (int r = 1; r <= 4; ++r) t.Enter("F" + std::to_string(r), std::to_string(r * 10));
  t.Enter("A1", "+F1");
  t.Enter("C1", "+$F$1+$F1+F$1");
  t.Enter("D1", "@SUM(F1..F2)");
  ASSERT_TRUE(CopyRange(*t.doc, Rng("A1..D1"), Rng("A2..A4")).ok);
  EXPECT_CONSISTENT(t);
  EXPECT_EQ(Refs(t, "A2"), "F2");
  EXPECT_EQ(Refs(t, "A4"), "F4");
  EXPECT_EQ(t.Number("A3"), 30);
  EXPECT_EQ(Refs(t, "C3"), "$F$1 $F3 F$1");
  EXPECT_EQ(t.Number("C4"), 10 + 40 + 10);
  EXPECT_EQ(Refs(t, "D3"), "F3..F4");
  EXPECT_EQ(t.Number("D3"), 70);
  EXPECT_EQ(t.Number("D4"), 40) << "F5 is empty";
  // The copies are live formulas: they follow later changes.
  t.Enter("F4", "1");
  EXPECT_EQ(t.Number("A4"), 1);
  EXPECT_EQ(t.Number("D3"), 31);
}

TEST(CopyRange, DestinationShapes) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "2");
  ASSERT_TRUE(CopyRange(*t.doc, Rng("A1..B1"), Rng("D1..D3")).ok)
      << "a single-row source fills every row of a taller destination";
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 3, 3, 5), "D1 N:1\nE1 N:2\nD2 N:1\nE2 N:2\nD3 N:1\nE3 N:2\n");

  TestSheet u;
  u.Enter("A1", "7");
  ASSERT_TRUE(CopyRange(*u.doc, Rng("A1"), Rng("C2..D3")).ok) << "a cell fills the block";
  EXPECT_EQ(DescribeBlock(*u.doc, 0, 2, 4, 4), "C2 N:7\nD2 N:7\nC3 N:7\nD3 N:7\n");

  TestSheet v;
  v.Enter("A1", "1");
  v.Enter("A2", "2");
  v.Enter("B1", "3");
  ASSERT_TRUE(CopyRange(*v.doc, Rng("A1..B2"), Rng("D5..H9")).ok)
      << "a block is placed once at the destination's first corner";
  EXPECT_EQ(DescribeBlock(*v.doc, 4, 3, 12, 10), "D5 N:1\nE5 N:3\nD6 N:2\n");

  // A single-column source overlapping one of its anchors: every column
  // receives the source as it was before the copy.
  TestSheet w;
  w.Enter("A1", "1");
  w.Enter("A2", "2");
  w.Enter("A3", "3");
  ASSERT_TRUE(CopyRange(*w.doc, Rng("A1..A3"), Rng("A2..C2")).ok);
  EXPECT_EQ(DescribeBlock(*w.doc, 0, 0, 4, 2),
            "A1 N:1\nA2 N:1\nB2 N:1\nC2 N:1\nA3 N:2\nB3 N:2\nC3 N:2\nA4 N:3\nB4 N:3\nC4 N:3\n");
  EXPECT_CONSISTENT(w);
}

TEST(CopyRange, CopiesAttributesAndEmptySourcesEraseTheTargetOnly) {
  TestSheet t;
  t.Enter("A1", "'label");
  CellRecord* a1 = t.Cell("A1");
  a1->font = 3;
  a1->style = 0x11;
  a1->borders = 0x55;
  a1->colour = 0x123456;
  a1->format = 0x02;
  t.Enter("C2", "99");
  CellRecord* c2 = t.Cell("C2");
  c2->font = 7;
  ASSERT_TRUE(CopyRange(*t.doc, Rng("A1..A2"), Rng("C1")).ok);
  CellRecord* c1 = t.Cell("C1");
  ASSERT_NE(c1, nullptr);
  EXPECT_EQ(Desc(t, "C1"), "L:'label");
  EXPECT_EQ(c1->font, 3);
  EXPECT_EQ(c1->style, 0x11);
  EXPECT_EQ(c1->borders, 0x55);
  EXPECT_EQ(c1->colour, 0x123456u);
  EXPECT_EQ(c1->format, 0x02);
  EXPECT_EQ(Desc(t, "C2"), "") << "A2 is missing, so C2's entry is erased";
  ASSERT_EQ(t.Cell("C2"), c2) << "the record stays";
  EXPECT_EQ(c2->font, 7) << "and keeps its style";
}

TEST(CopyRange, TextResultsAreDuplicatedNotShared) {
  TestSheet t;
  t.Enter("A1", "'abc");
  t.Enter("B1", "+A1&\"x\"");
  t.doc->settings().manualRecalc = true;
  ASSERT_TRUE(CopyRange(*t.doc, Rng("B1"), Rng("B2")).ok);
  EXPECT_EQ(t.Text("B2"), "abcx") << "the source's result stands until recalculation";
  t.Enter("B1", "");
  EXPECT_EQ(t.Text("B2"), "abcx");
  EXPECT_CONSISTENT(t);
}

TEST(CopyRange, OverlappingCopiesMatchACopyThroughAFreeArea) {
  const int shifts[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}, {2, -1}, {-2, 2}};
  const CellRange free = Rng("J20..P30");
  for (auto [dr, dc] : shifts) {
    SCOPED_TRACE("shift " + std::to_string(dr) + "," + std::to_string(dc));
    CellRange source = Rng("B3..D5");
    CellRange dest = CellRange::Cell(2 + dr, 1 + dc);
    TestSheet direct;
    FillBlockSheet(direct);
    ASSERT_TRUE(CopyRange(*direct.doc, source, dest).ok);
    EXPECT_CONSISTENT(direct);

    TestSheet via;
    FillBlockSheet(via);
    ASSERT_TRUE(CopyRange(*via.doc, source, Rng("K21")).ok);
    ASSERT_TRUE(CopyRange(*via.doc, Rng("K21..M23"), dest).ok);
    EXPECT_CONSISTENT(via);
    EXPECT_EQ(Everything(direct, free), Everything(via, free));
  }
}

TEST(CopyRange, ReferencesPushedOffTheSheetBecomeInvalidNotDangling) {
  TestSheet t;
  t.Enter("A1", "5");
  t.Enter("B1", "+A1+1");
  ASSERT_TRUE(CopyRange(*t.doc, Rng("B1"), Rng("A2")).ok);
  EXPECT_EQ(Refs(t, "A2"), "ERR") << "one column left of column A";
  EXPECT_TRUE(t.IsError("A2"));
  EXPECT_CONSISTENT(t);
}

TEST(CopyRange, BadRangesFailWithCopyErrorAndChangeNothing) {
  TestSheet t;
  FillBlockSheet(t);
  std::string before = Everything(t);
  struct Case {
    CellRange source, destination;
  } cases[] = {
      {Rng("B3..D5"), Rng("IU1")},          // past column IV
      {Rng("B3..D5"), Rng("A8191")},        // past row 8192
      {Rng("B3"), CellRange::Of(0, 0, 0, 256)},  // destination block past IV
      {CellRange::Of(2, 1, 9000, 1), Rng("K1")},  // source partly outside
      {CellRange::Of(-1, 1, 2, 2), Rng("K1")},
      {CellRange{}, Rng("K1")},                   // undefined
      {Rng("B3"), CellRange{}},
  };
  for (const Case& c : cases) {
    t.session.errors().Clear();
    BlockResult r = CopyRange(*t.doc, c.source, c.destination);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(t.session.errors().message(), "Copy Error");
    EXPECT_EQ(Everything(t), before);
  }
  // The last corner of the sheet is still a valid target.
  t.session.errors().Clear();
  ASSERT_TRUE(CopyRange(*t.doc, Rng("B3..C4"), Rng("IU8191")).ok);
  EXPECT_EQ(Desc(t, "IU8191"), "N:1");
  EXPECT_EQ(t.cells().maxRow(), 8191);
  EXPECT_FALSE(t.session.errors().failed());
  EXPECT_CONSISTENT(t);
}

TEST(CopyRange, ProtectionSkipsLockedAndMissingTargets) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  t.Enter("A3", "3");
  t.Enter("C1", "10");  // locked (new cells are)
  t.Enter("C2", "20");
  t.Cell("C2")->format &= ~kLockBit;
  t.doc->settings().protect = true;
  ASSERT_TRUE(CopyRange(*t.doc, Rng("A1..A3"), Rng("C1")).ok);
  EXPECT_EQ(t.Number("C1"), 10);
  EXPECT_EQ(t.Number("C2"), 2);
  EXPECT_EQ(t.Cell("C3"), nullptr) << "a missing target counts as locked";
  EXPECT_FALSE(t.session.errors().failed());
  EXPECT_CONSISTENT(t);
}

TEST(CopyRange, UndoRestoresTheSheetBeforeTheCopy) {
  TestSheet t;
  FillBlockSheet(t);
  std::string before = Everything(t);
  ASSERT_TRUE(CopyRange(*t.doc, Rng("B3..D5"), Rng("C4")).ok);
  ASSERT_NE(Everything(t), before);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Everything(t), before);
  EXPECT_CONSISTENT(t);
}

// ---------------------------------------------------------------------------
// Move

TEST(MoveRange, ReferencesFollowTheMovedCell) {
  TestSheet t;
  t.Enter("B1", "4");
  t.Enter("A1", "+B1");
  t.Enter("D1", "3");
  t.Enter("B2", "+D1*2");
  ASSERT_TRUE(MoveRange(*t.doc, Rng("B1..B2"), Rng("C5")).ok);
  EXPECT_EQ(Refs(t, "A1"), "C5");
  EXPECT_EQ(t.Number("A1"), 4);
  EXPECT_EQ(Refs(t, "C6"), "D1") << "a moved formula keeps designating the same cells";
  EXPECT_EQ(t.Number("C6"), 6);
  EXPECT_EQ(t.Cell("B2"), nullptr);
  t.Enter("C5", "9");
  EXPECT_EQ(t.Number("A1"), 9);
  EXPECT_CONSISTENT(t);
}

TEST(MoveRange, MovingOntoAUsedCellInvalidatesItsReferences) {
  TestSheet t;
  t.Enter("C1", "5");
  t.Enter("A1", "+C1+E1");
  t.Enter("E1", "1");
  t.Enter("A2", "@SUM(C1..C3)");
  t.Enter("B1", "7");
  t.doc->names().DefineName("CORNER", Rng("C1..D2"));
  ASSERT_TRUE(MoveRange(*t.doc, Rng("B1"), Rng("C1")).ok);
  EXPECT_EQ(Refs(t, "A1"), "ERR E1");
  EXPECT_TRUE(t.IsError("A1"));
  EXPECT_EQ(Refs(t, "A2"), "ERR") << "a range with the deleted cell as a corner";
  EXPECT_TRUE(t.IsError("A2"));
  EXPECT_EQ(t.Number("C1"), 7);
  EXPECT_FALSE(t.doc->names().entry(1).range.IsDefined());
  EXPECT_CONSISTENT(t);
}

TEST(MoveRange, RangeFormulasFollowMovedCornersAndLoseMovedInteriors) {
  TestSheet t;
  for (int r = 1; r <= 3; ++r) t.Enter("A" + std::to_string(r), std::to_string(r));
  t.Enter("B1", "10");
  t.Enter("B2", "20");
  t.Enter("D1", "@SUM(A1..A3)");
  t.Enter("D2", "@SUM(A1..A3)");
  ASSERT_TRUE(MoveRange(*t.doc, Rng("A2"), Rng("F9")).ok);
  EXPECT_EQ(t.Number("D1"), 4) << "A2's record left the rectangle";
  EXPECT_CONSISTENT(t);
  t.Enter("A2", "100");
  EXPECT_EQ(t.Number("D1"), 104) << "the new cell at A2 is part of the range";
  ASSERT_TRUE(MoveRange(*t.doc, Rng("A3"), Rng("B3")).ok);
  EXPECT_EQ(Refs(t, "D2"), "A1..B3");
  EXPECT_EQ(t.Number("D2"), 1 + 100 + 10 + 20 + 3);
  EXPECT_CONSISTENT(t);
}

TEST(MoveRange, OverlappingMovesMatchAMoveThroughAFreeArea) {
  const int shifts[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}, {2, -1}, {-2, 2}};
  for (auto [dr, dc] : shifts) {
    SCOPED_TRACE("shift " + std::to_string(dr) + "," + std::to_string(dc));
    CellRange source = Rng("B3..D5");
    CellRange dest = CellRange::Cell(2 + dr, 1 + dc);
    TestSheet direct;
    FillBlockSheet(direct);
    direct.doc->names().DefineName("BLOCK", Rng("B3..D5"));
    direct.doc->names().DefineName("HALF", Rng("A1..C4"));
    ASSERT_TRUE(MoveRange(*direct.doc, source, dest).ok);
    EXPECT_CONSISTENT(direct);

    TestSheet via;
    FillBlockSheet(via);
    via.doc->names().DefineName("BLOCK", Rng("B3..D5"));
    via.doc->names().DefineName("HALF", Rng("A1..C4"));
    ASSERT_TRUE(MoveRange(*via.doc, source, Rng("K21")).ok);
    ASSERT_TRUE(MoveRange(*via.doc, Rng("K21..M23"), dest).ok);
    EXPECT_CONSISTENT(via);
    EXPECT_EQ(Everything(direct), Everything(via));
    for (int i = 1; i <= 2; ++i)
      EXPECT_EQ(direct.doc->names().entry(i).range, via.doc->names().entry(i).range);
  }
}

TEST(MoveRange, StoredRangesWithACornerInTheSourceMove) {
  TestSheet t;
  t.Enter("A1", "1");
  CellRange graphRange = Rng("B2..H8");
  t.doc->RegisterStoredRange(&graphRange);
  t.doc->names().DefineName("INSIDE", Rng("A1..B2"));
  t.doc->names().DefineName("ACROSS", Rng("A1..C3"));
  t.doc->names().DefineName("AWAY", Rng("E5..F6"));
  ASSERT_TRUE(MoveRange(*t.doc, Rng("A1..B2"), Rng("D4")).ok);
  EXPECT_EQ(t.doc->names().Lookup("INSIDE")->firstRow, 3);
  EXPECT_EQ(*t.doc->names().Lookup("INSIDE"), Rng("D4..E5"));
  EXPECT_EQ(*t.doc->names().Lookup("ACROSS"), Rng("D4..C3")) << "only the inner corner moves";
  EXPECT_EQ(*t.doc->names().Lookup("AWAY"), Rng("E5..F6"));
  EXPECT_EQ(graphRange, Rng("E5..H8"));
  EXPECT_CONSISTENT(t);
}

TEST(MoveRange, ProtectionKeepsLockedSourcesAndLockedTargets) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  t.Enter("A3", "3");
  t.Enter("C2", "20");
  t.Enter("C3", "30");
  for (const char* a : {"A1", "A3", "C3"}) t.Cell(a)->format &= ~kLockBit;
  t.doc->settings().protect = true;
  ASSERT_TRUE(MoveRange(*t.doc, Rng("A1..A3"), Rng("C1")).ok);
  EXPECT_EQ(t.Number("A1"), 1) << "C1 is missing: it counts as locked";
  EXPECT_EQ(t.Number("A2"), 2) << "a locked source stays";
  EXPECT_EQ(t.Number("C2"), 20);
  EXPECT_EQ(t.Number("C3"), 3) << "unlocked source onto unlocked target";
  EXPECT_EQ(t.Cell("A3"), nullptr);
  EXPECT_CONSISTENT(t);
}

TEST(MoveRange, OutsideTheSheetFailsWithCopyErrorAndMovesNothing) {
  TestSheet t;
  FillBlockSheet(t);
  std::string before = Everything(t);
  for (CellRange dest : {Rng("IU1"), Rng("A8191"), CellRange{}, CellRange::Of(-1, 0, -1, 0)}) {
    t.session.errors().Clear();
    EXPECT_FALSE(MoveRange(*t.doc, Rng("B3..D5"), dest).ok);
    EXPECT_EQ(t.session.errors().message(), "Copy Error");
    EXPECT_EQ(Everything(t), before);
  }
  EXPECT_FALSE(MoveRange(*t.doc, CellRange::Of(0, 250, 0, 300), Rng("A1")).ok);
  EXPECT_EQ(Everything(t), before);
  EXPECT_CONSISTENT(t);
}

TEST(NudgeBlock, MovesTheBlockAndTheSelectionOneStep) {
  TestSheet t;
  t.Enter("B2", "1");
  t.Enter("C2", "2");
  t.Enter("A1", "+B2+C2");
  CellRange sel = Rng("C2..B2");
  ASSERT_TRUE(NudgeBlock(*t.doc, sel, NudgeDirection::kDown).ok);
  EXPECT_EQ(sel, Rng("C3..B3")) << "the selection keeps its corner order";
  EXPECT_EQ(Refs(t, "A1"), "B3 C3");
  ASSERT_TRUE(NudgeBlock(*t.doc, sel, NudgeDirection::kLeft).ok);
  EXPECT_EQ(Refs(t, "A1"), "A3 B3");
  // At the first column a nudge left does nothing.
  ASSERT_TRUE(NudgeBlock(*t.doc, sel, NudgeDirection::kLeft).ok);
  EXPECT_EQ(sel, Rng("B3..A3"));
  EXPECT_EQ(t.Number("A3"), 1);
  EXPECT_CONSISTENT(t);

  t.Enter("IV1", "5");
  CellRange edge = Rng("IV1");
  t.session.errors().Clear();
  EXPECT_FALSE(NudgeBlock(*t.doc, edge, NudgeDirection::kRight).ok);
  EXPECT_EQ(t.session.errors().message(), "Copy Error");
  EXPECT_EQ(edge, Rng("IV1"));
  EXPECT_EQ(t.Number("IV1"), 5);
  CellRange top = Rng("IV1");
  EXPECT_TRUE(NudgeBlock(*t.doc, top, NudgeDirection::kUp).ok);
  EXPECT_EQ(top, Rng("IV1"));
}

// ---------------------------------------------------------------------------
// Walking a range

TEST(ForEachCell, VisitsExistingRecordsInOrderWithNormalisedCorners) {
  TestSheet t;
  for (const char* a : {"C3", "A1", "B2", "A3", "D2", "B9"}) t.Enter(a, "1");
  std::string seen;
  ForEachCell(*t.doc, Rng("C3..A1"), [&](CellRecord& c, int row, int col) {
    EXPECT_EQ(c.row, row);
    EXPECT_EQ(c.col, col);
    seen += AddressText(row, col, false, false, 0) + " ";
    // Creating records while walking is allowed.
    t.cells().GetOrCreateCell(row, 10 + col);
  });
  EXPECT_EQ(seen, "A1 B2 A3 C3 ");
}

// ---------------------------------------------------------------------------
// Value copies

TEST(CopyValues, ValuesReplaceFormulasAndTextStaysText) {
  TestSheet t;
  t.Enter("A1", "3");
  t.Enter("A2", "+A1*2");
  t.Enter("A3", "'word");
  t.Enter("A4", "+A3&\"s\"");
  t.Enter("A5", "+\"+\"&A3");
  t.cells().GetOrCreateCell(5, 0);
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..A6"), Rng("C1..Z99"), ValueCopyMode::kValue).ok);
  EXPECT_EQ(Desc(t, "C1"), "N:3");
  EXPECT_EQ(Desc(t, "C2"), "N:6");
  EXPECT_EQ(Desc(t, "C3"), "L:'word");
  EXPECT_EQ(Desc(t, "C4"), "L:'words");
  EXPECT_EQ(Desc(t, "C5"), "L:'+word") << "text that does not enter as itself becomes a label";
  EXPECT_EQ(Desc(t, "C6"), "N:0") << "an empty record stores zero";
  EXPECT_EQ(Desc(t, "D1"), "") << "only the output's first corner matters";
  t.Enter("A1", "4");
  EXPECT_EQ(t.Number("C2"), 6) << "values, not formulas";
  EXPECT_CONSISTENT(t);
}

TEST(CopyValues, TransposeScaleAndInvert) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "2");
  t.Enter("A2", "4");
  t.Enter("B2", "0");
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B2"), Rng("D1"), ValueCopyMode::kTranspose).ok);
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 3, 1, 4), "D1 N:1\nE1 N:4\nD2 N:2\nE2 N:0\n");
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B2"), Rng("G1"), ValueCopyMode::kScale).ok);
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 6, 1, 7), "G1 N:2\nH1 N:4\nG2 N:8\nH2 N:0\n");
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B2"), Rng("G1"), ValueCopyMode::kScale, 0.5).ok);
  EXPECT_EQ(t.Number("G2"), 2);
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B2"), Rng("J1"), ValueCopyMode::kInvert).ok);
  EXPECT_EQ(t.Number("K1"), 0.5);
  EXPECT_EQ(t.Number("J2"), 0.25);
  EXPECT_TRUE(t.IsError("K2")) << "1/0 is entered as @ERR";
  EXPECT_CONSISTENT(t);
}

TEST(CopyValues, TransposeInPlaceReadsTheSourceFirst) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "2");
  t.Enter("C1", "3");
  t.Enter("A2", "4");
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..C2"), Rng("A1"), ValueCopyMode::kTranspose).ok);
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 0, 2, 2),
            "A1 N:1\nB1 N:4\nC1 N:3\nA2 N:2\nA3 N:3\n");
}

TEST(CopyValues, SingleCellFillsTheOutputAndProtectionSkips) {
  TestSheet t;
  t.Enter("A1", "+2*3");
  t.Enter("B1", "1");
  t.Enter("D2", "99");
  t.Cell("B1")->format &= ~kLockBit;
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1"), Rng("C1..D2"), ValueCopyMode::kValue).ok);
  EXPECT_EQ(DescribeBlock(*t.doc, 0, 2, 1, 3), "C1 N:6\nD1 N:6\nC2 N:6\nD2 N:6\n");

  t.doc->settings().protect = true;
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B1"), Rng("C1"), ValueCopyMode::kScale).ok);
  EXPECT_EQ(t.Number("C1"), 6) << "the locked source A1 is skipped";
  EXPECT_EQ(t.Number("D1"), 6) << "D1 is locked";
  t.Cell("D1")->format &= ~kLockBit;
  ASSERT_TRUE(CopyValues(*t.doc, Rng("A1..B1"), Rng("C1"), ValueCopyMode::kScale).ok);
  EXPECT_EQ(t.Number("D1"), 2);
  EXPECT_FALSE(t.session.errors().failed());
}

TEST(CopyValues, OutputLeavingTheSheetFailsWithCopyError) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  EXPECT_FALSE(CopyValues(*t.doc, Rng("A1..A2"), Rng("A8192"), ValueCopyMode::kValue).ok);
  EXPECT_EQ(t.session.errors().message(), "Copy Error");
  EXPECT_EQ(t.Cell("A8192"), nullptr);
  EXPECT_FALSE(CopyValues(*t.doc, Rng("A1..A2"), Rng("IV1"), ValueCopyMode::kTranspose).ok);
  EXPECT_TRUE(CopyValues(*t.doc, Rng("A1..A2"), Rng("IV1"), ValueCopyMode::kValue).ok);
  EXPECT_FALSE(CopyValues(*t.doc, CellRange{}, Rng("B1"), ValueCopyMode::kValue).ok);
}

}  // namespace
}  // namespace tabulon
