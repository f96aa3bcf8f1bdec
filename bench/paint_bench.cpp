// Painting a full window of 60 rows by 20 columns of mixed cells through a
// recording canvas: the cost of the row walks, formatting and colour rules.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/support/recording_canvas.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "platform/headless_host.h"
#include "ui/row_painter.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

void BM_PaintWindow(benchmark::State& state) {
  HeadlessHost host;
  Session session(host);
  SheetDocument* doc = session.NewDocument();
  for (int r = 0; r < 60; ++r) {
    for (int c = 0; c < 20; ++c) {
      std::string text;
      switch ((r + c) % 5) {
        case 0: text = std::to_string(r * 100 + c); break;
        case 1: text = std::to_string(r + c) + ".25"; break;
        case 2: text = "'label " + std::to_string(r); break;
        case 3: text = "+A" + std::to_string(r + 1) + "*2"; break;
        default: break;  // empty: labels run over
      }
      if (!text.empty()) EnterCell(*doc, text, r, c);
      if (CellRecord* cell = doc->cells().FindCell(r, c); cell && c % 7 == 0) cell->style = 1;
    }
  }
  doc->settings().banding = true;
  GridPane pane;
  pane.selection = CellRange::Of(3, 2, 10, 5);
  pane.cursor = {2, 3};
  PaintOptions options;
  testing::RecordingCanvas canvas;
  std::vector<GridSlot> cols = VisibleColumns(pane, doc->metrics(), 100, 40, 20 * 64);
  std::vector<GridSlot> rows = VisibleRows(pane, doc->metrics(), 100, 12, 20, 60 * 16);
  for (auto _ : state) {
    canvas.Reset();
    RowPainter painter(canvas, *doc, pane, options);
    painter.PaintColumnHeader(cols, 0, 20);
    painter.PaintRowHeader(rows, 0, 40);
    for (const GridSlot& r : rows) painter.PaintRow(r, cols);
    benchmark::DoNotOptimize(canvas.texts.data());
  }
  state.counters["rows"] = static_cast<double>(rows.size());
  state.counters["cols"] = static_cast<double>(cols.size());
}
BENCHMARK(BM_PaintWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
