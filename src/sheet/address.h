// Cell addresses and ranges, their text forms, and the range parser behind
// every dialog field, macro argument and prompt that asks for a range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

class ErrorChannel;
class NameTable;

struct CellAddress {
  std::int16_t col = 0;
  std::int16_t row = 0;
  bool operator==(const CellAddress&) const = default;
};

// Two corners in the order given; undefined when firstCol is -1.
struct CellRange {
  std::int16_t firstCol = -1;
  std::int16_t firstRow = 0;
  std::int16_t lastCol = 0;
  std::int16_t lastRow = 0;

  static CellRange Cell(int row, int col) {
    return {static_cast<std::int16_t>(col), static_cast<std::int16_t>(row),
            static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)};
  }
  static CellRange Of(int r1, int c1, int r2, int c2) {
    return {static_cast<std::int16_t>(c1), static_cast<std::int16_t>(r1),
            static_cast<std::int16_t>(c2), static_cast<std::int16_t>(r2)};
  }
  bool IsDefined() const { return firstCol != -1; }
  bool IsSingleCell() const { return firstCol == lastCol && firstRow == lastRow; }
  void SetUndefined() { *this = CellRange{}; }
  void CollapseToFirst() {
    lastCol = firstCol;
    lastRow = firstRow;
  }
  int Top() const { return firstRow < lastRow ? firstRow : lastRow; }
  int Bottom() const { return firstRow < lastRow ? lastRow : firstRow; }
  int Left() const { return firstCol < lastCol ? firstCol : lastCol; }
  int Right() const { return firstCol < lastCol ? lastCol : firstCol; }
  bool Contains(int row, int col) const {
    return IsDefined() && row >= Top() && row <= Bottom() && col >= Left() && col <= Right();
  }
  bool operator==(const CellRange&) const = default;
};

// Absolute marks of a parsed range, as bits: 1 first row, 2 first column,
// 4 last row, 8 last column.
inline constexpr unsigned kAbsFirstRow = 1;
inline constexpr unsigned kAbsFirstCol = 2;
inline constexpr unsigned kAbsLastRow = 4;
inline constexpr unsigned kAbsLastCol = 8;
inline constexpr unsigned kAbsAll = 15;

// The cell cursor and selection of the active worksheet window, which the
// words "CURSOR" and "RANGE" stand for.
class CursorSource {
 public:
  virtual ~CursorSource() = default;
  virtual CellAddress CursorCell() const = 0;
  virtual CellRange SelectionRange() const = 0;
};

std::string ColumnLetters(int col);
// Column letters to a column value: "A" = 0, "IV" = 255; -1 for no letters.
int ColumnFromLetters(std::string_view letters);

// pageHeight is the worksheet's rows per page (0 or 8192: no pages).
std::string AddressText(int row, int col, bool absRow, bool absCol, int pageHeight);
std::string ShortAddressText(int row, int col, int pageHeight);
std::string RangeText(const CellRange& range, int pageHeight);
std::string RangeTextWithFlags(const CellRange& range, unsigned flags, bool forceBoth,
                               int pageHeight);

struct ParsedRange {
  CellRange range;
  unsigned flags = 0;  // kAbs... bits
  bool ok = true;
};

// Everything ParseRange consults besides the text.
struct RangeContext {
  int pageHeight = 0;
  const NameTable* names = nullptr;
  const CursorSource* cursor = nullptr;  // null: no active window
};

// Parses range text (case-insensitive): empty text (undefined range),
// "RANGE", "CURSOR", a range name with an optional leading "$", or one or
// two corners joined by "..", each with optional page prefix and "$" marks.
// A failure raises the error channel's flag (no message).
ParsedRange ParseRange(std::string_view text, const RangeContext& context, ErrorChannel& errors);

// One corner of range text: column letters with an optional page prefix,
// then a row number. Used by ParseRange and by the formula compiler.
struct ParsedCorner {
  int col = 0;
  int row = 0;
  bool absCol = false;
  bool absRow = false;
  bool ok = false;
};
ParsedCorner ParseCorner(std::string_view text, int pageHeight);

}  // namespace tabulon
