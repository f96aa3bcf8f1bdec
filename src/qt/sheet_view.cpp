#include "qt/sheet_view.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "sheet/session.h"
#include "qt/main_window.h"
#include "qt/qt_canvas.h"

namespace tabulon {

// --- grid pane ---------------------------------------------------------------

GridPaneWidget::GridPaneWidget(SheetView& view, int paneIndex) : view_(view), pane_(paneIndex) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(0, 0);
}

int GridPaneWidget::HeaderHeight() const { return Zoomed(14, view_.main().zoom()) + 6; }
int GridPaneWidget::RowHeaderWidth() const { return Zoomed(40, view_.main().zoom()); }

std::vector<GridSlot> GridPaneWidget::Columns() const {
  int x = RowHeaderWidth();
  return VisibleColumns(view_.logic().pane(pane_), view_.document().metrics(),
                        view_.main().zoom(), x, std::max(1, width() - x));
}

std::vector<GridSlot> GridPaneWidget::Rows() const {
  int y = HeaderHeight();
  return VisibleRows(view_.logic().pane(pane_), view_.document().metrics(), view_.main().zoom(),
                     view_.logic().defaultRowHeight, y, std::max(1, height() - y));
}

bool GridPaneWidget::CellAt(QPoint p, int& row, int& col) const {
  row = col = -1;
  for (const GridSlot& c : Columns())
    if (p.x() >= c.pos && p.x() < c.pos + c.size) col = c.index;
  for (const GridSlot& r : Rows())
    if (p.y() >= r.pos && p.y() < r.pos + r.size) row = r.index;
  return row >= 0 && col >= 0;
}

void GridPaneWidget::paintEvent(QPaintEvent* e) {
  if (!view_.attached()) return;
  QPainter painter(this);
  QtCanvas canvas(painter);
  SheetDocument& doc = view_.document();
  PaintOptions options = view_.Options(pane_);
  const GridPane& pane = view_.logic().pane(pane_);
  RowPainter rp(canvas, doc, pane, options);
  int hh = HeaderHeight(), hw = RowHeaderWidth();
  std::vector<GridSlot> cols = Columns();
  std::vector<GridSlot> rows = Rows();
  QRect dirty = e->rect();
  // Whatever the cells do not cover: the sheet background.
  painter.fillRect(rect(), QtCanvas::ToColor(options.colours[kSchemeBackground] & 0xFFFFFF));
  if (dirty.top() < hh) rp.PaintColumnHeader(cols, 0, hh);
  if (dirty.left() < hw) rp.PaintRowHeader(rows, 0, hw);
  rp.PaintCorner({0, 0, hw, hh}, pane.cursor.row);
  for (const GridSlot& r : rows) {
    if (r.pos + r.size <= dirty.top() || r.pos >= dirty.bottom() + 1) continue;
    rp.PaintRow(r, cols);
  }
}

void GridPaneWidget::keyPressEvent(QKeyEvent* e) {
  if (!view_.attached()) return;
  view_.ActivatePane(pane_);
  view_.main().GridKey(e);
}

void GridPaneWidget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  view_.ActivatePane(pane_);
}

void GridPaneWidget::resizeEvent(QResizeEvent*) { view_.MeasureVisible(); }

void GridPaneWidget::mousePressEvent(QMouseEvent* e) {
  if (!view_.attached()) return;
  setFocus();
  view_.ActivatePane(pane_);
  QPoint p = e->position().toPoint();
  int zoom = view_.main().zoom();
  GridMetrics& m = view_.document().metrics();
  // A drag on a header boundary resizes that column or row.
  if (p.y() < HeaderHeight()) {
    for (const GridSlot& c : Columns()) {
      if (std::abs(p.x() - (c.pos + c.size)) <= 3) {
        drag_ = Drag::ColumnWidth;
        dragIndex_ = c.index;
        dragOrigin_ = c.pos;
        return;
      }
    }
  } else if (p.x() < RowHeaderWidth()) {
    for (const GridSlot& r : Rows()) {
      if (std::abs(p.y() - (r.pos + r.size)) <= 3) {
        drag_ = Drag::RowHeight;
        dragIndex_ = r.index;
        dragOrigin_ = r.pos;
        return;
      }
    }
  }
  (void)zoom;
  (void)m;
  int row, col;
  if (!CellAt(p, row, col)) {
    // A header click selects the cell at the start of that column or row.
    if (row >= 0 || col >= 0) {
      const GridPane& pane = view_.logic().activePane();
      view_.logic().MoveCursor(row >= 0 ? row : pane.cursor.row, col >= 0 ? col : pane.cursor.col,
                               e->modifiers() & Qt::ShiftModifier);
      view_.main().CursorMoved(view_);
    }
    return;
  }
  drag_ = Drag::Select;
  view_.logic().MoveCursor(row, col, e->modifiers() & Qt::ShiftModifier);
  view_.main().CursorMoved(view_);
}

