// Elementary functions, rounding, combinatorics and @RAND through formulas.
// Expected values are closed forms (exact powers, pi, known factorials) or
// values of the C library's own correctly rounded functions where noted.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/op_table.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

constexpr double kPi = std::numbers::pi;

TEST(MathFunctions, ElementaryValues) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@ABS(-3.5)"), 3.5);
  EXPECT_EQ(s.EvalNumber("@INT(-2.7)"), -2);
  EXPECT_EQ(s.EvalNumber("@INT(2.7)"), 2);
  EXPECT_EQ(s.EvalNumber("@SQRT(16)"), 4);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@LN(@EXP(2))"), 2);
  // Powers of ten have exact logarithms.
  EXPECT_EQ(s.EvalNumber("@LOG(100)"), 2);
  EXPECT_EQ(s.EvalNumber("@LOG(0.001)"), -3);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@LOGB(8,2)"), 3);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@LOGB(0.5,4)"), -0.5);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@PI"), kPi);
  EXPECT_NEAR(s.EvalNumber("@SIN(@PI/6)"), 0.5, 1e-15);
  EXPECT_NEAR(s.EvalNumber("@COS(@PI/3)"), 0.5, 1e-15);
  EXPECT_NEAR(s.EvalNumber("@TAN(@PI/4)"), 1, 1e-15);
  EXPECT_NEAR(s.EvalNumber("@CSC(@PI/6)"), 2, 1e-14);
  EXPECT_NEAR(s.EvalNumber("@SEC(@PI/3)"), 2, 1e-14);
  EXPECT_NEAR(s.EvalNumber("@CTN(@PI/4)"), 1, 1e-15);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ATAN(1)"), kPi / 4);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ASIN(1)"), kPi / 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ASIN(-1)"), -kPi / 2);
  EXPECT_NEAR(s.EvalNumber("@ASIN(0.5)"), kPi / 6, 1e-15);
  EXPECT_NEAR(s.EvalNumber("@ACOS(0.5)"), kPi / 3, 1e-15);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ACOS(-1)"), kPi);
  // sinh 1 = (e - 1/e) / 2 and so on.
  const double e = std::numbers::e;
  EXPECT_DOUBLE_EQ(s.EvalNumber("@SINH(1)"), (e - 1 / e) / 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@COSH(1)"), (e + 1 / e) / 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TANH(1)"), (e - 1 / e) / (e + 1 / e));
  EXPECT_NEAR(s.EvalNumber("@ASINH(0.75)"), std::log(2.0), 1e-15);  // 0.75 + 1.25 = 2
  EXPECT_NEAR(s.EvalNumber("@ACOSH(1.25)"), std::log(2.0), 1e-15);  // 1.25 + 0.75 = 2
  EXPECT_NEAR(s.EvalNumber("@ATANH(0.6)"), std::log(2.0), 1e-15);   // (1.6/0.4) = 4
  EXPECT_EQ(s.EvalNumber("@MOD(-7,3)"), -1);
  EXPECT_EQ(s.EvalNumber("@MOD(7,-3)"), 1);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@MOD(5.5,2)"), 1.5);
}

TEST(MathFunctions, DomainErrorsGiveErr) {
  TestSheet s;
  for (const char* f :
       {"@SQRT(-4)", "@LN(0)", "@LN(-1)", "@LOG(0)", "@LOGB(8,1)", "@LOGB(8,0.5)", "@LOGB(0,2)",
        "@EXP(710)", "@ASIN(1.0001)", "@ACOS(-2)", "@ACOSH(0.5)", "@ATANH(1)", "@ATANH(-1)",
        "@SINH(700)", "@COSH(-700)", "@TANH(800)", "@MOD(7,0)", "@CSC(0)", "@CTN(0)",
        "@COMB(2,5)", "@COMB(-1,0)", "@PERM(2,5)", "@PERM(-3,1)", "@FACT(171)", "@FACT(-1)",
        "171!", "@COMB(1E6,5E5)", "@PERM(1000,300)", "@PERM(1E308,2)",
        "@COMB(1E308,2)"})
    EXPECT_EQ(s.Eval(f), "ERR") << f;
  // Just inside the limits.
  EXPECT_NE(s.Eval("@SINH(699)"), "ERR");
  EXPECT_NE(s.Eval("@EXP(709)"), "ERR");
  EXPECT_NE(s.Eval("@ASINH(-1E200)"), "ERR");
}

