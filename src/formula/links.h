// How formulas reach other worksheet files: a link operand names a file
// path, and the link store makes that worksheet's cells available.
#pragma once

#include <string_view>

namespace tabulon {

class CellStore;

class LinkSource {
 public:
  virtual ~LinkSource() = default;
  // The cells of the worksheet at `path` (an open window's document, one
  // already loaded for links, or the file loaded now); null when the file
  // cannot be had.
  virtual CellStore* Linked(std::string_view path) = 0;
};

}  // namespace tabulon
