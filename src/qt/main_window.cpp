#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/command_set.h"
#include "base/text.h"
#include "io/config_file.h"
#include "print/print_service.h"
#include "qt/array_dialog.h"
#include "qt/audit_dialog.h"
#include "qt/data_dialog.h"
#include "qt/find_dialog.h"
#include "qt/macro_bar.h"
#include "qt/names_dialog.h"
#include "qt/general_dialog.h"
#include "qt/help_window.h"
#include "qt/print_dialog.h"
#include "qt/properties_dialog.h"
#include "qt/qt_canvas.h"
#include "qt/sheet_view.h"
#include "qt/text_dialogs.h"
#include "qt/text_codec.h"
#include "qt/transfer_dialog.h"
#include "qt/width_dialog.h"

namespace tabulon {

Key KeyOf(const QKeyEvent* e, char& ch, KeyMods& mods) {
  ch = 0;
  mods.shift = (e->modifiers() & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab;
  mods.ctrl = e->modifiers() & Qt::ControlModifier;
  mods.alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_End: return Key::End;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Backspace: return Key::Backspace;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_Insert: return Key::Insert;
    case Qt::Key_CapsLock: return Key::CapsLock;
    case Qt::Key_NumLock: return Key::NumLock;
    case Qt::Key_ScrollLock: return Key::ScrollLock;
    case Qt::Key_Pause: return mods.ctrl ? Key::Break : Key::None;
    case Qt::Key_Cancel: return Key::Break;
    default: break;
  }
  if (e->key() >= Qt::Key_F1 && e->key() <= Qt::Key_F12)
    return static_cast<Key>(static_cast<int>(Key::F1) + (e->key() - Qt::Key_F1));
  if ((mods.alt || mods.ctrl) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) {
    ch = static_cast<char>('a' + (e->key() - Qt::Key_A));
    return Key::Character;
  }
  QString text = e->text();
  if (text.size() == 1 && text[0].isPrint()) {
    std::string b = FromQt(text);
    ch = b.empty() ? '?' : b[0];
    return Key::Character;
  }
  return Key::None;
}

MainWindow::MainWindow(const StartOptions& options) {
  host_.SetParent(this);
  setWindowTitle("TABULON");
  graphViews_.showStatus = [this](const std::string& text) {
    statusBar()->showMessage(ToQt(text), 3000);
  };
  graphViews_.selection = [this] {
    return ws_.active() != nullptr ? ws_.active()->SelectionRange() : CellRange{};
  };
  print_ = RegisterAllCommands(ws_, CommandViews{&graphViews_, &printDevices_, &macros_}).print;
  graphViews_.quickPrint = [this](SheetDocument&) { ws_.Show(print_->PrintGraph(-1)); };
  ws_.LoadConfiguration(options.configDir,
                        ConfigBaseName(QApplication::applicationFilePath().toStdString()));
  if (!options.startFile.empty()) ws_.config().autoexec.clear();
  startFile_ = options.startFile;
  dataDir_ = options.dataDir;
  host_.openDirectory = ws_.config().loadDir;
  host_.saveDirectory = ws_.config().saveDir;
  for (const QString& f : QFontDatabase::families()) {
    if (fontList_.size() >= kMaxFontNames) break;
    fontList_.push_back(FromQt(f));
  }
  std::sort(fontList_.begin(), fontList_.end());

  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setBackground(QColor(128, 128, 128));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  new PrintStatusView(this, print_->status());
  BuildMenus();
  BuildQuickBar();
  {
    std::string dir = options.configDir.empty() ? std::string(".") : options.configDir;
    macroBar_ = new MacroBarView(ws_, macros_, ws_.config().toolMacros, dir + "/MACROS.BTN", this);
    addToolBar(Qt::LeftToolBarArea, macroBar_);
    macroBar_->Sync();
  }
  BuildEntryLine();
  layout->addWidget(entry_->parentWidget());
  layout->addWidget(mdi_, 1);
  setCentralWidget(central);
  BuildStatusBar();
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (activating_ || closing_ || sub == nullptr) return;
    if (auto* v = qobject_cast<SheetView*>(sub->widget())) ActivatedByUser(*v);
  });
  resize(900, 640);
  ws_.SetView(this);
  SyncEntry();
}

