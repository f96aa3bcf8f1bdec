#include "print/page_layout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "base/calendar.h"
#include "sheet/cell_record.h"
#include "sheet/print_options.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

// A device length in page units.
int ToPage(double deviceLength, int dpi) {
  return static_cast<int>(std::floor(deviceLength * kScreenDpi / std::max(1, dpi)));
}

int InchesToDevice(double inches, int dpi) {
  if (!std::isfinite(inches) || inches < 0) inches = 0;
  return static_cast<int>(std::lround(std::min(inches, 1000.0) * dpi));
}

CellRange Ordered(const CellRange& r) {
  if (!r.IsDefined()) return r;
  return CellRange::Of(r.Top(), r.Left(), r.Bottom(), r.Right());
}

int ColumnWidth(SheetDocument& doc, int col, int scale) {
  return Zoomed(doc.metrics().columnWidths[col], scale);
}

int RowHeight(SheetDocument& doc, int row, const PrintJob& job) {
  return Zoomed(RowPixelHeight(doc.metrics(), row, job.fontHeight), job.scale);
}

// The row marker in the band's first column: 0 none, 1 "|" (the row is not
// printed), 2 "|::" (not printed, and a new page starts after it). Only
// labels can display a text beginning with "|".
int RowMarker(const SheetDocument& doc, int row, int col) {
  const CellRecord* cell = doc.cells().FindCell(row, col);
  if (cell == nullptr || cell->Kind() != kLabel) return 0;
  std::string_view text = cell->TextView();
  if (text.empty() || text[0] != '|') return 0;
  return text.substr(0, 3) == "|::" ? 2 : 1;
}

}  // namespace

CellRange UsedArea(const SheetDocument& doc) {
  if (doc.cells().recordCount() == 0) return {};
  return CellRange::Of(0, 0, doc.cells().maxRow(), doc.cells().maxCol());
}

double CurrentDateNumber() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return SerialFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

PrintJob JobFor(const SheetDocument& doc, const PrintOptions& o, const CellRange& range,
                int fontHeight, double now) {
  const WorksheetExtras& x = doc.extras();
  PrintJob job;
  job.range = Ordered(range);
  job.borderRows = Ordered(x.titleRows);
  job.borderCols = Ordered(x.titleCols);
  for (int i = 0; i < 4; ++i) job.margins[i] = x.margins[i];
  job.header = x.printHeader;
  job.footer = x.printFooter;
  job.headerLine = o.headerLine;
  job.footerLine = o.footerLine;
  job.scale = o.scale;
  job.grid = o.grid;
  job.frame = o.frame;
  job.mono = o.mono;
  job.fontHeight = fontHeight > 0 ? fontHeight : 12;
  job.fileName = std::filesystem::path(doc.fileName()).filename().string();
  job.now = now;
  job.jobName = job.fileName.empty() ? "TABULON" : job.fileName;
  return job;
}

PageGeometry ComputeGeometry(const PageMetrics& m, const PrintJob& job) {
  // Device pixels first, as the printer measures them.
  int printableW = std::min(m.physicalWidth - 2 * m.offsetX, m.printableWidth);
  int printableH = std::min(m.physicalHeight - 2 * m.offsetY, m.printableHeight);
  int top = InchesToDevice(job.margins[0], m.dpiY);
  int left = InchesToDevice(job.margins[1], m.dpiX);
  int right = InchesToDevice(job.margins[2], m.dpiX);
  int bottom = InchesToDevice(job.margins[3], m.dpiY);
  // The line height: the worksheet font's size in points at the printer's
  // resolution, times the scale.
  double h = job.fontHeight * 72.0 / kScreenDpi * m.dpiY / 72.0 * job.scale / 100.0;

  PageGeometry g;
  g.pageWidth = ToPage(printableW, m.dpiX);
  g.pageHeight = ToPage(printableH, m.dpiY);
  g.top = ToPage(top, m.dpiY);
  g.left = ToPage(left, m.dpiX);
  g.right = ToPage(right, m.dpiX);
  g.bottom = ToPage(bottom, m.dpiY);
  g.lineHeight = std::max(1, ToPage(h, m.dpiY));
  g.headerTop = g.top;
  g.rowAreaTop = g.top + 2 * g.lineHeight;
  g.rowAreaHeight = g.pageHeight - g.top - g.bottom - 4 * g.lineHeight;
  g.footerTop = g.rowAreaTop + g.rowAreaHeight + g.lineHeight;
  g.areaLeft = g.left;
  g.areaWidth = g.pageWidth - g.left - g.right;
  return g;
}

