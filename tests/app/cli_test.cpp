#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/cli.h"
#include "io/worksheet_file.h"
#include "platform/image_output.h"
#include "support/recording_canvas.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args, ImageOutput* images = nullptr) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliRun r;
  r.status = RunCli(args, out, err, images);
  for (auto [file, text] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    std::rewind(file);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) text->append(buf, n);
    std::fclose(file);
  }
  return r;
}

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

TEST(CliUsage, BadCommandLinesExitWithTwo) {
  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli({"frobnicate"}).status, 2);
  EXPECT_EQ(Cli({"eval"}).status, 2);
  EXPECT_EQ(Cli({"eval", "--file"}).status, 2);
  EXPECT_EQ(Cli({"convert", "only-one"}).status, 2);
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: tabulon-cli"), std::string::npos);
}

TEST(CliEnter, EntersSavesAndDumpsWithFailuresReported) {
  TempDir dir;
  std::string file = dir.File("sheet.wks");
  CliRun r = Cli({"enter", "--out", file, "--dump", "A1=10", "A2=+A1*3", "B1=hello", "B2=+A1+",
               "ZZ1=5", "junk"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Error: syntax B2"), std::string::npos);
  EXPECT_NE(r.out.find("Error: Out of Range ZZ1"), std::string::npos);
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
  CliRun r = Cli({"graph", sheet, "--out", dir.File("g.PNG"), "--size", "640x480"}, &images);
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(images.sizes.size(), 1u);
  EXPECT_EQ(images.sizes[0], std::make_pair(640, 480));
  EXPECT_EQ(images.formats[0], ImageFormat::Png);
  bool heading = false;
  for (const auto& t : images.canvas.texts) heading |= t.text == "Two points";
  EXPECT_TRUE(heading);

  r = Cli({"graph", sheet, "--name", "saved", "--out", dir.File("g.svg")}, &images);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(images.sizes.back(), std::make_pair(800, 600));
  EXPECT_EQ(images.formats.back(), ImageFormat::Svg);

  images.fail = "Cannot write x";
  r = Cli({"graph", sheet, "--out", dir.File("g.bmp")}, &images);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Cannot write x\n");
}

TEST(CliGraph, UndefinedGraphsAndBadArguments) {
  TempDir dir;
  std::string sheet = dir.File("plain.wks");
  ASSERT_EQ(Cli({"enter", "--out", sheet, "A1=1"}).status, 0);
  RecordingImages images;
  CliRun r = Cli({"graph", sheet, "--out", dir.File("g.png")}, &images);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Graph Undefined!\n");
  r = Cli({"graph", sheet, "--name", "NONE", "--out", dir.File("g.png")}, &images);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: Graph Undefined!\n");
  r = Cli({"graph", sheet, "--name", "", "--out", dir.File("g.png")}, &images);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(images.paths.empty()) << "nothing is written for an undefined graph";

  for (const char* size : {"0x100", "100x0", "100000x100000", "10001x5", "12", "x", "1x-4"})
    EXPECT_EQ(Cli({"graph", sheet, "--out", "g.png", "--size", size}, &images).status, 2) << size;
  EXPECT_EQ(Cli({"graph", sheet, "--out", "g.gif"}, &images).status, 2);
  EXPECT_EQ(Cli({"graph", sheet}, &images).status, 2);
  EXPECT_EQ(Cli({"graph", "--out", "g.png"}, &images).status, 2);
  EXPECT_EQ(Cli({"graph", dir.File("missing.wks"), "--out", "g.png"}, &images).status, 1);

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

}  // namespace
}  // namespace tabulon
