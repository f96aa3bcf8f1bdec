// The desktop's printers through QPrinter, and the devices the windowed
// program prints on: every printer the desktop knows, and PDF files always.
#pragma once

#include <QPrinter>
#include <memory>

#include "qt/page_target.h"

namespace tabulon {

class PrinterPageTarget : public QtPageTarget {
 public:
  // A printer by name (empty: the desktop's default printer).
  explicit PrinterPageTarget(const std::string& name);
  ~PrinterPageTarget() override;

  std::string Name() const override;
  PageMetrics Metrics() const override;
  bool Landscape() const override;
  void SetLandscape(bool on) override;
  bool End() override;
  void Abort() override;

  // The printer itself, for the toolkit's setup dialog.
  QPrinter& printer() { return *printer_; }

 protected:
  QPagedPaintDevice* Device(std::string_view jobName) override;

 private:
  std::unique_ptr<QPrinter> printer_;
};

class QtPrintDevices : public PrintDevices {
 public:
  std::vector<std::string> Printers() override;
  std::unique_ptr<PrintTarget> OpenPrinter(const std::string& name, std::string& error) override;
  std::unique_ptr<PrintTarget> OpenPdf(const std::string& path, std::string& error) override;
};

}  // namespace tabulon