MainWindow::~MainWindow() {
  closing_ = true;
  for (const auto& w : ws_.windows()) graphViews_.DocumentClosing(w->document());
  ws_.SetView(nullptr);
  for (auto& [w, v] : views_) v->Detach();
  views_.clear();
  delete mdi_;
  mdi_ = nullptr;
}

void MainWindow::OpenStartupSheet() { ws_.OpenStartupSheet(startFile_); }

bool MainWindow::OpenFile(const std::string& fileName) {
  Status s = ws_.Open(fileName);
  ws_.Show(s);
  return s.ok();
}

// --- menus and bars, built from the command table -------------------------------

QMenu* MainWindow::MenuAt(const std::string& path) {
  if (auto it = menus_.find(path); it != menus_.end()) return it->second;
  std::size_t slash = path.rfind('/');
  QMenu* menu = nullptr;
  if (slash == std::string::npos) {
    menu = menuBar()->addMenu(ToQt(path));
    connect(menu, &QMenu::aboutToHide, this, [this] { setWindowTitle("TABULON"); });
  } else {
    menu = MenuAt(path.substr(0, slash))->addMenu(ToQt(path.substr(slash + 1)));
  }
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
  menus_[path] = menu;
  return menu;
}

void MainWindow::UpdateMenu(QMenu* menu) {
  for (QAction* a : menu->actions()) {
    std::string id = a->data().toString().toStdString();
    const Command* c = ws_.commands().Find(id);
    if (c == nullptr) continue;
    a->setEnabled(ws_.Enabled(*c));
    if (c->checked) a->setChecked(c->checked(ws_));
  }
}

QAction* MainWindow::ActionFor(const std::string& commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::BuildMenus() {
  // The menu bar in its fixed order, whatever order the subsystems added
  // their commands in; the Copy and Move items sit between Range and Data.
  const char* order[] = {"&File", "&Edit", "&View", "&Sheet", "&Range", "copy", "move",
                         "&Data", "&Array", "&Graph", "&Window", "&Help"};
  for (const char* top : order) {
    for (const Command& c : ws_.commands().entries()) {
      bool bar = (c.flags & kOnMenuBar) && c.id == top;
      bool menu = c.menu == top || c.menu.rfind(std::string(top) + "/", 0) == 0;
      if (!bar && !menu) continue;
      if (menu) MenuAt(top);
      else {
        auto* a = new QAction(ToQt(c.caption), menuBar());
        menuBar()->addAction(a);
        barActions_[c.id] = a;
      }
      break;
    }
  }
  for (const Command& c : ws_.commands().entries()) {
    if (c.menu.empty() && !(c.flags & kOnMenuBar)) continue;
    QString caption = ToQt(c.caption);
    if (!c.shortcut.empty()) caption += "\t" + ToQt(c.shortcut);
    QAction* a = nullptr;
    if (c.flags & kOnMenuBar) {
      a = barActions_.count(c.id) ? barActions_[c.id] : new QAction(caption, menuBar());
      if (!barActions_.count(c.id)) menuBar()->addAction(a);
    } else {
      QMenu* m = MenuAt(c.menu);
      if (c.flags & kSeparatorBefore) m->addSeparator();
      a = m->addAction(caption);
    }
    a->setData(QString::fromStdString(c.id));
    a->setCheckable((c.flags & kCheckable) != 0);
    if (c.checked) a->setChecked(c.checked(ws_));
    if (!c.hint.empty()) {
      QString hint = ToQt(c.hint);
      a->setStatusTip(hint);
      // While an item is highlighted the frame's caption shows its hint.
      connect(a, &QAction::hovered, this, [this, hint] { setWindowTitle(hint); });
    }
    std::string id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { ws_.Invoke(id); });
    actions_[c.id] = a;
    if (c.id == "file.exit") fileMenu_ = MenuAt(c.menu);
    // The keys shown in the captions are the window's own shortcuts, so they
    // work whichever widget has the focus (the entry line edits its text with
    // them while an entry is open).
    if (!c.shortcut.empty()) {
      auto* s = new QAction(this);
      s->setShortcut(QKeySequence(ToQt(c.shortcut)));
      s->setShortcutContext(Qt::WindowShortcut);
      connect(s, &QAction::triggered, this, [this, id] {
        if (entry_->hasFocus() && ws_.input().entryOpen()) return;
        ws_.Invoke(id);
      });
      addAction(s);
    }
  }
  RebuildRecentMenu();
}

