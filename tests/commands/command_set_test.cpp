// The whole command set as the programs register it: every entry does
// something, macro letters are not shared, buttons name real commands,
// and items that subsystems add stand where the menus place them.
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/command_set.h"
#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

struct FullDesk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  MacroInterpreter macros{ws};
  FullDesk() {
    RegisterAllCommands(ws, CommandViews{nullptr, nullptr, &macros});
    ws.NewSheet();
  }
  // The captions of a menu's items, without access marks, in menu order.
  std::vector<std::string> Menu(const std::string& path) const {
    std::vector<std::string> items;
    for (const Command& c : ws.commands().entries()) {
      if (c.menu != path) continue;
      std::string caption;
      for (char ch : c.caption)
        if (ch != '&') caption += ch;
      items.push_back(caption);
    }
    return items;
  }
};

TEST(CommandSet, EveryEntryIsSoundAndEveryButtonNamesOne) {
  FullDesk d;
  const CommandTable& t = d.ws.commands();
  for (const Command& c : t.entries()) {
    EXPECT_TRUE(c.run || c.invoke) << c.id << " does nothing";
    if (!c.menu.empty()) {
      EXPECT_FALSE(c.caption.empty()) << c.id;
    }
    if (c.family != 0) {
      EXPECT_EQ(t.FindMacro(c.family, c.letter), &c) << c.id;
    }
  }
  for (const CommandButton& b : d.ws.quickBar()) EXPECT_NE(t.Find(b.command), nullptr) << b.command;
  for (const CommandButton& b : d.ws.gridMenu()) EXPECT_NE(t.Find(b.command), nullptr) << b.command;
}

// The File menu keeps its fixed order whatever registered the items: the
// ones present must appear in this sequence.
TEST(CommandSet, TheFileMenuKeepsItsOrder) {
  FullDesk d;
  const std::vector<std::string> order = {"New",   "Open ...",   "Save",      "Save As ...",
                                          "Uplink", "Close",     "Print...",  "Merge...",
                                          "Import...", "Export ...", "Doc Info...", "Get Info ...",
                                          "Exit"};
  std::vector<std::string> menu = d.Menu("&File");
  ASSERT_NE(std::find(menu.begin(), menu.end(), "Print..."), menu.end());
  std::size_t next = 0;
  for (const std::string& item : menu) {
    auto at = std::find(order.begin() + static_cast<std::ptrdiff_t>(next), order.end(), item);
    ASSERT_NE(at, order.end()) << item << " is out of order in " << ::testing::PrintToString(menu);
    next = static_cast<std::size_t>(at - order.begin()) + 1;
  }
}

TEST(CommandSet, QuickGraphStandsBeforeTheTypeStyles) {
  FullDesk d;
  const auto& bar = d.ws.quickBar();
  auto find = [&](const char* id) {
    return std::find_if(bar.begin(), bar.end(), [&](const CommandButton& b) { return b.command == id; });
  };
  ASSERT_NE(find("graph.quick"), bar.end());
  EXPECT_EQ(find("graph.quick") + 1, find("quick.bold"));
  EXPECT_EQ(find("quick.sum") + 1, find("file.print"));
}

// The Array menu stands between the Data and Graph menus, with its eight
// operations in order, each reachable by its macro letter.
TEST(CommandSet, ArrayMenuFollowsData) {
  FullDesk d;
  std::vector<std::string> bars;
  for (const Command& c : d.ws.commands().entries()) {
    std::string top = c.menu.substr(0, c.menu.find('/'));
    if (!top.empty() && std::find(bars.begin(), bars.end(), top) == bars.end()) bars.push_back(top);
  }
  auto at = [&](const char* m) { return std::find(bars.begin(), bars.end(), m) - bars.begin(); };
  EXPECT_EQ(at("&Array"), at("&Data") + 1) << ::testing::PrintToString(bars);
  EXPECT_LT(at("&Array"), at("&Graph"));
  EXPECT_EQ(::testing::PrintToString(d.Menu("&Array")),
            ::testing::PrintToString(std::vector<std::string>{
                "Add", "Subtract", "Multiply", "Transpose", "Invert", "E-Solve", "Determinate",
                "Linear"}));
  EXPECT_EQ(d.ws.commands().FindMacro('m', 'e')->id, "array.solve");
  EXPECT_EQ(d.ws.commands().FindMacro('d', 'g')->id, "data.goal");
}

}  // namespace
}  // namespace tabulon
