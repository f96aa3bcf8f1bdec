// What the block commands of the menus take from the worksheet window: the
// rows and columns a selection spans, the ranges typed into their prompts,
// the scale factor, and the Across Row variants that shift only the
// selected columns. The Qt main window asks for the ranges and shows the
// errors; everything else is here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sheet/address.h"
#include "edit/block_ops.h"

namespace tabulon {

class SheetDocument;

// The prompts of the copy commands.
inline constexpr const char* kCopyFromPrompt = "COPY: From Range";
inline constexpr const char* kCopyToPrompt = "COPY: TO Range";
inline constexpr const char* kMoveFromPrompt = "MOVE: From Range";
inline constexpr const char* kMoveToPrompt = "MOVE: TO Range";
inline constexpr const char* kOutputPrompt = "OUTPUT Range";
const char* ValueCopyPrompt(ValueCopyMode mode);

// A run of rows or columns: the first and how many.
struct Span {
  int first = 0;
  int count = 0;
};
Span SelectedRows(const CellRange& selection);
Span SelectedColumns(const CellRange& selection);

// The range that prompt text names; undefined when the text is not a range
// inside the sheet (the block commands refuse an undefined range).
CellRange PromptRange(SheetDocument& doc, std::string_view text, const CursorSource* cursor);

// The commands of the Sheet menu's Insert and Delete submenus.
enum class SheetCommand {
  kInsertPageBreak,
  kInsertRows,
  kInsertColumns,
  kInsertAcross,  // shifts the selected columns down, from the selection's top row
  kDeleteRows,
  kDeleteColumns,
  kDeleteAcross,  // removes the selected cells and pulls the cells below them up
};
// Runs the command on the selection (and, for a page break, the cursor's
// column) with a cleared error channel; a failure leaves its message there.
BlockResult RunSheetCommand(SheetDocument& doc, SheetCommand command, const CellRange& selection,
                            int cursorColumn);

// The scale factor typed for Scale: a number; none for anything else.
std::optional<double> ParseScaleFactor(SheetDocument& doc, std::string_view text);

}  // namespace tabulon
