#include "graph/graph_scale.h"

#include <algorithm>
#include <cmath>

namespace tabulon {

GraphType GraphTypeOf(std::uint8_t code) {
  return code < kGraphTypeCount ? static_cast<GraphType>(code) : GraphType::XY;
}

GraphTraits TraitsOf(GraphType type) {
  GraphTraits t;
  switch (type) {
    case GraphType::StackedBar: case GraphType::Area: case GraphType::StackedBar3D:
      t.stacked = true;
      break;
    default: break;
  }
  switch (type) {
    case GraphType::XY: case GraphType::Cumulative: case GraphType::Radar: case GraphType::Delta:
    case GraphType::Polar: case GraphType::Contour:
      t.numericX = true;
      break;
    default: break;
  }
  t.axes = type != GraphType::Pie && type != GraphType::Pie3D && type != GraphType::Donut;
  t.polar = type == GraphType::Radar || type == GraphType::Polar;
  switch (type) {
    case GraphType::Bar: case GraphType::StackedBar: case GraphType::Line:
    case GraphType::HighLow: case GraphType::Area: case GraphType::Strip: case GraphType::Wall:
      t.category = true;
      break;
    default: break;
  }
  t.bars = type == GraphType::Bar || type == GraphType::StackedBar || type == GraphType::Bar3D;
  switch (type) {
    case GraphType::Strip: case GraphType::Wall: case GraphType::Pie3D: case GraphType::Donut:
    case GraphType::Bar3D: case GraphType::StackedBar3D:
      t.threeD = true;
      break;
    default: break;
  }
  return t;
}

double Decade(double v) {
  double a = std::fabs(v);
  if (a == 0 || !std::isfinite(a)) return 1;
  double l = std::log10(a);
  double n = l >= 0 ? std::floor(l + 0.1) : -std::floor(std::fabs(l) + 0.1);
  return std::pow(10.0, n);
}

int ToPixel(double v) {
  if (!(v > -1e7)) return -10000000;  // also catches NaN
  if (v > 1e7) return 10000000;
  return static_cast<int>(std::lround(v));
}

bool AxisScale::Offset(double v, double& offset) const {
  if (!std::isfinite(v)) return false;
  if (log) {
    if (v <= 0) return false;
    offset = std::log(v / min);
  } else {
    offset = v - min;
  }
  return std::isfinite(offset);
}

bool AxisScale::Pixel(double v, int& pixel) const {
  double off;
  if (!Offset(v, off)) return false;
  double d = off * pixelsPerUnit;
  pixel = ToPixel(reversed ? origin - d : origin + d);
  return true;
}

void AxisScale::MapTo(int originPixel, int length, bool reversedAxis) {
  origin = originPixel;
  reversed = reversedAxis;
  pixelsPerUnit = span != 0 && std::isfinite(span) ? length / span : 0;
}

double AxisScale::ValueAt(int pixel) const {
  if (pixelsPerUnit == 0) return min;
  double off = (reversed ? origin - pixel : pixel - origin) / pixelsPerUnit;
  return log ? min * std::exp(off) : min + off;
}

AxisScale MakeAxis(double min, double max, int step, bool log, bool isY) {
  AxisScale a;
  a.log = log;
  if (!std::isfinite(min)) min = 0;
  if (!std::isfinite(max)) max = 0;
  if (log) {
    double top = Decade(max);
    if (isY ? top * 1.01 < max : top < max) top *= 10;
    double bottom = Decade(min);
    if (isY ? min * 1.01 < bottom : bottom > min) bottom *= 0.1;
    // Limits the other way round, or equal, still give one decade.
    if (!(top > bottom)) top = bottom * 10;
    a.min = bottom;
    a.max = top;
    a.span = std::log(top / bottom);
    a.intervals = static_cast<int>(std::lround(a.span / std::log(10.0)));
  } else {
    a.min = min;
    a.max = max;
    a.span = max - min;
    if (!std::isfinite(a.span)) a.span = 0;
    a.intervals = step;
  }
  a.intervals = std::clamp(a.intervals, 1, 1000);
  return a;
}

std::vector<double> MajorTicks(const AxisScale& a) {
  std::vector<double> ticks;
  ticks.reserve(a.intervals + 1);
  if (a.log) {
    double factor = std::exp(a.span / a.intervals);
    if (std::fabs(factor - 10) < 0.0001) factor = 10;
    double v = a.min;
    for (int i = 0; i <= a.intervals; ++i, v *= factor) ticks.push_back(v);
  } else {
    double step = a.span / a.intervals;
    if (step == 0) step = 1;
    for (int i = 0; i <= a.intervals; ++i) ticks.push_back(a.min + i * step);
  }
  return ticks;
}

std::vector<double> MinorTicks(const AxisScale& a, int divisions) {
  std::vector<double> ticks;
  std::vector<double> major = MajorTicks(a);
  if (a.log) {
    for (double m : major)
      for (int k = 2; k <= 9; ++k)
        if (m * k < a.max * (1 + 1e-9)) ticks.push_back(m * k);
    return ticks;
  }
  if (divisions < 2 || a.span == 0) return ticks;
  double step = a.span / a.intervals / divisions;
  for (std::size_t i = 0; i + 1 < major.size(); ++i)
    for (int k = 1; k < divisions; ++k) ticks.push_back(major[i] + k * step);
  return ticks;
}

}  // namespace tabulon
