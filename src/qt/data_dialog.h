// The data-tools dialog ("Data: " and the page name) bound to DataDialog:
// ten pages of range edits (each with a button; a double-click or the
// button asks for the range on the entry line), the fill and goal number
// fields, the sort direction boxes, the bin rule and the regression term
// grid; and the data form window bound to DataForm.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <array>
#include <string>
#include <vector>

#include "datatools/data_dialog.h"

namespace tabulon {

class Workspace;

// "Data Form": one edit per field of the form range, the record line and
// the navigation buttons.
class DataFormView : public QDialog {
  Q_OBJECT
 public:
  explicit DataFormView(QWidget* parent);
  // Builds the edits for the form's fields and shows the first record.
  void OpenOn(DataForm& form, Workspace& ws);

  QLineEdit* edit(int field) const { return edits_[static_cast<std::size_t>(field)]; }
  QLabel* recordLabel() const { return record_; }
  QPushButton* button(const QString& caption) const;
  QCheckBox* cloneBox() const { return clone_; }

 private:
  void Load();
  // Runs a button's action; a refusal beeps (and shows the error's message
  // when it has one).
  void Do(bool ok);

  DataForm* form_ = nullptr;
  Workspace* ws_ = nullptr;
  bool loading_ = false;
  QWidget* fieldsBox_;
  std::vector<QLineEdit*> edits_;
  QLabel* record_;
  QPushButton* update_;
  QCheckBox* clone_;
  std::vector<QPushButton*> buttons_;
};

class DataDialogView : public QDialog {
  Q_OBJECT
 public:
  explicit DataDialogView(QWidget* parent);

  // What the main window calls for DialogKind::kData: shows the page for
  // the workspace's active window.
  void OpenOn(int page, Workspace& ws);
  // The range chosen by pointing goes into the edit that asked for it, and
  // the dialog shows again.
  void SetRangeText(const std::string& text);

  DataDialog& logic() { return logic_; }
  QTabBar* tabs() const { return tabs_; }
  QLineEdit* edit(DataEdit e) const { return edits_[static_cast<std::size_t>(e)]; }
  QCheckBox* ascendingBox(int key) const { return ascending_[static_cast<std::size_t>(key)]; }
  QLineEdit* startField() const { return start_; }
  QLineEdit* stepField() const { return step_; }
  QButtonGroup* fillTypeGroup() const { return fillType_; }
  QButtonGroup* fillOrderGroup() const { return fillOrder_; }
  QButtonGroup* binRuleGroup() const { return binRule_; }
  QTableWidget* termGrid() const { return terms_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* findButton() const { return find_; }
  DataFormView* formView() const { return form_; }

  // "&Ok": runs the page's operation; false when the dialog stays open.
  bool Accept();
  // "&Cancel": hides the dialog and puts the cell pointer back.
  void Cancel();

 signals:
  // An edit asks for its range: the dialog is hidden and waits for
  // SetRangeText. `prompt` is the entry line's caption (" SORT:Prime
  // Range"), `text` the range to start from.
  void rangePromptRequested(const QString& prompt, const QString& text);
  // The page's operation ran.
  void applied();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  QWidget* RangeRow(QWidget* page, QFormLayout* form, DataEdit e);
  QLineEdit* NumberField(QWidget* page);
  bool CommitNumber(QLineEdit* field);
  void ShowPage(int page);
  void LoadControls();
  void Point(DataEdit e);

  DataDialog logic_;
  Workspace* ws_ = nullptr;
  bool loading_ = false;
  DataEdit pointing_ = DataEdit::kFillOutput;
  QTabBar* tabs_;
  QStackedWidget* pages_;
  std::array<QLineEdit*, kDataEditCount> edits_{};
  std::array<QCheckBox*, 4> ascending_{};
  QLineEdit* start_;
  QLineEdit* step_;
  QLineEdit* desire_;
  QLineEdit* tolerance_;
  QButtonGroup* fillType_;
  QButtonGroup* fillOrder_;
  QButtonGroup* binRule_;
  QTableWidget* terms_;
  QPushButton* ok_;
  QPushButton* find_;
  DataFormView* form_;
};

}  // namespace tabulon
