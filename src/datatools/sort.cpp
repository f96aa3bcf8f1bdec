#include "datatools/sort.h"

#include <cstring>
#include <new>
#include <string>

#include "edit/block_support.h"
#include "edit/cell_text.h"
#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon {

namespace sorting {

Key KeyOf(const CellRecord* cell) {
  Key k;
  if (cell == nullptr) return k;
  switch (cell->Kind()) {
    case kReal:
    case kInteger:
    case kFormula:
      k.kind = Key::kNumber;
      k.number = CellNumber(cell);
      break;
    case kLabel:
      k.kind = Key::kLabel;
      k.text = cell->TextView();
      break;
    case kStringFormula:
      k.kind = Key::kTextFormula;
      k.text = PStringView(cell->value.str);
      break;
    default: break;
  }
  return k;
}

bool SameGroup(const Key& ref, const Key& cell) {
  // A number only groups with numbers: counting text as 0 would join the
  // rows of a last key of 0 with the labels sorted after them, and the
  // next key would then mix them.
  if (ref.kind != cell.kind) return false;
  if (ref.kind == Key::kNumber) return ref.number == cell.number;
  return ref.text == cell.text;
}

void PreShuffle(std::span<int> slots, int a, int b) {
  if (b - a + 1 <= 10) return;
  const int stride = (b - a + 1) / 5;
  int p = a;
  for (int round = 0; round < 10; ++round) {
    int d = std::min(p + stride, b);
    int h = (d - p + 1) / 2;
    if (h % 2 != 0) --h;
    for (int t = 0; t <= h; ++t) std::swap(slots[p + t], slots[d - t]);
    p += h;
  }
}

}  // namespace sorting

namespace {

using sorting::Key;

struct Level {
  int column;
  bool ascending;
  std::vector<Key> keys;  // by row offset from the data range's top
};

// The order of the data range's rows after every level: order[i] is the
// row (offset from the top) that ends at offset i.
std::vector<int> WorkOutOrder(std::vector<Level>& levels, int n) {
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  auto sortRun = [&](int from, int to, const Level& level) {
    std::span<int> run(order.data() + from, static_cast<std::size_t>(to - from + 1));
    sorting::RunSort(run, [&](int row) -> const Key& { return level.keys[row]; },
                     !level.ascending);
  };
  sortRun(0, n - 1, levels[0]);
  for (std::size_t level = 1; level < levels.size(); ++level) {
    // Groups of rows whose keys of every earlier level are equal.
    int c = 0;
    while (c < n) {
      int e = n - 1;
      for (std::size_t k = 0; k < level; ++k) {
        const Key& ref = levels[k].keys[order[c]];
        int end = c;
        while (end < e && sorting::SameGroup(ref, levels[k].keys[order[end + 1]])) ++end;
        e = end;
      }
      if (e > c) sortRun(c, e, levels[level]);
      c = e + 1;
    }
  }
  return order;
}

// A formula outside the range that refers into it, with its code in
// position form, to be linked again once the rows have moved.
struct Outsider {
  CellId id;
  std::string code;
};

}  // namespace

bool SortRows(SheetDocument& doc, const SortSpec& spec) {
  ErrorChannel& errors = doc.session().errors();
  if (!spec.data.IsDefined() || !spec.keys[0].IsDefined()) return true;
  if (!block::InSheet(spec.data)) {
    errors.Fail("Out of Range");
    return false;
  }
  CellStore& store = doc.cells();
  const CellRange& data = spec.data;
  const int top = data.Top(), bottom = data.Bottom(), left = data.Left(), right = data.Right();
  const int n = bottom - top + 1;

  std::vector<Level> levels;
  for (int k = 0; k < 4; ++k) {
    if (!spec.keys[k].IsDefined()) continue;
    int col = spec.keys[k].firstCol;
    if (col < left || col > right) {
      errors.Fail("Sort Key outside Data Range");
      return false;
    }
    levels.push_back({col, spec.ascending[k], {}});
  }
  if (doc.settings().protect) {
    bool locked = false;
    store.ForEachIn(top, left, bottom, right, [&](CellRecord& c) { locked |= c.IsLocked(); });
    if (locked) {
      errors.Fail("Protected Cell");
      return false;
    }
  }

  std::vector<int> order;
  std::vector<int> from;
  std::vector<CellId> moved;
  std::vector<Outsider> outsiders;
  try {
    for (Level& level : levels) {
      level.keys.resize(n);
      store.ForEachIn(top, level.column, bottom, level.column, [&](CellRecord& c) {
        level.keys[c.row - top] = sorting::KeyOf(&c);
      });
    }
    order = WorkOutOrder(levels, n);
    bool unchanged = true;
    from.resize(n);
    for (int i = 0; i < n; ++i) {
      from[i] = top + order[i];
      unchanged &= order[i] == i;
    }
    if (unchanged) return true;

    // Formulas outside the range that use its cells keep the addresses
    // they refer to, not the records that move away from them.
    std::vector<bool> seen;
    store.ForEachIn(top, left, bottom, right, [&](CellRecord& c) {
      moved.push_back(c.id);
      store.ForEachDependent(c, [&](CellId d) {
        if (d >= seen.size()) seen.resize(std::max<std::size_t>(d + 1, seen.size() * 2));
        if (seen[d]) return;
        seen[d] = true;
        const CellRecord* f = store.Get(d);
        if (f == nullptr || !f->IsFormula() || f->text == nullptr || (f->kind & kFileFormBit) ||
            data.Contains(f->row, f->col))
          return;
        outsiders.push_back({d, CodeBytes(f->text)});
      });
    });
    for (Outsider& o : outsiders) {
      const CellRecord& f = store.At(o.id);
      ToRelativeForm(reinterpret_cast<std::uint8_t*>(o.code.data()), store, f.row, f.col);
    }
  } catch (const std::bad_alloc&) {
    errors.Fail("Insufficient Memory");
    return false;
  }

  for (Outsider& o : outsiders) RegisterFormula(doc, store.At(o.id), false);
  block::RangeRegistrations ranges;
  try {
    ranges.Capture(doc, {data});
    store.PermuteRowSegments(top, left, right, from);
  } catch (const std::bad_alloc&) {
    // Nothing has moved: the outside formulas go back on their lists.
    for (Outsider& o : outsiders) RegisterFormula(doc, store.At(o.id), true);
    errors.Fail("Insufficient Memory");
    return false;
  }
  doc.settings().modified = true;

  std::vector<CellId> recalc = std::move(moved);
  bool ok = true;
  try {
    std::vector<CellId> again = ranges.Restore(doc);
    recalc.insert(recalc.end(), again.begin(), again.end());
    for (Outsider& o : outsiders) {
      CellRecord& f = store.At(o.id);
      auto* code = reinterpret_cast<std::uint8_t*>(o.code.data());
      if (ToLinkedForm(code, store, f.row, f.col)) {
        std::memcpy(f.text, code, o.code.size());
      } else {
        ok = false;  // it keeps the cells it used before
      }
      RegisterFormula(doc, f, true);
      recalc.push_back(o.id);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  block::Recalculate(doc, recalc);
  if (!ok) errors.Fail("Error While Sorting");
  return ok;
}

}  // namespace tabulon
