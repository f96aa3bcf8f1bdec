// The whole command set: the workspace's own commands and those of every
// subsystem above it. The windowed program, tabulon-cli and the tests make
// their workspaces with it, so a menu command is the same command
// everywhere; what differs is only the windows and devices a command may
// use, which the windowed program supplies and the headless callers leave
// out.
#pragma once

namespace tabulon {

class GraphViews;
class MacroInterpreter;
class PrintDevices;
class PrintService;
class Workspace;

struct CommandViews {
  GraphViews* graphs = nullptr;      // graph windows and the graph settings dialog
  PrintDevices* printing = nullptr;  // printers and PDF files
  // The interpreter behind Execute Macro, Macro Step and the macro bar; a
  // caller that runs macros itself (the batch tool) registers them itself.
  MacroInterpreter* macros = nullptr;
};

// The services that registration made, for the windows that show them.
struct CommandServices {
  PrintService* print = nullptr;
};

CommandServices RegisterAllCommands(Workspace& ws, const CommandViews& views = {});

}  // namespace tabulon
