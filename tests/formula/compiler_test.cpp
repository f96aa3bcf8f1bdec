#include <gtest/gtest.h>

#include <random>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/formula_text.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;
using Bytes = std::vector<int>;

// Compiled bytes with every reference replaced by the marker 0xEE followed
// by the referenced cell's row and column, so expectations stay readable.
struct Compiled {
  bool ok;
  Bytes bytes;
  int errorPosition = 0;
};

Compiled Compile(TestSheet& t, std::string_view text) {
  CompiledFormula compiled = CompileFormula(*t.doc, text);
  const std::string& code = compiled.code;
  Compiled c{compiled.ok(), {}, compiled.errorPosition};
  EXPECT_EQ(c.ok, compiled.errorPosition == 0) << text;
  if (!c.ok) return c;
  const auto* p = reinterpret_cast<const std::uint8_t*>(code.data());
  std::vector<bool> isRef(code.size(), false);
  ForEachOperation(p, [&](int pos, std::uint8_t op) {
    if (op == kOpCell) isRef[pos + 1] = true;
    if (op == kOpRange) isRef[pos + 1] = isRef[pos + 5] = true;
  });
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (isRef[i]) {
      CellRef ref = ReadU32(p + i);
      const CellRecord* cell = t.cells().Get(RefId(ref));
      c.bytes.push_back(0xEE);
      c.bytes.push_back(cell ? cell->row : -1);
      c.bytes.push_back(cell ? cell->col : -1);
      c.bytes.push_back((ref & kRefAbsRow ? 2 : 0) | (ref & kRefAbsCol ? 1 : 0));
      i += 3;
    } else {
      c.bytes.push_back(p[i]);
    }
  }
  return c;
}

TEST(CompilerBytes, SingleReferenceWithAndWithoutPlus) {
  TestSheet t;
  Bytes expected = {7, 0, 1, 0xEE, 0, 0, 0, 3};
  EXPECT_EQ(Compile(t, "+A1").bytes, expected);
  EXPECT_EQ(Compile(t, "A1").bytes, expected);
  EXPECT_EQ(Compile(t, "$A$1").bytes, (Bytes{7, 0, 1, 0xEE, 0, 0, 3, 3}));
  EXPECT_EQ(Compile(t, "A$1").bytes, (Bytes{7, 0, 1, 0xEE, 0, 0, 2, 3}));
}

TEST(CompilerBytes, NumbersChooseIntegerOrDouble) {
  TestSheet t;
  EXPECT_EQ(Compile(t, "2").bytes, (Bytes{5, 0, 5, 2, 0, 3}));
  EXPECT_EQ(Compile(t, "-32766").bytes, (Bytes{6, 0, 5, 0xFE, 0x7F, 8, 3}));
  Compiled big = Compile(t, "32767");
  ASSERT_TRUE(big.ok);
  EXPECT_EQ(big.bytes[2], kOpNumber);
  EXPECT_EQ(big.bytes.size(), 12u);
  EXPECT_EQ(Compile(t, "2.0E5").bytes[2], kOpNumber);
  EXPECT_EQ(Compile(t, "2.5").bytes[2], kOpNumber);
  EXPECT_EQ(Compile(t, "1E-5").bytes[2], kOpNumber);
}

TEST(CompilerBytes, RangesStoreTheSecondCornerFirst) {
  TestSheet t;
  EXPECT_EQ(Compile(t, "@SUM(A1..B3,5)").bytes,
            (Bytes{16, 0, 2, 0xEE, 2, 1, 0, 0xEE, 0, 0, 0, 5, 5, 0, 80, 2, 3}));
}

TEST(CompilerBytes, StringsPostfixAndConcatenation) {
  TestSheet t;
  EXPECT_EQ(Compile(t, "\"abc\"&\"def\"").bytes,
            (Bytes{13, 0, 6, 'a', 'b', 'c', 0, 6, 'd', 'e', 'f', 0, 24, 3}));
  EXPECT_EQ(Compile(t, "5%").bytes, (Bytes{6, 0, 5, 5, 0, 25, 3}));
  EXPECT_EQ(Compile(t, "4!").bytes, (Bytes{6, 0, 5, 4, 0, 26, 3}));
}

