// Export of a worksheet to an Office Open XML workbook (.xlsx) whose
// formulas stay live: each formula is translated into the workbook's
// formula language and written with the cell's current value as its cached
// result. A formula that cannot be translated without changing its meaning
// goes out as its value, with the TABULON formula text in a cell comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

// How an operation of compiled code is written in the workbook.
enum class XlsxMapping : std::uint8_t {
  kOperand,     // numbers, strings, references: written by the translator itself
  kOperator,    // an operator with the same meaning in the workbook
  kFunction,    // a workbook function of the same meaning and argument order
  kTemplate,    // an equivalent expression built from workbook functions
  kConditional, // translates only for some arguments (see the reason)
  kValueOnly,   // no equivalent: the cell goes out as its value
};

struct XlsxOperation {
  std::uint8_t op;
  XlsxMapping mapping;
  // The workbook function name (kFunction) or template (kTemplate, with
  // {1}..{4} for the arguments); empty otherwise.
  std::string_view workbook;
  // Why an operation is conditional or values-only.
  std::string_view reason;
};

// The one table from operation number to its workbook form; null for a
// number the operation list leaves unassigned.
const XlsxOperation* XlsxOperationOf(std::uint8_t op);

// The translation of one formula: the workbook formula text (without "="),
// or the reason it cannot be translated.
struct XlsxFormula {
  bool ok = false;
  std::string text;    // UTF-8
  std::string reason;  // when !ok
};

// Names as the workbook holds them: TABULON range names that are not valid
// workbook names (cell addresses such as TAX1, or characters the workbook
// refuses) get a changed name, which the export reports.
struct XlsxName {
  std::string original;
  std::string exported;
  CellRange range;
};
std::vector<XlsxName> WorkbookNames(const SheetDocument& doc);

XlsxFormula TranslateFormula(SheetDocument& doc, const CellRecord& cell);
// The same with the document's workbook names worked out once.
XlsxFormula TranslateFormula(SheetDocument& doc, const CellRecord& cell,
                             const std::vector<XlsxName>& names);

struct XlsxExportResult {
  bool ok = false;
  std::string error;  // when !ok: the file was not written
  std::size_t cells = 0;
  std::size_t formulas = 0;     // written as live formulas
  std::size_t valuesOnly = 0;   // formulas written as values
  // One line for each reason formulas went out as values, with the count
  // and the first cell ("12 cells as values: @VTABLE: ... (first at B4)"),
  // and one for each renamed range name or altered label.
  std::vector<std::string> notes;
};

// Writes the document (or just `range` when it is defined) to `path` as a
// workbook. The file appears complete under `path` or not at all: it is
// written beside the target and renamed into place.
XlsxExportResult ExportXlsx(SheetDocument& doc, std::string_view path, const CellRange& range);

struct XlsxExportOptions {
  // Whether formulas carry the cells' current values. Without them a reader
  // must recalculate to show anything (the peer check relies on that).
  bool cachedValues = true;
};
XlsxExportResult ExportXlsx(SheetDocument& doc, std::string_view path, const CellRange& range,
                            const XlsxExportOptions& options);

}  // namespace tabulon