void MainWindow::RebuildRecentMenu() {
  if (fileMenu_ == nullptr) return;
  for (QAction* a : recentActions_) {
    fileMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  if (moreMenu_ != nullptr) {
    fileMenu_->removeAction(moreMenu_->menuAction());
    moreMenu_->deleteLater();
    moreMenu_ = nullptr;
  }
  const auto& names = ws_.recent().names();
  if (!names.empty()) recentActions_.push_back(fileMenu_->addSeparator());
  // Newest first; from the sixth entry on they go into "More".
  int shown = 0;
  for (auto it = names.rbegin(); it != names.rend(); ++it, ++shown) {
    std::string name = *it;
    QMenu* target = fileMenu_;
    if (shown >= RecentFiles::kMenuEntries) {
      if (moreMenu_ == nullptr) {
        moreMenu_ = fileMenu_->addMenu("More");
        moreMenu_->setObjectName("Mhist");
      }
      target = moreMenu_;
    }
    QAction* a = target->addAction(QString("&%1 %2").arg(shown + 1).arg(ToQt(name)));
    connect(a, &QAction::triggered, this, [this, name] { OpenFile(name); });
    if (target == fileMenu_) recentActions_.push_back(a);
  }
}

void MainWindow::BuildQuickBar() {
  quickBar_ = addToolBar("Quick");
  quickBar_->setMovable(false);
  QFont f = font();
  for (const CommandButton& b : ws_.quickBar()) {
    if (b.separatorBefore) quickBar_->addSeparator();
    QAction* a = quickBar_->addAction(ToQt(b.caption));
    a->setToolTip(ToQt(b.hint));
    a->setStatusTip(ToQt(b.hint));
    a->setData(QString::fromStdString(b.command));
    const Command* c = ws_.commands().Find(b.command);
    a->setCheckable(c != nullptr && (c->flags & kCheckable));
    QFont bf = f;
    bf.setBold(b.command == "quick.bold");
    bf.setItalic(b.command == "quick.italic");
    bf.setUnderline(b.command == "quick.underline");
    a->setFont(bf);
    std::string id = b.command;
    connect(a, &QAction::triggered, this, [this, id] { ws_.Invoke(id); });
    actions_.emplace(id + "@bar", a);
  }

  fontBox_ = new QComboBox(this);
  fontBox_->setToolTip("Font Type");
  for (const std::string& name : fontList_) fontBox_->addItem(ToQt(name));
  // Show the face cells are drawn with by default: Arial where installed,
  // otherwise the application's own font.
  int arial = fontBox_->findText("Arial", Qt::MatchStartsWith);
  if (arial < 0) arial = fontBox_->findText(QApplication::font().family(), Qt::MatchStartsWith);
  if (arial >= 0) fontBox_->setCurrentIndex(arial);
  fontBox_->setMaximumWidth(160);
  quickBar_->addWidget(fontBox_);
  connect(fontBox_, &QComboBox::activated, this,
          [this](int i) { ws_.Execute("quick.font", {std::to_string(i)}); });
  sizeBox_ = new QComboBox(this);
  sizeBox_->setToolTip("Font Size");
  for (int s : kFontSizes) sizeBox_->addItem(QString::number(s));
  sizeBox_->setCurrentText("14");
  quickBar_->addWidget(sizeBox_);
  connect(sizeBox_, &QComboBox::activated, this, [this](int i) {
    ws_.Execute("quick.size", {sizeBox_->itemText(i).toStdString()});
  });
  formatBox_ = new QComboBox(this);
  formatBox_->setToolTip("Speed Format");
  for (const std::string& f2 : ws_.config().formats) formatBox_->addItem(ToQt(f2));
  quickBar_->addWidget(formatBox_);
  connect(formatBox_, &QComboBox::activated, this, [this](int i) {
    const auto& formats = ws_.config().formats;
    if (i >= 0 && i < static_cast<int>(formats.size()))
      ws_.Execute("quick.format", {formats[static_cast<std::size_t>(i)]});
  });
  quickBar_->setVisible(ws_.config().quickBar);
}

void MainWindow::BuildEntryLine() {
  auto* line = new QWidget(this);
  auto* h = new QHBoxLayout(line);
  h->setContentsMargins(4, 2, 4, 2);
  enterButton_ = new QToolButton(line);
  enterButton_->setText(QString::fromUtf8("\u2713"));
  enterButton_->setToolTip("Enter");
  escapeButton_ = new QToolButton(line);
  escapeButton_->setText(QString::fromUtf8("\u2717"));
  escapeButton_->setToolTip("Escape");
  mode_ = new QLabel("READY", line);
  mode_->setObjectName("mode");
  mode_->setFrameShape(QFrame::Panel);
  mode_->setFrameShadow(QFrame::Sunken);
  mode_->setMinimumWidth(60);
  mode_->setAlignment(Qt::AlignCenter);
  indicator_ = new QLabel(line);
  indicator_->setObjectName("indicator");
  indicator_->setFrameShape(QFrame::Panel);
  indicator_->setFrameShadow(QFrame::Sunken);
  indicator_->setMinimumWidth(120);
  prompt_ = new QLabel(line);
  prompt_->hide();
  choices_ = new QComboBox(line);
  choices_->setObjectName("choices");
  choices_->setFocusPolicy(Qt::NoFocus);
  choices_->hide();
  connect(choices_, &QComboBox::activated, this, [this](int i) {
    if (i < 0 || !ws_.input().promptOpen()) return;
    std::string text = FromQt(choices_->itemText(i));
    ws_.input().SetText(text, static_cast<int>(text.size()));
    SyncEntry();
    entry_->setFocus();
  });
  entry_ = new QLineEdit(line);
  entry_->setObjectName("entry");
  entry_->setMaxLength(kMaxText);
  entry_->installEventFilter(this);
  h->addWidget(enterButton_);
  h->addWidget(escapeButton_);
  h->addWidget(mode_);
  h->addWidget(indicator_);
  h->addWidget(prompt_);
  h->addWidget(choices_);
  h->addWidget(entry_, 1);
  connect(enterButton_, &QToolButton::clicked, this, [this] { ws_.HandleKey(Key::Enter); });
  connect(escapeButton_, &QToolButton::clicked, this, [this] { ws_.HandleKey(Key::Escape); });
  // The line edits text itself only for what keys do not cover: pasting,
  // the mouse, input methods. Whatever it did goes back to the input line.
  connect(entry_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (syncingEntry_ || ws_.active() == nullptr) return;
    ws_.input().SetText(FromQt(text), entry_->cursorPosition());
    SyncEntry();
  });
  connect(entry_, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
    if (!syncingEntry_ && ws_.input().entryOpen()) ws_.input().SetCaret(now);
  });
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  for (int i = 0; i < 5; ++i) {
    auto* p = new PanelLabel(kLockKeyNames[i], this);
    p->setObjectName(kLockKeyNames[i]);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setAlignment(Qt::AlignCenter);
    p->setMinimumWidth(40);
    keyPanels_.push_back(p);
    bar->addPermanentWidget(p);
    connect(p, &PanelLabel::clicked, this,
            [this, i] { ws_.ToggleLockKey(static_cast<LockKey>(i)); });
  }
  calcPanel_ = new PanelLabel("Auto", this);
  calcPanel_->setObjectName("calc");
  calcPanel_->setFrameShape(QFrame::Panel);
  calcPanel_->setFrameShadow(QFrame::Sunken);
  calcPanel_->setMinimumWidth(60);
  calcPanel_->setAlignment(Qt::AlignCenter);
  bar->addPermanentWidget(calcPanel_);
  connect(calcPanel_, &PanelLabel::clicked, this, [this] {
    if (ws_.active() == nullptr) return;
    bool& manual = ws_.active()->document().settings().manualRecalc;
    manual = !manual;
    SyncEntry();
  });
  bar->setVisible(ws_.config().statusBar);
}

