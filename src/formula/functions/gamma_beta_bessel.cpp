// Special functions: log-gamma, beta, the incomplete beta and gamma
// functions, the error function, two distributions and the Bessel functions
// of integer order.
#include <algorithm>
#include <cmath>

#include "formula/functions/numeric_args.h"
#include "formula/op_table.h"

namespace tabulon {

namespace {

// Series and continued fractions stop when a term changes the result by less
// than this relative amount, and give up after kMaxTerms terms.
constexpr double kConvergence = 3e-7;
constexpr int kMaxTerms = 100;
// Stands in for a zero denominator in the continued fractions.
constexpr double kTiny = 1e-300;

constexpr double kLanczos[6] = {76.18009173, -86.50532033,  24.01409822,
                                -1.231739516, 0.00120858003, -0.00000536382};

// ln Gamma(x) for x > 0 by the Lanczos approximation (about 10 digits).
double LnGamma(double xx) {
  double x = xx - 1;
  double tmp = x + 5.5;
  tmp -= (x + 0.5) * std::log(tmp);
  double series = 1;
  for (double c : kLanczos) {
    x += 1;
    series += c / x;
  }
  return -tmp + std::log(2.50662827465 * series);
}

// P(a, x) by its power series; meant for x < a + 1.
bool GammaSeries(double a, double x, double& p) {
  if (x == 0) {
    p = 0;
    return true;
  }
  double ap = a, term = 1 / a, sum = term;
  for (int n = 1; n <= kMaxTerms; ++n) {
    ap += 1;
    term *= x / ap;
    sum += term;
    if (std::fabs(term) < std::fabs(sum) * kConvergence) {
      p = sum * std::exp(-x + a * std::log(x) - LnGamma(a));
      return std::isfinite(p);
    }
  }
  return false;
}

// Q(a, x) = 1 - P(a, x) by its continued fraction (modified Lentz); meant
// for x >= a + 1.
bool GammaFraction(double a, double x, double& q) {
  double b = x + 1 - a, c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i <= kMaxTerms; ++i) {
    double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < kConvergence) {
      q = std::exp(-x + a * std::log(x) - LnGamma(a)) * h;
      return std::isfinite(q);
    }
  }
  return false;
}

// P(a, x) (lower = true) or Q(a, x), each from the branch that suits x, the
// other as its complement.
bool IncompleteGamma(double a, double x, bool lower, double& r) {
  if (std::isinf(x)) {
    r = lower ? 1 : 0;
    return true;
  }
  double v;
  if (x < a + 1) {
    if (!GammaSeries(a, x, v)) return false;
    r = lower ? v : 1 - v;
  } else {
    if (!GammaFraction(a, x, v)) return false;
    r = lower ? 1 - v : v;
  }
  return true;
}

// The continued fraction of the incomplete beta function (modified Lentz).
bool BetaFraction(double a, double b, double x, double& h) {
  double qab = a + b, qap = a + 1, qam = a - 1;
  double c = 1, d = 1 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  h = d;
  auto step = [&](double aa) {
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    return d * c;
  };
  for (int m = 1; m <= kMaxTerms; ++m) {
    int m2 = 2 * m;
    h *= step(m * (b - m) * x / ((qam + m2) * (a + m2)));
    double last = step(-(a + m) * (qab + m) * x / ((a + m2) * (qap + m2)));
    h *= last;
    if (!std::isfinite(h)) return false;
    if (std::fabs(last - 1) < kConvergence) return true;
  }
  return false;
}

void GammaLn(Evaluator& e) {
  double x;
  if (!TakeNumbers(e, 1, &x)) return;
  if (x <= 0) return SetFailure(e);
  SetResult(e, LnGamma(x));
}

void Beta(Evaluator& e) {
  double a[2];
  if (!TakeNumbers(e, 2, a)) return;
  if (a[0] <= 0 || a[1] <= 0) return SetFailure(e);
  SetResult(e, std::exp(LnGamma(a[0]) + LnGamma(a[1]) - LnGamma(a[0] + a[1])));
}

