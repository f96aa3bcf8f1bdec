#include "ui/properties_dialog.h"

#include <gtest/gtest.h>

#include <set>

#include "display/format.h"

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

// Every format byte can be chosen: each shows under a group and choice
// that write a byte formatting every value the same way, and different
// choices never write the same byte.
TEST(FormatPicker, EveryFormatIsAGroupAndAChoice) {
  const double values[] = {0, 1234.5678, -0.375, 35000.75, 1e-7, 3, -2.6, 1e20};
  FormatSettings settings;
  for (int code = 0; code < 128; ++code) {
    FormatPick pick = FormatPickOf(static_cast<std::uint8_t>(code));
    std::uint8_t chosen = FormatCodeOf(pick);
    if (code == kFormatUseDefault || code == kFormatText || code == kFormatLabelOnly) {
      EXPECT_EQ(chosen, code);  // same display as General, different meaning
      continue;
    }
    for (double x : values)
      ASSERT_EQ(FormatValue(12, chosen, x, settings), FormatValue(12, static_cast<std::uint8_t>(code), x, settings))
          << code << " " << x;
    // The lock bit does not matter.
    EXPECT_EQ(FormatPickOf(static_cast<std::uint8_t>(code | kLockBit)), pick);
  }
  std::set<int> codes;
  int picks = 0;
  for (int g = 0; g < kFormatGroupCount; ++g) {
    auto group = static_cast<FormatGroup>(g);
    int choices = std::max(1, FormatGroupInfoOf(group).choices);
    for (int c = 0; c < choices; ++c, ++picks) {
      std::uint8_t code = FormatCodeOf({group, c});
      codes.insert(code);
      EXPECT_EQ(FormatPickOf(code), (FormatPick{group, FormatGroupInfoOf(group).choices ? c : 0}));
    }
  }
  EXPECT_EQ(static_cast<int>(codes.size()), picks);
  EXPECT_EQ(picks, 16 + 16 + 8 + 8 + 8 + 8 + 16 + 1 + 1 + 5 + 4 + 4);
  EXPECT_EQ(FormatChoiceCaption(FormatGroup::kFraction, 3), "1/8");
  EXPECT_EQ(FormatChoiceCaption(FormatGroup::kDate, 3), "D4  MM/DD/YYYY");
  EXPECT_EQ(FormatChoiceCaption(FormatGroup::kFixed, 16), "");
}

TEST(FormatPicker, GroupsAndChoicesSetTheFormatPage) {
  TestSheet t;
  t.Enter("A1", "0.125");
  PropertiesDialog d;
  d.Activate(*t.doc, CellRange::Of(0, 0, 1, 0));
  EXPECT_EQ(d.formatPick().group, FormatGroup::kDefault);
  EXPECT_FALSE(d.SetFormatChoice(0)) << "the default has no choices";
  EXPECT_EQ(d.changed(), 0u);

  ASSERT_TRUE(d.SetFormatGroup(FormatGroup::kFixed));
  EXPECT_EQ(d.format(), 2) << "a new group starts at its usual choice";
  ASSERT_TRUE(d.SetFormatChoice(12));
  ASSERT_TRUE(d.SetFormatGroup(FormatGroup::kComma));
  EXPECT_EQ(d.format(), 64 + 7) << "decimals carry over as far as the group has them";
  ASSERT_TRUE(d.SetFormatChoice(1));
  ASSERT_TRUE(d.SetFormatGroup(FormatGroup::kPercent));
  EXPECT_EQ(d.format(), 48 + 1);
  EXPECT_EQ(d.FormatSample(*t.doc), "12.5%") << "the top-left value in the chosen format";
  ASSERT_TRUE(d.SetFormatGroup(FormatGroup::kFraction));
  EXPECT_EQ(d.format(), 40 + 3);
  EXPECT_FALSE(d.SetFormatChoice(8));
  EXPECT_EQ(d.format(), 40 + 3);
  ASSERT_TRUE(d.SetFormatGroup(FormatGroup::kTime));
  ASSERT_TRUE(d.SetFormatChoice(2));
  EXPECT_EQ(d.format(), 123);
  EXPECT_FALSE(d.SetFormatGroup(static_cast<FormatGroup>(kFormatGroupCount)));
  ASSERT_TRUE(d.Apply(*t.doc, nullptr));
  EXPECT_EQ(t.Cell("A1")->FormatCode(), 123);
  EXPECT_EQ(t.Cell("A2")->FormatCode(), 123);

  // Without a number at the top left the sample is a number of the kind
  // the group shows.
  d.Activate(*t.doc, CellRange::Cell(5, 5));
  d.SetFormatGroup(FormatGroup::kDate);
  EXPECT_EQ(d.FormatSample(*t.doc), "28-Oct-1995");
  d.SetFormatGroup(FormatGroup::kComma);
  EXPECT_EQ(d.FormatSample(*t.doc), "1,234.57");
  d.SetFormatGroup(FormatGroup::kDefault);
  t.doc->settings().defaultFormat = 0;
  EXPECT_EQ(d.FormatSample(*t.doc), "1235") << "the default is the sheet's";
}

TEST(FormatPicker, QuickFormatsComeFromTheConfiguredList) {
  std::vector<QuickFormat> q =
      QuickFormats({"F2,Fixed", "D0,YY:MM:DD", "Q9,Unknown", "R,Reset", "T3", ",Empty"});
  ASSERT_EQ(q.size(), 4u);
  EXPECT_EQ(q[0].caption, "Fixed (F2)");
  EXPECT_EQ(q[0].code, 2);
  EXPECT_EQ(q[1].code, kFormatD1);
  EXPECT_EQ(q[2].code, kFormatUseDefault);
  EXPECT_EQ(q[3].caption, "T3");
  EXPECT_EQ(q[3].code, 124);
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
