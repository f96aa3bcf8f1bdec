#include "formula/formula_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/op_table.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::At;
using testing::TestSheet;

std::string Hex(const std::string& code) {
  std::string s;
  char buf[4];
  for (unsigned char c : code) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    s += buf;
  }
  return s;
}

struct FormulaTextTest : ::testing::Test {
  TestSheet t;

  std::string Compile(std::string_view text) {
    CompiledFormula compiled = CompileFormula(*t.doc, text);
    EXPECT_TRUE(compiled.ok()) << "does not compile: " << text;
    return compiled.code;
  }
  // Text of the compiled formula.
  std::string Regen(std::string_view text) { return FormulaText(*t.doc, Compile(text)); }

  // compile -> text -> compile gives the same bytes, and the text is stable.
  void ExpectRoundTrip(std::string_view text) {
    std::string code = Compile(text);
    if (code.empty()) return;
    std::string regenerated = FormulaText(*t.doc, code);
    CompiledFormula recompiled = CompileFormula(*t.doc, regenerated);
    const std::string& again = recompiled.code;
    EXPECT_TRUE(recompiled.ok()) << text << " -> " << regenerated;
    EXPECT_EQ(Hex(code), Hex(again)) << text << " -> " << regenerated;
    EXPECT_EQ(FormulaText(*t.doc, again), regenerated) << text;
  }
  void Name(std::string_view name, std::string_view range) {
    std::size_t dots = range.find("..");
    auto a = At(range.substr(0, dots));
    auto b = dots == std::string_view::npos ? a : At(range.substr(dots + 2));
    ASSERT_TRUE(t.doc->names().DefineName(name, CellRange::Of(a.row, a.col, b.row, b.col)));
  }
};

TEST_F(FormulaTextTest, LeadingPlusAndNormalisedForms) {
  EXPECT_EQ(Regen("+A1+B1"), "+A1+B1");
  EXPECT_EQ(Regen("A1+B1"), "+A1+B1");
  EXPECT_EQ(Regen("@sum(a1..b3)"), "@SUM(A1..B3)");
  EXPECT_EQ(Regen("(1+2)*3"), "(1+2)*3");
  EXPECT_EQ(Regen("1+2*3"), "1+2*3");
  EXPECT_EQ(Regen("5%"), "5%");
  EXPECT_EQ(Regen("-A1"), "-A1");
  EXPECT_EQ(Regen("A1><B1"), "+A1<>B1");
  EXPECT_EQ(Regen("A1=<B1#and#A1=>B1"), "+A1<=B1#AND#A1>=B1");
  EXPECT_EQ(Regen("a1#or#@not(b1)"), "+A1#OR#@NOT(B1)");
  EXPECT_EQ(Regen("$a$1+a$1+$a1"), "+$A$1+A$1+$A1");
  EXPECT_EQ(Regen("\"abc\"&\"d e\""), "+\"abc\"&\"d e\"");
  EXPECT_EQ(Regen("@pi*@if(a1,@sum(1,2,3),@rand)"), "@PI*@IF(A1,@SUM(1,2,3),@RAND)");
  EXPECT_EQ(Regen("4!"), "4!");
  EXPECT_EQ(Regen("((A1))"), "((A1))");
  EXPECT_EQ(Regen("-2^-2"), "-2^-2");
}

TEST_F(FormulaTextTest, ConstantsUseTheNumberRule) {
  EXPECT_EQ(Regen("1234567"), "1.234567E+06");
  EXPECT_EQ(Regen("0.5"), "0.5");
  EXPECT_EQ(Regen("1E-7"), "1E-07");
  EXPECT_EQ(Regen("1e3"), "1000");
  EXPECT_EQ(Regen("32767"), "32767");
  EXPECT_EQ(Regen(".25"), "0.25");
  EXPECT_EQ(Regen("1E100"), "1E+100");
}

// Every exponent in formula text is written with "E", the small
// magnitudes that the general form writes with an exponent too.
TEST_F(FormulaTextTest, ExponentsAreUpperCase) {
  EXPECT_EQ(Regen("0.00001+1"), "1E-05+1");
  EXPECT_EQ(Regen("1E-05+1"), "1E-05+1");
  EXPECT_EQ(Regen("-0.0000123"), "-1.23E-05");
  for (double x : {1e-5, 1.5e-5, 2.5e-6, 9.99e-5, 1e-7, 3e100, 1.0 / 3e4, 0.1 + 0.2}) {
    std::string text = ConstantText(x, '.');
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
  }
}

