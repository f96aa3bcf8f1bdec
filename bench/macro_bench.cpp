// Speed of the macro interpreter: a counted loop of 100 000 iterations
// whose body is one LET, run headless through the workspace, once with the
// loop on one line and once with the body on a line of its own (each pass
// back to the FOR translates its line again).
#include <benchmark/benchmark.h>

#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

struct Desk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  MacroInterpreter macros{ws};
  Desk() { ws.NewSheet(); }
  SheetDocument& Doc() { return ws.active()->document(); }
};

void RunLoop(benchmark::State& state, bool oneLine) {
  Desk d;
  if (oneLine) {
    EnterCell(d.Doc(), "'{FOR A1 1 100000 1}{LET B1 B1+A1}{NEXT}", 0, 7);
  } else {
    EnterCell(d.Doc(), "'{FOR A1 1 100000 1}", 0, 7);
    EnterCell(d.Doc(), "'{LET B1 B1+A1}", 1, 7);
    EnterCell(d.Doc(), "'{NEXT}", 2, 7);
  }
  for (auto _ : state) {
    EnterCell(d.Doc(), "0", 0, 1);
    d.macros.RunMacroAt(0, 7);
    if (CellNumber(d.Doc().cells().FindCell(0, 1)) != 5000050000.0)
      state.SkipWithError("the loop did not sum 1..100000");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}

void BM_MacroLoop100000LetsOneLine(benchmark::State& state) { RunLoop(state, true); }
void BM_MacroLoop100000LetsThreeLines(benchmark::State& state) { RunLoop(state, false); }

BENCHMARK(BM_MacroLoop100000LetsOneLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MacroLoop100000LetsThreeLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon
