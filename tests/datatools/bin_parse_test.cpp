// Bin under both interval rules and parse of quoted, signed and delimited
// fields, with the cases that cannot be done.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/bin.h"
#include "datatools/parse.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::Column;
using testing::DataDesk;
using testing::Rng;
using testing::TestSheet;

void Values(TestSheet& t) {
  const char* v[] = {"5", "10", "15", "20", "25"};
  for (int i = 0; i < 5; ++i) t.Enter("A" + std::to_string(i + 1), v[i]);
  t.Enter("C1", "10");
  t.Enter("C2", "20");
}

TEST(Bin, BoundariesCountUnderBothRules) {
  TestSheet t;
  Values(t);
  ASSERT_TRUE(BinValues(*t.doc, Rng("A1..A5"), Rng("C1..C2"), true));
  EXPECT_EQ(Column(*t.doc, "D1", "D3"), "1,2,2");
  EXPECT_EQ(Column(*t.doc, "E1", "E3"), "0.2,0.4,0.4");
  ASSERT_TRUE(BinValues(*t.doc, Rng("A1..A5"), Rng("C1..C2"), false));
  EXPECT_EQ(Column(*t.doc, "D1", "D3"), "2,2,1");
  EXPECT_EQ(Column(*t.doc, "E1", "E3"), "0.4,0.4,0.2");
}

TEST(Bin, BlanksGoToTheRemainderAndTextCountsAsZero) {
  TestSheet t;
  Values(t);
  t.Enter("A6", "'word");  // 0: below the first boundary
  // A7 blank: counted in n and in the remainder only.
  t.Enter("A8", "+A1*0-3");
  ASSERT_TRUE(BinValues(*t.doc, Rng("A8..A1"), Rng("C1..C2"), true));
  EXPECT_EQ(Column(*t.doc, "D1", "D3"), "3,2,3");
  EXPECT_EQ(Column(*t.doc, "E1", "E1"), "0.375");
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Bin, ATableAtTheSheetsEdgeOrUnderProtectionWritesNothing) {
  TestSheet t;
  Values(t);
  EXPECT_TRUE(BinValues(*t.doc, CellRange{}, Rng("C1..C2"), true));
  t.session.errors().Clear();
  EXPECT_FALSE(BinValues(*t.doc, Rng("A1..A5"), Rng("IU1..IU2"), true));
  EXPECT_EQ(t.session.errors().message(), "Out of Range");
  EXPECT_FALSE(BinValues(*t.doc, Rng("A1..A5"), Rng("C8191..C8192"), true));
  EXPECT_EQ(t.cells().FindCell(8190, 3), nullptr);
  t.doc->settings().protect = true;
  t.session.errors().Clear();
  EXPECT_FALSE(BinValues(*t.doc, Rng("A1..A5"), Rng("C1..C2"), true));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(t.cells().FindCell(0, 3), nullptr);
}

std::string Tokens(std::string_view text, char separator = ',') {
  std::string out;
  for (const ParseToken& t : SplitTokens(text, separator))
    out += (t.quoted ? "\"" : "[") + t.text + (t.quoted ? "\"" : "]");
  return out;
}

TEST(ParseTokens, DelimitersBreakCharactersAndQuotes) {
  EXPECT_EQ(Tokens("12 apples \"red fruit\" 3-4"), "[12][apples]\"red fruit\"[3][-4]");
  EXPECT_EQ(Tokens("1.5E-3 2e+4"), "[1.5E-3][2e+4]");
  EXPECT_EQ(Tokens("a;b,c  d"), "[a][b][c][d]");
  EXPECT_EQ(Tokens("a;b,c", ';'), "[a][b,c]") << "a ';' separator leaves commas alone";
  EXPECT_EQ(Tokens("f(x)+@g"), "[f][(x)][+][@g]");
  EXPECT_EQ(Tokens("-5 +"), "[-5][+]");
  EXPECT_EQ(Tokens("\"\" \"a;b-c\"d"), "\"\"\"a;b-cd\"");
  EXPECT_EQ(Tokens("\"open ended"), "\"open ended\"");
  EXPECT_EQ(Tokens("   "), "");
}