void BetaI(Evaluator& e) {
  double v[3];
  if (!TakeNumbers(e, 3, v)) return;
  double a = v[0], b = v[1], x = v[2];
  if (a <= 0 || b <= 0 || x < 0 || x > 1) return SetFailure(e);
  if (x == 0 || x == 1) return SetResult(e, x);
  double front =
      std::exp(LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) + b * std::log(1 - x));
  double cf;
  if (x < (a + 1) / (a + b + 2)) {
    if (!BetaFraction(a, b, x, cf)) return SetFailure(e);
    SetResult(e, front * cf / a);
  } else {
    if (!BetaFraction(b, a, 1 - x, cf)) return SetFailure(e);
    SetResult(e, 1 - front * cf / b);
  }
}

void GammaPQ(Evaluator& e) {
  double v[2];
  if (!TakeNumbers(e, 2, v)) return;
  double r;
  if (v[1] < 0 || v[0] <= 0 || !IncompleteGamma(v[0], v[1], e.op() == kOpGammaP, r))
    return SetFailure(e);
  SetResult(e, r);
}

void Erf(Evaluator& e) {
  double x;
  if (!TakeNumbers(e, 1, &x)) return;
  double p;
  if (!IncompleteGamma(0.5, x * x, true, p)) return SetFailure(e);
  SetResult(e, x < 0 ? -p : p);
}

void Gauss(Evaluator& e) {
  double v[3];
  if (!TakeNumbers(e, 3, v)) return;
  double sd = v[2];
  if (sd <= 0) return SetFailure(e);
  double z = (v[0] - v[1]) / sd;
  SetResult(e, std::exp(-z * z / 2) / (sd * 2.506628274631));
}

void Poisson(Evaluator& e) {
  double v[3];
  if (!TakeNumbers(e, 3, v)) return;
  double k = std::round(v[0]);
  if (k < 0 || k > 170) return SetFailure(e);  // k! as @FACT computes it
  double factorial = 1;
  for (int i = 2; i <= k; ++i) factorial *= i;
  double lambda = v[1] * v[2];
  SetResult(e, std::exp(-lambda) * std::pow(lambda, k) / factorial);
}

// --- Bessel functions -----------------------------------------------------
// Orders 0 and 1 use the classic rational (J, Y) and polynomial (I, K)
// approximations; higher orders use recurrences.

constexpr double kTwoOverPi = 0.636619772;

// The asymptotic form shared by J and Y of orders 0 and 1 for x >= 8.
struct Asymptotic {
  double p, q, phase, amplitude, z;
};

Asymptotic AsymptoticZero(double ax) {
  double z = 8 / ax, y = z * z;
  double p = 1 + y * (-0.1098628627e-2 +
                      y * (0.2734510407e-4 + y * (-0.2073370639e-5 + y * 0.2093887211e-6)));
  double q = -0.1562499995e-1 +
             y * (0.1430488765e-3 +
                  y * (-0.6911147651e-5 + y * (0.7621095161e-6 - y * 0.934945152e-7)));
  return {p, q, ax - 0.785398164, std::sqrt(kTwoOverPi / ax), z};
}

Asymptotic AsymptoticOne(double ax) {
  double z = 8 / ax, y = z * z;
  double p = 1 + y * (0.183105e-2 +
                      y * (-0.3516396496e-4 + y * (0.2457520174e-5 + y * -0.240337019e-6)));
  double q = 0.04687499995 +
             y * (-0.2002690873e-3 +
                  y * (0.8449199096e-5 + y * (-0.88228987e-6 + y * 0.105787412e-6)));
  return {p, q, ax - 2.356194491, std::sqrt(kTwoOverPi / ax), z};
}

double J0(double x) {
  double ax = std::fabs(x);
  if (ax < 8) {
    double y = x * x;
    double num = 57568490574.0 +
                 y * (-13362590354.0 +
                      y * (651619640.7 + y * (-11214424.18 + y * (77392.33017 + y * -184.9052456))));
    double den = 57568490411.0 +
                 y * (1029532985.0 + y * (9494680.718 + y * (59272.64853 + y * (267.8532712 + y))));
    return num / den;
  }
  Asymptotic a = AsymptoticZero(ax);
  return a.amplitude * (std::cos(a.phase) * a.p - a.z * std::sin(a.phase) * a.q);
}

