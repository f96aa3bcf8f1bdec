// File > Uplink, Merge..., Import..., Export ... and Sheet > External @:
// moving data between the sheet and other files, for the menus and the
// File macro commands (FILEMERGE, FILEIMPORT, FILEEXPORT).
#pragma once

#include <string>

#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class Workspace;

// Merges a worksheet file (or its range `filter`, a name or an address)
// into the active sheet with its top-left cell at `insert`. `combine` is
// 1 replace, 2 add, 3 subtract.
Status MergeFile(Workspace& ws, const std::string& file, CellAddress insert,
                 const std::string& filter, unsigned combine, bool valuesOnly);

// What FILEMERGE's options text asks for: values only unless it holds "F",
// and the action of "R", "S" or "D" (replace when none), read from its first
// three characters.
void ReadMergeOptions(const std::string& options, unsigned& combine, bool& valuesOnly);

// Writes the external reference table at `at`: one row per source file,
// its path, what became of it and how many cells it holds.
Status WriteLinkTable(Workspace& ws, CellAddress at);

void RegisterTransferCommands(Workspace& ws);

}  // namespace tabulon
