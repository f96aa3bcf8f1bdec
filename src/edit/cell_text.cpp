#include "edit/cell_text.h"

#include "base/number_parse.h"
#include "display/format.h"
#include "formula/formula_text.h"
#include "sheet/cell_record.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

bool ProtectedAgainstEntry(const SheetDocument& doc, const CellRecord* cell) {
  return doc.settings().protect && (cell == nullptr || cell->IsLocked());
}

}  // namespace

std::string NumberEditText(double x, char decimalChar) {
  std::string text = InputForm(x, decimalChar);
  ParsedNumber back = ParseNumber(text, decimalChar);
  if (back.errorPosition == 0 && back.value == x) return text;
  return ConstantText(x, decimalChar);
}

double CellNumber(const CellRecord* cell) {
  if (cell == nullptr) return 0;
  switch (cell->KindAndError()) {
    case kFormula:
    case kReal: return cell->value.num;
    case kInteger: return cell->value.integer;
    default: return 0;
  }
}

std::string CellStringValue(const CellRecord* cell) {
  if (cell == nullptr) return {};
  if (cell->KindAndError() == kStringFormula) return std::string(PStringView(cell->value.str));
  if (cell->KindAndError() == kLabel) {
    std::string_view t = cell->TextView();
    return t.empty() ? std::string() : std::string(t.substr(1));
  }
  return {};
}

std::string CellDisplayText(SheetDocument& doc, const CellRecord* cell) {
  if (cell == nullptr) return {};
  switch (cell->KindAndError()) {
    case kStringFormula: return "'" + std::string(PStringView(cell->value.str));
    case kFormula:
    case kReal:
    case kInteger:
      return FormatValue(20, EffectiveFormat(cell->format, doc.settings()), CellNumber(cell),
                         FormatSettingsOf(doc));
    case kLabel: return std::string(cell->TextView());
    default: return {};
  }
}

std::string CellEditText(SheetDocument& doc, const CellRecord* cell) {
  if (cell == nullptr) return {};
  switch (cell->Kind()) {
    case kStringFormula:
    case kFormula: return FormulaText(doc, *cell);
    case kReal: return NumberEditText(cell->value.num, doc.session().settings().decimalChar);
    case kInteger: return std::to_string(cell->value.integer);
    case kLabel: return std::string(cell->TextView());
    default: return {};
  }
}

InputLineContents CellContents(SheetDocument& doc, int row, int col) {
  const CellRecord* cell = doc.cells().FindCell(row, col);
  if (ProtectedAgainstEntry(doc, cell)) return {"* Protected *", true};
  return {CellEditText(doc, cell), false};
}

std::string CellAttributeText(SheetDocument& doc, int row, int col) {
  const CellRecord* cell = doc.cells().FindCell(row, col);
  bool protect = doc.settings().protect;
  std::string attributes;
  if (ProtectedAgainstEntry(doc, cell)) {
    attributes = "Pr ";
  } else if (cell != nullptr) {
    if (cell->FormatCode() != kFormatUseDefault) attributes = FormatShortName(cell->format, protect);
    else if (protect) attributes = "Un ";
    if (cell->style != 0) attributes += "," + std::to_string(cell->style);
  }
  if (attributes.empty()) return {};
  return " [" + attributes + "]";
}

std::string CellIndicatorText(SheetDocument& doc, CellAddress cursor, const CellRange& selection) {
  int pageHeight = doc.settings().pageHeight;
  if (selection.IsDefined() && !selection.IsSingleCell()) return RangeText(selection, pageHeight);
  return AddressText(cursor.row, cursor.col, false, false, pageHeight) +
         CellAttributeText(doc, cursor.row, cursor.col);
}

}  // namespace tabulon
