#include "datatools/data_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <optional>

#include "edit/undo.h"
#include "platform/host.h"
#include "ui/block_commands.h"
#include "ui/width_dialog.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr std::array<DataEditInfo, kDataEditCount> kEdits{{
    {DataPage::kFill, "O&utput Cells: ", "Output"},
    {DataPage::kSort, "&Data:  ", "Data"},
    {DataPage::kSort, "&1:", "Prime"},
    {DataPage::kSort, "&2:", "Second"},
    {DataPage::kSort, "&3:", "Second"},
    {DataPage::kSort, "&4:", "Second"},
    {DataPage::kQuestion, "&Input:  ", "Input"},
    {DataPage::kQuestion, "Cri&teria:", "Criterion"},
    {DataPage::kQuestion, "O&utput:", "Output"},
    {DataPage::kBin, "&Input Data:  ", "Input"},
    {DataPage::kBin, "O&utput Table: ", "Output"},
    {DataPage::kParse, "&Input Range: ", "Input"},
    {DataPage::kGoal, "&Input Cell:  ", "Input"},
    {DataPage::kGoal, "O&utput Cell:", "Output"},
    {DataPage::kRegress, "&Independant:  ", "Independent"},
    {DataPage::kRegress, "&Dependant:", "Dependent"},
    {DataPage::kRegress, "O&utput:", "Output"},
    {DataPage::kMultiRegress, "&X data: ", "Independent"},
    {DataPage::kMultiRegress, "&Y data: ", "Dependent"},
    {DataPage::kMultiRegress, "O&utput: ", "Output"},
    {DataPage::kTable, "&1) Input:  ", "First"},
    {DataPage::kTable, "&2) Input:", "Second"},
    {DataPage::kTable, "Table O&utput:", "Output"},
    {DataPage::kForm, "&Form: ", "Form"},
}};

std::string RangeOrEmpty(const CellRange& r, int pageHeight) {
  return r.IsDefined() ? RangeText(r, pageHeight) : std::string();
}

}  // namespace

const DataEditInfo& EditInfo(DataEdit edit) { return kEdits[static_cast<std::size_t>(edit)]; }

DataEdit FirstEdit(DataPage page) {
  for (int i = 0; i < kDataEditCount; ++i)
    if (kEdits[static_cast<std::size_t>(i)].page == page) return static_cast<DataEdit>(i);
  return DataEdit::kFillOutput;
}

std::string DataDialog::NumberText(double x) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  if (std::strtod(buf, nullptr) != x) std::snprintf(buf, sizeof buf, "%.17g", x);
  return buf;
}

void DataDialog::Open(Workspace& ws, DataPage page) {
  page_ = page;
  SheetWindow* w = ws.active();
  if (w == nullptr) return;
  SheetDocument& doc = w->document();
  const int pages = doc.settings().pageHeight;
  const WorksheetExtras& x = doc.extras();
  SetText(DataEdit::kSortData, RangeOrEmpty(x.sortData, pages));
  for (int k = 0; k < 4; ++k) {
    SetText(static_cast<DataEdit>(static_cast<int>(DataEdit::kSortKey1) + k),
            RangeOrEmpty(x.sortKeys[static_cast<std::size_t>(k)], pages));
  }
  ascending_ = x.sortAscending;
  SetText(DataEdit::kQueryInput, RangeOrEmpty(x.queryInput, pages));
  SetText(DataEdit::kQueryCriteria, RangeOrEmpty(x.queryCriteria, pages));
  SetText(DataEdit::kQueryOutput, RangeOrEmpty(x.queryOutput, pages));
  openCursor_ = w->CursorCell();
  openSelection_ = w->SelectionRange();
  openPageHeight_ = pages;
  if (!firstShown_) {
    firstShown_ = true;
    if (openSelection_.IsDefined() && !openSelection_.IsSingleCell())
      SetText(FirstEdit(page), RangeText(openSelection_, pages));
  }
}

std::string DataDialog::Caption() const {
  return std::string("Data: ") + kDataPageNames[static_cast<std::size_t>(page_)];
}