void GridPaneWidget::mouseMoveEvent(QMouseEvent* e) {
  if (!view_.attached()) return;
  QPoint p = e->position().toPoint();
  int zoom = view_.main().zoom();
  GridMetrics& m = view_.document().metrics();
  switch (drag_) {
    case Drag::ColumnWidth: {
      int w = std::clamp((p.x() - dragOrigin_) * 100 / std::max(1, zoom), 0, 1000);
      m.SetColumnWidth(dragIndex_, static_cast<std::int16_t>(w));
      view_.document().settings().modified = true;
      view_.main().Repaint(&view_.document());
      return;
    }
    case Drag::RowHeight: {
      int h = std::clamp((p.y() - dragOrigin_) * 100 / std::max(1, zoom), 1, 500);
      m.SetRowHeight(dragIndex_, static_cast<std::int16_t>(h));
      view_.document().settings().modified = true;
      view_.main().Repaint(&view_.document());
      return;
    }
    case Drag::Select: {
      int row, col;
      if (!CellAt(p, row, col)) return;
      const GridPane& pane = view_.logic().activePane();
      if (pane.cursor.row == row && pane.cursor.col == col) return;
      view_.logic().MoveCursor(row, col, true);
      view_.main().CursorMoved(view_);
      return;
    }
    case Drag::None: {
      bool onColumnEdge = false, onRowEdge = false;
      if (p.y() < HeaderHeight())
        for (const GridSlot& c : Columns()) onColumnEdge |= std::abs(p.x() - (c.pos + c.size)) <= 3;
      if (p.x() < RowHeaderWidth())
        for (const GridSlot& r : Rows()) onRowEdge |= std::abs(p.y() - (r.pos + r.size)) <= 3;
      setCursor(onColumnEdge ? Qt::SplitHCursor : onRowEdge ? Qt::SplitVCursor : Qt::ArrowCursor);
      return;
    }
  }
}

void GridPaneWidget::mouseReleaseEvent(QMouseEvent*) {
  if (drag_ == Drag::ColumnWidth || drag_ == Drag::RowHeight) view_.MeasureVisible();
  drag_ = Drag::None;
}

void GridPaneWidget::wheelEvent(QWheelEvent* e) {
  if (!view_.attached()) return;
  GridPane& pane = view_.logic().pane(pane_);
  int steps = e->angleDelta().y() / 40;
  pane.topRow = std::clamp(pane.topRow - steps, 0, kRowCount - 1);
  if (view_.logic().synchronised) view_.logic().pane(1 - pane_).topRow = pane.topRow;
  view_.Refresh();
}

// --- sheet view --------------------------------------------------------------

SheetView::SheetView(MainWindow& main, SheetWindow& window) : main_(main), logic_(&window) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  for (int i = 0; i < 2; ++i) {
    panes_[i] = new GridPaneWidget(*this, i);
    splitter_->addWidget(panes_[i]);
    splitter_->setCollapsible(i, true);
  }
  splitter_->setHandleWidth(5);
  splitter_->setSizes({1, 0});  // pane 2 has no height until the window is split
  vbar_ = new QScrollBar(Qt::Vertical, this);
  vbar_->setRange(0, kRowCount - 1);
  middle->addWidget(splitter_, 1);
  middle->addWidget(vbar_);
  outer->addLayout(middle, 1);
  auto* bottom = new QHBoxLayout;
  tabs_ = new QTabBar(this);
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setDrawBase(false);
  tabs_->setFocusPolicy(Qt::NoFocus);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  hbar_->setRange(0, kColumnCount - 1);
  bottom->addWidget(tabs_);
  bottom->addWidget(hbar_, 1);
  outer->addLayout(bottom);
  SyncPages();

  connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (syncing_ || logic_ == nullptr) return;
    logic_->activePane().topRow = v;
    if (logic_->synchronised) logic_->otherPane().topRow = v;
    Refresh();
  });
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (syncing_ || logic_ == nullptr) return;
    int left = static_cast<int>(std::lround(static_cast<double>(v) / hbar_->maximum() * 255));
    logic_->activePane().leftCol = left;
    if (logic_->synchronised) logic_->otherPane().leftCol = left;
    Refresh();
  });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int t) {
    if (syncing_ || t < 0 || logic_ == nullptr) return;
    logic_->PickPage(t);
    main_.CursorMoved(*this);
  });
  connect(splitter_, &QSplitter::splitterMoved, this, [this] {
    if (logic_ == nullptr) return;
    bool split = splitter_->sizes().value(1) > 0;
    if (split != logic_->split()) logic_->SetSplit(split);
    MeasureVisible();
  });
  SetCaption();
}

