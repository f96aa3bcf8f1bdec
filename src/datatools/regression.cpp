#include "datatools/regression.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "datatools/cell_values.h"
#include "datatools/matrix.h"
#include "datatools/result_block.h"
#include "edit/cell_text.h"
#include "formula/engine.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

std::string Num(SheetDocument& doc, double x) {
  return NumberEditText(x, doc.session().settings().decimalChar);
}

}  // namespace

bool LinearRegression(SheetDocument& doc, const CellRange& x, const CellRange& y,
                      const CellRange& output) {
  if (!x.IsDefined() || !y.IsDefined() || !output.IsDefined()) return true;
  const CellStore& store = doc.cells();
  const int dr = y.Top() - x.Top(), dc = y.Left() - x.Left();
  std::vector<double> xs, ys;
  for (int r = x.Top(); r <= x.Bottom(); ++r)
    for (int c = x.Left(); c <= x.Right(); ++c) {
      const CellRecord* cx = store.FindCell(r, c);
      const CellRecord* cy = store.FindCell(r + dr, c + dc);
      if (IsBlankCell(cx) || IsBlankCell(cy)) continue;
      xs.push_back(CellNumber(cx));
      ys.push_back(CellNumber(cy));
    }
  if (xs.empty()) return true;

  // The spread is summed about the means: the textbook n Sxx - Sx^2 loses
  // every digit when the values sit far from zero.
  const double n = static_cast<double>(xs.size());
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, maxX = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    sx += xs[i];
    sy += ys[i];
    sxx += xs[i] * xs[i];
    syy += ys[i] * ys[i];
    sxy += xs[i] * ys[i];
    maxX = std::max(maxX, std::fabs(xs[i]));
  }
  const double mx = sx / n, my = sy / n;
  double cxx = 0, cyy = 0, cxy = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    cxx += (xs[i] - mx) * (xs[i] - mx);
    cyy += (ys[i] - my) * (ys[i] - my);
    cxy += (xs[i] - mx) * (ys[i] - my);
  }
  const double noise = 4 * std::numeric_limits<double>::epsilon() * maxX;
  if (!std::isfinite(cxx) || cxx <= n * noise * noise) {
    doc.session().errors().Fail("Can not regress! X values are all equal");
    return false;
  }
  const double b = cxy / cxx;
  const double a = my - b * mx;
  // With every Y equal there is no spread to explain; R^2 is taken as 0, as
  // multiple regression does.
  const double r2 = cyy > 0 ? std::min(1.0, cxy * cxy / (cxx * cyy)) : 0.0;
  const double sigmaX = xs.size() > 1 ? std::sqrt(cxx / (n - 1)) : 0.0;
  const double sigmaY = xs.size() > 1 ? std::sqrt(cyy / (n - 1)) : 0.0;
  double regErr = 0, slopeErr = 0;
  if (xs.size() > 2) {
    regErr = std::sqrt(std::max(0.0, (1 - r2) * cyy / (n - 2)));
    slopeErr = regErr / std::sqrt(cxx);
  }

  ResultWriter w(doc);
  const int R = output.Top(), C = output.Left();
  if (!w.Check(R, C, 12, 2)) return false;
  const char* labels[] = {"Intercept", "Slope", "R^2", "Sum X^2", "Sum Y^2", "Sum X*Y",
                          "Count", "SIGMA x", "SIGMA y", "RegErr", "SlopeErr"};
  const double values[] = {a, b, r2, sxx, syy, sxy, n, sigmaX, sigmaY, regErr, slopeErr};
  for (int i = 0; i < 11; ++i)
    if (!w.Entry(R + i, C, labels[i]) || !w.Number(R + i, C + 1, values[i])) return false;
  w.Finish();
  std::string formula = "+";
  if (a != 0) formula += Num(doc, a) + "+";
  formula += Num(doc, b) + "*@X";
  // The formula shows the fit at the first X value.
  Engine(doc.session()).x = CellNumber(store.FindCell(x.Top(), x.Left()));
  return w.Entry(R + 11, C, "Formula:") && w.Entry(R + 11, C + 1, formula);
}

std::optional<TermGrid> ParseTermOptions(std::string_view text) {
  TermGrid grid{};
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size()) break;
    char v = static_cast<char>(text[i] & ~0x20);
    if (v < 'A' || v > 'C') return std::nullopt;
    ++i;
    bool any = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '8') {
      grid[static_cast<std::size_t>(text[i] - '0')] |= 1u << (v - 'A');
      any = true;
      ++i;
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (!any || (i < text.size() && text[i] != ',')) return std::nullopt;
    ++i;
  }
  return grid;
}

