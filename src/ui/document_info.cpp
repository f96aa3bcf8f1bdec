#include "ui/document_info.h"

#include <algorithm>

#include "base/limits.h"
#include "display/format.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

namespace {
constexpr std::uint8_t kFormatT1 = 119;  // hours, minutes and seconds
}  // namespace

std::string StoredComments(const std::vector<std::string>& lines) {
  std::string stored;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) stored += *it + "\r";
  if (stored.size() > kMaxDocumentText) stored.resize(kMaxDocumentText);
  return stored;
}

std::vector<std::string> CommentLines(const std::string& stored) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < stored.size()) {
    std::size_t cr = stored.find('\r', start);
    std::string piece = stored.substr(start, cr == std::string::npos ? std::string::npos : cr - start);
    lines.insert(lines.begin(), piece);  // each piece goes on top
    if (cr == std::string::npos) break;
    start = cr + 1;
  }
  return lines;
}

DocumentInfo ReadDocumentInfo(SheetDocument& doc) {
  const WorksheetExtras& x = doc.extras();
  DocumentInfo info;
  info.title = x.title;
  info.comments = CommentLines(x.comments);
  info.revisedBy = x.revisedBy.empty() ? "N/A" : x.revisedBy;
  if (x.createdTime < 0) {
    info.created = "N/A";
  } else {
    FormatSettings fmt = FormatSettingsOf(doc);
    info.created = FormatValue(20, kFormatD4, x.createdDate, fmt) + " , " +
                   FormatValue(20, kFormatT1, x.createdTime, fmt);
  }
  return info;
}

void WriteDocumentInfo(SheetDocument& doc, const std::string& title,
                       const std::vector<std::string>& comments) {
  doc.extras().title = title.substr(0, kMaxDocumentText);
  doc.extras().comments = StoredComments(comments);
  doc.settings().modified = true;
}

std::vector<std::string> WordToolLines(SheetDocument& doc, const CellRange& selection) {
  std::vector<std::string> lines;
  if (!selection.IsDefined()) return lines;
  for (int row = selection.Top(); row <= selection.Bottom(); ++row)
    lines.push_back(CellEditText(doc, doc.cells().FindCell(row, selection.Left())));
  return lines;
}

Status ApplyWordTool(SheetDocument& doc, const CellRange& selection,
                     const std::vector<std::string>& lines) {
  if (!selection.IsDefined()) return Status::Beep();
  int row = selection.Top();
  for (const std::string& line : lines) {
    if (row >= kRowCount) return Status::Error("Out of Range");
    if (!EnterCell(doc, line, row, selection.Left()).ok) {
      std::string m = doc.session().errors().message();
      doc.session().errors().Clear();
      return m.empty() ? Status::Beep() : Status::Error(m);
    }
    ++row;
  }
  return Status::Ok();
}

std::vector<std::string> SheetStatistics(SheetDocument& doc) {
  const CellStore& cells = doc.cells();
  std::vector<std::string> lines;
  lines.push_back("Worksheet: " + (doc.fileName().empty() ? std::string("(untitled)") : doc.fileName()));
  lines.push_back("Used range: " + RangeText(CellRange::Of(0, 0, cells.maxRow(), cells.maxCol()),
                                             doc.settings().pageHeight));
  lines.push_back("Cells: " + std::to_string(cells.recordCount()));
  lines.push_back("Range names: " + std::to_string(doc.names().count()));
  lines.push_back("Recalculation: " + std::string(doc.settings().manualRecalc ? "Manual" : "Auto"));
  return lines;
}

}  // namespace tabulon
