// The printing part of the application: the devices the program prints on,
// the current printer, the printer status window's state, and the jobs that
// the print commands, the print dialog and the preview start. One lives for
// each workspace (RegisterPrintCommands makes it); the windowed program's
// dialogs reach it through what RegisterPrintCommands returns.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/print_target.h"
#include "print/page_layout.h"
#include "print/sheet_printer.h"
#include "ui/status.h"

namespace tabulon {

class Workspace;
class PrintDialog;
struct PrintOptions;

// The entry of the printer list that writes a PDF file; offered always.
inline constexpr const char* kPdfPrinter = "PDF file";
inline constexpr const char* kPdfFilter = "PDF (*.pdf)|*.pdf";
// The resolution PDF pages are laid out at.
inline constexpr int kPdfDpi = 1200;

// The printer status window: "Page: n", "Line: n", a gauge and "Abort
// Printing". The view shows it while `open` and repaints on `changed`,
// letting the user reach the Abort button.
class PrintStatus : public PrintProgress {
 public:
  static constexpr const char* kCaption = "Printer Status";

  void Start();
  void Finish();
  void Page(int page) override;
  void Line(int row, int percent) override;
  bool Aborted() override { return aborted_; }
  // "Abort Printing".
  void Abort() { aborted_ = true; }

  bool open() const { return open_; }
  std::string PageText() const { return "Page: " + std::to_string(page_); }
  std::string LineText() const { return "Line: " + std::to_string(line_); }
  int percent() const { return percent_; }

  // The view's hooks: the window opens or closes, its texts changed.
  std::function<void(bool open)> shown;
  std::function<void()> changed;

 private:
  bool open_ = false, aborted_ = false;
  int page_ = 0, line_ = 0, percent_ = 0;
};

class PrintService {
 public:
  PrintService(Workspace& ws, PrintDevices* devices);
  ~PrintService();

  Workspace& workspace() { return ws_; }
  PrintDevices* devices() { return devices_; }
  PrintOptions& options();
  PrintStatus& status() { return status_; }
  PrintDialog& dialog() { return *dialog_; }

  // The printer list: the desktop's printers, then the PDF file.
  std::vector<std::string> PrinterChoices();
  // Whether the current printer is the PDF file (it is when the desktop
  // has no printer).
  bool PrintsToPdf();
  // The current printer's page in the current orientation.
  PageMetrics Metrics();

  // A job for `range` of the active window's worksheet.
  PrintJob JobFor(const CellRange& range);

  // Prints `range` of the active worksheet on the current printer (only
  // page `page` when it is not -1), showing the status window. For the PDF
  // file the name is asked for; cancelling prints nothing.
  Status PrintRange(const CellRange& range, int page = -1);
  // The same onto a given target (the batch tool, tests).
  Status PrintRangeTo(PrintTarget& target, const CellRange& range, int page = -1);
  // The outcome of the last job.
  const PrintOutcome& lastOutcome() const { return last_; }

  // Draws the current graph (named < 0) or a named graph of the active
  // worksheet onto a page; false when the graph is undefined. Drawn by the
  // graph layer unless replaced (null: graphs cannot print).
  // `width` and `height` are the area in page units.
  std::function<bool(Canvas& canvas, int named, int width, int height, bool mono)> drawGraph;

  // Prints the current graph (named < 0) or the named graph on one page
  // of the current printer, inside the page margins.
  Status PrintGraph(int named);
  Status PrintGraphTo(PrintTarget& target, int named);

  // Prints one page on the current printer holding a drawing inside the
  // page margins; `draw` gets the width and height of the area in page
  // units and draws from (0, 0).
  using PageDrawing = std::function<void(Canvas& canvas, int width, int height)>;
  Status PrintDrawing(const PageDrawing& draw);
  Status PrintDrawingTo(PrintTarget& target, const PageDrawing& draw);

  // Prints lines of text in a fixed-pitch font on the current printer, as
  // many pages as they need.
  Status PrintText(const std::vector<std::string>& lines);
  Status PrintTextTo(PrintTarget& target, const std::vector<std::string>& lines);

 private:
  // The target of the current printer; null when cancelled (error empty)
  // or failed.
  std::unique_ptr<PrintTarget> OpenCurrent(std::string& error);

  Workspace& ws_;
  PrintDevices* devices_;
  PrintStatus status_;
  std::unique_ptr<PrintDialog> dialog_;
  PrintOutcome last_;
};

}  // namespace tabulon
