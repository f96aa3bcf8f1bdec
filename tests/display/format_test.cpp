#include "display/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "edit/cell_entry.h"

namespace tabulon {
namespace {

// Format bytes by group.
constexpr std::uint8_t F(int d) { return static_cast<std::uint8_t>(d); }
constexpr std::uint8_t S(int d) { return static_cast<std::uint8_t>(16 + d); }
constexpr std::uint8_t C(int d) { return static_cast<std::uint8_t>(32 + d); }
constexpr std::uint8_t Fr(int n) { return static_cast<std::uint8_t>(40 + n); }
constexpr std::uint8_t P(int d) { return static_cast<std::uint8_t>(48 + d); }
constexpr std::uint8_t M(int d) { return static_cast<std::uint8_t>(64 + d); }
constexpr std::uint8_t E(int d) { return static_cast<std::uint8_t>(80 + d); }
constexpr std::uint8_t kBar = 112, kGeneral = 113, kD1 = 114, kD2 = 115, kD3 = 116, kT1 = 119,
                       kT2 = 120, kD4 = 121, kD5 = 122, kT3 = 123, kT4 = 124;

std::string Fmt(std::uint8_t format, double x, int width = 20, FormatSettings s = {}) {
  return FormatValue(width, format, x, s);
}

TEST(FormatValue, FixedRoundsAndKeepsTheSign) {
  EXPECT_EQ(Fmt(F(2), 3.14159), "3.14 ");
  EXPECT_EQ(Fmt(F(2), -2), "-2.00 ");
  EXPECT_EQ(Fmt(F(2), 1234.5), "1234.50 ");
  EXPECT_EQ(Fmt(F(2), -0.25), "-0.25 ");
  EXPECT_EQ(Fmt(F(0), 0), "0 ");
  EXPECT_EQ(Fmt(F(3), 0.0005), "0.001 ");
  EXPECT_EQ(Fmt(F(3), 0.0004), "0.000 ");
  EXPECT_EQ(Fmt(F(2), 9.995), "10.00 ");
  EXPECT_EQ(Fmt(F(15), 1.0 / 3), "0.333333333333333 ");
  EXPECT_EQ(Fmt(F(2), 1e20), "100000000000000000000.00 ");
  // Bit 7 (the lock) does not change the format.
  EXPECT_EQ(Fmt(0x80 | F(1), 2.25), "2.3 ");
}

TEST(FormatValue, HalfwayCasesRoundAwayFromZero) {
  EXPECT_EQ(Fmt(F(0), 2.5), "3 ");
  EXPECT_EQ(Fmt(F(0), -2.5), "-3 ");
  EXPECT_EQ(Fmt(F(2), 0.125), "0.13 ");
  // 1.005 is stored a little below 1.005; judged on 15 digits it is a tie.
  EXPECT_EQ(Fmt(F(2), 1.005), "1.01 ");
  EXPECT_EQ(Fmt(M(1), 0.25), "0.3 ");
  EXPECT_EQ(Fmt(P(0), 0.125), "13%");
  EXPECT_EQ(Fmt(C(0), -0.5), "($1)");
}

TEST(FormatValue, DecimalCharacterApplies) {
  FormatSettings s;
  s.decimalChar = ',';
  s.thousandsChar = '.';
  EXPECT_EQ(Fmt(F(2), 1234.5, 20, s), "1234,50 ");
  EXPECT_EQ(Fmt(S(2), 12345, 20, s), "1,23E+004 ");
  EXPECT_EQ(Fmt(M(2), 1234567.5, 20, s), "1.234.567,50 ");
  EXPECT_EQ(Fmt(P(1), 0.125, 20, s), "12,5%");
  EXPECT_EQ(Fmt(kGeneral, 2.5, 20, s), "2,5 ");
  EXPECT_EQ(Fmt(kGeneral, 3.14159265, 5, s), "3,14 ");
}

TEST(FormatValue, Scientific) {
  EXPECT_EQ(Fmt(S(2), 12345), "1.23E+004 ");
  EXPECT_EQ(Fmt(S(0), 12345), "1E+004 ");
  EXPECT_EQ(Fmt(S(1), -0.000123), "-1.2E-004 ");
  EXPECT_EQ(Fmt(S(2), 0), "0.00E+000 ");
  EXPECT_EQ(Fmt(S(1), 9.99), "1.0E+001 ");
  EXPECT_EQ(Fmt(S(2), 1e100), "1.00E+100 ");
  EXPECT_EQ(Fmt(S(2), 1.5e-300), "1.50E-300 ");
}

TEST(FormatValue, PercentEndsInPercentSign) {
  EXPECT_EQ(Fmt(P(1), 0.125), "12.5%");
  EXPECT_EQ(Fmt(P(0), 0.256), "26%");
  EXPECT_EQ(Fmt(P(0), -0.5), "-50%");
  // Bit 3 is ignored for the decimals.
  EXPECT_EQ(Fmt(P(8 + 1), 0.125), "12.5%");
}

TEST(FormatValue, PercentOfAHugeValueShowsItsDigits) {
  // Too large to multiply by 100, but finite: the digits move two places.
  std::string p = Fmt(P(0), 1.7e308);
  ASSERT_EQ(p.size(), 240u);
  EXPECT_EQ(p.substr(0, 3), "170");
  EXPECT_EQ(p.find_first_not_of('0', 2), std::string::npos);
  EXPECT_EQ(p, Fmt(F(0), 1.7e308)) << "cut at 240 characters, like Fixed";
  EXPECT_EQ(Fmt(P(2), -1.7e308).substr(0, 4), "-170");
  EXPECT_EQ(Fmt(P(1), 1e200), "1" + std::string(202, '0') + ".0%");
  // Wherever the product exists, Percent shows the Fixed digits of x × 100.
  std::mt19937 rng(7);
  std::uniform_int_distribution<long long> digits(-99999999999LL, 99999999999LL);
  for (int i = 0; i < 2000; ++i) {
    double x = static_cast<double>(digits(rng)) / 1e6;
    for (int d : {0, 2, 7}) {
      std::string fixed = Fmt(F(d), x * 100);
      fixed.back() = '%';
      ASSERT_EQ(Fmt(P(d), x), fixed) << x << " " << d;
    }
  }
}

TEST(FormatValue, CommaGroupsThousandsAndBracketsNegatives) {
  EXPECT_EQ(Fmt(M(2), -1234.5), "(1,234.50)");
  EXPECT_EQ(Fmt(M(2), 999.5), "999.50 ");
  EXPECT_EQ(Fmt(M(2), 1234567.5), "1,234,567.50 ");
  EXPECT_EQ(Fmt(M(0), 1234567), "1,234,567 ");
  EXPECT_EQ(Fmt(M(0), -100), "(100)");
  EXPECT_EQ(Fmt(M(2), 0), "0.00 ");
  EXPECT_EQ(Fmt(M(0), 123456789012.0), "123,456,789,012 ");
  // Rounding up to a fourth integer digit groups it too.
  EXPECT_EQ(Fmt(M(2), 999.999), "1,000.00 ");
  // The "A" form: comma with bit 3 set takes its decimals from bits 0-2.
  EXPECT_EQ(Fmt(M(8 + 0), 1234.5), "1,235 ");
  FormatSettings none;
  none.thousandsChar = '\0';
  EXPECT_EQ(Fmt(M(0), 1234567, 20, none), "1234567 ");
}

TEST(FormatValue, CurrencyPlacesPrefixAndSuffix) {
  EXPECT_EQ(Fmt(C(2), -5), "($5.00)");
  EXPECT_EQ(Fmt(C(2), 1234.5), "$1,234.50 ");
  FormatSettings s;
  s.currencyPrefix = "";
  s.currencySuffix = "DM";
  EXPECT_EQ(Fmt(C(2), 5, 20, s), "5.00DM ");
  EXPECT_EQ(Fmt(C(2), -1234, 20, s), "(1,234.00DM)");
  s.currencyPrefix = "SF";
  s.currencySuffix = "";
  EXPECT_EQ(Fmt(C(0), -5, 20, s), "(SF5)");
}

TEST(FormatValue, Fractions) {
  EXPECT_EQ(Fmt(Fr(2), 1.75), "1-3/4 ");
  EXPECT_EQ(Fmt(Fr(3), 0.375), "3/8 ");
  EXPECT_EQ(Fmt(Fr(2), 2.99), "3 ");
  EXPECT_EQ(Fmt(Fr(3), -0.5), "?-?/?? ");
  EXPECT_EQ(Fmt(Fr(3), 4), "4 ");
  EXPECT_EQ(Fmt(Fr(3), -2), "-2 ");
  EXPECT_EQ(Fmt(Fr(3), 2.5), "2-1/2 ");  // 4/8 reduced
  EXPECT_EQ(Fmt(Fr(7), 0.1), "13/128 ");
  EXPECT_EQ(Fmt(Fr(0), 0.5), "1 ");  // rounds up to a whole
  EXPECT_EQ(Fmt(Fr(3), 1.0625), "1-1/8 ");  // a half eighth rounds up
  EXPECT_EQ(Fmt(Fr(2), 1.1), "1 ");         // rounds down to the whole
}

TEST(FormatValue, EngineeringPrefixes) {
  EXPECT_EQ(Fmt(E(2), 1234), "1.23k ");
  EXPECT_EQ(Fmt(E(2), 0.0005), "500.00u ");
  // The units prefix is a blank: digits line up with prefixed values.
  EXPECT_EQ(Fmt(E(2), 0.5), "0.50  ");
  EXPECT_EQ(Fmt(E(2), 0), "0.00  ");
  EXPECT_EQ(Fmt(E(1), 0.001), "1.0m ");
  EXPECT_EQ(Fmt(E(2), -2500), "-2.50k ");
  EXPECT_EQ(Fmt(E(0), 999e12), "999T ");
  EXPECT_EQ(Fmt(E(2), 1e-18), "1.00a ");
  EXPECT_EQ(Fmt(E(0), 4.7e6), "5M ");
  // Outside T..a: mantissa with ten decimals and exponent.
  EXPECT_EQ(Fmt(E(2), 1e15), "1.0000000000E+015 ");
  EXPECT_EQ(Fmt(E(2), -2.5e-20), "-2.5000000000E-020 ");
  // The prefixed text is cut at 15 characters.
  EXPECT_EQ(Fmt(E(15), 999), "999.00000000000 ");
}

TEST(FormatValue, GeneralCutsDecimalsToTheColumn) {
  EXPECT_EQ(Fmt(kGeneral, 3.14159265, 5), "3.14 ");
  EXPECT_EQ(Fmt(kGeneral, 123456789, 5), "1.23456789E+08 ");
  EXPECT_EQ(Fmt(kGeneral, -3.14159, 5), "-3.1 ");
  EXPECT_EQ(Fmt(kGeneral, 12.345, 5), "12.3 ");
  // The decimal character must come before the cut: no "123." texts.
  EXPECT_EQ(Fmt(kGeneral, 123.456, 5), "123.456 ");
  EXPECT_EQ(Fmt(kGeneral, 123456.5, 5), "123456.5 ");
  EXPECT_EQ(Fmt(kGeneral, 0.1, 20), "0.1 ");
  EXPECT_EQ(Fmt(kGeneral, 2.0 / 3, 20), "0.666666666666667 ");
  // Every general sub-format, and the general group with any parameter.
  for (std::uint8_t f : {113, 117, 125, 126, 127, 96, 100, 111})
    EXPECT_EQ(Fmt(f, 2.5, 20), "2.5 ") << int(f);
}

TEST(FormatValue, HiddenAndHideZeros) {
  EXPECT_EQ(Fmt(118, 123.4), "");
  FormatSettings s;
  s.hideZeros = true;
  EXPECT_EQ(Fmt(F(2), 0, 20, s), "");
  EXPECT_EQ(Fmt(M(2), 0, 20, s), "");
  EXPECT_EQ(Fmt(F(2), 5, 20, s), "5.00 ");
  EXPECT_EQ(Fmt(F(2), 0), "0.00 ");
}

TEST(FormatValue, Bar) {
  EXPECT_EQ(Fmt(kBar, 3.4), "+++ ");
  EXPECT_EQ(Fmt(kBar, -2.6), "--- ");
  EXPECT_EQ(Fmt(kBar, 0.2), ". ");
  EXPECT_EQ(Fmt(kBar, 239), std::string(239, '+') + " ");
  EXPECT_EQ(Fmt(kBar, 240), "");
  EXPECT_EQ(Fmt(kBar, -1000), "");
  EXPECT_EQ(Fmt(kBar, 1e10), "+ ");
  EXPECT_EQ(Fmt(kBar, -1e10), "+ ");
}

TEST(FormatValue, Dates) {
  EXPECT_EQ(Fmt(kD1, 35000), "28-Oct-1995 ");
  EXPECT_EQ(Fmt(kD2, 35000), "28-Oct ");
  EXPECT_EQ(Fmt(kD3, 35000), "Oct 1995 ");
  EXPECT_EQ(Fmt(kD4, 35000), "10/28/1995 ");
  EXPECT_EQ(Fmt(kD5, 35000), "28/10/1995 ");
  EXPECT_EQ(Fmt(kD1, 35000.75), "28-Oct-1995 ");
  EXPECT_EQ(Fmt(kD1, 0), "30-Dec-1899 ");
  EXPECT_EQ(Fmt(kD1, 2), "01-Jan-1900 ");
  EXPECT_EQ(Fmt(kD1, 60), "28-Feb-1900 ");
  EXPECT_EQ(Fmt(kD1, 61), "01-Mar-1900 ");  // 1900 is no leap year
  EXPECT_EQ(Fmt(kD1, 36585), "29-Feb-2000 ");
  EXPECT_EQ(Fmt(kD1, 2958465), "31-Dec-9999 ");
  // Times before midnight of day 0 belong to the day before.
  EXPECT_EQ(Fmt(kD1, -0.25), "29-Dec-1899 ");
}

TEST(FormatValue, DatesSwitchCalendarsInOctober1582) {
  EXPECT_EQ(Fmt(kD1, -115858), "15-Oct-1582 ");
  EXPECT_EQ(Fmt(kD1, -115859), "04-Oct-1582 ");
  // 1500 is a leap year in the Julian calendar.
  CalendarDate d = DateOfDayNumber(-146027);  // 29 Feb 1500, Julian
  EXPECT_EQ(d.year, 1500);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 29);
  // Julian day 0: 1 January 4713 BC, written as the astronomical year.
  d = DateOfDayNumber(-2415019);
  EXPECT_EQ(d.year, -4712);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 1);
}

