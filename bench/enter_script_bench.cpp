// Entering a script as `tabulon-cli enter` does: a chain of formulas typed
// from its end (A8000 = A7999+1 first, A1 = 1 last; longer chains continue
// down the next columns), so that each entry has
// every formula entered before it as dependents. Recalculating after every
// entry walks the growing tail (quadratic); recalculating once at the end
// walks the chain once. Also a chain typed from its start, where neither
// way has anything to walk, to show the fixed cost per entry.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/cli.h"
#include "bench_sheet.h"
#include "sheet/address.h"

namespace tabulon {
namespace {

// Element k of the chain (1-based) runs down the columns, 8000 rows each.
constexpr int kChainRows = 8000;
std::string ChainCell(int k) {
  return ColumnLetters((k - 1) / kChainRows) + std::to_string((k - 1) % kChainRows + 1);
}

std::vector<std::string> ChainScript(int cells, bool fromTheEnd) {
  std::vector<std::string> entries;
  entries.reserve(cells);
  for (int i = 0; i < cells; ++i) {
    int k = fromTheEnd ? cells - i : i + 1;
    std::string text = k == 1 ? std::string("1") : "+" + ChainCell(k - 1) + "+1";
    entries.push_back(ChainCell(k) + "=" + text);
  }
  return entries;
}

// range(0): cells; range(1): 1 = recalculate once, 0 = after every entry;
// range(2): 1 = typed from the end of the chain.
void EnterChain(benchmark::State& state) {
  int cells = static_cast<int>(state.range(0));
  bool once = state.range(1) != 0;
  std::vector<std::string> script = ChainScript(cells, state.range(2) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    {
      BenchSheet sheet;
      state.ResumeTiming();
      BatchEntry r = EnterEntries(*sheet.doc, script, once);
      benchmark::DoNotOptimize(r.failures);
      state.PauseTiming();
      const CellRecord* last =
          sheet.doc->cells().FindCell((cells - 1) % kChainRows, (cells - 1) / kChainRows);
      if (r.failures != 0 || last == nullptr || last->value.num != cells) {
        state.SkipWithError("wrong chain value");
        break;
      }
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * cells);
  state.SetLabel(std::string(once ? "recalculated once" : "recalculated per entry") +
                 (state.range(2) ? ", typed from the end" : ", typed from the start"));
}
BENCHMARK(EnterChain)
    ->ArgsProduct({{2000, 8000}, {0, 1}, {1}})
    ->Args({8000, 0, 0})
    ->Args({8000, 1, 0})
    ->Args({100000, 1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
