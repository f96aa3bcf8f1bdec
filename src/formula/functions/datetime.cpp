// Date and time functions, and the calendar arithmetic behind them.
#include "formula/functions/datetime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "formula/evaluator.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "model/session.h"
#include "model/text.h"

namespace tabulon {

namespace {

// First date number of the Gregorian calendar (15 October 1582).
constexpr double kGregorianStart = -115858;
// The same day as counted by the Julian formula before its correction.
constexpr double kGregorianStartJulianCount = -115848;
constexpr double kSerialLimit = 1e9;

struct DateParts {
  double year, month, day;
};

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

// Years 0-99 typed into date functions mean 1900-1999.
double FullYear(double y) { return (y >= 0 && y <= 99) ? y + 1900 : y; }

// The first three numbers of date or time text. Every character other than
// a digit or '-' ends a number; a piece that does not read as a whole
// number (such as "3-4") counts as 0.
struct ThreeNumbers {
  double n[3] = {0, 0, 0};
};
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

double TimeOfParts(double h, double m, double s) { return h / 24 + m / 1440 + s / 86400; }

// --- handlers -------------------------------------------------------

void Date(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double y = Num(e.FromTop(2)), m = Num(e.FromTop(1)), d = Num(e.FromTop(0));
  ResultNumber(e, 3, DateOfParts(y, m, d));
}

void DayMonthYear(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double t = Num(e.Top());
  if (std::fabs(t) > kSerialLimit) {
    e.Fail();
    return;
  }
  DateParts p = CalendarOf(t);
  double x = e.op() == 60 ? p.day : (e.op() == 61 ? p.month : p.year);
  ResultNumber(e, 1, x);
}

void Today(Evaluator& e) {
  using namespace std::chrono;
  system_clock::time_point now = system_clock::now();
  std::time_t secs = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&secs, &local);
  double ms = static_cast<double>(
      duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  double day = SerialOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  double time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000) / 86400;
  e.PushNumber(day + time);
}

void Time(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double h = Num(e.FromTop(2)), m = Num(e.FromTop(1)), s = Num(e.FromTop(0));
  ResultNumber(e, 3, TimeOfParts(h, m, s));
}

void HourMinuteSecond(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double t = Num(e.Top());
  if (std::fabs(t) > kSerialLimit) {
    e.Fail();
    return;
  }
  ClockTime c = TimeFromSerial(t);
  ResultNumber(e, 1, e.op() == 65 ? c.hour : (e.op() == 66 ? c.minute : c.second));
}

void DateVal(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  ResultNumber(e, 1, DateValueFromText(s, !e.session().settings().usDate));
}

void TimeVal(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  ThreeNumbers n = NumbersOf(s);
  if (n.n[0] < 12 && UpperCase(s).find('P') != std::string::npos) n.n[0] += 12;
  ResultNumber(e, 1, TimeOfParts(n.n[0], n.n[1], n.n[2]));
}

}  // namespace

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

void RegisterDateTimeFunctions(DispatchTable& t) {
  t[54] = Date;
  t[55] = Today;
  t[60] = DayMonthYear;
  t[61] = DayMonthYear;
  t[62] = DayMonthYear;
  t[64] = Time;
  t[65] = HourMinuteSecond;
  t[66] = HourMinuteSecond;
  t[67] = HourMinuteSecond;
  t[77] = DateVal;
  t[78] = TimeVal;
}

}  // namespace tabulon
