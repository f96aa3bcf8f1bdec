// The preview window without a toolkit: the page picture's place in the
// window, the chosen page and the page count, the print scale as "&Text
// (%) ", Fit, the picture's zoom, and printing the current page or all.
#pragma once

#include <string>

#include "platform/canvas.h"
#include "platform/print_target.h"
#include "print/page_layout.h"
#include "ui/status.h"

namespace tabulon {

class PrintService;

// Where the page picture goes in a window: the white page with its inner
// border, and the black shadow beside and below it.
struct PreviewPicture {
  Rect page;    // white, 8.5 : 11 (on its side for landscape)
  Rect inner;   // the page less 4 pixels on every side: the printed page goes here
  Rect shadowRight, shadowBottom;  // 6 pixels wide, offset by 7
};

class PrintPreview {
 public:
  static constexpr const char* kCaption = "Preview";
  // The picture's zoom steps, in percent of the size that fits the window.
  static constexpr int kZoomSteps[] = {100, 150, 200, 300, 400};

  // A preview of `range` of the active worksheet on the current printer.
  PrintPreview(PrintService& service, const CellRange& range);

  const CellRange& range() const { return range_; }
  int pageCount() const { return pageCount_; }
  // The page shown, from 1 (0 when there is none).
  int page() const { return page_; }
  // "Page: ": a number outside 1..count beeps and changes nothing.
  Status SetPageText(const std::string& text);
  // The message when the range cannot be laid out (nothing to show).
  const std::string& error() const { return error_; }

  // "&Text (%) ": the print scale.
  std::string ScaleText() const;
  // A value above 50 becomes the print scale (at most 1000) and the pages
  // are counted again; 50 or less is not applied.
  Status SetScaleText(const std::string& text);
  // "Fit": the largest scale at which the range fits on one page.
  void Fit();

  // The picture's zoom: "Zoom In", "Zoom Out", "Reset Scale" (the whole
  // page in the window).
  int zoom() const { return kZoomSteps[zoomStep_]; }
  void ZoomIn();
  void ZoomOut();
  void ResetZoom() { zoomStep_ = 0; }

  // The picture in a window of the given size.
  PreviewPicture Picture(int windowWidth, int windowHeight) const;
  // The size of the page the printer prints, in page units; the view
  // scales it onto the picture's inner rectangle.
  int pageWidth() const { return geometry_.pageWidth; }
  int pageHeight() const { return geometry_.pageHeight; }
  // Draws the page shown, in page units.
  void DrawPage(Canvas& canvas);

  // "Print Current Page" and "Print All".
  Status PrintCurrentPage();
  Status PrintAll();

  // Lays the range out again (the settings changed).
  void Recount();

 private:
  PrintService& service_;
  CellRange range_;
  PrintJob job_;
  PageMetrics metrics_;
  PageGeometry geometry_;
  Pagination layout_;
  int pageCount_ = 0;
  int page_ = 0;
  int zoomStep_ = 0;
  std::string error_;
};

}  // namespace tabulon
