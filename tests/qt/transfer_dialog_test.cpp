// The transfer dialog under the offscreen platform, over a workspace
// without a main window: the merge dialog's name list, source and action
// reach the merge; a field that names no cell keeps the dialog open; the
// import dialog imports at its target.
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "commands/command_set.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "io/worksheet_file.h"
#include "platform/headless_host.h"
#include "qt/transfer_dialog.h"
#include "sheet/session.h"
#include "ui/workspace.h"

using namespace tabulon;
namespace fs = std::filesystem;

class TransferDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<HeadlessHost> host_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Workspace> ws_;
  fs::path dir_;

  SheetDocument& Doc() { return ws_->active()->document(); }
  double Number(int row, int col) { return CellNumber(Doc().cells().FindCell(row, col)); }

 private slots:
  void init() {
    host_ = std::make_unique<HeadlessHost>();
    session_ = std::make_unique<Session>(*host_);
    ws_ = std::make_unique<Workspace>(*session_);
    RegisterAllCommands(*ws_);
    ws_->NewSheet();
    dir_ = fs::temp_directory_path() / ("tabulon_transfer_qt_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void cleanup() {
    ws_.reset();
    session_.reset();
    host_.reset();
    fs::remove_all(dir_);
  }

  void mergeTakesTheChosenNameAndAction() {
    {
      Session other(*host_);
      SheetDocument* d = other.NewDocument();
      EnterCell(*d, "1", 0, 0);
      EnterCell(*d, "20", 4, 1);
      d->names().DefineName("LOW", CellRange::Of(4, 1, 4, 1));
      QVERIFY(SaveWorksheet(*d, (dir_ / "src.wks").string()));
    }
    QVERIFY(EnterCell(Doc(), "5", 2, 2).ok);
    TransferDialog model(*ws_, TransferKind::kMerge, (dir_ / "src.wks").string(), 0);
    TransferDialogView view(nullptr, model);
    QCOMPARE(view.names()->count(), 1);
    QVERIFY(view.names()->itemText(0).startsWith("LOW "));
    QVERIFY(!view.names()->isEnabled());
    view.namedPart()->setChecked(true);
    QVERIFY(view.names()->isEnabled());
    view.action(3)->setChecked(true);
    view.field()->setText("C3");
    QVERIFY(view.Accept());
    QCOMPARE(Number(2, 2), -15.0);  // 5 - 20
    QVERIFY(Doc().cells().FindCell(0, 0) == nullptr);
  }

  void aFieldThatNamesNoCellKeepsTheDialogOpen() {
    std::ofstream((dir_ / "in.prn").string()) << "1 2\n";
    TransferDialog model(*ws_, TransferKind::kImport, (dir_ / "in.prn").string(), 1);
    TransferDialogView view(nullptr, model);
    view.field()->setText("not a cell!");
    QVERIFY(!view.Accept());
    QVERIFY(Doc().cells().FindCell(0, 0) == nullptr);
    view.field()->setText("B4");
    QVERIFY(view.Accept());
    QCOMPARE(Number(3, 2), 2.0);
  }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
