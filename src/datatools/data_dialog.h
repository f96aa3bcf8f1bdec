// The data-tools dialog without a toolkit: its ten pages (FILL, SORT,
// QUESTION, BIN, PARSE, GOAL, REGRESS, MULTIREGRESS, TABLE, FORM), their
// range edits with the pointing prompts and the first-activation preset,
// the page fields, Reset, and Ok, which runs the page's command through the
// workspace as a macro would. The Qt dialog binds its controls to this
// class.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "datatools/data_form.h"
#include "datatools/fill.h"
#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class Workspace;
class SheetDocument;

enum class DataPage { kFill = 0, kSort, kQuestion, kBin, kParse, kGoal, kRegress, kMultiRegress,
                      kTable, kForm };
inline constexpr int kDataPageCount = 10;
inline constexpr std::array<const char*, kDataPageCount> kDataPageNames{
    "FILL", "SORT", "QUESTION", "BIN", "PARSE", "GOAL", "REGRESS", "MULTIREGRESS", "TABLE", "FORM"};

// Every range edit of the dialog, page by page, each page's first edit
// first.
enum class DataEdit {
  kFillOutput,
  kSortData, kSortKey1, kSortKey2, kSortKey3, kSortKey4,
  kQueryInput, kQueryCriteria, kQueryOutput,
  kBinInput, kBinOutput,
  kParseInput,
  kGoalInput, kGoalOutput,
  kRegressX, kRegressY, kRegressOutput,
  kMultiX, kMultiY, kMultiOutput,
  kTableInput1, kTableInput2, kTableOutput,
  kForm,
};
inline constexpr int kDataEditCount = static_cast<int>(DataEdit::kForm) + 1;

struct DataEditInfo {
  DataPage page;
  const char* caption;    // the control's caption
  const char* rangeName;  // its name in the pointing prompt
};
const DataEditInfo& EditInfo(DataEdit edit);
DataEdit FirstEdit(DataPage page);

// The multiple-regression term grid: rows X^0..X^5, Sqrt, Ln, Exp.
inline constexpr int kTermRows = 9;
inline constexpr std::array<const char*, kTermRows> kTermRowNames{
    "X^0", "X^1", "X^2", "X^3", "X^4", "X^5", "Sqrt(x)", "Ln(x)", "Exp(x)"};

class DataDialog {
 public:
  // --- showing ---------------------------------------------------------------------
  // Shows the page for the active window: the SORT and QUESTION edits and the
  // sort boxes are read from the sheet's stored settings; on the first
  // opening, a selection of more than one cell goes into the page's first
  // edit. Remembers the cell pointer and the selection.
  void Open(Workspace& ws, DataPage page);
  DataPage page() const { return page_; }
  void SetPage(DataPage page) { page_ = page; }
  // "Data: " and the page name.
  std::string Caption() const;

  // --- range edits -------------------------------------------------------------------
  const std::string& text(DataEdit e) const { return edits_[static_cast<int>(e)]; }
  void SetText(DataEdit e, std::string_view text);
  // The pointing prompt of an edit (" SORT:Prime Range") and the range it
  // starts from: its text, or the selection when the dialog opened.
  std::string PointingPrompt(DataEdit e) const;
  std::string PointingStart(DataEdit e) const;

  // --- SORT and QUESTION ----------------------------------------------------------------
  bool ascending(int key) const { return ascending_[static_cast<std::size_t>(key)]; }
  void SetAscending(int key, bool on) { ascending_[static_cast<std::size_t>(key & 3)] = on; }
  // Empties the data, key 1 and key 2 edits.
  void ResetSort();
  // Empties the three query edits.
  void ResetQuery();
  static constexpr bool findEnabled() { return false; }

  // --- FILL -------------------------------------------------------------------------
  // Number fields evaluate their text as a formula; false (nothing changes)
  // when it does not give a number.
  bool SetStartText(SheetDocument& doc, std::string_view text);
  bool SetStepText(SheetDocument& doc, std::string_view text);
  double start() const { return start_; }
  double step() const { return step_; }
  FillType fillType() const { return type_; }
  FillOrder fillOrder() const { return order_; }
  void SetFillType(FillType t) { type_ = t; }
  void SetFillOrder(FillOrder o) { order_ = o; }

  // --- BIN: the interval rule is the session's, kept between uses --------------------
  static bool binLowerClosed(const Workspace& ws);
  static void SetBinLowerClosed(Workspace& ws, bool lowerClosed);

  // --- GOAL -------------------------------------------------------------------------
  bool SetDesireText(SheetDocument& doc, std::string_view text);
  bool SetToleranceText(SheetDocument& doc, std::string_view text);
  double desire() const { return desire_; }
  double tolerance() const { return tolerance_; }

  // --- MULTIREGRESS -----------------------------------------------------------------
  // Rows 0-8 of the grid, variables 0-2.
  bool term(int row, int variable) const;
  void ToggleTerm(int row, int variable);
  // The grid as the macro command's options text ("A01,B1").
  std::string TermOptions() const;

  // --- Ok and Cancel ---------------------------------------------------------------------
  enum class Outcome {
    kDone,      // the page's command ran (or had nothing to do); the dialog closes
    kFailed,    // the command failed and showed why; the dialog closes
    kBadRange,  // an edit names no range: the dialog stays, `badEdit` says which
    kOpenForm,  // FORM: the data form is open on form()
  };
  struct OkResult {
    Outcome outcome = Outcome::kDone;
    DataEdit badEdit = DataEdit::kFillOutput;
  };
  OkResult Ok(Workspace& ws);
  // Puts the cell pointer back where it was when the dialog opened.
  void Cancel(Workspace& ws);

  DataForm& form() { return form_; }

  // The number in the form the dialog shows and passes on.
  static std::string NumberText(double x);

 private:
  bool firstShown_ = false;
  DataPage page_ = DataPage::kFill;
  CellRange openSelection_;
  CellAddress openCursor_;
  int openPageHeight_ = 0;
  std::array<std::string, kDataEditCount> edits_;
  std::array<bool, 4> ascending_{true, true, true, true};
  double start_ = 0, step_ = 1;
  FillType type_ = FillType::kLinear;
  FillOrder order_ = FillOrder::kRow;
  double desire_ = 0, tolerance_ = 0.000001;
  std::array<unsigned, kTermRows> terms_{};
  DataForm form_;
};

}  // namespace tabulon
