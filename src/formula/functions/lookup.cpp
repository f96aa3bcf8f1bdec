// Lookup and reference functions: table lookup and interpolation, cells by
// position or by address text, range sizes, cell attributes and links.
#include <algorithm>
#include <cmath>
#include <string>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_text.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "formula/links.h"
#include "formula/number_text.h"
#include "formula/op_table.h"
#include "sheet/address.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

// Replaces the n arguments by the value of a cell: its number or its text;
// a missing or empty cell gives 0, an error cell ERR.
void ResultFromCell(Evaluator& e, int n, const CellRecord* c) {
  if (c == nullptr) {
    ResultNumber(e, n, 0);
    return;
  }
  switch (c->KindAndError()) {
    case kFormula:
    case kReal: ResultNumber(e, n, c->value.num); return;
    case kInteger: ResultNumber(e, n, c->value.integer); return;
    case kStringFormula: ResultString(e, n, std::string(PStringView(c->value.str))); return;
    case kLabel: {
      std::string_view t = c->TextView();
      ResultString(e, n, std::string(t.substr(std::min<std::size_t>(1, t.size()))));
      return;
    }
    case kEmpty: ResultNumber(e, n, 0); return;
    default: ResultError(e, n); return;
  }
}

// --- tables ---------------------------------------------------------

// Where a key scan ended: `match` is the entry the lookup uses, `stop` the
// first key greater than x (or the key count when there is none).
struct TableScan {
  int match = -1;
  int stop = 0;
  int count = 0;
};

// Keys run down the first column (vertical) or along the first row. The
// scan stops at the first numeric key above x; a vertical table matches the
// entry before the stop, a horizontal one the last numeric key before it.
TableScan ScanKeys(Evaluator& e, const RangeArg& r, bool vertical, double x) {
  CellStore& store = e.CellsOf(r);
  TableScan s;
  s.count = vertical ? r.rows() : r.cols();
  auto key = [&](int i) {
    return vertical ? store.FindCell(r.top + i, r.left) : store.FindCell(r.top, r.left + i);
  };
  s.stop = s.count;
  for (int i = 0; i < s.count; ++i) {
    const CellRecord* c = key(i);
    if (c == nullptr || !IsNumericCell(*c)) continue;
    if (c->HasError()) {
      e.Fail();
      return s;
    }
    if (NumericCellValue(*c) > x) {
      s.stop = i;
      break;
    }
  }
  if (vertical) {
    s.match = s.stop - 1;
  } else {
    for (int i = s.stop - 1; i >= 0; --i) {
      const CellRecord* c = key(i);
      if (c != nullptr && IsNumericCell(*c)) {
        s.match = i;
        break;
      }
    }
  }
  return s;
}

// The cell `offset` columns right of (vertical) or rows below an entry's key.
const CellRecord* TableCell(Evaluator& e, const RangeArg& r, bool vertical, int entry,
                            int offset) {
  CellStore& store = e.CellsOf(r);
  return vertical ? store.FindCell(r.top + entry, r.left + offset)
                  : store.FindCell(r.top + offset, r.left + entry);
}

void Table(Evaluator& e) {
  if (!Arguments(e, 3, 2)) return;
  bool vertical = e.op() == kOpVTable || e.op() == kOpVTerp;
  bool interpolate = e.op() == kOpHTerp || e.op() == kOpVTerp;
  double x = Num(ArgumentAt(e, 3, 0));
  RangeArg r = RangeArgument(e, ArgumentAt(e, 3, 1));
  double offset = RoundedArg(ArgumentAt(e, 3, 2));
  int width = vertical ? r.cols() : r.rows();
  if (!r.valid || offset < 0 || offset >= width) {
    ResultError(e, 3);
    return;
  }
  TableScan s = ScanKeys(e, r, vertical, x);
  if (e.failed() || s.match < 0) {
    ResultError(e, 3);
    return;
  }
  int off = static_cast<int>(offset);
  if (!interpolate) {
    ResultFromCell(e, 3, TableCell(e, r, vertical, s.match, off));
    return;
  }
  double k1 = CellAsNumber(e, TableCell(e, r, vertical, s.match, 0));
  double v = CellAsNumber(e, TableCell(e, r, vertical, s.match, off));
  if (s.stop >= s.count) {
    if (x == k1 && !e.failed()) ResultNumber(e, 3, v);
    else ResultError(e, 3);
    return;
  }
  double k2 = CellAsNumber(e, TableCell(e, r, vertical, s.stop, 0));
  double w = CellAsNumber(e, TableCell(e, r, vertical, s.stop, off));
  if (k2 == k1 || e.failed()) {
    ResultError(e, 3);
    return;
  }
  ResultNumber(e, 3, v + (x - k1) / (k2 - k1) * (w - v));
}