PanelLabel* MainWindow::panel(const char* name) const {
  for (PanelLabel* p : keyPanels_)
    if (p->objectName() == name) return p;
  return QString(name) == "calc" ? calcPanel_ : nullptr;
}

// --- windows -------------------------------------------------------------------

SheetView* MainWindow::ViewOf(const SheetWindow* window) const {
  auto it = views_.find(window);
  return it == views_.end() ? nullptr : it->second;
}

SheetView* MainWindow::activeSheet() const { return ViewOf(ws_.active()); }

void MainWindow::WindowOpened(SheetWindow& w) {
  auto* view = new SheetView(*this, w);
  views_[&w] = view;
  activating_ = true;
  QMdiSubWindow* sub = mdi_->addSubWindow(view);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The first sheet fills the work area; later ones cascade at three quarters.
  QSize area = mdi_->viewport()->size();
  if (mdi_->subWindowList().size() == 1) sub->resize(area);
  else sub->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
  if (ws_.config().mdiMaximised) sub->showMaximized();
  else sub->show();
  activating_ = false;
  for (int i = 0; i < 2; ++i) {
    QWidget* pane = view->pane(i);
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this,
            [this, pane](const QPoint& pos) { ShowGridMenu(pane, pos); });
  }
}

void MainWindow::WindowClosing(SheetWindow& w) {
  SheetView* view = ViewOf(&w);
  if (view == nullptr) return;
  views_.erase(&w);
  view->Detach();
  // The graph windows of a sheet go with its last window.
  int shown = 0;
  for (const auto& other : ws_.windows()) shown += &other->document() == &w.document();
  if (shown <= 1) graphViews_.DocumentClosing(w.document());
  if (closingFromView_) return;  // the window's own close finishes the job
  if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
    activating_ = true;
    mdi_->removeSubWindow(sub);
    activating_ = false;
    sub->hide();
    sub->deleteLater();
  }
}

