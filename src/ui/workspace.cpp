#include "ui/workspace.h"

#include <algorithm>
#include <filesystem>

#include "base/text.h"
#include "edit/undo.h"
#include "formula/engine.h"
#include "formula/recalc.h"
#include "io/worksheet_file.h"
#include "platform/host.h"
#include "ui/block_commands.h"
#include "ui/row_painter.h"

namespace tabulon {

Workspace::Workspace(Session& session)
    : session_(session), links_(std::make_unique<LinkStore>(session)), input_(session) {
  config_ = DefaultConfig("", "TBL");
  RegisterWorkspaceCommands(*this);
}

Workspace::~Workspace() {
  input_.SetWindow(nullptr);
  session_.SetCursorSource(nullptr);
  active_ = nullptr;
  for (auto& w : windows_) session_.Release(w->document());
  windows_.clear();
}

// --- configuration -------------------------------------------------------------

void Workspace::LoadConfiguration(const std::string& dir, const std::string& base) {
  std::string prefix = dir.empty() ? std::string() : dir + "/";
  settingsFile_ = prefix + base + ".INI";
  userFile_ = prefix + base + ".USR";
  config_ = DefaultConfig(prefix, base);
  // A refused setting is told once the window is up (OpenStartupSheet).
  configMessages_ = ReadSettings(settingsFile_, config_);
  ApplyConfig(config_, session_.settings());
  Engine(session_).masterFunctions = ReadUserFunctions(userFile_);
  recent_.SetSize(config_.historySize);
  recent_.Assign(config_.history);
  zoom_ = config_.scale;
}

bool Workspace::SaveConfiguration() {
  if (settingsFile_.empty()) return true;
  CaptureConfig(session_.settings(), config_);
  config_.history = recent_.names();
  config_.historySize = recent_.size();
  config_.scale = zoom_;
  std::filesystem::path dir = std::filesystem::path(settingsFile_).parent_path();
  if (!dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
  }
  return WriteSettings(settingsFile_, config_);
}

// --- windows ---------------------------------------------------------------------

SheetWindow& Workspace::AddWindow(SheetDocument& doc, const std::string& caption, bool untitled) {
  windows_.push_back(std::make_unique<SheetWindow>(doc));
  SheetWindow& w = *windows_.back();
  w.caption = caption;
  w.untitled = untitled;
  view_->WindowOpened(w);
  Activate(&w);
  return w;
}

void Workspace::Activate(SheetWindow* window) {
  if (window == active_) return;
  if (input_.promptOpen()) input_.Cancel();
  active_ = window;
  input_.SetWindow(window);
  view_->WindowActivated(window);
  view_->EntryChanged();
}

void Workspace::ActivateNext() {
  if (windows_.size() < 2 || active_ == nullptr) return;
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&](const auto& w) { return w.get() == active_; });
  ++it;
  if (it == windows_.end()) it = windows_.begin();
  Activate(it->get());
}

SheetWindow* Workspace::NewSheet() {
  SheetDocument* doc = session_.NewDocument();
  if (doc == nullptr) {
    Show(Status::Error(session_.errors().message()));
    session_.errors().Clear();
    return nullptr;
  }
  doc->extras().colours = config_.colours;
  return &AddWindow(*doc, NewSheetName(static_cast<int>(windows_.size())), true);
}

Status Workspace::NewView() {
  if (active_ == nullptr) return Status::Beep();
  if (windows_.size() >= 255) return Status::Error("Too many windows");
  SheetWindow& from = *active_;
  session_.Retain(from.document());
  SheetWindow& w = AddWindow(from.document(), from.caption, from.untitled);
  w.MoveCursor(from.CursorCell().row, from.CursorCell().col);
  return Status::Ok();
}

