// Sort: the order of numbers, blanks, labels and text results in both
// directions; keys 2-4 inside groups of equal earlier keys; formulas inside
// and outside the range; the building blocks; bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "data_fixture.h"
#include "datatools/sort.h"
#include "edit/undo.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::Column;
using testing::DataDesk;
using testing::References;
using testing::Refs;
using testing::Rng;
using testing::Short;
using testing::TestSheet;

SortSpec Spec(std::string_view data, std::string_view key1, bool asc1 = true,
              std::string_view key2 = {}, bool asc2 = true) {
  SortSpec s;
  s.data = Rng(data);
  s.keys[0] = Rng(key1);
  s.ascending[0] = asc1;
  if (!key2.empty()) s.keys[1] = Rng(key2);
  s.ascending[1] = asc2;
  return s;
}

// Keys in column A, each row's original number in column B.
void Keys(TestSheet& t, std::initializer_list<const char*> keys) {
  int row = 1;
  for (const char* k : keys) {
    std::string r = std::to_string(row);
    if (*k != 0) t.Enter("A" + r, k);
    t.Enter("B" + r, r);
    ++row;
  }
}

TEST(Sort, NumbersThenBlanksThenLabelsAscendingAndTheReverseDescending) {
  TestSheet t;
  Keys(t, {"3", "b", "", "1", "a", "2"});
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B6", "A1")));
  EXPECT_EQ(Column(*t.doc, "A1", "A6"), "1,2,3,_,'a,'b");
  EXPECT_EQ(Column(*t.doc, "B1", "B6"), "4,6,1,3,5,2");
  EXPECT_EQ(CheckSheet(*t.doc), "");

  TestSheet d;
  Keys(d, {"3", "b", "", "1", "a", "2"});
  ASSERT_TRUE(SortRows(*d.doc, Spec("A1..B6", "A1", false)));
  EXPECT_EQ(Column(*d.doc, "A1", "A6"), "'b,'a,_,3,2,1");
  EXPECT_EQ(Column(*d.doc, "B1", "B6"), "2,5,3,1,6,4");
}

TEST(Sort, LabelsCompareByteByByteWithTheirPrefixAndTextResultsWithout) {
  TestSheet t;
  // Prefixes first ('"' < '\'' < '^'), capitals before small letters, a
  // prefix of a text before the text, bytes above 127 after ASCII.
  Keys(t, {"^a", "'b", "\"c", "'B", "'ab", "'\xE9", "+\"a\"", "'a"});
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B8", "A1")));
  EXPECT_EQ(Column(*t.doc, "A1", "A8"), "\"c,'B,'a,'ab,'b,'\xE9,^a,=a");
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Sort, NumericFormulasSortByTheirValue) {
  TestSheet t;
  t.Enter("D1", "10");
  Keys(t, {"+D1*2", "15", "@SQRT(4)", "-1"});
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B4", "A1")));
  EXPECT_EQ(Column(*t.doc, "A1", "A4"), "-1,2,15,20");
  EXPECT_EQ(Column(*t.doc, "B1", "B4"), "4,3,2,1");
}

TEST(Sort, OneRowAndAnAlreadySortedRangeStayAsTheyAre) {
  TestSheet t;
  t.Enter("A1", "'z");
  t.Enter("B1", "5");
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B1", "A1")));
  EXPECT_EQ(Short(*t.doc, 0, 0), "'z");
  Keys(t, {"1", "2", "3"});
  std::uint64_t before = t.cells().structureVersion();
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B3", "A1")));
  EXPECT_EQ(t.cells().structureVersion(), before) << "nothing to move, nothing moved";
}

TEST(Sort, ASecondKeyOnlyOrdersRowsWithinGroupsOfEqualFirstKeys) {
  TestSheet t;
  const char* rows[][2] = {{"1", "x"}, {"2", "y"}, {"1", "a"}, {"2", "b"}, {"1", "m"}, {"3", "q"}};
  for (int i = 0; i < 6; ++i) {
    std::string r = std::to_string(i + 1);
    t.Enter("A" + r, rows[i][0]);
    t.Enter("B" + r, rows[i][1]);
    t.Enter("C" + r, r);
  }
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..C6", "A1", true, "B1", false)));
  EXPECT_EQ(Column(*t.doc, "A1", "A6"), "1,1,1,2,2,3");
  EXPECT_EQ(Column(*t.doc, "B1", "B6"), "'x,'m,'a,'y,'b,'q");
  EXPECT_EQ(Column(*t.doc, "C1", "C6"), "1,5,3,2,4,6");
}

