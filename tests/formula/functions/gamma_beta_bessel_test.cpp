// Special functions through formulas. Sources of the expected values:
//  [AS9.1] Abramowitz & Stegun, Table 9.1 (J0, J1, Y0, Y1 at x = 1 and 10);
//  [AS7.1] Abramowitz & Stegun, Table 7.1 (erf);
//  [mp]    mpmath 1.3 at 20 significant digits (besselj, bessely, besseli,
//          besselk, loggamma, betainc, gammainc), an independent
//          arbitrary-precision library;
//  [cf]    closed forms, written out beside the value.
// The approximations are good to about 7-8 significant digits (and the
// series and continued fractions stop at a relative change of 3e-7), which
// sets the tolerances.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

void ExpectRelative(TestSheet& s, const std::string& formula, double expected, double tolerance) {
  double got = s.EvalNumber(formula);
  EXPECT_NEAR(got / expected, 1, tolerance) << formula << " gave " << got;
}

TEST(SpecialFunctions, LogGammaAndBeta) {
  TestSheet s;
  EXPECT_NEAR(s.EvalNumber("@GAMMALN(1)"), 0, 1e-10);
  EXPECT_NEAR(s.EvalNumber("@GAMMALN(2)"), 0, 1e-10);
  ExpectRelative(s, "@GAMMALN(0.5)", 0.57236494292470008707, 1e-9);  // [cf] ln sqrt(pi)
  ExpectRelative(s, "@GAMMALN(10)", 12.801827480081469611, 1e-10);   // [cf] ln 9!
  ExpectRelative(s, "@GAMMALN(100)", 359.13420536957539878, 1e-10);  // [mp]
  ExpectRelative(s, "@GAMMALN(0.001)", 6.9071788853838536617, 1e-9); // [mp]
  ExpectRelative(s, "@GAMMALN(1E300)", 6.8977552789821368e302, 1e-12);  // [mp]
  ExpectRelative(s, "@BETA(2,3)", 1.0 / 12, 1e-9);                   // [cf] 1! 2! / 4!
  ExpectRelative(s, "@BETA(0.5,0.5)", std::numbers::pi, 1e-9);       // [cf]
  for (const char* f : {"@GAMMALN(0)", "@GAMMALN(-1)", "@GAMMALN(1E307)", "@BETA(0,1)",
                        "@BETA(1,-2)"})
    EXPECT_EQ(s.Eval(f), "ERR") << f;
}

TEST(SpecialFunctions, IncompleteBetaBothBranches) {
  TestSheet s;
  // [cf] I_x(2,3) = 6x^2 - 8x^3 + 3x^4. x = 0.3 lies below (a+1)/(a+b+2) = 3/7
  // (direct fraction), x = 0.9 above (through the symmetry).
  ExpectRelative(s, "@BETAI(2,3,0.3)", 0.3483, 1e-6);
  ExpectRelative(s, "@BETAI(2,3,0.9)", 0.9963, 1e-6);
  // [cf] I_x(1/2,1/2) = (2/pi) asin(sqrt x).
  ExpectRelative(s, "@BETAI(0.5,0.5,0.2)", 2 / std::numbers::pi * std::asin(std::sqrt(0.2)), 1e-6);
  // [cf] I_x(10,2) = 11x^10 - 10x^11.
  ExpectRelative(s, "@BETAI(10,2,0.95)", 11 * std::pow(0.95, 10) - 10 * std::pow(0.95, 11), 1e-6);
  EXPECT_EQ(s.EvalNumber("@BETAI(2,3,0)"), 0);
  EXPECT_EQ(s.EvalNumber("@BETAI(2,3,1)"), 1);
  for (const char* f : {"@BETAI(2,3,-0.1)", "@BETAI(2,3,1.5)", "@BETAI(0,3,0.5)",
                        "@BETAI(2,-3,0.5)",
                        "@BETAI(1E6,1E6,0.5)"})  // needs far more than 100 terms
    EXPECT_EQ(s.Eval(f), "ERR") << f;
}

