// Help > Contents and Help > Tips... in the real main window, offscreen:
// the manual opens on its contents, a click on a link follows it to
// another chapter and to a heading inside it, Back and Home return; a
// missing manual says where it was looked for; the tips come one at a time
// and the start-up box is the configuration's TIPS= flag.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "qt/help_window.h"
#include "qt/main_window.h"
#include "qt/sheet_view.h"

using namespace tabulon;

class HelpWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> w_;

  void Start(const std::string& dataDir) {
    StartOptions o;
    o.configDir = dir_.path().toStdString() + "/cfg";
    o.dataDir = dataDir;
    w_ = std::make_unique<MainWindow>(o);
    w_->host().answerQuestion = [](const std::string&) { return Answer::No; };
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    w_->OpenStartupSheet();
  }
  // The folder the manual is installed in holds "manual/".
  static std::string SourceData() { return QDir(TABULON_MANUAL_DIR "/..").absolutePath().toStdString(); }

  HelpWindow* Help() { return w_->findChild<HelpWindow*>(); }
  TipWindow* Tips() { return w_->findChild<TipWindow*>(); }

  // Clicks the first link of the page whose target is `href`, as the user
  // would: at its place in the browser's viewport.
  bool ClickLink(ManualBrowser* b, const QString& href) {
    for (QTextBlock block = b->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        if (!f.charFormat().isAnchor() || f.charFormat().anchorHref() != href) continue;
        QTextCursor c(b->document());
        c.setPosition(f.position() + f.length() / 2);
        b->setTextCursor(c);
        b->ensureCursorVisible();
        QPoint at = b->cursorRect(c).center();
        QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        return true;
      }
    }
    return false;
  }
  // The top of the first heading whose text is `text`, in the document.
  static qreal HeadingTop(ManualBrowser* b, const QString& text) {
    for (QTextBlock block = b->document()->begin(); block.isValid(); block = block.next())
      if (block.blockFormat().headingLevel() > 0 && block.text() == text)
        return b->document()->documentLayout()->blockBoundingRect(block).top();
    return -1;
  }

 private slots:
  void cleanup() {
    if (w_) w_->close();
    w_.reset();
  }

  void contentsFollowLinksBackAndHome() {
    Start(SourceData());
    w_->workspace().Invoke("help.contents");
    HelpWindow* help = Help();
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QVERIFY(help->manualFound());
    ManualBrowser* b = help->browser();
    QVERIFY(b->source().toLocalFile().endsWith("manual/index.md"));
    QVERIFY(b->toPlainText().contains("TABULON user manual"));
    // Markdown is rendered, not shown as source.
    QVERIFY(!b->toPlainText().contains("]("));
    QVERIFY(!help->backButton()->isEnabled());

    // A link to another chapter.
    QVERIFY(ClickLink(b, "getting-started.md"));
    QTRY_VERIFY(b->source().toLocalFile().endsWith("getting-started.md"));
    QVERIFY(b->toPlainText().contains("Moving around"));
    QVERIFY(help->backButton()->isEnabled());

    // A link to a heading in a third chapter scrolls that heading to the top.
    QVERIFY(ClickLink(b, "commands.md#the-pop-up-menu"));
    QTRY_VERIFY(b->source().toLocalFile().endsWith("commands.md"));
    qreal top = HeadingTop(b, "The pop-up menu");
    QVERIFY(top > 0);
    QVERIFY(b->verticalScrollBar()->value() > 0);
    QVERIFY(std::abs(b->verticalScrollBar()->value() - top) <= 1 ||
            b->verticalScrollBar()->value() == b->verticalScrollBar()->maximum());

    // Back, then Home.
    help->backButton()->click();
    QTRY_VERIFY(b->source().toLocalFile().endsWith("getting-started.md"));
    help->homeButton()->click();
    QTRY_VERIFY(b->source().toLocalFile().endsWith("index.md"));

    // Closing and opening again keeps one window.
    help->close();
    w_->workspace().Invoke("help.contents");
    QCOMPARE(w_->findChildren<HelpWindow*>().size(), qsizetype(1));
    QVERIFY(Help()->isVisible());
  }

  void f1OnTheSheetOpensTheManual() {
    Start(SourceData());
    QVERIFY(Help() == nullptr);
    QWidget* grid = w_->activeSheet()->activeGrid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F1);
    QVERIFY(Help() != nullptr && Help()->isVisible());
  }

  void aMissingManualSaysWhereItLooked() {
    QTemporaryDir empty;
    Start(empty.path().toStdString());
    w_->workspace().Invoke("help.contents");
    HelpWindow* help = Help();
    QVERIFY(help != nullptr);
    QVERIFY(!help->manualFound());
    QString text = help->browser()->toPlainText();
    QVERIFY(text.contains("not installed"));
    QVERIFY(text.contains(empty.path() + "/manual/index.md"));

    w_->workspace().Invoke("help.tips");
    QVERIFY(Tips() != nullptr);
    QVERIFY(Tips()->tipText().contains(empty.path() + "/manual/tips.txt"));
    QVERIFY(!Tips()->nextButton()->isEnabled());
  }

  void tipsComeOneAtATimeAndTheBoxIsTheFlag() {
    Start(SourceData());
    w_->workspace().Invoke("help.tips");
    TipWindow* tips = Tips();
    QVERIFY(tips != nullptr && tips->isVisible());
    QVERIFY(tips->tipCount() >= 15);
    QString first = tips->tipText();
    QVERIFY(!first.isEmpty());
    tips->nextButton()->click();
    QVERIFY(tips->tipText() != first);
    // Next wraps round to the first tip after the last.
    for (std::size_t i = 1; i < tips->tipCount(); ++i) tips->nextButton()->click();
    QCOMPARE(tips->tipText(), first);

    QVERIFY(w_->config().tips);
    QVERIFY(tips->startupBox()->isChecked());
    tips->startupBox()->click();
    QVERIFY(!w_->config().tips);
    // The flag is written to the settings file at exit.
    w_->close();
    w_.reset();
    QFile ini(dir_.path() + "/cfg/TBL.INI");
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("TIPS=FALSE"));
  }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
