// Worksheet file throughput: cells saved and loaded per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "formula/compiler.h"
#include "io/worksheet_file.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "platform/headless_host.h"

namespace {

using namespace tabulon;

constexpr int kWidth = 125;

// `count` cells in rows of 125: mostly numbers, some labels, a column of
// formulas. Counts are multiples of 125.
void Fill(SheetDocument& doc, int count) {
  CellStore& cells = doc.cells();
  int rows = count / kWidth;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 120; ++c) {
      CellRecord* cell = cells.GetOrCreateCell(r, c);
      cells.StoreNumber(*cell, (c % 2) ? r * 0.25 + c : r + c);
    }
    for (int c = 120; c < 124; ++c) {
      CellRecord* cell = cells.GetOrCreateCell(r, c);
      cells.SetCellText(*cell, "'label text");
      cell->kind = kLabel;
    }
  }
  for (int r = 0; r < rows; ++r) EnterCell(doc, "+A" + std::to_string(r + 1) + "*2", r, 124);
}

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() / "tabulon_bench.wks").string();
}

void BM_SaveWorksheet(benchmark::State& state) {
  HeadlessHost host;
  Session session(host);
  SheetDocument* doc = session.NewDocument();
  int count = static_cast<int>(state.range(0));
  Fill(*doc, count);
  std::string path = BenchFile();
  for (auto _ : state) {
    if (!SaveWorksheet(*doc, path, {}, "bench")) state.SkipWithError("save failed");
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SaveWorksheet)->Arg(100000)->Arg(1000000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_LoadWorksheet(benchmark::State& state) {
  HeadlessHost host;
  Session session(host);
  int count = static_cast<int>(state.range(0));
  std::string path = BenchFile();
  {
    SheetDocument* doc = session.NewDocument();
    Fill(*doc, count);
    SaveWorksheet(*doc, path, {}, "bench");
    session.Release(*doc);
  }
  for (auto _ : state) {
    SheetDocument* doc = session.NewDocument();
    if (!LoadWorksheet(*doc, path, 0).ok) state.SkipWithError("load failed");
    state.PauseTiming();
    session.Release(*doc);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LoadWorksheet)->Arg(100000)->Arg(1000000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
