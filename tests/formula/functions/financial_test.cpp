// Financial functions. References: standard annuity tables (present-value
// factor 3.7908 and future-value factor 6.1051 for 10% over 5 periods), a
// loan amortisation schedule for 1000 at 1% over 12 months (payment
// 88.8488, first interest 10.00), the depreciation results of Excel's SLN,
// SYD and DDB, and the exact root of a two-period cash flow.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(FinancialFunctions, Annuities) {
  TestSheet s;
  EXPECT_NEAR(s.EvalNumber("@PMT(1000,0.01,12)"), 88.8488, 1e-4);
  EXPECT_NEAR(s.EvalNumber("@PV(100,0.1,5)"), 379.08, 0.005);
  EXPECT_NEAR(s.EvalNumber("@FV(100,0.1,5)"), 610.51, 1e-6);
  // Doubling in 10 periods takes 7.1773% per period, and at 10% takes 7.2725
  // periods (ln 2 / ln 1.1).
  EXPECT_NEAR(s.EvalNumber("@RATE(2,1,10)"), 0.0717735, 1e-7);
  EXPECT_NEAR(s.EvalNumber("@CTERM(0.1,2,1)"), 7.272541, 1e-6);
  EXPECT_NEAR(s.EvalNumber("@TERM(100,0.1,610.51)"), 5, 1e-9);
}

TEST(FinancialFunctions, ZeroRatesAndDivisorsFail) {
  TestSheet s;
  for (const char* f : {"@PMT(1000,0,12)", "@PMT(1000,0.01,0)", "@PV(100,0,5)", "@FV(100,0,5)",
                        "@RATE(2,0,10)", "@RATE(2,1,0)", "@RATE(-2,1,2)", "@TERM(0,0.1,5)",
                        "@TERM(100,0,5)", "@TERM(-100,0.1,5000)", "@CTERM(0,2,1)",
                        "@CTERM(0.1,2,0)", "@CTERM(0.1,-2,1)", "@SLN(1000,100,0)",
                        "@SYD(1000,100,0,1)", "@SYD(1000,100,-1,1)", "@PMT(1E300,1E10,1E10)"}) {
    EXPECT_EQ(s.Eval(f), "ERR") << f;
  }
}

TEST(FinancialFunctions, Depreciation) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@SLN(1000,100,9)"), 100);
  EXPECT_EQ(s.EvalNumber("@SYD(1000,100,9,1)"), 180);
  EXPECT_EQ(s.EvalNumber("@SYD(1000,100,9,9)"), 20);
  const double ddb[] = {400, 240, 144, 86.4, 29.6};  // the last one is held at salvage
  for (int k = 1; k <= 5; ++k) {
    std::string f = "@DDB(1000,100,5," + std::to_string(k) + ")";
    EXPECT_NEAR(s.EvalNumber(f), ddb[k - 1], 1e-9) << f;
  }
  EXPECT_EQ(s.Eval("@DDB(1000,100,5,6)"), "ERR");  // period beyond the life
  EXPECT_EQ(s.Eval("@DDB(1000,100,5,0)"), "ERR");
  EXPECT_EQ(s.Eval("@DDB(1000,100,0,0)"), "ERR");
}

// Depreciation by stepping through every period, straight from the rule.
double DdbByDefinition(double cost, double salvage, double life, int period) {
  double b = cost, d = 0;
  for (int k = 1; k <= period; ++k) {
    d = 2 * b / life;
    if (b - d < salvage) d = b - salvage;
    b -= d;
  }
  return d;
}

TEST(FinancialFunctions, DepreciationOverVeryLongLives) {
  TestSheet s;
  // 2 (1 - 2/L)^(L-1) for L = 10^6, evaluated to 40 digits.
  EXPECT_NEAR(s.EvalNumber("@DDB(1E6,0,1E6,1E6)"), 0.27067056647, 1e-9);
  // Long lives with the salvage floor reached part way: periods around the
  // floor, agreed with period-by-period stepping.
  for (int p : {1, 2, 1000, 34655, 34656, 34657, 34658, 50000, 100000}) {
    std::string f = "@DDB(1000,500,100000," + std::to_string(p) + ")";
    double expected = DdbByDefinition(1000, 500, 100000, p);
    EXPECT_NEAR(s.EvalNumber(f), expected, 1e-9 + 1e-9 * std::fabs(expected)) << f;
  }
  for (int p : {1, 500, 4000}) {
    std::string f = "@DDB(-1000,-3000,5000," + std::to_string(p) + ")";
    double expected = DdbByDefinition(-1000, -3000, 5000, p);
    EXPECT_NEAR(s.EvalNumber(f), expected, 1e-9 + 1e-9 * std::fabs(expected)) << f;
  }
  // A life of a billion periods answers at once.
  EXPECT_NEAR(s.EvalNumber("@DDB(1000,0,1E9,1)"), 2e-6, 1e-15);
  // 1000 (1 - 2/L)^L stays near 1000/e^2 = 135 above the salvage: no floor,
  // and the last period writes off 2/L of 1000 (1 - 2/L)^(L-1).
  EXPECT_NEAR(s.EvalNumber("@DDB(1000,100,1E9,1E9)"), 2.7067056647e-7, 1e-15);
  // Period counts beyond what a double holds exactly are refused.
  EXPECT_EQ(s.Eval("@DDB(1000,0,1E20,1E20)"), "ERR");
}

