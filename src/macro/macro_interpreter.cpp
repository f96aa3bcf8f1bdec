#include "macro/macro_interpreter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "base/text.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "edit/undo.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/recalc.h"
#include "macro/macro_translate.h"
#include "macro/macro_values.h"
#include "platform/host.h"
#include "sheet/session.h"
#include "ui/block_commands.h"
#include "ui/width_dialog.h"

namespace tabulon {

namespace {

// How often a running macro lets the host process its events.
constexpr std::uint64_t kPollMilliseconds = 40;

const std::string& Arg(const MacroItem& item, std::size_t i) {
  static const std::string kEmpty;
  return i < item.args.size() ? item.args[i] : kEmpty;
}

bool Blank(const CellRecord* cell) { return cell == nullptr || cell->Kind() == kEmpty; }

}  // namespace

MacroInterpreter::MacroInterpreter(Workspace& ws) : ws_(ws), host_(ws.host()) {
  ws_.SetMacroRunner(this);
}

MacroInterpreter::~MacroInterpreter() {
  End(Ending::kBreak);
  if (ws_.macroRunner() == this) ws_.SetMacroRunner(nullptr);
}

// --- starting and ending ----------------------------------------------------------

void MacroInterpreter::RunMacroAt(int row, int col, bool singleStep, SheetDocument* doc) {
  if (doc == nullptr) doc = ActiveDoc();
  if (doc == nullptr || !RowInSheet(row) || !ColumnInSheet(col)) {
    host_.Beep();
    return;
  }
  if (running_) {
    // The running macro gives way; its loop picks this one up.
    restart_ = Restart{doc, LineRef{row, col}, singleStep};
    return;
  }
  textLines_.clear();
  Start(doc, LineRef{row, col}, singleStep);
  Run();
}

void MacroInterpreter::RunMacroText(std::string_view text, bool singleStep) {
  SheetDocument* doc = ActiveDoc();
  if (doc == nullptr || running_) {
    host_.Beep();
    return;
  }
  textLines_.clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t nl = text.find('\n', start);
    std::string_view line = text.substr(start, nl == std::string_view::npos ? nl : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    textLines_.emplace_back(line);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  Start(doc, LineRef{0, -1}, singleStep);
  Run();
}

bool MacroInterpreter::RunMacroAtText(std::string_view location, bool singleStep) {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return false;
  CellRange r = PromptRange(w->document(), location, w);
  if (!r.IsDefined()) return false;
  RunMacroAt(r.Top(), r.Left(), singleStep, &w->document());
  return true;
}

void MacroInterpreter::Start(SheetDocument* doc, LineRef first, bool singleStep) {
  if (doc_ != doc) {
    if (doc_ != nullptr) ws_.session().Release(*doc_);
    doc_ = doc;
    ws_.session().Retain(*doc_);
  }
  running_ = true;
  broken_ = false;
  step_ = singleStep;
  ending_ = Ending::kNone;
  calls_.clear();
  loops_.clear();
  onError_.reset();
  branchTo_.reset();
  restart_.reset();
  altNext_ = false;
  anchorMode_ = false;
  lastPoll_ = host_.TickCount();
  ws_.view().EntryChanged();
  if (!Load(first)) End(Ending::kEnd);
}

void MacroInterpreter::End(Ending how) {
  if (!running_) return;
  running_ = false;
  step_ = false;
  ending_ = how;
  calls_.clear();
  loops_.clear();
  onError_.reset();
  branchTo_.reset();
  restart_.reset();
  altNext_ = false;
  anchorMode_ = false;
  files_.CloseAll();
  textLines_.clear();
  line_.clear();
  if (doc_ != nullptr) {
    ws_.session().Release(*doc_);
    doc_ = nullptr;
  }
  ws_.view().EntryChanged();
}

void MacroInterpreter::StopMacro() { End(Ending::kQuit); }

void MacroInterpreter::BreakMacro() {
  if (!running_) return;
  broken_ = true;
  End(Ending::kBreak);
  host_.Beep();
}

void MacroInterpreter::ErrorShown() {
  if (!running_) return;
  if (onError_) {
    // The error branch is taken once: a failure inside the handler stops
    // the macro instead of looping back into it.
    CellAddress at = *onError_;
    onError_.reset();
    calls_.clear();
    loops_.clear();
    branchTo_ = LineRef{at.row, at.col};
    return;
  }
  End(Ending::kError);
}

void MacroInterpreter::RunShortcut(char c) {
  SheetDocument* doc = ActiveDoc();
  if (doc == nullptr) return;
  const CellRange* r = doc->names().Lookup(std::string("\\") + UpperChar(c));
  if (r == nullptr || !r->IsDefined()) return;
  RunMacroAt(r->Top(), r->Left(), false, doc);
}

void MacroInterpreter::RunAutoexec(SheetWindow& window) {
  SheetDocument& doc = window.document();
  const CellRange* r = doc.names().Lookup("AUTOEXEC");
  if (r == nullptr || !r->IsDefined()) return;
  RunMacroAt(r->Top(), r->Left(), false, &doc);
}

// --- fetching lines -------------------------------------------------------------

std::string MacroInterpreter::LineText(LineRef ref) const {
  if (ref.text()) {
    if (ref.row < 0 || ref.row >= static_cast<int>(textLines_.size())) return {};
    return textLines_[static_cast<std::size_t>(ref.row)];
  }
  if (doc_ == nullptr || !RowInSheet(ref.row) || !ColumnInSheet(ref.col)) return {};
  const CellRecord* cell = doc_->cells().FindCell(ref.row, ref.col);
  if (Blank(cell)) return {};
  if (cell->Kind() == kLabel) {
    std::string_view t = cell->TextView();
    return std::string(t.empty() ? t : t.substr(1));
  }
  return CellEditText(*doc_, cell);
}

bool MacroInterpreter::Load(LineRef ref) {
  std::string text = LineText(ref);
  if (text.empty()) return false;
  if (step_) {
    host_.Beep();
    std::string where =
        ref.text() ? std::string("MACRO")
                   : AddressText(ref.row, ref.col, false, false, doc_->settings().pageHeight);
    if (!host_.WaitForKey(where + " : " + text)) {
      BreakMacro();
      return false;
    }
    if (!running_) return false;
  }
  line_ = TranslateMacroLine(*doc_, text);
  pos_ = 0;
  current_ = ref;
  nextRow_ = ref.row + 1;
  needLine_ = false;
  return true;
}

bool MacroInterpreter::FetchNext() {
  if (Load(LineRef{nextRow_, current_.col})) return true;
  End(Ending::kEnd);
  return false;
}

// --- the run loop ---------------------------------------------------------------

void MacroInterpreter::Poll() {
  std::uint64_t now = host_.TickCount();
  if (deadline_ && now >= *deadline_) {
    End(Ending::kTimeout);
    return;
  }
  if (now - lastPoll_ >= kPollMilliseconds) {
    lastPoll_ = now;
    host_.ProcessEvents();
  }
}

void MacroInterpreter::Run() {
  while (running_) {
    Poll();
    if (!running_) break;
    if (restart_) {
      Restart r = *restart_;
      textLines_.clear();
      Start(r.doc, r.line, r.step);
      continue;
    }
    if (branchTo_) {
      LineRef to = *branchTo_;
      branchTo_.reset();
      Jump(to);
      continue;
    }
    if (needLine_) {
      FetchNext();
      continue;
    }
    MacroItem item = ReadMacroItem(line_, pos_);
    pos_ = item.next;
    switch (item.kind) {
      case MacroItemKind::Key: PlayKey(item.code); break;
      case MacroItemKind::EndOfLine: needLine_ = true; break;
      case MacroItemKind::Command: Execute(item); break;
      case MacroItemKind::MenuCommand: ExecuteMenu(item); break;
      case MacroItemKind::FileCommand: ExecuteFile(item); break;
      case MacroItemKind::SyntaxError: SyntaxError(); break;
    }
  }
}

void MacroInterpreter::PlayKey(std::uint8_t code) {
  KeyMods mods;
  Key key = Key::None;
  char ch = 0;
  switch (code) {
    case kMacroEnter:
    case kMacroTilde: key = Key::Enter; break;
    case kMacroKeyBigLeft: key = Key::Left; mods.ctrl = true; break;
    case kMacroKeyBigRight: key = Key::Right; mods.ctrl = true; break;
    case kMacroKeyCalc: key = Key::F9; break;
    case kMacroKeyRight: key = Key::Right; break;
    case kMacroKeyEdit: key = Key::F2; break;
    case kMacroKeyGoto: key = Key::F5; break;
    case kMacroKeyHome: key = Key::Home; break;
    case kMacroKeyBackspace: key = Key::Backspace; break;
    case kMacroKeyAlt: altNext_ = true; return;
    case kMacroKeyLeft: key = Key::Left; break;
    case kMacroKeyPageUp: key = Key::PageUp; break;
    case kMacroKeyEnd: key = Key::End; break;
    case kMacroKeyDown: key = Key::Down; break;
    case kMacroKeyPageDown: key = Key::PageDown; break;
    case kMacroKeyInsert: key = Key::Insert; break;
    case kMacroKeyDelete: key = Key::Delete; break;
    case kMacroKeyName: key = Key::F4; break;
    case kMacroKeyUp: key = Key::Up; break;
    case kMacroKeyWindow: key = Key::F6; break;
    case kMacroKeyEscape: key = Key::Escape; break;
    case kMacroKeyHelp: key = Key::F1; break;
    case kMacroKeyGraph: key = Key::F10; break;
    default:
      if (code < 0x20 || code == kMacroArgEnd) return;
      key = Key::Character;
      ch = static_cast<char>(code);
      break;
  }
  // In anchor mode the moves extend the block, as with Shift held.
  if (anchorMode_ && (key == Key::Left || key == Key::Right || key == Key::Up ||
                      key == Key::Down || key == Key::PageUp || key == Key::PageDown ||
                      key == Key::Home))
    mods.shift = true;
  // ALT reaches the next key as its modifier: "{ALT}f" opens the File menu.
  if (altNext_) {
    mods.alt = true;
    altNext_ = false;
  }
  ws_.HandleKey(key, mods, ch);
}

void MacroInterpreter::Fail(const std::string& message) { ws_.Show(Status::Error(message)); }

void MacroInterpreter::SyntaxError() {
  std::string where;
  if (!current_.text() && doc_ != nullptr)
    where = AddressText(current_.row, current_.col, false, false, doc_->settings().pageHeight);
  Fail("Syntax Error:" + where);
}

// --- commands ---------------------------------------------------------------------

void MacroInterpreter::Execute(const MacroItem& item) {
  const std::string& a0 = Arg(item, 0);
  const std::string& a1 = Arg(item, 1);
  switch (item.code) {
    case kMacroCmdDelay: Delay(Integer(a0)); return;
    case kMacroCmdCursorDown: CursorDown(); return;
    case kMacroCmdFor: For(item); return;
    case kMacroCmdNext: Next(); return;
    case kMacroCmdInRange: return;
    case kMacroCmdCopy: Run("copy", {a0, a1}); return;
    case kMacroCmdMove: Run("move", {a0, a1}); return;
    case kMacroCmdBlank: Run("range.erase", {a0}); return;
    case kMacroCmdInsertCol: Run("sheet.insert.column", {a0}); return;
    case kMacroCmdDeleteCol: Run("sheet.delete.column", {a0}); return;
    case kMacroCmdInsertRow: Run("sheet.insert.row", {a0}); return;
    case kMacroCmdDeleteRow: Run("sheet.delete.row", {a0}); return;
    case kMacroCmdOnError: {
      if (UpperCase(MacroText(a0)) == "NUL") {
        onError_.reset();
        return;
      }
      std::optional<LineRef> at = MacroCell(a0);
      if (!at) return SyntaxError();
      onError_ = CellAddress{static_cast<std::int16_t>(at->col), static_cast<std::int16_t>(at->row)};
      return;
    }
    case kMacroCmdKey:
      if (item.letter == kMacroKeyGet) return GetKey(item);
      if (!host_.WaitForKey("")) BreakMacro();
      return;
    case kMacroCmdGoto: {
      std::optional<CellAddress> at = Cell(a0);
      if (!at) return host_.Beep();
      return Goto(*at);
    }
    case kMacroCmdBeep: host_.Beep(); return;
    case kMacroCmdCall:
    case kMacroCmdMenuCall: {
      if (a0.empty()) return;
      std::optional<LineRef> to = MacroCell(a0);
      if (!to) return SyntaxError();
      if (Push(item.next)) Jump(*to);
      return;
    }
    case kMacroCmdLet: Let(a0, a1); return;
    case kMacroCmdJump: JumpTo(a0); return;
    case kMacroCmdRestart:
      // The routine running now becomes the first level: it can still return
      // to the outermost caller, and the loops of the levels dropped end.
      if (calls_.size() > 1) calls_.resize(1);
      loops_.clear();
      return;
    case kMacroCmdIf:
      if (!(Value(a0) > 0)) needLine_ = true;
      return;
    case kMacroCmdExit:
      if (calls_.empty()) return Fail("Stack Underflow, Level<1");
      calls_.pop_back();
      while (!loops_.empty() && loops_.back().frame >= calls_.size()) loops_.pop_back();
      return;
    case kMacroCmdRecalc: Recalculate(a0); return;
    case kMacroCmdInLabel: Prompt(item, true); return;
    case kMacroCmdInValue: Prompt(item, false); return;
    case kMacroCmdMenuJump: MenuJump(a0); return;
    case kMacroCmdQuit: End(Ending::kQuit); return;
    case kMacroCmdReturn: Return(); return;
    case kMacroCmdTone: {
      long long frequency = Integer(a0), duration = Integer(a1);
      host_.Tone(static_cast<int>(frequency), static_cast<int>(std::clamp(duration, 0LL, 60000LL)));
      return;
    }
    case kMacroCmdUpdate:
      ws_.view().Repaint(nullptr);
      host_.ProcessEvents();
      return;
    case kMacroCmdWhile: {
      if (Value(a0) != 1) return;
      std::optional<LineRef> to = MacroCell(a1);
      if (!to) return SyntaxError();
      // RETURN comes back to this WHILE, which then looks at its value again.
      if (Push(item.start)) Jump(*to);
      return;
    }
    case kMacroCmdPlayWave:
      host_.PlaySound(StringExpression(a0), static_cast<int>(Integer(a1)));
      return;
    case kMacroCmdColWidth: SetSize(a0, Integer(a1), false); return;
    case kMacroCmdRowHeight: SetSize(a0, Integer(a1), true); return;
    case kMacroCmdUndo: Run("edit.undo", {}); return;
    case kMacroCmdBorder: SetBorders(Integer(a0), a1); return;
    case kMacroCmdAnchor: Anchor(Integer(a0)); return;
    default: SyntaxError(); return;
  }
}

void MacroInterpreter::ExecuteMenu(const MacroItem& item) {
  const Command* command = ws_.commands().FindMacro(static_cast<char>(item.code),
                                                    static_cast<char>(item.letter));
  if (command == nullptr || !command->run) return SyntaxError();
  std::vector<std::string> args =
      ReadMenuArguments(ActiveDoc(), static_cast<char>(item.code), static_cast<char>(item.letter),
                        item.args, item.args.size() + static_cast<std::size_t>(item.missingArgs));
  ws_.Execute(command->id, CommandArgs(std::move(args)));
}

void MacroInterpreter::ExecuteFile(const MacroItem& item) {
  const std::string& a0 = Arg(item, 0);
  const std::string& a1 = Arg(item, 1);
  auto slot = [&] { return static_cast<int>(Integer(a0)); };
  int result = kIoOk;
  switch (item.code) {
    case kMacroFileOpen:
      result = files_.Open(slot(), static_cast<int>(Integer(a1)), MacroText(Arg(item, 2)));
      break;
    case kMacroFileAppend: result = files_.Open(slot(), 3, MacroText(a1)); break;
    case kMacroFileClose: result = files_.Close(slot()); break;
    case kMacroFileWrite: result = files_.Write(slot(), MacroText(a1), false); break;
    case kMacroFileWriteLine: result = files_.Write(slot(), MacroText(a1), true); break;
    case kMacroFileReadLine: {
      std::string line;
      result = files_.ReadLine(slot(), line);
      if (result == kIoOk) {
        if (std::optional<CellAddress> at = Cell(a1)) Enter(*at, line);
        else host_.Beep();
      }
      break;
    }
    case kMacroFileChangeDir: result = MacroFiles::ChangeDirectory(MacroText(a0)); break;
    case kMacroFileMakeDir: result = MacroFiles::MakeDirectory(MacroText(a0)); break;
    case kMacroFileRemoveDir: result = MacroFiles::RemoveDirectory(MacroText(a0)); break;
    default: return;  // letters without an operation are ignored
  }
  Engine(ws_.session()).ioResult = result;
}

void MacroInterpreter::Run(const char* id, std::vector<std::string> args) {
  ws_.Execute(id, CommandArgs(std::move(args)));
}

// --- subroutines, jumps and loops --------------------------------------------------------

bool MacroInterpreter::Push(std::size_t pos) {
  if (static_cast<int>(calls_.size()) >= kMaxSubroutineDepth) {
    Fail("Stack Overflow, Nesting>20 ");
    return false;
  }
  calls_.push_back(Frame{current_, pos});
  return true;
}

void MacroInterpreter::Jump(LineRef target) {
  if (!Load(target)) End(Ending::kEnd);
}

bool MacroInterpreter::JumpTo(const std::string& location) {
  std::optional<LineRef> to = MacroCell(location);
  if (!to) {
    SyntaxError();
    return false;
  }
  Jump(*to);
  return true;
}

void MacroInterpreter::Return() {
  if (calls_.empty()) return Fail("Stack Underflow, Level<1");
  Frame f = calls_.back();
  calls_.pop_back();
  while (!loops_.empty() && loops_.back().frame >= calls_.size()) loops_.pop_back();
  // The caller's line is translated again, without a second single-step
  // stop on it.
  bool step = step_;
  step_ = false;
  bool loaded = Load(f.line);
  step_ = step;
  if (!loaded) return End(Ending::kEnd);
  pos_ = f.pos;
}

void MacroInterpreter::For(const MacroItem& item) {
  if (static_cast<int>(loops_.size()) >= kMaxLoopDepth) return Fail("FOR LOOPS>5");
  std::optional<CellAddress> counter = Cell(Arg(item, 0));
  if (!counter) return SyntaxError();
  Loop loop;
  loop.counter = *counter;
  loop.start = Integer(Arg(item, 1));
  loop.stop = Integer(Arg(item, 2));
  loop.step = Integer(Arg(item, 3));
  if (!StoreNumber(loop.counter, static_cast<double>(loop.start))) return;
  if (!Push(item.next)) return;
  loop.frame = calls_.size() - 1;
  loops_.push_back(loop);
}

void MacroInterpreter::Next() {
  if (loops_.empty()) return Fail("NEXT without FOR");
  Loop loop = loops_.back();
  SheetDocument* doc = ActiveDoc();
  double x = doc != nullptr ? CellNumber(doc->cells().FindCell(loop.counter.row, loop.counter.col))
                            : 0;
  bool finished = loop.step > 0 ? x >= static_cast<double>(loop.stop)
                                : x <= static_cast<double>(loop.stop);
  if (finished || loop.frame >= calls_.size()) {
    loops_.pop_back();
    if (loop.frame < calls_.size()) calls_.resize(loop.frame);
    return;
  }
  if (!StoreNumber(loop.counter, x + static_cast<double>(loop.step))) return;
  // Back to just after FOR: its entry stays on the stack, anything a body
  // left above it goes.
  Frame f = calls_[loop.frame];
  calls_.resize(loop.frame + 1);
  bool step = step_;
  step_ = false;
  bool loaded = Load(f.line);
  step_ = step;
  if (!loaded) return End(Ending::kEnd);
  pos_ = f.pos;
}

void MacroInterpreter::MenuJump(const std::string& location) {
  std::optional<LineRef> at = MacroCell(location);
  if (!at) return SyntaxError();
  std::vector<MenuOption> options;
  int col = at->col;
  for (; col < kColumnCount && options.size() < 15; ++col) {
    std::string name = LineText(LineRef{at->row, col});
    if (name.empty()) break;
    options.push_back({name, LineText(LineRef{at->row + 1, col})});
  }
  if (options.empty()) return host_.Beep();
  std::string title = col < kColumnCount ? LineText(LineRef{at->row + 1, col}) : std::string();
  std::optional<int> choice = host_.ChooseFromMenu(title, options);
  if (!running_) return;
  if (!choice || *choice < 0 || *choice >= static_cast<int>(options.size())) return BreakMacro();
  Jump(LineRef{at->row + 2, at->col + *choice});
}

// --- argument readers -------------------------------------------------------------

SheetDocument* MacroInterpreter::ActiveDoc() const {
  SheetWindow* w = ws_.active();
  return w != nullptr ? &w->document() : doc_;
}

std::optional<CellAddress> MacroInterpreter::Cell(const std::string& location) const {
  CellRange r = ws_.Location(MacroText(location));
  if (!r.IsDefined()) return std::nullopt;
  return CellAddress{static_cast<std::int16_t>(r.Left()), static_cast<std::int16_t>(r.Top())};
}

std::optional<MacroInterpreter::LineRef> MacroInterpreter::MacroCell(
    const std::string& location) const {
  if (doc_ == nullptr) return std::nullopt;
  std::string text = MacroText(location);
  CellRange r;
  if (text.empty()) {
    if (ws_.active() == nullptr) return std::nullopt;
    CellAddress c = ws_.active()->CursorCell();
    r = CellRange::Cell(c.row, c.col);
  } else {
    r = PromptRange(*doc_, text, ws_.active());
  }
  if (!r.IsDefined()) return std::nullopt;
  return LineRef{r.Top(), r.Left()};
}

double MacroInterpreter::Value(const std::string& text) const { return MacroValue(ActiveDoc(), text); }

long long MacroInterpreter::Integer(const std::string& text) const {
  return MacroInteger(ActiveDoc(), text);
}

std::string MacroInterpreter::StringExpression(const std::string& text) const {
  return MacroStringExpression(ActiveDoc(), text);
}

// --- cell commands ---------------------------------------------------------------

void MacroInterpreter::Changed() {
  ws_.input().CursorMoved();
  ws_.AfterChange(true);
}

bool MacroInterpreter::Enter(CellAddress at, const std::string& text) {
  SheetDocument* doc = ActiveDoc();
  if (doc == nullptr) return false;
  EntryResult r = EnterCell(*doc, text, at.row, at.col);
  std::string message = ws_.session().errors().message();
  ws_.session().errors().Clear();
  Changed();
  if (!r.ok) {
    if (message.empty()) host_.Beep();
    else Fail(message);
  }
  return r.ok;
}

bool MacroInterpreter::StoreNumber(CellAddress at, double x) {
  SheetDocument* doc = ActiveDoc();
  if (doc == nullptr) return false;
  CellStore& store = doc->cells();
  SheetSettings& settings = doc->settings();
  ErrorChannel& errors = ws_.session().errors();
  errors.Clear();
  CellRecord* cell = store.FindCell(at.row, at.col);
  if ((cell == nullptr && settings.protect) ||
      (cell != nullptr && cell->IsLocked() && settings.protect)) {
    Fail("Protected Cell");
    return false;
  }
  if (cell == nullptr) cell = store.GetOrCreateCell(at.row, at.col);
  if (cell == nullptr) {
    std::string message = errors.failed() ? errors.message() : "Out of Range";
    errors.Clear();
    Fail(message);
    return false;
  }
  SetNumber(*doc, *cell, x);
  settings.modified = true;
  if (!settings.manualRecalc && store.HasDependents(*cell)) RecalcFrom(*doc, *cell);
  Changed();
  return true;
}

void MacroInterpreter::Let(const std::string& location, const std::string& value) {
  std::optional<CellAddress> at = Cell(location);
  SheetDocument* doc = ActiveDoc();
  if (!at || doc == nullptr) return host_.Beep();
  std::string word = UpperCase(value);
  if (word == "TRUE" || word == "FALSE") {
    StoreNumber(*at, word == "TRUE" ? 1 : 0);
    return;
  }
  TextResult r = Engine(ws_.session()).evaluator->EvaluateText(*doc, MacroFormulaText(value));
  if (!r.error && !r.isString && std::isfinite(r.number)) {
    StoreNumber(*at, r.number);
  } else if (!r.error && r.isString) {
    // A text result is stored as a label, whatever it looks like.
    Enter(*at, std::string(1, doc->settings().labelPrefix) + r.text);
  } else {
    Enter(*at, MacroText(value));
  }
}

void MacroInterpreter::Goto(CellAddress at) {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  w->MoveCursor(at.row, at.col);
  ws_.input().CursorMoved();
  ws_.AfterChange(false);
}

void MacroInterpreter::CursorDown() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  CellAddress c = w->CursorCell();
  Goto(CellAddress{c.col, static_cast<std::int16_t>(std::min(c.row + 1, kRowCount - 1))});
}

void MacroInterpreter::Prompt(const MacroItem& item, bool label) {
  std::string prompt = StringExpression(Arg(item, 0));
  std::optional<CellAddress> at = Cell(Arg(item, 1));
  SheetDocument* doc = ActiveDoc();
  if (!at || doc == nullptr) return host_.Beep();
  std::optional<std::string> text = host_.InputBox("Input?", prompt, "");
  if (!running_) return;
  if (!text) return BreakMacro();
  std::string entry = text->substr(0, kMaxText);
  if (label) entry.insert(entry.begin(), doc->settings().labelPrefix);
  Enter(*at, entry);
}

void MacroInterpreter::GetKey(const MacroItem& item) {
  std::optional<CellAddress> at = Cell(Arg(item, 0));
  SheetDocument* doc = ActiveDoc();
  if (!at || doc == nullptr) return host_.Beep();
  std::optional<std::string> key = host_.WaitForKey("");
  if (!running_) return;
  if (!key) return BreakMacro();
  Enter(*at, std::string(1, doc->settings().labelPrefix) + key->substr(0, kMaxText - 1));
}

void MacroInterpreter::Delay(long long ms) {
  if (ms <= 0) return;
  std::uint64_t end = host_.TickCount() + static_cast<std::uint64_t>(ms);
  while (running_) {
    std::uint64_t now = host_.TickCount();
    if (now >= end) break;
    Poll();
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min<std::uint64_t>(end - now, 10)));
  }
}

