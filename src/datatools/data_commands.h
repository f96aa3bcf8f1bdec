// The Data menu and the data tools' commands in the command table.
#pragma once

namespace tabulon {

class Workspace;

// Adds the Data menu (each item opens the data-tools dialog on its page)
// and the commands a macro or the dialog's Ok runs: "data.fill" (location,
// start, step, type 1-3, order 1 = Row), "data.sort" (data, then four times
// key and order 1 = ascending; an empty key 2-4 is undefined), "data.query"
// (input, criteria, output), "data.bin" (values, bins), "data.parse"
// (location), "data.goal" (input, output, desired, tolerance),
// "data.regress" (x, y, output), "data.multiregress" (x, y, output, terms
// "A01,B1"), "data.table" (input 1, input 2 or empty for one input,
// output), with the macro letters d f, d s, d q, d b, d p, d g, d r, d m,
// d t; then the Array menu (array_commands.h). Also Speed
// Fill ("quick.fill"), the ascend and descend sort buttons
// ("data.sort.ascend", "data.sort.descend") and Bin by pointing
// ("data.bin.point") and the table commands by pointing
// ("data.table1.point", "data.table2.point"). Every command that changes cells takes the undo
// snapshot first.
void RegisterDataCommands(Workspace& ws);

}  // namespace tabulon
