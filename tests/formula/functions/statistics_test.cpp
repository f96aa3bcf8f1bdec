// List, database and dense-range statistics, matrix figures, interpolation
// and the functions that evaluate a formula argument. Expected values are
// worked by hand from the data in each test (the arithmetic is shown where
// it is not obvious) or are closed-form integrals and fixed points.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formula/engine.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

// Puts the numbers 2, 4, 4, 4, 5, 5, 7, 9 into A1..A8: mean 5, squared
// deviations 9+1+1+1+0+0+4+16 = 32.
void EnterSample(TestSheet& s) {
  const char* values[] = {"2", "4", "4", "4", "5", "5", "7", "9"};
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(s.Enter("A" + std::to_string(i + 1), values[i]));
}

TEST(ListStatistics, SumCountAndExtremesSkipLabels) {
  TestSheet s;
  s.Enter("A1", "1");
  s.Enter("A2", "'text");
  s.Enter("A3", "3");
  EXPECT_EQ(s.EvalNumber("@SUM(A1..A3,10)"), 14);
  EXPECT_EQ(s.EvalNumber("@COUNT(A1..A3)"), 2);
  EXPECT_EQ(s.EvalNumber("@COUNT(A2)"), 1);  // a single cell counts whatever it holds
  EXPECT_EQ(s.EvalNumber("@AVG(A1..A3)"), 2);
  EXPECT_EQ(s.EvalNumber("@MIN(A1..A3,-4)"), -4);
  EXPECT_EQ(s.EvalNumber("@MAX(A3..A1)"), 3);  // corners in either order
  s.Enter("C1", "'a");
  s.Enter("C2", "'b");
  EXPECT_EQ(s.Eval("@AVG(C1..C2,B5..B9)"), "ERR");
  EXPECT_EQ(s.EvalNumber("@MAX(C1..C2)"), 0);
  EXPECT_EQ(s.EvalNumber("@MAX(B5..B9)"), 0);
  EXPECT_EQ(s.EvalNumber("@MIN(B5..B9)"), 0);
  s.Enter("A2", "+1/0");
  EXPECT_EQ(s.Eval("@SUM(A1..A3)"), "ERR");
}

TEST(ListStatistics, VarianceForms) {
  TestSheet s;
  EnterSample(s);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VAR(A1..A8)"), 4);   // 32 / 8
  EXPECT_DOUBLE_EQ(s.EvalNumber("@STD(A1..A8)"), 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VARU(A1..A8)"), 32.0 / 7);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@STDU(A1..A4,A5..A8)"), std::sqrt(32.0 / 7));
  EXPECT_EQ(s.Eval("@VARU(3)"), "ERR");
}

TEST(DatabaseStatistics, CriteriaSelectsNeighbours) {
  TestSheet s;
  // A: 5, 12, 20, a label, 11; B: 1 .. 5. Rows with A > 10: B2, B3, B5 = 2, 3, 5.
  const char* a[] = {"5", "12", "20", "'x", "11"};
  for (int i = 0; i < 5; ++i) {
    s.Enter("A" + std::to_string(i + 1), a[i]);
    s.Enter("B" + std::to_string(i + 1), std::to_string(i + 1));
  }
  EXPECT_EQ(s.EvalNumber("@QSUM(\"@X>10\",A1..A5,1)"), 10);
  EXPECT_EQ(s.EvalNumber("@QCOUNT(\"@X>10\",A1..A5,1)"), 3);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@QAVG(\"@X>10\",A1..A5,1)"), 10.0 / 3);
  EXPECT_EQ(s.EvalNumber("@QMIN(\"@X>10\",A1..A5,1)"), 2);
  EXPECT_EQ(s.EvalNumber("@QMAX(\"@X>10\",A1..A5,1)"), 5);
  // Deviations from 10/3: 4/3, 1/3, 5/3; squares sum to 42/9, over n = 3.
  EXPECT_DOUBLE_EQ(s.EvalNumber("@QVAR(\"@X>10\",A1..A5,1)"), 14.0 / 9);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@QSTD(\"@X>10\",A1..A5,1)"), std::sqrt(14.0 / 9));
  EXPECT_EQ(s.EvalNumber("@QSUM(\"@X>10\",A1..A5,0)"), 43);  // 12 + 20 + 11
  // The criteria may refer to cells; an empty neighbour counts as 0.
  s.Enter("D1", "15");
  EXPECT_EQ(s.EvalNumber("@QSUM(\"@X>D1\",A1..A5,1)"), 3);
  EXPECT_EQ(s.EvalNumber("@QCOUNT(\"@X>D1\",A1..A5,4)"), 1);
  EXPECT_EQ(s.EvalNumber("@QSUM(\"@X>D1\",A1..A5,4)"), 0);
  // The X variable is the enclosing formula's again afterwards.
  EXPECT_EQ(s.EvalNumber("@QSUM(\"@X>10\",A1..A5,1)+@X"), 10);
}

