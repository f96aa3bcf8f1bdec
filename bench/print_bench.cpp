// Printing a 5000-row sheet of 8 mixed columns: laying the pages out,
// drawing them onto a recording target, and writing the PDF file through
// Qt (when the benchmarks are built with it). Each reports its pages.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/recording_print_target.h"
#include "bench_sheet.h"
#include "edit/cell_entry.h"
#include "print/page_layout.h"
#include "print/sheet_printer.h"
#include "sheet/print_options.h"
#ifdef TABULON_BENCH_PDF
#include "qt/page_target.h"
#endif

namespace tabulon {
namespace {

constexpr int kRows = 5000, kColumns = 8;

void Fill(SheetDocument& doc) {
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      std::string text;
      switch (c) {
        case 0: text = "'Item " + std::to_string(r + 1); break;
        case 1: text = std::to_string(r * 7 % 1000); break;
        case 2: text = std::to_string(r) + ".25"; break;
        case 3: text = "+B" + std::to_string(r + 1) + "*C" + std::to_string(r + 1); break;
        case 4: text = "^centre"; break;
        case 5: text = "@SUM(B" + std::to_string(r + 1) + "..C" + std::to_string(r + 1) + ")"; break;
        case 6: text = "\"right"; break;
        default: text = std::to_string(r % 13) + ".5"; break;
      }
      EnterCell(doc, text, r, c);
    }
  }
}

PrintJob Job(SheetDocument& doc) {
  PrintOptions o;
  PrintJob job = JobFor(doc, o, CellRange::Of(0, 0, kRows - 1, kColumns - 1), 12, 45000.5);
  job.header = "Page #|@";
  job.footer = "^F";
  return job;
}

void BM_PaginateSheet(benchmark::State& state) {
  BenchSheet s;
  Fill(*s.doc);
  PrintJob job = Job(*s.doc);
  PageMetrics m = LetterPage(1200, false);
  int pages = 0;
  for (auto _ : state) {
    pages = CountPages(*s.doc, job, m);
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_PaginateSheet)->Unit(benchmark::kMillisecond);

void BM_PrintSheetRecorded(benchmark::State& state) {
  BenchSheet s;
  Fill(*s.doc);
  PrintJob job = Job(*s.doc);
  int pages = 0;
  for (auto _ : state) {
    testing::RecordingPrintTarget target("bench", LetterPage(1200, false));
    PrintOutcome out = PrintSheet(target, *s.doc, job);
    pages = out.printed;
    benchmark::DoNotOptimize(target.pages.data());
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintSheetRecorded)->Unit(benchmark::kMillisecond);

#ifdef TABULON_BENCH_PDF
void BM_PrintSheetToPdf(benchmark::State& state) {
  BenchSheet s;
  Fill(*s.doc);
  PrintJob job = Job(*s.doc);
  QtPdfDevices devices;
  std::string path = (std::filesystem::temp_directory_path() / "tabulon-print-bench.pdf").string();
  int pages = 0;
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    std::string error;
    auto target = devices.OpenPdf(path, error);
    PrintOutcome out = PrintSheet(*target, *s.doc, job);
    if (!out.ok()) state.SkipWithError(out.error.c_str());
    pages = out.printed;
  }
  bytes = std::filesystem::file_size(path);
  std::filesystem::remove(path);
  state.counters["pages"] = pages;
  state.counters["pdf_kib"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_PrintSheetToPdf)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace tabulon
