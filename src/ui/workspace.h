// The application without a toolkit: the open worksheet windows and the
// active one, the input line, open / new / save / close with the close
// query, calculation, recent files, zoom, the lock-key states, the
// configuration, and one HandleKey through which every key reaches the
// active window's grid or the input line — typed by the user in the
// windowed program or played by a macro, headless or not. Commands run
// through the command table; the undo snapshot is taken before a command
// runs; messages are shown here and nowhere else.
//
// The windowed program attaches a WorkspaceView and mirrors the state;
// tests and tabulon-cli run the workspace with no view at all.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/config_file.h"
#include "io/link_store.h"
#include "platform/canvas.h"
#include "sheet/session.h"
#include "ui/command_table.h"
#include "ui/find_replace.h"
#include "ui/general_settings.h"
#include "ui/input_line.h"
#include "ui/keys.h"
#include "ui/main_commands.h"
#include "ui/properties_dialog.h"
#include "ui/sheet_window.h"
#include "ui/status.h"

namespace tabulon {

// Dialogs that only a windowed view can show; a command asks for them
// through the view, and their OK runs the same code a macro reaches.
enum class DialogKind { kProperties, kColumnWidth, kRowHeight, kAbout, kFind, kAudit, kDocInfo, kWord, kJustify,
                        kFunctionPick, kMacroPick, kGeneral, kData, kPrint, kHelp, kTips, kNames,
                        kArray, kImport, kExport, kMerge };
enum class Arrangement { kTile, kCascade, kArrangeIcons };
enum class Bar { kQuick, kStatus };

// What the workspace tells the windowed program. Every method has an empty
// default, so a headless run needs no view.
class WorkspaceView {
 public:
  virtual ~WorkspaceView() = default;
  // A window was added (and is now the active one), or is about to go.
  virtual void WindowOpened(SheetWindow&) {}
  virtual void WindowClosing(SheetWindow&) {}
  virtual void WindowActivated(SheetWindow*) {}
  virtual void CaptionChanged(SheetWindow&) {}
  // Cells of the document (every document when null) may show differently.
  virtual void Repaint(SheetDocument*) {}
  // The window's cursor, selection or scroll position changed.
  virtual void Refresh(SheetWindow&) {}
  // The input line, mode, indicator or key panels changed.
  virtual void EntryChanged() {}
  // The keyboard belongs to the input line (true) or to the grid.
  virtual void FocusLine(bool) {}
  virtual void RecentFilesChanged() {}
  // Zoom, widths or heights changed: the visible areas must be measured.
  virtual void LayoutChanged() {}
  virtual void BarsChanged() {}
  // Keyboard access to the menus: the menu whose access letter is given
  // ('/' for the first menu).
  virtual void OpenMenu(char) {}
  virtual void ShowDialog(DialogKind, int /*page*/) {}
  virtual void Arrange(Arrangement) {}
  // The width of a text in pixels in a font. Without a window system the
  // width is estimated from the font height.
  virtual int TextWidth(const FontSpec& font, std::string_view text) {
    return static_cast<int>(text.size()) * std::max(1, font.pixelHeight * 11 / 20);
  }
  virtual void Exit() {}
};

// The macro interpreter as the workspace sees it; the macro layer installs
// one. Keys a macro plays go through HandleKey like typed keys; only the
// user's own keys can break a running macro or start a shortcut macro.
class MacroRunner {
 public:
  virtual ~MacroRunner() = default;
  virtual bool Running() const = 0;
  // Escape or Control+Break typed while a macro runs.
  virtual void Break() = 0;
  // An error box was shown: a running macro stops.
  virtual void ErrorShown() = 0;
  // Control with a letter or digit: the macro named "\" and that character.
  virtual void RunShortcut(char c) = 0;
  // After a file with an AUTOEXEC range was opened in this window.
  virtual void RunAutoexec(SheetWindow& window) = 0;
};

// The states of the key panels "INS", "END", "NUM", "SCR", "CAP".
enum class LockKey { kInsert = 0, kEnd, kNum, kScroll, kCaps };
inline constexpr const char* kLockKeyNames[] = {"INS", "END", "NUM", "SCR", "CAP"};

class Workspace {
 public:
  explicit Workspace(Session& session);
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  Session& session() { return session_; }
  const Session& session() const { return session_; }
  Host& host() { return session_.host(); }
  InputLine& input() { return input_; }
  const InputLine& input() const { return input_; }
  CommandTable& commands() { return commands_; }
  const CommandTable& commands() const { return commands_; }
  void SetView(WorkspaceView* view) { view_ = view ? view : &noView_; }
  WorkspaceView& view() { return *view_; }

  // --- configuration ---------------------------------------------------------
  // Reads the settings and user-function files of `dir` (empty: the
  // current directory) for program base name `base`, and applies them.
  void LoadConfiguration(const std::string& dir, const std::string& base);
  // Writes the settings file back (also what closing the program does).
  bool SaveConfiguration();
  ConfigSettings& config() { return config_; }
  const ConfigSettings& config() const { return config_; }

