// The whole command set: the workspace's own commands and those of every
// subsystem above it (data tools, and the others as they are added). The
// windowed program, tabulon-cli and the tests make their workspaces with it,
// so a menu command is the same command everywhere.
#pragma once

namespace tabulon {

class Workspace;

void RegisterAllCommands(Workspace& ws);

}  // namespace tabulon
