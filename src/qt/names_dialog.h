// The names dialog of Range > Name ...: a thin view of NamesDialog.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "ui/names_dialog.h"

namespace tabulon {

class Workspace;

class NamesDialogView : public QDialog {
  Q_OBJECT
 public:
  NamesDialogView(QWidget* parent, Workspace& ws);
  void Open();
  NamesDialog& model() { return model_; }
  QLineEdit* nameField() const { return name_; }
  QLineEdit* rangeField() const { return range_; }
  QListWidget* list() const { return list_; }
  QLabel* total() const { return total_; }

 private:
  void Take();  // the fields into the model
  void Show();  // the model into the widgets

  NamesDialog model_;
  QLineEdit* name_;
  QLineEdit* range_;
  QListWidget* list_;
  QLabel* total_;
};

}  // namespace tabulon