TEST(Parse, TokensAreEnteredFromTheCellRightwards) {
  TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "'12 apples \"red fruit\" 3-4"));
  t.Enter("A2", "+\"7;x\"");  // a text result is parsed too
  t.Enter("A3", "99");        // not text: skipped
  t.Enter("A5", "'1.5E-3 \"\"");
  ASSERT_TRUE(ParseLabels(*t.doc, Rng("A1..B5")));
  std::string row1;
  for (int c = 0; c < 5; ++c) row1 += testing::Short(*t.doc, 0, c) + "|";
  EXPECT_EQ(row1, "12|'apples|'red fruit|3|-4|");
  EXPECT_EQ(testing::Short(*t.doc, 1, 0) + testing::Short(*t.doc, 1, 1), "7'x");
  EXPECT_EQ(testing::Short(*t.doc, 2, 0), "99");
  EXPECT_EQ(testing::Short(*t.doc, 4, 0) + "|" + testing::Short(*t.doc, 4, 1), "0.0015|'");
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Parse, ATokenThatDoesNotEnterAsTypedBecomesALabel) {
  TestSheet t;
  t.Enter("A1", "'+* -Leeds");
  ASSERT_TRUE(ParseLabels(*t.doc, Rng("A1")));
  EXPECT_EQ(testing::Short(*t.doc, 0, 0), "'+*");
  EXPECT_EQ(testing::Short(*t.doc, 0, 1), "'-Leeds");
  EXPECT_FALSE(t.session.errors().failed());
}

TEST(Parse, LabelsOfTheFullLengthSplitAndStayWithinTheLimit) {
  TestSheet t;
  std::string quoted = "'\"" + std::string(237, 'q') + "\"";  // 240 bytes with the prefix
  ASSERT_EQ(quoted.size(), 240u);
  t.Enter("A1", quoted);
  std::string plain = "'" + std::string(239, 'p');
  t.Enter("A2", plain);
  std::string words = "'";
  while (words.size() < 239) words += "x ";
  t.Enter("A3", words.substr(0, 240));
  ASSERT_TRUE(ParseLabels(*t.doc, Rng("A1..A3")));
  EXPECT_EQ(testing::Short(*t.doc, 0, 0), "'" + std::string(237, 'q'));
  EXPECT_EQ(testing::Short(*t.doc, 1, 0), plain);
  EXPECT_EQ(testing::Short(*t.doc, 2, 118), "'x");
  EXPECT_EQ(testing::Short(*t.doc, 2, 119), "_");
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Parse, TokensPastColumnIVOrLockedCellsStopTheWholeParse) {
  TestSheet t;
  t.Enter("A1", "'a b");
  t.Enter("IU2", "'c d e");  // three tokens from IU: past IV
  t.session.errors().Clear();
  EXPECT_FALSE(ParseLabels(*t.doc, Rng("IU1..IU2")));
  EXPECT_EQ(t.session.errors().message(), "Out of Range");
  EXPECT_EQ(testing::Short(*t.doc, 1, 254), "'c d e");
  t.doc->settings().protect = true;
  t.session.errors().Clear();
  EXPECT_FALSE(ParseLabels(*t.doc, Rng("A1")));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(testing::Short(*t.doc, 0, 0), "'a b");
}

TEST(BinParseCommands, TheRuleIsTheSessionsAndUndoTakesBothBack) {
  DataDesk d;
  const char* v[] = {"5", "10", "15", "20", "25"};
  for (int i = 0; i < 5; ++i) d.Enter("A" + std::to_string(i + 1), v[i]);
  d.Enter("C1", "10");
  d.Enter("C2", "20");
  d.session.settings().binLowerClosed = false;
  ASSERT_TRUE(d.ws.Execute("data.bin", {"A1..A5", "C1..C2"}).ok());
  EXPECT_EQ(d.Col("D1", "D3"), "2,2,1");
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("D1", "D3"), "_,_,_");

  d.Enter("F1", "'1 2");
  ASSERT_TRUE(d.ws.Execute("data.parse", {"F1"}).ok());
  EXPECT_EQ(d.Col("G1", "G1"), "2");
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("F1", "G1"), "'1 2");
  EXPECT_EQ(CheckSheet(d.Doc()), "");

  // Bin by pointing: two prompts, then the command.
  d.ws.Invoke("data.bin.point");
  EXPECT_EQ(d.ws.input().promptCaption(), " BIN: Enter Analysis Range");
  d.ws.TypeText("A1..A5");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.ws.input().promptCaption(), " Enter Bin Range");
  d.ws.TypeText("C1..C2");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Col("D1", "D3"), "2,2,1");
}

}  // namespace
}  // namespace tabulon
