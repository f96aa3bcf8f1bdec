// Peak resident size per cell: a fresh process fills one kind of cell and
// reports how much its peak resident size grew over an empty session. Run as
//   tabulon_memory_probe [numbers|labels|formulas|all] [CELLS] [rows|columns] [WIDTH]
// Cells are filled in rows of WIDTH (125) from column B, as a file loads, or column by column
// (every row grows one cell at a time, the worst case for the row index).
// Each kind is measured in its own child process so that the peaks of one do
// not hide the growth of the next.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "formula/recalc.h"
#include "sheet/address.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "platform/headless_host.h"

namespace {

using namespace tabulon;


long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// Fills `cells` cells of one kind, row by row, and prints the growth of the
// peak resident size per cell. Formulas use the number in column A of their
// row, which is created before the baseline is taken, so a formula is charged
// its record, its code and its entry in the number's dependents list.
int Measure(const std::string& kind, int cells, bool byColumns, int width) {
  HeadlessHost host;
  Session session(host);
  SheetDocument* doc = session.NewDocument();
  session.SetCurrent(doc);
  CellStore& store = doc->cells();
  int rows = (cells + width - 1) / width;
  if (rows > kRowCount) {
    std::fprintf(stderr, "at most %d cells\n", kRowCount * width);
    return 2;
  }
  bool formulas = kind == "formulas";
  if (formulas) {
    for (int r = 0; r < rows; ++r) store.StoreNumber(*store.GetOrCreateCell(r, 0), r);
  }
  long before = PeakKilobytes();
  int made = 0;
  for (; made < cells; ++made) {
    int r = byColumns ? made % rows : made / width;
    int c = 1 + (byColumns ? made / rows : made % width);
    if (kind == "numbers") {
      store.StoreNumber(*store.GetOrCreateCell(r, c), r * 0.5 + c);
    } else if (kind == "labels") {
      CellRecord* cell = store.GetOrCreateCell(r, c);
      store.SetCellText(*cell, "'label");
      cell->kind = kLabel;
    } else {
      EnterCell(*doc, "+$A$" + std::to_string(r + 1) + "*2+1", r, c);
    }
  }
  if (formulas) RecalcAll(*doc);
  long after = PeakKilobytes();
  if (store.recordCount() < static_cast<std::size_t>(made)) {
    std::fprintf(stderr, "cells were not created\n");
    return 1;
  }
  std::printf("%-8s %9d cells %3d wide by %-7s %6.1f bytes per cell of peak resident size\n", kind.c_str(),
              made, width, byColumns ? "columns" : "rows", (after - before) * 1024.0 / made);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string kind = argc > 1 ? argv[1] : "all";
  int cells = argc > 2 ? std::atoi(argv[2]) : 1000000;
  bool byColumns = argc > 3 && std::string(argv[3]) == "columns";
  int width = argc > 4 ? std::atoi(argv[4]) : 125;
  if (cells <= 0 || width < 1 || width > kColumnCount - 1) {
    std::fprintf(stderr, "usage: %s [numbers|labels|formulas|all] [CELLS] [rows|columns] [WIDTH]\n", argv[0]);
    return 2;
  }
  if (kind != "all") {
    if (kind != "numbers" && kind != "labels" && kind != "formulas") return 2;
    return Measure(kind, cells, byColumns, width);
  }
  int status = 0;
  for (const char* k : {"numbers", "labels", "formulas"}) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      int rc = Measure(k, cells, byColumns, width);
      std::fflush(stdout);
      _exit(rc);
    }
    int st = 0;
    waitpid(child, &st, 0);
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) status = 1;
  }
  return status;
}
