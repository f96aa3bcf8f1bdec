// One open worksheet: its cell store, settings, range names, grid metrics
// and file name. Documents live in the session's table of 256 slots.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sheet/cell_store.h"
#include "sheet/range_names.h"
#include "sheet/sheet_settings.h"
#include "sheet/worksheet_extras.h"

namespace tabulon {

class Session;

inline constexpr std::int16_t kDefaultColumnWidth = 64;  // pixels at 100% zoom
inline constexpr std::int16_t kDefaultRowHeight = 0;     // 0 = the window's default row height

// Column widths and row heights of the worksheet's grid, in pixels.
//
// A column (row) either follows the default or has a width (height) of its
// own. A following column always holds the default width, and a global
// change of the default moves it along; a column given a width keeps it,
// even when that width equals the default. Code that changes widths goes
// through the functions below so that the two stay apart; readers use the
// arrays.
struct GridMetrics {
  GridMetrics() {
    columnWidths.fill(kDefaultColumnWidth);
    rowHeights.assign(kRowCount, kDefaultRowHeight);
    ownWidth.fill(0);
    ownHeight.assign(kRowCount, 0);
  }
  std::array<std::int16_t, kColumnCount> columnWidths;
  std::vector<std::int16_t> rowHeights;
  // 1 for a column (row) with a size of its own, 0 for one that follows
  // the default.
  std::array<std::uint8_t, kColumnCount> ownWidth;
  std::vector<std::uint8_t> ownHeight;
  // The widths and heights that following columns and rows have.
  std::int16_t defaultColumnWidth = kDefaultColumnWidth;
  std::int16_t defaultRowHeight = kDefaultRowHeight;

  bool FollowsDefaultWidth(int col) const { return ownWidth[static_cast<std::size_t>(col)] == 0; }
  bool FollowsDefaultHeight(int row) const { return ownHeight[static_cast<std::size_t>(row)] == 0; }
  void SetColumnWidth(int col, std::int16_t pixels) {
    columnWidths[static_cast<std::size_t>(col)] = pixels;
    ownWidth[static_cast<std::size_t>(col)] = 1;
  }
  void SetRowHeight(int row, std::int16_t pixels) {
    rowHeights[static_cast<std::size_t>(row)] = pixels;
    ownHeight[static_cast<std::size_t>(row)] = 1;
  }
  // Makes the column (row) follow the default again.
  void ResetColumnWidth(int col) {
    columnWidths[static_cast<std::size_t>(col)] = defaultColumnWidth;
    ownWidth[static_cast<std::size_t>(col)] = 0;
  }
  void ResetRowHeight(int row) {
    rowHeights[static_cast<std::size_t>(row)] = defaultRowHeight;
    ownHeight[static_cast<std::size_t>(row)] = 0;
  }
  // A global change: the default and every column (row) following it.
  void SetDefaultColumnWidth(std::int16_t pixels) {
    defaultColumnWidth = pixels;
    for (int c = 0; c < kColumnCount; ++c)
      if (FollowsDefaultWidth(c)) columnWidths[static_cast<std::size_t>(c)] = pixels;
  }
  void SetDefaultRowHeight(std::int16_t pixels) {
    defaultRowHeight = pixels;
    for (std::size_t r = 0; r < rowHeights.size(); ++r)
      if (ownHeight[r] == 0) rowHeights[r] = pixels;
  }
};

// A cell saved by the undo snapshot: position, attributes and entry, with
// formula code in position-independent form.
struct SavedCell {
  std::int16_t row;
  std::uint8_t col;
  std::uint8_t style;
  std::uint8_t format;
  std::uint8_t kind;
  std::uint8_t font;
  std::uint8_t fontSize;
  std::uint8_t borders;
  std::uint32_t colour;
  std::uint64_t value;   // numbers
  std::string payload;   // label text or relative-form formula code
};

struct UndoSnapshot {
  bool present = false;
  std::vector<SavedCell> cells;
  GridMetrics metrics;
  // The used extents, which may reach past the last cell.
  std::int16_t maxRow = 0, maxCol = 0;
  // The range names and the other stored ranges (in the order of
  // SheetDocument::ForEachOtherRange), which commands shift with the cells.
  std::vector<RangeName> names;
  std::vector<CellRange> ranges;
  // The sort directions, which a sort command stores with its ranges.
  std::array<bool, 4> sortAscending{true, true, true, true};
  // The graphs' ranges: the current graph's, and each named graph's under
  // its name (named graphs come and go without a snapshot).
  GraphRanges currentGraph{};
  std::vector<std::pair<std::string, GraphRanges>> namedGraphs;
};

// Bookkeeping of recalculation for one document.
struct RecalcStats {
  std::size_t evaluated = 0;  // formulas evaluated by the last recalculation
};
struct RecalcState {
  bool fullRecalcRunning = false;  // guards against a nested full recalculation
  RecalcStats stats;
  // The order the last full recalculation evaluated the formulas in (last
  // first) and the store's structure version it was worked out at.
  std::vector<CellId> order;
  std::uint64_t orderVersion = 0;
  bool orderKept = false;
};

class SheetDocument {
 public:
  SheetDocument(Session& session, int slot);
  SheetDocument(const SheetDocument&) = delete;
  SheetDocument& operator=(const SheetDocument&) = delete;

  Session& session() { return session_; }
  int slot() const { return slot_; }

  CellStore& cells() { return cells_; }
  const CellStore& cells() const { return cells_; }
  SheetSettings& settings() { return settings_; }
  const SheetSettings& settings() const { return settings_; }
  NameTable& names() { return names_; }
  const NameTable& names() const { return names_; }
  GridMetrics& metrics() { return metrics_; }
  UndoSnapshot& undo() { return undo_; }
  RecalcState& recalc() { return recalc_; }
  // Per-document data the worksheet file carries besides cells and names.
  WorksheetExtras& extras() { return extras_; }
  const WorksheetExtras& extras() const { return extras_; }

  const std::string& fileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name).substr(0, 255); }

  int refCount = 0;

  // Visits every range stored by the document (names, and the ranges kept
  // by graph and data-tool settings) so that deletions can undefine them.
  template <typename Fn>
  void ForEachStoredRange(Fn&& fn) {
    for (RangeName& n : names_.entries_mut()) fn(n.range);
    ForEachOtherRange(fn);
    extras_.graphs.ForEachRange(fn);
  }
  // The stored ranges besides the names, always in the same order: the
  // registered ones first (registration only ever appends), then those of
  // the extras. The undo snapshot relies on that order.
  template <typename Fn>
  void ForEachOtherRange(Fn&& fn) {
    for (CellRange* r : extraRanges_) fn(*r);
    extras_.ForEachRange(fn);
  }
  // Other parts of a document register their stored ranges here.
  void RegisterStoredRange(CellRange* range) { extraRanges_.push_back(range); }

 private:
  Session& session_;
  int slot_;
  SheetSettings settings_;
  CellStore cells_;
  NameTable names_;
  GridMetrics metrics_;
  UndoSnapshot undo_;
  RecalcState recalc_;
  WorksheetExtras extras_;
  std::string fileName_;
  std::vector<CellRange*> extraRanges_;
};

}  // namespace tabulon
