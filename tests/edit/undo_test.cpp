// Undo after the block commands: the cells, the grid metrics, the used
// extents and every stored range come back as they were before.
#include "edit/undo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "edit/block_ops.h"
#include "edit/cell_text.h"
#include "edit/sheet_invariants.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::DescribeBlock;
using testing::Rng;
using testing::TestSheet;

CellRange Name(TestSheet& t, std::string_view name) {
  const CellRange* r = t.doc->names().Lookup(name);
  return r ? *r : CellRange{};
}

std::string RangeDump(const CellRange& r) {
  return r.IsDefined() ? RangeText(r, 0) : "undefined";
}

// The cells without the values of formulas (a cycle steps on with every
// recalculation, undo's included).
std::string Entries(SheetDocument& d) {
  std::string block = DescribeBlock(d, 0, 0, 30, 15), s;
  std::size_t at = 0;
  while (at < block.size()) {
    std::size_t end = block.find('\n', at);
    if (end == std::string::npos) end = block.size();
    std::string line = block.substr(at, end - at);
    if (line.find(" F:") != std::string::npos) line.resize(line.find('='));
    s += line + "\n";
    at = end + 1;
  }
  return s;
}

// Everything a block command may change, as text.
std::string State(TestSheet& t) {
  SheetDocument& d = *t.doc;
  std::string s = Entries(d);
  s += "extents " + std::to_string(d.cells().maxRow()) + "," + std::to_string(d.cells().maxCol());
  for (const RangeName& n : d.names().entries()) s += "\n" + n.name + " " + RangeDump(n.range);
  d.ForEachOtherRange([&](const CellRange& r) { s += "\nrange " + RangeDump(r); });
  const GridMetrics& m = d.metrics();
  for (int c = 0; c < 20; ++c)
    s += "\ncol " + std::to_string(m.columnWidths[c]) + (m.FollowsDefaultWidth(c) ? "" : " own");
  for (int r = 0; r < 40; ++r)
    s += "\nrow " + std::to_string(m.rowHeights[r]) + (m.FollowsDefaultHeight(r) ? "" : " own");
  return s;
}

struct NamedSheet : TestSheet {
  CellRange graph = Rng("C4..D6");
  NamedSheet() {
    Enter("A5", "5");
    Enter("B6", "6");
    Enter("A1", "@SUM(DATA)");
    doc->names().DefineName("DATA", Rng("A5..B6"));
    doc->names().DefineName("CORNER", Rng("B6"));
    doc->RegisterStoredRange(&graph);
    doc->extras().printRange = Rng("A1..D9");
    doc->extras().sortKeys[1] = Rng("B5..B8");
    // Typed after the name exists, so the formula reads back as the name.
    Enter("A2", "@SUM(DATA)");
  }
};

TEST(Undo, RowInsertionGivesBackNamesAndStoredRanges) {
  NamedSheet t;
  ASSERT_EQ(CellEditText(*t.doc, t.Cell("A2")), "@SUM(DATA)");
  std::string before = State(t);
  ASSERT_TRUE(InsertRows(*t.doc, 3, 2).ok);
  ASSERT_EQ(Name(t, "DATA"), Rng("A7..B8"));
  ASSERT_EQ(t.graph, Rng("C6..D8"));
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(State(t), before);
  EXPECT_EQ(Name(t, "DATA"), Rng("A5..B6"));
  EXPECT_EQ(t.graph, Rng("C4..D6"));
  EXPECT_EQ(t.doc->extras().printRange, Rng("A1..D9"));
  EXPECT_EQ(t.doc->extras().sortKeys[1], Rng("B5..B8"));
  // The restored formula covers the name's cells again, so it is written
  // with the name.
  EXPECT_EQ(CellEditText(*t.doc, t.Cell("A2")), "@SUM(DATA)");
  EXPECT_EQ(t.Number("A2"), 11);
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Undo, RangesADeletionUndefinedComeBack) {
  NamedSheet t;
  std::string before = State(t);
  // Rows 5..6 hold every corner of DATA and CORNER.
  ASSERT_TRUE(DeleteRows(*t.doc, 4, 2).ok);
  ASSERT_FALSE(Name(t, "DATA").IsDefined());
  ASSERT_FALSE(Name(t, "CORNER").IsDefined());
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(State(t), before);

  // A move onto a name's corner deletes that cell and undefines the name.
  ASSERT_TRUE(MoveRange(*t.doc, Rng("A5"), Rng("B6")).ok);
  ASSERT_FALSE(Name(t, "CORNER").IsDefined());
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(State(t), before);

  ASSERT_TRUE(DeleteColumns(*t.doc, 0, 1).ok);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(State(t), before);
  EXPECT_EQ(CheckSheet(*t.doc), "");
}