void SheetView::SetCaption() {
  if (logic_ != nullptr) setWindowTitle(QString::fromStdString(logic_->caption));
}

PaintOptions SheetView::Options(int pane) const {
  PaintOptions o;
  o.zoom = main_.zoom();
  o.defaultFont = {logic_->document().extras().sheetFontName, logic_->defaultRowHeight,
                   logic_->document().extras().sheetFontStyle};
  const SheetDocument& doc = const_cast<SheetView*>(this)->document();
  o.colours = doc.extras().colours;
  o.fontNames = doc.extras().fontNames.empty() ? &main_.fontList() : &doc.extras().fontNames;
  o.windowActive = main_.activeSheet() == this && logic_->activeIndex() == pane;
  o.raised3d = logic_->pane(pane).raised3d && main_.config().raised3d;
  return o;
}

void SheetView::SyncPages() {
  syncing_ = true;
  int pages = logic_->pageCount();
  while (tabs_->count() > pages) tabs_->removeTab(tabs_->count() - 1);
  while (tabs_->count() < pages) tabs_->addTab(QString::fromStdString(ColumnLetters(tabs_->count())));
  tabs_->setVisible(pages > 1);
  tabs_->setCurrentIndex(logic_->CurrentPage());
  syncing_ = false;
}

void SheetView::Refresh() {
  if (logic_ == nullptr) return;
  syncing_ = true;
  vbar_->setValue(logic_->activePane().topRow);
  hbar_->setValue(logic_->activePane().leftCol);
  syncing_ = false;
  SyncPages();
  panes_[0]->update();
  panes_[1]->update();
}

void SheetView::MeasureVisible() {
  if (logic_ == nullptr) return;
  GridPaneWidget* g = activeGrid();
  int zoom = main_.zoom();
  const GridMetrics& m = document().metrics();
  const GridPane& p = logic_->activePane();
  int rows = 0, h = g->HeaderHeight();
  for (int r = p.topRow; r < kRowCount && h < g->height(); ++r, ++rows)
    h += Zoomed(RowPixelHeight(m, r, logic_->defaultRowHeight), zoom);
  int cols = 0, w = g->RowHeaderWidth();
  for (int c = p.leftCol; c < kColumnCount && w < g->width(); ++c, ++cols)
    w += Zoomed(m.columnWidths[c], zoom);
  // The last, partly visible row or column does not count.
  logic_->SetVisibleSize(std::max(1, rows - 1), std::max(1, cols - 1));
}

void SheetView::ApplySplit() {
  if (logic_ == nullptr) return;
  bool shown = splitter_->sizes().value(1) > 0;
  if (!logic_->split()) {
    if (shown) {
      splitter_->setSizes({1, 0});
      panes_[0]->setFocus();
    }
  } else {
    Qt::Orientation o = logic_->splitDirection == 2 ? Qt::Horizontal : Qt::Vertical;
    if (!shown || splitter_->orientation() != o) {
      splitter_->setOrientation(o);
      int total = o == Qt::Vertical ? splitter_->height() : splitter_->width();
      splitter_->setSizes({total / 2, total - total / 2});
    }
  }
  MeasureVisible();
  Refresh();
}

void SheetView::ActivatePane(int i) {
  if (logic_ == nullptr) return;
  if (logic_->activeIndex() != i && logic_->split()) {
    logic_->SwitchPanes();
    main_.CursorMoved(*this);
  }
}

void SheetView::closeEvent(QCloseEvent* e) {
  if (main_.CloseRequested(*this)) e->accept();
  else e->ignore();
}

}  // namespace tabulon