void MainWindow::WindowActivated(SheetWindow* w) {
  SheetView* view = ViewOf(w);
  if (view != nullptr) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        sub != nullptr && mdi_->activeSubWindow() != sub) {
      activating_ = true;
      mdi_->setActiveSubWindow(sub);
      activating_ = false;
    }
    view->MeasureVisible();
    view->activeGrid()->setFocus();
  }
  SyncEntry();
  Repaint(nullptr);
}

void MainWindow::ActivatedByUser(SheetView& sheet) {
  if (sheet.attached()) ws_.Activate(&sheet.logic());
}

void MainWindow::CaptionChanged(SheetWindow& w) {
  if (SheetView* v = ViewOf(&w)) v->SetCaption();
}

void MainWindow::Repaint(SheetDocument* doc) {
  for (auto& [w, v] : views_)
    if (doc == nullptr || &v->document() == doc) v->Refresh();
}

void MainWindow::Refresh(SheetWindow& w) {
  if (SheetView* v = ViewOf(&w)) v->Refresh();
}

void MainWindow::FocusLine(bool line) {
  if (line) {
    entry_->setFocus();
  } else if (SheetView* s = activeSheet(); s != nullptr && entry_->hasFocus()) {
    s->activeGrid()->setFocus();
  }
}

void MainWindow::LayoutChanged() {
  for (auto& [w, v] : views_) {
    v->ApplySplit();
    v->MeasureVisible();
  }
}

void MainWindow::BarsChanged() {
  quickBar_->setVisible(ws_.config().quickBar);
  statusBar()->setVisible(ws_.config().statusBar);
  if (macroBar_ != nullptr) macroBar_->Sync();
}

