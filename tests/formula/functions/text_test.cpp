// Text functions. Expected strings are worked out by hand from the
// definitions of each function (positions counted on the literal texts);
// character codes are Windows-1252/ASCII code points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "display/format.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(TextFunctions, Substrings) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@MID(\"abcdef\",2,3)"), "bcd");
  EXPECT_EQ(s.Eval("@MID(\"abcdef\",-5,2)"), "ab");  // a start below 1 counts as 1
  EXPECT_EQ(s.Eval("@MID(\"abcdef\",5,100)"), "ef");
  EXPECT_EQ(s.Eval("@MID(\"abcdef\",7,1)&\"|\""), "|");
  EXPECT_EQ(s.Eval("@MID(\"a\",-5,1E9)"), "a");
  EXPECT_EQ(s.Eval("@MID(\"abc\",1E300,1)&\"|\""), "|");
  EXPECT_EQ(s.Eval("@LEFT(\"abcdef\",2)"), "ab");
  EXPECT_EQ(s.Eval("@RIGHT(\"abcdef\",2)"), "ef");
  EXPECT_EQ(s.Eval("@RIGHT(\"abc\",10)"), "abc");
  EXPECT_EQ(s.Eval("@LEFT(\"abc\",-1)&\"|\""), "|");
  EXPECT_EQ(s.Eval("@LEFT(12345,2)"), "12");  // a number is used as its text
  EXPECT_EQ(s.Eval("@LENGTH(\"\")"), "0");
  EXPECT_EQ(s.Eval("@LENGTH(1.5)"), "3");
}

TEST(TextFunctions, Find) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@FIND(\"c\",\"abcabc\",4)"), "6");
  EXPECT_EQ(s.Eval("@FIND(\"c\",\"abcabc\",1)"), "3");
  EXPECT_EQ(s.Eval("@FIND(\"c\",\"abcabc\",3)"), "3");  // at the start position itself
  EXPECT_EQ(s.Eval("@FIND(\"x\",\"abc\",1)"), "0");
  EXPECT_EQ(s.Eval("@FIND(\"C\",\"abc\",1)"), "0");      // case matters
  EXPECT_EQ(s.Eval("@FIND(\"a\",\"abc\",1E9)"), "0");
}

TEST(TextFunctions, RepeatStaysWithinTheStringLimit) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@REPEAT(\"ab\",3)"), "ababab");
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"x\",1E9))"), "240");
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"abcdefg\",100))"), "240");
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"\",1E9))"), "0");
  EXPECT_EQ(s.Eval("@REPEAT(\"x\",-3)&\"|\""), "|");
  // Joining two long results is cut as well.
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"x\",200)&@REPEAT(\"y\",200))"), "240");
}

TEST(TextFunctions, CharacterCodes) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@CHR(65)"), "A");
  EXPECT_EQ(s.Eval("@CHR(321)"), "A");  // modulo 256
  EXPECT_EQ(s.Eval("@ORD(@CHR(-1))"), "255");
  EXPECT_EQ(s.Eval("@ORD(@CHR(233))"), "233");  // codes above 127 are unsigned
  EXPECT_EQ(s.Eval("@LENGTH(@CHR(0))"), "1");
  EXPECT_EQ(s.Eval("@ORD(\"abc\")"), "97");
  EXPECT_EQ(s.Eval("@ORD(\"\")"), "0");
}

TEST(TextFunctions, CaseConversion) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@UPPER(\"aBc1-z\")"), "ABC1-Z");
  EXPECT_EQ(s.Eval("@LOWER(\"aBc1-Z\")"), "abc1-z");
  EXPECT_EQ(s.Eval("@PROPER(\"hELLO wORLD\")"), "Hello World");
  EXPECT_EQ(s.Eval("@PROPER(\"o'NEIL  x\")"), "O'neil  X");
  // Bit 32 also changes characters that are not letters.
  EXPECT_EQ(s.Eval("@PROPER(\"a@B[\")"), "A`b{");
}

TEST(TextFunctions, TrimCleanExact) {
  TestSheet s;
  EXPECT_EQ(s.Eval("\"[\"&@TRIM(\"  a   b  \")&\"]\""), "[a b]");
  EXPECT_EQ(s.Eval("\"[\"&@TRIM(\"   \")&\"]\""), "[]");
  EXPECT_EQ(s.Eval("@CLEAN(\"a\"&@CHR(9)&\"b\"&@CHR(200)&\"c\"&@CHR(127))"),
            std::string("abc") + '\x7f');
  EXPECT_EQ(s.Eval("@EXACT(\"abc\",\"abc\")"), "1");
  EXPECT_EQ(s.Eval("@EXACT(\"abc\",\"ABC\")"), "0");
  EXPECT_EQ(s.Eval("@EXACT(\"abc\",\"abc \")"), "0");
  EXPECT_EQ(s.Eval("@EXACT(12,\"12\")"), "1");
}

