// The range properties dialog: six tabbed pages bound to PropertiesDialog,
// the range field (a double-click asks for the range on the entry line),
// "&Ok" enabled once a page changed.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <string>
#include <vector>

#include "ui/properties_dialog.h"

namespace tabulon {

class SheetDocument;
class CursorSource;

class PropertiesDialogView : public QDialog {
  Q_OBJECT
 public:
  // `formats` are the configured quick formats ("F2,Fixed"), offered as
  // buttons beside the full list of formats.
  PropertiesDialogView(QWidget* parent, const std::vector<std::string>& formats);

  // Activates on the selection and shows the dialog on `page`.
  void OpenOn(PropertyPage page, SheetDocument& doc, const CursorSource& cursor,
              const CellRange& selection, const std::vector<std::string>& fontNames);
  // The range prompt's answer comes back into the field.
  void SetRangeText(const std::string& text);

  PropertiesDialog& logic() { return logic_; }
  QTabWidget* tabs() const { return tabs_; }
  QLineEdit* rangeField() const { return range_; }
  QPushButton* okButton() const { return ok_; }
  QListWidget* formatGroupList() const { return formatGroups_; }
  QListWidget* formatChoiceList() const { return formatChoices_; }
  const std::vector<QPushButton*>& quickFormatButtons() const { return quickButtons_; }
  QLabel* formatSample() const { return formatSample_; }
  QButtonGroup* prefixGroup() const { return prefix_; }
  QButtonGroup* lockGroup() const { return lock_; }
  QButtonGroup* borderTypeGroup() const { return borderType_; }
  QButtonGroup* borderApplyGroup() const { return borderApply_; }

 signals:
  // The range field was double-clicked: the dialog is hidden and waits
  // for SetRangeText.
  void rangePromptRequested(const QString& text);
  // "&Ok" applied the changes.
  void applied();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void Changed();
  void LoadControls();
  // Shows the chosen format as group, choice and sample.
  void LoadFormatPage();
  void UpdateSample();
  void Accept();

  PropertiesDialog logic_;
  SheetDocument* doc_ = nullptr;
  const CursorSource* cursor_ = nullptr;
  bool loading_ = false;
  QTabWidget* tabs_;
  QLineEdit* range_;
  QPushButton* ok_;
  QListWidget* formatGroups_;
  QLabel* choiceLabel_;
  QListWidget* formatChoices_;
  QLabel* formatSample_;
  std::vector<QPushButton*> quickButtons_;
  QComboBox* shade_;
  QCheckBox* shadeDefault_;
  QComboBox* font_;
  QSpinBox* size_;
  QCheckBox* bold_;
  QCheckBox* italic_;
  QCheckBox* underline_;
  QComboBox* fontColour_;
  QLabel* sample_;
  QButtonGroup* prefix_;
  QButtonGroup* lock_;
  QButtonGroup* borderType_;
  QButtonGroup* borderApply_;
};

}  // namespace tabulon
