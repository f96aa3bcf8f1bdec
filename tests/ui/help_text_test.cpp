// The manual as files: heading anchors, links between chapters, the tips
// file; and the manual itself, whose every link must lead to a chapter and
// a heading that exist, and whose command chapter must name every menu item.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <regex>

#include "datatools/data_commands.h"
#include "display/format.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/help_text.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(HelpText, AnchorsFollowTheHeadingText) {
  EXPECT_EQ(HeadingAnchor("Keys F1 to F12"), "keys-f1-to-f12");
  EXPECT_EQ(HeadingAnchor("Labels, numbers and formulas"), "labels-numbers-and-formulas");
  EXPECT_EQ(HeadingAnchor("The `@` functions (A-Z)"), "the--functions-a-z");
  EXPECT_EQ(HeadingAnchor("SEP= and PERIOD="), "sep-and-period");
  EXPECT_EQ(HeadingAnchor("snake_case stays"), "snake_case-stays");
}

TEST(HelpText, HeadingsOutsideCodeOnlyAndRepeatsNumbered) {
  const char* chapter =
      "# Title\n"
      "text with a # inside\n"
      "#not a heading\n"
      "## Moving around ##\n"
      "```\n"
      "# a comment in code\n"
      "```\n"
      "### Moving around\n"
      "   ~~~\n"
      "## hidden\n"
      "   ~~~\n"
      "####### seven is too many\n"
      "## Moving around";  // no final line end
  std::vector<std::string> want = {"title", "moving-around", "moving-around-1", "moving-around-2"};
  EXPECT_EQ(MarkdownAnchors(chapter), want);
}

TEST(HelpText, LinksLeaveOutCodeAndWebAddresses) {
  const char* chapter =
      "See [Formats](formats.md#dates-and-times) and [below](#keys).\n"
      "Code `[not](a-link.md)` and ``[nor](this.md)`` stay code.\n"
      "```\n"
      "[in code](code.md)\n"
      "```\n"
      "The [site](https://example.org/x.md) and [mail](mailto:a@b.c) are not chapters.\n"
      "Two on a line: [a](a.md) [b](b.md \"with a title\"), an image ![pic](pic.png).\n"
      "A bracket ] ( that is not a link.\n";
  std::vector<ManualLink> links = MarkdownLinks(chapter);
  ASSERT_EQ(links.size(), 5u);
  EXPECT_EQ(links[0].file, "formats.md");
  EXPECT_EQ(links[0].fragment, "dates-and-times");
  EXPECT_EQ(links[0].line, 1);
  EXPECT_EQ(links[1].file, "");
  EXPECT_EQ(links[1].fragment, "keys");
  EXPECT_EQ(links[2].file, "a.md");
  EXPECT_EQ(links[2].line, 7);
  EXPECT_EQ(links[3].file, "b.md");
  EXPECT_EQ(links[3].fragment, "");
  EXPECT_EQ(links[4].file, "pic.png");
}

TEST(HelpText, TipsAreParagraphs) {
  const char* file =
      "# comment line\n"
      "First tip,\n"
      "  on two lines.\n"
      "\n"
      "\n"
      "# another comment\n"
      "Second tip.\r\n"
      "\r\n"
      "Third tip without a final line end.";
  std::vector<std::string> want = {"First tip, on two lines.", "Second tip.",
                                   "Third tip without a final line end."};
  EXPECT_EQ(ParseTips(file), want);
  EXPECT_TRUE(ParseTips("").empty());
  EXPECT_TRUE(ParseTips("\n\n# only comments\n").empty());
}

TEST(HelpText, FilesLieInTheManualFolder) {
  EXPECT_EQ(ManualIndexFile("/usr/share/tabulon"), "/usr/share/tabulon/manual/index.md");
  EXPECT_EQ(TipsFile("/opt/t/share/tabulon"), "/opt/t/share/tabulon/manual/tips.txt");
}

// --- the manual itself ------------------------------------------------------------

std::vector<fs::path> Chapters() {
  std::vector<fs::path> chapters;
  for (const auto& entry : fs::directory_iterator(TABULON_MANUAL_DIR))
    if (entry.path().extension() == ".md") chapters.push_back(entry.path());
  std::sort(chapters.begin(), chapters.end());
  return chapters;
}

TEST(Manual, EveryLinkLeadsToAChapterAndHeading) {
  std::vector<fs::path> chapters = Chapters();
  ASSERT_FALSE(chapters.empty());
  std::set<std::string> names;
  for (const fs::path& c : chapters) names.insert(c.filename().string());
  ASSERT_TRUE(names.count("index.md"));
  int links = 0;
  for (const fs::path& chapter : chapters) {
    for (const ManualLink& link : MarkdownLinks(ReadFile(chapter))) {
      ++links;
      std::string where = chapter.filename().string() + ":" + std::to_string(link.line);
      fs::path target = link.file.empty() ? chapter : chapter.parent_path() / link.file;
      if (!fs::exists(target)) {
        ADD_FAILURE() << where << ": " << link.file << " does not exist";
        continue;
      }
      if (link.fragment.empty()) continue;
      std::vector<std::string> anchors = MarkdownAnchors(ReadFile(target));
      bool found = std::find(anchors.begin(), anchors.end(), link.fragment) != anchors.end();
      EXPECT_TRUE(found) << where << ": " << target.filename().string() << " has no heading #" << link.fragment;
    }
  }
  EXPECT_GT(links, 100);
}

