#include "ui/input_line.h"

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "display/format.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "edit/undo.h"
#include "sheet/session.h"
#include "base/text.h"
#include "platform/host.h"
#include "ui/sheet_window.h"

namespace tabulon {

namespace {

// Text ending in one of these asks for an operand: arrows then point.
bool EndsWithOperator(const std::string& s) {
  return !s.empty() && std::string_view("&(*+,-/@").find(s.back()) != std::string_view::npos;
}

// Absolute flags of one corner for a reference mode (both, column, row, none).
unsigned CornerFlags(int mode, bool last) {
  unsigned row = last ? kAbsLastRow : kAbsFirstRow;
  unsigned col = last ? kAbsLastCol : kAbsFirstCol;
  switch (mode) {
    case 1: return row | col;
    case 2: return col;
    case 3: return row;
    default: return 0;
  }
}

}  // namespace

void InputLine::SetWindow(SheetWindow* window) {
  window_ = window;
  session_.SetCursorSource(window);
  if (window != nullptr) session_.SetCurrent(&window->document());
  CloseEntry();
}

std::string InputLine::IndicatorText() const {
  if (window_ == nullptr) return {};
  return CellIndicatorText(window_->document(), window_->CursorCell(), window_->SelectionRange());
}

void InputLine::UpdateMode() {
  if (prompt_) {
    mode_ = pointing_ ? "POINT" : "RANGE";
    return;
  }
  if (pointing_) {
    mode_ = "POINT";
  } else if (errorPending_) {
    mode_ = "EDIT";
  } else if (text_.empty()) {
    mode_ = "?";
  } else {
    char c = text_[0];
    mode_ = (c == '(' || c == '+' || c == '-' || IsDigit(c) || c == '@') ? "VALUE" : "LABEL";
  }
}

void InputLine::ShowCurrentCell() {
  if (window_ == nullptr) {
    text_.clear();
    disabled_ = false;
  } else {
    CellAddress c = window_->CursorCell();
    InputLineContents contents = CellContents(window_->document(), c.row, c.col);
    text_ = contents.text;
    disabled_ = contents.disabled;
  }
  caret_ = static_cast<int>(text_.size());
}

void InputLine::CloseEntry() {
  open_ = false;
  errorPending_ = false;
  pointing_ = false;
  red_ = false;
  if (window_ != nullptr) window_->SetPointing(false);
  mode_ = "READY";
  ShowCurrentCell();
}

void InputLine::TypeChar(char ch) {
  if (!open_ && !prompt_) {
    open_ = true;
    text_.clear();
    caret_ = 0;
  }
  if (pointing_ && ch == '.' && window_ != nullptr) {
    // "." anchors a block at the pointed cell; moves then extend it.
    window_->HandleKey(Key::Character, {}, '.');
    RewritePointedText();
    return;
  }
  // Typing after a pointed address keeps it and goes on with the formula.
  if (pointing_) EndPointing();
  if (prompt_ && promptFresh_) {
    text_.clear();
    caret_ = 0;
  }
  promptFresh_ = false;
  if (overwrite && caret_ < static_cast<int>(text_.size())) text_[caret_] = ch;
  else text_.insert(text_.begin() + caret_, ch);
  if (text_.size() > kMaxText) text_.resize(kMaxText);
  caret_ = std::min<int>(caret_ + 1, static_cast<int>(text_.size()));
  UpdateMode();
}

void InputLine::SetText(const std::string& text, int caret) {
  if (!open_ && !prompt_) open_ = true;
  if (pointing_) EndPointing();
  promptFresh_ = false;
  text_ = text.substr(0, kMaxText);
  caret_ = std::clamp(caret, 0, static_cast<int>(text_.size()));
  UpdateMode();
}

void InputLine::SetCaret(int caret) {
  if (pointing_) return;
  caret_ = std::clamp(caret, 0, static_cast<int>(text_.size()));
}

bool InputLine::EditKey(Key key) {
  int size = static_cast<int>(text_.size());
  switch (key) {
    case Key::Left: caret_ = std::max(0, caret_ - 1); return true;
    case Key::Right: caret_ = std::min(size, caret_ + 1); return true;
    case Key::Home: caret_ = 0; return true;
    case Key::End: caret_ = size; return true;
    case Key::Backspace:
      if (caret_ > 0) text_.erase(static_cast<std::size_t>(--caret_), 1);
      break;
    case Key::Delete:
      if (caret_ < size) text_.erase(static_cast<std::size_t>(caret_), 1);
      break;
    default: return false;
  }
  promptFresh_ = false;
  UpdateMode();
  return true;
}

void InputLine::OpenRangePrompt(const std::string& caption,
                                std::function<void(const std::string&)> done,
                                std::vector<std::string> choices) {
  prompt_ = std::move(done);
  choices_ = std::move(choices);
  promptCaption_ = caption;
  open_ = true;
  errorPending_ = false;
  pointing_ = false;
  text_ = window_ ? RangeText(window_->SelectionRange(), window_->document().settings().pageHeight)
                  : std::string();
  caret_ = static_cast<int>(text_.size());
  promptFresh_ = true;
  UpdateMode();
}

bool InputLine::Accept() {
  if (prompt_) {
    auto done = std::move(prompt_);
    prompt_ = nullptr;
    promptCaption_.clear();
    choices_.clear();
    std::string text = text_;
    CloseEntry();
    done(text);
    return true;
  }
  if (window_ == nullptr) return false;
  if (text_.empty() && !errorPending_) {
    CloseEntry();
    return true;
  }
  SheetDocument& doc = window_->document();
  CellAddress c = window_->CursorCell();
  // An entry is a command of its own: Undo takes the sheet back to before it.
  TakeSnapshot(doc);
  EntryResult r = EnterCell(doc, text_, c.row, c.col);
  if (!r.ok) {
    const std::string& message = session_.errors().message();
    status_ = message.empty() ? Status::Beep() : Status::Error(message);
    session_.errors().Clear();
    red_ = true;
    errorPending_ = true;
    pointing_ = false;
    window_->SetPointing(false);
    UpdateMode();
    return false;
  }
  needsFullRepaint = r.recalculated;
  CloseEntry();
  return true;
}

void InputLine::Cancel() {
  if (prompt_) {
    // A first Escape collapses a block; a second one (or one on a single
    // cell) cancels the prompt.
    if (window_ != nullptr && !window_->SelectionRange().IsSingleCell()) {
      CellAddress c = window_->CursorCell();
      window_->MoveCursor(c.row, c.col);
      text_ = RangeText(window_->SelectionRange(), window_->document().settings().pageHeight);
      caret_ = static_cast<int>(text_.size());
      promptFresh_ = true;
      return;
    }
    prompt_ = nullptr;
    promptCaption_.clear();
    choices_.clear();
    CloseEntry();
    return;
  }
  if (pointing_) {
    EndPointing();
    text_ = remembered_;
    caret_ = static_cast<int>(text_.size());
    UpdateMode();
    return;
  }
  if (!text_.empty() && open_) {
    text_.clear();
    caret_ = 0;
    UpdateMode();
    return;
  }
  CloseEntry();
}

void InputLine::EndPointing() {
  pointing_ = false;
  if (window_ == nullptr) return;
  window_->SetPointing(false);
  window_->MoveCursor(entryCell_.row, entryCell_.col);
  UpdateMode();
}

void InputLine::StartPointing() {
  pointing_ = true;
  if (window_ != nullptr) entryCell_ = window_->CursorCell();
  remembered_ = text_.substr(0, caret_);
  refMode_ = 0;
  firstFlags_ = lastFlags_ = 0;
  if (window_ != nullptr) window_->SetPointing(true);
  UpdateMode();
}

void InputLine::RewritePointedText() {
  if (window_ == nullptr) return;
  const GridPane& p = window_->activePane();
  bool anchored = p.anchored;
  text_ = remembered_ + RangeTextWithFlags(p.selection, firstFlags_ | lastFlags_, anchored,
                                           window_->document().settings().pageHeight);
  if (text_.size() > kMaxText) text_.resize(kMaxText);
  caret_ = static_cast<int>(text_.size());
}

void InputLine::MoveCursor(Key key, KeyMods mods) {
  if (window_ == nullptr) return;
  if (pointing_ && window_->activePane().anchored) mods.shift = true;
  window_->HandleKey(key, mods);
}

void InputLine::CursorMoved() {
  if (pointing_) {
    RewritePointedText();
    return;
  }
  if (!open_) ShowCurrentCell();
}

bool InputLine::HandleKey(Key key, KeyMods mods) {
  bool arrow = key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down ||
               key == Key::Home;
  switch (key) {
    case Key::Enter:
      if (pointing_ && !prompt_) EndPointing();
      Accept();
      return true;
    case Key::Escape:
      Cancel();
      return true;
    case Key::F2:
      if (!open_) {
        open_ = true;
        ShowCurrentCell();
      }
      errorPending_ = true;
      UpdateMode();
      return true;
    case Key::F4:
      if (!pointing_ || window_ == nullptr) return false;
      session_.host().Beep();
      refMode_ = (refMode_ + 1) % 4;
      if (window_->activePane().anchored) lastFlags_ = CornerFlags(refMode_, true);
      else firstFlags_ = CornerFlags(refMode_, false);
      RewritePointedText();
      return true;
    case Key::F9: {
      if (!open_ || window_ == nullptr || text_.empty()) return false;
      TextResult r = Engine(session_).evaluator->EvaluateText(window_->document(), text_);
      if (r.error) {
        session_.host().Beep();
        return true;
      }
      text_ = r.isString ? r.text : NumberEditText(r.number, session_.settings().decimalChar);
      caret_ = static_cast<int>(text_.size());
      UpdateMode();
      return true;
    }
    case Key::Backspace:
    case Key::Delete:
      if (!open_) return false;
      if (pointing_) {
        // Rubs out the pointed address: the text is as it was before pointing.
        EndPointing();
        text_ = remembered_;
        caret_ = static_cast<int>(text_.size());
        UpdateMode();
        return true;
      }
      return EditKey(key);
    case Key::End:
      if (open_ && !pointing_ && (errorPending_ || (prompt_ && !promptFresh_))) return EditKey(key);
      return false;
    default: break;
  }
  if (!arrow) return false;
  if (prompt_ && !pointing_ && !promptFresh_ && (key == Key::Left || key == Key::Right)) {
    // The user is typing the range: arrows move within the text.
    return EditKey(key);
  }
  if (prompt_ || pointing_) {
    MoveCursor(key, mods);
    if (pointing_) RewritePointedText();
    else if (prompt_ && window_ != nullptr) {
      text_ = RangeText(window_->SelectionRange(), window_->document().settings().pageHeight);
      caret_ = static_cast<int>(text_.size());
      promptFresh_ = true;
    }
    return true;
  }
  if (!open_) {
    MoveCursor(key, mods);
    ShowCurrentCell();
    return true;
  }
  if (errorPending_) return EditKey(key);  // arrows move the caret within the text
  if (EndsWithOperator(text_.substr(0, caret_))) {
    StartPointing();
    MoveCursor(key, mods);
    RewritePointedText();
    return true;
  }
  if (!Accept()) return true;
  if (key == Key::Home) window_->MoveCursor(0, 0);
  else MoveCursor(key, {});
  ShowCurrentCell();
  return true;
}

}  // namespace tabulon