TEST(Sort, AZeroKeyDoesNotGroupWithTheLabelsAfterIt) {
  // Counting a label as 0 would put the label rows into the last group of
  // numbers and let the second key mix them in.
  TestSheet t;
  const char* rows[][2] = {{"'b", "9"}, {"0", "5"}, {"'a", "2"}, {"0", "1"}};
  for (int i = 0; i < 4; ++i) {
    std::string r = std::to_string(i + 1);
    t.Enter("A" + r, rows[i][0]);
    t.Enter("B" + r, rows[i][1]);
  }
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B4", "A1", true, "B1")));
  EXPECT_EQ(Column(*t.doc, "A1", "A4"), "0,0,'a,'b");
  EXPECT_EQ(Column(*t.doc, "B1", "B4"), "1,5,2,9");
}

// A key's place in the order: numbers, then blanks, then texts.
std::tuple<int, double, std::string> Rank(SheetDocument& doc, int row, int col) {
  sorting::Key k = sorting::KeyOf(doc.cells().FindCell(row, col));
  if (k.kind == sorting::Key::kNumber) return {0, k.number, {}};
  return {1, 0, std::string(k.text)};
}

TEST(Sort, FourKeysInMixedDirectionsOrderEveryRowAndKeepEveryRow) {
  std::mt19937 rng(7);
  const char* pool[] = {"1", "2", "'a", "'b", "", "+\"a\"", "2.5", "'B"};
  for (int round = 0; round < 20; ++round) {
    TestSheet t;
    const int n = 40;
    std::map<std::string, int> rowsBefore;
    for (int r = 0; r < n; ++r) {
      std::string line;
      for (int c = 0; c < 4; ++c) {
        const char* v = pool[rng() % 8];
        if (*v) EnterCell(*t.doc, v, r, c);
        line += Short(*t.doc, r, c) + "|";
      }
      EnterCell(*t.doc, std::to_string(r), r, 4);
      ++rowsBefore[line + std::to_string(r)];
    }
    SortSpec s;
    s.data = CellRange::Of(0, 0, n - 1, 4);
    const int keyCols[4] = {2, 0, 3, 1};
    for (int k = 0; k < 4; ++k) {
      s.keys[k] = CellRange::Cell(0, keyCols[k]);
      s.ascending[k] = rng() % 2 == 0;
    }
    ASSERT_TRUE(SortRows(*t.doc, s));
    ASSERT_EQ(CheckSheet(*t.doc), "");
    std::map<std::string, int> rowsAfter;
    for (int r = 0; r < n; ++r) {
      std::string line;
      for (int c = 0; c < 4; ++c) line += Short(*t.doc, r, c) + "|";
      ++rowsAfter[line + Short(*t.doc, r, 4)];
    }
    EXPECT_EQ(rowsAfter, rowsBefore) << "every row survives whole";
    for (int r = 0; r + 1 < n; ++r) {
      for (int k = 0; k < 4; ++k) {
        auto a = Rank(*t.doc, r, keyCols[k]), b = Rank(*t.doc, r + 1, keyCols[k]);
        if (a == b) continue;
        EXPECT_EQ(a < b, s.ascending[k]) << "round " << round << " rows " << r + 1 << " key " << k;
        break;
      }
    }
  }
}

