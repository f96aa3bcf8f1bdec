#include "io/xlsx_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "formula/op_table.h"
#include "sheet/cell_record.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::TestSheet;

// Every assigned operation has exactly one row, and the rows that write a
// workbook function take as many arguments as the operation.
TEST(XlsxMappingTable, EveryOperationIsMapped) {
  int translated = 0, valuesOnly = 0;
  for (int op = 0; op < 256; ++op) {
    const OpInfo& info = OpTable(static_cast<std::uint8_t>(op));
    const XlsxOperation* row = XlsxOperationOf(static_cast<std::uint8_t>(op));
    if (!info.assigned()) {
      EXPECT_EQ(row, nullptr) << "unassigned operation " << op << " has a row";
      continue;
    }
    ASSERT_NE(row, nullptr) << "operation " << op << " (" << info.name << ") is not mapped";
    EXPECT_EQ(row->op, op);
    if (row->mapping == XlsxMapping::kValueOnly || row->mapping == XlsxMapping::kConditional) {
      EXPECT_FALSE(row->reason.empty()) << "operation " << op << " needs a reason";
    }
    if (row->mapping == XlsxMapping::kValueOnly) {
      ++valuesOnly;
      continue;
    }
    ++translated;
    if (row->mapping != XlsxMapping::kFunction && row->mapping != XlsxMapping::kTemplate) continue;
    std::string_view sig = row->reason;
    ASSERT_GE(sig.size(), 2u) << op;
    EXPECT_EQ(sig[1], '=') << op;
    std::string_view args = sig.substr(2);
    if (info.cls == kClassVariadic) {
      EXPECT_TRUE(args == "l" || args == "na...") << op;
    } else if (info.cls == kClassPostfix || info.cls == kClassPrefix) {
      EXPECT_EQ(args.size(), 1u) << op;
    } else {
      ASSERT_GE(info.cls, kClassFunction0) << op;
      ASSERT_LE(info.cls, kClassFunction4) << op;
      EXPECT_EQ(args.size(), static_cast<std::size_t>(info.cls - kClassFunction0))
          << "operation " << op << " (" << info.name << ")";
    }
  }
  std::printf("operations translated: %d, written as values: %d\n", translated, valuesOnly);
  EXPECT_GT(translated, 60);
}

struct Case {
  const char* entry;
  const char* workbook;  // null: written as a value
};

class XlsxTranslate : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sheet.Enter("A1", "5"));
    ASSERT_TRUE(sheet.Enter("A2", "7"));
    ASSERT_TRUE(sheet.Enter("A3", "'text"));
    ASSERT_TRUE(sheet.Enter("B1", "1.5"));
  }
  XlsxFormula Translate(const char* text) {
    EXPECT_TRUE(sheet.Enter("H1", text)) << text;
    return TranslateFormula(*sheet.doc, *sheet.Cell("H1"));
  }
  void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      XlsxFormula f = Translate(c.entry);
      if (c.workbook == nullptr) {
        EXPECT_FALSE(f.ok) << c.entry << " became " << f.text;
        EXPECT_FALSE(f.reason.empty()) << c.entry;
      } else {
        EXPECT_TRUE(f.ok) << c.entry << ": " << f.reason;
        EXPECT_EQ(f.text, c.workbook) << c.entry;
      }
    }
  }
  TestSheet sheet;
};

TEST_F(XlsxTranslate, ReferencesAndRanges) {
  Check({
      {"@SUM(A1..B3)", "SUM(A1:B3)"},
      {"@SUM(B3..A1)", "SUM(A1:B3)"},
      {"@SUM(A3..B1)", "SUM(A1:B3)"},
      {"@SUM($B$3..A1)", "SUM(A1:$B$3)"},
      // Each coordinate keeps the flag it was typed with.
      {"@SUM(B$1..$A3)", "SUM($A$1:B3)"},
      {"@SUM($A3..B$1)", "SUM($A$1:B3)"},
      {"+$A$1+A$2+$B1", "$A$1+A$2+$B1"},
  });
}

TEST_F(XlsxTranslate, OperatorsKeepTheirGrouping) {
  Check({
      {"+A1+A2*2", "A1+A2*2"},
      {"(A1+A2)*2", "(A1+A2)*2"},
      {"+A1-(A2-B1)", "A1-(A2-B1)"},
      {"+A1^2", "A1^2"},
      {"+2^A1", "2^A1"},
      {"+A1^2^3", "(A1^2)^3"},
      {"+A1%", "A1%"},
      {"+A1<A2", "--(A1<A2)"},
      {"5!", "FACT(ROUND(5,0))"},
      {"+A3+1", "N(A3)+1"},
      {"+\"a\"\"b\"&A3", "\"a\"\"\"\"b\"&A3"},  // quotes inside a text are doubled
  });
}

