#include <unistd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/cli.h"
#include "support/cli_harness.h"
#include "edit/cell_text.h"
#include "io/worksheet_file.h"
#include "platform/image_output.h"
#include "support/recording_canvas.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::Cli;
using testing::CliRun;

namespace fs = std::filesystem;

struct TempDir {
  TempDir() : path(fs::temp_directory_path() / ("tabulon-cli-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

TEST(CliEval, PrintsValuesAndReportsSyntaxErrors) {
  CliRun r = Cli({"eval", "1+2", "\"a\"<\"b\"", "1/0", "\"x\"&5", "2.5*2", "1+"});
  EXPECT_EQ(r.out, "3\n1\nERR\nx5\n5\nError: syntax\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Cli({"eval", "@SUM(1,2)"}).status, 0);
}

// A usage error says what was wrong in one line and where help is; the
// help text itself appears only when asked for.
TEST(CliUsage, BadCommandLinesExitWithTwoAndOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {}, {"frobnicate"}, {"eval"}, {"eval", "--file"}, {"convert", "only-one"},
      {"dump", "a", "b"}, {"enter", "--out"}};
  for (const auto& args : bad) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_EQ(r.err.rfind("tabulon-cli: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nTry 'tabulon-cli --help'.\n"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Cli({"frob\x1b[2J"}).err,
            "tabulon-cli: unknown command 'frob\\x1B[2J'\nTry 'tabulon-cli --help'.\n");
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: tabulon-cli"), std::string::npos);
  EXPECT_NE(help.out.find("--version"), std::string::npos);
  CliRun version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("tabulon-cli ") + TABULON_VERSION + "\n");
  EXPECT_EQ(std::string(ProgramVersion()), TABULON_VERSION);
}

// Output that cannot be written is an error, not a silent success.
TEST(CliOutput, AWriteErrorOnTheOutputFails) {
  TempDir dir;
  std::string file = dir.File("s.wks");
  ASSERT_EQ(Cli({"enter", "--out", file, "A1=1", "A2='two"}).status, 0);
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  std::FILE* err = std::tmpfile();
  int status = RunCli({"dump", file}, full, err);
  std::fclose(full);
  std::rewind(err);
  char buf[512] = {};
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, err);
  std::fclose(err);
  EXPECT_EQ(status, 1);
  EXPECT_NE(std::string(buf, n).find("cannot write the output"), std::string::npos) << buf;
}

// Messages name the file actually tried or written, and an output that is
// not a regular file is refused before anything is written.
TEST(CliFiles, MessagesNameThePathAndOddOutputsAreRefused) {
  TempDir dir;
  std::string wks = dir.File("in.wks");
  ASSERT_EQ(Cli({"enter", "--out", wks, "A1=1"}).status, 0);
  CliRun missing = Cli({"dump", dir.File("noext")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "tabulon-cli: " + dir.File("noext.WKS") + ": Unable to Open File\n");

  CliRun toDir = Cli({"convert", wks, dir.path.string() + "/"});
  EXPECT_EQ(toDir.status, 1);
  EXPECT_NE(toDir.err.find("is a directory"), std::string::npos) << toDir.err;
  EXPECT_FALSE(fs::exists(dir.File(".WKS")));
  EXPECT_EQ(Cli({"convert", wks, dir.path.string()}).status, 1);

  CliRun device = Cli({"convert", wks, "/dev/full"});
  EXPECT_EQ(device.status, 1);
  EXPECT_NE(device.err.find("/dev/full: not a regular file"), std::string::npos) << device.err;
  EXPECT_FALSE(fs::exists("/dev/full.WKS"));

  // Without an extension the worksheet goes to NAME.WKS, and the messages
  // say so.
  std::string noext = dir.File("out");
  ASSERT_EQ(Cli({"convert", wks, noext}).status, 0);
  EXPECT_TRUE(fs::exists(noext + ".WKS"));
  fs::create_directory(dir.File("taken.WKS"));
  CliRun taken = Cli({"convert", wks, dir.File("taken")});
  EXPECT_EQ(taken.status, 1);
  EXPECT_NE(taken.err.find(dir.File("taken.WKS") + ": not a regular file"), std::string::npos)
      << taken.err;
}

TEST(CliEnter, EntersSavesAndDumpsWithFailuresReported) {
  TempDir dir;
  std::string file = dir.File("sheet.wks");
  CliRun r = Cli({"enter", "--out", file, "--dump", "A1=10", "A2=+A1*3", "B1=hello", "B2=+A1+",
               "ZZ1=5", "junk"});
  EXPECT_EQ(r.status, 1);
  // Failures are messages on standard error; the dump stays clean.
  EXPECT_NE(r.err.find("Error: syntax B2\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Error: Out of Range ZZ1\n"), std::string::npos);
  EXPECT_NE(r.err.find("not ADDRESS=TEXT: junk\n"), std::string::npos);
  EXPECT_EQ(r.out.find("Error"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("A2\tformula\t+A1*3\t30 "), std::string::npos) << r.out;
  CliRun dump = Cli({"dump", file});
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.out, "A1\tinteger\t10\t10 \nB1\tlabel\t'hello\t'hello\nA2\tformula\t+A1*3\t30 \n");
  CliRun range = Cli({"dump", file, "--range", "A2..B2"});
  EXPECT_EQ(range.out, "A2\tformula\t+A1*3\t30 \n");
}

TEST(CliEnter, ScriptFilesAndAnExistingSheet) {
  TempDir dir;
  std::string base = dir.File("base.wks");
  ASSERT_EQ(Cli({"enter", "--out", base, "A1=4"}).status, 0);
  std::string script = dir.File("entries.txt");
  std::ofstream(script) << "B1=+A1^2\r\nC1='x\n\n";
  CliRun r = Cli({"enter", "--file", base, "--script", script, "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("B1\tformula\t+A1^2\t16 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("C1\tlabel\t'x\t'x"), std::string::npos);
  EXPECT_EQ(Cli({"enter", "--script", dir.File("missing.txt")}).status, 1);
}

TEST(CliConvert, WritesTextAndWorksheetsAndRefusesBadFiles) {
  TempDir dir;
  std::string wks = dir.File("in.wks");
  ASSERT_EQ(Cli({"enter", "--out", wks, "A1=1", "B1=abc", "A2=+A1*2.5"}).status, 0);
  std::string csv = dir.File("out.csv"), prn = dir.File("out.prn");
  ASSERT_EQ(Cli({"convert", wks, csv}).status, 0);
  ASSERT_EQ(Cli({"convert", wks, prn}).status, 0);
  std::ifstream c(csv), p(prn);
  std::string csvText((std::istreambuf_iterator<char>(c)), {});
  std::string prnText((std::istreambuf_iterator<char>(p)), {});
  EXPECT_EQ(csvText, "1,abc\r\n2.5,\r\n");
  EXPECT_EQ(prnText, "\"1\",\"abc\"\r\n\"2.5\",\r\n");
  std::string extract = dir.File("part.wks");
  ASSERT_EQ(Cli({"convert", wks, extract, "--range", "B1"}).status, 0);
  EXPECT_EQ(Cli({"dump", extract}).out, "A1\tlabel\t'abc\t'abc\n");

  // A result left out of date under manual recalculation: dump shows what
  // the file holds, convert writes current values.
  std::string stale = dir.File("stale.wks");
  {
    testing::TestSheet s;
    s.doc->settings().manualRecalc = true;
    ASSERT_TRUE(s.Enter("A1", "1"));
    ASSERT_TRUE(s.Enter("A2", "+A1*2.5"));
    ASSERT_TRUE(s.Enter("A1", "4"));
    ASSERT_TRUE(SaveWorksheet(*s.doc, stale));
  }
  EXPECT_EQ(Cli({"dump", stale, "--range", "A2"}).out, "A2\tformula\t+A1*2.5\t2.5 \n");
  ASSERT_EQ(Cli({"convert", stale, csv}).status, 0);
  std::ifstream recalculated(csv);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(recalculated)), {}), "4\r\n10\r\n");

  std::string garbage = dir.File("garbage.wks");
  std::ofstream(garbage) << "this is not a worksheet";
  CliRun bad = Cli({"dump", garbage});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("Invalid WKS File!"), std::string::npos) << bad.err;
  EXPECT_EQ(Cli({"dump", dir.path.string()}).status, 1) << "a directory";
  EXPECT_EQ(Cli({"convert", wks, dir.File("out.xyz")}).status, 1);
}