// --- positions and sizes ----------------------------------------------

void Index(Evaluator& e) {
  if (!Arguments(e, 3, 1)) return;
  RangeArg r = RangeArgument(e, ArgumentAt(e, 3, 0));
  double col = RoundedArg(ArgumentAt(e, 3, 1));
  double row = RoundedArg(ArgumentAt(e, 3, 2));
  if (!r.valid) {
    ResultError(e, 3);
    return;
  }
  // Positions beyond the range are allowed, but not beyond the sheet.
  double c = r.left + col - 1, w = r.top + row - 1;
  if (c < 0 || c >= kColumnCount || w < 0 || w >= kRowCount) {
    ResultError(e, 3);
    return;
  }
  ResultFromCell(e, 3, e.CellsOf(r).FindCell(static_cast<int>(w), static_cast<int>(c)));
}

void ColsRows(Evaluator& e) {
  if (!Arguments(e, 1, 1)) return;
  RangeArg r = RangeArgument(e, e.Top());
  if (!r.valid) {
    ResultError(e, 1);
    return;
  }
  ResultNumber(e, 1, e.op() == kOpCols ? r.cols() : r.rows());
}

// The cell named by address text; range names, "CURSOR" and "RANGE" name
// their first cell. The parser's verdict stays here, away from the
// session's error channel, which an enclosing command may be using.
void Indirect(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string text = e.Text(e.Top());
  RangeContext context{e.doc().settings().pageHeight, &e.doc().names(), e.session().cursor()};
  ErrorChannel parse;
  ParsedRange p = ParseRange(text, context, parse);
  bool failed = parse.failed();
  const CellRange& range = p.range;
  if (failed || !p.ok || !range.IsDefined() || !RowInSheet(range.firstRow) ||
      !ColumnInSheet(range.firstCol)) {
    ResultError(e, 1);
    return;
  }
  ResultFromCell(e, 1, e.cells().FindCell(range.firstRow, range.firstCol));
}

// --- cell attributes ----------------------------------------------------

// The short name of a format byte, as the cell indicator shows it.
std::string FormatShortName(std::uint8_t format, bool protectionOn) {
  static const char* const kGroupLetters[8] = {"F", "S", "C", "%", ",", "E", "G", "?"};
  static const char* const kSpecialNames[16] = {"+",  "G",  "D1", "D2", "D3", "T", "H",  "T1",
                                                "T2", "D4", "D5", "T3", "T4", "",  "Lb", ""};
  int group = (format >> 4) & 7;
  int low = format & 15;
  std::string name;
  if (group == 7) name = kSpecialNames[low];
  else if (!(low & 8)) name = kGroupLetters[group] + std::to_string(low);
  else if (group == 2) name = "Fr" + std::to_string(low & 7);
  if (protectionOn) name = ((format & kLockBit) ? "Pr " : "Un ") + name;
  if (name.size() > 5) name.resize(5);
  return name;
}

// The text the input line shows for a cell of `doc`: a formula's text, a
// label with its prefix, a number's digits.
std::string ContentsText(Evaluator& e, SheetDocument& doc, const CellRecord* c) {
  if (c == nullptr) return {};
  switch (c->Kind()) {
    case kReal: return NumberText(c->value.num, e.session().settings().decimalChar);
    case kInteger: return std::to_string(c->value.integer);
    case kLabel: return std::string(c->TextView());
    case kStringFormula:
    case kFormula: return FormulaText(doc, *c);
    default: return {};
  }
}

