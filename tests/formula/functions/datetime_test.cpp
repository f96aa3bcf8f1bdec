// Date and time functions. Expected date numbers come from day counts since
// 30 December 1899: for Gregorian dates the proleptic Gregorian calendar
// (Python's datetime.date subtraction, and Excel/LibreOffice serials for
// dates after 1 March 1900), for Julian dates the Julian Day Numbers of the
// standard Julian-calendar table (JDN - 2415019).
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "base/calendar.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(DateFunctions, BuildsGregorianDates) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@DATE(98,12,31)"), 36160);   // 31 Dec 1998
  EXPECT_EQ(s.EvalNumber("@DATE(1900,3,1)"), 61);      // 1900 is no leap year
  EXPECT_EQ(s.EvalNumber("@DATE(1900,2,28)"), 60);
  EXPECT_EQ(s.EvalNumber("@DATE(1900,1,1)"), 2);
  EXPECT_EQ(s.EvalNumber("@DATE(2000,1,1)"), 36526);
  EXPECT_EQ(s.EvalNumber("@DATE(1995,10,28)"), 35000);
  EXPECT_EQ(s.EvalNumber("@DATE(2024,2,29)"), 45351);
  EXPECT_EQ(s.EvalNumber("@DATE(2100,3,1)"), 73110);   // 2100 is no leap year
  EXPECT_EQ(s.EvalNumber("@DATE(1600,2,29)"), -109512);  // 1600 is one
  EXPECT_EQ(s.EvalNumber("@DATE(1800,1,1)"), -36522);
}

TEST(DateFunctions, MonthAndDayAreNotRangeChecked) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@DATE(1998,2,30)"), s.EvalNumber("@DATE(1998,3,2)"));
  EXPECT_EQ(s.EvalNumber("@DATE(1998,3,0)"), s.EvalNumber("@DATE(1998,2,28)"));
  EXPECT_EQ(s.EvalNumber("@DATE(1998,13,1)"), s.EvalNumber("@DATE(1999,1,1)"));
  EXPECT_EQ(s.EvalNumber("@DATE(1998,0,1)"), s.EvalNumber("@DATE(1997,12,1)"));
}

TEST(DateFunctions, CalendarSwitchesToJulianBefore15October1582) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@DATE(1582,10,15)"), -115858);
  EXPECT_EQ(s.EvalNumber("@DATE(1582,10,4)"), -115859);  // the day before, Julian
  EXPECT_EQ(s.EvalNumber("@DATE(1500,3,1)"), -146026);
  EXPECT_EQ(s.EvalNumber("@DATE(1000,2,29)"), -328652);  // Julian leap day of 1000
  EXPECT_EQ(s.EvalNumber("@DATE(1000,1,1)"), -328711);
  EXPECT_EQ(s.EvalNumber("@DATE(1,1,1)"), 367);  // two-digit year: 1 January 1901
}

TEST(DateFunctions, SplitsDateNumbersIntoDayMonthYear) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@YEAR(36526)"), "2000");
  EXPECT_EQ(s.Eval("@MONTH(61)"), "3");
  EXPECT_EQ(s.Eval("@DAY(0)"), "30");
  EXPECT_EQ(s.Eval("@MONTH(0)"), "12");
  EXPECT_EQ(s.Eval("@YEAR(0)"), "1899");
  // Negative serials and both sides of the switch.
  EXPECT_EQ(s.Eval("@DAY(-1)"), "29");
  EXPECT_EQ(s.Eval("@YEAR(-36522)&\"-\"&@MONTH(-36522)&\"-\"&@DAY(-36522)"), "1800-1-1");
  EXPECT_EQ(s.Eval("@YEAR(-115858)&\"-\"&@MONTH(-115858)&\"-\"&@DAY(-115858)"), "1582-10-15");
  EXPECT_EQ(s.Eval("@YEAR(-115859)&\"-\"&@MONTH(-115859)&\"-\"&@DAY(-115859)"), "1582-10-4");
  EXPECT_EQ(s.Eval("@YEAR(-328652)&\"-\"&@MONTH(-328652)&\"-\"&@DAY(-328652)"), "1000-2-29");
  // The time of day does not change the date.
  EXPECT_EQ(s.Eval("@DAY(35000.99)"), "28");
  EXPECT_EQ(s.Eval("@DAY(1E300)"), "ERR");
}