double J1(double x) {
  double ax = std::fabs(x);
  if (ax < 8) {
    double y = x * x;
    double num =
        x * (72362614232.0 +
             y * (-7895059235.0 +
                  y * (242396853.1 + y * (-2972611.439 + y * (15704.48260 + y * -30.16036606)))));
    double den = 144725228442.0 +
                 y * (2300535178.0 + y * (18583304.74 + y * (99447.43394 + y * (376.9991397 + y))));
    return num / den;
  }
  Asymptotic a = AsymptoticOne(ax);
  double r = a.amplitude * (std::cos(a.phase) * a.p - a.z * std::sin(a.phase) * a.q);
  return x < 0 ? -r : r;
}

// Y0 and Y1 for x > 0.
double Y0(double x) {
  if (x < 8) {
    double y = x * x;
    double num = -2957821389.0 +
                 y * (7062834065.0 +
                      y * (-512359803.6 + y * (10879881.29 + y * (-86327.92757 + y * 228.4622733))));
    double den = 40076544269.0 +
                 y * (745249964.8 + y * (7189466.438 + y * (47447.26470 + y * (226.1030244 + y))));
    return num / den + kTwoOverPi * J0(x) * std::log(x);
  }
  Asymptotic a = AsymptoticZero(x);
  return a.amplitude * (std::sin(a.phase) * a.p + a.z * std::cos(a.phase) * a.q);
}

double Y1(double x) {
  if (x < 8) {
    double y = x * x;
    double num =
        x * (-0.4900604943e13 +
             y * (0.1275274390e13 +
                  y * (-0.5153438139e11 +
                       y * (0.7349264551e9 + y * (-0.4237922726e7 + y * 0.8511937935e4)))));
    double den =
        0.2499580570e14 +
        y * (0.4244419664e12 +
             y * (0.3733650367e10 +
                  y * (0.2245904002e8 + y * (0.1020426050e6 + y * (0.3549632885e3 + y)))));
    return num / den + kTwoOverPi * (J1(x) * std::log(x) - 1 / x);
  }
  Asymptotic a = AsymptoticOne(x);
  return a.amplitude * (std::sin(a.phase) * a.p + a.z * std::cos(a.phase) * a.q);
}

double I0(double x) {
  double ax = std::fabs(x);
  if (ax < 3.75) {
    double y = (x / 3.75) * (x / 3.75);
    return 1 + y * (3.5156229 +
                    y * (3.0899424 +
                         y * (1.2067492 + y * (0.2659732 + y * (0.360768e-1 + y * 0.45813e-2)))));
  }
  double y = 3.75 / ax;
  return (std::exp(ax) / std::sqrt(ax)) *
         (0.39894228 +
          y * (0.1328592e-1 +
               y * (0.225319e-2 +
                    y * (-0.157565e-2 +
                         y * (0.916281e-2 +
                              y * (-0.2057706e-1 +
                                   y * (0.2635537e-1 + y * (-0.1647633e-1 + y * 0.392377e-2))))))));
}

double I1(double x) {
  double ax = std::fabs(x), r;
  if (ax < 3.75) {
    double y = (x / 3.75) * (x / 3.75);
    r = ax * (0.5 + y * (0.87890594 +
                         y * (0.51498869 +
                              y * (0.15084934 +
                                   y * (0.2658733e-1 + y * (0.301532e-2 + y * 0.32411e-3))))));
  } else {
    double y = 3.75 / ax;
    double tail = 0.2282967e-1 + y * (-0.2895312e-1 + y * (0.1787654e-1 - y * 0.420059e-2));
    r = 0.39894228 +
        y * (-0.3988024e-1 +
             y * (-0.362018e-2 + y * (0.163801e-2 + y * (-0.1031555e-1 + y * tail))));
    r *= std::exp(ax) / std::sqrt(ax);
  }
  return x < 0 ? -r : r;
}

// K0 and K1 for x > 0.
double K0(double x) {
  if (x <= 2) {
    double y = x * x / 4;
    return -std::log(x / 2) * I0(x) +
           (-0.57721566 +
            y * (0.42278420 +
                 y * (0.23069756 +
                      y * (0.3488590e-1 + y * (0.262698e-2 + y * (0.10750e-3 + y * 0.74e-5))))));
  }
  double y = 2 / x;
  return (std::exp(-x) / std::sqrt(x)) *
         (1.25331414 +
          y * (-0.7832358e-1 +
               y * (0.2189568e-1 +
                    y * (-0.1062446e-1 + y * (0.587872e-2 + y * (-0.251540e-2 + y * 0.53208e-3))))));
}

