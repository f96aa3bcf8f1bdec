#include "ui/transfer_commands.h"

#include <cmath>
#include <cstdlib>

#include "base/text.h"
#include "edit/cell_entry.h"
#include "io/link_store.h"
#include "io/text_export.h"
#include "io/text_import.h"
#include "io/worksheet_file.h"
#include "io/xlsx_export.h"
#include "platform/host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

SheetDocument& Doc(Workspace& ws) { return ws.active()->document(); }

int ReadKind(const std::string& text) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6)));
}

// Writes the range as a workbook and tells how many formulas could only go
// out as their values, and why.
Status ExportWorkbook(Workspace& ws, const std::string& file, const CellRange& range) {
  XlsxExportResult r = ExportXlsx(ws.active()->document(), file, range);
  if (!r.ok) return Status::Error(r.error);
  if (!r.notes.empty()) {
    std::string text = std::to_string(r.cells) + " cells exported, " + std::to_string(r.formulas) +
                       " formulas live, " + std::to_string(r.valuesOnly) + " as values.";
    for (const std::string& note : r.notes) text += "\n" + note;
    ws.host().ShowMessage(text);
  }
  return Status::Ok();
}

// The top-left cell of a location argument; false when it names nothing.
bool ReadCell(Workspace& ws, const std::string& text, CellAddress& at) {
  CellRange r = ws.Location(text);
  if (!r.IsDefined()) return false;
  at = {static_cast<std::int16_t>(r.Left()), static_cast<std::int16_t>(r.Top())};
  return true;
}

Status Imported(Workspace& ws, const ImportResult& r) {
  if (!r.ok) return Status::Error(r.message.empty() ? "File Not Found" : r.message);
  // The import happened; what the user should know about it is told, not
  // raised as an error that would stop a running macro.
  if (!r.message.empty()) ws.host().ShowMessage(r.message);
  return Status::Ok();
}

}  // namespace

void ReadMergeOptions(const std::string& options, unsigned& combine, bool& valuesOnly) {
  std::string head = UpperCase(options.substr(0, 3));
  valuesOnly = head.find('F') == std::string::npos;
  combine = kCombineReplace;
  for (char ch : head) {
    if (ch == 'R') combine = kCombineReplace;
    else if (ch == 'S') combine = kCombineAdd;
    else if (ch == 'D') combine = kCombineSubtract;
  }
}

Status MergeFile(Workspace& ws, const std::string& file, CellAddress insert,
                 const std::string& filter, unsigned combine, bool valuesOnly) {
  if (file.empty()) return Status::Beep();
  std::string name = filter;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(name.begin());
  if (!name.empty() && name.find("..") == std::string::npos) {
    // A name the file does not have would merge nothing, silently.
    bool known = false;
    for (const FileRangeName& n : ListFileRangeNames(file))
      known = known || UpperCase(n.name) == UpperCase(name);
    if (!known && IsWorksheetFile(WorksheetFileName(file)))
      return Status::Error("Range Name not in File: " + name.substr(0, 20));
  }
  unsigned options = (combine & kCombineMask) | (valuesOnly ? kValuesOnly : 0u) | kMergeInto;
  LoadResult r = LoadWorksheet(Doc(ws), file, options, insert, name);
  if (r.status != LoadStatus::Loaded)
    return Status::Error(r.message.empty() ? "Unable to Open File" : r.message);
  ws.active()->MoveCursor(insert.row, insert.col);
  return Status::Ok();
}

Status WriteLinkTable(Workspace& ws, CellAddress at) {
  std::vector<LinkSourceInfo> sources = ws.links().Sources();
  if (sources.empty()) return Status::Error("No External References");
  SheetDocument& doc = Doc(ws);
  if (at.row + static_cast<int>(sources.size()) > kRowCount || at.col + 2 >= kColumnCount)
    return Status::Error("Out of Range");
  int row = at.row;
  for (const LinkSourceInfo& s : sources) {
    std::string entries[3] = {"'" + s.path.substr(0, kMaxText - 1), std::string("'") + LinkStateText(s.state),
                              std::to_string(s.cells)};
    for (int i = 0; i < 3; ++i) {
      ws.session().errors().Clear();
      if (!EnterCell(doc, entries[i], row, at.col + i).ok) {
        const std::string& m = ws.session().errors().message();
        return m.empty() ? Status::Beep() : Status::Error(m);
      }
    }
    ++row;
  }
  return Status::Ok();
}

