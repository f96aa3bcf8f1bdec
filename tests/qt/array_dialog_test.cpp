// The array dialog under the offscreen platform: the tabs switch captions
// and edit rows, the selection presets the first edit, a double-click asks
// for a range, Ok runs the operation through the command table, and an
// empty edit keeps the dialog open.
#include <QSignalSpy>
#include <QtTest>

#include "datatools/data_commands.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "qt/array_dialog.h"
#include "sheet/session.h"
#include "ui/workspace.h"

using namespace tabulon;

class ArrayDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<HeadlessHost> host_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Workspace> ws_;
  std::unique_ptr<ArrayDialogView> dlg_;

  SheetDocument& Doc() { return ws_->active()->document(); }
  double Number(int row, int col) { return CellNumber(Doc().cells().FindCell(row, col)); }

 private slots:
  void init() {
    host_ = std::make_unique<HeadlessHost>();
    session_ = std::make_unique<Session>(*host_);
    ws_ = std::make_unique<Workspace>(*session_);
    RegisterDataCommands(*ws_);
    ws_->NewSheet();
    dlg_ = std::make_unique<ArrayDialogView>(nullptr);
  }
  void cleanup() {
    dlg_.reset();
    ws_.reset();
    session_.reset();
    host_.reset();
  }

  void invertPageRunsFromTheSelection() {
    const char* v[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i) QVERIFY(EnterCell(Doc(), v[i], i / 2, i % 2).ok);
    ws_->active()->MoveCursor(0, 0);
    ws_->active()->MoveCursor(1, 1, true);
    dlg_->OpenOn(4, *ws_);
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->windowTitle(), QString("ARRAY: Invert"));
    QCOMPARE(dlg_->edit(0)->text(), QString("A1..B2"));
    QVERIFY(!dlg_->edit(2)->isVisible());
    QVERIFY(!dlg_->Accept());  // no output yet
    QVERIFY(dlg_->isVisible());
    dlg_->edit(1)->setText("D1");
    QTest::mouseClick(dlg_->okButton(), Qt::LeftButton);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(Number(0, 3), -2.0);
    QCOMPARE(Number(1, 4), -0.5);
  }

  void tabsChangeTheEditsAndDoubleClickPoints() {
    dlg_->OpenOn(4, *ws_);
    dlg_->tabs()->setCurrentIndex(0);
    QCOMPARE(dlg_->windowTitle(), QString("ARRAY: Add"));
    QVERIFY(dlg_->edit(2)->isVisible());
    QSignalSpy spy(dlg_.get(), &ArrayDialogView::rangePromptRequested);
    QTest::mouseDClick(dlg_->edit(1), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString(" Add: Second Range"));
    QVERIFY(!dlg_->isVisible());
    dlg_->SetRangeText("C1..D2");
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->edit(1)->text(), QString("C1..D2"));
    QCOMPARE(dlg_->logic().text(1), std::string("C1..D2"));
  }
};

QTEST_MAIN(ArrayDialogTest)
#include "array_dialog_test.moc"
