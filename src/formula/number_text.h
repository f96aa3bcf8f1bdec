// The one rule by which a number becomes text inside formulas: constants in
// regenerated formula text, and numbers joined by "&" or passed to text
// functions.
#pragma once

#include <string>

namespace tabulon {

// 0 is "0"; magnitudes from 1e-6 to 1e6 in the shortest general form with up
// to 15 significant digits; anything else as a mantissa with up to ten
// decimals and an exponent of at least two digits ("1.234567E+06").
std::string NumberText(double x, char decimalChar = '.');

}  // namespace tabulon