void MainWindow::OpenMenu(char letter) {
  QList<QAction*> top = menuBar()->actions();
  for (QAction* a : top) {
    if (a->menu() == nullptr) continue;
    QString text = a->text();
    int amp = text.indexOf('&');
    bool match = letter == '/' ||
                 (amp >= 0 && amp + 1 < text.size() && text[amp + 1].toUpper() == QChar(letter));
    if (!match) continue;
    menuBar()->setActiveAction(a);
    return;
  }
  host_.Beep();
}

int MainWindow::TextWidth(const FontSpec& font, std::string_view text) {
  QFontMetrics m(QtCanvas::ToFont(font));
  return m.horizontalAdvance(ToQt(std::string(text)));
}

void MainWindow::Arrange(Arrangement how) {
  switch (how) {
    case Arrangement::kTile: mdi_->tileSubWindows(); break;
    case Arrangement::kCascade: mdi_->cascadeSubWindows(); break;
    case Arrangement::kArrangeIcons: {
      // Minimised windows line up along the bottom of the frame.
      int x = 0;
      for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, mdi_->viewport()->height() - w->height());
        x += w->width();
      }
      break;
    }
  }
}

bool MainWindow::CloseRequested(SheetView& sheet) {
  if (!sheet.attached()) return true;
  closingFromView_ = true;
  bool closed = ws_.Close(sheet.logic());
  closingFromView_ = false;
  return closed;
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (!ws_.CloseAll()) {
    e->ignore();
    return;
  }
  ws_.config().loadDir = host_.openDirectory;
  ws_.config().saveDir = host_.saveDirectory;
  ws_.SaveConfiguration();  // failures are silent; the backup stays
  macros_.StopMacro();
  macroBar_->Save();
  closing_ = true;
  e->accept();
}

// --- entry line and keys -------------------------------------------------------

void MainWindow::SyncEntry() {
  const InputLine& in = ws_.input();
  syncingEntry_ = true;
  QString text = ToQt(in.text());
  if (entry_->text() != text) entry_->setText(text);
  entry_->setCursorPosition(in.caret());
  QPalette pal = entry_->palette();
  pal.setColor(QPalette::Text, in.showsError() ? Qt::red : Qt::black);
  pal.setColor(QPalette::Base, in.entryOpen() ? Qt::white : QColor(212, 208, 200));
  entry_->setPalette(pal);
  entry_->setEnabled(!in.disabled() && ws_.active() != nullptr);
  enterButton_->setVisible(in.entryOpen());
  escapeButton_->setVisible(in.entryOpen());
  mode_->setText(ToQt(in.mode()));
  // A busy command runs before the event loop gets back: paint the panel now.
  if (in.mode() == " WAIT! ") mode_->repaint();
  indicator_->setText(ToQt(in.IndicatorText()));
  prompt_->setVisible(in.promptOpen());
  prompt_->setText(ToQt(in.promptCaption()));
  if (in.choices() != shownChoices_) {
    shownChoices_ = in.choices();
    choices_->clear();
    for (const std::string& c : shownChoices_) choices_->addItem(ToQt(c));
  }
  choices_->setVisible(in.promptOpen() && !shownChoices_.empty());
  SheetWindow* w = ws_.active();
  for (int i = 0; i < 5; ++i) {
    // A lit panel reads normally; the End marker shows inverted while on.
    PanelLabel* p = keyPanels_[static_cast<std::size_t>(i)];
    if (i == static_cast<int>(LockKey::kEnd)) {
      bool end = w != nullptr && w->endMode();
      p->setStyleSheet(end ? "color: rgb(192,192,192); background: black;" : "color: gray;");
    } else {
      p->setStyleSheet(ws_.lockKey(static_cast<LockKey>(i)) ? "color: black;" : "color: gray;");
    }
  }
  calcPanel_->setText(w != nullptr && w->document().settings().manualRecalc ? "Manual" : "Auto");
  if (QAction* lock = ActionFor("quick.protect@bar"))
    lock->setChecked(w != nullptr && w->document().settings().protect);
  syncingEntry_ = false;
  if (awaitingRange_ != nullptr && !in.promptOpen()) {
    QWidget* dialog = awaitingRange_;
    awaitingRange_ = nullptr;
    dialog->show();
    dialog->raise();
  }
}

