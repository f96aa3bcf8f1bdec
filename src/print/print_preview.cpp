#include "print/print_preview.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "print/print_service.h"
#include "print/sheet_printer.h"
#include "sheet/print_options.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr int kPictureMargin = 32;  // the window less this is room for the picture
constexpr int kShadowWidth = 6;
constexpr int kShadowOffset = 7;
constexpr int kInnerBorder = 4;
constexpr int kSmallestTextScale = 50;  // "&Text (%) " applies values above this

bool ReadWhole(const std::string& text, long& n) {
  char* end = nullptr;
  n = std::strtol(text.c_str(), &end, 10);
  while (end != nullptr && *end == ' ') ++end;
  return !text.empty() && end != text.c_str() && *end == '\0';
}

}  // namespace

PrintPreview::PrintPreview(PrintService& service, const CellRange& range)
    : service_(service), range_(range) {
  Recount();
}

void PrintPreview::Recount() {
  SheetWindow* w = service_.workspace().active();
  error_.clear();
  pageCount_ = 0;
  layout_ = Pagination{};
  if (w == nullptr) {
    error_ = kNothingToPrint;
    page_ = 0;
    return;
  }
  job_ = service_.JobFor(range_);
  metrics_ = service_.Metrics();
  geometry_ = ComputeGeometry(metrics_, job_);
  layout_ = Paginate(w->document(), job_, geometry_);
  if (!layout_.ok()) {
    error_ = layout_.error;
  } else {
    pageCount_ = static_cast<int>(layout_.pages.size());
  }
  page_ = pageCount_ == 0 ? 0 : std::clamp(page_, 1, pageCount_);
}

Status PrintPreview::SetPageText(const std::string& text) {
  long n = 0;
  if (!ReadWhole(text, n) || n < 1 || n > pageCount_) return Status::Beep();
  page_ = static_cast<int>(n);
  return Status::Ok();
}

std::string PrintPreview::ScaleText() const { return std::to_string(service_.options().scale); }

Status PrintPreview::SetScaleText(const std::string& text) {
  long n = 0;
  if (!ReadWhole(text, n)) return Status::Beep();
  if (n <= kSmallestTextScale) return Status::Ok();
  service_.options().scale = static_cast<int>(std::min<long>(n, kMaxPrintScale));
  Recount();
  return Status::Ok();
}

void PrintPreview::Fit() {
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr || !range_.IsDefined()) return;
  service_.options().scale = FitScale(w->document(), job_, metrics_);
  Recount();
}

void PrintPreview::ZoomIn() {
  if (zoomStep_ + 1 < static_cast<int>(std::size(kZoomSteps))) ++zoomStep_;
}

void PrintPreview::ZoomOut() {
  if (zoomStep_ > 0) --zoomStep_;
}

PreviewPicture PrintPreview::Picture(int windowWidth, int windowHeight) const {
  bool landscape = service_.options().landscape;
  double across = landscape ? 11 : 8.5, down = landscape ? 8.5 : 11;
  int roomW = std::max(1, windowWidth - kPictureMargin);
  int roomH = std::max(1, windowHeight - kPictureMargin);
  double unit = std::min(roomW / across, roomH / down) * zoom() / 100.0;
  int w = std::max(1, static_cast<int>(across * unit));
  int h = std::max(1, static_cast<int>(down * unit));
  int left = std::max(kPictureMargin / 2, (windowWidth - w) / 2);
  int top = std::max(kPictureMargin / 2, (windowHeight - h) / 2);
  PreviewPicture p;
  p.page = {left, top, left + w, top + h};
  p.inner = {left + kInnerBorder, top + kInnerBorder, left + w - kInnerBorder,
             top + h - kInnerBorder};
  p.shadowRight = {p.page.right, top + kShadowOffset, p.page.right + kShadowWidth,
                   p.page.bottom + kShadowWidth};
  p.shadowBottom = {left + kShadowOffset, p.page.bottom, p.page.right + kShadowWidth,
                    p.page.bottom + kShadowWidth};
  return p;
}

void PrintPreview::DrawPage(Canvas& canvas) {
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr || page_ < 1 || page_ > pageCount_) return;
  tabulon::DrawPage(canvas, w->document(), job_, geometry_, layout_, page_ - 1);
}

Status PrintPreview::PrintCurrentPage() {
  if (page_ < 1) return Status::Beep();
  return service_.PrintRange(range_, page_);
}

Status PrintPreview::PrintAll() { return service_.PrintRange(range_); }

}  // namespace tabulon
