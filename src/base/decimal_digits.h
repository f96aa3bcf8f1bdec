// Numbers as decimal digits, rounded the way the display formats and the
// text functions show them: from the value's 15 significant digits, ties
// away from zero.
#pragma once

#include <string>

namespace tabulon {

// A finite number as 15 significant decimal digits: every formatter rounds
// from this text, so the digits a user sees never depend on binary noise
// below the 15th digit (1.005 is shown as 1.01 with two decimals).
struct Digits {
  bool negative = false;
  std::string d;  // significant digits; "0" for zero
  int exp = 0;    // value = d[0].d[1]d[2]... × 10^exp

  bool IsZero() const { return d.find_first_not_of('0') == std::string::npos; }
};

Digits DigitsOf(double x);

// Keeps `keep` significant digits, rounding half away from zero. Keeping
// none still rounds: 0.5 × 10^e becomes 1 × 10^(e+1).
void RoundTo(Digits& v, int keep);

// The digit at `index` (0 is the first significant one); '0' beyond the
// digits kept.
char DigitAt(const Digits& v, int index);

// The magnitude of the digits in fixed notation with `decimals` decimals;
// the decimal point is `point`.
std::string FixedMagnitude(Digits v, int decimals, char point);
std::string FixedMagnitude(double x, int decimals, char point);

// x in fixed notation with `decimals` decimals, "-" in front of a negative
// value: the digits of the Fixed format.
std::string Fixed(double x, int decimals, char point);

}  // namespace tabulon
