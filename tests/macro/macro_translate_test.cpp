#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/text.h"
#include "macro/macro_keywords.h"
#include "macro/macro_stream.h"
#include "macro/macro_translate.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using namespace std::string_literals;
using testing::TestSheet;

// A translated line: the body and its end-of-line byte.
std::string Line(std::string body) { return body + '\0'; }
std::string Repeat(std::string_view unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.append(unit);
  return s;
}
const std::string kSyntaxError = "\x14\x11"s;

TEST(MacroKeywords, BothRunsAreSortedAndEveryWordFindsItsOwnEntry) {
  for (int i = 2; i <= kMacroKeywordCount; ++i) {
    if (i == kMacroKeywordFirstRun + 1) continue;
    EXPECT_LT(MacroKeywordEntry(i - 1).word, MacroKeywordEntry(i).word) << i;
  }
  for (int i = 1; i <= kMacroKeywordCount; ++i) {
    const MacroKeyword& k = MacroKeywordEntry(i);
    EXPECT_LE(k.word.size(), kMaxKeywordLength) << k.word;
    EXPECT_GE(k.length, 1) << k.word;
    EXPECT_EQ(LookupMacroKeyword(k.word), i) << k.word;
    std::string lower(k.word);
    for (char& c : lower) c = LowerChar(c);
    EXPECT_EQ(LookupMacroKeyword(lower), i) << k.word;
  }
  for (std::string_view w : {"", "DOWNX", "DOW", "A", "ZZZ", "WRITELNWRITELN", "{DOWN}", " DOWN"})
    EXPECT_EQ(LookupMacroKeyword(w), 0) << w;
  // Words of the second run are found although they sort inside the first.
  EXPECT_GT(LookupMacroKeyword("BACKSPACE"), kMacroKeywordFirstRun);
  EXPECT_GT(LookupMacroKeyword("XDN"), kMacroKeywordFirstRun);
  EXPECT_LE(LookupMacroKeyword("WRITELN"), kMacroKeywordFirstRun);
}

// Every expansion must read back as the item the interpreter expects: keys
// as keys, commands with a known argument count, and the three words that
// have no handler as syntax errors.
TEST(MacroKeywords, EveryExpansionDecodesAsItsKind) {
  for (int i = 1; i <= kMacroKeywordCount; ++i) {
    const MacroKeyword& k = MacroKeywordEntry(i);
    std::string stream(k.expansion());
    MacroItem item = ReadMacroItem(stream, 0);
    if (k.bytes[0] != kMacroCommand) {
      EXPECT_EQ(k.length, 1) << k.word;
      EXPECT_EQ(item.kind, MacroItemKind::Key) << k.word;
      EXPECT_LT(item.code, 0x20) << k.word;
    } else if (k.word == "CLRSCR" || k.word == "GOTOXY" || k.word == "BREAKOFF") {
      EXPECT_EQ(item.kind, MacroItemKind::SyntaxError) << k.word;
    } else {
      EXPECT_NE(item.kind, MacroItemKind::SyntaxError) << k.word;
      EXPECT_NE(item.kind, MacroItemKind::Key) << k.word;
      EXPECT_EQ(item.start, 0u);
    }
  }
  auto at = [](std::string_view w) { return MacroKeywordEntry(LookupMacroKeyword(w)); };
  EXPECT_EQ(at("D").expansion(), at("DOWN").expansion());
  EXPECT_EQ(at("BREAKON").expansion(), at("PLAYWAVE").expansion());
  EXPECT_EQ(at("ESC").argCount, kRepeatCount);
  EXPECT_EQ(at("ESCAPE").argCount, 0);
  EXPECT_EQ(at("DATASORT").expansion(), "\x14" "ds");
  EXPECT_EQ(at("WRITELN").expansion(), "\x14\x15" "F");
}

TEST(MacroTranslate, PlainKeysAndEnter) {
  TestSheet t;
  EXPECT_EQ(TranslateMacroLine(*t.doc, "'abc~"), Line("'abc\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, ""), Line(""));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "}x)"), Line("}x)"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "\"a b"), Line("\"a b"));  // quotes outside braces are keys
}

