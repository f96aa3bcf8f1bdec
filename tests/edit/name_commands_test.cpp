#include <gtest/gtest.h>

#include "edit/name_commands.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(NameCommands, CreateAndDeleteRefuseWhatIsMissing) {
  TestSheet t;
  EXPECT_TRUE(CreateName(*t.doc, "total", "b2..b9"));
  EXPECT_EQ(*t.doc->names().Lookup("TOTAL"), CellRange::Of(1, 1, 8, 1));
  EXPECT_FALSE(CreateName(*t.doc, "", "A1"));
  EXPECT_FALSE(CreateName(*t.doc, "x", ""));
  EXPECT_FALSE(CreateName(*t.doc, "x", "A0"));
  EXPECT_FALSE(DeleteName(*t.doc, "nothere"));
  EXPECT_TRUE(DeleteName(*t.doc, "Total"));
  EXPECT_EQ(t.doc->names().count(), 0);
}

TEST(NameCommands, BuildTakesNamesFromLabels) {
  TestSheet t;
  t.Enter("A1", "first");
  t.Enter("B1", "'C3..D4");
  t.Enter("A2", "second");
  t.Enter("B2", "'E5");
  t.Enter("A3", "broken");
  t.Enter("B3", "'ZZ99");
  EXPECT_EQ(BuildNames(*t.doc, CellRange::Of(0, 0, 2, 0)), 2);
  EXPECT_EQ(*t.doc->names().Lookup("FIRST"), CellRange::Of(2, 2, 3, 3));
  EXPECT_EQ(*t.doc->names().Lookup("SECOND"), CellRange::Cell(4, 4));
  EXPECT_EQ(t.doc->names().Lookup("BROKEN"), nullptr);
}

TEST(NameCommands, TableWritesNamesAndRangesInTableOrder) {
  TestSheet t;
  CreateName(*t.doc, "zeta", "A1..B2");
  CreateName(*t.doc, "alpha", "C3");
  ASSERT_TRUE(WriteNameTable(*t.doc, 4, 0));
  EXPECT_EQ(t.Text("A5"), "ALPHA");
  EXPECT_EQ(t.Text("B5"), "C3");
  EXPECT_EQ(t.Text("A6"), "ZETA");
  EXPECT_EQ(t.Text("B6"), "A1..B2");
}

TEST(NameCommands, TableStopsAtAProtectedCell) {
  TestSheet t;
  CreateName(*t.doc, "one", "A1");
  CreateName(*t.doc, "two", "A2");
  t.doc->settings().protect = true;
  EXPECT_FALSE(WriteNameTable(*t.doc, 0, 3));
  EXPECT_EQ(t.session.errors().message(), "Protected Cell");
  EXPECT_EQ(t.Cell("D1"), nullptr);
}

}  // namespace
}  // namespace tabulon
