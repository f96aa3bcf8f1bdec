#include "io/text_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "io/text_export.h"
#include "sheet/cell_record.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::TestSheet;

// The fields of a line as entered: labels keep their apostrophe.
std::vector<std::string> Split(std::string_view line, char separator = ',', char decimal = '.') {
  std::vector<std::string> out;
  for (const ImportField& f : SplitFields(line, separator, decimal)) out.push_back(f.text);
  return out;
}

using Fields = std::vector<std::string>;

TEST(FieldSplitting, SeparatorsSignsAndExponents) {
  EXPECT_EQ(Split("10 20 30"), (Fields{"10", "20", "30"}));
  EXPECT_EQ(Split("  10;20,30  "), (Fields{"10", "20", "30"}));
  EXPECT_EQ(Split("12-5"), (Fields{"12", "-5"}));
  EXPECT_EQ(Split("1.5E-3 2e+4 -7"), (Fields{"1.5E-3", "2e+4", "-7"}));
  EXPECT_EQ(Split("3(4)@x+1"), (Fields{"3", "(4)", "@x", "+1"}));
  EXPECT_EQ(Split("1    2   3"), (Fields{"1", "2", "3"})) << "a run of blanks is one separator";
}

TEST(FieldSplitting, DelimitedLinesEndFieldsOnlyAtTheirMarks) {
  EXPECT_EQ(Split("two words , 2024-01-05,-3"), (Fields{"two words", "2024-01-05", "-3"}));
  EXPECT_EQ(Split(" \" padded \" ;x"), (Fields{"' padded ", "x"}));
  EXPECT_EQ(Split("1,2,"), (Fields{"1", "2", "'"})) << "a last empty field counts";
  EXPECT_EQ(Split("a b\t\t-1"), (Fields{"a b", "'", "-1"})) << "tab-separated";
}

TEST(FieldSplitting, QuotedFieldsAreLabels) {
  EXPECT_EQ(Split("\"a b\",5"), (Fields{"'a b", "5"}));
  EXPECT_EQ(Split("\"1,5;x-y\""), (Fields{"'1,5;x-y"}));
  EXPECT_EQ(Split("\"say \"\"hi\"\"\""), (Fields{"'say \"hi\""}));
  EXPECT_EQ(Split("\"\",7"), (Fields{"'", "7"}));
  // An unclosed quote takes the rest of the line.
  EXPECT_EQ(Split("\"open, end"), (Fields{"'open, end"}));
  std::vector<ImportField> f = SplitFields("\"12\" 12", ',', '.');
  ASSERT_EQ(f.size(), 2u);
  EXPECT_TRUE(f[0].label);
  EXPECT_FALSE(f[1].label);
}

TEST(FieldSplitting, EmptyFieldsKeepTheirColumns) {
  // Spreadsheets write empty cells as nothing between two commas.
  EXPECT_EQ(Split("1,,3"), (Fields{"1", "'", "3"}));
  EXPECT_EQ(Split(",2"), (Fields{"'", "2"}));
  EXPECT_EQ(Split("1;;;4"), (Fields{"1", "'", "'", "4"}));
  EXPECT_TRUE(Split("").empty());
  EXPECT_TRUE(Split("    ").empty());
}

TEST(FieldSplitting, SeparatorFromTheSettings) {
  EXPECT_EQ(Split("1|2", '|'), (Fields{"1", "2"}));
  EXPECT_EQ(Split("1,2", ';'), (Fields{"1,2"}));
  // A separator equal to the decimal character would cut numbers in two.
  EXPECT_EQ(Split("1,5 2,25", ',', ','), (Fields{"1,5", "2,25"}));
}

class Import : public ::testing::Test {
 protected:
  TestSheet s;
  ImportResult Run(ImportMode mode, std::string_view bytes, int row = 0, int col = 0,
                   TextEncoding enc = TextEncoding::Auto) {
    return ImportTextBytes(*s.doc, mode, CellAddress{static_cast<std::int16_t>(col),
                                                     static_cast<std::int16_t>(row)},
                           bytes, enc);
  }
};

