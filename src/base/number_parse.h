// Reading numbers as typed: the configured decimal character, an optional
// sign, a fraction and an exponent.
#pragma once

#include <string_view>

namespace tabulon {

struct ParsedNumber {
  double value = 0;
  int errorPosition = 0;  // 0: the whole text is a number; else 1-based position
};
// Reads a number the way entry does: configured decimal character, optional
// sign, fraction and exponent; no thousands separators, currency or "%".
ParsedNumber ParseNumber(std::string_view text, char decimalChar);

}  // namespace tabulon