Status Workspace::Open(const std::string& fileName) {
  std::string name = WorksheetFileName(fileName);
  if (!IsWorksheetFile(name)) return Status::Error("Invalid WKS File!");
  for (auto& w : windows_) {
    if (!w->untitled && UpperCase(w->document().fileName()) == UpperCase(name)) {
      Activate(w.get());
      return Status::Ok();
    }
  }
  SheetDocument* doc = session_.NewDocument();
  if (doc == nullptr) {
    Status s = Status::Error(session_.errors().message());
    session_.errors().Clear();
    return s;
  }
  doc->extras().colours = config_.colours;
  LoadResult r = LoadWorksheet(*doc, name, 0);
  if (r.status == LoadStatus::Failed) {
    session_.Release(*doc);
    session_.errors().Clear();
    return Status::Error(r.message);
  }
  if (r.status == LoadStatus::Recovered) {
    // What could be read of a damaged file opens untitled, so that Save asks
    // for a name and the original stays as it is for another attempt.
    session_.errors().Clear();
    AddWindow(*doc, NewSheetName(static_cast<int>(windows_.size())), true);
    CursorMoved();
    return Status::Error(r.message);
  }
  RememberFile(name);
  SheetWindow& w = AddWindow(*doc, name, false);
  // The window starts where it was saved: cursor, then the scroll position.
  const PaneState& p = doc->extras().pane1;
  w.MoveCursor(p.cursorRow, p.cursorCol);
  GridPane& pane = w.activePane();
  pane.topRow = std::clamp<int>(p.topRow, 0, pane.cursor.row);
  pane.leftCol = std::clamp<int>(p.leftCol, 0, pane.cursor.col);
  CursorMoved();
  if (r.hasAutoexec) {
    host().Beep();
    if (macros_ != nullptr) macros_->RunAutoexec(w);
  }
  return Status::Ok();
}

void Workspace::OpenStartupSheet(const std::string& commandLineFile) {
  for (const std::string& m : configMessages_) Show(Status::Error(m));
  configMessages_.clear();
  std::error_code ec;
  if (!commandLineFile.empty()) {
    Show(Open(commandLineFile));
  } else if (!config_.autoexec.empty() && std::filesystem::is_regular_file(config_.autoexec, ec)) {
    // The start-up sheet is a template: it opens untitled, so that Save asks
    // for a name instead of overwriting it.
    if (Status s = Open(config_.autoexec); s && active_ != nullptr) {
      for (auto& w : windows_) {
        if (&w->document() != &active_->document()) continue;
        w->untitled = true;
        w->caption = NewSheetName(0);
        view_->CaptionChanged(*w);
      }
      active_->document().SetFileName("");
    } else {
      Show(s);
    }
  }
  if (windows_.empty() && config_.preOpen) NewSheet();
}

Status Workspace::SaveAs(SheetWindow& window, const std::string& fileName) {
  std::string name = WorksheetFileName(fileName);
  SheetDocument& doc = window.document();
  // The window record keeps where the user was: cursor and scroll position
  // of both panes.
  auto record = [](const GridPane& g, PaneState& p) {
    p.cursorRow = g.cursor.row;
    p.cursorCol = g.cursor.col;
    p.topRow = static_cast<std::int16_t>(g.topRow);
    p.leftCol = static_cast<std::int16_t>(g.leftCol);
  };
  record(window.activePane(), doc.extras().pane1);
  if (window.split()) record(window.otherPane(), doc.extras().pane2);
  session_.errors().Clear();
  if (!SaveWorksheet(doc, name)) {
    std::string message = session_.errors().message();
    session_.errors().Clear();
    return Status::Error(message.empty() ? "Unable to Save File" : message);
  }
  doc.SetFileName(name);
  doc.settings().modified = false;
  for (auto& w : windows_) {
    if (&w->document() != &doc) continue;
    w->caption = name;
    w->untitled = false;
    view_->CaptionChanged(*w);
  }
  RememberFile(name);
  return Status::Ok();
}

bool Workspace::Save(SheetWindow& window, bool askName) {
  std::string name = window.caption;
  if (askName || window.untitled) {
    auto chosen = host().SaveFileName("TABULON SAVE AS...", "Worksheets(*.WKS)|*.WKS;*.wks;*.Wk?",
                                      name);
    if (!chosen) return false;
    name = *chosen;
  }
  Status s = SaveAs(window, name);
  Show(s);
  return s.ok();
}

