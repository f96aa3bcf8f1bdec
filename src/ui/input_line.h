// The input line's entry protocol without a toolkit: the text being typed,
// the mode panel, Enter/Escape/arrows/Home/F2/F4/F9, pointing at cells to
// put their addresses into a formula, failed entries kept for correction,
// and the range prompt through which commands ask for a range. The Qt entry
// field is a thin view over it; macros drive it headless.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sheet/address.h"
#include "ui/keys.h"
#include "ui/status.h"

namespace tabulon {

class Session;
class SheetWindow;

class InputLine {
 public:
  explicit InputLine(Session& session) : session_(session) {}

  // The worksheet window the line works for; null when none is open.
  void SetWindow(SheetWindow* window);
  SheetWindow* window() const { return window_; }

  // --- what the view shows ---------------------------------------------
  const std::string& text() const { return text_; }
  int caret() const { return caret_; }
  const std::string& mode() const { return busy_ ? kBusyMode : mode_; }
  // While a long command works (goal seek) the mode panel reads " WAIT! ".
  void SetBusy(bool busy) { busy_ = busy; }
  bool entryOpen() const { return open_; }
  bool errorPending() const { return errorPending_; }
  bool pointing() const { return pointing_; }
  bool showsError() const { return red_; }  // red text after a failed entry
  bool disabled() const { return disabled_; }  // a protected cell is under the cursor
  // The cell indicator beside the line.
  std::string IndicatorText() const;
  // Set after an entry that recalculated other cells: repaint the sheet.
  bool needsFullRepaint = false;

  // --- a range prompt ---------------------------------------------------
  // Shows `caption` (" " + the command's prompt), pre-fills the selection's
  // range text and switches the mode to "RANGE"; Enter hands the text to
  // `done`, a second Escape (or Escape on an empty line) cancels.
  // `choices` are offered beside the line (range names, addresses).
  void OpenRangePrompt(const std::string& caption, std::function<void(const std::string&)> done,
                       std::vector<std::string> choices = {});
  bool promptOpen() const { return static_cast<bool>(prompt_); }
  const std::vector<std::string>& choices() const { return choices_; }
  const std::string& promptCaption() const { return promptCaption_; }

  // --- events -------------------------------------------------------------
  // A character typed on the grid or in the line. The first character typed
  // into a range prompt replaces the proposed range.
  void TypeChar(char ch);
  // The view changed the text itself (pasting, the mouse); pointing ends
  // first, back at the cell being entered.
  void SetText(const std::string& text, int caret);
  // Places the caret (a click in the line).
  void SetCaret(int caret);
  // Keys the line handles: Enter, Escape, arrows (pointing, accepting, or
  // moving the caret while editing), Home/End, Backspace, Delete, F2, F4,
  // F9. Returns false when the key is not for the line.
  bool HandleKey(Key key, KeyMods mods = {});
  // Typed characters replace the one under the caret instead of inserting.
  bool overwrite = false;
  // The failure of the last entry, for the workspace to show; cleared by
  // taking it.
  Status TakeStatus() { Status s = status_; status_ = Status::Ok(); return s; }
  // The cursor moved (from the grid): refreshes the contents, or the
  // pointed range while pointing.
  void CursorMoved();

  // Accepts the entry as Enter does; false when it failed.
  bool Accept();
  void Cancel();  // Escape

 private:
  void UpdateMode();
  void ShowCurrentCell();
  void CloseEntry();
  void StartPointing();
  void EndPointing();  // back to the cell being entered
  void RewritePointedText();
  void MoveCursor(Key key, KeyMods mods);
  bool EditKey(Key key);

  Session& session_;
  SheetWindow* window_ = nullptr;
  std::string text_;
  int caret_ = 0;
  std::string mode_ = "READY";
  bool open_ = false;
  bool errorPending_ = false;
  bool busy_ = false;
  static inline const std::string kBusyMode = " WAIT! ";
  bool pointing_ = false;
  bool red_ = false;
  bool disabled_ = false;
  std::string remembered_;  // text before the pointed address
  CellAddress entryCell_;   // the cell being entered, where pointing returns to
  // Absolute marks of the pointed corner: 0 none, then both, column, row.
  int refMode_ = 0;
  unsigned firstFlags_ = 0, lastFlags_ = 0;
  std::function<void(const std::string&)> prompt_;
  std::string promptCaption_;
  bool promptFresh_ = false;
  std::vector<std::string> choices_;  // the prompt still shows the proposed range
  Status status_ = Status::Ok();
};

}  // namespace tabulon