TEST(CompilerBytes, PrecedenceAndAssociativity) {
  TestSheet t;
  // -2^2: negation binds tighter than ^.
  EXPECT_EQ(Compile(t, "-2^2").bytes, (Bytes{10, 0, 5, 2, 0, 8, 5, 2, 0, 13, 3}));
  // 2^3^2 is (2^3)^2.
  EXPECT_EQ(Compile(t, "2^3^2").bytes, (Bytes{13, 0, 5, 2, 0, 5, 3, 0, 13, 5, 2, 0, 13, 3}));
  // 1+2*3 multiplies first.
  EXPECT_EQ(Compile(t, "1+2*3").bytes, (Bytes{13, 0, 5, 1, 0, 5, 2, 0, 5, 3, 0, 11, 9, 3}));
  // (1+2)*3 keeps the parentheses operation.
  EXPECT_EQ(Compile(t, "(1+2)*3").bytes, (Bytes{14, 0, 5, 1, 0, 5, 2, 0, 9, 4, 5, 3, 0, 11, 3}));
  // & binds tightest: A1+B1&C1 is A1+(B1&C1).
  Compiled c = Compile(t, "A1+B1&C1");
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.bytes[c.bytes.size() - 3], 24);
  EXPECT_EQ(c.bytes[c.bytes.size() - 2], 9);
}

TEST(CompilerBytes, OperatorSpellings) {
  TestSheet t;
  EXPECT_EQ(Compile(t, "A1#and#B1").bytes, Compile(t, "A1#AND#B1").bytes);
  EXPECT_EQ(Compile(t, "A1<>B1").bytes, Compile(t, "A1><B1").bytes);
  EXPECT_EQ(Compile(t, "A1<=B1").bytes, Compile(t, "A1=<B1").bytes);
  EXPECT_EQ(Compile(t, "A1>=B1").bytes, Compile(t, "A1=>B1").bytes);
  EXPECT_EQ(Compile(t, "1#OR#2").bytes.at(8), 21);
  EXPECT_EQ(Compile(t, "@NOT(0)").bytes, (Bytes{6, 0, 5, 0, 0, 22, 3}));
}

TEST(CompilerErrors, ArgumentCountsAndSyntax) {
  TestSheet t;
  EXPECT_TRUE(Compile(t, "@PI").ok);
  EXPECT_TRUE(Compile(t, "@pi*2").ok);
  for (const char* bad :
       {"@PI()", "@SUM", "@IF(A1,1)", "@IF(1,2,3,4)", "A1 + B1", "1+", "*2", "(1,2)", "1,2",
        "@NOSUCH(1)", "(1+2", "1+2)", "12abc", "\"open", "@SUM(,1)", "IW1", "A0", "A1..",
        "[file]", "[file]5", "@ABS"}) {
    EXPECT_FALSE(Compile(t, bad).ok) << bad;
  }
}

// Compiling reports through its result: where it stopped, and a message
// only for what is not a syntax error. The session's channel, which an
// enclosing command may be using, is left alone either way.
TEST(CompilerErrors, TheResultSaysWhereCompilingStopped) {
  TestSheet t;
  t.session.errors().Fail("Protected Cell");
  struct Case {
    const char* text;
    int position;
  };
  for (Case c : {Case{"1+", 3}, {"*2", 1}, {"A1 + B1", 3}, {"1 -2", 2}, {"6(600)", 2},
                 {"@SUM(1,2", 5}, {"(1,2)", 3}, {"1#XYZ#0", 2}, {"@IF(1,2)", 1},
                 {"2+@NOSUCH(1)", 3}, {"1+12abc", 3}, {"1+IW1", 3}}) {
    CompiledFormula r = CompileFormula(*t.doc, c.text);
    EXPECT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.errorPosition, c.position) << c.text;
    EXPECT_EQ(r.message, "") << c.text;
  }
  std::string tooLong = "1.5";
  for (int i = 0; i < 29; ++i) tooLong += "+1.5";
  EXPECT_FALSE(CompileFormula(*t.doc, tooLong).message.empty());
  EXPECT_TRUE(CompileFormula(*t.doc, "1+2").ok());
  EXPECT_TRUE(t.session.errors().failed());
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  t.session.errors().Clear();
  EXPECT_FALSE(CompileFormula(*t.doc, "1+").ok());
  EXPECT_FALSE(t.session.errors().failed());
}

// A link keeps its path as typed: compiling reads no directory, so the code
// is the same wherever the program runs.
TEST(CompilerReferences, LinksKeepThePathAsTyped) {
  TestSheet t;
  CompiledFormula r = CompileFormula(*t.doc, "[sub/Data.wks]B2");
  ASSERT_TRUE(r.ok());
  std::string path = r.code.substr(2 + 1 + 8);
  EXPECT_EQ(path, std::string("sub/Data.wks\0\3", 14));
  EXPECT_EQ(ReadU16(reinterpret_cast<const std::uint8_t*>(r.code.data()) + 3), 1);  // column B
  for (const char* bad : {"[f]", "[f]+A1", "[f]5", "[f]\"x\"", "[]A1", "[f]A1(2)", "[f][g]A1",
                          "@SUM([f],A1)", "A1[f]B1", "[f]@PI+B2", "[f]@SUM(A1)"}) {
    EXPECT_FALSE(CompileFormula(*t.doc, bad).ok()) << bad;
  }
  EXPECT_TRUE(CompileFormula(*t.doc, "[f]A1..B2+1").ok());
  EXPECT_TRUE(CompileFormula(*t.doc, "@SUM([f]A1..B2,[g]C3)").ok());
}

