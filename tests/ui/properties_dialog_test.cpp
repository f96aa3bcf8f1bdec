#include "ui/properties_dialog.h"

#include <gtest/gtest.h>

#include "sheet/cell_record.h"
#include "sheet/range_names.h"
#include "sheet/session.h"
#include "edit/undo.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

CellRange A1B2() { return CellRange::Of(0, 0, 1, 1); }

TEST(PropertiesDialog, ActivationPresetsFromTheTopLeftCellAndClearsTheMask) {
  TestSheet t;
  t.Enter("B2", "5");
  CellRecord* b2 = t.Cell("B2");
  b2->colour = 0x05123456u;  // font colour 5, shade 0x123456
  b2->format = 0x80 | 0x12;
  b2->style = 0x20 | 0x03;
  b2->fontSize = 18;
  PropertiesDialog d;
  d.SetFormat(3);
  d.Activate(*t.doc, CellRange::Of(1, 1, 3, 2));
  EXPECT_EQ(d.rangeText(), "B2..C4");
  EXPECT_EQ(d.changed(), 0u);
  EXPECT_FALSE(d.okEnabled());
  EXPECT_EQ(d.fontColour(), 5);
  EXPECT_EQ(d.shade(), 0x123456u);
  EXPECT_EQ(d.format(), 0x12);
  EXPECT_TRUE(d.lockEnable());
  EXPECT_EQ(d.fontStyle(), 3u);
  EXPECT_EQ(d.fontSize(), 18);
  EXPECT_EQ(d.borderType(), BorderType::kNone);
  EXPECT_EQ(d.borderApply(), BorderApply::kClear);
  EXPECT_EQ(d.prefix(), PrefixChoice::kLeft);

  // A missing top-left cell gives the defaults; a shade-less cell reads white.
  d.Activate(*t.doc, CellRange::Cell(9, 9));
  EXPECT_EQ(d.format(), kDefaultFormat);
  EXPECT_EQ(d.shade(), 0xFFFFFFu);
  EXPECT_TRUE(d.lockEnable());
  EXPECT_EQ(d.fontColour(), 0);
}

TEST(PropertiesDialog, OnlyChangedPagesAreApplied) {
  TestSheet t;
  t.Enter("A1", "'Text");
  CellRecord* a1 = t.Cell("A1");
  a1->colour = 0x030000FFu;
  a1->borders = 0xFF;
  a1->style = 0x01;
  a1->format = 0x80 | 0x05;
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Cell(0, 0));
  // Opening and confirming without a change writes nothing.
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(a1->format, 0x85);
  EXPECT_EQ(a1->borders, 0xFF);

  ASSERT_TRUE(d.SetFormat(0x22));
  EXPECT_TRUE(d.okEnabled());
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(a1->format, 0x80 | 0x22) << "the lock bit stays";
  EXPECT_EQ(a1->colour, 0x030000FFu);
  EXPECT_EQ(a1->borders, 0xFF);
  EXPECT_EQ(a1->style, 0x01);
  EXPECT_EQ(t.Cell("A1")->TextView(), "'Text");
}

TEST(PropertiesDialog, BorderMasksOutInAllClear) {
  TestSheet t;
  PropertiesDialog d;
  d.Activate(*t.doc, A1B2());
  d.SetBorderType(BorderType::kSingle);
  d.SetBorderApply(BorderApply::kOut);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  // Empty positions were created and carry the borders.
  ASSERT_NE(t.Cell("B2"), nullptr);
  EXPECT_EQ(t.Cell("A1")->Kind(), kEmpty);
  EXPECT_EQ(t.Cell("A1")->borders, 85 & (kBorderLeft | kBorderTop));
  EXPECT_EQ(t.Cell("B1")->borders, 85 & (kBorderRight | kBorderTop));
  EXPECT_EQ(t.Cell("A2")->borders, 85 & (kBorderLeft | kBorderBottom));
  EXPECT_EQ(t.Cell("B2")->borders, 85 & (kBorderRight | kBorderBottom));

  d.SetBorderType(BorderType::kThick);
  d.SetBorderApply(BorderApply::kIn);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->borders, 170 & (kBorderRight | kBorderBottom));
  EXPECT_EQ(t.Cell("B2")->borders, 170 & (kBorderLeft | kBorderTop));

  d.SetBorderApply(BorderApply::kAll);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("B1")->borders, 170);
  d.SetBorderApply(BorderApply::kClear);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("B1")->borders, 0);

  // A one-cell range: every edge is on the outline, none inside.
  EXPECT_EQ(BorderByte(BorderType::kSingle, BorderApply::kIn, OutlineMask(CellRange::Cell(4, 4), 4, 4)), 0);
  // Corners given bottom-right first describe the same outline.
  EXPECT_EQ(OutlineMask(CellRange::Of(1, 1, 0, 0), 0, 0), kBorderLeft | kBorderTop);
}

