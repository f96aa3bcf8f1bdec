// Operands, operators, choice, the list functions and function calls: the
// operations the evaluator itself defines.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/functions/handler_support.h"
#include "formula/links.h"
#include "formula/op_table.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// --- operands ---------------------------------------------------------

void OpNumber(Evaluator& e) {
  if (const std::uint8_t* p = e.Operand(8)) e.PushNumber(ReadDouble(p));
}

void OpInteger(Evaluator& e) {
  if (const std::uint8_t* p = e.Operand(2)) e.PushNumber(ReadI16(p));
}

void Nothing(Evaluator&) {}

// --- operators --------------------------------------------------------

double Power(Evaluator& e, double a, double b) {
  if (a == 0) return 0;
  if (b == 0) return 1;
  if (b == std::trunc(b)) {
    double result = 1;
    if (std::fabs(b) < 9.2e18) {
      // Repeated squaring for whole exponents.
      long long n = static_cast<long long>(std::fabs(b));
      double base = a;
      while (n > 0) {
        if (n & 1) result *= base;
        base *= base;
        n >>= 1;
      }
    } else {
      // A whole exponent too large to count in: every double this large
      // is even, so the sign of the base drops out.
      result = std::pow(std::fabs(a), std::fabs(b));
    }
    return b < 0 ? 1 / result : result;
  }
  if (a < 0) {
    e.Fail();
    return 1;
  }
  return std::exp(b * std::log(a));
}

void Arithmetic(Evaluator& e) {
  if (!e.Need(2)) return;
  Value r = e.Pop();
  Value& l = e.Top();
  double a = l.kind == kSlotNumber ? l.num : 0;
  double b = r.kind == kSlotNumber ? r.num : 0;
  double x = 0;
  switch (e.op()) {
    case kOpAdd: x = a + b; break;
    case kOpSubtract: x = a - b; break;
    case kOpMultiply: x = a * b; break;
    case kOpDivide:
      if (b == 0) {
        e.Fail();
        x = 1;
      } else {
        x = a / b;
      }
      break;
    case kOpPower: x = Power(e, a, b); break;
  }
  if (!std::isfinite(x)) {
    e.Fail();
    x = 1;
  }
  l.num = x;
}

