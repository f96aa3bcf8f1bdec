// A walk of the whole command set against the list of what the main window
// offers: every menu item with its caption and hint, every quick-bar button
// with its hint, the grid's pop-up menu and the shortcut keys. Items whose
// subsystem is not built yet stand in one list below; striking one off that
// list makes the walk demand it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "commands/command_set.h"
#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/sheet_window.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

// Items not built yet, by the menu path and caption (or "button:" and the
// hint) they would have.
const std::set<std::string> kNotBuiltYet = {};

struct MenuItem {
  std::string path;  // menu levels and caption, without access marks
  std::string hint;
};

// The menus, in their order.
const std::vector<MenuItem> kMenus = {
    {"File/New", "MAIN|Create New Worksheet"},
    {"File/Open ...", "Load Selected Worksheet"},
    {"File/Save", "Save Sheet Using Current Name"},
    {"File/Save As ...", "Specify New Name for Worksheet and Save"},
    {"File/Uplink", "Update &LINK references"},
    {"File/Close", "Close worksheet"},
    {"File/Print...", "Print Worksheet/Graphs"},
    {"File/Merge...", "Merge Formula/Value Range"},
    {"File/Import...", "Import Comma or Quoted Ascii Files"},
    {"File/Export ...", "Export Worksheet to WKS or Ascii"},
    {"File/Doc Info...", "Add worksheet identification info."},
    {"File/Get Info ...", "Statistics of Current Sheet"},
    {"File/Exit", "Exit TABULON"},
    {"Edit/Undo", ""},
    {"Edit/Cut", "Transfer Range to Clipboard"},
    {"Edit/Copy", "Copy Range to Clipboard"},
    {"Edit/Paste", "Paste Clipboard to Range"},
    {"Edit/Delete", "Erase Block"},
    {"Edit/Find/Replace...", "Search for string"},
    {"Edit/Word...", "Simple Word Processor"},
    {"View/Show Quick Buttons", ""},
    {"View/Show Macro Buttons", ""},
    {"View/Show Status Bar", ""},
    {"View/Split Current Window/Horizontal", ""},
    {"View/Split Current Window/Vertical", ""},
    {"View/Split Current Window/Synch", ""},
    {"View/Split Current Window/Unsynch", ""},
    {"View/Split Current Window/Clear", ""},
    {"View/Set Window Borders/Horizontal", ""},
    {"View/Set Window Borders/Vertical", ""},
    {"View/Set Window Borders/Both", ""},
    {"View/Set Window Borders/Clear", ""},
    {"View/Zoom/200%", ""},
    {"View/Zoom/150%", ""},
    {"View/Zoom/130%", ""},
    {"View/Zoom/100%", ""},
    {"View/Zoom/87%", ""},
    {"View/Zoom/75%", ""},
    {"View/Zoom/65%", ""},
    {"View/Zoom/50%", ""},
    {"Sheet/General.../Format...", "Set General Features for Worksheet"},
    {"Sheet/General.../Option...", "Set General Features for Worksheet"},
    {"Sheet/General.../Typeface...", "Set General Features for Worksheet"},
    {"Sheet/General.../Color...", "Set General Features for Worksheet"},
    {"Sheet/General.../Files", "Set General Features for Worksheet"},
    {"Sheet/General.../Advanced", "Set General Features for Worksheet"},
    {"Sheet/Insert/Page Break", "Insert a Page Break/Row at current Pos"},
    {"Sheet/Insert/Row", "Insert a Row at Cursor Pos."},
    {"Sheet/Insert/Column", "Insert Col(s) at cursor pos."},
    {"Sheet/Insert/Across Row", ""},
    {"Sheet/Delete/Row", ""},
    {"Sheet/Delete/Column", ""},
    {"Sheet/Delete/Across Row", ""},
    {"Sheet/Macro Step", ""},
    {"Sheet/Colwidth...", ""},
    {"Sheet/Rowheight...", ""},
    {"Sheet/Audit...", ""},
    {"Sheet/External @/Table", ""},
    {"Sheet/External @/Reset", ""},
    {"Range/Copy...", ""},
    {"Range/Erase", ""},
    {"Range/Name ...", ""},
    {"Range/Justify ...", ""},
    {"Range/Format", ""},
    {"Range/Shade", ""},
    {"Range/Typeface", ""},
    {"Range/Prefix", ""},
    {"Range/Lock", ""},
    {"Range/Border", ""},
    {"Range/Copy/Value", ""},
    {"Range/Copy/Transpose", ""},
    {"Range/Copy/Scale", ""},
    {"Range/Copy/Invert", ""},
    {"Range/Copy/Formula", ""},
    {"Copy", "Copy Cells to Destination"},
    {"Move", "Move Cells to Destination"},
    {"Data/Fill", "Fill: Linear,Mult,Exp"},
    {"Data/Sort", "Sort Primary,Secondary"},
    {"Data/Query", "Query: Database  Extract"},
    {"Data/Bin", "Bin: Count, Frequency"},
    {"Data/Parse", "Parse text into adjacent cells"},
    {"Data/GoalSeek", "GoalSeek: Input,Output,Desire,Tolerance"},
    {"Data/Regress", "Linear Regression y=mx+b"},
    {"Data/MultiRegress", "Multivariable Regression x^1,x^2... "},
    {"Data/Table", "Table: Input 1 {Input 2}, Output"},
    {"Data/Form", ""},
    {"Array/Add", "Add: Source1, Source2, Desti"},
    {"Array/Subtract", "Subtract: S1,S2,D"},
    {"Array/Multiply", "Multiply: S1,S2,O1"},
    {"Array/Transpose", "Transpose: S1,O1"},
    {"Array/Invert", "Invert: S1,O1"},
    {"Array/E-Solve", "Equation Solve: S1,O1"},
    {"Array/Determinate", "Determinat: S1,O1"},
    {"Array/Linear", "Linear Equations: S1,O1"},
    {"Graph/Type...", "Specify Type of Graph"},
    {"Graph/Ranges...", "Define X , Y Data"},
    {"Graph/Legends...", "Specify Dependent Data"},
    {"Graph/Scale...", "Set X and Y scale,Format and Type"},
    {"Graph/Options...", "Specify Color, Reference Marks and Line Styles"},
    {"Graph/Names...", "Name a Graph"},
    {"Graph/Headings...", "Specify Main, Second, X-axis and Y-axis headings"},
    {"Graph/Fonts...", "Specify Font Type and Size"},
    {"Graph/Clear...", "Reset all settings."},
    {"Graph/View...", "Display Graph with Current Settings"},
    {"Window/New View", "Create a new view of focused sheet"},
    {"Window/Tile", "Tile windows"},
    {"Window/Cascade", "Layer windows"},
    {"Window/Arrange Icons", "Rearrange minimized windows"},
    {"Window/Close All", "Close all open windows"},
    {"Help/Contents", ""},
    {"Help/About ...", ""},
    {"Help/Tips...", ""},
};

