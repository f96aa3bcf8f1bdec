#include <gtest/gtest.h>

#include "sheet/address.h"
#include "sheet/error_channel.h"
#include "sheet/range_names.h"

namespace tabulon {
namespace {

ParsedRange Parse(std::string_view text, int pageHeight = 0, const NameTable* names = nullptr,
                  const CursorSource* cursor = nullptr) {
  ErrorChannel errors;
  ParsedRange r = ParseRange(text, RangeContext{pageHeight, names, cursor}, errors);
  EXPECT_EQ(errors.failed(), !r.ok) << text;
  return r;
}

TEST(ColumnLetters, OneAndTwoLetterColumnsBothWays) {
  struct {
    int col;
    const char* letters;
  } cases[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {51, "AZ"}, {52, "BA"}, {255, "IV"}};
  for (auto& c : cases) {
    EXPECT_EQ(ColumnLetters(c.col), c.letters);
    EXPECT_EQ(ColumnFromLetters(c.letters), c.col);
  }
  for (int col = 0; col < 256; ++col) EXPECT_EQ(ColumnFromLetters(ColumnLetters(col)), col);
}

TEST(AddressText, DollarsAndPages) {
  EXPECT_EQ(AddressText(0, 0, false, false, 0), "A1");
  EXPECT_EQ(AddressText(6, 1, true, true, 0), "$B$7");
  EXPECT_EQ(AddressText(8191, 255, false, false, 0), "IV8192");
  EXPECT_EQ(AddressText(2048, 1, true, true, 2048), "B:$B$1");
  EXPECT_EQ(AddressText(4097, 2, false, false, 4096), "B:C2");
  EXPECT_EQ(ShortAddressText(2048, 1, 2048), "B1");
  EXPECT_EQ(ShortAddressText(9, 3, 0), "D10");
}

TEST(RangeText, CornersFlagsAndTheTwentyCharacterCut) {
  EXPECT_EQ(RangeText(CellRange::Of(0, 0, 4, 1), 0), "A1..B5");
  EXPECT_EQ(RangeText(CellRange::Cell(2, 2), 0), "C3");
  EXPECT_EQ(RangeText(CellRange{}, 0), "");
  EXPECT_EQ(RangeTextWithFlags(CellRange::Cell(1, 1), 0, true, 0), "B2..B2");
  EXPECT_EQ(RangeTextWithFlags(CellRange::Of(0, 0, 1, 1), kAbsFirstRow | kAbsLastCol, false, 0),
            "A$1..$B2");
  std::string longText = RangeTextWithFlags(CellRange::Of(8000, 200, 8191, 255), kAbsAll, false, 128);
  EXPECT_EQ(longText.size(), 20u);
  EXPECT_EQ(longText, "BK:$GS$65..BL:$IV$12");  // "...$IV$128" cut at 20
}

TEST(ParseRange, CornersKeepTheirOrderAndCaseIsIgnored) {
  ParsedRange r = Parse("a1..b5");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.range, CellRange::Of(0, 0, 4, 1));
  r = Parse("B5..A1");
  EXPECT_EQ(r.range, CellRange::Of(4, 1, 0, 0));
  r = Parse("A1");
  EXPECT_TRUE(r.range.IsSingleCell());
  r = Parse("$A1..B$5");
  EXPECT_EQ(r.flags, unsigned(kAbsFirstCol | kAbsLastRow));
  EXPECT_FALSE(Parse("").range.IsDefined());
}

TEST(ParseRange, BadCornersFail) {
  EXPECT_FALSE(Parse("A1.B5").ok);
  EXPECT_FALSE(Parse("IW1").ok);
  EXPECT_FALSE(Parse("A0").ok);
  EXPECT_FALSE(Parse("A-3").ok);
  EXPECT_FALSE(Parse("1A").ok);
  EXPECT_FALSE(Parse("A").ok);
  EXPECT_FALSE(Parse("..").ok);
  EXPECT_FALSE(Parse("A1..").ok);
  EXPECT_TRUE(Parse("IV8192").ok);
  EXPECT_FALSE(Parse(std::string(5000, 'Z')).ok);
}

TEST(ParseRange, RowsWrapAtTheSheetHeight) {
  EXPECT_EQ(Parse("A8193").range, CellRange::Cell(0, 0));
}

TEST(ParseRange, PagePrefixes) {
  ParsedRange r = Parse("B:C3", 4096);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.range.firstCol, 2);
  EXPECT_EQ(r.range.firstRow, 4098);
  EXPECT_EQ(AddressText(4098, 2, false, false, 4096), "B:C3");
  r = Parse("B:$C$3..C:D4", 2048);
  EXPECT_EQ(r.range, CellRange::Of(2050, 2, 4099, 3));
  EXPECT_EQ(r.flags, unsigned(kAbsFirstCol | kAbsFirstRow));
}

