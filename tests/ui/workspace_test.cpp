// The workspace without a window: keys through HandleKey (entries,
// pointing, anchoring, F4, Escape, prompts), files (save, reopen where the
// window was, the close query, recent files), commands through the table
// (undo after a failed command) and random key sequences.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <random>

#include "edit/cell_text.h"
#include "edit/sheet_invariants.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::CheckSheet;

// A view that records what the workspace asked of it.
struct RecordingView : WorkspaceView {
  std::vector<char> menusOpened;
  int windowsOpened = 0, windowsClosed = 0;
  void OpenMenu(char letter) override { menusOpened.push_back(letter); }
  void WindowOpened(SheetWindow&) override { ++windowsOpened; }
  void WindowClosing(SheetWindow&) override { ++windowsClosed; }
};

struct Desk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  RecordingView view;
  fs::path dir;

  Desk() {
    ws.SetView(&view);
    ws.NewSheet();
    dir = fs::temp_directory_path() /
          ("tabulon-ws-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(dir);
  }
  ~Desk() {
    ws.SetView(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  SheetWindow& W() { return *ws.active(); }
  SheetDocument& Doc() { return W().document(); }
  void Keys(std::initializer_list<Key> keys) {
    for (Key k : keys) ws.HandleKey(k);
  }
  void Type(std::string_view text) { ws.TypeText(text); }
  void GoTo(int row, int col) { W().MoveCursor(row, col); ws.input().CursorMoved(); }
  // Types an entry at a cell and presses Enter.
  void Put(int row, int col, std::string_view text) {
    GoTo(row, col);
    Type(text);
    ws.HandleKey(Key::Enter);
  }
  std::string Edit(int row, int col) {
    return CellEditText(Doc(), Doc().cells().FindCell(row, col));
  }
  double Number(int row, int col) { return CellNumber(Doc().cells().FindCell(row, col)); }
  std::string Cursor() { return ws.input().IndicatorText(); }
  std::string File(const char* name) { return (dir / name).string(); }
};

TEST(Workspace, PointingUpTwiceEntersTheFormulaWhereItWasStarted) {
  // The fault a new user met: at G6, "@SUM(", Up, Up erased G5.
  Desk d;
  d.Put(4, 6, "5");   // G5
  d.Put(3, 6, "7");   // G4
  d.GoTo(5, 6);       // G6
  d.Type("@SUM(");
  d.ws.HandleKey(Key::Up);
  EXPECT_EQ(d.ws.input().text(), "@SUM(G5");
  EXPECT_EQ(d.ws.input().mode(), "POINT");
  d.ws.HandleKey(Key::Up);
  EXPECT_EQ(d.ws.input().text(), "@SUM(G4");
  EXPECT_EQ(d.Edit(4, 6), "5") << "G5 must be untouched while pointing";
  d.Type(")");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Edit(5, 6), "@SUM(G4)");
  EXPECT_EQ(d.Number(5, 6), 7);
  EXPECT_EQ(d.Edit(4, 6), "5");
  EXPECT_EQ(d.Cursor(), "G6") << "the cursor is back on the entered cell";
}

TEST(Workspace, DotAnchorsABlockAndF4CyclesTheMarks) {
  Desk d;
  for (int r = 0; r < 3; ++r) d.Put(r, 0, std::to_string(r + 1));
  d.GoTo(4, 0);  // A5
  d.Type("@SUM(");
  d.Keys({Key::Up, Key::Up});          // A3
  d.Type(".");                         // anchored at A3
  d.Keys({Key::Up, Key::Up});          // extends to A1
  EXPECT_EQ(d.ws.input().text(), "@SUM(A3..A1");
  d.Type(")");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Number(4, 0), 6);
  EXPECT_EQ(d.Cursor(), "A5");

  d.GoTo(4, 1);  // B5
  d.Type("+");
  d.ws.HandleKey(Key::Left);
  d.ws.HandleKey(Key::F4);
  EXPECT_EQ(d.ws.input().text(), "+$A$5");
  d.ws.HandleKey(Key::F4);
  EXPECT_EQ(d.ws.input().text(), "+$A5");
  d.ws.HandleKey(Key::F4);
  EXPECT_EQ(d.ws.input().text(), "+A$5");
  d.ws.HandleKey(Key::F4);
  EXPECT_EQ(d.ws.input().text(), "+A5");
  d.ws.HandleKey(Key::Escape);
  EXPECT_EQ(d.ws.input().text(), "+") << "Escape gives up the pointed address";
  EXPECT_EQ(d.Cursor(), "B5");
  d.ws.HandleKey(Key::Escape);
  d.ws.HandleKey(Key::Escape);
  EXPECT_EQ(d.ws.input().mode(), "READY");
  EXPECT_EQ(d.Doc().cells().FindCell(4, 1), nullptr);
}

