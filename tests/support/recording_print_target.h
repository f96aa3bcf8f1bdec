// A print target that records every page on a RecordingCanvas, and print
// devices that hand such targets out, for tests of printing without a
// printer.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/print_target.h"
#include "support/recording_canvas.h"

namespace tabulon::testing {

class RecordingPrintTarget : public PrintTarget {
 public:
  explicit RecordingPrintTarget(std::string name = "Recorder", PageMetrics m = LetterPage(300, false))
      : name_(std::move(name)), portrait_(m) {}

  std::string Name() const override { return name_; }
  PageMetrics Metrics() const override {
    PageMetrics m = portrait_;
    if (landscape_) {
      std::swap(m.physicalWidth, m.physicalHeight);
      std::swap(m.printableWidth, m.printableHeight);
      std::swap(m.offsetX, m.offsetY);
      std::swap(m.dpiX, m.dpiY);
    }
    return m;
  }
  bool Landscape() const override { return landscape_; }
  void SetLandscape(bool on) override { landscape_ = on; }
  bool Begin(std::string_view jobName) override {
    if (failBegin) return false;
    job = std::string(jobName);
    begun = true;
    pages.push_back(std::make_unique<RecordingCanvas>());
    return true;
  }
  bool NewPage() override {
    if (failNewPageAt > 0 && static_cast<int>(pages.size()) + 1 >= failNewPageAt) return false;
    pages.push_back(std::make_unique<RecordingCanvas>());
    return true;
  }
  bool End() override {
    ended = !failEnd;
    return !failEnd;
  }
  void Abort() override { aborted = true; }
  Canvas& Page() override { return *pages.back(); }
  std::string Error() const override { return failBegin ? "printer offline" : ""; }

  // Every text drawn on page i (from 0), in order.
  std::vector<std::string> Texts(std::size_t i) const {
    std::vector<std::string> out;
    for (const auto& t : pages.at(i)->texts) out.push_back(t.text);
    return out;
  }
  bool HasText(std::size_t i, const std::string& text) const {
    for (const auto& t : pages.at(i)->texts)
      if (t.text == text) return true;
    return false;
  }

  std::vector<std::unique_ptr<RecordingCanvas>> pages;
  std::string job;
  bool begun = false, ended = false, aborted = false;
  bool failBegin = false, failEnd = false;
  int failNewPageAt = 0;  // NewPage fails for this page number (from 1); 0: never

 private:
  std::string name_;
  PageMetrics portrait_;
  bool landscape_ = false;
};

// Devices with the given printers; every target opened is kept for the
// test to inspect.
class RecordingDevices : public PrintDevices {
 public:
  explicit RecordingDevices(std::vector<std::string> printers = {}) : printers_(std::move(printers)) {}

  std::vector<std::string> Printers() override { return printers_; }
  std::unique_ptr<PrintTarget> OpenPrinter(const std::string& name, std::string& error) override {
    opened.push_back(name.empty() && !printers_.empty() ? printers_[0] : name);
    if (printers_.empty()) {
      error = "No printer";
      return nullptr;
    }
    return Make(opened.back());
  }
  std::unique_ptr<PrintTarget> OpenPdf(const std::string& path, std::string& error) override {
    opened.push_back("pdf:" + path);
    if (failPdf) {
      error = "Cannot write " + path;
      return nullptr;
    }
    return Make(opened.back());
  }

  // What a job that began left: its target's name, whether it ended (not
  // aborted or failed), and its pages.
  struct Job {
    std::string name;
    bool ended = false, aborted = false;
    std::vector<std::unique_ptr<RecordingCanvas>> pages;
  };

  std::vector<std::string> opened;
  std::vector<Job> jobs;
  bool failPdf = false;
  PageMetrics metrics = LetterPage(300, false);

 private:
  std::unique_ptr<PrintTarget> Make(const std::string& name) {
    auto t = std::make_unique<Target>(name, metrics, this);
    return t;
  }
  struct Target : RecordingPrintTarget {
    Target(const std::string& n, PageMetrics m, RecordingDevices* d)
        : RecordingPrintTarget(n, m), owner(d) {}
    ~Target() override {
      if (begun) owner->jobs.push_back({Name(), ended, aborted, std::move(pages)});
    }
    RecordingDevices* owner;
  };
  std::vector<std::string> printers_;
};

}  // namespace tabulon::testing
