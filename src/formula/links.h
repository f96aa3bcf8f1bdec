// How formulas reach other worksheet files: a link operand names a file
// path, and the link store makes that worksheet available.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;

// The file a link's stored path designates. Code keeps the path as the user
// typed it; one without a directory of its own (no leading "/", no drive
// ":") is taken relative to `folder`, the linking worksheet's own folder,
// or to the current directory when that is empty.
std::string ResolveLinkPath(std::string_view path, std::string_view folder = {});

// The folder a worksheet's relative links start from: the folder of its
// file, empty (the current directory) for an untitled sheet or a file
// named without one.
std::string LinkFolder(const SheetDocument& doc);

class LinkSource {
 public:
  virtual ~LinkSource() = default;
  // The worksheet that a link operand or @LINK of `from` names by its stored
  // path; null when it cannot be had (missing, damaged, the sheet itself).
  SheetDocument* Find(std::string_view storedPath, const SheetDocument& from) {
    return Linked(ResolveLinkPath(storedPath, LinkFolder(from)), from);
  }

 protected:
  // The worksheet at a resolved path: an open window's document, one
  // already loaded for links, or the file loaded now; null when the file
  // cannot be had.
  virtual SheetDocument* Linked(const std::string& path, const SheetDocument& from) = 0;
};

}  // namespace tabulon