TEST(MacroTranslate, RepeatCountsAreFormulas) {
  TestSheet t;
  t.Enter("A1", "4");
  t.Enter("A2", "'text");
  auto downs = [](int n) { return Line(Repeat("\x10", n)); };
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 3}"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{down 3}"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{D 3}"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 2+1}"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN  2+1 }"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 2.5}"), downs(3));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 2.4}"), downs(2));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN A1}"), downs(4));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN @SUM(A1,1)}"), downs(5));
  // No count, a count below 1, text, an error and nonsense all give once.
  for (const char* once : {"{DOWN}", "{DOWN 0}", "{DOWN -7}", "{DOWN 0.4}", "{DOWN A2}",
                           "{DOWN \"5\"}", "{DOWN 1/0}", "{DOWN x y}", "{DOWN 3~}"})
    EXPECT_EQ(TranslateMacroLine(*t.doc, once), downs(1)) << once;
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{BEEP 2}{RET}"), Line("\x14" "B\x14" "B\x14" "R"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{XDN 2}"), Line("\x14\x02\x14\x02"));
  // ESCAPE takes no count: its "argument" is typed after the key.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{ESC 2}"), Line("\x1b\x1b"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{ESCAPE 2}"), Line("\x1b" "2\r"));
}

TEST(MacroTranslate, CommandsTakeTheirArgumentsEachEndedByEnter) {
  TestSheet t;
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 5}"), Line("\x14" "EA1\r5\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 (1 + 2)}"), Line("\x14" "EA1\r(1 + 2)\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 (1 (2 3) 4) x}"),
            Line("\x14" "EA1\r(1 (2 3) 4)\rx\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 \"a b}c\"}"), Line("\x14" "EA1\r\"a b}c\"\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 @IF(A2=1,\"x y\",\"z\")}"),
            Line("\x14" "EA1\r@IF(A2=1,\"x y\",\"z\")\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{QUIT}"), Line("\x14Q"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{GOTO}B5~"), Line("\x14@B5\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{?}{GET A1}"), Line("\x14?0\x14?1A1\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{OPEN 1 2 \"out.txt\"}"),
            Line("\x14\x15O1\r2\r\"out.txt\"\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DATASORT A1..C9 B1 1}"),
            Line("\x14" "dsA1..C9\rB1\r1\r"));
  // The declared count is not enforced, either way.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{HOME x}"), Line("\x07x\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{COPY}"), Line("\x14" "1"));
  // Synonyms.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{BRANCH x}"), TranslateMacroLine(*t.doc, "{JUMP x}"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{GETNUMBER p A1}"),
            TranslateMacroLine(*t.doc, "{INVALUE p A1}"));
  // The closing brace may be left out at the end of the line.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{BEEP"), Line("\x14" "B"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 5"), Line("\x14" "EA1\r5\r"));
  // "~" inside braces is Enter, except inside quotes.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 x~y \"~\"}"), Line("\x14" "EA1\rx\ry\r\"~\"\r"));
}

TEST(MacroTranslate, TheArgumentSeparatorSplitsAndMarksEmptyArguments) {
  TestSheet t;
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1,5}"), Line("\x14" "EA1\r5\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 , 5}"), Line("\x14" "EA1\r5\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DATATABLE A1..B5,,C1}"),
            Line("\x14" "dtA1..B5\r\rC1\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DATATABLE A1..B5 , , C1}"),
            Line("\x14" "dtA1..B5\r\rC1\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{GOTO ,}"), Line("\x14@\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1,}"), Line("\x14" "EA1\r"));
  // Inside parentheses and quotes the separator belongs to the argument.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 @SUM(1,2)}"), Line("\x14" "EA1\r@SUM(1,2)\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 \"a,b\"}"), Line("\x14" "EA1\r\"a,b\"\r"));

  t.session.settings().argSeparator = ';';
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1;5}"), Line("\x14" "EA1\r5\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1,5}"), Line("\x14" "EA1,5\r"));
  // A separator that would clash with the syntax (a damaged setting) is ignored.
  t.session.settings().argSeparator = '"';
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 \"a\"}"), Line("\x14" "EA1\r\"a\"\r"));
}

TEST(MacroTranslate, UnknownWordsAndRangeNameCalls) {
  TestSheet t;
  t.doc->names().DefineName("SUB1", CellRange::Cell(9, 1));
  t.doc->names().DefineName("DOWN", CellRange::Cell(9, 2));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{sub1}x"), Line("\x14" "CSUB1\r" "x"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{SUB1 ignored}"), Line("\x14" "CSUB1\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN}"), Line("\x10"));  // a keyword wins over a name
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{Foo}x"), Line("Foo" + kSyntaxError + "x"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{}"), Line(kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{A1}"), Line("A1" + kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{CLRSCR}"), Line("\x14S"));
}

