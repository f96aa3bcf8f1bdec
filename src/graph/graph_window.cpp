#include "graph/graph_window.h"

#include <algorithm>
#include <cmath>

#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

// A zoom rectangle smaller than this either way zooms by a fixed factor.
constexpr int kSmallZoom = 16;

}  // namespace

GraphPageRequest GraphPageRequest::FromCode(int code) {
  GraphPageRequest r;
  r.page = std::clamp(code & 15, 0, 8);
  r.tab = (code >> 4) & 15;
  return r;
}

GraphWindow::GraphWindow(SheetDocument& doc) : doc_(doc) {
  openedAxes_ = settings().axes;
}

GraphSettings& GraphWindow::settings() { return doc_.extras().graphs.current; }

const GraphDrawing& GraphWindow::Paint(Canvas& canvas, int width, int height, int zoom) {
  GraphDrawOptions options;
  options.zoom = zoom;
  drawing_ = DrawGraph(canvas, doc_, settings(), width, height, options);
  if (selected_ >= 0 && !IsUsableRange(settings().series[selected_])) selected_ = -1;
  return drawing_;
}

bool GraphWindow::CanZoom() const {
  if (!drawing_.defined) return false;
  switch (drawing_.type) {
    case GraphType::Pie: case GraphType::Pie3D: case GraphType::Donut: case GraphType::Radar:
    case GraphType::Polar:
      return false;
    default: return true;
  }
}

bool GraphWindow::BeginZoom(Point p) {
  if (!CanZoom()) return false;
  zooming_ = true;
  from_ = to_ = p;
  return true;
}

void GraphWindow::DragZoom(Point p) {
  if (zooming_) to_ = p;
}

Rect GraphWindow::ZoomRectangle() const {
  return {std::min(from_.x, to_.x), std::min(from_.y, to_.y), std::max(from_.x, to_.x) + 1,
          std::max(from_.y, to_.y) + 1};
}

bool GraphWindow::EndZoom(Point p) {
  if (!zooming_) return false;
  to_ = p;
  zooming_ = false;
  Rect r = ZoomRectangle();
  if (r.width() < kSmallZoom || r.height() < kSmallZoom) {
    // Zoom in by 2 about the rectangle's centre.
    int cx = (r.left + r.right - 1) / 2, cy = (r.top + r.bottom - 1) / 2;
    return ScaleAbout(drawing_.x.ValueAt(cx), drawing_.y.ValueAt(cy), 0.5);
  }
  return ZoomTo(r);
}

bool GraphWindow::ScaleAbout(double cx, double cy, double factor) {
  if (!CanZoom()) return false;
  // Half the new span on each side of the centre; on a logarithmic axis
  // the span is a ratio and the centre splits it geometrically.
  auto scaled = [&](const AxisScale& a, double c, double& low, double& high) {
    if (a.log) {
      if (!(c > 0)) c = std::sqrt(a.min * a.max);
      double half = std::exp(a.span * factor / 2);
      low = c / half;
      high = c * half;
    } else {
      double half = (a.max - a.min) * factor / 2;
      low = c - half;
      high = c + half;
    }
    return std::isfinite(low) && std::isfinite(high);
  };
  double x1, x2, y1, y2;
  if (!scaled(drawing_.x, cx, x1, x2) || !scaled(drawing_.y, cy, y1, y2)) return false;
  GraphSettings& g = settings();
  g.axes[0].manual = g.axes[1].manual = 1;
  g.axes[0].low = x1;
  g.axes[0].high = x2;
  g.axes[1].low = y1;
  g.axes[1].high = y2;
  return true;
}

bool GraphWindow::ZoomTo(const Rect& r) {
  if (!CanZoom()) return false;
  const AxisScale& x = drawing_.x;
  const AxisScale& y = drawing_.y;
  double x1 = x.ValueAt(r.left), x2 = x.ValueAt(r.right - 1);
  double y1 = y.ValueAt(r.bottom - 1), y2 = y.ValueAt(r.top);
  if (!std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2))
    return false;
  GraphSettings& g = settings();
  g.axes[0].manual = g.axes[1].manual = 1;
  g.axes[0].low = std::min(x1, x2);
  g.axes[0].high = std::max(x1, x2);
  g.axes[1].low = std::min(y1, y2);
  g.axes[1].high = std::max(y1, y2);
  return true;
}

