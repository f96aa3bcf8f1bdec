// Linear regression of one column on another, and multiple regression on
// chosen terms of up to three X variables; both write a block of results
// and the fitted formula.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Pairs each cell of `x` with the cell of `y` at the same offset (pairs
// with a blank cell are skipped, other non-numbers read 0) and fits
// y = a + b x. Writes eleven rows of labelled statistics at the output's
// top-left cell and a twelfth with "Formula:" and the fitted formula in
// @X, whose X value is set to the first X cell's. An undefined range or no
// complete pair writes nothing and succeeds; all X equal (a single pair
// included) fails with "Can not regress! X values are all equal" and
// writes nothing. All Y equal gives slope 0 and R^2 1: the line fits.
bool LinearRegression(SheetDocument& doc, const CellRange& x, const CellRange& y,
                      const CellRange& output);

// The term grid: nine rows (X^0..X^5, Sqrt, Ln, Exp), bit v set when
// variable v + 1 uses that row.
using TermGrid = std::array<unsigned, 9>;

// The options text of the macro command: items separated by ",", each a
// letter A-C (the variable) followed by digits 0-8 (grid rows). Nothing
// when an item is malformed.
std::optional<TermGrid> ParseTermOptions(std::string_view text);

// Least squares over the X range's rows on the terms of the grid (the
// constant once). Writes a row per term (name, coefficient), then
// "Formula:", "Result:" (the fit at the first row) and "R^2". A failed fit
// (no terms, a logarithm of a non-positive value, a singular system)
// reports "Can not regress! Try another function" and writes nothing.
bool MultipleRegression(SheetDocument& doc, const CellRange& x, const CellRange& y,
                        const CellRange& output, const TermGrid& terms);

}  // namespace tabulon
