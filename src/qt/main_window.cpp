#include "qt/main_window.h"

#include <algorithm>

#include "formula/recalc.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <filesystem>

#include "display/format.h"
#include "formula/engine.h"
#include "io/worksheet_file.h"
#include "edit/cell_entry.h"
#include "base/text.h"
#include "edit/undo.h"
#include "qt/properties_dialog.h"
#include "qt/sheet_view.h"
#include "qt/text_codec.h"
#include "qt/width_dialog.h"

namespace tabulon {

namespace {

constexpr const char* kPanelNames[] = {"INS", "END", "NUM", "SCR", "CAP"};
constexpr const char* kOpenFilter =
    "Worksheets (*.wks,*.wk1)|*.wks;*.wk1;*.WKS;*.WK1|Backups (*.wkb)|*.wkb;*.WKB|All Files|*";
constexpr const char* kSaveFilter = "Worksheets(*.WKS)|*.WKS;*.wks;*.Wk?";

Key MapKey(const QKeyEvent* e, char& ch) {
  ch = 0;
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
    default: break;
  }
  if (e->key() >= Qt::Key_F1 && e->key() <= Qt::Key_F12)
    return static_cast<Key>(static_cast<int>(Key::F1) + (e->key() - Qt::Key_F1));
  QString text = e->text();
  if (text.size() == 1 && text[0].isPrint() &&
      !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    std::string b = FromQt(text);
    ch = b.empty() ? '?' : b[0];
    return Key::Character;
  }
  return Key::None;
}

KeyMods ModsOf(const QKeyEvent* e) {
  KeyMods m;
  m.shift = e->modifiers() & Qt::ShiftModifier || e->key() == Qt::Key_Backtab;
  m.ctrl = e->modifiers() & Qt::ControlModifier;
  m.alt = e->modifiers() & Qt::AltModifier;
  return m;
}

}  // namespace

MainWindow::MainWindow(const StartOptions& options) : configDir_(options.configDir) {
  host_.SetParent(this);
  setWindowTitle("TABULON");
  std::string dir = configDir_.empty() ? std::string() : configDir_ + "/";
  std::string base = ConfigBaseName(QApplication::applicationFilePath().toStdString());
  settingsFile_ = dir + base + ".INI";
  userFile_ = dir + base + ".USR";
  cfg_ = DefaultConfig(dir, base);
  ReadSettings(settingsFile_, cfg_);
  ApplyConfig(cfg_, session_.settings());
  Engine(session_).masterFunctions = ReadUserFunctions(userFile_);
  if (!options.startFile.empty()) cfg_.autoexec = options.startFile;
  recent_.SetSize(cfg_.historySize);
  recent_.Assign(cfg_.history);
  host_.openDirectory = cfg_.loadDir;
  host_.saveDirectory = cfg_.saveDir;
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
  BuildMenus();
  BuildQuickBar();
  BuildEntryLine();
  layout->addWidget(entry_->parentWidget());
  layout->addWidget(mdi_, 1);
  setCentralWidget(central);
  BuildStatusBar();
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { SheetActivated(); });
  resize(900, 640);
  SyncEntry();
}

MainWindow::~MainWindow() {
  closing_ = true;
  input_.SetWindow(nullptr);
  current_ = nullptr;
  // The sheet windows release their documents into the session, which must
  // still exist: delete them before the members go.
  delete mdi_;
  mdi_ = nullptr;
  session_.SetCursorSource(nullptr);
}

// --- building ----------------------------------------------------------------

