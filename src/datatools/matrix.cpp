#include "datatools/matrix.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tabulon {

void Matrix::SwapRows(int i, int k) {
  if (i == k) return;
  for (int j = 0; j < cols_; ++j) std::swap((*this)(i, j), (*this)(k, j));
}

double Matrix::MaxAbs() const {
  double m = 0;
  for (double v : a_) m = std::max(m, std::fabs(v));
  return m;
}

const char* FailureMessage(MatrixFailure failure) {
  switch (failure) {
    case MatrixFailure::kNone: return "";
    case MatrixFailure::kTooLarge: return "Array size>30x30";
    case MatrixFailure::kSingular: return "Unable to Solve, Determinant=0";
    case MatrixFailure::kPivot: return "Unable to Solve, Pivot Error?";
    case MatrixFailure::kUnbounded: return "Region & Objective Function Unbounded";
    case MatrixFailure::kElementsTooLarge: return "Can Not Solve: Elements get too Large";
    case MatrixFailure::kInfeasible: return "Can Not Solve: No Feasible Region";
  }
  return "";
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix p(a.rows(), b.cols());
  const int k = std::min(a.cols(), b.rows());
  for (int c = 0; c < b.cols(); ++c)
    for (int i = 0; i < a.rows(); ++i) {
      double s = 0;
      for (int j = 0; j < k; ++j) s += a(i, j) * b(j, c);
      p(i, c) = s;
    }
  return p;
}

Matrix Transpose(const Matrix& a) {
  Matrix t(a.cols(), a.rows());
  for (int i = 0; i < a.rows(); ++i)
    for (int j = 0; j < a.cols(); ++j) t(j, i) = a(i, j);
  return t;
}

namespace {

// A pivot at or below this is rounding noise left by eliminating a
// singular matrix, not a value: exact zero tests let a singular matrix
// through with a pivot of 1e-16 and a wildly wrong inverse.
double SingularTolerance(int n, double maxAbs) {
  return static_cast<double>(n) * std::numeric_limits<double>::epsilon() * maxAbs;
}

// Swaps the row with the largest element in column i (from row i down) into
// row i; returns that element's magnitude (NaN when the column holds one).
double PivotUp(Matrix& a, int i, int& swaps) {
  int best = i;
  double big = std::fabs(a(i, i));
  for (int k = i + 1; k < a.rows(); ++k) {
    double v = std::fabs(a(k, i));
    if (std::isnan(v)) return v;
    if (v > big) {
      big = v;
      best = k;
    }
  }
  if (best != i) {
    a.SwapRows(i, best);
    ++swaps;
  }
  return big;
}

}  // namespace

double Determinant(const Matrix& in) {
  const int n = in.rows();
  if (n == 0) return 0;
  Matrix a(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n && j < in.cols(); ++j) a(i, j) = in(i, j);
  const double tol = SingularTolerance(n, a.MaxAbs());
  int swaps = 0;
  double det = 1;
  for (int i = 0; i < n; ++i) {
    double big = PivotUp(a, i, swaps);
    if (std::isnan(big)) return big;
    if (big <= tol) return 0;
    const double p = a(i, i);
    det *= p;
    for (int k = i + 1; k < n; ++k) {
      const double f = a(k, i) / p;
      if (f == 0) continue;
      for (int j = i + 1; j < n; ++j) a(k, j) -= f * a(i, j);
    }
  }
  return swaps % 2 != 0 ? -det : det;
}

MatrixFailure SolveInPlace(Matrix& a, Matrix& x) {
  const int n = a.rows();
  const int rhs = a.cols() - n;
  if (n == 0 || rhs < 1) return MatrixFailure::kPivot;
  double scale = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) scale = std::max(scale, std::fabs(a(i, j)));
  if (!std::isfinite(scale)) return MatrixFailure::kPivot;
  const double tol = SingularTolerance(n, scale);
  int swaps = 0;
  for (int i = 0; i < n; ++i) {
    double big = PivotUp(a, i, swaps);
    if (std::isnan(big)) return MatrixFailure::kPivot;
    if (big <= tol) return MatrixFailure::kSingular;
    const double inv = 1.0 / a(i, i);
    for (int k = i + 1; k < n; ++k) {
      const double f = a(k, i) * inv;
      if (f == 0) continue;
      for (int j = i + 1; j < a.cols(); ++j) a(k, j) -= f * a(i, j);
    }
  }
  x = Matrix(n, rhs);
  for (int r = 0; r < rhs; ++r) {
    for (int i = n - 1; i >= 0; --i) {
      double s = a(i, n + r);
      for (int j = i + 1; j < n; ++j) s -= a(i, j) * x(j, r);
      x(i, r) = s / a(i, i);
      if (!std::isfinite(x(i, r))) return MatrixFailure::kPivot;
    }
  }
  return MatrixFailure::kNone;
}

