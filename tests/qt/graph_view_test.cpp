// Graphs through Qt under the offscreen platform: one golden picture per
// graph type, the picture files of the image writer, and the graph window
// (zoom by dragging, Shift-click, keys, the clipboard).
//
// The golden pictures live in tests/qt/golden/. After a deliberate change
// to the drawing, regenerate them and look at every one before committing:
//   TABULON_UPDATE_GOLDEN=1 QT_QPA_PLATFORM=offscreen ./build/tests/graph_view_test
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "edit/cell_entry.h"
#include "graph/graph_image.h"
#include "graph/graph_render.h"
#include "platform/headless_host.h"
#include "qt/graph_view.h"
#include "qt/qt_image_output.h"
#include "sheet/session.h"

using namespace tabulon;

namespace {

constexpr int kWidth = 480, kHeight = 360;

const char* const kTypeNames[kGraphTypeCount] = {
    "xy",   "bar",  "pie",     "stacked_bar", "line",  "cumulative", "high_low", "radar",
    "area", "delta", "polar",  "strip",       "wall",  "contour",    "pie_3d",   "donut",
    "bar_3d", "stacked_bar_3d"};

// The fixed sheet: months in A, three series in B..D, numbers 1..8 in E,
// angles in F, an 8 x 8 grid of heights in H1..O8.
void FillSheet(SheetDocument& doc) {
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug"};
  const int north[] = {12, 18, 15, 22, 30, 26, 20, 24};
  const int south[] = {8, 11, 14, 9, 16, 21, 18, 13};
  const int west[] = {4, 6, 5, 10, 7, 12, 9, 11};
  for (int r = 0; r < 8; ++r) {
    EnterCell(doc, std::string("'") + months[r], r, 0);
    EnterCell(doc, std::to_string(north[r]), r, 1);
    EnterCell(doc, std::to_string(south[r]), r, 2);
    EnterCell(doc, std::to_string(west[r]), r, 3);
    EnterCell(doc, std::to_string(r + 1), r, 4);
    EnterCell(doc, std::to_string(45 * r), r, 5);
    for (int c = 0; c < 8; ++c) {
      double z = std::sin(r / 2.0) * std::cos(c / 2.5) * 10;
      EnterCell(doc, std::to_string(z), r, 7 + c);
    }
  }
}

GraphSettings SettingsFor(GraphType type) {
  GraphSettings g;
  g.type = static_cast<std::uint8_t>(type);
  GraphTraits t = TraitsOf(type);
  auto column = [](int c) { return CellRange::Of(0, c, 7, c); };
  g.x = column(0);
  if (type == GraphType::XY || type == GraphType::Cumulative || type == GraphType::Delta)
    g.x = column(4);
  if (type == GraphType::Polar) g.x = column(5);
  if (type == GraphType::Contour) g.x = CellRange::Of(0, 7, 7, 14);
  for (int s = 0; s < 3; ++s) g.series[s] = column(1 + s);
  g.SetHeading(kMainHeading, kTypeNames[static_cast<int>(type)]);
  g.SetHeading(kSecondHeading, "Units sold");
  g.SetHeading(kXTitle, "Month");
  g.SetHeading(kYTitle, "Units");
  g.SetLegend(0, "North");
  g.SetLegend(1, "South");
  g.SetLegend(2, "West");
  g.SetGrid(3);
  // A face that is installed by name, so the pictures do not change with
  // whatever fonts stand in for a missing one on the machine.
  for (int i = 0; i < kGraphTextItems; ++i) g.SetFontFace(i, "DejaVu Sans");
  if (type != GraphType::Cumulative && type != GraphType::Contour) {
    g.axes[1].manual = 1;
    g.axes[1].high = t.stacked ? 70 : 35;
  }
  if (type == GraphType::Line) g.labels[0] = column(1);
  if (type == GraphType::Area) g.SetFlag(8, true);  // legend as a table
  if (type == GraphType::Polar) g.axes[0].step = 8;
  return g;
}

// Share of pixels whose colour differs by more than a small amount in
// some channel.
double Difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1;
  QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  long long differing = 0;
  for (int row = 0; row < x.height(); ++row) {
    auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                        std::abs(qGreen(p[col]) - qGreen(q[col])),
                        std::abs(qBlue(p[col]) - qBlue(q[col]))});
      if (d > 64) ++differing;
    }
  }
  return static_cast<double>(differing) / (x.width() * x.height());
}

}  // namespace

class GraphViewTest : public QObject {
  Q_OBJECT

 private:
  HeadlessHost host_;
  Session session_{host_};
  SheetDocument* doc_ = nullptr;
  QTemporaryDir dir_;

  GraphSettings& Current() { return doc_->extras().graphs.current; }

 private slots:
  void initTestCase() {
    doc_ = session_.NewDocument();
    session_.SetCurrent(doc_);
    FillSheet(*doc_);
  }

  void goldenPictures_data() {
    QTest::addColumn<int>("type");
    for (int t = 0; t < kGraphTypeCount; ++t) QTest::newRow(kTypeNames[t]) << t;
  }

