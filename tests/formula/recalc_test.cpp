#include <gtest/gtest.h>

#include <string>

#include "formula/recalc.h"
#include "sheet/address.h"
#include "edit/cell_ops.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(Recalc, ChangesReachDependentsInOrder) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1*2");
  t.Enter("C1", "+B1+A1");
  t.Enter("A1", "5");
  EXPECT_EQ(t.Number("B1"), 10);
  EXPECT_EQ(t.Number("C1"), 15) << "C1 is evaluated after B1";
  EXPECT_EQ(t.doc->recalc().stats.evaluated, 2u) << "each formula once";
}

TEST(Recalc, DiamondDependentsAreEvaluatedOnceAfterBothInputs) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1+1");
  t.Enter("B2", "+A1+2");
  t.Enter("C1", "+B1*B2");
  t.Enter("D1", "+C1+B2+A1");
  t.Enter("A1", "3");
  EXPECT_EQ(t.Number("C1"), 20);
  EXPECT_EQ(t.Number("D1"), 28);
  EXPECT_EQ(t.doc->recalc().stats.evaluated, 4u);
}

TEST(Recalc, ManualModeWaitsForAFullRecalculation) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1*2");
  t.doc->settings().manualRecalc = true;
  t.Enter("A1", "5");
  EXPECT_EQ(t.Number("B1"), 2);
  t.Enter("C1", "+A1*3");
  EXPECT_EQ(t.Number("C1"), 15) << "a new formula still shows its own result";
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number("B1"), 10);
}

// Full recalculations reuse their order of evaluation; every kind of change
// in between must still be seen by the next one.
TEST(Recalc, KeptOrderFollowsEveryChangeOfStructure) {
  TestSheet t;
  t.doc->settings().manualRecalc = true;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1*2");
  RecalcAll(*t.doc);
  std::vector<CellId> order = t.doc->recalc().order;
  RecalcAll(*t.doc);
  EXPECT_EQ(t.doc->recalc().order, order);

  // A formula that comes after the order was worked out.
  t.Enter("C1", "+B1+1");
  t.Enter("A1", "5");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number("B1"), 10);
  EXPECT_EQ(t.Number("C1"), 11) << "the new formula runs after the one it uses";

  // A formula without references, which joins no dependents list.
  t.Enter("D1", "@RAND*0+4");
  t.Enter("A2", "+D1*3");
  t.Enter("D1", "@RAND*0+6");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number("A2"), 18);

  // A formula turned into a number, then erased.
  t.Enter("B1", "7");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number("C1"), 8);
  t.Enter("B1", "");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number("C1"), 1);
  EXPECT_EQ(t.doc->recalc().stats.evaluated, 3u) << "C1, A2 and D1";
}

TEST(Recalc, RangesFollowCellsThatWereEmptyWhenEntered) {
  TestSheet t;
  t.Enter("B1", "@SUM(A1..A100)");
  EXPECT_EQ(t.Number("B1"), 0);
  t.Enter("A50", "7");
  EXPECT_EQ(t.Number("B1"), 7);
  t.Enter("A50", "");
  EXPECT_EQ(t.Number("B1"), 0) << "erasing a cell recalculates its dependents";
}

TEST(Recalc, CyclesAreCutAndEachFormulaRunsOncePerPass) {
  TestSheet t;
  t.Enter("A1", "+B1+1");
  t.Enter("B1", "+A1+1");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.doc->recalc().stats.evaluated, 2u);
  double a = t.Number("A1"), b = t.Number("B1");
  RecalcAll(*t.doc);
  EXPECT_EQ(t.doc->recalc().stats.evaluated, 2u);
  EXPECT_EQ(t.Number("A1") + t.Number("B1"), a + b + 4) << "each pass steps the cycle once";
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(Recalc, IndependentFormulasRunLastFirst) {
  TestSheet t;
  // Both read the shared scratch cell through a worksheet function that
  // writes its argument there, so the order shows in their values.
  t.doc->names().DefineName("STEP", CellRange::Of(20, 0, 21, 0));
  t.Enter("A22", "+A21+1");
  t.Enter("C1", "@STEP(Z1)");
  t.Enter("C2", "@STEP(Z2)");
  t.Enter("Z1", "10");
  t.Enter("Z2", "20");
  RecalcAll(*t.doc);
  // C2 (the later cell) ran first, then C1 overwrote the scratch cell.
  EXPECT_EQ(t.Number("A21"), 10);
}

TEST(Recalc, DeletingAReferencedCellMakesTheFormulaErr) {
  TestSheet t;
  t.Enter("A1", "4");
  t.Enter("B1", "+A1*2");
  t.Enter("C1", "+B1+1");
  CellRecord* a1 = t.Cell("A1");
  DeleteCell(*t.doc, *a1);
  t.cells().FreeRecord(*a1);
  EXPECT_TRUE(t.IsError("B1"));
  EXPECT_TRUE(t.IsError("C1")) << "the error reaches the dependents";
}

TEST(Recalc, LongChainRecalculatesCompletely) {
  TestSheet t;
  // A chain of 10 000 formulas, each using the one before; it runs down
  // column A and continues in column B.
  const int n = 10000;
  auto address = [](int i) { return AddressText(i % 8000, i / 8000, false, false, 0); };
  t.Enter("A1", "1");
  for (int i = 1; i < n; ++i) ASSERT_TRUE(t.Enter(address(i), "+" + address(i - 1) + "+1"));
  EXPECT_EQ(t.Number(address(n - 1)), n);
  t.Enter("A1", "100");
  EXPECT_EQ(t.doc->recalc().stats.evaluated, static_cast<std::size_t>(n - 1));
  EXPECT_EQ(t.Number(address(n - 1)), n + 99) << "no formula is left stale";
  RecalcAll(*t.doc);
  EXPECT_EQ(t.Number(address(n - 1)), n + 99);
}

TEST(Recalc, WideFanOutRecalculatesCompletely) {
  TestSheet t;
  const int n = 50000;
  t.Enter("A1", "1");
  for (int r = 0; r < n; ++r) {
    int row = 1 + r % 8000, col = 1 + r / 8000;
    ASSERT_TRUE(EnterCell(*t.doc, "+$A$1*2", row, col).ok);
  }
  t.Enter("A1", "3");
  EXPECT_EQ(t.doc->recalc().stats.evaluated, static_cast<std::size_t>(n));
  int stale = 0;
  t.cells().ForEachIn(0, 0, 8191, 255, [&](CellRecord& c) {
    if (c.IsFormula() && c.value.num != 6) ++stale;
  });
  EXPECT_EQ(stale, 0);
}

TEST(Recalc, ReenteringAFormulaUnlinksTheOldReferences) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1");
  t.Enter("B1", "+C1");
  EXPECT_FALSE(t.cells().HasDependents(*t.Cell("A1")));
  EXPECT_TRUE(t.cells().HasDependents(*t.Cell("C1")));
  t.Enter("B1", "plain");
  EXPECT_FALSE(t.cells().HasDependents(*t.Cell("C1")));
}

}  // namespace
}  // namespace tabulon
