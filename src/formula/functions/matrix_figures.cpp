// Figures of a range read as a matrix (determinant, rank, trace) and
// bilinear interpolation in a two-way table.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "formula/functions/numeric_args.h"
#include "formula/op_table.h"

namespace tabulon {

namespace {

constexpr int kMaxDeterminantSize = 20;
constexpr int kMaxRankRows = 30;
constexpr int kMaxRankColumns = 60;
// Elements this close to zero count as zero when the rank is found.
constexpr double kRankZero = 1e-7;

void SetRangeResult(Evaluator& e, double x) {
  e.Top().error = false;  // the cells were judged while they were read
  SetResult(e, x);
}

// Gaussian elimination without scaling; a zero pivot is replaced by the
// first row below with a non-zero element in its column.
void Determinant(Evaluator& e) {
  if (!e.Need(1)) return;
  std::vector<double> a;
  int rows, cols;
  if (!DenseValues(e, e.Top(), a, rows, cols)) return SetFailure(e);
  if (rows != cols || rows > kMaxDeterminantSize) return SetFailure(e);
  int n = rows;
  auto at = [&](int r, int c) -> double& { return a[static_cast<std::size_t>(r) * n + c]; };
  double det = 1;
  for (int k = 0; k < n; ++k) {
    if (at(k, k) == 0) {
      int swap = k + 1;
      while (swap < n && at(swap, k) == 0) ++swap;
      if (swap == n) return SetRangeResult(e, 0);
      for (int c = 0; c < n; ++c) std::swap(at(k, c), at(swap, c));
      det = -det;
    }
    for (int r = k + 1; r < n; ++r) {
      if (at(r, k) == 0) continue;
      double factor = at(r, k) / at(k, k);
      for (int c = k; c < n; ++c) at(r, c) -= factor * at(k, c);
    }
    det *= at(k, k);
  }
  SetRangeResult(e, det);
}

// Row reduction with a tolerance for zero; the rank is the number of rows
// left that are not entirely zero.
void Rank(Evaluator& e) {
  if (!e.Need(1)) return;
  std::vector<double> a;
  int rows, cols;
  if (!DenseValues(e, e.Top(), a, rows, cols)) return SetFailure(e);
  bool transpose = rows > cols;
  int m = transpose ? cols : rows, n = transpose ? rows : cols;
  if (m > kMaxRankRows || n > kMaxRankColumns) return SetFailure(e);
  std::vector<std::vector<double>> matrix(m, std::vector<double>(n));
  for (int r = 0; r < m; ++r)
    for (int c = 0; c < n; ++c)
      matrix[r][c] = transpose ? a[static_cast<std::size_t>(c) * cols + r]
                               : a[static_cast<std::size_t>(r) * cols + c];
  auto isZero = [](double x) { return std::fabs(x) <= kRankZero; };
  auto dropZeroRows = [&](std::size_t from) {
    auto zeroRow = [&](const std::vector<double>& row) {
      return std::all_of(row.begin(), row.end(), isZero);
    };
    matrix.erase(std::remove_if(matrix.begin() + from, matrix.end(), zeroRow), matrix.end());
  };
  std::size_t pivotRow = 0;
  for (int c = 0; c < n; ++c) {
    dropZeroRows(pivotRow);
    if (pivotRow >= matrix.size()) break;
    // The largest element by magnitude keeps the elimination stable.
    std::size_t best = matrix.size();
    for (std::size_t r = pivotRow; r < matrix.size(); ++r)
      if (!isZero(matrix[r][c]) &&
          (best == matrix.size() || std::fabs(matrix[r][c]) > std::fabs(matrix[best][c])))
        best = r;
    if (best == matrix.size()) continue;  // no pivot in this column
    std::swap(matrix[pivotRow], matrix[best]);
    std::vector<double>& pivot = matrix[pivotRow];
    double p = pivot[c];
    for (double& x : pivot) x /= p;
    for (std::size_t r = pivotRow + 1; r < matrix.size(); ++r) {
      double factor = matrix[r][c];
      if (factor == 0) continue;
      for (int k = c; k < n; ++k) matrix[r][k] -= factor * pivot[k];
    }
    ++pivotRow;
  }
  dropZeroRows(0);
  SetRangeResult(e, static_cast<double>(matrix.size()));
}

void Trace(Evaluator& e) {
  if (!e.Need(1)) return;
  std::vector<double> a;
  int rows, cols;
  if (!DenseValues(e, e.Top(), a, rows, cols)) return SetFailure(e);
  if (rows != cols) return SetFailure(e);
  double sum = 0;
  for (int k = 0; k < rows; ++k) sum += a[static_cast<std::size_t>(k) * cols + k];
  SetRangeResult(e, sum);
}

// Finds the interval of ascending keys that holds x: key(i) <= x < key(i+1),
// or the last interval when x equals the last key. Sets i and the fraction
// of the way from key(i) to key(i+1); false when x lies outside the keys or
// the interval is empty.
bool FindInterval(const std::vector<double>& keys, double x, std::size_t& i, double& t) {
  std::size_t n = keys.size();
  if (n == 0) return false;
  if (n == 1) {
    i = 0;
    t = 0;
    return x == keys[0];
  }
  for (std::size_t k = 0; k + 1 < n; ++k) {
    if (keys[k] <= x && x < keys[k + 1]) {
      i = k;
      t = (x - keys[k]) / (keys[k + 1] - keys[k]);
      return true;
    }
  }
  if (x == keys[n - 1] && keys[n - 2] < keys[n - 1]) {
    i = n - 2;
    t = 1;
    return true;
  }
  return false;
}

void XYInterpolate(Evaluator& e) {
  if (!e.Need(3)) return;
  double x = Num(e.FromTop(1)), y = Num(e.FromTop(0));
  if (e.FromTop(1).error || e.FromTop(0).error) e.Fail();
  std::vector<double> a;
  int rows, cols;
  bool ok = DenseValues(e, e.FromTop(2), a, rows, cols);
  e.Drop(2);
  if (!ok || rows < 2 || cols < 2) return SetFailure(e);
  auto cell = [&](std::size_t r, std::size_t c) { return a[r * cols + c]; };
  std::vector<double> xKeys(a.begin() + 1, a.begin() + cols), yKeys;
  for (int r = 1; r < rows; ++r) yKeys.push_back(cell(r, 0));
  std::size_t i, j;
  double tx, ty;
  if (!FindInterval(xKeys, x, i, tx) || !FindInterval(yKeys, y, j, ty)) return SetFailure(e);
  // Table values: rows 1 + j (+1), columns 1 + i (+1). A fraction of 0 never
  // reads past a one-key table.
  std::size_t i2 = tx == 0 ? i : i + 1, j2 = ty == 0 ? j : j + 1;
  double low = cell(1 + j, 1 + i) + tx * (cell(1 + j, 1 + i2) - cell(1 + j, 1 + i));
  double high = cell(1 + j2, 1 + i) + tx * (cell(1 + j2, 1 + i2) - cell(1 + j2, 1 + i));
  SetRangeResult(e, low + ty * (high - low));
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterMatrixFunctions(DispatchTable& t) {
#define MATRIX_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
