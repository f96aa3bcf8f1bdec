// Find and Replace without a toolkit: the dialog's fields and history, the
// scan over the entry texts of the cells (labels with their prefix, number
// digits, regenerated formula text), moving the cursor to a match, and
// replacing through cell entry so that a replaced formula is compiled and
// recalculated as if typed.
//
// Two places where a literal reading would misbehave are made safe: Replace
// All continues after the text it inserted, so a replacement containing the
// find text ends after one pass instead of looping; and a replacement that
// would make a cell longer than 240 characters is refused for that cell and
// counted, never cut.
#pragma once

#include <string>
#include <vector>

#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class SheetWindow;

class FindReplace {
 public:
  static constexpr std::size_t kMaxFindText = 255;
  static constexpr std::size_t kHistorySize = 10;

  // --- the controls --------------------------------------------------------------
  void SetFindText(const std::string& text);
  void SetReplaceText(const std::string& text);
  const std::string& findText() const { return findText_; }
  const std::string& replaceText() const { return replaceText_; }
  bool caseInsensitive = false;
  bool selectedOnly = false;

  // Each time the dialog is shown: the selection becomes the scope; a single
  // cell chooses the whole sheet ("Global"), a block "Selected".
  void Activate(const SheetWindow& window);
  // Leaving the find box: the text goes to the top of the history.
  void RememberFindText();
  const std::vector<std::string>& history() const { return history_; }

  // --- the buttons -----------------------------------------------------------------
  // Moves the cursor to the next cell containing the find text. False at the
  // end of the scope (the result says how many were replaced, and it beeps).
  Status Find(SheetWindow& window);
  // Replaces the first occurrence in the cell found last, then finds the next.
  Status Replace(SheetWindow& window);
  // Replaces every occurrence in the scope; `count()` says how many.
  Status ReplaceAll(SheetWindow& window);

  // --- what the dialog shows -----------------------------------------------------------
  const CellRange& scope() const { return scope_; }
  std::string ScopeText(int pageHeight) const;
  const std::string& result() const { return result_; }
  int count() const { return count_; }
  // Cells whose replacement was refused (protection, a text over 240 bytes).
  int refused() const { return refused_; }
  std::string FindCaption() const { return restart_ ? "Fi&nd" : "Find &Next"; }
  bool found() const { return found_; }
  CellAddress position() const { return {static_cast<std::int16_t>(col_), static_cast<std::int16_t>(row_)}; }

 private:
  Status Run(SheetWindow& window);
  // The next matching cell from the position; false at the end of the scope.
  bool Scan(SheetWindow& window);
  // Replaces the first occurrence at or after `offset_` in the cell at the
  // position; false when the cell has none left.
  bool ReplaceStep(SheetWindow& window);
  std::string Key(const std::string& text) const;

  std::string findText_, replaceText_;
  std::vector<std::string> history_;
  CellRange scope_ = CellRange::Cell(0, 0);
  int row_ = 0, col_ = 0;
  int foundRow_ = 0, foundCol_ = 0;
  std::size_t offset_ = 0;  // where the next replacement in the cell may start
  bool restart_ = true;
  bool stopAtMatch_ = true;
  int mode_ = 1;  // 1 find, 2 replace
  int count_ = 0;
  int refused_ = 0;
  bool found_ = false;
  std::string cellText_;
  std::string result_;
};

}  // namespace tabulon