TEST(FinancialFunctions, NetPresentValue) {
  TestSheet s;
  s.Enter("A1", "100");
  s.Enter("A2", "100");
  EXPECT_NEAR(s.EvalNumber("@NPV(0.1,A1..A2)"), 173.553719, 1e-6);
  // A label still takes a period: 100/1.1 + 100/1.1^3.
  s.Enter("B1", "100");
  s.Enter("B2", "'text");
  s.Enter("B3", "100");
  EXPECT_NEAR(s.EvalNumber("@NPV(0.1,B1..B3)"), 166.040571, 1e-6);
  // Sparse order: rows first, then columns within a row.
  s.Enter("D1", "100");
  s.Enter("E1", "200");
  s.Enter("D2", "300");
  EXPECT_NEAR(s.EvalNumber("@NPV(1,D1..E2)"), 100.0 / 2 + 200.0 / 4 + 300.0 / 8, 1e-12);
  EXPECT_EQ(s.Eval("@NPV(-1,A1..A2)"), "ERR");
  EXPECT_EQ(s.Eval("@NPV(0.1,5)"), "ERR");  // not a range
  s.Enter("A3", "@ERR");
  EXPECT_EQ(s.Eval("@NPV(0.1,A1..A3)"), "ERR");
}

TEST(FinancialFunctions, InternalRateOfReturn) {
  TestSheet s;
  s.Enter("A1", "-100");
  s.Enter("A2", "60");
  s.Enter("A3", "60");
  // -100 + 60u + 60u^2 = 0 with u = 1/(1+r): r = 120/(sqrt(27600)-60) - 1.
  EXPECT_NEAR(s.EvalNumber("@IRR(0.1,A1..A3)"), 0.130662386, 1e-6);
  EXPECT_NEAR(s.EvalNumber("@IRR(0.5,A1..A3)"), 0.130662386, 1e-6);
  // An all-positive flow has no root; its value only fades as the rate grows
  // (each step about doubles the rate), too slowly for 1E9 to fall below
  // 0.00001 within 25 steps.
  s.Enter("B1", "1E9");
  s.Enter("B2", "6E8");
  EXPECT_EQ(s.Eval("@IRR(0.1,B1..B2)"), "ERR");
  EXPECT_EQ(s.Eval("@IRR(0,A1..A3)"), "ERR");    // no step from a guess of 0
  EXPECT_EQ(s.Eval("@IRR(-1,A1..A3)"), "ERR");
  EXPECT_EQ(s.Eval("@IRR(0.1,C1..C3)"), "ERR");  // no values at all
  s.Enter("A4", "1/0");
  EXPECT_EQ(s.Eval("@IRR(0.1,A1..A4)"), "ERR");
}

TEST(FinancialFunctions, LoanSchedule) {
  TestSheet s;
  EXPECT_NEAR(s.EvalNumber("@BAL(1000,0.01,12,1)"), 921.1512, 1e-4);
  EXPECT_NEAR(s.EvalNumber("@BAL(1000,0.01,12,12)"), 0, 1e-9);
  EXPECT_NEAR(s.EvalNumber("@BAL(1000,0.01,12,0)"), 1000, 1e-9);
  EXPECT_NEAR(s.EvalNumber("@ACI(1000,0.01,12,1)"), 10, 1e-9);
  EXPECT_NEAR(s.EvalNumber("@ACI(1000,0.01,12,12)"), 12 * 88.8487887 - 1000, 1e-6);
  EXPECT_NEAR(s.EvalNumber("@PMTP(1000,0.01,12,1)"), 78.8488, 1e-4);
  EXPECT_NEAR(s.EvalNumber("@PMTP(1000,0.01,12,12)"), 88.8487887 / 1.01, 1e-6);
  for (const char* f : {"@BAL(1000,0,12,1)", "@BAL(1000,-0.01,12,1)", "@ACI(1000,0.01,0,1)",
                        "@PMTP(1000,0,12,1)"}) {
    EXPECT_EQ(s.Eval(f), "ERR") << f;
  }
}

}  // namespace
}  // namespace tabulon
