// Small readings of cells that the data tools share.
#pragma once

#include <string_view>

#include "sheet/cell_record.h"

namespace tabulon {

inline bool IsLabelPrefix(char c) {
  return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|';
}

// A label's text without its alignment prefix.
inline std::string_view WithoutPrefix(std::string_view label) {
  if (!label.empty() && IsLabelPrefix(label[0])) label.remove_prefix(1);
  return label;
}

// No cell, or a record holding no entry.
inline bool IsBlankCell(const CellRecord* c) { return c == nullptr || c->Kind() == kEmpty; }

}  // namespace tabulon
