// The block commands of the real main window under the offscreen platform:
// the copy prompts, insertion from the Sheet menu, the error box, the
// properties dialog and the width dialog.
#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "edit/cell_entry.h"
#include "sheet/cell_record.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "qt/main_window.h"
#include "qt/properties_dialog.h"
#include "qt/sheet_view.h"
#include "qt/width_dialog.h"

using namespace tabulon;

class BlockCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> w_;
  std::vector<std::string> messages_;

  SheetView& Sheet() { return *w_->activeSheet(); }
  SheetDocument& Doc() { return Sheet().document(); }
  CellRecord* Cell(int row, int col) { return Doc().cells().FindCell(row, col); }
  double Number(int row, int col) { return CellNumber(Cell(row, col)); }
  void Enter(int row, int col, const char* text) {
    QVERIFY(EnterCell(Doc(), text, row, col).ok);
  }
  static QString Plain(QString s) { return s.remove('&').section('\t', 0, 0); }
  // The action at a menu path such as {"Sheet", "Insert", "Row"}.
  QAction* Action(std::initializer_list<const char*> path) {
    QList<QAction*> actions = w_->menuBar()->actions();
    QAction* found = nullptr;
    for (const char* step : path) {
      found = nullptr;
      for (QAction* a : actions)
        if (Plain(a->text()) == step) found = a;
      if (found == nullptr) return nullptr;
      if (found->menu() != nullptr) actions = found->menu()->actions();
    }
    return found;
  }
  void TypeIntoPrompt(const QString& text) {
    QLineEdit* e = w_->entryField();
    QVERIFY(e->hasFocus());
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
  }

 private slots:
  void init() {
    StartOptions o;
    o.configDir = dir_.path().toStdString() + "/cfg";
    w_ = std::make_unique<MainWindow>(o);
    w_->host().answerQuestion = [](const std::string&) { return Answer::No; };
    messages_.clear();
    w_->host().onMessage = [this](const std::string& m) { messages_.push_back(m); };
    w_->show();
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    w_->OpenStartupSheet();
    QVERIFY(w_->activeSheet() != nullptr);
  }
  void cleanup() {
    w_->close();
    w_.reset();
  }

  void copyThroughThePrompts() {
    Enter(0, 1, "7");
    Enter(0, 0, "+B1*2");
    QAction* copy = Action({"Copy"});
    QVERIFY(copy != nullptr && copy->menu() == nullptr);
    copy->trigger();
    QCOMPARE(w_->modeIndicator()->text(), QString("RANGE"));
    QCOMPARE(w_->entryField()->text(), QString("A1"));  // the selection is proposed
    TypeIntoPrompt("A1");
    QVERIFY(w_->inputLine().promptOpen());
    QCOMPARE(QString::fromStdString(w_->inputLine().promptCaption()), QString(" COPY: TO Range"));
    Enter(1, 1, "1");
    Enter(2, 1, "2");
    TypeIntoPrompt("A2..A3");
    QVERIFY(!w_->inputLine().promptOpen());
    QCOMPARE(Number(1, 0), 2.0);
    QCOMPARE(Number(2, 0), 4.0);
    QCOMPARE(QString::fromStdString(CellEditText(Doc(), Cell(2, 0))), QString("+B3*2"));
    QVERIFY(messages_.empty());

    // A destination past column IV is refused with the copy error.
    copy->trigger();
    TypeIntoPrompt("A1..B1");
    TypeIntoPrompt("IV1");
    QCOMPARE(messages_.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages_.back()), QString("Error:Copy Error"));
    QVERIFY(Cell(0, 255) == nullptr);
  }

  void insertRowFromTheMenu() {
    Enter(1, 0, "5");
    Enter(0, 2, "+A2");
    Sheet().logic().MoveCursor(1, 3);
    QAction* row = Action({"Sheet", "Insert", "Row"});
    QVERIFY(row != nullptr);
    row->trigger();
    QVERIFY(Cell(1, 0) == nullptr);
    QCOMPARE(Number(2, 0), 5.0);
    QCOMPARE(QString::fromStdString(CellEditText(Doc(), Cell(0, 2))), QString("+A3"));

    // Column insertion with a cell in column IV shows the error and changes nothing.
    Enter(0, 255, "1");
    Action({"Sheet", "Insert", "Column"})->trigger();
    QCOMPARE(QString::fromStdString(messages_.back()), QString("Error:Cells in last Column"));
    QCOMPARE(Number(2, 0), 5.0);
    Action({"Sheet", "Delete", "Row"})->trigger();
    QCOMPARE(Number(1, 0), 5.0);
  }

  void propertiesChangeOnlyTheChosenPage() {
    Enter(0, 0, "1");
    Cell(0, 0)->format = kLockBit | 2;
    Sheet().logic().MoveCursor(1, 1, true);  // A1..B2
    QAction* border = Action({"Range", "Border"});
    QVERIFY(border != nullptr);
    border->trigger();
    PropertiesDialogView* d = w_->propertiesDialog();
    QVERIFY(d != nullptr && d->isVisible());
    QCOMPARE(d->tabs()->currentIndex(), 5);
    QCOMPARE(d->rangeField()->text(), QString("A1..B2"));
    QVERIFY(!d->okButton()->isEnabled());
    d->borderTypeGroup()->button(1)->click();  // Single
    d->borderApplyGroup()->button(1)->click();  // Out
    QVERIFY(d->okButton()->isEnabled());
    // Garbage in the range field: nothing happens and the dialog stays.
    d->rangeField()->setText("A1..Q");
    d->okButton()->click();
    QVERIFY(d->isVisible());
    QCOMPARE(Cell(0, 0)->borders, std::uint8_t(0));
    d->rangeField()->setText("A1..B2");
    d->okButton()->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(Cell(0, 0)->borders, std::uint8_t(85 & (kBorderLeft | kBorderTop)));
    QCOMPARE(Cell(1, 1)->borders, std::uint8_t(85 & (kBorderRight | kBorderBottom)));
    QCOMPARE(Cell(0, 0)->format, std::uint8_t(kLockBit | 2));  // the format page was not changed
  }

  void propertiesFormatPageOffersEveryFormat() {
    Enter(0, 0, "0.25");
    QAction* format = Action({"Range", "Format"});
    QVERIFY(format != nullptr);
    format->trigger();
    PropertiesDialogView* d = w_->propertiesDialog();
    QVERIFY(d != nullptr && d->isVisible());
    QCOMPARE(d->tabs()->currentIndex(), 0);
    QListWidget* groups = d->formatGroupList();
    QListWidget* choices = d->formatChoiceList();
    QCOMPARE(groups->count(), kFormatGroupCount);
    QCOMPARE(groups->currentItem()->text(), QString("Default"));
    QVERIFY(!choices->isEnabled());
    QVERIFY(!d->okButton()->isEnabled());

    // A fraction in quarters: the group, then its largest denominator.
    groups->setCurrentRow(static_cast<int>(FormatGroup::kFraction));
    QCOMPARE(choices->count(), 8);
    QVERIFY(choices->isEnabled());
    choices->setCurrentRow(2);
    QCOMPARE(choices->currentItem()->text(), QString("1/4"));
    QCOMPARE(d->formatSample()->text(), QString("Sample: 1/4"));
    QVERIFY(d->okButton()->isEnabled());
    d->okButton()->click();
    QCOMPARE(int(Cell(0, 0)->FormatCode()), 40 + 2);

    // The configured quick formats are offered as buttons and show their
    // choice in the lists.
    format->trigger();
    QCOMPARE(groups->currentItem()->text(), QString("Fraction"));
    QCOMPARE(choices->currentRow(), 2);
    const auto& quick = d->quickFormatButtons();
    QCOMPARE(int(quick.size()), 9);
    QAbstractButton* percent = nullptr;
    for (QPushButton* b : quick)
      if (b->text() == "Percent (P2)") percent = b;
    QVERIFY(percent != nullptr);
    percent->click();
    QCOMPARE(groups->currentItem()->text(), QString("Percent"));
    QCOMPARE(choices->currentRow(), 2);
    QCOMPARE(d->formatSample()->text(), QString("Sample: 25.00%"));
    d->okButton()->click();
    QCOMPARE(int(Cell(0, 0)->FormatCode()), 48 + 2);
  }

  void columnWidthDialog() {
    Action({"Sheet", "Colwidth..."})->trigger();
    WidthDialogView* d = w_->widthDialog();
    QVERIFY(d != nullptr && d->isVisible());
    QCOMPARE(d->widthField()->text(), QString("8"));
    d->rangeField()->setText("B1..D1");
    d->widthField()->setFocus();
    d->widthField()->selectAll();
    QTest::keyClicks(d->widthField(), "oops");
    QVERIFY(!d->Accept());  // not a number: refused, nothing changed
    QCOMPARE(int(Doc().metrics().columnWidths[1]), int(kDefaultColumnWidth));
    d->widthField()->selectAll();
    QTest::keyClicks(d->widthField(), "6*2");
    QVERIFY(d->Accept());
    QCOMPARE(int(Doc().metrics().columnWidths[0]), int(kDefaultColumnWidth));
    QCOMPARE(int(Doc().metrics().columnWidths[1]), 96);
    QCOMPARE(int(Doc().metrics().columnWidths[3]), 96);
  }
};

QTEST_MAIN(BlockCommandsTest)
#include "block_commands_test.moc"