// A script is read line by line: something that is not text (a device of
// zeros, random bytes, a directory, an endless line) is refused with a
// clear message before any cell is touched or any file written.
TEST(CliEnter, ScriptsThatAreNotTextAreRefused) {
  TempDir dir;
  std::string out = dir.File("out.wks");
  auto refused = [&](const std::string& script, const std::string& why) {
    CliRun r = Cli({"enter", "--out", out, "--script", script});
    EXPECT_EQ(r.status, 1) << script;
    EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out)) << script;
  };
  refused("/dev/zero", "/dev/zero:1: not a text file (a NUL byte)");
  refused(dir.path.string(), "is a directory, not a script");
  std::string binary = dir.File("binary");
  std::ofstream(binary, std::ios::binary) << "A1=1\nA2=2\nA3=\x01\x02" << std::string(1, '\0');
  refused(binary, "binary:3: not a text file");
  std::string longLine = dir.File("long.txt");
  std::ofstream(longLine) << "A1=1\nA2='" << std::string(5000, 'x') << "\n";
  refused(longLine, "long.txt:2: a line longer than 4096 bytes");
  std::string last = dir.File("noeol.txt");
  std::ofstream(last) << "A1=1\r\nA2=+A1*2";  // the last line has no line break
  CliRun ok = Cli({"enter", "--script", last, "--dump"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, "A1\tinteger\t1\t1 \nA2\tformula\t+A1*2\t2 \n");
}

