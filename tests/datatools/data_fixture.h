// Shared helpers of the data tools' tests: a column of cells as one line of
// text, and a workspace with the data commands and one sheet.
#pragma once

#include <string>
#include <vector>
#include <string_view>

#include "datatools/data_commands.h"
#include "edit/cell_text.h"
#include "edit/sheet_invariants.h"
#include "formula/number_text.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "support/test_session.h"
#include "ui/workspace.h"

namespace tabulon::testing {

// One cell as text: a number, a label with its prefix, "=" and a text
// result, "_" for a blank.
inline std::string Short(SheetDocument& doc, int row, int col) {
  const CellRecord* c = doc.cells().FindCell(row, col);
  if (c == nullptr || c->Kind() == kEmpty) return "_";
  if (c->Kind() == kLabel) return std::string(c->TextView());
  if (c->KindAndError() == kStringFormula) return "=" + std::string(PStringView(c->value.str));
  if (c->HasError()) return "ERR";
  return NumberText(CellNumber(c));
}

// The cells of a column between two rows, joined by ",".
inline std::string Column(SheetDocument& doc, std::string_view first, std::string_view last) {
  Pos a = At(first), b = At(last);
  std::string out;
  for (int r = a.row; r <= b.row; ++r) {
    if (r != a.row) out += ",";
    out += Short(doc, r, a.col);
  }
  return out;
}

// A workspace with the data commands, one sheet, and a view that records
// the dialogs asked for.
struct DataDesk {
  struct View : WorkspaceView {
    int dialogs = 0;
    DialogKind kind = DialogKind::kAbout;
    int page = -1;
    Workspace* ws = nullptr;
    std::vector<std::string> modes;  // the mode panel at each EntryChanged
    void EntryChanged() override {
      if (ws != nullptr) modes.push_back(ws->input().mode());
    }
    void ShowDialog(DialogKind k, int p) override {
      ++dialogs;
      kind = k;
      page = p;
    }
  };
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  View view;

  DataDesk() {
    RegisterDataCommands(ws);
    view.ws = &ws;
    ws.SetView(&view);
    ws.NewSheet();
  }
  ~DataDesk() { ws.SetView(nullptr); }
  SheetDocument& Doc() { return ws.active()->document(); }
  bool Enter(std::string_view address, std::string_view text) {
    Pos p = At(address);
    return EnterCell(Doc(), text, p.row, p.col).ok;
  }
  std::string Col(std::string_view first, std::string_view last) {
    return Column(Doc(), first, last);
  }
  void Select(std::string_view range) {
    CellRange r = Rng(range);
    ws.active()->MoveCursor(r.firstRow, r.firstCol);
    ws.active()->MoveCursor(r.lastRow, r.lastCol, true);
  }
};

}  // namespace tabulon::testing
