// Statistics over every position of one range: median, the moment figures,
// the count of filled positions and the sum of products of two ranges. The
// database statistics and the matrix figures register from here too.
#include <algorithm>
#include <cmath>
#include <vector>

#include "formula/functions/numeric_args.h"
#include "formula/op_table.h"

namespace tabulon {

namespace {

// Sets the result of a function whose first argument is a range. The range
// slot carries the mark of its corner cell, which says nothing about the
// result: the cells were judged while they were read.
void SetRangeResult(Evaluator& e, double x) {
  e.Top().error = false;
  SetResult(e, x);
}

void Median(Evaluator& e) {
  if (!e.Need(1)) return;
  std::vector<double> v;
  int rows, cols;
  if (!DenseValues(e, e.Top(), v, rows, cols, true)) return SetFailure(e);
  // A NaN (from a damaged file) has no place in an ordering.
  if (std::any_of(v.begin(), v.end(), [](double x) { return std::isnan(x); }))
    return SetFailure(e);
  std::size_t n = v.size();
  std::size_t mid = n / 2;
  std::nth_element(v.begin(), v.begin() + mid, v.end());
  double m = v[mid];
  if (n % 2 == 0) m = (m + *std::max_element(v.begin(), v.begin() + mid)) / 2;
  SetRangeResult(e, m);
}

// @AVEDEV, @SKEW, @KURT and @COV from the mean and the central moments.
void Moments(Evaluator& e) {
  if (!e.Need(1)) return;
  std::vector<double> v;
  int rows, cols;
  if (!DenseValues(e, e.Top(), v, rows, cols, true) || v.size() < 2) return SetFailure(e);
  double n = static_cast<double>(v.size());
  double sum = 0;
  for (double x : v) sum += x;
  double mean = sum / n;
  double absDev = 0, m2 = 0, m3 = 0, m4 = 0;
  for (double x : v) {
    double d = x - mean;
    absDev += std::fabs(d);
    m2 += d * d;
    m3 += d * d * d;
    m4 += d * d * d * d;
  }
  if (e.op() == kOpAveDev) return SetRangeResult(e, absDev / n);
  double var = m2 / (n - 1);
  if (var == 0) return SetFailure(e);
  double sd = std::sqrt(var);
  switch (e.op()) {
    case kOpSkew: SetRangeResult(e, m3 / (n * sd * sd * sd)); break;
    case kOpKurt: SetRangeResult(e, m4 / (n * var * var) - 3); break;
    default:
      if (mean == 0) return SetFailure(e);
      SetRangeResult(e, sd / mean);
      break;
  }
}

void CountA(Evaluator& e) {
  if (!e.Need(1)) return;
  RangeArg r = RangeArgument(e, e.Top());
  if (!r.valid) return SetFailure(e);
  double count = 0;
  e.ForEachCellIn(r, [&](const CellRecord& c) {
    if (c.Kind() != kEmpty) count += 1;
  });
  SetRangeResult(e, count);
}

void PSum(Evaluator& e) {
  if (!e.Need(2)) return;
  std::vector<double> a, b;
  int ra, ca, rb, cb;
  bool ok = DenseValues(e, e.FromTop(1), a, ra, ca) && DenseValues(e, e.FromTop(0), b, rb, cb);
  e.Drop(1);
  if (!ok || ra != rb || ca != cb) return SetFailure(e);
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  SetRangeResult(e, sum);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterStatisticsFunctions(DispatchTable& t) {
#define STATISTICS_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
