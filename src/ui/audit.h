// The audit of cell references without a toolkit: the dependents tree of a
// cell, the cross-reference list of a range, the counts of cells by kind,
// and the drawings of the overview map and the statistics chart onto a
// Canvas (screen or printed page). It reads the sheet and changes nothing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class SheetDocument;

// The kind groups of the legend and the chart: Formula, Real, Integer,
// String, Blank.
inline constexpr int kAuditGroups = 5;
inline constexpr const char* kAuditGroupNames[kAuditGroups] = {"Formula", "Real", "Integer",
                                                                "String", "Blank"};
inline constexpr Rgb kAuditGroupColours[kAuditGroups] = {
    MakeRgb(0, 0, 255), MakeRgb(0, 128, 0), MakeRgb(255, 0, 0), MakeRgb(128, 128, 0),
    MakeRgb(255, 255, 255)};

struct CellCounts {
  std::array<int, 8> kinds{};  // by kind bits 0-2
  int lastRow = 0;             // the highest row holding a record
  int maxColumn = 0;           // the highest column of any record
  int total = 0;
  // The counts of the five groups (formulas are kinds 0 and 1).
  std::array<int, kAuditGroups> Groups() const;
  int Largest() const;
};
CellCounts CountCells(const SheetDocument& doc);

struct TreeLine {
  int depth = 0;     // 0 for the root
  CellAddress cell;
  std::string text;  // "A1: +B2*3", or "A1: Protected"
};
struct DependentsTree {
  std::vector<TreeLine> lines;  // in display order, children below parents
  int depthReached = 0;         // the deepest level plus one
  bool truncated = false;       // the line limit cut a very large tree short
  int references() const { return lines.empty() ? 0 : static_cast<int>(lines.size()) - 1; }
};
// The root cell and every cell whose formula refers to it, recursively, to
// `depth` levels. A cell referred to several times (by a cycle or a
// diamond) appears each time; at most `maxLines` lines are built.
inline constexpr int kMaxTreeLines = 20000;
DependentsTree BuildDependentsTree(SheetDocument& doc, CellAddress root, int depth,
                                   int maxLines = kMaxTreeLines);

// The cross-reference lines of a range: "A1:Real 2:3#:B1,C1,D1", with
// continuation lines ":..." after eight addresses.
std::vector<std::string> CrossReference(SheetDocument& doc, const CellRange& range);
// The printed report of those lines.
std::string CrossReferenceReport(SheetDocument& doc, const CellRange& range,
                                 const std::vector<std::string>& lines);

// The statistics as text: one line per group with its count and percentage.
std::string StatisticsText(const SheetDocument& doc);

// The drawings, scaled to a canvas of width w and height h.
void DrawOverview(Canvas& canvas, const SheetDocument& doc, int w, int h);
void DrawStatsChart(Canvas& canvas, const SheetDocument& doc, int w, int h, bool printer);

// --- the dialog ---------------------------------------------------------------------

class SheetWindow;
class Workspace;
enum class AuditPage { kTree, kOverview, kStats, kXRef };

// The commands behind the dialog's "&Print": the statistics chart on one
// page, and the cross-reference report of a range (its argument) as text.
// The print layer registers them; without it Print beeps.
inline constexpr const char* kAuditPrintChart = "audit.print.chart";
inline constexpr const char* kAuditPrintReport = "audit.print.report";

// What the "Audit Cell References" dialog keeps between openings; the
// view draws the pages from it with the functions above.
class AuditDialog {
 public:
  static constexpr int kInitialDepth = 3;

  AuditPage page = AuditPage::kTree;
  int depth = kInitialDepth;
  std::string cellText;   // "&Cell: "
  std::string rangeText;  // "&Range: "

  // The first activation takes the window's selection: its top-left cell
  // for the tree, the whole of it for the cross-reference list. Later ones
  // keep the fields. True when the fields were filled.
  bool Activate(const SheetWindow& window);
  bool activated() const { return activated_; }

  // "&Print" shows on the Stats and XRef pages only.
  bool PrintVisible() const { return page == AuditPage::kStats || page == AuditPage::kXRef; }
  // Prints the chart or the report of the range field; a beep on the other
  // pages.
  Status Print(Workspace& ws) const;

 private:
  bool activated_ = false;
};

}  // namespace tabulon