TEST_F(Import, ValuesGoAcrossAndLinesDown) {
  ImportResult r = Run(ImportMode::Values, "10 20 30\r\n\"a b\", 5\n\nx,+A1*2\n", 1, 1);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.lines, 4);
  EXPECT_EQ(s.Number("B2"), 10);
  EXPECT_EQ(s.Number("D2"), 30);
  EXPECT_EQ(s.Text("B3"), "a b");
  EXPECT_EQ(s.Cell("B3")->Kind(), kLabel);
  EXPECT_EQ(s.Number("C3"), 5);
  EXPECT_EQ(s.Cell("B4"), nullptr);  // the empty line still takes its row
  EXPECT_EQ(s.Text("B5"), "x");
  EXPECT_EQ(s.Cell("C5")->Kind(), kFormula);  // fields go through cell entry
  EXPECT_EQ(r.area.Top(), 1);
  EXPECT_EQ(r.area.Bottom(), 4);
  EXPECT_EQ(r.area.Right(), 3);
}

TEST_F(Import, AFieldThatDoesNotCompileBecomesALabel) {
  ASSERT_TRUE(Run(ImportMode::Values, "1 +)( 3").ok);
  EXPECT_EQ(s.Number("A1"), 1);
  EXPECT_EQ(s.Cell("B1")->Kind(), kLabel);
  EXPECT_EQ(s.Number("D1"), 3);
}

TEST_F(Import, TextLinesBecomeLabelsAndLongLinesAreCutAndTold) {
  std::string longLine(300, 'x');
  ImportResult r = Run(ImportMode::Text, "  12 apples\n+A1\n" + longLine + "\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(s.Text("A1"), "  12 apples");
  EXPECT_EQ(s.Cell("A2")->Kind(), kLabel) << "a line is never a formula";
  EXPECT_EQ(s.Text("A3").size(), 239u);
  EXPECT_EQ(r.cutLines, 1);
  EXPECT_NE(r.message.find("1 line was longer than 240"), std::string::npos) << r.message;
}

TEST_F(Import, ContinuesInTheNextColumnAfterTheLastRow) {
  std::string text;
  for (int i = 1; i <= 9000; ++i) text += std::to_string(i) + "\n";
  ImportResult r = Run(ImportMode::Text, text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(s.Text("A8192"), "8192");
  EXPECT_EQ(s.Text("B1"), "8193");
  EXPECT_EQ(s.Text("B808"), "9000");
  EXPECT_EQ(s.Cell("B809"), nullptr);
}

TEST_F(Import, ValuesContinueRightOfTheWidestLine) {
  std::string text;
  for (int i = 0; i < 8192; ++i) text += i == 5 ? "1 2 3\n" : "1\n";
  text += "9 9\n";
  ASSERT_TRUE(Run(ImportMode::Values, text).ok);
  EXPECT_EQ(s.Number("C6"), 3) << "not overwritten by the continuation";
  EXPECT_EQ(s.Number("D1"), 9);
  EXPECT_EQ(s.Number("E1"), 9);
}

TEST_F(Import, StopsAtColumnIVAndSaysHowManyLinesWereLeftOut) {
  std::string text;
  for (int i = 0; i < 8192 + 10; ++i) text += "L\n";
  ImportResult r = Run(ImportMode::Text, text, 0, 255);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 8192);
  EXPECT_EQ(r.droppedLines, 10);
  EXPECT_NE(r.message.find("column IV"), std::string::npos) << r.message;
}

TEST_F(Import, FieldsPastColumnIVAreNotWritten) {
  ASSERT_TRUE(Run(ImportMode::Values, "1 2 3 4", 0, 254).ok);
  EXPECT_EQ(s.Number("IU1"), 1);
  EXPECT_EQ(s.Number("IV1"), 2);
  EXPECT_EQ(s.cells().maxCol(), 255);
}

TEST_F(Import, Utf8IsDetectedAndUnmappableCharactersCounted) {
  // A byte-order mark, e acute, the euro sign and a character the code
  // page lacks.
  ImportResult r = Run(ImportMode::Text, "\xEF\xBB\xBF" "caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD?");
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.utf8);
  EXPECT_EQ(s.Text("A1"), "caf\xE9 \x80 ??");
  EXPECT_EQ(r.unmappable, 1) << "the file's own ? is not counted";
  EXPECT_NE(r.message.find("1 character"), std::string::npos);
}

