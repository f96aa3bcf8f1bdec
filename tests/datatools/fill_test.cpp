// Fill in every type and order, Speed Fill, and fills that cannot be done.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/fill.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::Column;
using testing::DataDesk;
using testing::Rng;
using testing::TestSheet;

FillSpec Spec(std::string_view range, double start, double step, FillType type,
              FillOrder order = FillOrder::kColumn) {
  FillSpec s;
  s.output = Rng(range);
  s.start = start;
  s.step = step;
  s.type = type;
  s.order = order;
  return s;
}

TEST(Fill, LinearMultiplyAndPowerSequences) {
  TestSheet t;
  ASSERT_TRUE(FillRange(*t.doc, Spec("A1..A5", 1, 2, FillType::kLinear)));
  EXPECT_EQ(Column(*t.doc, "A1", "A5"), "1,3,5,7,9");
  ASSERT_TRUE(FillRange(*t.doc, Spec("B1..B5", 1, 2, FillType::kMultiply)));
  EXPECT_EQ(Column(*t.doc, "B1", "B5"), "1,2,4,8,16");
  ASSERT_TRUE(FillRange(*t.doc, Spec("C1..C5", 2, 2, FillType::kPower)));
  EXPECT_EQ(Column(*t.doc, "C1", "C5"), "2,4,16,256,65536");
  ASSERT_TRUE(FillRange(*t.doc, Spec("D5..D1", -3, -0.5, FillType::kLinear)));
  EXPECT_EQ(Column(*t.doc, "D1", "D5"), "-3,-3.5,-4,-4.5,-5") << "an inverted range fills from the top";
}

TEST(Fill, WholeStepsCountExactlyAndFractionsAccumulate) {
  TestSheet t;
  ASSERT_TRUE(FillRange(*t.doc, Spec("A1..A10", 0, 0.1, FillType::kLinear)));
  // Each value is the previous one plus 0.1, with the rounding that brings.
  EXPECT_EQ(CellNumber(t.cells().FindCell(3, 0)), 0.1 + 0.1 + 0.1);
  EXPECT_NE(CellNumber(t.cells().FindCell(3, 0)), 0.3);
  EXPECT_NE(CellNumber(t.cells().FindCell(9, 0)), 0.9);
  EXPECT_NEAR(CellNumber(t.cells().FindCell(9, 0)), 0.9, 1e-15);
  ASSERT_TRUE(FillRange(*t.doc, Spec("B1..B3000", 1e14, 3, FillType::kLinear)));
  EXPECT_EQ(CellNumber(t.cells().FindCell(2999, 1)), 1e14 + 2999 * 3.0);
}

TEST(Fill, RowOrderFillsEachRowBeforeTheNext) {
  TestSheet t;
  ASSERT_TRUE(FillRange(*t.doc, Spec("A1..C2", 1, 1, FillType::kLinear, FillOrder::kRow)));
  EXPECT_EQ(Column(*t.doc, "A1", "A2"), "1,4");
  EXPECT_EQ(Column(*t.doc, "C1", "C2"), "3,6");
  ASSERT_TRUE(FillRange(*t.doc, Spec("A1..C2", 1, 1, FillType::kLinear, FillOrder::kColumn)));
  EXPECT_EQ(Column(*t.doc, "A1", "A2"), "1,2");
  EXPECT_EQ(Column(*t.doc, "C1", "C2"), "5,6");
}