TEST(Workspace, EditingKeysWorkWithoutAWindowSystem) {
  Desk d;
  d.Put(0, 0, "abc");
  d.ws.HandleKey(Key::F2);
  EXPECT_EQ(d.ws.input().mode(), "EDIT");
  d.ws.HandleKey(Key::Backspace);
  d.Type("x");
  d.ws.HandleKey(Key::Home);
  d.ws.HandleKey(Key::Right);
  d.ws.HandleKey(Key::Delete);
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Edit(0, 0), "'bx");
  // Insert switches typing to overwrite.
  d.ws.HandleKey(Key::F2);
  d.ws.HandleKey(Key::Insert);
  EXPECT_TRUE(d.ws.lockKey(LockKey::kInsert));
  d.ws.HandleKey(Key::Home);
  d.ws.HandleKey(Key::Right);
  d.Type("Q");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Edit(0, 0), "'Qx");
}

TEST(Workspace, GotoUnderProtectionReplacesTheProposedAddress) {
  Desk d;
  d.GoTo(12, 1);  // B13
  d.Doc().settings().protect = true;
  d.ws.HandleKey(Key::F5);
  EXPECT_EQ(d.ws.input().mode(), "RANGE");
  EXPECT_EQ(d.ws.input().text(), "B13");
  d.Type("B4");
  EXPECT_EQ(d.ws.input().text(), "B4");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.W().CursorCell().row, 3);
  EXPECT_EQ(d.W().CursorCell().col, 1);
}

TEST(Workspace, F11OffersTheDependentsAndF5TheRangeNames) {
  Desk d;
  d.Put(0, 0, "1");
  d.Put(2, 1, "+A1*2");
  d.Put(3, 3, "+A1+B3");
  d.GoTo(0, 0);
  d.ws.HandleKey(Key::F11);
  ASSERT_TRUE(d.ws.input().promptOpen());
  std::vector<std::string> list = d.ws.input().choices();
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{"B3", "D4"}));
  d.Type("D4");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.W().CursorCell().row, 3);
  EXPECT_TRUE(d.ws.input().choices().empty());
  // A cell nothing depends on: a beep and no prompt.
  int beeps = d.host.beeps;
  d.ws.HandleKey(Key::F11);
  EXPECT_FALSE(d.ws.input().promptOpen());
  EXPECT_GT(d.host.beeps, beeps);

  ASSERT_TRUE(d.ws.Execute("range.create", {"TOTAL", "D4"}).ok());
  d.ws.HandleKey(Key::F5);
  EXPECT_EQ(d.ws.input().choices(), std::vector<std::string>{"TOTAL"});
  d.ws.HandleKey(Key::Escape);
  d.ws.HandleKey(Key::Escape);
  EXPECT_FALSE(d.ws.input().promptOpen());
}

TEST(Workspace, ALockedCellRefusesTypingAndShowsProtected) {
  Desk d;
  d.Put(0, 0, "1");
  d.Doc().settings().protect = true;
  d.ws.input().CursorMoved();
  EXPECT_EQ(d.ws.input().text(), "* Protected *");
  int beeps = d.host.beeps;
  d.Type("9");
  d.ws.HandleKey(Key::Enter);
  EXPECT_GT(d.host.beeps, beeps);
  EXPECT_EQ(d.ws.input().mode(), "READY");
  EXPECT_EQ(d.Number(0, 0), 1);
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(Workspace, AltWithALetterOpensThatMenuInsteadOfTyping) {
  Desk d;
  d.ws.HandleKey(Key::Character, {.alt = true}, 'f');
  ASSERT_EQ(d.view.menusOpened.size(), 1u);
  EXPECT_EQ(d.view.menusOpened[0], 'F');
  EXPECT_FALSE(d.ws.input().entryOpen());
  d.ws.HandleKey(Key::Character, {}, '/');
  EXPECT_EQ(d.view.menusOpened.back(), '/');
  EXPECT_FALSE(d.ws.input().entryOpen());
}

TEST(Workspace, AFailedCommandLeavesUndoWhereItWas) {
  Desk d;
  d.Put(0, 0, "1");
  d.Put(0, 1, "2");
  // A copy that would run off the sheet fails ...
  Status s = d.ws.Execute("copy", {"A1..A10", "A8190"});
  EXPECT_FALSE(s.ok());
  // ... and Undo changes nothing, instead of taking back the entry of B1.
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Number(0, 1), 2);
  EXPECT_EQ(d.Number(0, 0), 1);
  // A command that worked is undone.
  EXPECT_TRUE(d.ws.Execute("copy", {"A1..B1", "C3"}).ok());
  EXPECT_EQ(d.Number(2, 3), 2);
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Doc().cells().FindCell(2, 3), nullptr);
}