void DataDialog::SetText(DataEdit e, std::string_view text) {
  edits_[static_cast<std::size_t>(e)].assign(text.substr(0, kMaxText));
}

std::string DataDialog::PointingPrompt(DataEdit e) const {
  const DataEditInfo& info = EditInfo(e);
  return std::string(" ") + kDataPageNames[static_cast<std::size_t>(info.page)] + ":" +
         info.rangeName + " Range";
}

std::string DataDialog::PointingStart(DataEdit e) const {
  const std::string& t = text(e);
  if (!t.empty() || !openSelection_.IsDefined()) return t;
  return RangeText(openSelection_, openPageHeight_);
}

void DataDialog::ResetSort() {
  for (DataEdit e : {DataEdit::kSortData, DataEdit::kSortKey1, DataEdit::kSortKey2}) SetText(e, "");
}

void DataDialog::ResetQuery() {
  for (DataEdit e : {DataEdit::kQueryInput, DataEdit::kQueryCriteria, DataEdit::kQueryOutput})
    SetText(e, "");
}

namespace {

bool SetNumber(SheetDocument& doc, std::string_view text, double& field) {
  std::optional<double> x = EvaluateNumberField(doc, text);
  if (!x) return false;
  field = *x;
  return true;
}

}  // namespace

bool DataDialog::SetStartText(SheetDocument& doc, std::string_view text) {
  return SetNumber(doc, text, start_);
}
bool DataDialog::SetStepText(SheetDocument& doc, std::string_view text) {
  return SetNumber(doc, text, step_);
}
bool DataDialog::SetDesireText(SheetDocument& doc, std::string_view text) {
  return SetNumber(doc, text, desire_);
}
bool DataDialog::SetToleranceText(SheetDocument& doc, std::string_view text) {
  return SetNumber(doc, text, tolerance_);
}

bool DataDialog::binLowerClosed(const Workspace& ws) {
  return ws.session().settings().binLowerClosed;
}
void DataDialog::SetBinLowerClosed(Workspace& ws, bool lowerClosed) {
  ws.session().settings().binLowerClosed = lowerClosed;
}

bool DataDialog::term(int row, int variable) const {
  if (row < 0 || row >= kTermRows || variable < 0 || variable > 2) return false;
  return (terms_[static_cast<std::size_t>(row)] >> variable) & 1u;
}

void DataDialog::ToggleTerm(int row, int variable) {
  if (row < 0 || row >= kTermRows || variable < 0 || variable > 2) return;
  terms_[static_cast<std::size_t>(row)] ^= 1u << variable;
}

std::string DataDialog::TermOptions() const {
  std::string s;
  for (int v = 0; v < 3; ++v) {
    std::string item;
    for (int row = 0; row < kTermRows; ++row)
      if (term(row, v)) item.push_back(static_cast<char>('0' + row));
    if (item.empty()) continue;
    if (!s.empty()) s.push_back(',');
    s.push_back(static_cast<char>('A' + v));
    s += item;
  }
  return s;
}