TEST(Fill, FormulasOnTheFilledCellsAreBroughtUpToDateOnce) {
  TestSheet t;
  t.Enter("B1", "@SUM(A1..A4)");
  t.Enter("A2", "+B9");  // a formula that the fill replaces
  int calls = 0;
  long lastDone = 0;
  ASSERT_TRUE(FillRange(*t.doc, Spec("A1..A4", 1, 1, FillType::kLinear), [&](long done, long) {
    ++calls;
    lastDone = done;
  }));
  EXPECT_EQ(t.Number("B1"), 10);
  EXPECT_EQ(CheckSheet(*t.doc), "");
  EXPECT_EQ(calls, 0) << "fewer than 2048 cells";
  ASSERT_TRUE(FillRange(*t.doc, Spec("D1..E2100", 1, 1, FillType::kLinear), [&](long done, long total) {
    ++calls;
    lastDone = done;
    EXPECT_EQ(total, 4200);
  }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(lastDone, 4096);
}

TEST(Fill, AFillThatCannotBeDoneWritesNothing) {
  TestSheet t;
  EXPECT_TRUE(FillRange(*t.doc, FillSpec{}));  // undefined: nothing to do
  FillSpec off = Spec("A1..A1", 1, 1, FillType::kLinear);
  off.output = CellRange::Of(8185, 0, 8200, 0);  // past the last row
  t.session.errors().Clear();
  EXPECT_FALSE(FillRange(*t.doc, off));
  EXPECT_EQ(t.session.errors().message(), "Out of Memory");
  EXPECT_EQ(t.cells().recordCount(), 0u);
  // Under protection a locked or missing cell refuses the whole fill.
  t.Enter("A1", "5");
  t.Enter("A2", "6");
  t.cells().FindCell(0, 0)->format &= ~kLockBit;
  t.doc->settings().protect = true;
  t.session.errors().Clear();
  EXPECT_FALSE(FillRange(*t.doc, Spec("A1..A2", 9, 1, FillType::kLinear)));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(Column(*t.doc, "A1", "A2"), "5,6");
  t.cells().FindCell(1, 0)->format &= ~kLockBit;
  EXPECT_TRUE(FillRange(*t.doc, Spec("A1..A2", 9, 1, FillType::kLinear)));
  EXPECT_EQ(Column(*t.doc, "A1", "A2"), "9,10");
}

TEST(Fill, ColumnNamesGoOnPastIV) {
  EXPECT_EQ(ColumnName(0), "A");
  EXPECT_EQ(ColumnName(25), "Z");
  EXPECT_EQ(ColumnName(26), "AA");
  EXPECT_EQ(ColumnName(255), "IV");
  EXPECT_EQ(ColumnName(256), "IW");
  EXPECT_EQ(ColumnName(701), "ZZ");
  EXPECT_EQ(ColumnName(702), "AAA");
}

TEST(SpeedFill, ALetterCountsOnInColumnLettersRowByRow) {
  TestSheet t;
  t.Enter("A1", "^y");
  ASSERT_TRUE(SpeedFill(*t.doc, Rng("A1..B3")));
  EXPECT_EQ(Column(*t.doc, "A1", "A3"), "'Y,'AA,'AC");
  EXPECT_EQ(Column(*t.doc, "B1", "B3"), "'Z,'AB,'AD");
  // Past IV the letters go on; nothing is refused.
  t.Enter("D1", "'I");
  ASSERT_TRUE(SpeedFill(*t.doc, Rng("D1..D300")));
  EXPECT_EQ(Column(*t.doc, "D300", "D300"), "'KV");
}

TEST(SpeedFill, AFormulaIsCopiedAndANumberStartsALinearFill) {
  TestSheet t;
  t.Enter("A1", "10");
  t.Enter("B1", "+A1*2");
  ASSERT_TRUE(SpeedFill(*t.doc, Rng("B1..B3")));
  EXPECT_EQ(testing::Refs(t, "B3"), "A3");
  t.Enter("C1", "7");
  ASSERT_TRUE(SpeedFill(*t.doc, Rng("C1..E2")));  // wider than tall: along rows
  EXPECT_EQ(Column(*t.doc, "C1", "C2"), "7,10");
  EXPECT_EQ(Column(*t.doc, "E1", "E2"), "9,12");
  t.Enter("G1", "1");
  ASSERT_TRUE(SpeedFill(*t.doc, Rng("G1..H3")));  // taller: down the columns
  EXPECT_EQ(Column(*t.doc, "G1", "G3"), "1,2,3");
  EXPECT_EQ(Column(*t.doc, "H1", "H3"), "4,5,6");
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(SpeedFill, OtherCornersChangeNothing) {
  TestSheet t;
  EXPECT_FALSE(SpeedFill(*t.doc, Rng("A1..A3")));  // blank
  t.Enter("A1", "'ab");
  EXPECT_FALSE(SpeedFill(*t.doc, Rng("A1..A3")));
  t.Enter("A1", "'5");
  EXPECT_FALSE(SpeedFill(*t.doc, Rng("A1..A3")));
  EXPECT_EQ(t.cells().FindCell(1, 0), nullptr);
}

TEST(FillCommand, TheMacroArgumentsAndUndo) {
  DataDesk d;
  d.Enter("A1", "'keep");
  // {DATAFILL A1..B2,10,2+3,1,1}: values are formulas; order 1 is Row.
  ASSERT_TRUE(d.ws.Execute("data.fill", {"A1..B2", "10", "2+3", "1", "1"}).ok());
  EXPECT_EQ(d.Col("A1", "A2"), "10,20");
  EXPECT_EQ(d.Col("B1", "B2"), "15,25");
  ASSERT_TRUE(d.ws.Execute("data.fill", {"A1..B2", "1", "1", "2", "0"}).ok());
  EXPECT_EQ(d.Col("B1", "B2"), "1,1") << "any order but 1 is Column";
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("B1", "B2"), "15,25");
  EXPECT_FALSE(d.ws.Execute("data.fill", {"A1..B2", "1", "1", "4", "1"}).ok()) << "no type 4";
  EXPECT_FALSE(d.ws.Execute("data.fill", {"A1..B2", "", "1", "1", "1"}).ok());
  EXPECT_FALSE(d.ws.Execute("data.fill", {"A1..B2", "@SUM(", "1", "1", "1"}).ok());
  EXPECT_EQ(d.Col("B1", "B2"), "15,25");
  EXPECT_EQ(CheckSheet(d.Doc()), "");
}

TEST(FillCommand, SpeedFillUsesTheSelection) {
  DataDesk d;
  d.Enter("B2", "3");
  d.Select("B2..B4");
  ASSERT_TRUE(d.ws.Execute("quick.fill").ok());
  EXPECT_EQ(d.Col("B2", "B4"), "3,4,5");
  d.Select("C2..C4");
  int beeps = d.host.beeps;
  EXPECT_FALSE(d.ws.Execute("quick.fill").ok());
  EXPECT_GT(d.host.beeps, beeps);
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("B2", "B4"), "3,4,5") << "the failed fill took the snapshot of this state";
}

}  // namespace
}  // namespace tabulon