bool Workspace::Close(SheetWindow& window) {
  if (input_.promptOpen() && &window == active_) return false;  // a command waits for a range
  int views = 0;
  for (auto& w : windows_) views += &w->document() == &window.document() ? 1 : 0;
  switch (window.QueryClose(window.caption, views <= 1)) {
    case SheetWindow::CloseDecision::Cancel: return false;
    case SheetWindow::CloseDecision::SaveThenClose:
      if (!Save(window, window.untitled)) return false;
      break;
    case SheetWindow::CloseDecision::Close: break;
  }
  RemoveWindow(window);
  return true;
}

void Workspace::RemoveWindow(SheetWindow& window) {
  view_->WindowClosing(window);
  bool wasActive = active_ == &window;
  if (wasActive) {
    input_.SetWindow(nullptr);
    active_ = nullptr;
  }
  SheetDocument& doc = window.document();
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&](const auto& w) { return w.get() == &window; });
  std::size_t index = static_cast<std::size_t>(it - windows_.begin());
  windows_.erase(it);
  session_.Release(doc);
  if (wasActive && !windows_.empty()) Activate(windows_[std::min(index, windows_.size() - 1)].get());
  else if (wasActive) {
    view_->WindowActivated(nullptr);
    view_->EntryChanged();
  }
}

bool Workspace::CloseAll() {
  while (!windows_.empty())
    if (!Close(*windows_.back())) return false;
  return true;
}

void Workspace::Calculate() {
  links_->Reload();
  std::vector<SheetDocument*> done;
  for (auto& w : windows_) {
    SheetDocument* doc = &w->document();
    if (std::find(done.begin(), done.end(), doc) != done.end()) continue;
    done.push_back(doc);
    RecalcAll(*doc);
  }
  view_->Repaint(nullptr);
  CursorMoved();
}

void Workspace::RememberFile(const std::string& name) {
  recent_.Remember(name);
  view_->RecentFilesChanged();
}

void Workspace::SetZoomPercent(int percent) {
  zoom_ = std::clamp(percent, 20, 200);
  view_->LayoutChanged();
  view_->Repaint(nullptr);
}

void Workspace::ToggleLockKey(LockKey k) {
  if (k == LockKey::kEnd) {
    if (active_ != nullptr) active_->SetEndMode(!active_->endMode());
  } else {
    bool& on = locks_[static_cast<int>(k)];
    on = !on;
    if (k == LockKey::kInsert) input_.overwrite = on;
  }
  view_->EntryChanged();
}

// --- keys ---------------------------------------------------------------------------

bool Workspace::LineTakesKey(Key key, KeyMods mods) const {
  bool arrow = key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down ||
               key == Key::Home;
  bool endMode = active_ != nullptr && active_->endMode();
  if (input_.promptOpen() || input_.pointing()) {
    if (endMode && arrow) return false;  // End + arrow moves the pointer on the grid
    return arrow || key == Key::Enter || key == Key::Escape || key == Key::F4 ||
           key == Key::Backspace || key == Key::Delete || key == Key::Character;
  }
  if (!input_.entryOpen()) return false;
  if (mods.ctrl && arrow) return false;
  return arrow || key == Key::Enter || key == Key::Escape || key == Key::Character ||
         key == Key::Backspace || key == Key::Delete || key == Key::End || key == Key::F1 ||
         key == Key::F2 || key == Key::F9;
}

