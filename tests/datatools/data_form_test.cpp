// The data form: its fields, navigation, edits and appended records.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/data_form.h"
#include "display/format.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::Column;
using testing::Rng;
using testing::TestSheet;

// Fields Name, Price (currency format), Total (a formula), rows 2-4.
void Table(TestSheet& t) {
  t.Enter("A1", "'Name");
  t.Enter("B1", "^Price");
  t.Enter("C1", "\"Total");
  t.Enter("D1", "'Secret");
  t.cells().FindCell(0, 3)->format = (t.cells().FindCell(0, 3)->format & kLockBit) | kFormatHidden;
  const char* rows[][2] = {{"'ant", "1234.5"}, {"'bee", "2"}, {"'cat", "3"}};
  for (int r = 0; r < 3; ++r) {
    std::string n = std::to_string(r + 2);
    t.Enter("A" + n, rows[r][0]);
    t.Enter("B" + n, rows[r][1]);
    t.Enter("C" + n, "+B" + n + "*2");
  }
  t.cells().FindCell(1, 1)->format = (t.cells().FindCell(1, 1)->format & kLockBit) | 0x22;  // B2: currency, two decimals
}

std::string Edits(const DataForm& f) {
  std::string s;
  for (const FormField& x : f.fields()) s += x.text + "|";
  return s;
}

TEST(DataForm, FieldsComeFromTheHeaderRowAndRecordsRunToTheFirstEmptyRow) {
  TestSheet t;
  Table(t);
  t.doc->metrics().columnWidths[1] = 100;
  DataForm f;
  ASSERT_TRUE(f.Open(*t.doc, Rng("A1..F1")));
  ASSERT_EQ(f.fields().size(), 3u) << "the hidden header is left out";
  EXPECT_EQ(f.fields()[0].caption, "Name ");
  EXPECT_EQ(f.fields()[1].caption, "Price ");
  EXPECT_EQ(f.fields()[2].caption, "Total ");
  EXPECT_EQ(f.fields()[1].width, 172);
  EXPECT_EQ(f.recordCount(), 3);
  EXPECT_EQ(f.RecordLine(), "Record:1 of 3");
  // A number shows in its format without blanks; a formula as its text.
  EXPECT_EQ(Edits(f), "ant|$1,234.50|+B2*2|");
}

TEST(DataForm, AHeaderOfSixtyNamesShowsFifty) {
  TestSheet t;
  for (int c = 0; c < 60; ++c) EnterCell(*t.doc, "'F" + std::to_string(c), 0, c);
  DataForm f;
  ASSERT_TRUE(f.Open(*t.doc, CellRange::Of(0, 0, 0, 59)));
  EXPECT_EQ(f.fields().size(), 50u);
  EXPECT_EQ(f.fields().back().caption, "F49 ");
  EXPECT_EQ(f.recordCount(), 1) << "at least one record";
  EXPECT_FALSE(f.Open(*t.doc, Rng("BZ1..CA1"))) << "no field";
  EXPECT_FALSE(f.Open(*t.doc, Rng("A8192..B8192"))) << "no row for a record";
}

TEST(DataForm, NavigationEntersOnlyWhatWasChanged) {
  TestSheet t;
  Table(t);
  DataForm f;
  ASSERT_TRUE(f.Open(*t.doc, Rng("A1..C1")));
  EXPECT_TRUE(f.Prev());
  EXPECT_EQ(f.record(), 1) << "not before the first record";
  f.SetText(0, "ape");
  EXPECT_TRUE(f.changed());
  ASSERT_TRUE(f.Next());
  EXPECT_EQ(f.record(), 2);
  EXPECT_EQ(Column(*t.doc, "A2", "A2"), "'ape");
  EXPECT_EQ(testing::Short(*t.doc, 1, 1), "1234.5") << "the formatted price was not typed back";
  EXPECT_EQ(testing::Refs(t, "C2"), "B2");
  ASSERT_TRUE(f.Bottom());
  EXPECT_EQ(f.RecordLine(), "Record:3 of 3");
  ASSERT_TRUE(f.Top());
  EXPECT_EQ(Edits(f), "ape|$1,234.50|+B2*2|");
  f.SetText(1, "10");
  ASSERT_TRUE(f.Update());
  EXPECT_FALSE(f.changed());
  EXPECT_EQ(t.Number("C2"), 20);
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(DataForm, NextPastTheEndAppendsARecordOrBeeps) {
  TestSheet t;
  Table(t);
  DataForm f;
  ASSERT_TRUE(f.Open(*t.doc, Rng("A1..C1")));
  ASSERT_TRUE(f.Bottom());
  f.clone = true;
  ASSERT_TRUE(f.Next());
  EXPECT_EQ(f.RecordLine(), "Record:4 of 4");
  EXPECT_EQ(Column(*t.doc, "A5", "A5"), "'cat");
  EXPECT_EQ(t.Number("B5"), 3);
  EXPECT_EQ(testing::Refs(t, "C5"), "B4") << "the clone is typed as it reads";
  f.clone = false;
  ASSERT_TRUE(f.Next());
  EXPECT_EQ(f.RecordLine(), "Record:5 of 5");
  EXPECT_EQ(Edits(f), "|||");
  EXPECT_EQ(t.cells().FindCell(5, 0), nullptr) << "an empty record enters nothing";
  EXPECT_FALSE(f.Next()) << "all edits empty: stays and beeps";
  EXPECT_EQ(f.record(), 5);
  f.SetText(0, "dog");
  f.SetText(1, "@SUM(");
  EXPECT_FALSE(f.Update()) << "a formula that does not compile";
  EXPECT_TRUE(f.changed());
  f.SetText(1, "4");
  ASSERT_TRUE(f.Add());
  EXPECT_EQ(f.RecordLine(), "Record:6 of 6");
  EXPECT_EQ(Column(*t.doc, "A7", "A7"), "'dog");
  EXPECT_EQ(t.Number("B7"), 4);
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

}  // namespace
}  // namespace tabulon