TEST(DatabaseStatistics, FailuresGiveErr) {
  TestSheet s;
  s.Enter("A1", "20");
  s.Enter("A2", "+1/0");
  EXPECT_EQ(s.Eval("@QSUM(\"@X>10\",A1..A1,0)"), "20");
  EXPECT_EQ(s.Eval("@QSUM(\"@X>10\",A1..A2,0)"), "ERR");  // an error cell in the range
  EXPECT_EQ(s.Eval("@QSUM(\"@X>\",A1..A1,0)"), "ERR");    // criteria does not compile
  EXPECT_EQ(s.Eval("@QSUM(\"@X/0\",A1..A1,0)"), "ERR");   // criteria fails
  EXPECT_EQ(s.Eval("@QSUM(\"1\",5,0)"), "ERR");           // not a range
  EXPECT_EQ(s.Eval("@QSUM(\"1\",A1..A1,-5)"), "ERR");     // left of column A
  EXPECT_EQ(s.Eval("@QAVG(\"@X>100\",A1..A1,0)"), "ERR");
  EXPECT_EQ(s.Eval("@QVAR(\"@X>100\",A1..A1,0)"), "ERR");
  EXPECT_EQ(s.Eval("@QMAX(\"@X>100\",A1..A1,0)"), "0");
}

TEST(DenseStatistics, MedianAndMoments) {
  TestSheet s;
  s.Enter("A1", "1");
  s.Enter("B1", "2");
  s.Enter("C1", "3");
  s.Enter("D1", "4");
  EXPECT_DOUBLE_EQ(s.EvalNumber("@MEDIAN(A1..D1)"), 2.5);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@MEDIAN(A1..C1)"), 2);
  // An empty position reads as 0: 0, 1, 2, 3, 4.
  EXPECT_DOUBLE_EQ(s.EvalNumber("@MEDIAN(A1..E1)"), 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@MEDIAN(D1)"), 4);

  TestSheet t;
  EnterSample(t);
  // |x - 5| sums to 12.
  EXPECT_DOUBLE_EQ(t.EvalNumber("@AVEDEV(A1..A8)"), 1.5);
  // Cubed deviations sum to 42, fourth powers to 356; v = 32/7.
  double v = 32.0 / 7;
  EXPECT_NEAR(t.EvalNumber("@SKEW(A1..A8)"), 42 / (8 * v * std::sqrt(v)), 1e-14);
  EXPECT_NEAR(t.EvalNumber("@KURT(A1..A8)"), 356 / (8 * v * v) - 3, 1e-14);
  EXPECT_NEAR(t.EvalNumber("@COV(A1..A8)"), std::sqrt(v) / 5, 1e-15);
  EXPECT_DOUBLE_EQ(t.EvalNumber("@MEDIAN(A1..A8)"), 4.5);
}

TEST(DenseStatistics, DegenerateRangesGiveErr) {
  TestSheet s;
  s.Enter("A1", "3");
  s.Enter("A2", "3");
  s.Enter("B1", "-1");
  s.Enter("B2", "1");
  EXPECT_EQ(s.Eval("@SKEW(A1)"), "ERR");      // n = 1
  EXPECT_EQ(s.Eval("@SKEW(A1..A2)"), "ERR");  // no variance
  EXPECT_EQ(s.Eval("@KURT(A1..A2)"), "ERR");
  EXPECT_EQ(s.Eval("@COV(B1..B2)"), "ERR");   // mean 0
  EXPECT_EQ(s.Eval("@AVEDEV(A1..A2)"), "0");
  EXPECT_EQ(s.Eval("@MEDIAN(7)"), "ERR");     // not a range
  s.Enter("A3", "@ERR");
  EXPECT_EQ(s.Eval("@MEDIAN(A1..A3)"), "ERR");
}

TEST(DenseStatistics, CountAAndPSum) {
  TestSheet s;
  s.Enter("A1", "1");
  s.Enter("A2", "'label");
  s.Enter("A3", "+A1*2");
  s.Enter("B1", "4");
  s.Enter("B2", "5");
  s.Enter("B3", "6");
  s.Enter("C1", "+Z99");  // creates an empty placeholder at Z99
  EXPECT_EQ(s.EvalNumber("@COUNTA(A1..A4)"), 3);
  EXPECT_EQ(s.EvalNumber("@COUNTA(Z98..Z100)"), 0);
  EXPECT_EQ(s.EvalNumber("@PSUM(A1..A3,B1..B3)"), 1 * 4 + 0 * 5 + 2 * 6);
  EXPECT_EQ(s.Eval("@PSUM(A1..A3,B1..B2)"), "ERR");
  EXPECT_EQ(s.Eval("@PSUM(A1..A3,B1..D1)"), "ERR");
  s.Enter("A1", "@ERR");
  EXPECT_EQ(s.EvalNumber("@COUNTA(A1..A4)"), 3);  // an error cell has content
}

// Fills a block from its top-left cell, row by row.
void EnterMatrix(TestSheet& s, const char* topLeft, int rows, int cols, const double* values) {
  testing::Pos p = testing::At(topLeft);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      std::string address = std::string(1, static_cast<char>('A' + p.col + c)) +
                            std::to_string(p.row + r + 1);
      ASSERT_TRUE(s.Enter(address, std::to_string(values[r * cols + c])));
    }
}