void Workspace::HandleKey(Key key, KeyMods mods, char ch) {
  switch (key) {
    case Key::Insert: ToggleLockKey(LockKey::kInsert); return;
    case Key::CapsLock: ToggleLockKey(LockKey::kCaps); return;
    case Key::NumLock: ToggleLockKey(LockKey::kNum); return;
    case Key::ScrollLock: ToggleLockKey(LockKey::kScroll); return;
    case Key::None: return;
    default: break;
  }
  if (key == Key::Character && (mods.alt || mods.ctrl)) {
    // Alt with a menu's access letter opens that menu; Control with a
    // character is a shortcut the view binds, not typing.
    if (mods.alt) view_->OpenMenu(UpperChar(ch));
    return;
  }
  SheetWindow* w = active_;
  if (w == nullptr) return;
  if (LineTakesKey(key, mods)) {
    if (key == Key::F1) {
      // Help on the line after "@" or "{": the function or keyword picker.
      const std::string& t = input_.text();
      if (!t.empty() && (t.back() == '@' || t.back() == '{'))
        view_->ShowDialog(t.back() == '@' ? DialogKind::kFunctionPick : DialogKind::kMacroPick, 0);
      else
        host().Beep();
      return;
    }
    if (key == Key::Character) input_.TypeChar(ch);
    else input_.HandleKey(key, mods);
    Show(input_.TakeStatus());
    AfterChange(input_.needsFullRepaint);
    return;
  }
  GridKey(*w, key, mods, ch);
}

void Workspace::HandleUserKey(Key key, KeyMods mods, char ch) {
  bool running = macros_ != nullptr && macros_->Running();
  if (running && (key == Key::Escape || key == Key::Break)) {
    macros_->Break();
    return;
  }
  if (key == Key::Character && mods.ctrl && !mods.alt && macros_ != nullptr && !running &&
      (IsLetter(ch) || IsDigit(ch))) {
    macros_->RunShortcut(UpperChar(ch));
    return;
  }
  HandleKey(key, mods, ch);
}

void Workspace::TypeText(std::string_view text) {
  for (char c : text) HandleKey(Key::Character, {}, c);
}

void Workspace::GridKey(SheetWindow& w, Key key, KeyMods mods, char ch) {
  if (key == Key::F3 && mods.shift && commands_.Find("macro.step")) return Invoke("macro.step");
  WindowAction action = w.HandleKey(key, mods, ch);
  ActionKey(w, action, ch);
}

void Workspace::ActionKey(SheetWindow& w, WindowAction action, char ch) {
  switch (action) {
    case WindowAction::None: return;
    case WindowAction::StartEntry:
      if (input_.disabled()) {
        host().Beep();  // a locked cell under protection takes no entry
        return;
      }
      input_.TypeChar(ch);
      view_->FocusLine(true);
      view_->EntryChanged();
      return;
    case WindowAction::EditCell:
      if (input_.disabled()) {
        host().Beep();
        return;
      }
      input_.HandleKey(Key::F2);
      view_->FocusLine(true);
      view_->EntryChanged();
      return;
    case WindowAction::CycleReference: input_.HandleKey(Key::F4); break;
    case WindowAction::NextWindow: ActivateNext(); return;
    case WindowAction::Calculate: Calculate(); return;
    case WindowAction::OpenGotoPrompt:
      AskRange("GOTO: Specify Cell", [this](const CellRange& r) {
        if (active_ == nullptr) return;
        if (!r.IsDefined()) {
          host().Beep();
          return;
        }
        active_->MoveCursor(r.firstRow, r.firstCol);
        CursorMoved();
      }, RangeNames());
      return;
    case WindowAction::OpenMacroPrompt:
      if (commands_.Find("macro.run")) Invoke("macro.run");
      else host().Beep();
      return;
    case WindowAction::ShowGraph:
      if (commands_.Find("graph.view")) Invoke("graph.view");
      else host().Beep();
      return;
    case WindowAction::ListDependents: {
      // The dependents of the cell are offered in the prompt's list; the
      // one chosen becomes the cursor.
      std::vector<std::string> list = DependentsOfCursor();
      if (list.empty()) {
        host().Beep();
        return;
      }
      AskRange("DEPENDENTS: Specify Cell", [this](const CellRange& r) {
        if (active_ == nullptr || !r.IsDefined()) return;
        active_->MoveCursor(r.firstRow, r.firstCol);
        CursorMoved();
      }, std::move(list));
      return;
    }
    case WindowAction::CommandMenu: view_->OpenMenu('/'); return;
    case WindowAction::Help: Invoke("help.contents"); return;
    case WindowAction::AnchorBlock: input_.TypeChar('.'); break;
    case WindowAction::Handled: break;
  }
  CursorMoved();
  (void)w;
}

