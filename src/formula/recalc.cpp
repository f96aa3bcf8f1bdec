#include "formula/recalc.h"

#include <algorithm>
#include <utility>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// Working storage of one recalculation; both vectors grow as needed, so
// every affected formula is evaluated however many there are.
struct Walk {
  explicit Walk(CellStore& s) : store(s) {}
  CellStore& store;
  std::vector<CellId> list;
  std::vector<std::pair<CellId, std::uint32_t>> stack;

  // Depth-first walk of the dependents graph from `start`: a cell is listed
  // after every cell that depends on it, so the list read backwards is an
  // evaluation order. A cell met again while it is on the path closes a
  // cycle, which is cut there.
  void From(CellId start) {
    CellRecord& s = store.At(start);
    if (s.kind & kVisitedMark) return;
    s.kind |= kVisitedMark;
    CellId current = start;
    std::uint32_t node = store.DependentHead(s);
    for (;;) {
      if (node != 0) {
        stack.emplace_back(current, node);
        CellId d = store.DependentAt(node);
        CellRecord& dep = store.At(d);
        current = d;
        if (!(dep.kind & kVisitedMark)) {
          dep.kind |= kVisitedMark;
          node = store.DependentHead(dep);
        } else {
          node = 0;  // treat it as exhausted
        }
        continue;
      }
      CellRecord& c = store.At(current);
      if (!(c.kind & kListedMark)) {
        if (c.IsFormula()) {
          c.kind |= kListedMark;
          list.push_back(current);
        } else {
          c.kind &= ~kRecalcMarks;
        }
      }
      if (stack.empty()) break;
      auto [cell, at] = stack.back();
      stack.pop_back();
      current = cell;
      node = store.NextDependent(at);
    }
  }

  void EvaluateAll(SheetDocument& doc, Evaluator& evaluator, RecalcStats& stats) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      CellRecord& c = store.At(*it);
      c.kind &= ~kRecalcMarks;
      evaluator.EvaluateCell(doc, c);
    }
    stats.evaluated = list.size();
  }
};

template <typename Fn>
void ForEachReferencedPosition(SheetDocument& doc, const std::uint8_t* code, Fn&& fn,
                               bool* hasLink) {
  CellStore& store = doc.cells();
  ForEachOperation(code, [&](int pos, std::uint8_t op) {
    if (op == kOpCell) {
      if (CellRecord* c = store.Get(RefId(ReadU32(code + pos + 1)))) fn(c->row, c->col, c);
    } else if (op == kOpRange) {
      CellRecord* a = store.Get(RefId(ReadU32(code + pos + 1)));
      CellRecord* b = store.Get(RefId(ReadU32(code + pos + 5)));
      if (a == nullptr || b == nullptr) return;
      int r1 = std::min(a->row, b->row), r2 = std::max(a->row, b->row);
      int c1 = std::min(a->col, b->col), c2 = std::max(a->col, b->col);
      for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) fn(r, c, nullptr);
    } else if (op == kOpLinkFn && hasLink != nullptr) {
      *hasLink = true;
    }
  });
}

}  // namespace

bool RegisterFormula(SheetDocument& doc, CellRecord& formula, bool add) {
  if (formula.text == nullptr || !formula.IsFormula()) return false;
  CellStore& store = doc.cells();
  CellId self = formula.id;
  bool hasLink = false;
  // The walk reads the cell's own code: creating placeholders neither moves
  // records nor touches their texts.
  ForEachReferencedPosition(
      doc, formula.text,
      [&](int row, int col, CellRecord* known) {
        if (add) {
          CellRecord* target = known ? known : store.GetOrCreateCell(row, col);
          if (target != nullptr) store.AddDependent(*target, self);
        } else {
          CellRecord* target = known ? known : store.FindCell(row, col);
          if (target != nullptr) store.RemoveDependent(*target, self);
        }
      },
      &hasLink);
  return hasLink;
}

void RecalcFrom(SheetDocument& doc, CellRecord& cell) {
  CellStore& store = doc.cells();
  cell.kind &= ~kRecalcMarks;
  Walk walk(store);
  walk.From(cell.id);
  walk.EvaluateAll(doc, *Engine(doc.session()).evaluator, doc.recalc().stats);
}