void MacroInterpreter::Recalculate(const std::string& location) {
  SheetDocument* doc = ActiveDoc();
  CellRange r = ws_.Location(MacroText(location));
  if (doc == nullptr || !r.IsDefined()) return host_.Beep();
  std::vector<CellId> formulas;
  doc->cells().ForEachIn(r.Top(), r.Left(), r.Bottom(), r.Right(), [&](CellRecord& c) {
    if (c.IsFormula()) formulas.push_back(c.id);
  });
  if (!formulas.empty()) RecalcCells(*doc, formulas);
  Changed();
}

void MacroInterpreter::SetBorders(long long style, const std::string& location) {
  if (style < 0 || style > 3) return;  // other styles are ignored
  SheetDocument* doc = ActiveDoc();
  CellRange r = ws_.Location(MacroText(location));
  if (doc == nullptr || !r.IsDefined()) return host_.Beep();
  TakeSnapshot(*doc);
  auto s = static_cast<std::uint8_t>(style);
  std::uint8_t byte = static_cast<std::uint8_t>(s | s << 2 | s << 4 | s << 6);
  bool protect = doc->settings().protect;
  for (int row = r.Top(); row <= r.Bottom(); ++row) {
    for (int col = r.Left(); col <= r.Right(); ++col) {
      CellRecord* cell = doc->cells().FindCell(row, col);
      if (cell != nullptr && cell->IsLocked() && protect) continue;
      if (cell == nullptr && (protect || byte == 0)) continue;
      if (cell == nullptr) cell = doc->cells().GetOrCreateCell(row, col);
      if (cell != nullptr) cell->borders = byte;
    }
  }
  ws_.session().errors().Clear();
  doc->settings().modified = true;
  Changed();
}

