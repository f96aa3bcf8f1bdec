#include "edit/cell_entry.h"

#include <cmath>
#include <cstdlib>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "base/calendar.h"
#include "base/number_parse.h"
#include "formula/recalc.h"
#include "edit/cell_ops.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

constexpr std::uint8_t kFormatD4 = 121;
constexpr std::uint8_t kFormatD5 = 122;
constexpr std::uint8_t kFormatLabel = 126;

bool IsValueStart(char c, char decimalChar) {
  return c == '!' || c == '%' || IsDigit(c) || c == decimalChar || c == '(' || c == '+' ||
         c == '-' || c == '@';
}

bool IsLabelPrefix(char c) { return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|'; }

}  // namespace

EntryResult EnterCell(SheetDocument& doc, std::string_view input, int row, int col) {
  EntryResult result;
  Session& session = doc.session();
  ErrorChannel& errors = session.errors();
  CellStore& store = doc.cells();
  SheetSettings& settings = doc.settings();
  std::string_view text = input.substr(0, kMaxText);
  errors.Clear();

  CellRecord* cell = store.FindCell(row, col);
  if (cell == nullptr) {
    if (text.empty()) return result;
    if (settings.protect) {
      errors.Fail("Protected Cell");
      result.ok = false;
      return result;
    }
    cell = store.GetOrCreateCell(row, col);
    if (cell == nullptr) {
      if (!errors.failed()) errors.Fail("Out of Range");
      result.ok = false;
      return result;
    }
  } else {
    if (cell->IsLocked() && settings.protect) {
      errors.Fail("Protected Cell");
      result.ok = false;
      return result;
    }
    BlankCell(doc, *cell);
    settings.modified = true;
  }
  if (text.empty()) {
    // An erased cell: its dependents see the change.
    if (!settings.manualRecalc && store.HasDependents(*cell)) {
      RecalcFrom(doc, *cell);
      result.recalculated = true;
    }
    return result;
  }

  bool hasDependents = store.HasDependents(*cell);
  std::uint8_t format = cell->FormatCode();
  char decimal = session.settings().decimalChar;

  if ((format == kFormatD4 || format == kFormatD5) && text.find('/') != std::string_view::npos) {
    std::string compact;
    for (char c : text)
      if (c != ' ') compact.push_back(c);
    if (!compact.empty()) {
      store.StoreNumber(*cell, DateValueFromText(compact, format == kFormatD5));
    }
  } else if (IsValueStart(text[0], decimal) && format != kFormatLabel) {
    ParsedNumber n = ParseNumber(text, decimal);
    bool formula = n.errorPosition != 0;
    if (text.size() >= 2 && (text[0] == '+' || text[0] == '-') && IsUpperLetter(UpperChar(text[1])))
      formula = true;
    if (!formula) {
      store.StoreNumber(*cell, n.value);
    } else {
      CompiledFormula compiled = CompileFormula(doc, text);
      if (!compiled.ok()) {
        if (compiled.message.empty()) errors.Raise();
        else errors.Fail(compiled.message);
        result.ok = false;
        result.errorPosition = compiled.errorPosition;
        return result;
      }
      store.SetCode(*cell, reinterpret_cast<const std::uint8_t*>(compiled.code.data()));
      store.ReleaseValue(*cell);
      cell->kind = kFormula;
      RegisterFormula(doc, *cell, true);
      if (settings.manualRecalc || !hasDependents) {
        Engine(session).evaluator->EvaluateCell(doc, *cell);
      }
    }
  } else {
    std::string label;
    if (!IsLabelPrefix(text[0])) label.push_back(settings.labelPrefix);
    label.append(text);
    if (label.size() > kMaxText) label.resize(kMaxText);
    store.SetCellText(*cell, label);
    cell->kind = kLabel;
    cell->value.bits = 0;
  }

  if (!settings.manualRecalc && hasDependents) {
    RecalcFrom(doc, *cell);
    result.recalculated = true;
  }
  return result;
}

}  // namespace tabulon