Pagination Paginate(SheetDocument& doc, const PrintJob& job, const PageGeometry& g) {
  Pagination p;
  if (job.scale < kMinPrintScale || job.scale > kMaxPrintScale) {
    p.error = kBadScale;
    return p;
  }
  if (!job.range.IsDefined()) {
    p.error = kNothingToPrint;
    return p;
  }
  if (g.rowAreaHeight < 1 || g.areaWidth < 1) {
    p.error = kNoRoomOnPage;
    return p;
  }
  const CellRange& range = job.range;

  // Border columns at the left of every page.
  std::vector<GridSlot> border;
  int x = g.areaLeft;
  if (job.borderCols.IsDefined()) {
    for (int c = job.borderCols.Left(); c <= job.borderCols.Right(); ++c) {
      int w = ColumnWidth(doc, c, job.scale);
      if (w <= 0) continue;
      border.push_back({c, x, w});
      x += w;
    }
  }
  int borderWidth = x - g.areaLeft;

  // Column bands. A band holds at least one visible column; hidden
  // columns take no room and go with the band they fall in.
  for (int c = range.Left(); c <= range.Right();) {
    PageBand band;
    band.firstCol = c;
    band.columns = border;
    int used = borderWidth;
    bool visible = false;
    for (; c <= range.Right(); ++c) {
      int w = ColumnWidth(doc, c, job.scale);
      if (visible && w > 0 && used + w > g.areaWidth) break;
      if (w > 0) {
        band.columns.push_back({c, g.areaLeft + used, w});
        used += w;
        visible = true;
      }
    }
    band.lastCol = c - 1;
    if (visible) p.bands.push_back(std::move(band));
  }
  if (p.bands.empty()) {
    p.error = kNothingToPrint;
    return p;
  }

  // Border rows at the top of every page.
  std::vector<GridSlot> borderRows;
  int y = g.rowAreaTop;
  if (job.borderRows.IsDefined()) {
    for (int r = job.borderRows.Top(); r <= job.borderRows.Bottom(); ++r) {
      int h = RowHeight(doc, r, job);
      if (h <= 0) continue;
      borderRows.push_back({r, y, h});
      y += h;
    }
  }
  int rowsTop = y;
  int areaBottom = g.rowAreaTop + g.rowAreaHeight;
  if (rowsTop > areaBottom) {
    p.error = kBordersTooTall;
    return p;
  }

  for (int b = 0; b < static_cast<int>(p.bands.size()); ++b) {
    int markerCol = p.bands[b].firstCol;
    auto newPage = [&] {
      PrintedPage page;
      page.band = b;
      page.rows = borderRows;
      page.borderRows = static_cast<int>(borderRows.size());
      p.pages.push_back(std::move(page));
      y = rowsTop;
    };
    newPage();
    bool pendingBreak = false;
    for (int r = range.Top(); r <= range.Bottom(); ++r) {
      int marker = RowMarker(doc, r, markerCol);
      if (marker != 0) {
        if (marker == 2) pendingBreak = true;
        continue;
      }
      int h = RowHeight(doc, r, job);
      if (h <= 0) continue;
      PrintedPage* page = &p.pages.back();
      bool hasRows = page->firstRow >= 0;
      if (hasRows && (pendingBreak || y + h > areaBottom)) {
        newPage();
        page = &p.pages.back();
      }
      pendingBreak = false;
      page->rows.push_back({r, y, h});
      if (page->firstRow < 0) page->firstRow = r;
      page->lastRow = r;
      y += h;
    }
  }
  return p;
}

int CountPages(SheetDocument& doc, const PrintJob& job, const PageMetrics& metrics) {
  Pagination p = Paginate(doc, job, ComputeGeometry(metrics, job));
  return p.ok() ? static_cast<int>(p.pages.size()) : 0;
}

int FitScale(SheetDocument& doc, PrintJob job, const PageMetrics& metrics) {
  constexpr int kLargest = 200, kSmallest = 50;
  auto fits = [&](int scale) {
    job.scale = scale;
    return CountPages(doc, job, metrics) == 1;
  };
  int scale = std::clamp(job.scale, kMinPrintScale, kLargest);
  int best = 0;
  int step = 32;
  while (scale < kLargest && fits(scale)) {
    best = scale;
    scale = std::min(kLargest, scale + step);
  }
  if (scale == kLargest && fits(scale)) return kLargest;
  while (step > 0) {
    step /= 2;
    if (fits(scale)) {
      best = std::max(best, scale);
      scale += step;
    } else {
      scale -= step;
    }
    scale = std::clamp(scale, kMinPrintScale, kLargest);
  }
  if (fits(scale)) best = std::max(best, scale);
  return std::max(best, kSmallest);
}

}  // namespace tabulon