TEST_F(FormulaTextTest, ConstantsKeepEveryDigitTheyNeed) {
  // The number rule alone would drop digits of these; the text must still
  // compile to the very same double.
  EXPECT_EQ(Regen("0.30000000000000004"), "3.0000000000000004E-01");
  EXPECT_EQ(Regen("12345678.9012345"), "1.23456789012345E+07");
  EXPECT_EQ(Regen("1234567.891"), "1.234567891E+06");
  ExpectRoundTrip("4.9E-324");
  ExpectRoundTrip("1.7976931348623157E308");
  EXPECT_EQ(ConstantText(0.1, '.'), "0.1");
}

TEST_F(FormulaTextTest, SeparatorAndDecimalCharacterFollowTheSettings) {
  t.session.settings().argSeparator = ';';
  EXPECT_EQ(Regen("@IF(A1;1;2)"), "@IF(A1;1;2)");
  t.session.settings().decimalChar = ',';
  EXPECT_EQ(Regen("@ROUND(A1;2)*1,5"), "@ROUND(A1;2)*1,5");
  ExpectRoundTrip("1,23456789012345678E+20");
}

TEST_F(FormulaTextTest, SingleCellNamesReplaceTheirAddress) {
  Name("TOTAL", "B5");
  EXPECT_EQ(Regen("TOTAL*2"), "+TOTAL*2");
  EXPECT_EQ(Regen("B5*2"), "+TOTAL*2");
  EXPECT_EQ(Regen("$TOTAL"), "+$TOTAL");
  EXPECT_EQ(Regen("$B$5"), "+$TOTAL");
  // A half-absolute reference cannot be written as the name.
  EXPECT_EQ(Regen("B$5"), "+B$5");
  EXPECT_EQ(Regen("$B5"), "+$B5");
  ExpectRoundTrip("B$5+$B5+B5+$B$5");
}

TEST_F(FormulaTextTest, RangeNamesOnlyForTheirExactRange) {
  Name("DATA", "A1..B3");
  Name("ANCHOR", "A1..C9");
  EXPECT_EQ(Regen("@SUM(A1..B3)"), "@SUM(DATA)");
  EXPECT_EQ(Regen("@SUM(data)"), "@SUM(DATA)");
  EXPECT_EQ(Regen("@SUM($A$1..$B$3)"), "@SUM($DATA)");
  EXPECT_EQ(Regen("@SUM(A1..C9)"), "@SUM(ANCHOR)");
  EXPECT_EQ(Regen("@SUM(A1..B4)"), "@SUM(A1..B4)");
  EXPECT_EQ(Regen("@SUM(B3..A1)"), "@SUM(B3..A1)");
  EXPECT_EQ(Regen("@SUM($A$1..B3)"), "@SUM($A$1..B3)");
  // A1 is the first corner of both ranges but names no single cell.
  EXPECT_EQ(Regen("A1"), "+A1");
  ExpectRoundTrip("@SUM(A1..B3)+@SUM(B3..A1)+@SUM($A$1..B3)+@SUM(A1..C9)");
}

TEST_F(FormulaTextTest, NamesThatWouldNotReadBackStayAddresses) {
  Name("A_B", "C3");     // "_" is an operator character to the compiler
  Name("RANGE", "C4");   // a word of its own to the range parser
  Name("X-Y", "C5");
  Name("PCT%", "C6");    // a trailing "%" is the percent operator
  EXPECT_EQ(Regen("C3+C4+C5+C6"), "+C3+C4+C5+C6");
  Name("GOOD", "C6");
  EXPECT_EQ(Regen("C6"), "+GOOD");
}

TEST_F(FormulaTextTest, DeletedCellShowsErr) {
  ASSERT_TRUE(t.Enter("A1", "+B1*2+C1"));
  CellRecord* b1 = t.Cell("B1");
  ASSERT_NE(b1, nullptr);
  DeleteCell(*t.doc, *b1);
  t.cells().FreeRecord(*b1);
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A1")), "+ERR*2+C1");
}

