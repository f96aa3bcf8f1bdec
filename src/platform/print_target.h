// Printed pages: what the system needs of a printer or a PDF writer. A
// print job asks a PrintTarget for its page geometry, starts the document,
// draws each page through the page's Canvas and ends (or aborts) the job.
// The Qt layer implements targets for the desktop's printers and for PDF
// files; tests record what was drawn page by page.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace tabulon {

// Page canvases measure in screen pixels, this many to the inch, whatever
// the device's own resolution: a page looks like the sheet on screen.
inline constexpr int kScreenDpi = 96;

// One page of the device in its current orientation, in device pixels.
struct PageMetrics {
  int dpiX = 300, dpiY = 300;
  int physicalWidth = 2550, physicalHeight = 3300;  // the whole sheet of paper
  int offsetX = 0, offsetY = 0;                     // where the printable area starts
  int printableWidth = 2550, printableHeight = 3300;
};

// US Letter, 8.5 x 11 inches, at `dpi` with no unprintable edge (PDF files).
inline PageMetrics LetterPage(int dpi, bool landscape) {
  PageMetrics m;
  m.dpiX = m.dpiY = dpi;
  int w = dpi * 17 / 2, h = dpi * 11;
  if (landscape) std::swap(w, h);
  m.physicalWidth = m.printableWidth = w;
  m.physicalHeight = m.printableHeight = h;
  return m;
}

class PrintTarget {
 public:
  virtual ~PrintTarget() = default;

  // The printer's name, or the file written.
  virtual std::string Name() const = 0;
  virtual PageMetrics Metrics() const = 0;
  virtual bool Landscape() const = 0;
  // Takes effect for a document not yet begun.
  virtual void SetLandscape(bool landscape) = 0;

  // Starts the document named `jobName` with its first page. False when the
  // job cannot start (Error() says why).
  virtual bool Begin(std::string_view jobName) = 0;
  virtual bool NewPage() = 0;
  // Finishes the document. False when the output failed; a file target then
  // leaves nothing under the requested name.
  virtual bool End() = 0;
  // Discards the document: a file target leaves nothing under the
  // requested name, a printer drops the job.
  virtual void Abort() = 0;

  // The current page, between Begin and End: lengths in screen pixels
  // (kScreenDpi to the inch) from the printable area's top-left corner.
  virtual Canvas& Page() = 0;

  virtual std::string Error() const = 0;
};

// Where print jobs go: the desktop's printers, when it has any, and PDF
// files, always.
class PrintDevices {
 public:
  virtual ~PrintDevices() = default;

  // The printers' names, the default printer first; empty without printers.
  virtual std::vector<std::string> Printers() = 0;
  // A job on the named printer (empty: the default printer); null with a
  // message in `error` when it is not available.
  virtual std::unique_ptr<PrintTarget> OpenPrinter(const std::string& name,
                                                   std::string& error) = 0;
  // A PDF file of Letter pages. It is written under a temporary name and
  // takes the requested name only when the job ends well.
  virtual std::unique_ptr<PrintTarget> OpenPdf(const std::string& path, std::string& error) = 0;
};

}  // namespace tabulon
