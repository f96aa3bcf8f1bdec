// Consistency checks of a worksheet for tests of commands that rearrange
// cells, and compact descriptions of cell contents for comparing sheets.
#pragma once

#include <string>

#include "sheet/sheet_document.h"
#include "support/test_session.h"

namespace tabulon::testing {

// "A1..B3" or "C4" as a range, corners in the order written.
CellRange Rng(std::string_view text);
// References() and Describe() of the cell at an address.
std::string Refs(TestSheet& t, std::string_view address);
std::string Desc(TestSheet& t, std::string_view address);

// Walks every row list, formula and dependents list and returns a
// description of the first faults found, or an empty string:
// - each row lists live records, in strictly ascending columns, whose row
//   and column fields agree, inside the used extents, and the rows hold
//   every live record;
// - every non-zero reference in formula code designates a live record;
// - every referenced cell, and every cell of a referenced rectangle, exists
//   and lists the formula among its dependents;
// - every dependents entry is a live formula, listed once, whose code
//   refers to the cell directly or through a rectangle containing it;
// - every defined stored range lies inside the sheet;
// - a kept order of full recalculation whose structure version still stands
//   matches a fresh one (the fresh one is kept for the next check).
std::string CheckSheet(SheetDocument& doc);

// Whether some formula depends on itself, directly or through others.
bool HasCycle(SheetDocument& doc);

// The references of a formula cell in code order, as address text joined
// by spaces ("B2 $B$1 A1..C3"); an invalid reference reads "ERR". Empty for
// a cell that is missing or holds no formula.
std::string References(SheetDocument& doc, int row, int col);

// The entry of a cell as text: "" for a missing or empty cell, "L:text" for
// a label, "N:value" for a number, "F:references=value" for a formula (the
// value "ERR" for an error result, the text for a text result).
std::string Describe(SheetDocument& doc, int row, int col);

// Describe() of every cell of the rectangle, one line per non-empty cell
// ("A1 N:5"), skipping the cells of `except` when it is defined.
std::string DescribeBlock(SheetDocument& doc, int r1, int c1, int r2, int c2,
                          const CellRange& except = CellRange{});

}  // namespace tabulon::testing
