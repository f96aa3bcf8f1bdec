#include "ui/width_dialog.h"

#include <gtest/gtest.h>

#include "sheet/session.h"
#include "edit/undo.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

int Width(TestSheet& t, int col) { return t.doc->metrics().columnWidths[col]; }
int Height(TestSheet& t, int row) { return t.doc->metrics().rowHeights[row]; }

TEST(WidthDialog, ActivationPresetsFromTheFirstColumnAndRow) {
  TestSheet t;
  t.doc->metrics().columnWidths[2] = 96;
  t.doc->metrics().rowHeights[4] = 30;
  WidthDialog d;
  d.Activate(*t.doc, CellRange::Of(4, 2, 6, 3), 12);
  EXPECT_EQ(d.rangeText(), "C5..D7");
  EXPECT_EQ(d.width(), 12);
  EXPECT_EQ(d.height(), 30);
  EXPECT_EQ(d.touched(), 0u);
  d.Activate(*t.doc, CellRange::Cell(0, 0), 12);
  EXPECT_EQ(d.width(), 8);
  EXPECT_EQ(d.height(), 16) << "a default row reads as the window's row height";
}

TEST(WidthDialog, WidthWithSkipAndUntouchedPages) {
  TestSheet t;
  WidthDialog d;
  d.Activate(*t.doc, CellRange::Of(0, 0, 0, 2), 12);
  // Confirming without touching anything changes nothing.
  d.SetRangeText("A1..C1");
  EXPECT_EQ(d.Apply(*t.doc, nullptr), WidthDialog::Outcome::kApplied);
  EXPECT_EQ(Width(t, 0), kDefaultColumnWidth);

  d.SetWidth(12);
  EXPECT_EQ(d.Apply(*t.doc, nullptr), WidthDialog::Outcome::kApplied);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(Width(t, c), 96);
  EXPECT_EQ(Width(t, 3), kDefaultColumnWidth);
  EXPECT_EQ(Height(t, 0), kDefaultRowHeight) << "the height page was not touched";

  // Skip 1 on B..F changes the even column numbers only: C and E.
  d.SetRangeText("B1..F1");
  d.SetWidth(2);
  d.SetSkipColumns(1);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 1), 96);
  EXPECT_EQ(Width(t, 2), 16);
  EXPECT_EQ(Width(t, 3), kDefaultColumnWidth);
  EXPECT_EQ(Width(t, 4), 16);
  EXPECT_EQ(Width(t, 5), kDefaultColumnWidth);
  // Negative skip counts count as none.
  d.SetSkipColumns(-3);
  d.SetWidth(3);
  d.Apply(*t.doc, nullptr);
  for (int c = 1; c <= 5; ++c) EXPECT_EQ(Width(t, c), 24);
}

TEST(WidthDialog, ResetFollowsTheDefaultAndGlobalMovesIt) {
  TestSheet t;
  WidthDialog d;
  d.Activate(*t.doc, CellRange::Of(0, 0, 0, 1), 12);
  d.SetWidth(20);
  d.Apply(*t.doc, nullptr);
  ASSERT_EQ(Width(t, 0), 160);
  d.SetResetWidth(true);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 0), kDefaultColumnWidth);
  // A global change on another range widens every column at the default.
  d.SetRangeText("Z1");
  d.SetResetWidth(false);
  d.SetGlobalWidth(true);
  d.SetWidth(11);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 0), 88);
  EXPECT_EQ(Width(t, 100), 88);
  EXPECT_EQ(t.doc->metrics().defaultColumnWidth, 88);

  // Heights: explicit, reset, global.
  d.Activate(*t.doc, CellRange::Of(0, 0, 3, 0), 12);
  d.SetHeight(40);
  d.SetSkipRows(1);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Height(t, 0), 40);
  EXPECT_EQ(Height(t, 1), kDefaultRowHeight);
  EXPECT_EQ(Height(t, 2), 40);
  d.SetGlobalHeight(true);
  d.SetHeight(25);
  d.SetRangeText("A1");
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Height(t, 1), 25);
  EXPECT_EQ(Height(t, 2), 40);
  EXPECT_EQ(Height(t, 0), 25);
}

