#include "sheet/graph_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "sheet/error_channel.h"

namespace tabulon {
namespace {

GraphRecordBytes Random(unsigned seed) {
  std::mt19937 rng(seed);
  GraphRecordBytes b;
  for (auto& x : b) x = static_cast<std::uint8_t>(rng());
  return b;
}

double DoubleAt(const GraphRecordBytes& b, int offset) {
  double d;
  std::memcpy(&d, b.data() + offset, 8);
  return d;
}

TEST(GraphRecord, ResetValuesSitAtTheirOffsets) {
  GraphRecordBytes b = EncodeGraphRecord(GraphSettings());
  // All thirteen ranges undefined: start column -1, the rest 0.
  for (int r = 0; r < 13; ++r) {
    int off = 13 + 8 * r;
    EXPECT_EQ(b[off], 0xFF);
    EXPECT_EQ(b[off + 1], 0xFF);
    for (int i = 2; i < 8; ++i) EXPECT_EQ(b[off + i], 0) << "range " << r;
  }
  const std::uint8_t fore[6] = {9, 3, 2, 4, 5, 6};
  const std::uint8_t style[6] = {1, 2, 3, 1, 2, 3};
  const std::uint8_t sizes[7] = {24, 18, 16, 16, 12, 12, 8};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(b[120 + i], 3);
    EXPECT_EQ(b[126 + i], 1);
    EXPECT_EQ(b[483 + i], fore[i]);
    EXPECT_EQ(b[498 + i], 7);
    EXPECT_EQ(b[511 + i], i + 1);
    EXPECT_EQ(b[517 + i], style[i]);
    EXPECT_EQ(b[523 + i], 1);
    EXPECT_EQ(b[529 + i], i + 1);
  }
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(b[491 + i], 1);
    EXPECT_EQ(b[504 + i], 7);
    EXPECT_EQ(b[537 + i], sizes[i]);
    EXPECT_EQ(b[817 + i], 0);
  }
  EXPECT_EQ(b[117], 0);
  EXPECT_EQ(b[446], 1);
  EXPECT_EQ(b[447], 1);
  EXPECT_EQ(b[448], 4);
  EXPECT_EQ(b[449], 4);
  EXPECT_EQ(b[489], 15);
  EXPECT_EQ(b[490], 8);
  EXPECT_EQ(b[830], 1);
  EXPECT_EQ(b[831], 0);
  for (int off : {133, 141, 150, 158}) EXPECT_EQ(DoubleAt(b, off), 0.0);
  // Everything not listed is zero: count the non-zero bytes.
  int nonZero = 0;
  for (auto x : b) nonZero += x != 0;
  EXPECT_EQ(nonZero, 13 * 2 + 6 * 8 + 7 * 3 + 4 + 2 + 1);
}

TEST(GraphRecord, DecodingThenEncodingReproducesAnyBytes) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    GraphRecordBytes b = Random(seed);
    EXPECT_EQ(EncodeGraphRecord(DecodeGraphRecord(b)), b) << "seed " << seed;
  }
}

TEST(GraphRecord, FieldsDecodeFromTheirOffsets) {
  GraphRecordBytes b = EncodeGraphRecord(GraphSettings());
  b[117] = 16;
  b[118] = 0x1B;
  b[119] = 0xC0;
  // Series 3's range: C2..C9 (column 2, rows 1..8).
  b[37] = 2; b[38] = 0; b[39] = 1; b[40] = 0; b[41] = 2; b[42] = 0; b[43] = 8; b[44] = 0;
  double low = -2.5;
  std::memcpy(b.data() + 150, &low, 8);
  std::memcpy(b.data() + 166 + 40, "Second", 7);
  b[544 + 21 * 6] = 5;
  std::memcpy(b.data() + 545 + 21 * 6, "Times", 5);
  b[831] = 3;
  GraphSettings g = DecodeGraphRecord(b);
  EXPECT_EQ(g.Type(), GraphType::Bar3D);
  EXPECT_EQ(g.Grid(), 3);
  EXPECT_FALSE(g.GridSolid());
  EXPECT_TRUE(g.LegendTable());
  EXPECT_TRUE(g.LegendHidden());
  EXPECT_TRUE(g.LogX());
  EXPECT_TRUE(g.LogY());
  EXPECT_EQ(g.series[2], CellRange::Of(1, 2, 8, 2));
  EXPECT_EQ(g.axes[1].low, -2.5);
  EXPECT_EQ(g.Heading(kSecondHeading), "Second");
  EXPECT_EQ(g.FontFace(kLegendText), "Times");
  EXPECT_EQ(g.axes[1].minor, 3);
}

TEST(GraphRecord, TextFieldsCutAtTheirSize) {
  GraphSettings g;
  std::string long45(45, 'h');
  g.SetHeading(kXTitle, long45);
  EXPECT_EQ(g.Heading(kXTitle), std::string(40, 'h'));
  // Exactly 40 bytes and no terminator inside the field.
  GraphRecordBytes b = EncodeGraphRecord(g);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(b[166 + 80 + i], 'h');
  EXPECT_EQ(b[166 + 120], 0) << "the Y title after it is untouched";
  g.SetLegend(0, std::string(25, 'L'));
  EXPECT_EQ(g.Legend(0).size(), 20u);
  g.SetName("ABCDEFGHIJKLMNOP");
  EXPECT_EQ(g.Name(), "ABCDEFGHIJKL");
  g.SetFontFace(0, "A very long face name that is cut");
  EXPECT_EQ(g.FontFace(0).size(), 20u);
}