TEST(CompilerErrors, CodeLongerThanTheLimitIsRefused) {
  TestSheet t;
  // 30 numbers of 9 bytes each are far more than 240 bytes of code.
  std::string text = "1.5";
  for (int i = 0; i < 29; ++i) text += "+1.5";
  ASSERT_LE(text.size(), 240u);
  EXPECT_FALSE(Compile(t, text).ok);
  std::string fits = "1.5";
  for (int i = 0; i < 20; ++i) fits += "+1.5";
  EXPECT_TRUE(Compile(t, fits).ok);
}

TEST(CompilerErrors, RandomBytesCompileOrFailCleanly) {
  TestSheet t;
  std::mt19937 rng(12345);
  const std::string alphabet = "A1$.:+-*/^=<>#&%!(),\"[]@ SUMIFabc0123456789\x01\xff";
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    int n = rng() % 300;
    for (int k = 0; k < n; ++k)
      text.push_back((rng() % 4 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()]);
    std::string code = CompileFormula(*t.doc, text).code;
    if (!code.empty()) {
      const auto* p = reinterpret_cast<const std::uint8_t*>(code.data());
      ASSERT_TRUE(IsWellFormed(p, code.size())) << text;
      ASSERT_LT(code.size(), 241u);
    }
  }
}

// Text the user typed never vanishes from the compiled formula: where two
// operands meet without an operator, or an operator lacks an operand, the
// entry is a syntax error rather than code that drops a part.
TEST(CompilerErrors, NothingTypedIsDropped) {
  TestSheet t;
  for (const char* bad : {"1 -2", "1 +2", "1#2", "@SUM(1 -2)", "1#xyz#0", "6(600)", "1#A1",
                          "A1(2)", "@SUM((1,2))", "1#AND#", "1#AXY#2", "#NOT#1", "1#NOT#0",
                          "@IF(1,2 3,4)", "(1)(2)"}) {
    EXPECT_FALSE(Compile(t, bad).ok) << bad;
  }
  for (const char* good : {"1-2", "1+-2", "1#AND#2", "1#and#2", "1#OR#0", "@NOT(0)", "6*(600)",
                           "-(-1)", "++1", "@SUM((1),2)", "((1))"}) {
    EXPECT_TRUE(Compile(t, good).ok) << good;
  }
}

// A user-defined or worksheet-defined function that takes arguments must be
// called with them; one without arguments is written without parentheses.
TEST(CompilerErrors, FunctionsWithArgumentsNeedTheirParentheses) {
  TestSheet t;
  Engine(t.session).masterFunctions = ParseUserFunctionFile("DBL,1\n@A(1)*2\nTEN,0\n10\n");
  EXPECT_FALSE(Compile(t, "@DBL").ok);
  EXPECT_FALSE(Compile(t, "5+@DBL").ok);
  EXPECT_FALSE(Compile(t, "@DBL+5").ok);
  EXPECT_TRUE(Compile(t, "@DBL(5)").ok);
  EXPECT_TRUE(Compile(t, "@TEN+1").ok);
  EXPECT_FALSE(Compile(t, "@TEN()").ok);
  EXPECT_FALSE(Compile(t, "@TEN(1)").ok);
  t.doc->names().DefineName("ONE", CellRange::Of(0, 4, 1, 4));  // one column
  EXPECT_FALSE(Compile(t, "@ONE").ok);
  EXPECT_FALSE(Compile(t, "2*@ONE").ok);
  EXPECT_TRUE(Compile(t, "@ONE(2)").ok);
}

// Whatever compiles regenerates as text that compiles to the same code:
// short texts over an alphabet of operators, operands and separators.
TEST(CompilerRoundTrip, EveryCompiledTextRecompilesToTheSameCode) {
  TestSheet t;
  Engine(t.session).masterFunctions = ParseUserFunctionFile("DBL,1\n@A(1)*2\nTEN,0\n10\n");
  t.doc->names().DefineName("ONE", CellRange::Of(0, 4, 1, 4));
  const std::vector<std::string> pieces = {
      "1", "2", "A1", "B2", "+", "-", "*", "^", "&", "=", "<>", "#AND#", "#OR#", "#", " ",
      ",", "(", ")", "@SUM(", "@IF(", "@PI", "@DBL", "@DBL(", "@TEN", "@ONE", "@ONE(", "%",
      "!", "\"a\"", "1.5", "E", "..", "$", "@NOT(", "#X", "#A"};
  std::mt19937 rng(99);
  int compiled = 0;
  for (int i = 0; i < 40000; ++i) {
    std::string text;
    int n = 1 + static_cast<int>(rng() % 7);
    for (int k = 0; k < n; ++k) text += pieces[rng() % pieces.size()];
    std::string code = CompileFormula(*t.doc, text).code;
    if (code.empty()) continue;
    ++compiled;
    std::string regenerated = FormulaText(*t.doc, code);
    std::string again = CompileFormula(*t.doc, regenerated).code;
    ASSERT_EQ(again, code) << text << " -> " << regenerated;
  }
  EXPECT_GT(compiled, 1000);
}

