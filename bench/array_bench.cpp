// Speed of the matrix tools at their limits: the inverse of the largest
// matrix the working area takes (30 x 30), read from and written to the
// sheet with the undo snapshot, and a 50 x 50 two-input what-if table over
// a sheet of 10 000 formulas that all depend on both inputs.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench_sheet.h"
#include "datatools/array_commands.h"
#include "datatools/matrix.h"
#include "datatools/what_if.h"
#include "edit/cell_entry.h"
#include "edit/undo.h"
#include "sheet/address.h"

namespace tabulon {
namespace {

void BM_Invert30x30OnTheSheet(benchmark::State& state) {
  BenchSheet s;
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int i = 0; i < kWorkRows; ++i)
    for (int j = 0; j < kWorkRows; ++j)
      EnterCell(*s.doc, std::to_string(u(rng) + (i == j ? 4 : 0)), i, j);
  const CellRange in = CellRange::Of(0, 0, kWorkRows - 1, kWorkRows - 1);
  const CellRange out = CellRange::Cell(0, 40);
  for (auto _ : state) {
    TakeSnapshot(*s.doc);
    if (!RunArrayOperation(*s.doc, ArrayOperation::kInvert, in, CellRange{}, out))
      state.SkipWithError("invert failed");
  }
}
BENCHMARK(BM_Invert30x30OnTheSheet)->Unit(benchmark::kMicrosecond);

void BM_Invert30x30Numerics(benchmark::State& state) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1, 1);
  Matrix a(kWorkRows, kWorkRows);
  for (int i = 0; i < kWorkRows; ++i)
    for (int j = 0; j < kWorkRows; ++j) a(i, j) = u(rng) + (i == j ? 4 : 0);
  Matrix inv;
  for (auto _ : state) {
    if (Invert(a, inv) != MatrixFailure::kNone) state.SkipWithError("singular");
    benchmark::DoNotOptimize(inv(0, 0));
  }
}
BENCHMARK(BM_Invert30x30Numerics)->Unit(benchmark::kMicrosecond);

// Inputs A1 and A2; C1..C5000 a chain started by both inputs, D1..D5000
// each twice its neighbour: 10 000 formulas recalculated per position.
// The table's formula at F1 reads the chain's end.
void BM_TwoInputTable50x50Over10000Formulas(benchmark::State& state) {
  BenchSheet s;
  EnterCell(*s.doc, "1", 0, 0);
  EnterCell(*s.doc, "2", 1, 0);
  EnterCell(*s.doc, "+A1+A2", 0, 2);
  for (int r = 1; r < 5000; ++r)
    EnterCell(*s.doc, "+" + AddressText(r - 1, 2, false, false, 0) + "+1", r, 2);
  for (int r = 0; r < 5000; ++r)
    EnterCell(*s.doc, "+" + AddressText(r, 2, false, false, 0) + "*2", r, 3);
  EnterCell(*s.doc, "+D5000", 0, 5);
  for (int i = 1; i <= 50; ++i) {
    EnterCell(*s.doc, std::to_string(i), i, 5);
    EnterCell(*s.doc, std::to_string(i * 10), 0, 5 + i);
  }
  const CellRange table = CellRange::Of(0, 5, 50, 55);
  for (auto _ : state) {
    TakeSnapshot(*s.doc);
    if (!WhatIfTable(*s.doc, CellRange::Cell(0, 0), CellRange::Cell(1, 0), table))
      state.SkipWithError("table failed");
  }
  state.counters["formula_evaluations"] = 2500.0 * 10001;
}
BENCHMARK(BM_TwoInputTable50x50Over10000Formulas)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace tabulon