MatrixFailure Invert(const Matrix& in, Matrix& inverse) {
  const int n = in.rows();
  Matrix work(n, 2 * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n && j < in.cols(); ++j) work(i, j) = in(i, j);
    work(i, n + i) = 1;
  }
  return SolveInPlace(work, inverse);
}

// --- linear programmes ----------------------------------------------------------------

namespace {

// The simplex tableau with the big-M penalty carried exactly: each reduced
// cost is costM * M + cost, kept as two rows, so a penalty of any size
// neither swamps the true costs nor loses them to rounding.
struct Tableau {
  int m = 0, columns = 0;  // constraint rows; variable columns (the rhs follows)
  Matrix t;                // m rows of constraints, then the cost and penalty rows
  std::vector<int> basis;  // the basic variable of each constraint row
  std::vector<bool> artificial;
  double tol = 1e-9;

  double& At(int i, int j) { return t(i, j); }
  double Rhs(int i) const { return t(i, columns); }
  int CostRow() const { return m; }
  int PenaltyRow() const { return m + 1; }

  // Reduced cost of column j as (penalty part, cost part).
  bool Negative(int j) const {
    const double pm = t(PenaltyRow(), j), c = t(CostRow(), j);
    return pm < -tol || (std::fabs(pm) <= tol && c < -tol);
  }
  bool Smaller(int j, int k) const {
    const double dj = t(PenaltyRow(), j), dk = t(PenaltyRow(), k);
    if (std::fabs(dj - dk) > tol) return dj < dk;
    return t(CostRow(), j) < t(CostRow(), k) - tol;
  }

  void Pivot(int r, int e) {
    const double p = t(r, e);
    for (int j = 0; j <= columns; ++j) t(r, j) /= p;
    for (int i = 0; i < t.rows(); ++i) {
      if (i == r) continue;
      const double f = t(i, e);
      if (f == 0) continue;
      for (int j = 0; j <= columns; ++j) t(i, j) -= f * t(r, j);
      t(i, e) = 0;
    }
    basis[static_cast<std::size_t>(r)] = e;
  }
};

}  // namespace

