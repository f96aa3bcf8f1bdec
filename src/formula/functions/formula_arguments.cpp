// Functions that take a formula as a string and evaluate it for values of
// the X variable: @X, @INTG, @RECUR and the database statistics @QSUM ...
// @QSTD.
#include <algorithm>
#include <cmath>
#include <vector>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/functions/numeric_args.h"
#include "formula/op_table.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// An integral of an integral of an integral already takes 129^3 evaluations;
// one level more would hold the program for minutes.
constexpr int kMaxFormulaArgDepth = 3;

constexpr int kRecurLimit = 20;

}  // namespace

FormulaArgument::FormulaArgument(Evaluator& e, std::string_view text)
    : e_(e), savedX_(Engine(e.session()).x) {
  FormulaEngine& engine = Engine(e.session());
  if (engine.formulaArgDepth >= kMaxFormulaArgDepth) return;
  ++engine.formulaArgDepth;
  counted_ = true;
  code_ = CompileFormula(e.doc(), text).code;
  ok_ = !code_.empty();
}

FormulaArgument::~FormulaArgument() {
  FormulaEngine& engine = Engine(e_.session());
  if (counted_) --engine.formulaArgDepth;
  // The variable belongs to the enclosing formula again, which may be an
  // integrand using @X after this call.
  engine.x = savedX_;
}

bool FormulaArgument::CallsUserFunction() const {
  bool found = false;
  ForEachOperation(reinterpret_cast<const std::uint8_t*>(code_.data()),
                   [&](int, std::uint8_t op) { found = found || op == kOpUserFunction; });
  return found;
}

bool FormulaArgument::Evaluate(double x, double& result) {
  if (!ok_) return false;
  Engine(e_.session()).x = x;
  TextResult r = e_.EvaluateCode(e_.doc(), reinterpret_cast<const std::uint8_t*>(code_.data()),
                                 e_.cellRow(), e_.cellCol());
  if (r.error) return false;
  result = r.isString ? 0 : r.number;
  return true;
}

std::string FormulaText(Evaluator& e, const Value& v) { return e.Text(v); }

namespace {

void X(Evaluator& e) { e.PushNumber(Engine(e.session()).x); }

// Romberg integration: trapezoid sums with 16, 32, 64 and 128 intervals,
// then three rounds of Richardson extrapolation.
void Integrate(Evaluator& e) {
  double v[3];
  if (!e.Need(3)) return;
  std::string text = FormulaText(e, e.FromTop(2));
  if (!TakeNumbers(e, 3, v)) return;
  double a = v[1], b = v[2];
  FormulaArgument f(e, text);
  if (!f.ok() || f.CallsUserFunction()) return SetFailure(e);
  constexpr int kPoints = 128;
  double values[kPoints + 1];
  bool usesX = text.find("@x") != std::string::npos || text.find("@X") != std::string::npos;
  if (!usesX) {
    // Without @X the formula is a constant.
    double c;
    if (!f.Evaluate(0, c)) return SetFailure(e);
    std::fill(values, values + kPoints + 1, c);
  } else {
    double h = (b - a) / kPoints;
    for (int k = 0; k <= kPoints; ++k)
      if (!f.Evaluate(a + k * h, values[k])) return SetFailure(e);
  }
  double t[4];
  for (int level = 0; level < 4; ++level) {
    int intervals = 16 << level, stride = kPoints / intervals;
    double sum = (values[0] + values[kPoints]) / 2;
    for (int k = 1; k < intervals; ++k) sum += values[k * stride];
    t[level] = sum * (b - a) / intervals;
  }
  double factor = 4;
  for (int round = 1; round < 4; ++round, factor *= 4)
    for (int i = 0; i + round < 4; ++i) t[i] = (factor * t[i + 1] - t[i]) / (factor - 1);
  SetResult(e, t[0]);
}

// Fixed-point iteration x := f(x) from x0 until two values differ by less
// than the tolerance.
void Recur(Evaluator& e) {
  double v[3];
  if (!e.Need(3)) return;
  std::string text = FormulaText(e, e.FromTop(2));
  if (!TakeNumbers(e, 3, v)) return;
  double tolerance = v[2];
  FormulaArgument f(e, text);
  if (!f.ok()) return SetFailure(e);
  double x = v[1];
  for (int i = 0; i < kRecurLimit; ++i) {
    double next;
    if (!f.Evaluate(x, next) || !std::isfinite(next)) return SetFailure(e);
    if (std::fabs(next - x) < tolerance) return SetResult(e, next);
    x = next;
  }
  SetFailure(e);
}

// @QSUM ... @QSTD (criteria, range, offset): statistics of the numbers
// `offset` columns right of the range's numeric cells that meet the criteria.
void Database(Evaluator& e) {
  if (!e.Need(3)) return;
  std::string text = FormulaText(e, e.FromTop(2));
  RangeArg r = RangeArgument(e, e.FromTop(1));
  double offset = RoundedArg(e.FromTop(0));
  if (e.FromTop(0).error) e.Fail();
  e.Drop(2);
  if (!r.valid) return SetFailure(e);
  FormulaArgument criteria(e, text);
  if (!criteria.ok()) return SetFailure(e);

  // The criteria may run worksheet functions that create cells, so the
  // candidates are gathered before any of them is evaluated.
  struct Candidate {
    double value;
    int row, col;
  };
  std::vector<Candidate> candidates;
  bool badCell = false;
  e.ForEachCellIn(r, [&](const CellRecord& c) {
    if (!IsNumericCell(c)) return;
    if (c.HasError()) badCell = true;
    else candidates.push_back({NumericCellValue(c), c.row, c.col});
  });
  if (badCell) return SetFailure(e);

  CellStore& store = e.CellsOf(r);
  std::vector<double> counted;
  for (const Candidate& c : candidates) {
    double meets;
    if (!criteria.Evaluate(c.value, meets)) return SetFailure(e);
    if (meets == 0) continue;
    double col = c.col + offset;
    if (!ColumnInSheet(static_cast<int>(std::clamp(col, -1.0, 256.0)))) return SetFailure(e);
    counted.push_back(CellAsNumber(e, store.FindCell(c.row, static_cast<int>(col))));
  }

  double n = static_cast<double>(counted.size()), sum = 0;
  for (double x : counted) sum += x;
  double result = 0;
  switch (e.op()) {
    case kOpQSum: result = sum; break;
    case kOpQAvg:
      if (n == 0) return SetFailure(e);
      result = sum / n;
      break;
    case kOpQCount: result = n; break;
    case kOpQMin:
      if (n > 0) result = *std::min_element(counted.begin(), counted.end());
      break;
    case kOpQMax:
      if (n > 0) result = *std::max_element(counted.begin(), counted.end());
      break;
    default: {
      if (n == 0) return SetFailure(e);
      double mean = sum / n, squares = 0;
      for (double x : counted) squares += (x - mean) * (x - mean);
      result = squares / n;
      if (e.op() == kOpQStd) result = std::sqrt(result);
      break;
    }
  }
  SetResult(e, result);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterFormulaArgumentFunctions(DispatchTable& t) {
#define FORMULA_ARGUMENT_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
