// The arithmetic of graph axes, free of any drawing: what each graph type
// is made of, logarithmic decades, axis limits and intervals, tick values
// and the mapping of values to pixels.
#pragma once

#include <vector>

#include "sheet/graph_settings.h"

namespace tabulon {

// Properties every drawing derives from the type code.
struct GraphTraits {
  bool stacked = false;   // the Y extent is the sum over the series
  bool numericX = false;  // the X axis is scaled from the X range's values
  bool axes = false;      // ordinary or polar axes are drawn
  bool polar = false;
  bool category = false;  // one slot per X cell
  bool bars = false;
  bool threeD = false;
};
GraphTraits TraitsOf(GraphType type);
// A type code outside the table draws as XY.
GraphType GraphTypeOf(std::uint8_t code);

// The decade of a value: 10 to the power of the integer part of
// log10|v| + 0.1 (for log10|v| >= 0; the negated integer part of
// |log10|v|| + 0.1 below that). Zero counts as decade 1.
double Decade(double v);

// One axis: its limits, intervals, and once laid out its pixel mapping.
struct AxisScale {
  double min = 0, max = 0;
  double span = 0;    // max - min; ln(max / min) on a logarithmic axis
  int intervals = 1;  // major intervals (decades on a logarithmic axis)
  bool log = false;

  int origin = 0;              // pixel of the minimum
  double pixelsPerUnit = 0;    // 0 when the span is 0
  bool reversed = false;       // pixels grow towards smaller values (Y)

  // The distance of v from the minimum in axis units (a logarithm on a
  // logarithmic axis); false when v has no place on the axis (not finite,
  // or not positive on a logarithmic axis).
  bool Offset(double v, double& offset) const;
  // The pixel of v; false as for Offset. Far-off values are clamped so the
  // pixel stays a sane integer.
  bool Pixel(double v, int& pixel) const;
  // Maps `length` pixels onto the span, from `origin` (reversed for Y).
  void MapTo(int originPixel, int length, bool reversedAxis);
  // The value under a pixel (the inverse of Pixel).
  double ValueAt(int pixel) const;
};

// Limits found (automatic or manual) to an axis: a logarithmic axis moves
// them out to whole decades (`isY` picks the Y axis' 1 % margins) and
// counts decades as intervals; a linear axis keeps them and takes `step`
// intervals (at least 1).
AxisScale MakeAxis(double min, double max, int step, bool log, bool isY);

// The major tick values: minimum, then each step (a factor on a
// logarithmic axis) up, intervals + 1 of them.
std::vector<double> MajorTicks(const AxisScale& axis);
// Minor tick values between the major ones: 2..9 times each major value on
// a logarithmic axis, `divisions` - 1 between major ticks on a linear one
// (divisions below 2 give none).
std::vector<double> MinorTicks(const AxisScale& axis, int divisions);

// Rounds to the nearest integer pixel, clamped far outside any surface.
int ToPixel(double v);

}  // namespace tabulon