TEST(MacroTranslate, UnclosedQuoteSpoilsTheWholeLine) {
  TestSheet t;
  EXPECT_EQ(TranslateMacroLine(*t.doc, "abc{LET A1 \"x}"), Line(kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{BEEP}{LET A1 \"x} more {HOME}"), Line(kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{\"A}"), Line(kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 \"x\"\"y\"}"), Line("\x14" "EA1\r\"x\"\"y\"\r"));
}

TEST(MacroTranslate, TypographicCharactersAreNormalised) {
  TestSheet t;
  // Curly quotes delimit, the low comma separates, the small tilde is Enter.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1\x82\x93" "a b\x94}\x98"),
            Line("\x14" "EA1\r\"a b\"\r\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 \x93x}"), Line(kSyntaxError));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "1\xb7" "5\x88\xa6"), Line("1.5^|"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "caf\xe9"), Line("caf\xe9"));  // other high bytes are keys
}

TEST(MacroTranslate, LongOutputIsCutAtAWholeItemAndStops) {
  TestSheet t;
  std::string s = TranslateMacroLine(*t.doc, "{DOWN 500}");
  EXPECT_EQ(s, Line(Repeat("\x10", 237) + kSyntaxError));
  EXPECT_EQ(s.size(), 240u);
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 1e300}"), s);
  // A line that fits exactly is not cut.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 239}"), Line(Repeat("\x10", 239)));
  EXPECT_EQ(TranslateMacroLine(*t.doc, std::string(239, 'x')), Line(std::string(239, 'x')));
  EXPECT_EQ(TranslateMacroLine(*t.doc, std::string(240, 'x')),
            Line(std::string(237, 'x') + kSyntaxError));
  // A command that does not fit whole is left out, never cut inside.
  std::string text = std::string(200, 'x') + "{LET A1 \"" + std::string(50, 'y') + "\"}{HOME}";
  EXPECT_EQ(TranslateMacroLine(*t.doc, text), Line(std::string(200, 'x') + kSyntaxError));
  // A larger limit for macro text that does not come from a cell.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 500}", 1000), Line(Repeat("\x10", 500)));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{DOWN 500}", 0), Line(kSyntaxError));
}

TEST(MacroTranslate, BadInputNeverBreaksTheStream) {
  TestSheet t;
  t.Enter("A1", "3");
  t.doc->names().DefineName("SUB", CellRange::Cell(0, 0));
  // Bytes that cannot be typed make the line a syntax error.
  for (std::string bad : {"a\x14Qb"s, "x\0y"s, "{LET A1 \"\x0d\"}"s, "\xff"s, "\t"s})
    EXPECT_EQ(TranslateMacroLine(*t.doc, bad), Line(kSyntaxError)) << bad;
  // Unbalanced parentheses and braces.
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 (1 2}x"), Line("\x14" "EA1\r(1 2\rx"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{LET A1 ) 2}"), Line("\x14" "EA1\r)\r2\r"));
  EXPECT_EQ(TranslateMacroLine(*t.doc, "{{HOME}}"), Line("{HOME" + kSyntaxError + "}"));

  std::mt19937 random(15);
  const std::string pieces[] = {"{", "}", "(", ")", "\"", "~", " ", ",", ";", "DOWN", "LET",
                                "A1", "SUB", "99", "\x93", "\x98", "@SUM(", "{DOWN 9}", "x"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int n = static_cast<int>(random() % 120);
    for (int i = 0; i < n; ++i) {
      if (random() % 16 == 0) text.push_back(static_cast<char>(random() % 256));
      else text += pieces[random() % std::size(pieces)];
    }
    if (round % 100 == 0) text = Repeat(text + "{DOWN 500}", 1 + 100000 / (text.size() + 10));
    std::string s = TranslateMacroLine(*t.doc, text);
    ASSERT_LE(s.size(), 240u) << text;
    ASSERT_EQ(s.back(), '\0') << text;
    std::vector<MacroItem> items = DecodeMacroLine(s);
    ASSERT_EQ(items.back().kind, MacroItemKind::EndOfLine);
    ASSERT_EQ(items.back().next, s.size()) << text;
  }
}

}  // namespace
}  // namespace tabulon
