#include "datatools/query.h"

#include <new>
#include <string>
#include <vector>

#include "base/text.h"
#include "datatools/cell_values.h"
#include "edit/block_support.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

bool IsBlank(const CellRecord* c) { return IsBlankCell(c); }

// The name a header cell gives its column: a label's stored text, prefix
// included, or a text result; other cells name nothing.
std::string_view FieldName(const CellRecord* c) {
  if (c == nullptr) return {};
  if (c->Kind() == kLabel) return c->TextView();
  if (c->KindAndError() == kStringFormula) return PStringView(c->value.str);
  return {};
}

// The text an input cell is compared as: a label without its prefix, a
// text result; numbers and errors have none.
std::string_view InputText(const CellRecord* c) {
  if (c == nullptr) return {};
  if (c->Kind() == kLabel) return WithoutPrefix(c->TextView());
  if (c->KindAndError() == kStringFormula) return PStringView(c->value.str);
  return {};
}

// A formula criterion, evaluated as if it stood `offset` rows further down
// for the record `offset` rows below the first: its relative references
// move with it, its absolute ones stay.
class FormulaCriterion {
 public:
  FormulaCriterion(SheetDocument& doc, const CellRecord& cell)
      : doc_(doc), store_(doc.cells()), row_(cell.row), col_(cell.col) {
    if (cell.text == nullptr || (cell.kind & kFileFormBit) ||
        !IsWellFormed(cell.text, static_cast<std::size_t>(cell.text[0]) + 1))
      return;
    code_ = CodeBytes(cell.text);
    usable_ = true;
    const auto* code = reinterpret_cast<const std::uint8_t*>(code_.data());
    auto corner = [&](int pos) {
      Corner c{pos, 0, 0, false, false, false};
      CellRef ref = ReadU32(code + pos);
      c.absRow = (ref & kRefAbsRow) != 0;
      c.absCol = (ref & kRefAbsCol) != 0;
      c.valid = ReferencedPosition(store_, code + pos, c.row, c.col);
      corners_.push_back(c);
    };
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op == kOpCell) {
        corner(pos + 1);
      } else if (op == kOpRange) {
        corner(pos + 1);
        corner(pos + 5);
      }
    });
  }

  bool Matches(int offset) {
    if (!usable_ || !RowInSheet(row_ + offset)) return false;
    auto* code = reinterpret_cast<std::uint8_t*>(code_.data());
    const int maxRow = store_.maxRow(), maxCol = store_.maxCol();
    made_.clear();
    bool inSheet = true;
    for (const Corner& c : corners_) {
      CellRef ref = 0;
      int row = c.absRow ? c.row : c.row + offset;
      if (c.valid && RowInSheet(row)) {
        CellRecord* target = store_.FindCell(row, c.col);
        if (target == nullptr) {
          // A blank needs a record to be referred to; it goes again after
          // the test.
          target = store_.GetOrCreateCell(row, c.col);
          if (target != nullptr) made_.push_back(target->id);
        }
        if (target != nullptr) ref = MakeRef(target->id, c.absRow, c.absCol);
      } else if (c.valid) {
        inSheet = false;
      }
      WriteU32(code + c.pos, ref);
    }
    bool match = false;
    if (inSheet) {
      TextResult r =
          Engine(doc_.session()).evaluator->EvaluateCode(doc_, code, row_ + offset, col_);
      match = !r.error && !r.isString && r.number == 1;
    }
    for (CellId id : made_) {
      CellRecord* c = store_.Get(id);
      if (c != nullptr && c->Kind() == kEmpty && !store_.HasDependents(*c)) store_.FreeRecord(*c);
    }
    store_.SetExtents(maxRow, maxCol);
    return match;
  }

 private:
  struct Corner {
    int pos;       // of the reference in the code
    int row, col;  // what it designates from the criteria cell
    bool absRow, absCol, valid;
  };
  SheetDocument& doc_;
  CellStore& store_;
  int row_, col_;
  bool usable_ = false;
  std::string code_;
  std::vector<Corner> corners_;
  std::vector<CellId> made_;
};

// One field of a criteria row: the input column it tests and its criterion.
struct Test {
  int column;  // -1: the field is not in the input
  const CellRecord* criterion;
  int formula;  // index into the row's formula criteria, or -1
};

}  // namespace

bool LabelCriterionMatches(std::string_view criterion, std::string_view input) {
  std::string_view c = WithoutPrefix(criterion);
  bool negate = false;
  if (!c.empty() && c[0] == '~') {
    negate = true;
    c.remove_prefix(1);
  }
  if (std::size_t star = c.find('*'); star != std::string_view::npos) c = c.substr(0, star + 1);
  bool match;
  if (c.substr(0, 3) == "...") {
    match = UpperCase(input).find(UpperCase(c.substr(3))) != std::string::npos;
  } else {
    // The input takes the criterion's wildcards at their places.
    std::string t(input);
    for (std::size_t i = 0; i < c.size() && i < t.size(); ++i)
      if (c[i] == '?') t[i] = '?';
    if (!c.empty() && c.back() == '*') {
      std::size_t at = c.size() - 1;
      if (t.size() >= at) {
        t.resize(at);
        t.push_back('*');
      }
    }
    match = t == c;
  }
  return match != negate;
}