// Control bytes from the input are shown escaped, in messages and dumps.
TEST(CliEnter, ControlBytesAreShownEscaped) {
  CliRun r = Cli({"enter", "--dump", "A\x1b" "1=5", "B1='a\x07" "b\x7f", "C1=+("});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error: Out of Range A\\x1B1\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "B1\tlabel\t'a\\x07b\\x7F\t'a\\x07b\\x7F\n");
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
}

// A damaged file gives what was recovered, with the message, and status 1.
TEST(CliFiles, DamagedFilesGiveWhatWasRecovered) {
  TempDir dir;
  std::string wks = dir.File("whole.wks");
  ASSERT_EQ(Cli({"enter", "--out", wks, "A1=1", "A2=2", "A3=3"}).status, 0);
  std::ifstream in(wks, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  // Cut inside the third cell record.
  std::size_t third = bytes.find(std::string("\x0d\x00\x07\x00", 4));
  for (int k = 0; k < 2; ++k) third = bytes.find(std::string("\x0d\x00\x07\x00", 4), third + 1);
  ASSERT_NE(third, std::string::npos);
  std::string cut = dir.File("cut.wks");
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, third + 6);
  CliRun dump = Cli({"dump", cut});
  EXPECT_EQ(dump.status, 1);
  EXPECT_EQ(dump.out, "A1\tinteger\t1\t1 \nA2\tinteger\t2\t2 \n");
  EXPECT_EQ(dump.err, "tabulon-cli: " + cut +
                          ": Invalid WKS File! Recovered 2 cells read before the damage.\n");
  std::string csv = dir.File("saved.csv");
  CliRun convert = Cli({"convert", cut, csv});
  EXPECT_EQ(convert.status, 1);
  std::ifstream written(csv);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(written)), {}), "1\r\n2\r\n");
}