TEST(FormatValue, TwoDigitYearsOnlyForThe1900s) {
  FormatSettings s;
  s.twoDigitYears = true;
  EXPECT_EQ(Fmt(kD1, 35000, 20, s), "28-Oct-95 ");
  EXPECT_EQ(Fmt(kD4, 35000, 20, s), "10/28/95 ");
  EXPECT_EQ(Fmt(kD3, 1862, 20, s), "Feb 05 ");        // 5 Feb 1905
  EXPECT_EQ(Fmt(kD1, 38353, 20, s), "01-Jan-2005 ");  // outside the 1900s
  EXPECT_EQ(Fmt(kD1, -18004, 20, s), "14-Sep-1850 ");
}

TEST(FormatValue, DatesOutOfReachShowAsNumbers) {
  EXPECT_EQ(Fmt(kD1, 1e10), "1E+10 ");
  EXPECT_EQ(Fmt(kD4, -1e12), "-1E+12 ");
}

TEST(FormatValue, Times) {
  EXPECT_EQ(Fmt(kT2, 0.5), "12:00 pm");
  EXPECT_EQ(Fmt(kT2, 0), "0:00 am");
  EXPECT_EQ(Fmt(kT4, 0.75), "18:00 ");
  EXPECT_EQ(Fmt(kT1, 35000.75), "6:00:00 pm");
  EXPECT_EQ(Fmt(kT3, 35000.75), "18:00:00 ");
  EXPECT_EQ(Fmt(kT1, (13 * 3600 + 45 * 60 + 30) / 86400.0), "1:45:30 pm");
  EXPECT_EQ(Fmt(kT3, (9 * 3600 + 5 * 60 + 7) / 86400.0), "09:05:07 ");
  EXPECT_EQ(Fmt(kT1, 0.5 + 1 / 86400.0), "12:00:01 pm");
  EXPECT_EQ(Fmt(kT1, (11 * 3600 + 59 * 60 + 59) / 86400.0), "11:59:59 am");
  // Exact minutes never show as the minute before.
  for (int minute = 0; minute < 24 * 60; minute += 7) {
    char want[16];
    std::snprintf(want, sizeof want, "%02d:%02d ", minute / 60, minute % 60);
    EXPECT_EQ(Fmt(kT4, 40000 + minute / 1440.0), want);
  }
  // The last instant of a day does not show as minute 60.
  EXPECT_EQ(Fmt(kT4, 0.99999999), "00:00 ");
  EXPECT_EQ(Fmt(kT4, -0.25), "18:00 ");
}

