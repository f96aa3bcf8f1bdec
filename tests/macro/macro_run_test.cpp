// Macros run headless through the workspace: keys typed into cells and the
// input line, loops, subroutines, branches, LET, prompts, cell commands and
// the menu commands of the command table, and every error that stops a
// macro with its message.
#include <gtest/gtest.h>

#include <string>

#include "edit/sheet_invariants.h"
#include "macro/macro_support.h"

namespace tabulon {
namespace {

using testing::MacroDesk;
using Ending = MacroInterpreter::Ending;

TEST(MacroRun, KeysAreTypedIntoCellsAsAUserTypesThem) {
  MacroDesk d;
  d.Lines("H1", {"'abc~{DOWN 3}42~{UP 3}", "{EDIT}{BS}x~", "{DOWN}+{UP}{UP}{UP}*2~"});
  d.RunAt("H1");
  EXPECT_EQ(d.Edit("A4"), "42");
  EXPECT_EQ(d.Edit("A1"), "'abx") << "{EDIT}{BS}x~ edited the label";
  // Pointing from A2: Up stops at the top row, and the formula goes into
  // A2, where typing started.
  EXPECT_EQ(d.Edit("A2"), "+A1*2");
  EXPECT_EQ(d.Cursor(), "A2");
  EXPECT_EQ(d.macros.lastEnding(), Ending::kEnd);
  EXPECT_EQ(testing::CheckSheet(d.Doc()), "");
}

TEST(MacroRun, PointingInsideATypedFormulaAndFunctionKeys) {
  MacroDesk d;
  d.Put("A1", "5");
  d.Put("A2", "7");
  d.Lines("H1", {"{GOTO}A3~@SUM({UP}{UP}.{DOWN})~", "{GOTO}B1~+A1{ABS}~"});
  d.RunAt("H1");
  EXPECT_EQ(d.Edit("A3"), "@SUM(A1..A2)");
  EXPECT_EQ(d.Number("A3"), 12);
  EXPECT_EQ(d.Edit("B1"), "+A1") << "F4 only works while pointing";
}

TEST(MacroRun, CountedLoopsRunTheirBodyAndLeaveTheLastValue) {
  MacroDesk d;
  d.Lines("H1", {"{FOR A1 1 3 1}{LET B1 B1+1}{NEXT}", "{FOR A2 5 1 1}{LET B2 B2+1}{NEXT}",
                 "{FOR A3 10 1 -3}{LET B3 B3+1}{NEXT}"});
  d.RunAt("H1");
  EXPECT_EQ(d.Number("A1"), 3);
  EXPECT_EQ(d.Number("B1"), 3);
  EXPECT_EQ(d.Number("A2"), 5) << "the body runs once when start is past stop";
  EXPECT_EQ(d.Number("B2"), 1);
  EXPECT_EQ(d.Number("A3"), 1);  // 10, 7, 4, 1
  EXPECT_EQ(d.Number("B3"), 4);
  EXPECT_EQ(d.macros.lastEnding(), Ending::kEnd);
}

TEST(MacroRun, LoopsSpanLinesAndNestToFiveLevels) {
  MacroDesk d;
  d.Lines("H1", {"{FOR A1 1 2 1}", "{FOR A2 1 2 1}", "{FOR A3 1 2 1}", "{FOR A4 1 2 1}",
                 "{FOR A5 1 2 1}", "{LET B1 B1+1}", "{NEXT}{NEXT}{NEXT}{NEXT}{NEXT}"});
  d.RunAt("H1");
  EXPECT_EQ(d.Number("B1"), 32);
  EXPECT_TRUE(d.host.messages.empty());

  MacroDesk e;
  e.Lines("H1", {"{FOR A1 1 2 1}{FOR A2 1 2 1}{FOR A3 1 2 1}{FOR A4 1 2 1}{FOR A5 1 2 1}",
                 "{FOR A6 1 2 1}{LET B1 1}"});
  e.RunAt("H1");
  EXPECT_EQ(e.LastMessage(), "Error:FOR LOOPS>5");
  EXPECT_EQ(e.Cell("B1"), nullptr);
  EXPECT_EQ(e.macros.lastEnding(), Ending::kError);

  MacroDesk f;
  f.RunText("{NEXT}{LET B1 1}");
  EXPECT_EQ(f.LastMessage(), "Error:NEXT without FOR");
  EXPECT_EQ(f.Cell("B1"), nullptr);
}

TEST(MacroRun, SubroutinesNestToTwentyLevelsAndNotOneMore) {
  // Each level calls the next; the deepest one records that it was reached.
  auto build = [](MacroDesk& d, int levels) {
    for (int i = 0; i < levels; ++i) {
      std::string col = ColumnLetters(i + 1);  // B, C, ...
      std::string next = ColumnLetters(i + 2) + "1";
      d.Lines(col + "1", {i + 1 < levels ? "{CALL " + next + "}{LET A" + std::to_string(i + 1) +
                                               " " + std::to_string(i + 1) + "}{RETURN}"
                                         : std::string("{LET Z1 99}{RETURN}")});
    }
    d.Lines("A30", {"{CALL B1}{LET Z2 1}"});
  };
  MacroDesk ok;
  build(ok, 20);
  ok.RunAt("A30");
  EXPECT_TRUE(ok.host.messages.empty()) << ok.LastMessage();
  EXPECT_EQ(ok.Number("Z1"), 99);
  EXPECT_EQ(ok.Number("A19"), 19) << "every level resumed after its call";
  EXPECT_EQ(ok.Number("Z2"), 1);

  MacroDesk deep;
  build(deep, 21);
  deep.RunAt("A30");
  EXPECT_EQ(deep.LastMessage(), "Error:Stack Overflow, Nesting>20 ");
  EXPECT_EQ(deep.Cell("Z1"), nullptr);
  EXPECT_EQ(deep.Cell("Z2"), nullptr);
  EXPECT_EQ(deep.macros.subroutineDepth(), 0);

  MacroDesk under;
  under.RunText("{RETURN}{LET A1 1}");
  EXPECT_EQ(under.LastMessage(), "Error:Stack Underflow, Level<1");
  EXPECT_EQ(under.Cell("A1"), nullptr);
}

TEST(MacroRun, RecursionStopsAtTheLimitInsteadOfHanging) {
  MacroDesk d;
  d.Lines("A1", {"{LET B1 B1+1}{SELF}"});
  d.Name("SELF", "A1");
  d.RunAt("A1");
  EXPECT_EQ(d.LastMessage(), "Error:Stack Overflow, Nesting>20 ");
  EXPECT_EQ(d.Number("B1"), 21);
}

TEST(MacroRun, RangeNamesCallSubroutinesAndRestartDropsTheCallers) {
  MacroDesk d;
  d.Lines("A1", {"{ADD}{ADD}{LET C1 1}"});
  d.Lines("B1", {"{LET B9 B9+1}", "{RETURN}"});
  d.Name("ADD", "B1..B2");
  d.Lines("A5", {"{CALL D1}{LET C5 1}"});
  d.Lines("D1", {"{CALL E1}{LET C6 1}{RETURN}"});
  d.Lines("E1", {"{RESTART}{RETURN}"});
  d.RunAt("A1");
  EXPECT_EQ(d.Number("B9"), 2);
  EXPECT_EQ(d.Number("C1"), 1);
  d.RunAt("A5");
  // RESTART kept the outermost level only: RETURN went back to A5.
  EXPECT_EQ(d.Number("C5"), 1);
  EXPECT_EQ(d.Cell("C6"), nullptr);
}

TEST(MacroRun, IfTakesOnlyValuesAboveZeroAsTrue) {
  MacroDesk d;
  d.Lines("H1", {"{IF 0}{LET A1 1}", "{IF -1}{LET A2 1}", "{IF 0.5}{LET A3 1}",
                 "{IF TRUE}{LET A4 1}", "{IF false}{LET A5 1}", "{IF A4=1}{LET A6 1}",
                 "{IF \"text\"}{LET A7 1}", "{LET A8 1}"});
  d.RunAt("H1");
  EXPECT_EQ(d.Cell("A1"), nullptr);
  EXPECT_EQ(d.Cell("A2"), nullptr);
  EXPECT_EQ(d.Number("A3"), 1);
  EXPECT_EQ(d.Number("A4"), 1);
  EXPECT_EQ(d.Cell("A5"), nullptr);
  EXPECT_EQ(d.Number("A6"), 1);
  EXPECT_EQ(d.Cell("A7"), nullptr) << "a text is no number: false";
  EXPECT_EQ(d.Number("A8"), 1) << "a false IF skips only the rest of its line";
}

TEST(MacroRun, WhileLoopsOnlyWhileItsValueIsExactlyOne) {
  MacroDesk d;
  d.Lines("H1", {"{WHILE A1<5 BODY}{LET C1 1}"});
  d.Lines("J1", {"{LET A1 A1+1}{RETURN}"});
  d.Name("BODY", "J1");
  d.RunAt("H1");
  EXPECT_EQ(d.Number("A1"), 5);
  EXPECT_EQ(d.Number("C1"), 1);
  EXPECT_EQ(d.macros.subroutineDepth(), 0);

  d.Lines("H5", {"{WHILE 2 BODY}{LET C2 1}"});
  d.RunAt("H5");
  EXPECT_EQ(d.Number("A1"), 5) << "only the value 1 loops";
  EXPECT_EQ(d.Number("C2"), 1);
}

TEST(MacroRun, JumpsBranchesAndTheBlankCellThatEnds) {
  MacroDesk d;
  d.Lines("A1", {"{LET C1 1}{BRANCH THERE}{LET C2 1}"});
  d.Lines("B5", {"{LET C3 1}", "{LET C4 1}", "", "{LET C5 1}"});
  d.Name("THERE", "B5..B9");
  d.RunAt("A1");
  EXPECT_EQ(d.Number("C1"), 1);
  EXPECT_EQ(d.Cell("C2"), nullptr);
  EXPECT_EQ(d.Number("C3"), 1);
  EXPECT_EQ(d.Number("C4"), 1);
  EXPECT_EQ(d.Cell("C5"), nullptr) << "a blank cell ends the macro";

  MacroDesk bad;
  bad.Lines("A1", {"{LET C1 1}", "{JUMP NOWHERE..}{LET C2 1}"});
  bad.RunAt("A1");
  EXPECT_EQ(bad.LastMessage(), "Error:Syntax Error:A2");
  EXPECT_EQ(bad.Cell("C2"), nullptr);
}

TEST(MacroRun, LetStoresNumbersAndTexts) {
  MacroDesk d;
  d.Put("A1", "4");
  d.RunText(
      "{LET B1 (1 + 2)*A1}{LET B2 \"Total: \"&@UPPER(\"ab\")}{LET B3 hello}{LET B4 TRUE}"
      "{LET B5 \"a~b\"}{LET B6 123}{LET B7 \"007\"}");
  EXPECT_EQ(d.Number("B1"), 12);
  EXPECT_EQ(d.Edit("B2"), "'Total: AB");
  EXPECT_EQ(d.Edit("B3"), "'hello");
  EXPECT_EQ(d.Number("B4"), 1);
  EXPECT_EQ(d.Edit("B5"), "'a~b") << "a tilde inside quotes stays a tilde";
  EXPECT_EQ(d.Number("B6"), 123);
  EXPECT_EQ(d.Edit("B7"), "'007") << "a text result stays text";
  // LET recalculates what depends on the cell.
  d.Put("C1", "+B6*2");
  d.RunText("{LET B6 1/3}");
  EXPECT_DOUBLE_EQ(d.Number("B6"), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(d.Number("C1"), 2.0 / 3.0);
}

TEST(MacroRun, ProtectedCellsStopTheMacroWithTheirMessage) {
  MacroDesk d;
  d.Doc().settings().protect = true;
  d.RunText("{LET B1 5}{LET B2 6}");
  EXPECT_EQ(d.LastMessage(), "Error:Protected Cell");
  EXPECT_EQ(d.Cell("B2"), nullptr);
  EXPECT_EQ(d.macros.lastEnding(), Ending::kError);
}

TEST(MacroRun, OnErrorBranchesOnceAndNulClearsIt) {
  MacroDesk d;
  d.Lines("A1", {"{ONERROR HANDLER}{BOGUS}{LET C1 1}"});
  d.Lines("B1", {"{LET C2 @ERR}{LET C3 2}{BOGUS}{LET C4 1}"});
  d.Name("HANDLER", "B1");
  d.RunAt("A1");
  EXPECT_EQ(d.Cell("C1"), nullptr);
  EXPECT_EQ(d.Number("C3"), 2) << "the error went on at the branch";
  EXPECT_EQ(d.Cell("C4"), nullptr) << "the branch is taken once";
  ASSERT_EQ(d.host.messages.size(), 2u);
  EXPECT_EQ(d.host.messages[0], "Error:Syntax Error:A1");
  EXPECT_EQ(d.macros.lastEnding(), Ending::kError);

  MacroDesk e;
  e.Lines("A1", {"{ONERROR B1}{ONERROR nul}{BOGUS}{LET C1 1}"});
  e.Lines("B1", {"{LET C2 1}"});
  e.RunAt("A1");
  EXPECT_EQ(e.Cell("C2"), nullptr);
  EXPECT_EQ(e.macros.lastEnding(), Ending::kError);
}

TEST(MacroRun, UnknownWordsAreTypedThenStopTheMacro) {
  MacroDesk d;
  d.Lines("H1", {"{GOTO}A1~{FROB}~{LET B1 1}"});
  d.RunAt("H1");
  EXPECT_EQ(d.LastMessage(), "Error:Syntax Error:H1");
  EXPECT_EQ(d.Cell("B1"), nullptr);
  EXPECT_EQ(d.ws.input().text(), "FROB") << "the word was typed before the error";
  // Codes that no command has stop the same way.
  MacroDesk e;
  e.RunText("{CLRSCR}{LET B1 1}");
  EXPECT_EQ(e.LastMessage(), "Error:Syntax Error:");
  EXPECT_EQ(e.Cell("B1"), nullptr);
}

TEST(MacroRun, BadLinesGiveClearErrorsAndNeverHang) {
  MacroDesk d;
  // An unclosed brace still runs the word; an unclosed quote spoils the line.
  d.RunText("{LET A1 5");
  EXPECT_EQ(d.Number("A1"), 5);
  d.RunText("{LET A2 \"abc}{LET A3 1}");
  EXPECT_EQ(d.LastMessage(), "Error:Syntax Error:");
  EXPECT_EQ(d.Cell("A2"), nullptr);
  EXPECT_EQ(d.Cell("A3"), nullptr);

  // A repeat count is bounded by the line: {DOWN 1E9} moves as far as a
  // line can hold and then stops with the syntax error of the cut line.
  MacroDesk e;
  e.RunText("{DOWN 1E9}{LET B1 1}");
  EXPECT_EQ(e.LastMessage(), "Error:Syntax Error:");
  EXPECT_GT(e.W().CursorCell().row, 200);
  EXPECT_LT(e.W().CursorCell().row, 240);
  EXPECT_EQ(e.Cell("B1"), nullptr);

  // A line of 240 bytes and a text of 100 000 characters.
  MacroDesk f;
  std::string lets;
  while (lets.size() < 100000) lets += "{LET A1 A1+1}";
  f.RunText(lets);
  EXPECT_EQ(f.LastMessage(), "Error:Syntax Error:");
  EXPECT_EQ(f.Number("A1"), 23) << "the whole commands that fit in 240 bytes ran";
}

TEST(MacroRun, AMacroThatErasesOrDeletesItsOwnCellsEnds) {
  MacroDesk d;
  d.Lines("A1", {"{BLANK A1..A3}{LET B1 1}", "{LET B2 1}", "{LET B3 1}"});
  d.RunAt("A1");
  EXPECT_EQ(d.Number("B1"), 1) << "the current line was already read";
  EXPECT_EQ(d.Cell("B2"), nullptr);
  EXPECT_EQ(d.macros.lastEnding(), Ending::kEnd);

  MacroDesk e;
  e.Lines("A1", {"{DELETEROW A1..A2}", "{LET C1 1}", "{LET C2 1}", "{LET C3 9}"});
  e.RunAt("A1");
  // Rows 1 and 2 went; the next line read is row 2, formerly row 4.
  EXPECT_EQ(e.Number("C3"), 9);
  EXPECT_EQ(e.Cell("C1"), nullptr);
  EXPECT_EQ(e.Cell("C2"), nullptr);
  EXPECT_EQ(testing::CheckSheet(e.Doc()), "");
}

TEST(MacroRun, CellCommandsActOnWholeRanges) {
  MacroDesk d;
  d.Put("A1", "1");
  d.Put("A2", "2");
  d.Put("B1", "+A1*10");
  d.RunText(
      "{COPY B1 B2}{MOVE A1..A2 D1}{INSERTROW A1}{BORDER 2 D2..D3}{COLWIDTH D1..E1 12}"
      "{ROWHEIGHT A5 30}{GOTO C7}{XDN}");
  // B1's formula followed the move; the copy in B2 followed it too.
  EXPECT_EQ(d.Edit("B2"), "+D2*10");
  EXPECT_EQ(d.Number("B3"), 20);
  EXPECT_EQ(d.Number("D2"), 1);
  EXPECT_EQ(d.Cell("D2")->borders, 0xAA);
  EXPECT_EQ(d.Cell("D3")->borders, 0xAA);
  EXPECT_EQ(d.Doc().metrics().columnWidths[3], 96);
  EXPECT_EQ(d.Doc().metrics().columnWidths[4], 96);
  EXPECT_EQ(d.Doc().metrics().rowHeights[4], 30);
  EXPECT_EQ(d.Cursor(), "C8");
  d.RunText("{BORDER 3 D2}");
  EXPECT_EQ(d.Cell("D2")->borders, 0xFF);
  d.RunText("{UNDO}");
  EXPECT_EQ(d.Cell("D2")->borders, 0xAA) << "UNDO takes back the last command";
  d.RunText("{BLANK D2..D3}{BORDER 7 D2}{ANCHOR 1}{DOWN}{DOWN}");
  EXPECT_EQ(d.Cell("D2")->Kind(), kEmpty);
  EXPECT_EQ(d.W().SelectionRange(), CellRange::Of(7, 2, 9, 2)) << "anchored at C8";
  EXPECT_EQ(testing::CheckSheet(d.Doc()), "");
}

TEST(MacroRun, RecalcUpdatesAManualSheet) {
  MacroDesk d;
  d.Doc().settings().manualRecalc = true;
  d.Put("A1", "1");
  d.Put("B1", "+A1+1");
  d.RunText("{LET A1 10}");
  EXPECT_EQ(d.Number("B1"), 2);
  d.RunText("{RECALC B1}");
  EXPECT_EQ(d.Number("B1"), 11);
}

TEST(MacroRun, MenuCommandsGoThroughTheCommandTable) {
  MacroDesk d;
  d.Put("A1", "1.5");
  d.Put("A2", "2.25");
  d.RunText(
      "{RANGECREATE DATA A1..A2}{RANGEFORMAT DATA F2}{COPYVAL DATA C1}"
      "{COPYSCALE A1 E1 1+1}{VIEWZOOM 25*2}{FILEDOC 0 \"Budget \"&@LEFT(\"1.5x\",3)}");
  EXPECT_TRUE(d.host.messages.empty()) << d.LastMessage();
  ASSERT_NE(d.Doc().names().Lookup("DATA"), nullptr);
  EXPECT_EQ(d.Cell("A2")->FormatCode(), 0x02) << "Fixed with two decimals";
  EXPECT_EQ(d.Number("C2"), 2.25);
  EXPECT_EQ(d.Number("E1"), 3);
  EXPECT_EQ(d.ws.zoom(), 50);
  EXPECT_EQ(d.Doc().extras().title, "Budget 1.5");
  d.RunText("{FILENEW}{LET A1 7}");
  EXPECT_EQ(d.ws.windows().size(), 2u);
  EXPECT_EQ(d.Number("A1"), 7) << "the new sheet is the active one";
  // A family letter the table does not have is a syntax error.
  d.RunText("{GRAPHTYPE 2 B}{LET A2 1}");
  EXPECT_EQ(d.LastMessage(), "Error:Syntax Error:");
  EXPECT_EQ(d.Cell("A2"), nullptr);
}

TEST(MacroRun, PromptsTakeTheirAnswersFromTheHost) {
  MacroDesk d;
  d.host.inputs = {std::string("Smith"), std::string("42"), std::string("oops")};
  d.host.keys = {std::string("y"), std::string("{DOWN}"), std::string("x")};
  d.RunText("{INLABEL \"Name?\" A1}{INVALUE \"Age?\" A2}{GET A3}{INKEY A4}{?}{LET A5 1}");
  EXPECT_EQ(d.host.questions[0], "Name?");
  EXPECT_EQ(d.Edit("A1"), "'Smith");
  EXPECT_EQ(d.Number("A2"), 42);
  EXPECT_EQ(d.Edit("A3"), "'y");
  EXPECT_EQ(d.Edit("A4"), "'{DOWN}");
  EXPECT_EQ(d.Number("A5"), 1);
  // A cancelled prompt breaks the macro off.
  d.host.inputs = {std::nullopt};
  d.RunText("{INLABEL Who A6}{LET A7 1}");
  EXPECT_EQ(d.Cell("A7"), nullptr);
  EXPECT_EQ(d.macros.lastEnding(), Ending::kBreak);
}

TEST(MacroRun, MacroMenusOfferTheRowAndBranchToTheChoice) {
  MacroDesk d;
  d.Put("B1", "Add");
  d.Put("C1", "Quit");
  d.Put("B2", "Adds one");
  d.Put("C2", "Stops");
  d.Put("D2", "Main menu");
  d.Lines("B3", {"{LET A1 A1+1}"});
  d.Lines("C3", {"{LET A2 1}"});
  d.host.menuChoices = {0, 1};
  d.Lines("H1", {"{MENUJUMP B1}"});
  d.RunAt("H1");
  ASSERT_EQ(d.host.menus.size(), 1u);
  EXPECT_EQ(d.host.menuTitles[0], "Main menu");
  ASSERT_EQ(d.host.menus[0].size(), 2u);
  EXPECT_EQ(d.host.menus[0][1].name, "Quit");
  EXPECT_EQ(d.host.menus[0][1].description, "Stops");
  EXPECT_EQ(d.Number("A1"), 1);
  d.RunAt("H1");
  EXPECT_EQ(d.Number("A2"), 1);
  EXPECT_EQ(d.Number("A1"), 1);
}

TEST(MacroRun, SingleStepShowsEachLineAndEscapeBreaksOff) {
  MacroDesk d;
  d.Lines("H1", {"{LET A1 1}", "{LET A2 2}", "{LET A3 3}"});
  d.host.keys = {std::string(" "), std::string(" ")};  // then: no key (Escape)
  CellAddress h1 = MacroDesk::At("H1");
  d.macros.RunMacroAt(h1.row, h1.col, true);
  ASSERT_EQ(d.host.keyCaptions.size(), 3u);
  EXPECT_EQ(d.host.keyCaptions[0], "H1 : {LET A1 1}");
  EXPECT_EQ(d.Number("A2"), 2);
  EXPECT_EQ(d.Cell("A3"), nullptr);
  EXPECT_EQ(d.macros.lastEnding(), Ending::kBreak);
  EXPECT_FALSE(d.macros.singleStep());
}

TEST(MacroRun, EscapeFromTheUserStopsARunawayMacro) {
  MacroDesk d;
  d.Lines("A1", {"{LET B1 B1+1}{BRANCH A1}"});
  int polls = 0;
  d.host.onProcessEvents = [&] {
    if (++polls == 3) d.ws.HandleUserKey(Key::Escape);
  };
  d.RunAt("A1");
  EXPECT_EQ(d.macros.lastEnding(), Ending::kBreak);
  EXPECT_GT(d.Number("B1"), 10);
  EXPECT_GT(d.host.beeps, 0);
}

TEST(MacroRun, ADeadlineStopsARunawayMacro) {
  MacroDesk d;
  d.Lines("A1", {"{DELAY 5}{BRANCH A1}"});
  d.macros.SetDeadline(d.host.TickCount() + 150);
  d.RunAt("A1");
  EXPECT_EQ(d.macros.lastEnding(), Ending::kTimeout);
  EXPECT_FALSE(d.macros.Running());
}

TEST(MacroRun, ShortcutsAutoexecAndThePrompt) {
  MacroDesk d;
  d.Lines("H1", {"{LET A1 A1+1}"});
  d.Name("\\A", "H1");
  d.ws.HandleUserKey(Key::Character, KeyMods{false, true, false}, 'a');
  EXPECT_EQ(d.Number("A1"), 1);

  // F3 offers the names; the accepted text starts the macro.
  d.ws.HandleKey(Key::F3);
  ASSERT_TRUE(d.ws.input().promptOpen());
  EXPECT_EQ(d.ws.input().promptCaption(), " MACRO: Specify Cell");
  EXPECT_EQ(d.ws.input().choices(), std::vector<std::string>{"\\A"});
  d.ws.TypeText("\\a");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Number("A1"), 2);

  testing::ScratchDir dir("macro-autoexec");
  d.Lines("B1", {"{LET C1 C1+1}"});
  d.Name("AUTOEXEC", "B1");
  ASSERT_TRUE(d.ws.SaveAs(d.W(), dir.File("auto.wks")).ok());
  ASSERT_TRUE(d.ws.Close(d.W()));
  ASSERT_TRUE(d.ws.Open(dir.File("auto.wks")).ok());
  EXPECT_EQ(d.Number("C1"), 1) << "the AUTOEXEC macro ran once";
}

TEST(MacroRun, AFileOpenedByAMacroRunsItsAutoexecInstead) {
  MacroDesk d;
  testing::ScratchDir dir("macro-chain");
  d.Lines("B1", {"{LET C1 5}"});
  d.Name("AUTOEXEC", "B1");
  std::string file = dir.File("other.wks");
  ASSERT_TRUE(d.ws.SaveAs(d.W(), file).ok());
  ASSERT_TRUE(d.ws.Close(d.W()));
  d.ws.NewSheet();
  d.Lines("A1", {"{FILEOPEN \"" + file + "\"}{LET D1 1}", "{LET D2 1}"});
  SheetDocument& first = d.Doc();
  d.RunAt("A1");
  EXPECT_EQ(d.Doc().fileName(), file);
  EXPECT_EQ(d.Number("C1"), 5);
  EXPECT_EQ(d.Cell("D1"), nullptr) << "the opening macro gave way";
  EXPECT_EQ(first.cells().FindCell(0, 3), nullptr);
}

TEST(MacroRun, MultiLineTextAndTextFileRoundTrip) {
  MacroDesk d;
  testing::ScratchDir dir("macro-files");
  std::string out = dir.File("out.txt");
  std::string missing = dir.File("none/x.txt");
  d.RunText(
      "{OPEN 1 2 \"" + out + "\"}{WRITELN 1 \"Hello, world~\"}{WRITE 1 abc}{CLOSE 1}\n"
      "{LET A1 @IORESULT}{APPEND 1 \"" + out + "\"}{WRITELN 1 def}{CLOSE 1}\n"
      "{OPEN 2 1 \"" + missing + "\"}{LET A2 @IORESULT}{WRITE 2 x}{LET A3 @IORESULT}\n"
      "{OPEN 3 7 \"" + out + "\"}{LET A4 @IORESULT}{LET A5 1}");
  EXPECT_EQ(d.Number("A1"), 0);
  EXPECT_EQ(d.Number("A2"), kIoPathNotFound);
  EXPECT_EQ(d.Number("A3"), kIoNotOpen);
  EXPECT_EQ(d.Number("A4"), kIoBadMode);
  EXPECT_EQ(d.Number("A5"), 1) << "file failures do not stop the macro";
  std::FILE* f = std::fopen(out.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[64] = {};
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, n), "Hello, world~\r\nabcdef\r\n");
}

TEST(MacroFiles, SlotsReadWriteAndReportTheirResults) {
  testing::ScratchDir dir("macro-slots");
  MacroFiles files;
  std::string name = dir.File("lines.txt");
  EXPECT_EQ(files.Open(1, 2, name), kIoOk);
  std::string line;
  EXPECT_EQ(files.ReadLine(1, line), kIoNotForInput);
  EXPECT_EQ(files.Write(1, std::string(300, 'x'), true), kIoOk);
  EXPECT_EQ(files.Write(1, "second", true), kIoOk);
  EXPECT_EQ(files.Close(1), kIoOk);
  EXPECT_EQ(files.Close(1), kIoNotOpen);
  EXPECT_EQ(files.Open(256, 1, name), kIoBadSlot);
  EXPECT_EQ(files.Open(1, 1, name), kIoOk);
  EXPECT_EQ(files.ReadLine(1, line), kIoOk);
  EXPECT_EQ(line, std::string(240, 'x')) << "a long line keeps 240 bytes";
  EXPECT_EQ(files.ReadLine(1, line), kIoOk);
  EXPECT_EQ(line, "second");
  EXPECT_EQ(files.ReadLine(1, line), kIoReadPastEnd);
  EXPECT_EQ(files.Write(1, "x", false), kIoNotForOutput);
  EXPECT_EQ(files.Open(2, 1, dir.File("missing.txt")), kIoFileNotFound);
  EXPECT_EQ(files.Open(2, 2, dir.path.string()), kIoAccessDenied) << "a directory";
  EXPECT_EQ(MacroFiles::MakeDirectory(dir.File("sub")), kIoOk);
  EXPECT_EQ(MacroFiles::MakeDirectory(dir.File("sub")), kIoAccessDenied);
  EXPECT_EQ(MacroFiles::RemoveDirectory(dir.File("sub")), kIoOk);
  EXPECT_EQ(MacroFiles::RemoveDirectory(dir.File("sub")), kIoPathNotFound);
  EXPECT_EQ(MacroFiles::ChangeDirectory(dir.File("nowhere")), kIoPathNotFound);
}

TEST(MacroRun, SoundsGoToTheHostAndAMissingFileIsNoError) {
  MacroDesk d;
  d.RunText("{TONE 440 100}{BEEP}{PLAYWAVE ding.wav 2}{PLAYWAVE \"a b.wav\" 0}{LET A1 1}");
  EXPECT_EQ(d.host.tones, 1);
  ASSERT_EQ(d.host.sounds.size(), 2u);
  EXPECT_EQ(d.host.sounds[0], (std::pair<std::string, int>{"ding.wav", 2}));
  EXPECT_EQ(d.host.sounds[1].first, "a b.wav");
  EXPECT_EQ(d.Number("A1"), 1);
  EXPECT_TRUE(d.host.messages.empty());
}

// The attribute commands of the Range family: case, prefix, colour word,
// lock and name reset, each leaving numbers and formulas alone; and the
// file pick storing the chosen name as a label.
TEST(MacroRun, RangeAttributeCommandsChangeWhatTheySay) {
  MacroDesk d;
  d.Put("A1", "'mary had a LITTLE lamb");
  d.Put("A2", "42");
  d.Put("A3", "+A2*2");
  d.RunText("{BLOCKCASE A1..A3,2}");
  EXPECT_EQ(d.Edit("A1"), "'Mary Had A Little Lamb");
  EXPECT_EQ(d.Edit("A3"), "+A2*2");
  d.RunText("{BLOCKCASE A1,0}{RANGEPREFIX A1..A3,^}");
  EXPECT_EQ(d.Edit("A1"), "^MARY HAD A LITTLE LAMB");
  EXPECT_EQ(d.Number("A3"), 84);
  d.RunText("{BLOCKCASE A1,7}");
  EXPECT_EQ(d.Edit("A1"), "^MARY HAD A LITTLE LAMB") << "an unknown mode changes nothing";

  d.RunText("{RANGECOLOR B1..B2,3,255}{RANGELOCK B1,0}");
  ASSERT_NE(d.Cell("B2"), nullptr) << "an empty cell keeps its colour in a record of its own";
  EXPECT_EQ(d.Cell("B2")->colour, (3u << 24) + 255u);
  EXPECT_FALSE(d.Cell("B1")->IsLocked());
  d.RunText("{RANGELOCK B1,1}");
  EXPECT_TRUE(d.Cell("B1")->IsLocked());

  d.Name("FIRST", "A1");
  d.Name("SECOND", "A2..A3");
  d.RunText("{RANGERESET}");
  EXPECT_EQ(d.Doc().names().count(), 0);

  d.host.fileNames = {std::string("/tmp/picked.wks"), std::nullopt};
  d.RunText("{FILEPICK \"Which?\",\"*.WKS\",C1}");
  EXPECT_EQ(d.Edit("C1"), "'/tmp/picked.wks");
  d.RunText("{FILEPICK \"Which?\",\"*.WKS\",C2}");
  EXPECT_EQ(d.Cell("C2"), nullptr) << "a cancelled pick writes nothing";
}

}  // namespace
}  // namespace tabulon
