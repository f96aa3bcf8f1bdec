#include "sheet/address.h"

#include <charconv>

#include "sheet/error_channel.h"
#include "base/limits.h"
#include "sheet/range_names.h"
#include "base/text.h"

namespace tabulon {

namespace {

bool PagesInUse(int pageHeight) { return pageHeight != 0 && pageHeight != kRowCount; }

// Letters and the underscore make up a column run; an underscore adds
// nothing of its own but keeps the run going (we treat it as a letter
// before "A", so "A_" is not a column).
bool IsColumnChar(char c) { return IsUpperLetter(c) || c == '_'; }

}  // namespace

std::string ColumnLetters(int col) {
  std::string s;
  if (col <= 25) {
    s.push_back(static_cast<char>('A' + col));
  } else {
    s.push_back(static_cast<char>('A' + col / 26 - 1));
    s.push_back(static_cast<char>('A' + col % 26));
  }
  return s;
}

int ColumnFromLetters(std::string_view letters) {
  if (letters.empty()) return -1;
  int v = -1;
  for (char c : letters) {
    v = (v + 1) * 26 + (UpperChar(c) - 'A');  // (v × 26 + letter + 1) with v starting at -1
    if (v > 0xFFFF) return 0x10000;            // far outside the sheet; stop growing
  }
  return v;
}

std::string AddressText(int row, int col, bool absRow, bool absCol, int pageHeight) {
  std::string s;
  int shownRow = row;
  if (PagesInUse(pageHeight)) {
    s += ColumnLetters(row / pageHeight);
    s += ':';
    shownRow = row % pageHeight;
  }
  if (absCol) s += '$';
  s += ColumnLetters(col);
  if (absRow) s += '$';
  s += std::to_string(shownRow + 1);
  return s;
}

std::string ShortAddressText(int row, int col, int pageHeight) {
  int shownRow = pageHeight != 0 ? row % pageHeight : row;
  return ColumnLetters(col) + std::to_string(shownRow + 1);
}

std::string RangeTextWithFlags(const CellRange& range, unsigned flags, bool forceBoth,
                               int pageHeight) {
  if (!range.IsDefined()) return {};
  std::string s = AddressText(range.firstRow, range.firstCol, flags & kAbsFirstRow,
                              flags & kAbsFirstCol, pageHeight);
  if (forceBoth || !range.IsSingleCell()) {
    s += "..";
    s += AddressText(range.lastRow, range.lastCol, flags & kAbsLastRow, flags & kAbsLastCol,
                     pageHeight);
  }
  if (s.size() > 20) s.resize(20);
  return s;
}

std::string RangeText(const CellRange& range, int pageHeight) {
  return RangeTextWithFlags(range, 0, false, pageHeight);
}

ParsedCorner ParseCorner(std::string_view text, int pageHeight) {
  ParsedCorner c;
  std::size_t i = 0;
  auto readColumn = [&]() {
    std::size_t start = i;
    while (i < text.size() && IsColumnChar(UpperChar(text[i]))) ++i;
    std::string letters;
    for (std::size_t k = start; k < i; ++k)
      if (text[k] != '_') letters.push_back(UpperChar(text[k]));
    return letters.empty() ? -1 : ColumnFromLetters(letters);
  };
  if (i < text.size() && text[i] == '$') {
    c.absCol = true;
    ++i;
  }
  int col = readColumn();
  int pageBase = 0;
  if (i < text.size() && text[i] == ':') {
    if (col < 0) return c;
    pageBase = col * (PagesInUse(pageHeight) ? pageHeight : 0);
    ++i;
    if (i < text.size() && text[i] == '$') {
      c.absCol = true;
      ++i;
    }
    col = readColumn();
  }
  if (col < 0) return c;
  if (i < text.size() && text[i] == '$') {
    c.absRow = true;
    ++i;
  }
  std::string_view digits = text.substr(i, 6);
  if (digits.empty() || !(IsDigit(digits[0]) || digits[0] == '-' || digits[0] == '+')) return c;
  if (digits[0] == '+') digits.remove_prefix(1);
  long n = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size()) return c;
  long row = (n - 1 + pageBase) % kRowCount;  // keeps the dividend's sign
  c.col = col;
  c.row = static_cast<int>(row);
  c.ok = ColumnInSheet(col) && RowInSheet(c.row);
  return c;
}

ParsedRange ParseRange(std::string_view input, const RangeContext& context, ErrorChannel& errors) {
  ParsedRange result;
  std::string text = UpperCase(input.substr(0, kMaxText));
  if (text.empty()) return result;  // undefined range
  if (text == "RANGE" || text == "CURSOR") {
    if (context.cursor == nullptr) {
      result.ok = false;
      errors.Raise();
      return result;
    }
    if (text == "RANGE") {
      result.range = context.cursor->SelectionRange();
    } else {
      CellAddress a = context.cursor->CursorCell();
      result.range = CellRange::Cell(a.row, a.col);
    }
    return result;
  }
  if (context.names != nullptr) {
    bool dollar = text[0] == '$';
    std::string_view name = std::string_view(text).substr(dollar ? 1 : 0);
    if (const CellRange* r = context.names->Lookup(name); r != nullptr && !name.empty() &&
                                                          name.size() <= kMaxNameLength) {
      result.range = *r;
      result.flags = dollar ? kAbsAll : 0;
      return result;
    }
  }
  std::string_view first = text, last = text;
  if (std::size_t dots = text.find(".."); dots != std::string::npos) {
    first = std::string_view(text).substr(0, dots);
    last = std::string_view(text).substr(dots + 2);
  }
  ParsedCorner b = ParseCorner(last, context.pageHeight);
  ParsedCorner a = ParseCorner(first, context.pageHeight);
  if (!a.ok || !b.ok) {
    result.ok = false;
    errors.Raise();
    return result;
  }
  result.range = CellRange::Of(a.row, a.col, b.row, b.col);
  result.flags = (a.absRow ? kAbsFirstRow : 0) | (a.absCol ? kAbsFirstCol : 0) |
                 (b.absRow ? kAbsLastRow : 0) | (b.absCol ? kAbsLastCol : 0);
  return result;
}

}  // namespace tabulon
