#include "qt/array_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/text_codec.h"
#include "ui/workspace.h"

namespace tabulon {

ArrayDialogView::ArrayDialogView(QWidget* parent) : QDialog(parent) {
  setObjectName("ArrayDialog");
  // Like the data-tools dialog, the main window waits while it is shown; it
  // hides itself while a range is pointed out on the sheet.
  setWindowModality(Qt::ApplicationModal);
  auto* top = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  for (const char* name : kArrayPageNames) tabs_->addTab(name);
  top->addWidget(tabs_);
  auto* form = new QFormLayout;
  top->addLayout(form);
  for (int e = 0; e < ArrayDialog::kMaxEdits; ++e) {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto* field = new QLineEdit(row);
    auto* point = new QToolButton(row);
    point->setText("...");
    point->setFocusPolicy(Qt::NoFocus);
    h->addWidget(field);
    h->addWidget(point);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, e](const QString& text) {
      if (!loading_) logic_.SetText(e, FromQt(text));
    });
    connect(point, &QToolButton::clicked, this, [this, e] { Point(e); });
    auto* label = new QLabel(this);
    label->setBuddy(field);
    form->addRow(label, row);
    edits_[static_cast<std::size_t>(e)] = field;
    labels_[static_cast<std::size_t>(e)] = label;
    rows_[static_cast<std::size_t>(e)] = row;
  }
  auto* bottom = new QHBoxLayout;
  ok_ = new QPushButton("&Ok", this);
  auto* cancel = new QPushButton("&Cancel", this);
  ok_->setDefault(true);
  bottom->addStretch();
  bottom->addWidget(ok_);
  bottom->addWidget(cancel);
  top->addLayout(bottom);
  connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int i) { ShowPage(i); });
}

void ArrayDialogView::ShowPage(int page) {
  if (page < 0 || page >= kArrayOperationCount) return;
  logic_.SetPage(page);
  loading_ = true;
  for (int e = 0; e < ArrayDialog::kMaxEdits; ++e) {
    const bool shown = e < logic_.editCount();
    labels_[static_cast<std::size_t>(e)]->setVisible(shown);
    rows_[static_cast<std::size_t>(e)]->setVisible(shown);
    labels_[static_cast<std::size_t>(e)]->setText(ArrayDialog::EditCaption(page, e));
    edits_[static_cast<std::size_t>(e)]->setText(ToQt(logic_.text(e)));
  }
  loading_ = false;
  setWindowTitle(ToQt(logic_.Caption()));
}

void ArrayDialogView::OpenOn(int page, Workspace& ws) {
  if (ws.active() == nullptr) return;
  ws_ = &ws;
  page = std::clamp(page, 0, kArrayOperationCount - 1);
  logic_.Open(ws, page);
  tabs_->setCurrentIndex(page);
  ShowPage(page);
  show();
  raise();
  activateWindow();
  edit(0)->setFocus();
}

void ArrayDialogView::Point(int e) {
  pointing_ = e;
  hide();
  emit rangePromptRequested(ToQt(logic_.PointingPrompt(e)), ToQt(logic_.PointingStart(e)));
}

void ArrayDialogView::SetRangeText(const std::string& text) {
  logic_.SetText(pointing_, text);
  edit(pointing_)->setText(ToQt(text));
  show();
  raise();
  edit(pointing_)->setFocus();
}

bool ArrayDialogView::Accept() {
  if (ws_ == nullptr) return false;
  ArrayDialog::OkResult r = logic_.Ok(*ws_);
  if (r.outcome == ArrayDialog::Outcome::kBadRange) {
    edit(r.badEdit)->setFocus();
    edit(r.badEdit)->selectAll();
    return false;
  }
  hide();
  return true;
}

void ArrayDialogView::Cancel() {
  hide();
  if (ws_ != nullptr) logic_.Cancel(*ws_);
}

void ArrayDialogView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool ArrayDialogView::eventFilter(QObject* obj, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i < ArrayDialog::kMaxEdits; ++i) {
      if (obj == edits_[static_cast<std::size_t>(i)]) {
        Point(i);
        return true;
      }
    }
  }
  return QDialog::eventFilter(obj, e);
}

}  // namespace tabulon