// Sheets compared cell by cell: kind, entry and value.
void ExpectSameSheet(SheetDocument& a, SheetDocument& b, const std::string& context) {
  auto cells = [](SheetDocument& d) {
    std::vector<std::string> list;
    d.cells().ForEachIn(0, 0, kRowCount - 1, kColumnCount - 1, [&](CellRecord& c) {
      if (c.Kind() == kEmpty) return;
      std::uint64_t bits = c.Kind() == kReal || c.Kind() == kFormula ? c.value.bits : 0;
      list.push_back(std::to_string(c.row) + "," + std::to_string(c.col) + " " +
                     std::to_string(c.KindAndError()) + " " + CellEditText(d, &c) + " " +
                     CellDisplayText(d, &c) + " " + std::to_string(bits));
    });
    return list;
  };
  EXPECT_EQ(cells(a), cells(b)) << context;
}

// Entering a script with one recalculation at the end gives the sheet that
// entering it line by line gives: random scripts of numbers, labels,
// erasures and formulas (each referring only to cells later in reading
// order, so without cycles), in random order with overwrites.
TEST(CliEnter, RecalculatingOnceGivesTheSameSheet) {
  std::mt19937 rng(20240607);
  auto cell = [&](int index) {
    return std::string(1, static_cast<char>('A' + index % 5)) + std::to_string(index / 5 + 1);
  };
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> entries;
    int count = 5 + static_cast<int>(rng() % 60);
    for (int i = 0; i < count; ++i) {
      int at = static_cast<int>(rng() % 24);
      auto later = [&] { return cell(at + 1 + static_cast<int>(rng() % (24 - at))); };
      // A range over rows below the cell's own.
      auto rowsBelow = [&] {
        int first = (at / 5 + 1) * 5;
        if (first > 24) return later();
        auto pick = [&] { return cell(first + static_cast<int>(rng() % (25 - first))); };
        return pick() + ".." + pick();
      };
      std::string text;
      switch (rng() % 6) {
        case 0: text = std::to_string(static_cast<int>(rng() % 100) - 50); break;
        case 1: text = "'lbl" + std::to_string(rng() % 10); break;
        case 2: text = ""; break;  // erases the cell
        case 3: text = "+" + later() + "*2+" + later(); break;
        case 4: text = "@SUM(" + rowsBelow() + ")"; break;
        default: text = "@IF(" + later() + ">3," + later() + ",\"no\")"; break;
      }
      entries.push_back(cell(at) + "=" + text);
    }
    testing::TestSheet once, oneByOne;
    BatchEntry a = EnterEntries(*once.doc, entries, true);
    BatchEntry b = EnterEntries(*oneByOne.doc, entries, false);
    EXPECT_FALSE(a.needsReplay);
    EXPECT_EQ(a.messages, b.messages);
    EXPECT_FALSE(once.doc->settings().manualRecalc);
    ExpectSameSheet(*once.doc, *oneByOne.doc, "round " + std::to_string(round));
  }
}

