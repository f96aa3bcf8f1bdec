// The macro button bar's model: items and their fields, the definitions
// file, the layout between the arrow areas, the mouse, the glyph strip and
// the Define Button dialog.
#include <gtest/gtest.h>

#include <fstream>

#include "macro/macro_bar.h"
#include "macro/macro_support.h"

namespace tabulon {
namespace {

TEST(MacroBarItems, FieldsLabelsAndHints) {
  EXPECT_EQ(ButtonLabel("Report|Monthly report|{CALL REP}"), "Re");
  EXPECT_EQ(ButtonHint("Report|Monthly report|{CALL REP}"), "Monthly report");
  EXPECT_EQ(ButtonMacro("Or|Either|{IF A1|B1}x"), "{IF A1|B1}x") << "the macro may hold |";
  EXPECT_EQ(ButtonHintText(" "), "Unassigned Macro");
  EXPECT_EQ(ButtonHintText("X| |y"), "Unassigned Macro");
  EXPECT_EQ(ButtonMacro(" "), "");
  EXPECT_EQ(ButtonLabel("Q|hint|m"), "Q");
}

TEST(MacroBarLayout, WholeButtonsBetweenTheArrowAreas) {
  MacroBar bar;  // buttons of 24 between areas of at least 18
  MacroBar::Layout l = bar.LayoutFor(200);
  EXPECT_EQ(l.buttons, 6);          // (200 - 36) / 24
  EXPECT_EQ(l.top, 28);             // 200 - 144 = 56, half each
  EXPECT_EQ(l.bottom, 28);
  l = bar.LayoutFor(201);
  EXPECT_EQ(l.top + l.bottom, 57);
  EXPECT_EQ(l.bottom, 29) << "the odd pixel goes to the lower area";
  EXPECT_EQ(bar.LayoutFor(30).buttons, 0);

  int index = 0;
  EXPECT_EQ(bar.HitTest(10, 200, index), MacroBar::Area::kUp);
  EXPECT_EQ(bar.HitTest(28, 200, index), MacroBar::Area::kButton);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(bar.HitTest(28 + 24 * 5 + 23, 200, index), MacroBar::Area::kButton);
  EXPECT_EQ(index, 5);
  EXPECT_EQ(bar.HitTest(190, 200, index), MacroBar::Area::kDown);

  // Twelve items, six shown: scrolling stops with the last item at the bottom.
  bar.LeftDown(190, 200);
  EXPECT_EQ(bar.firstVisible(), 1);
  bar.Scroll(100, 200);
  EXPECT_EQ(bar.firstVisible(), 6);
  bar.LeftDown(5, 200);
  EXPECT_EQ(bar.firstVisible(), 5);
  EXPECT_EQ(bar.HitTest(28, 200, index), MacroBar::Area::kButton);
  EXPECT_EQ(index, 5);
}

TEST(MacroBarMouse, AClickRunsTheMacroOnlyWhenReleasedOnTheSameButton) {
  MacroBar bar;
  bar.SetItem(0, "Su|Sum it|{LET A1 1}");
  bar.SetItem(1, "Em|Nothing|");
  EXPECT_EQ(bar.MouseMove(30, 200), "Sum it");
  EXPECT_EQ(bar.itemIndex(), 0);
  EXPECT_EQ(bar.MouseMove(30 + 24 * 3, 200), "Unassigned Macro");
  EXPECT_EQ(bar.MouseMove(5, 200), "");
  EXPECT_EQ(bar.itemIndex(), -1);

  bar.LeftDown(30, 200);
  EXPECT_TRUE(bar.sunken(0));
  bar.MouseMove(60, 200);
  EXPECT_FALSE(bar.sunken(0)) << "raised while the pointer is off the button";
  bar.MouseMove(31, 200);
  EXPECT_TRUE(bar.sunken(0));
  EXPECT_EQ(bar.LeftUp(31, 200), std::optional<std::string>("{LET A1 1}"));
  EXPECT_EQ(bar.captured(), -1);

  bar.LeftDown(30, 200);
  EXPECT_EQ(bar.LeftUp(60, 200), std::nullopt) << "released on another button";
  bar.LeftDown(60, 200);
  EXPECT_EQ(bar.LeftUp(60, 200), std::optional<std::string>(""));
  EXPECT_EQ(bar.RightDown(60, 200), std::optional<int>(1));
  EXPECT_EQ(bar.RightDown(5, 200), std::nullopt);

  // The click's macro runs only with a sheet open and a macro to run.
  testing::MacroDesk d;
  EXPECT_FALSE(RunButtonMacro(d.ws, d.macros, ""));
  EXPECT_TRUE(RunButtonMacro(d.ws, d.macros, "{LET A1 1}"));
  EXPECT_EQ(d.Number("A1"), 1);
  d.host.answers = {Answer::No};  // do not save
  ASSERT_TRUE(d.ws.Close(d.W()));
  EXPECT_FALSE(RunButtonMacro(d.ws, d.macros, "{LET A1 2}"));
}

TEST(MacroBarFile, DefinitionsSurviveASaveAndBadFilesLeaveTheBar) {
  testing::ScratchDir dir("macro-bar");
  MacroBar bar;
  EXPECT_EQ(bar.items().size(), 12u);
  EXPECT_FALSE(bar.Load(dir.File("missing.MAC")));
  EXPECT_EQ(bar.items().size(), 12u);
  bar.SetItem(2, "Go|Goto start|{GOTO}A1~");
  ASSERT_TRUE(bar.Save(dir.File("TBL.MAC")));
  MacroBar again;
  ASSERT_TRUE(again.Load(dir.File("TBL.MAC")));
  EXPECT_EQ(again.items(), bar.items());

  // A file with an overlong line and more lines than the bar keeps.
  {
    std::ofstream f(dir.File("big.MAC"), std::ios::binary);
    f << std::string(100000, 'x') << "\n";
    for (int i = 0; i < 5000; ++i) f << "B|h|{BEEP}\r\n";
  }
  ASSERT_TRUE(again.Load(dir.File("big.MAC")));
  EXPECT_EQ(again.items().size(), MacroBar::kMaxItems);
  EXPECT_EQ(again.items()[0].size(), MacroBar::kMaxItemLength);
  EXPECT_EQ(again.items()[1], "B|h|{BEEP}");
}

TEST(MacroBarGlyphs, FiftySlotsCentredGlyphsAndTheDialog) {
  GlyphStrip strip;
  std::vector<std::uint32_t> red(15 * 15, 0xFFFF0000u);
  EXPECT_TRUE(strip.SetGlyph(49, 15, 15, red.data()));
  EXPECT_FALSE(strip.SetGlyph(50, 15, 15, red.data())) << "the 51st item has no slot";
  std::vector<std::uint32_t> g = strip.Glyph(49);
  // 5 pixels spare: 3 before, 2 after.
  EXPECT_EQ(g[3 * 20 + 3], 0xFFFF0000u);
  EXPECT_EQ(g[2 * 20 + 2], kButtonFace);
  EXPECT_EQ(g[17 * 20 + 17], 0xFFFF0000u);
  EXPECT_EQ(g[18 * 20 + 18], kButtonFace);
  EXPECT_TRUE(strip.changed);

  // A file's strip: only the part that fits is taken.
  std::vector<std::uint32_t> wide(40 * 30, 0xFF00FF00u);
  strip.Load(40, 30, wide.data());
  EXPECT_EQ(strip.At(19, 29), 0xFF00FF00u);
  EXPECT_EQ(strip.At(0, 30), kButtonFace);
  EXPECT_FALSE(strip.changed);

  MacroBar bar;
  DefineButtonDialog dialog;
  dialog.Open(bar, 14);  // beyond the twelve items
  EXPECT_EQ(dialog.name, "");
  dialog.name = "Re|port";
  dialog.hint = "Monthly";
  dialog.macroLines = {"{GOTO}A1~", "{LET A1 1}"};
  dialog.SetGlyphImage(15, 15, red.data());
  dialog.Ok(bar);
  EXPECT_EQ(bar.items().size(), 15u);
  EXPECT_EQ(bar.Item(14), "Report|Monthly|{GOTO}A1~{LET A1 1}");
  EXPECT_EQ(bar.glyphs().Glyph(14)[3 * 20 + 3], 0xFFFF0000u);
  dialog.Open(bar, 14);
  EXPECT_EQ(dialog.macroLines, std::vector<std::string>{"{GOTO}A1~{LET A1 1}"});
  dialog.Reset();
  EXPECT_EQ(dialog.ItemText(), "||");
  EXPECT_EQ(dialog.glyph()[3 * 20 + 3], kButtonFace);
}

}  // namespace
}  // namespace tabulon
