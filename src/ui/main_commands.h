// Main-window commands that are not drawing: the recent-files list, the
// clipboard's text form of a range and pasting it back, Speed @SUM, the
// attributes the quick bar applies to a selection, erasing a block, the
// zoom menu and new sheet names. The Qt main window calls these.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Recent files, oldest first, at most min(size, 10).
class RecentFiles {
 public:
  static constexpr int kMaxEntries = 10;
  // Entries shown directly in the File menu; the rest go into "More".
  static constexpr int kMenuEntries = 5;

  void SetSize(int size);
  int size() const { return size_; }
  // Moves (or adds) the name to the newest position, dropping the oldest
  // entries beyond the size.
  void Remember(const std::string& name);
  void Assign(std::vector<std::string> names);  // as read from the settings
  void Clear() { names_.clear(); }
  const std::vector<std::string>& names() const { return names_; }

 private:
  void Trim();
  int size_ = 5;
  std::vector<std::string> names_;
};

// The largest clipboard text copied or pasted.
inline constexpr std::size_t kClipboardLimit = 64000;

struct ClipboardCopy {
  std::string text;
  bool truncated = false;  // the range did not fit: whole rows were left out
};
// The range as clipboard text: rows ended by CR LF, cells separated by a
// tab, each cell as the input line shows it; a hidden cell under
// protection gives an empty text. Only whole rows, at most 64000 bytes.
ClipboardCopy ClipboardTextOf(SheetDocument& doc, const CellRange& range);

struct PasteResult {
  bool ok = true;         // false: an entry failed; the error channel says why
  int cellsEntered = 0;
  bool truncated = false;  // the text was longer than 64000 bytes
  CellAddress failedAt;
};
// Enters clipboard text from `topLeft`: each line (ended by CR, LF or CR
// LF) fills one row, split at tabs, every piece through cell entry. Stops
// at the first failing entry.
PasteResult PasteText(SheetDocument& doc, CellAddress topLeft, std::string_view text);

// Erases the entries of every cell in the range (attributes stay) and
// recalculates what depended on them.
void EraseRange(SheetDocument& doc, const CellRange& range);

// Speed @SUM: the cells that receive a sum formula and their formula texts.
// A block of several rows gets, below each of its columns, the sum of that
// column; a single row gets the sum of the row to its right; a single cell
// gets the sum of the run of filled cells above it (or, when there is none,
// to its left).
struct SumEntry {
  CellAddress cell;
  std::string formula;
};
std::vector<SumEntry> SpeedSumEntries(SheetDocument& doc, const CellRange& selection);

// The quick bar's attributes over a selection; cells are created as needed.
enum class StyleBit : std::uint8_t { Bold = 1, Italic = 2, Underline = 4 };
// Sets the style bit on every cell when the top-left cell lacks it,
// otherwise clears it everywhere; returns the new state.
bool ToggleStyle(SheetDocument& doc, const CellRange& range, StyleBit bit);
void ApplyFontSize(SheetDocument& doc, const CellRange& range, int pixels);
void ApplyFont(SheetDocument& doc, const CellRange& range, std::uint8_t fontNumber);
// A format list entry ("F2,Fixed"): the code before the comma. False when
// the code is not a format.
bool ApplyFormatEntry(SheetDocument& doc, const CellRange& range, std::string_view entry);
// Label alignment through the style byte: 1 left, 2 right, 3 centre.
void ApplyAlignment(SheetDocument& doc, const CellRange& range, int alignment);

// The zoom menu's captions, in tag order 1..8.
inline constexpr std::array<const char*, 8> kZoomCaptions{"&200%", "15&0%", "1&30%", "&100%",
                                                         "&87%",  "&75%",  "&65%",  "&50%"};
// The quick bar's font sizes.
inline constexpr std::array<int, 10> kFontSizes{6, 8, 10, 12, 14, 18, 24, 32, 48, 72};

// "SHEET" + (window count + 1) + ".WKS".
std::string NewSheetName(int windowCount);

}  // namespace tabulon