// Circular references take their values from the order of entry: such a
// script is entered again one line at a time.
TEST(CliEnter, CircularScriptsAreEnteredOneAtATime) {
  const std::vector<std::string> entries = {"A1=+B1+1", "B1=+A1+1", "C1=5", "D1=+C1+A1"};
  testing::TestSheet probe;
  EXPECT_TRUE(EnterEntries(*probe.doc, entries, true).needsReplay);
  testing::TestSheet oneByOne;
  EXPECT_FALSE(EnterEntries(*oneByOne.doc, entries, false).needsReplay);

  TempDir dir;
  std::string script = dir.File("cycle.txt"), out = dir.File("cycle.wks");
  {
    std::ofstream f(script);
    for (const std::string& e : entries) f << e << "\n";
  }
  ASSERT_EQ(Cli({"enter", "--script", script, "--out", out}).status, 0);
  testing::TestSheet loaded;
  ASSERT_TRUE(LoadWorksheet(*loaded.doc, out, 0).ok);
  ExpectSameSheet(*loaded.doc, *oneByOne.doc, "circular script");
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// An image writer that keeps what it was asked to draw.
struct RecordingImages : ImageOutput {
  std::string Write(const std::string& path, ImageFormat format, int width, int height,
                    const std::function<void(Canvas&)>& draw) override {
    paths.push_back(path);
    formats.push_back(format);
    sizes.push_back({width, height});
    canvas.Reset();
    draw(canvas);
    return fail;
  }
  std::vector<std::string> paths;
  std::vector<ImageFormat> formats;
  std::vector<std::pair<int, int>> sizes;
  testing::RecordingCanvas canvas;
  std::string fail;
};

TEST(CliGraph, ScriptsSetGraphsAndPicturesComeFromTheWriter) {
  TempDir dir;
  std::string sheet = dir.File("graph.wks");
  std::string script = dir.File("graph.txt");
  std::ofstream(script) << "A1=1\nA2=2\nB1=10\nB2=20\n{GRAPHSERIES 0 A1..A2}\n"
                           "{GRAPHSERIES 1 B1..B2}\n{GRAPHHEADING 0 \"Two points\"}\n"
                           "{GRAPHNAME 0 SAVED}\n{GRAPHTYPE 2 B}\n{GRAPHTYPE 2 Q}\n";
  CliRun made = Cli({"enter", "--script", script, "--out", sheet});
  ASSERT_EQ(made.status, 0) << made.err;

  RecordingImages images;
  CliRun r = Cli({"graph", sheet, "--out", dir.File("g.PNG"), "--size", "640x480"}, {&images, nullptr});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(images.sizes.size(), 1u);
  EXPECT_EQ(images.sizes[0], std::make_pair(640, 480));
  EXPECT_EQ(images.formats[0], ImageFormat::Png);
  bool heading = false;
  for (const auto& t : images.canvas.texts) heading |= t.text == "Two points";
  EXPECT_TRUE(heading);

  r = Cli({"graph", sheet, "--name", "saved", "--out", dir.File("g.svg")}, {&images, nullptr});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(images.sizes.back(), std::make_pair(800, 600));
  EXPECT_EQ(images.formats.back(), ImageFormat::Svg);

  images.fail = "Cannot write x";
  r = Cli({"graph", sheet, "--out", dir.File("g.bmp")}, {&images, nullptr});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Cannot write x\n");
}

TEST(CliGraph, UndefinedGraphsAndBadArguments) {
  TempDir dir;
  std::string sheet = dir.File("plain.wks");
  ASSERT_EQ(Cli({"enter", "--out", sheet, "A1=1"}).status, 0);
  RecordingImages images;
  CliRun r = Cli({"graph", sheet, "--out", dir.File("g.png")}, {&images, nullptr});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Graph Undefined!\n");
  r = Cli({"graph", sheet, "--name", "NONE", "--out", dir.File("g.png")}, {&images, nullptr});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Graph Undefined!\n");
  r = Cli({"graph", sheet, "--name", "", "--out", dir.File("g.png")}, {&images, nullptr});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(images.paths.empty()) << "nothing is written for an undefined graph";

  for (const char* size : {"0x100", "100x0", "100000x100000", "10001x5", "12", "x", "1x-4"})
    EXPECT_EQ(Cli({"graph", sheet, "--out", "g.png", "--size", size}, {&images, nullptr}).status, 2) << size;
  EXPECT_EQ(Cli({"graph", sheet, "--out", "g.gif"}, {&images, nullptr}).status, 2);
  EXPECT_EQ(Cli({"graph", sheet}, {&images, nullptr}).status, 2);
  EXPECT_EQ(Cli({"graph", "--out", "g.png"}, {&images, nullptr}).status, 2);
  EXPECT_EQ(Cli({"graph", dir.File("missing.wks"), "--out", "g.png"}, {&images, nullptr}).status, 1);

  // Built without an image writer the command says so.
  r = Cli({"graph", sheet, "--out", dir.File("g.png")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Error: ", 0), 0u);
}

TEST(CliEnter, BadGraphCommandsAreReported) {
  CliRun r = Cli({"enter", "{GRAPHSERIES 1 A1..!!}", "{GRAPHTYPE}", "{NOTHING 1}", "A1=1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not a range"), std::string::npos);
  EXPECT_NE(r.err.find("not a graph command"), std::string::npos);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CliConvert, TextInputsAreImported) {
  TempDir dir;
  WriteFile(dir.File("d.csv"), "name,qty\r\n\"a, b\",5\r\n,1.5E-3\r\n");
  ASSERT_EQ(Cli({"convert", dir.File("d.csv"), dir.File("d.wks")}).status, 0);
  CliRun dump = Cli({"dump", dir.File("d.wks")});
  EXPECT_NE(dump.out.find("A2\tlabel\t'a, b"), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("B2\tinteger\t5"), std::string::npos);
  EXPECT_NE(dump.out.find("B3\treal\t0.0015"), std::string::npos);
  // .txt gives one label per line; --import chooses.
  WriteFile(dir.File("t.txt"), "1 2\n");
  ASSERT_EQ(Cli({"convert", dir.File("t.txt"), dir.File("t.wks")}).status, 0);
  EXPECT_NE(Cli({"dump", dir.File("t.wks")}).out.find("A1\tlabel\t'1 2"), std::string::npos);
  ASSERT_EQ(Cli({"convert", dir.File("t.txt"), dir.File("v.wks"), "--import", "values"}).status, 0);
  EXPECT_NE(Cli({"dump", dir.File("v.wks")}).out.find("B1\tinteger\t2"), std::string::npos);
  // Straight from text to text.
  ASSERT_EQ(Cli({"convert", dir.File("d.csv"), dir.File("back.csv")}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("back.csv")), "name,qty\r\n\"a,b\",5\r\n,0.0015\r\n");

  EXPECT_EQ(Cli({"convert", dir.File("t.txt"), dir.File("x.wks"), "--import", "both"}).status, 2);
  EXPECT_EQ(Cli({"convert", dir.File("t.txt"), dir.File("x.wks"), "--import"}).status, 2);
  CliRun missing = Cli({"convert", dir.File("none.csv"), dir.File("x.wks")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("File Not Found"), std::string::npos);
  WriteFile(dir.File("bin.txt"), std::string("\x7f" "ELF\0\0\1", 7));
  CliRun binary = Cli({"convert", dir.File("bin.txt"), dir.File("x.wks")});
  EXPECT_EQ(binary.status, 1);
  EXPECT_NE(binary.err.find("Not a text file"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.File("x.wks")));
}

TEST(CliConvert, EncodingsOfTextFiles) {
  TempDir dir;
  WriteFile(dir.File("u.txt"), "caf\xC3\xA9 \xE4\xB8\xAD\n");
  CliRun r = Cli({"convert", dir.File("u.txt"), dir.File("u.csv")});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("1 character"), std::string::npos) << "the import says what became ?";
  EXPECT_EQ(ReadFile(dir.File("u.csv")), "caf\xE9?\r\n") << "8-bit by default, spaces dropped";
  ASSERT_EQ(Cli({"convert", dir.File("u.txt"), dir.File("u8.csv"), "--encoding", "utf8"}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("u8.csv")), "caf\xC3\xA9?\r\n");
  // Told the file is 8-bit, its bytes are taken as they are.
  ASSERT_EQ(Cli({"convert", dir.File("u.txt"), dir.File("raw.csv"), "--encoding", "cp1252"}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("raw.csv")), "caf\xC3\xA9\xE4\xB8\xAD\r\n");
  EXPECT_EQ(Cli({"convert", dir.File("u.txt"), dir.File("x.csv"), "--encoding", "latin9"}).status, 2);
  EXPECT_EQ(Cli({"eval", "1", "--encoding"}).status, 2);
}

TEST(CliEval, LinksReadOtherWorksheetsBesideTheFile) {
  TempDir dir;
  fs::create_directories(dir.path / "sub");
  ASSERT_EQ(Cli({"enter", "--out", dir.File("sub/other.wks"), "B2=42", "B3=8"}).status, 0);
  ASSERT_EQ(Cli({"enter", "--out", dir.File("sub/main.wks"), "A1=1"}).status, 0);
  CliRun r = Cli({"eval", "--file", dir.File("sub/main.wks"), "[other.wks]B2", "@SUM([other.wks]B2..B3)",
                  "[missing.wks]A1", "[main.wks]A1", "@LINK(\"other.wks>B3\")"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "42\n50\nERR\nERR\n8\n");
}

// A CSV file written by LibreOffice reads back with the same numbers and
// texts.
TEST(CliConvert, ACsvWrittenByLibreOfficeImports) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "soffice is not installed";
  TempDir dir;
  WriteFile(dir.File("lo.fods"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
            " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
            " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
            " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
            "<office:body><office:spreadsheet><table:table table:name=\"S\">"
            "<table:table-row>"
            "<table:table-cell office:value-type=\"float\" office:value=\"1.25\"><text:p>1.25</text:p></table:table-cell>"
            "<table:table-cell office:value-type=\"string\"><text:p>two words</text:p></table:table-cell>"
            "<table:table-cell office:value-type=\"float\" office:value=\"-300\"><text:p>-300</text:p></table:table-cell>"
            "</table:table-row><table:table-row>"
            "<table:table-cell office:value-type=\"string\"><text:p>a, \"b\"</text:p></table:table-cell>"
            "<table:table-cell/>"
            "<table:table-cell office:value-type=\"float\" office:value=\"0.001\"><text:p>0.001</text:p></table:table-cell>"
            "</table:table-row></table:table></office:spreadsheet></office:body></office:document>\n");
  std::string command = "cd '" + dir.path.string() +
                        "' && soffice --headless --convert-to csv lo.fods >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 || !fs::exists(dir.File("lo.csv")))
    GTEST_SKIP() << "soffice could not convert";
  ASSERT_EQ(Cli({"convert", dir.File("lo.csv"), dir.File("lo.wks")}).status, 0);
  CliRun r = Cli({"eval", "--file", dir.File("lo.wks"), "A1", "B1", "C1", "A2", "C2", "B2"});
  // The empty cell between two commas comes back as an empty label.
  EXPECT_EQ(r.out, "1.25\ntwo words\n-300\na, \"b\"\n0.001\n\n") << ReadFile(dir.File("lo.csv"));
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// convert to .xlsx counts the cells written as values on stderr, and a
// target in a missing folder fails with a message and no file.
TEST(CliConvertXlsx, NotesCountValuesOnlyCells) {
  TempDir dir;
  std::string wks = dir.File("in.wks");
  ASSERT_EQ(Cli({"enter", "--out", wks, "A1=1000", "A2=@VTABLE(A1,A1..A3,0)", "A3=@VTABLE(A2,A1..A3,0)",
                 "A4=@SUM(A1..A3)", "A5=@NA"})
                .status,
            0);
  std::string out = dir.File("out.xlsx");
  CliRun r = Cli({"convert", wks, out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Note: 2 cells written as values: @VTABLE: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Note: 1 cell written as values: @NA: "), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(out));
  CliRun ranged = Cli({"convert", wks, dir.File("part.xlsx"), "--range", "A1..A1"});
  EXPECT_EQ(ranged.status, 0);
  EXPECT_EQ(ranged.err, "");

  std::string lost = dir.File("missing/out.xlsx");
  CliRun bad = Cli({"convert", wks, lost});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("no such directory"), std::string::npos) << bad.err;
  EXPECT_FALSE(fs::exists(lost));
}

}  // namespace
}  // namespace tabulon