TEST_F(Import, EightBitTextStaysAsItIs) {
  ImportResult r = Run(ImportMode::Text, "caf\xE9 \x80");
  EXPECT_FALSE(r.utf8);
  EXPECT_EQ(s.Text("A1"), "caf\xE9 \x80");
  EXPECT_TRUE(r.message.empty());
  // Told to read UTF-8, invalid bytes become "?" and are counted.
  TestSheet t;
  ImportResult u = ImportTextBytes(*t.doc, ImportMode::Text, {}, "caf\xE9", TextEncoding::Utf8);
  EXPECT_EQ(t.Text("A1"), "caf?");
  EXPECT_EQ(u.unmappable, 1);
  // Told to read 8-bit, UTF-8 bytes stay bytes.
  TestSheet v;
  ImportTextBytes(*v.doc, ImportMode::Text, {}, "\xC3\xA9", TextEncoding::Cp1252);
  EXPECT_EQ(v.Text("A1"), "\xC3\xA9");
}

TEST_F(Import, BinaryDataIsRefusedAndChangesNothing) {
  s.Enter("A1", "7");
  ImportResult r = Run(ImportMode::Text, std::string("ab\0cd", 5));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("Not a text file"), std::string::npos);
  EXPECT_EQ(s.Number("A1"), 7);
}

TEST_F(Import, ProtectionStopsTheImportWithItsMessage) {
  s.doc->settings().protect = true;
  ImportResult r = Run(ImportMode::Values, "1 2");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Protected Cell");
}

TEST_F(Import, MissingFileAndDirectoryListing) {
  ImportResult r = ImportText(*s.doc, ImportMode::Text, {}, "/nonexistent/x.prn");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "File Not Found");

  fs::path dir = fs::temp_directory_path() / ("tabulon_dir_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* n : {"b.prn", "a.PRN", "c.txt", "d.prnx"}) std::ofstream((dir / n).string()) << "x";
  std::vector<std::string> names = DirectoryListing((dir / "*.prn").string());
  EXPECT_EQ(names, (std::vector<std::string>{"a.PRN", "b.prn"}));
  EXPECT_EQ(DirectoryListing((dir / "*").string()).size(), 4u);
  ASSERT_TRUE(ImportText(*s.doc, ImportMode::Directory, {}, (dir / "x.prn").string()).ok);
  EXPECT_EQ(s.Text("A1"), "a.PRN");
  EXPECT_EQ(s.Text("A2"), "b.prn");
  fs::remove_all(dir);
}

// What the export writes, the import reads back: numbers stay numbers and
// labels stay labels in both text modes.
TEST_F(Import, ExportedTextReadsBack) {
  s.Enter("A1", "1.5");
  s.Enter("B1", "'a, b");
  s.Enter("C1", "-3");
  s.Enter("A2", "'say \"x\"");
  for (TextExportMode mode : {TextExportMode::Comma, TextExportMode::Quoted}) {
    TestSheet back;
    std::string text = ExportTextString(*s.doc, CellRange::Of(0, 0, 1, 2), mode);
    ASSERT_TRUE(ImportTextBytes(*back.doc, ImportMode::Values, {}, text).ok);
    if (mode == TextExportMode::Comma) {
      EXPECT_EQ(back.Number("A1"), 1.5);
      EXPECT_EQ(back.Number("C1"), -3);
      EXPECT_EQ(back.Text("A2"), "say\"x\"") << "spaces dropped, quotes kept";
    }
    EXPECT_EQ(back.Text("B1"), "a,b") << "export drops spaces";
  }
}

}  // namespace
}  // namespace tabulon
