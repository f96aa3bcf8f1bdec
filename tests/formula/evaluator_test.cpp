#include <gtest/gtest.h>

#include <cstring>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/op_table.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(EvaluatorOperators, ArithmeticAndPower) {
  TestSheet t;
  EXPECT_EQ(t.Eval("1+2*3"), "7");
  EXPECT_EQ(t.Eval("-2^2"), "4");
  EXPECT_EQ(t.Eval("2^3^2"), "64");
  EXPECT_EQ(t.Eval("0^0"), "0");
  EXPECT_EQ(t.Eval("0^-1"), "0");
  EXPECT_EQ(t.Eval("5^0"), "1");
  EXPECT_EQ(t.Eval("2^-1"), "0.5");
  EXPECT_EQ(t.Eval("(-2)^3"), "-8");
  EXPECT_EQ(t.Eval("(-8)^(1/3)"), "ERR");
  EXPECT_EQ(t.Eval("4^0.5"), "2");
  EXPECT_EQ(t.Eval("10^400"), "ERR");
  // A whole exponent of any size is whole: beyond 2^53 every double is even.
  EXPECT_EQ(t.Eval("(-1)^1E20"), "1");
  EXPECT_EQ(t.Eval("(-0.5)^1E20"), "0");
  EXPECT_EQ(t.Eval("(-1)^-1E20"), "1");
  EXPECT_EQ(t.Eval("(-1)^9.223372036854775808E18"), "1");
  EXPECT_EQ(t.Eval("(-2)^1E20"), "ERR") << "overflow";
  EXPECT_EQ(t.Eval("(-1)^1E300"), "1");
  EXPECT_EQ(t.Eval("(-3)^3"), "-27");
  EXPECT_EQ(t.Eval("1/0"), "ERR");
  EXPECT_EQ(t.Eval("1E300*1E300"), "ERR");
  EXPECT_EQ(t.Eval("7-10"), "-3");
  EXPECT_EQ(t.Eval("50%"), "0.5");
  EXPECT_EQ(t.Eval("5!"), "120");
  EXPECT_EQ(t.Eval("0!"), "1");
  EXPECT_EQ(t.Eval("171!"), "ERR");
  EXPECT_EQ(t.Eval("@FACT(-1)"), "ERR");
  EXPECT_EQ(t.Eval("(-1)!"), "SYNTAX") << "postfix operators follow an operand token only";
}

TEST(EvaluatorOperators, ComparisonsOfNumbersAndStrings) {
  TestSheet t;
  EXPECT_EQ(t.Eval("\"a\"<\"b\""), "1");
  EXPECT_EQ(t.Eval("\"a\"<=\"b\""), "1");
  EXPECT_EQ(t.Eval("\"a\">=\"b\""), "0");
  EXPECT_EQ(t.Eval("\"abc\"=\"ABC\""), "0");
  EXPECT_EQ(t.Eval("\"abc\"=\"abc\""), "1");
  EXPECT_EQ(t.Eval("\"ab\"<\"abc\""), "1") << "a prefix sorts first";
  EXPECT_EQ(t.Eval("\"ab\"<>\"abc\""), "1");
  EXPECT_EQ(t.Eval("\"x\"=0"), "1") << "a string compared with a number counts as 0";
  EXPECT_EQ(t.Eval("2>1"), "1");
  EXPECT_EQ(t.Eval("2<>2"), "0");
}

TEST(EvaluatorOperators, BitwiseLogicAndNot) {
  TestSheet t;
  EXPECT_EQ(t.Eval("3#AND#5"), "1");
  EXPECT_EQ(t.Eval("1#OR#2"), "3");
  EXPECT_EQ(t.Eval("2#AND#1"), "0");
  EXPECT_EQ(t.Eval("1E10#OR#0"), "1") << "huge magnitudes count as 1";
  EXPECT_EQ(t.Eval("@NOT(0)"), "1");
  EXPECT_EQ(t.Eval("@NOT(7)"), "0");
}

TEST(EvaluatorOperators, ConcatenationConvertsNumbersAndCutsAt240) {
  TestSheet t;
  EXPECT_EQ(t.Eval("5&\"x\""), "5x");
  EXPECT_EQ(t.Eval("\"a\"&0.5&\"b\""), "a0.5b");
  t.Enter("A1", std::string("'") + std::string(239, 'y'));
  std::string joined = t.Eval("A1&A1&A1");
  EXPECT_EQ(joined.size(), 240u);
}

