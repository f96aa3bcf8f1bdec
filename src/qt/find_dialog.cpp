#include "qt/find_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "qt/text_codec.h"
#include "ui/workspace.h"

namespace tabulon {

FindDialogView::FindDialogView(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("Find & Replace");
  setObjectName("TFind");
  auto* top = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  find_ = new QComboBox(this);
  find_->setEditable(true);
  find_->setInsertPolicy(QComboBox::NoInsert);
  replace_ = new QLineEdit(this);
  form->addRow("&Find Text:", find_);
  form->addRow("R&eplace Text", replace_);
  top->addLayout(form);
  auto* options = new QHBoxLayout;
  case_ = new QCheckBox("Case &Insensitive", this);
  global_ = new QRadioButton("&Global", this);
  selected_ = new QRadioButton("&Selected:", this);
  scope_ = new QLabel(this);
  options->addWidget(case_);
  options->addWidget(global_);
  options->addWidget(selected_);
  options->addWidget(new QLabel("Scope of Search:", this));
  options->addWidget(scope_);
  top->addLayout(options);
  auto* found = new QHBoxLayout;
  found->addWidget(new QLabel("Found:", this));
  result_ = new QLabel(this);
  found->addWidget(result_, 1);
  top->addLayout(found);
  auto* buttons = new QHBoxLayout;
  findButton_ = new QPushButton("Fi&nd", this);
  auto* replaceButton = new QPushButton("&Replace", this);
  auto* allButton = new QPushButton("Replace &All", this);
  auto* cancel = new QPushButton("&Cancel", this);
  for (QPushButton* b : {findButton_, replaceButton, allButton, cancel}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  top->addLayout(buttons);

  connect(findButton_, &QPushButton::clicked, this, [this] { Run("find"); });
  connect(replaceButton, &QPushButton::clicked, this, [this] { Run("replace"); });
  connect(allButton, &QPushButton::clicked, this, [this] { Run("all"); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
  connect(find_, &QComboBox::editTextChanged, this, [this] {
    ws_.find().SetFindText(FromQt(find_->currentText()));
    Show();
  });
  connect(replace_, &QLineEdit::textEdited, this, [this] {
    ws_.find().SetReplaceText(FromQt(replace_->text()));
    Show();
  });
  // Enter in the find box moves on to the replace box.
  connect(find_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    ws_.find().RememberFindText();
    replace_->setFocus();
  });
}

void FindDialogView::Open() {
  if (ws_.active() == nullptr) return;
  FindReplace& f = ws_.find();
  f.Activate(*ws_.active());
  case_->setChecked(f.caseInsensitive);
  (f.selectedOnly ? selected_ : global_)->setChecked(true);
  find_->clear();
  for (const std::string& h : f.history()) find_->addItem(ToQt(h));
  find_->setEditText(ToQt(f.findText()));
  replace_->setText(ToQt(f.replaceText()));
  Show();
  show();
  raise();
  find_->setFocus();
}

void FindDialogView::Take() {
  FindReplace& f = ws_.find();
  f.caseInsensitive = case_->isChecked();
  f.selectedOnly = selected_->isChecked();
  f.SetFindText(FromQt(find_->currentText()));
  f.SetReplaceText(FromQt(replace_->text()));
  f.RememberFindText();
}

void FindDialogView::Show() {
  const FindReplace& f = ws_.find();
  int page = ws_.active() ? ws_.active()->document().settings().pageHeight : 0;
  scope_->setText(ToQt(f.ScopeText(page)));
  result_->setText(ToQt(f.result()));
  findButton_->setText(ToQt(f.FindCaption()));
}

void FindDialogView::Run(const char* command) {
  Take();
  std::string which = command;
  ws_.Execute(which == "find" ? "edit.find.next"
              : which == "replace" ? "edit.find.replace"
                                   : "edit.find.all");
  Show();
  emit changed();
}

}  // namespace tabulon
