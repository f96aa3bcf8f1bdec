#include "print/print_service.h"

#include <filesystem>

#include "graph/graph_render.h"
#include "platform/host.h"
#include "print/print_dialog.h"
#include "print/text_pages.h"
#include "sheet/print_options.h"
#include "ui/workspace.h"

namespace tabulon {

// --- the status window ---------------------------------------------------------

void PrintStatus::Start() {
  open_ = true;
  aborted_ = false;
  page_ = line_ = percent_ = 0;
  if (shown) shown(true);
}

void PrintStatus::Finish() {
  open_ = false;
  if (shown) shown(false);
}

void PrintStatus::Page(int page) {
  page_ = page;
  if (changed) changed();
}

void PrintStatus::Line(int row, int percent) {
  line_ = row + 1;
  percent_ = percent;
  if (changed) changed();
}

// --- the service -----------------------------------------------------------------

PrintService::PrintService(Workspace& ws, PrintDevices* devices)
    : ws_(ws), devices_(devices), dialog_(std::make_unique<PrintDialog>(*this)) {
  // The graph as the graph window draws it, in its own colours: a graph's
  // series are told apart by hatches and symbols as well, so mono needs no
  // drawing of its own.
  drawGraph = [this](Canvas& canvas, int named, int width, int height, bool) {
    SheetWindow* w = ws_.active();
    if (w == nullptr) return false;
    GraphDrawOptions options;
    options.recordHits = false;
    return DrawDocumentGraph(canvas, w->document(), named, width, height, options).defined;
  };
}

PrintService::~PrintService() = default;

PrintOptions& PrintService::options() { return ws_.session().settings().print; }

std::vector<std::string> PrintService::PrinterChoices() {
  std::vector<std::string> list;
  if (devices_ != nullptr) list = devices_->Printers();
  list.push_back(kPdfPrinter);
  return list;
}

bool PrintService::PrintsToPdf() {
  if (options().printer == kPdfPrinter) return true;
  return devices_ == nullptr || devices_->Printers().empty();
}

PageMetrics PrintService::Metrics() {
  bool landscape = options().landscape;
  if (!PrintsToPdf()) {
    std::string error;
    if (auto t = devices_->OpenPrinter(options().printer, error)) {
      t->SetLandscape(landscape);
      return t->Metrics();
    }
  }
  return LetterPage(kPdfDpi, landscape);
}

PrintJob PrintService::JobFor(const CellRange& range) {
  SheetWindow* w = ws_.active();
  PrintJob job = tabulon::JobFor(w->document(), options(), range, w->defaultRowHeight,
                                 CurrentDateNumber());
  if (!w->caption.empty()) job.jobName = w->caption;
  return job;
}

std::unique_ptr<PrintTarget> PrintService::OpenCurrent(std::string& error) {
  error.clear();
  std::unique_ptr<PrintTarget> target;
  if (PrintsToPdf()) {
    if (devices_ == nullptr) {
      error = "Printing is not available";
      return nullptr;
    }
    std::string proposed = "TABULON.pdf";
    if (SheetWindow* w = ws_.active(); w != nullptr && !w->document().fileName().empty())
      proposed = std::filesystem::path(w->document().fileName()).replace_extension(".pdf").string();
    std::optional<std::string> name = ws_.host().SaveFileName("Print to PDF", kPdfFilter, proposed);
    if (!name || name->empty()) return nullptr;  // cancelled
    target = devices_->OpenPdf(*name, error);
  } else {
    target = devices_->OpenPrinter(options().printer, error);
  }
  if (target) target->SetLandscape(options().landscape);
  return target;
}

Status PrintService::PrintRange(const CellRange& range, int page) {
  if (ws_.active() == nullptr) return Status::Beep();
  std::string error;
  std::unique_ptr<PrintTarget> target = OpenCurrent(error);
  if (!target) return error.empty() ? Status::Ok() : Status::Error(error);
  return PrintRangeTo(*target, range, page);
}

Status PrintService::PrintRangeTo(PrintTarget& target, const CellRange& range, int page) {
  if (ws_.active() == nullptr) return Status::Beep();
  PrintJob job = JobFor(range);
  status_.Start();
  last_ = PrintSheet(target, ws_.active()->document(), job, page, &status_);
  status_.Finish();
  if (!last_.ok()) return Status::Error(last_.error);
  ws_.host().Beep();  // the end of a job
  return Status::Ok();
}

Status PrintService::PrintGraph(int named) {
  if (ws_.active() == nullptr) return Status::Beep();
  if (!drawGraph) return Status::Error("Graphs cannot be printed in this build");
  std::string error;
  std::unique_ptr<PrintTarget> target = OpenCurrent(error);
  if (!target) return error.empty() ? Status::Ok() : Status::Error(error);
  return PrintGraphTo(*target, named);
}

Status PrintService::PrintGraphTo(PrintTarget& target, int named) {
  if (ws_.active() == nullptr) return Status::Beep();
  if (!drawGraph) return Status::Error("Graphs cannot be printed in this build");
  bool mono = options().mono;
  PrintOutcome outcome = PrintGraphPage(target, JobFor(CellRange{}), [&](Canvas& c, int w, int h) {
    return drawGraph(c, named, w, h, mono);
  });
  last_ = outcome;
  if (!outcome.ok()) return Status::Error(outcome.error);
  ws_.host().Beep();
  return Status::Ok();
}

Status PrintService::PrintDrawing(const PageDrawing& draw) {
  if (ws_.active() == nullptr) return Status::Beep();
  std::string error;
  std::unique_ptr<PrintTarget> target = OpenCurrent(error);
  if (!target) return error.empty() ? Status::Ok() : Status::Error(error);
  return PrintDrawingTo(*target, draw);
}

Status PrintService::PrintDrawingTo(PrintTarget& target, const PageDrawing& draw) {
  if (ws_.active() == nullptr) return Status::Beep();
  last_ = PrintGraphPage(target, JobFor(CellRange{}), [&](Canvas& c, int w, int h) {
    draw(c, w, h);
    return true;
  });
  if (!last_.ok()) return Status::Error(last_.error);
  ws_.host().Beep();
  return Status::Ok();
}

Status PrintService::PrintText(const std::vector<std::string>& lines) {
  if (ws_.active() == nullptr) return Status::Beep();
  std::string error;
  std::unique_ptr<PrintTarget> target = OpenCurrent(error);
  if (!target) return error.empty() ? Status::Ok() : Status::Error(error);
  return PrintTextTo(*target, lines);
}

Status PrintService::PrintTextTo(PrintTarget& target, const std::vector<std::string>& lines) {
  if (ws_.active() == nullptr) return Status::Beep();
  last_ = PrintTextPages(target, JobFor(CellRange{}), lines);
  if (!last_.ok()) return Status::Error(last_.error);
  ws_.host().Beep();
  return Status::Ok();
}

}  // namespace tabulon
