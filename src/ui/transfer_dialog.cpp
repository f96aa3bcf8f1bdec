#include "ui/transfer_dialog.h"

#include <algorithm>

#include "io/worksheet_file.h"
#include "platform/host.h"
#include "ui/workspace.h"

namespace tabulon {

TransferFileDialog FileDialogFor(TransferKind kind) {
  switch (kind) {
    case TransferKind::kImport:
      return {"TABULON IMPORT...",
              "ASCII (Import as Text)|*.prn;*.txt;*.csv|ASCII (Import as Values)|*.prn;*.txt;*.csv",
              "*.prn", false};
    case TransferKind::kExport:
      return {"TABULON EXPORT...",
              "Worksheet |*.wks|ASCII (Quoted Text)|*.prn|ASCII (Comma Delimited Text)|*.prn|"
              "Office Open XML workbook (*.xlsx)|*.xlsx",
              "*.wks", true};
    case TransferKind::kMerge:
      return {"Merge", "Worksheet (Merge Values)|*.wks;*.wkb|Worksheet (Merge Formulas)|*.wks;*.wkb",
              "*.wks", false};
  }
  return {};
}

TransferDialog::TransferDialog(Workspace& ws, TransferKind kind, std::string file, int filterIndex)
    : ws_(ws), kind_(kind), file_(std::move(file)), filter_(filterIndex) {
  int modes = kind == TransferKind::kExport ? 4 : 2;
  filter_ = std::clamp(filter_, 0, modes - 1);
  if (kind == TransferKind::kExport) {
    std::size_t slash = file_.rfind('/');
    std::string base = slash == std::string::npos ? file_ : file_.substr(slash + 1);
    if (base.find('.') == std::string::npos)
      file_ += filter_ == 0 ? ".wks" : filter_ == 3 ? ".xlsx" : ".prn";
  }
  if (kind == TransferKind::kMerge) {
    for (const FileRangeName& n : ListFileRangeNames(file_)) names_.push_back(n.text);
    // A file without names can only be merged whole.
    wholeFile = true;
  }
  if (SheetWindow* w = ws.active()) {
    CellRange r = kind == TransferKind::kExport ? w->SelectionRange()
                                                : CellRange::Cell(w->CursorCell().row, w->CursorCell().col);
    field = RangeText(r, w->document().settings().pageHeight);
  }
}

std::string TransferDialog::Caption() const {
  switch (kind_) {
    case TransferKind::kImport: return filter_ == 0 ? "Import Text" : "Import Values";
    case TransferKind::kExport:
      return filter_ == 0   ? "Export WKS"
             : filter_ == 1 ? "Export Quoted Text"
             : filter_ == 2 ? "Export Comma Delimited Text"
                            : "Export Workbook";
    case TransferKind::kMerge: return filter_ == 0 ? "Merge Value" : "Merge by Formula";
  }
  return {};
}

std::string TransferDialog::FieldLabel() const {
  switch (kind_) {
    case TransferKind::kImport: return "&Target: ";
    case TransferKind::kExport: return "&Source: ";
    case TransferKind::kMerge: return "&Insert at Cell: ";
  }
  return {};
}

Status TransferDialog::Ok() {
  if (file_.empty() || !ws_.Location(field).IsDefined()) {
    ws_.host().Beep();
    return Status::Beep();
  }
  switch (kind_) {
    case TransferKind::kImport:
      return ws_.Execute("file.import", {file_, field, std::to_string(filter_)});
    case TransferKind::kExport:
      return ws_.Execute("file.export", {file_, field, std::to_string(filter_)});
    case TransferKind::kMerge: {
      std::string name;
      if (!wholeFile && nameIndex >= 0 && nameIndex < static_cast<int>(names_.size()))
        name = names_[nameIndex].substr(0, names_[nameIndex].find(' '));
      std::string options = filter_ == 0 ? "V" : "F";
      options += "RSD"[std::clamp(action, 1, 3) - 1];
      return ws_.Execute("file.merge", {file_, field, name, options});
    }
  }
  return Status::Beep();
}

}  // namespace tabulon