TEST(MathFunctions, ErrorInAnyArgumentGivesErr) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@MOD(5,1/0)"), "ERR");
  EXPECT_EQ(s.Eval("@ROUND(1/0,2)"), "ERR");
  EXPECT_EQ(s.Eval("@LOGB(8,@ERR)"), "ERR");
}

TEST(MathFunctions, RoundingHalvesAndNegativeDigits) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@ROUND(2.5,0)"), 3);
  EXPECT_EQ(s.EvalNumber("@ROUND(-2.5,0)"), -3);
  EXPECT_EQ(s.EvalNumber("@ROUND(2.4999,0)"), 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ROUND(1.25,1)"), 1.3);   // 12.5 exactly: away from 0
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ROUND(-1.25,1)"), -1.3);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@ROUND(3.14159,3)"), 3.142);
  EXPECT_EQ(s.EvalNumber("@ROUND(1234,-2)"), 1200);
  EXPECT_EQ(s.EvalNumber("@ROUND(1250,-2)"), 1300);
  EXPECT_EQ(s.EvalNumber("@ROUND(-1250,-2)"), -1300);
  EXPECT_EQ(s.EvalNumber("@ROUND(49,-2)"), 0);
  EXPECT_EQ(s.EvalNumber("@ROUND(2.5,0.6)"), 2.5);  // digits rounded to 1
  EXPECT_EQ(s.EvalNumber("@CEIL(-2.1,0)"), -3);
  EXPECT_EQ(s.EvalNumber("@CEIL(2.1,0)"), 3);
  EXPECT_EQ(s.EvalNumber("@CEIL(2.0000000000001,0)"), 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@CEIL(1.231,2)"), 1.24);
  EXPECT_EQ(s.EvalNumber("@CEIL(1201,-2)"), 1300);
  EXPECT_EQ(s.EvalNumber("@CEIL(-1201,-2)"), -1300);
  EXPECT_EQ(s.EvalNumber("@CEIL(0,0)"), 0);
  EXPECT_EQ(s.EvalNumber("@FLOOR(-2.9,0)"), -2);
  EXPECT_EQ(s.EvalNumber("@FLOOR(2.9,0)"), 2);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@FLOOR(1.239,2)"), 1.23);
  EXPECT_EQ(s.EvalNumber("@FLOOR(1299,-2)"), 1200);
}

TEST(MathFunctions, RoundingExtremeDigitsStayFinite) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@ROUND(1.5,400)"), 1.5);
  EXPECT_EQ(s.EvalNumber("@ROUND(1E300,20)"), 1e300);
  EXPECT_EQ(s.EvalNumber("@ROUND(123,-400)"), 0);
  EXPECT_EQ(s.EvalNumber("@FLOOR(123,-1E30)"), 0);
  EXPECT_EQ(s.EvalNumber("@ROUND(1E20,-2)"), 1e20);
  // 5 / 10^400 + 0.9999999999 still truncates to 0.
  EXPECT_EQ(s.EvalNumber("@CEIL(5,-400)"), 0);
  EXPECT_EQ(s.Eval("@ROUND(1.7E308,-308)"), "ERR");  // 2E308 overflows
}

TEST(MathFunctions, Combinatorics) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@FACT(0)"), 1);
  EXPECT_EQ(s.EvalNumber("@FACT(10)"), 3628800);
  EXPECT_EQ(s.EvalNumber("5!"), 120);
  EXPECT_EQ(s.EvalNumber("@FACT(4.6)"), 120);  // rounded to 5
  EXPECT_NEAR(s.EvalNumber("@FACT(170)"), 7.257415615307994e306, 1e293);
  EXPECT_EQ(s.EvalNumber("@COMB(5,2)"), 10);
  EXPECT_EQ(s.EvalNumber("@COMB(5,0)"), 1);
  EXPECT_EQ(s.EvalNumber("@COMB(5,5)"), 1);
  EXPECT_EQ(s.EvalNumber("@COMB(52,5)"), 2598960);  // poker hands
  EXPECT_EQ(s.EvalNumber("@COMB(200,2)"), 19900);   // 200*199/2
  EXPECT_EQ(s.EvalNumber("@PERM(5,2)"), 20);
  EXPECT_EQ(s.EvalNumber("@PERM(5,0)"), 1);
  EXPECT_EQ(s.EvalNumber("@PERM(10,10)"), 3628800);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@PERM(3,-2)"), 1.0 / 20);  // 3!/5!
}

