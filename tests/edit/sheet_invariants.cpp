#include "edit/sheet_invariants.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

#include "formula/formula_code.h"
#include "formula/number_text.h"
#include "formula/recalc.h"
#include "sheet/address.h"

namespace tabulon::testing {

namespace {

std::string Where(const CellRecord& c) { return AddressText(c.row, c.col, false, false, 0); }

struct Faults {
  std::ostringstream out;
  int count = 0;
  void Add(const std::string& text) {
    if (++count <= 8) out << text << "\n";
  }
};

// Whether the formula's code refers to `target`, directly or through a
// rectangle that contains its position.
bool RefersTo(const CellStore& store, const CellRecord& formula, const CellRecord& target) {
  bool found = false;
  const std::uint8_t* code = formula.text;
  ForEachOperation(code, [&](int pos, std::uint8_t op) {
    if (op == kOpCell) {
      found |= RefId(ReadU32(code + pos + 1)) == target.id;
    } else if (op == kOpRange) {
      const CellRecord* a = store.Get(RefId(ReadU32(code + pos + 1)));
      const CellRecord* b = store.Get(RefId(ReadU32(code + pos + 5)));
      if (a == nullptr || b == nullptr) return;
      found |= CellRange::Of(a->row, a->col, b->row, b->col).Contains(target.row, target.col);
    }
  });
  return found;
}

bool Lists(const CellStore& store, const CellRecord& cell, CellId formula) {
  bool found = false;
  store.ForEachDependent(cell, [&](CellId d) { found |= d == formula; });
  return found;
}

std::string RefText(const CellStore& store, CellRef ref) {
  const CellRecord* c = store.Get(RefId(ref));
  if (c == nullptr) return "ERR";
  return AddressText(c->row, c->col, (ref & kRefAbsRow) != 0, (ref & kRefAbsCol) != 0, 0);
}

}  // namespace

std::string CheckSheet(SheetDocument& doc) {
  CellStore& store = doc.cells();
  Faults f;
  std::size_t seen = 0;
  std::vector<const CellRecord*> formulas;
  std::vector<const CellRecord*> all;
  for (int r = 0; r < kRowCount; ++r) {
    int prevCol = -1;
    for (CellId id : store.Row(r)) {
      const CellRecord* c = store.Get(id);
      if (c == nullptr) {
        f.Add("row " + std::to_string(r + 1) + " lists a freed record");
        continue;
      }
      ++seen;
      all.push_back(c);
      if (c->row != r) f.Add(Where(*c) + " is listed in row " + std::to_string(r + 1));
      if (c->col <= prevCol) f.Add(Where(*c) + " breaks the column order of its row");
      prevCol = c->col;
      if (c->row > store.maxRow() || c->col > store.maxCol())
        f.Add(Where(*c) + " lies outside the used extents");
      if (c->IsFormula() && c->text != nullptr && !(c->kind & kFileFormBit)) formulas.push_back(c);
    }
  }
  if (seen != store.recordCount())
    f.Add("rows hold " + std::to_string(seen) + " records, the pool " +
          std::to_string(store.recordCount()));

  for (const CellRecord* fc : formulas) {
    const std::uint8_t* code = fc->text;
    if (!IsWellFormed(code, static_cast<std::size_t>(code[0]) + 1)) {
      f.Add(Where(*fc) + " holds malformed code");
      continue;
    }
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op == kOpCell) {
        CellId id = RefId(ReadU32(code + pos + 1));
        if (id == kNoCell) return;
        const CellRecord* t = store.Get(id);
        if (t == nullptr) f.Add(Where(*fc) + " refers to a freed record");
        else if (!Lists(store, *t, fc->id)) f.Add(Where(*fc) + " is not listed by " + Where(*t));
      } else if (op == kOpRange) {
        CellId ia = RefId(ReadU32(code + pos + 1)), ib = RefId(ReadU32(code + pos + 5));
        const CellRecord* a = store.Get(ia);
        const CellRecord* b = store.Get(ib);
        if ((ia != kNoCell && a == nullptr) || (ib != kNoCell && b == nullptr)) {
          f.Add(Where(*fc) + " has a range corner on a freed record");
          return;
        }
        if (a == nullptr || b == nullptr) return;
        CellRange rect = CellRange::Of(a->row, a->col, b->row, b->col);
        for (int r = rect.Top(); r <= rect.Bottom(); ++r) {
          for (int c = rect.Left(); c <= rect.Right(); ++c) {
            const CellRecord* t = store.FindCell(r, c);
            if (t == nullptr) {
              f.Add(Where(*fc) + ": no record at " + AddressText(r, c, false, false, 0) +
                    " inside its range");
            } else if (!Lists(store, *t, fc->id)) {
              f.Add(Where(*fc) + " is not listed by " + Where(*t) + " inside its range");
            }
          }
        }
      }
    });
  }

  for (const CellRecord* c : all) {
    std::vector<CellId> deps;
    store.ForEachDependent(*c, [&](CellId d) { deps.push_back(d); });
    std::vector<CellId> sorted = deps;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
      f.Add(Where(*c) + " lists a dependent twice");
    for (CellId d : deps) {
      const CellRecord* dc = store.Get(d);
      if (dc == nullptr) {
        f.Add(Where(*c) + " lists a freed record as dependent");
      } else if (!dc->IsFormula() || dc->text == nullptr) {
        f.Add(Where(*c) + " lists " + Where(*dc) + ", which holds no formula");
      } else if (!RefersTo(store, *dc, *c)) {
        f.Add(Where(*c) + " lists " + Where(*dc) + ", which does not refer to it");
      }
    }
  }

  doc.ForEachStoredRange([&](CellRange& r) {
    if (!r.IsDefined()) return;
    if (!RowInSheet(r.firstRow) || !RowInSheet(r.lastRow) || !ColumnInSheet(r.firstCol) ||
        !ColumnInSheet(r.lastCol))
      f.Add("a stored range lies outside the sheet");
  });
  // A kept order of full recalculation must still be the one a fresh walk
  // gives while the structure version stands. The fresh order is kept in
  // turn, so every command is checked against the state before it.
  RecalcState& recalc = doc.recalc();
  std::vector<CellId> order = FullRecalcOrder(doc);
  if (recalc.orderKept && recalc.orderVersion == store.structureVersion() &&
      recalc.order != order)
    f.Add("the kept recalculation order is out of date, yet the structure version is unchanged");
  recalc.order = std::move(order);
  recalc.orderVersion = store.structureVersion();
  recalc.orderKept = true;
  if (f.count > 8) f.out << "(" << f.count - 8 << " more)\n";
  return f.out.str();
}

