#include "qt/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

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
  if (answerInput) return answerInput(std::string(prompt));
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

namespace {

// A key press as macro text: the character, "~" for Enter, the keyword in
// braces for the other keys; empty for a key that is only a modifier.
std::string MacroKeyText(const QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return "~";
    case Qt::Key_Left: return "{LEFT}";
    case Qt::Key_Right: return "{RIGHT}";
    case Qt::Key_Up: return "{UP}";
    case Qt::Key_Down: return "{DOWN}";
    case Qt::Key_PageUp: return "{PGUP}";
    case Qt::Key_PageDown: return "{PGDN}";
    case Qt::Key_Home: return "{HOME}";
    case Qt::Key_End: return "{END}";
    case Qt::Key_Backspace: return "{BS}";
    case Qt::Key_Delete: return "{DEL}";
    case Qt::Key_Insert: return "{INS}";
    case Qt::Key_Tab: return "{BIGRIGHT}";
    case Qt::Key_Backtab: return "{BIGLEFT}";
    case Qt::Key_F1: return "{HELP}";
    case Qt::Key_F2: return "{EDIT}";
    case Qt::Key_F4: return "{ABS}";
    case Qt::Key_F6: return "{WINDOW}";
    case Qt::Key_F9: return "{CALC}";
    case Qt::Key_F10: return "{GRAPH}";
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock: return {};
    default: break;
  }
  if (e->key() >= Qt::Key_F1 && e->key() <= Qt::Key_F35)
    return "{F" + std::to_string(e->key() - Qt::Key_F1 + 1) + "}";
  QString text = e->text();
  if (!text.isEmpty() && text[0].isPrint()) {
    std::string b = FromQt(text.left(1));
    if (!b.empty()) return b;
  }
  return "{KEY}";
}

// Takes the next key press of the whole program for a local event loop.
class KeyCatcher : public QObject {
 public:
  explicit KeyCatcher(QEventLoop& loop) : loop_(loop) {}
  std::optional<std::string> key;
  bool broken = false;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::ShortcutOverride) {
      e->accept();  // the key is for the wait, not for a shortcut
      return true;
    }
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    bool ctrl = k->modifiers() & Qt::ControlModifier;
    if (k->key() == Qt::Key_Escape || k->key() == Qt::Key_Cancel ||
        (ctrl && k->key() == Qt::Key_Pause)) {
      broken = true;
      loop_.quit();
      return true;
    }
    std::string text = MacroKeyText(k);
    if (text.empty()) return true;
    key = text;
    loop_.quit();
    return true;
  }

 private:
  QEventLoop& loop_;
};

bool IsWaveFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  QByteArray head = f.read(12);
  return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

QString SoundPlayer() {
  for (const char* name : {"paplay", "pw-play", "aplay"}) {
    QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty()) return path;
  }
  return {};
}

}  // namespace

std::optional<std::string> QtHost::WaitForKey(std::string_view caption) {
  QPointer<QWidget> frame = parent_ != nullptr ? parent_->window() : nullptr;
  QString oldTitle;
  QPointer<QLabel> mode;
  QString oldMode;
  if (!caption.empty() && frame) {
    oldTitle = frame->windowTitle();
    frame->setWindowTitle(ToQt(caption));
    mode = frame->findChild<QLabel*>("mode");
    if (mode) {
      oldMode = mode->text();
      mode->setText("Step");
    }
  }
  QEventLoop loop;
  KeyCatcher catcher(loop);
  qApp->installEventFilter(&catcher);
  // A frame that closes meanwhile ends the wait without a key.
  QMetaObject::Connection gone;
  if (frame) gone = QObject::connect(frame, &QObject::destroyed, &loop, &QEventLoop::quit);
  loop.exec();
  qApp->removeEventFilter(&catcher);
  QObject::disconnect(gone);
  if (frame && !caption.empty()) frame->setWindowTitle(oldTitle);
  if (mode) mode->setText(oldMode);
  if (catcher.broken) return std::nullopt;
  return catcher.key;
}

std::optional<int> QtHost::ChooseFromMenu(std::string_view title,
                                          const std::vector<MenuOption>& options) {
  if (answerMenu) return answerMenu(options);
  QDialog dialog(parent_);
  dialog.setWindowTitle("Macro Menu");
  auto* layout = new QVBoxLayout(&dialog);
  if (!title.empty()) layout->addWidget(new QLabel(ToQt(title), &dialog));
  auto* list = new QTreeWidget(&dialog);
  list->setColumnCount(2);
  list->setHeaderHidden(true);
  list->setRootIsDecorated(false);
  for (const MenuOption& o : options)
    list->addTopLevelItem(new QTreeWidgetItem({ToQt(o.name), ToQt(o.description)}));
  list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
  dialog.resize(420, 120 + 22 * static_cast<int>(options.size()));
  QPointer<QWidget> focus = QApplication::focusWidget();
  int result = dialog.exec();
  if (focus) focus->setFocus();
  int chosen = list->currentIndex().row();
  if (result != QDialog::Accepted || chosen < 0) return std::nullopt;
  return chosen;
}

void QtHost::StopSound() {
  loopSound_ = false;
  if (sound_) {
    sound_->disconnect();
    sound_->kill();
    sound_->waitForFinished(500);
    sound_->deleteLater();
  }
  sound_.clear();
}

bool QtHost::PlaySound(std::string_view file, int mode) {
  StopSound();
  if (mode < 1 || mode > 4) return true;
  QString path = QString::fromStdString(std::string(file));
  if (!IsWaveFile(path)) return false;
  QString player = SoundPlayer();
  if (player.isEmpty()) {
    QApplication::beep();  // no sound player: the bell stands in for it
    return true;
  }
  if (mode == 1) {
    QProcess p;
    p.start(player, {path});
    p.waitForFinished(60000);
    return true;
  }
  auto* p = new QProcess();
  sound_ = p;
  loopSound_ = mode == 3;
  QObject::connect(p, &QProcess::finished, p, [this, p, player, path] {
    if (loopSound_ && sound_ == p) p->start(player, {path});
  });
  p->start(player, {path});
  return true;
}

void QtHost::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

}  // namespace tabulon
