// Macros in the real main window under the offscreen platform: the same
// macro builds the same sheet as `tabulon-cli run`; a key pressed during
// {GET} and an Escape during a runaway loop arrive through the window; the
// macro button bar runs a clicked button's macro; a remote request runs a
// macro in the running program.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/cli.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "macro/macro_interpreter.h"
#include "qt/macro_bar.h"
#include "qt/main_window.h"
#include "qt/remote_run.h"
#include "qt/sheet_view.h"

using namespace tabulon;

namespace {

// Runs tabulon-cli in this process; its standard output and error.
int Cli(const std::vector<std::string>& args, std::string& out, std::string& err) {
  std::FILE* o = std::tmpfile();
  std::FILE* e = std::tmpfile();
  int status = RunCli(args, o, e);
  for (auto [file, text] : {std::pair{o, &out}, std::pair{e, &err}}) {
    text->clear();
    std::rewind(file);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) text->append(buf, n);
    std::fclose(file);
  }
  return status;
}

// Builds a small price list: labels, numbers, formulas, a name, copies, a
// format and a loop.
const char* kModelMacro =
    "'Item~{RIGHT}'Qty~{RIGHT}'Price~{RIGHT}'Total~{HOME}\n"
    "{DOWN}'Pens~{RIGHT}10~{RIGHT}1.5~{RIGHT}+B2*C2~\n"
    "{GOTO}A3~'Paper~{RIGHT}4~{RIGHT}6.25~\n"
    "{COPY D2 D3}{RANGECREATE TOTALS D2..D3}{GOTO}D4~@SUM(TOTALS)~\n"
    "{FOR A6 1 5 1}{LET B6 B6+A6}{NEXT}{COPYVAL D4 E4}\n"
    "{RANGEFORMAT C2..E4 \"F2\"}{GOTO}A8~{EDIT}'Done~";

}  // namespace

class MacroWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> w_;
  std::unique_ptr<MacroInterpreter> own_;
  MacroInterpreter* macros_ = nullptr;

  SheetDocument& Doc() { return w_->activeSheet()->document(); }
  QWidget* Grid() { return w_->activeSheet()->activeGrid(); }
  std::string Edit(int row, int col) {
    return CellEditText(Doc(), Doc().cells().FindCell(row, col));
  }

 private slots:
  void init() {
    StartOptions o;
    o.configDir = dir_.path().toStdString() + "/cfg";
    w_ = std::make_unique<MainWindow>(o);
    w_->host().answerQuestion = [](const std::string&) { return Answer::No; };
    // The window's own interpreter once it has one; until then the test's.
    macros_ = dynamic_cast<MacroInterpreter*>(w_->workspace().macroRunner());
    if (macros_ == nullptr) {
      own_ = std::make_unique<MacroInterpreter>(w_->workspace());
      macros_ = own_.get();
    }
    w_->show();
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    w_->OpenStartupSheet();
    QVERIFY(w_->activeSheet() != nullptr);
    Grid()->setFocus();
  }
  void cleanup() {
    own_.reset();
    w_->close();
    w_.reset();
  }

  void theSameMacroBuildsTheSameSheetAsTheBatchTool() {
    macros_->RunMacroText(kModelMacro);
    QCOMPARE(macros_->lastEnding(), MacroInterpreter::Ending::kEnd);
    QCOMPARE(w_->modeIndicator()->text(), QString("READY"));
    QCOMPARE(w_->cellIndicator()->text(), QString("A8"));
    QCOMPARE(Edit(3, 3), std::string("@SUM(TOTALS)"));
    QCOMPARE(CellNumber(Doc().cells().FindCell(3, 3)), 40.0);
    QCOMPARE(CellNumber(Doc().cells().FindCell(5, 1)), 15.0);

    std::string file = dir_.filePath("window.wks").toStdString();
    QVERIFY(w_->workspace().SaveAs(*w_->workspace().active(), file).ok());
    std::string windowDump, batchDump, err;
    QCOMPARE(Cli({"dump", file}, windowDump, err), 0);
    QCOMPARE(Cli({"run", "--new", "--dump", "--text", kModelMacro}, batchDump, err), 0);
    QCOMPARE(QString::fromStdString(err), QString());
    QVERIFY(!batchDump.empty());
    QCOMPARE(QString::fromStdString(windowDump), QString::fromStdString(batchDump));
  }

  void aKeyPressedInTheWindowAnswersGet() {
    QTimer::singleShot(50, this, [] {
      QWidget* f = QApplication::focusWidget();
      QTest::keyClick(f, 'q');
    });
    macros_->RunMacroText("{GET B2}{LET C2 1}");
    QCOMPARE(Edit(1, 1), std::string("'q"));
    QCOMPARE(CellNumber(Doc().cells().FindCell(1, 2)), 1.0);
  }

  void escapeInTheWindowStopsARunawayMacro() {
    QTimer::singleShot(200, this, [this] { QTest::keyClick(Grid(), Qt::Key_Escape); });
    macros_->RunMacroText("{LET A1 \"{LET B1 B1+1}{BRANCH A1}\"}{BRANCH A1}");
    QCOMPARE(macros_->lastEnding(), MacroInterpreter::Ending::kBreak);
    QVERIFY(CellNumber(Doc().cells().FindCell(0, 1)) > 1);
  }

  void aButtonOfTheMacroBarRunsItsMacro() {
    std::string defs = dir_.filePath("TBL.MAC").toStdString();
    MacroBarView bar(w_->workspace(), *macros_, defs, dir_.filePath("MACROS.BTN").toStdString(),
                     w_.get());
    w_->addToolBar(Qt::LeftToolBarArea, &bar);
    bar.show();
    bar.model().SetItem(1, "Se|Seven|{LET C3 7}");
    QVERIFY(QTest::qWaitForWindowExposed(bar.bar()));
    QTRY_VERIFY(bar.bar()->height() > 100);
    int top = bar.bar()->ButtonTop(1);
    QVERIFY(top >= 0);
    QTest::mouseClick(bar.bar(), Qt::LeftButton, {}, QPoint(10, top + 5));
    QCOMPARE(CellNumber(Doc().cells().FindCell(2, 2)), 7.0);
    std::vector<std::uint32_t> blue(20 * 20, 0xFF0000FFu);
    bar.model().glyphs().SetGlyph(1, 20, 20, blue.data());
    QVERIFY(bar.Save());
    MacroBarView again(w_->workspace(), *macros_, defs, dir_.filePath("MACROS.BTN").toStdString());
    QCOMPARE(again.model().Item(1), std::string("Se|Seven|{LET C3 7}"));
    QCOMPARE(again.model().glyphs().Glyph(1)[0], 0xFF0000FFu);
    w_->removeToolBar(&bar);
  }

  void aRemoteRequestRunsTheMacroInTheRunningProgram() {
    QString name = dir_.filePath("run.sock");
    RemoteRunServer server(
        [this](const QString& cell) { return RunMacroRequest(w_->workspace(), cell); });
    QVERIFY(server.Listen(name));
    EnterCell(Doc(), "'{LET D5 55}", 9, 7);  // H10
    std::atomic<int> result{-1};
    QString reply;
    std::thread client([&] { result = static_cast<int>(SendRunRequest("h10", &reply, name)); });
    QTRY_VERIFY(result != -1);
    client.join();
    QCOMPARE(result.load(), static_cast<int>(RemoteRunResult::kAccepted));
    QTRY_COMPARE(CellNumber(Doc().cells().FindCell(4, 3)), 55.0);

    result = -1;
    std::thread refused([&] { result = static_cast<int>(SendRunRequest("NOPE", &reply, name)); });
    QTRY_VERIFY(result != -1);
    refused.join();
    QCOMPARE(result.load(), static_cast<int>(RemoteRunResult::kRefused));
    QCOMPARE(reply, QString("not a cell or range name: NOPE"));
    QCOMPARE(SendRunRequest("A1", nullptr, dir_.filePath("nobody.sock"), 200),
             RemoteRunResult::kNotRunning);
  }
};

QTEST_MAIN(MacroWindowTest)
#include "macro_window_test.moc"