TEST_F(FormulaTextTest, LinksShowPathAndAddress) {
  EXPECT_EQ(Regen("+[/DATA/OTHER.WKS]B2..C3"), "+[/DATA/OTHER.WKS]B2..C3");
  EXPECT_EQ(Regen("2*[/DATA/OTHER.WKS]$B$2"), "2*[/DATA/OTHER.WKS]B2");
  Name("DATA", "A1..B3");
  EXPECT_EQ(Regen("[/X.WKS]DATA+1"), "+[/X.WKS]A1..B3+1");
  ExpectRoundTrip("[/X.WKS]DATA%+1");
}

TEST_F(FormulaTextTest, UserAndSheetFunctions) {
  Engine(t.session).masterFunctions = ParseUserFunctionFile("TWICE,1\n@A(1)*2\nNONE,0\n42\n");
  EXPECT_EQ(Regen("@twice(A1)+@none"), "@TWICE(A1)+@NONE");
  Name("MYFN", "E1..F1");
  Name("ONE", "G1");
  EXPECT_EQ(Regen("@myfn(1,A2)*@one(3)"), "@MYFN(1,A2)*@ONE(3)");
  ExpectRoundTrip("@MYFN(@TWICE(1),@ONE(@NONE))");
}

TEST_F(FormulaTextTest, UnaryPlusAtTheStartSurvives) {
  EXPECT_EQ(Regen("++A1"), "++A1");
  ExpectRoundTrip("++A1");
  ExpectRoundTrip("+-A1");
  ExpectRoundTrip("--5");
  ExpectRoundTrip("A1*+B1");
  // Every parenthesised expression drops one leading "+" as well.
  EXPECT_EQ(Regen("(++A1)*@ABS(++A1)+@SUM(1,+A1)"), "(++A1)*@ABS(++A1)+@SUM(1,+A1)");
  EXPECT_EQ(Regen("(+A1)"), "(A1)");
}

TEST_F(FormulaTextTest, MalformedCodeNeverFails) {
  auto text = [&](std::initializer_list<int> bytes) {
    std::string code;
    for (int b : bytes) code.push_back(static_cast<char>(b));
    return FormulaText(*t.doc, code);
  };
  EXPECT_EQ(text({}), "+NOEND");
  EXPECT_EQ(text({3, 0, 5}), "+NOEND");          // no end operation at L
  EXPECT_EQ(text({240, 0, 3}), "+NOEND");        // L too large
  EXPECT_EQ(text({9, 0, 3}), "+NOEND");          // L beyond the bytes
  EXPECT_EQ(text({4, 0, 0, 1, 3}), "+NOEND");     // constant cut short
  EXPECT_EQ(text({3, 0, 200, 3}), "@UKW");
  EXPECT_EQ(text({6, 0, 5, 1, 0, 27, 3}), "@UKW(1)");
  EXPECT_EQ(text({4, 0, 254, 9, 3}), "@NOFUN");
  EXPECT_EQ(text({3, 0, 9, 3}), "++");            // operator without operands
  EXPECT_EQ(text({7, 0, 1, 0x55, 0x55, 0x05, 0, 3}), "+ERR");  // no such record
  EXPECT_EQ(text({2, 0, 3}), "");
  // Every byte string, cut anywhere, gives some text within bounds.
  std::mt19937 rng(3);
  for (int i = 0; i < 20000; ++i) {
    std::string code(1 + rng() % 40, '\0');
    for (char& c : code) c = static_cast<char>(rng() % 8 == 0 ? 3 : rng() % 256);
    code[0] = static_cast<char>(code.size() - 1 - rng() % 3);
    if (rng() % 2) code[1] = 0;
    EXPECT_LE(FormulaText(*t.doc, code).size(), 240u);
  }
}