TEST(PropertiesDialog, PrefixRewritesLabelsAndAlignsOtherCells) {
  TestSheet t;
  t.Enter("A1", "'Text");
  t.Enter("A2", "42");
  t.Cell("A2")->style = 0x81;
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Of(0, 0, 1, 0));
  d.SetPrefix(PrefixChoice::kCenter);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->TextView(), "^Text");
  EXPECT_EQ(t.Cell("A2")->style, 0x81 | (3 << 4));
  d.SetPrefix(PrefixChoice::kRight);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->TextView(), "\"Text");
  EXPECT_EQ(t.Cell("A2")->style, 0x81 | (2 << 4));
  EXPECT_DOUBLE_EQ(t.Number("A2"), 42);
}

TEST(PropertiesDialog, ShadeDefaultAndTypefaceTogether) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Cell("A1")->colour = 0x07ABCDEFu;
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Cell(0, 0));
  d.SetShade(0x0000FF00u);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->colour, 0x0700FF00u) << "the font colour stays";

  d.Activate(*t.doc, CellRange::Cell(0, 0));
  d.SetShadeDefault(true);
  ASSERT_TRUE(d.SetFontColour(9));
  d.SetFontStyle(1 | 4);
  ASSERT_TRUE(d.SetFontSize(24));
  d.SetFont(3);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  CellRecord* a1 = t.Cell("A1");
  EXPECT_EQ(a1->colour, kColourNoShade) << "no shade, and the font colour falls back to 0";
  EXPECT_EQ(a1->style & 0x0F, 5);
  EXPECT_EQ(a1->fontSize, 24);
  EXPECT_EQ(a1->font, 3);

  // A typeface change alone sets the chosen colour and leaves the shade.
  d.Activate(*t.doc, CellRange::Cell(0, 0));
  ASSERT_TRUE(d.SetFontColour(9));
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(a1->colour, kColourNoShade | 0x09000000u);
  EXPECT_FALSE(d.SetFontColour(16));
  EXPECT_FALSE(d.SetFontSize(256));
  EXPECT_FALSE(d.SetFontSize(-1));
  EXPECT_FALSE(d.SetFormat(128));
}

TEST(PropertiesDialog, LockedCellsUnderProtectionAreSkipped) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A2", "2");
  t.Cell("A1")->format = kLockBit | 2;
  t.Cell("A2")->format = 2;  // unlocked
  t.doc->settings().protect = true;
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Of(0, 0, 1, 0));
  d.SetLock(false);
  d.SetFormat(7);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->format, kLockBit | 2) << "unlocking needs protection off";
  EXPECT_EQ(t.Cell("A2")->format, 7);
  d.SetLock(true);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A2")->format, kLockBit | 7);
  t.doc->settings().protect = false;
  d.SetLock(false);
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->format, 7);
}

TEST(PropertiesDialog, BadRangeTextChangesNothingAndNamesWork) {
  TestSheet t;
  t.Enter("A1", "1");
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Cell(0, 0));
  d.SetFormat(4);
  std::size_t before = t.cells().recordCount();
  for (const char* bad : {"", "A1..ZZ9", "nosuchname", "A0", "##", "A1..B"}) {
    d.SetRangeText(bad);
    EXPECT_FALSE(d.Apply(*t.doc, nullptr)) << bad;
    EXPECT_FALSE(t.session.errors().failed());
  }
  EXPECT_EQ(t.cells().recordCount(), before);
  EXPECT_NE(t.Cell("A1")->FormatCode(), 4);

  t.doc->names().DefineName("BLOCK", CellRange::Of(2, 2, 3, 3));
  d.SetRangeText("block");
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("D4")->FormatCode(), 4);
  EXPECT_EQ(d.appliedRange(), CellRange::Of(2, 2, 3, 3));
  // One undo step restores the sheet as it was before the dialog.
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(t.Cell("D4"), nullptr);
}

}  // namespace
}  // namespace tabulon
