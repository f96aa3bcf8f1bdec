// Recalculation: the dependents lists kept in the cells, and the walk that
// orders every affected formula after the cells it uses.
#pragma once

#include <cstdint>
#include <vector>

#include "base/limits.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

// Adds the formula cell to (or removes it from) the dependents list of every
// cell its code refers to; a range registers with every cell of its
// rectangle, creating placeholders when adding. Returns whether the code
// calls @LINK.
bool RegisterFormula(SheetDocument& doc, CellRecord& formula, bool add);

// Recalculates the cell and everything that depends on it.
void RecalcFrom(SheetDocument& doc, CellRecord& cell);
// Recalculates the given cells and everything that depends on them in one
// walk, so a formula reached from several of them is evaluated once.
// Identities that are no longer live are skipped.
void RecalcCells(SheetDocument& doc, const std::vector<CellId>& cells);
// Recalculates every formula of the worksheet. A request made while a full
// recalculation runs is ignored. The order of evaluation is kept in the
// document and used again until the sheet's structure changes.
void RecalcAll(SheetDocument& doc);
// Every formula of the worksheet in the order a full recalculation evaluates
// them: each after the formulas it uses, a cycle cut where the walk closes it.
std::vector<CellId> FullRecalcOrder(SheetDocument& doc);

// When the record `gone` is deleted: its references in the dependent's code
// become invalid (a range with it as a corner loses both corners), the
// dependent is unregistered from the cells those references covered and
// gets an error result.
void NullReferences(SheetDocument& doc, CellRecord& dependent, CellId gone);
// NullReferences, then the dependent is recalculated.
void InvalidateReferences(SheetDocument& doc, CellRecord& dependent, CellId deleted);

}  // namespace tabulon
