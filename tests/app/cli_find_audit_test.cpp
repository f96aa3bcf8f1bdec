// tabulon-cli find and audit: the cells found and changed, the text of the
// audit's tree, list and counts, and the refusals of bad command lines.
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli.h"
#include "support/cli_harness.h"

namespace tabulon {
namespace {

using testing::Cli;
using testing::CliRun;

namespace fs = std::filesystem;

struct Sheet {
  Sheet() : dir(fs::temp_directory_path() / ("tabulon-fa-" + std::to_string(::getpid()))) {
    fs::create_directories(dir);
  }
  ~Sheet() { fs::remove_all(dir); }
  std::string File(const std::string& name) const { return (dir / name).string(); }
  // A worksheet made of ADDRESS=TEXT entries.
  std::string Make(const std::string& name, std::vector<std::string> entries) const {
    std::string path = File(name);
    entries.insert(entries.begin(), {"enter", "--out", path});
    CliRun r = Cli(entries);
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
  }
  fs::path dir;
};

TEST(CliFind, ListsMatchesRowsFirstInAnyCaseUnlessAsked) {
  Sheet s;
  std::string f = s.Make("find.wks", {"C1='Total", "A2=@SUM(B1..B3)", "B3=1234", "A3='subtotal",
                                      "B2='none"});
  CliRun r = Cli({"find", f, "tot"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "C1\t'Total\nA3\t'subtotal\n");
  EXPECT_EQ(Cli({"find", f, "tot", "--case"}).out, "A3\t'subtotal\n");
  // Regenerated formula text and the digits of numbers are searched too.
  EXPECT_EQ(Cli({"find", f, "sum(b1"}).out, "A2\t@SUM(B1..B3)\n");
  EXPECT_EQ(Cli({"find", f, "23"}).out, "B3\t1234\n");
  // A range limits the search, also to a single cell.
  EXPECT_EQ(Cli({"find", f, "t", "--range", "A3..C3"}).out, "A3\t'subtotal\n");
  EXPECT_EQ(Cli({"find", f, "t", "--range", "C1"}).out, "C1\t'Total\n");
  // After "--" a text that looks like an option is searched for.
  std::string dashes = s.Make("dashes.wks", {"A1='--case"});
  EXPECT_EQ(Cli({"find", dashes, "--", "--CASE"}).out, "A1\t'--case\n");
    CliRun none = Cli({"find", f, "absent"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
}

TEST(CliFind, ReplaceCountsCellsSavesAndEndsOnSelfContainingText) {
  Sheet s;
  std::string f = s.Make("rep.wks", {"A1='aaa", "B1='xa", "A2=5", "B2=+A2*2"});
  std::string out = s.File("out.wks");
  // The replacement holds the find text: every occurrence once, no loop.
  CliRun r = Cli({"find", f, "a", "--replace", "aa", "--case", "--out", out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "A1\t'aaa\nB1\t'xa\n2 cells changed\n");
  EXPECT_EQ(Cli({"dump", out, "--range", "A1..B1"}).out,
            "A1\tlabel\t'aaaaaa\t'aaaaaa\nB1\tlabel\t'xaa\t'xaa\n");
  // The input is left as it was.
  EXPECT_EQ(Cli({"find", f, "aaaa"}).out, "");
  // Without --case the "A" of a reference matches too.
  EXPECT_EQ(Cli({"find", f, "a"}).out, "A1\t'aaa\nB1\t'xa\nB2\t+A2*2\n");

  // A replaced formula is compiled and calculated as if typed.
  std::string out2 = s.File("out2.wks");
  CliRun formula = Cli({"find", f, "*2", "--replace", "*10", "--out", out2});
  EXPECT_EQ(formula.out, "B2\t+A2*2\n1 cell changed\n");
  EXPECT_NE(Cli({"dump", out2}).out.find("B2\tformula\t+A2*10\t50"), std::string::npos);
}

TEST(CliFind, RefusedReplacementsAreReportedAndTheRestSaved) {
  Sheet s;
  std::string long230(230, 'b');
  std::string f = s.Make("long.wks", {"A1='x" + long230, "A2='x"});
  std::string out = s.File("out.wks");
  CliRun r = Cli({"find", f, "x", "--replace", std::string(20, 'y'), "--out", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "A1\t'x" + long230 + "\nA2\t'x\n1 cell changed\n");
  EXPECT_EQ(r.err.rfind("Error: 1 replacement refused", 0), 0u) << r.err;
  // The cell too long to take the text keeps it whole; the other is saved.
  std::string dump = Cli({"dump", out}).out;
  EXPECT_NE(dump.find("A1\tlabel\t'x" + long230 + "\t"), std::string::npos) << dump;
  EXPECT_NE(dump.find("A2\tlabel\t'" + std::string(20, 'y')), std::string::npos) << dump;
}

TEST(CliAudit, TreeListAndCountsAsText) {
  Sheet s;
  // A chain A1 <- B1 <- C1 <- D1, a fan from A1 and a diamond into E2.
  // Dependents are listed newest first.
  std::string f = s.Make("audit.wks", {"A1=1", "B1=+A1", "C1=+B1", "D1=+C1", "A2=+A1*2",
                                       "E2=+A2+B1", "A3='label", "B3=2.5"});
  CliRun tree = Cli({"audit", f, "--dependents", "A1", "--depth", "1"});
  EXPECT_EQ(tree.status, 0) << tree.err;
  EXPECT_EQ(tree.out,
            "A1: 1\n  A2: +A1*2\n    E2: +A2+B1\n  B1: +A1\n    E2: +A2+B1\n    C1: +B1\n"
            "Total References: 5   Depth: 3\n");
  // The default depth reaches the chain's end.
  EXPECT_NE(Cli({"audit", f, "--dependents", "a1"}).out.find("      D1: +C1\n"),
            std::string::npos);
  CliRun lone = Cli({"audit", f, "--dependents", "H9"});
  EXPECT_EQ(lone.status, 0);
  EXPECT_EQ(lone.out, "Total References: 0   Depth: 0\n");
  EXPECT_NE(lone.err.find("H9 holds nothing"), std::string::npos) << lone.err;

  CliRun xref = Cli({"audit", f, "--xref", "--range", "A1..B1"});
  EXPECT_EQ(xref.status, 0);
  EXPECT_EQ(xref.out, "A1:Integer 3:2#:A2,B1\nB1:Form 1:2#:E2,C1\n");
  EXPECT_NE(Cli({"audit", f, "--xref"}).out.find("B3:Real 2:0#:\n"), std::string::npos);

  CliRun stats = Cli({"audit", f, "--stats"});
  EXPECT_EQ(stats.out,
            "Relative Proportion of Cells\nFormula: 5 62.50 %\nReal: 1 12.50 %\n"
            "Integer: 1 12.50 %\nString: 1 12.50 %\nBlank: 0 0.00 %\nTotal Cells: 8\n");
}

TEST(CliAudit, CyclesAndEmptySheetsEndWithoutError) {
  Sheet s;
  std::string cycle = s.Make("cycle.wks", {"A1=+B1+1", "B1=+A1"});
  CliRun r = Cli({"audit", cycle, "--dependents", "A1", "--depth", "4"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "A1: +B1+1\n  B1: +A1\n    A1: +B1+1\n      B1: +A1\n        A1: +B1+1\n"
            "          B1: +A1\nTotal References: 5   Depth: 6\n");
  std::string empty = s.File("empty.wks");
  ASSERT_EQ(Cli({"run", "--new", "--out", empty}).status, 0);
  EXPECT_NE(Cli({"audit", empty, "--stats"}).out.find("Formula: 0 -NA-\n"), std::string::npos);
  CliRun xref = Cli({"audit", empty, "--xref"});
  EXPECT_EQ(xref.status, 0);
  EXPECT_EQ(xref.out, "");
}

TEST(CliFindAudit, BadCommandLinesAreUsageErrors) {
  Sheet s;
  std::string f = s.Make("bad.wks", {"A1='x"});
  const std::vector<std::vector<std::string>> bad = {
      {"find"},
      {"find", f},
      {"find", f, ""},
      {"find", f, "a", "b"},
      {"find", f, "x", "--replace", "y"},
      {"find", f, "x", "--out", s.File("o.wks")},
      {"find", f, "x", "--range", "ZZZ99"},
      {"find", f, std::string(256, 'x')},
      {"find", f, "x", "--frob"},
      {"audit", f},
      {"audit", f, "--xref", "--stats"},
      {"audit", f, "--dependents"},
      {"audit", f, "--dependents", "A1", "--depth", "0"},
      {"audit", f, "--dependents", "A1", "--depth", "x"},
      {"audit", f, "--stats", "--depth", "2"},
      {"audit", f, "--dependents", "not a cell"},
  };
  for (const auto& args : bad) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tabulon-cli: ", 0), 0u) << r.err;
  }
  // A file that is not there is a failure, not a usage error.
  EXPECT_EQ(Cli({"find", s.File("missing.wks"), "x"}).status, 1);
  EXPECT_EQ(Cli({"audit", s.File("missing.wks"), "--stats"}).status, 1);
}

}  // namespace
}  // namespace tabulon
