// The array dialog without a toolkit ("ARRAY: " and the page name): eight
// pages, one per array operation, each with its range edits (First, Second
// and Output, or Input and Output), the pointing prompts, the
// first-activation preset from the selection, and Ok, which runs the page's
// command through the workspace as a macro would. The Qt dialog binds its
// controls to this class.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "datatools/array_commands.h"
#include "sheet/address.h"

namespace tabulon {

class Workspace;

inline constexpr std::array<const char*, kArrayOperationCount> kArrayPageNames{
    "Add", "Subtract", "Multiply", "Transpose", "Invert", "ESolve", "Determinate", "Linear"};

class ArrayDialog {
 public:
  static constexpr int kMaxEdits = 3;

  // Shows the page for the active window; on the first opening a
  // selection of more than one cell goes into the page's first edit.
  // Remembers the cell pointer and the selection.
  void Open(Workspace& ws, int page);
  int page() const { return page_; }
  void SetPage(int page);
  std::string Caption() const;

  // The page's edits: three for Add, Subtract and Multiply, two otherwise.
  int editCount() const { return editCount(page_); }
  static int editCount(int page);
  // "&First: ", "&Second: ", "O&utput: " or "&Input: ", "O&utput: ".
  static const char* EditCaption(int page, int edit);
  const std::string& text(int edit) const;
  void SetText(int edit, std::string_view text);
  // The prompt while pointing (" Add: First Range") and the range it
  // starts from: the edit's text, or the selection when the dialog opened.
  std::string PointingPrompt(int edit) const;
  std::string PointingStart(int edit) const;

  enum class Outcome {
    kDone,       // the operation ran; the dialog closes
    kFailed,     // it failed and showed why; the dialog closes
    kBadRange,   // an edit is empty or names no range: the dialog stays, `badEdit` says which
  };
  struct OkResult {
    Outcome outcome = Outcome::kDone;
    int badEdit = 0;
  };
  // Runs the page's operation (which takes the undo snapshot) and puts the
  // cell pointer back.
  OkResult Ok(Workspace& ws);
  // Puts the cell pointer back where it was when the dialog opened.
  void Cancel(Workspace& ws);

 private:
  bool firstShown_ = false;
  int page_ = 0;
  CellRange openSelection_;
  CellAddress openCursor_;
  int openPageHeight_ = 0;
  std::array<std::array<std::string, kMaxEdits>, kArrayOperationCount> edits_;
};

}  // namespace tabulon
