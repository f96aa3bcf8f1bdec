// The print commands in the command table: File > "Print..." (and the
// quick bar's "Print Worksheet" button), and the macro language's print
// family: PRINTALL, PRINTBORDER, PRINTFILE, PRINTFOOT, PRINTHEAD,
// PRINTMARGIN, PRINTOPTION, PRINTRANGE and PRINTGRAPH.
#pragma once

namespace tabulon {

class PrintDevices;
class PrintService;
class Workspace;

// Adds the commands and the quick-bar button. `devices` are where jobs go
// (null: nothing can print; settings commands still work). The returned
// service lives as long as the workspace's command table; the windowed
// program's print dialog, preview and status window work on it.
PrintService& RegisterPrintCommands(Workspace& ws, PrintDevices* devices = nullptr);

}  // namespace tabulon