TEST_F(FormulaTextTest, TextBeyond240CharactersOverflows) {
  Name("N", "A1");
  std::string exact;
  for (int i = 0; i < 60; ++i) exact += i ? "&@PI" : "@PI";
  exact += "&1";  // 3 + 59 * 4 + 2 = 241 characters: too long to type
  exact.resize(exact.size() - 2);
  exact = "1&" + exact.substr(0, exact.size() - 4);  // 2 + 236 = 238
  EXPECT_EQ(Regen(exact), exact);
  // Typed at 240 characters, but the text needs a leading "+".
  std::string name = "N&12";
  for (int i = 0; i < 59; ++i) name += "&@PI";
  ASSERT_EQ(name.size(), 240u);
  EXPECT_EQ(Regen(name), "+OVERFLOW");
}

// A prefix operator right after another operator used to pop that operator
// and emit it before the prefix operator's own operand.
TEST_F(FormulaTextTest, PrefixOperatorEmittedBeforeItsOperand) {
  auto ops = [&](std::string_view text) {
    std::string code = Compile(text);
    std::vector<int> seen;
    ForEachOperation(reinterpret_cast<const std::uint8_t*>(code.data()),
                     [&](int, std::uint8_t op) { seen.push_back(op); });
    return seen;
  };
  EXPECT_EQ(ops("--5"), (std::vector<int>{kOpInteger, kOpNegate, kOpNegate}));
  EXPECT_EQ(ops("1*+-A1"),
            (std::vector<int>{kOpInteger, kOpCell, kOpNegate, kOpUnaryPlus, kOpMultiply}));
  EXPECT_EQ(ops("A1&-B1"), (std::vector<int>{kOpCell, kOpCell, kOpNegate, kOpConcat}));
  // Binary operators still give way to a pending prefix operator.
  EXPECT_EQ(ops("-2^2"), (std::vector<int>{kOpInteger, kOpNegate, kOpInteger, kOpPower}));
  EXPECT_EQ(t.Eval("--5"), "5");
  EXPECT_EQ(t.Eval("3*+-2"), "-6");
  EXPECT_EQ(t.Eval("2^--1"), "2");
  EXPECT_EQ(t.Eval("-2^2"), "4");
}

// Every operation of the operator table in a formula that uses it.
TEST_F(FormulaTextTest, EveryOperationRoundTrips) {
  Engine(t.session).masterFunctions = ParseUserFunctionFile("TWICE,1\n@A(1)*2\n");
  Name("MYFN", "E1..F1");
  std::vector<std::string> formulas = {
      "1.5+A1", "A1..B2", "+A1", "(A1)", "7", "\"s\"", "[/P/Q.WKS]A1", "@TWICE(3)", "@MYFN(1,2)",
      "-A1",    "A1*+B1", "A1%", "4!",  "@NOT(A1)"};
  const char* infix[] = {"+", "-", "*", "/", "^", "=", "<>", "<=", ">=", "<", ">", "#AND#",
                         "#OR#", "&"};
  for (const char* op : infix) formulas.push_back(std::string("A1") + op + "B1");
  for (int op = 27; op <= kOpHighest; ++op) {
    std::string name(OpName(static_cast<std::uint8_t>(op)));
    if (name.empty()) continue;
    int cls = OpClassOf(static_cast<std::uint8_t>(op));
    std::string f = "@" + name;
    if (cls >= kClassFunction1 && cls <= kClassFunction4) {
      f += "(";
      for (int i = 0; i < cls - kClassFunction0; ++i) f += i ? ",B" + std::to_string(i) : "A1..C3";
      f += ")";
    } else if (cls == kClassVariadic) {
      f += "(A1..B2,3,\"x\")";
    }
    formulas.push_back(f);
  }
  std::vector<bool> seen(256, false);
  for (const std::string& f : formulas) {
    std::string code = Compile(f);
    ForEachOperation(reinterpret_cast<const std::uint8_t*>(code.data()),
                     [&](int, std::uint8_t op) { seen[op] = true; });
    ExpectRoundTrip(f);
  }
  for (int op = 0; op <= 255; ++op) {
    if (op == kOpEnd || op == kOpSheetFunction) continue;
    std::uint8_t cls = OpClassOf(static_cast<std::uint8_t>(op));
    bool assigned = cls != kClassUnassigned && (op < 8 || !OpName(static_cast<std::uint8_t>(op)).empty() ||
                                                op == kOpUserFunction);
    if (assigned) {
      EXPECT_TRUE(seen[op]) << "operation " << op << " not covered";
    }
  }
  EXPECT_EQ(Regen("@NOT(A1)"), "@NOT(A1)");
}