// The quick bar's buttons by hint, left to right; the type styles end it.
const std::vector<std::string> kSpeedButtons = {
    "Open Worksheet", "Save Worksheet",  "Cut Text",         "Copy Text",
    "Paste Text",     "Erase Range",     "Speed Fill",       "Speed @SUM",
    "Print Worksheet", "Function Pick",  "Macro Pick",       "Left Justify",
    "Center",         "Right Justify",   "Text Processor",   "User Button",
    "Macro Single Step", "Find & Replace Text", "Protect/Unprotect Sheet", "Execute Macro",
    "Quick Graph",    "Bold",            "Italic",           "Underline"};

std::string Plain(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
      out += '&';
      ++i;
    } else if (text[i] != '&') {
      out += text[i];
    }
  }
  return out;
}

struct Walk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  MacroInterpreter macros{ws};
  Walk() {
    RegisterAllCommands(ws, CommandViews{nullptr, nullptr, &macros});
    ws.NewSheet();
  }
  // The entry whose menu path and caption read `path` without access marks.
  const Command* Item(const std::string& path) const {
    for (const Command& c : ws.commands().entries()) {
      if (c.caption.empty()) continue;
      std::string full = c.menu.empty() ? Plain(c.caption)
                                         : Plain(c.menu) + "/" + Plain(c.caption);
      if ((c.menu.empty() && !(c.flags & kOnMenuBar))) continue;
      if (full == path) return &c;
    }
    return nullptr;
  }
};