TEST(Sort, FormulasInsideFollowTheirRowAndFormulasOutsideKeepTheirAddresses) {
  TestSheet t;
  for (int r = 1; r <= 4; ++r) {
    std::string s = std::to_string(r);
    t.Enter("A" + s, s);
    t.Enter("C" + s, "+A" + s + "*10");  // inside: uses its own row
  }
  t.Enter("A5", "0");
  t.Enter("B2", "+A1");           // inside: the row above
  t.Enter("E1", "+A1");           // outside, relative
  t.Enter("E2", "@SUM(A1..A2)");  // outside, a range over part of the data
  t.Enter("E3", "+$A$3");         // outside, absolute
  t.Enter("E4", "+B1");           // outside, into a blank of the data
  t.Enter("F1", "+A4*1");         // outside, another row
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..C5", "A1", false)));
  EXPECT_EQ(CheckSheet(*t.doc), "");
  EXPECT_EQ(Column(*t.doc, "A1", "A5"), "4,3,2,1,0");
  EXPECT_EQ(Column(*t.doc, "C1", "C5"), "40,30,20,10,_");
  EXPECT_EQ(Refs(t, "C1"), "A1") << "the formula moved with the row it uses";
  EXPECT_EQ(Refs(t, "B3"), "A4") << "an inside reference follows its cell";
  EXPECT_EQ(t.Number("B3"), 1);
  EXPECT_EQ(Refs(t, "E1"), "A1");
  EXPECT_EQ(t.Number("E1"), 4);
  EXPECT_EQ(t.Number("E2"), 7);
  EXPECT_EQ(Refs(t, "E3"), "$A$3");
  EXPECT_EQ(t.Number("E3"), 2);
  EXPECT_EQ(Refs(t, "E4"), "B1");
  EXPECT_EQ(Refs(t, "F1"), "A4");
  EXPECT_EQ(t.Number("F1"), 1);
  // The outside range is registered with the cells now inside it.
  t.Enter("A2", "100");
  EXPECT_EQ(t.Number("E2"), 104);
  EXPECT_EQ(t.Number("C2"), 1000);
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Sort, RangeFormulasInsideAreRegisteredOverTheirNewRectangle) {
  TestSheet t;
  const char* values[] = {"3", "1", "4", "5", "2"};
  for (int r = 0; r < 5; ++r) t.Enter("A" + std::to_string(r + 1), values[r]);
  t.Enter("B1", "@SUM(A1..A2)");  // its corners go to rows 3 and 1, apart
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B5", "A1")));
  EXPECT_EQ(CheckSheet(*t.doc), "");
  EXPECT_EQ(Column(*t.doc, "A1", "A5"), "1,2,3,4,5");
  EXPECT_EQ(Refs(t, "B3"), "A3..A1");
  EXPECT_EQ(t.Number("B3"), 6) << "the rectangle now holds the 2 as well";
  t.Enter("A2", "50");
  EXPECT_EQ(t.Number("B3"), 54);
}

TEST(Sort, BadInputChangesNothing) {
  TestSheet t;
  Keys(t, {"3", "1", "2"});
  std::string before = Column(*t.doc, "A1", "B3");
  // Undefined data or key 1: nothing to do.
  SortSpec none;
  EXPECT_TRUE(SortRows(*t.doc, none));
  SortSpec noKey;
  noKey.data = Rng("A1..B3");
  EXPECT_TRUE(SortRows(*t.doc, noKey));
  // A key outside the data's columns.
  t.session.errors().Clear();
  EXPECT_FALSE(SortRows(*t.doc, Spec("A1..B3", "C1")));
  EXPECT_EQ(t.session.errors().message(), "Sort Key outside Data Range");
  EXPECT_FALSE(SortRows(*t.doc, Spec("A1..B3", "A1", true, "D1")));
  // An inverted range is the same range.
  EXPECT_EQ(Column(*t.doc, "A1", "A3"), "3,1,2");
  ASSERT_TRUE(SortRows(*t.doc, Spec("B3..A1", "A3")));
  EXPECT_EQ(Column(*t.doc, "A1", "A3"), "1,2,3");
  (void)before;
  // Locked cells under protection.
  t.doc->settings().protect = true;
  t.session.errors().Clear();
  EXPECT_FALSE(SortRows(*t.doc, Spec("A1..B3", "A1", false)));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(Column(*t.doc, "A1", "A3"), "1,2,3");
}

TEST(SortBlocks, PreShuffleOnlyTouchesRunsLongerThanTen) {
  std::vector<int> s(30);
  for (int i = 0; i < 30; ++i) s[i] = i;
  std::vector<int> copy = s;
  sorting::PreShuffle(s, 0, 9);
  EXPECT_EQ(s, copy);
  sorting::PreShuffle(s, 0, 29);
  EXPECT_NE(s, copy);
  std::vector<int> sorted = s;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, copy) << "a permutation of the slots";
  // Stride 6: the first round swaps slots 0..6 end for end, the later
  // rounds start further on.
  EXPECT_EQ(s[0], 6);
}

TEST(SortBlocks, QuickSortOrdersAnyInputIncludingRunsOfEqualKeys) {
  std::mt19937 rng(3);
  for (int n : {2, 3, 11, 100, 1000}) {
    for (int spread : {2, 1000}) {
      std::vector<double> key(n);
      for (double& k : key) k = static_cast<double>(rng() % spread);
      std::vector<int> slots(n);
      for (int i = 0; i < n; ++i) slots[i] = i;
      sorting::PreShuffle(slots, 0, n - 1);
      sorting::QuickSort(std::span<int>(slots), 0, n - 1,
                         [&](int a, int b) { return key[a] >= key[b]; });
      for (int i = 0; i + 1 < n; ++i) ASSERT_LE(key[slots[i]], key[slots[i + 1]]);
      std::vector<int> sorted = slots;
      std::sort(sorted.begin(), sorted.end());
      for (int i = 0; i < n; ++i) ASSERT_EQ(sorted[i], i);
    }
  }
}

