// Print to a text file: each row of a range becomes one line; each column
// takes (its width in pixels div 8) + 2 character positions, and each
// cell's shown text is placed in its column's positions as the window
// places it (numbers and right-aligned labels at the right, centred labels
// in the middle, left-aligned labels running on over empty neighbours).
// Lines hold at most 240 characters, lose their trailing blanks and end
// with CR LF.
#pragma once

#include <string>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// The file dialog's filter and the extension a name without "." gets.
inline constexpr const char* kPrintFileFilter = "ASCII (*.prn)|*.prn|ASCII (*.txt)|*.txt";
std::string PrintFileName(const std::string& name);

// The character positions a column takes; 0 for a hidden column, which
// print-to-file leaves out.
int PrintFileColumnWidth(const SheetDocument& doc, int col);

// The lines, without line ends.
std::vector<std::string> PrintFileLines(SheetDocument& doc, const CellRange& range);

// Writes the lines of `range` to `path` (as given: the caller has applied
// PrintFileName). The file is written under a temporary name and renamed
// into place, so a failure leaves no half-written file. Returns an empty
// string, or what went wrong.
std::string WritePrintFile(SheetDocument& doc, const CellRange& range, const std::string& path);

}  // namespace tabulon
