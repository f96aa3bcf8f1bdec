#include "io/worksheet_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "edit/cell_text.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::TestSheet;

class WorksheetFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tabulon_wks_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  fs::path dir_;
};

// Builds files record by record.
struct FileBuilder {
  std::vector<std::uint8_t> bytes;
  FileBuilder& Record(std::uint16_t type, std::vector<std::uint8_t> body) {
    Word(type);
    Word(static_cast<std::uint16_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    return *this;
  }
  FileBuilder& Bof() { return Record(0, {0x04, 0x04}); }
  FileBuilder& Eof() { return Record(1, {}); }
  void Word(std::uint16_t w) {
    bytes.push_back(static_cast<std::uint8_t>(w));
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  static std::vector<std::uint8_t> Number(int col, int row, double v, std::uint8_t fmt = 0xFF) {
    std::vector<std::uint8_t> b = {fmt, static_cast<std::uint8_t>(col), 0,
                                   static_cast<std::uint8_t>(row), 0};
    std::uint8_t d[8];
    std::memcpy(d, &v, 8);
    b.insert(b.end(), d, d + 8);
    return b;
  }
  static std::vector<std::uint8_t> Label(int col, int row, const std::string& text) {
    std::vector<std::uint8_t> b = {0xFF, static_cast<std::uint8_t>(col), 0,
                                   static_cast<std::uint8_t>(row), 0};
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return b;
  }
  static std::vector<std::uint8_t> Name(const std::string& name, int c1, int r1, int c2, int r2) {
    std::vector<std::uint8_t> b(16, 0);
    std::memcpy(b.data(), name.data(), name.size());
    for (int v : {c1, r1, c2, r2}) {
      b.push_back(static_cast<std::uint8_t>(v));
      b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return b;
  }
};

// Formula code in position-independent form, for comparing formulas of two
// documents.
std::string RelativeCode(const CellStore& store, const CellRecord& c) {
  std::string code = CodeBytes(c.text);
  ToRelativeForm(reinterpret_cast<std::uint8_t*>(code.data()), store, c.row, c.col);
  return code;
}

// Every cell of `a` must exist in `b` with the same attributes and entry.
void ExpectSameCells(SheetDocument& a, SheetDocument& b) {
  std::size_t seen = 0;
  a.cells().ForEachIn(0, 0, kRowCount - 1, kColumnCount - 1, [&](CellRecord& x) {
    const CellRecord* y = b.cells().FindCell(x.row, x.col);
    std::string where = ColumnLetters(x.col) + std::to_string(x.row + 1);
    // Placeholders without attributes are recreated only where a formula needs them.
    if (x.Kind() == kEmpty && x.format == 0xFF && x.colour == kNewCellColour &&
        x.font == 255 && x.style == 0 && x.borders == 0 && x.fontSize == 0)
      return;
    ++seen;
    ASSERT_NE(y, nullptr) << where;
    EXPECT_EQ(x.KindAndError(), y->KindAndError()) << where;
    EXPECT_EQ(x.format, y->format) << where;
    EXPECT_EQ(x.font, y->font) << where;
    EXPECT_EQ(x.fontSize, y->fontSize) << where;
    EXPECT_EQ(x.style, y->style) << where;
    EXPECT_EQ(x.borders, y->borders) << where;
    EXPECT_EQ(x.colour, y->colour) << where;
    switch (x.Kind()) {
      case kInteger: EXPECT_EQ(x.value.integer, y->value.integer) << where; break;
      case kReal: EXPECT_EQ(x.value.num, y->value.num) << where; break;
      case kLabel: EXPECT_EQ(x.TextView(), y->TextView()) << where; break;
      case kFormula:
        if (!x.HasError()) {
          EXPECT_EQ(x.value.num, y->value.num) << where;
        }
        EXPECT_EQ(RelativeCode(a.cells(), x), RelativeCode(b.cells(), *y)) << where;
        break;
      case kStringFormula:
        EXPECT_EQ(PStringView(x.value.str), PStringView(y->value.str)) << where;
        EXPECT_EQ(RelativeCode(a.cells(), x), RelativeCode(b.cells(), *y)) << where;
        break;
    }
  });
  EXPECT_GT(seen, 0u);
}

void FillVariedSheet(TestSheet& s) {
  ASSERT_TRUE(s.Enter("A1", "12"));
  ASSERT_TRUE(s.Enter("B1", "-2.75"));
  ASSERT_TRUE(s.Enter("C1", "1E+300"));
  ASSERT_TRUE(s.Enter("D1", "40000"));
  ASSERT_TRUE(s.Enter("A2", "'left"));
  ASSERT_TRUE(s.Enter("B2", "^centre"));
  ASSERT_TRUE(s.Enter("C2", "\"right"));
  ASSERT_TRUE(s.Enter("A3", "+A1*2+B1"));
  ASSERT_TRUE(s.Enter("B3", "+$A$1+C4"));  // C4 is below and to the right
  ASSERT_TRUE(s.Enter("C3", "@SUM(A1..B1)"));
  ASSERT_TRUE(s.Enter("D3", "+\"ab\"&\"cd\""));
  ASSERT_TRUE(s.Enter("E3", "@ERR"));
  ASSERT_TRUE(s.Enter("F5", "+A1-E3"));  // a formula that refers up and left
  CellRecord* a1 = s.Cell("A1");
  a1->format = 0x02;  // unlocked, fixed 2
  a1->font = 0;
  a1->fontSize = 14;
  a1->style = 0x13;
  a1->borders = 0x5A;
  a1->colour = 0x0300FF00;
  CellRecord* g9 = s.cells().GetOrCreateCell(8, 6);  // a cell that only carries a format
  g9->format = 0x85;
  g9->borders = 3;
  s.doc->extras().fontNames = {"Courier New"};
}

TEST_F(WorksheetFile, RoundTripKeepsCellsNamesAndSettings) {
  TestSheet s;
  FillVariedSheet(s);
  SheetDocument& d = *s.doc;
  d.names().DefineName("TOTALS", CellRange::Of(0, 0, 2, 3));
  d.names().DefineName("TWELVECHARSX", CellRange::Cell(4, 5));
  d.settings().protect = true;
  d.settings().hideZeros = true;
  d.settings().negativeColour = true;
  d.settings().labelPrefix = '^';
  d.settings().defaultFormat = 0x22;
  d.settings().pageHeight = 2048;
  d.metrics().columnWidths[2] = 120;
  d.metrics().rowHeights[7] = 30;
  WorksheetExtras& x = d.extras();
  x.title = "Budget";
  x.comments = "line one\rline two\r";
  x.printRange = CellRange::Of(0, 0, 9, 3);
  x.printHeader = "Head";
  x.margins = {1.0, 0.75, 0.25, 1.5, 0.3, 0.4};
  x.pageTabs = {"Jan", "Feb", "Mar", "Apr"};
  x.sortKeys[3] = CellRange::Cell(1, 1);
  x.sortAscending[3] = false;
  x.settingsOption = 7;
  x.createdTime = 0.5;
  x.createdDate = 35000;
  // Every byte of the graph records travels, reserved ones included.
  x.graphs.current.reserved691[100] = 0x42;
  x.graphs.current.type = static_cast<std::uint8_t>(GraphType::Radar);
  x.graphs.current.x = CellRange::Of(0, 0, 9, 0);
  x.graphs.current.series[5] = CellRange::Of(0, 1, 9, 1);
  x.graphs.current.SetHeading(kMainHeading, "Sales by quarter");
  x.graphs.current.axes[1].high = 1e6;
  x.graphs.current.axes[1].workingMinor = 0x1234;
  ErrorChannel errors;
  ASSERT_EQ(x.graphs.Create("FIRST", errors), 1);
  x.graphs.current.SetLegend(2, "East");
  ASSERT_EQ(x.graphs.Create("SECOND", errors), 2);
  x.buttons.push_back({});
  x.buttons.back()[0] = 2;
  std::string path = Path("ROUND.WKS");
  ASSERT_TRUE(SaveWorksheet(d, path, {}, "tester"));
  EXPECT_FALSE(d.settings().modified);

  TestSheet t;
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  ASSERT_TRUE(r.ok) << r.message;
  SheetDocument& e = *t.doc;
  ExpectSameCells(d, e);
  ExpectSameCells(e, d);
  EXPECT_EQ(t.Number("A3"), 21.25);
  EXPECT_EQ(t.Text("D3"), "abcd");
  EXPECT_FALSE(e.settings().modified);
  EXPECT_TRUE(t.IsError("E3"));
  EXPECT_TRUE(t.IsError("F5"));
  // Links are live again: a change flows to the dependents.
  ASSERT_TRUE(t.Enter("A1", "1"));
  EXPECT_EQ(t.Number("A3"), -0.75);

  ASSERT_EQ(e.names().count(), 2);
  EXPECT_EQ(*e.names().Lookup("TOTALS"), CellRange::Of(0, 0, 2, 3));
  EXPECT_NE(e.names().Lookup("TWELVECHARSX"), nullptr);
  EXPECT_TRUE(e.settings().protect);
  EXPECT_TRUE(e.settings().hideZeros);
  EXPECT_TRUE(e.settings().negativeColour);
  EXPECT_EQ(e.settings().labelPrefix, '^');
  EXPECT_EQ(e.settings().defaultFormat, 0x22);
  EXPECT_EQ(e.settings().pageHeight, 2048);
  EXPECT_EQ(e.metrics().columnWidths[2], 120);
  EXPECT_EQ(e.metrics().columnWidths[3], kDefaultColumnWidth);
  EXPECT_EQ(e.metrics().rowHeights[7], 30);
  const WorksheetExtras& y = e.extras();
  EXPECT_EQ(y.title, "Budget");
  EXPECT_EQ(y.comments, x.comments);
  EXPECT_EQ(y.revisedBy, "tester");
  EXPECT_EQ(y.printRange, x.printRange);
  EXPECT_EQ(y.printHeader, "Head");
  EXPECT_EQ(y.margins, x.margins);
  EXPECT_EQ(y.pageTabs, x.pageTabs);
  EXPECT_EQ(y.sortKeys[3], x.sortKeys[3]);
  EXPECT_FALSE(y.sortAscending[3]);
  EXPECT_EQ(y.settingsOption, 7);
  EXPECT_EQ(y.createdDate, 35000);
  // The file holds the record from offset 13 to 834: the blocks compare.
  auto sameBlocks = [](const GraphSettings& a, const GraphSettings& b) {
    return GraphBlock(a) == GraphBlock(b) && GraphExtBlock(a) == GraphExtBlock(b);
  };
  EXPECT_TRUE(sameBlocks(y.graphs.current, x.graphs.current));
  ASSERT_EQ(y.graphs.named.size(), 2u);
  EXPECT_TRUE(sameBlocks(y.graphs.named[0].settings, x.graphs.named[0].settings));
  EXPECT_EQ(y.graphs.named[0].name(), "FIRST");
  EXPECT_EQ(y.graphs.named[0].settings.Heading(kMainHeading), "Sales by quarter");
  EXPECT_EQ(y.graphs.named[1].name(), "SECOND");
  EXPECT_EQ(y.graphs.named[1].settings.Legend(2), "East");
  EXPECT_EQ(y.buttons, x.buttons);
  EXPECT_EQ(y.fontNames, std::vector<std::string>{"Courier New"});
  EXPECT_EQ(e.fileName(), path);

  // Saving the loaded sheet again gives the same bytes.
  std::string again = Path("AGAIN.WKS");
  ASSERT_TRUE(t.Enter("A1", "12"));
  ASSERT_TRUE(SaveWorksheet(e, again, {}, "tester"));
  EXPECT_EQ(ReadAll(path), ReadAll(again));
}

TEST_F(WorksheetFile, UserFunctionsTravelWithTheSheet) {
  TestSheet s;
  Engine(s.session).masterFunctions = ParseUserFunctionFile("TWICE,1\n@A(1)*2\n");
  ASSERT_TRUE(s.Enter("A1", "21"));
  ASSERT_TRUE(s.Enter("B1", "@TWICE(A1)"));
  ASSERT_EQ(s.Number("B1"), 42);
  std::string path = Path("UDF.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));

  // A session that never heard of the function, with another one at index 1.
  TestSheet t;
  Engine(t.session).usedFunctions.push_back({"OTHER", "@A(1)+1", 1});
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  EXPECT_EQ(t.Number("B1"), 42);
  ASSERT_TRUE(t.Enter("A1", "5"));
  EXPECT_EQ(t.Number("B1"), 10);
}

TEST_F(WorksheetFile, FormulaRecordHoldsCodeWithoutItsHeader) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("C3", "+A1"));
  std::string path = Path("F.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  std::vector<std::uint8_t> f = ReadAll(path);
  // Find the formula record for C3: type 16, length 21.
  std::size_t pos = 0;
  bool found = false;
  while (pos + 4 <= f.size()) {
    int type = f[pos] | (f[pos + 1] << 8), len = f[pos + 2] | (f[pos + 3] << 8);
    if (type == 16) {
      found = true;
      ASSERT_EQ(len, 21);
      const std::uint8_t* b = f.data() + pos + 4;
      EXPECT_EQ(b[1], 2);  // column C
      EXPECT_EQ(b[3], 2);  // row 3
      EXPECT_EQ(b[13] | (b[14] << 8), 6);
      // Cell operation, two columns left, two rows up, relative; then the end.
      const std::uint8_t code[6] = {1, 0xFE, 0xBF, 0xFE, 0xBF, 3};
      EXPECT_EQ(std::memcmp(b + 15, code, 6), 0);
      break;
    }
    if (type == 1) break;
    pos += 4 + len;
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(IsWorksheetFile(path));
}

TEST_F(WorksheetFile, CorpusFilesFromOtherPrograms) {
  fs::path corpus = TABULON_CORPUS_DIR;
  if (!fs::exists(corpus / "write_L1.wks")) GTEST_SKIP() << "no corpus";
  for (const char* name : {"write_L1.wks", "write_L2.wk1"}) {
    SCOPED_TRACE(name);
    TestSheet t;
    LoadResult r = LoadWorksheet(*t.doc, (corpus / name).string(), 0);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(t.Number("A1"), 1);
    EXPECT_EQ(t.Number("B1"), 2);
    EXPECT_EQ(t.Number("C1"), 3);
    EXPECT_EQ(t.Text("D2"), "sheetjs");
    EXPECT_EQ(t.Text("A3"), "foo");
    EXPECT_EQ(t.Text("B3"), "bar");
    EXPECT_EQ(t.Number("C3"), 41689);
    EXPECT_DOUBLE_EQ(t.Number("D3"), 0.3);
    EXPECT_EQ(t.Text("A4"), "baz");
    EXPECT_EQ(t.Text("C4"), "qux");
    // @TRUE and @FALSE, linked and runnable.
    ASSERT_TRUE(t.Cell("A2") && t.Cell("A2")->IsFormula());
    EXPECT_EQ(CodeBytes(t.Cell("A2")->text), std::string("\x03\x00\x34\x03", 4));
    EXPECT_EQ(CodeBytes(t.Cell("B2")->text), std::string("\x03\x00\x33\x03", 4));
    EXPECT_EQ(t.Cell("C3")->format, 0xF9);
  }
  {
    TestSheet t;
    ASSERT_TRUE(LoadWorksheet(*t.doc, (corpus / "crlfq9.wks").string(), 0).ok);
    EXPECT_EQ(t.Text("B2"), "abc\r\ndef");
    EXPECT_EQ(t.Text("A1"), "Normal");
    EXPECT_EQ(t.doc->metrics().columnWidths[0], 72);
  }
  // Other dialects: never a crash, and a refusal says so.
  for (const char* name : {"crlfw4_2.wks", "crlfw4_3.wks", "crlfq9.wk1"}) {
    TestSheet t;
    LoadResult r = LoadWorksheet(*t.doc, (corpus / name).string(), 0);
    if (!r.ok) {
      EXPECT_FALSE(r.message.empty());
    }
  }
  TestSheet t;
  EXPECT_FALSE(LoadWorksheet(*t.doc, (corpus / "crlfw4_3.wks").string(), 0).ok);
}

TEST_F(WorksheetFile, FileEndingAfterStandardSectionAndUnknownRecords) {
  FileBuilder b;
  b.Bof()
      .Record(0x77, {1, 2, 3})                       // unknown
      .Record(13, {0xFF, 0, 0, 0, 0, 5, 0, 9, 9})    // integer record too long: skipped
      .Record(14, FileBuilder::Number(1, 0, 2.5))
      .Record(0x4F0E, FileBuilder::Number(2, 0, 7))  // colour in the type's high byte
      .Record(15, FileBuilder::Label(0, 1, "'hello"))
      .Eof();
  std::string path = Path("SHORT.WKS");
  WriteAll(path, b.bytes);
  TestSheet t;
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(t.Cell("A1"), nullptr);
  EXPECT_EQ(t.Number("B1"), 2.5);
  EXPECT_EQ(t.Text("A2"), "hello");
  ASSERT_NE(t.Cell("C1"), nullptr);
  EXPECT_EQ(t.Cell("C1")->colour, 0x0F000080u);  // shade: palette entry 4; font colour 15

  // Saved again, the colour comes back from the attribute record.
  std::string again = Path("AGAIN.WKS");
  ASSERT_TRUE(SaveWorksheet(*t.doc, again));
  TestSheet u;
  ASSERT_TRUE(LoadWorksheet(*u.doc, again, 0).ok);
  EXPECT_EQ(u.Cell("C1")->colour, 0x0F000080u);
}

TEST_F(WorksheetFile, ExtensionRecordsOfAHandMadeFile) {
  auto words = [](std::initializer_list<int> ws) {
    std::vector<std::uint8_t> v;
    for (int w : ws) {
      v.push_back(static_cast<std::uint8_t>(w));
      v.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return v;
  };
  auto font = [](int number, const std::string& name) {
    std::vector<std::uint8_t> v = {static_cast<std::uint8_t>(number), 0};
    v.insert(v.end(), name.begin(), name.end());
    v.push_back(0);
    return v;
  };
  auto attributes = [](int row, int col, int fontNumber, std::uint32_t colour) {
    std::vector<std::uint8_t> v = {static_cast<std::uint8_t>(row), 0, static_cast<std::uint8_t>(col),
                                   0, static_cast<std::uint8_t>(fontNumber), 11, 1, 0};
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(colour >> (8 * i)));
    return v;
  };
  FileBuilder b;
  b.Bof()
      .Record(8, {3, 0, 20})  // standard width, overridden by the extension's
      .Record(14, FileBuilder::Number(0, 0, 1))
      .Record(14, FileBuilder::Number(1, 0, 2))
      .Eof();
  b.bytes.push_back(0x1A);
  b.bytes.push_back(0x00);
  std::vector<std::uint8_t> layout = words({4, 0x0101, 0x0101, 1, 2, 3, 4, 100, 200, 5, 6, 7});
  layout.resize(26);
  b.Record(116, font(7, "Times"))
      .Record(116, font(3, "Arial"))
      .Record(200, {1, 2, 3})  // unknown: skipped
      .Record(8, attributes(0, 0, 7, 0x80FF0000u))
      .Record(8, attributes(0, 1, 3, 0xC0000000u))
      .Record(8, attributes(5, 5, 3, 0))  // no cell there: skipped
      .Record(11, {3, 0, 12})
      .Record(10, words({9, 40}))
      .Record(120, layout)
      .Eof();
  std::string path = Path("HAND.WKS");
  WriteAll(path, b.bytes);
  TestSheet t;
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  ASSERT_TRUE(r.ok) << r.message;
  const WorksheetExtras& x = t.doc->extras();
  ASSERT_EQ(x.fontNames, (std::vector<std::string>{"Times", "Arial"}));
  EXPECT_EQ(t.Cell("A1")->font, 0);
  EXPECT_EQ(t.Cell("A1")->fontSize, 11);
  EXPECT_EQ(t.Cell("A1")->colour, 0x80FF0000u);
  EXPECT_EQ(t.Cell("B1")->font, 1);
  EXPECT_EQ(t.Cell("F6"), nullptr);
  EXPECT_EQ(t.doc->metrics().columnWidths[3], 96);
  EXPECT_EQ(t.doc->metrics().rowHeights[9], 40);
  EXPECT_EQ(t.doc->settings().pageHeight, 2048);
  EXPECT_EQ(x.layout.activePane, 1);
  EXPECT_EQ(x.layout.pane1.cursorCol, 3);
  EXPECT_EQ(x.layout.pane1Width, 200);
  EXPECT_EQ(x.layout.pane2.leftCol, 5);
}

TEST_F(WorksheetFile, GraphRecordsOfAHandMadeFile) {
  std::mt19937 rng(7);
  auto noise = [&](std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
  };
  std::vector<std::uint8_t> block = noise(kGraphBlockBytes);
  block[kGraphBlockBytes - 2] = 0;  // X step 0 and Y step 1 are raised to 5
  block[kGraphBlockBytes - 1] = 1;
  auto named = [&](const std::string& name) {
    std::vector<std::uint8_t> v(kGraphFileNameBytes, 0);
    std::memcpy(v.data(), name.data(), name.size());
    std::vector<std::uint8_t> b = noise(kGraphBlockBytes);
    v.insert(v.end(), b.begin(), b.end());
    return v;
  };
  FileBuilder f;
  f.Bof().Record(45, block);
  std::vector<std::vector<std::uint8_t>> names;
  for (int i = 0; i < 11; ++i) {
    names.push_back(named(i == 0 ? "FIFTEENCHARSXYZ" : "G" + std::to_string(i)));
    f.Record(46, names.back());
  }
  f.Eof();
  f.bytes.push_back(0x1A);
  f.bytes.push_back(0x00);
  std::vector<std::uint8_t> ext = noise(kGraphExtBlockBytes);
  std::vector<std::uint8_t> ext1 = noise(kGraphExtBlockBytes);
  f.Record(45, ext).Record(46, noise(kGraphExtBlockBytes - 1)).Record(46, ext1);
  for (int i = 0; i < 12; ++i) f.Record(46, noise(kGraphExtBlockBytes));  // the last two have no slot
  f.Eof();
  std::string path = Path("GRAPHS.WKS");
  WriteAll(path, f.bytes);
  TestSheet t;
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  ASSERT_TRUE(r.ok) << r.message;

  const GraphBook& g = t.doc->extras().graphs;
  auto loaded = GraphBlock(g.current);
  EXPECT_TRUE(std::equal(loaded.begin(), loaded.end() - 2, block.begin()));
  EXPECT_EQ(g.current.axes[0].step, 5);
  EXPECT_EQ(g.current.axes[1].step, 5);
  auto loadedExt = GraphExtBlock(g.current);
  EXPECT_TRUE(std::equal(loadedExt.begin(), loadedExt.end(), ext.begin()));
  // Ten slots; the eleventh record replaced the last one.
  ASSERT_EQ(g.named.size(), 10u);
  EXPECT_EQ(g.named[0].name(), "FIFTEENCHARS") << "the record's name field keeps 12";
  EXPECT_EQ(g.named[9].name(), "G10");
  auto first = GraphBlock(g.named[0].settings);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), names[0].begin() + kGraphFileNameBytes));
  // The 384-byte extension was skipped, so the next one fills the first slot.
  auto firstExt = GraphExtBlock(g.named[0].settings);
  EXPECT_TRUE(std::equal(firstExt.begin(), firstExt.end(), ext1.begin()));

  // Written again, each named graph's record is the one read, name included.
  std::string again = Path("AGAIN.WKS");
  ASSERT_TRUE(SaveWorksheet(*t.doc, again));
  std::vector<std::uint8_t> out = ReadAll(again);
  auto contains = [&](const std::vector<std::uint8_t>& body) {
    return std::search(out.begin(), out.end(), body.begin(), body.end()) != out.end();
  };
  EXPECT_TRUE(contains(names[0]));
  EXPECT_TRUE(contains(names[10]));
  EXPECT_TRUE(contains(ext1));
}

// Every finite number reads back exactly; only bit patterns that are no
// number at all become 0.
TEST_F(WorksheetFile, OnlyNonFiniteNumbersLoadAsZero) {
  FileBuilder b;
  b.Bof();
  const double values[] = {1e305, 1e306, 1e-310, std::ldexp(1.0, -129), 3e-39,
                           -1.7e308, INFINITY, -INFINITY, NAN, -0.0};
  for (int i = 0; i < 10; ++i) b.Record(14, FileBuilder::Number(0, i, values[i]));
  b.Eof();
  std::string path = Path("VALUES.WKS");
  WriteAll(path, b.bytes);
  TestSheet t;
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(t.Number("A" + std::to_string(i + 1)), values[i]) << i;
  for (int i = 6; i < 10; ++i) {
    EXPECT_EQ(t.Number("A" + std::to_string(i + 1)), 0) << i;
    EXPECT_FALSE(std::signbit(t.Number("A" + std::to_string(i + 1)))) << i;
  }
}

// What the sheet accepts, typed or computed, survives saving and loading.
TEST_F(WorksheetFile, ExtremeNumbersRoundTripExactly) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "1e306"));
  ASSERT_TRUE(s.Enter("A2", "1.7e308"));
  ASSERT_TRUE(s.Enter("A3", "+1E305*10"));
  ASSERT_TRUE(s.Enter("A4", "2.5e-310"));
  ASSERT_TRUE(s.Enter("A5", "1.5e-39"));
  ASSERT_TRUE(s.Enter("A6", "-4.9e-324"));
  ASSERT_TRUE(s.Enter("A7", "+A4/2"));
  std::string path = Path("EXTREME.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  TestSheet t;
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  for (int r = 1; r <= 7; ++r) {
    std::string a = "A" + std::to_string(r);
    ASSERT_NE(s.Number(a), 0) << a;
    EXPECT_EQ(t.Number(a), s.Number(a)) << a;
  }
}

