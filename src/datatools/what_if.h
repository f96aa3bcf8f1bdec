// Goal seek and what-if tables: both drive a formula by changing input
// cells and recalculating.
#pragma once

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

enum class GoalOutcome {
  kUndefined,  // the input or output cell is undefined: nothing done
  kRefused,    // a protected input: the error channel says why
  kFound,      // the input holds an x whose output is within the tolerance
  kGaveUp,     // no convergence: the input holds the estimate and "+@ERR"
};

// Newton's method with a one-sided difference: the input is set to 0.99 x
// and to x in turn, the sheet recalculated after each, and x moved by the
// error over the slope (1 when x is 0). At most 26 steps; a zero slope (an
// output that does not depend on the input), an output showing an error or
// an estimate that is no longer a number gives up at once. A step that
// meets the tolerance succeeds, the 26th included.
GoalOutcome GoalSeek(SheetDocument& doc, const CellRange& input, const CellRange& output,
                     double desired, double tolerance);

// A what-if table over `table` (top row R0, left column C0). With one
// input, the values down column C0 go into `input1` and each formula of row
// R0 is recorded under itself; with two, the values down column C0 go into
// `input1`, those along row R0 into `input2`, and the formula at (R0, C0) is
// recorded at each crossing. A numeric result is stored as a number, an
// error as "@ERR", a text result as typed; a position whose substitute is
// not a number, or whose formula cell is missing, is left alone. The input
// cells get their former entries back and the sheet is recalculated from
// them. An input cell inside the results, a table past the sheet or a
// locked cell under protection fails before anything changes.
bool WhatIfTable(SheetDocument& doc, const CellRange& input1, const CellRange& input2,
                 const CellRange& table);

}  // namespace tabulon
