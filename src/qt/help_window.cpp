#include "qt/help_window.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "ui/help_text.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

QString Html(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

}  // namespace

// --- the browser -----------------------------------------------------------------

bool ManualBrowser::ScrollToHeading(const QString& anchor) {
  std::vector<QTextBlock> blocks;
  std::vector<std::string> texts;
  for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
    if (b.blockFormat().headingLevel() == 0) continue;
    blocks.push_back(b);
    texts.push_back(b.text().toStdString());
  }
  std::vector<std::string> anchors = HeadingAnchors(texts);
  std::string wanted = anchor.toStdString();
  for (std::size_t i = 0; i < anchors.size(); ++i) {
    if (anchors[i] != wanted) continue;
    setTextCursor(QTextCursor(blocks[i]));
    QRectF r = document()->documentLayout()->blockBoundingRect(blocks[i]);
    verticalScrollBar()->setValue(static_cast<int>(r.top()));
    return true;
  }
  return false;
}

void ManualBrowser::doSetSource(const QUrl& url, QTextDocument::ResourceType type) {
  // The chapters are Markdown whatever the system's file types say.
  if (type == QTextDocument::UnknownResource && url.path().endsWith(".md"))
    type = QTextDocument::MarkdownResource;
  QTextBrowser::doSetSource(url, type);
  if (url.hasFragment()) ScrollToHeading(url.fragment());
}

// --- the help window ---------------------------------------------------------------

HelpWindow::HelpWindow(QWidget* parent, std::string dataDirectory)
    : QWidget(parent, Qt::Window), index_(ManualIndexFile(dataDirectory)) {
  setObjectName("help");
  setWindowTitle("TABULON Help");
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  back_ = new QPushButton("&Back", this);
  home_ = new QPushButton("&Home", this);
  back_->setEnabled(false);
  buttons->addWidget(back_);
  buttons->addWidget(home_);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  browser_ = new ManualBrowser(this);
  browser_->setOpenExternalLinks(true);
  layout->addWidget(browser_, 1);
  connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(home_, &QPushButton::clicked, this, &HelpWindow::GoHome);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    QString title = browser_->documentTitle();
    if (title.isEmpty() && browser_->document()->firstBlock().isValid())
      title = browser_->document()->firstBlock().text();
    setWindowTitle(title.isEmpty() ? QString("TABULON Help") : "TABULON Help - " + title);
  });
  resize(780, 620);
}

void HelpWindow::GoHome() {
  found_ = QFileInfo(QString::fromStdString(index_)).isFile();
  if (!found_) {
    // Said in the window itself, so that the user learns where the manual
    // was expected without looking for a terminal.
    browser_->setHtml("<h2>The manual is not installed</h2><p>TABULON looked for it in <code>" +
                      Html(index_) +
                      "</code>.</p><p>It is installed with the program under "
                      "<code>share/tabulon/manual</code>.</p>");
    home_->setEnabled(false);
    return;
  }
  home_->setEnabled(true);
  browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(index_)));
}

void HelpWindow::Open() {
  if (browser_->source().isEmpty()) GoHome();
  show();
  raise();
  activateWindow();
}

// --- the tip window ----------------------------------------------------------------

TipWindow::TipWindow(QWidget* parent, Workspace& ws, const std::string& dataDirectory)
    : QDialog(parent), ws_(ws) {
  setObjectName("tips");
  setWindowTitle("Tips");
  std::string file = TipsFile(dataDirectory);
  QFile f(QString::fromStdString(file));
  if (f.open(QIODevice::ReadOnly)) tips_ = ParseTips(f.readAll().toStdString());

  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel("<b>Did you know...</b>", this);
  layout->addWidget(heading);
  text_ = new QLabel(this);
  text_->setObjectName("tip");
  text_->setWordWrap(true);
  text_->setMinimumSize(380, 90);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(text_, 1);
  startup_ = new QCheckBox("&Show tips at start-up", this);
  startup_->setChecked(ws_.config().tips);
  layout->addWidget(startup_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  next_ = new QPushButton("&Next", this);
  auto* close = new QPushButton("&Close", this);
  buttons->addWidget(next_);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(next_, &QPushButton::clicked, this, &TipWindow::Next);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  // The box is the configuration's flag, written back when TABULON ends.
  connect(startup_, &QCheckBox::toggled, this, [this](bool on) { ws_.config().tips = on; });

  if (tips_.empty()) {
    text_->setText("No tips are installed: TABULON looked for them in " +
                   QString::fromStdString(file) + ".");
    next_->setEnabled(false);
  }
}

void TipWindow::ShowTip() {
  if (tips_.empty()) return;
  text_->setText(QString::fromStdString(tips_[current_]));
}

void TipWindow::Next() {
  if (tips_.empty()) return;
  current_ = (current_ + 1) % tips_.size();
  ShowTip();
}

void TipWindow::Open() {
  if (!tips_.empty()) {
    if (!opened_) {
      current_ = static_cast<std::size_t>(QDate::currentDate().toJulianDay()) % tips_.size();
      ShowTip();
    } else {
      Next();
    }
  }
  opened_ = true;
  startup_->setChecked(ws_.config().tips);
  show();
  raise();
  activateWindow();
}

// --- the main window's commands --------------------------------------------------------

void ShowHelpWindow(QWidget* parent, const std::string& dataDirectory) {
  auto* help = parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (help == nullptr) help = new HelpWindow(parent, dataDirectory);
  help->Open();
}

void ShowTipWindow(QWidget* parent, Workspace& ws, const std::string& dataDirectory) {
  auto* tips = parent->findChild<TipWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (tips == nullptr) tips = new TipWindow(parent, ws, dataDirectory);
  tips->Open();
}

bool TipsInstalled(const std::string& dataDirectory) {
  return QFileInfo(QString::fromStdString(TipsFile(dataDirectory))).isFile();
}

}  // namespace tabulon
