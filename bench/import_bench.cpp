// Text import throughput (lines of comma-separated values per second) and
// the cost of formulas that read another worksheet through a link.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "edit/cell_entry.h"
#include "formula/recalc.h"
#include "io/link_store.h"
#include "io/text_import.h"
#include "io/worksheet_file.h"
#include "platform/headless_host.h"
#include "sheet/session.h"

namespace {

using namespace tabulon;

// `lines` lines of ten fields: numbers, a quoted text and an exponent.
std::string CsvText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += std::to_string(i) + ",\"name " + std::to_string(i % 97) + "\"," +
            std::to_string(i * 0.5) + ",1.5E-3,-7";
    for (int k = 0; k < 5; ++k) text += "," + std::to_string(i + k);
    text += "\r\n";
  }
  return text;
}

void BM_ImportValues(benchmark::State& state) {
  std::string text = CsvText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    HeadlessHost host;
    Session session(host);
    SheetDocument* doc = session.NewDocument();
    ImportResult r = ImportTextBytes(*doc, ImportMode::Values, {}, text);
    benchmark::DoNotOptimize(r.lines);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportValues)->Arg(8000)->Unit(benchmark::kMillisecond);

// A full recalculation of a sheet whose formulas each read one cell of
// another worksheet file.
void BM_RecalcLinks(benchmark::State& state) {
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "tabulon_link_bench").string();
  fs::create_directories(dir);
  HeadlessHost host;
  Session session(host);
  LinkStore links(session);
  SheetDocument* source = session.NewDocument();
  for (int r = 0; r < 1000; ++r) EnterCell(*source, std::to_string(r), r, 0);
  SaveWorksheet(*source, dir + "/source.wks");
  session.Release(*source);
  SheetDocument* doc = session.NewDocument();
  doc->SetFileName(dir + "/main.wks");
  int count = static_cast<int>(state.range(0));
  for (int r = 0; r < count; ++r)
    EnterCell(*doc, "+[source.wks]A" + std::to_string(r % 1000 + 1) + "*2", r, 0);
  for (auto _ : state) RecalcAll(*doc);
  state.SetItemsProcessed(state.iterations() * count);
  fs::remove_all(dir);
}
BENCHMARK(BM_RecalcLinks)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
