// The dialogs of File > Import..., Export ... and Merge...: a file dialog
// first, then the transfer dialog that asks where the data goes (or comes
// from) and, for a merge, which part of the file and how it combines.
// Toolkit-free; the windowed program shows it and OK runs the same command
// a macro reaches.
#pragma once

#include <string>
#include <vector>

#include "ui/status.h"

namespace tabulon {

class Workspace;

enum class TransferKind { kImport, kExport, kMerge };

// The file dialog that comes first: its title, filter ("description|
// patterns|..."), proposed name, and whether it saves.
struct TransferFileDialog {
  std::string title;
  std::string filter;
  std::string proposed;
  bool save = false;
};
TransferFileDialog FileDialogFor(TransferKind kind);

class TransferDialog {
 public:
  // After the file dialog: the chosen file and the 0-based index of the
  // filter entry chosen, which selects the mode.
  TransferDialog(Workspace& ws, TransferKind kind, std::string file, int filterIndex);

  TransferKind kind() const { return kind_; }
  // The file; an export name without "." gets ".wks" or ".prn".
  const std::string& file() const { return file_; }
  int filterIndex() const { return filter_; }
  // "Import Values", "Export Quoted Text", "Merge by Formula", ...
  std::string Caption() const;
  // "&Target: ", "&Source: " or "&Insert at Cell: ".
  std::string FieldLabel() const;

  // The target cell, source range or insert cell; starts at the cursor (the
  // selection for an export).
  std::string field;

  // Merge only: the file's range names ("NAME A1..B5", cut to 16
  // characters), the whole file or the chosen name, and the action.
  const std::vector<std::string>& names() const { return names_; }
  bool wholeFile = true;
  int nameIndex = 0;
  int action = 1;  // 1 replace, 2 sum, 3 difference

  // Runs the command; its status (already shown by the workspace).
  Status Ok();

 private:
  Workspace& ws_;
  TransferKind kind_;
  std::string file_;
  int filter_;
  std::vector<std::string> names_;
};

}  // namespace tabulon
