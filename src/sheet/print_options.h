// The print options that hold for every worksheet: scale, grid, frame,
// shades, orientation, the header and footer rules and the chosen printer.
// The ranges, texts and margins belong to each worksheet and travel in its
// file (WorksheetExtras); these live in the program settings, and the
// configuration file keeps frame, mono and orientation between runs.
#pragma once

#include <string>

namespace tabulon {

struct PrintOptions {
  int scale = 100;          // percent
  bool grid = true;         // draw the cell grid
  bool frame = true;        // outline the page and the print area
  bool mono = false;        // no shades: cell backgrounds white
  bool landscape = false;
  bool headerLine = false;  // a rule under the header
  bool footerLine = false;  // a rule above the footer
  std::string printer;      // empty: the default printer
};

// The scale range the print dialog accepts; a typed value outside it is
// brought to the nearer bound.
inline constexpr int kMinDialogScale = 10;
inline constexpr int kMaxDialogScale = 150;
// The scales a print job accepts at all (a macro may go beyond the dialog's).
inline constexpr int kMinPrintScale = 1;
inline constexpr int kMaxPrintScale = 1000;

}  // namespace tabulon
