// The worksheet file: a run of records in the published record-structured
// worksheet layout (.WKS, also read: .WK1), followed by a second run of
// records of this system's own (fonts, colours, attributes, document
// information, sheet buttons, ...).
//
// Loading reads the whole file before it touches the document: a file that
// turns out to be truncated or malformed is reported; an open keeps what
// was read before the damage in an untitled sheet, anything else changes
// nothing.
// Saving writes a temporary file beside the target and renames it into
// place, keeping the previous file as the backup (last character of the
// name replaced by "B"); a failed save leaves the existing file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Option bits of LoadWorksheet.
enum LoadOption : unsigned {
  kCombineReplace = 1,  // bits 0-1: how merged numbers meet existing ones
  kCombineAdd = 2,
  kCombineSubtract = 3,
  kCombineMask = 3,
  kValuesOnly = 4,      // formulas arrive as their values
  kMergeInto = 0x10,    // merge into the document instead of opening
  kExternalLoad = 0x20, // values for external references: silent, no linking
  kStartupSheet = 0x40, // the start-up sheet: silent failure, stays untitled
};

enum class LoadStatus {
  Loaded,     // the whole file was read
  Recovered,  // a damaged file: an open kept what was read before the damage
  Failed,     // nothing was loaded; the document is unchanged
};

struct LoadResult {
  LoadStatus status = LoadStatus::Failed;
  bool ok = false;               // status == Loaded
  std::string message;           // the message shown on failure or recovery
  bool hasAutoexec = false;      // the loaded sheet has a range named AUTOEXEC
  bool focusSecondPane = false;  // the file named pane 2 as the active one
  std::size_t cells = 0;         // cell records taken
};

// Loads a worksheet file into `doc`. An open (no kMergeInto) replaces the
// document's cells, names and settings and sets its file name; a merge
// places the accepted area's top-left cell at `insert`. `filter` is a range
// name or a range address ("A1..C5") limiting a merge; empty takes the
// whole file. A failure leaves the document unchanged and its message in
// the result; showing it is the caller's business.
//
// A damaged file (cut short, or with a record that cannot be sound) opened
// with something worth keeping before the damage gives status Recovered:
// the document holds what was read, has no file name (so Save asks for
// one and cannot overwrite the original) and counts as modified; the
// message says what was wrong and how many cells were kept, for the
// caller to show. A merge or an external reference never takes part of a
// damaged file.
LoadResult LoadWorksheet(SheetDocument& doc, std::string_view fileName, unsigned options,
                         CellAddress insert = {}, std::string_view filter = {});

// Saves the whole sheet, or only the cells of `extract` (written with
// coordinates relative to its top-left cell) when it is defined. Returns
// false with "Unable to CLOSE file" in the error channel on any failure.
bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract = {});

// The user name stored as "revised by"; the SaveWorksheet overload without
// it takes the signed-in user's name from the environment.
bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract,
                   std::string_view userName);

struct FileRangeName {
  std::string name;
  CellRange range;
  std::string text;  // name, a space and the range text, cut to 16 bytes
};
// The range names stored in a worksheet file (not the settings name); empty
// when the file cannot be read.
std::vector<FileRangeName> ListFileRangeNames(std::string_view fileName);

// Whether the file starts with a file-start record of length 2.
bool IsWorksheetFile(std::string_view fileName);

// The name a file operation uses: ".WKS" appended when the last path
// component has no extension.
std::string WorksheetFileName(std::string_view fileName);
// The backup name: the last character replaced by "B" (".WKS" -> ".WKB").
std::string BackupFileName(std::string_view fileName);

}  // namespace tabulon
