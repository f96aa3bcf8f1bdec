// Argument checks and result writing shared by the text, date, financial,
// lookup and information handlers. A handler's result takes the slot of its
// first argument.
#pragma once

#include <cmath>
#include <string_view>

#include "formula/evaluator.h"

namespace tabulon {

// Ensures n arguments are on the stack and raises the error flag when any
// of them carries the error mark. Range arguments (bit i of rangeArgs for
// argument i, counted from 0) are exempt: their value is merely that of one
// corner cell, which the function may never read. The results below clear
// the mark of the result slot, so the error flag alone decides.
inline bool Arguments(Evaluator& e, int n, unsigned rangeArgs = 0) {
  if (!e.Need(n)) return false;
  for (int i = 0; i < n; ++i)
    if (!(rangeArgs & (1u << i)) && e.FromTop(n - 1 - i).error) e.Fail();
  return true;
}

// Replaces the n arguments by a number; a non-finite number fails.
inline void ResultNumber(Evaluator& e, int n, double x) {
  e.Drop(n - 1);
  if (!std::isfinite(x)) {
    e.Fail();
    x = 0;
  }
  e.SetTopNumber(x);
  e.Top().error = false;
}

// Replaces the n arguments by a string (cut at 240 bytes).
inline void ResultString(Evaluator& e, int n, std::string_view s) {
  e.Drop(n - 1);
  e.SetTopString(s);
  if (e.depth() > 0) e.Top().error = false;
}

// Replaces the n arguments by ERR.
inline void ResultError(Evaluator& e, int n) {
  e.Drop(n - 1);
  e.Fail();
  e.SetTopNumber(0);
}

// The handler of operations that compile but have no evaluation (numbers
// without a name, @REPLACE): the argument gives way to ERR.
void NoEvaluation(Evaluator& e);

// Argument i of n (counted from 0, the first argument deepest).
inline const Value& ArgumentAt(Evaluator& e, int n, int i) { return e.FromTop(n - 1 - i); }

}  // namespace tabulon
