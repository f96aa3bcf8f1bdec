// Printed pages through Qt's paged paint devices. QtPageTarget draws on
// any QPagedPaintDevice through a QPainter scaled to screen pixels;
// PdfPageTarget writes a PDF file with QPdfWriter and needs Qt GUI only,
// no widgets and no display, so the batch tool can print headless.
// QtPdfDevices offers the PDF file alone (the batch tool); the windowed
// program's devices add the desktop's printers (print_target.h).
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <memory>
#include <optional>

#include "platform/print_target.h"
#include "qt/qt_canvas.h"

class QGuiApplication;
class QPagedPaintDevice;
class QPdfWriter;

namespace tabulon {

// A GUI application object on the offscreen platform, made when first
// needed and only when none exists yet (fonts and painting need one; the
// windowed program has its own). It keeps the arguments the toolkit holds
// on to.
class OffscreenApplication {
 public:
  OffscreenApplication();
  ~OffscreenApplication();
  void Ensure();

 private:
  char program_[8] = "tabulon";
  char option_[10] = "-platform";
  char platform_[10] = "offscreen";
  int argc_ = 3;
  char* argv_[4];
  std::unique_ptr<QGuiApplication> app_;
};

class QtPageTarget : public PrintTarget {
 public:
  ~QtPageTarget() override;

  bool Begin(std::string_view jobName) override;
  bool NewPage() override;
  Canvas& Page() override { return *canvas_; }
  std::string Error() const override { return error_; }

 protected:
  // The device to paint on; the job name goes to its title first.
  virtual QPagedPaintDevice* Device(std::string_view jobName) = 0;
  // Metrics of a device as the layout wants them.
  static PageMetrics MetricsOf(QPagedPaintDevice& device, int dpi);
  bool EndPainting();
  void ScalePainter(const PageMetrics& m);

  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  std::string error_;
};

class PdfPageTarget : public QtPageTarget {
 public:
  explicit PdfPageTarget(std::string path);
  ~PdfPageTarget() override;

  std::string Name() const override { return path_; }
  PageMetrics Metrics() const override { return LetterPage(kPdfResolution, landscape_); }
  bool Landscape() const override { return landscape_; }
  void SetLandscape(bool on) override { landscape_ = on; }
  bool End() override;
  void Abort() override;

  static constexpr int kPdfResolution = 1200;

 protected:
  QPagedPaintDevice* Device(std::string_view jobName) override;

 private:
  std::string path_;
  bool landscape_ = false;
  QByteArray bytes_;
  QBuffer buffer_;
  std::unique_ptr<QPdfWriter> writer_;
};

// PDF files only: what the batch tool prints on.
class QtPdfDevices : public PrintDevices {
 public:
  QtPdfDevices();
  ~QtPdfDevices() override;
  std::vector<std::string> Printers() override { return {}; }
  std::unique_ptr<PrintTarget> OpenPrinter(const std::string& name, std::string& error) override;
  std::unique_ptr<PrintTarget> OpenPdf(const std::string& path, std::string& error) override;

 private:
  OffscreenApplication app_;
};

}  // namespace tabulon