TEST(Workspace, TheCopyCommandAsksForBothRangesOnTheInputLine) {
  Desk d;
  d.Put(0, 0, "4");
  d.GoTo(0, 0);
  d.ws.Invoke("copy");
  EXPECT_EQ(d.ws.input().promptCaption(), " COPY: From Range");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.ws.input().promptCaption(), " COPY: TO Range");
  d.Type("c2");
  d.ws.HandleKey(Key::Enter);
  EXPECT_EQ(d.Number(1, 2), 4);
  EXPECT_FALSE(d.ws.input().promptOpen());
}

TEST(Workspace, SaveRecordsWhereTheWindowWasAndOpenGoesBackThere) {
  Desk d;
  d.Put(0, 0, "hello");
  d.W().SetVisibleSize(20, 8);
  d.GoTo(60, 12);  // M61, scrolled
  int top = d.W().activePane().topRow, left = d.W().activePane().leftCol;
  ASSERT_GT(top, 0);
  std::string path = d.File("where.wks");
  ASSERT_TRUE(d.ws.SaveAs(d.W(), path).ok());
  EXPECT_FALSE(d.W().untitled);
  EXPECT_EQ(d.W().caption, path);
  EXPECT_FALSE(d.Doc().settings().modified);
  ASSERT_TRUE(d.ws.Close(d.W()));
  EXPECT_EQ(d.ws.active(), nullptr);
  ASSERT_TRUE(d.ws.Open(path).ok());
  EXPECT_EQ(d.Cursor(), "M61");
  EXPECT_EQ(d.W().activePane().topRow, top);
  EXPECT_EQ(d.W().activePane().leftCol, left);
  EXPECT_EQ(d.Edit(0, 0), "'hello");
  // Opening it again only brings its window forward.
  ASSERT_TRUE(d.ws.Open(path).ok());
  EXPECT_EQ(d.ws.windows().size(), 1u);
  EXPECT_EQ(d.ws.recent().names().back(), path);
}

TEST(Workspace, TheCloseQueryAsksOnlyForAModifiedSheetsLastWindow) {
  Desk d;
  d.Put(0, 0, "7");
  ASSERT_TRUE(d.ws.NewView().ok());
  EXPECT_EQ(d.ws.windows().size(), 2u);
  EXPECT_TRUE(d.ws.Close(d.W())) << "another window still shows the sheet";
  EXPECT_TRUE(d.host.questions.empty());
  d.host.answers = {Answer::Cancel};
  EXPECT_FALSE(d.ws.Close(d.W()));
  ASSERT_EQ(d.host.questions.size(), 1u);
  EXPECT_EQ(d.host.questions[0], "Save Worksheet \nSHEET1.WKS?");
  // Yes on an untitled sheet asks for a name, saves, then closes.
  std::string path = d.File("asked.wks");
  d.host.answers = {Answer::Yes};
  d.host.fileNames = {path};
  EXPECT_TRUE(d.ws.Close(d.W()));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_TRUE(d.ws.windows().empty());
  EXPECT_EQ(d.session.documentCount(), 0);
}

TEST(Workspace, AnOpenFailureLeavesNothingBehind) {
  Desk d;
  std::string bad = d.File("junk.wks");
  {
    std::FILE* f = std::fopen(bad.c_str(), "wb");
    std::fputs("not a worksheet", f);
    std::fclose(f);
  }
  Status s = d.ws.Open(bad);
  EXPECT_EQ(s.message(), "Invalid WKS File!");
  EXPECT_EQ(d.ws.windows().size(), 1u);
  EXPECT_EQ(d.session.documentCount(), 1);
  EXPECT_TRUE(d.ws.recent().names().empty());
}

// A file cut short opens what was read before the damage in an untitled
// window: the message says so, and Save cannot overwrite the original.
TEST(Workspace, ADamagedFileOpensUntitledWithWhatCouldBeRead) {
  Desk d;
  for (int r = 0; r < 40; ++r) d.Put(r, 0, std::to_string(r + 1));
  std::string path = d.File("CUT.WKS");
  ASSERT_TRUE(d.ws.SaveAs(d.W(), path).ok());
  d.ws.CloseAll();
  auto size = fs::file_size(path);
  fs::resize_file(path, size - size / 3);
  auto cut = fs::file_size(path);
  d.ws.recent().Clear();

  Status s = d.ws.Open(path);
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.message().find("Recovered"), std::string::npos) << s.message();
  ASSERT_NE(d.ws.active(), nullptr);
  EXPECT_TRUE(d.W().untitled);
  EXPECT_TRUE(d.Doc().fileName().empty());
  EXPECT_EQ(d.Number(0, 0), 1);
  EXPECT_TRUE(d.ws.recent().names().empty());
  d.host.fileNames = {};
  EXPECT_FALSE(d.ws.Save(d.W(), false));
  EXPECT_EQ(fs::file_size(path), cut);
}

