#include "qt/page_target.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <filesystem>

#include "io/safe_file.h"
#include "qt/text_codec.h"

namespace tabulon {

namespace {

// The toolkit's notes about its environment (no runtime directory, no
// display) are not the batch tool user's business; critical ones are.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

OffscreenApplication::OffscreenApplication() : argv_{program_, option_, platform_, nullptr} {}

OffscreenApplication::~OffscreenApplication() = default;

void OffscreenApplication::Ensure() {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(QuietMessages);
  argc_ = 3;  // the toolkit takes the options it read out of the list
  argv_[0] = program_;
  argv_[1] = option_;
  argv_[2] = platform_;
  argv_[3] = nullptr;
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

// --- any paged device ------------------------------------------------------------

QtPageTarget::~QtPageTarget() {
  if (painter_.isActive()) painter_.end();
}

PageMetrics QtPageTarget::MetricsOf(QPagedPaintDevice& device, int dpi) {
  QPageLayout layout = device.pageLayout();
  QRect paper = layout.fullRectPixels(dpi);
  QRect page = layout.paintRectPixels(dpi);
  PageMetrics m;
  m.dpiX = m.dpiY = dpi;
  m.physicalWidth = paper.width();
  m.physicalHeight = paper.height();
  m.offsetX = page.left();
  m.offsetY = page.top();
  m.printableWidth = page.width();
  m.printableHeight = page.height();
  return m;
}

void QtPageTarget::ScalePainter(const PageMetrics& m) {
  painter_.resetTransform();
  painter_.scale(static_cast<double>(m.dpiX) / kScreenDpi, static_cast<double>(m.dpiY) / kScreenDpi);
}

bool QtPageTarget::Begin(std::string_view jobName) {
  error_.clear();
  QPagedPaintDevice* device = Device(jobName);
  if (device == nullptr || !painter_.begin(device)) {
    if (error_.empty()) error_ = "Cannot start printing on " + Name();
    return false;
  }
  ScalePainter(Metrics());
  canvas_.emplace(painter_);
  return true;
}

bool QtPageTarget::NewPage() {
  QPagedPaintDevice* device = dynamic_cast<QPagedPaintDevice*>(painter_.device());
  if (device == nullptr || !device->newPage()) {
    error_ = "Cannot start a new page on " + Name();
    return false;
  }
  ScalePainter(Metrics());
  canvas_.emplace(painter_);
  return true;
}

bool QtPageTarget::EndPainting() {
  canvas_.reset();
  return !painter_.isActive() || painter_.end();
}

// --- PDF files -------------------------------------------------------------------

PdfPageTarget::PdfPageTarget(std::string path) : path_(std::move(path)) {}

PdfPageTarget::~PdfPageTarget() {
  // Destroyed without End: the document is dropped.
  if (painter_.isActive()) Abort();
}

QPagedPaintDevice* PdfPageTarget::Device(std::string_view jobName) {
  if (path_.empty()) {
    error_ = "No file name given";
    return nullptr;
  }
  std::error_code ec;
  std::filesystem::path parent = std::filesystem::path(path_).parent_path();
  if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
    error_ = "Cannot write " + path_;
    return nullptr;
  }
  // The document is made in memory and written whole at the end: a
  // cancelled or failed job leaves no half-written file.
  bytes_.clear();
  buffer_.setBuffer(&bytes_);
  buffer_.open(QIODevice::WriteOnly);
  writer_ = std::make_unique<QPdfWriter>(&buffer_);
  writer_->setResolution(kPdfResolution);
  writer_->setCreator("TABULON");
  writer_->setTitle(ToQt(jobName));
  writer_->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                     landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
  return writer_.get();
}

bool PdfPageTarget::End() {
  if (!EndPainting()) {
    error_ = "Cannot finish " + path_;
    return false;
  }
  writer_.reset();
  buffer_.close();
  bool written = WriteFileSafely(
      path_, std::string_view(bytes_.constData(), static_cast<std::size_t>(bytes_.size())));
  bytes_.clear();
  if (!written) {
    error_ = "Cannot write " + path_;
    return false;
  }
  return true;
}

void PdfPageTarget::Abort() {
  EndPainting();
  writer_.reset();
  buffer_.close();
  bytes_.clear();
}

QtPdfDevices::QtPdfDevices() = default;
QtPdfDevices::~QtPdfDevices() = default;

std::unique_ptr<PrintTarget> QtPdfDevices::OpenPrinter(const std::string&, std::string& error) {
  error = "No printer is available";
  return nullptr;
}

std::unique_ptr<PrintTarget> QtPdfDevices::OpenPdf(const std::string& path, std::string&) {
  app_.Ensure();
  return std::make_unique<PdfPageTarget>(path);
}

}  // namespace tabulon
