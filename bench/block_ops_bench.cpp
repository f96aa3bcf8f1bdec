// Speed of the block commands on sheets full of formulas: one row inserted
// at the top of 8000 x 20 cells, and a 1000 x 20 block of formulas copied.
// Both include the undo snapshot and the recalculation the commands do.
#include <benchmark/benchmark.h>

#include <string>

#include "sheet/address.h"
#include "edit/block_ops.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "bench_sheet.h"
#include "platform/headless_host.h"

namespace tabulon {
namespace {

using Sheet = BenchSheet;

// Column A holds numbers; every other cell a formula using the cell to its
// left and the cell above it, so every record has dependents.
void FillFormulas(Sheet& s, int rows, int cols) {
  for (int r = 0; r < rows; ++r) {
    EnterCell(*s.doc, std::to_string(r % 100), r, 0);
    for (int c = 1; c < cols; ++c) {
      std::string left = AddressText(r, c - 1, false, false, 0);
      std::string text = r == 0 ? "+" + left + "*2"
                                : "+" + left + "*2+" + AddressText(r - 1, c, false, false, 0);
      EnterCell(*s.doc, text, r, c);
    }
  }
}

void BM_InsertRowAtTopOf8000x20(benchmark::State& state) {
  Sheet s;
  FillFormulas(s, 8000, 20);
  for (auto _ : state) {
    if (!InsertRows(*s.doc, 0, 1).ok) state.SkipWithError("insertion failed");
    state.PauseTiming();
    DeleteRows(*s.doc, 0, 1);  // back to 8000 rows
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(s.doc->cells().recordCount());
}
BENCHMARK(BM_InsertRowAtTopOf8000x20)->Unit(benchmark::kMillisecond);

void BM_DeleteRowAtTopOf8000x20(benchmark::State& state) {
  Sheet s;
  FillFormulas(s, 8000, 20);
  for (auto _ : state) {
    DeleteRows(*s.doc, 0, 1);
    state.PauseTiming();
    InsertRows(*s.doc, 0, 1);
    for (int c = 0; c < 20; ++c) EnterCell(*s.doc, "1", 0, c);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteRowAtTopOf8000x20)->Unit(benchmark::kMillisecond);

void BM_Copy1000x20Formulas(benchmark::State& state) {
  Sheet s;
  FillFormulas(s, 1000, 20);
  CellRange source = CellRange::Of(0, 0, 999, 19);
  CellRange destination = CellRange::Cell(1000, 0);
  for (auto _ : state) {
    if (!CopyRange(*s.doc, source, destination).ok) state.SkipWithError("copy failed");
  }
  state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_Copy1000x20Formulas)->Unit(benchmark::kMillisecond);

void BM_Move1000x20FormulasOneColumn(benchmark::State& state) {
  Sheet s;
  FillFormulas(s, 1000, 20);
  CellRange block = CellRange::Of(0, 0, 999, 19);
  for (auto _ : state) {
    NudgeBlock(*s.doc, block, NudgeDirection::kRight);
    NudgeBlock(*s.doc, block, NudgeDirection::kLeft);
  }
  state.SetItemsProcessed(state.iterations() * 40000);
}
BENCHMARK(BM_Move1000x20FormulasOneColumn)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
