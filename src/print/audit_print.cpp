#include "print/audit_print.h"

#include "print/print_service.h"
#include "sheet/session.h"
#include "ui/audit.h"
#include "ui/sheet_window.h"
#include "ui/workspace.h"

namespace tabulon {

std::vector<std::string> CrossReferenceReportLines(SheetDocument& doc, const CellRange& range) {
  std::string text = CrossReferenceReport(doc, range, CrossReference(doc, range));
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

void RegisterAuditPrintCommands(Workspace& ws, const std::shared_ptr<PrintService>& service) {
  CommandTable& t = ws.commands();
  Command chart;
  chart.id = kAuditPrintChart;
  chart.flags = kNeedsSheet;
  chart.run = [service](Workspace& w, const CommandArgs&) {
    SheetDocument& doc = w.active()->document();
    return service->PrintDrawing([&doc](Canvas& canvas, int width, int height) {
      DrawStatsChart(canvas, doc, width, height, true);
    });
  };
  t.Add(std::move(chart));

  Command report;
  report.id = kAuditPrintReport;
  report.flags = kNeedsSheet;
  report.run = [service](Workspace& w, const CommandArgs& a) {
    // A range that does not read leaves nothing to print.
    CellRange range = a[0].empty() ? CellRange{} : w.Location(a[0]);
    if (!range.IsDefined()) return Status::Beep();
    return service->PrintText(CrossReferenceReportLines(w.active()->document(), range));
  };
  t.Add(std::move(report));
}

}  // namespace tabulon
