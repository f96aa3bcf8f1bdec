// Date and time numbers: the calendar conversion shared by the date
// functions, cell entry and the value formatter, and the reading of date text.
//
// A date number counts days from 30 December 1899 (day 0); the fraction is
// the time of day. Days from 15 October 1582 (day -115858) on are in the
// Gregorian calendar, earlier days in the Julian calendar.
#pragma once

#include <string_view>

namespace tabulon {

struct CivilDate {
  int year, month, day;
};

// The calendar date of a date number (its time of day is ignored). Date
// numbers beyond +-1e9 days are clamped to that range.
CivilDate DateFromSerial(double serial);

// The date number of a calendar date. The year is taken as given (no
// two-digit-year rule); month and day are not range-checked, so day 0 is the
// last day of the previous month and month 13 is January of the next year.
double SerialFromDate(int year, int month, int day);

// The date number of date text such as "10/28/1995": month before day, or
// day before month when dayFirst is set. The text is cut into numbers at
// every character other than a digit or '-'; missing numbers count as 0 and
// years 0-99 mean 1900-1999.
double DateValueFromText(std::string_view text, bool dayFirst);

// Hour, minute and second of a date number's time of day. The minute gets an
// allowance of 0.0000694 hour so that times typed as whole minutes do not
// show one minute less.
struct ClockTime {
  int hour, minute, second;
};
ClockTime TimeFromSerial(double serial);

// Date numbers beyond this many days either side of day 0 are out of range.
inline constexpr double kSerialLimit = 1e9;

// Calendar parts in doubles, for the date functions, which must not overflow
// on any argument.
struct DateParts {
  double year, month, day;
};
DateParts CalendarOf(double serial);
double SerialOf(double year, double month, double day);
// Years 0-99 typed into date functions mean 1900-1999.
inline double FullYear(double y) { return (y >= 0 && y <= 99) ? y + 1900 : y; }
// The date number of year, month and day as typed into the date functions
// (rounded, with the two-digit-year rule).
double DateOfParts(double y, double m, double d);
inline double TimeOfParts(double h, double m, double s) { return h / 24 + m / 1440 + s / 86400; }

// The first three numbers of date or time text. Every character other than
// a digit or '-' ends a number; missing numbers are 0.
struct ThreeNumbers {
  double n[3] = {0, 0, 0};
};
ThreeNumbers NumbersOf(std::string_view text);

}  // namespace tabulon
