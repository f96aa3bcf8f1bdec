// Print to a text file: column positions, alignment, run-on labels,
// trailing blanks, the line length, line ends and the file itself.
#include "print/print_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::TestSheet;

std::vector<std::string> Lines(TestSheet& t, int r1, int c1, int r2, int c2) {
  return PrintFileLines(*t.doc, CellRange::Of(r1, c1, r2, c2));
}

TEST(PrintFile, EachColumnTakesItsWidthDiv8Plus2Positions) {
  TestSheet t;
  t.doc->metrics().columnWidths[1] = 100;  // 14 positions
  EXPECT_EQ(PrintFileColumnWidth(*t.doc, 0), 10);
  EXPECT_EQ(PrintFileColumnWidth(*t.doc, 1), 14);
  t.Enter("A1", "left");
  t.Enter("B1", "^mid");
  t.Enter("C1", "\"right");
  t.Enter("A2", "12345");
  t.Enter("B2", "'x");
  auto lines = Lines(t, 0, 0, 1, 2);
  ASSERT_EQ(lines.size(), 2u);
  // A: positions 0..9, B: 10..23, C: 24..33.
  EXPECT_EQ(lines[0], "left" + std::string(11, ' ') + "mid" + std::string(11, ' ') + "right");
  // A number ends one blank short of its column's end (the format's own blank).
  EXPECT_EQ(lines[1].substr(0, 10), "    12345 ");
  EXPECT_EQ(lines[1].substr(10), "x");
}

TEST(PrintFile, TrailingEmptyColumnsLeaveNoTrailingBlanks) {
  TestSheet t;
  t.Enter("A1", "a");
  t.Enter("A2", "12");
  auto lines = Lines(t, 0, 0, 2, 3);  // B..D and row 3 empty
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "       12");
  EXPECT_EQ(lines[2], "");
}

TEST(PrintFile, LeftLabelsRunOnOverEmptyNeighboursOnly) {
  TestSheet t;
  t.Enter("A1", "a label much longer than one column");
  t.Enter("A2", "another long label that is cut");
  t.Enter("B2", "b");
  t.Enter("A3", "^centred but far too long for it");
  auto lines = Lines(t, 0, 0, 2, 4);
  EXPECT_EQ(lines[0], "a label much longer than one column");
  EXPECT_EQ(lines[1], "another lob");
  // A centred label too wide starts at the left edge and runs on, as on screen.
  EXPECT_EQ(lines[2], "centred but far too long for it");
}

TEST(PrintFile, NumbersTooWideShowMarksAndHiddenThingsStayOut) {
  TestSheet t;
  t.doc->metrics().columnWidths[0] = 24;  // 5 positions
  t.doc->metrics().columnWidths[1] = 0;   // hidden
  t.Enter("A1", "123456789");
  t.Cell("A1")->format = 2;  // F2: "123456789.00"
  t.Enter("B1", "secret");
  t.Enter("C1", "c");
  auto lines = Lines(t, 0, 0, 0, 2);
  EXPECT_EQ(lines[0], "xxxxxc");
}

TEST(PrintFile, LinesHoldAtMost240Characters) {
  TestSheet t;
  for (int c = 0; c < 30; ++c) EnterCell(*t.doc, "\"" + std::to_string(c), 0, c);
  auto lines = Lines(t, 0, 0, 0, 29);
  ASSERT_EQ(lines[0].size(), 240u);
  EXPECT_EQ(lines[0].substr(230), "        23");
}

TEST(PrintFile, NamesWithoutADotGetPrn) {
  EXPECT_EQ(PrintFileName("report"), "report.prn");
  EXPECT_EQ(PrintFileName("report.txt"), "report.txt");
  EXPECT_EQ(PrintFileName("dir.d/report"), "dir.d/report.prn");
}

struct TempDir {
  fs::path dir = fs::temp_directory_path() /
                 ("tabulon-print-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  TempDir() { fs::create_directories(dir); }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Read(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
};

TEST(PrintFile, WritesLinesWithCrLfAndLeavesNothingBehindOnFailure) {
  TestSheet t;
  TempDir d;
  t.Enter("A1", "one");
  t.Enter("B2", "two");
  fs::path out = d.dir / "out.prn";
  EXPECT_EQ(WritePrintFile(*t.doc, CellRange::Of(0, 0, 1, 1), out.string()), "");
  EXPECT_EQ(d.Read(out), "one\r\n          two\r\n");

  // An undefined range writes no file; an existing file stays.
  EXPECT_NE(WritePrintFile(*t.doc, CellRange{}, out.string()), "");
  EXPECT_EQ(d.Read(out), "one\r\n          two\r\n");

  // A directory that does not exist, or a directory as the name.
  fs::path bad = d.dir / "missing" / "out.prn";
  std::string error = WritePrintFile(*t.doc, CellRange::Of(0, 0, 1, 1), bad.string());
  EXPECT_NE(error.find("Cannot write"), std::string::npos);
  EXPECT_FALSE(fs::exists(bad));
  EXPECT_NE(WritePrintFile(*t.doc, CellRange::Of(0, 0, 1, 1), d.dir.string()), "");
  for (const auto& e : fs::directory_iterator(d.dir))
    EXPECT_EQ(e.path().filename(), "out.prn");  // no temporary file left
}

}  // namespace
}  // namespace tabulon
