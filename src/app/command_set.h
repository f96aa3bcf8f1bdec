// The whole command set: the workspace's own commands and those of every
// subsystem above it. The windowed program, tabulon-cli and the tests make
// their workspaces with it, so a menu command is the same command
// everywhere; what differs is only the windows a command may open, which
// the windowed program supplies and the headless callers leave out.
#pragma once

namespace tabulon {

class Workspace;
class GraphViews;

struct CommandViews {
  GraphViews* graphs = nullptr;  // graph windows and the graph settings dialog
};

void RegisterAllCommands(Workspace& ws, const CommandViews& views = {});

}  // namespace tabulon
