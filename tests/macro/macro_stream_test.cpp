#include <gtest/gtest.h>

#include <string>

#include "macro/macro_stream.h"
#include "macro/macro_translate.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using namespace std::string_literals;
using testing::TestSheet;
using Args = std::vector<std::string>;

TEST(MacroStream, SplitsALineIntoItems) {
  TestSheet t;
  std::string s = TranslateMacroLine(
      *t.doc, "a~{LET A1 5}{DATASORT B1..C4,,1}{WRITELN 2 \"x\"}{?}{GET A9}{FOO}");
  std::vector<MacroItem> items = DecodeMacroLine(s);
  ASSERT_EQ(items.size(), 12u);
  EXPECT_EQ(items[0].kind, MacroItemKind::Key);
  EXPECT_EQ(items[0].code, 'a');
  EXPECT_EQ(items[1].kind, MacroItemKind::Key);
  EXPECT_EQ(items[1].code, kMacroEnter);

  EXPECT_EQ(items[2].kind, MacroItemKind::Command);
  EXPECT_EQ(items[2].code, kMacroCmdLet);
  EXPECT_EQ(items[2].args, (Args{"A1", "5"}));
  EXPECT_EQ(items[2].missingArgs, 0);

  // DATASORT reads nine arguments; the next command ends them after three.
  EXPECT_EQ(items[3].kind, MacroItemKind::MenuCommand);
  EXPECT_EQ(items[3].code, kMacroMenuData);
  EXPECT_EQ(items[3].letter, 's');
  EXPECT_EQ(items[3].args, (Args{"B1..C4", "", "1"}));
  EXPECT_EQ(items[3].missingArgs, 6);

  EXPECT_EQ(items[4].kind, MacroItemKind::FileCommand);
  EXPECT_EQ(items[4].code, kMacroFileWriteLine);
  EXPECT_EQ(items[4].args, (Args{"2", "\"x\""}));
  EXPECT_EQ(items[5].code, kMacroCmdKey);
  EXPECT_EQ(items[5].letter, kMacroKeyWait);
  EXPECT_TRUE(items[5].args.empty());
  EXPECT_EQ(items[6].letter, kMacroKeyGet);
  EXPECT_EQ(items[6].args, (Args{"A9"}));
  EXPECT_EQ(items[9].code, 'O');
  EXPECT_EQ(items[10].kind, MacroItemKind::SyntaxError);
  EXPECT_EQ(items[10].code, kMacroCmdSyntaxError);
  EXPECT_EQ(items[11].kind, MacroItemKind::EndOfLine);
  EXPECT_EQ(items[11].next, s.size());
}

TEST(MacroStream, ArgumentsComeFromTheStreamNotTheBraces) {
  TestSheet t;
  std::string s = TranslateMacroLine(*t.doc, "{GOTO}B5~x{LET A1 5 extra}");
  std::vector<MacroItem> items = DecodeMacroLine(s);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0].code, kMacroCmdGoto);
  EXPECT_EQ(items[0].args, (Args{"B5"}));
  EXPECT_EQ(items[1].code, 'x');
  EXPECT_EQ(items[2].args, (Args{"A1", "5"}));
  // The extra argument is left as keys: "extra" and Enter.
  EXPECT_EQ(items[3].kind, MacroItemKind::Key);
  EXPECT_EQ(items[3].code, 'e');
  EXPECT_EQ(items[8].code, kMacroEnter);
  // Keys typed after a command written without arguments become them, up to
  // the next command.
  items = DecodeMacroLine(TranslateMacroLine(*t.doc, "{GOTO}B5{BEEP}"));
  EXPECT_EQ(items[0].args, (Args{"B5"}));
  EXPECT_EQ(items[1].code, kMacroCmdBeep);
  items = DecodeMacroLine(TranslateMacroLine(*t.doc, "{COPY A1}{QUIT}"));
  EXPECT_EQ(items[0].args, (Args{"A1"}));
  EXPECT_EQ(items[0].missingArgs, 1);
  EXPECT_EQ(items[1].code, kMacroCmdQuit);
}

TEST(MacroStream, PositionsLetTheInterpreterResume) {
  TestSheet t;
  std::string s = TranslateMacroLine(*t.doc, "{CALL SUB}{WHILE 1 LOOP}z");
  MacroItem call = ReadMacroItem(s, 0);
  EXPECT_EQ(call.kind, MacroItemKind::Command);
  EXPECT_EQ(call.args, (Args{"SUB"}));
  MacroItem loop = ReadMacroItem(s, call.next);
  EXPECT_EQ(loop.start, call.next);
  EXPECT_EQ(loop.code, kMacroCmdWhile);
  EXPECT_EQ(loop.args, (Args{"1", "LOOP"}));
  // Reading again from the WHILE's own start gives the same command.
  EXPECT_EQ(ReadMacroItem(s, loop.start).next, loop.next);
  EXPECT_EQ(ReadMacroItem(s, loop.next).code, 'z');
  EXPECT_EQ(ReadMacroItem(s, s.size()).kind, MacroItemKind::EndOfLine);
  EXPECT_EQ(ReadMacroItem(s, s.size() + 5).kind, MacroItemKind::EndOfLine);
}

TEST(MacroStream, MalformedStreamsStayInsideTheLine) {
  // A command prefix at the end of the line, or with no code after it.
  std::vector<MacroItem> items = DecodeMacroLine("x\x14"s);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].kind, MacroItemKind::SyntaxError);
  EXPECT_EQ(items[2].kind, MacroItemKind::EndOfLine);
  items = DecodeMacroLine("\x14\0\x14Q"s);
  EXPECT_EQ(items[0].kind, MacroItemKind::SyntaxError);
  EXPECT_EQ(items[1].kind, MacroItemKind::EndOfLine);
  EXPECT_EQ(items.size(), 2u);
  // Codes no command has, families without the letter, the explicit error.
  for (std::string bad : {"\x14S"s, "\x14X"s, "\x14]"s, "\x14" "bz"s, "\x14" "v\0"s, "\x14\x11"s,
                          "\x14?2"s, "\x14\x15"s})
    EXPECT_EQ(ReadMacroItem(bad, 0).kind, MacroItemKind::SyntaxError) << bad;
  // The file family ignores letters it does not have, with no arguments.
  MacroItem file = ReadMacroItem("\x14\x15Zq"s, 0);
  EXPECT_EQ(file.kind, MacroItemKind::FileCommand);
  EXPECT_TRUE(file.args.empty());
  EXPECT_EQ(file.next, 3u);
  // An argument cut by the line's end ends there; a stream without its end
  // byte ends anyway.
  MacroItem let = ReadMacroItem("\x14" "EA1\r5"s, 0);
  EXPECT_EQ(let.args, (Args{"A1", "5"}));
  EXPECT_EQ(ReadMacroItem("\x14" "E"s, 0).missingArgs, 2);
  // The argument end marker closes every remaining argument; a stray one is skipped.
  MacroItem f = ReadMacroItem("\x14\x16" "A1\xff" "9\r"s, 0);
  EXPECT_EQ(f.args, (Args{"A1", "", "", ""}));
  EXPECT_EQ(ReadMacroItem("\xff\xffq"s, 0).code, 'q');
  // Arguments are cut at 240 bytes but read to their end.
  MacroItem longArg = ReadMacroItem("\x14@" + std::string(300, 'a') + "\rz", 0);
  EXPECT_EQ(longArg.args[0].size(), kMacroMaxArgument);
  EXPECT_EQ(ReadMacroItem("\x14@" + std::string(300, 'a') + "\rz", longArg.next).code, 'z');
}

}  // namespace
}  // namespace tabulon
