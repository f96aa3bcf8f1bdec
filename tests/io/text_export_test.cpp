#include "io/text_export.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

// Splits comma-delimited text the way spreadsheet programs read it:
// quoted fields may hold commas, line breaks and doubled quotes.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (ch == '"') {
        quoted = false;
      } else {
        field += ch;
      }
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      rows.back().emplace_back();
    } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      field += ch;
    }
  }
  rows.pop_back();  // after the last CR LF
  return rows;
}

TEST(TextExport, CommaModeKeepsEveryCellOneField) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "'a,b"));
  ASSERT_TRUE(s.Enter("B1", "'say\"hi\""));
  ASSERT_TRUE(s.Enter("C1", "'\"\""));
  ASSERT_TRUE(s.Enter("A2", "1234.5"));
  s.Cell("A2")->format = 0x42;  // comma, 2 decimals: 1,234.50
  ASSERT_TRUE(s.Enter("C2", "+\"x\"&@CHR(13)&@CHR(10)&\"y\""));
  ASSERT_TRUE(s.Enter("A3", "'plain"));
  ASSERT_TRUE(s.Enter("B3", "@ERR"));
  std::string csv = ExportTextString(*s.doc, CellRange::Of(0, 0, 2, 2), TextExportMode::Comma);
  EXPECT_EQ(csv,
            "\"a,b\",\"say\"\"hi\"\"\",\"\"\"\"\"\"\r\n"
            "\"1,234.50\",,\"x\r\ny\"\r\n"
            "plain,ERR,\r\n");
  auto rows = ReadCsv(csv);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a,b", "say\"hi\"", "\"\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1,234.50", "", "x\r\ny"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"plain", "ERR", ""}));
}

TEST(TextExport, QuotedModeIsUnchanged) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "1"));
  ASSERT_TRUE(s.Enter("B1", "'say\"hi\""));
  ASSERT_TRUE(s.Enter("C1", "'a b,c"));
  EXPECT_EQ(ExportTextString(*s.doc, CellRange::Of(0, 0, 0, 3), TextExportMode::Quoted),
            "\"1\",\"say\"hi\"\",\"ab,c\",\r\n");
}

// Each kind of cell, in both text modes: numbers and formula values by
// their format, labels without their prefix, errors as ERR, empty cells as
// nothing (never quoted).
TEST(TextExport, EveryCellKindInBothModes) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "7"));          // integer
  ASSERT_TRUE(s.Enter("B1", "0.25"));       // real
  ASSERT_TRUE(s.Enter("C1", "+A1*2"));      // formula
  ASSERT_TRUE(s.Enter("D1", "+\"t\"&\"u\""));  // string formula
  ASSERT_TRUE(s.Enter("E1", "\"right"));    // labels of each prefix
  ASSERT_TRUE(s.Enter("F1", "^mid"));
  ASSERT_TRUE(s.Enter("G1", "+1/0"));       // error value
  // H1 stays empty.
  ASSERT_TRUE(s.Enter("I1", "1"));
  s.Cell("B1")->format = 0x32;  // percent, 2 decimals
  CellRange row = CellRange::Of(0, 0, 0, 8);
  EXPECT_EQ(ExportTextString(*s.doc, row, TextExportMode::Comma), "7,25.00%,14,tu,right,mid,ERR,,1\r\n");
  EXPECT_EQ(ExportTextString(*s.doc, row, TextExportMode::Quoted),
            "\"7\",\"25.00%\",\"14\",\"tu\",\"right\",\"mid\",\"ERR\",,\"1\"\r\n");
}

}  // namespace
}  // namespace tabulon
