#include "qt/transfer_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "qt/qt_host.h"
#include "qt/text_codec.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

// "Description|patterns|..." as Qt's name filters, one per entry. The
// descriptions keep their words (two filters may share their patterns),
// with brackets where Qt expects the patterns in parentheses.
QStringList NameFilters(const std::string& filter) {
  QStringList parts = ToQt(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    name.replace('(', '[').replace(')', ']');
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << name + " (" + patterns + ")";
  }
  return out;
}

// The file and the 0-based filter chosen; false when cancelled.
bool ChooseFile(QWidget* parent, QtHost& host, TransferKind kind, std::string& file, int& filter) {
  TransferFileDialog dialog = FileDialogFor(kind);
  filter = 0;
  if (host.answerFileName) {  // scripted by tests
    auto name = host.answerFileName(dialog.title);
    if (!name) return false;
    file = *name;
    return true;
  }
  std::string& dir = dialog.save ? host.saveDirectory : host.openDirectory;
  QStringList filters = NameFilters(dialog.filter);
  QFileDialog dlg(parent, ToQt(dialog.title), QString::fromStdString(dir));
  dlg.setNameFilters(filters);
  dlg.setAcceptMode(dialog.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(dialog.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (kind == TransferKind::kMerge) dlg.setDefaultSuffix("wks");
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  QString chosen = dlg.selectedFiles().front();
  dir = QFileInfo(chosen).absolutePath().toStdString();
  file = chosen.toStdString();
  filter = std::max(0, static_cast<int>(filters.indexOf(dlg.selectedNameFilter())));
  return true;
}

}  // namespace

TransferDialogView::TransferDialogView(QWidget* parent, TransferDialog& model)
    : QDialog(parent), model_(model) {
  TransferKind kind = model.kind();
  setWindowTitle(kind == TransferKind::kMerge ? "Merge" : "Transfer");
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(ToQt(model.Caption()), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  auto* form = new QFormLayout;
  form->addRow("File:", new QLabel(QString::fromStdString(model.file()), this));
  field_ = new QLineEdit(ToQt(model.field), this);
  form->addRow(ToQt(model.FieldLabel()), field_);
  layout->addLayout(form);

  if (kind == TransferKind::kMerge) {
    auto* source = new QGroupBox("Source", this);
    auto* sourceLayout = new QHBoxLayout(source);
    whole_ = new QRadioButton("&All", source);
    part_ = new QRadioButton("Ra&nge:", source);
    names_ = new QComboBox(source);
    for (const std::string& n : model.names()) names_->addItem(ToQt(n));
    whole_->setChecked(true);
    part_->setEnabled(!model.names().empty());
    names_->setEnabled(false);
    connect(part_, &QRadioButton::toggled, names_, &QComboBox::setEnabled);
    sourceLayout->addWidget(whole_);
    sourceLayout->addWidget(part_);
    sourceLayout->addWidget(names_, 1);
    layout->addWidget(source);

    auto* action = new QGroupBox("Action", this);
    auto* actionLayout = new QHBoxLayout(action);
    actions_ = new QButtonGroup(this);
    const char* captions[] = {"&Replace", "&Sum", "&Difference"};
    for (int i = 0; i < 3; ++i) {
      auto* b = new QRadioButton(captions[i], action);
      actions_->addButton(b, i + 1);
      actionLayout->addWidget(b);
    }
    actions_->button(1)->setChecked(true);
    layout->addWidget(action);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Accept()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QRadioButton* TransferDialogView::action(int action) const {
  return actions_ != nullptr ? qobject_cast<QRadioButton*>(actions_->button(action)) : nullptr;
}

bool TransferDialogView::Accept() {
  model_.field = FromQt(field_->text());
  if (model_.kind() == TransferKind::kMerge) {
    model_.wholeFile = whole_->isChecked();
    model_.nameIndex = names_->currentIndex();
    model_.action = actions_->checkedId();
  }
  Status s = model_.Ok();
  if (s.ok() || !s.message().empty()) return true;
  field_->setFocus();
  return false;
}

void RunTransferDialog(QWidget* parent, Workspace& ws, QtHost& host, TransferKind kind) {
  std::string file;
  int filter = 0;
  if (!ChooseFile(parent, host, kind, file, filter)) return;
  TransferDialog model(ws, kind, file, filter);
  TransferDialogView view(parent, model);
  view.exec();
}

}  // namespace tabulon
