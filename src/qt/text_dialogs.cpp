#include "qt/text_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "edit/justify.h"
#include "macro/macro_keywords.h"
#include "qt/text_codec.h"
#include "ui/block_commands.h"
#include "ui/document_info.h"
#include "ui/function_picker.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

QDialogButtonBox* OkCancel(QDialog* d, std::function<void()> ok) {
  auto* box = new QDialogButtonBox(d);
  box->addButton("&Ok", QDialogButtonBox::AcceptRole);
  box->addButton("&Cancel", QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, d, [ok] { ok(); });
  QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return box;
}

std::vector<std::string> LinesOf(const QPlainTextEdit* e) {
  std::vector<std::string> lines;
  for (const QString& l : e->toPlainText().split('\n')) lines.push_back(FromQt(l));
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

// --- Document Info ----------------------------------------------------------------

DocInfoDialog::DocInfoDialog(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("Document Info");
  setObjectName("TDocinfo");
  auto* form = new QFormLayout(this);
  title_ = new QLineEdit(this);
  title_->setMaxLength(static_cast<int>(kMaxDocumentText));
  comments_ = new QPlainTextEdit(this);
  revised_ = new QLabel(this);
  created_ = new QLabel(this);
  form->addRow("Title:", title_);
  form->addRow("Comments:", comments_);
  form->addRow("Revised By:", revised_);
  form->addRow("Created:", created_);
  form->addRow(OkCancel(this, [this] { Accept(); }));
}

void DocInfoDialog::Open() {
  if (ws_.active() == nullptr) return;
  DocumentInfo info = ReadDocumentInfo(ws_.active()->document());
  title_->setText(ToQt(info.title));
  QStringList lines;
  for (const std::string& l : info.comments) lines << ToQt(l);
  comments_->setPlainText(lines.join('\n'));
  revised_->setText(ToQt(info.revisedBy));
  created_->setText(ToQt(info.created));
  show();
  raise();
}

void DocInfoDialog::Accept() {
  if (ws_.active() != nullptr) {
    WriteDocumentInfo(ws_.active()->document(), FromQt(title_->text()), LinesOf(comments_));
    ws_.AfterChange(false);
  }
  accept();
}

// --- Word ---------------------------------------------------------------------------

WordDialog::WordDialog(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("Word");
  setObjectName("TWordDlg");
  auto* top = new QVBoxLayout(this);
  editor_ = new QPlainTextEdit(this);
  editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  top->addWidget(editor_);
  top->addWidget(OkCancel(this, [this] { Accept(); }));
  resize(520, 360);
}

void WordDialog::Open() {
  if (ws_.active() == nullptr) return;
  QStringList lines;
  for (const std::string& l :
       WordToolLines(ws_.active()->document(), ws_.active()->SelectionRange()))
    lines << ToQt(l);
  editor_->setPlainText(lines.join('\n'));
  show();
  raise();
}

void WordDialog::Accept() {
  ws_.Execute("edit.word.apply", CommandArgs(LinesOf(editor_)));
  accept();
}

// --- Justify ------------------------------------------------------------------------

JustifyDialog::JustifyDialog(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("Justify");
  setObjectName("TJustifyDlg");
  auto* form = new QFormLayout(this);
  range_ = new QLineEdit(this);
  width_ = new QLineEdit(this);
  pad_ = new QCheckBox(this);
  form->addRow("&Justify Range: ", range_);
  form->addRow("&Width: ", width_);
  form->addRow("Use Spaces Between Words  &Pad:", pad_);
  form->addRow(OkCancel(this, [this] { Accept(); }));
  connect(range_, &QLineEdit::editingFinished, this, [this] { PresetWidth(); });
}

void JustifyDialog::PresetWidth() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  CellRange r = PromptRange(w->document(), FromQt(range_->text()), w);
  if (r.IsDefined()) width_->setText(QString::number(JustifyWidthPreset(w->document(), r)));
}

void JustifyDialog::Open() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  if (!activated_) {
    activated_ = true;
    range_->setText(ToQt(RangeText(w->SelectionRange(), w->document().settings().pageHeight)));
    PresetWidth();
  }
  show();
  raise();
}

void JustifyDialog::Accept() {
  ws_.Execute("range.justify", {FromQt(range_->text()), FromQt(width_->text()),
                                pad_->isChecked() ? "1" : "0"});
  accept();
}

// --- Picker -------------------------------------------------------------------------

PickerDialog::PickerDialog(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setObjectName("TGetFun");
  setModal(true);
  auto* top = new QVBoxLayout(this);
  filter_ = new QLineEdit(this);
  filter_->setMaxLength(40);
  list_ = new QListWidget(this);
  top->addWidget(filter_);
  top->addWidget(list_);
  resize(240, 360);
  connect(filter_, &QLineEdit::textEdited, this, [this](const QString& text) {
    int i = PickFilter(entries_, FromQt(text));
    if (i >= 0) list_->setCurrentRow(i);
  });
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    filter_->setText(ToQt(PickResult(FromQt(item->text()))));
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  connect(filter_, &QLineEdit::returnPressed, this, [this] { accept(); });
}

void PickerDialog::Pick(bool macros) {
  macros_ = macros;
  setWindowTitle(macros ? "Macros" : "Functions");
  entries_ = macros ? MacroPickList() : FunctionPickList(ws_.session());
  list_->clear();
  for (const std::string& e : entries_) list_->addItem(ToQt(e));
  filter_->clear();
  filter_->setFocus();
  if (exec() != QDialog::Accepted) return;
  QListWidgetItem* item = list_->currentItem();
  if (item == nullptr || item->text() == kExternalSeparator) return;
  InsertPick(ws_.input(), macros ? PickMode::kMacros : PickMode::kFunctions,
             PickResult(FromQt(item->text())));
  ws_.AfterChange(false);
}

}  // namespace tabulon
