#include "graph/graph_render.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "display/format.h"
#include "graph/graph_data.h"
#include "sheet/sheet_document.h"

namespace tabulon {

// The palette holds 0x00BBGGRR, the canvas' own order.
Rgb GraphColour(int i) { return static_cast<Rgb>(GraphPaletteColour(i)); }

namespace {

constexpr Rgb kBlack = MakeRgb(0, 0, 0);
constexpr Rgb kSilver = MakeRgb(192, 192, 192);
constexpr Rgb kGray = MakeRgb(128, 128, 128);
constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr double kDegree = std::numbers::pi / 180;

// A colour at a fraction of its brightness (the shaded faces of 3D shapes).
Rgb Shade(Rgb c, double f) {
  return MakeRgb(static_cast<int>(RedOf(c) * f), static_cast<int>(GreenOf(c) * f),
                 static_cast<int>(BlueOf(c) * f));
}

Rect Around(Point p, int r) { return {p.x - r, p.y - r, p.x + r + 1, p.y + r + 1}; }

Rect Span(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

std::string Trim(std::string s) {
  std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The colours of the contour bands, from low (blue) to high (red).
Rgb ContourColour(int band, int bands) {
  static constexpr Rgb kStops[] = {MakeRgb(0, 0, 255), MakeRgb(0, 255, 255), MakeRgb(0, 255, 0),
                                   MakeRgb(255, 255, 0), MakeRgb(255, 0, 0)};
  double t = bands > 1 ? static_cast<double>(band) / (bands - 1) : 0;
  double pos = t * 4;
  int i = std::min(3, static_cast<int>(pos));
  double f = pos - i;
  auto mix = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
  Rgb a = kStops[i], b = kStops[i + 1];
  return MakeRgb(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}

class GraphPainter {
 public:
  GraphPainter(Canvas& canvas, SheetDocument& doc, const GraphSettings& g, int width, int height,
               const GraphDrawOptions& options)
      : c_(canvas), doc_(doc), g_(g), w_(std::max(1, width)), h_(std::max(1, height)),
        options_(options), format_(FormatSettingsOf(doc)) {}

  GraphDrawing Draw();

 private:
  // Parts of the drawing, in order.
  void Undefined();
  void Background();
  void Legend();
  void Headings();
  void Walls();
  void Axes();
  void PolarAxes();
  void Series();

  // Series by kind.
  void LineSeries(int s);
  void AreaSeries();
  void BarSeries();
  void HighLowSeries();
  void PolarSeries(int s);
  void Contour();
  void StripSeries(int s, int lane, int lanes, bool wall);
  void PieSeries();

  // Helpers.
  bool PointOf(int s, int n, Point& p) const;
  double XValue(int n) const {
    return traits_.numericX ? data_.x[n] : n + 1.5;
  }
  int BaselinePixel() const;
  void UseFont(int item);
  void UseSeriesPen(int s);
  void Symbol(Point p, int marker, Rgb colour);
  void DataLabel(int s, int n, Point p);
  void FilledShape(const std::vector<Point>& pts, int s, Rgb outline);
  std::string Format(double v, int axis) const {
    return Trim(FormatValue(30, g_.axes[axis].format & 0x7F, v, format_));
  }
  void Hit(const Rect& r, GraphPart part, int series = -1) {
    if (options_.recordHits) out_.hits.push_back({r, part, series});
  }
  Rect PlotRect() const {
    const PlotBox& p = L().plot;
    return {p.left, p.top, p.right + 1, p.bottom + 1};
  }
  const GraphLayout& L() const { return out_.layout; }

  Canvas& c_;
  SheetDocument& doc_;
  const GraphSettings& g_;
  int w_, h_;
  GraphDrawOptions options_;
  FormatSettings format_;
  GraphTraits traits_;
  GraphType type_ = GraphType::XY;
  GraphData data_;
  GraphDrawing out_;
};

GraphDrawing GraphPainter::Draw() {
  out_.type = type_ = GraphTypeOf(g_.type);
  out_.traits = traits_ = TraitsOf(type_);
  if (!GraphIsDefined(g_)) {
    Undefined();
    return std::move(out_);
  }
  out_.defined = true;
  data_ = ReadGraphData(doc_, g_);
  GraphScales scales = ComputeScales(g_, traits_, data_);
  out_.layout = LayOutGraph(c_, g_, traits_, w_, h_, options_.zoom, Format(scales.y.max, 1));
  const PlotBox& p = L().plot;
  scales.x.MapTo(p.left, p.width(), false);
  scales.y.MapTo(p.bottom, p.height(), true);
  out_.x = scales.x;
  out_.y = scales.y;

  Hit({0, 0, w_, h_}, GraphPart::Outside);
  Background();
  Legend();
  Headings();
  if (traits_.axes && traits_.threeD) Walls();
  if (traits_.polar) PolarAxes();
  else if (traits_.axes && type_ != GraphType::Contour) Axes();
  Series();
  if (type_ == GraphType::Contour) Axes();
  return std::move(out_);
}

void GraphPainter::Undefined() {
  c_.FillRect({0, 0, w_, h_}, kWhite);
  FontSpec f;
  f.face = "ARIAL";
  f.pixelHeight = std::clamp(h_ / 20, 8, 48);
  c_.SetFont(f);
  c_.SetTextColour(kBlack);
  c_.Text(w_ / 2, (h_ - c_.TextHeight()) / 2, kGraphUndefined, Align::Centre);
}

void GraphPainter::UseFont(int item) {
  c_.SetFont(GraphFont(g_, item, L().unit));
  c_.SetTextColour(GraphColour(g_.textColour[item]));
}

void GraphPainter::Background() {
  c_.FillRect({0, 0, w_, h_}, GraphColour(g_.outsideColour));
  if (!traits_.axes) return;
  Rect r = PlotRect();
  c_.FillRect(r, GraphColour(g_.insideColour));
  c_.SetPen(kBlack, 1);
  c_.SetBrush(kBlack, HatchStyle::None);
  const PlotBox& p = L().plot;
  c_.Polygon({{p.left, p.top}, {p.right, p.top}, {p.right, p.bottom}, {p.left, p.bottom}});
  if (!traits_.threeD) {
    int k = 2;
    c_.Polygon({{p.left - k, p.top - k}, {p.right + k, p.top - k}, {p.right + k, p.bottom + k},
                {p.left - k, p.bottom + k}});
  }
  Hit(r, GraphPart::Plot);
}

void GraphPainter::Legend() {
  const LegendLayout& lg = L().legend;
  if (!lg.shown) return;
  if (lg.table) {
    c_.FillRect(lg.box, GraphColour(g_.outsideColour));
    c_.SetPen(kBlack, 1);
    c_.SetBrush(kBlack, HatchStyle::None);
    c_.Polygon({{lg.box.left, lg.box.top}, {lg.box.right - 1, lg.box.top},
                {lg.box.right - 1, lg.box.bottom - 1}, {lg.box.left, lg.box.bottom - 1}});
  }
  bool fills = traits_.bars || !traits_.axes || type_ == GraphType::Area ||
               type_ == GraphType::Wall || type_ == GraphType::Strip ||
               type_ == GraphType::StackedBar3D;
  for (const LegendEntry& e : lg.entries) {
    int s = e.series;
    const Rect& r = e.sample;
    if (fills) {
      Rect box{r.left, r.top + 1, r.right, r.bottom - 1};
      c_.FillRect(box, GraphColour(g_.backColour[s]));
      c_.SetPen(kBlack, 1);
      c_.SetBrush(GraphColour(g_.foreColour[s]), GraphHatch(g_.hatch[s]));
      c_.Polygon({{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                  {box.left, box.bottom - 1}});
    } else {
      int y = (r.top + r.bottom) / 2;
      if (g_.display[s] & kShowLines) {
        UseSeriesPen(s);
        c_.Line({r.left, y}, {r.right, y});
      }
      if (g_.display[s] & kShowSymbols)
        Symbol({(r.left + r.right) / 2, y}, g_.marker[s], GraphColour(g_.foreColour[s]));
    }
    UseFont(kLegendText);
    c_.Text(e.text.x, e.text.y, g_.Legend(s), Align::Left);
  }
  Hit(lg.box, GraphPart::Legend);
}

void GraphPainter::Headings() {
  const PlotBox& p = L().plot;
  int centre = (p.left + p.right) / 2;
  // The headings advance by their font sizes, the room the layout keeps.
  int y = L().gap / 4;
  for (int i : {kMainHeading, kSecondHeading}) {
    std::string text = g_.Heading(i);
    UseFont(i);
    if (!text.empty()) {
      int w = c_.TextWidth(text);
      c_.Text(centre, y, text, Align::Centre);
      Hit({centre - w / 2, y, centre + w / 2 + 1, y + L().textHeight[i]}, GraphPart::Heading);
    }
    y += ToPixel(L().textHeight[i] * options_.zoom / 100.0);
  }
  if (!traits_.axes || traits_.polar) return;
  std::string xTitle = g_.Heading(kXTitle);
  if (!xTitle.empty()) {
    UseFont(kXTitle);
    int ty = p.bottom + L().gap / 2 + L().textHeight[kValuesText] * L().labelRows + L().gap / 2;
    int w = c_.TextWidth(xTitle);
    c_.Text(centre, ty, xTitle, Align::Centre);
    Hit({centre - w / 2, ty, centre + w / 2 + 1, ty + c_.TextHeight()}, GraphPart::Heading);
  }
  std::string yTitle = g_.Heading(kYTitle);
  if (!yTitle.empty()) {
    UseFont(kYTitle);
    int w = c_.TextWidth(yTitle);
    int x = std::max(0, L().gap / 3);
    int ty = (p.top + p.bottom) / 2 + w / 2;
    c_.RotatedText(x, ty, yTitle, 90);
    Hit({x, ty - w, x + c_.TextHeight(), ty + 1}, GraphPart::Heading);
  }
}

void GraphPainter::Walls() {
  const PlotBox& p = L().plot;
  int d = L().depth;
  c_.SetPen(kBlack, 1);
  c_.SetBrush(kSilver, HatchStyle::Solid);
  c_.Polygon({{p.left + d, p.top - d}, {p.right + d, p.top - d}, {p.right + d, p.bottom - d},
              {p.left + d, p.bottom - d}});
  c_.SetBrush(kGray, HatchStyle::Solid);
  c_.Polygon({{p.left, p.top}, {p.left + d, p.top - d}, {p.left + d, p.bottom - d},
              {p.left, p.bottom}});
  // The floor, so bars stand on something.
  c_.Polygon({{p.left, p.bottom}, {p.left + d, p.bottom - d}, {p.right + d, p.bottom - d},
              {p.right, p.bottom}});
}

void GraphPainter::Axes() {
  const PlotBox& p = L().plot;
  const AxisScale& X = out_.x;
  const AxisScale& Y = out_.y;
  int tick = std::max(2, L().gap / 2);
  int d = L().depth;  // grid lines of 3D types lie on the back wall
  int grid = g_.Grid();
  PenStyle gridStyle = g_.GridSolid() ? PenStyle::Solid : PenStyle::Dot;
  int valuesHeight = L().textHeight[kValuesText];

  // Y axis.
  UseFont(kValuesText);
  int labelRight = p.left - tick - 2;
  int yLabelLeft = labelRight;
  for (double v : MajorTicks(Y)) {
    int y;
    if (!Y.Pixel(v, y)) continue;
    c_.SetPen(kBlack, 1);
    c_.Line({p.left - tick, y}, {p.left, y});
    if (grid & 1) {
      c_.SetPen(kBlack, 1, gridStyle);
      c_.Line({p.left + d, y - d}, {p.right + d, y - d});
    }
    std::string text = Format(v, 1);
    c_.Text(labelRight, y - valuesHeight / 2, text, Align::Right);
    yLabelLeft = std::min(yLabelLeft, labelRight - c_.TextWidth(text));
  }
  c_.SetPen(kBlack, 1);
  for (double v : MinorTicks(Y, g_.axes[1].minor)) {
    int y;
    if (Y.Pixel(v, y)) c_.Line({p.left - tick / 2, y}, {p.left, y});
  }
  Hit({yLabelLeft, p.top - valuesHeight, p.left, p.bottom + valuesHeight}, GraphPart::YLabels);

  // X axis: numeric ticks, or one per slot centre labelled with its X cell.
  int rows = L().labelRows;
  int labelTop = p.bottom + tick;
  std::vector<int> rowEnd(rows, -1000000);
  auto label = [&](int x, int index, const std::string& text) {
    if (text.empty()) return;
    int row = index % rows;
    int w = c_.TextWidth(text);
    // Labels that would run into the previous one of their row are left out.
    if (x - w / 2 <= rowEnd[row]) return;
    rowEnd[row] = x + w - w / 2 + 2;
    c_.Text(x, labelTop + row * valuesHeight, text, Align::Centre);
  };
  UseFont(kValuesText);
  // The three-dimensional bar types share the slots of the flat ones, so
  // they are labelled by slot too rather than with the slot numbers.
  if (traits_.category || (!traits_.numericX && traits_.axes && !traits_.polar)) {
    int slots = data_.points;
    // More slots than pixels: ticks for a sample of them.
    int every = std::max(1, slots / std::max(1, p.width() / 2));
    for (int n = 0; n < slots; n += every) {
      int x;
      if (!X.Pixel(n + 1.5, x)) continue;
      c_.SetPen(kBlack, 1);
      c_.Line({x, p.bottom}, {x, p.bottom + tick});
      if (grid & 2) {
        c_.SetPen(kBlack, 1, gridStyle);
        c_.Line({x + d, p.bottom - d}, {x + d, p.top - d});
      }
      label(x, n / every, RangeCellText(doc_, g_.x, n));
    }
  } else {
    int i = 0;
    for (double v : MajorTicks(X)) {
      int x;
      if (!X.Pixel(v, x)) continue;
      c_.SetPen(kBlack, 1);
      c_.Line({x, p.bottom}, {x, p.bottom + tick});
      if (grid & 2) {
        c_.SetPen(kBlack, 1, gridStyle);
        c_.Line({x + d, p.bottom - d}, {x + d, p.top - d});
      }
      label(x, i++, Format(v, 0));
    }
    c_.SetPen(kBlack, 1);
    for (double v : MinorTicks(X, g_.axes[0].minor)) {
      int x;
      if (X.Pixel(v, x)) c_.Line({x, p.bottom}, {x, p.bottom + tick / 2});
    }
  }
  Hit({p.left - valuesHeight, p.bottom + 1, p.right + valuesHeight,
       labelTop + rows * valuesHeight}, GraphPart::XLabels);
}

void GraphPainter::PolarAxes() {
  const PlotBox& p = L().plot;
  const AxisScale& Y = out_.y;
  int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
  int radius = std::max(1, p.height() / 2 - L().textHeight[kValuesText]);
  bool radar = type_ == GraphType::Radar;
  int grid = g_.Grid();
  PenStyle gridStyle = g_.GridSolid() ? PenStyle::Solid : PenStyle::Dot;
  UseFont(kValuesText);
  int valuesHeight = L().textHeight[kValuesText];

  // Circles at the Y ticks, labelled along the first spoke; a label that
  // would run into the previous one is left out.
  std::vector<double> ticks = MajorTicks(Y);
  Rect last{0, 0, 0, 0};
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    double off;
    if (!Y.Offset(ticks[i], off)) continue;
    int r = Y.span > 0 ? ToPixel(off / Y.span * radius) : 0;
    if ((grid & 1) && r > 0) {
      c_.SetPen(kBlack, 1, gridStyle);
      c_.SetBrush(kBlack, HatchStyle::None);
      c_.Ellipse({cx - r, cy - r, cx + r + 1, cy + r + 1});
    }
    std::string text = Format(ticks[i], 1);
    int tw = c_.TextWidth(text);
    int lx = radar ? cx + 2 : cx + r + 2;
    int ly = radar ? cy - r + 1 : cy + 2;
    Rect box{lx, ly, lx + tw, ly + valuesHeight};
    // A few pixels apart at least, so neighbours do not read as one number.
    int space = valuesHeight / 2;
    bool overlaps = i > 0 && box.left < last.right + space && last.left < box.right + space &&
                    box.top < last.bottom && last.top < box.bottom;
    if (overlaps) continue;
    c_.Text(lx, ly, text, Align::Left);
    last = box;
  }
  // Spokes every 360 / n degrees, n the X step rounded up to an even number.
  int n = g_.axes[0].step;
  if (n % 2) ++n;
  for (int k = 0; k < n; ++k) {
    double angle = 360.0 * k / n;
    bool onAxis = std::fmod(angle, 90.0) == 0;
    if (!onAxis && !(grid & 2)) continue;
    double a = (radar ? angle - 90 : angle) * kDegree;
    double dx = std::cos(a), dy = radar ? std::sin(a) : -std::sin(a);
    Point end{ToPixel(cx + dx * radius), ToPixel(cy + dy * radius)};
    c_.SetPen(kBlack, 1, onAxis ? PenStyle::Solid : gridStyle);
    c_.Line({cx, cy}, end);
    std::string text = Format(angle, 0) + "\xB0";
    int tw = c_.TextWidth(text);
    int lx = ToPixel(cx + dx * (radius + 4) + (dx - 1) * tw / 2.0);
    int ly = ToPixel(cy + dy * (radius + 4) + (dy - 1) * valuesHeight / 2.0);
    c_.Text(lx, ly, text, Align::Left);
  }
  Hit({cx - radius, cy - radius, cx + radius + 1, cy + radius + 1}, GraphPart::Plot);
}

void GraphPainter::UseSeriesPen(int s) {
  int width = std::clamp<int>(g_.thickness[s], 1, 20);
  c_.SetPen(GraphColour(g_.foreColour[s]), width, GraphPenStyle(g_.lineStyle[s]));
}

void GraphPainter::Symbol(Point p, int marker, Rgb colour) {
  int m = marker <= 0 ? 1 : (marker - 1) % 16 + 1;
  int kind = (m - 1) / 2;
  bool filled = m % 2 == 0;
  int s = L().symbolSize;
  int x = p.x, y = p.y;
  c_.SetPen(colour, filled && kind < 2 ? 2 : 1);
  c_.SetBrush(colour, filled ? HatchStyle::Solid : HatchStyle::None);
  switch (kind) {
    case 0:  // diagonal cross
      c_.Line({x - s, y - s}, {x + s, y + s});
      c_.Line({x - s, y + s}, {x + s, y - s});
      break;
    case 1:  // upright cross
      c_.Line({x - s, y}, {x + s, y});
      c_.Line({x, y - s}, {x, y + s});
      break;
    case 2: c_.Polygon({{x - s, y - s}, {x + s, y - s}, {x + s, y + s}, {x - s, y + s}}); break;
    case 3: c_.Polygon({{x - s, y - s}, {x + s, y + s}, {x + s, y - s}, {x - s, y + s}}); break;
    case 4: c_.Ellipse({x - s, y - s, x + s + 1, y + s + 1}); break;
    case 5: c_.Polygon({{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}}); break;
    case 6: c_.Polygon({{x, y - s}, {x + s, y + s}, {x - s, y + s}}); break;
    default: c_.Polygon({{x - s, y - s}, {x + s, y - s}, {x, y + s}}); break;
  }
}

void GraphPainter::DataLabel(int s, int n, Point p) {
  int place = g_.labelPlace[s];
  if (place < 1 || place > 4 || !IsUsableRange(g_.labels[s])) return;
  std::string text = RangeCellText(doc_, g_.labels[s], n);
  if (text.empty()) return;
  UseFont(kLabelsText);
  int h = c_.TextHeight(), gap = L().symbolSize + 2;
  switch (static_cast<LabelPlace>(place)) {
    case LabelPlace::Above: c_.Text(p.x, p.y - gap - h, text, Align::Centre); break;
    case LabelPlace::Below: c_.Text(p.x, p.y + gap, text, Align::Centre); break;
    case LabelPlace::Left: c_.Text(p.x - gap, p.y - h / 2, text, Align::Right); break;
    default: c_.Text(p.x + gap, p.y - h / 2, text, Align::Left); break;
  }
}

void GraphPainter::FilledShape(const std::vector<Point>& pts, int s, Rgb outline) {
  // The background colour shows between the hatch lines.
  c_.SetPen(outline, 1);
  c_.SetBrush(GraphColour(g_.backColour[s]), HatchStyle::Solid);
  c_.Polygon(pts);
  HatchStyle hatch = GraphHatch(g_.hatch[s]);
  if (hatch != HatchStyle::None) {
    c_.SetBrush(GraphColour(g_.foreColour[s]), hatch);
    c_.Polygon(pts);
  }
}

bool GraphPainter::PointOf(int s, int n, Point& p) const {
  double y = data_.series[s].y[n];
  if (std::isnan(y)) return false;
  double x = XValue(n);
  return out_.x.Pixel(x, p.x) && out_.y.Pixel(y, p.y);
}

int GraphPainter::BaselinePixel() const {
  // Bars and areas rise from the value 0, or from the plot's bottom when 0
  // lies below it (or has no place on a logarithmic axis).
  int y;
  if (!out_.y.Pixel(0, y) || y > L().plot.bottom) return L().plot.bottom;
  return y;
}

void GraphPainter::Series() {
  const PlotBox& p = L().plot;
  int d = L().depth;
  c_.SetClip({p.left, p.top - d, p.right + d + 1, p.bottom + 1});
  switch (type_) {
    case GraphType::Pie: case GraphType::Pie3D: case GraphType::Donut:
      c_.ClearClip();
      PieSeries();
      break;
    case GraphType::Bar: case GraphType::StackedBar: case GraphType::Bar3D:
    case GraphType::StackedBar3D:
      BarSeries();
      break;
    case GraphType::Area: AreaSeries(); break;
    case GraphType::HighLow: HighLowSeries(); break;
    case GraphType::Contour: Contour(); break;
    case GraphType::Radar: case GraphType::Polar:
      c_.ClearClip();
      for (int s = kGraphSeries - 1; s >= 0; --s)
        if (data_.series[s].defined) PolarSeries(s);
      break;
    case GraphType::Strip: case GraphType::Wall: {
      int lanes = std::max(1, data_.definedSeries);
      int lane = lanes;
      for (int s = kGraphSeries - 1; s >= 0; --s)
        if (data_.series[s].defined) StripSeries(s, --lane, lanes, type_ == GraphType::Wall);
      break;
    }
    default:
      for (int s = kGraphSeries - 1; s >= 0; --s)
        if (data_.series[s].defined) LineSeries(s);
      break;
  }
  c_.ClearClip();
}

void GraphPainter::LineSeries(int s) {
  bool lines = g_.display[s] & kShowLines;
  bool symbols = g_.display[s] & kShowSymbols;
  bool delta = type_ == GraphType::Delta;
  std::vector<Point> run;
  auto flush = [&] {
    if (run.size() > 1) {
      UseSeriesPen(s);
      c_.Polyline(run);
    }
    run.clear();
  };
  std::vector<std::pair<int, Point>> points;
  points.reserve(data_.points);
  for (int n = 0; n < data_.points; ++n) {
    Point pt;
    if (traits_.numericX && std::isnan(data_.x[n])) {
      flush();
      continue;
    }
    if (!PointOf(s, n, pt)) {
      flush();
      continue;
    }
    if (lines) {
      // A delta graph steps: across at the old height, then up or down.
      if (delta && !run.empty()) run.push_back({pt.x, run.back().y});
      run.push_back(pt);
    }
    points.push_back({n, pt});
  }
  flush();
  Rgb colour = GraphColour(g_.foreColour[s]);
  int r = L().symbolSize;
  for (const auto& [n, pt] : points) {
    if (symbols) Symbol(pt, g_.marker[s], colour);
    DataLabel(s, n, pt);
    Hit(Around(pt, r + 1), GraphPart::Series, s);
  }
}

void GraphPainter::AreaSeries() {
  // Each series stands on the ones before it; drawn from the top of the
  // stack down, so series 1 lies in front.
  int n = data_.points;
  std::vector<double> top(n, 0);
  std::vector<std::vector<double>> tops(kGraphSeries);
  for (int s = 0; s < kGraphSeries; ++s) {
    if (!data_.series[s].defined) continue;
    for (int i = 0; i < n; ++i) {
      double v = data_.series[s].y[i];
      if (!std::isnan(v)) top[i] += v;
    }
    tops[s] = top;
  }
  int base = BaselinePixel();
  for (int s = kGraphSeries - 1; s >= 0; --s) {
    if (!data_.series[s].defined) continue;
    std::vector<Point> outline;
    for (int i = 0; i < n; ++i) {
      if (!data_.xFilled[i]) continue;
      Point pt;
      if (!out_.x.Pixel(XValue(i), pt.x) || !out_.y.Pixel(tops[s][i], pt.y)) continue;
      outline.push_back(pt);
    }
    if (outline.empty()) continue;
    std::vector<Point> shape = outline;
    shape.push_back({outline.back().x, base});
    shape.push_back({outline.front().x, base});
    FilledShape(shape, s, GraphColour(g_.foreColour[s]));
    for (std::size_t i = 0; i < outline.size(); ++i)
      Hit(Span(outline[i].x - 2, outline[i].y, outline[i].x + 2, base), GraphPart::Series, s);
  }
}

void GraphPainter::BarSeries() {
  const PlotBox& p = L().plot;
  bool stacked = traits_.stacked;
  bool solid = type_ == GraphType::Bar3D || type_ == GraphType::StackedBar3D;
  double slotSpan = out_.x.max - out_.x.min + 1;
  double area = slotSpan > 0 ? p.width() / slotSpan : 0;
  int d = L().depth;
  if (solid && area >= 2 * d) area -= d;
  int defined = std::max(1, data_.definedSeries);
  double barWidth = stacked ? area : area / defined;
  int face = solid ? std::clamp(static_cast<int>(barWidth / 2), 1, std::max(1, d)) : 0;
  int base = BaselinePixel();
  std::vector<double> up(data_.points, 0), down(data_.points, 0);
  int k = 0;
  for (int s = 0; s < kGraphSeries; ++s) {
    if (!data_.series[s].defined) continue;
    Rgb colour = GraphColour(g_.foreColour[s]);
    for (int n = 0; n < data_.points; ++n) {
      double v = data_.series[s].y[n];
      if (std::isnan(v)) continue;
      int centre;
      if (!out_.x.Pixel(XValue(n), centre)) continue;
      double left = centre - area / 2 + (stacked ? 0 : k * barWidth);
      int x1 = ToPixel(left), x2 = ToPixel(left + barWidth) - 1;
      if (x2 < x1) x2 = x1;
      int y1 = base, y2;
      if (stacked) {
        // Positive values stack upwards and negative ones downwards.
        double& level = v >= 0 ? up[n] : down[n];
        if (level != 0 && !out_.y.Pixel(level, y1)) continue;
        level += v;
        if (!out_.y.Pixel(level, y2)) continue;
      } else if (!out_.y.Pixel(v, y2)) {
        continue;
      }
      int top = std::min(y1, y2), bottom = std::max(y1, y2);
      std::vector<Point> front = {{x1, top}, {x2, top}, {x2, bottom}, {x1, bottom}};
      FilledShape(front, s, kBlack);
      if (solid) {
        c_.SetPen(kBlack, 1);
        c_.SetBrush(Shade(colour, 0.5), HatchStyle::Solid);
        c_.Polygon({{x1, top}, {x1 + face, top - face}, {x2 + face, top - face}, {x2, top}});
        c_.SetBrush(Shade(colour, 0.33), HatchStyle::Solid);
        c_.Polygon({{x2, top}, {x2 + face, top - face}, {x2 + face, bottom - face}, {x2, bottom}});
      }
      Point label{(x1 + x2) / 2, y2};
      DataLabel(s, n, label);
      Hit(Span(x1, top, x2, bottom), GraphPart::Series, s);
    }
    ++k;
  }
}

void GraphPainter::HighLowSeries() {
  // Series 1 and 2 are the high and low ends of a bar, 3 and 4 the open
  // and close marks to its left and right; 5 and 6 are symbols.
  const auto& sv = data_.series;
  int tickLength = 2 * L().symbolSize;
  // Bars and marks are drawn solid and at least 2 pixels wide: a dotted
  // mark a few pixels long would not show.
  auto pen = [&](int s) {
    c_.SetPen(GraphColour(g_.foreColour[s]), std::clamp<int>(g_.thickness[s], 2, 20));
  };
  for (int n = 0; n < data_.points; ++n) {
    int x;
    if (!out_.x.Pixel(XValue(n), x)) continue;
    Point hi, lo;
    bool hasHi = sv[0].defined && PointOf(0, n, hi);
    bool hasLo = sv[1].defined && PointOf(1, n, lo);
    if (hasHi && hasLo) {
      pen(0);
      c_.Line(hi, lo);
      Hit(Span(x - tickLength, hi.y, x + tickLength, lo.y), GraphPart::Series, 0);
    }
    for (int s = 0; s < kGraphSeries; ++s) {
      Point pt;
      if (!sv[s].defined || !PointOf(s, n, pt)) continue;
      if (s == 2 || s == 3) {
        pen(s);
        c_.Line(pt, {s == 2 ? pt.x - tickLength : pt.x + tickLength, pt.y});
      } else if ((s >= 4 || !(hasHi && hasLo)) && (g_.display[s] & kShowSymbols)) {
        Symbol(pt, g_.marker[s], GraphColour(g_.foreColour[s]));
      }
      DataLabel(s, n, pt);
      Hit(Around(pt, tickLength), GraphPart::Series, s);
    }
  }
}

void GraphPainter::PolarSeries(int s) {
  const PlotBox& p = L().plot;
  int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
  int radius = std::max(1, p.height() / 2 - L().textHeight[kValuesText]);
  bool radar = type_ == GraphType::Radar;
  const AxisScale& Y = out_.y;
  std::vector<Point> run;
  std::vector<std::pair<int, Point>> points;
  bool broken = false;
  auto flush = [&] {
    if (run.size() > 1 && (g_.display[s] & kShowLines)) {
      UseSeriesPen(s);
      c_.Polyline(run);
    }
    run.clear();
  };
  for (int n = 0; n < data_.points; ++n) {
    double v = data_.series[s].y[n];
    double off;
    double angle = radar ? (data_.points > 0 ? 360.0 * n / data_.points : 0) : data_.x[n];
    if (std::isnan(v) || std::isnan(angle) || !Y.Offset(v, off)) {
      flush();
      broken = true;
      continue;
    }
    double r = Y.span > 0 ? std::max(0.0, off / Y.span) * radius : 0;
    double a = (radar ? angle - 90 : angle) * kDegree;
    Point pt{ToPixel(cx + r * std::cos(a)),
             ToPixel(radar ? cy + r * std::sin(a) : cy - r * std::sin(a))};
    run.push_back(pt);
    points.push_back({n, pt});
  }
  // A radar line closes on its first point when nothing broke it.
  if (radar && !broken && run.size() > 2) run.push_back(run.front());
  flush();
  for (const auto& [n, pt] : points) {
    if (g_.display[s] & kShowSymbols) Symbol(pt, g_.marker[s], GraphColour(g_.foreColour[s]));
    DataLabel(s, n, pt);
    Hit(Around(pt, L().symbolSize + 1), GraphPart::Series, s);
  }
}

void GraphPainter::Contour() {
  // The X range is a grid of heights: each cell is shaded by its band
  // between the lowest and highest value, centred on its grid point.
  RangeWalk walk(g_.x);
  long long cells = std::min<long long>(walk.count, kMaxGraphPoints);
  double lo = 0, hi = 0;
  bool any = false;
  std::vector<double> z(cells);
  for (long long i = 0; i < cells; ++i) {
    CellAddress a = walk.At(i);
    z[i] = NumericCell(doc_, a.row, a.col);
    if (std::isnan(z[i])) continue;
    if (!any) lo = hi = z[i];
    any = true;
    lo = std::min(lo, z[i]);
    hi = std::max(hi, z[i]);
  }
  if (!any) return;
  constexpr int kBands = 10;
  for (long long i = 0; i < cells; ++i) {
    if (std::isnan(z[i])) continue;
    double col = static_cast<double>(i / walk.rows), row = static_cast<double>(i % walk.rows);
    int x1, x2, y1, y2;
    if (!out_.x.Pixel(col - 0.5, x1) || !out_.x.Pixel(col + 0.5, x2) ||
        !out_.y.Pixel(row - 0.5, y1) || !out_.y.Pixel(row + 0.5, y2))
      continue;
    int band = hi > lo ? std::min(kBands - 1, static_cast<int>((z[i] - lo) / (hi - lo) * kBands))
                       : 0;
    Rect r = Span(x1, y1, x2, y2);
    c_.FillRect(r, ContourColour(band, kBands));
    Hit(r, GraphPart::Series, 0);
  }
}

void GraphPainter::StripSeries(int s, int lane, int lanes, bool wall) {
  // Each series runs in its own lane of the depth, series 1 in front.
  int laneDepth = std::max(1, L().depth / lanes);
  int ox = lane * laneDepth, oy = -lane * laneDepth;
  Rgb colour = GraphColour(g_.foreColour[s]);
  int base = BaselinePixel();
  std::vector<Point> pts;
  std::vector<std::pair<int, Point>> labelled;
  auto finish = [&] {
    if (pts.empty()) return;
    if (wall) {
      std::vector<Point> face = pts;
      face.push_back({pts.back().x, base + oy});
      face.push_back({pts.front().x, base + oy});
      FilledShape(face, s, kBlack);
    }
    c_.SetPen(kBlack, 1);
    // A strip is a tape: a front edge of some height under the line, so a
    // segment rising along the depth still shows, and the top going back.
    int tape = wall ? 0 : std::max(2, laneDepth / 2);
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      const Point& a = pts[i];
      const Point& b = pts[i + 1];
      if (tape > 0) {
        c_.SetBrush(Shade(colour, 0.6), HatchStyle::Solid);
        c_.Polygon({a, b, {b.x, b.y + tape}, {a.x, a.y + tape}});
      }
      c_.SetBrush(wall ? Shade(colour, 0.5) : colour, HatchStyle::Solid);
      c_.Polygon({a, b, {b.x + laneDepth, b.y - laneDepth}, {a.x + laneDepth, a.y - laneDepth}});
    }
    pts.clear();
  };
  for (int n = 0; n < data_.points; ++n) {
    Point pt;
    if (!PointOf(s, n, pt)) {
      finish();
      continue;
    }
    pt.x += ox;
    pt.y += oy;
    pts.push_back(pt);
    labelled.push_back({n, pt});
  }
  finish();
  for (const auto& [n, pt] : labelled) {
    DataLabel(s, n, pt);
    Hit(Around(pt, L().symbolSize + 1), GraphPart::Series, s);
  }
}

void GraphPainter::PieSeries() {
  // Only series 1 is drawn; each positive value is a slice of the circle.
  const SeriesValues& sv = data_.series[0];
  if (!sv.defined) return;
  double total = 0;
  for (double v : sv.y)
    if (v > 0) total += v;
  if (!(total > 0)) return;
  const PlotBox& p = L().plot;
  bool solid = type_ != GraphType::Pie;
  UseFont(kLabelsText);
  int labelRoom = c_.TextHeight() * 2;
  int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
  int thickness = solid ? L().depth : 0;
  // A 3D pie is half as high as wide and stands on its thickness.
  int fitHeight = p.height() / 2 - labelRoom - thickness;
  int rx = std::max(1, std::min(p.width() / 2 - labelRoom * 2, solid ? 2 * fitHeight : fitHeight));
  int ry = solid ? std::max(1, rx / 2) : rx;
  cy -= thickness / 2;
  Rect bounds{cx - rx, cy - ry, cx + rx + 1, cy + ry + 1};

  struct Slice {
    int n;
    double start, span;
  };
  std::vector<Slice> slices;
  double angle = 0;
  for (int n = 0; n < data_.points && angle < 360; ++n) {
    double v = sv.y[n];
    if (!(v > 0)) continue;
    double span = std::min(v / total * 360, 360 - angle);
    slices.push_back({n, angle, span});
    angle += span;
  }
  auto colourOf = [&](std::size_t i) { return static_cast<int>(i % kGraphSeries); };
  // The side of a 3D pie: the slices stacked downwards in a darker shade,
  // in a few layers (each covers the next one's band but its edge). Slices
  // too thin for the platform's angles do not take part.
  int step = std::max(1, thickness / 8);
  for (int dy = thickness; dy > 0; dy -= step) {
    for (std::size_t i = 0; i < slices.size(); ++i) {
      if (slices[i].span < 1.0 / 16) continue;
      Rgb shade = Shade(GraphColour(g_.foreColour[colourOf(i)]), 0.5);
      c_.SetPen(shade, 1);
      c_.SetBrush(shade, HatchStyle::Solid);
      Rect r = bounds;
      r.top += dy;
      r.bottom += dy;
      c_.Pie(r, slices[i].start, slices[i].span);
    }
  }
  Rect lastLabel{};
  bool labelled = false;
  for (std::size_t i = 0; i < slices.size(); ++i) {
    int s = colourOf(i);
    const Slice& sl = slices[i];
    c_.SetPen(kBlack, 1);
    c_.SetBrush(GraphColour(g_.backColour[s]), HatchStyle::Solid);
    c_.Pie(bounds, sl.start, sl.span);
    HatchStyle hatch = GraphHatch(g_.hatch[s]);
    if (hatch != HatchStyle::None) {
      c_.SetBrush(GraphColour(g_.foreColour[s]), hatch);
      c_.Pie(bounds, sl.start, sl.span);
    }
    double mid = (sl.start + sl.span / 2) * kDegree;
    double dx = std::cos(mid), dy = -std::sin(mid);
    Point inner{ToPixel(cx + dx * rx * 0.6), ToPixel(cy + dy * ry * 0.6)};
    Hit(Around(inner, std::max(2, rx / 4)), GraphPart::Series, 0);
    std::string text = RangeCellText(doc_, g_.x, sl.n) + " (" + Format(sl.span / 360, 1) + ")";
    UseFont(kLabelsText);
    int h = c_.TextHeight();
    int lx = ToPixel(cx + dx * (rx + h / 2));
    int ly = ToPixel(cy + dy * (ry + h / 2) - h / 2.0 + (dy > 0 ? thickness : 0));
    // Thin slices side by side would write their labels over each other:
    // a label that would run into the previous one is left out.
    int w = c_.TextWidth(text);
    Rect box = dx >= 0 ? Rect{lx, ly, lx + w, ly + h} : Rect{lx - w, ly, lx, ly + h};
    bool overlaps = labelled && box.left < lastLabel.right && lastLabel.left < box.right &&
                    box.top < lastLabel.bottom && lastLabel.top < box.bottom;
    if (overlaps) continue;
    c_.Text(lx, ly, text, dx >= 0 ? Align::Left : Align::Right);
    lastLabel = box;
    labelled = true;
  }
  if (type_ == GraphType::Donut) {
    int hx = rx / 2, hy = ry / 2;
    c_.SetPen(kBlack, 1);
    c_.SetBrush(GraphColour(g_.outsideColour), HatchStyle::Solid);
    c_.Ellipse({cx - hx, cy - hy, cx + hx + 1, cy + hy + 1});
  }
}

}  // namespace

PenStyle GraphPenStyle(int lineStyle) {
  switch (lineStyle) {
    case 2: return PenStyle::Dash;
    case 3: return PenStyle::Dot;
    case 4: return PenStyle::DashDot;
    case 5: return PenStyle::DashDotDot;
    case 6: return PenStyle::None;
    default: return PenStyle::Solid;
  }
}

HatchStyle GraphHatch(int hatch) {
  switch (hatch) {
    case 2: return HatchStyle::Horizontal;
    case 3: return HatchStyle::Vertical;
    case 4: return HatchStyle::Cross;
    case 5: return HatchStyle::ForwardDiagonal;
    case 6: return HatchStyle::BackwardDiagonal;
    case 7: return HatchStyle::DiagonalCross;
    case 8: return HatchStyle::None;
    default: return HatchStyle::Solid;
  }
}

GraphHit GraphDrawing::HitAt(int px, int py) const {
  for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
    const Rect& r = it->rect;
    if (px >= r.left && px < r.right && py >= r.top && py < r.bottom) return *it;
  }
  return {};
}

GraphDrawing DrawGraph(Canvas& canvas, SheetDocument& doc, const GraphSettings& g, int width,
                       int height, const GraphDrawOptions& options) {
  return GraphPainter(canvas, doc, g, width, height, options).Draw();
}

GraphDrawing DrawDocumentGraph(Canvas& canvas, SheetDocument& doc, int namedIndex, int width,
                               int height, const GraphDrawOptions& options) {
  const GraphBook& book = doc.extras().graphs;
  if (namedIndex < 0) return DrawGraph(canvas, doc, book.current, width, height, options);
  if (namedIndex < static_cast<int>(book.named.size()))
    return DrawGraph(canvas, doc, book.named[namedIndex].settings, width, height, options);
  GraphSettings undefined;
  return DrawGraph(canvas, doc, undefined, width, height, options);
}

}  // namespace tabulon
