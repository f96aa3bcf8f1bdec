#include "graph/graph_workspace.h"

#include <cmath>
#include <cstdlib>

#include "graph/graph_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

int ReadInt(const std::string& text, int fallback = 0) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return fallback;
  return static_cast<int>(std::lround(std::clamp(v, -2e9, 2e9)));
}

SheetDocument& Doc(Workspace& ws) { return ws.active()->document(); }

Command Item(std::string id, std::string menu, std::string caption, std::string hint,
             std::function<Status(Workspace&, const CommandArgs&)> run) {
  return MakeCommand(std::move(id), std::move(menu), std::move(caption), std::move(hint),
                     kNeedsSheet, std::move(run));
}

void MacroCommand(CommandTable& t, const char* id, char letter,
                  std::function<Status(Workspace&, const CommandArgs&)> run) {
  Command& c = t.Add(Item(id, "", "", "", std::move(run)));
  c.family = 'g';
  c.letter = letter;
}

}  // namespace

void RegisterGraphCommands(Workspace& ws, GraphViews* views) {
  CommandTable& t = ws.commands();
  struct PageItem {
    const char* id;
    const char* caption;
    const char* hint;
    int page;
  };
  for (PageItem p : {PageItem{"graph.page.type", "&Type...", "Specify Type of Graph", kGraphTypePage},
                     PageItem{"graph.page.ranges", "&Ranges...", "Define X , Y Data", kGraphRangesPage},
                     PageItem{"graph.page.legends", "&Legends...", "Specify Dependent Data",
                              kGraphLegendsPage},
                     PageItem{"graph.page.scale", "&Scale...", "Set X and Y scale,Format and Type",
                              kGraphScalesPage},
                     PageItem{"graph.page.options", "&Options...",
                              "Specify Color, Reference Marks and Line Styles", kGraphOptionsPage},
                     PageItem{"graph.page.names", "&Names...", "Name a Graph", kGraphNamesPage},
                     PageItem{"graph.page.headings", "&Headings...",
                              "Specify Main, Second, X-axis and Y-axis headings",
                              kGraphHeadingsPage},
                     PageItem{"graph.page.fonts", "&Fonts...", "Specify Font Type and Size",
                              kGraphFontsPage}}) {
    int page = p.page;
    t.Add(Item(p.id, "&Graph", p.caption, p.hint, [views, page](Workspace& w, const CommandArgs&) {
      if (views == nullptr) return Status::Beep();
      views->ShowGraphSettings(Doc(w), GraphPageRequest{page, 0});
      return Status::Ok();
    }));
  }
  Command& clear = t.Add(Item("graph.clear", "&Graph", "&Clear...", "Reset all settings.",
                              [](Workspace& w, const CommandArgs&) {
                                ResetGraph(Doc(w));
                                return Status::Ok();
                              }));
  clear.flags |= kSeparatorBefore;
  Command& view = t.Add(Item("graph.view", "&Graph", "&View...",
                             "Display Graph with Current Settings",
                             [views](Workspace& w, const CommandArgs&) {
                               if (views) views->ShowGraphWindow(Doc(w), false, 0);
                               return Status::Ok();
                             }));
  view.shortcut = "Shift+F10";
  t.Add(Item("graph.quick", "", "Quick Graph", "Quick Graph",
             [views](Workspace& w, const CommandArgs&) {
               Status s = QuickGraph(Doc(w), w.active()->SelectionRange());
               if (s && views) views->ShowGraphWindow(Doc(w), false, 0);
               return s;
             }));

  // The macro language's graph family, arguments in the order it gives them.
  MacroCommand(t, "graph.scale", 'c', [](Workspace& w, const CommandArgs& a) {
    GraphScaleCommand(Doc(w), ReadInt(a[0], -1), a[1]);
    return Status::Ok();
  });
  MacroCommand(t, "graph.font", 'f', [](Workspace& w, const CommandArgs& a) {
    GraphFontCommand(Doc(w), ReadInt(a[0], -1), a[1]);
    return Status::Ok();
  });
  MacroCommand(t, "graph.legend", 'g', [](Workspace& w, const CommandArgs& a) {
    GraphLegendCommand(Doc(w), ReadInt(a[0], -1), a[1], ReadInt(a[2]));
    return Status::Ok();
  });
  MacroCommand(t, "graph.heading", 'h', [](Workspace& w, const CommandArgs& a) {
    GraphHeadingCommand(Doc(w), ReadInt(a[0], -1), a[1]);
    return Status::Ok();
  });
  MacroCommand(t, "graph.label", 'l', [](Workspace& w, const CommandArgs& a) {
    GraphLabelCommand(Doc(w), ReadInt(a[0], -1), w.Location(a[1]), ReadInt(a[2]));
    return Status::Ok();
  });
  MacroCommand(t, "graph.name", 'n', [](Workspace& w, const CommandArgs& a) {
    return GraphNameCommand(Doc(w), ReadInt(a[0], -1), a[1]);
  });
  MacroCommand(t, "graph.options", 'o', [](Workspace& w, const CommandArgs& a) {
    GraphOptionsCommand(Doc(w), ReadInt(a[0], -1), a[1]);
    return Status::Ok();
  });
  MacroCommand(t, "graph.series", 's', [](Workspace& w, const CommandArgs& a) {
    GraphSeriesCommand(Doc(w), ReadInt(a[0], -1), w.Location(a[1]));
    return Status::Ok();
  });
  MacroCommand(t, "graph.type", 't', [](Workspace& w, const CommandArgs& a) {
    GraphTypeCommand(Doc(w), ReadInt(a[0], -1), a[1]);
    return Status::Ok();
  });
  MacroCommand(t, "graph.show", 'v', [views](Workspace& w, const CommandArgs& a) {
    int state = ReadInt(a[0]);
    if (views) views->ShowGraphWindow(Doc(w), state % 2 == 0, std::max(0, ReadInt(a[1])));
    return Status::Ok();
  });
}

}  // namespace tabulon
