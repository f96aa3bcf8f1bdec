// The worksheet window's widgets: grid panes with their headers, the split
// box, the page tab bar and the scroll bars. They hold no behaviour of
// their own: keys go to the main window, cursor and selection live in
// SheetWindow, painting goes through RowPainter.
#pragma once

#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QWidget>
#include <string>

#include "ui/row_painter.h"
#include "ui/sheet_window.h"

namespace tabulon {

class MainWindow;
class SheetView;

class GridPaneWidget : public QWidget {
  Q_OBJECT
 public:
  GridPaneWidget(SheetView& view, int paneIndex);
  int paneIndex() const { return pane_; }
  // The header sizes at the current zoom.
  int HeaderHeight() const;
  int RowHeaderWidth() const;
  // The cell under a point, or false outside the grid.
  bool CellAt(QPoint p, int& row, int& col) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a grid key

 private:
  std::vector<GridSlot> Columns() const;
  std::vector<GridSlot> Rows() const;
  SheetView& view_;
  int pane_;
  enum class Drag { None, Select, ColumnWidth, RowHeight } drag_ = Drag::None;
  int dragIndex_ = 0;
  int dragOrigin_ = 0;
};

class SheetView : public QWidget {
  Q_OBJECT
 public:
  // Shows the workspace's window; the window outlives the view until the
  // workspace closes it and detaches the view.
  SheetView(MainWindow& main, SheetWindow& window);

  bool attached() const { return logic_ != nullptr; }
  void Detach() { logic_ = nullptr; }
  SheetWindow& logic() { return *logic_; }
  const SheetWindow& logic() const { return *logic_; }
  SheetDocument& document() { return logic_->document(); }
  MainWindow& main() { return main_; }
  GridPaneWidget* pane(int i) { return panes_[i]; }
  GridPaneWidget* activeGrid() { return panes_[logic_ ? logic_->activeIndex() : 0]; }
  const std::string& caption() const { return logic_->caption; }
  bool untitled() const { return logic_->untitled; }
  // The window title from the workspace's caption.
  void SetCaption();

  PaintOptions Options(int pane) const;

  // After the cursor or the scroll position changed: scroll bars, page tab
  // and a repaint of both panes.
  void Refresh();
  // Divides the view as the window's split state says.
  void ApplySplit();
  void ActivatePane(int i);
  // The visible size of the active pane in whole rows and columns.
  void MeasureVisible();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void SyncPages();
  MainWindow& main_;
  SheetWindow* logic_;
  GridPaneWidget* panes_[2];
  QSplitter* splitter_;
  QTabBar* tabs_;
  QScrollBar* hbar_;
  QScrollBar* vbar_;
  bool syncing_ = false;
};

}  // namespace tabulon
