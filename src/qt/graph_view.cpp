#include "qt/graph_view.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "graph/graph_image.h"
#include "platform/host.h"
#include "qt/graph_dialog_view.h"
#include "qt/qt_canvas.h"
#include "qt/qt_image_output.h"
#include "qt/text_codec.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

Point ToPoint(const QPoint& p) { return {p.x(), p.y()}; }

}  // namespace

GraphView::GraphView(SheetDocument& doc, Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(doc), host_(host) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setWindowTitle(QStringLiteral("Graph - ") + ToQt(doc.fileName()));
  resize(640, 480);
}

void GraphView::Redraw() {
  stale_ = true;
  update();
}

void GraphView::Render() {
  // The graph is drawn off-screen at the window's size and copied to the
  // screen, so the zoom rectangle can be drawn over it without redrawing.
  QSize size = this->size().expandedTo(QSize(1, 1));
  if (picture_.size() != size) picture_ = QImage(size, QImage::Format_RGB32);
  picture_.fill(Qt::white);
  QPainter painter(&picture_);
  painter.setRenderHint(QPainter::Antialiasing);
  QtCanvas canvas(painter);
  logic_.Paint(canvas, size.width(), size.height());
  stale_ = false;
}

void GraphView::paintEvent(QPaintEvent*) {
  if (stale_ || picture_.size() != size()) Render();
  QPainter p(this);
  p.drawImage(0, 0, picture_);
  if (logic_.zooming()) {
    Rect r = logic_.ZoomRectangle();
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.left, r.top, r.width() - 1, r.height() - 1);
  }
}

void GraphView::resizeEvent(QResizeEvent*) { stale_ = true; }

void GraphView::mousePressEvent(QMouseEvent* e) {
  Point p = ToPoint(e->position().toPoint());
  Qt::KeyboardModifiers mods = e->modifiers();
  if (mods & Qt::ControlModifier) {
    if (!logic_.BeginZoom(p)) host_.Beep();
    update();
    return;
  }
  if (e->button() == Qt::LeftButton && (mods & Qt::ShiftModifier)) {
    std::optional<GraphPageRequest> page = logic_.ShiftClick(p);
    if (!page) {
      host_.Beep();
      return;
    }
    OpenPage(page);
    return;
  }
  if (e->button() == Qt::RightButton) {
    logic_.SelectAt(p);
    ShowContextMenu(e->globalPosition().toPoint());
  }
}

void GraphView::mouseMoveEvent(QMouseEvent* e) {
  if (!logic_.zooming()) return;
  logic_.DragZoom(ToPoint(e->position().toPoint()));
  update();
}

void GraphView::mouseReleaseEvent(QMouseEvent* e) {
  if (!logic_.zooming()) return;
  if (e->button() == Qt::RightButton) {
    logic_.CancelZoom();
    update();
    ShowZoomMenu(e->globalPosition().toPoint());
    return;
  }
  if (logic_.EndZoom(ToPoint(e->position().toPoint()))) document().settings().modified = true;
  Redraw();
}

void GraphView::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta:
    case Qt::Key_AltGr:
      return;
    default: break;
  }
  KeyMods mods;
  mods.shift = e->modifiers() & Qt::ShiftModifier;
  mods.ctrl = e->modifiers() & Qt::ControlModifier;
  mods.alt = e->modifiers() & Qt::AltModifier;
  if (GraphWindow::KeyCloses(Key::Character, mods)) close();
}

void GraphView::OpenPage(const std::optional<GraphPageRequest>& page) {
  if (!page) {
    host_.Beep();
    return;
  }
  if (openSettings) openSettings(*page);
  else host_.Beep();
  Redraw();
}