TEST_F(WorksheetFile, LongLabelsAndFormulasSurviveTheRoundTrip) {
  TestSheet s;
  std::string label = "'" + std::string(239, 'x');
  ASSERT_TRUE(s.Enter("A1", label));
  std::string formula = "+1";
  for (int i = 0; i < 37; ++i) formula += "+A1";  // code of 227 bytes
  ASSERT_TRUE(s.Enter("A2", formula));
  ASSERT_GT(CodeEnd(s.Cell("A2")->text), 225);
  std::string path = Path("LONG.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  TestSheet t;
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  EXPECT_EQ(t.Cell("A1")->TextView(), label);
  ASSERT_TRUE(t.Cell("A2") && t.Cell("A2")->IsFormula());
  EXPECT_EQ(RelativeCode(s.cells(), *s.Cell("A2")), RelativeCode(t.cells(), *t.Cell("A2")));
}

// A sheet saved under manual recalculation with a result left out of date:
// opening keeps what the file says, a merge brings it up to date.
TEST_F(WorksheetFile, OpenKeepsStoredResultsAndMergeRecalculates) {
  std::string path = Path("STALE.WKS");
  {
    TestSheet s;
    s.doc->settings().manualRecalc = true;
    ASSERT_TRUE(s.Enter("A1", "1"));
    ASSERT_TRUE(s.Enter("B1", "+A1*2"));
    ASSERT_TRUE(s.Enter("A1", "5"));
    ASSERT_EQ(s.Number("B1"), 2);
    ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  }
  for (bool automatic : {false, true}) {
    TestSheet t;
    ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
    if (automatic) t.doc->settings().manualRecalc = false;
    EXPECT_EQ(t.Number("B1"), 2);
    // The formula is registered all the same: a change reaches it.
    ASSERT_TRUE(t.Enter("A1", "7"));
    EXPECT_EQ(t.Number("B1"), automatic ? 14 : 2);
    RecalcAll(*t.doc);
    EXPECT_EQ(t.Number("B1"), 14);
  }
  TestSheet m;
  ASSERT_TRUE(LoadWorksheet(*m.doc, path, kMergeInto, {0, 0}).ok);
  EXPECT_EQ(m.Number("B1"), 10);
}

class MergeTest : public WorksheetFile {
 protected:
  std::string SourceFile() {
    TestSheet src;
    EXPECT_TRUE(src.Enter("A1", "1"));
    EXPECT_TRUE(src.Enter("B2", "3"));
    EXPECT_TRUE(src.Enter("C2", "4"));
    EXPECT_TRUE(src.Enter("B3", "+B2*10"));
    EXPECT_TRUE(src.Enter("C3", "+\"t\"&\"x\""));
    EXPECT_TRUE(src.Enter("D4", "99"));
    src.doc->names().DefineName("PART", CellRange::Of(1, 1, 2, 2));
    std::string path = Path("SRC.WKS");
    EXPECT_TRUE(SaveWorksheet(*src.doc, path));
    return path;
  }
};

TEST_F(MergeTest, RangeNameFilterPlacesTheAreaAtTheInsertCell) {
  std::string path = SourceFile();
  TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "'keep"));
  LoadResult r = LoadWorksheet(*t.doc, path, kMergeInto | kCombineReplace, {4, 10}, "part");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.cells, 4u);
  EXPECT_EQ(t.Text("A1"), "keep");
  EXPECT_EQ(t.Number("E11"), 3);
  EXPECT_EQ(t.Number("F11"), 4);
  EXPECT_EQ(t.Number("E12"), 30);  // relative reference moved with the formula
  EXPECT_EQ(t.Text("F12"), "tx");
  EXPECT_EQ(t.Cell("B2"), nullptr);
  EXPECT_EQ(t.Cell("D4"), nullptr);
  EXPECT_EQ(t.doc->names().count(), 0);  // a filtered merge defines no names
}