int CompareStrings(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void Comparison(Evaluator& e) {
  if (!e.Need(2)) return;
  const Value& rv = e.FromTop(0);
  const Value& lv = e.FromTop(1);
  int c;
  if (lv.kind == kSlotString && rv.kind == kSlotString) {
    c = CompareStrings(e.StringOf(lv), e.StringOf(rv));
  } else {
    double a = lv.kind == kSlotNumber ? lv.num : 0;
    double b = rv.kind == kSlotNumber ? rv.num : 0;
    c = a < b ? -1 : (a > b ? 1 : 0);
  }
  bool t = false;
  switch (e.op()) {
    case kOpEqual: t = c == 0; break;
    case kOpNotEqual: t = c != 0; break;
    case kOpLessEqual: t = c <= 0; break;
    case kOpGreaterEqual: t = c >= 0; break;
    case kOpLess: t = c < 0; break;
    case kOpGreater: t = c > 0; break;
  }
  e.Pop();
  e.Top().num = t ? 1 : 0;
}

std::int16_t As16Bits(double x) {
  double r = std::round(x);
  if (std::fabs(r) >= 2147483647.0) return 1;
  return static_cast<std::int16_t>(static_cast<std::int32_t>(r) & 0xFFFF);
}

void Bitwise(Evaluator& e) {
  if (!e.Need(2)) return;
  Value r = e.Pop();
  Value& l = e.Top();
  std::int16_t a = As16Bits(l.kind == kSlotNumber ? l.num : 0);
  std::int16_t b = As16Bits(r.kind == kSlotNumber ? r.num : 0);
  l.num = static_cast<std::int16_t>(e.op() == kOpAnd ? (a & b) : (a | b));
}

void Negate(Evaluator& e) {
  if (!e.Need(1)) return;
  Value& v = e.Top();
  double x = v.kind == kSlotNumber ? v.num : 0;
  e.SetTopNumber(-x);
}

void UnaryPlus(Evaluator&) {}

void Not(Evaluator& e) {
  if (!e.Need(1)) return;
  const Value& v = e.Top();
  e.SetTopNumber((v.kind == kSlotNumber ? v.num : 0) == 0 ? 1 : 0);
}

void Concat(Evaluator& e) {
  if (!e.Need(2)) return;
  std::string right = e.Text(e.FromTop(0));
  std::string left = e.Text(e.FromTop(1));
  bool rightError = e.FromTop(0).error;
  e.Pop();
  left += right;
  if (left.size() > kMaxText) left.resize(kMaxText);
  e.SetTopString(left);
  if (rightError) e.Fail();
}

void Percent(Evaluator& e) {
  if (!e.Need(1)) return;
  const Value& v = e.Top();
  e.SetTopNumber((v.kind == kSlotNumber ? v.num : 0) * 0.01);
}

// n! for 0 <= n <= 170; anything else fails and leaves the operand.
void Factorial(Evaluator& e) {
  if (!e.Need(1)) return;
  const Value& v = e.Top();
  double n = std::round(v.kind == kSlotNumber ? v.num : 0);
  if (n < 0 || n > 170) {
    e.Fail();
    return;
  }
  double f = 1;
  for (int i = 2; i <= n; ++i) f *= i;
  e.SetTopNumber(f);
}

// --- constants and choice --------------------------------------------

void NA(Evaluator& e) { e.PushNumber(-1); }
void Err(Evaluator& e) { e.PushError(); }
void True(Evaluator& e) { e.PushNumber(1); }
void False(Evaluator& e) { e.PushNumber(0); }

// @ISNA: whether the value is the number -1 (what @NA gives). The value's
// error mark stays with the answer.
void IsNA(Evaluator& e) {
  if (!e.Need(1)) return;
  bool yes = e.Top().kind == kSlotNumber && e.Top().num == -1;
  e.SetTopNumber(yes ? 1 : 0);
}

// @ISERR: whether the value carries the error mark; the mark is taken off,
// so the formula itself is not in error.
void IsErr(Evaluator& e) {
  if (!e.Need(1)) return;
  bool yes = e.Top().error;
  e.SetTopNumber(yes ? 1 : 0);
  e.Top().error = false;
}

// Replaces the top `n` values by `chosen` (which lies among them).
void ReplaceBy(Evaluator& e, int n, const Value& chosen, bool error) {
  if (chosen.kind == kSlotString) {
    char buf[kMaxText];
    std::string_view s = e.StringOf(chosen);
    std::memcpy(buf, s.data(), s.size());
    e.Drop(n);
    e.PushString(std::string_view(buf, s.size()));
  } else {
    double x = chosen.num;
    std::uint8_t kind = chosen.kind;
    e.Drop(n);
    e.PushNumber(x);
    if (e.depth() > 0) e.Top().kind = kind;
  }
  if (e.depth() > 0) e.Top().error = error;
}

void If(Evaluator& e) {
  if (!e.Need(3)) return;
  Value c = e.FromTop(2);
  Value chosen = (c.kind == kSlotNumber && c.num == 1) ? e.FromTop(1) : e.FromTop(0);
  ReplaceBy(e, 3, chosen, c.error || chosen.error);
}

void Case(Evaluator& e) {
  int count = e.CountByte();
  if (count < 1 || !e.Need(count)) {
    e.Abort();
    return;
  }
  Value k = e.FromTop(count - 1);
  double index = std::round(k.kind == kSlotNumber ? k.num : 0);
  int n = count - 1;
  if (index < 1 || index > n) {
    e.Drop(count - 1);
    e.Fail();
    return;
  }
  // Value i (1-based) lies count-1-i slots below the top.
  Value chosen = e.FromTop(count - 1 - static_cast<int>(index));
  ReplaceBy(e, count, chosen, k.error || chosen.error);
}

// --- list functions ---------------------------------------------------

void List(Evaluator& e) {
  int count = e.CountByte();
  if (count < 1 || !e.Need(count)) {
    e.Abort();
    return;
  }
  std::uint8_t op = e.op();
  bool variance = op == kOpVar || op == kOpStd || op == kOpVarU || op == kOpStdU;
  ListStats s = e.CollectList(count, variance);
  double x = 0;
  switch (op) {
    case kOpSum: x = s.sum; break;
    case kOpAvg:
      if (s.count == 0) e.Fail();
      else x = s.sum / s.count;
      break;
    case kOpCount: x = s.count; break;
    case kOpMin: x = s.min; break;
    case kOpMax: x = s.max; break;
    case kOpVar:
    case kOpStd:
      if (s.count == 0) e.Fail();
      else x = s.sumSquares / s.count;
      if (op == kOpStd) x = std::sqrt(x);
      break;
    case kOpVarU:
    case kOpStdU:
      if (s.count < 2) e.Fail();
      else x = s.sumSquares / (s.count - 1);
      if (op == kOpStdU) x = std::sqrt(x);
      break;
  }
  e.Drop(count - 1);
  e.SetTopNumber(x);
  e.Top().error = false;  // the list routine decided through the error flag
}

}  // namespace