void RecalcCells(SheetDocument& doc, const std::vector<CellId>& cells) {
  CellStore& store = doc.cells();
  // Marks are cleared before any walk starts: a start reached by an earlier
  // walk must keep the marks that walk gave it.
  for (CellId id : cells)
    if (CellRecord* c = store.Get(id)) c->kind &= ~kRecalcMarks;
  Walk walk(store);
  for (CellId id : cells)
    if (store.Get(id) != nullptr) walk.From(id);
  walk.EvaluateAll(doc, *Engine(doc.session()).evaluator, doc.recalc().stats);
}

namespace {

// The walk of a full recalculation, listing formulas last first; the listed
// formulas keep their marks.
std::vector<CellId> WalkWholeSheet(CellStore& store) {
  Walk walk(store);
  walk.list.reserve(store.recordCount());
  int maxRow = store.maxRow(), maxCol = store.maxCol();
  for (int r = 0; r <= maxRow; ++r) {
    for (CellId id : store.Row(r)) {
      if (store.At(id).col > maxCol) break;
      walk.From(id);
    }
  }
  std::reverse(walk.list.begin(), walk.list.end());
  if (walk.list.capacity() > 2 * walk.list.size()) walk.list.shrink_to_fit();
  return std::move(walk.list);
}

}  // namespace

std::vector<CellId> FullRecalcOrder(SheetDocument& doc) {
  CellStore& store = doc.cells();
  std::vector<CellId> order = WalkWholeSheet(store);
  for (CellId id : order) store.At(id).kind &= ~kRecalcMarks;
  return order;
}

void RecalcAll(SheetDocument& doc) {
  RecalcState& state = doc.recalc();
  if (state.fullRecalcRunning) return;
  state.fullRecalcRunning = true;
  CellStore& store = doc.cells();
  if (!state.orderKept || state.orderVersion != store.structureVersion()) {
    state.order = WalkWholeSheet(store);  // marks are cleared as each formula runs
    // Taken before evaluating: a change an evaluation makes must still
    // show as a change next time.
    state.orderVersion = store.structureVersion();
    state.orderKept = true;
  }
  Evaluator& evaluator = *Engine(doc.session()).evaluator;
  for (CellId id : state.order) {
    CellRecord& c = store.At(id);
    c.kind &= ~kRecalcMarks;
    if (c.row >= 0 && c.IsFormula()) evaluator.EvaluateCell(doc, c);
  }
  state.stats.evaluated = state.order.size();
  state.fullRecalcRunning = false;
}

void NullReferences(SheetDocument& doc, CellRecord& dependent, CellId gone) {
  CellStore& store = doc.cells();
  if (dependent.text == nullptr || !dependent.IsFormula()) return;
  std::uint8_t* code = dependent.text;
  ForEachOperation(code, [&](int pos, std::uint8_t op) {
    std::uint8_t* p = code + pos + 1;
    if (op == kOpCell) {
      if (RefId(ReadU32(p)) == gone) WriteU32(p, 0);
    } else if (op == kOpRange) {
      CellId a = RefId(ReadU32(p)), b = RefId(ReadU32(p + 4));
      if (a != gone && b != gone) return;
      // Unregister from the whole rectangle before the corners are lost.
      CellRecord* ca = store.Get(a);
      CellRecord* cb = store.Get(b);
      if (ca != nullptr && cb != nullptr) {
        store.ForEachIn(ca->row, ca->col, cb->row, cb->col,
                        [&](CellRecord& c) { store.RemoveDependent(c, dependent.id); });
      }
      WriteU32(p, 0);
      WriteU32(p + 4, 0);
    }
  });
  store.StoreFormulaNumber(dependent, -1, true);
}

void InvalidateReferences(SheetDocument& doc, CellRecord& dependent, CellId deleted) {
  NullReferences(doc, dependent, deleted);
  RecalcFrom(doc, dependent);
}

}  // namespace tabulon
