#include "commands/command_set.h"

#include "datatools/data_commands.h"
#include "graph/graph_workspace.h"
#include "macro/macro_interpreter.h"
#include "print/print_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

// Puts a button on the quick bar beside the one running `next` (after it,
// or before it with `before`); at the end when there is none.
void AddQuickButton(Workspace& ws, const char* next, CommandButton button, bool before = false) {
  auto& bar = ws.quickBar();
  auto it = bar.begin();
  while (it != bar.end() && it->command != next) ++it;
  bar.insert(it == bar.end() || before ? it : it + 1, button);
}

}  // namespace

CommandServices RegisterAllCommands(Workspace& ws, const CommandViews& views) {
  CommandServices services;
  RegisterDataCommands(ws);
  RegisterGraphCommands(ws, views.graphs);
  services.print = &RegisterPrintCommands(ws, views.printing);
  if (views.macros != nullptr) RegisterMacroCommands(ws, *views.macros);
  // Speed Fill stands beside Erase, Quick Graph before the type styles.
  AddQuickButton(ws, "edit.delete", {"quick.fill", "Fill", "Speed Fill"});
  AddQuickButton(ws, "quick.bold", {"graph.quick", "Graph", "Quick Graph"}, true);
  return services;
}

}  // namespace tabulon
