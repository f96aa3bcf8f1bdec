// The matrix numerics against hand-computed and closed-form results:
// inverses (an ill-conditioned Hilbert matrix included), determinants,
// several right-hand sides, singular systems, and linear programmes that
// maximise, minimise, meet equalities, or have no solution.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "datatools/matrix.h"

namespace tabulon {
namespace {

Matrix M(int rows, int cols, std::initializer_list<double> v) {
  Matrix m(rows, cols);
  auto it = v.begin();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m(i, j) = *it++;
  return m;
}

Matrix Hilbert(int n) {
  Matrix h(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) h(i, j) = 1.0 / (i + j + 1);
  return h;
}

// The exact inverse of the Hilbert matrix of order n (integers).
double HilbertInverse(int n, int i, int j) {
  auto binom = [](int a, int b) {
    double r = 1;
    for (int k = 1; k <= b; ++k) r = r * (a - b + k) / k;
    return r;
  };
  double s = ((i + j) % 2 == 0) ? 1 : -1;
  return s * (i + j + 1) * binom(n + i, n - j - 1) * binom(n + j, n - i - 1) *
         binom(i + j, i) * binom(i + j, i);
}

TEST(MatrixNumerics, InverseDeterminantAndProductOfSmallMatrices) {
  Matrix inv;
  ASSERT_EQ(Invert(M(2, 2, {1, 2, 3, 4}), inv), MatrixFailure::kNone);
  EXPECT_DOUBLE_EQ(inv(0, 0), -2);
  EXPECT_DOUBLE_EQ(inv(0, 1), 1);
  EXPECT_DOUBLE_EQ(inv(1, 0), 1.5);
  EXPECT_DOUBLE_EQ(inv(1, 1), -0.5);
  EXPECT_EQ(Determinant(M(2, 2, {0, 1, 1, 0})), -1);
  EXPECT_DOUBLE_EQ(Determinant(M(3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2})), 6);  // by cofactors
  // A zero in the first diagonal needs a row swap, which flips the sign.
  EXPECT_DOUBLE_EQ(Determinant(M(3, 3, {0, 2, 1, 1, 0, 0, 0, 0, 3})), -6);
  Matrix p = Multiply(M(2, 3, {1, 2, 3, 4, 5, 6}), M(3, 2, {7, 8, 9, 10, 11, 12}));
  ASSERT_EQ(p.rows(), 2);
  ASSERT_EQ(p.cols(), 2);
  EXPECT_EQ(p(0, 0), 58);
  EXPECT_EQ(p(0, 1), 64);
  EXPECT_EQ(p(1, 0), 139);
  EXPECT_EQ(p(1, 1), 154);
  Matrix t = Transpose(M(1, 4, {1, 2, 3, 4}));
  EXPECT_EQ(t.rows(), 4);
  EXPECT_EQ(t(3, 0), 4);
}

TEST(MatrixNumerics, SolvesSeveralRightHandSidesAtOnce) {
  // 2x + y = 5, x + 3y = 10 -> (1, 3); with b = (3, 4) -> (1, 1).
  Matrix work = M(2, 4, {2, 1, 5, 3, 1, 3, 10, 4});
  Matrix x;
  ASSERT_EQ(SolveInPlace(work, x), MatrixFailure::kNone);
  ASSERT_EQ(x.cols(), 2);
  EXPECT_NEAR(x(0, 0), 1, 1e-15);
  EXPECT_NEAR(x(1, 0), 3, 1e-15);
  EXPECT_NEAR(x(0, 1), 1, 1e-15);
  EXPECT_NEAR(x(1, 1), 1, 1e-15);
  // Partial pivoting: a tiny leading element would wreck an unpivoted solve.
  Matrix tiny = M(2, 3, {1e-20, 1, 1, 1, 1, 2});
  ASSERT_EQ(SolveInPlace(tiny, x), MatrixFailure::kNone);
  EXPECT_NEAR(x(0, 0), 1, 1e-15);
  EXPECT_NEAR(x(1, 0), 1, 1e-15);
}

TEST(MatrixNumerics, SingularMatricesAreCaughtEvenThroughRounding) {
  Matrix inv;
  EXPECT_EQ(Invert(M(2, 2, {1, 2, 2, 4}), inv), MatrixFailure::kSingular);
  // Rank 2: elimination with pivoting leaves a pivot of rounding noise.
  Matrix sing = M(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(Invert(sing, inv), MatrixFailure::kSingular);
  EXPECT_EQ(Determinant(sing), 0);
  EXPECT_EQ(Determinant(M(2, 2, {0, 0, 0, 0})), 0);
  Matrix nan = M(2, 3, {NAN, 1, 1, 1, 1, 1});
  EXPECT_EQ(SolveInPlace(nan, inv), MatrixFailure::kPivot);
  EXPECT_STREQ(FailureMessage(MatrixFailure::kSingular), "Unable to Solve, Determinant=0");
}

TEST(MatrixNumerics, HilbertInversesKeepTheAccuracyTheirConditionAllows) {
  // Order 6 (condition about 1.5e7) comes back to about 1e-9 relative, order
  // 10 (about 1.6e13) to about 1e-3: roughly condition times 1e-16.
  struct Case {
    int n;
    double tolerance;
  };
  for (Case c : {Case{6, 1e-8}, Case{10, 1e-2}}) {
    Matrix inv;
    ASSERT_EQ(Invert(Hilbert(c.n), inv), MatrixFailure::kNone) << c.n;
    double worst = 0;
    for (int i = 0; i < c.n; ++i)
      for (int j = 0; j < c.n; ++j) {
        double exact = HilbertInverse(c.n, i, j);
        worst = std::max(worst, std::fabs(inv(i, j) - exact) / std::fabs(exact));
      }
    EXPECT_LT(worst, c.tolerance) << "order " << c.n;
  }
  // det H4 = 1 / 6048000.
  EXPECT_NEAR(Determinant(Hilbert(4)) * 6048000.0, 1, 1e-10);
}

LinearProgramme Programme(int m, int n, std::initializer_list<double> a,
                          std::initializer_list<Relation> rel, std::initializer_list<double> b,
                          std::initializer_list<double> c, bool minimise) {
  LinearProgramme lp;
  lp.constraints = M(m, n, a);
  lp.relations = rel;
  lp.rhs = b;
  lp.objective = c;
  lp.minimise = minimise;
  return lp;
}

constexpr Relation LE = Relation::kLessEqual, GE = Relation::kGreaterEqual,
                   EQ = Relation::kEqual;

TEST(LinearProgrammes, MaximumMinimumAndEquality) {
  // Max 3x + 2y, x + y <= 4, x + 3y <= 6: the vertex (4, 0) gives 12.
  ProgrammeResult r = SolveProgramme(Programme(2, 2, {1, 1, 1, 3}, {LE, LE}, {4, 6}, {3, 2}, false));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.value, 12, 1e-9);
  EXPECT_NEAR(r.x[0], 4, 1e-9);
  EXPECT_NEAR(r.x[1], 0, 1e-9);
  // Min 2x + 3y, x + y >= 4, x + 3y >= 6: the vertex (3, 1) gives 9.
  r = SolveProgramme(Programme(2, 2, {1, 1, 1, 3}, {GE, GE}, {4, 6}, {2, 3}, true));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.value, 9, 1e-9);
  EXPECT_NEAR(r.x[0], 3, 1e-9);
  EXPECT_NEAR(r.x[1], 1, 1e-9);
  // An equality is held exactly: max x + y with x + 2y = 4, x <= 3 gives
  // (3, 0.5); read as "at least" it would run off to infinity.
  r = SolveProgramme(Programme(2, 2, {1, 2, 1, 0}, {EQ, LE}, {4, 3}, {1, 1}, false));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.value, 3.5, 1e-9);
  EXPECT_NEAR(r.x[0], 3, 1e-9);
  EXPECT_NEAR(r.x[1], 0.5, 1e-9);
  // A negative right-hand side: -x <= -2 is x >= 2; min x gives 2.
  r = SolveProgramme(Programme(1, 1, {-1}, {LE}, {-2}, {1}, true));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.x[0], 2, 1e-9);
}

