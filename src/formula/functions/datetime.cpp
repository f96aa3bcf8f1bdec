// Date and time functions.
#include "base/calendar.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "formula/evaluator.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "formula/op_table.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {


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
  double x = e.op() == kOpDay ? p.day : (e.op() == kOpMonth ? p.month : p.year);
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
  ResultNumber(e, 1, e.op() == kOpHour ? c.hour : (e.op() == kOpMinute ? c.minute : c.second));
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


// The handlers of this family's rows of the operation list.
void RegisterDateTimeFunctions(DispatchTable& t) {
#define DATETIME_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
