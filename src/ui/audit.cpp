#include "ui/audit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "edit/block_support.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "ui/sheet_window.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string LineFor(SheetDocument& doc, const CellRecord& cell) {
  std::string text = ShortAddressText(cell.row, cell.col, doc.settings().pageHeight) + ": ";
  text += block::IsLockedForEntry(doc, &cell) ? std::string("Protected") : CellEditText(doc, &cell);
  return text;
}

const char* KindName(int code) {
  switch (code) {
    case 0:
    case 1: return "Form";
    case 2: return "Real";
    case 3: return "Integer";
    case 4: return "String";
    case 5: return "Blank";
    default: return "?";
  }
}

void Frame(Canvas& c, const Rect& r) {
  c.Line({r.left, r.top}, {r.right, r.top});
  c.Line({r.right, r.top}, {r.right, r.bottom});
  c.Line({r.right, r.bottom}, {r.left, r.bottom});
  c.Line({r.left, r.bottom}, {r.left, r.top});
}

}  // namespace

std::array<int, kAuditGroups> CellCounts::Groups() const {
  return {kinds[0] + kinds[1], kinds[2], kinds[3], kinds[4], kinds[5]};
}

int CellCounts::Largest() const {
  std::array<int, kAuditGroups> g = Groups();
  return *std::max_element(g.begin(), g.end());
}

CellCounts CountCells(const SheetDocument& doc) {
  CellCounts c;
  const CellStore& cells = doc.cells();
  for (int row = 0; row <= cells.maxRow(); ++row) {
    for (CellId id : cells.Row(row)) {
      const CellRecord& rec = cells.At(id);
      c.lastRow = row;
      ++c.kinds[rec.Kind()];
      c.maxColumn = std::max<int>(c.maxColumn, rec.col);
      ++c.total;
    }
  }
  return c;
}

DependentsTree BuildDependentsTree(SheetDocument& doc, CellAddress root, int depth,
                                   int maxLines) {
  DependentsTree tree;
  const CellStore& cells = doc.cells();
  const CellRecord* cell = cells.FindCell(root.row, root.col);
  if (cell == nullptr || depth <= 0) return tree;
  // Depth first with an explicit stack, children in list order.
  struct Item {
    CellId id;
    int depth;
  };
  std::vector<Item> stack{{cell->id, 0}};
  while (!stack.empty()) {
    Item item = stack.back();
    stack.pop_back();
    const CellRecord* rec = cells.Get(item.id);
    if (rec == nullptr) continue;
    if (static_cast<int>(tree.lines.size()) >= maxLines) {
      tree.truncated = true;
      break;
    }
    tree.lines.push_back({item.depth, {rec->col, rec->row}, LineFor(doc, *rec)});
    tree.depthReached = std::max(tree.depthReached, item.depth + 1);
    if (item.depth > depth) continue;
    std::vector<CellId> children;
    cells.ForEachDependent(*rec, [&](CellId d) { children.push_back(d); });
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({*it, item.depth + 1});
  }
  return tree;
}

std::vector<std::string> CrossReference(SheetDocument& doc, const CellRange& range) {
  std::vector<std::string> lines;
  if (!range.IsDefined()) return lines;
  const CellStore& cells = doc.cells();
  int page = doc.settings().pageHeight;
  for (int row = range.Top(); row <= range.Bottom(); ++row) {
    for (int col = range.Left(); col <= range.Right(); ++col) {
      const CellRecord* rec = cells.FindCell(row, col);
      if (rec == nullptr) continue;
      int code = rec->kind & 0x0F;
      std::string head = ShortAddressText(row, col, page) + ":" + KindName(code) + " " +
                         std::to_string(code) + ":";
      std::vector<std::string> refs;
      cells.ForEachDependent(*rec, [&](CellId d) {
        if (const CellRecord* r = cells.Get(d)) refs.push_back(ShortAddressText(r->row, r->col, page));
      });
      std::string line = head + std::to_string(refs.size()) + "#:";
      for (std::size_t i = 0; i < refs.size(); ++i) {
        if (i > 0 && i % 8 == 0) {
          lines.push_back(line);
          line = ":";
        } else if (i % 8 != 0) {
          line += ",";
        }
        line += refs[i];
      }
      lines.push_back(line);
    }
  }
  return lines;
}

std::string CrossReferenceReport(SheetDocument& doc, const CellRange& range,
                                 const std::vector<std::string>& lines) {
  std::string out = "\n" + doc.fileName() + " : Cross Reference Report " +
                    RangeText(range, doc.settings().pageHeight) + "\n\n";
  out += "CELL\t TYPE\t COUNT\t: REFERENCES\n";
  out += " ================================\n";
  for (std::string line : lines) {
    std::replace(line.begin(), line.end(), ':', '\t');
    out += line + "\n";
  }
  return out;
}

std::string StatisticsText(const SheetDocument& doc) {
  CellCounts c = CountCells(doc);
  std::array<int, kAuditGroups> g = c.Groups();
  std::string out = "Relative Proportion of Cells\n";
  for (int i = 0; i < kAuditGroups; ++i) {
    std::string pct = "-NA-";
    if (c.total > 0) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2f %%", g[static_cast<std::size_t>(i)] * 100.0 / c.total);
      pct = buf;
    }
    out += std::string(kAuditGroupNames[i]) + ": " + std::to_string(g[static_cast<std::size_t>(i)]) +
           " " + pct + "\n";
  }
  out += "Total Cells: " + std::to_string(c.total) + "\n";
  return out;
}

