// What the graph window does, without a toolkit: it draws the document's
// current graph and keeps the drawing for hit tests; Control-drag zooms into
// a rectangle and the zoom menu zooms out, in, back to automatic scaling or
// to the scaling found when the window opened; Shift-click names the
// settings page of the element clicked; the context menu's captions and
// the page each entry opens; any plain key closes the window. The Qt widget
// forwards its events here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "graph/graph_render.h"
#include "platform/canvas.h"
#include "sheet/graph_settings.h"
#include "ui/keys.h"

namespace tabulon {

class SheetDocument;

// The settings dialog's pages, in their numbering.
enum GraphPage : int {
  kGraphTypePage = 0, kGraphRangesPage = 1, kGraphOptionsPage = 2, kGraphScalesPage = 3,
  kGraphNamesPage = 4, kGraphHeadingsPage = 5, kGraphColorsPage = 6, kGraphFontsPage = 7,
  kGraphLegendsPage = 8,
};
// The Options page's tab of the general options, after the six series tabs.
inline constexpr int kGraphOtherTab = 6;

// A page of the settings dialog and the tab on it: the series (0..5) or
// Other (6) on the Options page, the axis (0 X, 1 Y) on the Scales page.
struct GraphPageRequest {
  int page = kGraphTypePage;
  int tab = 0;
  bool operator==(const GraphPageRequest&) const = default;
  // One number for a menu or macro: the page in the low four bits, the tab
  // above them.
  int Code() const { return page | (tab << 4); }
  static GraphPageRequest FromCode(int code);
};

enum class GraphZoom { Out, In, All, Reset };
inline constexpr const char* kGraphZoomCaptions[] = {"&Out", "&In", "&All", "&Reset"};

// The context menu's entries after the first ("&Attributes (n)").
enum class GraphMenuItem {
  Attributes, GraphType, Ranges, Legends, Options, Headings, Scales, Fonts, SaveBitmap,
  QuickPrint, CopyToClipboard,
};

class GraphWindow {
 public:
  explicit GraphWindow(SheetDocument& doc);

  SheetDocument& document() { return doc_; }

  // Draws the current graph and keeps the drawing for the mouse.
  const GraphDrawing& Paint(Canvas& canvas, int width, int height, int zoom = 100);
  const GraphDrawing& drawing() const { return drawing_; }

  // --- zoom ------------------------------------------------------------
  // Pie, 3D pie, donut, radar and polar graphs have no rectangle to zoom.
  bool CanZoom() const;
  // Control and the left button down: false (and the caller beeps) when the
  // graph cannot zoom.
  bool BeginZoom(Point p);
  void DragZoom(Point p);
  bool zooming() const { return zooming_; }
  // The focus rectangle to show while dragging.
  Rect ZoomRectangle() const;
  // Released with the left button: both axes become manual with the limits
  // under the rectangle; a rectangle narrower or lower than 16 pixels
  // zooms in by 2 about its centre instead. Returns true when the scales
  // changed (the caller redraws).
  bool EndZoom(Point p);
  // Released with the right button: the zoom menu opens instead.
  void CancelZoom() { zooming_ = false; }
  // The zoom menu: Out doubles and In halves both spans about the plot's
  // centre, All returns both axes to automatic scaling, Reset restores the
  // scaling the window found when it opened.
  bool Zoom(GraphZoom how);

  // --- settings pages ----------------------------------------------------
  // Shift and the left button: the page of the element under the point, or
  // none (the caller beeps).
  std::optional<GraphPageRequest> ShiftClick(Point p) const;
  // A right click selects the series under the point (or none) and opens
  // the context menu, whose first caption names it.
  void SelectAt(Point p);
  int selectedSeries() const { return selected_; }  // 0..5, or -1
  std::vector<std::string> ContextMenuCaptions() const;
  // The settings page an entry opens; none for Save, Print and Copy.
  std::optional<GraphPageRequest> PageFor(GraphMenuItem item) const;

  // Any key without Shift, Control or Alt closes the window.
  static bool KeyCloses(Key key, KeyMods mods);

  // The file dialog of "Save to Bitmap": filter and proposed name.
  static constexpr const char* kSaveFilter = "Bitmap|*.BMP|PNG picture|*.PNG|SVG drawing|*.SVG";
  static constexpr const char* kSaveName = "Noname.bmp";

 private:
  bool ZoomTo(const Rect& pixels);
  bool ScaleAbout(double centreX, double centreY, double factor);
  GraphSettings& settings();

  SheetDocument& doc_;
  GraphDrawing drawing_;
  bool zooming_ = false;
  Point from_, to_;
  int selected_ = -1;
  std::array<GraphAxis, 2> openedAxes_;
};

}  // namespace tabulon
