// Elementary functions, rounding, combinatorics and @RAND.
#include <cmath>
#include <numbers>

#include "formula/engine.h"
#include "formula/functions/numeric_args.h"
#include "formula/op_table.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

constexpr double kPi = std::numbers::pi;
// sinh, cosh and tanh refuse arguments whose exponential would be near the
// limit of the number range.
constexpr double kHyperbolicLimit = 700;

// Functions of one number: the result or a failure.
void OneArgument(Evaluator& e) {
  double x;
  if (!TakeNumbers(e, 1, &x)) return;
  double r = 0;
  bool ok = true;
  switch (e.op()) {
    case kOpAbs: r = std::fabs(x); break;
    case kOpInt: r = std::trunc(x); break;
    case kOpSqrt:
      ok = x >= 0;
      r = std::sqrt(x);
      break;
    case kOpLog:
      ok = x > 0;
      r = std::log10(x);
      break;
    case kOpLn:
      ok = x > 0;
      r = std::log(x);
      break;
    case kOpSin: r = std::sin(x); break;
    case kOpCos: r = std::cos(x); break;
    case kOpTan: {
      double c = std::cos(x);
      ok = c != 0;
      r = std::sin(x) / c;
      break;
    }
    case kOpAtan: r = std::atan(x); break;
    case kOpAsin:
    case kOpAcos:
      ok = std::fabs(x) <= 1;
      if (!ok) break;
      if (x == 1) r = kPi / 2;
      else if (x == -1) r = -kPi / 2;
      else r = std::atan(x / std::sqrt(1 - x * x));
      if (e.op() == kOpAcos) r = kPi / 2 - r;
      break;
    case kOpExp: r = std::exp(x); break;
    case kOpCsc: {
      double s = std::sin(x);
      ok = s != 0;
      r = 1 / s;
      break;
    }
    case kOpCtn: {
      double s = std::sin(x);
      ok = s != 0;
      r = std::cos(x) / s;
      break;
    }
    case kOpSec: {
      double c = std::cos(x);
      ok = c != 0;
      r = 1 / c;
      break;
    }
    case kOpCosh:
    case kOpSinh:
    case kOpTanh:
      ok = std::fabs(x) < kHyperbolicLimit;
      r = e.op() == kOpCosh ? std::cosh(x) : e.op() == kOpSinh ? std::sinh(x) : std::tanh(x);
      break;
    // The library inverses avoid the cancellation of ln(x + sqrt(x*x +- 1))
    // for large negative or huge arguments.
    case kOpAsinh: r = std::asinh(x); break;
    case kOpAcosh:
      ok = x >= 1;
      r = std::acosh(x);
      break;
    case kOpAtanh:
      ok = std::fabs(x) < 1;
      r = std::atanh(x);
      break;
  }
  if (!ok) {
    SetFailure(e);
    return;
  }
  SetResult(e, r);
}

void Pi(Evaluator& e) { e.PushNumber(kPi); }

void Rand(Evaluator& e) { e.PushNumber(Engine(e.session()).NextRandom()); }

void LogB(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  if (a[0] <= 0 || a[1] <= 1) return SetFailure(e);
  SetResult(e, std::log(a[0]) / std::log(a[1]));
}

// x - y * trunc(x / y), computed exactly.
void Mod(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  if (a[1] == 0) return SetFailure(e);
  SetResult(e, std::fmod(a[0], a[1]));
}

// --- rounding ---------------------------------------------------------

// 10^n, exact for the powers a double holds exactly (n <= 22).
double PowerOfTen(int n) {
  if (n > 22) return std::pow(10.0, n);
  double p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// Beyond this magnitude a double has no fractional part left to round.
constexpr double kWholeLimit = 4503599627370496.0;  // 2^52

void Rounding(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  double x = a[0];
  double n = std::round(a[1]);
  // Past 400 digits either way every finite number rounds the same.
  if (n > 400) n = 400;
  if (n < -400) n = -400;
  double p = PowerOfTen(static_cast<int>(std::fabs(n)));
  double sign = x < 0 ? -1 : 1;
  double ax = std::fabs(x);
  double scaled = n >= 0 ? ax * p : ax / p;
  if (!std::isfinite(scaled) || scaled >= kWholeLimit) {
    // Already whole at this scale (ax * p overflowing means many decimals
    // were asked of a large number).
    SetResult(e, x);
    return;
  }
  double q;
  switch (e.op()) {
    case kOpRound: q = std::trunc(scaled + 0.5); break;  // halves away from zero
    case kOpCeil: q = std::trunc(scaled + 0.9999999999); break;
    default: q = std::trunc(scaled); break;
  }
  if (q == 0) {
    SetResult(e, 0);
    return;
  }
  SetResult(e, sign * (n >= 0 ? q / p : q * p));
}

// --- combinatorics ------------------------------------------------------

// n! / (k! (n-k)!), as the product of k' = min(k, n-k) ratios, which stays
// exact where the factorials themselves would overflow.
void Comb(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  double n = std::round(a[0]), k = std::round(a[1]);
  if (n < 0 || k < 0 || k > n) return SetFailure(e);
  double m = std::min(k, n - k);
  if (m > 1100) return SetFailure(e);  // C(2200, 1100) already overflows
  double c = 1;
  for (double i = 1; i <= m; ++i) c = c * (n - m + i) / i;
  SetResult(e, c < kWholeLimit ? std::round(c) : c);
}

// n! / (n-k)!, the falling product n (n-1) ... (n-k+1).
void Perm(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  double n = std::round(a[0]), k = std::round(a[1]);
  if (n < 0 || k > n) return SetFailure(e);
  double p = 1;
  if (k >= 0) {
    if (k > 170) return SetFailure(e);  // k! divides the product, and 171! overflows
    // Counted by an integer: for huge n, n - j + 1 == n - j in doubles.
    for (int j = 0; j < static_cast<int>(k); ++j) p *= n - j;
  } else {
    // A negative k: 1 / ((n+1) (n+2) ... (n-k)), defined while (n-k)! is.
    if (n - k > 170) return SetFailure(e);
    for (int j = 1; j <= static_cast<int>(-k); ++j) p /= n + j;
  }
  SetResult(e, p);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterMathFunctions(DispatchTable& t) {
#define MATH_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
