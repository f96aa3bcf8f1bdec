#include "app/command_set.h"

#include "datatools/data_commands.h"
#include "ui/workspace.h"

namespace tabulon {

void RegisterAllCommands(Workspace& ws) {
  RegisterDataCommands(ws);
  // Speed Fill stands beside Erase on the quick bar.
  auto& bar = ws.quickBar();
  for (auto it = bar.begin(); it != bar.end(); ++it) {
    if (it->command == "edit.delete") {
      bar.insert(it + 1, {"quick.fill", "Fill", "Speed Fill"});
      break;
    }
  }
}

}  // namespace tabulon
