// File > Import..., Export ... and Merge... in the window: the file dialog
// with the kind's filters (the filter chosen picks the mode), then the
// transfer dialog over the toolkit-free TransferDialog.
#pragma once

#include "ui/transfer_dialog.h"

class QWidget;

namespace tabulon {

class QtHost;
class Workspace;

// Runs both dialogs modally; OK runs the command.
void RunTransferDialog(QWidget* parent, Workspace& ws, QtHost& host, TransferKind kind);

}  // namespace tabulon
