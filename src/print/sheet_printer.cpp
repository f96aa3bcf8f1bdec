#include "print/sheet_printer.h"

#include "display/format.h"
#include "print/header_footer.h"
#include "print/offset_canvas.h"
#include "sheet/sheet_document.h"
#include "ui/sheet_window.h"

namespace tabulon {

namespace {

constexpr Rgb kBlack = 0;
constexpr int kRuleThickness = kScreenDpi / 32;  // 1/32 inch

void DrawHeaderText(Canvas& canvas, const std::string& text, const HeaderValues& values,
                    const PageGeometry& g, int top) {
  if (text.empty()) return;
  std::string expanded = ExpandHeaderCodes(text, values);
  int y = top + (g.lineHeight - canvas.TextHeight()) / 2;
  for (const PlacedText& t : PlaceSections(expanded, g.areaLeft, g.areaWidth))
    canvas.Text(t.x, y, t.text, t.align);
}

void Outline(Canvas& canvas, const Rect& r) {
  canvas.Line({r.left, r.top}, {r.right - 1, r.top});
  canvas.Line({r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
  canvas.Line({r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1});
  canvas.Line({r.left, r.bottom - 1}, {r.left, r.top});
}

}  // namespace

bool DrawPage(Canvas& canvas, SheetDocument& doc, const PrintJob& job, const PageGeometry& g,
              const Pagination& layout, int index, PrintProgress* progress) {
  const PrintedPage& page = layout.pages[index];
  const PageBand& band = layout.bands[page.band];

  // The rows, by the window's own painter: no cursor, no selection.
  GridPane pane;
  pane.selection = CellRange{};
  pane.cursor = {-1, -1};
  pane.gridLines = job.grid ? 3u : 0u;
  pane.raised3d = false;
  PaintOptions options;
  options.zoom = job.scale;
  options.defaultFont = {"Arial", job.fontHeight, 0};
  options.colours = doc.extras().colours;
  options.fontNames = &doc.extras().fontNames;
  options.windowActive = false;
  options.raised3d = false;
  options.noShades = job.mono;
  RowPainter painter(canvas, doc, pane, options);
  int rowCount = job.range.Bottom() - job.range.Top() + 1;
  for (std::size_t i = 0; i < page.rows.size(); ++i) {
    const GridSlot& row = page.rows[i];
    painter.PaintRow(row, band.columns);
    if (progress == nullptr || static_cast<int>(i) < page.borderRows) continue;
    progress->Line(row.index, (row.index - job.range.Top() + 1) * 100 / (rowCount + 1));
    if (progress->Aborted()) return false;
  }

  // Header and footer.
  FormatSettings fmt = FormatSettingsOf(doc);
  HeaderValues values;
  values.page = index + 1;
  values.date = HeaderDateText(job.now, fmt);
  values.time = HeaderTimeText(job.now, fmt);
  values.fileName = job.fileName;
  canvas.SetFont({"Arial", Zoomed(job.fontHeight, job.scale), 0});
  canvas.SetTextColour(kBlack);
  DrawHeaderText(canvas, job.header, values, g, g.headerTop);
  DrawHeaderText(canvas, job.footer, values, g, g.footerTop);
  if (job.headerLine)
    canvas.FillRect({g.areaLeft, g.headerTop + g.lineHeight, g.areaLeft + g.areaWidth,
                     g.headerTop + g.lineHeight + kRuleThickness},
                    kBlack);
  if (job.footerLine)
    canvas.FillRect({g.areaLeft, g.footerTop - kRuleThickness, g.areaLeft + g.areaWidth,
                     g.footerTop},
                    kBlack);

  if (job.frame) {
    canvas.SetPen(kBlack, 1);
    Outline(canvas, {0, 0, g.pageWidth, g.pageHeight});
    Outline(canvas, {g.areaLeft, g.rowAreaTop, g.areaLeft + g.areaWidth,
                     g.rowAreaTop + g.rowAreaHeight});
  }
  return true;
}

PrintOutcome PrintSheet(PrintTarget& target, SheetDocument& doc, const PrintJob& job,
                        int onlyPage, PrintProgress* progress) {
  PrintOutcome out;
  PageGeometry g = ComputeGeometry(target.Metrics(), job);
  Pagination layout = Paginate(doc, job, g);
  if (!layout.ok()) {
    out.error = layout.error;
    return out;
  }
  out.pages = static_cast<int>(layout.pages.size());
  int first = 0, last = out.pages - 1;
  if (onlyPage != -1) {
    if (onlyPage < 1 || onlyPage > out.pages) return out;
    first = last = onlyPage - 1;
  }
  if (!target.Begin(job.jobName)) {
    out.error = target.Error();
    if (out.error.empty()) out.error = "Cannot start printing";
    return out;
  }
  for (int i = first; i <= last; ++i) {
    if (i > first && !target.NewPage()) {
      out.error = target.Error().empty() ? "Cannot start a new page" : target.Error();
      target.Abort();
      return out;
    }
    if (progress) progress->Page(i + 1);
    bool aborted = !DrawPage(target.Page(), doc, job, g, layout, i, progress) ||
                   (progress != nullptr && progress->Aborted());
    if (aborted) {
      target.Abort();
      out.aborted = true;
      out.error = kPrintAborted;
      return out;
    }
    ++out.printed;
  }
  if (!target.End()) {
    out.error = target.Error().empty() ? "Printing failed" : target.Error();
    return out;
  }
  return out;
}

std::optional<PageArea> StartPageJob(PrintTarget& target, const PrintJob& job, PrintOutcome& out) {
  PageArea area;
  area.geometry = ComputeGeometry(target.Metrics(), job);
  const PageGeometry& g = area.geometry;
  area.width = g.pageWidth - g.left - g.right;
  area.height = g.pageHeight - g.top - g.bottom;
  if (area.width < 1 || area.height < 1) {
    out.error = kNoRoomOnPage;
    return std::nullopt;
  }
  if (!target.Begin(job.jobName)) {
    out.error = target.Error();
    if (out.error.empty()) out.error = "Cannot start printing";
    return std::nullopt;
  }
  return area;
}

PrintOutcome PrintGraphPage(PrintTarget& target, const PrintJob& job,
                            const std::function<bool(Canvas&, int width, int height)>& draw) {
  PrintOutcome out;
  std::optional<PageArea> area = StartPageJob(target, job, out);
  if (!area) return out;
  OffsetCanvas canvas(target.Page(), area->geometry.left, area->geometry.top);
  if (!draw(canvas, area->width, area->height)) {
    target.Abort();
    out.error = "Graph Undefined!";
    return out;
  }
  if (!target.End()) {
    out.error = target.Error();
    if (out.error.empty()) out.error = "Printing failed";
    return out;
  }
  out.pages = out.printed = 1;
  return out;
}

}  // namespace tabulon