TEST(WidthDialog, ASizeSetToTheDefaultIsKeptWhenTheDefaultChanges) {
  TestSheet t;
  WidthDialog d;
  // B is given the default width on purpose; A and C follow the default.
  d.Activate(*t.doc, CellRange::Cell(0, 1), 12);
  d.SetWidth(kDefaultColumnWidth / 8);
  d.Apply(*t.doc, nullptr);
  d.SetRangeText("Z1");
  d.SetGlobalWidth(true);
  d.SetWidth(11);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 0), 88);
  EXPECT_EQ(Width(t, 1), kDefaultColumnWidth);
  EXPECT_EQ(Width(t, 2), 88);
  EXPECT_EQ(Width(t, 25), 88) << "a global change gives the range the new width too";
  // Reset makes B follow again.
  d.SetRangeText("B1");
  d.SetGlobalWidth(false);
  d.SetResetWidth(true);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 1), 88);
  d.SetResetWidth(false);
  d.SetRangeText("Z1");
  d.SetGlobalWidth(true);
  d.SetWidth(5);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Width(t, 1), 40);

  // Rows: row 3 is set to the height every row has at that moment.
  d.Activate(*t.doc, CellRange::Cell(0, 0), 12);
  d.SetGlobalHeight(true);
  d.SetHeight(16);
  d.Apply(*t.doc, nullptr);
  d.SetGlobalHeight(false);
  d.SetRangeText("A3");
  d.Apply(*t.doc, nullptr);
  d.SetRangeText("A1");
  d.SetGlobalHeight(true);
  d.SetHeight(24);
  d.Apply(*t.doc, nullptr);
  EXPECT_EQ(Height(t, 1), 24);
  EXPECT_EQ(Height(t, 2), 16);
  EXPECT_EQ(Height(t, 8191), 24);
  // Undo brings back the sizes and which of them follow the default.
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Height(t, 1), 16);
  EXPECT_FALSE(t.doc->metrics().FollowsDefaultHeight(2));
  EXPECT_TRUE(t.doc->metrics().FollowsDefaultHeight(1));
}

TEST(WidthDialog, BadInputIsRefusedWholly) {
  TestSheet t;
  WidthDialog d;
  d.Activate(*t.doc, CellRange::Cell(0, 0), 12);
  d.SetWidth(300);
  d.SetHeight(20);
  EXPECT_EQ(d.Apply(*t.doc, nullptr), WidthDialog::Outcome::kBadWidth);
  EXPECT_EQ(Height(t, 0), kDefaultRowHeight) << "the valid page is not applied alone";
  d.SetWidth(10);
  d.SetHeight(0);
  EXPECT_EQ(d.Apply(*t.doc, nullptr), WidthDialog::Outcome::kBadHeight);
  EXPECT_EQ(Width(t, 0), kDefaultColumnWidth);
  d.SetHeight(20);
  d.SetRangeText("A1..IW1");
  EXPECT_EQ(d.Apply(*t.doc, nullptr), WidthDialog::Outcome::kBadRange);
  EXPECT_EQ(Width(t, 0), kDefaultColumnWidth);

  EXPECT_FALSE(EvaluateNumberField(*t.doc, "abc)").has_value());
  EXPECT_FALSE(EvaluateNumberField(*t.doc, "").has_value());
  EXPECT_FALSE(EvaluateNumberField(*t.doc, "1/0").has_value());
  EXPECT_EQ(EvaluateNumberField(*t.doc, "4*3").value_or(-1), 12);
  EXPECT_FALSE(t.session.errors().failed());
}

TEST(WidthDialog, UndoRestoresWidths) {
  TestSheet t;
  WidthDialog d;
  d.Activate(*t.doc, CellRange::Cell(0, 0), 12);
  d.SetWidth(30);
  d.Apply(*t.doc, nullptr);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Width(t, 0), kDefaultColumnWidth);
}

}  // namespace
}  // namespace tabulon
