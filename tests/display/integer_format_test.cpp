// Integers take a shortcut to their digits; every format must still show
// exactly what the C library's exact conversion gives for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/format.h"

namespace tabulon {
namespace {

std::string FixedExpected(double x, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f ", decimals, x);
  return buf;
}

// "%.dE" gives a two-digit exponent; ours has at least three.
std::string ScientificExpected(double x, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", decimals, x);
  std::string s(buf);
  std::size_t e = s.find('E');
  int exp = std::atoi(s.c_str() + e + 1);
  std::snprintf(buf, sizeof buf, "%c%03d ", exp < 0 ? '-' : '+', std::abs(exp));
  return s.substr(0, e + 1) + buf;
}

TEST(IntegerFormatting, MatchesExactConversionAtEveryDigitCount) {
  FormatSettings settings;
  std::vector<double> values = {1, 7, 9, 10, 99, 100, 32767, 32768, 65535, 2147483648.0,
                                123456789012345.0, 999999999999999.0, 100000000000000.0,
                                99999999999999.0, 999999999999998.0};
  // At most 15 digits: a display shows no more, so larger values are rounded.
  for (double p = 10; p < 1e15; p *= 10) {
    values.push_back(p - 1);
    values.push_back(p + 1);
  }
  for (double v : values) {
    for (double x : {v, -v}) {
      for (int d = 0; d <= 3; ++d) {
        EXPECT_EQ(FormatValue(60, static_cast<std::uint8_t>(d), x, settings), FixedExpected(x, d))
            << x << " fixed " << d;
        // Scientific rounds half away from zero; none of these values meets a
        // tie the C library would round the other way.
        EXPECT_EQ(FormatValue(60, static_cast<std::uint8_t>(16 + d), x, settings),
                  ScientificExpected(x, d))
            << x << " scientific " << d;
      }
    }
  }
}

}  // namespace
}  // namespace tabulon
