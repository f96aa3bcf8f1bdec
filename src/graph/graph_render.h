// Draws a graph of a worksheet onto any Canvas of a given pixel size: the
// graph window, image files, the clipboard and printed pages all use it.
// The drawing reads the settings and the cells; it changes neither.
#pragma once

#include <vector>

#include "graph/graph_layout.h"
#include "graph/graph_scale.h"
#include "platform/canvas.h"
#include "sheet/graph_settings.h"

namespace tabulon {

class SheetDocument;

inline constexpr const char* kGraphUndefined = "Graph Undefined!";

// What a point of the drawing belongs to, for Shift-click and the context
// menu of the graph window.
enum class GraphPart { None, Outside, Plot, Series, Heading, XLabels, YLabels, Legend };

struct GraphHit {
  Rect rect;
  GraphPart part = GraphPart::None;
  int series = -1;  // 0..5 for Series parts
};

struct GraphDrawing {
  bool defined = false;
  GraphType type = GraphType::XY;
  GraphTraits traits;
  GraphLayout layout;
  AxisScale x, y;  // mapped to pixels
  // Elements in drawing order; a later one lies on top.
  std::vector<GraphHit> hits;

  // The topmost element under a pixel, or a None part.
  GraphHit HitAt(int px, int py) const;
};

struct GraphDrawOptions {
  int zoom = 100;          // the worksheet zoom percentage
  bool recordHits = true;  // keep the element rectangles
};

// Draws the settings' graph on a width x height surface. An undefined
// graph (no usable X range or no usable series) draws "Graph Undefined!"
// centred and nothing else.
GraphDrawing DrawGraph(Canvas& canvas, SheetDocument& doc, const GraphSettings& g, int width,
                       int height, const GraphDrawOptions& options = {});

// The document's current graph (namedIndex < 0) or its named graph
// 0..count-1; a named index that does not exist draws as undefined.
GraphDrawing DrawDocumentGraph(Canvas& canvas, SheetDocument& doc, int namedIndex, int width,
                               int height, const GraphDrawOptions& options = {});

// Colours and styles of the record as the canvas takes them.
Rgb GraphColour(int paletteIndex);
PenStyle GraphPenStyle(int lineStyle);
HatchStyle GraphHatch(int hatch);

}  // namespace tabulon
