#include "base/number_parse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/limits.h"
#include "base/text.h"

namespace tabulon {

ParsedNumber ParseNumber(std::string_view input, char decimalChar) {
  ParsedNumber r;
  std::string t(input.substr(0, kMaxText));
  if (std::size_t d = t.find(decimalChar); d != std::string::npos) t[d] = '.';
  if (!t.empty() && t[0] == '.') t.insert(t.begin(), '0');
  else if (t.size() >= 2 && (t[0] == '+' || t[0] == '-') && t[1] == '.') t.insert(t.begin() + 1, '0');
  // The standard decimal reader: blanks, sign, digits, fraction, exponent.
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  std::size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits > 0 && i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    std::size_t e = i + 1;
    if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
    if (e < t.size() && IsDigit(t[e])) {
      i = e;
      while (i < t.size() && IsDigit(t[i])) ++i;
    }
  }
  if (digits == 0) {
    r.errorPosition = static_cast<int>(std::min(t.size(), start + (i > start ? i - start : 0))) + 1;
    if (r.errorPosition < 1) r.errorPosition = 1;
    return r;
  }
  r.value = std::strtod(t.c_str() + start, nullptr);
  if (i < t.size()) r.errorPosition = static_cast<int>(i) + 1;
  else if (!std::isfinite(r.value)) r.errorPosition = 1;
  return r;
}

}  // namespace tabulon