// Random formulas: nesting of operators and functions, references in every
// absolute form, ranges, names, strings, links and numbers of every kind.
class FormulaGenerator {
 public:
  FormulaGenerator(unsigned seed, char decimal, char separator)
      : rng_(seed), decimal_(decimal), separator_(separator) {}

  // A formula and the exact length L its code will have.
  std::string Next(int& codeLength) {
    code_ = 2;
    std::string f = Expr(0);
    codeLength = code_;
    return f;
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % n); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::string Lower(std::string s) {
    if (Chance(30))
      for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  }

  std::string Corner(bool& abs) {
    static const int kCols[] = {0, 1, 2, 25, 26, 255};
    int col = Chance(50) ? kCols[Pick(6)] : Pick(256);
    int row = Chance(50) ? Pick(10) : Pick(8192);
    bool absCol = Chance(40), absRow = Chance(40);
    abs = absCol || absRow;
    return Lower((absCol ? "$" : "") + ColumnLetters(col) + (absRow ? "$" : "") +
                 std::to_string(row + 1));
  }

  std::string Number() {
    char buf[64];
    std::string s;
    switch (Pick(9)) {
      case 0: s = std::to_string(Pick(32767)); code_ += 3; return s;
      case 1: s = std::to_string(32767 + Pick(1000000)); break;
      case 2: std::snprintf(buf, sizeof buf, "%.*f", 1 + Pick(6), Pick(100000) / 7.0); s = buf; break;
      case 3: std::snprintf(buf, sizeof buf, "%.17g", std::ldexp(1.0 + (rng_() % 1000000) / 1e6, Pick(2000) - 1000)); s = buf; break;
      case 4: std::snprintf(buf, sizeof buf, "%dE%d", 1 + Pick(9), Pick(600) - 300); s = buf; break;
      case 5: std::snprintf(buf, sizeof buf, "%.15g", (rng_() % 1000000007) * 1e-13); s = buf; break;
      case 6: std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(rng_()) / 3.0); s = buf; break;
      case 7: s = "0." + std::to_string(Pick(1000)) + "1"; break;
      default: std::snprintf(buf, sizeof buf, "%.3fe-%d", 1 + Pick(9000) / 1000.0, 5 + Pick(4)); s = buf; break;
    }
    // Integral values below 32767 compile to a 2-byte integer.
    double v = std::strtod(s.c_str(), nullptr);
    code_ += (std::fabs(v) < 32767 && v == std::round(v)) ? 3 : 9;
    for (char& c : s)
      if (c == '.') c = decimal_;
    return s;
  }

  std::string String() {
    static const std::string kChars = "abc XYZ019,;()[]@$+-*/#&'%!.\xE9\xFC";
    std::string s;
    int n = Pick(8);
    for (int i = 0; i < n; ++i) s += kChars[Pick(static_cast<int>(kChars.size()))];
    code_ += 2 + n;
    return "\"" + s + "\"";
  }

  std::string Reference() {
    bool abs = false;
    switch (Pick(7)) {
      case 0: code_ += 5; return Lower(Chance(50) ? "TOTAL" : "$TOTAL");
      case 1: code_ += 9; return Lower(Chance(50) ? "DATA" : "$DATA");
      case 2: code_ += 5; return Chance(50) ? "B5" : "$B$5";
      case 3: code_ += 9; return Chance(50) ? "A1..B3" : "$A$1..$B$3";
      case 4: {
        code_ += 9;
        std::string a = Corner(abs);
        return a + ".." + Corner(abs);
      }
      default: code_ += 5; return Corner(abs);
    }
  }

  std::string Link() {
    std::string path = "/DATA/F" + std::to_string(Pick(100)) + ".WKS";
    code_ += 1 + 8 + static_cast<int>(path.size()) + 1;
    bool abs = false;
    if (Chance(30)) return "[" + path + "]DATA";
    std::string address = Corner(abs);
    if (Chance(30)) address += ".." + Corner(abs);
    return "[" + path + "]" + address;
  }

  std::string Operand() {
    std::string s;
    switch (Pick(10)) {
      case 0: case 1: case 2: s = Number(); break;
      case 3: s = String(); break;
      case 4: s = Link(); break;
      default: s = Reference(); break;
    }
    if (Chance(10)) {
      s += Chance(50) ? "%" : "!";
      code_ += 1;
    }
    return s;
  }

  std::string Call(int depth) {
    code_ += 1;
    switch (Pick(8)) {
      case 0: code_ += 1; return "@" + Lower("TWICE") + "(" + Expr(depth + 1) + ")";
      case 1: code_ += 1; return Lower("@NONE");
      case 2: code_ += 4; return "@" + Lower("MYFN") + "(" + Expr(depth + 1) + separator_ + Expr(depth + 1) + ")";
      case 3: code_ += 4; return "@ONE(" + Expr(depth + 1) + ")";
      default: break;
    }
    int op;
    do op = 27 + Pick(kOpHighest - 26);
    while (OpName(static_cast<std::uint8_t>(op)).empty());
    int cls = OpClassOf(static_cast<std::uint8_t>(op));
    std::string s = "@" + Lower(std::string(OpName(static_cast<std::uint8_t>(op))));
    if (cls == kClassFunction0) return s;
    int n = cls - kClassFunction0;
    if (cls == kClassVariadic) {
      n = 1 + Pick(4);
      code_ += 1;
    }
    s += "(";
    for (int i = 0; i < n; ++i) {
      if (i) s += separator_;
      s += Expr(depth + 1);
    }
    return s + ")";
  }

  std::string Expr(int depth) {
    int choice = depth >= 4 ? 0 : Pick(10);
    switch (choice) {
      case 1: case 2: case 3: {
        static const char* kOps[] = {"+", "-", "*", "/", "^", "=", "<>", "><", "<=", "=<", ">=",
                                     "=>", "<", ">", "#AND#", "#and#", "#OR#", "#or#", "&"};
        std::string left = Expr(depth + 1);
        std::string right = Expr(depth + 1);
        code_ += 1;
        return left + kOps[Pick(19)] + right;
      }
      case 4: code_ += 1; return (Chance(50) ? "-" : "+") + Expr(depth + 1);
      case 5: code_ += 1; return "(" + Expr(depth + 1) + ")";
      case 6: case 7: return Call(depth);
      default: return Operand();
    }
  }

  std::mt19937 rng_;
  char decimal_;
  char separator_;
  int code_ = 2;
};

