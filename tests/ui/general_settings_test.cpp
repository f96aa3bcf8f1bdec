#include "ui/general_settings.h"

#include <gtest/gtest.h>

#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

struct Desk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  Desk() { ws.NewSheet(); }
  SheetDocument& Doc() { return ws.active()->document(); }
  GeneralSettings& G() { return ws.general(); }
};

TEST(GeneralSettings, CancelPutsTheSheetBackEscapeKeepsIt) {
  Desk d;
  d.G().Activate();
  d.G().SetShowZeros(false);
  EXPECT_TRUE(d.Doc().settings().hideZeros) << "at once";
  d.G().colourType = ColourType::kValue;
  d.G().SetBackground(300, -5, 7);
  EXPECT_EQ(d.G().ColourWord() & 0xFFFFFF, 0x0700FFu) << "clamped to 0..255";
  d.G().Cancel();
  EXPECT_FALSE(d.Doc().settings().hideZeros);
  EXPECT_EQ(d.Doc().extras().colours[2], kColourResets[2]);

  d.G().Activate();
  d.G().SetShowZeros(false);
  d.G().Escape();
  EXPECT_TRUE(d.Doc().settings().hideZeros);
}

TEST(GeneralSettings, ACommaDecimalMakesTypedCommaNumbersNumbers) {
  Desk d;
  d.G().Activate();
  EXPECT_FALSE(d.G().SetDecimal(',').ok()) << "clashes with the argument separator";
  ASSERT_TRUE(d.G().SetArgumentSeparator(';').ok());
  ASSERT_TRUE(d.G().SetDecimal(',').ok());
  EXPECT_EQ(d.session.settings().thousandsChar, '.') << "moved out of the way";
  d.G().Ok(GeneralPage::kAdvanced);
  d.ws.TypeText("1,5");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(CellNumber(d.Doc().cells().FindCell(0, 0)), 1.5);
  d.ws.HandleKey(Key::Down);
  d.ws.TypeText("@SUM(1;2)");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(CellNumber(d.Doc().cells().FindCell(1, 0)), 3);
}

TEST(GeneralSettings, ResetColoursRestoresAllSeven) {
  Desk d;
  d.G().Activate();
  for (int t = 0; t < kColourTypes; ++t) {
    d.G().colourType = static_cast<ColourType>(t);
    d.G().SetForeground(9);
    d.G().SetIgnoreBackground(true);
  }
  d.G().ResetColours();
  EXPECT_EQ(d.Doc().extras().colours, kColourResets);
}

TEST(GeneralSettings, ApplyGloballyShapesTheNextNewSheet) {
  Desk d;
  d.G().Activate();
  d.G().SetBanding(false);
  d.G().SetNegativeColour(true);
  d.G().colourType = ColourType::kBackground;
  d.G().SetBackground(1, 2, 3);
  d.G().ApplyGlobally(GeneralPage::kOption);
  d.G().Ok(GeneralPage::kOption);
  d.ws.NewSheet();
  EXPECT_FALSE(d.Doc().settings().banding);
  EXPECT_TRUE(d.Doc().settings().negativeColour);
  EXPECT_EQ(d.Doc().extras().colours[0] & 0xFFFFFF, 0x030201u);
  EXPECT_FALSE(d.Doc().settings().modified);
}

TEST(GeneralSettings, FourPagesGivePagesOf2048Rows) {
  Desk d;
  d.G().Activate();
  d.G().SetPageCount(4);
  EXPECT_EQ(d.Doc().settings().pageHeight, 2048);
  EXPECT_EQ(d.G().pageCount(), 4);
  d.G().SetPageCount(3);
  EXPECT_EQ(d.G().pageCount(), 4) << "only the offered counts";
  d.G().SetPageCount(1);
  EXPECT_FALSE(d.Doc().settings().UsesPages());
}

TEST(GeneralSettings, OkTakesTheOptionFieldsAndIgnoresNegativeOnes) {
  Desk d;
  d.G().Activate();
  d.G().rowHeight = 20;
  d.G().columnUnits = 12;
  d.G().Ok(GeneralPage::kOption);
  EXPECT_EQ(d.ws.active()->defaultRowHeight, 20);
  EXPECT_EQ(d.Doc().metrics().columnWidths[5], 96);
  d.G().Activate();
  d.G().rowHeight = -3;
  d.G().Ok(GeneralPage::kOption);
  EXPECT_EQ(d.ws.active()->defaultRowHeight, 20);
}

TEST(GeneralSettings, TheMacroCommandsTakeTheirOptionTexts) {
  Desk d;
  EXPECT_TRUE(d.ws.Execute("general.option", {"Z0N1B0P1A0K8L^"}).ok());
  const SheetSettings& s = d.Doc().settings();
  EXPECT_TRUE(s.hideZeros);
  EXPECT_TRUE(s.negativeColour);
  EXPECT_FALSE(s.banding);
  EXPECT_TRUE(s.protect);
  EXPECT_TRUE(s.manualRecalc);
  EXPECT_EQ(s.pageHeight, 1024);
  EXPECT_EQ(s.labelPrefix, '^');
  EXPECT_TRUE(d.ws.Execute("general.format", {"F4"}).ok());
  EXPECT_EQ(d.Doc().settings().defaultFormat, 4);
  EXPECT_FALSE(d.ws.Execute("general.format", {"Q9"}).ok());
  EXPECT_TRUE(d.ws.Execute("general.color", {"6", "3", "255", "2"}).ok());
  EXPECT_EQ(d.Doc().extras().colours[0], 0x430000FFu);
  EXPECT_FALSE(d.ws.Execute("general.color", {"9", "3", "255", "2"}).ok());
  EXPECT_TRUE(d.ws.Execute("general.font", {"Courier,16,BI"}).ok());
  EXPECT_EQ(d.Doc().extras().sheetFontName, "Courier");
  EXPECT_EQ(d.Doc().extras().sheetFontStyle, 3);
  EXPECT_EQ(d.ws.active()->defaultRowHeight, 16);
  EXPECT_TRUE(d.ws.Execute("general.advanced", {"A;PDm U0"}).ok());
  EXPECT_EQ(d.session.settings().argSeparator, ';');
  EXPECT_EQ(d.session.settings().currencyPrefix, "Dm");
  EXPECT_FALSE(d.session.settings().usDate);
  const Command* c = d.ws.commands().FindMacro('h', 'o');
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->id, "general.option");
}

}  // namespace
}  // namespace tabulon
