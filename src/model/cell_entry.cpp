#include "model/cell_entry.h"

#include <cmath>
#include <cstdlib>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/functions/datetime.h"
#include "formula/recalc.h"
#include "model/cell_ops.h"
#include "model/session.h"
#include "model/text.h"

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

ParsedNumber ParseNumber(std::string_view input, char decimalChar) {
  ParsedNumber r;
  std::string t(input.substr(0, kMaxText));
  if (std::size_t d = t.find(decimalChar); d != std::string::npos) t[d] = '.';
  if (!t.empty() && t[0] == '.') t.insert(t.begin(), '0');
  else if (t.size() >= 2 && (t[0] == '+' || t[0] == '-') && t[1] == '.') t.insert(t.begin() + 1, '0');
  // The standard decimal reader: blanks, sign, digits, fraction, exponent.
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  std::size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits > 0 && i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    std::size_t e = i + 1;
    if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
    if (e < t.size() && IsDigit(t[e])) {
      i = e;
      while (i < t.size() && IsDigit(t[i])) ++i;
    }
  }
  if (digits == 0) {
    r.errorPosition = static_cast<int>(std::min(t.size(), start + (i > start ? i - start : 0))) + 1;
    if (r.errorPosition < 1) r.errorPosition = 1;
    return r;
  }
  r.value = std::strtod(t.c_str() + start, nullptr);
  if (i < t.size()) r.errorPosition = static_cast<int>(i) + 1;
  else if (!std::isfinite(r.value)) r.errorPosition = 1;
  return r;
}

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
      std::string code = CompileFormula(doc, text);
      if (errors.failed() || code.empty()) {
        errors.Raise();
        result.ok = false;
        return result;
      }
      store.SetCode(*cell, reinterpret_cast<const std::uint8_t*>(code.data()));
      store.ReleaseValue(*cell);
      cell->kind = kFormula;
      RegisterFormula(doc, *cell, true);
      if (settings.manualRecalc || !hasDependents) {
        session.engine().evaluator->EvaluateCell(doc, *cell);
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