DataDialog::OkResult DataDialog::Ok(Workspace& ws) {
  OkResult result;
  SheetWindow* w = ws.active();
  if (w == nullptr) {
    result.outcome = Outcome::kFailed;
    return result;
  }
  SheetDocument& doc = w->document();
  // Every edit of the page must name a range, or be empty.
  std::array<CellRange, kDataEditCount> ranges;
  for (int i = 0; i < kDataEditCount; ++i) {
    auto e = static_cast<DataEdit>(i);
    if (EditInfo(e).page != page_ || text(e).empty()) continue;
    ranges[static_cast<std::size_t>(i)] = PromptRange(doc, text(e), w);
    if (!ranges[static_cast<std::size_t>(i)].IsDefined()) {
      result.outcome = Outcome::kBadRange;
      result.badEdit = e;
      return result;
    }
  }
  auto range = [&](DataEdit e) { return ranges[static_cast<std::size_t>(e)]; };
  auto filled = [&](std::initializer_list<DataEdit> list) {
    for (DataEdit e : list)
      if (text(e).empty()) return false;
    return true;
  };
  auto run = [&](const char* id, CommandArgs args) {
    result.outcome = ws.Execute(id, args).ok() ? Outcome::kDone : Outcome::kFailed;
  };
  switch (page_) {
    case DataPage::kFill:
      if (filled({DataEdit::kFillOutput}))
        run("data.fill", {text(DataEdit::kFillOutput), NumberText(start_), NumberText(step_),
                          std::to_string(static_cast<int>(type_)),
                          order_ == FillOrder::kRow ? "1" : "2"});
      break;
    case DataPage::kSort: {
      if (!filled({DataEdit::kSortData, DataEdit::kSortKey1})) {
        // Nothing to sort; the settings are kept as they stand.
        WorksheetExtras& x = doc.extras();
        x.sortData = range(DataEdit::kSortData);
        for (int k = 0; k < 4; ++k)
          x.sortKeys[static_cast<std::size_t>(k)] =
              range(static_cast<DataEdit>(static_cast<int>(DataEdit::kSortKey1) + k));
        x.sortAscending = ascending_;
        break;
      }
      std::vector<std::string> args{text(DataEdit::kSortData)};
      for (int k = 0; k < 4; ++k) {
        args.push_back(text(static_cast<DataEdit>(static_cast<int>(DataEdit::kSortKey1) + k)));
        args.push_back(ascending_[static_cast<std::size_t>(k)] ? "1" : "0");
      }
      run("data.sort", CommandArgs(std::move(args)));
      break;
    }
    case DataPage::kQuestion:
      if (!filled({DataEdit::kQueryInput, DataEdit::kQueryCriteria, DataEdit::kQueryOutput})) {
        WorksheetExtras& x = doc.extras();
        x.queryInput = range(DataEdit::kQueryInput);
        x.queryCriteria = range(DataEdit::kQueryCriteria);
        x.queryOutput = range(DataEdit::kQueryOutput);
        break;
      }
      run("data.query", {text(DataEdit::kQueryInput), text(DataEdit::kQueryCriteria),
                         text(DataEdit::kQueryOutput)});
      break;
    case DataPage::kBin:
      if (filled({DataEdit::kBinInput, DataEdit::kBinOutput}))
        run("data.bin", {text(DataEdit::kBinInput), text(DataEdit::kBinOutput)});
      break;
    case DataPage::kParse:
      if (filled({DataEdit::kParseInput})) run("data.parse", {text(DataEdit::kParseInput)});
      break;
    case DataPage::kGoal:
      run("data.goal", {text(DataEdit::kGoalInput), text(DataEdit::kGoalOutput),
                        NumberText(desire_), NumberText(tolerance_)});
      break;
    case DataPage::kRegress:
      run("data.regress", {text(DataEdit::kRegressX), text(DataEdit::kRegressY),
                           text(DataEdit::kRegressOutput)});
      break;
    case DataPage::kMultiRegress:
      run("data.multiregress", {text(DataEdit::kMultiX), text(DataEdit::kMultiY),
                                text(DataEdit::kMultiOutput), TermOptions()});
      break;
    case DataPage::kTable:
      run("data.table", {text(DataEdit::kTableInput1), text(DataEdit::kTableInput2),
                         text(DataEdit::kTableOutput)});
      break;
    case DataPage::kForm:
      // Undo after the form's edits brings back the sheet as it was before.
      TakeSnapshot(doc);
      if (form_.Open(doc, range(DataEdit::kForm))) {
        result.outcome = Outcome::kOpenForm;
      } else {
        ws.host().Beep();
        result.outcome = Outcome::kFailed;
      }
      break;
  }
  return result;
}

void DataDialog::Cancel(Workspace& ws) {
  SheetWindow* w = ws.active();
  if (w == nullptr) return;
  w->MoveCursor(openCursor_.row, openCursor_.col);
  ws.input().CursorMoved();
  ws.AfterChange(false);
}

}  // namespace tabulon
