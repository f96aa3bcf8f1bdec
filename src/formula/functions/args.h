// Argument helpers shared by every function family: numbers, rounded
// integers and text from values, and the cells of range arguments.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "formula/evaluator.h"

namespace tabulon {

// A value used as a number: a string (or blank) counts as 0.
inline double Num(const Value& v) { return v.kind == kSlotNumber ? v.num : 0; }

// An integer argument, rounded to the nearest integer (halves away from 0).
inline double RoundedArg(const Value& v) { return std::round(Num(v)); }

// The numeric value of a cell for dense reading: an empty cell, a label or a
// string formula reads as 0; an error cell raises the error flag.
double CellAsNumber(Evaluator& e, const CellRecord* cell);

// Whether the cell counts in sparse reading (number, integer, numeric formula).
inline bool IsNumericCell(const CellRecord& c) {
  std::uint8_t k = c.Kind();
  return k == kFormula || k == kReal || k == kInteger;
}
inline double NumericCellValue(const CellRecord& c) {
  return c.Kind() == kInteger ? c.value.integer : c.value.num;
}

// The range designated by a range-taking argument; raises the error flag
// (and returns an invalid range) when the argument is not a cell, range or
// link operand.
RangeArg RangeArgument(Evaluator& e, const Value& v);

// Every position of the rectangle, row by row (or column by column), as
// numbers. Returns false (error flag raised) for a bad range.
bool DenseValues(Evaluator& e, const Value& v, std::vector<double>& out, int& rows, int& cols,
                 bool byColumn = false);

}  // namespace tabulon
