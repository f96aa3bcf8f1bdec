#include "display/format.h"

#include "base/calendar.h"
#include "base/decimal_digits.h"

#include <cmath>
#include <cstdio>

#include "base/limits.h"
#include "sheet/program_settings.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"
#include "base/text.h"

namespace tabulon {

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kGroupLetters = "FSC%,EG?";
constexpr const char* kSpecialNames[16] = {"+",  "G", "D1", "D2", "D3", "T",  "H",  "T1",
                                           "T2", "D4", "D5", "T3", "T4", "",   "Lb", ""};

// Day numbers from here on are Gregorian (15 October 1582).
// Beyond this many days the calendar arithmetic loses its meaning; such
// values are shown as plain numbers.
constexpr double kLargestDateMagnitude = 1e9;

// x × 100 in fixed notation. The digits are shifted two places rather than
// multiplied, so a finite value too large to multiply still shows its
// digits, and every value shows the digits of its 15-digit form.
std::string Percent(double x, int decimals, char point) {
  Digits v = DigitsOf(x);
  if (!v.IsZero()) v.exp += 2;
  std::string s = FixedMagnitude(v, decimals, point);
  return x < 0 ? "-" + s : s;
}

std::string ExponentText(int exp, int minDigits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%c%0*d", exp < 0 ? '-' : '+', minDigits, std::abs(exp));
  return buf;
}

// One digit, the point, `decimals` digits, "E", sign and three or more
// exponent digits.
std::string Scientific(double x, int decimals, char point) {
  Digits v = DigitsOf(x);
  RoundTo(v, decimals + 1);
  std::string s = x < 0 ? "-" : "";
  s.push_back(DigitAt(v, 0));
  if (decimals > 0) {
    s.push_back(point);
    for (int k = 1; k <= decimals; ++k) s.push_back(DigitAt(v, k));
  }
  return s + "E" + ExponentText(v.IsZero() ? 0 : v.exp, 3);
}

std::string Comma(double x, int decimals, const FormatSettings& settings, std::string& suffix) {
  std::string s = FixedMagnitude(x, decimals, settings.decimalChar);
  std::size_t intLength = decimals > 0 ? s.find(settings.decimalChar) : s.size();
  // Judged on the rounded digits, so that 999.999 with two decimals shows
  // as 1,000.00 like every other four-digit integer part.
  if (intLength > 3 && settings.thousandsChar != '\0') {
    std::string grouped;
    for (std::size_t i = 0; i < intLength; ++i) {
      grouped.push_back(s[i]);
      std::size_t left = intLength - i - 1;
      if (left > 0 && left % 3 == 0) grouped.push_back(settings.thousandsChar);
    }
    s = grouped + s.substr(intLength);
  }
  if (x < 0) {
    s.insert(s.begin(), '(');
    suffix = ")";
  }
  return s;
}

std::string Fraction(double x, int n) {
  double denominator = static_cast<double>(1 << n);
  double whole = std::trunc(x);
  double scaled = std::round((x - whole) * denominator);
  long long p = (scaled >= -2147483648.0 && scaled <= 2147483647.0) ? static_cast<long long>(scaled)
                                                                      : -1;
  long long d = 1LL << n;
  while (p > 0 && p % 2 == 0) {
    p /= 2;
    d /= 2;
  }
  if (p < 0) return "?-?/??";
  std::string w = InputForm(whole);
  if (p == 0) return w;
  if (p == d) return InputForm(whole + 1);
  std::string s = w == "0" ? "" : w + "-";
  return s + std::to_string(p) + "/" + std::to_string(d);
}

std::string Engineering(double x, int decimals, char point) {
  static constexpr struct {
    const char* prefix;
    double divisor;
  } kPrefixes[] = {{"T", 1e12}, {"G", 1e9},   {"M", 1e6},   {"k", 1e3},   {" ", 1},   {"m", 1e-3},
                   {"u", 1e-6}, {"n", 1e-9}, {"p", 1e-12}, {"f", 1e-15}, {"a", 1e-18}};
  int e = x == 0 ? 0 : static_cast<int>(std::trunc(std::log10(std::fabs(x)) + 0.0001));
  int k = e / 3;
  if (e < 0) --k;
  if (k < -6 || k > 4) {
    // The exponent form is not cut: cutting would remove its exponent.
    Digits v = DigitsOf(x);
    RoundTo(v, 11);
    std::string s = x < 0 ? "-" : "";
    s.push_back(DigitAt(v, 0));
    s.push_back(point);
    for (int i = 1; i <= 10; ++i) s.push_back(DigitAt(v, i));
    return s + "E" + ExponentText(v.exp, 3);
  }
  const auto& entry = kPrefixes[5 - k - 1];
  std::string s = Fixed(x / entry.divisor, decimals, point) + entry.prefix;
  if (s.size() > 15) s.resize(15);
  return s;
}

std::string General(double x, int w, char point) {
  std::string t = InputForm(x, point);
  std::size_t dot = t.find(point);
  if (static_cast<int>(t.size()) > w && t.find('E') == std::string::npos &&
      dot != std::string::npos && static_cast<int>(dot) + 1 < w)
    t.resize(w);
  return t;
}

std::string Bar(double x) {
  double r = std::round(x);
  long long c = (r >= -2147483647.0 && r <= 2147483647.0) ? static_cast<long long>(r) : 1;
  if (c == 0) return ".";
  long long n = c < 0 ? -c : c;
  if (n >= kMaxText) return {};
  return std::string(static_cast<std::size_t>(n), c > 0 ? '+' : '-');
}

std::string TwoDigits(long long n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02lld", n);
  return buf;
}

std::string DateText(int sub, double x, const FormatSettings& settings) {
  CalendarDate date = DateOfDayNumber(x);
  std::string year;
  char buf[24];
  // Two-digit years stand for the 1900s only; every other year keeps all
  // its digits so that no date can be mistaken for another.
  if (settings.twoDigitYears && date.year >= 1900 && date.year < 2000) {
    year = TwoDigits(date.year - 1900);
  } else {
    std::snprintf(buf, sizeof buf, "%04lld", date.year);
    year = buf;
  }
  std::string day = TwoDigits(date.day);
  std::string month = TwoDigits(date.month);
  std::string name = kMonths[date.month - 1];
  switch (sub) {
    case 2: return day + "-" + name + "-" + year;
    case 3: return day + "-" + name;
    case 4: return name + " " + year;
    case 9: return month + "/" + day + "/" + year;
    default: return day + "/" + month + "/" + year;
  }
}

std::string TimeText(int sub, double x, std::string& suffix) {
  double f = x - std::floor(x);
  double hours = f * 24;
  int h = static_cast<int>(hours);
  double minutes = ((hours - h) + 0.0000694) * 60;
  int m = static_cast<int>(minutes);
  int s = static_cast<int>((minutes - m) * 60);
  // The allowance can lift the last instant of an hour to a full 60
  // minutes; that is the next hour.
  if (m >= 60) {
    m -= 60;
    h = (h + 1) % 24;
  }
  bool twelveHour = sub == 7 || sub == 8;
  bool seconds = sub == 7 || sub == 11;
  std::string t;
  if (twelveHour) {
    suffix = h < 12 ? " am" : " pm";
    if (h > 12) h -= 12;
    t = std::to_string(h);
  } else {
    t = TwoDigits(h);
  }
  t += ":" + TwoDigits(m);
  if (seconds) t += ":" + TwoDigits(s);
  return t;
}

bool IsDateSub(int sub) { return sub == 2 || sub == 3 || sub == 4 || sub == 9 || sub == 10; }

}  // namespace

