#include "ui/main_commands.h"

#include <algorithm>

#include "display/format.h"
#include "formula/recalc.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"

namespace tabulon {

void RecentFiles::SetSize(int size) {
  size_ = std::clamp(size, 0, kMaxEntries);
  Trim();
}

void RecentFiles::Remember(const std::string& name) {
  if (name.empty()) return;
  names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
  names_.push_back(name);
  Trim();
}

void RecentFiles::Assign(std::vector<std::string> names) {
  names_ = std::move(names);
  Trim();
}

void RecentFiles::Trim() {
  std::size_t keep = static_cast<std::size_t>(size_);
  if (names_.size() > keep) names_.erase(names_.begin(), names_.end() - static_cast<long>(keep));
}

ClipboardCopy ClipboardTextOf(SheetDocument& doc, const CellRange& range) {
  ClipboardCopy out;
  if (!range.IsDefined()) return out;
  bool protect = doc.settings().protect;
  std::string line;
  for (int r = range.Top(); r <= range.Bottom(); ++r) {
    line.clear();
    for (int c = range.Left(); c <= range.Right(); ++c) {
      if (c > range.Left()) line += '\t';
      const CellRecord* cell = doc.cells().FindCell(r, c);
      if (cell == nullptr) continue;
      if (protect && EffectiveFormat(cell->format, doc.settings()) == kFormatHidden) continue;
      line += CellEditText(doc, cell);
    }
    line += "\r\n";
    if (out.text.size() + line.size() > kClipboardLimit) {
      out.truncated = true;
      break;
    }
    out.text += line;
  }
  return out;
}

PasteResult PasteText(SheetDocument& doc, CellAddress topLeft, std::string_view text) {
  PasteResult result;
  if (text.size() > kClipboardLimit) {
    text = text.substr(0, kClipboardLimit);
    result.truncated = true;
  }
  doc.session().errors().Clear();
  int row = topLeft.row, col = topLeft.col;
  std::size_t start = 0;
  auto enter = [&](std::size_t end) {
    std::string_view piece = text.substr(start, end - start);
    EntryResult r = EnterCell(doc, piece, row, col);
    if (!r.ok) {
      result.ok = false;
      result.failedAt = {static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)};
      return false;
    }
    if (!piece.empty()) ++result.cellsEntered;
    return true;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\t') {
      if (!enter(i)) return result;
      ++col;
      start = i + 1;
    } else if (ch == '\r' || ch == '\n') {
      if (!enter(i)) return result;
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++row;
      col = topLeft.col;
      start = i + 1;
    }
  }
  if (start < text.size()) enter(text.size());
  return result;
}

void EraseRange(SheetDocument& doc, const CellRange& range) {
  if (!range.IsDefined()) return;
  std::vector<CellRecord*> cells;
  doc.cells().ForEachIn(range.Top(), range.Left(), range.Bottom(), range.Right(),
                        [&](CellRecord& c) {
                          if (c.Kind() != kEmpty) cells.push_back(&c);
                        });
  if (cells.empty()) return;
  for (CellRecord* c : cells) BlankCell(doc, *c);
  doc.settings().modified = true;
  if (doc.settings().manualRecalc) return;
  for (CellRecord* c : cells)
    if (doc.cells().HasDependents(*c)) RecalcFrom(doc, *c);
}

std::vector<SumEntry> SpeedSumEntries(SheetDocument& doc, const CellRange& sel) {
  std::vector<SumEntry> out;
  if (!sel.IsDefined()) return out;
  int pageHeight = doc.settings().pageHeight;
  auto filled = [&](int r, int c) {
    const CellRecord* cell = doc.cells().FindCell(r, c);
    return cell != nullptr && cell->Kind() != kEmpty;
  };
  auto add = [&](int row, int col, const CellRange& summed) {
    if (!RowInSheet(row) || !ColumnInSheet(col)) return;
    out.push_back({{static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)},
                   "@SUM(" + RangeText(summed, pageHeight) + ")"});
  };
  if (sel.IsSingleCell()) {
    int r = sel.Top(), c = sel.Left();
    int up = r;
    while (up > 0 && filled(up - 1, c)) --up;
    if (up < r) {
      add(r, c, CellRange::Of(up, c, r - 1, c));
      return out;
    }
    int left = c;
    while (left > 0 && filled(r, left - 1)) --left;
    if (left < c) add(r, c, CellRange::Of(r, left, r, c - 1));
    return out;
  }
  if (sel.Top() == sel.Bottom()) {
    add(sel.Top(), sel.Right() + 1, CellRange::Of(sel.Top(), sel.Left(), sel.Top(), sel.Right()));
    return out;
  }
  for (int c = sel.Left(); c <= sel.Right(); ++c)
    add(sel.Bottom() + 1, c, CellRange::Of(sel.Top(), c, sel.Bottom(), c));
  return out;
}

namespace {

template <typename Fn>
void ForEachCreated(SheetDocument& doc, const CellRange& range, Fn&& fn) {
  if (!range.IsDefined()) return;
  for (int r = range.Top(); r <= range.Bottom(); ++r)
    for (int c = range.Left(); c <= range.Right(); ++c)
      if (CellRecord* cell = doc.cells().GetOrCreateCell(r, c)) fn(*cell);
  doc.settings().modified = true;
}

}  // namespace

bool ToggleStyle(SheetDocument& doc, const CellRange& range, StyleBit bit) {
  if (!range.IsDefined()) return false;
  auto mask = static_cast<std::uint8_t>(bit);
  const CellRecord* first = doc.cells().FindCell(range.Top(), range.Left());
  bool on = first == nullptr || !(first->style & mask);
  ForEachCreated(doc, range, [&](CellRecord& c) {
    c.style = static_cast<std::uint8_t>(on ? ((c.style | mask) & 0x7F) : (c.style & ~mask));
  });
  return on;
}

void ApplyFontSize(SheetDocument& doc, const CellRange& range, int pixels) {
  auto size = static_cast<std::uint8_t>(std::clamp(pixels, 1, 255));
  ForEachCreated(doc, range, [&](CellRecord& c) { c.fontSize = size; });
}

void ApplyFont(SheetDocument& doc, const CellRange& range, std::uint8_t fontNumber) {
  ForEachCreated(doc, range, [&](CellRecord& c) { c.font = fontNumber; });
}

bool ApplyFormatEntry(SheetDocument& doc, const CellRange& range, std::string_view entry) {
  std::string_view code = entry.substr(0, entry.find(','));
  std::uint8_t f = ParseFormatCode(code);
  if (f == kFormatUseDefault) return false;
  ForEachCreated(doc, range, [&](CellRecord& c) {
    c.format = static_cast<std::uint8_t>((c.format & kLockBit) | (f & kFormatMask));
  });
  return true;
}

void ApplyAlignment(SheetDocument& doc, const CellRange& range, int alignment) {
  auto bits = static_cast<std::uint8_t>((std::clamp(alignment, 0, 3) & 7) << 4);
  ForEachCreated(doc, range, [&](CellRecord& c) {
    c.style = static_cast<std::uint8_t>((c.style & 0x8F) | bits);
  });
}

std::string NewSheetName(int windowCount) {
  return "SHEET" + std::to_string(windowCount + 1) + ".WKS";
}

}  // namespace tabulon