TEST(TextFunctions, NumbersAndText) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@VAL(\" 1 234.5 \")"), 1234.5);
  EXPECT_EQ(s.EvalNumber("@VAL(\"1E3\")"), 1000);
  EXPECT_EQ(s.EvalNumber("@VAL(\"abc\")"), 0);  // not a failure
  EXPECT_EQ(s.EvalNumber("@VAL(\"\")"), 0);
  EXPECT_EQ(s.Eval("@STR(3.14159,2)"), "3.14");
  EXPECT_EQ(s.Eval("@STR(-2,3)"), "-2.000");
  // Ties round away from zero, judged on 15 significant digits, as the
  // Fixed format shows them.
  EXPECT_EQ(s.Eval("@STR(2.5,0)"), "3");
  EXPECT_EQ(s.Eval("@STR(-2.5,0)"), "-3");
  EXPECT_EQ(s.Eval("@STR(0.125,2)"), "0.13");
  EXPECT_EQ(s.Eval("@STR(1.005,2)"), "1.01");
  EXPECT_EQ(s.Eval("@STR(0.0004,3)"), "0.000");
  EXPECT_EQ(s.Eval("@STR(999.96,1)"), "1000.0");
  EXPECT_EQ(s.Eval("@STR(1,-1)"), "ERR");
  EXPECT_EQ(s.Eval("@LENGTH(@STR(1E300,15))"), "240");  // cut, not overrun
  s.session.settings().decimalChar = ',';
  s.session.settings().argSeparator = ';';
  EXPECT_EQ(s.Eval("@STR(3/2;1)"), "1,5");
}

// @STR gives the digits the Fixed format shows for the same value and
// decimals, ties and binary near-ties included.
TEST(TextFunctions, StrAgreesWithTheFixedFormat) {
  TestSheet s;
  Evaluator& e = *Engine(s.session).evaluator;
  FormatSettings settings;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> decimals(0, 15);
  std::uniform_int_distribution<int> mantissa(-99999, 99999);
  std::uniform_int_distribution<int> scale(0, 9);
  for (int i = 0; i < 3000; ++i) {
    // Short decimal fractions: many are halfway cases at some precision.
    double x = mantissa(rng) / std::pow(10.0, scale(rng));
    if (i % 3 == 0) x = std::ldexp(static_cast<double>(rng()), -static_cast<int>(rng() % 40));
    int n = decimals(rng);
    std::string shown = FormatValue(20, static_cast<std::uint8_t>(n), x, settings);
    shown.pop_back();  // the trailing blank
    char text[64];
    std::snprintf(text, sizeof text, "@STR(%.17g,%d)", x, n);
    TextResult r = e.EvaluateText(*s.doc, text);
    ASSERT_TRUE(r.isString) << text;
    EXPECT_EQ(r.text, shown) << text;
  }
}

TEST(TextFunctions, HexadecimalAndDegrees) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@HEX(255)"), "$00FF");
  EXPECT_EQ(s.Eval("@HEX(65535)"), "$FFFF");
  EXPECT_EQ(s.Eval("@HEX(0)"), "$0000");
  EXPECT_EQ(s.Eval("@HEX(65536)"), "ERR");
  EXPECT_EQ(s.Eval("@HEX(-1)"), "ERR");
  EXPECT_EQ(s.Eval("@DEC(\"FF\")"), "255");
  EXPECT_EQ(s.Eval("@DEC(\"$ff\")"), "255");
  EXPECT_EQ(s.EvalNumber("@DEC(\"FFFFFFFF\")"), 4294967295.0);
  EXPECT_EQ(s.Eval("@DEC(\"123456789\")"), "ERR");  // nine digits
  EXPECT_EQ(s.Eval("@DEC(\"FG\")"), "ERR");
  EXPECT_EQ(s.Eval("@DEC(\"\")"), "ERR");
  EXPECT_EQ(s.Eval("@DEC(@HEX(4660))"), "4660");
  EXPECT_EQ(s.Eval("@DMS(-1.5)"), "-1:30:00");
  EXPECT_EQ(s.Eval("@DMS(12.755)"), "12:45:18");  // 0.755 deg = 45 min 18 s
  EXPECT_EQ(s.Eval("@DMS(1/3)"), "0:20:00");
  EXPECT_EQ(s.Eval("@DMS(0)"), "0:00:00");
}

TEST(TextFunctions, FirstCellAsStringOrNumber) {
  TestSheet s;
  s.Enter("A1", "'label");
  s.Enter("A2", "42");
  s.Enter("B1", "@ERR");
  EXPECT_EQ(s.Eval("@S(A1..A2)"), "label");
  EXPECT_EQ(s.Eval("@S(A2)&\"|\""), "|");
  EXPECT_EQ(s.Eval("@N(A2..A3)"), "42");
  EXPECT_EQ(s.Eval("@N(A1)"), "0");
  EXPECT_EQ(s.Eval("@N(C9)"), "0");  // an empty cell
  EXPECT_EQ(s.Eval("@N(B1)"), "ERR");
  // The range's other corner being an error does not matter.
  EXPECT_EQ(s.Eval("@N(A2..B2)"), "42");
}

TEST(TextFunctions, ErrorArgumentsGiveErr) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@MID(\"abc\",1/0,1)"), "ERR");
  EXPECT_EQ(s.Eval("@MID(@ERR,1,1)"), "ERR");
  EXPECT_EQ(s.Eval("@LEFT(\"abc\",@ERR)"), "ERR");
  EXPECT_EQ(s.Eval("@FIND(\"a\",\"abc\",@ERR)"), "ERR");
  EXPECT_EQ(s.Eval("@EXACT(\"a\",@ERR)"), "ERR");
}

}  // namespace
}  // namespace tabulon
