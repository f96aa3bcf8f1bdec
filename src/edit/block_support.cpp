#include "edit/block_support.h"

#include <algorithm>

#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon::block {

namespace {

bool HasRangeOperand(const std::uint8_t* code) {
  bool found = false;
  ForEachOperation(code, [&](int, std::uint8_t op) { found |= op == kOpRange; });
  return found;
}

}  // namespace

void RangeRegistrations::Capture(SheetDocument& doc, std::initializer_list<CellRange> regions) {
  CellStore& store = doc.cells();
  // A formula is usually the dependent of several cells of the region; a
  // bitmap by identity keeps the first sighting only, in linear time.
  std::vector<CellId> candidates;
  std::vector<bool> seen;
  for (const CellRange& r : regions) {
    if (!r.IsDefined()) continue;
    store.ForEachIn(r.firstRow, r.firstCol, r.lastRow, r.lastCol, [&](CellRecord& c) {
      store.ForEachDependent(c, [&](CellId d) {
        if (d >= seen.size()) seen.resize(std::max<std::size_t>(d + 1, seen.size() * 2));
        if (seen[d]) return;
        seen[d] = true;
        candidates.push_back(d);
      });
    });
  }
  for (CellId id : candidates) {
    const CellRecord* f = store.Get(id);
    if (f == nullptr || !f->IsFormula() || f->text == nullptr || (f->kind & kFileFormBit)) continue;
    if (!HasRangeOperand(f->text)) continue;
    Entry e{id, footprint_.size(), 0};
    const std::uint8_t* code = f->text;
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op == kOpCell) {
        if (const CellRecord* t = store.Get(RefId(ReadU32(code + pos + 1))))
          footprint_.push_back(t->id);
      } else if (op == kOpRange) {
        const CellRecord* a = store.Get(RefId(ReadU32(code + pos + 1)));
        const CellRecord* b = store.Get(RefId(ReadU32(code + pos + 5)));
        if (a == nullptr || b == nullptr) return;
        store.ForEachIn(a->row, a->col, b->row, b->col,
                        [&](CellRecord& c) { footprint_.push_back(c.id); });
      }
    });
    std::sort(footprint_.begin() + e.first, footprint_.end());
    footprint_.erase(std::unique(footprint_.begin() + e.first, footprint_.end()), footprint_.end());
    e.last = footprint_.size();
    entries_.push_back(e);
  }
}

std::vector<CellId> RangeRegistrations::Restore(SheetDocument& doc) {
  CellStore& store = doc.cells();
  std::vector<CellId> again;
  // Every removal comes before any registration: registering may create
  // placeholder records, which could reuse the identity of a record that
  // the command freed and that is still listed in a footprint.
  for (const Entry& e : entries_) {
    for (std::size_t i = e.first; i < e.last; ++i)
      if (CellRecord* c = store.Get(footprint_[i])) store.RemoveDependent(*c, e.formula);
  }
  for (const Entry& e : entries_) {
    CellRecord* f = store.Get(e.formula);
    if (f == nullptr || !f->IsFormula() || f->text == nullptr) continue;
    RegisterFormula(doc, *f, true);
    again.push_back(e.formula);
  }
  entries_.clear();
  footprint_.clear();
  return again;
}

void Recalculate(SheetDocument& doc, std::vector<CellId>& cells) {
  if (doc.settings().manualRecalc || cells.empty()) return;
  std::sort(cells.begin(), cells.end());
  cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
  RecalcCells(doc, cells);
}

void RecalculateAll(SheetDocument& doc) {
  if (!doc.settings().manualRecalc) RecalcAll(doc);
}

}  // namespace tabulon::block