QAction* MainWindow::AddCommand(QMenu* menu, const QString& caption, const char* hint,
                                std::function<void()> fn, QKeySequence key) {
  QAction* a = menu->addAction(caption);
  if (hint != nullptr && *hint) {
    a->setStatusTip(hint);
    // While an item is highlighted the frame's caption shows its hint.
    connect(a, &QAction::hovered, this, [this, hint] { setWindowTitle(hint); });
  }
  if (!key.isEmpty()) a->setShortcut(key);
  connect(a, &QAction::triggered, this, [fn] { fn(); });
  return a;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto restoreCaption = [this] { setWindowTitle("TABULON"); };
  auto menu = [&](const char* title) {
    QMenu* m = bar->addMenu(title);
    connect(m, &QMenu::aboutToHide, this, restoreCaption);
    return m;
  };
  fileMenu_ = menu("&File");
  AddCommand(fileMenu_, "&New", "MAIN|Create New Worksheet", [this] { NewSheet(); });
  AddCommand(fileMenu_, "&Open ...", "Load Selected Worksheet", [this] {
    auto name = host_.OpenFileName("Open", kOpenFilter);
    if (name) OpenFile(*name);
  });
  AddCommand(fileMenu_, "&Save", "Save Sheet Using Current Name", [this] {
    if (SheetView* s = activeSheet()) SaveSheet(*s, s->untitled());
  });
  AddCommand(fileMenu_, "Save &As ...", "Specify New Name for Worksheet and Save", [this] {
    if (SheetView* s = activeSheet()) SaveSheet(*s, true);
  });
  AddCommand(fileMenu_, "&Close", "Close worksheet", [this] {
    if (QMdiSubWindow* w = mdi_->activeSubWindow()) w->close();
  });
  fileMenu_->addSeparator();
  exitAction_ = AddCommand(fileMenu_, "E&xit", "Exit TABULON", [this] { close(); });
  recentSeparator_ = fileMenu_->addSeparator();
  RebuildRecentMenu();

  QMenu* edit = menu("&Edit");
  AddCommand(edit, "&Undo\tCtrl+Z", "", [this] { Undo(); });
  AddCommand(edit, "Cu&t\tCtrl+X", "Transfer Range to Clipboard", [this] { CopySelection(true); });
  AddCommand(edit, "&Copy\tCtrl+C", "Copy Range to Clipboard", [this] { CopySelection(false); });
  AddCommand(edit, "&Paste\tCtrl+V", "Paste Clipboard to Range", [this] { PasteClipboard(); });
  AddCommand(edit, "&Delete\tCtrl+D", "Erase Block", [this] { EraseSelection(); });
  // The tab in the captions shows the key; the window handles the keys
  // itself so that they also work while the entry line has the focus.
  for (auto [seq, fn] : std::initializer_list<std::pair<QKeySequence, std::function<void()>>>{
           {QKeySequence("Ctrl+Z"), [this] { Undo(); }},
           {QKeySequence("Ctrl+X"), [this] { CopySelection(true); }},
           {QKeySequence("Ctrl+C"), [this] { CopySelection(false); }},
           {QKeySequence("Ctrl+V"), [this] { PasteClipboard(); }},
           {QKeySequence("Ctrl+D"), [this] { EraseSelection(); }}}) {
    auto* a = new QAction(this);
    a->setShortcut(seq);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, fn] {
      if (entry_->hasFocus() && input_.entryOpen()) return;  // the line edits its own text
      fn();
    });
    addAction(a);
  }

  QMenu* view = menu("&View");
  QAction* q = AddCommand(view, "Show &Quick Buttons", "", [this] {
    cfg_.quickBar = !cfg_.quickBar;
    quickBar_->setVisible(cfg_.quickBar);
  });
  q->setCheckable(true);
  q->setChecked(cfg_.quickBar);
  QAction* sb = AddCommand(view, "Show &Status Bar", "", [this] {
    cfg_.statusBar = !cfg_.statusBar;
    statusBar()->setVisible(cfg_.statusBar);
  });
  sb->setCheckable(true);
  sb->setChecked(cfg_.statusBar);
  QMenu* split = view->addMenu("S&plit Current Window");
  auto onSheet = [this](std::function<void(SheetView&)> fn) {
    return [this, fn] {
      if (SheetView* s = activeSheet()) {
        fn(*s);
        CursorMoved(*s);
      }
    };
  };
  AddCommand(split, "&Horizontal", "", onSheet([](SheetView& s) { s.SetSplit(1); }));
  AddCommand(split, "&Vertical", "", onSheet([](SheetView& s) { s.SetSplit(2); }));
  AddCommand(split, "&Synch", "", onSheet([](SheetView& s) { s.logic().synchronised = true; }));
  AddCommand(split, "&Unsynch", "", onSheet([](SheetView& s) { s.logic().synchronised = false; }));
  AddCommand(split, "&Clear", "", onSheet([](SheetView& s) { s.SetSplit(0); }));
  QMenu* borders = view->addMenu("Set Window &Borders");
  const std::pair<const char*, int> titleItems[] = {
      {"&Horizontal", 1}, {"&Vertical", 2}, {"&Both", 3}, {"&Clear", 0}};
  for (auto [caption, tag] : titleItems) {
    int t = tag;
    AddCommand(borders, caption, "", onSheet([t](SheetView& s) { s.logic().SetTitles(t); }));
  }
  QMenu* zoom = view->addMenu("&Zoom");
  for (int tag = 1; tag <= 8; ++tag) {
    QAction* a = AddCommand(zoom, kZoomCaptions[tag - 1], "", [this, tag] { SetZoom(tag); });
    a->setCheckable(true);
    a->setChecked(ZoomForTag(tag) == zoom_);
    zoomActions_.push_back(a);
  }

  BuildBlockMenus(menu);

  QMenu* window = menu("&Window");
  AddCommand(window, "&New View", "Create a new view of focused sheet", [this] {
    SheetView* s = activeSheet();
    if (s == nullptr) return;
    if (mdi_->subWindowList().size() >= 255) {
      session_.ShowError("Too many windows");
      return;
    }
    session_.Retain(s->document());
    AddSheetWindow(s->document(), s->caption(), s->untitled());
  });
  AddCommand(window, "&Tile", "Tile windows", [this] { mdi_->tileSubWindows(); });
  AddCommand(window, "&Cascade", "Layer windows", [this] { mdi_->cascadeSubWindows(); });
  AddCommand(window, "&Arrange Icons", "Rearrange minimized windows", [this] {
    // Minimised windows line up along the bottom of the frame.
    int x = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
      if (!w->isMinimized()) continue;
      w->move(x, mdi_->viewport()->height() - w->height());
      x += w->width();
    }
  });
  AddCommand(window, "Close &All", "Close all open windows", [this] {
    QList<QMdiSubWindow*> list = mdi_->subWindowList();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if (!(*it)->close()) break;
    SyncEntry();
  });

  QMenu* help = menu("&Help");
  AddCommand(help, "&About ...", "", [this] {
    QMessageBox::about(this, "TABULON", "TABULON\nA spreadsheet with worksheet windows, "
                                        "@functions and macros.");
  });
}