TEST(SortBlocks, EqualKeysKeepTheOrderTheProcedureGives) {
  // Numeric rows keep their row order in the front slots, text rows go to
  // the back in reverse; three equal numbers and two equal labels show it.
  TestSheet t;
  Keys(t, {"5", "a", "5", "a", "5"});
  ASSERT_TRUE(SortRows(*t.doc, Spec("A1..B5", "A1")));
  EXPECT_EQ(Column(*t.doc, "A1", "A5"), "5,5,5,'a,'a");
  // The front slots hold rows 1, 3, 5 and the quicksort, stopping on equal
  // keys, leaves 3, 5, 1; the back slots hold rows 4, 2 and end as 2, 4.
  EXPECT_EQ(Column(*t.doc, "B1", "B5"), "3,5,1,2,4");
}

TEST(SortCommand, TheMacroFormLeavesEmptyKeysUndefinedAndUndoRestoresEverything) {
  DataDesk d;
  const char* rows[][2] = {{"2", "b"}, {"1", "z"}, {"2", "a"}, {"1", "y"}};
  for (int i = 0; i < 4; ++i) {
    std::string r = std::to_string(i + 1);
    d.Enter("A" + r, rows[i][0]);
    d.Enter("B" + r, rows[i][1]);
  }
  d.Enter("D1", "+A1");
  d.ws.active()->MoveCursor(3, 1);  // B4: an empty key must not mean this
  // {DATASORT A1..B4,A1,1,,,B1,0,,}: key 2 empty, key 3 on B descending.
  Status s = d.ws.Execute("data.sort", {"A1..B4", "A1", "1", "", "", "B1", "0", "", ""});
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(d.Col("A1", "A4"), "1,1,2,2");
  EXPECT_EQ(d.Col("B1", "B4"), "'z,'y,'b,'a");
  const WorksheetExtras& x = d.Doc().extras();
  EXPECT_EQ(x.sortData, Rng("A1..B4"));
  EXPECT_FALSE(x.sortKeys[1].IsDefined());
  EXPECT_EQ(x.sortKeys[2], Rng("B1"));
  EXPECT_FALSE(x.sortAscending[2]);
  EXPECT_EQ(CheckSheet(d.Doc()), "");

  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("A1", "A4"), "2,1,2,1");
  EXPECT_EQ(d.Col("B1", "B4"), "'b,'z,'a,'y");
  EXPECT_EQ(d.Col("D1", "D1"), "2");
  EXPECT_FALSE(d.Doc().extras().sortData.IsDefined()) << "the stored ranges come back too";
  EXPECT_FALSE(d.Doc().extras().sortKeys[2].IsDefined());
  EXPECT_EQ(CheckSheet(d.Doc()), "");

  // A location argument takes a whole range; a key text that names
  // nothing refuses the command.
  EXPECT_TRUE(d.ws.Execute("data.sort", {"A1..B4", "A1..A4", "1"}).ok());
  EXPECT_EQ(d.Doc().extras().sortKeys[0], Rng("A1..A4"));
  EXPECT_FALSE(d.ws.Execute("data.sort", {"A1..B4", "A1", "1", "nonsense!", "1"}).ok());
  Status outside = d.ws.Execute("data.sort", {"A1..B4", "C1", "1"});
  EXPECT_EQ(outside.message(), "Sort Key outside Data Range");
  EXPECT_EQ(d.host.messages.back(), "Error:Sort Key outside Data Range");
}

TEST(SortCommand, TheSpinButtonsSortTheSelectionAndKeepKeyOnesDirection) {
  DataDesk d;
  for (int r = 1; r <= 3; ++r) d.Enter("C" + std::to_string(r), std::to_string(r));
  d.Doc().extras().sortAscending[0] = true;
  d.Doc().extras().sortKeys[1] = Rng("Z1");  // of another table: not used here
  d.Select("C1..C3");
  ASSERT_TRUE(d.ws.Execute("data.sort.descend").ok());
  EXPECT_EQ(d.Col("C1", "C3"), "3,2,1");
  EXPECT_EQ(d.Doc().extras().sortData, Rng("C1..C3"));
  EXPECT_EQ(d.Doc().extras().sortKeys[0], Rng("C1"));
  EXPECT_TRUE(d.Doc().extras().sortAscending[0]);
  ASSERT_TRUE(d.ws.Execute("data.sort.ascend").ok());
  EXPECT_EQ(d.Col("C1", "C3"), "1,2,3");
}

}  // namespace
}  // namespace tabulon
