// The graph settings dialog without a toolkit: nine pages over the current
// graph record. Opening copies the record to a backup and fills the fields;
// choices (type, colours, styles, fonts, names, legend layout) change the
// record at once, so the graph window can redraw while the dialog is up;
// headings and legends are taken when their edit is left; the range and
// scale edits are taken by OK, which refuses (and keeps the dialog open)
// when one of them does not read. Cancel copies the backup back.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "graph/graph_window.h"
#include "sheet/graph_settings.h"
#include "ui/status.h"

namespace tabulon {

class SheetDocument;

inline constexpr const char* kGraphPageCaptions[9] = {
    "Select Type", "Specify Ranges", "Options", "Scales", "Names", "Headings", "Colors", "Fonts",
    "Legends"};
// The picture lists of the Type page and the type code each item sets.
inline constexpr const char* kGraph2DCaptions[12] = {"&Xy",   "&Bar",   "&Pie",    "&Stack",
                                                     "&Line", "Cu&m",   "&Hilo",   "&Radar",
                                                     "&Area", "&Delta", "P&olar",  "&Contour"};
inline constexpr GraphType kGraph2DTypes[12] = {
    GraphType::XY,   GraphType::Bar,        GraphType::Pie,     GraphType::StackedBar,
    GraphType::Line, GraphType::Cumulative, GraphType::HighLow, GraphType::Radar,
    GraphType::Area, GraphType::Delta,      GraphType::Polar,   GraphType::Contour};
inline constexpr const char* kGraph3DCaptions[6] = {"&Strip", "&Wall", "&Pie",
                                                    "&Donut", "&Bar",  "S&tack"};
inline constexpr GraphType kGraph3DTypes[6] = {GraphType::Strip, GraphType::Wall,
                                               GraphType::Pie3D, GraphType::Donut,
                                               GraphType::Bar3D, GraphType::StackedBar3D};

// The Scales page's number edits of one axis.
struct GraphScaleEdits {
  std::string lower, upper, step, divisions;
};
enum class ScaleField { Lower, Upper, Step, Divisions };

class GraphDialog {
 public:
  explicit GraphDialog(SheetDocument& doc);

  // Opens on a page: the record is copied to the backup and every field
  // filled from it. `selection` is where pointing starts for an empty edit.
  void Open(GraphPageRequest request, const CellRange& selection);
  GraphPageRequest page() const { return page_; }
  void ShowPage(GraphPageRequest request) { page_ = request; }
  const char* Caption() const;
  GraphSettings& record();
  const GraphSettings& backup() const { return backup_; }

  // OK: takes the range and scale edits into the record. A failed status
  // names the edit that does not read; nothing is taken then.
  Status Ok();
  // Cancel: the record as it was when the dialog opened.
  void Cancel();

  // --- Type page ---------------------------------------------------------
  // The chosen item of each list: -1 when the type is in the other list.
  int TypeIndex(bool threeD) const;
  void ChooseType(bool threeD, int index);

  // --- Ranges page --------------------------------------------------------
  // Series edits: 0 X, 1..6 the series; label edits: 0..5 series 1..6.
  std::array<std::string, 1 + kGraphSeries> seriesEdits;
  std::array<std::string, kGraphSeries> labelEdits;
  void ResetRanges();  // all seven series edits empty
  void ResetLabels();
  // The label edit with the focus picks the series whose location the
  // " Location " choice shows and sets.
  int labelFocus = 0;
  int LabelLocation() const;
  void SetLabelLocation(int location);  // 1..5
  // Pointing from a double-clicked edit: its prompt, the range pointing
  // starts from, and the range chosen written back into the edit.
  std::string PointPrompt(bool label, int index) const;
  CellRange PointStart(bool label, int index) const;
  void PointDone(bool label, int index, const CellRange& range);

  // --- Options and Colors pages ------------------------------------------
  // Tab 0..5 a series, kGraphOtherTab the general options.
  void SetForeColour(int series, int colour);
  void SetBackColour(int series, int colour);
  void SetMarker(int series, int marker);      // 1-based
  void SetHatch(int series, int hatch);        // 1..8
  void SetThickness(int series, int width);    // resets the style to solid
  void SetLineStyle(int series, int style);    // resets the thickness to 1
  void SetDisplay(int series, int display);    // 0 none, 1 lines, 2 symbols, 3 both
  void SetGrid(int grid);                      // 0 none, 1 horizontal, 2 vertical, 3 both
  void SetGridSolid(bool solid);
  void SetInsideColour(int colour);
  void SetOutsideColour(int colour);

  // --- Scales page ----------------------------------------------------------
  std::array<GraphScaleEdits, 2> scaleEdits;
  // Leaving a number edit evaluates its text as a formula and shows the
  // value instead; text that does not evaluate stays for correction.
  void LeaveScaleEdit(int axis, ScaleField field);
  void SetManual(int axis, bool manual);
  void SetLogarithmic(int axis, bool log);
  void SetFormat(int axis, std::uint8_t format);

  // --- Names page -----------------------------------------------------------
  std::string nameEdit;
  // Typed text as the edit shows it: letters in capitals.
  void TypeName(const std::string& text);
  std::vector<std::string> NameList() const;
  // New: create or replace under the edit's name; "Named Graphs>10" fails.
  Status NewName();
  Status DeleteName();
  // Use (and double-click): loads the named graph; true when the caller
  // opens the graph window on it.
  bool UseName();
  bool UseListEntry(int index);

  // --- Headings and Legends pages -----------------------------------------
  std::array<std::string, kGraphHeadings> headingEdits;
  std::array<std::string, kGraphSeries> legendEdits;
  void LeaveHeading(int i);  // cut to 40 and taken
  void LeaveLegend(int i);   // cut to 20 and taken
  void ClearLegends();
  void SetLegendTable(bool table);

  // --- Fonts page -------------------------------------------------------------
  // Item 0..6: main, second, X-axis, Y-axis, values, labels, legend.
  inline static constexpr const char* kFontTabs[kGraphTextItems] = {
      "&Main", "&Second", "&X-axis", "&Y-Axis", "&Values", "&Labels", "L&egend"};
  void SetFont(int item, const std::string& face, int points, unsigned style, int colour);

 private:
  void Fill();
  SheetDocument& doc_;
  GraphSettings backup_;
  GraphPageRequest page_;
  CellRange selection_;
};

}  // namespace tabulon
