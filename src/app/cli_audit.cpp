#include "app/cli_sheet_tools.h"

#include "sheet/session.h"
#include "ui/audit.h"

namespace tabulon {

AuditTreeText DependentsText(SheetDocument& doc, CellAddress cell, int depth) {
  AuditTreeText out;
  out.missing = doc.cells().FindCell(cell.row, cell.col) == nullptr;
  DependentsTree tree = BuildDependentsTree(doc, cell, depth);
  for (const TreeLine& line : tree.lines)
    out.lines.push_back(std::string(static_cast<std::size_t>(line.depth) * 2, ' ') + line.text);
  out.truncated = tree.truncated;
  out.lines.push_back("Total References: " + std::to_string(tree.references()) +
                      "   Depth: " + std::to_string(tree.depthReached));
  return out;
}

}  // namespace tabulon
