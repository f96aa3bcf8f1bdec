// File > Import..., Export ... and Merge... in the window: the file dialog
// with the kind's filters (the filter chosen picks the mode), then the
// transfer dialog, a thin view over the toolkit-free TransferDialog.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/transfer_dialog.h"

namespace tabulon {

class QtHost;
class Workspace;

class TransferDialogView : public QDialog {
 public:
  TransferDialogView(QWidget* parent, TransferDialog& model);

  QLineEdit* field() const { return field_; }
  // Merge only (null otherwise).
  QRadioButton* wholeFile() const { return whole_; }
  QRadioButton* namedPart() const { return part_; }
  QComboBox* names() const { return names_; }
  QRadioButton* action(int action) const;  // 1 replace, 2 sum, 3 difference

  // OK: the edits go to the model, which runs the command. A field that
  // names no cell beeps and keeps the dialog open (false); anything the
  // command reports has been shown and closes it.
  bool Accept();

 private:
  TransferDialog& model_;
  QLineEdit* field_;
  QRadioButton* whole_ = nullptr;
  QRadioButton* part_ = nullptr;
  QComboBox* names_ = nullptr;
  QButtonGroup* actions_ = nullptr;
};

// Runs both dialogs modally; OK runs the command.
void RunTransferDialog(QWidget* parent, Workspace& ws, QtHost& host, TransferKind kind);

}  // namespace tabulon
