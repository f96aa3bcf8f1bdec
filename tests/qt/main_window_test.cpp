// The real main window under the offscreen platform: typing into the grid,
// End movement, a failed entry, the clipboard and the close query.
#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "sheet/cell_record.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "ui/workspace.h"
#include "qt/audit_dialog.h"
#include "qt/main_window.h"
#include "qt/names_dialog.h"
#include "qt/sheet_view.h"
#include "qt/text_codec.h"

using namespace tabulon;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> w_;

  SheetView& Sheet() { return *w_->activeSheet(); }
  QWidget* Grid() { return Sheet().activeGrid(); }
  void Type(QWidget* target, const QString& text) {
    for (QChar c : text) QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : target, c.toLatin1());
  }
  void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* f = QApplication::focusWidget();
    QTest::keyClick(f ? f : Grid(), k, m);
  }
  std::string CellText(int row, int col) {
    return CellEditText(Sheet().document(), Sheet().document().cells().FindCell(row, col));
  }

 private slots:
  void init() {
    StartOptions o;
    o.configDir = dir_.path().toStdString() + "/cfg";
    w_ = std::make_unique<MainWindow>(o);
    w_->host().answerQuestion = [](const std::string&) { return Answer::No; };
    w_->show();
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    w_->OpenStartupSheet();
    QVERIFY(w_->activeSheet() != nullptr);
    Grid()->setFocus();
  }
  void cleanup() {
    w_->host().answerQuestion = [](const std::string&) { return Answer::No; };
    w_->close();
    w_.reset();
  }

  // Whatever registered them, the menus stand in their fixed order, and
  // every one the command table has appears on the bar.
  void menuBarOrder() {
    QStringList titles;
    for (QAction* a : w_->menuBar()->actions())
      if (a->menu() != nullptr) titles << a->text().remove('&');
    QCOMPARE(titles.join(' '),
             QString("File Edit View Sheet Range Data Array Graph Window Help"));
  }

  void typingAnEntry() {
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
    QTest::keyClick(Grid(), '1');
    QCOMPARE(w_->modeIndicator()->text(), QString("VALUE"));
    QVERIFY(w_->entryField()->hasFocus());
    Type(Grid(), "23");
    QCOMPARE(w_->entryField()->text(), QString("123"));
    Key(Qt::Key_Return);
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
    QCOMPARE(CellText(0, 0), std::string("123"));
    QCOMPARE(w_->entryField()->text(), QString("123"));
    QCOMPARE(w_->cellIndicator()->text(), QString("A1"));
    // A label, then Down accepts and moves.
    QTest::keyClick(Grid(), Qt::Key_Down);
    Type(Grid(), "abc");
    QCOMPARE(w_->modeIndicator()->text(), QString("LABEL"));
    Key(Qt::Key_Down);
    QCOMPARE(CellText(1, 0), std::string("'abc"));
    QCOMPARE(w_->cellIndicator()->text(), QString("A3"));
    // A formula using the cell above.
    Type(Grid(), "+A1*2");
    Key(Qt::Key_Return);
    QCOMPARE(CellNumber(Sheet().document().cells().FindCell(2, 0)), 246.0);
    QVERIFY(Sheet().document().settings().modified);
  }

  void endArrowMovement() {
    QTest::keyClick(Grid(), Qt::Key_End);
    QCOMPARE(w_->panel("END")->styleSheet().contains("black"), true);
    QTest::keyClick(Grid(), Qt::Key_Right);
    QCOMPARE(w_->cellIndicator()->text(), QString("IV1"));
    QTest::keyClick(Grid(), Qt::Key_End);
    QTest::keyClick(Grid(), Qt::Key_Down);
    QCOMPARE(w_->cellIndicator()->text(), QString("IV8192"));
    QTest::keyClick(Grid(), Qt::Key_Home);
    QCOMPARE(w_->cellIndicator()->text(), QString("A1"));
  }

  void calculateKeyRecalculatesAManualSheet() {
    Type(Grid(), "5");
    Key(Qt::Key_Return);
    Key(Qt::Key_Down);
    Type(Grid(), "+A1*2");
    Key(Qt::Key_Return);
    Sheet().document().settings().manualRecalc = true;
    Key(Qt::Key_Up);
    Type(Grid(), "7");
    Key(Qt::Key_Return);
    QCOMPARE(CellNumber(Sheet().document().cells().FindCell(1, 0)), 10.0);
    QTest::keyClick(Grid(), Qt::Key_F9);
    QCOMPARE(CellNumber(Sheet().document().cells().FindCell(1, 0)), 14.0);
  }

  void gotoPromptMovesTheCursor() {
    QTest::keyClick(Grid(), Qt::Key_F5);
    QCOMPARE(w_->modeIndicator()->text(), QString("RANGE"));
    QLineEdit* e = w_->entryField();
    e->selectAll();
    QTest::keyClicks(e, "d40");
    QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(w_->cellIndicator()->text(), QString("D40"));
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
  }

  void failedEntryStaysRed() {
    std::vector<std::string> messages;
    w_->host().onMessage = [&](const std::string& m) { messages.push_back(m); };
    Type(Grid(), "+1+(");
    Key(Qt::Key_Return);
    QCOMPARE(w_->entryField()->text(), QString("+1+("));
    QCOMPARE(w_->entryField()->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(w_->modeIndicator()->text(), QString("EDIT"));
    QVERIFY(w_->entryField()->hasFocus());
    // Correct it and enter again.
    w_->entryField()->setText("+1+(2)");
    emit w_->entryField()->textEdited("+1+(2)");
    Key(Qt::Key_Return);
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
    QCOMPARE(CellNumber(Sheet().document().cells().FindCell(0, 0)), 3.0);
  }

  void protectedCellReportsTheError() {
    std::vector<std::string> messages;
    w_->host().onMessage = [&](const std::string& m) { messages.push_back(m); };
    Sheet().document().settings().protect = true;
    w_->inputLine().CursorMoved();
    w_->SyncEntry();
    QVERIFY(!w_->entryField()->isEnabled());
    QCOMPARE(w_->entryField()->text(), QString("* Protected *"));
    // Typing on the locked cell is refused: nothing opens, nothing changes.
    QTest::keyClick(Grid(), '5');
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
    QCOMPARE(w_->entryField()->text(), QString("* Protected *"));
    Key(Qt::Key_Return);
    QVERIFY(messages.empty());
    QVERIFY(Sheet().document().cells().FindCell(0, 0) == nullptr);
  }

  void copyAndPasteThroughTheClipboard() {
    Type(Grid(), "1");
    Key(Qt::Key_Right);
    Type(Grid(), "'two");
    Key(Qt::Key_Return);
    QTest::keyClick(Grid(), Qt::Key_Home);
    QTest::keyClick(Grid(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(w_->cellIndicator()->text(), QString("A1..B1"));
    w_->CopySelection(false);
    QCOMPARE(QApplication::clipboard()->text(), QString("1\t'two\r\n"));
    QTest::keyClick(Grid(), Qt::Key_Down);
    w_->PasteClipboard();
    QCOMPARE(CellText(1, 1), std::string("1"));
    QCOMPARE(CellText(1, 2), std::string("'two"));
    // Text outside the code page arrives as "?"; megabytes are cut short.
    QApplication::clipboard()->setText(QString::fromUtf8("\u20ac\u4e2d") + QString(3'000'000, 'z'));
    QTest::keyClick(Grid(), Qt::Key_Down);
    w_->PasteClipboard();
    QCOMPARE(CellText(2, 1).substr(0, 3), std::string("'\x80?"));
    QCOMPARE(CellText(2, 1).size(), std::size_t(240));
    // Undo brings back the sheet before the paste.
    w_->Undo();
    QVERIFY(Sheet().document().cells().FindCell(2, 1) == nullptr ||
            CellText(2, 1).empty());
  }

  void closeQueryWithAModifiedSheet() {
    Type(Grid(), "7");
    Key(Qt::Key_Return);
    std::vector<std::string> asked;
    w_->host().answerQuestion = [&](const std::string& q) {
      asked.push_back(q);
      return Answer::Cancel;
    };
    QMdiSubWindow* sub = w_->mdi()->activeSubWindow();
    QVERIFY(!sub->close());
    QCOMPARE(asked.size(), std::size_t(1));
    QCOMPARE(asked[0], std::string("Save Worksheet \nSHEET1.WKS?"));
    QVERIFY(w_->activeSheet() != nullptr);
    // Yes saves through the save dialog, then closes.
    QString file = dir_.path() + "/saved.wks";
    w_->host().answerQuestion = [](const std::string&) { return Answer::Yes; };
    w_->host().answerFileName = [file](const std::string&) {
      return std::optional<std::string>(file.toStdString());
    };
    QVERIFY(sub->close());
    QVERIFY(QFile::exists(dir_.path() + "/saved.wks"));
    // The saved file opens again with its contents.
    QVERIFY(w_->OpenFile(file.toStdString()));
    QCOMPARE(CellText(0, 0), std::string("7"));
    QVERIFY(!Sheet().document().settings().modified);
    QVERIFY(Sheet().untitled() == false);
  }

  void settingsWrittenAtExit() {
    w_->SetZoom(8);
    w_->close();
    QFile f(dir_.path() + "/cfg/TBL.INI");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray text = f.readAll();
    QVERIFY(text.contains("SCALE=50\n"));
    QVERIFY(text.contains("[Colors]\nBKCLR=$00FFFFFF\n"));
  }

  // Print stands beside Ok on the Stats and XRef pages only.
  void auditPrintButtonFollowsThePage() {
    w_->workspace().Invoke("sheet.audit");
    auto* audit = w_->findChild<AuditDialogView*>();
    QVERIFY(audit != nullptr);
    QCOMPARE(audit->printButton()->isVisible(), false);
    audit->tabs()->setCurrentIndex(2);
    QCOMPARE(audit->printButton()->isVisible(), true);
    QCOMPARE(audit->model().page, AuditPage::kStats);
    audit->tabs()->setCurrentIndex(1);
    QCOMPARE(audit->printButton()->isVisible(), false);
    audit->tabs()->setCurrentIndex(3);
    QCOMPARE(audit->printButton()->isVisible(), true);
    audit->hide();
  }

  void rangeNamesDialogCreatesAndLists() {
    w_->workspace().Invoke("range.name");
    auto* names = w_->findChild<NamesDialogView*>();
    QVERIFY(names != nullptr);
    QCOMPARE(names->rangeField()->text(), QString("A1"));
    names->nameField()->setText("first");
    auto buttons = names->findChildren<QPushButton*>();
    auto create = std::find_if(buttons.begin(), buttons.end(),
                               [](QPushButton* b) { return b->text() == "&Create"; });
    QVERIFY(create != buttons.end());
    (*create)->click();
    QCOMPARE(names->list()->count(), 1);
    QCOMPARE(Sheet().document().names().count(), 1);
    names->hide();
  }

  void textConversion() {
    QCOMPARE(ToQt("\x80\xe9"), QString::fromUtf8("\u20ac\u00e9"));
    QCOMPARE(FromQt(QString::fromUtf8("a\u20ac\u00e9\u4e2d\U0001F600")), std::string("a\x80\xe9??"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
