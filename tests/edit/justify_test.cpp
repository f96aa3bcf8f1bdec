#include "edit/justify.h"

#include <gtest/gtest.h>

#include "edit/cell_text.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

// Every character 6 pixels wide: a width field of w gives lines of at most
// (4w - 4) / 6 characters.
int Measure(std::string_view s) { return static_cast<int>(s.size()) * 6; }

std::string Label(TestSheet& t, std::string_view a) { return t.Text(a); }

TEST(Justify, ALongLabelFlowsDownTheColumn) {
  TestSheet t;
  t.Enter("A1", "'the quick brown fox jumps over the lazy dog");
  // Field 16: W = 60 pixels = 10 characters.
  ASSERT_TRUE(Justify(*t.doc, CellRange::Of(0, 0, 4, 0), 16, false, Measure));
  EXPECT_EQ(Label(t, "A1"), "the quick");
  EXPECT_EQ(Label(t, "A2"), "brown fox");
  EXPECT_EQ(Label(t, "A3"), "jumps over");
  EXPECT_EQ(Label(t, "A4"), "the lazy");
  EXPECT_EQ(Label(t, "A5"), "dog");
  for (const char* a : {"A1", "A2", "A3", "A4", "A5"})
    EXPECT_LE(Measure(Label(t, a)), 60) << a;
}

TEST(Justify, TooLittleRoomChangesNothing) {
  TestSheet t;
  t.Enter("A1", "'one two three four five six seven");
  EXPECT_FALSE(Justify(*t.doc, CellRange::Of(0, 0, 1, 0), 6, false, Measure));
  EXPECT_EQ(t.session.errors().message(), " RANGE to Small. Expand it!");
  EXPECT_EQ(Label(t, "A1"), "one two three four five six seven");
  EXPECT_EQ(t.doc->cells().FindCell(1, 0), nullptr);
}

TEST(Justify, AWordWiderThanTheLineIsBroken) {
  TestSheet t;
  t.Enter("A1", "'abcdefghijklmnop");
  ASSERT_TRUE(Justify(*t.doc, CellRange::Of(0, 0, 5, 0), 6, false, Measure));  // 20 px: 3 chars
  EXPECT_EQ(Label(t, "A1"), "abc");
  EXPECT_EQ(Label(t, "A2"), "def");
  EXPECT_EQ(Label(t, "A6"), "p");
}

TEST(Justify, NumbersAndFormulasTakePartAsTheirText) {
  TestSheet t;
  t.Enter("A1", "'total");
  t.Enter("A2", "42");
  t.Enter("A3", "+A2*2");
  ASSERT_TRUE(Justify(*t.doc, CellRange::Of(0, 0, 2, 0), 40, false, Measure));
  EXPECT_EQ(Label(t, "A1"), "total 42 +A2*2");
  EXPECT_EQ(t.doc->cells().FindCell(1, 0)->Kind(), kEmpty);
}

TEST(Justify, PaddingFillsEveryLineButTheLastAndSentenceEnds) {
  TestSheet t;
  t.Enter("A1", "'aa bb   cc dd. ee ff gg hh");
  // Field 21: W = 80 px = 13 characters.
  ASSERT_TRUE(Justify(*t.doc, CellRange::Of(0, 0, 3, 0), 21, true, Measure));
  std::string first = Label(t, "A1");
  EXPECT_EQ(first, "aa bb cc dd.") << "a line ending with a full stop is not padded";
  std::string second = Label(t, "A2");
  EXPECT_EQ(second, "ee ff gg hh");
  // Padding spreads spaces from the left while the line fits.
  EXPECT_EQ(PadLine("a b c", 48, Measure), "a   b  c");
  EXPECT_LE(Measure(PadLine("a b c", 48, Measure)), 48);
  EXPECT_EQ(PadLine("word", 48, Measure), "word") << "nothing to spread";
}

TEST(Justify, ColumnsAreReadColumnByColumn) {
  TestSheet t;
  t.Enter("A1", "'one");
  t.Enter("B1", "'three");
  t.Enter("A2", "'two");
  std::vector<std::string> lines = JustifyLines(*t.doc, CellRange::Of(0, 0, 1, 1), 100, false, Measure);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "one two three");
}

}  // namespace
}  // namespace tabulon
