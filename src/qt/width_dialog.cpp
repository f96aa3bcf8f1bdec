#include "qt/width_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "qt/text_codec.h"

namespace tabulon {

namespace {

QString NumberText(double x) { return QString::number(x, 'g', 10); }

}  // namespace

WidthDialogView::WidthDialogView(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Set  Width or Height");
  setObjectName("TWideform");
  setWindowModality(Qt::ApplicationModal);
  auto* top = new QVBoxLayout(this);
  auto* rangeRow = new QFormLayout;
  range_ = new QLineEdit(this);
  range_->installEventFilter(this);
  rangeRow->addRow("R&ange: ", range_);
  top->addLayout(rangeRow);
  tabs_ = new QTabBar(this);
  tabs_->addTab("&Column");
  tabs_->addTab("&Row");
  top->addWidget(tabs_);
  pages_ = new QStackedWidget(this);
  top->addWidget(pages_);
  connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);

  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  width_ = NumberField(page, WidthDialog::kWidthPage);
  skipColumns_ = NumberField(page, WidthDialog::kWidthPage);
  resetWidth_ = new QCheckBox(page);
  globalWidth_ = new QCheckBox(page);
  form->addRow("&Width: ", width_);
  form->addRow("&Skip Columns: ", skipColumns_);
  form->addRow("R&eset:", resetWidth_);
  form->addRow("&Global:", globalWidth_);
  pages_->addWidget(page);
  page = new QWidget;
  form = new QFormLayout(page);
  height_ = NumberField(page, WidthDialog::kHeightPage);
  skipRows_ = NumberField(page, WidthDialog::kHeightPage);
  resetHeight_ = new QCheckBox(page);
  globalHeight_ = new QCheckBox(page);
  form->addRow("&Height: ", height_);
  form->addRow("&Skip Rows: ", skipRows_);
  form->addRow("&Reset:", resetHeight_);
  form->addRow("&Global:", globalHeight_);
  pages_->addWidget(page);
  connect(resetWidth_, &QCheckBox::clicked, this, [this](bool on) { logic_.SetResetWidth(on); });
  connect(globalWidth_, &QCheckBox::clicked, this, [this](bool on) { logic_.SetGlobalWidth(on); });
  connect(resetHeight_, &QCheckBox::clicked, this, [this](bool on) { logic_.SetResetHeight(on); });
  connect(globalHeight_, &QCheckBox::clicked, this,
          [this](bool on) { logic_.SetGlobalHeight(on); });

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  top->addWidget(buttons);
  connect(ok, &QPushButton::clicked, this, [this] { Accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

QLineEdit* WidthDialogView::NumberField(QWidget* page, unsigned pageBit) {
  auto* f = new QLineEdit(page);
  connect(f, &QLineEdit::textEdited, this, [this, pageBit] { logic_.Touch(pageBit); });
  connect(f, &QLineEdit::editingFinished, this, [this, f] {
    if (!loading_ && isVisible()) CommitField(f);
  });
  return f;
}

bool WidthDialogView::CommitField(QLineEdit* field) {
  // A field the user did not edit still holds the dialog's own value.
  if (doc_ == nullptr || !field->isModified()) return true;
  std::optional<double> x = EvaluateNumberField(*doc_, FromQt(field->text()));
  if (!x) {
    QApplication::beep();
    field->setFocus();
    field->selectAll();
    return false;
  }
  if (field == width_) logic_.SetWidth(*x);
  else if (field == skipColumns_) logic_.SetSkipColumns(*x);
  else if (field == height_) logic_.SetHeight(*x);
  else if (field == skipRows_) logic_.SetSkipRows(*x);
  loading_ = true;
  field->setText(NumberText(*x));  // also clears the modified mark
  loading_ = false;
  return true;
}

void WidthDialogView::OpenOn(bool rows, SheetDocument& doc, const CursorSource& cursor,
                             const CellRange& selection, int windowRowHeight) {
  doc_ = &doc;
  cursor_ = &cursor;
  logic_.Activate(doc, selection, windowRowHeight);
  LoadFields();
  tabs_->setCurrentIndex(rows ? 1 : 0);
  show();
  raise();
  activateWindow();
  (rows ? height_ : width_)->setFocus();
}

void WidthDialogView::LoadFields() {
  loading_ = true;
  range_->setText(ToQt(logic_.rangeText()));
  width_->setText(NumberText(logic_.width()));
  skipColumns_->setText(NumberText(logic_.skipColumns()));
  height_->setText(NumberText(logic_.height()));
  skipRows_->setText(NumberText(logic_.skipRows()));
  resetWidth_->setChecked(logic_.resetWidth());
  resetHeight_->setChecked(logic_.resetHeight());
  globalWidth_->setChecked(false);
  globalHeight_->setChecked(false);
  loading_ = false;
}

void WidthDialogView::SetRangeText(const std::string& text) {
  range_->setText(ToQt(text));
  show();
  raise();
  range_->setFocus();
}

bool WidthDialogView::Accept() {
  if (doc_ == nullptr) return false;
  for (QLineEdit* f : {width_, skipColumns_, height_, skipRows_})
    if (!CommitField(f)) return false;
  logic_.SetRangeText(FromQt(range_->text()));
  switch (logic_.Apply(*doc_, cursor_)) {
    case WidthDialog::Outcome::kApplied:
      accept();
      emit applied();
      return true;
    case WidthDialog::Outcome::kBadRange: range_->setFocus(); break;
    case WidthDialog::Outcome::kBadWidth:
      tabs_->setCurrentIndex(0);
      width_->setFocus();
      break;
    case WidthDialog::Outcome::kBadHeight:
      tabs_->setCurrentIndex(1);
      height_->setFocus();
      break;
  }
  QApplication::beep();
  return false;
}

bool WidthDialogView::eventFilter(QObject* obj, QEvent* e) {
  if (obj == range_ && e->type() == QEvent::MouseButtonDblClick) {
    hide();
    emit rangePromptRequested(range_->text());
    return true;
  }
  return QDialog::eventFilter(obj, e);
}

}  // namespace tabulon