TEST(EvaluatorChoice, IfIsTrueOnlyForOne) {
  TestSheet t;
  EXPECT_EQ(t.Eval("@IF(2,10,20)"), "20");
  EXPECT_EQ(t.Eval("@IF(1,10,20)"), "10");
  EXPECT_EQ(t.Eval("@IF(1,\"yes\",20)"), "yes");
  EXPECT_EQ(t.Eval("@IF(1/0,1,2)"), "ERR");
  t.Enter("A1", "5");
  EXPECT_EQ(t.Eval("@IF(A1>0,10,20)"), "10");
  EXPECT_EQ(t.Eval("@IF(0,1,1/0)"), "ERR") << "the chosen argument's error travels";
  EXPECT_EQ(t.Eval("@IF(0,1/0,3)"), "3");
}

TEST(EvaluatorChoice, CaseSelectsOrFails) {
  TestSheet t;
  EXPECT_EQ(t.Eval("@CASE(2,10,20,30)"), "20");
  EXPECT_EQ(t.Eval("@CASE(3,\"a\",\"b\",\"c\")"), "c");
  EXPECT_EQ(t.Eval("@CASE(0,1,2)"), "ERR");
  EXPECT_EQ(t.Eval("@CASE(3,1,2)"), "ERR");
  EXPECT_EQ(t.Eval("@CASE(1.6,1,2)"), "2");
}

TEST(EvaluatorErrors, NotAvailableAndErrorValues) {
  TestSheet t;
  EXPECT_EQ(t.Eval("@NA+1"), "0");
  EXPECT_EQ(t.Eval("@ERR"), "ERR");
  EXPECT_EQ(t.Eval("@ERR+1"), "ERR");
  EXPECT_TRUE(t.Enter("A1", "+1/0"));
  EXPECT_TRUE(t.IsError("A1"));
  EXPECT_EQ(t.Cell("A1")->value.num, -1);
  EXPECT_TRUE(t.Enter("A2", "+A1*2"));
  EXPECT_TRUE(t.IsError("A2")) << "a reference to an error cell is an error";

  // Testing for errors and for "not available".
  EXPECT_TRUE(t.Enter("B1", "@ISERR(1/0)"));
  EXPECT_FALSE(t.IsError("B1")) << "the test takes the mark off";
  EXPECT_EQ(t.Number("B1"), 1);
  EXPECT_EQ(t.Eval("@ISERR(A2)"), "1");
  EXPECT_EQ(t.Eval("@ISERR(5)+@ISERR(\"x\")"), "0");
  EXPECT_EQ(t.Eval("@IF(@ISERR(A1),0,A1)"), "0");
  EXPECT_EQ(t.Eval("@ISNA(-1)"), "1");
  EXPECT_EQ(t.Eval("@ISNA(@NA)"), "1");
  EXPECT_EQ(t.Eval("@ISNA(1)+@ISNA(\"-1\")"), "0");
  EXPECT_EQ(t.Eval("@ISNA(@ERR)"), "ERR") << "only @ISERR takes the mark off";
  EXPECT_EQ(t.Eval("@TRUE"), "1");
  EXPECT_EQ(t.Eval("@FALSE"), "0");
  EXPECT_EQ(t.Eval("@IF(@TRUE,10,20)+@IF(@FALSE,1,2)"), "12");
}

// Every row of the operation list has an evaluation of its own, installed
// by its family and by no other; every other number is visibly unassigned.
TEST(EvaluatorErrors, EveryListedOperationHasItsFamilysHandler) {
  const DispatchTable& dispatch = Evaluator::Dispatch();
  for (int op = 0; op < 256; ++op) {
    const OpInfo& info = OpTable(static_cast<std::uint8_t>(op));
    EXPECT_EQ(dispatch[op] != &UnassignedOperation, info.assigned()) << "operation " << op;
  }
  struct Family {
    OpFamily family;
    void (*Register)(DispatchTable&);
  };
  const Family families[] = {
      {OpFamily::kCore, RegisterCoreOperations},
      {OpFamily::kMath, RegisterMathFunctions},
      {OpFamily::kStatistics, RegisterStatisticsFunctions},
      {OpFamily::kSpecial, RegisterSpecialFunctions},
      {OpFamily::kMatrix, RegisterMatrixFunctions},
      {OpFamily::kFormulaArgument, RegisterFormulaArgumentFunctions},
      {OpFamily::kText, RegisterTextFunctions},
      {OpFamily::kDateTime, RegisterDateTimeFunctions},
      {OpFamily::kFinancial, RegisterFinancialFunctions},
      {OpFamily::kLookup, RegisterLookupFunctions},
      {OpFamily::kInformation, RegisterInformationFunctions},
  };
  for (const Family& f : families) {
    DispatchTable t;
    t.fill(nullptr);
    f.Register(t);
    for (int op = 0; op < 256; ++op) {
      bool mine = OpTable(static_cast<std::uint8_t>(op)).family == f.family;
      EXPECT_EQ(t[op] != nullptr, mine) << "operation " << op;
      if (mine) {
        EXPECT_EQ(t[op], dispatch[op]) << "operation " << op;
      }
    }
  }
}

