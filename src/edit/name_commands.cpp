#include "edit/name_commands.h"

#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

RangeContext ContextOf(SheetDocument& doc) {
  return RangeContext{doc.settings().pageHeight, &doc.names(), doc.session().cursor()};
}

constexpr int kBuildLimit = 240;

}  // namespace

bool CreateName(SheetDocument& doc, std::string_view name, std::string_view rangeText) {
  ErrorChannel scratch;
  ParsedRange r = ParseRange(rangeText, ContextOf(doc), scratch);
  if (!r.ok || !r.range.IsDefined() || name.empty()) return false;
  return doc.names().DefineName(name, r.range);
}

bool DeleteName(SheetDocument& doc, std::string_view name) {
  return !name.empty() && doc.names().RemoveName(name) > 0;
}

int BuildNames(SheetDocument& doc, const CellRange& from) {
  if (!from.IsDefined()) return 0;
  int defined = 0;
  int col = from.firstCol;
  int step = from.firstRow <= from.lastRow ? 1 : -1;
  for (int r = from.firstRow;; r += step) {
    if (doc.names().count() >= kBuildLimit) break;
    std::string name = CellStringValue(doc.cells().FindCell(r, col));
    std::string target = CellStringValue(doc.cells().FindCell(r, col + 1));
    ErrorChannel scratch;
    ParsedRange parsed = ParseRange(target, ContextOf(doc), scratch);
    if (!name.empty() && parsed.ok && doc.names().DefineName(name, parsed.range)) ++defined;
    if (r == from.lastRow) break;
  }
  return defined;
}

bool WriteNameTable(SheetDocument& doc, int row, int col) {
  int pageHeight = doc.settings().pageHeight;
  // Entering cells never changes the name table, so its entries can be read
  // while writing.
  for (const RangeName& n : doc.names().entries()) {
    if (!EnterCell(doc, "'" + n.name, row, col).ok) return false;
    const CellRange& r = n.range;
    if (r.IsDefined()) {
      std::string text = ShortAddressText(r.firstRow, r.firstCol, pageHeight);
      if (!r.IsSingleCell()) text += ".." + ShortAddressText(r.lastRow, r.lastCol, pageHeight);
      if (!EnterCell(doc, text, row, col + 1).ok) return false;
    }
    ++row;
  }
  return true;
}

}  // namespace tabulon
