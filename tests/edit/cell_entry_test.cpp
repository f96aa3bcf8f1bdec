#include "edit/cell_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "edit/cell_text.h"
#include "edit/sheet_invariants.h"
#include "formula/recalc.h"
#include "sheet/session.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::At;
using testing::TestSheet;

// A failed entry changes nothing: the cell keeps its content, its
// dependents keep values that agree with it, and an empty position gets no
// record.
TEST(CellEntryFailure, AFailedEntryLeavesTheCellAsItWas) {
  TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "4"));
  ASSERT_TRUE(t.Enter("B1", "+A1*2"));
  EXPECT_FALSE(t.Enter("A1", "+("));
  EXPECT_TRUE(t.session.errors().failed());
  EXPECT_EQ(t.Cell("A1")->Kind(), kInteger);
  EXPECT_EQ(t.Number("A1"), 4);
  EXPECT_EQ(t.Number("B1"), 8);

  // A formula cell keeps its formula and stays registered with its inputs.
  EXPECT_FALSE(t.Enter("B1", "+A1*"));
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("B1")), "+A1*2");
  ASSERT_TRUE(t.Enter("A1", "5"));
  EXPECT_EQ(t.Number("B1"), 10);

  // A label keeps its text; a formula reading it keeps its result.
  ASSERT_TRUE(t.Enter("C1", "'abc"));
  ASSERT_TRUE(t.Enter("D1", "+C1&\"!\""));
  EXPECT_FALSE(t.Enter("C1", "@NOSUCH(1)"));
  EXPECT_EQ(t.Text("C1"), "abc");
  EXPECT_EQ(t.Text("D1"), "abc!");

  EXPECT_FALSE(t.Enter("F9", "1+"));
  EXPECT_EQ(t.Cell("F9"), nullptr);
  // A self-reference compiles a placeholder for the cell being entered.
  EXPECT_TRUE(t.Enter("G9", "+G9+1"));
  EXPECT_EQ(testing::CheckSheet(*t.doc), "");
  bool modified = t.doc->settings().modified;
  t.doc->settings().modified = false;
  EXPECT_FALSE(t.Enter("A1", "(("));
  EXPECT_FALSE(t.doc->settings().modified) << "nothing changed";
  t.doc->settings().modified = modified;
  EXPECT_EQ(testing::CheckSheet(*t.doc), "");
}

// The same holds under manual recalculation, where the cell itself is
// evaluated on entry.
TEST(CellEntryFailure, ManualRecalculationKeepsTheOldFormula) {
  TestSheet t;
  t.doc->settings().manualRecalc = true;
  ASSERT_TRUE(t.Enter("A1", "3"));
  ASSERT_TRUE(t.Enter("A2", "+A1+1"));
  EXPECT_FALSE(t.Enter("A2", "+A1+"));
  EXPECT_EQ(t.Number("A2"), 4);
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A2")), "+A1+1");
}

// A NUL byte cannot be stored (the file cuts text at it), so an entry that
// holds one is refused with a message and the cell is left alone.
TEST(CellEntryFailure, NulBytesAreRefusedWithAMessage) {
  TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "'keep"));
  for (std::string text : {std::string("ab\0c", 4), std::string("\0", 1), std::string("+\"a\0\"", 5),
                           std::string("12\0", 3), std::string("'x\0", 3)}) {
    EXPECT_FALSE(t.Enter("A1", text));
    EXPECT_TRUE(t.session.errors().failed());
    EXPECT_FALSE(t.session.errors().message().empty());
    EXPECT_EQ(t.Text("A1"), "keep");
  }
  EXPECT_FALSE(t.Enter("B5", std::string("x\0", 2)));
  EXPECT_EQ(t.Cell("B5"), nullptr);
  // A NUL beyond the 240 characters that are kept is no part of the entry.
  std::string longText = std::string(240, 'z') + std::string("\0", 1);
  EXPECT_TRUE(t.Enter("B6", longText));
  EXPECT_EQ(t.Text("B6").size(), 239u);
}

// The input line's text for a number reads back as the same number, so
// F2 and Enter never change a value.
TEST(CellEntryNumbers, EditTextReadsBackExactly) {
  TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "123456789012345"));
  std::string edit = CellEditText(*t.doc, t.Cell("A1"));
  ASSERT_TRUE(t.Enter("A2", edit));
  EXPECT_EQ(t.Number("A2"), 123456789012345.0) << edit;
  // Numbers that the short forms already read back keep those forms.
  ASSERT_TRUE(t.Enter("A3", "2.5"));
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A3")), "2.5");
  ASSERT_TRUE(t.Enter("A4", "0.00001"));
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A4")), "0.00001");
  ASSERT_TRUE(t.Enter("A5", "1E20"));
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A5")), "1E+20");

  std::mt19937_64 rng(5);
  for (char decimal : {'.', ','}) {
    t.session.settings().decimalChar = decimal;
    CellRecord* cell = t.cells().GetOrCreateCell(9, 9);
    for (int i = 0; i < 5000; ++i) {
      std::uint64_t bits = rng();
      double x;
      std::memcpy(&x, &bits, sizeof x);
      if (!std::isfinite(x)) continue;
      if (i % 2 == 0) x = static_cast<double>(static_cast<std::int64_t>(bits >> 11)) / 1e7;
      t.cells().StoreNumber(*cell, x);
      std::string text = CellEditText(*t.doc, cell);
      ParsedNumber back = ParseNumber(text, decimal);
      ASSERT_EQ(back.errorPosition, 0) << text;
      ASSERT_EQ(back.value, x) << text;
    }
  }
}

}  // namespace
}  // namespace tabulon
