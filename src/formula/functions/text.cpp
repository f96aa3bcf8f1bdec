// Text functions. Arguments that should be strings may be numbers: those
// are used as the number's text. Results never exceed 240 bytes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "formula/evaluator.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "formula/op_table.h"
#include "base/decimal_digits.h"
#include "base/number_parse.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

// A count or position argument, rounded and clamped into int range so that
// absurd values cannot overflow; anything beyond the string limit behaves
// alike.
int CountArg(const Value& v) {
  double x = RoundedArg(v);
  if (x > 1e6) return 1000000;
  if (x < -1e6) return -1000000;
  return static_cast<int>(x);
}

void Length(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  ResultNumber(e, 1, static_cast<double>(e.Text(e.Top()).size()));
}

void Val(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s;
  for (char c : e.Text(e.Top()))
    if (c != ' ') s.push_back(c);
  double x = 0;
  if (!s.empty()) {
    ParsedNumber n = ParseNumber(s, e.session().settings().decimalChar);
    if (n.errorPosition == 0) x = n.value;
  }
  ResultNumber(e, 1, x);
}

// The number with n decimals, rounded as the Fixed format shows it, so that
// @STR agrees with the cell.
void Str(Evaluator& e) {
  if (!Arguments(e, 2)) return;
  double x = Num(e.FromTop(1));
  double n = RoundedArg(e.FromTop(0));
  if (n < 0 || n > 15 || !std::isfinite(x)) {
    ResultError(e, 2);
    return;
  }
  ResultString(e, 2, Fixed(x, static_cast<int>(n), e.session().settings().decimalChar));
}

void Mid(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  std::string s = e.Text(e.FromTop(2));
  int start = std::max(CountArg(e.FromTop(1)), 1);
  int n = CountArg(e.FromTop(0));
  std::string r;
  if (n > 0 && start <= static_cast<int>(s.size())) r = s.substr(start - 1, n);
  ResultString(e, 3, r);
}

void LeftRight(Evaluator& e) {
  if (!Arguments(e, 2)) return;
  std::string s = e.Text(e.FromTop(1));
  int n = std::clamp(CountArg(e.FromTop(0)), 0, static_cast<int>(s.size()));
  ResultString(e, 2, e.op() == kOpLeft ? s.substr(0, n) : s.substr(s.size() - n));
}

void Repeat(Evaluator& e) {
  if (!Arguments(e, 2)) return;
  std::string s = e.Text(e.FromTop(1));
  int n = CountArg(e.FromTop(0));
  std::string r;
  // Stop at the string limit: the count may be huge.
  for (int i = 0; i < n && !s.empty() && r.size() < static_cast<std::size_t>(kMaxText); ++i)
    r += s;
  if (r.size() > kMaxText) r.resize(kMaxText);
  ResultString(e, 2, r);
}

void Find(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  std::string t = e.Text(e.FromTop(2));
  std::string s = e.Text(e.FromTop(1));
  int start = std::max(CountArg(e.FromTop(0)), 1);
  double x = 0;
  if (start - 1 <= static_cast<int>(s.size())) {
    std::size_t p = s.find(t, start - 1);
    if (p != std::string::npos) x = static_cast<double>(p + 1);
  }
  ResultNumber(e, 3, x);
}

void Chr(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double code = std::fmod(RoundedArg(e.Top()), 256.0);
  if (code < 0) code += 256;
  char c = static_cast<char>(static_cast<unsigned char>(code));
  ResultString(e, 1, std::string(1, c));
}

void Ord(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  ResultNumber(e, 1, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

void UpperLower(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  for (char& c : s) c = e.op() == kOpUpper ? UpperChar(c) : LowerChar(c);
  ResultString(e, 1, s);
}

// The first character and those after a space in upper case; every other
// character gets bit 32 of its code, which makes capitals small (and also
// changes a few punctuation characters, such as '@' into '`').
void Proper(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i == 0 || s[i - 1] == ' ') s[i] = UpperChar(s[i]);
    else s[i] = static_cast<char>(s[i] | 0x20);
  }
  ResultString(e, 1, s);
}

