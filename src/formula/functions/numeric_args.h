// Helpers shared by the numeric function families: fixed numeric argument
// lists, results that must be finite, and formulas given as arguments.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "formula/functions/args.h"

namespace tabulon {

// Reads the top n arguments as numbers into out[0..n-1] (deepest first) and
// pops all but the first, whose slot receives the result. An error mark on a
// popped argument raises the error flag, so the result becomes ERR; the first
// argument keeps its own mark. False when the stack is short (broken code).
inline bool TakeNumbers(Evaluator& e, int n, double* out) {
  if (!e.Need(n)) return false;
  for (int i = 0; i < n; ++i) {
    const Value& v = e.FromTop(n - 1 - i);
    out[i] = Num(v);
    if (i > 0 && v.error) e.Fail();
  }
  e.Drop(n - 1);
  return true;
}

// Stores a result in the top slot; an infinite or NaN result is an error.
inline void SetResult(Evaluator& e, double x) {
  if (!std::isfinite(x)) {
    e.Fail();
    x = 1;
  }
  e.SetTopNumber(x);
}

inline void SetFailure(Evaluator& e) {
  e.Fail();
  e.SetTopNumber(1);
}

// A formula passed as an argument, compiled once and evaluated as often as
// needed with the engine's X variable set by the caller. Construction also
// counts the nesting of such functions: formula arguments inside formula
// arguments multiply the work, so the depth is bounded.
class FormulaArgument {
 public:
  FormulaArgument(Evaluator& e, std::string_view text);
  ~FormulaArgument();
  FormulaArgument(const FormulaArgument&) = delete;
  FormulaArgument& operator=(const FormulaArgument&) = delete;

  // False when the text did not compile or the nesting is too deep.
  bool ok() const { return ok_; }
  // Whether the code calls a user-defined function.
  bool CallsUserFunction() const;
  // Evaluates the code with X = x; false on an error result. A string
  // result counts as 0.
  bool Evaluate(double x, double& result);

 private:
  Evaluator& e_;
  std::string code_;
  double savedX_;
  bool ok_ = false;
  bool counted_ = false;
};

// The text of a formula argument: its string, or a number's text.
std::string FormulaText(Evaluator& e, const Value& v);

}  // namespace tabulon
