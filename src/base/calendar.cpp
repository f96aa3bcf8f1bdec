// The calendar: date numbers to and from calendar dates, and the reading
// of date and time text.
#include "base/calendar.h"

#include <cmath>
#include <string>

#include "base/limits.h"
#include "base/text.h"

namespace tabulon {

namespace {

// First date number of the Gregorian calendar (15 October 1582).
constexpr double kGregorianStart = -115858;
// The same day as counted by the Julian formula before its correction.
constexpr double kGregorianStartJulianCount = -115848;

// A piece of date text that does not read as a whole number (such as "3-4")
// counts as 0.
double PieceValue(const std::string& piece) {
  std::size_t i = 0;
  bool negative = false;
  if (i < piece.size() && piece[i] == '-') {
    negative = true;
    ++i;
  }
  if (i == piece.size()) return 0;
  double v = 0;
  for (; i < piece.size(); ++i) {
    if (!IsDigit(piece[i])) return 0;
    v = v * 10 + (piece[i] - '0');
  }
  return negative ? -v : v;
}

}  // namespace

// Day number to calendar date by the Julian-day method; doubles throughout
// so that no argument can overflow an integer.
DateParts CalendarOf(double t) {
  double j = std::trunc(t + 2415019);
  if (t >= kGregorianStart) {
    double alpha = std::floor((j - 1867216.25) / 36524.25);
    j = j + 1 + alpha - std::floor(alpha / 4);
  }
  double b = j + 1524;
  double c = std::trunc((b - 122.1) / 365.25);
  double d = std::trunc(365.25 * c);
  double e = std::trunc((b - d) / 30.6001);
  DateParts p;
  p.day = std::trunc(b - d - std::trunc(30.6001 * e));
  p.month = e > 13.5 ? e - 13 : e - 1;
  p.year = p.month < 3 ? c - 4715 : c - 4716;
  return p;
}

// Calendar date to day number. January and February count as months 13 and
// 14 of the previous year, which puts the leap day at the end of the year.
double SerialOf(double year, double month, double day) {
  double y = year, m = month;
  if (m < 3) {
    y -= 1;
    m += 12;
  }
  double s = day + std::floor(30.6001 * (m + 1)) + std::floor(365.25 * y) - 694024;
  if (s >= kGregorianStartJulianCount) {
    double c = std::floor(y / 100);
    s += std::floor(c / 4) - c + 2;
  }
  return s;
}

ThreeNumbers NumbersOf(std::string_view text) {
  ThreeNumbers r;
  int found = 0;
  std::string piece;
  std::string t(text.substr(0, kMaxText));
  t.push_back(' ');
  for (char c : t) {
    if (IsDigit(c) || c == '-') {
      piece.push_back(c);
      continue;
    }
    if (!piece.empty()) {
      r.n[found++] = PieceValue(piece);
      piece.clear();
      if (found == 3) break;
    }
  }
  return r;
}

double DateOfParts(double y, double m, double d) {
  return SerialOf(FullYear(std::round(y)), std::round(m), std::round(d));
}

CivilDate DateFromSerial(double serial) {
  if (!(serial >= -kSerialLimit)) serial = -kSerialLimit;  // also catches NaN
  if (serial > kSerialLimit) serial = kSerialLimit;
  DateParts p = CalendarOf(serial);
  return {static_cast<int>(p.year), static_cast<int>(p.month), static_cast<int>(p.day)};
}

double SerialFromDate(int year, int month, int day) { return SerialOf(year, month, day); }

double DateValueFromText(std::string_view text, bool dayFirst) {
  ThreeNumbers n = NumbersOf(text);
  if (dayFirst) return DateOfParts(n.n[2], n.n[1], n.n[0]);
  return DateOfParts(n.n[2], n.n[0], n.n[1]);
}

ClockTime TimeFromSerial(double serial) {
  double f = 24 * (serial - std::floor(serial));
  double hour = std::trunc(f);
  double g = (f - hour + 0.0000694) * 60;
  double minute = std::trunc(g);
  double second = std::trunc((g - minute) * 60);
  return {static_cast<int>(hour), static_cast<int>(minute), static_cast<int>(second)};
}

}  // namespace tabulon