TEST_F(MergeTest, SubtractAndValuesOnly) {
  std::string path = SourceFile();
  TestSheet t;
  ASSERT_TRUE(t.Enter("B2", "10"));
  ASSERT_TRUE(t.Enter("C3", "+B2"));
  LoadResult r = LoadWorksheet(*t.doc, path, kMergeInto | kCombineSubtract | kValuesOnly, {0, 0},
                               "A1..D4");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(t.Number("B2"), 7);
  EXPECT_EQ(t.Number("C2"), 4);           // no cell there: taken as it is
  EXPECT_FALSE(t.Cell("B3")->IsFormula());  // values only
  EXPECT_EQ(t.Number("B3"), 30);
  EXPECT_EQ(t.Text("C3"), "tx");  // the text value became a label
  EXPECT_EQ(t.Cell("C3")->Kind(), kLabel);
  // Without a filter the names come along, shifted with the cells.
  TestSheet u;
  ASSERT_TRUE(LoadWorksheet(*u.doc, path, kMergeInto, {1, 2}).ok);
  EXPECT_EQ(*u.doc->names().Lookup("PART"), CellRange::Of(3, 2, 4, 3));
  EXPECT_EQ(u.Number("B3"), 1);
}

TEST_F(WorksheetFile, ExtractWritesOnlyTheRangeAtTheOrigin) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "5"));
  ASSERT_TRUE(s.Enter("C3", "7"));
  ASSERT_TRUE(s.Enter("D3", "+C3*2"));
  ASSERT_TRUE(s.Enter("C4", "'lbl"));
  s.doc->names().DefineName("N", CellRange::Cell(0, 0));
  std::string path = Path("EXTRACT.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path, CellRange::Of(2, 2, 3, 3)));
  EXPECT_TRUE(ListFileRangeNames(path).empty());  // no settings records in an extract
  TestSheet t;
  ASSERT_TRUE(LoadWorksheet(*t.doc, path, 0).ok);
  EXPECT_EQ(t.Number("A1"), 7);
  EXPECT_EQ(t.Number("B1"), 14);
  EXPECT_EQ(t.Text("A2"), "lbl");
  EXPECT_EQ(t.cells().recordCount(), 3u);
}