TEST_F(XlsxTranslate, OperatorsWhoseMeaningDiffersAreRefused) {
  Check({
      {"+A1^A2", nullptr},         // 0^0 is 0 here, an error there
      {"3#AND#5", nullptr},        // bitwise
      {"+A1#OR#A2", nullptr},
      {"(A1>1)#AND#(A2<9)", "--AND((A1>1),(A2<9))"},
      {"+A3<\"x\"", nullptr},      // texts order differently
      {"+A3=\"TEXT\"", "--EXACT(A3,\"TEXT\")"},
      {"+A3<>\"text\"", "--NOT(EXACT(A3,\"text\"))"},
      {"+A3=1", nullptr},          // text against a number
      {"+B1&\"x\"", nullptr},      // 1.5 becomes text by TABULON's rule
      {"+A1&\"x\"", "A1&\"x\""},
      {"+D9", "IF(ISBLANK(D9),\"\",D9)"},  // empty: "" here, 0 there
      {"+D9+1", "D9+1"},
      {"@IF(A1,D9,2)*2", "N(IF(A1=1,IF(ISBLANK(D9),\"\",D9),2))*2"},
      {"\"a\"+1", nullptr},
      {"@IF(A1,\"x\",1)=\"x\"", nullptr},  // either kind at run time
  });
}

TEST_F(XlsxTranslate, Functions) {
  Check({
      {"@IF(A1>0,10,20)", "IF(A1>0,10,20)"},
      {"@IF(A1,10,20)", "IF(A1=1,10,20)"},
      {"@CASE(2,10,20,30)", "CHOOSE(ROUND(2,0),10,20,30)"},
      {"@MOD(-7,3)", "(-7)-3*TRUNC((-7)/3)"},
      {"@INT(B1)", "TRUNC(B1)"},
      {"@ROUND(B1,2)", "TRUNC(B1*100+IF(B1<0,-0.5,0.5))/100"},
      {"@ROUND(B1,-1)", "TRUNC(B1/10+IF(B1<0,-0.5,0.5))*10"},
      {"@ROUND(B1,0)+1", "TRUNC(B1+IF(B1<0,-0.5,0.5))+1"},
      {"@FLOOR(B1,1)", "IF(B1<0,-1,1)*TRUNC(ABS(B1)*10)/10"},
      {"@CEIL(B1,-2)", "IF(B1<0,-1,1)*100*TRUNC(ABS(B1)/100+0.9999999999)"},
      {"@ROUND(B1,A1)", nullptr},  // decimals that are not a constant
      // Each level repeats its argument eight times.
      {"@SECOND(@SECOND(@SECOND(@SECOND(@SECOND(A1)))))", nullptr},
      {"@COUNT(A1,A2..A3)", "COUNT(N(A1),A2:A3)"},
      {"@SUM(A1,A2..A3)", "SUM(A1,A2:A3)"},
      {"@VAR(A1..A3)", "VARP(A1:A3)"},
      {"@STDU(A1..A3)", "STDEV(A1:A3)"},
      {"@DATE(98,12,31)", "DATE(98,12,31)"},
      {"@DATE(A1,12,31)", nullptr},
      {"@TIME(25,0,0)", "25/24+0/1440+0/86400"},
      {"@TIME(1,2,3)*2", "(1/24+2/1440+3/86400)*2"},
      {"@ISNA(A1)+1", "(A1=-1)+1"},
      {"@ISNUM(A1)", "--ISNUMBER(A1)"},
      {"@LENGTH(A3)", "LEN(A3)"},
      {"@LENGTH(A1)", "LEN(A1)"},  // whole numbers read the same as text
      {"@LENGTH(B1)", nullptr},    // 1.5 would become text by TABULON's rule
      {"@UPPER(\"ab\")&@LOWER(A3)", "UPPER(\"ab\")&LOWER(A3)"},
      {"@NA", nullptr},
      {"@PMT(1000,0.01,12)", "1000*(1+0.01)^12/(((1+0.01)^12-1)/0.01)"},
      {"@VTABLE(5,A1..B3,1)", nullptr},
      {"@SUM(A1..A2)+@NA", nullptr},
  });
}

TEST_F(XlsxTranslate, RefusalsSayWhy) {
  XlsxFormula f = Translate("@VTABLE(5,A1..B3,1)");
  ASSERT_FALSE(f.ok);
  EXPECT_NE(f.reason.find("@VTABLE"), std::string::npos) << f.reason;
  EXPECT_NE(f.reason.find("offsets start at 0"), std::string::npos) << f.reason;
}

