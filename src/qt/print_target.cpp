#include "qt/print_target.h"

#include <QPageLayout>
#include <QPrinterInfo>

#include "qt/text_codec.h"

namespace tabulon {

PrinterPageTarget::PrinterPageTarget(const std::string& name)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  if (!name.empty()) printer_->setPrinterName(ToQt(name));
  printer_->setFullPage(false);
}

PrinterPageTarget::~PrinterPageTarget() {
  if (painter_.isActive()) Abort();
}

std::string PrinterPageTarget::Name() const { return FromQt(printer_->printerName()); }

PageMetrics PrinterPageTarget::Metrics() const { return MetricsOf(*printer_, printer_->resolution()); }

bool PrinterPageTarget::Landscape() const {
  return printer_->pageLayout().orientation() == QPageLayout::Landscape;
}

void PrinterPageTarget::SetLandscape(bool on) {
  printer_->setPageOrientation(on ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QPagedPaintDevice* PrinterPageTarget::Device(std::string_view jobName) {
  if (!printer_->isValid()) {
    error_ = "The printer " + Name() + " is not available";
    return nullptr;
  }
  printer_->setDocName(ToQt(jobName));
  return printer_.get();
}

bool PrinterPageTarget::End() {
  if (!EndPainting()) {
    error_ = "Printing on " + Name() + " failed";
    return false;
  }
  return true;
}

void PrinterPageTarget::Abort() {
  printer_->abort();
  EndPainting();
}

std::vector<std::string> QtPrintDevices::Printers() {
  std::vector<std::string> names;
  QString preferred = QPrinterInfo::defaultPrinterName();
  if (!preferred.isEmpty()) names.push_back(FromQt(preferred));
  for (const QString& n : QPrinterInfo::availablePrinterNames())
    if (n != preferred) names.push_back(FromQt(n));
  return names;
}

std::unique_ptr<PrintTarget> QtPrintDevices::OpenPrinter(const std::string& name,
                                                         std::string& error) {
  if (Printers().empty()) {
    error = "No printer is available";
    return nullptr;
  }
  return std::make_unique<PrinterPageTarget>(name);
}

std::unique_ptr<PrintTarget> QtPrintDevices::OpenPdf(const std::string& path, std::string&) {
  return std::make_unique<PdfPageTarget>(path);
}

}  // namespace tabulon