  // --- windows ---------------------------------------------------------------
  const std::vector<std::unique_ptr<SheetWindow>>& windows() const { return windows_; }
  SheetWindow* active() const { return active_; }
  void Activate(SheetWindow* window);
  // F7: the next window in creation order, wrapping around.
  void ActivateNext();
  // A new empty worksheet in a new window, named "SHEET<n>.WKS".
  SheetWindow* NewSheet();
  // A second window on the active window's document.
  Status NewView();
  // Opens a worksheet file in a new window, or brings forward the window
  // that shows it already.
  Status Open(const std::string& fileName);
  // The start-up sheet: the file named on the command line, else the
  // configured AUTOEXEC sheet (opened untitled, so Save asks for a name),
  // else an empty sheet when the configuration asks for one.
  void OpenStartupSheet(const std::string& commandLineFile);
  // Saves the window's document, asking for a name when `askName` is set or
  // the window is untitled. False when cancelled or failed.
  bool Save(SheetWindow& window, bool askName);
  // Saves under the given name without asking.
  Status SaveAs(SheetWindow& window, const std::string& fileName);
  // The close query, then the close. False when the window stays.
  bool Close(SheetWindow& window);
  // Closes every window, last first; false when one stayed.
  bool CloseAll();
  // F9 and File > Uplink: links reloaded, every open worksheet recalculated
  // and repainted.
  void Calculate();
  // The worksheets that links read values out of.
  LinkStore& links() { return *links_; }

  RecentFiles& recent() { return recent_; }
  // The Find & Replace dialog's state, kept while the program runs.
  FindReplace& find() { return find_; }
  // The general settings dialog's state.
  GeneralSettings& general() { return general_; }
  int zoom() const { return zoom_; }
  void SetZoomPercent(int percent);
  bool lockKey(LockKey k) const { return locks_[static_cast<int>(k)]; }
  void ToggleLockKey(LockKey k);

  // --- keys and commands ---------------------------------------------------------
  // Every key, from the keyboard or from a macro: to the input line while it
  // takes keys (an entry, pointing, a range prompt), otherwise to the active
  // window's grid, whose actions (F-keys, "/", Alt) are carried out here.
  void HandleKey(Key key, KeyMods mods = {}, char ch = 0);
  // Types each character of the text as a key ('~' is not special here).
  void TypeText(std::string_view text);
  // A key the user typed (not one a macro plays): Escape and Control+Break
  // break a running macro, Control with a letter or digit runs a shortcut
  // macro; everything else goes to HandleKey.
  void HandleUserKey(Key key, KeyMods mods = {}, char ch = 0);

  void SetMacroRunner(MacroRunner* runner) { macros_ = runner; }
  MacroRunner* macroRunner() const { return macros_; }

  // Runs a command of the table with arguments (a macro, a dialog's OK):
  // the snapshot first when the command takes one, then its handler; the
  // resulting message is shown.
  Status Execute(const std::string& id, const CommandArgs& args = {});
  // What a menu click, button or shortcut does: the command's interactive
  // part when it has one, otherwise Execute without arguments.
  void Invoke(const std::string& id);
  bool Enabled(const Command& command) const;

  // Shows a failed status: "Error:" and its message, or a beep.
  void Show(const Status& status);

  // Asks for a range on the input line with the prompt text; `done` gets
  // the confirmed range (undefined when the text names none).
  void AskRange(const std::string& prompt, std::function<void(const CellRange&)> done,
                std::vector<std::string> choices = {});
  // The active sheet's range names, for the prompts that offer them.
  std::vector<std::string> RangeNames() const;
  // The addresses of the cells whose formulas depend on the active cell.
  std::vector<std::string> DependentsOfCursor() const;
  // The range that a location argument names: the whole range, or the
  // cursor when empty.
  CellRange Location(const std::string& text) const;

  // After the model changed: repaint what changed and refresh the line.
  void AfterChange(bool wholeSheet = true);

  // The quick bar's buttons and the grid's pop-up menu, in order.
  const std::vector<CommandButton>& quickBar() const { return quickBar_; }
  const std::vector<CommandButton>& gridMenu() const { return gridMenu_; }
  std::vector<CommandButton>& quickBar() { return quickBar_; }


 private:
  friend void RegisterWorkspaceCommands(Workspace&);
  void GridKey(SheetWindow& w, Key key, KeyMods mods, char ch);
  bool LineTakesKey(Key key, KeyMods mods) const;
  SheetWindow& AddWindow(SheetDocument& doc, const std::string& caption, bool untitled);
  void RemoveWindow(SheetWindow& window);
  void RememberFile(const std::string& name);
  void CursorMoved();
  void ActionKey(SheetWindow& w, WindowAction action, char ch);

  Session& session_;
  std::unique_ptr<LinkStore> links_;
  InputLine input_;
  CommandTable commands_;
  WorkspaceView noView_;
  WorkspaceView* view_ = &noView_;
  ConfigSettings config_;
  std::string settingsFile_, userFile_;
  std::vector<std::string> configMessages_;  // refused settings, told at start-up
  RecentFiles recent_;
  std::vector<std::unique_ptr<SheetWindow>> windows_;
  SheetWindow* active_ = nullptr;
  int zoom_ = 100;
  std::array<bool, 5> locks_{};
  std::vector<CommandButton> quickBar_, gridMenu_;
  MacroRunner* macros_ = nullptr;
  FindReplace find_;
  GeneralSettings general_{*this};
};

// The commands of the workspace itself (File, Edit, View, Sheet, Range,
// Copy, Move, Window, Help) and the quick bar and pop-up menu lists.
void RegisterWorkspaceCommands(Workspace& ws);

}  // namespace tabulon