void Trim(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string r;
  for (char c : e.Text(e.Top()))
    if (c != ' ' || r.empty() || r.back() != ' ') r.push_back(c);
  if (!r.empty() && r.front() == ' ') r.erase(0, 1);
  if (!r.empty() && r.back() == ' ') r.pop_back();
  ResultString(e, 1, r);
}

void Clean(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string r;
  for (char c : e.Text(e.Top())) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 32 && u <= 127) r.push_back(c);
  }
  ResultString(e, 1, r);
}

void Exact(Evaluator& e) {
  if (!Arguments(e, 2)) return;
  bool same = e.Text(e.FromTop(1)) == e.Text(e.FromTop(0));
  ResultNumber(e, 2, same ? 1 : 0);
}

void Hex(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double n = RoundedArg(e.Top());
  if (n < 0 || n > 65535) {
    ResultError(e, 1);
    return;
  }
  char buf[8];
  std::snprintf(buf, sizeof buf, "$%04X", static_cast<unsigned>(n));
  ResultString(e, 1, buf);
}

void Dec(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string s = e.Text(e.Top());
  std::string_view digits = s;
  if (!digits.empty() && digits[0] == '$') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 8) {
    ResultError(e, 1);
    return;
  }
  double x = 0;
  for (char c : digits) {
    int d;
    char u = UpperChar(c);
    if (IsDigit(u)) d = u - '0';
    else if (u >= 'A' && u <= 'F') d = u - 'A' + 10;
    else {
      ResultError(e, 1);
      return;
    }
    x = x * 16 + d;
  }
  ResultNumber(e, 1, x);
}

// Degrees as D:MM:SS. The seconds are counted with a tiny allowance so that
// values such as 1/3 degree, which fall a hair short in binary, show their
// whole minutes.
void Dms(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double x = Num(e.Top());
  double a = std::fabs(x);
  double degrees = std::trunc(a);
  double seconds = std::floor((a - degrees) * 3600 + 1e-7);
  if (seconds >= 3600) {
    degrees += 1;
    seconds -= 3600;
  }
  int minutes = static_cast<int>(seconds / 60);
  int secs = static_cast<int>(seconds) % 60;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%s%.0f:%02d:%02d", x < 0 ? "-" : "", degrees, minutes, secs);
  ResultString(e, 1, buf);
}

// @S and @N read the first cell of a range; a plain value is read as it is.
const CellRecord* FirstCellOf(Evaluator& e, const Value& v, bool& isRange) {
  RangeArg r = e.RangeOf(v);
  isRange = r.valid;
  if (!r.valid) return nullptr;
  return e.CellsOf(r).FindCell(r.top, r.left);
}

void S(Evaluator& e) {
  if (!Arguments(e, 1, 1)) return;
  bool isRange;
  const CellRecord* c = FirstCellOf(e, e.Top(), isRange);
  std::string r;
  if (!isRange) {
    if (e.Top().error) e.Fail();
    else if (e.Top().kind == kSlotString) r = e.Text(e.Top());
  } else if (c != nullptr) {
    if (c->HasError()) e.Fail();
    else if (c->Kind() == kLabel) r = std::string(c->TextView().substr(std::min<std::size_t>(1, c->TextView().size())));
    else if (c->Kind() == kStringFormula) r = std::string(PStringView(c->value.str));
  }
  ResultString(e, 1, r);
}

void N(Evaluator& e) {
  if (!Arguments(e, 1, 1)) return;
  bool isRange;
  const CellRecord* c = FirstCellOf(e, e.Top(), isRange);
  double x = 0;
  if (!isRange) {
    if (e.Top().error) e.Fail();
    x = Num(e.Top());
  }
  else if (c != nullptr) x = CellAsNumber(e, c);
  ResultNumber(e, 1, x);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterTextFunctions(DispatchTable& t) {
#define TEXT_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
