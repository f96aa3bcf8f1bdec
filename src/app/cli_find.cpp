#include "app/cli_sheet_tools.h"

#include <map>
#include <utility>

#include "edit/cell_text.h"
#include "sheet/session.h"
#include "ui/find_replace.h"
#include "ui/sheet_window.h"

namespace tabulon {

FindOutcome FindInSheet(SheetDocument& doc, const FindRequest& request) {
  FindOutcome out;
  SheetWindow window(doc);
  FindReplace find;
  if (request.scope.IsDefined()) {
    window.MoveCursor(request.scope.Top(), request.scope.Left());
    window.MoveCursor(request.scope.Bottom(), request.scope.Right(), true);
  }
  find.Activate(window);
  // A range given on the command line is searched even when it is one cell.
  find.selectedOnly = request.scope.IsDefined();
  find.caseInsensitive = !request.matchCase;
  find.SetFindText(request.text);
  if (find.findText().empty()) return out;

  // Find moves on by at least one cell each time and stops at the end of
  // the scope, so this visits each matching cell once.
  while (find.Find(window).ok()) {
    CellAddress at = window.CursorCell();
    const CellRecord* cell = doc.cells().FindCell(at.row, at.col);
    out.matches.push_back({at, CellEditText(doc, cell)});
  }
  if (!request.replace || out.matches.empty()) return out;

  std::map<std::pair<int, int>, std::string> before;
  for (const FindMatch& m : out.matches) before[{m.cell.row, m.cell.col}] = m.contents;
  find.SetReplaceText(request.replacement);
  find.ReplaceAll(window);
  out.refused = find.refused();
  for (const auto& [at, text] : before) {
    const CellRecord* cell = doc.cells().FindCell(at.first, at.second);
    if (CellEditText(doc, cell) != text) ++out.changedCells;
  }
  return out;
}

}  // namespace tabulon