bool HasCycle(SheetDocument& doc) {
  CellStore& store = doc.cells();
  // The formulas a formula uses, by identity.
  auto uses = [&](const CellRecord& f) {
    std::vector<CellId> out;
    const std::uint8_t* code = f.text;
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op == kOpCell) {
        const CellRecord* t = store.Get(RefId(ReadU32(code + pos + 1)));
        if (t != nullptr && t->IsFormula()) out.push_back(t->id);
      } else if (op == kOpRange) {
        const CellRecord* a = store.Get(RefId(ReadU32(code + pos + 1)));
        const CellRecord* b = store.Get(RefId(ReadU32(code + pos + 5)));
        if (a == nullptr || b == nullptr) return;
        store.ForEachIn(a->row, a->col, b->row, b->col, [&](CellRecord& c) {
          if (c.IsFormula()) out.push_back(c.id);
        });
      }
    });
    return out;
  };
  std::unordered_map<CellId, int> state;  // 1 on the path, 2 done
  bool cycle = false;
  store.ForEachIn(0, 0, kRowCount - 1, kColumnCount - 1, [&](CellRecord& start) {
    if (cycle || !start.IsFormula() || start.text == nullptr || state[start.id] != 0) return;
    std::vector<std::pair<CellId, std::vector<CellId>>> stack;
    state[start.id] = 1;
    stack.emplace_back(CellId{start.id}, uses(start));
    while (!stack.empty() && !cycle) {
      auto& [id, next] = stack.back();
      if (next.empty()) {
        state[id] = 2;
        stack.pop_back();
        continue;
      }
      CellId n = next.back();
      next.pop_back();
      int& s = state[n];
      if (s == 1) cycle = true;
      else if (s == 0) {
        s = 1;
        CellRecord& nc = store.At(n);
        stack.emplace_back(n, nc.text ? uses(nc) : std::vector<CellId>{});
      }
    }
  });
  return cycle;
}

std::string References(SheetDocument& doc, int row, int col) {
  const CellStore& store = doc.cells();
  const CellRecord* c = store.FindCell(row, col);
  if (c == nullptr || !c->IsFormula() || c->text == nullptr) return {};
  std::string out;
  const std::uint8_t* code = c->text;
  ForEachOperation(code, [&](int pos, std::uint8_t op) {
    if (op != kOpCell && op != kOpRange) return;
    if (!out.empty()) out += ' ';
    if (op == kOpCell) {
      out += RefText(store, ReadU32(code + pos + 1));
    } else {
      // The second-typed corner is stored first.
      CellRef second = ReadU32(code + pos + 1), first = ReadU32(code + pos + 5);
      if (store.Get(RefId(first)) == nullptr || store.Get(RefId(second)) == nullptr) {
        out += "ERR";
      } else {
        out += RefText(store, first) + ".." + RefText(store, second);
      }
    }
  });
  return out;
}

std::string Describe(SheetDocument& doc, int row, int col) {
  const CellRecord* c = doc.cells().FindCell(row, col);
  if (c == nullptr) return {};
  switch (c->Kind()) {
    case kLabel: return "L:" + std::string(c->TextView());
    case kReal: return "N:" + NumberText(c->value.num);
    case kInteger: return "N:" + std::to_string(c->value.integer);
    case kFormula:
    case kStringFormula: {
      std::string value;
      if (c->HasError()) value = "ERR";
      else if (c->Kind() == kStringFormula) value = "'" + std::string(PStringView(c->value.str));
      else value = NumberText(c->value.num);
      return "F:" + References(doc, row, col) + "=" + value;
    }
    default: return {};
  }
}

std::string DescribeBlock(SheetDocument& doc, int r1, int c1, int r2, int c2,
                          const CellRange& except) {
  std::string out;
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      if (except.Contains(r, c)) continue;
      std::string d = Describe(doc, r, c);
      if (!d.empty()) out += AddressText(r, c, false, false, 0) + " " + d + "\n";
    }
  }
  return out;
}

CellRange Rng(std::string_view text) {
  std::size_t dots = text.find("..");
  Pos a = At(text.substr(0, dots));
  Pos b = dots == std::string_view::npos ? a : At(text.substr(dots + 2));
  return CellRange::Of(a.row, a.col, b.row, b.col);
}

std::string Refs(TestSheet& t, std::string_view address) {
  Pos p = At(address);
  return References(*t.doc, p.row, p.col);
}

std::string Desc(TestSheet& t, std::string_view address) {
  Pos p = At(address);
  return Describe(*t.doc, p.row, p.col);
}

}  // namespace tabulon::testing
