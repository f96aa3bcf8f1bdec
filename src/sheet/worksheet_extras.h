// Per-worksheet data that travels in the worksheet file besides cells,
// names and sheet settings: window and pane positions, data-tool and print
// ranges, print texts and margins, graph blocks, sheet buttons, the sheet
// font, the font name table, colours and the document information.
//
// Sheet buttons are kept as the file's bytes, so that a load-save round
// trip reproduces them exactly; the graph settings are decoded records
// whose encoding reproduces the file's bytes (sheet/graph_settings.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/address.h"
#include "sheet/graph_settings.h"

namespace tabulon {

inline constexpr int kSheetButtonBytes = 297;
inline constexpr int kMaxFontNames = 255;  // font numbers 0..254; 255 = default font

// One window pane's position as the file keeps it.
struct PaneState {
  std::int16_t cursorCol = 0;
  std::int16_t cursorRow = 0;
  std::int16_t leftCol = 0;
  std::int16_t topRow = 0;
};

// Layout of the sheet window: pages, display switches, panes and frozen
// titles.
struct PaneLayout {
  std::array<std::uint8_t, 3> displayOptions{};
  std::uint8_t activePane = 0;  // 0 = pane 1, 1 = pane 2
  PaneState pane1, pane2;
  std::int16_t pane1Height = 0, pane1Width = 0;  // pixels
  std::array<std::int16_t, 4> frozen{};  // columns first/last, rows first/last
};

struct WorksheetExtras {
  // Windows.
  bool split = false;
  bool splitSecondDirection = false;  // the split byte was 1
  bool synchronised = false;
  PaneState pane1, pane2;
  int activePaneOnLoad = 1;  // 2 when the file named pane 2 active
  PaneLayout layout;

  // Option byte of the settings name, kept for its owner.
  std::uint8_t settingsOption = 0;

  // Data tools.
  std::uint8_t whatIfKind = 0;
  CellRange whatIfTable, whatIfInput1, whatIfInput2;
  CellRange queryInput, queryOutput, queryCriteria;
  CellRange sortData;
  std::array<CellRange, 4> sortKeys;
  std::array<bool, 4> sortAscending{true, true, true, true};
  CellRange regressionX, regressionY;
  std::array<std::uint8_t, 10> regressionCodes{};

  // Printing.
  CellRange printRange;
  CellRange titleRows, titleCols;
  std::string printHeader, printFooter, printerSetup;
  // Inches: top, left, right, bottom, header margin, footer margin.
  std::array<double, 6> margins{0.5, 0.5, 0.5, 0.5, 0.0, 0.0};

  // The current graph and the named graphs.
  GraphBook graphs;

  // Sheet buttons, each the 297 bytes of its file record.
  std::vector<std::array<std::uint8_t, kSheetButtonBytes>> buttons;

  // Display.
  // Background, banding, value, negative, label, protected cell, cell pointer.
  std::array<std::uint32_t, 7> colours{0x00FFFFFFu, 0x00E0FFFFu, 0x41FFFFFFu, 0x4CFFFFFFu,
                                       0x42FFFFFFu, 0x07800000u, 0x0FFF0000u};
  std::vector<std::string> pageTabs;     // captions, at most 11 bytes each
  std::int16_t sheetRowHeight = 0;
  std::uint8_t sheetFontStyle = 0;
  std::string sheetFontName = "ARIAL";
  // Names of the fonts that cell font numbers index; 255 is the default font.
  std::vector<std::string> fontNames;

  // Document information.
  std::string title, comments, revisedBy;
  double createdTime = -1;  // negative: no creation stamp yet
  double createdDate = 0;

  // Every range above, for code that must update or undefine stored ranges.
  template <typename Fn>
  void ForEachRange(Fn&& fn) {
    for (CellRange* r : {&whatIfTable, &whatIfInput1, &whatIfInput2, &queryInput, &queryOutput,
                         &queryCriteria, &sortData, &sortKeys[0], &sortKeys[1], &sortKeys[2],
                         &sortKeys[3], &regressionX, &regressionY, &printRange, &titleRows,
                         &titleCols})
      fn(*r);
  }

  // Font number of a name in the table, adding it when absent; 255 when
  // the table is full.
  std::uint8_t FontNumber(const std::string& name);
};

}  // namespace tabulon
