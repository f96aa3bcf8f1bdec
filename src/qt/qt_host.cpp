#include "qt/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>

#include "qt/text_codec.h"
#include "ui/main_commands.h"

namespace tabulon {

namespace {

// "Description|pattern|Description|pattern" to Qt's "Description (pattern);;...".
QString QtFilter(std::string_view filter) {
  QStringList parts = ToQt(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString name = parts[i];
    out << (name.contains('(') ? name.left(name.indexOf('(')).trimmed() : name) + " (" +
               patterns + ")";
  }
  return out.join(";;");
}

}  // namespace

QtHost::QtHost() { clock_.start(); }

void QtHost::Beep() { QApplication::beep(); }

void QtHost::ShowMessage(std::string_view text) {
  if (onMessage) {
    onMessage(std::string(text));
    return;
  }
  QMessageBox::warning(parent_, "TABULON", ToQt(text));
}

Answer QtHost::AskYesNoCancel(std::string_view caption, std::string_view text) {
  if (answerQuestion) return answerQuestion(std::string(text));
  auto b = QMessageBox::question(parent_, ToQt(caption), ToQt(text),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool QtHost::AskOkCancel(std::string_view caption, std::string_view text) {
  if (answerQuestion) return answerQuestion(std::string(text)) == Answer::Yes;
  return QMessageBox::question(parent_, ToQt(caption), ToQt(text),
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> QtHost::InputBox(std::string_view caption, std::string_view prompt,
                                            std::string_view initial) {
  bool ok = false;
  QString s = QInputDialog::getText(parent_, ToQt(caption), ToQt(prompt), QLineEdit::Normal,
                                    ToQt(initial), &ok);
  if (!ok) return std::nullopt;
  return FromQt(s);
}

std::optional<std::string> QtHost::OpenFileName(std::string_view caption,
                                                std::string_view filter) {
  if (answerFileName) return answerFileName(std::string(caption));
  QString f = QFileDialog::getOpenFileName(parent_, ToQt(caption), QString::fromStdString(openDirectory),
                                           QtFilter(filter));
  if (f.isEmpty()) return std::nullopt;
  openDirectory = QFileInfo(f).absolutePath().toStdString();
  return f.toStdString();
}

std::optional<std::string> QtHost::SaveFileName(std::string_view caption, std::string_view filter,
                                                std::string_view proposed) {
  if (answerFileName) return answerFileName(std::string(caption));
  QString start = QString::fromStdString(saveDirectory);
  if (!proposed.empty()) start += "/" + QFileInfo(QString::fromStdString(std::string(proposed))).fileName();
  QFileDialog dlg(parent_, ToQt(caption), start, QtFilter(filter));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setDefaultSuffix("WKS");
  dlg.setOption(QFileDialog::ReadOnly, false);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  QString f = dlg.selectedFiles().front();
  saveDirectory = QFileInfo(f).absolutePath().toStdString();
  return f.toStdString();
}

std::string QtHost::ClipboardText() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return {};
  QString text = data->text();
  // Only the first 64000 characters are ever used: do not convert more.
  if (text.size() > static_cast<qsizetype>(kClipboardLimit) + 1)
    text.truncate(static_cast<qsizetype>(kClipboardLimit) + 1);
  return FromQt(text);
}

void QtHost::SetClipboardText(std::string_view text) {
  QApplication::clipboard()->setText(ToQt(text));
}

std::uint64_t QtHost::TickCount() { return static_cast<std::uint64_t>(clock_.elapsed()); }

void QtHost::Tone(int, int) { QApplication::beep(); }

}  // namespace tabulon