double K1(double x) {
  if (x <= 2) {
    double y = x * x / 4;
    return std::log(x / 2) * I1(x) +
           (1 / x) *
               (1 + y * (0.15443144 +
                         y * (-0.67278579 +
                              y * (-0.18156897 +
                                   y * (-0.1919402e-1 + y * (-0.110404e-2 + y * -0.4686e-4))))));
  }
  double y = 2 / x;
  return (std::exp(-x) / std::sqrt(x)) *
         (1.25331414 +
          y * (0.23498619 +
               y * (-0.3655620e-1 +
                    y * (0.1504268e-1 + y * (-0.780353e-2 + y * (0.325614e-2 + y * -0.68245e-3))))));
}

// Orders above this are refused: the recurrences take about n steps.
constexpr double kMaxOrder = 100000;
// The downward recurrences rescale when a term grows past kBig.
constexpr double kBig = 1e10;
constexpr double kBigInverse = 1e-10;

double JN(int n, double x) {
  if (n == 0) return J0(x);
  if (n == 1) return J1(x);
  double ax = std::fabs(x);
  if (ax == 0) return 0;
  double tox = 2 / ax, result;
  if (ax > n) {
    double below = J0(ax), at = J1(ax);
    for (int j = 1; j < n; ++j) {
      double above = j * tox * at - below;
      below = at;
      at = above;
    }
    result = at;
  } else {
    // Miller's downward recurrence from an even start, normalised by
    // J0 + 2 (J2 + J4 + ...) = 1.
    int m = 2 * ((n + static_cast<int>(std::sqrt(40.0 * n))) / 2);
    bool even = false;
    double above = 0, at = 1, sum = 0;
    result = 0;
    for (int j = m; j > 0; --j) {
      double below = j * tox * at - above;
      above = at;
      at = below;
      if (std::fabs(at) > kBig) {
        at *= kBigInverse;
        above *= kBigInverse;
        result *= kBigInverse;
        sum *= kBigInverse;
      }
      if (even) sum += at;
      even = !even;
      if (j == n) result = above;
    }
    sum = 2 * sum - at;
    result /= sum;
  }
  return x < 0 && (n & 1) ? -result : result;
}

// Upward recurrence from orders 0 and 1: Y(j+1) = 2j/x Y(j) - Y(j-1) and
// K(j+1) = 2j/x K(j) + K(j-1).
double Upward(int n, double x, double f0, double f1, bool modified) {
  if (n == 0) return f0;
  double tox = 2 / x, below = f0, at = f1;
  for (int j = 1; j < n && std::isfinite(at); ++j) {
    double above = j * tox * at + (modified ? below : -below);
    below = at;
    at = above;
  }
  return at;
}

double IN(int n, double x) {
  if (n == 0) return I0(x);
  if (n == 1) return I1(x);
  if (x == 0) return 0;
  double i0 = I0(x);
  if (!std::isfinite(i0)) return i0;
  double ax = std::fabs(x), tox = 2 / ax;
  // The start must lie well above both n and x for the recurrence to settle.
  int m = 2 * (n + static_cast<int>(std::sqrt(40.0 * n)) + static_cast<int>(std::ceil(ax)));
  double above = 0, at = 1, result = 0;
  for (int j = m; j > 0; --j) {
    double below = above + j * tox * at;
    above = at;
    at = below;
    if (std::fabs(at) > kBig) {
      result *= kBigInverse;
      at *= kBigInverse;
      above *= kBigInverse;
    }
    if (j == n) result = above;
  }
  result = result / at * i0;
  return x < 0 && (n & 1) ? -result : result;
}

void Bessel(Evaluator& e) {
  double v[2];
  if (!TakeNumbers(e, 2, v)) return;
  double x = v[0], order = std::round(v[1]);
  if (order < 0 || order > kMaxOrder) return SetFailure(e);
  int n = static_cast<int>(order);
  double r = 0;
  switch (e.op()) {
    case kOpBesselJ: r = JN(n, x); break;
    case kOpBesselY:
      if (x <= 0) return SetFailure(e);
      r = Upward(n, x, Y0(x), Y1(x), false);
      break;
    case kOpBesselI: r = IN(n, x); break;
    case kOpBesselK:
      if (x <= 0) return SetFailure(e);
      r = Upward(n, x, K0(x), K1(x), true);
      break;
  }
  SetResult(e, r);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterSpecialFunctions(DispatchTable& t) {
#define SPECIAL_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
