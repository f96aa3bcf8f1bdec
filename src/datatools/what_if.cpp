#include "datatools/what_if.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "datatools/cell_values.h"
#include "datatools/result_block.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// Stores the number in the cell and recalculates what depends on it,
// whatever the recalculation mode: the tools read the results at once.
void Drive(SheetDocument& doc, CellRecord& cell, double x) {
  SetNumber(doc, cell, x);
  RecalcFrom(doc, cell);
}

bool IsNumeric(const CellRecord* c) {
  if (c == nullptr) return false;
  const std::uint8_t k = c->KindAndError();
  return k == kReal || k == kInteger || k == kFormula;
}

bool Protected(SheetDocument& doc, const CellRecord* c) {
  if (!block::IsLockedForEntry(doc, c)) return false;
  doc.session().errors().Fail("Protected Cell");
  return true;
}

}  // namespace

GoalOutcome GoalSeek(SheetDocument& doc, const CellRange& input, const CellRange& output,
                     double desired, double tolerance) {
  if (!input.IsDefined() || !output.IsDefined()) return GoalOutcome::kUndefined;
  CellStore& store = doc.cells();
  CellRecord* in = store.GetOrCreateCell(input.Top(), input.Left());
  if (in == nullptr) return GoalOutcome::kRefused;
  if (Protected(doc, in)) return GoalOutcome::kRefused;
  const CellId inId = in->id;
  CellRecord* out = store.GetOrCreateCell(output.Top(), output.Left());
  if (out == nullptr) return GoalOutcome::kRefused;
  const CellId outId = out->id;

  auto evaluate = [&](double v, bool& error) {
    Drive(doc, store.At(inId), v);
    const CellRecord& o = store.At(outId);
    error = o.HasError();
    return CellNumber(&o);
  };
  double x = CellNumber(in);
  double next = x;
  for (int step = 0; step < 26; ++step) {
    bool err1 = false, err2 = false;
    const double f1 = evaluate(0.99 * x, err1);
    const double f2 = evaluate(x, err2);
    if (err1 || err2) break;
    if (std::fabs(f2 - desired) < tolerance) return GoalOutcome::kFound;
    const double slope = x == 0 ? 1.0 : (f2 - f1) / (x - 0.99 * x);
    if (slope == 0 || !std::isfinite(slope)) break;
    next = x - (f2 - desired) / slope;
    if (!std::isfinite(next)) {
      next = x;
      break;
    }
    x = next;
  }
  // The estimate stays visible while the cell shows the error value.
  std::string entry = NumberEditText(next, doc.session().settings().decimalChar) + "+@ERR";
  if (!EnterCell(doc, entry, input.Top(), input.Left()).ok) return GoalOutcome::kRefused;
  RecalcFrom(doc, store.At(inId));
  return GoalOutcome::kGaveUp;
}

bool WhatIfTable(SheetDocument& doc, const CellRange& input1, const CellRange& input2,
                 const CellRange& table) {
  if (!input1.IsDefined() || !table.IsDefined()) return false;
  ErrorChannel& errors = doc.session().errors();
  const bool two = input2.IsDefined();
  const int r0 = table.Top(), r1 = table.Bottom(), c0 = table.Left(), c1 = table.Right();
  const CellAddress inputs[2] = {{static_cast<std::int16_t>(input1.Left()),
                                  static_cast<std::int16_t>(input1.Top())},
                                 {static_cast<std::int16_t>(two ? input2.Left() : 0),
                                  static_cast<std::int16_t>(two ? input2.Top() : 0)}};
  const int count = two ? 2 : 1;
  for (int k = 0; k < count; ++k) {
    const CellAddress a = inputs[k];
    if (!RowInSheet(a.row) || !ColumnInSheet(a.col)) {
      errors.Fail("Out of Range");
      return false;
    }
    if (a.row > r0 && a.row <= r1 && a.col > c0 && a.col <= c1) {
      errors.Fail("Input cell lies inside the table's results");
      return false;
    }
  }
  ResultWriter w(doc);
  if (!w.Check(r0, c0, r1 - r0 + 1, c1 - c0 + 1)) return false;
  CellStore& store = doc.cells();
  for (int k = 0; k < count; ++k)
    if (Protected(doc, store.FindCell(inputs[k].row, inputs[k].col))) return false;

  // The entries to put back: the input line's text, or nothing for a cell
  // that had no entry.
  std::optional<std::string> saved[2];
  CellId ids[2] = {};
  for (int k = 0; k < count; ++k) {
    const CellRecord* c = store.FindCell(inputs[k].row, inputs[k].col);
    if (!IsBlankCell(c)) saved[k] = CellEditText(doc, c);
    CellRecord* made = store.GetOrCreateCell(inputs[k].row, inputs[k].col);
    if (made == nullptr) return false;
    ids[k] = made->id;
  }

  for (int c = c0 + 1; c <= c1; ++c) {
    for (int r = r0 + 1; r <= r1; ++r) {
      const CellRecord* s1 = store.FindCell(r, c0);
      const CellRecord* s2 = two ? store.FindCell(r0, c) : nullptr;
      const CellRecord* f = two ? store.FindCell(r0, c0) : store.FindCell(r0, c);
      if (!IsNumeric(s1) || (two && !IsNumeric(s2)) || IsBlankCell(f)) continue;
      const double v1 = CellNumber(s1), v2 = two ? CellNumber(s2) : 0;
      if (two) {
        SetNumber(doc, store.At(ids[0]), v1);
        SetNumber(doc, store.At(ids[1]), v2);
        RecalcCells(doc, {ids[0], ids[1]});
      } else {
        Drive(doc, store.At(ids[0]), v1);
      }
      // Found again: the recalculation may have made records.
      const CellRecord* result = two ? store.FindCell(r0, c0) : store.FindCell(r0, c);
      if (result == nullptr || !result->IsFormula()) {
        if (IsNumeric(result)) w.Number(r, c, CellNumber(result));
        continue;
      }
      if (result->HasError()) {
        w.Entry(r, c, "@ERR");
      } else if (result->Kind() == kStringFormula) {
        std::string text = CellStringValue(result);
        if (text.empty()) text = "'";
        w.Entry(r, c, text);
      } else {
        w.Number(r, c, CellNumber(result));
      }
    }
  }

  for (int k = 0; k < count; ++k) {
    const CellAddress a = inputs[k];
    if (saved[k]) {
      EnterCell(doc, *saved[k], a.row, a.col);
    } else if (CellRecord* c = store.FindCell(a.row, a.col)) {
      BlankCell(doc, *c);
    }
  }
  std::vector<CellId> back;
  for (int k = 0; k < count; ++k)
    if (store.Get(ids[k]) != nullptr) back.push_back(ids[k]);
  RecalcCells(doc, back);
  doc.settings().modified = true;
  return true;
}

}  // namespace tabulon
