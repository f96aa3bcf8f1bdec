// tabulon-cli print and convert to the print-to-file text: the stored
// print range, the used area, --range, PDF pages from the built program,
// and command lines that must be refused.
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "support/cli_harness.h"
#include "io/worksheet_file.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::Cli;
using testing::CliRun;

namespace fs = std::filesystem;

struct Dir {
  fs::path path = fs::temp_directory_path() / ("tabulon-cli-print-" + std::to_string(::getpid()));
  Dir() { fs::create_directories(path); }
  ~Dir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::string Read(const std::string& name) const {
    std::ifstream f(path / name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // A sheet of `rows` rows "r1".."rN" in A and their numbers in B.
  std::string Sheet(const std::string& name, int rows, CellRange printRange = {}) {
    testing::TestSheet t;
    for (int r = 0; r < rows; ++r) {
      EnterCell(*t.doc, "r" + std::to_string(r + 1), r, 0);
      EnterCell(*t.doc, std::to_string(r + 1), r, 1);
    }
    t.doc->extras().printRange = printRange;
    std::string file = File(name);
    EXPECT_TRUE(SaveWorksheet(*t.doc, file));
    return file;
  }
};

TEST(CliPrint, TextUsesTheStoredPrintRangeTheUsedAreaOrRange) {
  Dir d;
  std::string stored = d.Sheet("STORED.WKS", 5, CellRange::Of(1, 0, 2, 1));
  EXPECT_EQ(Cli({"print", stored, "--out", d.File("a.txt")}).status, 0);
  // A takes positions 0..9, the number in B ends a blank short of 19.
  auto line = [](int n) {
    return "r" + std::to_string(n) + std::string(16, ' ') + std::to_string(n) + "\r\n";
  };
  EXPECT_EQ(d.Read("a.txt"), line(2) + line(3));
  std::string plain = d.Sheet("PLAIN.WKS", 2);
  EXPECT_EQ(Cli({"print", plain, "--out", d.File("b.txt")}).status, 0);
  EXPECT_EQ(d.Read("b.txt"), line(1) + line(2));
  EXPECT_EQ(Cli({"print", stored, "--range", "A5", "--out", d.File("c.txt")}).status, 0);
  EXPECT_EQ(d.Read("c.txt"), "r5\r\n");
  // convert writes the same layout for the used area.
  EXPECT_EQ(Cli({"convert", plain, d.File("d.txt")}).status, 0);
  EXPECT_EQ(d.Read("d.txt"), d.Read("b.txt"));
}

TEST(CliPrint, BadCommandLinesAndFilesAreRefusedClearly) {
  Dir d;
  std::string sheet = d.Sheet("S.WKS", 2);
  EXPECT_EQ(Cli({"print"}).status, 2);
  EXPECT_EQ(Cli({"print", sheet}).status, 2);
  EXPECT_EQ(Cli({"print", sheet, "--out"}).status, 2);
  EXPECT_EQ(Cli({"print", sheet, "--out", d.File("x.doc")}).status, 2);
  EXPECT_EQ(Cli({"print", sheet, "--range", "A1", "--graph", "G", "--out", d.File("x.pdf")}).status, 2);
  EXPECT_EQ(Cli({"print", sheet, "--graph", "G", "--out", d.File("x.txt")}).status, 2);
  EXPECT_EQ(Cli({"print", sheet, "--range", "A0..Q", "--out", d.File("x.txt")}).status, 2);
  EXPECT_EQ(Cli({"print", d.File("missing.wks"), "--out", d.File("x.txt")}).status, 1);

  std::string empty = d.Sheet("EMPTY.WKS", 0);
  CliRun r = Cli({"print", empty, "--out", d.File("e.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("nothing to print"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(d.File("e.txt")));

  r = Cli({"print", sheet, "--out", d.File("no/such/dir/x.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot write"), std::string::npos) << r.err;

  // Without a PDF writer (this in-process run has none).
  r = Cli({"print", sheet, "--out", d.File("x.pdf")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("PDF"), std::string::npos);
  EXPECT_FALSE(fs::exists(d.File("x.pdf")));
}

// The built program, which has the PDF writer when Qt was found.
int RunProgram(const std::string& args) {
  std::string cmd = std::string(TABULON_CLI_PATH) + " " + args + " >/dev/null 2>&1";
  return WEXITSTATUS(std::system(cmd.c_str()));
}

TEST(CliPrint, PdfPagesFromTheBuiltProgram) {
  Dir d;
  std::string sheet = d.Sheet("LONG.WKS", 130);
  std::string pdf = d.File("long.pdf");
  int status = RunProgram("print " + sheet + " --out " + pdf);
  if (status == 1 && !fs::exists(pdf)) GTEST_SKIP() << "tabulon-cli built without a PDF writer";
  ASSERT_EQ(status, 0);
  EXPECT_EQ(d.Read("long.pdf").substr(0, 5), "%PDF-");
  if (std::system("pdfinfo -v >/dev/null 2>&1") == 0) {
    std::string cmd = "pdfinfo " + pdf + " | grep -q '^Pages: *3$'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);  // 130 rows, 57 to a Letter page
  }
  // A failed job leaves nothing under the requested name, nor a temporary file.
  EXPECT_EQ(RunProgram("print " + sheet + " --out " + d.File("gone/x.pdf")), 1);
  EXPECT_EQ(RunProgram("print " + sheet + " --graph NONE --out " + d.File("g.pdf")), 1);
  EXPECT_FALSE(fs::exists(d.File("g.pdf")));
  for (const auto& e : fs::directory_iterator(d.path))
    EXPECT_EQ(e.path().extension() == ".~tmp", false) << e.path();
}

// A named graph prints on one page of its own, its headings among the
// page's text; the name is found whatever its case.
TEST(CliPrint, ANamedGraphPrintsOnOnePage) {
  Dir d;
  std::string sheet = std::string(TABULON_SOURCE_DIR) + "/examples/graphs.wks";
  std::string pdf = d.File("sales.pdf");
  int status = RunProgram("print " + sheet + " --graph sales --out " + pdf);
  if (status == 1 && !fs::exists(pdf)) GTEST_SKIP() << "tabulon-cli built without a PDF writer";
  ASSERT_EQ(status, 0);
  if (std::system("pdfinfo -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "no poppler-utils";
  EXPECT_EQ(std::system(("pdfinfo " + pdf + " | grep -q '^Pages: *1$'").c_str()), 0);
  EXPECT_EQ(std::system(("pdftotext " + pdf + " - | grep -q 'Monthly sales'").c_str()), 0);
}

}  // namespace
}  // namespace tabulon
