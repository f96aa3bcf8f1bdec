// The frame window: a view of the Workspace. It builds the menus, the
// quick bar and the grid's pop-up menu from the command table, shows the
// worksheet windows in a multiple-document area, mirrors the input line,
// the mode and cell indicators and the status panels, and turns Qt's key
// events into the toolkit-free keys that Workspace::HandleKey routes. It
// holds no command logic of its own.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "macro/macro_interpreter.h"
#include "qt/graph_view.h"
#include "qt/print_target.h"
#include "qt/qt_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

class SheetView;
class PropertiesDialogView;
class WidthDialogView;
class FindDialogView;
class AuditDialogView;
class DocInfoDialog;
class WordDialog;
class JustifyDialog;
class PickerDialog;
class GeneralDialogView;
class MacroBarView;
class NamesDialogView;
class PrintDialogView;
class PrintService;
class DataDialogView;

// A status panel that reports clicks.
class PanelLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent*) override { emit clicked(); }
};

struct StartOptions {
  std::string configDir;  // where the settings and user-function files live
  std::string startFile;  // a file named on the command line
  std::string dataDir;    // the read-only data installed with the program (manual, tips)
};

// Qt's key event as the workspace's key; Key::None for keys it ignores.
Key KeyOf(const QKeyEvent* e, char& ch, KeyMods& mods);

class MainWindow : public QMainWindow, public WorkspaceView {
  Q_OBJECT
 public:
  explicit MainWindow(const StartOptions& options);
  ~MainWindow() override;

  // The rest of start-up once the window exists: the start-up worksheet
  // or an empty one.
  void OpenStartupSheet();

  Workspace& workspace() { return ws_; }
  MacroInterpreter& macros() { return macros_; }
  MacroBarView* macroBar() const { return macroBar_; }
  Session& session() { return session_; }
  QtHost& host() { return host_; }
  InputLine& inputLine() { return ws_.input(); }
  SheetView* activeSheet() const;
  SheetView* ViewOf(const SheetWindow* window) const;
  QLineEdit* entryField() const { return entry_; }
  QComboBox* promptChoices() const { return choices_; }
  QLabel* modeIndicator() const { return mode_; }
  QLabel* cellIndicator() const { return indicator_; }
  PanelLabel* panel(const char* name) const;
  QMdiArea* mdi() const { return mdi_; }
  int zoom() const { return ws_.zoom(); }
  const std::vector<std::string>& fontList() const { return fontList_; }
  const ConfigSettings& config() const { return ws_.config(); }
  PropertiesDialogView* propertiesDialog() const { return properties_; }
  WidthDialogView* widthDialog() const { return widths_; }
  DataDialogView* dataDialog() const { return data_; }
  FindDialogView* findDialog() const { return find_; }
  QAction* ActionFor(const std::string& commandId) const;

  // Shortcuts for tests and the screenshot option: the commands by id.
  bool OpenFile(const std::string& fileName);
  void CopySelection(bool cut) { ws_.Invoke(cut ? "edit.cut" : "edit.copy"); }
  void PasteClipboard() { ws_.Invoke("edit.paste"); }
  void Undo() { ws_.Invoke("edit.undo"); }
  void SetZoom(int tag) { ws_.Invoke("view.zoom." + std::to_string(tag)); }

  // Events forwarded by the worksheet windows.
  void GridKey(QKeyEvent* e);
  void CursorMoved(SheetView& sheet);
  bool CloseRequested(SheetView& sheet);
  void ActivatedByUser(SheetView& sheet);

  // Brings the entry line, indicators, panels and buttons up to date.
  void SyncEntry();

  // --- WorkspaceView -------------------------------------------------------------
  void WindowOpened(SheetWindow& w) override;
  void WindowClosing(SheetWindow& w) override;
  void WindowActivated(SheetWindow* w) override;
  void CaptionChanged(SheetWindow& w) override;
  void Repaint(SheetDocument* doc) override;
  void Refresh(SheetWindow& w) override;
  void EntryChanged() override { SyncEntry(); }
  void FocusLine(bool line) override;
  void RecentFilesChanged() override { RebuildRecentMenu(); }
  void LayoutChanged() override;
  void BarsChanged() override;
  void OpenMenu(char letter) override;
  void ShowDialog(DialogKind kind, int page) override;
  void Arrange(Arrangement how) override;
  void Exit() override { close(); }
  int TextWidth(const FontSpec& font, std::string_view text) override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void BuildMenus();
  void BuildQuickBar();
  void BuildEntryLine();
  void BuildStatusBar();
  void RebuildRecentMenu();
  QMenu* MenuAt(const std::string& path);
  void UpdateMenu(QMenu* menu);
  void ShowGridMenu(QWidget* pane, const QPoint& pos);
  void OpenProperties(int page);
  void OpenWidthDialog(bool rows);
  void AskRangeForDialog(QWidget* dialog, const QString& text,
                         std::function<void(const std::string&)> done,
                         const std::string& prompt = " Range");
  void OpenDataDialog(int page);

  QtHost host_;
  Session session_{host_};
  Workspace ws_{session_};
  MacroInterpreter macros_{ws_};
  QtGraphViews graphViews_{this, host_};
  QtPrintDevices printDevices_;
  PrintService* print_ = nullptr;
  PrintDialogView* printDialog_ = nullptr;
  MacroBarView* macroBar_ = nullptr;
  NamesDialogView* names_ = nullptr;
  std::string startFile_;
  std::string dataDir_;
  std::vector<std::string> fontList_;
  std::map<const SheetWindow*, SheetView*> views_;
  bool activating_ = false;
  bool closingFromView_ = false;
  bool closing_ = false;

  QMdiArea* mdi_ = nullptr;
  std::map<std::string, QMenu*> menus_;
  std::map<std::string, QAction*> actions_;
  QMenu* fileMenu_ = nullptr;
  std::vector<QAction*> recentActions_;
  QMenu* moreMenu_ = nullptr;
  QToolBar* quickBar_ = nullptr;
  QComboBox* fontBox_ = nullptr;
  QComboBox* sizeBox_ = nullptr;
  QComboBox* formatBox_ = nullptr;
  QToolButton* enterButton_ = nullptr;
  QToolButton* escapeButton_ = nullptr;
  QLabel* mode_ = nullptr;
  QLabel* indicator_ = nullptr;
  QLabel* prompt_ = nullptr;
  QComboBox* choices_ = nullptr;  // what the prompt offers (range names, addresses)
  std::vector<std::string> shownChoices_;
  QLineEdit* entry_ = nullptr;
  std::vector<PanelLabel*> keyPanels_;
  PanelLabel* calcPanel_ = nullptr;
  bool syncingEntry_ = false;
  PropertiesDialogView* properties_ = nullptr;
  WidthDialogView* widths_ = nullptr;
  FindDialogView* find_ = nullptr;
  AuditDialogView* audit_ = nullptr;
  DocInfoDialog* docInfo_ = nullptr;
  WordDialog* word_ = nullptr;
  JustifyDialog* justify_ = nullptr;
  PickerDialog* picker_ = nullptr;
  GeneralDialogView* general_ = nullptr;
  DataDialogView* data_ = nullptr;
  std::map<std::string, QAction*> barActions_;
  // A dialog hidden while its range is asked for on the entry line; shown
  // again when the prompt ends, confirmed or not.
  QWidget* awaitingRange_ = nullptr;
};

}  // namespace tabulon