CalendarDate DateOfDayNumber(double x) {
  // The calendar is the date functions' own, so cells and formulas agree.
  CivilDate c = DateFromSerial(x);
  return {c.year, c.month, c.day};
}

FormatSettings FormatSettingsOf(const ProgramSettings& program, const SheetSettings& sheet) {
  FormatSettings s;
  s.hideZeros = sheet.hideZeros;
  s.decimalChar = program.decimalChar;
  s.thousandsChar = program.thousandsChar;
  s.currencyPrefix = program.currencyPrefix.substr(0, 2);
  s.currencySuffix = program.currencySuffix.substr(0, 2);
  s.twoDigitYears = program.twoDigitYears;
  return s;
}

FormatSettings FormatSettingsOf(SheetDocument& doc) {
  return FormatSettingsOf(doc.session().settings(), doc.settings());
}

std::uint8_t EffectiveFormat(std::uint8_t cellFormat, const SheetSettings& sheet) {
  std::uint8_t f = cellFormat & 0x7F;
  if (f != kFormatUseDefault) return f;
  f = sheet.defaultFormat & 0x7F;
  return f == kFormatUseDefault ? kFormatGeneral : f;
}

std::string FormatValue(int width, std::uint8_t format, double x, const FormatSettings& settings) {
  if (!std::isfinite(x)) return "ERR";
  format &= 0x7F;
  int w = width - 1;
  if (settings.hideZeros && x == 0) format = kFormatHidden;
  std::string suffix = " ";
  std::string text;
  int group = format >> 4;
  int param = format & 0x0F;
  char point = settings.decimalChar;
  switch (group) {
    case 0: text = Fixed(x, param, point); break;
    case 1: text = Scientific(x, param, point); break;
    case 2:
      if (param & 8) {
        text = Fraction(x, param & 7);
      } else {
        text = Comma(x, param & 7, settings, suffix);
        text.insert(x < 0 ? 1 : 0, settings.currencyPrefix);
        text += settings.currencySuffix;
      }
      break;
    case 3:
      text = Percent(x, param & 7, point);
      suffix = "%";
      break;
    case 4: text = Comma(x, param & 7, settings, suffix); break;
    case 5: text = Engineering(x, param, point); break;
    case 6: text = General(x, w, point); break;
    default:
      if (param == 0) {
        text = Bar(x);
      } else if (IsDateSub(param)) {
        CalendarDate date = DateOfDayNumber(x);
        bool valid = std::fabs(x) < kLargestDateMagnitude && date.month >= 1 && date.month <= 12 &&
                     date.day >= 1 && date.day <= 31;
        text = valid ? DateText(param, x, settings) : General(x, w, point);
      } else if (param == 6) {
        text.clear();
      } else if (param == 7 || param == 8 || param == 11 || param == 12) {
        text = TimeText(param, x, suffix);
      } else {
        text = General(x, w, point);
      }
      break;
  }
  text += suffix;
  text.erase(0, text.find_first_not_of(' '));
  if (text.size() > kMaxText) text.resize(kMaxText);
  return text;
}

