// Dense matrix numerics for the array commands and the regressions:
// products, transposes, the determinant, inversion and the solution of
// linear equations by elimination with partial pivoting, and a simplex
// solver for small linear programmes. Nothing here touches a worksheet.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tabulon {

// The working area of inversion, equations, determinants and programmes:
// a range with more rows or columns is refused.
inline constexpr int kWorkRows = 30;
inline constexpr int kWorkColumns = 60;

class Matrix {
 public:
  Matrix() = default;
  Matrix(int rows, int cols) : rows_(rows), cols_(cols), a_(static_cast<std::size_t>(rows * cols)) {}
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  double& operator()(int i, int j) { return a_[Index(i, j)]; }
  double operator()(int i, int j) const { return a_[Index(i, j)]; }
  void SwapRows(int i, int k);
  // The largest absolute element, 0 for an empty matrix.
  double MaxAbs() const;

 private:
  std::size_t Index(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_) +
           static_cast<std::size_t>(j);
  }
  int rows_ = 0, cols_ = 0;
  std::vector<double> a_;
};

// Why an operation gave no result. The texts are the messages shown after
// "Error:".
enum class MatrixFailure {
  kNone,
  kTooLarge,          // "Array size>30x30"
  kSingular,          // "Unable to Solve, Determinant=0"
  kPivot,             // "Unable to Solve, Pivot Error?"
  kUnbounded,         // "Region & Objective Function Unbounded"
  kElementsTooLarge,  // "Can Not Solve: Elements get too Large"
  kInfeasible,        // "Can Not Solve: No Feasible Region"
};
const char* FailureMessage(MatrixFailure failure);

Matrix Multiply(const Matrix& a, const Matrix& b);
Matrix Transpose(const Matrix& a);

// The determinant of the leading n x n block (n = rows), by elimination
// with partial pivoting. A matrix that elimination finds singular (a pivot
// negligible against the matrix's largest element) gives exactly 0.
double Determinant(const Matrix& a);

// Solves A X = B where `work` holds A in its first n columns (n = rows) and
// the right-hand sides in the columns after them; `x` receives one
// solution column per right-hand side. `work` is overwritten.
MatrixFailure SolveInPlace(Matrix& work, Matrix& x);
// The inverse of the leading n x n block (n = rows).
MatrixFailure Invert(const Matrix& a, Matrix& inverse);

// A linear programme: maximise or minimise objective . x subject to one
// relation per constraint row, with x >= 0.
enum class Relation { kLessEqual, kGreaterEqual, kEqual };
struct LinearProgramme {
  Matrix constraints;  // one row per constraint, one column per variable
  std::vector<Relation> relations;
  std::vector<double> rhs;
  std::vector<double> objective;
  bool minimise = false;
};
struct ProgrammeResult {
  MatrixFailure failure = MatrixFailure::kNone;
  double value = 0;
  std::vector<double> x;
};
ProgrammeResult SolveProgramme(const LinearProgramme& lp);

}  // namespace tabulon