  void goldenPictures() {
    QFETCH(int, type);
    Current() = SettingsFor(static_cast<GraphType>(type));
    QString name = QString("graph_%1_%2.png").arg(type, 2, 10, QChar('0')).arg(kTypeNames[type]);
    QString golden = QString(TABULON_SOURCE_DIR) + "/tests/qt/golden/" + name;
    QString out = dir_.filePath(name);
    QtImageOutput images;
    std::string failure = WriteGraphImage(images, *doc_, -1, out.toStdString(),
                                          ImageFormat::Png, kWidth, kHeight);
    QVERIFY2(failure.empty(), failure.c_str());
    QImage drawn(out);
    QCOMPARE(drawn.size(), QSize(kWidth, kHeight));
    if (qEnvironmentVariableIsSet("TABULON_UPDATE_GOLDEN")) {
      QFile::remove(golden);
      QVERIFY(QFile::copy(out, golden));
      return;
    }
    QImage expected(golden);
    QVERIFY2(!expected.isNull(), qPrintable("missing golden picture " + golden));
    double diff = Difference(drawn, expected);
    QVERIFY2(diff < 0.02, qPrintable(QString("%1 differs in %2 % of its pixels")
                                         .arg(name)
                                         .arg(diff * 100, 0, 'f', 2)));
  }

  void pictureFiles() {
    Current() = SettingsFor(GraphType::Bar);
    QtImageOutput images;
    QString png = dir_.filePath("g.png"), bmp = dir_.filePath("g.bmp"), svg = dir_.filePath("g.svg");
    QVERIFY(WriteGraphImage(images, *doc_, -1, png.toStdString(), ImageFormat::Png, 300, 200).empty());
    QVERIFY(WriteGraphImage(images, *doc_, -1, bmp.toStdString(), ImageFormat::Bmp, 300, 200).empty());
    QVERIFY(WriteGraphImage(images, *doc_, -1, svg.toStdString(), ImageFormat::Svg, 300, 200).empty());
    QCOMPARE(QImage(png).size(), QSize(300, 200));
    QImage fromBmp(bmp);
    QCOMPARE(fromBmp.size(), QSize(300, 200));
    QVERIFY(Difference(QImage(png), fromBmp) < 0.001);
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("viewBox=\"0 0 300 200\""));
    QVERIFY(text.contains("Units sold"));

    // Sizes out of bounds and unwritable places are refused with a message.
    QVERIFY(!WriteGraphImage(images, *doc_, -1, png.toStdString(), ImageFormat::Png, 0, 10).empty());
    QVERIFY(!WriteGraphImage(images, *doc_, -1, png.toStdString(), ImageFormat::Png, 100000, 10).empty());
    QVERIFY(!WriteGraphImage(images, *doc_, -1, "/nonexistent/dir/g.png", ImageFormat::Png, 10, 10)
                 .empty());
    QCOMPARE(QString::fromStdString(WriteGraphImage(images, *doc_, 3, png.toStdString(),
                                                    ImageFormat::Png, 10, 10)),
             QString(kGraphUndefined));
  }

  void graphWindow() {
    Current() = SettingsFor(GraphType::XY);
    GraphView* view = OpenGraphWindow(nullptr, *doc_, host_, false, 0);
    std::vector<GraphPageRequest> pages;
    view->openSettings = [&](GraphPageRequest p) { pages.push_back(p); };
    view->resize(600, 400);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->grab();
    QCOMPARE(view->picture().size(), QSize(600, 400));
    QVERIFY(view->logic().drawing().defined);

    // Shift-click on the plot opens the Other tab of the Options page.
    const PlotBox& p = view->logic().drawing().layout.plot;
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(p.right - 4, p.top + 4));
    QCOMPARE(pages.size(), std::size_t(1));
    QCOMPARE(pages[0].page, int(kGraphOptionsPage));
    QCOMPARE(pages[0].tab, kGraphOtherTab);

    // Control-drag zooms into the rectangle.
    QPoint a(p.left + p.width() / 4, p.top + p.height() / 4);
    QPoint b(p.left + p.width() / 2, p.top + p.height() / 2);
    QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, a);
    QMouseEvent move(QEvent::MouseMove, QPointF(b), QPointF(view->mapToGlobal(b)), Qt::NoButton,
                     Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(view, &move);
    QVERIFY(view->logic().zooming());
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ControlModifier, b);
    QCOMPARE(int(Current().axes[0].manual), 1);
    QVERIFY(Current().axes[0].low > 1);
    QVERIFY(Current().axes[0].high < 8);

    view->CopyToClipboard();
    QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(600, 400));

    // A key with Shift stays; a plain key closes the window.
    QPointer<GraphView> guard(view);
    QTest::keyClick(view, Qt::Key_A, Qt::ShiftModifier);
    QVERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
  }

  void undefinedGraphWindow() {
    Current() = GraphSettings();
    GraphView* view = OpenGraphWindow(nullptr, *doc_, host_, false, 0);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->grab();
    QVERIFY(!view->logic().drawing().defined);
    int beeps = host_.beeps;
    QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 10));
    QCOMPARE(host_.beeps, beeps + 1);
    view->close();
  }
};

QTEST_MAIN(GraphViewTest)
#include "graph_view_test.moc"