TEST_F(XlsxTranslate, RangeNamesBecomeWorkbookNames) {
  ASSERT_TRUE(sheet.doc->names().DefineName("TOTAL", CellRange::Of(0, 0, 2, 0)));
  ASSERT_TRUE(sheet.doc->names().DefineName("TAX1", CellRange::Of(0, 1, 1, 1)));
  ASSERT_TRUE(sheet.doc->names().DefineName("SUM", CellRange::Of(3, 0, 3, 0)));
  ASSERT_TRUE(sheet.doc->names().DefineName("RC", CellRange::Of(4, 0, 4, 0)));
  Check({{"@SUM(TOTAL)", "SUM(TOTAL)"}, {"@SUM(TAX1)", "SUM(_TAX1)"}});
  std::vector<XlsxName> names = WorkbookNames(*sheet.doc);
  std::map<std::string, std::string> exported;
  for (const XlsxName& n : names) exported[n.original] = n.exported;
  EXPECT_EQ(exported["TOTAL"], "TOTAL");
  EXPECT_EQ(exported["TAX1"], "_TAX1");  // a cell address in the workbook
  EXPECT_EQ(exported["SUM"], "_SUM");
  EXPECT_EQ(exported["RC"], "_RC");      // an R1C1 address
}

// Damaged code (as a damaged file may hold) is refused, never followed
// past its end.
TEST(XlsxTranslateDamage, RandomCodeIsRefusedSafely) {
  TestSheet sheet;
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0xFF; };
  int refused = 0;
  for (int round = 0; round < 2000; ++round) {
    std::uint8_t code[256] = {};
    int end = 3 + static_cast<int>(next() % 60);
    code[0] = static_cast<std::uint8_t>(end);
    for (int i = 2; i < end; ++i) code[i] = static_cast<std::uint8_t>(next() % 40);
    code[end] = kOpEnd;
    CellRecord cell{};
    cell.kind = kFormula;
    cell.text = code;
    XlsxFormula f = TranslateFormula(*sheet.doc, cell);
    if (!f.ok) {
      ++refused;
      EXPECT_FALSE(f.reason.empty());
    }
  }
  EXPECT_GT(refused, 1900);
}

// The workbook is a ZIP archive; the test reads its parts with unzip.
std::string Part(const std::string& file, const std::string& part) {
  std::string command = "unzip -p '" + file + "' '" + part + "' 2>/dev/null";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

class XlsxFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("tabulon-xlsx-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    path = (dir / "out.xlsx").string();
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::string path;
  TestSheet sheet;
};

TEST_F(XlsxFile, CellsFormulasCommentsAndNamesReadBack) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "unzip is not installed";
  ASSERT_TRUE(sheet.Enter("A1", "1"));
  ASSERT_TRUE(sheet.Enter("A2", "2"));
  ASSERT_TRUE(sheet.Enter("A3", "\"right"));
  ASSERT_TRUE(sheet.Enter("B1", "@SUM(A1..A2)"));
  ASSERT_TRUE(sheet.Enter("B2", "@CHR(72)"));
  ASSERT_TRUE(sheet.Enter("B3", "1/0"));
  ASSERT_TRUE(sheet.Enter("B4", "+\"a\"&\"b\""));
  ASSERT_TRUE(sheet.doc->names().DefineName("TAX1", CellRange::Of(0, 0, 1, 0)));
  sheet.Cell("A1")->format = kLockBit | 0x02;  // fixed, 2 decimals
  sheet.Cell("A2")->style |= 1;     // bold
  sheet.Cell("A2")->borders = 85;   // single on every edge
  sheet.doc->metrics().SetColumnWidth(1, 150);
  sheet.doc->extras().printRange = CellRange::Of(0, 0, 3, 1);
  sheet.doc->extras().titleRows = CellRange::Of(0, 0, 0, 255);
  sheet.doc->metrics().SetRowHeight(2, 40);
  ASSERT_TRUE(sheet.Enter("C1", "35000.75"));
  ASSERT_TRUE(sheet.Enter("C2", "-1234.5"));
  ASSERT_TRUE(sheet.Enter("C3", "42"));
  sheet.Cell("C1")->format = kLockBit | 114;       // DD-Mon-YYYY
  sheet.Cell("C2")->format = kLockBit | 0x22;      // currency, 2 decimals
  sheet.Cell("C3")->format = kLockBit | 118;       // hidden
  sheet.Cell("C2")->colour = (4u << 24) | 0x00FFFF00u;  // font palette 4 on a cyan shade

  XlsxExportResult r = ExportXlsx(*sheet.doc, path, CellRange());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.formulas, 3u);
  EXPECT_EQ(r.valuesOnly, 1u);
  ASSERT_FALSE(r.notes.empty());
  EXPECT_NE(r.notes[0].find("1 cell written as values: @CHR"), std::string::npos) << r.notes[0];
  EXPECT_NE(r.notes[0].find("first at B2"), std::string::npos) << r.notes[0];

  std::string sheetXml = Part(path, "xl/worksheets/sheet1.xml");
  // A1..A2 is named TAX1, which reads as an address in the workbook.
  EXPECT_NE(sheetXml.find("<f>SUM(_TAX1)</f><v>3</v>"), std::string::npos) << sheetXml;
  EXPECT_NE(sheetXml.find("<f>\"a\"&amp;\"b\"</f><v>ab</v>"), std::string::npos);
  EXPECT_NE(sheetXml.find("<f>1/0</f><v>#VALUE!</v>"), std::string::npos);
  EXPECT_NE(sheetXml.find("<col min=\"2\" max=\"2\""), std::string::npos);
  // @CHR went out as its value, no formula.
  EXPECT_NE(sheetXml.find("<c r=\"B2\" s=\"2\" t=\"s\">"), std::string::npos) << sheetXml;
  EXPECT_EQ(sheetXml.find("CHAR"), std::string::npos);
  std::string comments = Part(path, "xl/comments1.xml");
  EXPECT_NE(comments.find("@CHR(72)"), std::string::npos) << comments;
  std::string book = Part(path, "xl/workbook.xml");
  EXPECT_NE(book.find("name=\"_TAX1\""), std::string::npos) << book;
  EXPECT_NE(book.find("_xlnm.Print_Area"), std::string::npos) << book;
  std::string styles = Part(path, "xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos) << styles;
  EXPECT_NE(styles.find("<b/>"), std::string::npos);
  EXPECT_NE(styles.find("<left style=\"thin\">"), std::string::npos);
  EXPECT_NE(styles.find("horizontal=\"right\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"dd-mmm-yyyy\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"&quot;$&quot;#,##0.00_);(&quot;$&quot;#,##0.00)\""),
            std::string::npos);
  EXPECT_NE(styles.find("formatCode=\";;;\""), std::string::npos);
  // Palette index 4 is shown as entry 2, dark green; the shade 0x00BBGGRR
  // 0x00FFFF00 is cyan.
  EXPECT_NE(styles.find("<color rgb=\"FF008000\"/>"), std::string::npos) << styles;
  EXPECT_NE(styles.find("<fgColor rgb=\"FF00FFFF\"/>"), std::string::npos) << styles;
  EXPECT_NE(sheetXml.find("<row r=\"3\" spans=\"1:3\" ht=\"30\" customHeight=\"1\">"),
            std::string::npos) << sheetXml;
  EXPECT_NE(book.find("_xlnm.Print_Titles"), std::string::npos) << book;
  bool renamed = false;
  for (const std::string& n : r.notes) renamed = renamed || n.find("TAX1 is written as _TAX1") != std::string::npos;
  EXPECT_TRUE(renamed);
}