void MainWindow::CursorMoved(SheetView& sheet) {
  if (sheet.attached() && &sheet.logic() == ws_.active()) ws_.input().CursorMoved();
  sheet.Refresh();
  SyncEntry();
}

void MainWindow::GridKey(QKeyEvent* e) {
  char ch = 0;
  KeyMods mods;
  Key k = KeyOf(e, ch, mods);
  ws_.HandleUserKey(k, mods, ch);
}

bool MainWindow::eventFilter(QObject* obj, QEvent* e) {
  if (obj == entry_ && e->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(e);
    // Control with a letter edits the line's text (copy, paste, select all)
    // while an entry is open; everything else is a key of the workspace.
    if ((ke->modifiers() & Qt::ControlModifier) && ws_.input().entryOpen() &&
        ke->key() >= Qt::Key_A && ke->key() <= Qt::Key_Z)
      return false;
    char ch = 0;
    KeyMods mods;
    Key k = KeyOf(ke, ch, mods);
    if (k == Key::None) return false;
    ws_.HandleUserKey(k, mods, ch);
    return true;
  }
  return QMainWindow::eventFilter(obj, e);
}

// --- dialogs ---------------------------------------------------------------------

void MainWindow::ShowGridMenu(QWidget* pane, const QPoint& pos) {
  QMenu popup(this);
  for (const CommandButton& b : ws_.gridMenu()) {
    if (b.separatorBefore) popup.addSeparator();
    QAction* a = popup.addAction(ToQt(b.caption));
    std::string id = b.command;
    connect(a, &QAction::triggered, this, [this, id] { ws_.Invoke(id); });
  }
  popup.exec(pane->mapToGlobal(pos));
  setWindowTitle("TABULON");
}

void MainWindow::ShowDialog(DialogKind kind, int page) {
  switch (kind) {
    case DialogKind::kProperties: OpenProperties(page); break;
    case DialogKind::kColumnWidth: OpenWidthDialog(false); break;
    case DialogKind::kRowHeight: OpenWidthDialog(true); break;
    case DialogKind::kFind:
      if (find_ == nullptr) {
        find_ = new FindDialogView(this, ws_);
        connect(find_, &FindDialogView::changed, this, [this] { ws_.AfterChange(); });
      }
      find_->Open();
      break;
    case DialogKind::kAudit:
      if (audit_ == nullptr) audit_ = new AuditDialogView(this, ws_);
      audit_->Open();
      break;
    case DialogKind::kDocInfo:
      if (docInfo_ == nullptr) docInfo_ = new DocInfoDialog(this, ws_);
      docInfo_->Open();
      break;
    case DialogKind::kWord:
      if (word_ == nullptr) word_ = new WordDialog(this, ws_);
      word_->Open();
      break;
    case DialogKind::kJustify:
      if (justify_ == nullptr) justify_ = new JustifyDialog(this, ws_);
      justify_->Open();
      break;
    case DialogKind::kFunctionPick:
    case DialogKind::kMacroPick:
      if (picker_ == nullptr) picker_ = new PickerDialog(this, ws_);
      picker_->Pick(kind == DialogKind::kMacroPick);
      entry_->setFocus();
      break;
    case DialogKind::kGeneral:
      if (general_ == nullptr) general_ = new GeneralDialogView(this, ws_);
      general_->Open(page);
      break;
    case DialogKind::kData: OpenDataDialog(page); break;
    case DialogKind::kArray: {
      if (ws_.active() == nullptr) break;
      auto* array = findChild<ArrayDialogView*>("ArrayDialog");
      if (array == nullptr) {
        array = new ArrayDialogView(this);
        connect(array, &ArrayDialogView::rangePromptRequested, this,
                [this, array](const QString& prompt, const QString& text) {
                  AskRangeForDialog(
                      array, text, [array](const std::string& t) { array->SetRangeText(t); },
                      FromQt(prompt));
                });
      }
      array->OpenOn(page, ws_);
      break;
    }
    case DialogKind::kPrint:
      if (printDialog_ == nullptr) {
        printDialog_ = new PrintDialogView(this, *print_);
        connect(printDialog_, &PrintDialogView::rangePromptRequested, this,
                [this](int field, const QString& text) {
                  AskRangeForDialog(printDialog_, text, [this, field](const std::string& t) {
                    printDialog_->SetRangeText(field, t);
                  });
                });
      }
      printDialog_->Open();
      break;
    case DialogKind::kNames:
      if (names_ == nullptr) names_ = new NamesDialogView(this, ws_);
      names_->Open();
      break;
    case DialogKind::kHelp: ShowHelpWindow(this, dataDir_); break;
    case DialogKind::kTips: ShowTipWindow(this, ws_, dataDir_); break;
    case DialogKind::kImport: RunTransferDialog(this, ws_, host_, TransferKind::kImport); break;
    case DialogKind::kExport: RunTransferDialog(this, ws_, host_, TransferKind::kExport); break;
    case DialogKind::kMerge: RunTransferDialog(this, ws_, host_, TransferKind::kMerge); break;
    case DialogKind::kAbout:
      QMessageBox::about(this, "TABULON",
                         "TABULON\nA spreadsheet with worksheet windows, @functions and macros.");
      break;
  }
}

