// Printing from the audit dialog: the statistics chart drawn on a page of
// the current printer, scaled to the page, and the cross-reference report
// printed as text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class PrintService;
class SheetDocument;
class Workspace;

// The report's lines: a blank line, the title with the file name and the
// range, a blank line, the column heads and a rule, then each line of the
// cross-reference list with its ":" separators turned into tabs.
std::vector<std::string> CrossReferenceReportLines(SheetDocument& doc, const CellRange& range);

// Adds the commands the dialog's "&Print" runs (kAuditPrintChart and
// kAuditPrintReport of ui/audit.h).
void RegisterAuditPrintCommands(Workspace& ws, const std::shared_ptr<PrintService>& service);

}  // namespace tabulon