TEST(SpecialFunctions, IncompleteGammaBothBranches) {
  TestSheet s;
  const double e = std::numbers::e;
  // [cf] P(2,x) = 1 - (1+x) e^-x; x = 1 < a+1 uses the series, x = 5 the fraction.
  ExpectRelative(s, "@GAMMAP(2,1)", 1 - 2 / e, 1e-6);
  ExpectRelative(s, "@GAMMAP(2,5)", 1 - 6 * std::exp(-5.0), 1e-6);
  ExpectRelative(s, "@GAMMAQ(2,1)", 2 / e, 1e-6);
  ExpectRelative(s, "@GAMMAQ(2,5)", 6 * std::exp(-5.0), 1e-6);
  ExpectRelative(s, "@GAMMAP(3,2.5)", 0.456186884116670482, 1e-6);  // [mp]
  ExpectRelative(s, "@GAMMAP(0.5,3)", std::erf(std::sqrt(3.0)), 1e-6);  // [cf] erf(sqrt 3)
  EXPECT_EQ(s.EvalNumber("@GAMMAP(2,0)"), 0);
  EXPECT_EQ(s.EvalNumber("@GAMMAQ(2,0)"), 1);
  EXPECT_EQ(s.EvalNumber("@GAMMAP(2,1E308)"), 1);
  for (const char* f : {"@GAMMAP(2,-1)", "@GAMMAP(0,1)", "@GAMMAQ(-1,1)",
                        "@GAMMAP(1E6,1E6)", "@GAMMAQ(1E6,1E6)"})  // series too long
    EXPECT_EQ(s.Eval(f), "ERR") << f;
}

TEST(SpecialFunctions, ErrorFunctionAndDistributions) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@ERF(0)"), 0);
  ExpectRelative(s, "@ERF(0.5)", 0.5204998778, 1e-6);   // [AS7.1]
  ExpectRelative(s, "@ERF(1)", 0.8427007929, 1e-6);     // [AS7.1]
  ExpectRelative(s, "@ERF(-1)", -0.8427007929, 1e-6);   // odd function
  ExpectRelative(s, "@ERF(2)", 0.9953222650, 1e-6);     // [AS7.1]
  EXPECT_EQ(s.EvalNumber("@ERF(1E200)"), 1);             // x^2 overflows
  EXPECT_EQ(s.EvalNumber("@ERF(-1E200)"), -1);
  // [cf] e^(-z^2/2) / (sd sqrt(2 pi)).
  const double root2pi = std::sqrt(2 * std::numbers::pi);
  ExpectRelative(s, "@GAUSS(1,0,1)", std::exp(-0.5) / root2pi, 1e-12);
  ExpectRelative(s, "@GAUSS(5,3,2)", std::exp(-0.5) / (2 * root2pi), 1e-12);
  EXPECT_EQ(s.Eval("@GAUSS(1,0,0)"), "ERR");
  EXPECT_EQ(s.Eval("@GAUSS(1,0,-1)"), "ERR");
  // [cf] e^-lambda lambda^k / k!.
  ExpectRelative(s, "@POISSON(3,1,2)", std::exp(-2.0) * 8 / 6, 1e-14);
  ExpectRelative(s, "@POISSON(2.6,0.5,4)", std::exp(-2.0) * 8 / 6, 1e-14);  // k rounds to 3
  EXPECT_EQ(s.EvalNumber("@POISSON(0,0,5)"), 1);
  EXPECT_EQ(s.Eval("@POISSON(-1,1,1)"), "ERR");
  EXPECT_EQ(s.Eval("@POISSON(171,1,1)"), "ERR");
}

TEST(BesselFunctions, OrdersZeroAndOneBothRegimes) {
  TestSheet s;
  // [AS9.1]: x = 1 uses the rational forms, x = 10 the asymptotic ones.
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(1,0)"), 0.7651976866, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(1,1)"), 0.4400505857, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(1,0)"), 0.0882569642, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(1,1)"), -0.7812128213, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(10,0)"), -0.2459357645, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(10,1)"), 0.0434727462, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(10,0)"), 0.0556711673, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(10,1)"), 0.2490154242, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(-10,1)"), -0.0434727462, 1e-8);  // J1 is odd
  // [mp]: x = 1 below the breakpoints (3.75 for I, 2 for K), x = 5 above.
  ExpectRelative(s, "@BESSELI(1,0)", 1.2660658777520083356, 1e-6);
  ExpectRelative(s, "@BESSELI(1,1)", 0.56515910399248502721, 1e-6);
  ExpectRelative(s, "@BESSELI(5,0)", 27.239871823604446895, 1e-6);
  ExpectRelative(s, "@BESSELI(5,1)", 24.335642142450527199, 1e-6);
  ExpectRelative(s, "@BESSELI(-5,1)", -24.335642142450527199, 1e-6);
  ExpectRelative(s, "@BESSELK(1,0)", 0.42102443824070833334, 1e-6);
  ExpectRelative(s, "@BESSELK(1,1)", 0.60190723019723457474, 1e-6);
  ExpectRelative(s, "@BESSELK(5,0)", 0.0036910983340425942747, 1e-6);
  ExpectRelative(s, "@BESSELK(5,1)", 0.0040446134454521642084, 1e-6);
}

