// Financial functions: annuities, loans, growth, depreciation, net present
// value and internal rate of return. A zero rate or any zero divisor fails,
// and so does every result that is not a finite number.
#include <cmath>

#include "formula/evaluator.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "formula/op_table.h"

namespace tabulon {

namespace {

double Arg(Evaluator& e, int n, int i) { return Num(e.FromTop(n - 1 - i)); }

// Annuity functions of (amount, rate, periods).
void Annuity(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double a = Arg(e, 3, 0), i = Arg(e, 3, 1), n = Arg(e, 3, 2);
  double g = std::pow(1 + i, n);
  if (i == 0 || (e.op() == kOpPmt && g - 1 == 0) || (e.op() == kOpPv && g == 0)) {
    ResultError(e, 3);
    return;
  }
  double x = 0;
  switch (e.op()) {
    case kOpPmt: x = a * g / ((g - 1) / i); break;
    case kOpPv: x = a * (g - 1) / i / g; break;
    case kOpFv: x = a * (g - 1) / i; break;
  }
  ResultNumber(e, 3, x);
}

void Rate(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double fv = Arg(e, 3, 0), pv = Arg(e, 3, 1), n = Arg(e, 3, 2);
  if (pv == 0 || n == 0) {
    ResultError(e, 3);
    return;
  }
  ResultNumber(e, 3, std::pow(fv / pv, 1 / n) - 1);
}

void Term(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double pmt = Arg(e, 3, 0), i = Arg(e, 3, 1), fv = Arg(e, 3, 2);
  if (pmt == 0 || i == 0 || std::log(1 + i) == 0) {
    ResultError(e, 3);
    return;
  }
  ResultNumber(e, 3, std::log(fv * i / pmt + 1) / std::log(1 + i));
}

void CTerm(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double i = Arg(e, 3, 0), fv = Arg(e, 3, 1), pv = Arg(e, 3, 2);
  if (pv == 0 || i == 0 || std::log(1 + i) == 0) {
    ResultError(e, 3);
    return;
  }
  ResultNumber(e, 3, std::log(fv / pv) / std::log(1 + i));
}

void Sln(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double cost = Arg(e, 3, 0), salvage = Arg(e, 3, 1), life = Arg(e, 3, 2);
  if (life == 0) {
    ResultError(e, 3);
    return;
  }
  ResultNumber(e, 3, (cost - salvage) / life);
}

void Syd(Evaluator& e) {
  if (!Arguments(e, 4)) return;
  double cost = Arg(e, 4, 0), salvage = Arg(e, 4, 1), life = Arg(e, 4, 2), per = Arg(e, 4, 3);
  double div = life * (life + 1);
  if (div == 0) {
    ResultError(e, 4);
    return;
  }
  ResultNumber(e, 4, (cost - salvage) * (life - per + 1) * 2 / div);
}

// Double-declining balance: each period writes off 2/life of the book value
// but never takes the book value below the salvage value. Long lives are
// handled without stepping through every period: between two periods in
// which the salvage floor intervenes the book value is a geometric series,
// and once the floor has held with a positive salvage nothing changes.
double DoubleDeclining(double cost, double salvage, double life, double period) {
  const double r = 1 - 2 / life;
  // r^j through log1p: r itself is rounded, and a long life would raise
  // that rounding to a power in the millions.
  const double logR = std::log1p(-2 / life);
  auto decay = [&](double j) { return std::exp(j * logR); };
  double b = cost, d = 0;
  double k = 0;  // periods done
  // One period; true when the salvage floor decided it.
  auto step = [&] {
    d = 2 * b / life;
    bool floored = b - d < salvage;
    if (floored) d = b - salvage;
    b -= d;
    k += 1;
    return floored;
  };
  while (k < period) {
    // Direct steps while few remain or the sequence is not a plain decay.
    if (period - k <= 64 || r < 0 || r >= 1) {
      if (step() && salvage > 0 && k < period) return 0;
      continue;
    }
    // Free decay for j steps leaves b * r^j; find the last j before the
    // floor first intervenes (the floor test of step j looks at b * r^j).
    double remaining = period - k - 1;  // keep the final step explicit
    auto floors = [&](double j) { return b * decay(j) < salvage; };
    double free = 0;
    if (!floors(1)) {
      if (b <= 0 || !floors(remaining)) {
        // b * r^j moves monotonically towards 0 and stays above the floor.
        free = remaining;
      } else {
        double lo = 1, hi = remaining;  // floors(lo) false, floors(hi) true
        while (hi - lo > 1) {
          double mid = std::floor((lo + hi) / 2);
          (floors(mid) ? hi : lo) = mid;
        }
        free = lo;
      }
    }
    if (free > 0) {
      b *= decay(free);
      k += free;
      continue;
    }
    // At the floor with a positive salvage every later period writes off 0.
    if (step() && salvage > 0 && k < period) return 0;
  }
  return d;
}

void Ddb(Evaluator& e) {
  if (!Arguments(e, 4)) return;
  double cost = Arg(e, 4, 0), salvage = Arg(e, 4, 1), life = Arg(e, 4, 2);
  double period = RoundedArg(e.FromTop(0));
  // Beyond 2^52 periods whole numbers can no longer be counted in a double.
  if (life <= 0 || period < 1 || period > life || period > 4.5e15) {
    ResultError(e, 4);
    return;
  }
  ResultNumber(e, 4, DoubleDeclining(cost, salvage, life, period));
}

// Net present value of the numeric cells of a range, in sparse order; every
// existing cell visited advances the discounting period, numeric or not.
// Fails on an error cell or a bad range.
double NetPresentValue(Evaluator& e, const RangeArg& r, double rate) {
  double sum = 0, factor = 1;
  double base = 1 + rate;
  e.ForEachCellIn(r, [&](const CellRecord& c) {
    factor *= base;
    if (!IsNumericCell(c)) return;
    if (c.HasError()) {
      e.Fail();
      return;
    }
    sum += NumericCellValue(c) / factor;
  });
  return sum;
}

void Npv(Evaluator& e) {
  if (!Arguments(e, 2, 2)) return;
  double rate = Num(e.FromTop(1));
  RangeArg r = RangeArgument(e, e.FromTop(0));
  if (!r.valid || rate == -1) {
    ResultError(e, 2);
    return;
  }
  ResultNumber(e, 2, NetPresentValue(e, r, rate));
}

// Secant-like iteration with the slope taken over a step of a tenth of the
// current rate.
void Irr(Evaluator& e) {
  if (!Arguments(e, 2, 2)) return;
  double x = Num(e.FromTop(1));
  RangeArg r = RangeArgument(e, e.FromTop(0));
  if (!r.valid) {
    ResultError(e, 2);
    return;
  }
  for (int stepNo = 0; stepNo < 25; ++stepNo) {
    double h = 0.1 * x;
    if (x == -1 || x + h == -1 || h == 0) break;
    double f = NetPresentValue(e, r, x);
    double slope = (NetPresentValue(e, r, x + h) - f) / h;
    if (e.failed() || slope == 0 || !std::isfinite(slope) || !std::isfinite(f)) break;
    x -= f / slope;
    if (std::fabs(f) < 0.00001) {
      ResultNumber(e, 2, x);
      return;
    }
  }
  ResultError(e, 2);
}

// The level payment of a loan and its balance after k payments.
double LoanPayment(double principal, double i, double n) {
  double g = std::pow(1 + i, n);
  return principal * i * g / (g - 1);
}
double LoanBalance(double payment, double i, double n, double k) {
  return payment * (1 - std::pow(1 + i, k - n)) / i;
}

void Loan(Evaluator& e) {
  if (!Arguments(e, 4)) return;
  double principal = Arg(e, 4, 0), i = Arg(e, 4, 1), n = Arg(e, 4, 2);
  double k = RoundedArg(e.FromTop(0));
  if (!(i > 0) || n == 0) {
    ResultError(e, 4);
    return;
  }
  double p = LoanPayment(principal, i, n);
  double x = 0;
  switch (e.op()) {
    case kOpBal: x = LoanBalance(p, i, n, k); break;
    case kOpAci: x = k * p + LoanBalance(p, i, n, k) - principal; break;
    case kOpPmtP: x = p - i * LoanBalance(p, i, n, k - 1); break;
  }
  ResultNumber(e, 4, x);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterFinancialFunctions(DispatchTable& t) {
#define FINANCIAL_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