// --- operations without an evaluation -------------------------------

void NoEvaluation(Evaluator& e) {
  if (!e.Need(1)) return;
  e.Pop();
  e.PushError();
}

// --- user-defined and worksheet-defined functions -------------------

void RunUserFunction(Evaluator& e) {
  const std::uint8_t* p = e.Operand(1);
  if (p == nullptr) return;
  FormulaEngine& engine = Engine(e.session());
  int index = *p;
  if (index < 1 || index > static_cast<int>(engine.usedFunctions.size())) {
    e.PushError();
    return;
  }
  const UserFunction& f = engine.usedFunctions[index - 1];
  int n = f.argCount;
  if (!e.Need(n)) return;
  Evaluator::UserArgs args;
  args.count = n;
  for (int i = n - 1; i >= 0; --i) {
    const Value& v = e.FromTop(n - 1 - i);
    args.values[i] = v;
    args.texts[i] = v.kind == kSlotString ? std::string(e.StringOf(v)) : std::string();
  }
  e.Drop(n);
  const Evaluator::UserArgs* saved = e.userArgs_;
  e.userArgs_ = &args;
  std::string definition = f.definition;  // the list may grow during the call
  TextResult r = e.EvaluateText(e.doc(), definition);
  e.userArgs_ = saved;
  if (r.isString && !r.text.empty()) e.PushString(r.text);
  else e.PushNumber(r.number);
  if (r.error) e.Fail();
}

void RunSheetFunction(Evaluator& e) {
  const std::uint8_t* kind = e.Operand(1);
  if (kind == nullptr) return;
  const std::uint8_t* refs = nullptr;
  CellStore& store = e.cells();
  int r1, c1, r2, c2;
  auto corner = [&](const std::uint8_t* ref, int& row, int& col) {
    return ReferencedPosition(store, ref, row, col);
  };
  bool ok;
  if (*kind == kOpCell) {
    refs = e.Operand(4);
    if (refs == nullptr) return;
    ok = corner(refs, r1, c1);
    r2 = r1;
    c2 = c1;
  } else if (*kind == kOpRange) {
    refs = e.Operand(8);
    if (refs == nullptr) return;
    ok = corner(refs + 4, r1, c1) && corner(refs, r2, c2);
  } else {
    e.Abort();
    return;
  }
  if (!ok) {
    e.PushError();
    return;
  }
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  int n = c2 - c1 + 1;
  if (!e.Need(n)) return;
  // The last argument goes to the rightmost cell of the first row.
  for (int i = 0; i < n; ++i) {
    const Value& v = e.FromTop(i);
    double x = v.kind == kSlotNumber ? v.num : 0;
    CellRecord* cell = store.GetOrCreateCell(r1, c2 - i);
    if (cell != nullptr && !cell->IsFormula()) {
      store.FreeText(*cell);
      store.StoreNumber(*cell, x);
    }
  }
  e.Drop(n);
  CellRecord* body = store.FindCell(r2, c1);
  if (body == nullptr || !body->IsFormula() || body->text == nullptr) {
    e.PushNumber(0);
    return;
  }
  std::string code = CodeBytes(body->text);
  TextResult r = e.EvaluateCode(e.doc(), reinterpret_cast<const std::uint8_t*>(code.data()),
                                e.cellRow(), e.cellCol());
  e.ClearFailure();
  if (r.isString && !r.text.empty()) e.PushString(r.text);
  else e.PushNumber(r.number);
}