void DefineGeneratorNames(FormulaTextTest& test) {
  Engine(test.t.session).masterFunctions =
      ParseUserFunctionFile("TWICE,1\n@A(1)*2\nNONE,0\n42\n");
  test.Name("TOTAL", "B5");
  test.Name("DATA", "A1..B3");
  test.Name("MYFN", "E1..F1");
  test.Name("ONE", "G1");
}

void RunGenerated(FormulaTextTest& test, unsigned seed, int count, char decimal, char separator) {
  FormulaGenerator gen(seed, decimal, separator);
  int checked = 0;
  for (int i = 0; checked < count && i < count * 20; ++i) {
    int length = 0;
    std::string f = gen.Next(length);
    if (f.size() > 240 || length > 239) continue;
    ++checked;
    test.ExpectRoundTrip(f);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "seed " << seed << " formula " << i << ": " << f;
      return;
    }
  }
  EXPECT_EQ(checked, count);
}

TEST_F(FormulaTextTest, GeneratedFormulasRoundTrip) {
  DefineGeneratorNames(*this);
  RunGenerated(*this, 11, 4000, '.', ',');
}

TEST_F(FormulaTextTest, GeneratedFormulasRoundTripWithOtherSeparators) {
  DefineGeneratorNames(*this);
  t.session.settings().argSeparator = ';';
  t.session.settings().decimalChar = ',';
  RunGenerated(*this, 12, 1500, ',', ';');
}

TEST_F(FormulaTextTest, GeneratedFormulasRoundTripWithPages) {
  DefineGeneratorNames(*this);
  t.doc->settings().pageHeight = 2048;
  RunGenerated(*this, 13, 1500, '.', ',');
}

}  // namespace
}  // namespace tabulon
