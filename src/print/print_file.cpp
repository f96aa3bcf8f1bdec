#include "print/print_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/limits.h"
#include "display/format.h"
#include "io/safe_file.h"
#include "sheet/cell_record.h"
#include "sheet/sheet_document.h"
#include "ui/row_painter.h"

namespace tabulon {

namespace {

constexpr std::size_t kMaxLine = static_cast<std::size_t>(kMaxText);

struct CharMeasure final : TextMeasure {
  int Width(std::string_view text) override { return static_cast<int>(text.size()); }
};

bool IsEmptyCell(const CellRecord* c) { return c == nullptr || c->Kind() == kEmpty; }

}  // namespace

std::string PrintFileName(const std::string& name) {
  std::string base = std::filesystem::path(name).filename().string();
  if (base.find('.') == std::string::npos) return name + ".prn";
  return name;
}

int PrintFileColumnWidth(const SheetDocument& doc, int col) {
  int px = const_cast<SheetDocument&>(doc).metrics().columnWidths[col];
  return px <= 0 ? 0 : px / 8 + 2;
}

std::vector<std::string> PrintFileLines(SheetDocument& doc, const CellRange& range) {
  std::vector<std::string> lines;
  if (!range.IsDefined()) return lines;
  struct Column {
    int col, start, width;
  };
  std::vector<Column> columns;
  int total = 0;
  for (int c = range.Left(); c <= range.Right(); ++c) {
    int w = PrintFileColumnWidth(doc, c);
    if (w == 0) continue;
    columns.push_back({c, total, w});
    total += w;
  }
  FormatSettings fmt = FormatSettingsOf(doc);
  CharMeasure measure;
  std::vector<const CellRecord*> cells(columns.size());
  for (int r = range.Top(); r <= range.Bottom(); ++r) {
    std::string line(static_cast<std::size_t>(total), ' ');
    for (std::size_t i = 0; i < columns.size(); ++i)
      cells[i] = doc.cells().FindCell(r, columns[i].col);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Column& col = columns[i];
      ShownText t = CellShownText(doc, cells[i], col.width, 0, fmt, measure);
      if (t.text.empty()) continue;
      int room = col.width;
      // A centred label too wide for its cell would lose both ends: it
      // starts at the left edge and runs on, as the window shows it.
      if (t.align == Align::Centre && !t.numeric && cells[i]->Kind() == kLabel &&
          static_cast<int>(t.text.size()) > room) {
        t.align = Align::Left;
        t.spills = true;
      }
      if (t.spills) {
        // A left-aligned label runs on over empty neighbours.
        for (std::size_t j = i + 1; j < columns.size() && room < static_cast<int>(t.text.size()) &&
                                    columns[j].col == columns[j - 1].col + 1 &&
                                    IsEmptyCell(cells[j]);
             ++j)
          room += columns[j].width;
      }
      int len = static_cast<int>(t.text.size());
      if (len > room) {
        if (t.numeric) {
          t.text.assign(static_cast<std::size_t>(room), 'x');
        } else {
          t.text.resize(static_cast<std::size_t>(room));
        }
        len = room;
      }
      int at = t.align == Align::Left    ? col.start
               : t.align == Align::Right ? col.start + col.width - len
                                         : col.start + (col.width - len) / 2;
      line.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(len), t.text);
    }
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string WritePrintFile(SheetDocument& doc, const CellRange& range, const std::string& path) {
  if (!range.IsDefined()) return "Print range undefined";
  std::string bytes;
  for (const std::string& line : PrintFileLines(doc, range)) {
    bytes += line;
    bytes += "\r\n";
  }
  if (path.empty()) return "No file name given";
  if (!WriteFileSafely(path, bytes)) return "Cannot write " + path;
  return {};
}

}  // namespace tabulon
