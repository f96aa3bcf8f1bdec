#include "qt/print_preview.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "print/print_preview.h"
#include "print/print_service.h"
#include "qt/qt_canvas.h"
#include "qt/text_codec.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

// The page picture: paints through the preview window.
class PictureWidget : public QWidget {
 public:
  PictureWidget(PrintPreviewView* view, QWidget* parent) : QWidget(parent), view_(view) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    view_->PaintPicture(p, parentWidget() != nullptr ? parentWidget()->size() : size());
  }

 private:
  PrintPreviewView* view_;
};

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

PrintPreviewView::PrintPreviewView(QWidget* parent, PrintService& service, const CellRange& range)
    : QDialog(parent), model_(std::make_unique<PrintPreview>(service, range)) {
  setWindowTitle(PrintPreview::kCaption);
  setObjectName("TPviewdlg");
  resize(720, 820);
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel("Page: ", this));
  page_ = new QLineEdit(this);
  page_->setMaximumWidth(50);
  bar->addWidget(page_);
  count_ = new QLabel(this);
  bar->addWidget(count_);
  auto* scaleLabel = new QLabel("&Text (%) ", this);
  scale_ = new QLineEdit(this);
  scale_->setMaximumWidth(50);
  scaleLabel->setBuddy(scale_);
  bar->addWidget(scaleLabel);
  bar->addWidget(scale_);
  auto button = [&](const char* caption, const char* hint) {
    auto* b = new QPushButton(caption, this);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    bar->addWidget(b);
    return b;
  };
  QPushButton* fit = button("Fit", "Resize to 1 Pg");
  QPushButton* zoomIn = button("Zoom In", "Zoom In");
  QPushButton* zoomOut = button("Zoom Out", "Zoom Out");
  QPushButton* reset = button("Reset Scale", "All");
  QPushButton* printPage = button("Print Current Page", "Print Current Page");
  QPushButton* printAll = button("Print All", "Print All");
  QPushButton* close = button("Close", "Exit Preview Mode");
  bar->addStretch();
  layout->addLayout(bar);
  scroll_ = new QScrollArea(this);
  scroll_->setBackgroundRole(QPalette::Dark);
  picture_ = new PictureWidget(this, scroll_);
  scroll_->setWidget(picture_);
  scroll_->viewport()->installEventFilter(this);
  layout->addWidget(scroll_, 1);

  auto show = [this](const Status& s) {
    if (!s.ok() && s.message().empty()) QApplication::beep();
  };
  connect(page_, &QLineEdit::returnPressed, this, [this, show] {
    show(model_->SetPageText(FromQt(page_->text())));
    Refresh();
  });
  connect(scale_, &QLineEdit::returnPressed, this, [this, show] {
    show(model_->SetScaleText(FromQt(scale_->text())));
    Refresh();
  });
  connect(fit, &QPushButton::clicked, this, [this] {
    model_->Fit();
    Refresh();
  });
  connect(zoomIn, &QPushButton::clicked, this, [this] {
    model_->ZoomIn();
    Refresh();
  });
  connect(zoomOut, &QPushButton::clicked, this, [this] {
    model_->ZoomOut();
    Refresh();
  });
  connect(reset, &QPushButton::clicked, this, [this] {
    model_->ResetZoom();
    Refresh();
  });
  connect(printPage, &QPushButton::clicked, this, [this, &service] {
    Status s = model_->PrintCurrentPage();
    if (!s.ok()) service.workspace().Show(s);
  });
  connect(printAll, &QPushButton::clicked, this, [this, &service] {
    Status s = model_->PrintAll();
    if (!s.ok()) service.workspace().Show(s);
  });
  connect(close, &QPushButton::clicked, this, [this] { accept(); });
  Refresh();
}

PrintPreviewView::~PrintPreviewView() = default;

void PrintPreviewView::Refresh() {
  page_->setText(QString::number(model_->page()));
  count_->setText("of " + QString::number(model_->pageCount()));
  scale_->setText(ToQt(model_->ScaleText()));
  Layout();
  picture_->update();
}

void PrintPreviewView::Layout() {
  QSize room = scroll_->viewport()->size();
  PreviewPicture p = model_->Picture(room.width(), room.height());
  int w = std::max(room.width(), p.shadowRight.right + 8);
  int h = std::max(room.height(), p.shadowBottom.bottom + 8);
  picture_->resize(w, h);
}

bool PrintPreviewView::eventFilter(QObject* obj, QEvent* e) {
  // The picture is laid out for the room the scroll area's viewport has.
  if (obj == scroll_->viewport() && e->type() == QEvent::Resize) Layout();
  return QDialog::eventFilter(obj, e);
}

void PrintPreviewView::PaintPicture(QPainter& painter, QSize room) {
  PreviewPicture p = model_->Picture(room.width(), room.height());
  painter.fillRect(QRect(0, 0, painter.device()->width(), painter.device()->height()),
                   QColor(128, 128, 128));
  painter.fillRect(ToQRect(p.shadowRight), Qt::black);
  painter.fillRect(ToQRect(p.shadowBottom), Qt::black);
  painter.fillRect(ToQRect(p.page), Qt::white);
  if (!model_->error().empty()) {
    painter.drawText(ToQRect(p.inner), Qt::AlignCenter, ToQt(model_->error()));
    return;
  }
  if (model_->pageWidth() <= 0 || model_->pageHeight() <= 0) return;
  painter.save();
  painter.setClipRect(ToQRect(p.inner));
  painter.translate(p.inner.left, p.inner.top);
  painter.scale(static_cast<double>(p.inner.width()) / model_->pageWidth(),
                static_cast<double>(p.inner.height()) / model_->pageHeight());
  QtCanvas canvas(painter);
  model_->DrawPage(canvas);
  painter.restore();
}

}  // namespace tabulon
