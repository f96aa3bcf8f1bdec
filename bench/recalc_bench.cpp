// Recalculation speed: full recalculation of simple formulas and of 10-cell
// sums, and one edit that reaches 100 000 dependents.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>

#include "formula/recalc.h"
#include "sheet/address.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "bench_sheet.h"
#include "platform/headless_host.h"

namespace tabulon {
namespace {

constexpr int kFormulas = 100000;
constexpr int kRowsPerColumn = 8000;

using Sheet = BenchSheet;

// Runs full recalculations; with `afresh` set, a label entered before each
// pass changes the sheet's structure, so the order of evaluation is worked
// out again instead of being reused.
void RecalcPasses(benchmark::State& state, SheetDocument& doc) {
  bool afresh = state.range(0) != 0;
  for (auto _ : state) {
    if (afresh) {
      state.PauseTiming();
      EnterCell(doc, "'touch", kRowsPerColumn - 1, 200);
      state.ResumeTiming();
    }
    RecalcAll(doc);
  }
  state.SetItemsProcessed(state.iterations() * doc.recalc().stats.evaluated);
  state.SetLabel(afresh ? "order worked out each pass" : "order kept");
}

std::string Address(int i, int colBase = 0) {
  return AddressText(i % kRowsPerColumn, colBase + i / kRowsPerColumn, false, false, 0);
}

// 100 000 formulas of the shape +A1*2+1, each using the cell above it (the
// first cell of every column is a number).
void BM_RecalcAllSimpleChain(benchmark::State& state) {
  Sheet s;
  for (int i = 0; i < kFormulas; ++i) {
    int row = i % kRowsPerColumn, col = i / kRowsPerColumn;
    std::string text = row == 0 ? "1" : "+" + Address(i - 1) + "*2+1";
    EnterCell(*s.doc, text, row, col);
  }
  RecalcPasses(state, *s.doc);
}
BENCHMARK(BM_RecalcAllSimpleChain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 100 000 @SUM formulas over 10-cell ranges of numbers.
void BM_RecalcAllTenCellSums(benchmark::State& state) {
  Sheet s;
  for (int r = 0; r < kRowsPerColumn; ++r)
    for (int c = 0; c < 10; ++c) EnterCell(*s.doc, std::to_string(r + c), r, c);
  for (int i = 0; i < kFormulas; ++i) {
    int row = i % kRowsPerColumn, col = 10 + i / kRowsPerColumn;
    std::string range = AddressText(row, 0, false, false, 0) + ".." +
                        AddressText(row, 9, false, false, 0);
    EnterCell(*s.doc, "@SUM(" + range + ")", row, col);
  }
  RecalcPasses(state, *s.doc);
}
BENCHMARK(BM_RecalcAllTenCellSums)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One entry whose change reaches 100 000 formulas that all use it.
void BM_EditReaching100000Dependents(benchmark::State& state) {
  Sheet s;
  EnterCell(*s.doc, "1", 0, 0);
  for (int i = 0; i < kFormulas; ++i)
    EnterCell(*s.doc, "+$A$1*2+1", 1 + i % kRowsPerColumn, 1 + i / kRowsPerColumn);
  int v = 0;
  for (auto _ : state) EnterCell(*s.doc, std::to_string(++v % 1000), 0, 0);
  state.SetItemsProcessed(state.iterations() * s.doc->recalc().stats.evaluated);
}
BENCHMARK(BM_EditReaching100000Dependents)->Unit(benchmark::kMillisecond);

// Building the dependents lists: entering (compiling and registering) formulas.
void BM_EnterFormulas(benchmark::State& state) {
  for (auto _ : state) {
    Sheet s;
    for (int i = 0; i < 10000; ++i)
      EnterCell(*s.doc, "+A1+B2*C3", 10 + i % kRowsPerColumn, 5 + i / kRowsPerColumn);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_EnterFormulas)->Unit(benchmark::kMillisecond);

// Bytes allocated from the heap, including blocks served by mmap.
std::size_t HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// Heap bytes per cell, measured by the allocator: numbers, and simple
// formulas (record, code, dependents node and placeholder share).
void BM_MemoryPerCell(benchmark::State& state) {
  double numberBytes = 0, formulaBytes = 0;
  for (auto _ : state) {
    std::size_t before = HeapInUse();
    {
      Sheet s;
      std::size_t base = HeapInUse();
      for (int i = 0; i < kFormulas; ++i)
        EnterCell(*s.doc, std::to_string(i % 1000), i % kRowsPerColumn, i / kRowsPerColumn);
      std::size_t numbers = HeapInUse();
      for (int i = 0; i < kFormulas; ++i) {
        int row = i % kRowsPerColumn, col = 20 + i / kRowsPerColumn;
        EnterCell(*s.doc, "+" + AddressText(row, col - 20, false, false, 0) + "*2+1", row, col);
      }
      std::size_t formulas = HeapInUse();
      numberBytes = static_cast<double>(numbers - base) / kFormulas;
      formulaBytes = static_cast<double>(formulas - numbers) / kFormulas;
    }
    benchmark::DoNotOptimize(before);
  }
  state.counters["bytes_per_number"] = numberBytes;
  state.counters["bytes_per_formula"] = formulaBytes;
}
BENCHMARK(BM_MemoryPerCell)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tabulon