TEST_F(WorksheetFile, ListsRangeNamesButNotTheSettingsName) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "1"));
  std::string path = Path("NAMES.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  EXPECT_TRUE(ListFileRangeNames(path).empty());
  s.doc->names().DefineName("LONGERNAME12", CellRange::Of(0, 0, 99, 25));
  s.doc->names().DefineName("AB", CellRange::Cell(2, 1));
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  std::vector<FileRangeName> names = ListFileRangeNames(path);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].text, "AB B3");
  EXPECT_EQ(names[1].name, "LONGERNAME12");
  EXPECT_EQ(names[1].text.size(), 16u);
}

TEST_F(WorksheetFile, SaveKeepsABackupAndAFailedSaveDamagesNothing) {
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "1"));
  std::string path = Path("BUDGET");  // no extension: .WKS is added
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  EXPECT_TRUE(fs::exists(Path("BUDGET.WKS")));
  EXPECT_FALSE(fs::exists(Path("BUDGET.WKB")));
  std::vector<std::uint8_t> first = ReadAll(Path("BUDGET.WKS"));
  ASSERT_TRUE(s.Enter("A1", "2"));
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  EXPECT_EQ(ReadAll(Path("BUDGET.WKB")), first);
  std::vector<std::uint8_t> second = ReadAll(Path("BUDGET.WKS"));
  EXPECT_NE(second, first);

  // The temporary file cannot be created: the message, and both files stay.
  fs::create_directory(Path("BUDGET.WKS.~tmp"));
  ASSERT_TRUE(s.Enter("A1", "3"));
  EXPECT_FALSE(SaveWorksheet(*s.doc, path));
  EXPECT_EQ(s.session.errors().message(), "Unable to CLOSE file");
  EXPECT_EQ(ReadAll(Path("BUDGET.WKS")), second);
  EXPECT_EQ(ReadAll(Path("BUDGET.WKB")), first);
  EXPECT_TRUE(s.doc->settings().modified);

  // A directory where the file should go.
  fs::create_directory(Path("DIR.WKS"));
  EXPECT_FALSE(SaveWorksheet(*s.doc, Path("DIR.WKS")));
  EXPECT_TRUE(fs::is_directory(Path("DIR.WKS")));
}

