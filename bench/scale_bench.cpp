// Recalculation shapes the other benchmarks leave out (independent formulas,
// a 5000-deep chain) and the full sheet: 8192 x 256 formulas saved, loaded,
// and recalculated after every stored value was made stale.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "formula/recalc.h"
#include "io/worksheet_file.h"
#include "sheet/address.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "bench_sheet.h"
#include "platform/headless_host.h"

namespace tabulon {
namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

using Sheet = BenchSheet;

// 100 000 formulas +$A$r*2+1 that use only numbers: no formula waits for another.
void BM_RecalcAllIndependent(benchmark::State& state) {
  Sheet s;
  constexpr int kRows = 5000, kCols = 20;
  for (int r = 0; r < kRows; ++r) {
    EnterCell(*s.doc, std::to_string(r), r, 0);
    std::string text = "+$A$" + std::to_string(r + 1) + "*2+1";
    for (int c = 1; c <= kCols; ++c) EnterCell(*s.doc, text, r, c);
  }
  for (auto _ : state) RecalcAll(*s.doc);
  state.SetItemsProcessed(state.iterations() * s.doc->recalc().stats.evaluated);
}
BENCHMARK(BM_RecalcAllIndependent)->Unit(benchmark::kMillisecond);

// One chain 5000 formulas deep, each using the one above it.
void BM_RecalcAllChain5000(benchmark::State& state) {
  Sheet s;
  EnterCell(*s.doc, "1", 0, 0);
  for (int r = 1; r < 5000; ++r) EnterCell(*s.doc, "+A" + std::to_string(r) + "+1", r, 0);
  for (auto _ : state) RecalcAll(*s.doc);
  state.SetItemsProcessed(state.iterations() * s.doc->recalc().stats.evaluated);
}
BENCHMARK(BM_RecalcAllChain5000)->Unit(benchmark::kMicrosecond);

// Every cell of the sheet a formula: column A holds ROW+0 (a constant), every
// other cell adds 1 to the cell on its left, so each value is row + column.
void FillFullSheet(SheetDocument& doc) {
  for (int r = 0; r < kRowCount; ++r) {
    EnterCell(doc, "+" + std::to_string(r) + "+0", r, 0);
    for (int c = 1; c < kColumnCount; ++c)
      EnterCell(doc, "+" + AddressText(r, c - 1, false, false, 0) + "+1", r, c);
  }
}

// Stored values set to -1, so a formula recalculation misses stays visible.
int CountWrong(SheetDocument& doc, bool makeStale) {
  CellStore& store = doc.cells();
  int wrong = 0;
  for (int r = 0; r < kRowCount; ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      CellRecord* cell = store.FindCell(r, c);
      if (cell == nullptr || !cell->IsFormula()) {
        ++wrong;
      } else if (makeStale) {
        store.StoreFormulaNumber(*cell, -1, false);
      } else if (cell->HasError() || cell->Kind() != kFormula || cell->value.num != r + c) {
        ++wrong;
      }
    }
  }
  return wrong;
}

// Times are taken by hand: filling the sheet is not part of what is measured.
void BM_FullSheetOfFormulas(benchmark::State& state) {
  std::string path =
      (std::filesystem::temp_directory_path() / "tabulon_bench_full.wks").string();
  double saveSeconds = 0, loadSeconds = 0, recalcSeconds = 0;
  const char* failure = nullptr;
  for (auto _ : state) {
    {
      Sheet s;
      FillFullSheet(*s.doc);
      double t0 = Now();
      if (!SaveWorksheet(*s.doc, path, {}, "bench")) failure = "save failed";
      saveSeconds = Now() - t0;
    }
    Sheet s;
    double t0 = Now();
    if (!failure && !LoadWorksheet(*s.doc, path, 0).ok) failure = "load failed";
    loadSeconds = Now() - t0;
    if (!failure && CountWrong(*s.doc, true) != 0) failure = "cells missing after load";
    t0 = Now();
    RecalcAll(*s.doc);
    recalcSeconds = Now() - t0;
    int wrong = CountWrong(*s.doc, false);
    if (!failure && wrong != 0) failure = "recalculation left formulas stale";
    state.counters["stale_or_wrong"] = wrong;
    state.counters["evaluated"] = static_cast<double>(s.doc->recalc().stats.evaluated);
    state.SetIterationTime(saveSeconds + loadSeconds + recalcSeconds);
  }
  constexpr double kCells = double(kRowCount) * kColumnCount;
  state.counters["save_ns_per_cell"] = saveSeconds * 1e9 / kCells;
  state.counters["load_ns_per_cell"] = loadSeconds * 1e9 / kCells;
  state.counters["recalc_ns_per_cell"] = recalcSeconds * 1e9 / kCells;
  std::filesystem::remove(path);
  if (failure) state.SkipWithError(failure);
}
BENCHMARK(BM_FullSheetOfFormulas)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace
}  // namespace tabulon