// Attribute `attribute` of the cell at (row, col) of `doc`, in place of the
// n arguments.
void CellAttribute(Evaluator& e, int n, const std::string& attribute, SheetDocument& doc, int row,
                   int col) {
  std::string key = UpperCase(std::string_view(attribute).substr(0, 3));
  const CellRecord* c = doc.cells().FindCell(row, col);
  if (key == "ADD") {
    ResultString(e, n, AddressText(row, col, true, true, doc.settings().pageHeight));
  } else if (key == "ROW") {
    ResultNumber(e, n, row + 1);
  } else if (key == "COL") {
    ResultNumber(e, n, col + 1);
  } else if (key == "CON" || key == "PRE") {
    std::string text = ContentsText(e, doc, c);
    ResultString(e, n, key == "CON" ? text : text.substr(0, 1));
  } else if (key == "TYP") {
    ResultNumber(e, n, c == nullptr ? 6 : c->Kind());
  } else if (key == "WID") {
    // Widths are kept in pixels; the user sets them in characters of 8 pixels.
    ResultNumber(e, n, std::round(doc.metrics().columnWidths[col] / 8.0));
  } else if (key == "FOR") {
    std::uint8_t format = c != nullptr ? c->format : (kLockBit | kDefaultFormat);
    ResultString(e, n, FormatShortName(format, doc.settings().protect));
  } else {
    ResultNumber(e, n, 0);
  }
}

void CellInfo(Evaluator& e) {
  if (!Arguments(e, 2, 2)) return;
  std::string attribute = e.Text(ArgumentAt(e, 2, 0));
  RangeArg r = RangeArgument(e, ArgumentAt(e, 2, 1));
  if (!r.valid) {
    ResultError(e, 2);
    return;
  }
  CellAttribute(e, 2, attribute, e.DocumentOf(r), r.top, r.left);
}

// Without a worksheet window the cell pointer rests on A1.
void CellPointerInfo(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string attribute = e.Text(e.Top());
  CellAddress at{};
  if (const CursorSource* cursor = e.session().cursor()) at = cursor->CursorCell();
  if (!RowInSheet(at.row) || !ColumnInSheet(at.col)) {
    ResultError(e, 1);
    return;
  }
  CellAttribute(e, 1, attribute, e.doc(), at.row, at.col);
}

// --- links --------------------------------------------------------------

// "FILE>ADDRESS", where the address may start with a page ("B:C5"). A value
// that the link store cannot supply yet reads "N/A".
void Link(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  std::string text = e.Text(e.Top());
  std::size_t gt = text.find('>');
  if (gt == std::string::npos) {
    ResultError(e, 1);
    return;
  }
  // The file name keeps its case, as link operands do: file names are
  // case-sensitive here (the link store still finds an old sheet's
  // capitalised name when only the case differs).
  std::string file(std::string_view(text).substr(0, gt));
  std::string_view address = std::string_view(text).substr(gt + 1);
  int page = 0;
  if (std::size_t colon = address.find(':'); colon != std::string_view::npos) {
    page = ColumnFromLetters(UpperCase(address.substr(0, colon)));
    if (page < 0) {
      ResultError(e, 1);
      return;
    }
    address.remove_prefix(colon + 1);
  }
  ParsedCorner corner = ParseCorner(address, 0);
  if (!corner.ok || !RowInSheet(corner.row) || !ColumnInSheet(corner.col)) {
    ResultError(e, 1);
    return;
  }
  LinkSource* links = Engine(e.session()).links;
  SheetDocument* linked = links != nullptr && page == 0 ? links->Find(file, e.doc()) : nullptr;
  if (linked == nullptr) {
    ResultString(e, 1, "N/A");
    return;
  }
  ResultFromCell(e, 1, linked->cells().FindCell(corner.row, corner.col));
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterLookupFunctions(DispatchTable& t) {
#define LOOKUP_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