// An unassigned number in code ends the evaluation with ERR; it never
// passes its argument on as its result.
TEST(EvaluatorErrors, UnassignedOperationsGiveErr) {
  TestSheet t;
  Evaluator& e = *Engine(t.session).evaluator;
  for (int op = 0; op < 256; ++op) {
    if (OpTable(static_cast<std::uint8_t>(op)).assigned()) continue;
    const std::uint8_t alone[] = {3, 0, static_cast<std::uint8_t>(op), 3};
    EXPECT_TRUE(e.EvaluateCode(*t.doc, alone).error) << op;
    const std::uint8_t afterValue[] = {6, 0, kOpInteger, 7, 0, static_cast<std::uint8_t>(op), 3};
    TextResult r = e.EvaluateCode(*t.doc, afterValue);
    EXPECT_TRUE(r.error) << op;
    EXPECT_NE(r.number, 7) << op;
  }
  EXPECT_EQ(t.Eval("@SUM(1,2)"), "3");
}

TEST(EvaluatorCells, OperandsOfEveryKind) {
  TestSheet t;
  t.Enter("A1", "2.5");
  t.Enter("A2", "7");
  t.Enter("A3", "^centred");
  t.Enter("A4", "+\"str\"");
  t.cells().GetOrCreateCell(4, 0);  // A5 empty placeholder
  EXPECT_EQ(t.Eval("A1*2"), "5");
  EXPECT_EQ(t.Eval("A2+1"), "8");
  EXPECT_EQ(t.Eval("A3&\"!\""), "centred!") << "labels lose their prefix";
  EXPECT_EQ(t.Eval("A4&A4"), "strstr");
  EXPECT_EQ(t.Eval("A5&\"x\""), "x");
  EXPECT_EQ(t.Eval("A5+1"), "1");
  // A formula that only reads a label yields a text result.
  t.Enter("B1", "+A3");
  EXPECT_EQ(t.Cell("B1")->Kind(), kStringFormula);
  EXPECT_EQ(t.Text("B1"), "centred");
  t.Enter("A3", "5");
  EXPECT_EQ(t.Cell("B1")->Kind(), kFormula) << "the kind follows the result";
  EXPECT_EQ(t.Number("B1"), 5);
}

TEST(EvaluatorLists, RangesSkipLabelsBlanksAndCountErrors) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "label");
  t.Enter("A3", "3");
  EXPECT_EQ(t.Eval("@SUM(A1..A3)"), "4");
  EXPECT_EQ(t.Eval("@COUNT(A1..A3)"), "2");
  EXPECT_EQ(t.Eval("@COUNT(A2)"), "1") << "a single cell counts whatever it holds";
  EXPECT_EQ(t.Eval("@SUM(A3..A1,10)"), "14");
  EXPECT_EQ(t.Eval("@AVG(A1..A3)"), "2");
  EXPECT_EQ(t.Eval("@MIN(A1..A3)"), "1");
  EXPECT_EQ(t.Eval("@MAX(A1..A3,-5)"), "3");
  EXPECT_EQ(t.Eval("@AVG(A2)"), "0");
  EXPECT_EQ(t.Eval("@AVG(C1..C5)"), "ERR");
  EXPECT_EQ(t.Eval("@MAX(C1..C5)"), "0");
  t.Enter("A2", "+1/0");
  EXPECT_EQ(t.Eval("@SUM(A1..A3)"), "ERR");
}

TEST(EvaluatorLists, VarianceFunctions) {
  TestSheet t;
  const char* values[] = {"2", "4", "4", "4", "5", "5", "7", "9"};
  for (int i = 0; i < 8; ++i) t.Enter("A" + std::to_string(i + 1), values[i]);
  EXPECT_EQ(t.Eval("@VAR(A1..A8)"), "4");
  EXPECT_EQ(t.Eval("@STD(A1..A8)"), "2");
  EXPECT_DOUBLE_EQ(t.EvalNumber("@VARU(A1..A8)"), 32.0 / 7);
  EXPECT_EQ(t.Eval("@VARU(1)"), "ERR");
}