bool GraphWindow::Zoom(GraphZoom how) {
  const AxisScale& x = drawing_.x;
  const AxisScale& y = drawing_.y;
  auto centre = [](const AxisScale& a) {
    return a.log ? std::sqrt(a.min * a.max) : (a.min + a.max) / 2;
  };
  GraphSettings& g = settings();
  switch (how) {
    case GraphZoom::Out: return ScaleAbout(centre(x), centre(y), 2);
    case GraphZoom::In: return ScaleAbout(centre(x), centre(y), 0.5);
    case GraphZoom::All:
      g.axes[0].manual = g.axes[1].manual = 0;
      return true;
    case GraphZoom::Reset:
      for (int a = 0; a < 2; ++a) {
        g.axes[a].manual = openedAxes_[a].manual;
        g.axes[a].low = openedAxes_[a].low;
        g.axes[a].high = openedAxes_[a].high;
      }
      return true;
  }
  return false;
}

std::optional<GraphPageRequest> GraphWindow::ShiftClick(Point p) const {
  GraphHit hit = drawing_.HitAt(p.x, p.y);
  switch (hit.part) {
    case GraphPart::Series: return GraphPageRequest{kGraphOptionsPage, hit.series};
    case GraphPart::Plot: case GraphPart::Outside:
      return GraphPageRequest{kGraphOptionsPage, kGraphOtherTab};
    case GraphPart::Heading: return GraphPageRequest{kGraphHeadingsPage, 0};
    case GraphPart::XLabels: return GraphPageRequest{kGraphScalesPage, 0};
    case GraphPart::YLabels: return GraphPageRequest{kGraphScalesPage, 1};
    case GraphPart::Legend: return GraphPageRequest{kGraphLegendsPage, 0};
    case GraphPart::None: break;
  }
  return std::nullopt;
}

void GraphWindow::SelectAt(Point p) {
  GraphHit hit = drawing_.HitAt(p.x, p.y);
  selected_ = hit.part == GraphPart::Series ? hit.series : -1;
}

std::vector<std::string> GraphWindow::ContextMenuCaptions() const {
  return {selected_ >= 0 ? "&Attributes (" + std::to_string(selected_ + 1) + ")"
                         : std::string("No Selection"),
          "&Graph Type", "&Ranges", "&Legends", "&Options...", "&Headings", "&Scales", "&Fonts",
          "S&ave to Bitmap", "Quick &Print", "&Copy to Clipboard"};
}

std::optional<GraphPageRequest> GraphWindow::PageFor(GraphMenuItem item) const {
  switch (item) {
    case GraphMenuItem::Attributes:
      if (selected_ < 0) return std::nullopt;
      return GraphPageRequest{kGraphOptionsPage, selected_};
    case GraphMenuItem::GraphType: return GraphPageRequest{kGraphTypePage, 0};
    case GraphMenuItem::Ranges: return GraphPageRequest{kGraphRangesPage, 0};
    case GraphMenuItem::Legends: return GraphPageRequest{kGraphLegendsPage, 0};
    case GraphMenuItem::Options: return GraphPageRequest{kGraphOptionsPage, 0};
    case GraphMenuItem::Headings: return GraphPageRequest{kGraphHeadingsPage, 0};
    case GraphMenuItem::Scales: return GraphPageRequest{kGraphScalesPage, 0};
    case GraphMenuItem::Fonts: return GraphPageRequest{kGraphFontsPage, 0};
    default: return std::nullopt;
  }
}

bool GraphWindow::KeyCloses(Key key, KeyMods mods) {
  return key != Key::None && !mods.shift && !mods.ctrl && !mods.alt;
}

}  // namespace tabulon
