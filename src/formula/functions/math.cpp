// Elementary functions, rounding, combinatorics and @RAND.
#include <cmath>
#include <numbers>

#include "formula/engine.h"
#include "formula/functions/numeric_args.h"
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
    case 33: r = std::fabs(x); break;
    case 34: r = std::trunc(x); break;
    case 35:
      ok = x >= 0;
      r = std::sqrt(x);
      break;
    case 36:
      ok = x > 0;
      r = std::log10(x);
      break;
    case 37:
      ok = x > 0;
      r = std::log(x);
      break;
    case 39: r = std::sin(x); break;
    case 40: r = std::cos(x); break;
    case 41: {
      double c = std::cos(x);
      ok = c != 0;
      r = std::sin(x) / c;
      break;
    }
    case 43: r = std::atan(x); break;
    case 44:
    case 45:
      ok = std::fabs(x) <= 1;
      if (!ok) break;
      if (x == 1) r = kPi / 2;
      else if (x == -1) r = -kPi / 2;
      else r = std::atan(x / std::sqrt(1 - x * x));
      if (e.op() == 45) r = kPi / 2 - r;
      break;
    case 46: r = std::exp(x); break;
    case 126: {
      double s = std::sin(x);
      ok = s != 0;
      r = 1 / s;
      break;
    }
    case 127: {
      double s = std::sin(x);
      ok = s != 0;
      r = std::cos(x) / s;
      break;
    }
    case 128: {
      double c = std::cos(x);
      ok = c != 0;
      r = 1 / c;
      break;
    }
    case 129:
    case 130:
    case 131:
      ok = std::fabs(x) < kHyperbolicLimit;
      r = e.op() == 129 ? std::cosh(x) : e.op() == 130 ? std::sinh(x) : std::tanh(x);
      break;
    // The library inverses avoid the cancellation of ln(x + sqrt(x*x +- 1))
    // for large negative or huge arguments.
    case 132: r = std::asinh(x); break;
    case 133:
      ok = x >= 1;
      r = std::acosh(x);
      break;
    case 134:
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
    case 63: q = std::trunc(scaled + 0.5); break;        // halves away from zero
    case 175: q = std::trunc(scaled + 0.9999999999); break;
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

void RegisterMathFunctions(DispatchTable& t) {
  for (int op : {33, 34, 35, 36, 37, 39, 40, 41, 43, 44, 45, 46, 126, 127, 128, 129, 130, 131,
                 132, 133, 134})
    t[op] = OneArgument;
  t[38] = Pi;
  t[53] = Rand;
  t[174] = LogB;
  t[47] = Mod;
  t[63] = Rounding;
  t[175] = Rounding;
  t[176] = Rounding;
  t[135] = Comb;
  t[136] = Perm;
}

}  // namespace tabulon