TEST(LinearProgrammes, UnboundedInfeasibleAndHugeCoefficients) {
  // Max x + y with only x - y <= 1: unbounded.
  EXPECT_EQ(SolveProgramme(Programme(1, 2, {1, -1}, {LE}, {1}, {1, 1}, false)).failure,
            MatrixFailure::kUnbounded);
  // x + y <= 1 and x + y >= 3 cannot both hold.
  EXPECT_EQ(SolveProgramme(Programme(2, 2, {1, 1, 1, 1}, {LE, GE}, {1, 3}, {1, 1}, false)).failure,
            MatrixFailure::kInfeasible);
  // Coefficients near the penalty's size still give the right vertex:
  // min 1e7 x + y with x + y >= 1 takes y = 1.
  ProgrammeResult r = SolveProgramme(Programme(1, 2, {1, 1}, {GE}, {1}, {1e7, 1}, true));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.x[1], 1, 1e-9);
  EXPECT_NEAR(r.value, 1, 1e-9);
  // Degenerate: three constraints through the optimal vertex (1, 1).
  r = SolveProgramme(Programme(3, 2, {1, 0, 0, 1, 1, 1}, {LE, LE, LE}, {1, 1, 2}, {1, 1}, false));
  ASSERT_EQ(r.failure, MatrixFailure::kNone);
  EXPECT_NEAR(r.value, 2, 1e-9);
}

}  // namespace
}  // namespace tabulon
