// The "Find & Replace" dialog: a thin view over FindReplace. Its buttons
// run the workspace's find, replace and replace-all, which move the cursor
// and enter the replaced texts.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tabulon {

class Workspace;

class FindDialogView : public QDialog {
  Q_OBJECT
 public:
  FindDialogView(QWidget* parent, Workspace& ws);
  // Shows the dialog on the active window's selection.
  void Open();

  QComboBox* findBox() const { return find_; }
  QLineEdit* replaceBox() const { return replace_; }
  QLabel* resultLabel() const { return result_; }
  QPushButton* findButton() const { return findButton_; }

 signals:
  void changed();  // the cursor moved or cells changed

 private:
  void Take();  // the controls into the model
  void Show();  // the model into the labels and captions
  void Run(const char* command);

  Workspace& ws_;
  QComboBox* find_;
  QLineEdit* replace_;
  QCheckBox* case_;
  QRadioButton* selected_;
  QRadioButton* global_;
  QLabel* scope_;
  QLabel* result_;
  QPushButton* findButton_;
};

}  // namespace tabulon
