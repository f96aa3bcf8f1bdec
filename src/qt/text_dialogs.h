// Small dialogs about texts, each a thin view over its toolkit-free model:
// "Document Info", the "Word" tool, "Justify" and the function and keyword
// picker ("Functions" / "Macros").
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace tabulon {

class Workspace;

class DocInfoDialog : public QDialog {
  Q_OBJECT
 public:
  DocInfoDialog(QWidget* parent, Workspace& ws);
  void Open();
  QLineEdit* titleField() const { return title_; }
  QPlainTextEdit* commentsField() const { return comments_; }
  void Accept();

 private:
  Workspace& ws_;
  QLineEdit* title_;
  QPlainTextEdit* comments_;
  QLabel* revised_;
  QLabel* created_;
};

class WordDialog : public QDialog {
  Q_OBJECT
 public:
  WordDialog(QWidget* parent, Workspace& ws);
  void Open();
  QPlainTextEdit* editor() const { return editor_; }
  void Accept();

 private:
  Workspace& ws_;
  QPlainTextEdit* editor_;
};

class JustifyDialog : public QDialog {
  Q_OBJECT
 public:
  JustifyDialog(QWidget* parent, Workspace& ws);
  void Open();
  QLineEdit* rangeField() const { return range_; }
  QLineEdit* widthField() const { return width_; }
  QCheckBox* padBox() const { return pad_; }
  void Accept();

 private:
  void PresetWidth();
  Workspace& ws_;
  bool activated_ = false;
  QLineEdit* range_;
  QLineEdit* width_;
  QCheckBox* pad_;
};

class PickerDialog : public QDialog {
  Q_OBJECT
 public:
  PickerDialog(QWidget* parent, Workspace& ws);
  // Shows the list modally; on acceptance the choice goes into the line.
  void Pick(bool macros);
  QLineEdit* filter() const { return filter_; }
  QListWidget* list() const { return list_; }

 private:
  Workspace& ws_;
  bool macros_ = false;
  std::vector<std::string> entries_;
  QLineEdit* filter_;
  QListWidget* list_;
};

}  // namespace tabulon
