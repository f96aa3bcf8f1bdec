// Query extract: every criterion form, criteria rows as OR and fields as
// AND, the output's field list, and bad input.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/query.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::Column;
using testing::DataDesk;
using testing::Rng;
using testing::TestSheet;

TEST(LabelCriterion, WildcardsNegationAndContainment) {
  struct Case {
    const char* criterion;
    const char* input;
    bool match;
  };
  const Case cases[] = {
      {"'abc", "abc", true},     {"'abc", "ABC", false},   {"'abc", "abcd", false},
      {"'~abc", "abd", true},    {"'~abc", "abc", false},  {"'...ab", "xxAByy", true},
      {"'...ab", "a b", false},  {"'...", "", true},       {"'a?c", "abc", true},
      {"'a?c", "axc", true},     {"'a?c", "ac", false},    {"'a?c", "abcd", false},
      {"'ab*", "ab", true},      {"'ab*", "abcd", true},   {"'ab*", "a", false},
      {"'ab*", "xbcd", false},   {"'ab*xyz", "abq", true},  // cut after the "*"
      {"'~ab*", "abz", false},   {"'~ab*", "b", true},     {"^abc", "abc", true},
      {"'?", "", false},         {"'*", "", true},         {"'*", "anything", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LabelCriterionMatches(c.criterion, c.input), c.match)
        << c.criterion << " against " << c.input;
}

// Fields Name, Qty, City in A1..C7; criteria from E1; output from H1.
void Records(TestSheet& t) {
  const char* rows[][3] = {{"'Name", "'Qty", "'City"},  {"'apple", "5", "'Rome"},
                           {"'pear", "12", "'Oslo"},    {"'apricot", "7", "'rome"},
                           {"'plum", "12", "'Lima"},    {"'banana", "", "'Oslo"},
                           {"'abc", "30", "'Rome"}};
  const char* cols[] = {"A", "B", "C"};
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 3; ++c)
      if (*rows[r][c]) t.Enter(cols[c] + std::to_string(r + 1), rows[r][c]);
  t.Enter("H1", "'Name");
  t.Enter("I1", "'Qty");
}

QuerySpec Q(std::string_view criteria) {
  return {Rng("A1..C7"), Rng(criteria), Rng("H1..I1")};
}

std::string Names(TestSheet& t) { return Column(*t.doc, "H2", "H8"); }

TEST(Query, ANumberOrALabelCriterionExtractsTheMatchingRecordsInOrder) {
  TestSheet t;
  Records(t);
  t.Enter("E1", "'Qty");
  t.Enter("E2", "12");
  int n = 0;
  ASSERT_TRUE(ExtractRecords(*t.doc, Q("E1..E2"), &n));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(Names(t), "'pear,'plum,_,_,_,_,_");
  EXPECT_EQ(Column(*t.doc, "I2", "I3"), "12,12");

  TestSheet l;
  Records(l);
  l.Enter("E1", "'City");
  l.Enter("E2", "'...OM");  // containment ignores case
  ASSERT_TRUE(ExtractRecords(*l.doc, Q("E1..E2"), &n));
  EXPECT_EQ(Names(l), "'apple,'apricot,'abc,_,_,_,_");
}

TEST(Query, CriteriaRowsAreAlternativesAndFieldsMustAllMatch) {
  TestSheet t;
  Records(t);
  t.Enter("E1", "'City");
  t.Enter("F1", "'Qty");
  t.Enter("E2", "'Rome");
  t.Enter("F2", "30");   // Rome and 30
  t.Enter("E3", "'a*");  // any City starting with "a": none
  t.Enter("E4", "'~Oslo");  // not Oslo, any Qty
  ASSERT_TRUE(ExtractRecords(*t.doc, Q("E1..F4"), nullptr));
  // abc (row 2), then every record not in Oslo (row 4): abc twice.
  EXPECT_EQ(Names(t), "'abc,'apple,'apricot,'plum,'abc,_,_");
}

TEST(Query, ABlankFirstCriterionOrAMissingFieldExtractsNothingForThatRow) {
  TestSheet t;
  Records(t);
  t.Enter("E1", "'City");
  t.Enter("F1", "'Colour");  // not an input field
  t.Enter("E2", "'Rome");
  t.Enter("E3", "'Oslo");
  t.Enter("F3", "'red");
  t.Enter("E5", "'Lima");    // rows 4 (blank first cell) and 5
  t.Enter("F4", "'x");
  ASSERT_TRUE(ExtractRecords(*t.doc, Q("E1..F5"), nullptr));
  EXPECT_EQ(Names(t), "_,_,_,_,_,_,_") << "Colour is missing: every row fails";

  TestSheet u;
  Records(u);
  u.Enter("E1", "'City");
  u.Enter("F1", "'Qty");
  u.Enter("F2", "12");        // blank first criterion: nothing
  u.Enter("E3", "'Oslo");     // blank Qty criterion: any, even a blank Qty
  ASSERT_TRUE(ExtractRecords(*u.doc, Q("E1..F3"), nullptr));
  EXPECT_EQ(Names(u), "'pear,'banana,_,_,_,_,_");
  EXPECT_EQ(Column(*u.doc, "I2", "I3"), "12,_") << "a blank field leaves its output cell";
}

