// Graph pictures through Qt: an XY graph of 8000 points (lines and a
// symbol at every point) drawn and written as a 1200 x 800 PNG, the same
// drawing without the file, and every named graph of the example sheet.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <string>

#include "bench_sheet.h"
#include "edit/cell_entry.h"
#include "graph/graph_image.h"
#include "graph/graph_render.h"
#include "io/worksheet_file.h"
#include "qt/qt_canvas.h"
#include "qt/qt_image_output.h"

namespace tabulon {
namespace {

// One image writer for the whole run: it makes the offscreen application.
QtImageOutput& Images() {
  static QtImageOutput images;
  return images;
}

void FillXY(BenchSheet& b) {
  for (int i = 0; i < 8000; ++i) {
    EnterCell(*b.doc, std::to_string(i), i, 0);
    EnterCell(*b.doc, std::to_string(std::sin(i / 200.0) * 100), i, 1);
  }
  GraphSettings& g = b.doc->extras().graphs.current;
  g.x = CellRange::Of(0, 0, 7999, 0);
  g.series[0] = CellRange::Of(0, 1, 7999, 1);
  g.SetHeading(kMainHeading, "8000 points");
  g.SetLegend(0, "sine");
}

void BM_GraphXY8000Png(benchmark::State& state) {
  BenchSheet b;
  FillXY(b);
  QTemporaryDir dir;
  std::string path = dir.filePath("xy.png").toStdString();
  for (auto _ : state) {
    std::string failure = WriteGraphImage(Images(), *b.doc, -1, path, ImageFormat::Png, 1200, 800);
    if (!failure.empty()) state.SkipWithError(failure.c_str());
  }
}
BENCHMARK(BM_GraphXY8000Png)->Unit(benchmark::kMillisecond);

void BM_GraphXY8000Paint(benchmark::State& state) {
  BenchSheet b;
  FillXY(b);
  Images();  // the application object
  QImage image(1200, 800, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QtCanvas canvas(painter);
    DrawDocumentGraph(canvas, *b.doc, -1, 1200, 800);
  }
}
BENCHMARK(BM_GraphXY8000Paint)->Unit(benchmark::kMillisecond);

void BM_ExampleGraphsPng(benchmark::State& state) {
  BenchSheet b;
  LoadResult r = LoadWorksheet(*b.doc, TABULON_SOURCE_DIR "/examples/graphs.wks", 0);
  if (!r.ok) {
    state.SkipWithError("examples/graphs.wks did not load");
    return;
  }
  QTemporaryDir dir;
  int count = static_cast<int>(b.doc->extras().graphs.named.size());
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) {
      std::string path = dir.filePath(QString("g%1.png").arg(i)).toStdString();
      WriteGraphImage(Images(), *b.doc, i, path, ImageFormat::Png, 640, 480);
    }
  }
  state.counters["graphs"] = count;
}
BENCHMARK(BM_ExampleGraphsPng)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
