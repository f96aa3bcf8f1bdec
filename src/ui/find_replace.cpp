#include "ui/find_replace.h"

#include <algorithm>

#include "base/limits.h"
#include "base/text.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/host.h"
#include "sheet/session.h"
#include "ui/sheet_window.h"

namespace tabulon {

void FindReplace::SetFindText(const std::string& text) {
  std::string t = text.substr(0, kMaxFindText);
  if (t != findText_) restart_ = true;
  findText_ = t;
}

void FindReplace::SetReplaceText(const std::string& text) {
  std::string t = text.substr(0, kMaxFindText);
  if (t != replaceText_) restart_ = true;
  replaceText_ = t;
}

void FindReplace::Activate(const SheetWindow& window) {
  scope_ = window.SelectionRange();
  selectedOnly = !scope_.IsSingleCell();
}

void FindReplace::RememberFindText() {
  if (findText_.empty()) return;
  history_.erase(std::remove(history_.begin(), history_.end(), findText_), history_.end());
  if (history_.size() >= kHistorySize) history_.resize(kHistorySize - 1);
  history_.insert(history_.begin(), findText_);
}

std::string FindReplace::ScopeText(int pageHeight) const { return RangeText(scope_, pageHeight); }

std::string FindReplace::Key(const std::string& text) const {
  return caseInsensitive ? UpperCase(text) : text;
}

Status FindReplace::Find(SheetWindow& window) {
  stopAtMatch_ = true;
  mode_ = 1;
  Status s = Run(window);
  if (found_) {
    ++col_;  // the next Find continues after this cell
    offset_ = 0;
  }
  return s;
}

Status FindReplace::Replace(SheetWindow& window) {
  mode_ = 2;
  stopAtMatch_ = true;
  if (UpperCase(replaceText_).find(UpperCase(findText_)) != std::string::npos)
    return Status::Error("Circular Replace Detected");
  if (found_ && !restart_) {
    // The cell found last, then on from the cell after it.
    int row = row_, col = col_;
    row_ = foundRow_;
    col_ = foundCol_;
    offset_ = 0;
    ReplaceStep(window);
    row_ = row;
    col_ = col;
    offset_ = 0;
  }
  return Run(window);
}

Status FindReplace::ReplaceAll(SheetWindow& window) {
  count_ = 0;
  refused_ = 0;
  stopAtMatch_ = false;
  Status s = Run(window);
  result_ = std::to_string(count_) + " occurances!";
  if (refused_ > 0) result_ += " (" + std::to_string(refused_) + " refused)";
  return s;
}

Status FindReplace::Run(SheetWindow& window) {
  if (findText_.empty()) return Status::Beep();
  if (mode_ == 2 && UpperCase(replaceText_).find(UpperCase(findText_)) != std::string::npos &&
      stopAtMatch_)
    return Status::Error("Circular Replace Detected");
  const CellStore& cells = window.document().cells();
  if (restart_) {
    if (!selectedOnly) scope_ = CellRange::Of(0, 0, cells.maxRow(), cells.maxCol());
    row_ = scope_.Top();
    col_ = scope_.Left();
    offset_ = 0;
    restart_ = false;
    if (stopAtMatch_) count_ = 0;
  }
  found_ = false;
  while (Scan(window)) {
    if (stopAtMatch_) {
      found_ = true;
      foundRow_ = row_;
      foundCol_ = col_;
      window.MoveCursor(row_, col_);
      return Status::Ok();
    }
    if (!ReplaceStep(window)) {
      ++col_;
      offset_ = 0;
    }
  }
  result_ = std::to_string(count_) + " Occurances.";
  restart_ = true;
  return Status::Beep();
}

bool FindReplace::Scan(SheetWindow& window) {
  SheetDocument& doc = window.document();
  const CellStore& cells = doc.cells();
  std::string key = Key(findText_);
  int lastRow = std::min(scope_.Bottom(), cells.maxRow());
  for (; row_ <= lastRow; ++row_, col_ = scope_.Left(), offset_ = 0) {
    for (CellId id : cells.Row(row_)) {
      const CellRecord& rec = cells.At(id);
      if (rec.col < col_) continue;
      if (rec.col > scope_.Right()) break;
      std::string text = CellEditText(doc, &rec);
      std::string match = Key(text);
      std::size_t from = rec.col == col_ ? offset_ : 0;
      if (from > match.size() || match.find(key, from) == std::string::npos) continue;
      if (rec.col != col_) offset_ = 0;
      col_ = rec.col;
      cellText_ = text;
      result_ = ShortAddressText(row_, col_, doc.settings().pageHeight) + "]" + text;
      return true;
    }
  }
  return false;
}

bool FindReplace::ReplaceStep(SheetWindow& window) {
  SheetDocument& doc = window.document();
  std::string text = CellEditText(doc, doc.cells().FindCell(row_, col_));
  std::size_t at = Key(text).find(Key(findText_), offset_);
  if (at == std::string::npos || findText_.empty()) return false;
  std::string changed = text.substr(0, at) + replaceText_ + text.substr(at + findText_.size());
  // Later occurrences are looked for after the inserted text, so the
  // replacement itself is never searched again.
  offset_ = at + replaceText_.size();
  if (changed.size() > kMaxText) {
    ++refused_;
    offset_ = at + findText_.size();
    return true;
  }
  if (EnterCell(doc, changed, row_, col_).ok) {
    ++count_;
    std::string now = CellEditText(doc, doc.cells().FindCell(row_, col_));
    // A formula comes back regenerated and may differ from the text typed;
    // the rest of such a cell is not searched again.
    if (now != changed) offset_ = now.size();
  } else {
    ++refused_;
    doc.session().errors().Clear();
    offset_ = at + findText_.size();
  }
  return true;
}

}  // namespace tabulon