void MainWindow::RebuildRecentMenu() {
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
  const auto& names = recent_.names();
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
    QAction* a = target->addAction(QString("&%1 %2").arg(shown + 1).arg(QString::fromStdString(name)));
    connect(a, &QAction::triggered, this, [this, name] { OpenFile(name); });
    if (target == fileMenu_) recentActions_.push_back(a);
  }
}

void MainWindow::BuildQuickBar() {
  quickBar_ = addToolBar("Quick");
  quickBar_->setMovable(false);
  auto button = [&](const QString& text, const char* hint, std::function<void()> fn) {
    QAction* a = quickBar_->addAction(text);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    connect(a, &QAction::triggered, this, [fn] { fn(); });
    return a;
  };
  button("Open", "Open Worksheet", [this] {
    auto name = host_.OpenFileName("Open", kOpenFilter);
    if (name) OpenFile(*name);
  });
  button("Save", "Save Worksheet", [this] {
    if (SheetView* s = activeSheet()) SaveSheet(*s, s->untitled());
  });
  quickBar_->addSeparator();
  button("Cut", "Cut Text", [this] { CopySelection(true); });
  button("Copy", "Copy Text", [this] { CopySelection(false); });
  button("Paste", "Paste Text", [this] { PasteClipboard(); });
  button("Erase", "Erase Range", [this] { EraseSelection(); });
  button("@SUM", "Speed @SUM", [this] { SpeedSum(); });
  QAction* lock = button("Lock", "Protect/Unprotect Sheet", [this] {
    SheetView* s = activeSheet();
    if (s == nullptr) return;
    bool& p = s->document().settings().protect;
    p = !p;
    s->document().settings().modified = true;
    protectButton_->setChecked(p);
    input_.CursorMoved();
    AfterCommand();
  });
  lock->setCheckable(true);
  protectButton_ = qobject_cast<QToolButton*>(quickBar_->widgetForAction(lock));
  quickBar_->addSeparator();
  button("Left", "Left Justify", [this] {
    ApplyToSelection([](SheetDocument& d, const CellRange& r) { ApplyAlignment(d, r, 1); });
  });
  button("Center", "Center", [this] {
    ApplyToSelection([](SheetDocument& d, const CellRange& r) { ApplyAlignment(d, r, 3); });
  });
  button("Right", "Right Justify", [this] {
    ApplyToSelection([](SheetDocument& d, const CellRange& r) { ApplyAlignment(d, r, 2); });
  });
  QFont f = font();
  auto style = [&](const char* text, const char* hint, StyleBit bit) {
    QAction* a = button(text, hint, [this, bit] {
      ApplyToSelection([bit](SheetDocument& d, const CellRange& r) { ToggleStyle(d, r, bit); });
    });
    QFont bf = f;
    bf.setBold(bit == StyleBit::Bold);
    bf.setItalic(bit == StyleBit::Italic);
    bf.setUnderline(bit == StyleBit::Underline);
    a->setFont(bf);
  };
  style("B", "Bold", StyleBit::Bold);
  style("I", "Italic", StyleBit::Italic);
  style("U", "Underline", StyleBit::Underline);

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
  connect(fontBox_, &QComboBox::activated, this, [this](int i) {
    auto n = static_cast<std::uint8_t>(std::min(i, kMaxFontNames - 1));
    ApplyToSelection([n](SheetDocument& d, const CellRange& r) { ApplyFont(d, r, n); });
  });
  sizeBox_ = new QComboBox(this);
  sizeBox_->setToolTip("Font Size");
  for (int s : kFontSizes) sizeBox_->addItem(QString::number(s));
  sizeBox_->setCurrentText("14");
  quickBar_->addWidget(sizeBox_);
  connect(sizeBox_, &QComboBox::activated, this, [this](int i) {
    int px = kFontSizes[static_cast<std::size_t>(std::clamp(i, 0, 9))];
    ApplyToSelection([px](SheetDocument& d, const CellRange& r) { ApplyFontSize(d, r, px); });
  });
  formatBox_ = new QComboBox(this);
  formatBox_->setToolTip("Speed Format");
  for (const std::string& f2 : cfg_.formats) formatBox_->addItem(ToQt(f2));
  quickBar_->addWidget(formatBox_);
  connect(formatBox_, &QComboBox::activated, this, [this](int i) {
    if (i < 0 || i >= static_cast<int>(cfg_.formats.size())) return;
    std::string entry = cfg_.formats[static_cast<std::size_t>(i)];
    ApplyToSelection([entry](SheetDocument& d, const CellRange& r) {
      ApplyFormatEntry(d, r, entry);
    });
  });
  quickBar_->setVisible(cfg_.quickBar);
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
  entry_ = new QLineEdit(line);
  entry_->setObjectName("entry");
  entry_->setMaxLength(kMaxText);
  entry_->installEventFilter(this);
  h->addWidget(enterButton_);
  h->addWidget(escapeButton_);
  h->addWidget(mode_);
  h->addWidget(indicator_);
  h->addWidget(prompt_);
  h->addWidget(entry_, 1);
  connect(enterButton_, &QToolButton::clicked, this, [this] {
    if (input_.entryOpen() && !input_.promptOpen() && input_.window() != nullptr)
      TakeSnapshot(input_.window()->document());
    input_.HandleKey(Key::Enter);
    AfterCommand(input_.needsFullRepaint);
  });
  connect(escapeButton_, &QToolButton::clicked, this, [this] {
    input_.HandleKey(Key::Escape);
    AfterCommand(false);
  });
  connect(entry_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (syncingEntry_ || input_.window() == nullptr) return;
    input_.SetText(FromQt(text), entry_->cursorPosition());
    SyncEntry();
  });
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  for (int i = 0; i < 5; ++i) {
    auto* p = new PanelLabel(kPanelNames[i], this);
    p->setObjectName(kPanelNames[i]);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setAlignment(Qt::AlignCenter);
    p->setMinimumWidth(40);
    keyPanels_.push_back(p);
    bar->addPermanentWidget(p);
    connect(p, &PanelLabel::clicked, this, [this, i] {
      if (i == 1) {
        if (SheetView* s = activeSheet()) s->logic().SetEndMode(!s->logic().endMode());
      } else {
        keyState_[i] = !keyState_[i];
      }
      SyncEntry();
    });
  }
  calcPanel_ = new PanelLabel("Auto", this);
  calcPanel_->setObjectName("calc");
  calcPanel_->setFrameShape(QFrame::Panel);
  calcPanel_->setFrameShadow(QFrame::Sunken);
  calcPanel_->setMinimumWidth(60);
  calcPanel_->setAlignment(Qt::AlignCenter);
  bar->addPermanentWidget(calcPanel_);
  connect(calcPanel_, &PanelLabel::clicked, this, [this] {
    SheetView* s = activeSheet();
    if (s == nullptr) return;
    bool& manual = s->document().settings().manualRecalc;
    manual = !manual;
    SyncEntry();
  });
  bar->setVisible(cfg_.statusBar);
}

