#include "commands/command_set.h"

#include <algorithm>
#include <iterator>

#include "datatools/data_commands.h"
#include "graph/graph_workspace.h"
#include "macro/macro_interpreter.h"
#include "print/print_commands.h"
#include "ui/transfer_commands.h"
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

// The quick bar from left to right, whichever layer added a button.
constexpr const char* kQuickBarOrder[] = {
    "file.open",      "file.save",       "edit.cut",       "edit.copy",     "edit.paste",
    "edit.delete",    "quick.fill",      "quick.sum",      "file.print",    "quick.funcpick",
    "quick.macropick", "quick.left",     "quick.center",   "quick.right",   "edit.word",
    "view.macrobar",  "macro.step",      "edit.find",      "quick.protect", "macro.run",
    "graph.quick",    "quick.bold",      "quick.italic",   "quick.underline"};

void OrderQuickBar(Workspace& ws) {
  auto rank = [](const CommandButton& b) {
    auto at = std::find_if(std::begin(kQuickBarOrder), std::end(kQuickBarOrder),
                           [&](const char* id) { return b.command == id; });
    return at - std::begin(kQuickBarOrder);
  };
  auto& bar = ws.quickBar();
  std::stable_sort(bar.begin(), bar.end(), [&](const CommandButton& a, const CommandButton& b) {
    return rank(a) < rank(b);
  });
}

}  // namespace

CommandServices RegisterAllCommands(Workspace& ws, const CommandViews& views) {
  CommandServices services;
  RegisterDataCommands(ws);
  // Merge, Import and Export stand after Close; Print, added later, goes
  // between them.
  RegisterTransferCommands(ws);
  RegisterGraphCommands(ws, views.graphs);
  services.print = &RegisterPrintCommands(ws, views.printing);
  if (views.macros != nullptr) RegisterMacroCommands(ws, *views.macros);
  // Speed Fill stands beside Erase, Quick Graph before the type styles.
  AddQuickButton(ws, "edit.delete", {"quick.fill", "Fill", "Speed Fill"});
  AddQuickButton(ws, "quick.bold", {"graph.quick", "Graph", "Quick Graph"}, true);
  // The user button shows or hides the user's own buttons, the macro bar.
  if (ws.commands().Find("view.macrobar") != nullptr)
    AddQuickButton(ws, "edit.word", {"view.macrobar", "User", "User Button"});
  OrderQuickBar(ws);
  return services;
}

}  // namespace tabulon