bool ExtractRecords(SheetDocument& doc, const QuerySpec& spec, int* extracted) {
  if (extracted != nullptr) *extracted = 0;
  ErrorChannel& errors = doc.session().errors();
  const CellRange &in = spec.input, &crit = spec.criteria, &out = spec.output;
  if (!crit.IsDefined() || !in.IsDefined() || !out.IsDefined()) return true;
  if (!block::InSheet(in) || !block::InSheet(crit) || !block::InSheet(out)) {
    errors.Fail("Out of Range");
    return false;
  }
  CellStore& store = doc.cells();
  const int header = in.Top(), firstData = header + 1, last = in.Bottom();

  auto fieldColumn = [&](std::string_view name) {
    if (name.empty()) return -1;
    for (int c = in.Left(); c <= in.Right(); ++c)
      if (FieldName(store.FindCell(header, c)) == name) return c;
    return -1;
  };

  // Every match, in order of criteria rows, before anything is written.
  std::vector<int> matches;
  try {
    for (int crow = crit.Top() + 1; crow <= crit.Bottom(); ++crow) {
      std::vector<Test> tests;
      std::vector<FormulaCriterion> formulas;
      const CellRecord* first = store.FindCell(crow, crit.Left());
      int firstColumn = fieldColumn(FieldName(store.FindCell(crit.Top(), crit.Left())));
      if (firstColumn < 0 || IsBlank(first) ||
          !(first->Kind() == kLabel || first->Kind() <= kInteger))
        continue;
      tests.push_back({firstColumn, first, -1});
      for (int cc = crit.Left() + 1; cc <= crit.Right(); ++cc) {
        const CellRecord* name = store.FindCell(crit.Top(), cc);
        if (IsBlank(name)) continue;
        tests.push_back({fieldColumn(FieldName(name)), store.FindCell(crow, cc), -1});
      }
      for (Test& t : tests) {
        if (!IsBlank(t.criterion) && t.criterion->IsFormula()) {
          t.formula = static_cast<int>(formulas.size());
          formulas.emplace_back(doc, *t.criterion);
        }
      }
      auto passes = [&](const Test& t, int row) {
        if (t.column < 0) return false;
        const CellRecord* cell = store.FindCell(row, t.column);
        if (IsBlank(t.criterion)) return true;
        if (IsBlank(cell)) return false;
        if (t.formula >= 0) return formulas[static_cast<std::size_t>(t.formula)].Matches(row - firstData);
        if (t.criterion->Kind() == kLabel)
          return LabelCriterionMatches(t.criterion->TextView(), InputText(cell));
        if (t.criterion->Kind() == kReal || t.criterion->Kind() == kInteger)
          return CellNumber(cell) == CellNumber(t.criterion);
        return false;
      };
      for (int row = firstData; row <= last; ++row) {
        bool all = true;
        for (const Test& t : tests) {
          if (!passes(t, row)) {
            all = false;
            break;
          }
        }
        if (all) matches.push_back(row);
      }
    }
  } catch (const std::bad_alloc&) {
    errors.Fail("Insufficient Memory");
    return false;
  }

  // The output's fields, each the input column it copies.
  std::vector<int> columns;
  for (int cc = out.Left(); cc <= out.Right(); ++cc) {
    const CellRecord* name = store.FindCell(out.Top(), cc);
    if (IsBlank(name)) continue;
    if (int c = fieldColumn(FieldName(name)); c >= 0) columns.push_back(c);
  }
  if (matches.empty() || columns.empty()) return true;
  if (out.Top() + static_cast<int>(matches.size()) > kRowCount - 1) {
    errors.Fail("Out of Range");
    return false;
  }

  // What each output cell receives, read before any is written.
  struct Item {
    int row, col;
    bool number;
    double value;
    std::string text;
  };
  std::vector<Item> items;
  for (std::size_t m = 0; m < matches.size(); ++m) {
    int row = out.Top() + 1 + static_cast<int>(m);
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const CellRecord* c = store.FindCell(matches[m], columns[k]);
      int col = out.Left() + static_cast<int>(k);
      if (c == nullptr) continue;
      switch (c->KindAndError()) {
        case kReal:
        case kInteger:
        case kFormula: items.push_back({row, col, true, CellNumber(c), {}}); break;
        case kLabel: items.push_back({row, col, false, 0, std::string(c->TextView())}); break;
        case kStringFormula:
          items.push_back({row, col, false, 0,
                           doc.settings().labelPrefix + std::string(PStringView(c->value.str))});
          break;
        default: break;
      }
    }
  }
  for (const Item& it : items) {
    if (block::IsLockedForEntry(doc, store.FindCell(it.row, it.col))) {
      errors.Fail("Protected Cell");
      return false;
    }
  }
  std::vector<CellId> written;
  for (const Item& it : items) {
    CellRecord* c = store.GetOrCreateCell(it.row, it.col);
    if (c == nullptr) return false;
    if (it.number) {
      SetNumber(doc, *c, it.value);
    } else {
      BlankCell(doc, *c);
      store.SetCellText(*c, it.text);
      c->kind = kLabel;
    }
    written.push_back(c->id);
  }
  doc.settings().modified = true;
  block::Recalculate(doc, written);
  if (extracted != nullptr) *extracted = static_cast<int>(matches.size());
  return true;
}

}  // namespace tabulon
