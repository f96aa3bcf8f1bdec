#include "sheet/worksheet_extras.h"

#include <cstring>

namespace tabulon {

namespace {

// The whole graph settings record in its reset state; the file splits it
// into the block after the 13-byte name and the extended block after that.
constexpr int kGraphRecordBytes = 839;
constexpr int kGraphBlockStart = 13;

std::vector<std::uint8_t> ResetGraphRecord() {
  std::vector<std::uint8_t> g(kGraphRecordBytes, 0);
  auto undefinedRange = [&](int off) { g[off] = 0xFF; g[off + 1] = 0xFF; };
  undefinedRange(13);
  for (int i = 0; i < 6; ++i) undefinedRange(21 + 8 * i);
  for (int i = 0; i < 6; ++i) undefinedRange(69 + 8 * i);
  const std::uint8_t seriesColours[6] = {9, 3, 2, 4, 5, 6};
  const std::uint8_t fontSizes[7] = {24, 18, 16, 16, 12, 12, 8};
  for (int i = 0; i < 6; ++i) {
    g[120 + i] = 3;
    g[126 + i] = 1;
    g[483 + i] = seriesColours[i];
    g[498 + i] = 7;
    g[511 + i] = static_cast<std::uint8_t>(i + 1);
    g[517 + i] = static_cast<std::uint8_t>(i % 3 + 1);
    g[523 + i] = 1;
    g[529 + i] = static_cast<std::uint8_t>(i + 1);
  }
  g[446] = 1;
  g[447] = 1;
  g[448] = 4;
  g[449] = 4;
  g[489] = 15;
  g[490] = 8;
  for (int i = 0; i < 7; ++i) {
    g[491 + i] = 1;
    g[504 + i] = 7;
    g[537 + i] = fontSizes[i];
  }
  g[830] = 1;
  return g;
}

}  // namespace

WorksheetExtras::WorksheetExtras()
    : graph(ResetGraphBlock()), graphExt(ResetGraphExtBlock()) {}

std::uint8_t WorksheetExtras::FontNumber(const std::string& name) {
  for (std::size_t i = 0; i < fontNames.size(); ++i)
    if (fontNames[i] == name) return static_cast<std::uint8_t>(i);
  if (fontNames.size() >= kMaxFontNames) return 255;
  fontNames.push_back(name);
  return static_cast<std::uint8_t>(fontNames.size() - 1);
}

std::vector<std::uint8_t> ResetGraphBlock() {
  std::vector<std::uint8_t> r = ResetGraphRecord();
  return {r.begin() + kGraphBlockStart, r.begin() + kGraphBlockStart + kGraphBlockBytes};
}

std::vector<std::uint8_t> ResetGraphExtBlock() {
  std::vector<std::uint8_t> r = ResetGraphRecord();
  int start = kGraphBlockStart + kGraphBlockBytes;
  return {r.begin() + start, r.begin() + start + kGraphExtBlockBytes};
}

}  // namespace tabulon
