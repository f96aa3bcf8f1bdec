// The graph commands of the command table: the Graph menu (the settings
// pages, Clear, View), Quick Graph, and the graph family of the macro
// language (GRAPHSCALE gc, GRAPHFONT gf, GRAPHLEGEND gg, GRAPHHEADING gh,
// GRAPHLABEL gl, GRAPHNAME gn, GRAPHOPTIONS go, GRAPHSERIES gs, GRAPHTYPE
// gt, GRAPHVIEW gv). Windows and dialogs come from a GraphViews the
// windowed program supplies; without one (headless) showing the graph does
// nothing and a settings page beeps.
#pragma once

#include "graph/graph_window.h"

namespace tabulon {

class SheetDocument;
class Workspace;

class GraphViews {
 public:
  virtual ~GraphViews() = default;
  // The graph window on the document's current graph, maximised or in its
  // normal size; closed again after closeAfterMs milliseconds when that is
  // above 0.
  virtual void ShowGraphWindow(SheetDocument& doc, bool maximised, int closeAfterMs) = 0;
  // The settings dialog on a page, modal.
  virtual void ShowGraphSettings(SheetDocument& doc, GraphPageRequest page) = 0;
};

// Adds the graph commands to the workspace's table. Command ids:
// "graph.page.<type|ranges|legends|scale|options|names|headings|fonts>",
// "graph.clear", "graph.view" (F10, F12, Shift+F10), "graph.quick", and
// the macro commands "graph.scale", "graph.font", "graph.legend",
// "graph.heading", "graph.label", "graph.name", "graph.options",
// "graph.series", "graph.type", "graph.show". `views` may be null.
void RegisterGraphCommands(Workspace& ws, GraphViews* views);

}  // namespace tabulon
