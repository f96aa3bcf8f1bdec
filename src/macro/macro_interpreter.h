// The macro interpreter: it fetches macro lines down a column (or from a
// text), translates each into the command stream, delivers the plain keys
// one at a time to Workspace::HandleKey — the path a typed key takes, in
// the window and headless alike — and carries out the commands itself:
// subroutines, loops, branches, prompts, cell commands, text files and the
// menu commands of the command table.
//
// A run is synchronous: RunMacroAt and RunMacroText return when the macro
// has ended. While it runs, the host is asked now and then to process its
// events, so that the window repaints and the user's Escape (through
// Workspace::HandleUserKey, which calls Break) can stop it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_files.h"
#include "macro/macro_stream.h"
#include "sheet/address.h"
#include "ui/workspace.h"

namespace tabulon {

class MacroInterpreter : public MacroRunner {
 public:
  static constexpr int kMaxSubroutineDepth = 20;
  static constexpr int kMaxLoopDepth = 5;

  // How the last macro ended.
  enum class Ending {
    kNone,     // no macro has run yet
    kEnd,      // it ran to a blank cell or the end of its text
    kQuit,     // QUIT
    kError,    // an error message stopped it
    kBreak,    // the user broke it off (Escape, Control+Break, a cancelled prompt)
    kTimeout,  // it ran past its deadline
  };

  // Installs itself as the workspace's macro runner; the destructor takes
  // itself out again.
  explicit MacroInterpreter(Workspace& ws);
  ~MacroInterpreter() override;
  MacroInterpreter(const MacroInterpreter&) = delete;
  MacroInterpreter& operator=(const MacroInterpreter&) = delete;

  // Runs the macro whose first line is the cell (row, col) of `doc` (the
  // active window's document when null), in single-step mode when asked.
  // Called while a macro runs (a file with an AUTOEXEC range opened by the
  // macro, a remote request), the running macro ends and this one takes
  // its place.
  void RunMacroAt(int row, int col, bool singleStep = false, SheetDocument* doc = nullptr);
  // Runs macro text in the active window's sheet. Each line of the text
  // (lines end at LF or CR LF) is one macro line, as a cell would hold it;
  // the macro ends after the last line. Nothing runs when no window is open.
  void RunMacroText(std::string_view text, bool singleStep = false);
  // Runs the macro at the top-left cell of the range a text names (an
  // address or a range name of the active sheet). False when it names none.
  bool RunMacroAtText(std::string_view location, bool singleStep = false);
  // Ends a running macro: the subroutine and loop stacks are emptied and
  // its text files closed.
  void StopMacro();
  // Stops a running macro at the user's request, with a beep.
  void BreakMacro();

  // Batch runs: the tick (Host::TickCount) after which a running macro is
  // stopped; none by default.
  void SetDeadline(std::optional<std::uint64_t> tick) { deadline_ = tick; }

  Ending lastEnding() const { return ending_; }
  bool singleStep() const { return step_; }
  // The error-branch location ONERROR recorded, if any.
  const std::optional<CellAddress>& errorBranch() const { return onError_; }
  int subroutineDepth() const { return static_cast<int>(calls_.size()); }

  // --- MacroRunner ---------------------------------------------------------------
  bool Running() const override { return running_; }
  void Break() override { BreakMacro(); }
  // An error box was shown. With an error-branch location recorded the
  // macro goes on there (the location is used once); otherwise it stops.
  void ErrorShown() override;
  void RunShortcut(char c) override;
  void RunAutoexec(SheetWindow& window) override;

 private:
  // Where a macro line comes from: a cell of the macro's sheet, or a line
  // of the macro text (col < 0, row = index of the line).
  struct LineRef {
    int row = 0;
    int col = 0;
    bool text() const { return col < 0; }
  };
  // A subroutine stack entry: the line to come back to and where in it.
  struct Frame {
    LineRef line;
    std::size_t pos = 0;
  };
  struct Loop {
    CellAddress counter;
    long long start = 0, step = 0, stop = 0;
    std::size_t frame = 0;  // index of the subroutine entry the loop pushed
  };

