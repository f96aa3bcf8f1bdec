// "General: Set Parameters": the six pages of the general settings, each
// control bound to GeneralSettings; most take effect as they change.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

namespace tabulon {

class Workspace;

class GeneralDialogView : public QDialog {
  Q_OBJECT
 public:
  GeneralDialogView(QWidget* parent, Workspace& ws);
  // Shows the page; the model was activated by the command.
  void Open(int page);

  QTabWidget* tabs() const { return tabs_; }
  QCheckBox* showZeros() const { return zeros_; }
  QComboBox* decimalBox() const { return decimal_; }
  QComboBox* pagesBox() const { return pages_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Load();
  void LoadColour();
  Workspace& ws_;
  bool loading_ = false;
  QTabWidget* tabs_;
  QComboBox* format_;
  QLineEdit* rows_;
  QLineEdit* columns_;
  QComboBox* pages_;
  QCheckBox *solid_, *horizontal_, *vertical_;
  QComboBox* alignment_;
  QCheckBox *zeros_, *negative_, *banding_, *raised_, *protect_, *auto_;
  QComboBox* fontFace_;
  QSpinBox* fontSize_;
  QComboBox* colourType_;
  QSpinBox* foreground_;
  QCheckBox* ignoreFg_;
  QSpinBox *red_, *green_, *blue_;
  QCheckBox* ignoreBg_;
  QLineEdit *autoexec_, *toolbar_;
  QSpinBox* history_;
  QComboBox *argSep_, *thousands_, *decimal_, *currency_;
  QCheckBox* prefix_;
  QCheckBox *winCtrl_, *usDate_, *preOpen_, *oldDialogs_;
};

}  // namespace tabulon