void GraphView::ShowContextMenu(const QPoint& at) {
  QMenu menu(this);
  std::vector<std::string> captions = logic_.ContextMenuCaptions();
  for (std::size_t i = 0; i < captions.size(); ++i) {
    QAction* a = menu.addAction(ToQt(captions[i]));
    a->setData(static_cast<int>(i));
    if (i == 0 && logic_.selectedSeries() < 0) a->setEnabled(false);
    if (i == 0 || i == 7) menu.addSeparator();
  }
  QAction* chosen = menu.exec(at);
  if (chosen == nullptr) return;
  auto item = static_cast<GraphMenuItem>(chosen->data().toInt());
  switch (item) {
    case GraphMenuItem::SaveBitmap: SaveToFile(); break;
    case GraphMenuItem::CopyToClipboard: CopyToClipboard(); break;
    case GraphMenuItem::QuickPrint:
      if (quickPrint) quickPrint(document());
      else host_.Beep();
      break;
    default: OpenPage(logic_.PageFor(item)); break;
  }
}

void GraphView::ShowZoomMenu(const QPoint& at) {
  QMenu menu(this);
  for (int i = 0; i < 4; ++i) menu.addAction(ToQt(kGraphZoomCaptions[i]))->setData(i);
  QAction* chosen = menu.exec(at);
  if (chosen == nullptr) return;
  if (!logic_.Zoom(static_cast<GraphZoom>(chosen->data().toInt()))) host_.Beep();
  Redraw();
}

std::string GraphView::SaveToFile() {
  std::optional<std::string> name =
      host_.SaveFileName("Save Graph", GraphWindow::kSaveFilter, GraphWindow::kSaveName);
  if (!name || name->empty()) return {};
  std::string file = *name;
  std::optional<ImageFormat> format = ImageFormatOf(file);
  if (!format) {
    file += ".bmp";
    format = ImageFormat::Bmp;
  }
  if (showStatus) showStatus("Saving " + file);
  QtImageOutput images;
  std::string failure = WriteGraphImage(images, document(), -1, file, *format,
                                        std::max(1, width()), std::max(1, height()));
  if (!failure.empty()) {
    host_.Beep();
    host_.ShowMessage("Error:" + failure);
    return {};
  }
  return file;
}

void GraphView::CopyToClipboard() {
  if (stale_) Render();
  QGuiApplication::clipboard()->setImage(picture_);
}

void QtGraphViews::ShowGraphWindow(SheetDocument& doc, bool maximised, int closeAfterMs) {
  GraphView* view = nullptr;
  for (const QPointer<GraphView>& w : windows_)
    if (w && &w->document() == &doc) view = w;
  if (view == nullptr) {
    view = OpenGraphWindow(parent_, doc, host_, maximised, 0);
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [](const QPointer<GraphView>& w) { return w.isNull(); }),
                   windows_.end());
    windows_.push_back(view);
    view->quickPrint = quickPrint;
    view->showStatus = showStatus;
    view->openSettings = [this, view](GraphPageRequest page) {
      ShowGraphSettings(view->document(), page);
    };
  } else {
    if (maximised) view->showMaximized();
    else view->showNormal();
    view->Redraw();
  }
  view->raise();
  view->activateWindow();
  if (closeAfterMs > 0) {
    QPointer<GraphView> guard(view);
    QTimer::singleShot(closeAfterMs, view, [guard] {
      if (guard) guard->close();
    });
  }
}

void QtGraphViews::ShowGraphSettings(SheetDocument& doc, GraphPageRequest page) {
  CellRange start = selection ? selection() : CellRange{};
  RunGraphSettingsDialog(parent_, doc, host_, page, start);
  for (const QPointer<GraphView>& w : windows_)
    if (w && &w->document() == &doc) w->Redraw();
}

void QtGraphViews::DocumentClosing(SheetDocument& doc) {
  for (const QPointer<GraphView>& w : windows_)
    if (w && &w->document() == &doc) w->close();
}

GraphView* OpenGraphWindow(QWidget* parent, SheetDocument& doc, Host& host, bool maximised,
                           int closeAfterMs) {
  auto* view = new GraphView(doc, host, parent);
  if (maximised) view->showMaximized();
  else view->show();
  if (closeAfterMs > 0) {
    QPointer<GraphView> guard(view);
    QTimer::singleShot(closeAfterMs, view, [guard] {
      if (guard) guard->close();
    });
  }
  return view;
}

}  // namespace tabulon
