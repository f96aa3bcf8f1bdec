// The array dialog ("ARRAY: " and the page name) bound to ArrayDialog: a
// tab per operation and its range edits (each with a button; a
// double-click or the button asks for the range on the entry line), Ok and
// Cancel.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <array>
#include <string>

#include "datatools/array_dialog.h"

namespace tabulon {

class Workspace;

class ArrayDialogView : public QDialog {
  Q_OBJECT
 public:
  explicit ArrayDialogView(QWidget* parent);

  // What the main window calls for DialogKind::kArray.
  void OpenOn(int page, Workspace& ws);
  // The range chosen by pointing goes into the edit that asked for it, and
  // the dialog shows again.
  void SetRangeText(const std::string& text);

  ArrayDialog& logic() { return logic_; }
  QTabBar* tabs() const { return tabs_; }
  QLineEdit* edit(int e) const { return edits_[static_cast<std::size_t>(e)]; }
  QPushButton* okButton() const { return ok_; }

  // "&Ok": runs the page's operation; false when the dialog stays open.
  bool Accept();
  // "&Cancel": hides the dialog and puts the cell pointer back.
  void Cancel();

 signals:
  void rangePromptRequested(const QString& prompt, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void ShowPage(int page);
  void Point(int edit);

  ArrayDialog logic_;
  Workspace* ws_ = nullptr;
  bool loading_ = false;
  int pointing_ = 0;
  QTabBar* tabs_;
  std::array<QLineEdit*, ArrayDialog::kMaxEdits> edits_{};
  std::array<QLabel*, ArrayDialog::kMaxEdits> labels_{};
  std::array<QWidget*, ArrayDialog::kMaxEdits> rows_{};
  QPushButton* ok_;
};

}  // namespace tabulon
