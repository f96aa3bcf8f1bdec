// Per-worksheet settings that the model consults. Copied from the program
// defaults for a new worksheet; saved and loaded with the worksheet file.
#pragma once

#include <cstdint>

namespace tabulon {

struct SheetSettings {
  bool protect = false;         // locked cells refuse entry
  bool negativeColour = false;  // negative values in the scheme's negative colour
  bool hideZeros = false;       // zero values show as blank
  bool banding = false;         // alternate rows in the banding colour
  bool manualRecalc = false;    // recalculation is manual
  bool modified = false;        // the close query asks to save when set
  char labelPrefix = '\'';      // default prefix of typed labels
  std::int16_t pageHeight = 0;  // rows per page; 0 or 8192 = no pages
  std::uint8_t defaultFormat = 0x71;  // format used by cells whose format is 127 (general)

  bool UsesPages() const { return pageHeight != 0 && pageHeight != 8192; }
};

}  // namespace tabulon
