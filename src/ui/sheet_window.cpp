#include "ui/sheet_window.h"

#include <algorithm>

#include "sheet/session.h"
#include "platform/host.h"

namespace tabulon {

namespace {

bool Filled(const SheetDocument& doc, int row, int col) {
  const CellRecord* c = doc.cells().FindCell(row, col);
  return c != nullptr && c->Kind() != kEmpty;
}

// The forward search (Right along a row, Down along a column).
int SearchForward(int from, int limit, int used, auto&& filled) {
  int x = std::min(from + 1, limit);
  bool startFilled = filled(x);
  bool moved = false;
  while (x <= used && filled(x) == startFilled) {
    ++x;
    moved = true;
  }
  if (startFilled && moved) --x;
  return x > used ? limit : x;
}

// The backward search (Left along a row).
int SearchBackward(int from, int used, auto&& filled) {
  int x = std::max(from - 1, 0);
  if (x > used) x = used + 1;
  bool startFilled = filled(x);
  bool moved = false;
  while (x >= 0 && filled(x) == startFilled) {
    --x;
    moved = true;
  }
  if (startFilled && moved) ++x;
  return std::max(x, 0);
}

}  // namespace

CellAddress EndBoundary(const SheetDocument& doc, int row, int col, Key arrow) {
  const CellStore& cells = doc.cells();
  auto inRow = [&](int c) { return c >= 0 && c < kColumnCount && Filled(doc, row, c); };
  auto inCol = [&](int r) { return r >= 0 && r < kRowCount && Filled(doc, r, col); };
  CellAddress a{static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)};
  switch (arrow) {
    case Key::Right:
      a.col = static_cast<std::int16_t>(SearchForward(col, kColumnCount - 1, cells.maxCol(), inRow));
      break;
    case Key::Down:
      a.row = static_cast<std::int16_t>(SearchForward(row, kRowCount - 1, cells.maxRow(), inCol));
      break;
    case Key::Left:
      a.col = static_cast<std::int16_t>(SearchBackward(col, cells.maxCol(), inRow));
      break;
    case Key::Up: {
      int y = std::max(row - 1, 0);
      if (y > cells.maxRow()) y = cells.maxRow() + 1;
      bool startFilled = inCol(y);
      while (y > 0 && inCol(y) == startFilled) --y;
      // Coming from a filled run, the search stops one row past its top;
      // step back onto it (also when the run begins right below row 1).
      if (startFilled && inCol(y) != startFilled) ++y;
      a.row = static_cast<std::int16_t>(y);
      break;
    }
    default: break;
  }
  return a;
}

SheetWindow::SheetWindow(SheetDocument& doc) : doc_(doc) {}

void SheetWindow::MoveCursor(int row, int col, bool extend) {
  GridPane& p = activePane();
  row = std::clamp(row, 0, kRowCount - 1);
  col = std::clamp(col, 0, kColumnCount - 1);
  if (p.titleRowLast >= 0 && row <= p.titleRowLast) row = p.titleRowLast + 1;
  if (p.titleColLast >= 0 && col <= p.titleColLast) col = p.titleColLast + 1;
  row = std::min(row, kRowCount - 1);
  col = std::min(col, kColumnCount - 1);
  if (extend) {
    if (!p.anchored) {
      p.anchored = true;
      p.anchor = p.cursor;
    }
  } else {
    p.anchored = false;
  }
  p.cursor = {static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)};
  if (p.anchored) p.selection = CellRange::Of(p.anchor.row, p.anchor.col, row, col);
  else p.selection = CellRange::Cell(row, col);
  if (beepOnMove) doc_.session().host().Beep();
  ScrollIntoView(p);
  Sync();
}

void SheetWindow::ScrollIntoView(GridPane& p) {
  if (p.cursor.row < p.topRow) p.topRow = p.cursor.row;
  else if (p.cursor.row >= p.topRow + visibleRows_) p.topRow = p.cursor.row - visibleRows_ + 1;
  if (p.cursor.col < p.leftCol) p.leftCol = p.cursor.col;
  else if (p.cursor.col >= p.leftCol + visibleCols_) p.leftCol = p.cursor.col - visibleCols_ + 1;
  p.topRow = std::clamp(p.topRow, 0, kRowCount - 1);
  p.leftCol = std::clamp(p.leftCol, 0, kColumnCount - 1);
}

void SheetWindow::Sync() {
  if (!synchronised) return;
  GridPane& other = otherPane();
  other.topRow = activePane().topRow;
  other.leftCol = activePane().leftCol;
}

int SheetWindow::pageCount() const {
  const SheetSettings& s = doc_.settings();
  return s.UsesPages() ? kRowCount / s.pageHeight : 1;
}

int SheetWindow::CurrentPage() const {
  const SheetSettings& s = doc_.settings();
  return s.UsesPages() ? CursorCell().row / s.pageHeight : 0;
}

void SheetWindow::PickPage(int page) {
  const SheetSettings& s = doc_.settings();
  if (!s.UsesPages() || page < 0 || page >= pageCount()) return;
  CellAddress c = CursorCell();
  MoveCursor(page * s.pageHeight + c.row % s.pageHeight, c.col);
}

