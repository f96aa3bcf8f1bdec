// The frame window: the multiple-document area with the worksheet
// windows, the menus, the quick bar with its selectors, the entry line
// with the mode and cell indicators, and the status panels. Commands act on
// the active worksheet window through the toolkit-free command code.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "io/config_file.h"
#include "sheet/session.h"
#include "qt/qt_host.h"
#include "ui/block_commands.h"
#include "ui/input_line.h"
#include "ui/main_commands.h"
#include "ui/properties_dialog.h"

namespace tabulon {

class SheetView;
class GridPaneWidget;
class PropertiesDialogView;
class WidthDialogView;

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
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const StartOptions& options);
  ~MainWindow() override;

  // The rest of start-up once the window exists: the start-up worksheet
  // or an empty one.
  void OpenStartupSheet();
  // Writes the settings file (also done when the window closes).
  void SaveSettings();

  Session& session() { return session_; }
  QtHost& host() { return host_; }
  InputLine& inputLine() { return input_; }
  SheetView* activeSheet() const;
  QLineEdit* entryField() const { return entry_; }
  QLabel* modeIndicator() const { return mode_; }
  QLabel* cellIndicator() const { return indicator_; }
  PanelLabel* panel(const char* name) const;
  QMdiArea* mdi() const { return mdi_; }
  int zoom() const { return zoom_; }
  const std::vector<std::string>& fontList() const { return fontList_; }
  const ConfigSettings& config() const { return cfg_; }

  // Events forwarded by the grid panes.
  void GridKey(SheetView& sheet, QKeyEvent* e);
  void CursorMoved(SheetView& sheet);
  // Saves a sheet (Save As when untitled); false when cancelled or failed.
  bool SaveSheet(SheetView& sheet, bool askName);
  void SheetClosing(SheetView& sheet);
  // Opens a worksheet file in a new window (or shows the window that has it).
  bool OpenFile(const std::string& fileName);
  SheetView* NewSheet();

  // Commands.
  void CopySelection(bool cut);
  void PasteClipboard();
  void EraseSelection();
  void Undo();
  void SpeedSum();
  void SetZoom(int tag);
  // Block commands: the copy and move prompts, the value copies, the
  // Insert and Delete submenus, the properties and width dialogs.
  void CopyOrMove(bool move);
  void CopyValues(ValueCopyMode mode);
  void RunSheetMenuCommand(SheetCommand command);
  void OpenProperties(PropertyPage page);
  void OpenWidthDialog(bool rows);
  PropertiesDialogView* propertiesDialog() const { return properties_; }
  WidthDialogView* widthDialog() const { return widths_; }

  // Brings the entry line, indicators and panels up to date.
  void SyncEntry();
  // F9: recalculates every open worksheet and repaints it.
  void Calculate();
  void RepaintSheets(SheetDocument* doc = nullptr);

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void BuildMenus();
  void BuildQuickBar();
  void BuildEntryLine();
  void BuildStatusBar();
  void RebuildRecentMenu();
  QAction* AddCommand(QMenu* menu, const QString& caption, const char* hint,
                      std::function<void()> fn, QKeySequence key = {});
  SheetView* AddSheetWindow(SheetDocument& doc, const std::string& caption, bool untitled);
  void SheetActivated();
  void AfterCommand(bool repaintAll = true);
  bool EntryKey(QKeyEvent* e);
  void ApplyToSelection(const std::function<void(SheetDocument&, const CellRange&)>& fn);
  void BuildBlockMenus(const std::function<QMenu*(const char*)>& menu);
  void ShowGridMenu(SheetView& sheet, QWidget* pane, const QPoint& pos);
  // Asks for a range on the entry line; `done` gets the range the text
  // names (undefined when it names none).
  void AskRange(const char* prompt, std::function<void(const CellRange&)> done);
  // Runs a block command on the active sheet and shows its error.
  void RunBlock(const std::function<BlockResult(SheetDocument&)>& fn);

  std::string configDir_;
  std::string settingsFile_, userFile_;
  QtHost host_;
  Session session_{host_};
  InputLine input_{session_};
  ConfigSettings cfg_;
  RecentFiles recent_;
  int zoom_ = 100;
  std::vector<std::string> fontList_;
  SheetView* current_ = nullptr;

  QMdiArea* mdi_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::vector<QAction*> recentActions_;
  QMenu* moreMenu_ = nullptr;
  QAction* exitAction_ = nullptr;
  std::vector<QAction*> zoomActions_;
  QToolBar* quickBar_ = nullptr;
  QToolButton* protectButton_ = nullptr;
  QComboBox* fontBox_ = nullptr;
  QComboBox* sizeBox_ = nullptr;
  QComboBox* formatBox_ = nullptr;
  QToolButton* enterButton_ = nullptr;
  QToolButton* escapeButton_ = nullptr;
  QLabel* mode_ = nullptr;
  QLabel* indicator_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLineEdit* entry_ = nullptr;
  std::vector<PanelLabel*> keyPanels_;
  PanelLabel* calcPanel_ = nullptr;
  bool keyState_[5] = {false, false, false, false, false};  // INS END NUM SCR CAP
  bool syncingEntry_ = false;
  bool closing_ = false;
  PropertiesDialogView* properties_ = nullptr;
  WidthDialogView* widths_ = nullptr;
  // A dialog hidden while its range is asked for on the entry line; shown
  // again when the prompt ends, confirmed or not.
  QWidget* awaitingRange_ = nullptr;
};

}  // namespace tabulon
