#include "ui/block_commands.h"

#include <gtest/gtest.h>

#include "sheet/cell_record.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "edit/undo.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(BlockMenuCommands, SpansOfASelectionInEitherCornerOrder) {
  Span rows = SelectedRows(CellRange::Of(7, 3, 4, 1));
  EXPECT_EQ(rows.first, 4);
  EXPECT_EQ(rows.count, 4);
  Span cols = SelectedColumns(CellRange::Of(7, 3, 4, 1));
  EXPECT_EQ(cols.first, 1);
  EXPECT_EQ(cols.count, 3);
  EXPECT_EQ(SelectedRows(CellRange{}).count, 0);
}

TEST(BlockMenuCommands, PromptTextOutsideTheSheetOrUnknownIsUndefined) {
  TestSheet t;
  EXPECT_EQ(PromptRange(*t.doc, "b2..c3", nullptr), CellRange::Of(1, 1, 2, 2));
  for (const char* bad : {"", "IW1", "A1..IW3", "nothing", "A1...", "RANGE", "A0"})
    EXPECT_FALSE(PromptRange(*t.doc, bad, nullptr).IsDefined()) << bad;
  EXPECT_FALSE(t.session.errors().failed());
  // An undefined range makes the copy refuse with its message.
  BlockResult r = CopyRange(*t.doc, PromptRange(*t.doc, "zz", nullptr), CellRange::Cell(0, 0));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(t.session.errors().message(), "Copy Error");
}

TEST(BlockMenuCommands, InsertAndDeleteRowsTakeTheSelectedRows) {
  TestSheet t;
  t.Enter("A2", "2");
  t.Enter("A5", "5");
  t.Enter("B1", "+A5");
  BlockResult r = RunSheetCommand(*t.doc, SheetCommand::kInsertRows, CellRange::Of(3, 4, 1, 4), 0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(t.Cell("A2"), nullptr);
  EXPECT_DOUBLE_EQ(t.Number("A5"), 2);
  EXPECT_DOUBLE_EQ(t.Number("A8"), 5);
  EXPECT_DOUBLE_EQ(t.Number("B1"), 5);
  r = RunSheetCommand(*t.doc, SheetCommand::kDeleteRows, CellRange::Of(1, 0, 3, 0), 0);
  ASSERT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(t.Number("A2"), 2);
  EXPECT_DOUBLE_EQ(t.Number("A5"), 5);
  // Columns.
  r = RunSheetCommand(*t.doc, SheetCommand::kInsertColumns, CellRange::Of(0, 0, 0, 1), 0);
  ASSERT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(t.Number("C5"), 5);
  EXPECT_DOUBLE_EQ(t.Number("D1"), 5);
  r = RunSheetCommand(*t.doc, SheetCommand::kDeleteColumns, CellRange::Cell(0, 0), 0);
  ASSERT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(t.Number("B5"), 5);
}

TEST(BlockMenuCommands, InsertFailuresLeaveTheMessageAndTheSheet) {
  TestSheet t;
  t.Enter("IV1", "1");
  t.Enter("A1", "7");
  BlockResult r = RunSheetCommand(*t.doc, SheetCommand::kInsertColumns, CellRange::Cell(0, 0), 0);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(t.session.errors().message(), "Cells in last Column");
  EXPECT_DOUBLE_EQ(t.Number("A1"), 7);
  t.Enter("A8192", "9");
  r = RunSheetCommand(*t.doc, SheetCommand::kInsertRows, CellRange::Cell(0, 0), 0);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(t.session.errors().message(), "CELLS in bottom row");
  r = RunSheetCommand(*t.doc, SheetCommand::kInsertAcross, CellRange::Cell(0, 0), 0);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(t.session.errors().message(), "CELLS in bottom row");
  EXPECT_DOUBLE_EQ(t.Number("A1"), 7);
  EXPECT_DOUBLE_EQ(t.Number("A8192"), 9);
  // A selection that is not a range of the sheet is refused.
  r = RunSheetCommand(*t.doc, SheetCommand::kDeleteRows, CellRange{}, 0);
  EXPECT_FALSE(r.ok);
}

TEST(BlockMenuCommands, PageBreakGoesUnderTheCursorInANewRow) {
  TestSheet t;
  t.Enter("C3", "3");
  ASSERT_TRUE(RunSheetCommand(*t.doc, SheetCommand::kInsertPageBreak, CellRange::Of(2, 1, 2, 4), 2).ok);
  EXPECT_EQ(t.Cell("C3")->TextView(), "|::");
  EXPECT_DOUBLE_EQ(t.Number("C4"), 3);
}

TEST(BlockMenuCommands, AcrossRowShiftsOnlyTheSelectedColumns) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  t.Enter("B2", "20");
  t.Enter("B3", "30");
  t.Enter("C2", "+B3");
  ASSERT_TRUE(RunSheetCommand(*t.doc, SheetCommand::kInsertAcross, CellRange::Of(1, 1, 2, 1), 0).ok);
  EXPECT_DOUBLE_EQ(t.Number("A2"), 2) << "column A stays";
  EXPECT_EQ(t.Cell("B2"), nullptr);
  EXPECT_DOUBLE_EQ(t.Number("B4"), 20);
  EXPECT_DOUBLE_EQ(t.Number("B5"), 30);
  EXPECT_DOUBLE_EQ(t.Number("C2"), 30) << "references follow the moved cells";

  // Deleting across B4 removes it and pulls B5 up; a formula on it fails.
  t.Enter("D1", "+B4");
  ASSERT_TRUE(RunSheetCommand(*t.doc, SheetCommand::kDeleteAcross, CellRange::Cell(3, 1), 0).ok);
  EXPECT_DOUBLE_EQ(t.Number("B4"), 30);
  EXPECT_EQ(t.Cell("B5"), nullptr);
  EXPECT_DOUBLE_EQ(t.Number("C2"), 30);
  EXPECT_TRUE(t.IsError("D1"));
  // One undo step brings back the deleted cell.
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_DOUBLE_EQ(t.Number("B4"), 20);
  EXPECT_DOUBLE_EQ(t.Number("B5"), 30);
}

TEST(BlockMenuCommands, ScaleFactorMustBeANumber) {
  TestSheet t;
  EXPECT_EQ(ParseScaleFactor(*t.doc, "2.5").value_or(0), 2.5);
  EXPECT_FALSE(ParseScaleFactor(*t.doc, "two").has_value());
  EXPECT_FALSE(ParseScaleFactor(*t.doc, "").has_value());
}

}  // namespace
}  // namespace tabulon