  void Start(SheetDocument* doc, LineRef first, bool singleStep);
  void Run();
  void End(Ending how);
  // Makes the line current (single step waits first); false ends the macro.
  bool Load(LineRef ref);
  bool FetchNext();
  // The text a cell holds as a macro line; empty for a blank cell.
  std::string LineText(LineRef ref) const;

  void PlayKey(std::uint8_t code);
  void Execute(const MacroItem& item);
  void ExecuteMenu(const MacroItem& item);
  void ExecuteFile(const MacroItem& item);
  void SyntaxError();
  // Shows an error box (which stops the macro, or takes ONERROR's branch).
  void Fail(const std::string& message);

  // Subroutines and jumps.
  bool Push(std::size_t pos);
  void Jump(LineRef target);
  bool JumpTo(const std::string& location);
  void Return();
  void For(const MacroItem& item);
  void Next();
  void MenuJump(const std::string& location);

  // Argument readers.
  SheetDocument* ActiveDoc() const;
  // The top-left cell of a location in the active sheet (the cell pointer
  // for an empty text); none when it names no range.
  std::optional<CellAddress> Cell(const std::string& location) const;
  // The same in the macro's own sheet, for the places macro lines are.
  std::optional<LineRef> MacroCell(const std::string& location) const;
  double Value(const std::string& text) const;
  long long Integer(const std::string& text) const;
  std::string StringExpression(const std::string& text) const;

  // Cell commands.
  void Let(const std::string& location, const std::string& value);
  bool Enter(CellAddress at, const std::string& text);
  bool StoreNumber(CellAddress at, double x);
  void Goto(CellAddress at);
  void CursorDown();
  void Prompt(const MacroItem& item, bool label);
  void GetKey(const MacroItem& item);
  void Delay(long long ms);
  void Recalculate(const std::string& location);
  void SetBorders(long long style, const std::string& location);
  void SetSize(const std::string& location, long long size, bool rows);
  void Anchor(long long on);
  // A command of the workspace's table with texts as arguments.
  void Run(const char* id, std::vector<std::string> args);
  void Changed();
  // Lets the host process events now and then; checks the deadline.
  void Poll();

  Workspace& ws_;
  Host& host_;
  bool running_ = false;
  bool step_ = false;
  bool broken_ = false;
  Ending ending_ = Ending::kNone;

  SheetDocument* doc_ = nullptr;  // the sheet whose cells hold the macro (retained)
  std::vector<std::string> textLines_;
  std::string line_;              // the current line's command stream
  std::size_t pos_ = 0;
  LineRef current_;
  int nextRow_ = 0;               // row (or text line) fetched after the current one
  bool needLine_ = false;
  bool altNext_ = false;          // ALT was played: the next key goes with Alt
  bool anchorMode_ = false;       // ANCHOR 1: moves extend the block from the anchor

  std::vector<Frame> calls_;
  std::vector<Loop> loops_;
  std::optional<CellAddress> onError_;
  std::optional<LineRef> branchTo_;   // an error's branch, taken after the command
  struct Restart {
    SheetDocument* doc;
    LineRef line;
    bool step;
  };
  std::optional<Restart> restart_;    // a macro started while this one ran

  MacroFiles files_;
  std::optional<std::uint64_t> deadline_;
  std::uint64_t lastPoll_ = 0;
};

// Adds the macro commands to the workspace's table: Execute Macro (F3, the
// run-macro prompt "MACRO: Specify Cell" offering the range names; with an
// argument, the macro at that location runs), Sheet > Macro Step (Shift+F3,
// the same in single-step mode) and View > Show Macro Buttons; and puts
// "Execute Macro" and "Macro Single Step" on the quick bar. Call it before a
// view builds its menus and bars from the table.
void RegisterMacroCommands(Workspace& ws, MacroInterpreter& macros);

}  // namespace tabulon
