// The data-tools dialog and the data form under the offscreen platform,
// driving a workspace without a main window: pages, range fields and their
// pointing request, number fields, Ok through the command table, the term
// grid, and the form's buttons.
#include <QSignalSpy>
#include <QtTest>

#include "datatools/data_commands.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "qt/data_dialog.h"
#include "sheet/session.h"
#include "ui/workspace.h"

using namespace tabulon;

class DataDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<HeadlessHost> host_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Workspace> ws_;
  std::unique_ptr<DataDialogView> dlg_;

  SheetDocument& Doc() { return ws_->active()->document(); }
  double Number(int row, int col) { return CellNumber(Doc().cells().FindCell(row, col)); }
  void Enter(int row, int col, const char* text) { QVERIFY(EnterCell(Doc(), text, row, col).ok); }
  void Open(int page) {
    dlg_->OpenOn(page, *ws_);
    QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
  }
  void Type(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
  }

 private slots:
  void init() {
    host_ = std::make_unique<HeadlessHost>();
    session_ = std::make_unique<Session>(*host_);
    ws_ = std::make_unique<Workspace>(*session_);
    RegisterDataCommands(*ws_);
    ws_->NewSheet();
    dlg_ = std::make_unique<DataDialogView>(nullptr);
  }
  void cleanup() {
    dlg_.reset();
    ws_.reset();
    session_.reset();
    host_.reset();
  }

  void sortPageSortsWithTheFieldsAndBoxes() {
    for (int r = 0; r < 3; ++r) Enter(r, 0, std::to_string(r + 1).c_str());
    ws_->active()->MoveCursor(0, 0);
    ws_->active()->MoveCursor(2, 0, true);
    dlg_->OpenOn(1, *ws_);
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->windowTitle(), QString("Data: SORT"));
    QCOMPARE(dlg_->edit(DataEdit::kSortData)->text(), QString("A1..A3"));
    Type(dlg_->edit(DataEdit::kSortKey1), "a1");
    dlg_->ascendingBox(0)->setChecked(false);
    QTest::mouseClick(dlg_->okButton(), Qt::LeftButton);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(Number(0, 0), 3.0);
    QCOMPARE(Number(2, 0), 1.0);
    QCOMPARE(Doc().extras().sortAscending[0], false);
  }

  void anEditThatNamesNoRangeKeepsTheDialogOpen() {
    Open(3);
    QCOMPARE(dlg_->windowTitle(), QString("Data: BIN"));
    Type(dlg_->edit(DataEdit::kBinInput), "A1..");
    Type(dlg_->edit(DataEdit::kBinOutput), "C1");
    QVERIFY(!dlg_->Accept());
    QVERIFY(dlg_->isVisible());
    QVERIFY(dlg_->edit(DataEdit::kBinInput)->hasFocus());
  }

  void pointingAsksWithThePagesPromptAndFillsTheEdit() {
    Open(2);
    QSignalSpy spy(dlg_.get(), &DataDialogView::rangePromptRequested);
    QTest::mouseDClick(dlg_->edit(DataEdit::kQueryCriteria), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString(" QUESTION:Criterion Range"));
    QCOMPARE(spy.at(0).at(1).toString(), QString("A1"));  // empty: the selection
    QVERIFY(!dlg_->isVisible());
    dlg_->SetRangeText("E1..E2");
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->edit(DataEdit::kQueryCriteria)->text(), QString("E1..E2"));
    QCOMPARE(QString::fromStdString(dlg_->logic().text(DataEdit::kQueryCriteria)), QString("E1..E2"));
    // Switching tabs changes the caption.
    dlg_->tabs()->setCurrentIndex(9);
    QCOMPARE(dlg_->windowTitle(), QString("Data: FORM"));
    QVERIFY(!dlg_->findButton()->isEnabled());
  }

  void fillNumbersAreEvaluatedWhenLeft() {
    Open(0);
    Type(dlg_->startField(), "2*3");
    QTest::keyClick(dlg_->startField(), Qt::Key_Tab);
    QCOMPARE(dlg_->startField()->text(), QString("6"));
    Type(dlg_->stepField(), "oops");
    Type(dlg_->edit(DataEdit::kFillOutput), "B1..B2");
    QVERIFY2(!dlg_->Accept(), "a step that is no number");
    Type(dlg_->stepField(), "-1");
    dlg_->fillOrderGroup()->button(1)->click();
    QVERIFY(dlg_->Accept());
    QCOMPARE(Number(0, 1), 6.0);
    QCOMPARE(Number(1, 1), 5.0);
  }

  void termGridAndBinRule() {
    Open(7);
    QTableWidget* grid = dlg_->termGrid();
    QRect cell = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid->item(1, 0)->text(), QString("X"));
    QCOMPARE(QString::fromStdString(dlg_->logic().TermOptions()), QString("A1"));
    dlg_->tabs()->setCurrentIndex(3);
    dlg_->binRuleGroup()->button(1)->click();
    QVERIFY(!session_->settings().binLowerClosed);
  }

  void theFormPageOpensTheDataForm() {
    Enter(0, 0, "'Name");
    Enter(1, 0, "'ant");
    Enter(2, 0, "'bee");
    Open(9);
    Type(dlg_->edit(DataEdit::kForm), "A1");
    QVERIFY(dlg_->Accept());
    DataFormView* form = dlg_->formView();
    QVERIFY(form->isVisible());
    QCOMPARE(form->recordLabel()->text(), QString("Record:1 of 2"));
    QCOMPARE(form->edit(0)->text(), QString("ant"));
    QVERIFY(!form->button("&Update")->isEnabled());
    QTest::keyClicks(form->edit(0), "s");
    QVERIFY(form->button("&Update")->isEnabled());
    form->button("&Next")->click();
    QCOMPARE(form->recordLabel()->text(), QString("Record:2 of 2"));
    QCOMPARE(QString::fromStdString(CellEditText(Doc(), Doc().cells().FindCell(1, 0))),
             QString("'ants"));
    form->button("&Cancel")->click();
    QVERIFY(!form->isVisible());
  }
};

QTEST_MAIN(DataDialogTest)
#include "data_dialog_test.moc"