namespace {

struct Term {
  int variable;  // 0-2: the X range's column
  int row;       // 0 constant, 1-5 power, 6 square root, 7 logarithm, 8 exponential
};

// The term's value at x; false when it has none.
bool TermValue(const Term& t, double x, double& out) {
  switch (t.row) {
    case 0: out = 1; break;
    case 6: out = std::sqrt(std::fabs(x)); break;
    case 7:
      if (!(x > 0)) return false;
      out = std::log(x);
      break;
    case 8: out = std::exp(x); break;
    default: out = std::pow(x, t.row); break;
  }
  return std::isfinite(out);
}

std::string TermName(const Term& t) {
  static const char* kNames[] = {"Const", "x", "x^2", "x^3", "x^4", "x^5", "\xFBx", "Ln(x)", "e^x"};
  std::string name = kNames[t.row];
  if (t.row == 0) return name;
  name.insert(name.find('x') + 1, std::to_string(t.variable + 1));
  return name;
}

std::string TermText(const Term& t, const std::string& var) {
  switch (t.row) {
    case 1: return var;
    case 6: return "@SQRT(" + var + ")";
    case 7: return "@LN(@ABS(" + var + "))";
    case 8: return "@EXP(" + var + ")";
    default: return var + "^" + std::to_string(t.row);
  }
}

}  // namespace

bool MultipleRegression(SheetDocument& doc, const CellRange& x, const CellRange& y,
                        const CellRange& output, const TermGrid& grid) {
  if (!x.IsDefined() || !y.IsDefined() || !output.IsDefined()) return false;
  ErrorChannel& errors = doc.session().errors();
  const int vars = std::min(3, x.Right() - x.Left() + 1);
  std::vector<Term> terms;
  bool haveConstant = false;
  for (int v = 0; v < vars; ++v)
    for (int row = 0; row < 9; ++row) {
      if (!((grid[static_cast<std::size_t>(row)] >> v) & 1u)) continue;
      if (row == 0) {
        if (haveConstant) continue;
        haveConstant = true;
      }
      terms.push_back({v, row});
    }
  const char* failed = "Can not regress! Try another function";
  const int p = static_cast<int>(terms.size());
  if (p == 0 || p > kWorkRows) {
    errors.Fail(failed);
    return false;
  }

  const CellStore& store = doc.cells();
  const int top = x.Top(), bottom = x.Bottom(), left = x.Left();
  const int rows = bottom - top + 1;
  const int dy = y.Top() - top;
  Matrix f(rows, p);
  std::vector<double> ys(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    ys[static_cast<std::size_t>(r)] = CellNumber(store.FindCell(top + r + dy, y.Left()));
    for (int k = 0; k < p; ++k) {
      const Term& t = terms[static_cast<std::size_t>(k)];
      double v = 0;
      if (!TermValue(t, CellNumber(store.FindCell(top + r, left + t.variable)), v)) {
        errors.Fail(failed);
        return false;
      }
      f(r, k) = v;
    }
  }
  // The normal equations, solved by elimination with partial pivoting.
  Matrix normal(p, p + 1);
  for (int i = 0; i < p; ++i) {
    for (int j = 0; j < p; ++j) {
      double s = 0;
      for (int r = 0; r < rows; ++r) s += f(r, i) * f(r, j);
      normal(i, j) = s;
    }
    double s = 0;
    for (int r = 0; r < rows; ++r) s += f(r, i) * ys[static_cast<std::size_t>(r)];
    normal(i, p) = s;
  }
  Matrix coef;
  if (SolveInPlace(normal, coef) != MatrixFailure::kNone) {
    errors.Fail(failed);
    return false;
  }

  auto fitted = [&](int r) {
    double s = 0;
    for (int k = 0; k < p; ++k) s += coef(k, 0) * f(r, k);
    return s;
  };
  double mean = 0;
  for (double v : ys) mean += v;
  mean /= rows;
  double sst = 0, sse = 0;
  for (int r = 0; r < rows; ++r) {
    const double v = ys[static_cast<std::size_t>(r)];
    sst += (v - mean) * (v - mean);
    sse += (fitted(r) - v) * (fitted(r) - v);
  }
  const double r2 = 1 - (sst == 0 ? 1.0 : sse / sst);

  const bool oneColumn = x.Left() == x.Right();
  const int pageHeight = doc.settings().pageHeight;
  std::string formula;
  for (int k = 0; k < p; ++k) {
    const Term& t = terms[static_cast<std::size_t>(k)];
    const double c = coef(k, 0);
    // A zero coefficient gets its sign too, or it would run into the term
    // before it.
    if (!(c < 0)) formula += "+";
    formula += Num(doc, c);
    if (t.row == 0) continue;
    const std::string var =
        oneColumn ? std::string("@X") : ShortAddressText(top, left + t.variable, pageHeight);
    formula += "*" + TermText(t, var);
  }
  if (formula.size() > 254) formula = "Formula too large";

  ResultWriter w(doc);
  const int R = output.Top(), C = output.Left();
  if (!w.Check(R, C, p + 3, 2)) return false;
  for (int k = 0; k < p; ++k)
    if (!w.Entry(R + k, C, TermName(terms[static_cast<std::size_t>(k)])) ||
        !w.Number(R + k, C + 1, coef(k, 0)))
      return false;
  w.Finish();
  Engine(doc.session()).x = CellNumber(store.FindCell(top, left));
  if (!w.Entry(R + p, C, "Formula:") ||
      !w.Entry(R + p, C + 1, oneColumn ? formula : "'" + formula))
    return false;
  return w.Entry(R + p + 1, C, "Result:") && w.Number(R + p + 1, C + 1, fitted(0)) &&
         w.Entry(R + p + 2, C, "R^2") && w.Number(R + p + 2, C + 1, r2);
}

}  // namespace tabulon
