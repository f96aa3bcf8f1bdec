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
  auto fail = [&](std::string_view message) {
    errors.Fail(message);
    result.ok = false;
    return result;
  };

  // Cell text ends at a NUL byte in the worksheet file; one kept in the
  // sheet would silently cut the entry at the next save.
  if (text.find('\0') != std::string_view::npos) return fail("Entry contains a NUL character");
  if (!RowInSheet(row) || !ColumnInSheet(col)) return fail("Out of Range");
  CellRecord* cell = store.FindCell(row, col);
  if (cell == nullptr && text.empty()) return result;
  // A missing cell counts as locked.
  if (settings.protect && (cell == nullptr || cell->IsLocked())) return fail("Protected Cell");

  // Decide what the text becomes, compiling a formula, before the cell is
  // touched: an entry that fails leaves the cell, and so its dependents, as
  // they were.
  enum class Kind { kEmpty, kNumber, kFormula, kLabel } kind = Kind::kLabel;
  double number = 0;
  std::string stored;  // compiled code, or label text with its prefix
  std::uint8_t format = cell != nullptr ? cell->FormatCode() : kDefaultFormat;
  char decimal = session.settings().decimalChar;
  if (text.empty()) {
    kind = Kind::kEmpty;
  } else if ((format == kFormatD4 || format == kFormatD5) && text.find('/') != std::string_view::npos) {
    std::string compact;
    for (char c : text)
      if (c != ' ') compact.push_back(c);
    kind = compact.empty() ? Kind::kEmpty : Kind::kNumber;
    if (!compact.empty()) number = DateValueFromText(compact, format == kFormatD5);
  } else if (IsValueStart(text[0], decimal) && format != kFormatLabel) {
    ParsedNumber n = ParseNumber(text, decimal);
    bool formula = n.errorPosition != 0;
    if (text.size() >= 2 && (text[0] == '+' || text[0] == '-') && IsUpperLetter(UpperChar(text[1])))
      formula = true;
    if (!formula) {
      kind = Kind::kNumber;
      number = n.value;
    } else {
      CompiledFormula compiled = CompileFormula(doc, text);
      if (!compiled.ok()) {
        // A syntax error has no message: the input line keeps the text, red.
        if (compiled.message.empty()) errors.Raise();
        else errors.Fail(compiled.message);
        result.ok = false;
        result.errorPosition = compiled.errorPosition;
        return result;
      }
      kind = Kind::kFormula;
      stored = std::move(compiled.code);
    }
  } else {
    if (!IsLabelPrefix(text[0])) stored.push_back(settings.labelPrefix);
    stored.append(text);
    if (stored.size() > kMaxText) stored.resize(kMaxText);
  }

  if (cell == nullptr) {
    // Compiling may have made the record already, as a placeholder for a
    // formula that refers to its own cell.
    cell = store.GetOrCreateCell(row, col);
    if (cell == nullptr) return fail("Out of Memory");
  } else {
    BlankCell(doc, *cell);
    settings.modified = true;
  }
  bool hasDependents = store.HasDependents(*cell);

  switch (kind) {
    case Kind::kEmpty: break;
    case Kind::kNumber: store.StoreNumber(*cell, number); break;
    case Kind::kFormula:
      store.SetCode(*cell, reinterpret_cast<const std::uint8_t*>(stored.data()));
      store.ReleaseValue(*cell);
      cell->kind = kFormula;
      RegisterFormula(doc, *cell, true);
      if (settings.manualRecalc || !hasDependents) {
        Engine(session).evaluator->EvaluateCell(doc, *cell);
      }
      break;
    case Kind::kLabel:
      store.SetCellText(*cell, stored);
      cell->kind = kLabel;
      cell->value.bits = 0;
      break;
  }

  // An erased or changed cell: its dependents see the change.
  if (!settings.manualRecalc && hasDependents) {
    RecalcFrom(doc, *cell);
    result.recalculated = true;
  }
  return result;
}

}  // namespace tabulon
