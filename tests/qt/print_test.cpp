// Printing through Qt under the offscreen platform: PDF files written
// whole or not at all, the preview painting a page, and the print dialog's
// options page storing what was typed.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "edit/cell_entry.h"
#include "platform/headless_host.h"
#include "print/print_commands.h"
#include "print/print_dialog.h"
#include "print/print_preview.h"
#include "print/print_service.h"
#include "print/sheet_printer.h"
#include "qt/page_target.h"
#include "qt/print_dialog.h"
#include "qt/print_preview.h"
#include "qt/print_target.h"
#include "sheet/print_options.h"
#include "ui/workspace.h"

using namespace tabulon;

class PrintTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<HeadlessHost> host_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Workspace> ws_;
  QtPdfDevices pdf_;
  PrintService* print_ = nullptr;

  SheetDocument& Doc() { return ws_->active()->document(); }
  std::string Path(const char* name) { return (dir_.path() + "/" + name).toStdString(); }
  void Rows(int n) {
    for (int r = 0; r < n; ++r) EnterCell(Doc(), "row " + std::to_string(r + 1), r, 0);
  }
  // The number of "/Type /Page" objects: pages of a PDF written by Qt.
  static int PdfPages(const QByteArray& bytes) {
    int pages = 0;
    for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0;
         at = bytes.indexOf("/Type /Page", at + 1))
      if (bytes.mid(at, 12) != "/Type /Pages") ++pages;
    return pages;
  }

 private slots:
  void init() {
    host_ = std::make_unique<HeadlessHost>();
    session_ = std::make_unique<Session>(*host_);
    ws_ = std::make_unique<Workspace>(*session_);
    print_ = &RegisterPrintCommands(*ws_, &pdf_);
    ws_->NewSheet();
  }
  void cleanup() {
    ws_.reset();
    session_.reset();
    host_.reset();
  }

  void pdfPagesAreWrittenWhole() {
    Rows(130);
    std::string file = Path("rows.pdf");
    host_->fileNames.push_back(file);
    QVERIFY(ws_->Execute("print.range", {"A1..A130"}).ok());
    QFile f(QString::fromStdString(file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(PdfPages(bytes), 3);
    QVERIFY(!QFile::exists(QString::fromStdString(file + ".~tmp")));
  }

  void anAbortedJobLeavesNoFile() {
    Rows(130);
    std::string file = Path("aborted.pdf");
    host_->fileNames.push_back(file);
    print_->status().changed = [this] {
      if (print_->status().percent() > 60) print_->status().Abort();
    };
    Status s = ws_->Execute("print.range", {"A1..A130"});
    QVERIFY(!s.ok());
    QCOMPARE(QString::fromStdString(s.message()), QString(kPrintAborted));
    QVERIFY(!QFile::exists(QString::fromStdString(file)));
    QVERIFY(!QFile::exists(QString::fromStdString(file + ".~tmp")));

    // An existing file of that name stays as it was.
    QFile old(QString::fromStdString(file));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    host_->fileNames.push_back(file);
    QVERIFY(!ws_->Execute("print.range", {"A1..A130"}).ok());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep"));
  }

  void anUnwritablePdfIsReported() {
    Rows(3);
    host_->fileNames.push_back(Path("missing/dir/x.pdf"));
    Status s = ws_->Execute("print.all");
    QVERIFY(!s.ok());
    QVERIFY(QString::fromStdString(s.message()).startsWith("Cannot write"));
    QVERIFY(!QFile::exists(QString::fromStdString(Path("missing"))));
  }

  void landscapePagesAreWide() {
    Rows(3);
    PdfPageTarget t(Path("wide.pdf"));
    t.SetLandscape(true);
    PageMetrics m = t.Metrics();
    QCOMPARE(m.physicalWidth, 11 * 1200);
    QCOMPARE(m.physicalHeight, 17 * 600);
    PrintJob job = JobFor(Doc(), PrintOptions{}, CellRange::Of(0, 0, 2, 0), 12, 0);
    QVERIFY(PrintSheet(t, Doc(), job).ok());
    QVERIFY(QFile::exists(QString::fromStdString(Path("wide.pdf"))));
  }

  void thePreviewPaintsThePage() {
    Rows(80);
    PrintPreviewView view(nullptr, *print_, CellRange::Of(0, 0, 79, 0));
    QCOMPARE(view.countLabel()->text(), QString("of 2"));
    QImage image(400, 500, QImage::Format_RGB32);
    {
      QPainter p(&image);
      view.PaintPicture(p, QSize(400, 500));
    }
    // Grey around, a white page, black shadow, and some dark text pixels.
    QCOMPARE(image.pixelColor(2, 2), QColor(128, 128, 128));
    PreviewPicture pic = view.model().Picture(400, 500);
    QCOMPARE(image.pixelColor(pic.page.left + 1, pic.page.top + 1), QColor(Qt::white));
    QCOMPARE(image.pixelColor(pic.shadowRight.left + 2, pic.shadowRight.bottom - 2),
             QColor(Qt::black));
    int dark = 0;
    for (int y = pic.inner.top; y < pic.inner.bottom; ++y)
      for (int x = pic.inner.left; x < pic.inner.right; ++x)
        if (image.pixelColor(x, y).lightness() < 100) ++dark;
    QVERIFY(dark > 50);
  }

  void theOptionsPageStoresTheFields() {
    Rows(3);
    print_->dialog().Activate();
    PrintDialogView view(nullptr, *print_);
    view.Open();
    QTest::mouseClick(view.optionsButton(), Qt::LeftButton);
    QCOMPARE(view.pages()->currentIndex(), 1);
    view.topField()->setText("1.5");
    view.scaleField()->setText("5");
    QTest::mouseClick(view.okButton(), Qt::LeftButton);
    QCOMPARE(view.pages()->currentIndex(), 0);
    QCOMPARE(Doc().extras().margins[0], 1.5);
    QCOMPARE(session_->settings().print.scale, 10);
    // The graph choice turns Preview and Print to File off.
    view.graphButton()->setChecked(true);
    QVERIFY(!view.previewButton()->isEnabled());
    QVERIFY(!view.fileButton()->isEnabled());
    view.allButton()->setChecked(true);
    QVERIFY(view.previewButton()->isEnabled());
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
