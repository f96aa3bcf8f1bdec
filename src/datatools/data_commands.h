// The Data menu and the data tools' commands in the command table.
#pragma once

namespace tabulon {

class Workspace;

// Adds the Data menu (each item opens the data-tools dialog on its page)
// and the commands a macro or the dialog's Ok runs: "data.fill" (location,
// start, step, type 1-3, order 1 = Row), "data.sort" (data, then four times
// key and order 1 = ascending; an empty key 2-4 is undefined), "data.query"
// (input, criteria, output), "data.bin" (values, bins), "data.parse"
// (location), with the macro letters d f, d s, d q, d b, d p. Also Speed
// Fill ("quick.fill"), the ascend and descend sort buttons
// ("data.sort.ascend", "data.sort.descend") and Bin by pointing
// ("data.bin.point"). Every command that changes cells takes the undo
// snapshot first.
void RegisterDataCommands(Workspace& ws);

}  // namespace tabulon