TEST(EvaluatorNesting, UserDefinedFunctions) {
  TestSheet t;
  Engine(t.session).masterFunctions = ParseUserFunctionFile(
      "; an empty header line is skipped\nHYP,2 ; hypotenuse\n(@A(1)^2+@A(2)^2)^0.5\nGREET,1\n\"hi \"&@A(1)\n"
      "LOOP,1\n@LOOP(@A(1))\nTWICE,1\n@HYP(@A(1),@A(1))*0+@A(1)*2\n");
  EXPECT_EQ(t.Eval("@HYP(3,4)"), "5");
  EXPECT_EQ(t.Eval("@GREET(\"bob\")"), "hi bob");
  EXPECT_EQ(t.Eval("@TWICE(21)"), "42") << "user functions may call each other";
  EXPECT_EQ(t.Eval("@LOOP(1)"), "ERR") << "endless recursion ends with ERR";
  EXPECT_EQ(t.Eval("1+@HYP(6,8)*2"), "21") << "the caller's stack survives the nested run";
}

TEST(EvaluatorNesting, WorksheetDefinedFunctions) {
  TestSheet t;
  // MYFN takes two arguments in A10 and B10; its body is the formula in A11.
  t.doc->names().DefineName("MYFN", CellRange::Of(9, 0, 10, 1));
  t.Enter("A11", "+A10*10+B10");
  EXPECT_EQ(t.Eval("@MYFN(3,4)"), "34");
  EXPECT_EQ(t.Number("A10"), 3) << "arguments are written into the first row";
  EXPECT_EQ(t.Number("B10"), 4);
  t.doc->names().DefineName("SELF", CellRange::Of(19, 0, 20, 0));
  t.Enter("A21", "@SELF(A20+1)");
  EXPECT_NE(t.Eval("@SELF(1)"), "") << "self-reference terminates";
}

TEST(EvaluatorRobustness, MalformedCodeGivesErrWithoutReadingPastIt) {
  TestSheet t;
  CellRecord* cell = t.cells().GetOrCreateCell(0, 0);
  auto run = [&](std::vector<std::uint8_t> bytes) {
    EXPECT_EQ(bytes.size(), bytes[0] + 1u) << "test vector must hold bytes 0..L";
    t.cells().SetCode(*cell, bytes.data());
    cell->kind = kFormula;
    Engine(t.session).evaluator->EvaluateCell(*t.doc, *cell);
    return cell->HasError();
  };
  // Byte 0 is L, the offset of the end operation; each vector holds bytes 0..L.
  EXPECT_TRUE(run({3, 0, 9, 3}));                       // an operator with no operands
  EXPECT_TRUE(run({4, 0, 5, 1, 3}));                    // a truncated integer
  EXPECT_TRUE(run({5, 0, 6, 'a', 'b', 3}));             // a string without its 0 byte
  EXPECT_TRUE(run({3, 0, 200, 3}));                     // an unassigned operation
  EXPECT_TRUE(run({6, 0, 1, 0xFF, 0xFF, 0xFF, 3}));     // a reference cut short by L
  EXPECT_TRUE(run({8, 0, 5, 1, 0, 80, 9, 3, 3}));       // a count larger than the stack holds
  EXPECT_TRUE(run({7, 0, 1, 0x55, 0x55, 0x55, 0x15, 3})); // a reference to no record
  EXPECT_FALSE(run({5, 0, 5, 1, 0, 3}));                // sound code still works
  EXPECT_EQ(cell->value.num, 1);
}

TEST(EvaluatorRobustness, StackAndPoolExhaustionEndWithErr) {
  TestSheet t;
  std::string deep = "1";
  for (int i = 0; i < 30; ++i) deep = "(" + deep + "+1)";
  // 30 nested parentheses still need only two slots.
  EXPECT_EQ(t.Eval(deep.substr(0, 240)), t.Eval(deep.substr(0, 240)));
  std::string wide = "@SUM(";
  for (int i = 0; i < 30; ++i) wide += std::string(i ? "," : "") + "1";
  wide += ")";
  EXPECT_EQ(t.Eval(wide), "ERR") << "30 values do not fit 25 slots";
  t.Enter("A1", std::string("'") + std::string(239, 'z'));
  EXPECT_EQ(t.Eval("@IF(1,A1,A1&A1&A1&A1&A1)"), std::string(239, 'z'));
  EXPECT_EQ(t.Eval("@CASE(1,A1,A1,A1,A1,A1)"), "ERR") << "five long strings overflow the pool";
}

TEST(EvaluatorText, NestedEvaluationLeavesTheErrorChannelAlone) {
  TestSheet t;
  t.session.errors().Fail("Protected Cell");
  EXPECT_EQ(t.Eval("1+"), "SYNTAX");
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(t.Eval("2*3"), "6");
}

}  // namespace
}  // namespace tabulon