void RegisterTransferCommands(Workspace& ws) {
  CommandTable& t = ws.commands();
  const unsigned changes = kNeedsSheet | kTakesSnapshot | kCancelsEntry;

  t.AddAfter("file.saveas", MakeCommand("file.uplink", "&File", "&Uplink", "Update &LINK references", 0,
                                 [](Workspace& w, const CommandArgs&) {
                                   w.Calculate();
                                   return Status::Ok();
                                 }));

  // FILEMERGE name location range options
  Command& merge = t.AddAfter(
      "file.close",
      MakeCommand("file.merge", "&File", "&Merge...", "Merge Formula/Value Range", changes,
           [](Workspace& w, const CommandArgs& a) {
             CellAddress at;
             if (!ReadCell(w, a[1], at)) return Status::Beep();
             unsigned combine;
             bool valuesOnly;
             ReadMergeOptions(a[3], combine, valuesOnly);
             return MergeFile(w, a[0], at, a[2], combine, valuesOnly);
           }));
  merge.family = 'f';
  merge.letter = 'm';
  merge.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kMerge, 0); };

  // FILEIMPORT name location kind: kind 0 text, 1 values, 2 directory.
  Command& import = t.AddAfter(
      "file.merge", MakeCommand("file.import", "&File", "&Import...", "Import Comma or Quoted Ascii Files",
                         changes, [](Workspace& w, const CommandArgs& a) {
                           CellAddress at;
                           if (a[0].empty() || !ReadCell(w, a[1], at)) return Status::Beep();
                           int kind = ReadKind(a[2]);
                           if (kind < 0 || kind > 2) return Status::Beep();
                           return Imported(w, ImportText(Doc(w), static_cast<ImportMode>(kind + 1),
                                                         at, a[0]));
                         }));
  import.family = 'f';
  import.letter = 'i';
  import.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kImport, 0); };

  // FILEEXPORT name range kind: kind 0 a worksheet extract, 2 comma-delimited
  // text, 3 an Office Open XML workbook, any other quoted text.
  Command& exp = t.AddAfter(
      "file.import",
      MakeCommand("file.export", "&File", "&Export ...", "Export Worksheet to WKS or Ascii", kNeedsSheet,
           [](Workspace& w, const CommandArgs& a) {
             CellRange r = w.Location(a[1]);
             if (a[0].empty() || !r.IsDefined()) return Status::Beep();
             int kind = ReadKind(a[2]);
             if (kind == 3) return ExportWorkbook(w, a[0], r);
             bool ok = kind == 0 ? SaveWorksheet(Doc(w), a[0], r)
                                 : ExportText(Doc(w), a[0],
                                              kind == 2 ? TextExportMode::Comma : TextExportMode::Quoted, r);
             if (ok) return Status::Ok();
             const std::string& m = w.session().errors().message();
             return Status::Error(m.empty() ? "Unable to CLOSE file" : m);
           }));
  exp.family = 'f';
  exp.letter = 'x';
  exp.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kExport, 0); };

  t.AddAfter("sheet.audit",
             MakeCommand("sheet.external.table", "&Sheet/E&xternal @", "&Table", "",
                  changes, [](Workspace& w, const CommandArgs& a) {
                    CellAddress at;
                    if (!ReadCell(w, a[0], at)) return Status::Beep();
                    return WriteLinkTable(w, at);
                  }));
  t.AddAfter("sheet.external.table",
             MakeCommand("sheet.external.reset", "&Sheet/E&xternal @", "&Reset", "", 0,
                  [](Workspace& w, const CommandArgs&) {
                    w.links().Reset();
                    return Status::Ok();
                  }));
}

}  // namespace tabulon
