// Drawing graphs without a toolkit: the data, scales, layout and every
// drawing call of an XY graph of 8000 points, through a recording canvas.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "../tests/support/recording_canvas.h"
#include "bench_sheet.h"
#include "edit/cell_entry.h"
#include "graph/graph_render.h"

namespace tabulon {
namespace {

void BM_GraphXY8000Recorded(benchmark::State& state) {
  BenchSheet b;
  for (int i = 0; i < 8000; ++i) {
    EnterCell(*b.doc, std::to_string(i), i, 0);
    EnterCell(*b.doc, std::to_string(std::sin(i / 200.0) * 100), i, 1);
  }
  GraphSettings g;
  g.x = CellRange::Of(0, 0, 7999, 0);
  g.series[0] = CellRange::Of(0, 1, 7999, 1);
  testing::RecordingCanvas canvas;
  for (auto _ : state) {
    canvas.Reset();
    GraphDrawing d = DrawGraph(canvas, *b.doc, g, 1200, 800);
    benchmark::DoNotOptimize(d.hits.data());
  }
}
BENCHMARK(BM_GraphXY8000Recorded)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