TEST(DateFunctions, ExportedConversionsRoundTripEveryDayAcrossTheSwitch) {
  // Each day number maps to a date whose number is the day number again, and
  // consecutive days are consecutive calendar days.
  CivilDate prev = DateFromSerial(-120001);
  for (double t = -120000; t <= -110000; ++t) {
    CivilDate d = DateFromSerial(t);
    ASSERT_EQ(SerialFromDate(d.year, d.month, d.day), t) << t;
    if (t != -115858) {
      ASSERT_TRUE(d.day == prev.day + 1 || d.day == 1) << t;
    }
    prev = d;
  }
  CivilDate d = DateFromSerial(-693595);
  EXPECT_EQ(d.year, 1);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(SerialFromDate(2000, 1, 1), 36526);
  EXPECT_EQ(SerialFromDate(50, 1, 1), -675698);  // Julian 1 Jan 50: no two-digit year rule
}

TEST(DateFunctions, DateText) {
  TestSheet s;
  EXPECT_EQ(s.EvalNumber("@DATEVAL(\"12/25/98\")"), 36154);
  EXPECT_EQ(s.EvalNumber("@DATEVAL(\"12/25/1998\")"), 36154);
  EXPECT_EQ(s.EvalNumber("@DATEVAL(\"12.25.98\")"), 36154);  // any separator
  s.session.settings().usDate = false;
  EXPECT_EQ(s.EvalNumber("@DATEVAL(\"25/12/98\")"), 36154);
  // Missing numbers are 0: day 0 of month 0 of 1900.
  EXPECT_EQ(s.EvalNumber("@DATEVAL(\"\")"), s.EvalNumber("@DATE(1900,0,0)"));
  EXPECT_EQ(DateValueFromText("10/28/1995", false), 35000);
  EXPECT_EQ(DateValueFromText("28/10/1995", true), 35000);
  EXPECT_EQ(DateValueFromText("1/1/2000", false), 36526);
}

TEST(DateFunctions, DateTextTypedIntoDateFormattedCells) {
  TestSheet s;
  s.cells().GetOrCreateCell(0, 0)->format = 121;  // MM/DD/YYYY
  s.cells().GetOrCreateCell(1, 0)->format = 122;  // DD/MM/YYYY
  ASSERT_TRUE(s.Enter("A1", "10/28/1995"));
  ASSERT_TRUE(s.Enter("A2", "28/10/1995"));
  EXPECT_EQ(s.Number("A1"), 35000);
  EXPECT_EQ(s.Number("A2"), 35000);
}

TEST(TimeFunctions, BuildsAndSplitsTimes) {
  TestSheet s;
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIME(18,0,0)"), 0.75);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIME(0,0,1)"), 1.0 / 86400);
  EXPECT_EQ(s.Eval("@HOUR(0.75)"), "18");
  EXPECT_EQ(s.Eval("@MINUTE(@TIME(10,30,0))"), "30");
  EXPECT_EQ(s.Eval("@SECOND(@TIME(10,30,45))"), "45");
  EXPECT_EQ(s.Eval("@SECOND(@TIME(23,59,59))"), "59");
  // Whole minutes entered as fractions are not shown one minute early.
  for (int m = 0; m < 60; ++m) {
    std::string f = "@MINUTE(@TIME(7," + std::to_string(m) + ",0))";
    ASSERT_EQ(s.Eval(f), std::to_string(m));
  }
  // The time of day of a date number is its fraction, also before day 0:
  // -0.25 is 18:00 on 29 December 1899.
  EXPECT_EQ(s.Eval("@HOUR(35000.5)"), "12");
  EXPECT_EQ(s.Eval("@HOUR(-0.25)"), "18");
}

TEST(TimeFunctions, TimeText) {
  TestSheet s;
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIMEVAL(\"2:30 PM\")"), 14.5 / 24);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIMEVAL(\"2:30 am\")"), 2.5 / 24);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIMEVAL(\"14:30:36\")"), 14.51 / 24);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@TIMEVAL(\"12:15 PM\")"), 12.25 / 24);  // 12 stays 12
}

TEST(TimeFunctions, TodayIsNowInLocalTime) {
  TestSheet s;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  double today = s.EvalNumber("@TODAY");
  // The local calendar date, counted independently from a known day.
  double expected = 36526 + (std::mktime(&local) - [] {
                      std::tm y2k{};
                      y2k.tm_year = 100;
                      y2k.tm_mday = 1;
                      y2k.tm_isdst = -1;
                      return std::mktime(&y2k);
                    }()) / 86400.0;
  EXPECT_NEAR(today, expected, 0.05);  // tolerance covers DST and the call gap
}

}  // namespace
}  // namespace tabulon
