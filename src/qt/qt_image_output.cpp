#include "qt/qt_image_output.h"

#include <QFile>
#include <cstdio>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#ifdef TABULON_HAVE_QT_SVG
#include <QSvgGenerator>
#endif

#include "qt/qt_canvas.h"

namespace tabulon {

namespace {

char kProgram[] = "tabulon";
char kPlatformOption[] = "-platform";
char kOffscreen[] = "offscreen";

QString LocalPath(const std::string& path) { return QFile::decodeName(path.c_str()); }

// The batch tool's own application object: the toolkit's notes about its
// environment (no runtime directory, no display) are not the user's
// business; its critical messages still are.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

QtImageOutput::QtImageOutput() : argv_{kProgram, kPlatformOption, kOffscreen, nullptr} {}

QtImageOutput::~QtImageOutput() = default;

void QtImageOutput::EnsureApplication() {
  // Fonts and painting need an application object; the windowed program
  // has one already, the batch tool gets one without a display.
  if (QCoreApplication::instance() == nullptr) {
    qInstallMessageHandler(QuietMessages);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
}

std::string QtImageOutput::Write(const std::string& path, ImageFormat format, int width,
                                 int height, const std::function<void(Canvas&)>& draw) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
    return "Image size must be 1 to " + std::to_string(kMaxImageSide) + " pixels a side";
  EnsureApplication();
  if (format == ImageFormat::Svg) {
#ifdef TABULON_HAVE_QT_SVG
    QFile file(LocalPath(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return "Cannot write " + path;
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle("TABULON graph");
    QPainter painter;
    if (!painter.begin(&svg)) return "Cannot write " + path;
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    QtCanvas canvas(painter);
    draw(canvas);
    painter.end();
    file.close();
    if (file.error() != QFileDevice::NoError) return "Cannot write " + path;
    return {};
#else
    return "SVG output needs Qt SVG, which this build lacks";
#endif
  }
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return "Not enough memory for the image";
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QtCanvas canvas(painter);
    draw(canvas);
  }
  const char* kind = format == ImageFormat::Bmp ? "BMP" : "PNG";
  if (!image.save(LocalPath(path), kind)) return "Cannot write " + path;
  return {};
}

}  // namespace tabulon