void MacroInterpreter::SetSize(const std::string& location, long long size, bool rows) {
  SheetWindow* w = ws_.active();
  CellRange r = ws_.Location(MacroText(location));
  if (w == nullptr || !r.IsDefined()) return host_.Beep();
  WidthDialog dialog;
  dialog.Activate(w->document(), r, w->defaultRowHeight);
  dialog.SetRangeText(RangeText(r, w->document().settings().pageHeight));
  if (rows) dialog.SetHeight(static_cast<double>(size));
  else dialog.SetWidth(static_cast<double>(size));
  if (dialog.Apply(w->document(), w) != WidthDialog::Outcome::kApplied) return host_.Beep();
  ws_.view().LayoutChanged();
  Changed();
}

void MacroInterpreter::Anchor(long long on) {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  GridPane& p = w->activePane();
  anchorMode_ = on == 1;
  p.anchored = anchorMode_;
  p.anchor = p.cursor;
  p.selection = CellRange::Cell(p.cursor.row, p.cursor.col);
  ws_.view().Refresh(*w);
  ws_.view().EntryChanged();
}

// --- the commands of the table ------------------------------------------------------

namespace {

void AskMacroCell(Workspace& ws, MacroInterpreter& macros, bool step) {
  if (macros.Running() || ws.active() == nullptr) return ws.host().Beep();
  if (ws.input().entryOpen() && !ws.input().promptOpen()) ws.input().Cancel();
  ws.input().OpenRangePrompt(
      " MACRO: Specify Cell",
      [&ws, &macros, step](const std::string& text) {
        if (text.empty()) return;
        if (!macros.RunMacroAtText(text, step)) ws.host().Beep();
      },
      ws.RangeNames());
  ws.view().FocusLine(true);
  ws.view().EntryChanged();
}

}  // namespace