ProgrammeResult SolveProgramme(const LinearProgramme& lp) {
  ProgrammeResult result;
  const int m = lp.constraints.rows();
  const int nv = lp.constraints.cols();
  double scale = std::max(1.0, lp.constraints.MaxAbs());
  for (double v : lp.rhs) scale = std::max(scale, std::fabs(v));
  for (double v : lp.objective) scale = std::max(scale, std::fabs(v));
  if (!std::isfinite(scale)) {
    result.failure = MatrixFailure::kElementsTooLarge;
    return result;
  }

  // A negative right-hand side is turned round so that every starting basic
  // variable is non-negative: -x <= -4 is x >= 4.
  std::vector<Relation> rel = lp.relations;
  std::vector<double> sign(static_cast<std::size_t>(m), 1.0);
  int extra = 0;
  for (int i = 0; i < m; ++i) {
    auto& r = rel[static_cast<std::size_t>(i)];
    if (lp.rhs[static_cast<std::size_t>(i)] < 0) {
      sign[static_cast<std::size_t>(i)] = -1;
      if (r == Relation::kLessEqual) r = Relation::kGreaterEqual;
      else if (r == Relation::kGreaterEqual) r = Relation::kLessEqual;
    }
    // LE: a slack; GE: a surplus and an artificial; EQ: an artificial only,
    // so that an equality stays an equality.
    extra += r == Relation::kGreaterEqual ? 2 : 1;
  }

  Tableau tb;
  tb.m = m;
  tb.columns = nv + extra;
  tb.t = Matrix(m + 2, tb.columns + 1);
  tb.basis.assign(static_cast<std::size_t>(m), -1);
  tb.artificial.assign(static_cast<std::size_t>(tb.columns), false);
  tb.tol = 1e-9 * scale;
  int next = nv;
  for (int i = 0; i < m; ++i) {
    const double s = sign[static_cast<std::size_t>(i)];
    for (int j = 0; j < nv; ++j) tb.At(i, j) = s * lp.constraints(i, j);
    tb.At(i, tb.columns) = s * lp.rhs[static_cast<std::size_t>(i)];
    const Relation r = rel[static_cast<std::size_t>(i)];
    if (r == Relation::kLessEqual) {
      tb.At(i, next) = 1;
      tb.basis[static_cast<std::size_t>(i)] = next++;
      continue;
    }
    if (r == Relation::kGreaterEqual) tb.At(i, next++) = -1;
    tb.At(i, next) = 1;
    tb.artificial[static_cast<std::size_t>(next)] = true;
    tb.basis[static_cast<std::size_t>(i)] = next++;
  }
  // Costs in minimising form; each artificial costs one M, priced out of the
  // penalty row against its own constraint row.
  for (int j = 0; j < nv; ++j) {
    const double c = j < static_cast<int>(lp.objective.size()) ? lp.objective[static_cast<std::size_t>(j)] : 0;
    tb.At(tb.CostRow(), j) = lp.minimise ? c : -c;
  }
  for (int i = 0; i < m; ++i) {
    if (!tb.artificial[static_cast<std::size_t>(tb.basis[static_cast<std::size_t>(i)])]) continue;
    for (int j = 0; j <= tb.columns; ++j) tb.At(tb.PenaltyRow(), j) -= tb.At(i, j);
    tb.At(tb.PenaltyRow(), tb.basis[static_cast<std::size_t>(i)]) = 0;
  }

  // Past this many steps the entering rule gives way to the lowest-index
  // rule, which cannot cycle on a degenerate vertex.
  const int blandAfter = 50 + 10 * (m + tb.columns);
  const int giveUp = blandAfter * 20;
  for (int step = 0;; ++step) {
    if (step >= giveUp) {
      result.failure = MatrixFailure::kElementsTooLarge;
      return result;
    }
    const bool bland = step >= blandAfter;
    int e = -1;
    for (int j = 0; j < tb.columns; ++j) {
      if (!tb.Negative(j)) continue;
      if (e < 0 || (!bland && tb.Smaller(j, e))) {
        e = j;
        if (bland) break;
      } else {
        break;  // the scan ends at a negative cost that is no improvement
      }
    }
    if (e < 0) break;  // optimal
    double colMax = 0;
    for (int i = 0; i < m; ++i) colMax = std::max(colMax, std::fabs(tb.At(i, e)));
    const double positive = 1e-11 * std::max(1.0, colMax);
    int r = -1;
    bool anyPositive = false;
    double best = 0;
    for (int i = 0; i < m; ++i) {
      const double a = tb.At(i, e);
      if (a <= positive) continue;
      anyPositive = true;
      const double ratio = tb.Rhs(i) / a;
      if (ratio >= 1e20) continue;
      if (r < 0 || ratio < best ||
          (bland && ratio == best && tb.basis[static_cast<std::size_t>(i)] <
                                         tb.basis[static_cast<std::size_t>(r)])) {
        r = i;
        best = ratio;
      }
    }
    if (!anyPositive) {
      result.failure = MatrixFailure::kUnbounded;
      return result;
    }
    if (r < 0) {
      result.failure = MatrixFailure::kElementsTooLarge;
      return result;
    }
    tb.Pivot(r, e);
  }

  result.x.assign(static_cast<std::size_t>(nv), 0.0);
  for (int i = 0; i < m; ++i) {
    const int b = tb.basis[static_cast<std::size_t>(i)];
    const double v = tb.Rhs(i);
    if (tb.artificial[static_cast<std::size_t>(b)] && v > tb.tol) {
      // An artificial still carrying a value: no point meets every constraint.
      result.failure = MatrixFailure::kInfeasible;
      return result;
    }
    if (b < nv) result.x[static_cast<std::size_t>(b)] = std::max(0.0, v);
  }
  double value = 0;
  for (int j = 0; j < nv && j < static_cast<int>(lp.objective.size()); ++j)
    value += lp.objective[static_cast<std::size_t>(j)] * result.x[static_cast<std::size_t>(j)];
  result.value = value;
  return result;
}

}  // namespace tabulon