class MalformedInput : public WorksheetFile {
 protected:
  void SetUp() override {
    WorksheetFile::SetUp();
    TestSheet s;
    FillVariedSheet(s);
    s.doc->names().DefineName("NAMED", CellRange::Of(0, 0, 1, 1));
    good_ = Path("GOOD.WKS");
    ASSERT_TRUE(SaveWorksheet(*s.doc, good_));
    bytes_ = ReadAll(good_);
  }
  // Loads into a sheet that already has content; a failure must leave it
  // as it was.
  LoadResult LoadOver(const std::string& path, unsigned options = 0) {
    TestSheet t;
    EXPECT_TRUE(t.Enter("A1", "77"));
    EXPECT_TRUE(t.Enter("B1", "+A1+1"));
    LoadResult r = LoadWorksheet(*t.doc, path, options);
    EXPECT_EQ(r.ok, r.status == LoadStatus::Loaded);
    if (r.status == LoadStatus::Recovered) {
      EXPECT_EQ(options & kMergeInto, 0u) << "only an open recovers";
      EXPECT_TRUE(t.host.messages.empty()) << "showing the message is the caller's business";
      EXPECT_EQ(t.doc->fileName(), "") << "a recovered sheet is untitled";
      EXPECT_TRUE(t.doc->settings().modified);
      EXPECT_FALSE(t.Cell("A1") != nullptr && t.Number("A1") == 77) << "the old contents went";
    }
    if (r.status == LoadStatus::Failed) {
      EXPECT_FALSE(r.message.empty());
      EXPECT_EQ(t.Number("A1"), 77);
      EXPECT_EQ(t.Number("B1"), 78);
      EXPECT_EQ(t.cells().recordCount(), 2u);
    }
    return r;
  }
  std::size_t StandardEnd() const {  // offset just after the first end-of-file record
    std::size_t pos = 0;
    while (pos + 4 <= bytes_.size()) {
      int type = bytes_[pos], len = bytes_[pos + 2] | (bytes_[pos + 3] << 8);
      pos += 4 + len;
      if (type == 1) return pos;
    }
    return 0;
  }
  std::string good_;
  std::vector<std::uint8_t> bytes_;
};