void SheetWindow::SetSplit(bool on) {
  split_ = on;
  if (!on) active_ = 0;
}

void SheetWindow::SwitchPanes() {
  if (split_) active_ = 1 - active_;
  else std::swap(panes_[0], panes_[1]);
}

void SheetWindow::SetTitles(int mode) {
  GridPane& p = activePane();
  p.titleRowFirst = p.titleRowLast = p.titleColFirst = p.titleColLast = -1;
  if ((mode & 1) && p.cursor.row > p.topRow) {
    p.titleRowFirst = p.topRow;
    p.titleRowLast = p.cursor.row - 1;
  }
  if ((mode & 2) && p.cursor.col > p.leftCol) {
    p.titleColFirst = p.leftCol;
    p.titleColLast = p.cursor.col - 1;
  }
}

WindowAction SheetWindow::HandleKey(Key key, KeyMods mods, char ch) {
  GridPane& p = activePane();
  int row = p.cursor.row, col = p.cursor.col;
  bool arrow = key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down;
  if (endMode_ && (arrow || key == Key::Home)) {
    endMode_ = false;
    if (key == Key::Home) {
      MoveCursor(doc_.cells().maxRow(), doc_.cells().maxCol(), mods.shift);
    } else {
      CellAddress a = EndBoundary(doc_, row, col, key);
      MoveCursor(a.row, a.col, mods.shift);
    }
    return WindowAction::Handled;
  }
  int pageRows = doc_.settings().UsesPages() ? doc_.settings().pageHeight : kRowCount;
  switch (key) {
    case Key::End:
      endMode_ = !endMode_;
      return WindowAction::Handled;
    case Key::Left:
      MoveCursor(row, col - (mods.ctrl ? visibleCols_ : 1), mods.shift);
      return WindowAction::Handled;
    case Key::Right:
      MoveCursor(row, col + (mods.ctrl ? visibleCols_ : 1), mods.shift);
      return WindowAction::Handled;
    case Key::Up:
      MoveCursor(row - 1, col, mods.shift);
      return WindowAction::Handled;
    case Key::Down:
      MoveCursor(row + 1, col, mods.shift);
      return WindowAction::Handled;
    case Key::PageUp:
      MoveCursor(row - (mods.ctrl ? pageRows : visibleRows_), col, mods.shift);
      return WindowAction::Handled;
    case Key::PageDown:
      MoveCursor(row + (mods.ctrl ? pageRows : visibleRows_), col, mods.shift);
      return WindowAction::Handled;
    case Key::Home:
      MoveCursor(0, 0, mods.shift);
      return WindowAction::Handled;
    case Key::Tab:
      MoveCursor(row, col + (mods.shift ? -visibleCols_ : visibleCols_));
      return WindowAction::Handled;
    case Key::Enter:
      if (pointing_) pointing_ = false;
      return WindowAction::Handled;
    case Key::Escape:
      if (pointing_) pointing_ = false;
      return WindowAction::Handled;
    case Key::F1:
      doc_.session().host().Beep();
      return WindowAction::Help;
    case Key::F2: return WindowAction::EditCell;
    case Key::F3: return WindowAction::OpenMacroPrompt;
    case Key::F4:
      doc_.session().host().Beep();
      return WindowAction::CycleReference;
    case Key::F5: return WindowAction::OpenGotoPrompt;
    case Key::F6:
      if (mods.shift) {
        beepOnMove = !beepOnMove;
        doc_.session().host().Beep();
      }
      SwitchPanes();
      return WindowAction::Handled;
    case Key::F7: return WindowAction::NextWindow;
    case Key::F8:
      if (p.titleRowLast >= 0 || p.titleColLast >= 0) SetTitles(0);
      else SetTitles(3);
      return WindowAction::Handled;
    case Key::F9: return WindowAction::Calculate;
    case Key::F11: return WindowAction::ListDependents;
    case Key::F10:
    case Key::F12: return WindowAction::ShowGraph;
    case Key::Character:
      if (ch == '\t' || ch == 27) return WindowAction::None;
      if (ch == '.' && pointing_) {
        p.anchored = true;
        p.anchor = p.cursor;
        p.selection = CellRange::Cell(row, col);
        return WindowAction::AnchorBlock;
      }
      if (ch == '/') return WindowAction::CommandMenu;
      if (static_cast<unsigned char>(ch) >= 32) return WindowAction::StartEntry;
      return WindowAction::None;
    default: return WindowAction::None;
  }
}

SheetWindow::CloseDecision SheetWindow::QueryClose(const std::string& caption, bool lastWindow) {
  if (!lastWindow || !doc_.settings().modified) return CloseDecision::Close;
  std::string text = "Save Worksheet \n" + caption + "?";
  switch (doc_.session().host().AskYesNoCancel("TABULON", text)) {
    case Answer::Yes: return CloseDecision::SaveThenClose;
    case Answer::No: return CloseDecision::Close;
    case Answer::Cancel: return CloseDecision::Cancel;
  }
  return CloseDecision::Cancel;
}

}  // namespace tabulon