TEST(GraphRecord, BlocksSplitTheRecordAtOffsets13And450) {
  GraphRecordBytes b = Random(3);
  GraphSettings g = DecodeGraphRecord(b);
  auto block = GraphBlock(g);
  auto ext = GraphExtBlock(g);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), b.begin() + 13));
  EXPECT_TRUE(std::equal(ext.begin(), ext.end(), b.begin() + 450));
  GraphSettings h;
  ReadGraphBlock(h, block.data(), block.size());
  ReadGraphExtBlock(h, ext.data(), ext.size());
  GraphRecordBytes c = EncodeGraphRecord(h);
  EXPECT_TRUE(std::equal(c.begin() + 13, c.begin() + 835, b.begin() + 13));
  // A short block replaces only what it covers.
  GraphSettings k;
  std::uint8_t twoBytes[2] = {5, 0};
  ReadGraphBlock(k, twoBytes, 2);
  EXPECT_EQ(k.x.firstCol, 5);
  EXPECT_EQ(k.x.lastCol, 0);
  EXPECT_EQ(k.axes[1].step, 4);
}

TEST(NamedGraphs, CreateReplaceUseAndDelete) {
  GraphBook book;
  ErrorChannel errors;
  book.current.SetHeading(kMainHeading, "one");
  EXPECT_EQ(book.Create("SALES", errors), 1);
  EXPECT_EQ(book.current.Name(), "SALES");
  book.current.SetHeading(kMainHeading, "two");
  EXPECT_EQ(book.Create("COSTS", errors), 2);
  // Replacing keeps the list and the entry's name.
  book.current.SetHeading(kMainHeading, "three");
  EXPECT_EQ(book.Create("SALES", errors), 1);
  ASSERT_EQ(book.named.size(), 2u);
  EXPECT_EQ(book.named[0].name(), "SALES");
  EXPECT_EQ(book.named[0].settings.Heading(kMainHeading), "three");
  // Use upper-cases the name; an absent one changes nothing.
  book.current.SetHeading(kMainHeading, "scratch");
  EXPECT_EQ(book.Use("costs"), 2);
  EXPECT_EQ(book.current.Heading(kMainHeading), "two");
  EXPECT_EQ(book.Use("NONE"), 0);
  EXPECT_EQ(book.current.Heading(kMainHeading), "two");
  // New removes blanks; names are compared byte for byte.
  EXPECT_EQ(book.Create(" MY  PLOT ", errors), 3);
  EXPECT_EQ(book.named[2].name(), "MYPLOT");
  EXPECT_EQ(book.Create("   ", errors), 0);
  EXPECT_EQ(book.named.size(), 3u);
  EXPECT_FALSE(errors.failed());
}

TEST(NamedGraphs, DeletingClosesTheGap) {
  GraphBook book;
  ErrorChannel errors;
  for (const char* n : {"A", "B", "C", "D", "E"}) book.Create(n, errors);
  EXPECT_EQ(book.Remove("c"), 3);
  ASSERT_EQ(book.named.size(), 4u);
  EXPECT_EQ(book.named[2].name(), "D");
  EXPECT_EQ(book.named[3].name(), "E");
  EXPECT_EQ(book.Remove("C"), 0);
  EXPECT_EQ(book.named.size(), 4u);
}

TEST(NamedGraphs, TenAtMostAndAutomaticNames) {
  GraphBook book;
  ErrorChannel errors;
  ASSERT_EQ(book.Create("GRAPH2", errors), 1);
  EXPECT_EQ(book.CreateAutomatic(), 2);
  EXPECT_EQ(book.named[1].name(), "GRAPH1");
  EXPECT_EQ(book.CreateAutomatic(), 3);
  EXPECT_EQ(book.named[2].name(), "GRAPH3");
  while (book.named.size() < 10) book.CreateAutomatic();
  EXPECT_EQ(book.CreateAutomatic(), -1);
  EXPECT_EQ(book.Create("ELEVENTH", errors), 0);
  EXPECT_TRUE(errors.failed());
  EXPECT_EQ(errors.message(), "Named Graphs>10");
  EXPECT_EQ(book.named.size(), 10u);
  // Replacing one of the ten still works.
  errors.Clear();
  EXPECT_EQ(book.Create("GRAPH5", errors), 5);
  EXPECT_FALSE(errors.failed());
}

TEST(NamedGraphs, FileNameFieldGoesBackAsRead) {
  std::vector<std::uint8_t> body(kGraphFileNameBytes + kGraphBlockBytes, 0);
  std::memcpy(body.data(), "LONGNAMEOF15CHS", 15);
  NamedGraph g = ReadNamedGraph(body.data(), body.size());
  EXPECT_EQ(g.name(), "LONGNAMEOF15");
  auto field = GraphFileName(g);
  EXPECT_EQ(std::memcmp(field.data(), "LONGNAMEOF15CHS", 15), 0);
  // Renamed, the field is made from the new name.
  g.settings.SetName("NEW");
  field = GraphFileName(g);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(field.data())), "NEW");
}

}  // namespace
}  // namespace tabulon
