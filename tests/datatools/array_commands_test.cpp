// The array commands on a sheet: shapes of the results, the size limit and
// singular inputs with their messages (nothing written), outputs that
// overlap their inputs, programmes laid out in cells, Undo, the dialog
// model, and the macro commands.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/array_commands.h"
#include "datatools/array_dialog.h"
#include "macro/macro_support.h"

namespace tabulon {
namespace {

using testing::DataDesk;
using testing::Pos;

struct ArrayDesk : DataDesk {
  void Grid(const char* top, int rows, int cols, std::initializer_list<const char*> v) {
    Pos p = testing::At(top);
    auto it = v.begin();
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j) EnterCell(Doc(), *it++, p.row + i, p.col + j);
  }
  std::string Row(const char* first, const char* last) {
    Pos a = testing::At(first), b = testing::At(last);
    std::string out;
    for (int c = a.col; c <= b.col; ++c) {
      if (c != a.col) out += ",";
      out += testing::Short(Doc(), a.row, c);
    }
    return out;
  }
  std::string LastMessage() { return host.messages.empty() ? "" : host.messages.back(); }
};

TEST(ArrayCommands, ResultsTakeTheShapesOfTheirOperations) {
  ArrayDesk d;
  d.Grid("A1", 3, 3, {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  d.Grid("E1", 2, 2, {"10", "20", "30", "40"});
  ASSERT_TRUE(d.ws.Execute("array.add", {"E1..F2", "A1..C3", "H1"}).ok());
  EXPECT_EQ(d.Row("H1", "J1"), "11,22,_") << "the first range's 2 x 2 shape";
  EXPECT_EQ(d.Row("H2", "J2"), "34,45,_");
  EXPECT_EQ(d.Row("H3", "I3"), "_,_");
  ASSERT_TRUE(d.ws.Execute("array.subtract", {"A1..C3", "E1..F2", "H5"}).ok());
  // The second range is read past its own size: blanks count 0.
  EXPECT_EQ(d.Row("H5", "J5"), "-9,-18,3");
  // 2 x 3 times a second range of only 2 rows: the third row is the row
  // just below it (row 3: blanks, read as 0).
  d.Grid("E3", 1, 2, {"'x", "'y"});
  ASSERT_TRUE(d.ws.Execute("array.multiply", {"A1..C2", "E1..F2", "H8"}).ok());
  EXPECT_EQ(d.Row("H8", "J8"), "70,100,_");  // 1*10+2*30+3*0, 1*20+2*40+3*0
  EXPECT_EQ(d.Row("H9", "I9"), "190,280");
  ASSERT_TRUE(d.ws.Execute("array.transpose", {"A1..C1", "L1"}).ok());
  EXPECT_EQ(d.Col("L1", "L4"), "1,2,3,_");
  d.Grid("A5", 2, 2, {"1", "2", "3", "4"});
  ASSERT_TRUE(d.ws.Execute("array.invert", {"A5..B6", "A8"}).ok());
  EXPECT_EQ(d.Row("A8", "B8"), "-2,1");
  EXPECT_EQ(d.Row("A9", "B9"), "1.5,-0.5");
  ASSERT_TRUE(d.ws.Execute("array.determinant", {"A5..B6", "D8"}).ok());
  EXPECT_EQ(d.Row("D8", "D8"), "-2");
  d.Grid("A11", 2, 4, {"2", "1", "5", "3", "1", "3", "10", "4"});
  ASSERT_TRUE(d.ws.Execute("array.solve", {"A11..D12", "F11"}).ok());
  EXPECT_EQ(d.Row("F11", "H11"), "1,1,_") << "one solution column per right-hand side";
  EXPECT_EQ(d.Row("F12", "G12"), "3,1");
}

TEST(ArrayCommands, FailuresShowTheirMessageAndWriteNothing) {
  ArrayDesk d;
  d.Grid("A1", 2, 2, {"1", "2", "2", "4"});
  d.Enter("D1", "'keep");
  EXPECT_FALSE(d.ws.Execute("array.invert", {"A1..B2", "D1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Unable to Solve, Determinant=0");
  EXPECT_EQ(d.Row("D1", "E1"), "'keep,_");
  d.Grid("A3", 1, 3, {"1", "2", "3"});
  EXPECT_FALSE(d.ws.Execute("array.solve", {"A1..C2", "D1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Unable to Solve, Determinant=0");
  ASSERT_TRUE(d.ws.Execute("array.determinant", {"A1..B2", "F1"}).ok());
  EXPECT_EQ(d.Row("F1", "F1"), "0");
  EXPECT_FALSE(d.ws.Execute("array.determinant", {"A1..A31", "F1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Array size>30x30");
  EXPECT_FALSE(d.ws.Execute("array.invert", {"A1..BI1", "F1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Array size>30x30");
  // A result that would run past the sheet's edge is refused whole.
  EXPECT_FALSE(d.ws.Execute("array.transpose", {"A1..C1", "A8191"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Out of Range");
  EXPECT_EQ(d.Doc().cells().FindCell(8190, 0), nullptr);
  // Under protection a locked (or missing) output cell refuses the whole result.
  d.Doc().settings().protect = true;
  EXPECT_FALSE(d.ws.Execute("array.transpose", {"A1..C1", "M1"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Protected Cell");
  EXPECT_EQ(d.Row("M1", "M1"), "_");
  d.Doc().settings().protect = false;
  // An undefined range only beeps.
  const int beeps = d.host.beeps;
  EXPECT_FALSE(d.ws.Execute("array.add", {"A1..B2", "NOSUCH", "H1"}).ok());
  EXPECT_GT(d.host.beeps, beeps);
  EXPECT_EQ(d.Row("F1", "F1"), "0");
}

TEST(ArrayCommands, OverlappingOutputGetsTheTrueResultAndUndoRestores) {
  ArrayDesk d;
  d.Grid("A1", 2, 2, {"1", "2", "3", "4"});
  d.Enter("C1", "+A1+B2");
  ASSERT_TRUE(d.ws.Execute("array.transpose", {"A1..B2", "A1"}).ok());
  EXPECT_EQ(d.Row("A1", "B1"), "1,3");
  EXPECT_EQ(d.Row("A2", "B2"), "2,4");
  ASSERT_TRUE(d.ws.Execute("array.invert", {"A1..B2", "A1"}).ok());
  EXPECT_EQ(d.Row("A1", "B1"), "-2,1.5");
  EXPECT_EQ(d.Row("C1", "C1"), "-2.5") << "dependents of the results are recalculated";
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Row("A1", "B1"), "1,3");
  EXPECT_EQ(d.Row("C1", "C1"), "5");
}

TEST(ArrayCommands, ProgrammesInCellsGiveTheirWordValueAndVariables) {
  ArrayDesk d;
  d.Grid("A1", 3, 4, {"1", "1", "'LE", "4", "1", "3", "'le", "6", "3", "2", "", "'MAX"});
  ASSERT_TRUE(d.ws.Execute("array.linear", {"A1..D3", "F1"}).ok());
  EXPECT_EQ(d.Col("F1", "F4"), "'MAX,'X1,'X2,_");
  EXPECT_EQ(d.Col("G1", "G3"), "12,4,0");
  // Lower-case "min" minimises: min 2x + 3y, x + y >= 4, x + 3y >= 6.
  d.Grid("A5", 3, 4, {"1", "1", "'GE", "4", "1", "3", "'ge", "6", "2", "3", "", "'min"});
  ASSERT_TRUE(d.ws.Execute("array.linear", {"A5..D7", "F5"}).ok());
  EXPECT_EQ(d.Col("F5", "F7"), "'min,'X1,'X2");
  EXPECT_EQ(d.Col("G5", "G7"), "9,3,1");
  // Unbounded, infeasible and an unknown relation: messages, nothing written.
  d.Grid("A9", 2, 4, {"1", "-1", "'LE", "1", "1", "1", "", "'MAX"});
  EXPECT_FALSE(d.ws.Execute("array.linear", {"A9..D10", "F9"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Region & Objective Function Unbounded");
  d.Grid("A12", 3, 4, {"1", "1", "'LE", "1", "1", "1", "'GE", "3", "1", "1", "", "'MAX"});
  EXPECT_FALSE(d.ws.Execute("array.linear", {"A12..D14", "F12"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Can Not Solve: No Feasible Region");
  d.Enter("C12", "'LT");
  EXPECT_FALSE(d.ws.Execute("array.linear", {"A12..D14", "F12"}).ok());
  EXPECT_EQ(d.LastMessage(), "Error:Constraint type must be LE, GE or EQ");
  EXPECT_EQ(d.Col("F9", "F14"), "_,_,_,_,_,_");
}

TEST(ArrayDialogModel, PromptsPresetAndOk) {
  ArrayDesk d;
  d.Grid("A1", 2, 2, {"1", "2", "3", "4"});
  d.Select("A1..B2");
  ArrayDialog dlg;
  dlg.Open(d.ws, static_cast<int>(ArrayOperation::kInvert));
  EXPECT_EQ(dlg.Caption(), "ARRAY: Invert");
  EXPECT_EQ(dlg.editCount(), 2);
  EXPECT_EQ(dlg.text(0), "A1..B2") << "the selection goes into the first edit";
  EXPECT_EQ(dlg.PointingPrompt(1), " Invert: Output Range");
  EXPECT_EQ(dlg.PointingStart(1), "A1..B2");
  // An empty output keeps the dialog open.
  ArrayDialog::OkResult r = dlg.Ok(d.ws);
  EXPECT_EQ(r.outcome, ArrayDialog::Outcome::kBadRange);
  EXPECT_EQ(r.badEdit, 1);
  dlg.SetText(1, "D1");
  EXPECT_EQ(dlg.Ok(d.ws).outcome, ArrayDialog::Outcome::kDone);
  EXPECT_EQ(d.Row("D1", "E1"), "-2,1");
  EXPECT_EQ(d.ws.active()->CursorCell().row, 1) << "the cell pointer is put back";
  dlg.SetPage(0);
  EXPECT_EQ(dlg.editCount(), 3);
  EXPECT_STREQ(ArrayDialog::EditCaption(0, 1), "&Second: ");
  EXPECT_EQ(dlg.PointingPrompt(1), " Add: Second Range");
}

TEST(ArrayCommands, ArrayMenuAndMacroCommands) {
  testing::MacroDesk d;
  RegisterDataCommands(d.ws);
  const Command* inv = d.ws.commands().FindMacro('m', 'i');
  ASSERT_NE(inv, nullptr);
  EXPECT_EQ(inv->menu, "&Array");
  EXPECT_EQ(inv->id, "array.invert");
  d.Put("A1", "1");
  d.Put("B1", "2");
  d.Put("A2", "3");
  d.Put("B2", "4");
  d.RunText("{MATINV A1..B2,D1}{MATMLT A1..B2,D1..E2,G1}{MATDET A1..B2,J1}");
  EXPECT_NEAR(d.Number("D2"), 1.5, 1e-15);
  EXPECT_NEAR(d.Number("G1"), 1, 1e-15);
  EXPECT_NEAR(d.Number("H1"), 0, 1e-15);
  EXPECT_NEAR(d.Number("H2"), 1, 1e-15);
  EXPECT_NEAR(d.Number("J1"), -2, 1e-15);
  d.Put("B2", "6");
  d.RunText("{MATINV A1..B2,D1}{LET K1 99}");
  EXPECT_EQ(d.LastMessage(), "Error:Unable to Solve, Determinant=0");
  EXPECT_EQ(d.Cell("K1"), nullptr) << "the error stops the macro";
}

}  // namespace
}  // namespace tabulon