TEST(CompilerReferences, PlaceholdersAreCreatedForEmptyCells) {
  TestSheet t;
  EXPECT_EQ(t.Cell("D9"), nullptr);
  ASSERT_TRUE(Compile(t, "+D9*2").ok);
  ASSERT_NE(t.Cell("D9"), nullptr);
  EXPECT_EQ(t.Cell("D9")->Kind(), kEmpty);
}

TEST(CompilerReferences, NamesUserFunctionsAndSheetFunctions) {
  TestSheet t;
  t.doc->names().DefineName("rate", CellRange::Cell(0, 1));
  EXPECT_EQ(Compile(t, "+rate").bytes, (Bytes{7, 0, 1, 0xEE, 0, 1, 0, 3}));
  EXPECT_EQ(Compile(t, "+$rate").bytes, (Bytes{7, 0, 1, 0xEE, 0, 1, 3, 3}));

  Engine(t.session).masterFunctions = ParseUserFunctionFile("DOUBLE,1\n@A(1)*2\n");
  Compiled u = Compile(t, "@double(4)");
  EXPECT_EQ(u.bytes, (Bytes{7, 0, 5, 4, 0, 254, 1, 3}));
  EXPECT_FALSE(Compile(t, "@double(1,2)").ok);

  t.doc->names().DefineName("myfn", CellRange::Of(0, 4, 1, 5));  // two columns
  Compiled s = Compile(t, "@MYFN(1,2)");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.bytes, (Bytes{18, 0, 5, 1, 0, 5, 2, 0, 255, 2, 0xEE, 1, 5, 3, 0xEE, 0, 4, 3, 3}));
  EXPECT_FALSE(Compile(t, "@MYFN(1)").ok);
}

TEST(CompilerReferences, SeparatorAndDecimalCharacterFollowTheSettings) {
  TestSheet t;
  t.session.settings().argSeparator = ';';
  t.session.settings().decimalChar = ',';
  EXPECT_TRUE(Compile(t, "@IF(1;2,5;3)").ok);
  EXPECT_FALSE(Compile(t, "@IF(1,2,3)").ok);
  EXPECT_EQ(t.EvalNumber("1,5*2"), 3);
}

TEST(RelativeForm, RoundTripKeepsTargetsAndWrapsOffsets) {
  TestSheet t;
  std::string code = CompileFormula(*t.doc, "+B2+$C$3+@SUM(A1..D4)").code;
  ASSERT_FALSE(code.empty());
  auto* p = reinterpret_cast<std::uint8_t*>(code.data());
  std::string original = code;
  ToRelativeForm(p, t.cells(), 1, 1);  // as seen from B2
  // B2 seen from B2: both offsets zero, relative.
  EXPECT_EQ(ReadU16(p + 3), 0x8000);
  EXPECT_EQ(ReadU16(p + 5), 0x8000);
  ASSERT_TRUE(ToLinkedForm(p, t.cells(), 1, 1));
  EXPECT_EQ(code, original);
  // Linked again one row lower, the relative references move, $C$3 does not.
  ToRelativeForm(p, t.cells(), 1, 1);
  ASSERT_TRUE(ToLinkedForm(p, t.cells(), 2, 1));
  EXPECT_EQ(t.cells().Get(RefId(ReadU32(p + 3)))->row, 2);
  EXPECT_EQ(t.cells().Get(RefId(ReadU32(p + 8)))->row, 2);
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// Found by fuzzing: a "[" inside a reference token marked a link as pending
// although none had been emitted, and the next address overwrote the code's
// header.
TEST(CompilerRegression, BracketInsideAReferenceIsASyntaxError) {
  testing::TestSheet t;
  EXPECT_FALSE(CompileFormula(*t.doc, "A9[f:]A11").ok());
  std::string code = CompileFormula(*t.doc, "[f:]A11+1").code;
  ASSERT_FALSE(code.empty());
  EXPECT_TRUE(IsWellFormed(reinterpret_cast<const std::uint8_t*>(code.data()), code.size()));
}

}  // namespace
}  // namespace tabulon