TEST(MatrixFigures, Determinant) {
  TestSheet s;
  const double a[] = {1, 2, 3, 4};
  EnterMatrix(s, "A1", 2, 2, a);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@DET(A1..B2)"), -2);
  const double swap[] = {0, 1, 1, 0};
  EnterMatrix(s, "D1", 2, 2, swap);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@DET(D1..E2)"), -1);
  // 2(0*5 + 4) + 3(2*5 + 1) + 1(2*4 - 0) = 8 + 33 + 8.
  const double b[] = {2, -3, 1, 2, 0, -1, 1, 4, 5};
  EnterMatrix(s, "A5", 3, 3, b);
  EXPECT_NEAR(s.EvalNumber("@DET(A5..C7)"), 49, 1e-12);
  const double zeroColumn[] = {0, 1, 0, 2};
  EnterMatrix(s, "G1", 2, 2, zeroColumn);
  EXPECT_EQ(s.EvalNumber("@DET(G1..H2)"), 0);
  EXPECT_EQ(s.EvalNumber("@DET(A1)"), 1);
  EXPECT_EQ(s.Eval("@DET(A1..C2)"), "ERR");      // not square
  EXPECT_EQ(s.Eval("@DET(A10..U30)"), "ERR");    // 21 x 21
  EXPECT_EQ(s.EvalNumber("@DET(A10..T29)"), 0);  // 20 x 20 of empty cells
}

TEST(MatrixFigures, RankAndTrace) {
  TestSheet s;
  // The third row is the sum of the first two.
  const double dependent[] = {1, 2, 3, 4, 5, 6, 5, 7, 9};
  EnterMatrix(s, "A1", 3, 3, dependent);
  EXPECT_EQ(s.EvalNumber("@RANK(A1..C3)"), 2);
  EXPECT_EQ(s.EvalNumber("@TRACE(A1..C3)"), 1 + 5 + 9);
  const double identity[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  EnterMatrix(s, "E1", 3, 3, identity);
  EXPECT_EQ(s.EvalNumber("@RANK(E1..G3)"), 3);
  // Taller than wide: read transposed. Columns (1,2,3,4) and (2,4,6,8).
  const double tall[] = {1, 2, 2, 4, 3, 6, 4, 8};
  EnterMatrix(s, "A6", 4, 2, tall);
  EXPECT_EQ(s.EvalNumber("@RANK(A6..B9)"), 1);
  // A zero first column must not stop the elimination.
  const double shifted[] = {0, 1, 2, 0, 3, 1};
  EnterMatrix(s, "E6", 2, 3, shifted);
  EXPECT_EQ(s.EvalNumber("@RANK(E6..G7)"), 2);
  EXPECT_EQ(s.EvalNumber("@RANK(K1..M3)"), 0);
  EXPECT_EQ(s.EvalNumber("@RANK(K1..AR30)"), 0);  // 30 x 34
  EXPECT_EQ(s.Eval("@RANK(K1..AO31)"), "ERR");    // 31 x 31
  EXPECT_EQ(s.Eval("@RANK(A1..BI1)"), "ERR");     // 61 columns
  EXPECT_EQ(s.Eval("@TRACE(A1..C2)"), "ERR");
}

TEST(Interpolation, BilinearInTwoWayTable) {
  TestSheet s;
  // x keys 1, 2 in B1..C1; y keys 10, 20 in A2..A3.
  s.Enter("B1", "1");
  s.Enter("C1", "2");
  s.Enter("A2", "10");
  s.Enter("A3", "20");
  s.Enter("B2", "100");
  s.Enter("C2", "200");
  s.Enter("B3", "300");
  s.Enter("C3", "400");
  EXPECT_DOUBLE_EQ(s.EvalNumber("@XYTERP(A1..C3,1.5,15)"), 250);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@XYTERP(A1..C3,1.25,10)"), 125);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@XYTERP(A1..C3,2,20)"), 400);  // the last keys
  EXPECT_DOUBLE_EQ(s.EvalNumber("@XYTERP(A1..C3,1,20)"), 300);
  EXPECT_EQ(s.Eval("@XYTERP(A1..C3,0.5,15)"), "ERR");
  EXPECT_EQ(s.Eval("@XYTERP(A1..C3,1.5,25)"), "ERR");
  EXPECT_EQ(s.Eval("@XYTERP(A1..A3,1,10)"), "ERR");  // no x keys
  EXPECT_EQ(s.Eval("@XYTERP(A1..C3,1.5,1/0)"), "ERR");
  s.Enter("C1", "1");  // equal neighbouring keys
  EXPECT_EQ(s.Eval("@XYTERP(A1..C3,1,15)"), "ERR");
}

