// The one-level undo snapshot of all cells, column widths and row heights,
// range names and stored ranges.
#pragma once

namespace tabulon {

class SheetDocument;

// Saves every cell (formula code in position-independent form), the grid
// metrics, the names and stored ranges and the sort directions, replacing
// the previous snapshot. Does nothing when undo is disabled in the program
// settings.
void TakeSnapshot(SheetDocument& doc);
// Replaces the sheet by the snapshot and recalculates. Returns false when
// there was no snapshot (the sheet is unchanged).
bool RestoreSnapshot(SheetDocument& doc);
void DiscardSnapshot(SheetDocument& doc);

}  // namespace tabulon
