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
  TransferFileDialog spec = FileDialogFor(kind);
  filter = 0;
  if (host.answerFileName) {  // scripted by tests
    auto name = host.answerFileName(spec.title);
    if (!name) return false;
    file = *name;
    return true;
  }
  std::string& dir = spec.save ? host.saveDirectory : host.openDirectory;
  QStringList filters = NameFilters(spec.filter);
  QFileDialog dlg(parent, ToQt(spec.title), QString::fromStdString(dir));
  dlg.setNameFilters(filters);
  dlg.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (kind == TransferKind::kMerge) dlg.setDefaultSuffix("wks");
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  QString chosen = dlg.selectedFiles().front();
  dir = QFileInfo(chosen).absolutePath().toStdString();
  file = chosen.toStdString();
  filter = std::max(0, static_cast<int>(filters.indexOf(dlg.selectedNameFilter())));
  return true;
}

}  // namespace

void RunTransferDialog(QWidget* parent, Workspace& ws, QtHost& host, TransferKind kind) {
  std::string file;
  int filter = 0;
  if (!ChooseFile(parent, host, kind, file, filter)) return;
  TransferDialog model(ws, kind, file, filter);

  QDialog dlg(parent);
  dlg.setWindowTitle(kind == TransferKind::kMerge ? "Merge" : "Transfer");
  auto* layout = new QVBoxLayout(&dlg);
  auto* title = new QLabel(ToQt(model.Caption()), &dlg);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  auto* form = new QFormLayout;
  form->addRow("File:", new QLabel(QString::fromStdString(model.file()), &dlg));
  auto* field = new QLineEdit(ToQt(model.field), &dlg);
  form->addRow(ToQt(model.FieldLabel()), field);
  layout->addLayout(form);

  QRadioButton* whole = nullptr;
  QComboBox* names = nullptr;
  QButtonGroup actions(&dlg);
  if (kind == TransferKind::kMerge) {
    auto* source = new QGroupBox("Source", &dlg);
    auto* sourceLayout = new QHBoxLayout(source);
    whole = new QRadioButton("&All", source);
    auto* part = new QRadioButton("Ra&nge:", source);
    names = new QComboBox(source);
    for (const std::string& n : model.names()) names->addItem(ToQt(n));
    whole->setChecked(true);
    part->setEnabled(!model.names().empty());
    names->setEnabled(false);
    QObject::connect(part, &QRadioButton::toggled, names, &QComboBox::setEnabled);
    sourceLayout->addWidget(whole);
    sourceLayout->addWidget(part);
    sourceLayout->addWidget(names, 1);
    layout->addWidget(source);

    auto* action = new QGroupBox("Action", &dlg);
    auto* actionLayout = new QHBoxLayout(action);
    const char* captions[] = {"&Replace", "&Sum", "&Difference"};
    for (int i = 0; i < 3; ++i) {
      auto* b = new QRadioButton(captions[i], action);
      actions.addButton(b, i + 1);
      actionLayout->addWidget(b);
    }
    actions.button(1)->setChecked(true);
    layout->addWidget(action);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);

  // A field that names no cell beeps and keeps the dialog open; anything
  // the command itself reports has been shown and ends it.
  while (dlg.exec() == QDialog::Accepted) {
    model.field = FromQt(field->text());
    if (kind == TransferKind::kMerge) {
      model.wholeFile = whole->isChecked();
      model.nameIndex = names->currentIndex();
      model.action = actions.checkedId();
    }
    Status s = model.Ok();
    if (s.ok() || !s.message().empty()) break;
  }
}

}  // namespace tabulon