TEST(Undo, ExtentsPastTheLastCellComeBack) {
  TestSheet t;
  t.Enter("C20", "1");
  // The record leaves row 20 and column C; the extents stay.
  ASSERT_TRUE(MoveRange(*t.doc, Rng("C20"), Rng("A1")).ok);
  ASSERT_EQ(t.cells().FindCell(19, 2), nullptr);
  ASSERT_TRUE(InsertColumns(*t.doc, 0, 3).ok);
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(t.cells().maxRow(), 19);
  EXPECT_EQ(t.cells().maxCol(), 2);
}

TEST(Undo, NamesDefinedOrDeletedSinceTheSnapshotStayAsTheUserLeftThem) {
  NamedSheet t;
  ASSERT_TRUE(InsertRows(*t.doc, 0, 1).ok);
  // The name commands take no snapshot.
  t.doc->names().DefineName("LATER", Rng("E1..E2"));
  t.doc->names().RemoveName("CORNER");
  ASSERT_TRUE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(Name(t, "DATA"), Rng("A5..B6"));
  EXPECT_EQ(Name(t, "LATER"), Rng("E1..E2"));
  EXPECT_EQ(t.doc->names().Lookup("CORNER"), nullptr);
}

// Whatever a command did, undo gives back the sheet of before, names,
// ranges, metrics and extents included.
TEST(Undo, AfterAnyBlockCommandTheSheetIsAsBefore) {
  std::mt19937 rng(2024);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto block = [&] { return CellRange::Of(pick(0, 11), pick(0, 7), pick(0, 11), pick(0, 7)); };
  int undone = 0;
  for (int round = 0; round < 4; ++round) {
    TestSheet t;
    if (round % 2 == 1) t.doc->settings().pageHeight = 8;
    CellRange graph = block();
    t.doc->RegisterStoredRange(&graph);
    t.doc->extras().queryInput = block();
    for (int i = 0; i < 30; ++i) {
      std::string a = AddressText(pick(0, 11), pick(0, 7), false, false, 0);
      std::string b = AddressText(pick(0, 11), pick(0, 7), false, false, 0);
      switch (pick(0, 2)) {
        case 0: t.Enter(a, std::to_string(pick(1, 9))); break;
        case 1: t.Enter(a, "@SUM(" + a + ".." + b + ")"); break;
        default: t.Enter(a, "+" + b + "*2"); break;
      }
    }
    for (int n = 0; n < 4; ++n) t.doc->names().DefineName("N" + std::to_string(n), block());
    t.doc->metrics().SetColumnWidth(pick(0, 7), static_cast<std::int16_t>(pick(8, 200)));
    t.doc->metrics().SetRowHeight(pick(0, 11), static_cast<std::int16_t>(pick(1, 60)));
    for (int step = 0; step < 30; ++step) {
      std::string before = State(t);
      bool cycle = testing::HasCycle(*t.doc);
      std::string values = DescribeBlock(*t.doc, 0, 0, 30, 15);
      DiscardSnapshot(*t.doc);
      int op = pick(0, 5);
      switch (op) {
        case 0: CopyRange(*t.doc, block(), CellRange::Cell(pick(0, 12), pick(0, 8))); break;
        case 1: MoveRange(*t.doc, block(), CellRange::Cell(pick(0, 12), pick(0, 8))); break;
        case 2: InsertRows(*t.doc, pick(0, 12), pick(1, 3)); break;
        case 3: DeleteRows(*t.doc, pick(0, 12), pick(1, 3)); break;
        case 4: InsertColumns(*t.doc, pick(0, 8), pick(1, 2)); break;
        default: DeleteColumns(*t.doc, pick(0, 8), pick(1, 2)); break;
      }
      t.session.errors().Clear();
      std::string what = "round " + std::to_string(round) + " step " + std::to_string(step) +
                         " op " + std::to_string(op);
      if (!RestoreSnapshot(*t.doc)) continue;  // the command did nothing
      ++undone;
      ASSERT_EQ(State(t), before) << what;
      if (!cycle) {
        ASSERT_EQ(DescribeBlock(*t.doc, 0, 0, 30, 15), values) << what;
      }
      ASSERT_EQ(CheckSheet(*t.doc), "") << what;
      // Go on from a changed sheet.
      CopyRange(*t.doc, block(), CellRange::Cell(pick(0, 12), pick(0, 8)));
    }
  }
  EXPECT_GT(undone, 60);
}

}  // namespace
}  // namespace tabulon
