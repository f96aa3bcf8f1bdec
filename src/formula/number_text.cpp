#include "formula/number_text.h"

#include <cmath>
#include <cstdio>

namespace tabulon {

std::string NumberText(double x, char decimalChar) {
  char buf[64];
  double m = std::fabs(x);
  if (x == 0) return "0";
  if (!std::isfinite(x)) return "ERR";
  if (m >= 0.000001 && m <= 1000000) {
    std::snprintf(buf, sizeof buf, "%.15g", x);
  } else {
    std::snprintf(buf, sizeof buf, "%13.10E", x);
  }
  std::string s(buf);
  // Leading blanks of the fixed-width form.
  s.erase(0, s.find_first_not_of(' '));
  std::size_t e = s.find('E');
  if (e != std::string::npos) {
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e);  // "E+07" or "E+123"
    if (mantissa.find('.') != std::string::npos) {
      while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
      if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    // The exponent keeps at least two digits.
    std::string digits = exponent.substr(2);
    while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
    s = mantissa + exponent.substr(0, 2) + digits;
  }
  if (decimalChar != '.')
    for (char& c : s)
      if (c == '.') c = decimalChar;
  return s;
}

}  // namespace tabulon
