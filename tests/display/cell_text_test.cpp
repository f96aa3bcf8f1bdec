#include "edit/cell_text.h"

#include <gtest/gtest.h>

#include "edit/cell_ops.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::At;
using testing::TestSheet;

struct CellTextTest : ::testing::Test {
  TestSheet t;

  CellRecord* Put(std::string_view address, std::string_view text, int format = -1) {
    EXPECT_TRUE(t.Enter(address, text)) << text;
    CellRecord* c = t.Cell(address);
    if (c != nullptr && format >= 0) c->format = static_cast<std::uint8_t>(format);
    return c;
  }
  std::string Display(std::string_view address) { return CellDisplayText(*t.doc, t.Cell(address)); }
  std::string Edit(std::string_view address) { return CellEditText(*t.doc, t.Cell(address)); }
  std::string Attributes(std::string_view address) {
    auto p = At(address);
    return CellAttributeText(*t.doc, p.row, p.col);
  }
};

TEST_F(CellTextTest, NumberAndStringValuesByKind) {
  Put("A1", "2.5");
  Put("A2", "123");
  Put("A3", "'label");
  Put("A4", "+\"abc\"&\"d\"");
  Put("A5", "+A1*2");
  Put("A6", "+1/0");
  EXPECT_EQ(CellNumber(t.Cell("A1")), 2.5);
  EXPECT_EQ(CellNumber(t.Cell("A2")), 123);
  EXPECT_EQ(CellNumber(t.Cell("A3")), 0);
  EXPECT_EQ(CellNumber(t.Cell("A4")), 0);
  EXPECT_EQ(CellNumber(t.Cell("A5")), 5);
  EXPECT_EQ(CellNumber(t.Cell("A6")), 0);  // an error result
  EXPECT_EQ(CellNumber(t.Cell("Z99")), 0);
  EXPECT_EQ(CellStringValue(t.Cell("A3")), "label");
  EXPECT_EQ(CellStringValue(t.Cell("A4")), "abcd");
  EXPECT_EQ(CellStringValue(t.Cell("A1")), "");
  EXPECT_EQ(CellStringValue(nullptr), "");
}

TEST_F(CellTextTest, DisplayTextFormatsNumbersTwentyWide) {
  Put("A1", "3.14159", 2);
  Put("A2", "5");  // default format: the worksheet's general
  Put("A3", "^Title");
  Put("A4", "+\"abc\"");
  Put("A5", "+A1*2", 0x80 | 66);
  Put("A6", "+@ERR");
  Put("A7", "3.14159265358979");
  Put("A8", "35000", 114);
  EXPECT_EQ(Display("A1"), "3.14 ");
  EXPECT_EQ(Display("A2"), "5 ");
  EXPECT_EQ(Display("A3"), "^Title");
  EXPECT_EQ(Display("A4"), "'abc");
  EXPECT_EQ(Display("A5"), "6.28 ");
  EXPECT_EQ(Display("A6"), "");
  EXPECT_EQ(Display("A7"), "3.14159265358979 ");
  EXPECT_EQ(Display("A8"), "28-Oct-1995 ");
  EXPECT_EQ(Display("B9"), "");
  // Cells formatted 127 follow the worksheet's default format.
  t.doc->settings().defaultFormat = 2;
  EXPECT_EQ(Display("A2"), "5.00 ");
  t.doc->settings().hideZeros = true;
  Put("A9", "0");
  EXPECT_EQ(Display("A9"), "");
  t.session.settings().decimalChar = ',';
  EXPECT_EQ(Display("A1"), "3,14 ");
}

TEST_F(CellTextTest, EditTextByKind) {
  Put("A1", "1.5e7");
  Put("A2", "123");
  Put("A3", "'123");
  Put("A4", "+a1+b1");
  Put("A5", "+\"x\"&\"y\"");
  Put("A6", "0.1");
  Put("A7", "+1/0");
  EXPECT_EQ(Edit("A1"), "1.5E+07");
  EXPECT_EQ(Edit("A2"), "123");
  EXPECT_EQ(Edit("A3"), "'123");
  EXPECT_EQ(Edit("A4"), "+A1+B1");
  EXPECT_EQ(Edit("A5"), "+\"x\"&\"y\"");
  EXPECT_EQ(Edit("A6"), "0.1");
  EXPECT_EQ(Edit("A7"), "1/0");  // an error result still shows its formula
  EXPECT_EQ(Edit("B1"), "");     // a placeholder made by the reference
  EXPECT_EQ(Edit("Z1"), "");
  // The edit text enters again as the same content.
  for (const char* a : {"A1", "A2", "A3", "A4", "A5", "A6"}) {
    std::string before = Edit(a);
    Put(a, before);
    EXPECT_EQ(Edit(a), before) << a;
  }
}

TEST_F(CellTextTest, ContentsHideProtectedCells) {
  CellRecord* open = Put("A1", "42", 2);  // unlocked
  Put("A2", "7");                         // locked by default
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(CellContents(*t.doc, 0, 0).text, "42");
  t.doc->settings().protect = true;
  InputLineContents a1 = CellContents(*t.doc, 0, 0);
  EXPECT_EQ(a1.text, "42");
  EXPECT_FALSE(a1.disabled);
  InputLineContents a2 = CellContents(*t.doc, 1, 0);
  EXPECT_EQ(a2.text, "* Protected *");
  EXPECT_TRUE(a2.disabled);
  EXPECT_EQ(CellContents(*t.doc, 50, 50).text, "* Protected *");
}

TEST_F(CellTextTest, AttributeTextAndIndicator) {
  CellRecord* a1 = Put("A1", "1", 2);
  a1->style = 3;
  Put("A2", "2");
  CellRecord* a3 = Put("A3", "3", 0x80 | 114);
  Put("A4", "4", 12);  // F12: no short name
  EXPECT_EQ(Attributes("A1"), " [F2,3]");
  EXPECT_EQ(Attributes("A2"), "");
  EXPECT_EQ(Attributes("A3"), " [D1]");
  EXPECT_EQ(Attributes("A4"), "");
  EXPECT_EQ(Attributes("C9"), "");
  a3->style = 1;
  EXPECT_EQ(Attributes("A3"), " [D1,1]");
  t.doc->settings().protect = true;
  EXPECT_EQ(Attributes("A1"), " [Un F2,3]");
  EXPECT_EQ(Attributes("A2"), " [Pr ]");
  EXPECT_EQ(Attributes("A3"), " [Pr ]");
  EXPECT_EQ(Attributes("C9"), " [Pr ]");
  t.Cell("A2")->format = 127;  // unlocked, default format
  EXPECT_EQ(Attributes("A2"), " [Un ]");

  EXPECT_EQ(CellIndicatorText(*t.doc, {0, 0}, CellRange::Cell(0, 0)), "A1 [Un F2,3]");
  EXPECT_EQ(CellIndicatorText(*t.doc, {0, 0}, CellRange::Of(0, 0, 3, 2)), "A1..C4");
  t.doc->settings().protect = false;
  t.doc->settings().pageHeight = 2048;
  EXPECT_EQ(CellIndicatorText(*t.doc, {1, 2048}, CellRange::Cell(2048, 1)), "B:B1");
}

}  // namespace
}  // namespace tabulon
