// The behaviour of a worksheet window without any toolkit: two grid panes
// with cursor, selection, anchoring and scroll position, End mode and its
// boundary search, the grid's key table, pages, frozen titles and the close
// query. The Qt widget forwards events here and paints from this state.
#pragma once

#include <cstdint>
#include <string>

#include "sheet/address.h"
#include "ui/keys.h"

namespace tabulon {

class SheetDocument;

// One pane of the grid.
struct GridPane {
  CellAddress cursor;        // current cell
  CellRange selection = CellRange::Cell(0, 0);
  bool anchored = false;     // a block is being extended from an anchor
  CellAddress anchor;
  int topRow = 0;            // scroll position
  int leftCol = 0;
  // Frozen titles: rows titleRowFirst..titleRowLast and columns
  // titleColFirst..titleColLast stay visible; -1 when there are none.
  int titleRowFirst = -1, titleRowLast = -1;
  int titleColFirst = -1, titleColLast = -1;
  unsigned gridLines = 3;    // bit 0 horizontal, bit 1 vertical, bit 2 dotted
  bool raised3d = true;
};

// What a key asks of the surrounding application once the window has done
// its own part.
enum class WindowAction {
  None,
  Handled,          // the window dealt with it (cursor moved, End toggled, ...)
  StartEntry,       // a character starts an entry in the input line
  EditCell,         // F2
  OpenMacroPrompt,  // F3
  CycleReference,   // F4 while pointing
  OpenGotoPrompt,   // F5
  NextWindow,       // F7
  Calculate,        // F9
  ListDependents,   // F11
  ShowGraph,        // F12
  Help,             // F1
  CommandMenu,      // "/"
  AnchorBlock,      // "." while pointing
};

// Boundary search of End + arrow from (row, col): the end of a run of
// filled cells, or the next filled cell after a gap; beyond the used area
// the sheet's edge.
CellAddress EndBoundary(const SheetDocument& doc, int row, int col, Key arrow);

class SheetWindow : public CursorSource {
 public:
  explicit SheetWindow(SheetDocument& doc);

  SheetDocument& document() { return doc_; }
  const SheetDocument& document() const { return doc_; }

  // The window's caption (the file name, or "SHEETn.WKS" for a new sheet)
  // and whether the sheet still needs a name before it can be saved.
  std::string caption;
  bool untitled = true;
  // The default row font height in pixels at 100% zoom.
  int defaultRowHeight = 12;
  GridPane& activePane() { return panes_[active_]; }
  const GridPane& activePane() const { return panes_[active_]; }
  GridPane& otherPane() { return panes_[1 - active_]; }
  GridPane& pane(int i) { return panes_[i]; }
  const GridPane& pane(int i) const { return panes_[i]; }
  int activeIndex() const { return active_; }

  // The cursor and selection of the active pane ("CURSOR" and "RANGE").
  CellAddress CursorCell() const override { return activePane().cursor; }
  CellRange SelectionRange() const override { return activePane().selection; }

  // Moves the cursor of the active pane (clamped to the sheet and kept out
  // of frozen titles). With `extend`, the first move anchors a block at the
  // old cursor and later moves extend it; otherwise the block collapses.
  void MoveCursor(int row, int col, bool extend = false);

  // The visible area in rows and columns, as the view measured it; used for
  // screenful moves and scrolling the cursor into view.
  void SetVisibleSize(int rows, int cols) {
    visibleRows_ = rows < 1 ? 1 : rows;
    visibleCols_ = cols < 1 ? 1 : cols;
  }
  int visibleRows() const { return visibleRows_; }
  int visibleCols() const { return visibleCols_; }

  // The grid's keys. `ch` is the character for Key::Character.
  WindowAction HandleKey(Key key, KeyMods mods, char ch = 0);

  bool endMode() const { return endMode_; }
  void SetEndMode(bool on) { endMode_ = on; }
  bool pointing() const { return pointing_; }
  void SetPointing(bool on) { pointing_ = on; }
  bool beepOnMove = false;

  // Panes.
  bool split() const { return split_; }
  void SetSplit(bool on);
  // How a split window is divided: 1 panes above each other, 2 side by side.
  int splitDirection = 1;
  bool synchronised = false;
  void SwitchPanes();  // F6

  // Pages: tab t moves to the same row within page t.
  int pageCount() const;
  void PickPage(int page);
  int CurrentPage() const;

  // Frozen titles at the cursor: mode 1 rows, 2 columns, 3 both, 0 clear.
  void SetTitles(int mode);

  // The close query: true when the window may close. Asks through the
  // session's host when the document is modified and this is its last window.
  enum class CloseDecision { Close, Cancel, SaveThenClose };
  CloseDecision QueryClose(const std::string& caption, bool lastWindow);

 private:
  void ScrollIntoView(GridPane& p);
  void Sync();

  SheetDocument& doc_;
  GridPane panes_[2];
  int active_ = 0;
  bool split_ = false;
  bool endMode_ = false;
  bool pointing_ = false;
  int visibleRows_ = 30;
  int visibleCols_ = 10;
};

}  // namespace tabulon