TEST(MathFunctions, RandStaysInUnitIntervalAndVaries) {
  TestSheet s;
  double first = s.EvalNumber("@RAND");
  bool varied = false;
  for (int i = 0; i < 200; ++i) {
    double r = s.EvalNumber("@RAND");
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 1);
    varied = varied || r != first;
  }
  EXPECT_TRUE(varied);
}

TEST(MathFunctions, ResultsReplaceTheirArguments) {
  TestSheet s;
  // A handler that left a slot behind or took one too many would change
  // what the surrounding operators see.
  EXPECT_EQ(s.EvalNumber("10-@ROUND(2.5,0)"), 7);
  EXPECT_EQ(s.EvalNumber("@MOD(7,4)*@LOGB(8,2)+@PERM(5,2)"), 29);
  EXPECT_EQ(s.EvalNumber("@SUM(@ABS(-1),@COMB(5,2),@FLOOR(2.9,0))"), 13);
  ASSERT_TRUE(s.Enter("A1", "@SQRT(-1)"));
  EXPECT_TRUE(s.IsError("A1"));
  ASSERT_TRUE(s.Enter("A2", "@ROUND(A3,1)"));
  ASSERT_TRUE(s.Enter("A3", "2.25"));
  EXPECT_DOUBLE_EQ(s.Number("A2"), 2.3);  // recalculated when A3 changed
}

TEST(MathFunctions, ChoiceAndErrorValues) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@IF(2,10,20)"), 20);  // only 1 is true
  EXPECT_EQ(s.EvalNumber("@IF(1,10,20)"), 10);
  EXPECT_EQ(s.Eval("@IF(1,\"yes\",2)"), "yes");
  EXPECT_EQ(s.EvalNumber("@NA+1"), 0);
  EXPECT_EQ(s.Eval("@ERR"), "ERR");
  EXPECT_EQ(s.EvalNumber("@CASE(2,10,20,30)"), 20);
  EXPECT_EQ(s.Eval("@CASE(0,1,2)"), "ERR");
  EXPECT_EQ(s.Eval("@CASE(3,1,2)"), "ERR");
}

// Code read from a damaged file may call a function with too few values on
// the stack; the evaluation must end in ERR, not read below the stack.
// Every function of the operation list is tried.
TEST(MathFunctions, DamagedCodeWithoutArgumentsFails) {
  TestSheet s;
  Evaluator& e = *Engine(s.session).evaluator;
  int tried = 0;
  for (int number = kOpNot; number < 256; ++number) {
    auto op = static_cast<std::uint8_t>(number);
    std::uint8_t cls = OpClassOf(op);
    if (cls >= kClassFunction1 && cls <= kClassFunction4) {
      const std::uint8_t none[] = {3, 0, op, 3};
      EXPECT_TRUE(e.EvaluateCode(*s.doc, none).error) << OpName(op) << " " << number;
      if (cls > kClassFunction1) {
        // One argument where two or more are needed.
        const std::uint8_t one[] = {6, 0, kOpInteger, 2, 0, op, 3};
        EXPECT_TRUE(e.EvaluateCode(*s.doc, one).error) << OpName(op) << " " << number;
      }
      ++tried;
    } else if (cls == kClassVariadic) {
      const std::uint8_t countZero[] = {4, 0, op, 0, 3};
      EXPECT_TRUE(e.EvaluateCode(*s.doc, countZero).error) << OpName(op);
      const std::uint8_t countTwo[] = {7, 0, kOpInteger, 2, 0, op, 2, 3};
      EXPECT_TRUE(e.EvaluateCode(*s.doc, countTwo).error) << OpName(op);
      ++tried;
    }
  }
  EXPECT_GT(tried, 140);
  for (int op : {kOpPi, kOpRand, kOpX}) {  // no arguments
    const std::uint8_t code[] = {3, 0, static_cast<std::uint8_t>(op), 3};
    EXPECT_FALSE(e.EvaluateCode(*s.doc, code).error) << op;
  }
}

}  // namespace
}  // namespace tabulon
