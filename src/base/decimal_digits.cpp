#include "base/decimal_digits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tabulon {

Digits DigitsOf(double x) {
  Digits v;
  v.negative = x < 0;
  if (x == 0) {
    v.d = "0";
    return v;
  }
  double a = std::fabs(x);
  if (a < 1e15 && a == std::floor(a)) {
    // An integer of at most 15 digits is its own digits: the same text as
    // the conversion below, without its cost (exports format every cell).
    char rev[16];
    int n = 0;
    for (auto i = static_cast<unsigned long long>(a); i != 0; i /= 10) rev[n++] = '0' + i % 10;
    v.d.assign(15, '0');
    for (int k = 0; k < n; ++k) v.d[k] = rev[n - 1 - k];
    v.exp = n - 1;
    return v;
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.14e", a);  // "1.23456789012345e+05"
  std::string s(buf);
  std::size_t e = s.find('e');
  v.d = s.substr(0, 1) + s.substr(2, e - 2);
  v.exp = std::atoi(s.c_str() + e + 1);
  return v;
}

void RoundTo(Digits& v, int keep) {
  if (v.IsZero() || keep >= static_cast<int>(v.d.size())) return;
  bool up = keep >= 0 && v.d[keep] >= '5';
  v.d.resize(keep > 0 ? keep : 0);
  if (!up) {
    if (v.d.empty() || v.IsZero()) {
      v.d = "0";
      v.exp = 0;
    }
    return;
  }
  int i = static_cast<int>(v.d.size()) - 1;
  while (i >= 0 && v.d[i] == '9') v.d[i--] = '0';
  if (i >= 0) {
    ++v.d[i];
    return;
  }
  // Every kept digit was a 9 (or none was kept): one more decade.
  v.d.insert(v.d.begin(), '1');
  if (keep > 0) v.d.pop_back();
  ++v.exp;
}

char DigitAt(const Digits& v, int index) {
  return index >= 0 && index < static_cast<int>(v.d.size()) ? v.d[index] : '0';
}

std::string FixedMagnitude(Digits v, int decimals, char point) {
  RoundTo(v, v.exp + 1 + decimals);
  std::string s;
  if (v.IsZero() || v.exp < 0) {
    s = "0";
  } else {
    for (int i = 0; i <= v.exp; ++i) s.push_back(DigitAt(v, i));
  }
  if (decimals > 0) {
    s.push_back(point);
    for (int k = 1; k <= decimals; ++k) s.push_back(v.IsZero() ? '0' : DigitAt(v, v.exp + k));
  }
  return s;
}

std::string FixedMagnitude(double x, int decimals, char point) {
  return FixedMagnitude(DigitsOf(x), decimals, point);
}

std::string Fixed(double x, int decimals, char point) {
  std::string s = FixedMagnitude(x, decimals, point);
  return x < 0 ? "-" + s : s;
}

}  // namespace tabulon