void MainWindow::AskRangeForDialog(QWidget* dialog, const QString& text,
                                   std::function<void(const std::string&)> done,
                                   const std::string& prompt) {
  // The field's text (when any) replaces the selection; the confirmed text
  // goes back into the dialog.
  std::string initial = FromQt(text);
  awaitingRange_ = dialog;
  ws_.input().OpenRangePrompt(prompt, std::move(done));
  if (!initial.empty()) ws_.input().SetText(initial, static_cast<int>(initial.size()));
  SyncEntry();
  entry_->setFocus();
}

void MainWindow::OpenDataDialog(int page) {
  if (ws_.active() == nullptr) return;
  if (data_ == nullptr) {
    data_ = new DataDialogView(this);
    connect(data_, &DataDialogView::rangePromptRequested, this,
            [this](const QString& prompt, const QString& text) {
              AskRangeForDialog(
                  data_, text, [this](const std::string& t) { data_->SetRangeText(t); },
                  FromQt(prompt));
            });
  }
  data_->OpenOn(page, ws_);
}

void MainWindow::OpenProperties(int page) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (properties_ == nullptr) {
    properties_ = new PropertiesDialogView(this, ws_.config().formats);
    connect(properties_, &PropertiesDialogView::applied, this, [this] {
      ws_.input().CursorMoved();
      ws_.AfterChange();
    });
    connect(properties_, &PropertiesDialogView::rangePromptRequested, this,
            [this](const QString& text) {
              AskRangeForDialog(properties_, text,
                                [this](const std::string& t) { properties_->SetRangeText(t); });
            });
  }
  const auto& fonts = s->document().extras().fontNames.empty() ? fontList_
                                                                : s->document().extras().fontNames;
  properties_->OpenOn(static_cast<PropertyPage>(page), s->document(), s->logic(),
                      s->logic().SelectionRange(), fonts);
}

void MainWindow::OpenWidthDialog(bool rows) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (widths_ == nullptr) {
    widths_ = new WidthDialogView(this);
    connect(widths_, &WidthDialogView::applied, this, [this] {
      LayoutChanged();
      ws_.AfterChange();
    });
    connect(widths_, &WidthDialogView::rangePromptRequested, this, [this](const QString& text) {
      AskRangeForDialog(widths_, text, [this](const std::string& t) { widths_->SetRangeText(t); });
    });
  }
  widths_->OpenOn(rows, s->document(), s->logic(), s->logic().SelectionRange(),
                  s->logic().defaultRowHeight);
}

}  // namespace tabulon
