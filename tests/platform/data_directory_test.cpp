#include "platform/data_directory.h"

#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tabulon {
namespace {

namespace fs = std::filesystem;

// A scratch folder whose name has spaces in it, as an install prefix may.
struct Tree {
  Tree()
      : root(fs::temp_directory_path() /
             ("tabulon data " + std::to_string(::getpid()) + " " +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(root);
    fs::create_directories(root);
  }
  ~Tree() { fs::remove_all(root); }

  fs::path Program(const fs::path& relative) const {
    fs::path p = root / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "#!/bin/sh\n";
    return p;
  }
  fs::path Folder(const fs::path& relative) const {
    fs::create_directories(root / relative);
    return root / relative;
  }

  fs::path root;
};

TEST(DataDirectory, FindsTheInstalledFolderBesideTheProgramsFolder) {
  Tree t;
  fs::path program = t.Program("opt/my prefix/bin/tabulon");
  fs::path data = t.Folder("opt/my prefix/share/tabulon");
  DataLocation d = DataDirectory(program.string(), "../share/tabulon");
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, data.string());
  // A deeper binary folder (bin/x86_64) reaches the data with more "..".
  fs::path deep = t.Program("opt/my prefix/lib/tabulon/bin/tabulon");
  EXPECT_EQ(DataDirectory(deep.string(), "../../../share/tabulon").directory, data.string());
}

TEST(DataDirectory, FollowsTheTreeWhenItIsMovedOrLinked) {
  Tree t;
  t.Program("first/bin/tabulon");
  t.Folder("first/share/tabulon");
  fs::rename(t.root / "first", t.root / "moved elsewhere");
  DataLocation d = DataDirectory((t.root / "moved elsewhere/bin/tabulon").string(), "../share/tabulon");
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, (t.root / "moved elsewhere/share/tabulon").string());

  // A link in another bin folder leads to the tree the program lives in.
  t.Folder("links");
  fs::create_symlink(t.root / "moved elsewhere/bin/tabulon", t.root / "links/tabulon");
  d = DataDirectory((t.root / "links/tabulon").string(), "../share/tabulon");
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, (t.root / "moved elsewhere/share/tabulon").string());
}

TEST(DataDirectory, ARelativeProgramPathIsTakenFromTheCurrentFolder) {
  Tree t;
  fs::path program = t.Program("bin/tabulon-cli");
  fs::path data = t.Folder("share/tabulon");
  fs::path relative = fs::relative(program, fs::current_path());
  ASSERT_TRUE(relative.is_relative());
  DataLocation d = DataDirectory(relative.string(), "../share/tabulon");
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, data.string());
}

TEST(DataDirectory, ABuildTreeUsesTheDataStagedBesideTheProgram) {
  Tree t;
  fs::path program = t.Program("build/tabulon");
  fs::path staged = t.Folder("build/share/tabulon");
  DataLocation d = DataDirectory(program.string(), "../share/tabulon");
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, staged.string());
  // An installed layout wins over a staged one.
  fs::path installed = t.Folder("share/tabulon");
  EXPECT_EQ(DataDirectory(program.string(), "../share/tabulon").directory, installed.string());
}

TEST(DataDirectory, NamesTheInstalledPlaceWhenNothingIsThere) {
  Tree t;
  fs::path program = t.Program("usr/bin/tabulon");
  DataLocation d = DataDirectory(program.string(), "../share/tabulon/");
  EXPECT_FALSE(d.found);
  EXPECT_EQ(d.directory, (t.root / "usr/share/tabulon").string());
  // A file where the folder should be is not a data folder.
  fs::create_directories(t.root / "usr/share");
  std::ofstream(t.root / "usr/share/tabulon") << "not a folder";
  ASSERT_TRUE(fs::is_regular_file(t.root / "usr/share/tabulon"));
  EXPECT_FALSE(DataDirectory(program.string(), "../share/tabulon").found);

  EXPECT_FALSE(DataDirectory("", "../share/tabulon").found);
  EXPECT_EQ(DataDirectory("", "../share/tabulon").directory, "");
}

TEST(DataDirectory, AnAbsoluteDataFolderIsUsedAsGiven) {
  Tree t;
  fs::path program = t.Program("bin/tabulon");
  fs::path data = t.Folder("elsewhere/data");
  DataLocation d = DataDirectory(program.string(), data.string());
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.directory, data.string());
}

TEST(DataFiles, ReportsWhatIsMissingAndWhere) {
  Tree t;
  fs::path data = t.Folder("share/tabulon");
  fs::create_directories(data / "manual");
  std::ofstream(data / "MACROS.BTN") << "BM";
  EXPECT_TRUE(MissingDataFiles(data.string(), {"manual", "MACROS.BTN"}).empty());
  EXPECT_EQ(MissingDataNotice(data.string(), {}), "");

  fs::remove_all(data / "manual");
  std::vector<std::string> missing =
      MissingDataFiles(data.string(), {"manual", "MACROS.BTN", "TBL.TPS"});
  EXPECT_EQ(missing, (std::vector<std::string>{"manual", "TBL.TPS"}));
  EXPECT_EQ(MissingDataNotice(data.string(), missing),
            "missing from " + data.string() + ": manual, TBL.TPS (starting without them)");
  EXPECT_EQ(MissingDataNotice(data.string(), {"manual"}),
            "missing from " + data.string() + ": manual (starting without it)");

  // Without a data folder everything is missing.
  EXPECT_EQ(MissingDataFiles("", {"manual"}), std::vector<std::string>{"manual"});
  EXPECT_EQ(MissingDataFiles((t.root / "nowhere").string(), {"manual"}),
            std::vector<std::string>{"manual"});
}

TEST(DataFiles, SplitsTheBuildsList) {
  EXPECT_EQ(SplitDataList("manual:MACROS.BTN"),
            (std::vector<std::string>{"manual", "MACROS.BTN"}));
  EXPECT_EQ(SplitDataList(":a::b:"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(SplitDataList("").empty());
}

}  // namespace
}  // namespace tabulon