TEST(FormulaArguments, IntegralByRomberg) {
  TestSheet s;
  EXPECT_NEAR(s.EvalNumber("@INTG(\"@X^2\",0,3)"), 9, 1e-12);
  EXPECT_NEAR(s.EvalNumber("@INTG(\"@x*@x*@x\",1,2)"), 15.0 / 4, 1e-12);
  EXPECT_NEAR(s.EvalNumber("@INTG(\"@SIN(@X)\",0,@PI)"), 2, 1e-10);
  EXPECT_NEAR(s.EvalNumber("@INTG(\"@EXP(@X)\",0,1)"), std::exp(1.0) - 1, 1e-12);
  EXPECT_NEAR(s.EvalNumber("@INTG(\"@X\",2,0)"), -2, 1e-12);
  EXPECT_NEAR(s.EvalNumber("@INTG(\"5\",1,3)"), 10, 1e-12);
  EXPECT_EQ(s.EvalNumber("@INTG(\"@X\",1,1)"), 0);
  EXPECT_EQ(s.Eval("@INTG(\"1/@X\",0,1)"), "ERR");  // fails at x = 0
  EXPECT_EQ(s.Eval("@INTG(\"@X+\",0,1)"), "ERR");
  EXPECT_EQ(s.Eval("@INTG(\"@X\",0,1/0)"), "ERR");
}

TEST(FormulaArguments, IntegralRefusesUserFunctions) {
  TestSheet s;
  Engine(s.session).masterFunctions = {{"SQ", "@A(1)*@A(1)", 1}};
  EXPECT_EQ(s.EvalNumber("@SQ(3)"), 9);
  EXPECT_EQ(s.Eval("@INTG(\"@SQ(@X)\",0,1)"), "ERR");
}

TEST(FormulaArguments, NestedFormulasKeepTheirX) {
  TestSheet s;
  // The outer integrand reads @X after the inner integral has run:
  // the integral of x * (1/2) from 0 to 2 is 1.
  s.Enter("A1", "'@INTG(A2,0,1)*@X");
  s.Enter("A2", "'@X");
  EXPECT_NEAR(s.EvalNumber("@INTG(A1,0,2)"), 1, 1e-12);
  // Four levels of integrals inside integrals are refused rather than run
  // for minutes.
  s.Enter("B1", "'@X*@INTG(B2,0,1)");
  s.Enter("B2", "'@X*@INTG(B3,0,1)");
  s.Enter("B3", "'@X*@INTG(B4,0,1)");
  s.Enter("B4", "'@X");
  EXPECT_EQ(s.Eval("@INTG(B1,0,1)"), "ERR");
}

TEST(FormulaArguments, RecurAndX) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@X"), 0);
  // x/2 + 1 has the fixed point 2.
  EXPECT_NEAR(s.EvalNumber("@RECUR(\"@X/2+1\",0,0.0001)"), 2, 1e-4);
  // Newton's step for the square root of 2.
  EXPECT_NEAR(s.EvalNumber("@RECUR(\"(@X+2/@X)/2\",1,1E-12)"), std::sqrt(2.0), 1e-15);
  EXPECT_EQ(s.Eval("@RECUR(\"@X+1\",0,0.5)"), "ERR");  // never settles
  EXPECT_EQ(s.Eval("@RECUR(\"1/@X\",0,0.5)"), "ERR");  // fails on the first step
  EXPECT_EQ(s.Eval("@RECUR(\"@X*@X\",2,1)"), "ERR");   // grows without bound
  EXPECT_EQ(s.Eval("@RECUR(\"@X\",3,0)"), "ERR");      // never strictly below 0
  EXPECT_EQ(s.EvalNumber("@RECUR(\"7\",0,0.5)+@X"), 7);
}

}  // namespace
}  // namespace tabulon
