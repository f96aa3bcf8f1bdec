#include "sheet/worksheet_extras.h"

namespace tabulon {

std::uint8_t WorksheetExtras::FontNumber(const std::string& name) {
  for (std::size_t i = 0; i < fontNames.size(); ++i)
    if (fontNames[i] == name) return static_cast<std::uint8_t>(i);
  if (fontNames.size() >= kMaxFontNames) return 255;
  fontNames.push_back(name);
  return static_cast<std::uint8_t>(fontNames.size() - 1);
}

}  // namespace tabulon
