// The graph commands in the workspace's table: macro letters, the Graph
// menu, F12 and Quick Graph, with a view that records the windows asked for.
#include "graph/graph_workspace.h"

#include <gtest/gtest.h>

#include "edit/cell_entry.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

struct RecordingGraphViews : GraphViews {
  void ShowGraphWindow(SheetDocument& doc, bool maximised, int closeAfterMs) override {
    windows.push_back({&doc, maximised, closeAfterMs});
  }
  void ShowGraphSettings(SheetDocument&, GraphPageRequest page) override { pages.push_back(page); }
  struct Shown {
    SheetDocument* doc;
    bool maximised;
    int closeAfterMs;
  };
  std::vector<Shown> windows;
  std::vector<GraphPageRequest> pages;
};

struct GraphDesk {
  GraphDesk() {
    ws.NewSheet();
    RegisterGraphCommands(ws, &views);
  }
  SheetDocument& Doc() { return ws.active()->document(); }
  GraphSettings& g() { return Doc().extras().graphs.current; }
  Status Macro(char letter, CommandArgs args) {
    const Command* c = ws.commands().FindMacro('g', letter);
    EXPECT_NE(c, nullptr) << letter;
    return c ? ws.Execute(c->id, args) : Status::Beep();
  }
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  RecordingGraphViews views;
};

TEST(GraphWorkspace, MacroLettersSetTheCurrentGraph) {
  GraphDesk d;
  EXPECT_TRUE(d.Macro('s', {"0", "A1..A5"}));
  EXPECT_TRUE(d.Macro('s', {"2", "B1..B5"}));
  EXPECT_TRUE(d.Macro('l', {"2", "C1..C5", "3"}));
  EXPECT_TRUE(d.Macro('g', {"2", "Costs", "0"}));
  EXPECT_TRUE(d.Macro('h', {"0", "Title"}));
  EXPECT_TRUE(d.Macro('t', {"3", "D"}));
  EXPECT_TRUE(d.Macro('c', {"1", "M,L0,U9"}));
  EXPECT_TRUE(d.Macro('o', {"2", "F12"}));
  EXPECT_TRUE(d.Macro('f', {"0", "Courier,30,B,2"}));
  EXPECT_EQ(d.g().x, CellRange::Of(0, 0, 4, 0));
  EXPECT_EQ(d.g().series[1], CellRange::Of(0, 1, 4, 1));
  EXPECT_EQ(d.g().labels[1], CellRange::Of(0, 2, 4, 2));
  EXPECT_EQ(d.g().labelPlace[1], 3);
  EXPECT_EQ(d.g().Legend(1), "Costs");
  EXPECT_EQ(d.g().Heading(kMainHeading), "Title");
  EXPECT_EQ(d.g().Type(), GraphType::Donut);
  EXPECT_EQ(d.g().axes[1].high, 9);
  EXPECT_EQ(d.g().foreColour[1], 12);
  EXPECT_EQ(d.g().fontSize[0], 30);

  EXPECT_TRUE(d.Macro('n', {"0", "kept"}));
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(d.Macro('n', {"0", "more" + std::to_string(i)}));
  Status full = d.Macro('n', {"0", "eleventh"});
  EXPECT_FALSE(full);
  EXPECT_EQ(full.message(), "Named Graphs>10");
  EXPECT_EQ(d.host.messages.back(), "Error:Named Graphs>10") << "shown by the workspace";

  EXPECT_TRUE(d.Macro('v', {"0", "1500"}));
  ASSERT_EQ(d.views.windows.size(), 1u);
  EXPECT_TRUE(d.views.windows[0].maximised);
  EXPECT_EQ(d.views.windows[0].closeAfterMs, 1500);
  EXPECT_TRUE(d.Macro('v', {"1", "-5"}));
  EXPECT_FALSE(d.views.windows[1].maximised);
  EXPECT_EQ(d.views.windows[1].closeAfterMs, 0);
}

TEST(GraphWorkspace, MenuPagesClearViewF12AndQuickGraph) {
  GraphDesk d;
  d.ws.Invoke("graph.page.scale");
  d.ws.Invoke("graph.page.legends");
  ASSERT_EQ(d.views.pages.size(), 2u);
  EXPECT_EQ(d.views.pages[0].page, kGraphScalesPage);
  EXPECT_EQ(d.views.pages[1].page, kGraphLegendsPage);
  const Command* view = d.ws.commands().Find("graph.view");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->shortcut, "Shift+F10");

  d.ws.HandleKey(Key::F12);
  ASSERT_EQ(d.views.windows.size(), 1u);
  EXPECT_EQ(d.views.windows[0].doc, &d.Doc());
  d.ws.HandleKey(Key::F10);
  EXPECT_EQ(d.views.windows.size(), 2u);

  d.g().SetHeading(kMainHeading, "x");
  d.ws.Invoke("graph.clear");
  EXPECT_EQ(d.g(), GraphSettings());

  // Quick Graph over the selection opens the window on the new graph.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EnterCell(d.Doc(), std::to_string(r + c), r, c);
  d.ws.active()->MoveCursor(0, 0);
  d.ws.active()->MoveCursor(2, 2, true);
  EXPECT_TRUE(d.ws.Execute("graph.quick"));
  EXPECT_EQ(d.g().series[1], CellRange::Of(0, 2, 2, 2));
  EXPECT_EQ(d.views.windows.size(), 3u);
  d.ws.active()->MoveCursor(0, 0);
  EXPECT_FALSE(d.ws.Execute("graph.quick"));
  EXPECT_EQ(d.views.windows.size(), 3u);
}

TEST(GraphWorkspace, WithoutViewsPagesBeepAndViewsDoNothing) {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  ws.NewSheet();
  RegisterGraphCommands(ws, nullptr);
  EXPECT_FALSE(ws.Execute("graph.page.type"));
  EXPECT_TRUE(ws.Execute("graph.view"));
  EXPECT_TRUE(ws.Execute("graph.show", {"0", "10"}));
}

}  // namespace
}  // namespace tabulon
