// Regression against closed forms on exact and noisy data, multiple
// regression against known fits, goal seek on several functions and its
// give-up paths, and what-if tables of one and two inputs, from commands
// and macros.
#include <gtest/gtest.h>

#include <cmath>

#include "data_fixture.h"
#include "datatools/regression.h"
#include "macro/macro_support.h"

namespace tabulon {
namespace {

using testing::DataDesk;
using testing::Pos;

struct Desk : DataDesk {
  double Num(std::string_view a) {
    Pos p = testing::At(a);
    return CellNumber(Doc().cells().FindCell(p.row, p.col));
  }
  const CellRecord* Cell(std::string_view a) {
    Pos p = testing::At(a);
    return Doc().cells().FindCell(p.row, p.col);
  }
  std::string Edit(std::string_view a) { return CellEditText(Doc(), Cell(a)); }
  void Column(const char* top, std::initializer_list<const char*> v) {
    Pos p = testing::At(top);
    for (const char* t : v) EnterCell(Doc(), t, p.row++, p.col);
  }
  std::string LastMessage() { return host.messages.empty() ? "" : host.messages.back(); }
};

TEST(LinearRegression, ExactLineGivesZeroErrorsAndAFormulaInX) {
  Desk d;
  d.Column("A1", {"1", "2", "3"});
  d.Column("B1", {"2", "4", "6"});
  ASSERT_TRUE(d.ws.Execute("data.regress", {"A1..A3", "B1..B3", "D1"}).ok());
  EXPECT_EQ(d.Col("D1", "D12"),
            "'Intercept,'Slope,'R^2,'Sum X^2,'Sum Y^2,'Sum X*Y,'Count,'SIGMA x,'SIGMA y,"
            "'RegErr,'SlopeErr,'Formula:");
  EXPECT_EQ(d.Col("E1", "E11"), "0,2,1,14,56,28,3,1,2,0,0");
  EXPECT_EQ(d.Edit("E12"), "2*@X") << "no intercept term when it is 0";
  EXPECT_EQ(d.Num("E12"), 2) << "the formula shows the fit at the first X";
}

TEST(LinearRegression, NoisyDataMatchesTheClosedForms) {
  Desk d;
  d.Column("A1", {"1", "2", "3", "4", "5"});
  d.Column("B1", {"2.1", "3.9", "6.2", "7.8", "10.1"});
  ASSERT_TRUE(d.ws.Execute("data.regress", {"A1..A5", "B1..B5", "D1"}).ok());
  // By hand: Sxx about the mean 10, Sxy 19.9, Syy 39.708, means 3 and 6.02.
  EXPECT_NEAR(d.Num("E1"), 0.05, 1e-13);
  EXPECT_NEAR(d.Num("E2"), 1.99, 1e-14);
  EXPECT_NEAR(d.Num("E3"), 19.9 * 19.9 / (10 * 39.708), 1e-14);
  EXPECT_NEAR(d.Num("E8"), std::sqrt(10.0 / 4), 1e-14);
  EXPECT_NEAR(d.Num("E9"), std::sqrt(39.708 / 4), 1e-13);
  const double regErr = std::sqrt((39.708 - 1.99 * 19.9) / 3);
  EXPECT_NEAR(d.Num("E10"), regErr, 1e-12);
  EXPECT_NEAR(d.Num("E11"), regErr / std::sqrt(10.0), 1e-12);
  EXPECT_NEAR(d.Num("E12"), 0.05 + 1.99, 1e-12);
}

TEST(LinearRegression, OffsetDataKeepsItsDigits) {
  // Far from zero the textbook sums cancel catastrophically.
  Desk d;
  d.Column("A1", {"100000001", "100000002", "100000003"});
  d.Column("B1", {"1", "3", "5"});
  ASSERT_TRUE(d.ws.Execute("data.regress", {"A1..A3", "B1..B3", "D1"}).ok());
  EXPECT_NEAR(d.Num("E2"), 2, 1e-9);
  EXPECT_NEAR(d.Num("E3"), 1, 1e-12);
}

TEST(LinearRegression, PairsBlanksLabelsAndTheCasesWithoutALine) {
  Desk d;
  d.Column("A1", {"1", "2", "'word", "4"});
  d.Column("B1", {"3", "", "1", "9"});
  // Pairs (1,3), (0,1), (4,9): the blank pair is skipped, the label is 0.
  ASSERT_TRUE(d.ws.Execute("data.regress", {"A1..A4", "B1..B4", "D1"}).ok());
  EXPECT_EQ(d.Num("E7"), 3);
  EXPECT_NEAR(d.Num("E1"), 1, 1e-14);
  EXPECT_NEAR(d.Num("E2"), 2, 1e-14);
  // Two pairs: no error estimate.
  d.Column("A20", {"1", "2"});
  d.Column("B20", {"1", "5"});
  ASSERT_TRUE(d.ws.Execute("data.regress", {"A20..A21", "B20..B21", "G1"}).ok());
  EXPECT_EQ(d.Num("H7"), 2);
  EXPECT_EQ(d.Col("H10", "H11"), "0,0");
  d.Column("A10", {"5", "5"});
  d.Column("B10", {"1", "2"});
  EXPECT_FALSE(d.ws.Execute("data.regress", {"A10..A11", "B10..B11", "J1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Can not regress! X values are all equal");
  EXPECT_EQ(d.Cell("J1"), nullptr);
  // Nothing but blanks: no pair, nothing written, no message.
  const std::size_t messages = d.host.messages.size();
  EXPECT_TRUE(d.ws.Execute("data.regress", {"M1..M3", "N1..N3", "J1"}).ok());
  EXPECT_EQ(d.Cell("J1"), nullptr);
  EXPECT_EQ(d.host.messages.size(), messages);
}

TEST(MultipleRegression, AgreesWithLinearAndWithExactFits) {
  Desk d;
  d.Column("A1", {"1", "2", "3", "4", "5"});
  d.Column("B1", {"2.1", "3.9", "6.2", "7.8", "10.1"});
  ASSERT_TRUE(d.ws.Execute("data.multiregress", {"A1..A5", "B1..B5", "D1", "A01"}).ok());
  EXPECT_EQ(d.Col("D1", "D5"), "'Const,'x1,'Formula:,'Result:,'R^2");
  EXPECT_NEAR(d.Num("E1"), 0.05, 1e-12);
  EXPECT_NEAR(d.Num("E2"), 1.99, 1e-12);
  EXPECT_NEAR(d.Num("E3"), 2.04, 1e-12) << "the formula in @X at the first X";
  EXPECT_NEAR(d.Num("E4"), 2.04, 1e-12);
  EXPECT_NEAR(d.Num("E5"), 19.9 * 19.9 / (10 * 39.708), 1e-12);
  // y = 1 + 2 x1 + 3 x2 exactly, with the constant ticked for both: one row.
  d.Column("G1", {"1", "2", "3", "4", "2"});
  d.Column("H1", {"1", "0", "2", "5", "7"});
  d.Column("I1", {"6", "5", "13", "24", "26"});
  ASSERT_TRUE(d.ws.Execute("data.multiregress", {"G1..H5", "I1..I5", "K1", "A01,B01"}).ok());
  EXPECT_EQ(d.Col("K1", "K6"), "'Const,'x1,'x2,'Formula:,'Result:,'R^2");
  EXPECT_NEAR(d.Num("L1"), 1, 1e-12);
  EXPECT_NEAR(d.Num("L2"), 2, 1e-12);
  EXPECT_NEAR(d.Num("L3"), 3, 1e-12);
  EXPECT_EQ(d.Edit("L4").substr(0, 2), "'+") << "several variables: the formula is a label";
  EXPECT_NE(d.Edit("L4").find("*G1"), std::string::npos);
  EXPECT_NEAR(d.Num("L6"), 1, 1e-12);
  // A quadratic read exactly by the powers, with the other term names.
  d.Column("N1", {"1", "2", "3", "4"});
  d.Column("O1", {"1", "4", "9", "16"});
  ASSERT_TRUE(d.ws.Execute("data.multiregress", {"N1..N4", "O1..O4", "Q1", "A0126"}).ok());
  EXPECT_EQ(d.Col("Q1", "Q4"), "'Const,'x1,'x1^2,'\xFBx1");
  EXPECT_NEAR(d.Num("R3"), 1, 1e-8);
  EXPECT_NEAR(d.Num("R4"), 0, 1e-8);
}

TEST(MultipleRegression, TermsThatCannotBeFittedWriteNothing) {
  Desk d;
  d.Column("A1", {"0", "1", "2"});
  d.Column("B1", {"1", "2", "3"});
  EXPECT_FALSE(d.ws.Execute("data.multiregress", {"A1..A3", "B1..B3", "D1", "A07"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Can not regress! Try another function");
  // x and 2x as terms of two variables make a singular system.
  d.Column("C1", {"0", "2", "4"});
  EXPECT_FALSE(d.ws.Execute("data.multiregress", {"A1..C3", "B1..B3", "D1", "A1,C1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Can not regress! Try another function");
  EXPECT_FALSE(d.ws.Execute("data.multiregress", {"A1..A3", "B1..B3", "D1", "Z9"}).ok());
  EXPECT_EQ(d.Cell("D1"), nullptr);
  EXPECT_EQ(ParseTermOptions("a01, B1").value()[1], 3u);
  EXPECT_FALSE(ParseTermOptions("A9").has_value());
}

TEST(GoalSeek, ConvergesOnSeveralFunctions) {
  Desk d;
  d.Enter("A1", "1");
  d.Enter("B1", "+A1*A1");
  d.view.modes.clear();
  ASSERT_TRUE(d.ws.Execute("data.goal", {"A1", "B1", "2", "0.000001"}).ok());
  // The mode panel reads " WAIT! " while the search runs, READY after it.
  ASSERT_GE(d.view.modes.size(), 2u);
  EXPECT_EQ(d.view.modes.front(), " WAIT! ");
  EXPECT_EQ(d.ws.input().mode(), "READY");
  EXPECT_LT(std::fabs(d.Num("A1") * d.Num("A1") - 2), 1e-6);
  EXPECT_NEAR(d.Num("B1"), 2, 1e-6);
  // From 0 the first step takes slope 1.
  d.Enter("A2", "0");
  d.Enter("B2", "+A2*3+1");
  ASSERT_TRUE(d.ws.Execute("data.goal", {"A2", "B2", "7", "1E-9"}).ok());
  EXPECT_NEAR(d.Num("A2"), 2, 1e-9);
  d.Enter("A3", "1");
  d.Enter("B3", "@EXP(A3)");
  ASSERT_TRUE(d.ws.Execute("data.goal", {"A3", "B3", "10", "1E-9"}).ok());
  EXPECT_NEAR(d.Num("A3"), std::log(10.0), 1e-9);
}

TEST(GoalSeek, GivesUpWithTheEstimateAndErr) {
  Desk d;
  d.Enter("A1", "3");
  d.Enter("B1", "5");  // does not depend on A1: slope 0 at once
  ASSERT_TRUE(d.ws.Execute("data.goal", {"A1", "B1", "7", "0.001"}).ok());
  EXPECT_TRUE(d.Cell("A1")->HasError());
  EXPECT_NE(d.Edit("A1").find("3+@ERR"), std::string::npos) << d.Edit("A1");
  // Never reachable: |x| + 1 = 0.
  d.Enter("A2", "4");
  d.Enter("B2", "@ABS(A2)+1");
  ASSERT_TRUE(d.ws.Execute("data.goal", {"A2", "B2", "0", "0.001"}).ok());
  EXPECT_TRUE(d.Cell("A2")->HasError());
  EXPECT_NE(d.Edit("A2").find("+@ERR"), std::string::npos);
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Edit("A2"), "4");
  EXPECT_FALSE(d.ws.Execute("data.goal", {"A1", "B1", "abc", "1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Desire and tolerance must be numbers");
  // A locked input under protection is not touched; neither is a table's.
  d.Doc().settings().protect = true;
  EXPECT_FALSE(d.ws.Execute("data.goal", {"A2", "B2", "5", "0.001"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Protected Cell");
  EXPECT_EQ(d.Edit("A2"), "4");
  EXPECT_FALSE(d.ws.Execute("data.table", {"A2", "", "D1..E3"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Protected Cell");
}

TEST(WhatIfTable, OneInputFillsAColumnPerFormulaAndRestoresTheInput) {
  Desk d;
  d.Enter("A1", "5");
  d.Column("D2", {"1", "2", "3", "'x"});
  d.Enter("E1", "+A1*2");
  d.Enter("F1", "+1/(A1-2)");
  d.Enter("G1", "@IF(A1>1,\"big\",\"small\")");
  ASSERT_TRUE(d.ws.Execute("data.table", {"A1", "", "D1..G5"}).ok());
  EXPECT_EQ(d.Col("E2", "E5"), "2,4,6,_") << "a label substitute is left alone";
  EXPECT_EQ(d.Col("F2", "F3"), "-1,ERR");
  EXPECT_EQ(d.Edit("F3"), "@ERR");
  EXPECT_EQ(d.Col("G2", "G3"), "'small,'big");
  EXPECT_EQ(d.Edit("A1"), "5");
  EXPECT_EQ(d.Num("E1"), 10) << "the sheet is recalculated from the restored input";
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Col("E2", "E4"), "_,_,_");
}

TEST(WhatIfTable, TwoInputsFillTheGridAndAnEmptyInputStaysEmpty) {
  Desk d;
  d.Enter("A1", "@SQRT(81)");
  d.Enter("D1", "+A1*A2");
  d.Column("D2", {"2", "3"});
  d.Enter("E1", "10");
  d.Enter("F1", "100");
  ASSERT_TRUE(d.ws.Execute("data.table", {"A1", "A2", "D1..F3"}).ok());
  EXPECT_EQ(d.Col("E2", "E3"), "20,30");
  EXPECT_EQ(d.Col("F2", "F3"), "200,300");
  EXPECT_EQ(d.Edit("A1"), "@SQRT(81)");
  EXPECT_TRUE(d.Cell("A2") == nullptr || d.Cell("A2")->Kind() == kEmpty);
  EXPECT_EQ(d.Num("D1"), 0);
  // An input inside the results is refused before anything changes.
  EXPECT_FALSE(d.ws.Execute("data.table", {"E2", "", "D1..F3"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Input cell lies inside the table's results");
  EXPECT_EQ(d.Num("E2"), 20);
}

TEST(WhatIfTable, TheTableCommandsPointAtEachRangeInTurn) {
  Desk d;
  d.Enter("D1", "+A1*A2");
  d.Column("D2", {"2", "3"});
  d.Enter("E1", "10");
  d.ws.Invoke("data.table2.point");
  EXPECT_EQ(d.ws.input().promptCaption(), " TABLE 2: Specify FIRST Input Cell");
  d.ws.TypeText("A1");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.ws.input().promptCaption(), " Specify SECOND Cell");
  d.ws.TypeText("A2");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.ws.input().promptCaption(), " Output Range");
  d.ws.TypeText("D1..E3");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Col("E2", "E3"), "20,30");
  EXPECT_EQ(d.Doc().extras().whatIfKind, 2);
  d.ws.Invoke("data.table1.point");
  EXPECT_EQ(d.ws.input().promptCaption(), " TABLE 1: Specify Input Cell");
}

TEST(DataToolsMacros, RegressTableAndGoalRunFromMacros) {
  testing::MacroDesk d;
  RegisterDataCommands(d.ws);
  d.Put("A1", "1");
  d.Put("E1", "+A1*2");
  d.Put("D2", "7");
  d.Put("D3", "8");
  d.Put("G1", "1");
  d.Put("G2", "2");
  d.Put("H1", "3");
  d.Put("H2", "5");
  d.Put("B5", "+B4*B4");
  d.Put("B4", "1");
  d.RunText(
      "{DATATABLE A1,,D1..E3}{DATAREGRESS G1..G2,H1..H2,J1}"
      "{DATAMULREG G1..G2,H1..H2,M1,\"A01\"}{DATAGOAL B4,B5,9,0.0000001}");
  EXPECT_EQ(d.Number("E2"), 14);
  EXPECT_EQ(d.Number("E3"), 16);
  EXPECT_EQ(d.Number("K2"), 2);
  EXPECT_EQ(d.Number("N2"), 2);
  EXPECT_NEAR(d.Number("B4"), 3, 1e-7);
  EXPECT_EQ(d.Doc().extras().regressionCodes[1], 1);
}

}  // namespace
}  // namespace tabulon
