#include "qt/names_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/text_codec.h"

namespace tabulon {

NamesDialogView::NamesDialogView(QWidget* parent, Workspace& ws) : QDialog(parent), model_(ws) {
  setWindowTitle("Names");
  setObjectName("TNameDlg");
  auto* top = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* form = new QFormLayout;
  name_ = new QLineEdit(this);
  name_->setMaxLength(12);
  range_ = new QLineEdit(this);
  form->addRow("&Name:", name_);
  form->addRow("&Range:", range_);
  left->addLayout(form);
  list_ = new QListWidget(this);
  list_->setFont(QFont("Monospace"));
  left->addWidget(list_, 1);
  total_ = new QLabel(this);
  left->addWidget(total_);
  top->addLayout(left, 1);

  auto* buttons = new QVBoxLayout;
  auto button = [&](const char* caption, auto action) {
    auto* b = new QPushButton(caption, this);
    buttons->addWidget(b);
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  button("&Create", [this] {
    Take();
    model_.Create();
    Show();
  })->setDefault(true);
  button("&Delete", [this] {
    Take();
    model_.Delete();
    Show();
  });
  button("R&eset", [this] {
    model_.Reset();
    Show();
  });
  button("&Build", [this] {
    hide();
    model_.Build();
  });
  button("&Table", [this] {
    hide();
    model_.Table();
  });
  buttons->addStretch(1);
  button("Close", [this] { accept(); });
  top->addLayout(buttons);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    model_.Choose(row);
    name_->setText(ToQt(model_.name));
    range_->setText(ToQt(model_.range));
  });
  resize(380, 300);
}

void NamesDialogView::Open() {
  model_.Activate();
  Show();
  show();
  raise();
  name_->setFocus();
}

void NamesDialogView::Take() {
  model_.name = FromQt(name_->text());
  model_.range = FromQt(range_->text());
}

void NamesDialogView::Show() {
  QSignalBlocker block(list_);
  list_->clear();
  for (const std::string& line : model_.list()) list_->addItem(ToQt(line));
  total_->setText(ToQt(model_.TotalText()));
  name_->setText(ToQt(model_.name));
  range_->setText(ToQt(model_.range));
}

}  // namespace tabulon
