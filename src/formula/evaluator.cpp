#include "formula/evaluator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/links.h"
#include "formula/number_text.h"
#include "sheet/session.h"

namespace tabulon {

Evaluator::Evaluator(Session& session) : session_(session) {}

void UnassignedOperation(Evaluator& e) { e.Abort(); }

const DispatchTable& Evaluator::Dispatch() {
  static const DispatchTable table = [] {
    DispatchTable t;
    t.fill(UnassignedOperation);
    RegisterCoreOperations(t);
    RegisterMathFunctions(t);
    RegisterStatisticsFunctions(t);
    RegisterSpecialFunctions(t);
    RegisterMatrixFunctions(t);
    RegisterFormulaArgumentFunctions(t);
    RegisterTextFunctions(t);
    RegisterDateTimeFunctions(t);
    RegisterFinancialFunctions(t);
    RegisterLookupFunctions(t);
    RegisterInformationFunctions(t);
    return t;
  }();
  return table;
}

CellStore& Evaluator::cells() { return doc_->cells(); }

CellStore& Evaluator::CellsOf(const RangeArg& r) { return DocumentOf(r).cells(); }

// --- the value stack ---------------------------------------------------

void Evaluator::PushNumber(double x) {
  if (sp_ >= kStackSlots) {
    Abort();
    return;
  }
  Value& v = stack_[sp_++];
  v.num = x;
  v.kind = kSlotNumber;
  v.error = false;
  v.origin = 0;
  v.strLength = 0;
}

void Evaluator::PushString(std::string_view s) {
  if (sp_ >= kStackSlots) {
    Abort();
    return;
  }
  if (s.size() > kMaxText) s = s.substr(0, kMaxText);
  if (poolTop_ + static_cast<int>(s.size()) > kStringPoolBytes) {
    Abort();
    return;
  }
  Value& v = stack_[sp_++];
  v.num = 0;
  v.kind = kSlotString;
  v.error = false;
  v.origin = 0;
  v.strOffset = static_cast<std::uint16_t>(poolTop_);
  v.strLength = static_cast<std::uint8_t>(s.size());
  if (!s.empty()) std::memmove(pool_.data() + poolTop_, s.data(), s.size());
  poolTop_ += static_cast<int>(s.size());
}

void Evaluator::PushError() {
  PushNumber(-1);
  if (sp_ > 0) Top().error = true;
}

Value Evaluator::Pop() {
  if (sp_ <= 0) {
    Abort();
    return Value{0, kSlotNumber, true};
  }
  Value v = stack_[--sp_];
  if (v.kind == kSlotString) poolTop_ = v.strOffset;
  lastPoppedError_ = v.error;
  return v;
}

void Evaluator::Drop(int n) {
  for (int i = 0; i < n; ++i) Pop();
}

std::string Evaluator::Text(const Value& v) const {
  if (v.kind == kSlotString) return std::string(StringOf(v));
  if (v.kind == kSlotBlank) return {};
  return NumberText(v.num, session_.settings().decimalChar);
}

void Evaluator::SetTopNumber(double x) {
  Value& v = Top();
  if (v.kind == kSlotString) poolTop_ = v.strOffset;
  v.num = x;
  v.kind = kSlotNumber;
  v.origin = 0;
  v.strLength = 0;
}

void Evaluator::SetTopString(std::string_view s) {
  // The text may live in the pool above the top's own bytes; copy it first.
  char buf[kMaxText];
  std::size_t n = std::min<std::size_t>(s.size(), kMaxText);
  std::memcpy(buf, s.data(), n);
  bool error = Top().error;
  Pop();
  PushString(std::string_view(buf, n));
  if (sp_ > 0) Top().error = error;
}

const std::uint8_t* Evaluator::Operand(int n) {
  if (pos_ + n > end_) {
    Abort();
    return nullptr;
  }
  const std::uint8_t* p = code_ + pos_;
  pos_ += n;
  return p;
}

void Evaluator::PushCell(const CellRecord* cell) {
  if (cell == nullptr) {
    PushString({});
    if (sp_ > 0) {
      Top().kind = kSlotBlank;
      Top().error = true;
    }
    return;
  }
  switch (cell->kind & (kKindMask | kErrorBit)) {
    case kFormula:
    case kReal: PushNumber(cell->value.num); return;
    case kInteger: PushNumber(cell->value.integer); return;
    case kStringFormula: PushString(PStringView(cell->value.str)); return;
    case kLabel: {
      std::string_view t = cell->TextView();
      PushString(t.empty() ? t : t.substr(1));
      return;
    }
    case kEmpty: PushString({}); return;
    default: PushError(); return;
  }
}

// --- ranges ---------------------------------------------------------

RangeArg Evaluator::RangeOf(const Value& v) const {
  RangeArg r;
  if (v.origin == 0 || v.origin >= end_) return r;
  const std::uint8_t* p = code_ + v.origin;
  const CellStore& store = doc_->cells();
  auto corner = [&](const std::uint8_t* ref, int& row, int& col) {
    return ReferencedPosition(store, ref, row, col);
  };
  int r1, c1, r2, c2;
  if (p[0] == kOpCell) {
    if (!corner(p + 1, r1, c1)) return r;
    r2 = r1;
    c2 = c1;
  } else if (p[0] == kOpRange) {
    if (!corner(p + 1, r2, c2) || !corner(p + 5, r1, c1)) return r;
  } else if (p[0] == kOpLink) {
    c1 = ReadI16(p + 1);
    r1 = ReadI16(p + 3);
    c2 = ReadI16(p + 5);
    r2 = ReadI16(p + 7);
    LinkSource* links = Engine(session_).links;
    r.linked = links != nullptr ? links->Find(reinterpret_cast<const char*>(p + 9), *doc_) : nullptr;
    if (r.linked == nullptr) return r;
  } else {
    return r;
  }
  r.top = std::min(r1, r2);
  r.bottom = std::max(r1, r2);
  r.left = std::min(c1, c2);
  r.right = std::max(c1, c2);
  r.valid = RowInSheet(r.top) && RowInSheet(r.bottom) && ColumnInSheet(r.left) &&
            ColumnInSheet(r.right);
  return r;
}

ListStats Evaluator::CollectList(int count, bool variance) {
  ListStats s;
  bool first = true;
  double mean = 0;
  auto visitAll = [&](auto&& take) {
    for (int i = 0; i < count; ++i) {
      const Value& v = FromTop(i);
      if (v.origin != 0 && (code_[v.origin] == kOpRange || code_[v.origin] == kOpLink)) {
        RangeArg r = RangeOf(v);
        if (!r.valid) {
          Fail();
          continue;
        }
        ForEachCellIn(r, [&](const CellRecord& c) {
          std::uint8_t k = c.Kind();
          if (k < kFormula || k > kInteger) return;
          if (c.HasError()) {
            Fail();
            return;
          }
          take(k == kInteger ? c.value.integer : c.value.num);
        });
      } else {
        if (v.error) Fail();
        take(v.kind == kSlotNumber ? v.num : 0.0);
      }
    }
  };
  visitAll([&](double x) {
    if (first) {
      s.min = s.max = x;
      first = false;
    }
    s.count += 1;
    s.sum += x;
    if (x < s.min) s.min = x;
    if (x > s.max) s.max = x;
  });
  if (variance && s.count > 0) {
    mean = s.sum / s.count;
    visitAll([&](double x) { s.sumSquares += (x - mean) * (x - mean); });
  }
  return s;
}

// --- nested evaluation ------------------------------------------------

Evaluator::State Evaluator::Save() const {
  return State{code_, pos_, end_, sp_, poolTop_, op_, err_, abort_, doc_, cellRow_, cellCol_,
               userArgs_, lastPoppedError_};
}

void Evaluator::Restore(const State& s) {
  code_ = s.code;
  pos_ = s.pos;
  end_ = s.end;
  sp_ = s.sp;
  poolTop_ = s.poolTop;
  op_ = s.op;
  err_ = s.err;
  abort_ = s.abort;
  doc_ = s.doc;
  cellRow_ = s.cellRow;
  cellCol_ = s.cellCol;
  userArgs_ = s.userArgs;
  lastPoppedError_ = s.lastPoppedError;
}

bool Evaluator::Run() {
  const DispatchTable& table = Dispatch();
  while (pos_ <= end_ && !abort_) {
    opStart_ = pos_;
    std::uint8_t op = code_[pos_++];
    op_ = op;
    table[op](*this);
    if (abort_) break;
    if (op >= kOpNot) {
      if (sp_ > 0 && err_) Top().error = true;
    } else if (op >= kOpAdd) {
      if (sp_ > 0) {
        Value& t = Top();
        if (err_ || lastPoppedError_) t.error = true;
        if (t.kind != kSlotNumber) {
          if (t.kind == kSlotString) poolTop_ = t.strOffset;
          t.kind = kSlotNumber;
          t.strLength = 0;
        }
        t.origin = 0;
      }
    } else {
      continue;
    }
    err_ = false;
    lastPoppedError_ = false;
  }
  return !abort_;
}

TextResult Evaluator::RunNested(SheetDocument& doc, const std::uint8_t* code, int row, int col) {
  TextResult result;
  if (nesting_ >= kMaxNesting) {
    result.error = true;
    return result;
  }
  State saved = Save();
  // The caller's values stay where they are; the nested run uses the slots
  // and pool bytes above them.
  int baseSp = sp_;
  ++nesting_;
  doc_ = &doc;
  code_ = code;
  pos_ = 2;
  end_ = code[0];
  err_ = false;
  abort_ = false;
  lastPoppedError_ = false;
  cellRow_ = row;
  cellCol_ = col;
  bool ok = Run();
  if (!ok || sp_ <= baseSp) {
    result.error = true;
    result.number = -1;
  } else {
    const Value& top = Top();
    result.error = top.error;
    result.number = top.error ? -1 : top.num;
    if (top.kind == kSlotString && !top.error) {
      result.isString = true;
      result.text.assign(StringOf(top));
    }
  }
  --nesting_;
  Restore(saved);
  return result;
}

TextResult Evaluator::EvaluateCode(SheetDocument& doc, const std::uint8_t* code, int row,
                                   int col) {
  return RunNested(doc, code, row, col);
}

TextResult Evaluator::EvaluateText(SheetDocument& doc, std::string_view text) {
  CompiledFormula compiled = CompileFormula(doc, text);
  if (!compiled.ok()) {
    TextResult r;
    r.error = true;
    r.syntaxError = true;
    r.number = -1;
    return r;
  }
  return RunNested(doc, reinterpret_cast<const std::uint8_t*>(compiled.code.data()),
                   doc_ ? cellRow_ : 0, doc_ ? cellCol_ : 0);
}

void Evaluator::EvaluateCell(SheetDocument& doc, CellRecord& cell) {
  if (!cell.IsFormula()) return;
  CellStore& store = doc.cells();
  if (cell.text == nullptr || cell.text[0] < 3 || (cell.kind & kFileFormBit)) {
    store.StoreFormulaNumber(cell, -1, true);
    return;
  }
  doc_ = &doc;
  code_ = cell.text;
  pos_ = 2;
  end_ = cell.text[0];
  sp_ = 0;
  poolTop_ = 0;
  err_ = false;
  abort_ = false;
  lastPoppedError_ = false;
  userArgs_ = nullptr;
  nesting_ = 0;
  cellRow_ = cell.row;
  cellCol_ = cell.col;
  bool ok = Run();
  if (!ok || sp_ == 0) {
    store.StoreFormulaNumber(cell, -1, true);
  } else {
    const Value& top = Top();
    if (top.kind == kSlotString && !top.error) store.StoreFormulaText(cell, StringOf(top));
    else store.StoreFormulaNumber(cell, top.num, top.error);
  }
  sp_ = 0;
  poolTop_ = 0;
  err_ = false;
}

}  // namespace tabulon
