#include "graph/graph_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tabulon {
namespace {

TEST(GraphScale, DecadesRoundLogarithmsUpByATenth) {
  EXPECT_EQ(Decade(3), 1);
  EXPECT_EQ(Decade(2000), 1000);
  EXPECT_EQ(Decade(9.5), 10) << "log10 9.5 + 0.1 passes 1";
  EXPECT_EQ(Decade(-300), 100);
  EXPECT_EQ(Decade(0), 1);
  EXPECT_DOUBLE_EQ(Decade(0.05), 0.1);
  EXPECT_DOUBLE_EQ(Decade(0.5), 1);
  EXPECT_DOUBLE_EQ(Decade(0.0012), 0.001);
  EXPECT_EQ(Decade(std::numeric_limits<double>::infinity()), 1);
}

TEST(GraphScale, LogarithmicAxesRunOverWholeDecades) {
  AxisScale y = MakeAxis(3, 2000, 4, true, true);
  EXPECT_EQ(y.min, 1);
  EXPECT_EQ(y.max, 10000);
  EXPECT_EQ(y.intervals, 4);
  EXPECT_NEAR(y.span, std::log(10000.0), 1e-12);
  std::vector<double> ticks = MajorTicks(y);
  ASSERT_EQ(ticks.size(), 5u);
  EXPECT_EQ(ticks[0], 1);
  EXPECT_EQ(ticks[2], 100) << "the factor is exactly 10";
  EXPECT_EQ(ticks[4], 10000);
  // X keeps a decade that equals the limit; Y also one within 1 %.
  AxisScale x = MakeAxis(0.5, 50, 4, true, false);
  EXPECT_DOUBLE_EQ(x.min, 0.1);
  EXPECT_EQ(x.max, 100);
  EXPECT_EQ(x.intervals, 3);
  EXPECT_EQ(MakeAxis(1, 1005, 4, true, true).max, 1000);
  EXPECT_EQ(MakeAxis(1, 1005, 4, true, false).max, 10000);
  EXPECT_EQ(MakeAxis(0.995, 10, 4, true, true).min, 1);
}

TEST(GraphScale, LogarithmicAxesOverNothingPositiveStillMakeSense) {
  AxisScale a = MakeAxis(-5, 0, 4, true, true);
  EXPECT_GT(a.min, 0);
  EXPECT_GT(a.max, a.min);
  EXPECT_GE(a.intervals, 1);
  double off;
  EXPECT_FALSE(a.Offset(-5, off));
  EXPECT_FALSE(a.Offset(0, off));
  // Limits given the wrong way round give one decade above the lower one.
  AxisScale b = MakeAxis(1000, 10, 4, true, false);
  EXPECT_EQ(b.min, 1000);
  EXPECT_EQ(b.max, 10000);
  AxisScale c = MakeAxis(7, 7, 4, true, true);
  EXPECT_GT(c.span, 0);
}

TEST(GraphScale, LinearAxesKeepTheirLimitsAndTakeTheStep) {
  AxisScale a = MakeAxis(3, 17, 4, false, true);
  EXPECT_EQ(a.min, 3);
  EXPECT_EQ(a.max, 17);
  EXPECT_EQ(a.intervals, 4);
  std::vector<double> t = MajorTicks(a);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_DOUBLE_EQ(t[1], 6.5);
  EXPECT_DOUBLE_EQ(t[4], 17);
  EXPECT_EQ(MakeAxis(0, 10, 0, false, false).intervals, 1) << "a step of 0 counts as 1";
  // Equal limits: a step of 1 and no pixels per unit, without failing.
  AxisScale flat = MakeAxis(5, 5, 4, false, true);
  flat.MapTo(300, 200, true);
  EXPECT_EQ(flat.pixelsPerUnit, 0);
  EXPECT_EQ(MajorTicks(flat)[1], 6);
  int p1, p2;
  ASSERT_TRUE(flat.Pixel(5, p1));
  ASSERT_TRUE(flat.Pixel(1e6, p2));
  EXPECT_EQ(p1, 300);
  EXPECT_EQ(p2, 300);
}

TEST(GraphScale, MinorTicks) {
  AxisScale a = MakeAxis(0, 8, 4, false, false);
  EXPECT_TRUE(MinorTicks(a, 0).empty());
  EXPECT_TRUE(MinorTicks(a, 1).empty());
  std::vector<double> m = MinorTicks(a, 2);
  ASSERT_EQ(m.size(), 4u);
  EXPECT_DOUBLE_EQ(m[0], 1);
  EXPECT_DOUBLE_EQ(m[3], 7);
  AxisScale l = MakeAxis(1, 100, 4, true, true);
  std::vector<double> lm = MinorTicks(l, 0);
  ASSERT_EQ(lm.size(), 16u);  // 2..9 in each of two decades
  EXPECT_EQ(lm[0], 2);
  EXPECT_EQ(lm[15], 90);
}

TEST(GraphScale, PixelsMapBothWaysOnLinearAndLogarithmicAxes) {
  AxisScale x = MakeAxis(0, 100, 4, false, false);
  x.MapTo(100, 400, false);
  int p;
  ASSERT_TRUE(x.Pixel(25, p));
  EXPECT_EQ(p, 200);
  EXPECT_DOUBLE_EQ(x.ValueAt(300), 50);
  AxisScale y = MakeAxis(1, 1000, 3, true, true);
  y.MapTo(400, 300, true);
  ASSERT_TRUE(y.Pixel(10, p));
  EXPECT_EQ(p, 300);
  ASSERT_TRUE(y.Pixel(1000, p));
  EXPECT_EQ(p, 100);
  EXPECT_NEAR(y.ValueAt(200), 100, 1e-9);
  // Far-off and broken values stay sane integers or have no pixel.
  ASSERT_TRUE(x.Pixel(1e300, p));
  EXPECT_LE(p, 10000000);
  EXPECT_FALSE(x.Pixel(std::numeric_limits<double>::quiet_NaN(), p));
}

TEST(GraphScale, TypeProperties) {
  GraphTraits bar3d = TraitsOf(GraphType::Bar3D);
  EXPECT_TRUE(bar3d.bars && bar3d.threeD && bar3d.axes);
  EXPECT_FALSE(bar3d.category || bar3d.stacked);
  GraphTraits area = TraitsOf(GraphType::Area);
  EXPECT_TRUE(area.stacked && area.category);
  GraphTraits pie = TraitsOf(GraphType::Donut);
  EXPECT_FALSE(pie.axes);
  EXPECT_TRUE(pie.threeD);
  GraphTraits radar = TraitsOf(GraphType::Radar);
  EXPECT_TRUE(radar.polar && radar.numericX);
  EXPECT_TRUE(TraitsOf(GraphType::Contour).numericX);
  EXPECT_EQ(GraphTypeOf(200), GraphType::XY);
}

}  // namespace
}  // namespace tabulon