// A file cut anywhere keeps every cell whose record was read whole, says so
// and opens untitled; only a cut before the first cell leaves nothing worth
// keeping, and only a cut between the sections is a complete file.
TEST_F(MalformedInput, EveryTruncationKeepsTheCellsBeforeTheCut) {
  std::size_t standardEnd = StandardEnd();
  ASSERT_GT(standardEnd, 0u);
  TestSheet whole;
  ASSERT_TRUE(LoadWorksheet(*whole.doc, good_, 0).ok);
  // The cell records of the standard section and where each one ends.
  struct CellAt {
    std::size_t end;
    int row, col;
  };
  std::vector<CellAt> records;
  for (std::size_t pos = 6; pos + 4 <= standardEnd;) {
    int type = bytes_[pos], len = bytes_[pos + 2] | (bytes_[pos + 3] << 8);
    pos += 4 + len;
    if (type >= 12 && type <= 16)
      records.push_back({pos, bytes_[pos - len + 3] | (bytes_[pos - len + 4] << 8),
                         bytes_[pos - len + 1]});
  }
  ASSERT_GE(records.size(), 13u);
  std::string path = Path("CUT.WKS");
  int recovered = 0;
  for (std::size_t n = 0; n < bytes_.size(); ++n) {
    SCOPED_TRACE("cut at " + std::to_string(n) + " of " + std::to_string(bytes_.size()));
    WriteAll(path, std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + n));
    LoadResult r = LoadOver(path);
    bool complete = n == standardEnd || n == standardEnd + 1 || n >= bytes_.size() - 2;
    std::size_t kept = 0;
    while (kept < records.size() && records[kept].end <= std::min(n, standardEnd)) ++kept;
    if (complete) {
      EXPECT_EQ(r.status, LoadStatus::Loaded);
      continue;
    }
    if (kept == 0) {
      EXPECT_EQ(r.status, LoadStatus::Failed);
      EXPECT_EQ(r.message, "Invalid WKS File!");
      continue;
    }
    ASSERT_EQ(r.status, LoadStatus::Recovered);
    ++recovered;
    EXPECT_EQ(r.cells, kept);
    EXPECT_EQ(r.message, "Invalid WKS File! Recovered " + std::to_string(kept) +
                             (kept == 1 ? " cell" : " cells") + " read before the damage.");
    // The recovered sheet, loaded again the same way, compared with the
    // whole file's: the same contents for every record kept.
    TestSheet t;
    ASSERT_EQ(LoadWorksheet(*t.doc, path, 0).status, LoadStatus::Recovered);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const CellRecord* want = whole.cells().FindCell(records[i].row, records[i].col);
      const CellRecord* got = t.cells().FindCell(records[i].row, records[i].col);
      ASSERT_NE(want, nullptr);
      if (i >= kept) {
        EXPECT_TRUE(got == nullptr || got->Kind() == kEmpty) << "record " << i << " was cut";
        continue;
      }
      ASSERT_NE(got, nullptr) << "record " << i;
      EXPECT_EQ(got->format, want->format) << "record " << i;
      EXPECT_EQ(CellEditText(*t.doc, got), CellEditText(*whole.doc, want)) << "record " << i;
    }
  }
  EXPECT_GT(recovered, static_cast<int>(bytes_.size() / 2));
}