namespace {

void UserArgument(Evaluator& e) {
  if (!e.Need(1)) return;
  const Value& v = e.Top();
  double i = std::round(v.kind == kSlotNumber ? v.num : 0);
  if (i < 1 || i > kMaxUserArgs) {
    e.SetTopNumber(1);
    e.Fail();
    return;
  }
  const Evaluator::UserArgs* args = e.userArgs();
  int k = static_cast<int>(i) - 1;
  if (args == nullptr || k >= args->count) {
    e.SetTopNumber(0);
    return;
  }
  if (args->values[k].kind == kSlotString) e.SetTopString(args->texts[k]);
  else e.SetTopNumber(args->values[k].num);
}

void OpString(Evaluator& e) {
  // The characters up to the 0 byte, which must lie before the end operation.
  const std::uint8_t* text = e.Operand(0);
  if (text == nullptr) return;
  std::size_t n = 0;
  for (const std::uint8_t* b = e.Operand(1); b != nullptr && *b != 0; b = e.Operand(1)) ++n;
  if (e.aborted()) return;
  e.PushString(std::string_view(reinterpret_cast<const char*>(text), n));
}

void OpCell(Evaluator& e) {
  int start = e.OperationStart();
  const std::uint8_t* p = e.Operand(4);
  if (p == nullptr) return;
  e.PushCell(e.cells().Get(RefId(ReadU32(p))));
  // Functions that take a range see a cell operand as a one-cell range.
  if (e.depth() > 0) e.Top().origin = static_cast<std::uint16_t>(start);
}

void OpRange(Evaluator& e) {
  int start = e.OperationStart();
  const std::uint8_t* p = e.Operand(8);
  if (p == nullptr) return;
  e.PushCell(e.cells().Get(RefId(ReadU32(p))));
  if (e.depth() == 0) return;
  Value& v = e.Top();
  if (v.kind == kSlotString) e.SetTopNumber(0);
  e.Top().origin = static_cast<std::uint16_t>(start);
}

void OpLink(Evaluator& e) {
  int start = e.OperationStart();
  const std::uint8_t* address = e.Operand(8);
  if (address == nullptr) return;
  const std::uint8_t* path = e.Operand(0);
  if (path == nullptr) return;
  std::size_t n = 0;
  for (const std::uint8_t* b = e.Operand(1); b != nullptr && *b != 0; b = e.Operand(1)) ++n;
  if (e.aborted()) return;
  LinkSource* links = Engine(e.session()).links;
  SheetDocument* linked =
      links ? links->Find(std::string_view(reinterpret_cast<const char*>(path), n), e.doc()) : nullptr;
  if (linked == nullptr) {
    e.PushCell(nullptr);  // the blank error value
    return;
  }
  e.PushCell(linked->cells().FindCell(ReadI16(address + 2), ReadI16(address)));
  if (e.depth() > 0) e.Top().origin = static_cast<std::uint16_t>(start);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterCoreOperations(DispatchTable& t) {
#define CORE_OPERATION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