PanelLabel* MainWindow::panel(const char* name) const {
  for (PanelLabel* p : keyPanels_)
    if (p->objectName() == name) return p;
  return QString(name) == "calc" ? calcPanel_ : nullptr;
}

// --- windows -------------------------------------------------------------------

SheetView* MainWindow::activeSheet() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (w == nullptr && !mdi_->subWindowList().isEmpty()) w = mdi_->subWindowList().back();
  return w ? qobject_cast<SheetView*>(w->widget()) : nullptr;
}

SheetView* MainWindow::AddSheetWindow(SheetDocument& doc, const std::string& caption,
                                      bool untitled) {
  auto* view = new SheetView(*this, doc, caption, untitled);
  QMdiSubWindow* sub = mdi_->addSubWindow(view);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The first sheet fills the work area; later ones cascade at three quarters.
  QSize area = mdi_->viewport()->size();
  if (mdi_->subWindowList().size() == 1) sub->resize(area);
  else sub->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
  if (cfg_.mdiMaximised) sub->showMaximized();
  else sub->show();
  mdi_->setActiveSubWindow(sub);
  for (int i = 0; i < 2; ++i) {
    QWidget* pane = view->pane(i);
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this,
            [this, view, pane](const QPoint& pos) { ShowGridMenu(*view, pane, pos); });
  }
  view->activeGrid()->setFocus();
  SheetActivated();
  return view;
}

SheetView* MainWindow::NewSheet() {
  SheetDocument* doc = session_.NewDocument();
  if (doc == nullptr) {
    session_.ShowError(session_.errors().message());
    return nullptr;
  }
  doc->extras().colours = cfg_.colours;
  return AddSheetWindow(*doc, NewSheetName(static_cast<int>(mdi_->subWindowList().size())), true);
}

void MainWindow::SheetActivated() {
  if (closing_) return;
  SheetView* s = activeSheet();
  if (s == current_) return;
  current_ = s;
  input_.SetWindow(s ? &s->logic() : nullptr);
  if (s != nullptr) {
    protectButton_->setChecked(s->document().settings().protect);
    s->MeasureVisible();
  }
  SyncEntry();
  RepaintSheets();
}

void MainWindow::SheetClosing(SheetView& sheet) {
  if (current_ == &sheet) {
    current_ = nullptr;
    input_.SetWindow(nullptr);
  }
  session_.Release(sheet.document());
  if (!closing_) QMetaObject::invokeMethod(this, [this] { SheetActivated(); }, Qt::QueuedConnection);
}

void MainWindow::Calculate() {
  // Every open worksheet is recalculated once, then repainted.
  std::vector<SheetDocument*> done;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* s = qobject_cast<SheetView*>(w->widget());
    if (s == nullptr) continue;
    SheetDocument* doc = &s->document();
    if (std::find(done.begin(), done.end(), doc) != done.end()) continue;
    done.push_back(doc);
    RecalcAll(*doc);
  }
  RepaintSheets();
}

void MainWindow::RepaintSheets(SheetDocument* doc) {
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* s = qobject_cast<SheetView*>(w->widget());
    if (s != nullptr && (doc == nullptr || &s->document() == doc)) s->Refresh();
  }
}

// --- files -------------------------------------------------------------------