// Damage in the middle: a formula with unsound code ends the reading, the
// cells before it stay, and results that depended on what was lost are
// brought up to date.
TEST_F(MalformedInput, ABrokenRecordKeepsTheCellsBeforeIt) {
  FileBuilder f;
  f.Bof().Record(14, FileBuilder::Number(0, 0, 5)).Record(14, FileBuilder::Number(0, 1, 6));
  f.Record(16, {0xFF, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 1, 0, 0, 0, 0, 0xC8});
  f.Record(14, FileBuilder::Number(0, 3, 7)).Eof();
  std::string path = Path("BROKEN.WKS");
  WriteAll(path, f.bytes);
  TestSheet t;
  t.doc->SetFileName("/somewhere/else.wks");
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  EXPECT_EQ(r.status, LoadStatus::Recovered);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Error at Record:10[0015] Recovered 2 cells read before the damage.");
  EXPECT_EQ(t.Number("A1"), 5);
  EXPECT_EQ(t.Number("A2"), 6);
  EXPECT_EQ(t.Cell("A4"), nullptr);
  EXPECT_EQ(t.doc->fileName(), "");
  // The same file merged is refused whole.
  TestSheet m;
  EXPECT_EQ(LoadWorksheet(*m.doc, path, kMergeInto).status, LoadStatus::Failed);
  EXPECT_EQ(m.cells().recordCount(), 0u);

  // A formula whose stored result used a cell that was cut off.
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "+A2*2"));
  ASSERT_TRUE(s.Enter("A2", "21"));
  ASSERT_EQ(s.Number("A1"), 42);
  std::string saved = Path("CHAIN.WKS");
  ASSERT_TRUE(SaveWorksheet(*s.doc, saved));
  std::vector<std::uint8_t> bytes = ReadAll(saved);
  bytes.resize(bytes.size() - 40);  // the last records of the extension section
  WriteAll(saved, bytes);
  TestSheet u;
  EXPECT_EQ(LoadWorksheet(*u.doc, saved, 0).status, LoadStatus::Recovered);
  EXPECT_EQ(u.Number("A1"), 42) << "the extension section is cut, every cell stays";
  std::size_t pos = 6;  // keep the records up to and including the formula
  while (pos + 4 <= bytes.size() && bytes[pos] != 16)
    pos += 4 + (bytes[pos + 2] | (bytes[pos + 3] << 8));
  pos += 4 + (bytes[pos + 2] | (bytes[pos + 3] << 8));
  WriteAll(saved, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + pos));
  TestSheet v;
  EXPECT_EQ(LoadWorksheet(*v.doc, saved, 0).status, LoadStatus::Recovered);
  EXPECT_EQ(v.Number("A1"), 0) << "recalculated without the lost A2";
}