TEST_F(XlsxFile, BadTargetsLeaveNoFile) {
  ASSERT_TRUE(sheet.Enter("A1", "1"));
  std::string missing = (dir / "no-such-dir" / "out.xlsx").string();
  XlsxExportResult r = ExportXlsx(*sheet.doc, missing, CellRange());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  EXPECT_FALSE(fs::exists(missing));
  r = ExportXlsx(*sheet.doc, dir.string(), CellRange());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  // Nothing is left behind beside the targets.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

TEST_F(XlsxFile, AwkwardTextsAndLongFormulasAreWritten) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "unzip is not installed";
  ASSERT_TRUE(sheet.Enter("A1", std::string("'bell\x07") + "caf\xE9"));
  std::string longFormula = "+\"" + std::string(220, 'x') + "\"&A1";
  ASSERT_TRUE(sheet.Enter("A2", longFormula));
  XlsxExportResult r = ExportXlsx(*sheet.doc, path, CellRange());
  ASSERT_TRUE(r.ok) << r.error;
  std::string strings = Part(path, "xl/sharedStrings.xml");
  EXPECT_NE(strings.find("bell?caf\xC3\xA9"), std::string::npos) << strings;
  bool noted = false;
  for (const std::string& n : r.notes) noted = noted || n.find("control characters") != std::string::npos;
  EXPECT_TRUE(noted);
  EXPECT_EQ(r.formulas, 1u);
}

TEST_F(XlsxFile, RangeLimitsTheCells) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "unzip is not installed";
  ASSERT_TRUE(sheet.Enter("A1", "1"));
  ASSERT_TRUE(sheet.Enter("C5", "2"));
  XlsxExportResult r = ExportXlsx(*sheet.doc, path, CellRange::Of(4, 2, 4, 2));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.cells, 1u);
  std::string sheetXml = Part(path, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheetXml.find("r=\"C5\""), std::string::npos);
  EXPECT_EQ(sheetXml.find("r=\"A1\""), std::string::npos);
}

}  // namespace
}  // namespace tabulon
