// Information functions. System facts are checked against what the system
// reports through other channels: the file system (std::filesystem), the
// kernel's own release file, and the session's settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>

#include "formula/engine.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;
namespace fs = std::filesystem;

TEST(InformationFunctions, NumberOrStringCells) {
  TestSheet s;
  s.Enter("A1", "5");
  s.Enter("A2", "'text");
  s.Enter("A3", "+A1*2");
  s.Enter("A4", "+A2&\"!\"");
  s.Enter("A5", "2.5");
  EXPECT_EQ(s.Eval("@ISNUM(A1)"), "1");
  EXPECT_EQ(s.Eval("@ISNUM(A2)"), "0");
  EXPECT_EQ(s.Eval("@ISNUM(A3)"), "1");
  EXPECT_EQ(s.Eval("@ISNUM(A5)"), "1");
  EXPECT_EQ(s.Eval("@ISNUM(A9)"), "0");  // an empty cell is neither
  EXPECT_EQ(s.Eval("@ISSTR(A9)"), "0");
  EXPECT_EQ(s.Eval("@ISSTR(A2)"), "1");
  EXPECT_EQ(s.Eval("@ISSTR(A4)"), "1");
  EXPECT_EQ(s.Eval("@ISSTR(A1)"), "0");
  // The test is on the cell referenced last, not on the argument's value.
  EXPECT_EQ(s.Eval("@ISNUM(A2+0)"), "0");
  EXPECT_EQ(s.Eval("@ISSTR(A1&\"\")"), "0");
  // With no cell referenced, the value itself decides.
  EXPECT_EQ(s.Eval("@ISNUM(5)"), "1");
  EXPECT_EQ(s.Eval("@ISSTR(\"x\")"), "1");
  EXPECT_EQ(s.Eval("@ISNUM(\"x\")"), "0");
}

TEST(InformationFunctions, FileInformation) {
  TestSheet s;
  fs::path dir = fs::temp_directory_path() / ("tabulon_info_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path file = dir / "data.txt";
  { std::ofstream(file) << "0123456789"; }
  std::string f = file.string();
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + f + "\",1)"), "10");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + f + "\",2)"), "1");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + f + "\",3)"), "32");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + dir.string() + "\",3)"), "16");
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + f + "\",3)"), "33");  // read-only ordinary file
  std::string missing = (dir / "missing.txt").string();
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + missing + "\",1)"), "ERR");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + missing + "\",2)"), "0");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + missing + "\",3)"), "ERR");
  EXPECT_EQ(s.Eval("@FILEINFO(\"" + f + "\",5)"), "ERR");
  s.doc->SetFileName("BUDGET.WKS");
  EXPECT_EQ(s.Eval("@FILEINFO(\"\",4)"), "BUDGET.WKS");
  EXPECT_EQ(s.Eval("@FILENAME"), "BUDGET.WKS");
  fs::remove_all(dir);
}

TEST(InformationFunctions, SystemFacts) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@PATH"), fs::current_path().string());
  EXPECT_EQ(s.Eval("@DOSVER"), "N/A");
  EXPECT_EQ(s.EvalNumber("@VERSION"), 1.6006);
  // The kernel release, read from the kernel's own file: "6.8.0-..." is 6.008.
  std::string release;
  std::ifstream("/proc/sys/kernel/osrelease") >> release;
  int major = std::stoi(release);
  int minor = std::stoi(release.substr(release.find('.') + 1));
  EXPECT_DOUBLE_EQ(s.EvalNumber("@OSVER"), major + minor / 1000.0);
}

TEST(InformationFunctions, MemoryFigures) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@MEMAVAIL(0)"), 66842640);
  EXPECT_EQ(s.EvalNumber("@MEMAVAIL(1)") + s.EvalNumber("@MEMAVAIL(2)"), 66842640);
  double before = s.EvalNumber("@MEMAVAIL(2)");
  for (int r = 1; r <= 100; ++r) s.Enter("A" + std::to_string(r), "1");
  EXPECT_GT(s.EvalNumber("@MEMAVAIL(2)"), before);
  EXPECT_EQ(s.EvalNumber("@MEMAVAIL(7.25)"), 7.25);  // unknown selectors come back unchanged
}

TEST(InformationFunctions, SessionState) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@AUTO"), "1");
  s.doc->settings().manualRecalc = true;
  EXPECT_EQ(s.Eval("@AUTO"), "0");
  EXPECT_EQ(s.Eval("@PROTECT"), "0");
  s.doc->settings().protect = true;
  EXPECT_EQ(s.Eval("@PROTECT"), "1");
  EXPECT_EQ(s.Eval("@QVIEW(0)"), "1");
  EXPECT_EQ(s.Eval("@QVIEW(1)"), "1");
  EXPECT_EQ(s.Eval("@QVIEW(2)"), "ERR");
  Engine(s.session).ioResult = 5;
  EXPECT_EQ(s.Eval("@IORESULT"), "5");
  EXPECT_EQ(s.Eval("@IORESULT"), "0");  // reading resets it
  EXPECT_EQ(s.Eval("@RGB(1,2,3)"), "197121");  // 1 + 2*256 + 3*65536
  EXPECT_EQ(s.EvalNumber("@RGB(255,255,255)"), 16777215);
}

}  // namespace
}  // namespace tabulon
