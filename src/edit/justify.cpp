#include "edit/justify.h"

#include <algorithm>

#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// The cell at position k in column-major order.
CellAddress Position(const CellRange& r, int k) {
  int rows = r.Bottom() - r.Top() + 1;
  return {static_cast<std::int16_t>(r.Left() + k / rows), static_cast<std::int16_t>(r.Top() + k % rows)};
}

int Positions(const CellRange& r) {
  long long n = static_cast<long long>(r.Bottom() - r.Top() + 1) * (r.Right() - r.Left() + 1);
  return static_cast<int>(std::min<long long>(n, kMaxJustifyCells));
}

std::string Collapse(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Takes the next line off the front of `text`.
std::string SplitLine(std::string& text, int width, const MeasureText& measure) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) {
    text.clear();
    return {};
  }
  text.erase(0, start);
  // The longest beginning that fits (at least one character, so that a
  // character wider than the line still moves on).
  std::size_t fit = 1;
  while (fit < text.size() && measure(std::string_view(text).substr(0, fit + 1)) <= width) ++fit;
  if (fit < text.size()) {
    std::size_t space = text.rfind(' ', fit);
    if (space != std::string::npos && space > 0) fit = space;
  }
  std::string line = text.substr(0, fit);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  text.erase(0, fit);
  return line;
}

}  // namespace

int JustifyWidthPreset(SheetDocument& doc, const CellRange& range) {
  if (!range.IsDefined()) return 0;
  int total = 0;
  for (int c = range.Left(); c <= range.Right(); ++c) total += doc.metrics().columnWidths[c];
  return total / 4;
}

std::vector<std::string> JustifyLines(SheetDocument& doc, const CellRange& range, int widthField,
                                      bool pad, const MeasureText& measure) {
  std::vector<std::string> lines;
  if (!range.IsDefined()) return lines;
  int width = std::max(1, widthField * 4 - 4);
  std::string text;
  auto flush = [&](bool all) {
    while (!text.empty() && (all || measure(text) > width)) {
      std::string line = SplitLine(text, width, measure);
      if (!line.empty()) lines.push_back(line);
      if (lines.size() > static_cast<std::size_t>(kMaxJustifyCells)) return;  // too many anyway
    }
  };
  int n = Positions(range);
  for (int k = 0; k < n; ++k) {
    CellAddress a = Position(range, k);
    const CellRecord* cell = doc.cells().FindCell(a.row, a.col);
    std::string piece = CellEditText(doc, cell);
    if (cell != nullptr && (cell->Kind() == kLabel || cell->Kind() == kStringFormula) &&
        !piece.empty())
      piece.erase(0, 1);
    if (pad) piece = Collapse(piece);
    if (piece.empty()) continue;
    if (!text.empty() && text.back() != ' ' && piece.front() != ' ') text.push_back(' ');
    text += piece;
    flush(false);
  }
  flush(true);
  return lines;
}

std::string PadLine(const std::string& line, int width, const MeasureText& measure) {
  std::string out = line;
  bool grew = true;
  while (grew) {
    grew = false;
    // After each word: the ends of the runs of spaces between words.
    for (std::size_t i = 1; i < out.size(); ++i) {
      if (out[i] != ' ' || out[i - 1] == ' ') continue;
      std::string wider = out.substr(0, i) + " " + out.substr(i);
      if (measure(wider) > width) return out;
      out = wider;
      grew = true;
      while (i < out.size() && out[i] == ' ') ++i;
    }
  }
  return out;
}

bool Justify(SheetDocument& doc, const CellRange& range, int widthField, bool pad,
             const MeasureText& measure) {
  ErrorChannel& errors = doc.session().errors();
  if (!range.IsDefined() || widthField < 2) {
    errors.Raise();
    return false;
  }
  std::vector<std::string> lines = JustifyLines(doc, range, widthField, pad, measure);
  int n = Positions(range);
  if (static_cast<int>(lines.size()) > n) {
    errors.Fail(kJustifyTooSmall);
    return false;
  }
  // Erase what may be erased, then write the lines.
  std::vector<CellId> erased;
  for (int k = 0; k < n; ++k) {
    CellAddress a = Position(range, k);
    CellRecord* cell = doc.cells().FindCell(a.row, a.col);
    if (cell == nullptr || cell->Kind() == kEmpty || block::IsLockedForEntry(doc, cell)) continue;
    BlankCell(doc, *cell);
    erased.push_back(cell->id);
  }
  doc.settings().modified = true;
  block::Recalculate(doc, erased);
  int width = widthField * 4 - 4;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (pad && i + 1 < lines.size() && !line.empty() && line.back() != '.')
      line = PadLine(line, width, measure);
    CellAddress a = Position(range, static_cast<int>(i));
    std::string entry = std::string(1, doc.settings().labelPrefix) + line;
    if (!EnterCell(doc, entry, a.row, a.col).ok) return false;
  }
  return true;
}

}  // namespace tabulon