TEST(Query, AFormulaCriterionIsEvaluatedForEachRecordAndLeavesNoTrace) {
  TestSheet t;
  Records(t);
  t.Enter("K1", "10");
  t.Enter("E1", "'Name");
  t.Enter("E2", "+B2>$K$1#AND#C2<>\"Oslo\"");  // written against the first record
  std::size_t records = t.cells().recordCount();
  int maxRow = t.cells().maxRow(), maxCol = t.cells().maxCol();
  ASSERT_TRUE(ExtractRecords(*t.doc, Q("E1..E2"), nullptr));
  EXPECT_EQ(Names(t), "'plum,'abc,_,_,_,_,_");
  // The blank Qty of banana needed a record to be referred to; it is gone
  // again (the written output is what is new).
  EXPECT_EQ(t.cells().recordCount(), records + 4);
  EXPECT_EQ(t.cells().FindCell(5, 1), nullptr);
  EXPECT_EQ(t.cells().maxRow(), std::max(maxRow, 2));
  EXPECT_EQ(t.cells().maxCol(), std::max(maxCol, 8));
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Query, TheOutputNamesFieldsInAnyOrderAndCopiesValuesAsTheyAre) {
  TestSheet t;
  Records(t);
  t.Enter("B2", "+5+0.5");          // a numeric formula goes as its value
  t.Enter("C2", "+\"R\"&\"ome\"");  // a text result goes as a label
  t.Enter("E1", "'Name");
  t.Enter("E2", "'apple");
  t.Enter("H1", "'City");
  t.Enter("I1", "'Nothing");  // takes no column
  t.Enter("J1", "'Qty");
  ASSERT_TRUE(ExtractRecords(*t.doc, {Rng("A1..C7"), Rng("E1..E2"), Rng("H1..J1")}, nullptr));
  EXPECT_EQ(Column(*t.doc, "H2", "H2"), "'Rome");
  EXPECT_EQ(Column(*t.doc, "I2", "I2"), "5.5");
  EXPECT_EQ(t.cells().FindCell(1, 9), nullptr);
  EXPECT_EQ(t.cells().FindCell(1, 7)->Kind(), kLabel);
}

TEST(Query, AnOutputOverTheInputReadsTheRecordsAsTheyWere) {
  TestSheet t;
  Records(t);
  t.Enter("E1", "'City");
  t.Enter("E2", "'Oslo");
  // The output starts at the header itself: matches land on rows 2-3.
  ASSERT_TRUE(ExtractRecords(*t.doc, {Rng("A1..C7"), Rng("E1..E2"), Rng("A1..A1")}, nullptr));
  EXPECT_EQ(Column(*t.doc, "A1", "A4"), "'Name,'pear,'banana,'apricot");
}

TEST(Query, BadInputWritesNothing) {
  TestSheet t;
  Records(t);
  t.Enter("E1", "'City");
  t.Enter("E2", "'Rome");
  // Undefined ranges do nothing.
  QuerySpec q = Q("E1..E2");
  q.criteria.SetUndefined();
  EXPECT_TRUE(ExtractRecords(*t.doc, q, nullptr));
  q = Q("E1..E2");
  q.output.SetUndefined();
  EXPECT_TRUE(ExtractRecords(*t.doc, q, nullptr));
  EXPECT_EQ(Names(t), "_,_,_,_,_,_,_");
  // Matches that would run past the last row.
  t.Enter("H8191", "'Name");
  t.session.errors().Clear();
  EXPECT_FALSE(ExtractRecords(*t.doc, {Rng("A1..C7"), Rng("E1..E2"), Rng("H8191..I8191")}, nullptr));
  EXPECT_EQ(t.session.errors().message(), "Out of Range");
  EXPECT_EQ(t.cells().FindCell(8191, 7), nullptr) << "not even the first match is written";
  // A criteria formula whose code is broken matches nothing.
  t.Enter("E2", "+B2>1");
  CellRecord* f = t.Cell("E2");
  std::uint8_t op = f->text[2];
  f->text[2] = 0xFF;  // an operation that does not exist
  EXPECT_TRUE(ExtractRecords(*t.doc, Q("E1..E2"), nullptr));
  EXPECT_EQ(Names(t), "_,_,_,_,_,_,_");
  f->text[2] = op;
  // Locked output cells under protection.
  t.Enter("E2", "'Rome");
  t.doc->settings().protect = true;
  t.session.errors().Clear();
  EXPECT_FALSE(ExtractRecords(*t.doc, Q("E1..E2"), nullptr));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(Names(t), "_,_,_,_,_,_,_");
}

TEST(QueryCommand, TheRangesBecomeTheSheetsAndUndoTakesTheExtractBack) {
  DataDesk d;
  d.Enter("A1", "'N");
  for (int r = 2; r <= 4; ++r) d.Enter("A" + std::to_string(r), std::to_string(r));
  d.Enter("C1", "'N");
  d.Enter("C2", "+A2>=3");
  d.Enter("E1", "'N");
  ASSERT_TRUE(d.ws.Execute("data.query", {"A1..A4", "C1..C2", "E1"}).ok());
  EXPECT_EQ(d.Col("E2", "E4"), "3,4,_");
  EXPECT_EQ(d.Doc().extras().queryCriteria, Rng("C1..C2"));
  EXPECT_EQ(d.Doc().extras().queryOutput, Rng("E1"));
  EXPECT_EQ(CheckSheet(d.Doc()), "");
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("E2", "E4"), "_,_,_");
  EXPECT_FALSE(d.Doc().extras().queryInput.IsDefined());
  EXPECT_EQ(CheckSheet(d.Doc()), "");
}

}  // namespace
}  // namespace tabulon