TEST_F(MalformedInput, BadLengthsCodesAndFileKinds) {
  std::string path = Path("BAD.WKS");
  // A record length that points past the end of the file.
  std::vector<std::uint8_t> b = bytes_;
  b[8] = 0xFF;
  b[9] = 0xFF;  // the active-area record
  WriteAll(path, b);
  EXPECT_EQ(LoadOver(path).message, "Invalid WKS File!");

  // Garbage in a formula's code: the record is named in the message.
  FileBuilder f;
  f.Bof().Record(16, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 1, 0, 0, 0, 0, 0xC8}).Eof();
  WriteAll(path, f.bytes);
  EXPECT_EQ(LoadOver(path).message, "Error at Record:10[0015]");
  // A code length past the record's end.
  FileBuilder g;
  g.Bof().Record(16, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 0, 3}).Eof();
  WriteAll(path, g.bytes);
  EXPECT_EQ(LoadOver(path).message, "Error at Record:10[0010]");

  WriteAll(path, {});
  EXPECT_EQ(LoadOver(path).message, "Invalid WKS File!");
  WriteAll(path, {'h', 'e', 'l', 'l', 'o', '\n'});
  EXPECT_EQ(LoadOver(path).message, "Invalid WKS File!");
  EXPECT_FALSE(IsWorksheetFile(path));
  EXPECT_EQ(LoadOver(dir_.string()).message, "Unable to Open File");
  EXPECT_EQ(LoadOver(Path("MISSING.WKS")).message, "Unable to Open File");
  EXPECT_FALSE(IsWorksheetFile(dir_.string()));

  // Silent for the start-up sheet and for external references.
  TestSheet t;
  EXPECT_FALSE(LoadWorksheet(*t.doc, Path("MISSING.WKS"), kStartupSheet).ok);
  EXPECT_FALSE(LoadWorksheet(*t.doc, Path("MISSING.WKS"), 0x34).ok);
  EXPECT_TRUE(t.host.messages.empty());
}

TEST_F(MalformedInput, RandomCorruptionNeverCrashes) {
  std::mt19937 rng(12345);
  std::string path = Path("NOISE.WKS");
  int refused = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<std::uint8_t> b = bytes_;
    int flips = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < flips; ++i) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
    WriteAll(path, b);
    LoadResult r = LoadOver(path, round % 2 ? unsigned{kMergeInto} : 0u);
    refused += r.ok ? 0 : 1;
  }
  EXPECT_GT(refused, 0);
}

TEST_F(MalformedInput, FailedMergeLeavesTheSheetAlone) {
  std::vector<std::uint8_t> b(bytes_.begin(), bytes_.end() - 40);
  std::string path = Path("PART.WKS");
  WriteAll(path, std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + StandardEnd() - 10));
  LoadResult r = LoadOver(path, kMergeInto | kCombineAdd);
  EXPECT_FALSE(r.ok);
}

// Gnumeric reads what we write, with the same stored numbers.
TEST_F(WorksheetFile, PeerReadsOurFiles) {
  if (std::system("ssconvert --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ssconvert";
  TestSheet s;
  ASSERT_TRUE(s.Enter("A1", "1.5"));
  ASSERT_TRUE(s.Enter("B1", "-40000"));
  ASSERT_TRUE(s.Enter("C1", "'text"));
  ASSERT_TRUE(s.Enter("A2", "+A1*4"));
  ASSERT_TRUE(s.Enter("B2", "@SUM($A$1..$B$1)"));
  ASSERT_TRUE(s.Enter("C2", "12"));
  std::string path = Path("PEER.WKS"), csv = Path("peer.csv");
  ASSERT_TRUE(SaveWorksheet(*s.doc, path));
  std::string cmd = "ssconvert '" + path + "' '" + csv + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream in(csv);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "1.5,-40000,text\n6,-39998.5,12\n");
}

}  // namespace
}  // namespace tabulon