bool MainWindow::OpenFile(const std::string& fileName) {
  std::string name = WorksheetFileName(fileName);
  if (!IsWorksheetFile(name)) {
    session_.ShowError("Invalid WKS File!");
    return false;
  }
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* s = qobject_cast<SheetView*>(w->widget());
    if (s != nullptr && !s->untitled() &&
        UpperCase(s->document().fileName()) == UpperCase(name)) {
      mdi_->setActiveSubWindow(w);
      return true;
    }
  }
  SheetDocument* doc = session_.NewDocument();
  if (doc == nullptr) {
    session_.ShowError(session_.errors().message());
    return false;
  }
  doc->extras().colours = cfg_.colours;
  LoadResult r = LoadWorksheet(*doc, name, 0);
  if (!r.ok) {
    session_.Release(*doc);
    return false;
  }
  recent_.Remember(name);
  RebuildRecentMenu();
  SheetView* view = AddSheetWindow(*doc, name, false);
  const PaneState& p = doc->extras().pane1;
  view->logic().MoveCursor(p.cursorRow, p.cursorCol);
  protectButton_->setChecked(doc->settings().protect);
  CursorMoved(*view);
  if (r.hasAutoexec) host_.Beep();  // the macro itself runs once macros exist
  return true;
}

bool MainWindow::SaveSheet(SheetView& sheet, bool askName) {
  std::string name = sheet.caption();
  if (askName || sheet.untitled()) {
    auto chosen = host_.SaveFileName("TABULON SAVE AS...", kSaveFilter, name);
    if (!chosen) return false;
    name = WorksheetFileName(*chosen);
  }
  if (!SaveWorksheet(sheet.document(), name)) return false;
  sheet.document().SetFileName(name);
  sheet.document().settings().modified = false;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* s = qobject_cast<SheetView*>(w->widget());
    if (s != nullptr && &s->document() == &sheet.document()) s->SetCaption(name, false);
  }
  recent_.Remember(name);
  RebuildRecentMenu();
  return true;
}

void MainWindow::OpenStartupSheet() {
  std::error_code ec;
  if (!cfg_.autoexec.empty() && std::filesystem::is_regular_file(cfg_.autoexec, ec)) {
    if (OpenFile(cfg_.autoexec)) return;
  }
  if (cfg_.preOpen && mdi_->subWindowList().isEmpty()) NewSheet();
}

void MainWindow::SaveSettings() {
  CaptureConfig(session_.settings(), cfg_);
  cfg_.history = recent_.names();
  cfg_.historySize = recent_.size();
  cfg_.scale = zoom_;
  cfg_.loadDir = host_.openDirectory;
  cfg_.saveDir = host_.saveDirectory;
  if (!configDir_.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(configDir_, ec);
  }
  WriteSettings(settingsFile_, cfg_);  // failures are silent; the backup stays
}

void MainWindow::closeEvent(QCloseEvent* e) {
  QList<QMdiSubWindow*> list = mdi_->subWindowList();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (!(*it)->close()) {
      e->ignore();
      return;
    }
  }
  SaveSettings();
  closing_ = true;
  e->accept();
}

// --- entry line and keys -------------------------------------------------------

void MainWindow::SyncEntry() {
  syncingEntry_ = true;
  QString text = ToQt(input_.text());
  if (entry_->text() != text) entry_->setText(text);
  entry_->setCursorPosition(input_.caret());
  QPalette pal = entry_->palette();
  pal.setColor(QPalette::Text, input_.showsError() ? Qt::red : Qt::black);
  pal.setColor(QPalette::Base, input_.entryOpen() ? Qt::white : QColor(212, 208, 200));
  entry_->setPalette(pal);
  entry_->setEnabled(!input_.disabled() && input_.window() != nullptr);
  enterButton_->setVisible(input_.entryOpen());
  escapeButton_->setVisible(input_.entryOpen());
  mode_->setText(ToQt(input_.mode()));
  indicator_->setText(ToQt(input_.IndicatorText()));
  prompt_->setVisible(input_.promptOpen());
  prompt_->setText(ToQt(input_.promptCaption()));
  SheetView* s = activeSheet();
  keyState_[1] = s != nullptr && s->logic().endMode();
  for (int i = 0; i < 5; ++i) {
    // A lit panel reads normally; the End marker shows inverted while on.
    PanelLabel* p = keyPanels_[static_cast<std::size_t>(i)];
    if (i == 1) p->setStyleSheet(keyState_[1] ? "color: rgb(192,192,192); background: black;" : "color: gray;");
    else p->setStyleSheet(keyState_[i] ? "color: black;" : "color: gray;");
  }
  calcPanel_->setText(s != nullptr && s->document().settings().manualRecalc ? "Manual" : "Auto");
  syncingEntry_ = false;
}

void MainWindow::AfterCommand(bool repaintAll) {
  if (awaitingRange_ != nullptr && !input_.promptOpen()) {
    QWidget* dialog = awaitingRange_;
    awaitingRange_ = nullptr;
    dialog->show();
    dialog->raise();
  }
  SheetView* s = activeSheet();
  if (repaintAll || input_.needsFullRepaint) {
    input_.needsFullRepaint = false;
    RepaintSheets(s ? &s->document() : nullptr);
  } else if (s != nullptr) {
    s->Refresh();
  }
  SyncEntry();
  if (!input_.entryOpen() && s != nullptr && entry_->hasFocus()) s->activeGrid()->setFocus();
}

