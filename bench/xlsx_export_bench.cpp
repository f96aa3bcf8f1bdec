// Workbook export throughput: formulas translated and written per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "edit/cell_entry.h"
#include "formula/recalc.h"
#include "io/xlsx_export.h"
#include "platform/headless_host.h"
#include "sheet/session.h"

namespace {

using namespace tabulon;

// A column of numbers and `count` formulas beside it, 14 to a row, mixing
// translated operators and functions with some that go out as values.
void Fill(SheetDocument& doc, int count) {
  constexpr int kPerRow = 14;  // 100 000 formulas fit in the 8192 rows
  int rows = (count + kPerRow - 1) / kPerRow;
  for (int r = 0; r < rows; ++r) EnterCell(doc, std::to_string(r % 97 + 1), r, 0);
  const char* forms[] = {"+A{r}*2+1", "@SUM(A{r}..A{n})", "@IF(A{r}>50,A{r},-A{r})",
                         "@ROUND(A{r}/7,2)", "@MOD(A{r},7)", "+A{r}^2", "@AVG(A{r}..A{n})",
                         "@SQRT(A{r})", "@MAX(A{r},A{n})", "@VTABLE(A{r},A{r}..A{n},0)",
                         "@LENGTH(\"x\"&A{r})", "@INT(A{r}/3)+@ABS(-A{n})"};
  int entered = 0;
  for (int r = 0; r < rows && entered < count; ++r) {
    for (int k = 0; k < kPerRow && entered < count; ++k, ++entered) {
      std::string text = forms[(r + k) % 12];
      std::string row = std::to_string(r + 1), next = std::to_string(r + 2);
      for (std::size_t p; (p = text.find("{r}")) != std::string::npos;) text.replace(p, 3, row);
      for (std::size_t p; (p = text.find("{n}")) != std::string::npos;) text.replace(p, 3, next);
      EnterCell(doc, text, r, k + 1);
    }
  }
  RecalcAll(doc);
}

void BM_ExportXlsx(benchmark::State& state) {
  HeadlessHost host;
  Session session(host);
  SheetDocument* doc = session.NewDocument();
  int count = static_cast<int>(state.range(0));
  Fill(*doc, count);
  std::string path = (std::filesystem::temp_directory_path() / "tabulon_bench.xlsx").string();
  XlsxExportResult last;
  for (auto _ : state) {
    last = ExportXlsx(*doc, path, CellRange());
    if (!last.ok) state.SkipWithError(last.error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["live"] = static_cast<double>(last.formulas);
  state.counters["values"] = static_cast<double>(last.valuesOnly);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_ExportXlsx)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
