// How formulas reach other worksheet files: a link operand names a file
// path, and the link store makes that worksheet available.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;

// The file a link's stored path designates. Code keeps the path as the user
// typed it; one without a directory of its own (no leading "/", no drive
// ":") is taken relative to the current directory, as a file dialog would
// resolve it.
std::string ResolveLinkPath(std::string_view path);

class LinkSource {
 public:
  virtual ~LinkSource() = default;
  // The worksheet that a link operand or @LINK names by its stored path.
  SheetDocument* Find(std::string_view storedPath) { return Linked(ResolveLinkPath(storedPath)); }

 protected:
  // The worksheet at a resolved path: an open window's document, one
  // already loaded for links, or the file loaded now; null when the file
  // cannot be had.
  virtual SheetDocument* Linked(const std::string& path) = 0;
};

}  // namespace tabulon