void RegisterMacroCommands(Workspace& ws, MacroInterpreter& macros) {
  CommandTable& t = ws.commands();
  auto runAt = [&macros](bool step) {
    return [&macros, step](Workspace& w, const CommandArgs& a) {
      if (macros.Running()) return Status::Beep();
      if (!macros.RunMacroAtText(a[0], step)) return Status::Beep();
      (void)w;
      return Status::Ok();
    };
  };
  Command run;
  run.id = "macro.run";
  run.caption = "Execute Macro";
  run.hint = "Execute Macro";
  run.flags = kNeedsSheet | kCancelsEntry;
  run.run = runAt(false);
  run.invoke = [&macros](Workspace& w) { AskMacroCell(w, macros, false); };
  t.Add(std::move(run));

  Command step;
  step.id = "macro.step";
  step.menu = "&Sheet";
  step.caption = "&Macro Step";
  step.shortcut = "Shift+F3";
  step.flags = kNeedsSheet | kCancelsEntry | kSeparatorBefore;
  step.run = runAt(true);
  step.invoke = [&macros](Workspace& w) { AskMacroCell(w, macros, true); };
  t.Add(std::move(step));

  Command bar;
  bar.id = "view.macrobar";
  bar.menu = "&View";
  bar.caption = "Show &Macro Buttons";
  bar.flags = kCheckable;
  bar.run = [](Workspace& w, const CommandArgs&) {
    w.config().macroBar = !w.config().macroBar;
    w.view().BarsChanged();
    return Status::Ok();
  };
  bar.checked = [](const Workspace& w) { return w.config().macroBar; };
  t.Add(std::move(bar));

  ws.quickBar().push_back({"macro.run", "Run", "Execute Macro", true});
  ws.quickBar().push_back({"macro.step", "Step", "Macro Single Step"});
}

}  // namespace tabulon