void DrawOverview(Canvas& canvas, const SheetDocument& doc, int w, int h) {
  CellCounts counts = CountCells(doc);
  auto x = [&](int c) { return c * (w - 56) / (counts.maxColumn + 1) + 40; };
  auto y = [&](int r) { return r * (h - 40) / (counts.lastRow + 1) + 16; };
  canvas.FillRect({40, 16, w - 14, h - 14}, MakeRgb(192, 192, 192));
  canvas.SetPen(MakeRgb(0, 0, 0), 1);
  Frame(canvas, {40, 16, w - 14, h - 14});
  canvas.SetTextColour(MakeRgb(0, 0, 0));
  // Column letters and row numbers, skipping any that would overlap.
  int nextX = 0;
  for (int c = 0; c <= counts.maxColumn; ++c) {
    std::string label = ColumnLetters(c);
    if (x(c) < nextX) continue;
    canvas.Text(x(c), 0, label, Align::Left);
    nextX = x(c) + canvas.TextWidth(label) + 2;
  }
  int nextY = 0;
  for (int r = 0; r <= counts.lastRow; ++r) {
    if (y(r) < nextY) continue;
    std::string label = std::to_string(r + 1).substr(0, 5);
    canvas.Text(0, y(r), label, Align::Left);
    nextY = y(r) + canvas.TextHeight();
  }
  const CellStore& cells = doc.cells();
  for (int row = 0; row <= cells.maxRow(); ++row) {
    for (CellId id : cells.Row(row)) {
      const CellRecord& rec = cells.At(id);
      int k = rec.Kind();
      int group = k <= 1 ? 0 : std::min(k - 1, kAuditGroups - 1);
      canvas.FillRect({x(rec.col), y(row), x(rec.col + 1) + 1, y(row + 1) + 1},
                      kAuditGroupColours[group]);
    }
  }
  // The legend along the bottom.
  int lx = 40;
  for (int i = 0; i < kAuditGroups; ++i) {
    std::string name = std::string(kAuditGroupNames[i]) + ":";
    canvas.Text(lx, h - 12, name, Align::Left);
    lx += canvas.TextWidth(name) + 2;
    canvas.FillRect({lx, h - 10, lx + 8, h - 2}, kAuditGroupColours[i]);
    Frame(canvas, {lx, h - 10, lx + 8, h - 2});
    lx += 8 + 22;
  }
}

void DrawStatsChart(Canvas& canvas, const SheetDocument& doc, int w, int h, bool printer) {
  canvas.FillRect({0, 0, w, h}, MakeRgb(255, 255, 255));
  CellCounts counts = CountCells(doc);
  std::array<int, kAuditGroups> groups = counts.Groups();
  int largest = counts.Largest();
  canvas.SetFont({"Arial", printer ? 12 : 14, 0});
  canvas.SetTextColour(MakeRgb(0, 0, 0));
  canvas.Text(0, 0, "Relative Proportion of Cells", Align::Left);
  int band = std::max(1, (h - 48) / 5);
  for (int i = 0; i < kAuditGroups; ++i) {
    int count = groups[static_cast<std::size_t>(i)];
    int top = i * band + 32;
    canvas.Text(0, top, std::string(kAuditGroupNames[i]) + ":", Align::Left);
    canvas.Text(0, top + canvas.TextHeight(), std::to_string(count), Align::Left);
    std::string pct = "-NA-";
    if (counts.total > 0) pct = std::to_string(count * 100 / counts.total) + " %";
    if (largest <= 0) {
      canvas.Text(64, top, pct, Align::Left);
      continue;
    }
    int length = static_cast<int>(static_cast<long long>(count) * (w - 96) / largest);
    // The bar is shaded line by line, brightest a quarter of the way down.
    Rgb colour = kAuditGroupColours[i];
    int n = std::max(1, band - 8);
    for (int k = 0; k < band - 7; ++k) {
      double f = std::sin((k + n / 4.0) * kPi / n);
      auto shade = [&](int component) {
        return std::min(255, std::max(static_cast<int>(std::lround(component * f)), component / 4));
      };
      Rgb c = MakeRgb(shade(RedOf(colour)), shade(GreenOf(colour)), shade(BlueOf(colour)));
      canvas.FillRect({64, top + k, 64 + length, top + k + 1}, c);
    }
    canvas.SetPen(MakeRgb(0, 0, 0), 1);
    Frame(canvas, {64, top, 64 + length, top + band - 7});
    canvas.Text(64 + length + 4, top, pct, Align::Left);
  }
}

bool AuditDialog::Activate(const SheetWindow& window) {
  if (activated_) return false;
  activated_ = true;
  CellRange sel = window.SelectionRange();
  int page = window.document().settings().pageHeight;
  cellText = ShortAddressText(sel.Top(), sel.Left(), page);
  rangeText = RangeText(sel, page);
  return true;
}

Status AuditDialog::Print(Workspace& ws) const {
  if (page == AuditPage::kStats) return ws.Execute(kAuditPrintChart);
  if (page == AuditPage::kXRef) return ws.Execute(kAuditPrintReport, {rangeText});
  return Status::Beep();
}

}  // namespace tabulon