TEST(ParseRange, NamesAndTheWordsRangeAndCursor) {
  NameTable names;
  names.DefineName("sales", CellRange::Of(1, 1, 9, 3));
  ParsedRange r = Parse("Sales", 0, &names);
  EXPECT_EQ(r.range, CellRange::Of(1, 1, 9, 3));
  EXPECT_EQ(r.flags, 0u);
  r = Parse("$sales", 0, &names);
  EXPECT_EQ(r.flags, unsigned(kAbsAll));

  struct Cursor : CursorSource {
    CellAddress CursorCell() const override { return {3, 7}; }
    CellRange SelectionRange() const override { return CellRange::Of(1, 1, 2, 2); }
  } cursor;
  EXPECT_EQ(Parse("cursor", 0, nullptr, &cursor).range, CellRange::Cell(7, 3));
  EXPECT_EQ(Parse("RANGE", 0, nullptr, &cursor).range, CellRange::Of(1, 1, 2, 2));
  EXPECT_FALSE(Parse("RANGE").ok) << "no active window";
}

TEST(NameTable, SortedByteOrderWithReplacementAndRemoval) {
  NameTable t;
  EXPECT_EQ(t.FindName("X"), -1);
  for (const char* n : {"beta", "alpha", "ALPHA2", "al", "zeta"}) t.DefineName(n, CellRange::Cell(0, 0));
  std::vector<std::string> order;
  for (const RangeName& n : t.entries()) order.push_back(n.name);
  EXPECT_EQ(order, (std::vector<std::string>{"AL", "ALPHA", "ALPHA2", "BETA", "ZETA"}));
  EXPECT_EQ(t.FindName("alpha"), 2);
  EXPECT_EQ(t.FindName("ALZ"), -4) << "would go before BETA";
  t.DefineName("Alpha", CellRange::Cell(5, 5));
  EXPECT_EQ(t.count(), 5);
  EXPECT_EQ(*t.Lookup("alpha"), CellRange::Cell(5, 5));
  EXPECT_EQ(t.RemoveName("beta"), 4);
  EXPECT_LE(t.RemoveName("beta"), 0);
  EXPECT_EQ(t.count(), 4);
  t.ResetNames();
  EXPECT_EQ(t.count(), 0);
}

TEST(NameTable, NamesAreCutToTwelveCharactersAndTheTableHolds255) {
  NameTable t;
  t.DefineName("abcdefghijklmnop", CellRange::Cell(0, 0));
  EXPECT_EQ(t.entry(1).name, "ABCDEFGHIJKL");
  EXPECT_GT(t.FindName("ABCDEFGHIJKLxyz"), 0);
  for (int i = 0; t.count() < 255; ++i) ASSERT_TRUE(t.DefineName("N" + std::to_string(i), CellRange::Cell(0, 0)));
  EXPECT_FALSE(t.DefineName("ONEMORE", CellRange::Cell(0, 0)));
  EXPECT_TRUE(t.DefineName("N1", CellRange::Cell(1, 1))) << "replacing still works when full";
}

}  // namespace
}  // namespace tabulon