void Workspace::CursorMoved() {
  input_.CursorMoved();
  if (active_ != nullptr) view_->Refresh(*active_);
  view_->EntryChanged();
}

void Workspace::AfterChange(bool wholeSheet) {
  if (!input_.entryOpen()) input_.CursorMoved();  // the line shows the cell now under the cursor
  if (active_ != nullptr) {
    if (wholeSheet || input_.needsFullRepaint) view_->Repaint(&active_->document());
    view_->Refresh(*active_);
  }
  input_.needsFullRepaint = false;
  view_->EntryChanged();
  view_->FocusLine(input_.entryOpen());
}

// --- commands --------------------------------------------------------------------------

bool Workspace::Enabled(const Command& command) const {
  if ((command.flags & kNeedsSheet) && active_ == nullptr) return false;
  return true;
}

void Workspace::Show(const Status& status) {
  if (status.ok()) return;
  if (status.message().empty()) {
    host().Beep();
    return;
  }
  session_.ShowError(status.message());
  if (macros_ != nullptr) macros_->ErrorShown();
}

Status Workspace::Execute(const std::string& id, const CommandArgs& args) {
  const Command* c = commands_.Find(id);
  if (c == nullptr || !c->run || !Enabled(*c)) {
    host().Beep();
    return Status::Beep();
  }
  if ((c->flags & kCancelsEntry) && input_.entryOpen() && !input_.promptOpen()) input_.Cancel();
  if ((c->flags & kTakesSnapshot) && active_ != nullptr) TakeSnapshot(active_->document());
  session_.errors().Clear();
  Status s = c->run(*this, args);
  session_.errors().Clear();
  Show(s);
  AfterChange(true);
  return s;
}

void Workspace::Invoke(const std::string& id) {
  const Command* c = commands_.Find(id);
  if (c == nullptr || !Enabled(*c)) {
    host().Beep();
    return;
  }
  if (c->invoke) {
    if ((c->flags & kCancelsEntry) && input_.entryOpen() && !input_.promptOpen()) input_.Cancel();
    c->invoke(*this);
    view_->EntryChanged();
  } else {
    Execute(id);
  }
}

void Workspace::AskRange(const std::string& prompt, std::function<void(const CellRange&)> done,
                         std::vector<std::string> choices) {
  if (active_ == nullptr) return;
  if (input_.entryOpen() && !input_.promptOpen()) input_.Cancel();
  input_.OpenRangePrompt(
      " " + prompt,
      [this, done](const std::string& text) {
        if (active_ == nullptr) return;
        done(PromptRange(active_->document(), text, active_));
      },
      std::move(choices));
  view_->FocusLine(true);
  view_->EntryChanged();
}

std::vector<std::string> Workspace::RangeNames() const {
  std::vector<std::string> names;
  if (active_ == nullptr) return names;
  for (const RangeName& n : active_->document().names().entries()) names.push_back(n.name);
  return names;
}

std::vector<std::string> Workspace::DependentsOfCursor() const {
  std::vector<std::string> list;
  if (active_ == nullptr) return list;
  const SheetDocument& doc = active_->document();
  CellAddress c = active_->CursorCell();
  const CellRecord* cell = doc.cells().FindCell(c.row, c.col);
  if (cell == nullptr) return list;
  doc.cells().ForEachDependent(*cell, [&](CellId id) {
    if (const CellRecord* d = doc.cells().Get(id))
      list.push_back(ShortAddressText(d->row, d->col, doc.settings().pageHeight));
  });
  return list;
}

CellRange Workspace::Location(const std::string& text) const {
  if (active_ == nullptr) return {};
  if (text.empty()) {
    CellAddress c = active_->CursorCell();
    return CellRange::Cell(c.row, c.col);
  }
  return PromptRange(active_->document(), text, active_);
}

}  // namespace tabulon
