// The document information and word tool dialogs without a toolkit.
//
// Document information: the title, the comments (kept as their lines from
// the last to the first, each followed by a carriage return), who saved
// the sheet last and when it was created. The word tool: the texts of the
// selection's first column as lines to edit, written back one per row.
#pragma once

#include <string>
#include <vector>

#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class SheetDocument;

inline constexpr std::size_t kMaxDocumentText = 255;

struct DocumentInfo {
  std::string title;
  std::vector<std::string> comments;  // in the order typed
  std::string revisedBy;              // "N/A" when the sheet was never saved
  std::string created;                // date " , " time, or "N/A"
};
DocumentInfo ReadDocumentInfo(SheetDocument& doc);
// "&Ok": title and comments into the sheet, which is marked changed.
void WriteDocumentInfo(SheetDocument& doc, const std::string& title,
                       const std::vector<std::string>& comments);
// The stored form of comment lines and back.
std::string StoredComments(const std::vector<std::string>& lines);
std::vector<std::string> CommentLines(const std::string& stored);

// The word tool's lines: one per row of the selection's first column.
std::vector<std::string> WordToolLines(SheetDocument& doc, const CellRange& selection);
// Enters the lines down the first column from its first row, one per row,
// beyond the selection when there are more; stops at the first failure.
Status ApplyWordTool(SheetDocument& doc, const CellRange& selection,
                     const std::vector<std::string>& lines);

// File > Get Info ...: the statistics of the sheet as lines of text.
std::vector<std::string> SheetStatistics(SheetDocument& doc);

}  // namespace tabulon