void MainWindow::CursorMoved(SheetView& sheet) {
  if (&sheet == activeSheet()) input_.CursorMoved();
  sheet.Refresh();
  SyncEntry();
}

void MainWindow::GridKey(SheetView& sheet, QKeyEvent* e) {
  char ch = 0;
  Key k = MapKey(e, ch);
  KeyMods mods = ModsOf(e);
  switch (e->key()) {
    case Qt::Key_Insert: keyState_[0] = !keyState_[0]; break;
    case Qt::Key_NumLock: keyState_[2] = !keyState_[2]; break;
    case Qt::Key_ScrollLock: keyState_[3] = !keyState_[3]; break;
    case Qt::Key_CapsLock: keyState_[4] = !keyState_[4]; break;
    default: break;
  }
  SheetWindow& w = sheet.logic();
  bool arrow = k == Key::Left || k == Key::Right || k == Key::Up || k == Key::Down ||
               k == Key::Home;
  // While a range prompt is open or the line points, moves go through the
  // line, which rewrites the pointed range.
  if ((input_.promptOpen() || input_.pointing()) && !w.endMode() &&
      (arrow || k == Key::Enter || k == Key::Escape || k == Key::F4)) {
    if (k == Key::Enter && !input_.promptOpen() && input_.window() != nullptr)
      TakeSnapshot(input_.window()->document());
    input_.HandleKey(k, mods);
    AfterCommand(input_.needsFullRepaint);
    return;
  }
  // An entry left open while the grid has the focus still takes Enter and
  // Escape.
  if (input_.entryOpen() && (k == Key::Enter || k == Key::Escape)) {
    if (k == Key::Enter && input_.window() != nullptr) TakeSnapshot(input_.window()->document());
    input_.HandleKey(k, mods);
    AfterCommand(input_.needsFullRepaint);
    return;
  }
  if (k == Key::Character && input_.promptOpen()) {
    input_.TypeChar(ch);
    entry_->setFocus();
    SyncEntry();
    return;
  }
  if (k == Key::Character && input_.pointing()) {
    input_.TypeChar(ch);
    SyncEntry();
    return;
  }
  if (k == Key::None) return;
  WindowAction action = w.HandleKey(k, mods, ch);
  switch (action) {
    case WindowAction::StartEntry:
      input_.TypeChar(ch);
      entry_->setFocus();
      break;
    case WindowAction::EditCell:
      input_.HandleKey(Key::F2);
      entry_->setFocus();
      break;
    case WindowAction::CycleReference: input_.HandleKey(Key::F4); break;
    case WindowAction::NextWindow: mdi_->activateNextSubWindow(); return;
    case WindowAction::Calculate: Calculate(); break;
    case WindowAction::OpenGotoPrompt:
      AskRange("GOTO: Specify Cell", [this](const CellRange& r) {
        SheetView* s = activeSheet();
        if (s == nullptr) return;
        if (!r.IsDefined()) {
          host_.Beep();
          return;
        }
        s->logic().MoveCursor(r.firstRow, r.firstCol);
        input_.CursorMoved();
        s->Refresh();
        SyncEntry();
      });
      return;
    case WindowAction::AnchorBlock: input_.TypeChar('.'); break;
    default: break;
  }
  input_.CursorMoved();
  sheet.Refresh();
  SyncEntry();
}

bool MainWindow::EntryKey(QKeyEvent* e) {
  char ch = 0;
  Key k = MapKey(e, ch);
  KeyMods mods = ModsOf(e);
  bool lineKey = k == Key::Enter || k == Key::Escape || k == Key::Left || k == Key::Right ||
                 k == Key::Up || k == Key::Down || k == Key::Home || k == Key::F2 ||
                 k == Key::F4 || k == Key::F9;
  if (!lineKey || input_.window() == nullptr) return false;
  // The line's own text goes first, so that arrows see the caret where the
  // user put it.
  if (!input_.promptOpen() && input_.entryOpen())
    input_.SetText(FromQt(entry_->text()), entry_->cursorPosition());
  if (k == Key::Enter && input_.entryOpen() && !input_.promptOpen())
    TakeSnapshot(input_.window()->document());
  if (!input_.HandleKey(k, mods)) return false;
  AfterCommand(input_.needsFullRepaint);
  return true;
}

bool MainWindow::eventFilter(QObject* obj, QEvent* e) {
  if (obj == entry_ && e->type() == QEvent::KeyPress) {
    if (EntryKey(static_cast<QKeyEvent*>(e))) return true;
  }
  return QMainWindow::eventFilter(obj, e);
}

// --- commands ------------------------------------------------------------------

void MainWindow::ApplyToSelection(
    const std::function<void(SheetDocument&, const CellRange&)>& fn) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  TakeSnapshot(s->document());
  fn(s->document(), s->logic().SelectionRange());
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::CopySelection(bool cut) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  ClipboardCopy c = ClipboardTextOf(s->document(), s->logic().SelectionRange());
  host_.SetClipboardText(c.text);
  if (c.truncated) statusBar()->showMessage("Only the first 64000 bytes were copied", 5000);
  if (cut) {
    TakeSnapshot(s->document());
    EraseRange(s->document(), s->logic().SelectionRange());
    input_.CursorMoved();
  }
  AfterCommand();
}