TEST(CommandWalk, EveryMenuItemIsThereWithItsHint) {
  Walk w;
  for (const MenuItem& item : kMenus) {
    const Command* c = w.Item(item.path);
    if (kNotBuiltYet.count(item.path)) {
      EXPECT_EQ(c, nullptr) << item.path << " is built now: strike it off the list";
      continue;
    }
    ASSERT_NE(c, nullptr) << item.path << " is missing";
    EXPECT_EQ(c->hint, item.hint) << item.path;
    EXPECT_TRUE(c->run || c->invoke) << item.path << " does nothing";
  }
  // And nothing is on the menus that the list does not know.
  for (const Command& c : w.ws.commands().entries()) {
    if (c.caption.empty() || (c.menu.empty() && !(c.flags & kOnMenuBar))) continue;
    std::string full = c.menu.empty() ? Plain(c.caption) : Plain(c.menu) + "/" + Plain(c.caption);
    bool known = std::any_of(kMenus.begin(), kMenus.end(),
                             [&](const MenuItem& m) { return m.path == full; });
    EXPECT_TRUE(known) << full << " (" << c.id << ") is not a menu item of the main window";
  }
}

TEST(CommandWalk, EverySpeedButtonIsThereInOrder) {
  Walk w;
  const auto& bar = w.ws.quickBar();
  std::vector<std::string> hints;
  for (const CommandButton& b : bar) {
    hints.push_back(b.hint);
    EXPECT_NE(w.ws.commands().Find(b.command), nullptr) << b.hint;
  }
  std::size_t next = 0;
  for (const std::string& hint : kSpeedButtons) {
    if (kNotBuiltYet.count("button:" + hint)) {
      EXPECT_EQ(std::find(hints.begin(), hints.end(), hint), hints.end())
          << hint << " is built now: strike it off the list";
      continue;
    }
    auto at = std::find(hints.begin(), hints.end(), hint);
    ASSERT_NE(at, hints.end()) << "no button \"" << hint << "\" in "
                               << ::testing::PrintToString(hints);
    auto index = static_cast<std::size_t>(at - hints.begin());
    EXPECT_GE(index, next) << hint << " is out of order in " << ::testing::PrintToString(hints);
    next = index + 1;
  }
}

// The buttons that share a menu command run that command.
TEST(CommandWalk, ButtonsRunTheirMenuCommands) {
  Walk w;
  auto button = [&](const std::string& hint) -> std::string {
    for (const CommandButton& b : w.ws.quickBar())
      if (b.hint == hint) return b.command;
    return "";
  };
  EXPECT_EQ(button("Open Worksheet"), w.Item("File/Open ...")->id);
  EXPECT_EQ(button("Save Worksheet"), w.Item("File/Save")->id);
  EXPECT_EQ(button("Print Worksheet"), w.Item("File/Print...")->id);
  EXPECT_EQ(button("Text Processor"), w.Item("Edit/Word...")->id);
  EXPECT_EQ(button("Find & Replace Text"), w.Item("Edit/Find/Replace...")->id);
  EXPECT_EQ(button("Macro Single Step"), w.Item("Sheet/Macro Step")->id);
  EXPECT_EQ(button("Erase Range"), w.Item("Edit/Delete")->id);
}

TEST(CommandWalk, TheGridMenuAndTheShortcuts) {
  Walk w;
  std::vector<std::string> popup;
  for (const CommandButton& b : w.ws.gridMenu()) {
    std::string caption = Plain(b.caption);
    popup.push_back(caption.substr(0, caption.find('\t')));
  }
  EXPECT_EQ(popup, (std::vector<std::string>{"Properties", "Cut", "Copy", "Paste", "Delete",
                                             "Move", "Copy to"}));
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"Edit/Undo", "Ctrl+Z"},  {"Edit/Cut", "Ctrl+X"},    {"Edit/Copy", "Ctrl+C"},
      {"Edit/Paste", "Ctrl+V"}, {"Edit/Delete", "Ctrl+D"}, {"Graph/View...", "Shift+F10"}};
  for (const auto& [path, key] : keys) {
    const Command* c = w.Item(path);
    ASSERT_NE(c, nullptr) << path;
    EXPECT_EQ(c->shortcut, key) << path;
  }
  // The function keys that call the main window's commands.
  SheetWindow& sheet = *w.ws.active();
  EXPECT_EQ(sheet.HandleKey(Key::F3, {}), WindowAction::OpenMacroPrompt);
  EXPECT_EQ(sheet.HandleKey(Key::F5, {}), WindowAction::OpenGotoPrompt);
  EXPECT_EQ(sheet.HandleKey(Key::F7, {}), WindowAction::NextWindow);
  EXPECT_EQ(sheet.HandleKey(Key::F12, {}), WindowAction::ShowGraph);
  EXPECT_EQ(sheet.HandleKey(Key::F10, {.shift = true}), WindowAction::ShowGraph);
}

}  // namespace
}  // namespace tabulon