std::string InputForm(double x, char decimalChar) {
  if (!std::isfinite(x)) return "ERR";
  double m = std::fabs(x);
  if (m >= 1e-6 && m <= 1e6) {
    // Fixed notation throughout, also below 1e-4 where a general
    // conversion would switch to an exponent.
    Digits v = DigitsOf(x);
    std::string s = Fixed(x, std::max(0, 14 - v.exp), decimalChar);
    if (s.find(decimalChar) != std::string::npos) {
      while (s.back() == '0') s.pop_back();
      if (s.back() == decimalChar) s.pop_back();
    }
    return s;
  }
  if (x == 0) return "0";
  Digits v = DigitsOf(x);
  RoundTo(v, 11);
  std::string mantissa = x < 0 ? "-" : "";
  mantissa.push_back(DigitAt(v, 0));
  mantissa.push_back(decimalChar);
  for (int i = 1; i <= 10; ++i) mantissa.push_back(DigitAt(v, i));
  while (mantissa.back() == '0') mantissa.pop_back();
  if (mantissa.back() == decimalChar) mantissa.pop_back();
  std::string exponent = ExponentText(v.exp, 3);
  if (exponent[1] == '0') exponent.erase(1, 1);
  return mantissa + "E" + exponent;
}

std::string FormatShortName(std::uint8_t format, bool protectionOn) {
  int group = (format >> 4) & 7;
  int param = format & 0x0F;
  std::string name;
  if (group == 7) {
    name = kSpecialNames[param];
  } else if ((param & 8) == 0) {
    name = std::string(1, kGroupLetters[group]) + std::to_string(param);
  } else if (group == 2) {
    name = "Fr" + std::to_string(param & 7);
  }
  if (protectionOn) name = ((format & 0x80) ? "Pr " : "Un ") + name;
  if (name.size() > 5) name.resize(5);
  return name;
}

std::uint8_t ParseFormatCode(std::string_view text) {
  static constexpr std::string_view kLetters = "FSEACMG+PDTHXRL";
  if (text.empty()) return kFormatUseDefault;
  char letter = UpperChar(text[0]);
  if (kLetters.find(letter) == std::string_view::npos) return kFormatUseDefault;
  int n = 0;
  for (std::size_t i = 1; i < text.size() && i < 3 && IsDigit(text[i]); ++i)
    n = n * 10 + (text[i] - '0');
  // Parameters beyond what a group holds are taken as its largest value,
  // never as a neighbouring group.
  auto upTo = [&](int largest) { return n > largest ? largest : n; };
  switch (letter) {
    case 'F': return static_cast<std::uint8_t>(upTo(15));
    case 'S': return static_cast<std::uint8_t>(16 + upTo(15));
    case 'E': return static_cast<std::uint8_t>(80 + upTo(15));
    case 'A': return static_cast<std::uint8_t>(64 + 8 + upTo(7));
    case 'C': return static_cast<std::uint8_t>(32 + upTo(15));
    case 'M': return static_cast<std::uint8_t>(64 + upTo(7));
    case 'G': return kFormatGeneral;
    case '+': return kFormatBar;
    case 'P': return static_cast<std::uint8_t>(48 + upTo(7));
    case 'D':
      // D0..D2 name the formats one further on (D1..D3); D3 and D4 continue
      // that onto the two numeric dates.
      if (n <= 2) return static_cast<std::uint8_t>(112 + n + 2);
      return n == 3 ? kFormatD4 : kFormatD5;
    case 'T':
      if (text.size() == 1) return kFormatText;
      if (n <= 1) return static_cast<std::uint8_t>(112 + n + 7);
      return static_cast<std::uint8_t>(112 + upTo(3) + 9);
    case 'H': return kFormatHidden;
    case 'X': return kFormatText;
    case 'R': return kFormatUseDefault;
    default: return kFormatLabelOnly;  // 'L'
  }
}

}  // namespace tabulon
