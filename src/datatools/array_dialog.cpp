#include "datatools/array_dialog.h"

#include "base/limits.h"
#include "platform/host.h"
#include "ui/block_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

int ClampPage(int page) { return page < 0 || page >= kArrayOperationCount ? 0 : page; }

// The name an edit goes by in its pointing prompt.
const char* EditName(int page, int edit) {
  if (ArrayDialog::editCount(page) == 3) {
    static const char* kNames[] = {"First", "Second", "Output"};
    return kNames[edit];
  }
  return edit == 0 ? "Input" : "Output";
}

}  // namespace

int ArrayDialog::editCount(int page) {
  return ClampPage(page) <= static_cast<int>(ArrayOperation::kMultiply) ? 3 : 2;
}

const char* ArrayDialog::EditCaption(int page, int edit) {
  if (editCount(page) == 3) {
    static const char* kCaptions[] = {"&First: ", "&Second: ", "O&utput: "};
    return edit >= 0 && edit < 3 ? kCaptions[edit] : "";
  }
  return edit == 0 ? "&Input: " : edit == 1 ? "O&utput: " : "";
}

void ArrayDialog::SetPage(int page) { page_ = ClampPage(page); }

std::string ArrayDialog::Caption() const {
  return std::string("ARRAY: ") + kArrayPageNames[static_cast<std::size_t>(page_)];
}

const std::string& ArrayDialog::text(int edit) const {
  static const std::string kNone;
  if (edit < 0 || edit >= editCount()) return kNone;
  return edits_[static_cast<std::size_t>(page_)][static_cast<std::size_t>(edit)];
}

void ArrayDialog::SetText(int edit, std::string_view text) {
  if (edit < 0 || edit >= editCount()) return;
  edits_[static_cast<std::size_t>(page_)][static_cast<std::size_t>(edit)].assign(
      text.substr(0, kMaxText));
}

void ArrayDialog::Open(Workspace& ws, int page) {
  SetPage(page);
  SheetWindow* w = ws.active();
  if (w == nullptr) return;
  openCursor_ = w->CursorCell();
  openSelection_ = w->SelectionRange();
  openPageHeight_ = w->document().settings().pageHeight;
  if (!firstShown_) {
    firstShown_ = true;
    if (openSelection_.IsDefined() && !openSelection_.IsSingleCell())
      SetText(0, RangeText(openSelection_, openPageHeight_));
  }
}

std::string ArrayDialog::PointingPrompt(int edit) const {
  // The caption's text after its colon, then the edit's name.
  return std::string(" ") + kArrayPageNames[static_cast<std::size_t>(page_)] + ": " +
         EditName(page_, edit) + " Range";
}

std::string ArrayDialog::PointingStart(int edit) const {
  const std::string& t = text(edit);
  if (!t.empty() || !openSelection_.IsDefined()) return t;
  return RangeText(openSelection_, openPageHeight_);
}

ArrayDialog::OkResult ArrayDialog::Ok(Workspace& ws) {
  OkResult result;
  SheetWindow* w = ws.active();
  if (w == nullptr) {
    result.outcome = Outcome::kFailed;
    return result;
  }
  CommandArgs args;
  for (int e = 0; e < editCount(); ++e) {
    if (text(e).empty() || !PromptRange(w->document(), text(e), w).IsDefined()) {
      ws.host().Beep();
      result.outcome = Outcome::kBadRange;
      result.badEdit = e;
      return result;
    }
    args.values.push_back(text(e));
  }
  const bool ok = ws.Execute(ArrayCommandId(static_cast<ArrayOperation>(page_)), args).ok();
  Cancel(ws);
  result.outcome = ok ? Outcome::kDone : Outcome::kFailed;
  return result;
}

void ArrayDialog::Cancel(Workspace& ws) {
  SheetWindow* w = ws.active();
  if (w == nullptr) return;
  w->MoveCursor(openCursor_.row, openCursor_.col);
  ws.input().CursorMoved();
  ws.AfterChange(false);
}

}  // namespace tabulon