TEST(Manual, TheContentsReachEveryChapter) {
  std::set<std::string> linked;
  for (const ManualLink& link : MarkdownLinks(ReadFile(fs::path(TABULON_MANUAL_DIR) / "index.md")))
    linked.insert(link.file);
  for (const fs::path& chapter : Chapters()) {
    std::string name = chapter.filename().string();
    if (name == "index.md") continue;
    EXPECT_TRUE(linked.count(name)) << "index.md does not list " << name;
  }
}

TEST(Manual, TheTipsFileHoldsTips) {
  std::vector<std::string> tips = ParseTips(ReadFile(fs::path(TABULON_MANUAL_DIR) / "tips.txt"));
  EXPECT_GE(tips.size(), 15u);
  for (const std::string& tip : tips) EXPECT_LT(tip.size(), 400u) << tip;
}

// Every item of the menus, as the command table builds them, is described
// in the chapter on commands under its caption.
TEST(Manual, TheCommandChapterNamesEveryMenuItem) {
  std::string chapter = ReadFile(fs::path(TABULON_MANUAL_DIR) / "commands.md");
  ASSERT_FALSE(chapter.empty());
  HeadlessHost host;
  Session session(host);
  Workspace ws(session);
  RegisterDataCommands(ws);
  int items = 0;
  for (const Command& c : ws.commands().entries()) {
    if (c.caption.empty() || (c.menu.empty() && !(c.flags & kOnMenuBar))) continue;
    ++items;
    std::string caption;
    for (char ch : c.caption)
      if (ch != '&') caption += ch;
    EXPECT_NE(chapter.find(caption), std::string::npos)
        << "commands.md does not name " << c.menu << " > " << caption;
  }
  EXPECT_GT(items, 40);
}

// The walk-throughs of the contents page and of pointing, key by key
// through the workspace as a user types them.
struct Typist {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  Typist() { ws.NewSheet(); }
  void Type(std::string_view text) { ws.TypeText(text); }
  void Press(Key k, int times = 1) {
    for (int i = 0; i < times; ++i) ws.HandleKey(k);
  }
  SheetDocument& Doc() { return ws.active()->document(); }
  std::string Contents(int row, int col) {
    return CellEditText(Doc(), Doc().cells().FindCell(row, col));
  }
  double Value(int row, int col) { return CellNumber(Doc().cells().FindCell(row, col)); }
};

TEST(Manual, TheFirstSessionOfTheContentsWorks) {
  Typist t;
  t.Type("Rent");
  t.Press(Key::Enter);
  t.Press(Key::Down);
  t.Type("450");
  t.Press(Key::Down);
  t.Type("120");
  t.Press(Key::Down);
  t.Type("@SUM(");
  t.Press(Key::Up, 2);
  EXPECT_EQ(t.ws.input().text(), "@SUM(A2");
  t.Type(".");
  t.Press(Key::Down);
  EXPECT_EQ(t.ws.input().text(), "@SUM(A2..A3");
  t.Type(")");
  t.Press(Key::Enter);
  EXPECT_EQ(t.Contents(0, 0), "'Rent");
  EXPECT_EQ(t.Contents(3, 0), "@SUM(A2..A3)");
  EXPECT_EQ(t.Value(3, 0), 570);
  t.Press(Key::Up, 2);
  t.Type("500");
  t.Press(Key::Enter);
  EXPECT_EQ(t.Value(3, 0), 620);
}

TEST(Manual, ThePointingExampleGivesTheRangeItNames) {
  Typist t;
  t.ws.active()->MoveCursor(3, 0);  // A4
  t.ws.input().CursorMoved();
  t.Type("@SUM(");
  t.Press(Key::Up, 3);
  t.Type(".");
  t.Press(Key::Down, 2);
  t.Type(")");
  t.Press(Key::Enter);
  EXPECT_EQ(t.Contents(3, 0), "@SUM(A1..A3)");
}

// The user-function file of the configuration chapter, read as TABULON
// reads it, gives the results the chapter states.
TEST(Manual, TheUserFunctionExampleGivesWhatItSays) {
  std::string chapter = ReadFile(fs::path(TABULON_MANUAL_DIR) / "configuration.md");
  std::size_t section = chapter.find("## The user-function file");
  ASSERT_NE(section, std::string::npos);
  std::string text = chapter.substr(section);
  // The example file is the first indented block of the section.
  std::string file;
  std::istringstream lines(text);
  std::string line;
  bool inBlock = false;
  while (std::getline(lines, line)) {
    if (line.rfind("    ", 0) == 0) {
      file += line.substr(4) + "\n";
      inBlock = true;
    } else if (inBlock) {
      break;
    }
  }
  ASSERT_FALSE(file.empty());
  fs::path dir = fs::temp_directory_path() / "tabulon-manual-usr";
  fs::create_directories(dir);
  std::ofstream(dir / "TBL.USR") << file;

  HeadlessHost host;
  Session session(host);
  Workspace ws(session);
  ws.LoadConfiguration(dir.string(), "TBL");
  ws.NewSheet();
  SheetDocument& doc = ws.active()->document();
  std::regex claim("`(@[A-Z]+\\([^`]*\\))`\\s+gives\\s+(-?[0-9]+(\\.[0-9]+)?(E[-+][0-9]+)?)");
  int checked = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), claim), end; it != end; ++it) {
    std::string formula = (*it)[1], result = (*it)[2];
    ASSERT_TRUE(EnterCell(doc, formula, checked, 0).ok) << formula;
    EXPECT_EQ(InputForm(CellNumber(doc.cells().FindCell(checked, 0))), result) << formula;
    ++checked;
  }
  EXPECT_EQ(checked, 2);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tabulon
