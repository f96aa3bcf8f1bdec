// The column width and row height dialog: the "&Column" and "&Row" tabs
// bound to WidthDialog, number fields that are evaluated when left, and
// the range field (a double-click asks for the range on the entry line).
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>

#include "ui/width_dialog.h"

namespace tabulon {

class SheetDocument;
class CursorSource;

class WidthDialogView : public QDialog {
  Q_OBJECT
 public:
  explicit WidthDialogView(QWidget* parent);

  // Activates on the selection and shows the Column (or Row) tab.
  void OpenOn(bool rows, SheetDocument& doc, const CursorSource& cursor,
              const CellRange& selection, int windowRowHeight);
  void SetRangeText(const std::string& text);

  WidthDialog& logic() { return logic_; }
  QTabBar* tabs() const { return tabs_; }
  QLineEdit* rangeField() const { return range_; }
  QLineEdit* widthField() const { return width_; }
  QLineEdit* skipColumnsField() const { return skipColumns_; }
  QLineEdit* heightField() const { return height_; }
  QLineEdit* skipRowsField() const { return skipRows_; }
  QCheckBox* resetWidthBox() const { return resetWidth_; }
  QCheckBox* globalWidthBox() const { return globalWidth_; }

  // "&Ok": true when the dialog applied and closed.
  bool Accept();

 signals:
  void rangePromptRequested(const QString& text);
  void applied();

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  QLineEdit* NumberField(QWidget* page, unsigned pageBit);
  // Evaluates a number field into the dialog; false (the field marked for
  // correction) when its text is not a number.
  bool CommitField(QLineEdit* field);
  void LoadFields();

  WidthDialog logic_;
  SheetDocument* doc_ = nullptr;
  const CursorSource* cursor_ = nullptr;
  bool loading_ = false;
  QTabBar* tabs_;
  QStackedWidget* pages_;
  QLineEdit* range_;
  QLineEdit* width_;
  QLineEdit* skipColumns_;
  QLineEdit* height_;
  QLineEdit* skipRows_;
  QCheckBox* resetWidth_;
  QCheckBox* globalWidth_;
  QCheckBox* resetHeight_;
  QCheckBox* globalHeight_;
};

}  // namespace tabulon
