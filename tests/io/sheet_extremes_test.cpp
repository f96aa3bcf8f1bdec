// The edges of the sheet at full size: a formula in every column of a row,
// in every row of a column, and a chain as deep as the sheet, saved, loaded
// and recalculated from stale values. The whole 8192 x 256 sheet is covered
// by the full-sheet benchmark; this keeps the same checks fast.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formula/recalc.h"
#include "io/worksheet_file.h"
#include "sheet/address.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

std::string Ref(int row, int col) { return AddressText(row, col, false, false, 0); }

// Row 0: a chain across all 256 columns. Column 0: a chain down all 8192 rows.
// Row 8191: every column uses the cell above it in column 0 and its left
// neighbour. Each value is known in closed form.
void Fill(SheetDocument& doc) {
  EnterCell(doc, "1+0", 0, 0);
  for (int c = 1; c < kColumnCount; ++c) EnterCell(doc, "+" + Ref(0, c - 1) + "+1", 0, c);
  for (int r = 1; r < kRowCount; ++r) EnterCell(doc, "+" + Ref(r - 1, 0) + "+1", r, 0);
  int last = kRowCount - 1;
  for (int c = 1; c < kColumnCount; ++c)
    EnterCell(doc, "+" + Ref(last, c - 1) + "+" + Ref(0, c) + "-" + Ref(0, c - 1), last, c);
}

double Expected(int row, int col) { return 1.0 + row + col; }

// Visits every formula of the filled shape with its expected value.
template <typename Fn>
void ForEachExpected(Fn&& fn) {
  for (int c = 0; c < kColumnCount; ++c) fn(0, c);
  for (int r = 1; r < kRowCount; ++r) fn(r, 0);
  for (int c = 1; c < kColumnCount; ++c) fn(kRowCount - 1, c);
}

TEST(SheetExtremes, FullRowsAndColumnsSurviveSaveLoadAndFullRecalculation) {
  std::string path =
      (std::filesystem::temp_directory_path() / "tabulon_sheet_extremes.wks").string();
  {
    TestSheet t;
    Fill(*t.doc);
    ForEachExpected([&](int r, int c) {
      const CellRecord* cell = t.cells().FindCell(r, c);
      ASSERT_TRUE(cell != nullptr && cell->IsFormula()) << Ref(r, c);
      EXPECT_EQ(cell->value.num, Expected(r, c)) << Ref(r, c);
    });
    ASSERT_TRUE(SaveWorksheet(*t.doc, path, {}, "test"));
  }
  TestSheet t;
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  std::filesystem::remove(path);
  CellStore& store = t.cells();
  EXPECT_EQ(store.maxRow(), kRowCount - 1);
  EXPECT_EQ(store.maxCol(), kColumnCount - 1);
  // Stale values everywhere: only a complete recalculation restores them all.
  int formulas = 0;
  ForEachExpected([&](int r, int c) {
    CellRecord* cell = store.FindCell(r, c);
    ASSERT_TRUE(cell != nullptr && cell->IsFormula()) << Ref(r, c);
    store.StoreFormulaNumber(*cell, -7, false);
    ++formulas;
  });
  RecalcAll(*t.doc);
  EXPECT_EQ(t.doc->recalc().stats.evaluated, static_cast<std::size_t>(formulas));
  int wrong = 0;
  ForEachExpected([&](int r, int c) {
    const CellRecord* cell = store.FindCell(r, c);
    if (cell->HasError() || cell->value.num != Expected(r, c)) ++wrong;
  });
  EXPECT_EQ(wrong, 0);
  // One edit at the head of the deepest chain reaches its end.
  EnterCell(*t.doc, "101+0", 0, 0);
  EXPECT_EQ(store.FindCell(kRowCount - 1, kColumnCount - 1)->value.num,
            100 + Expected(kRowCount - 1, kColumnCount - 1));
}

}  // namespace
}  // namespace tabulon
