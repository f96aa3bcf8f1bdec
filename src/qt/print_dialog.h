// The print dialog ("Print", class Tmyprint) and the printer status window
// ("Printer Status"): thin views over PrintDialog and PrintStatus. The
// dialog's buttons run the print commands; its range fields point on the
// sheet when double-clicked (the main window asks on the entry line and
// hands the text back with SetRangeText).
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace tabulon {

class PrintService;
class PrintStatus;

class PrintDialogView : public QDialog {
  Q_OBJECT
 public:
  // The range fields a double-click points for.
  enum RangeField { kRangeField = 0, kRowsField = 1, kColsField = 2 };

  PrintDialogView(QWidget* parent, PrintService& service);
  // Shows the "Print" page on the active window (the model was activated
  // by the menu command).
  void Open();
  void SetRangeText(int field, const std::string& text);

  // For tests.
  QComboBox* printerBox() const { return printers_; }
  QRadioButton* allButton() const { return all_; }
  QRadioButton* selectedButton() const { return selected_; }
  QRadioButton* graphButton() const { return graph_; }
  QLineEdit* rangeField() const { return range_; }
  QPushButton* previewButton() const { return preview_; }
  QPushButton* fileButton() const { return file_; }
  QPushButton* optionsButton() const { return options_; }
  QLineEdit* scaleField() const { return scale_; }
  QLineEdit* topField() const { return top_; }
  QStackedWidget* pages() const { return pages_; }
  QPushButton* okButton() const { return ok_; }

 signals:
  void rangePromptRequested(int field, const QString& text);

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QWidget* BuildPrintPage();
  QWidget* BuildOptionsPage();
  void Load();         // the model into the first page
  void Take();         // the first page into the model
  void LoadOptions();  // the model's option fields into the options page
  void TakeOptions();
  void UpdateEnabled();
  void RunPrint();
  void RunPreview();
  void RunPrintToFile();
  void RunSetup();

  PrintService& service_;
  QStackedWidget* pages_;
  QComboBox* printers_;
  QCheckBox* grid_;
  QRadioButton* all_;
  QRadioButton* selected_;
  QRadioButton* graph_;
  QLabel* allText_;
  QLineEdit* range_;
  QComboBox* graphs_;
  QPushButton* preview_;
  QPushButton* file_;
  QPushButton* options_;
  QLineEdit* top_;
  QLineEdit* left_;
  QLineEdit* bottom_;
  QLineEdit* right_;
  QLineEdit* rows_;
  QLineEdit* cols_;
  QLineEdit* header_;
  QLineEdit* footer_;
  QCheckBox* headerLine_;
  QCheckBox* footerLine_;
  QLineEdit* scale_;
  QCheckBox* frame_;
  QCheckBox* mono_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QLabel* info_;
  QPushButton* ok_;
};

// "Printer Status": page and line, a gauge and "Abort Printing", shown
// while a job runs. It lets the toolkit handle events after each row so
// that the button can be clicked.
class PrintStatusView : public QDialog {
  Q_OBJECT
 public:
  PrintStatusView(QWidget* parent, PrintStatus& status);
  ~PrintStatusView() override;

 private:
  void Update();
  PrintStatus& status_;
  QLabel* page_;
  QLabel* line_;
  QProgressBar* gauge_;
};

}  // namespace tabulon