TEST(Workspace, TheStartupSheetOpensUntitled) {
  Desk d;
  d.Put(0, 0, "template");
  std::string path = d.File("AUTOEXEC.WKS");
  ASSERT_TRUE(d.ws.SaveAs(d.W(), path).ok());
  d.ws.CloseAll();
  d.ws.config().autoexec = path;
  d.ws.OpenStartupSheet("");
  ASSERT_NE(d.ws.active(), nullptr);
  EXPECT_EQ(d.Edit(0, 0), "'template");
  EXPECT_TRUE(d.W().untitled);
  d.host.fileNames = {};  // Save now asks for a name: cancelled, nothing written
  fs::remove(path);
  EXPECT_FALSE(d.ws.Save(d.W(), false));
  EXPECT_FALSE(fs::exists(path));
}

TEST(Workspace, FindAndReplaceRunAsCommandsAndUndoAsOne) {
  Desk d;
  d.Put(0, 0, "'one two");
  d.Put(3, 2, "'two");
  d.ws.find().SetFindText("two");
  ASSERT_TRUE(d.ws.Execute("edit.find.next").ok());
  EXPECT_EQ(d.Cursor(), "A1");
  EXPECT_EQ(d.ws.input().text(), "'one two") << "the line shows the found cell";
  d.ws.find().SetReplaceText("2");
  EXPECT_TRUE(d.ws.Execute("edit.find.all").ok());
  EXPECT_EQ(d.Edit(0, 0), "'one 2");
  EXPECT_EQ(d.Edit(3, 2), "'2");
  d.ws.Execute("edit.undo");
  EXPECT_EQ(d.Edit(0, 0), "'one two");
  EXPECT_EQ(d.Edit(3, 2), "'two");
}

TEST(Workspace, TheCommandTableIsConsistent) {
  Desk d;
  const CommandTable& t = d.ws.commands();
  for (const Command& c : t.entries()) {
    EXPECT_FALSE(c.id.empty());
    EXPECT_TRUE(c.run || c.invoke) << c.id << " does nothing";
    if (!c.menu.empty()) {
      EXPECT_FALSE(c.caption.empty()) << c.id;
    }
    if (c.family != 0) {
      EXPECT_EQ(t.FindMacro(c.family, c.letter), &c) << c.id << " shares its macro letters";
    }
  }
  for (const CommandButton& b : d.ws.quickBar()) EXPECT_NE(t.Find(b.command), nullptr) << b.command;
  for (const CommandButton& b : d.ws.gridMenu()) EXPECT_NE(t.Find(b.command), nullptr) << b.command;
  // Without a window the sheet commands refuse with a beep.
  d.ws.CloseAll();
  int beeps = d.host.beeps;
  EXPECT_FALSE(d.ws.Execute("edit.delete").ok());
  EXPECT_GT(d.host.beeps, beeps);
}

TEST(Workspace, RandomKeysNeverBreakTheSheet) {
  const Key keys[] = {Key::Left, Key::Right, Key::Up,  Key::Down,      Key::PageUp, Key::PageDown,
                      Key::Home, Key::End,   Key::Tab, Key::Enter,     Key::Escape, Key::Backspace,
                      Key::Delete, Key::Insert, Key::F2, Key::F4,      Key::F5,     Key::F6,
                      Key::F8,   Key::F9};
  const char chars[] = "+-*/().,@#1234567890abcAB$'\"^|&~ ";
  for (unsigned seed = 1; seed <= 6; ++seed) {
    Desk d;
    std::mt19937 rng(seed);
    for (int i = 0; i < 3000; ++i) {
      if (rng() % 3 == 0) {
        d.ws.HandleKey(keys[rng() % std::size(keys)], {.shift = rng() % 5 == 0});
      } else {
        d.ws.HandleKey(Key::Character, {}, chars[rng() % (sizeof(chars) - 1)]);
      }
      if (i % 50 == 0) {
        std::string problem = CheckSheet(d.Doc());
        ASSERT_TRUE(problem.empty()) << "seed " << seed << " key " << i << ": " << problem;
      }
    }
    EXPECT_TRUE(CheckSheet(d.Doc()).empty());
  }
}

}  // namespace
}  // namespace tabulon
