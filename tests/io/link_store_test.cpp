#include "io/link_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "formula/engine.h"
#include "formula/recalc.h"
#include "io/worksheet_file.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::TestSheet;

class Links : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tabulon_links_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    // The linking sheet lives in dir/sub; the current directory is elsewhere.
    main_.doc->SetFileName(Path("sub/main.wks"));
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Saves a sheet holding the entries ("A1=5", ...) under the name.
  void Write(const std::string& name, std::initializer_list<const char*> entries) {
    TestSheet t;
    for (const char* e : entries) {
      std::string s(e);
      std::size_t eq = s.find('=');
      ASSERT_TRUE(t.Enter(s.substr(0, eq), s.substr(eq + 1))) << s;
    }
    ASSERT_TRUE(SaveWorksheet(*t.doc, Path(name)));
  }

  fs::path dir_;
  TestSheet main_;
  LinkStore links_{main_.session};
};

TEST_F(Links, ValuesAndRangesComeFromTheFileBesideTheLinkingSheet) {
  Write("sub/other.wks", {"B2=42", "B3=8", "C1='hello"});
  Write("up.wks", {"A1=7"});
  EXPECT_EQ(main_.Eval("[other.wks]B2"), "42");
  EXPECT_EQ(main_.Eval("@SUM([other.wks]B2..B3)"), "50");
  EXPECT_EQ(main_.Eval("[../up.wks]A1*2"), "14");
  EXPECT_EQ(main_.Eval("@LINK(\"other.wks>C1\")"), "hello");
  // Old sheets name their files in capitals; the file is still found.
  EXPECT_EQ(main_.Eval("@LINK(\"OTHER.WKS>B3\")"), "8");
  EXPECT_EQ(main_.Eval("[" + Path("up.wks") + "]A1"), "7");
  EXPECT_EQ(main_.Eval("[../up]A1"), "7") << "a worksheet named without its extension";
}

TEST_F(Links, MissingDamagedAndSelfLinksGiveErr) {
  EXPECT_EQ(main_.Eval("[nothere.wks]A1"), "ERR");
  EXPECT_EQ(main_.Eval("@LINK(\"nothere.wks>A1\")"), "N/A");
  std::ofstream(Path("sub/junk.wks"), std::ios::binary) << "not a worksheet at all";
  EXPECT_EQ(main_.Eval("[junk.wks]A1"), "ERR");
  // A worksheet cut short is damaged: a link takes nothing from it.
  Write("sub/cut.wks", {"A1=1", "A2=2"});
  fs::resize_file(Path("sub/cut.wks"), fs::file_size(Path("sub/cut.wks")) / 2);
  EXPECT_EQ(main_.Eval("[cut.wks]A1"), "ERR");
  main_.Enter("A1", "5");
  EXPECT_EQ(main_.Eval("[main.wks]A1"), "ERR");
  EXPECT_EQ(main_.Eval("[./../sub/main.wks]A1"), "ERR");

  std::map<std::string, LinkState> states;
  for (const LinkSourceInfo& s : links_.Sources()) states[fs::path(s.path).filename().string()] = s.state;
  EXPECT_EQ(states["nothere.wks"], LinkState::Missing);
  EXPECT_EQ(states["junk.wks"], LinkState::Damaged);
  EXPECT_EQ(states["cut.wks"], LinkState::Damaged);
  EXPECT_EQ(states["main.wks"], LinkState::Self);
  EXPECT_FALSE(main_.session.errors().failed()) << "links are silent";
}

TEST_F(Links, FilesWhoseLinksLeadBackAreReadAndMarked) {
  // other -> third -> main: sheets that link to each other each read the
  // values stored in the other's file; nothing is evaluated across files,
  // so nothing can loop, and the table says the links go round.
  Write("sub/third.wks", {"A1=+[main.wks]A1+1"});
  Write("sub/other.wks", {"A1=+[third.wks]A1+1", "B1=3"});
  EXPECT_EQ(main_.Eval("[other.wks]B1"), "3");
  bool marked = false;
  for (const LinkSourceInfo& s : links_.Sources()) {
    marked |= fs::path(s.path).filename() == "other.wks" && s.state == LinkState::Circular;
  }
  EXPECT_TRUE(marked);
  // The same files read from a sheet they do not lead back to.
  TestSheet elsewhere;
  LinkStore store(elsewhere.session);
  elsewhere.doc->SetFileName(Path("elsewhere.wks"));
  EXPECT_EQ(elsewhere.Eval("[sub/other.wks]B1"), "3");
}

TEST_F(Links, UplinkReadsAChangedFileAgain) {
  Write("sub/other.wks", {"A1=1"});
  ASSERT_TRUE(main_.Enter("B1", "+[other.wks]A1*10"));
  EXPECT_EQ(main_.Number("B1"), 10);
  Write("sub/other.wks", {"A1=2"});
  RecalcAll(*main_.doc);
  EXPECT_EQ(main_.Number("B1"), 10) << "the source is kept until Uplink";
  links_.Reload();
  RecalcAll(*main_.doc);
  EXPECT_EQ(main_.Number("B1"), 20);
  // A file that appears later is found by the next Uplink.
  ASSERT_TRUE(main_.Enter("B2", "+[later.wks]A1"));
  EXPECT_TRUE(main_.IsError("B2"));
  Write("sub/later.wks", {"A1=9"});
  links_.Reload();
  RecalcAll(*main_.doc);
  EXPECT_EQ(main_.Number("B2"), 9);
  links_.Reset();
  EXPECT_TRUE(links_.Sources().empty());
}

TEST_F(Links, AnOpenSheetIsReadInsteadOfItsFile) {
  Write("sub/other.wks", {"A1=1"});
  SheetDocument* open = main_.session.NewDocument();
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(LoadWorksheet(*open, Path("sub/other.wks"), 0).ok);
  EnterCell(*open, "99", 0, 0);  // changed, not saved
  EXPECT_EQ(main_.Eval("[other.wks]A1"), "99");
  ASSERT_EQ(links_.Sources().size(), 1u);
  EXPECT_EQ(links_.Sources()[0].state, LinkState::Open);
  main_.session.Release(*open);
  EXPECT_EQ(main_.Eval("[other.wks]A1"), "1") << "closed: the file again";
}

TEST_F(Links, TheStoreLeavesTheSessionWhenItGoes) {
  TestSheet t;
  {
    LinkStore store(t.session);
    EXPECT_EQ(Engine(t.session).links, &store);
  }
  EXPECT_EQ(Engine(t.session).links, nullptr);
  EXPECT_EQ(t.Eval("[x.wks]A1"), "ERR");
}

TEST(LinkPaths, RelativePathsStartFromTheGivenFolder) {
  EXPECT_EQ(ResolveLinkPath("a.wks", "/data/sheets"), "/data/sheets/a.wks");
  EXPECT_EQ(ResolveLinkPath("/x/a.wks", "/data"), "/x/a.wks");
  std::string cwd = fs::current_path().string();
  EXPECT_EQ(ResolveLinkPath("a.wks", "rel"), cwd + "/rel/a.wks");
  EXPECT_EQ(NormalLinkPath("/a/b/../c/./d.wks"), "/a/c/d.wks");
  TestSheet t;
  EXPECT_EQ(LinkFolder(*t.doc), "");
  t.doc->SetFileName("/data/x.wks");
  EXPECT_EQ(LinkFolder(*t.doc), "/data");
  t.doc->SetFileName("x.wks");
  EXPECT_EQ(LinkFolder(*t.doc), "");
}

}  // namespace
}  // namespace tabulon