void MainWindow::PasteClipboard() {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  std::string text = host_.ClipboardText();
  if (text.empty()) {
    host_.Beep();
    return;
  }
  TakeSnapshot(s->document());
  const CellRange& sel = s->logic().SelectionRange();
  CellAddress at{static_cast<std::int16_t>(sel.Left()), static_cast<std::int16_t>(sel.Top())};
  PasteResult r = PasteText(s->document(), at, text);
  if (!r.ok) {
    if (!session_.errors().message().empty()) session_.ShowError(session_.errors().message());
    else host_.Beep();
  } else if (r.truncated) {
    statusBar()->showMessage("Only the first 64000 bytes of the clipboard were pasted", 5000);
  }
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::EraseSelection() {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  TakeSnapshot(s->document());
  EraseRange(s->document(), s->logic().SelectionRange());
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::Undo() {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (!RestoreSnapshot(s->document())) host_.Beep();
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::SpeedSum() {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  auto entries = SpeedSumEntries(s->document(), s->logic().SelectionRange());
  if (entries.empty()) {
    host_.Beep();
    return;
  }
  TakeSnapshot(s->document());
  for (const SumEntry& e : entries) {
    EntryResult r = EnterCell(s->document(), e.formula, e.cell.row, e.cell.col);
    if (!r.ok) {
      session_.ShowError(session_.errors().message());
      break;
    }
  }
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::SetZoom(int tag) {
  zoom_ = ZoomForTag(tag);
  for (std::size_t i = 0; i < zoomActions_.size(); ++i)
    zoomActions_[i]->setChecked(static_cast<int>(i) + 1 == tag);
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* s = qobject_cast<SheetView*>(w->widget())) s->MeasureVisible();
  RepaintSheets();
}

// --- block commands --------------------------------------------------------------

void MainWindow::BuildBlockMenus(const std::function<QMenu*(const char*)>& menu) {
  QMenu* sheet = menu("&Sheet");
  QMenu* insert = sheet->addMenu("&Insert");
  AddCommand(insert, "&Page Break", "Insert a Page Break/Row at current Pos",
             [this] { RunSheetMenuCommand(SheetCommand::kInsertPageBreak); });
  AddCommand(insert, "&Row", "Insert a Row at Cursor Pos.",
             [this] { RunSheetMenuCommand(SheetCommand::kInsertRows); });
  AddCommand(insert, "&Column", "Insert Col(s) at cursor pos.",
             [this] { RunSheetMenuCommand(SheetCommand::kInsertColumns); });
  AddCommand(insert, "&Across Row", "", [this] { RunSheetMenuCommand(SheetCommand::kInsertAcross); });
  QMenu* remove = sheet->addMenu("&Delete");
  AddCommand(remove, "&Row", "", [this] { RunSheetMenuCommand(SheetCommand::kDeleteRows); });
  AddCommand(remove, "&Column", "", [this] { RunSheetMenuCommand(SheetCommand::kDeleteColumns); });
  AddCommand(remove, "&Across Row", "", [this] { RunSheetMenuCommand(SheetCommand::kDeleteAcross); });
  AddCommand(sheet, "&Colwidth...", "", [this] { OpenWidthDialog(false); });
  AddCommand(sheet, "&Rowheight...", "", [this] { OpenWidthDialog(true); });

  QMenu* range = menu("&Range");
  QMenu* copy = range->addMenu("&Copy");
  AddCommand(copy, "&Value", "", [this] { CopyValues(ValueCopyMode::kValue); });
  AddCommand(copy, "&Transpose", "", [this] { CopyValues(ValueCopyMode::kTranspose); });
  AddCommand(copy, "&Scale", "", [this] { CopyValues(ValueCopyMode::kScale); });
  AddCommand(copy, "&Invert", "", [this] { CopyValues(ValueCopyMode::kInvert); });
  AddCommand(copy, "&Formula", "", [this] { host_.Beep(); });
  AddCommand(range, "&Erase", "", [this] { EraseSelection(); });
  range->addSeparator();
  for (int i = 0; i < kPropertyPageCount; ++i) {
    auto page = static_cast<PropertyPage>(i);
    AddCommand(range, kPropertyTabCaptions[i], "", [this, page] { OpenProperties(page); });
  }

  // Copy and Move sit on the menu bar itself.
  QMenuBar* bar = menuBar();
  auto barItem = [&](const char* caption, const char* hint, std::function<void()> fn) {
    auto* a = new QAction(caption, bar);
    a->setStatusTip(hint);
    connect(a, &QAction::hovered, this, [this, hint] { setWindowTitle(hint); });
    connect(a, &QAction::triggered, this, [fn] { fn(); });
    bar->addAction(a);
  };
  barItem("&Copy", "Copy Cells to Destination", [this] { CopyOrMove(false); });
  barItem("&Move", "Move Cells to Destination", [this] { CopyOrMove(true); });
}

void MainWindow::ShowGridMenu(SheetView& sheet, QWidget* pane, const QPoint& pos) {
  QMenu popup(this);
  AddCommand(&popup, "&Properties", "", [this] { OpenProperties(PropertyPage::kFormat); });
  popup.addSeparator();
  AddCommand(&popup, "Cu&t\tCtrl+X", "", [this] { CopySelection(true); });
  AddCommand(&popup, "&Copy\tCtrl+C", "", [this] { CopySelection(false); });
  AddCommand(&popup, "&Paste\tCtrl+V", "", [this] { PasteClipboard(); });
  AddCommand(&popup, "&Delete\tCtrl+D", "", [this] { EraseSelection(); });
  popup.addSeparator();
  AddCommand(&popup, "&Move", "Move Cells to Destination", [this] { CopyOrMove(true); });
  AddCommand(&popup, "Copy t&o", "Copy Cells to Destination", [this] { CopyOrMove(false); });
  (void)sheet;
  popup.exec(pane->mapToGlobal(pos));
  setWindowTitle("TABULON");
}

void MainWindow::AskRange(const char* prompt, std::function<void(const CellRange&)> done) {
  if (activeSheet() == nullptr || input_.window() == nullptr) return;
  if (input_.entryOpen() && !input_.promptOpen()) input_.Cancel();
  input_.OpenRangePrompt(std::string(" ") + prompt, [this, done](const std::string& text) {
    SheetView* s = activeSheet();
    if (s == nullptr) return;
    done(PromptRange(s->document(), text, &s->logic()));
  });
  SyncEntry();
  entry_->setFocus();
  entry_->selectAll();
}

void MainWindow::RunBlock(const std::function<BlockResult(SheetDocument&)>& fn) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  session_.errors().Clear();
  BlockResult r = fn(s->document());
  if (!r.ok) {
    if (!session_.errors().message().empty()) session_.ShowError(session_.errors().message());
    else host_.Beep();
  }
  session_.errors().Clear();
  input_.CursorMoved();
  AfterCommand();
}

void MainWindow::CopyOrMove(bool move) {
  AskRange(move ? kMoveFromPrompt : kCopyFromPrompt, [this, move](const CellRange& from) {
    AskRange(move ? kMoveToPrompt : kCopyToPrompt, [this, move, from](const CellRange& to) {
      RunBlock([&](SheetDocument& doc) {
        return move ? MoveRange(doc, from, to) : CopyRange(doc, from, to);
      });
    });
  });
}

void MainWindow::CopyValues(ValueCopyMode mode) {
  AskRange(ValueCopyPrompt(mode), [this, mode](const CellRange& from) {
    AskRange(kOutputPrompt, [this, mode, from](const CellRange& to) {
      double factor = 2.0;
      if (mode == ValueCopyMode::kScale) {
        auto text = host_.InputBox("Scale", "Scale factor:", "2");
        if (!text) return;  // cancelled
        SheetView* s = activeSheet();
        std::optional<double> f = s ? ParseScaleFactor(s->document(), *text) : std::nullopt;
        if (!f) {
          host_.Beep();
          return;
        }
        factor = *f;
      }
      RunBlock([&](SheetDocument& doc) { return tabulon::CopyValues(doc, from, to, mode, factor); });
    });
  });
}

void MainWindow::RunSheetMenuCommand(SheetCommand command) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (input_.entryOpen()) input_.Cancel();
  CellRange sel = s->logic().SelectionRange();
  int cursorCol = s->logic().CursorCell().col;
  RunBlock([&](SheetDocument& doc) { return RunSheetCommand(doc, command, sel, cursorCol); });
}

void MainWindow::OpenProperties(PropertyPage page) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (properties_ == nullptr) {
    properties_ = new PropertiesDialogView(this, cfg_.formats);
    connect(properties_, &PropertiesDialogView::applied, this, [this] {
      input_.CursorMoved();
      AfterCommand();
    });
    connect(properties_, &PropertiesDialogView::rangePromptRequested, this,
            [this](const QString& text) {
              // The field's text (when any) replaces the selection; the
              // confirmed text goes back into the dialog.
              std::string initial = FromQt(text);
              awaitingRange_ = properties_;
              input_.OpenRangePrompt(" Range", [this](const std::string& t) {
                properties_->SetRangeText(t);
              });
              if (!initial.empty()) input_.SetText(initial, static_cast<int>(initial.size()));
              SyncEntry();
              entry_->setFocus();
            });
  }
  const auto& fonts = s->document().extras().fontNames.empty() ? fontList_
                                                                : s->document().extras().fontNames;
  properties_->OpenOn(page, s->document(), s->logic(), s->logic().SelectionRange(), fonts);
}

void MainWindow::OpenWidthDialog(bool rows) {
  SheetView* s = activeSheet();
  if (s == nullptr) return;
  if (widths_ == nullptr) {
    widths_ = new WidthDialogView(this);
    connect(widths_, &WidthDialogView::applied, this, [this] {
      for (QMdiSubWindow* w : mdi_->subWindowList())
        if (auto* v = qobject_cast<SheetView*>(w->widget())) v->MeasureVisible();
      AfterCommand();
    });
    connect(widths_, &WidthDialogView::rangePromptRequested, this, [this](const QString& text) {
      std::string initial = FromQt(text);
      awaitingRange_ = widths_;
      input_.OpenRangePrompt(" Range", [this](const std::string& t) { widths_->SetRangeText(t); });
      if (!initial.empty()) input_.SetText(initial, static_cast<int>(initial.size()));
      SyncEntry();
      entry_->setFocus();
    });
  }
  widths_->OpenOn(rows, s->document(), s->logic(), s->logic().SelectionRange(),
                  s->defaultRowHeight);
}

}  // namespace tabulon