TEST(FormatValue, ResultsAreBoundedAndNeverStartWithABlank) {
  const double values[] = {0,     -0.0,   1,      -1,     0.5,    1e-300, -1e-300,
                           1e300, -1e300, 1e308,  35000,  -35000, 2147483648.0,
                           3.0e9, 1e15,   -1e-20, 123.456, 4.9e-324};
  for (int f = 0; f < 256; ++f) {
    for (double x : values) {
      for (int width : {0, 1, 5, 20}) {
        std::string t = Fmt(static_cast<std::uint8_t>(f), x, width);
        EXPECT_LE(t.size(), 240u) << f << " " << x;
        EXPECT_TRUE(t.empty() || t[0] != ' ') << f << " " << x;
      }
    }
  }
  EXPECT_EQ(Fmt(F(15), 1e300).size(), 240u);
  EXPECT_EQ(Fmt(F(2), std::nan("")), "ERR");
}

TEST(InputForm, ExamplesAndExponentForm) {
  EXPECT_EQ(InputForm(0.1), "0.1");
  EXPECT_EQ(InputForm(1e7), "1E+07");
  EXPECT_EQ(InputForm(-1.25e-9), "-1.25E-09");
  EXPECT_EQ(InputForm(15000000), "1.5E+07");
  EXPECT_EQ(InputForm(2.5e-7), "2.5E-07");
  EXPECT_EQ(InputForm(1e100), "1E+100");
  EXPECT_EQ(InputForm(1e6), "1000000");
  EXPECT_EQ(InputForm(-123456.789), "-123456.789");
  EXPECT_EQ(InputForm(0), "0");
  EXPECT_EQ(InputForm(-0.0), "0");
  EXPECT_EQ(InputForm(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(InputForm(12345678901234.0), "1.2345678901E+13");
  EXPECT_EQ(InputForm(99999999999.9), "1E+11");
  // Small magnitudes stay in fixed notation.
  EXPECT_EQ(InputForm(0.000001), "0.000001");
  EXPECT_EQ(InputForm(0.0000012345), "0.0000012345");
  EXPECT_EQ(InputForm(1.5, ','), "1,5");
  EXPECT_EQ(InputForm(1.5e7, ','), "1,5E+07");
}

TEST(InputForm, ReadsBackThroughTheNumberReader) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> exponent(-8, 8), mantissa(1, 10);
  for (int i = 0; i < 3000; ++i) {
    double x = mantissa(rng) * std::pow(10.0, std::floor(exponent(rng)));
    if (i % 2) x = -x;
    std::string t = InputForm(x);
    ParsedNumber n = ParseNumber(t, '.');
    ASSERT_EQ(n.errorPosition, 0) << t;
    double m = std::fabs(x);
    if (m >= 1e-6 && m <= 1e6) {
      // Exactly the 15-significant-digit value.
      char want[40];
      std::snprintf(want, sizeof want, "%.15g", x);
      EXPECT_EQ(n.value, std::strtod(want, nullptr)) << t;
    } else {
      EXPECT_NEAR(n.value / x, 1.0, 1e-10) << t;
    }
  }
}

TEST(FormatShortName, GroupsAndSpecialNames) {
  EXPECT_EQ(FormatShortName(F(2), false), "F2");
  EXPECT_EQ(FormatShortName(S(3), false), "S3");
  EXPECT_EQ(FormatShortName(C(2), false), "C2");
  EXPECT_EQ(FormatShortName(Fr(3), false), "Fr3");
  EXPECT_EQ(FormatShortName(P(1), false), "%1");
  EXPECT_EQ(FormatShortName(M(2), false), ",2");
  EXPECT_EQ(FormatShortName(E(4), false), "E4");
  EXPECT_EQ(FormatShortName(98, false), "G2");
  // Bit 3 set outside currency/fraction and special: no name.
  EXPECT_EQ(FormatShortName(F(12), false), "");
  EXPECT_EQ(FormatShortName(M(9), false), "");
  const char* special[] = {"+", "G", "D1", "D2", "D3", "T", "H", "T1",
                           "T2", "D4", "D5", "T3", "T4", "", "Lb", ""};
  for (int sub = 0; sub < 16; ++sub)
    EXPECT_EQ(FormatShortName(static_cast<std::uint8_t>(112 + sub), false), special[sub]) << sub;
}

TEST(FormatShortName, ProtectionMarksAndCut) {
  EXPECT_EQ(FormatShortName(0x80 | F(2), true), "Pr F2");
  EXPECT_EQ(FormatShortName(F(2), true), "Un F2");
  EXPECT_EQ(FormatShortName(0x80 | F(2), false), "F2");
  EXPECT_EQ(FormatShortName(Fr(7), true), "Un Fr");
  EXPECT_EQ(FormatShortName(0x80 | kD1, true), "Pr D1");
  EXPECT_EQ(FormatShortName(0x80 | F(12), true), "Pr ");
}

TEST(ParseFormatCode, Letters) {
  EXPECT_EQ(ParseFormatCode("F2"), 2);
  EXPECT_EQ(ParseFormatCode("f2"), 2);
  EXPECT_EQ(ParseFormatCode("F"), 0);
  EXPECT_EQ(ParseFormatCode("F12"), 12);
  EXPECT_EQ(ParseFormatCode("F123"), 12);  // two digits at most
  EXPECT_EQ(ParseFormatCode("F2x"), 2);
  EXPECT_EQ(ParseFormatCode("S2"), 18);
  EXPECT_EQ(ParseFormatCode("E2"), 82);
  EXPECT_EQ(ParseFormatCode("A2"), 74);
  EXPECT_EQ(ParseFormatCode("C2"), 34);
  EXPECT_EQ(ParseFormatCode("C11"), 43);  // fraction, n = 3
  EXPECT_EQ(ParseFormatCode("M2"), 66);
  EXPECT_EQ(ParseFormatCode("G"), 113);
  EXPECT_EQ(ParseFormatCode("+"), 112);
  EXPECT_EQ(ParseFormatCode("P2"), 50);
  EXPECT_EQ(ParseFormatCode("H"), 118);
  EXPECT_EQ(ParseFormatCode("X"), 117);
  EXPECT_EQ(ParseFormatCode("R"), 127);
  EXPECT_EQ(ParseFormatCode("L"), 126);
  EXPECT_EQ(ParseFormatCode("Q2"), 127);
  EXPECT_EQ(ParseFormatCode(""), 127);
}

TEST(ParseFormatCode, DatesAndTimesContinueTheirSequences) {
  EXPECT_EQ(ParseFormatCode("D0"), 114);
  EXPECT_EQ(ParseFormatCode("D1"), 115);
  EXPECT_EQ(ParseFormatCode("D2"), 116);
  EXPECT_EQ(ParseFormatCode("D3"), 121);
  EXPECT_EQ(ParseFormatCode("D4"), 122);
  EXPECT_EQ(ParseFormatCode("D9"), 122);
  EXPECT_EQ(ParseFormatCode("T"), 117);
  EXPECT_EQ(ParseFormatCode("t"), 117);
  EXPECT_EQ(ParseFormatCode("T0"), 119);
  EXPECT_EQ(ParseFormatCode("T1"), 120);
  EXPECT_EQ(ParseFormatCode("T2"), 123);
  EXPECT_EQ(ParseFormatCode("T3"), 124);
  EXPECT_EQ(ParseFormatCode("T9"), 124);
}

TEST(ParseFormatCode, LargeParametersStayInTheirGroup) {
  EXPECT_EQ(ParseFormatCode("F20"), 15);
  EXPECT_EQ(ParseFormatCode("S99"), 31);
  EXPECT_EQ(ParseFormatCode("P9"), 55);
  EXPECT_EQ(ParseFormatCode("M8"), 71);
  EXPECT_EQ(ParseFormatCode("A9"), 79);
  EXPECT_EQ(ParseFormatCode("C99"), 47);
}

TEST(ParseFormatCode, SpeedFormatEntriesNameTheirFormats) {
  struct Entry {
    const char* code;
    const char* shortName;
  };
  const Entry entries[] = {{"F2", "F2"}, {"S2", "S2"}, {"M2", ",2"}, {"G", "G"},
                           {"P2", "%2"}, {"E2", "E2"}, {"C2", "C2"}, {"D0", "D1"},
                           {"X", "T"}};
  for (const Entry& e : entries)
    EXPECT_EQ(FormatShortName(ParseFormatCode(e.code), false), e.shortName) << e.code;
}

}  // namespace
}  // namespace tabulon
