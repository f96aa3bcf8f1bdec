// tabulon-cli run: macros on a new sheet or a file (with its AUTOEXEC and
// its window record), prompts answered by --input, messages on stderr, the
// timeout, and the dump and output file written also after an error.
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "support/cli_harness.h"
#include "edit/name_commands.h"
#include "io/worksheet_file.h"
#include "support/test_session.h"
#include "macro/macro_support.h"

namespace tabulon {
namespace {

using testing::Cli;
using testing::CliRun;

namespace fs = std::filesystem;

// The dump line of one cell, or empty.
std::string DumpLine(const std::string& dump, const std::string& address) {
  std::istringstream in(dump);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(address + "\t", 0) == 0) return line;
  return {};
}

TEST(CliRun, BuildsASheetFromMacroTextAndDumpsIt) {
  CliRun r = Cli({"run", "--new", "--dump", "--text",
                  "'Item~{DOWN}10~{DOWN}+A2*2~\n{LET B1 @SUM(A2..A3)}{RANGECREATE TOTAL B1}"
                  "\n{FOR C1 1 3 1}{LET D1 D1+C1}{NEXT}"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(DumpLine(r.out, "A1"), "A1\tlabel\t'Item\t'Item");
  EXPECT_EQ(DumpLine(r.out, "A3"), "A3\tformula\t+A2*2\t20 ");
  EXPECT_EQ(DumpLine(r.out, "B1"), "B1\tinteger\t30\t30 ");
  EXPECT_EQ(DumpLine(r.out, "D1"), "D1\tinteger\t6\t6 ");
}

TEST(CliRun, DataCommandsRunFromMacros) {
  CliRun r = Cli({"run", "--new", "--dump", "--text",
                  "{DATAFILL A1..A4 10 -2 1 0}{DATASORT A1..A4 A1 1}"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DumpLine(r.out, "A1"), "A1\tinteger\t4\t4 ");
  EXPECT_EQ(DumpLine(r.out, "A4"), "A4\tinteger\t10\t10 ");
}

// The array family and the what-if table reach the batch tool too; a
// singular matrix stops the run with its message.
TEST(CliRun, ArrayAndTableCommandsRunFromMacros) {
  CliRun r = Cli({"run", "--new", "--dump", "--text",
                  "{LET A1 2}{LET B1 1}{LET A2 1}{LET B2 3}{MATINV A1..B2,D1}"
                  "{LET G2 5}{GOTO}H1~+G1*4~{DATATABLE G1,,G1..H2}"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DumpLine(r.out, "D1").rfind("D1\treal\t0.6", 0), 0u) << r.out;
  EXPECT_EQ(DumpLine(r.out, "H2"), "H2\tinteger\t20\t20 ") << r.out;
  CliRun bad = Cli({"run", "--new", "--text", "{LET A1 1}{LET B1 2}{LET A2 2}{LET B2 4}"
                    "{MATINV A1..B2,D1}"});
  EXPECT_NE(bad.status, 0);
  EXPECT_NE(bad.err.find("Unable to Solve, Determinant=0"), std::string::npos) << bad.err;
}

// The graph and print families reach the batch tool's macros too: a named
// graph made by a macro is saved with the sheet, and PRINTFILE writes the
// print-to-file text.
TEST(CliRun, GraphAndPrintCommandsRunFromMacros) {
  fs::path dir = fs::temp_directory_path() / ("tabulon-run-gp-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string sheet = (dir / "G.WKS").string(), text = (dir / "p.txt").string();
  CliRun r = Cli({"run", "--new", "--out", sheet, "--text",
                  "{LET A1 1}{LET A2 2}{LET B1 5}{LET B2 7}"
                  "{GRAPHSERIES 0 A1..A2}{GRAPHSERIES 1 B1..B2}{GRAPHNAME 0 TWO}"
                  "{PRINTFILE \"" + text + "\" A1..B2}"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::ifstream in(text);
  std::stringstream printed;
  printed << in.rdbuf();
  EXPECT_NE(printed.str().find("7"), std::string::npos) << printed.str();
  testing::TestSheet saved;
  ASSERT_TRUE(LoadWorksheet(*saved.doc, sheet, 0).ok);
  int two = saved.doc->extras().graphs.Find("TWO");
  ASSERT_GE(two, 0);
  EXPECT_EQ(saved.doc->extras().graphs.named[two].settings.series[0], CellRange::Of(0, 1, 1, 1));
  CliRun g = Cli({"print", sheet, "--graph", "NOPE", "--out", (dir / "g.txt").string()});
  EXPECT_EQ(g.status, 2) << "a graph prints as PDF only";
  std::error_code ec;
  fs::remove_all(dir, ec);
}

TEST(CliRun, PromptsTakeTheInputsInOrderUntilNoneIsLeft) {
  CliRun r = Cli({"run", "--new", "--dump", "--input", "Ann", "--input", "7", "--input", "",
                  "--text", "{INLABEL \"Name?\" A1}{INVALUE Age A2}{GET A3}{GET A4}{LET A5 1}"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: no input left for prompt\n");
  EXPECT_EQ(DumpLine(r.out, "A1"), "A1\tlabel\t'Ann\t'Ann");
  EXPECT_EQ(DumpLine(r.out, "A2"), "A2\tinteger\t7\t7 ");
  EXPECT_EQ(DumpLine(r.out, "A3"), "A3\tlabel\t'~\t'~") << "an empty input is Enter";
  EXPECT_EQ(DumpLine(r.out, "A5"), "") << "the macro stopped at the prompt";
}

TEST(CliRun, MenusTakeTheOptionNumber) {
  std::string text = "'Yes~{RIGHT}'No~{LET A2 0}{MENUJUMP A1}";
  CliRun ok = Cli({"run", "--new", "--dump", "--input", "2", "--text", text});
  EXPECT_EQ(ok.status, 0) << ok.err;
  CliRun bad = Cli({"run", "--new", "--input", "3", "--text", text});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "Error: no menu option 3 (1 to 2)\n");
}

TEST(CliRun, AnErrorStopsTheMacroAndTheStateItLeftIsWritten) {
  fs::path dir = fs::temp_directory_path() / ("tabulon-clirun-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string out = (dir / "left.wks").string();
  CliRun r = Cli({"run", "--new", "--out", out, "--dump", "--text",
                  "{LET A1 1}{FOR B1 1 2 1}{FOR B2 1 2 1}{FOR B3 1 2 1}{FOR B4 1 2 1}{FOR B5 1 2 "
                  "1}{FOR B6 1 2 1}{LET A2 2}"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: FOR LOOPS>5\n");
  EXPECT_NE(DumpLine(r.out, "A1"), "");
  EXPECT_EQ(DumpLine(r.out, "A2"), "");
  CliRun saved = Cli({"dump", out});
  EXPECT_EQ(saved.status, 0);
  EXPECT_EQ(DumpLine(saved.out, "A1"), "A1\tinteger\t1\t1 ");

  CliRun syntax = Cli({"run", "--new", "--text", "{LET A1 1}\n{BOGUS}"});
  EXPECT_EQ(syntax.status, 1);
  EXPECT_EQ(syntax.err, "Error: Syntax Error:\n");
  fs::remove_all(dir);
}

TEST(CliRun, ARunawayMacroIsStoppedByTheTimeout) {
  // A1 receives a macro that branches to itself: a loop that never ends.
  CliRun r = Cli({"run", "--new", "--timeout", "0.2", "--text",
                  "{LET A1 \"{LET B1 B1+1}{BRANCH A1}\"}{BRANCH A1}"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: macro timed out\n");
}

TEST(CliRun, FilesRunAutoexecAndStartWhereTheirWindowWas) {
  fs::path dir = fs::temp_directory_path() / ("tabulon-clirun-auto-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string file = (dir / "model.wks").string();
  {
    testing::MacroDesk d;
    d.Lines("H1", {"{LET H10 H10+1}"});
    d.Name("AUTOEXEC", "H1");
    d.Lines("J1", {"{LET J10 5}", "{QUIT}", "{LET J11 1}"});
    d.Name("MAIN", "J1");
    d.W().MoveCursor(4, 2);  // C5
    ASSERT_TRUE(d.ws.SaveAs(d.W(), file).ok());
  }
  CliRun r = Cli({"run", file, "--at", "main", "--dump", "--text-free"});
  EXPECT_EQ(r.status, 2) << "an unknown option is a usage error";
  r = Cli({"run", file, "--at", "main", "--dump"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DumpLine(r.out, "H10"), "H10\tinteger\t1\t1 ") << "AUTOEXEC ran";
  EXPECT_EQ(DumpLine(r.out, "J10"), "J10\tinteger\t5\t5 ");
  EXPECT_EQ(DumpLine(r.out, "J11"), "") << "QUIT ends the macro, with status 0";
  r = Cli({"run", file, "--text", "typed~", "--dump"});
  EXPECT_EQ(DumpLine(r.out, "C5"), "C5\tlabel\t'typed\t'typed");
  r = Cli({"run", file, "--at", "NOPE"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: not a cell or range name: NOPE\n");
  r = Cli({"run", (dir / "missing.wks").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error: "), std::string::npos);
  fs::remove_all(dir);
}

TEST(CliRun, TextFilesAreRelativeToTheCurrentDirectory) {
  fs::path dir = fs::temp_directory_path() / ("tabulon-clirun-cwd-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path before = fs::current_path();
  fs::current_path(dir);
  CliRun r = Cli({"run", "--new", "--text",
                  "{OPEN 1 2 notes.txt}{WRITELN 1 \"one two\"}{CLOSE 1}{MKDIR sub}{CHDIR sub}"
                  "{APPEND 2 more.txt}{WRITE 2 x}{CLOSE 2}"});
  fs::path after = fs::current_path();
  fs::current_path(before);
  EXPECT_EQ(r.status, 0) << r.err;
  std::ifstream notes(dir / "notes.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(notes)), {});
  EXPECT_EQ(text, "one two\r\n");
  EXPECT_TRUE(fs::exists(dir / "sub" / "more.txt"));
  EXPECT_EQ(after, dir / "sub") << "CHDIR moves the current directory";
  fs::remove_all(dir);
}

TEST(CliRun, BadCommandLinesAreUsageErrors) {
  EXPECT_EQ(Cli({"run"}).status, 2);
  EXPECT_EQ(Cli({"run", "--new", "a.wks"}).status, 2);
  EXPECT_EQ(Cli({"run", "--new", "--at", "A1", "--text", "x"}).status, 2);
  EXPECT_EQ(Cli({"run", "--new", "--timeout", "soon"}).status, 2);
  EXPECT_EQ(Cli({"run", "--new", "--timeout", "-1"}).status, 2);
  EXPECT_EQ(Cli({"run", "--new", "--input"}).status, 2);
  CliRun ok = Cli({"run", "--new"});
  EXPECT_EQ(ok.status, 0) << "a new sheet and no macro is nothing to do";
}

TEST(CliRun, TheExampleMacrosRunAsTheReadmeSays) {
  std::string example =
      (fs::path(__FILE__).parent_path() / ".." / ".." / "examples" / "macros.wks").string();
  CliRun r = Cli({"run", example, "--at", "H11", "--input", "2", "--input", "0.04", "--dump"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DumpLine(r.out, "C17"), "C17\tformula\t+C16*(1+RATE)+DEPOSIT\t1200.61 ");
  EXPECT_EQ(DumpLine(r.out, "A6"), "A6\tlabel\t'Table built\t'Table built");
}

}  // namespace
}  // namespace tabulon