TEST(BesselFunctions, HigherOrdersByRecurrence) {
  TestSheet s;
  // [mp]. J: x <= n recurs downward, x > n upward; order rounds to nearest.
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(1,2)"), 0.11490348493190048047, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(2,5)"), 0.0070396297558716854842, 1e-9);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(5,10)"), 0.0014678026473104741311, 1e-9);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(20,3)"), -0.098901394560449675613, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(20,2.6)"), -0.098901394560449675613, 1e-8);
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(-3,2)"), 0.48609126058589107691, 1e-8);   // even order
  // Odd order; x = n starts the downward recurrence at only m = 12, which
  // limits the accuracy to about 1.5e-7.
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(-3,3)"), -0.30906272225525164362, 3e-7);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(2,3)"), -1.1277837768404277861, 1e-7);
  EXPECT_NEAR(s.EvalNumber("@BESSELY(20,2)"), -0.079191758245635960748, 1e-8);
  ExpectRelative(s, "@BESSELI(1,2)", 0.13574766976703828118, 1e-6);
  ExpectRelative(s, "@BESSELI(10,3)", 1758.3807166108532381, 1e-6);
  ExpectRelative(s, "@BESSELI(100,2)", 1.0523843193243105739e42, 1e-6);
  ExpectRelative(s, "@BESSELI(-2,3)", -0.21273995923985265527, 1e-6);
  ExpectRelative(s, "@BESSELK(1,2)", 1.6248388986351774828, 1e-6);
  ExpectRelative(s, "@BESSELK(10,3)", 0.000027252700256598692089, 1e-6);
}

TEST(BesselFunctions, ZeroNegativeAndHugeArguments) {
  TestSheet s;
  EXPECT_NEAR(s.EvalNumber("@BESSELJ(0,0)"), 1, 1e-8);
  EXPECT_EQ(s.EvalNumber("@BESSELJ(0,1)"), 0);
  EXPECT_EQ(s.EvalNumber("@BESSELJ(0,5)"), 0);
  EXPECT_EQ(s.EvalNumber("@BESSELI(0,0)"), 1);
  EXPECT_EQ(s.EvalNumber("@BESSELI(0,4)"), 0);
  for (const char* f : {"@BESSELY(0,0)", "@BESSELY(0,3)", "@BESSELY(-1,0)", "@BESSELK(0,1)",
                        "@BESSELK(-2,2)", "@BESSELJ(1,-1)", "@BESSELI(1,-1)",
                        "@BESSELJ(1,1E9)",      // order beyond the recurrence limit
                        "@BESSELI(1000,0)",     // overflows
                        "@BESSELY(1E-300,5)",   // overflows during the recurrence
                        "@BESSELK(0.01,200)"})
    EXPECT_EQ(s.Eval(f), "ERR") << f;
  // Far out the functions decay like sqrt(2 / (pi x)).
  EXPECT_LT(std::fabs(s.EvalNumber("@BESSELJ(1E10,3)")), 1e-5);
  EXPECT_LT(std::fabs(s.EvalNumber("@BESSELY(1E10,0)")), 1e-5);
  EXPECT_EQ(s.EvalNumber("@BESSELK(1000,1)"), 0);  // underflows to 0
  // Downward recurrence at a large order stays finite and tiny.
  double j = s.EvalNumber("@BESSELJ(1,50000)");
  EXPECT_GE(j, 0);
  EXPECT_LT(j, 1e-300);
}

}  // namespace
}  // namespace tabulon
