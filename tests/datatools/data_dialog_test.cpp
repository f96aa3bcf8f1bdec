// The data-tools dialog's model and the Data menu: pages, range edits and
// their prompts, the first-activation preset, the stored sort and query
// ranges, Ok through the command table, Cancel, and the menu entries.
#include <gtest/gtest.h>

#include "data_fixture.h"
#include "datatools/data_dialog.h"

namespace tabulon {
namespace {

using testing::CheckSheet;
using testing::DataDesk;
using testing::Rng;

TEST(DataMenu, TheItemsOpenTheDialogOnTheirPagesAndTheMacroLettersAreThere) {
  DataDesk d;
  const CommandTable& t = d.ws.commands();
  const char* ids[] = {"data.fill",  "data.sort",    "data.query",        "data.bin",
                       "data.parse", "data.goal",    "data.regress",      "data.multiregress",
                       "data.table", "data.form"};
  for (int page = 0; page < kDataPageCount; ++page) {
    const Command* c = t.Find(ids[page]);
    ASSERT_NE(c, nullptr) << ids[page];
    EXPECT_EQ(c->menu, "&Data");
    d.ws.Invoke(ids[page]);
    EXPECT_EQ(d.view.kind, DialogKind::kData);
    EXPECT_EQ(d.view.page, page);
  }
  EXPECT_EQ(t.Find("data.query")->hint, "Query: Database  Extract");
  EXPECT_EQ(t.Find("data.multiregress")->hint, "Multivariable Regression x^1,x^2... ");
  for (auto [letter, id] : {std::pair{'s', "data.sort"}, std::pair{'q', "data.query"},
                            std::pair{'f', "data.fill"}, std::pair{'b', "data.bin"},
                            std::pair{'p', "data.parse"}}) {
    ASSERT_NE(t.FindMacro('d', letter), nullptr);
    EXPECT_EQ(t.FindMacro('d', letter)->id, id);
    EXPECT_TRUE(t.FindMacro('d', letter)->flags & kTakesSnapshot);
  }
  EXPECT_NE(t.Find("quick.fill"), nullptr);
  // Without a sheet the items refuse.
  d.ws.CloseAll();
  int shown = d.view.dialogs;
  d.ws.Invoke("data.sort");
  EXPECT_EQ(d.view.dialogs, shown);
}

TEST(DataDialog, EditsPromptsAndTheFirstActivationPreset) {
  DataDesk d;
  d.Select("B2..C5");
  DataDialog dlg;
  dlg.Open(d.ws, DataPage::kSort);
  EXPECT_EQ(dlg.Caption(), "Data: SORT");
  EXPECT_EQ(dlg.text(DataEdit::kSortData), "B2..C5");
  EXPECT_EQ(dlg.PointingPrompt(DataEdit::kSortKey1), " SORT:Prime Range");
  EXPECT_EQ(dlg.PointingPrompt(DataEdit::kSortKey3), " SORT:Second Range");
  EXPECT_EQ(dlg.PointingPrompt(DataEdit::kQueryCriteria), " QUESTION:Criterion Range");
  EXPECT_EQ(dlg.PointingPrompt(DataEdit::kTableInput1), " TABLE:First Range");
  EXPECT_EQ(dlg.PointingStart(DataEdit::kSortKey1), "B2..C5") << "empty: the selection";
  dlg.SetText(DataEdit::kSortKey1, "c2");
  EXPECT_EQ(dlg.PointingStart(DataEdit::kSortKey1), "c2");
  EXPECT_EQ(EditInfo(FirstEdit(DataPage::kBin)).caption, std::string("&Input Data:  "));
  EXPECT_EQ(EditInfo(FirstEdit(DataPage::kRegress)).caption, std::string("&Independant:  "));
  // Only the first opening presets; a single cell presets nothing.
  d.Select("D1..D9");
  dlg.Open(d.ws, DataPage::kParse);
  EXPECT_EQ(dlg.text(DataEdit::kParseInput), "");
  DataDialog single;
  d.ws.active()->MoveCursor(0, 0);
  single.Open(d.ws, DataPage::kFill);
  EXPECT_EQ(single.text(DataEdit::kFillOutput), "");
  // Reset.
  dlg.SetText(DataEdit::kSortKey2, "B1");
  dlg.SetText(DataEdit::kSortKey3, "C1");
  dlg.ResetSort();
  EXPECT_EQ(dlg.text(DataEdit::kSortData) + dlg.text(DataEdit::kSortKey1) +
                dlg.text(DataEdit::kSortKey2),
            "");
  EXPECT_EQ(dlg.text(DataEdit::kSortKey3), "C1");
  EXPECT_FALSE(DataDialog::findEnabled());
}

TEST(DataDialog, SortAndQueryEditsShowTheSheetsStoredRanges) {
  DataDesk d;
  for (int r = 1; r <= 3; ++r) d.Enter("A" + std::to_string(r), std::to_string(4 - r));
  ASSERT_TRUE(d.ws.Execute("data.sort", {"A1..A3", "A1", "0", "", "", "", "", "", ""}).ok());
  DataDialog dlg;
  dlg.Open(d.ws, DataPage::kSort);
  EXPECT_EQ(dlg.text(DataEdit::kSortData), "A1..A3");
  EXPECT_EQ(dlg.text(DataEdit::kSortKey1), "A1");
  EXPECT_EQ(dlg.text(DataEdit::kSortKey2), "");
  EXPECT_FALSE(dlg.ascending(0));
  // Ok sorts through the same command, storing the edits.
  dlg.SetAscending(0, true);
  EXPECT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kDone);
  EXPECT_EQ(d.Col("A1", "A3"), "1,2,3");
  EXPECT_TRUE(d.Doc().extras().sortAscending[0]);
  // An empty key 1 sorts nothing and keeps the settings.
  dlg.SetText(DataEdit::kSortKey1, "");
  dlg.SetAscending(0, false);
  EXPECT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kDone);
  EXPECT_EQ(d.Col("A1", "A3"), "1,2,3");
  EXPECT_FALSE(d.Doc().extras().sortKeys[0].IsDefined());
  // An edit that names no range keeps the dialog open on it.
  dlg.SetText(DataEdit::kSortKey1, "A1");
  dlg.SetText(DataEdit::kSortKey2, "??");
  DataDialog::OkResult bad = dlg.Ok(d.ws);
  EXPECT_EQ(bad.outcome, DataDialog::Outcome::kBadRange);
  EXPECT_EQ(bad.badEdit, DataEdit::kSortKey2);
  EXPECT_EQ(d.Col("A1", "A3"), "1,2,3");
}

TEST(DataDialog, FillNumbersEvaluateAndOkFills) {
  DataDesk d;
  DataDialog dlg;
  dlg.Open(d.ws, DataPage::kFill);
  EXPECT_EQ(dlg.start(), 0);
  EXPECT_EQ(dlg.step(), 1);
  EXPECT_TRUE(dlg.SetStartText(d.Doc(), "2^3"));
  EXPECT_FALSE(dlg.SetStepText(d.Doc(), "two"));
  EXPECT_EQ(dlg.step(), 1);
  EXPECT_TRUE(dlg.SetStepText(d.Doc(), "0.1"));
  dlg.SetFillOrder(FillOrder::kColumn);
  dlg.SetText(DataEdit::kFillOutput, "B1..B3");
  EXPECT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kDone);
  EXPECT_EQ(d.Col("B1", "B3"), "8,8.1,8.2");
  EXPECT_EQ(DataDialog::NumberText(0.1), "0.1");
  EXPECT_EQ(DataDialog::NumberText(0.1 + 0.2), "0.30000000000000004");
}

TEST(DataDialog, BinRuleTermGridAndPagesOfOtherCommands) {
  DataDesk d;
  DataDialog dlg;
  EXPECT_TRUE(DataDialog::binLowerClosed(d.ws));
  DataDialog::SetBinLowerClosed(d.ws, false);
  EXPECT_FALSE(d.session.settings().binLowerClosed);
  dlg.ToggleTerm(0, 0);
  dlg.ToggleTerm(1, 0);
  dlg.ToggleTerm(1, 1);
  dlg.ToggleTerm(7, 2);
  dlg.ToggleTerm(9, 0);  // no such row
  EXPECT_EQ(dlg.TermOptions(), "A01,B1,C7");
  dlg.ToggleTerm(1, 1);
  EXPECT_EQ(dlg.TermOptions(), "A01,C7");
  EXPECT_DOUBLE_EQ(dlg.tolerance(), 0.000001);
  // The goal page runs goal seek with its fields; the end is told by a beep.
  d.Enter("A1", "2");
  d.Enter("B1", "+A1*A1");
  dlg.Open(d.ws, DataPage::kGoal);
  dlg.SetText(DataEdit::kGoalInput, "A1");
  dlg.SetText(DataEdit::kGoalOutput, "B1");
  ASSERT_TRUE(dlg.SetDesireText(d.Doc(), "3*3"));
  int beeps = d.host.beeps;
  EXPECT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kDone);
  EXPECT_GT(d.host.beeps, beeps);
  EXPECT_NEAR(CellNumber(d.Doc().cells().FindCell(0, 0)), 3, 1e-6);
}

TEST(DataDialog, FormOkOpensTheFormAndCancelPutsThePointerBack) {
  DataDesk d;
  d.Enter("A1", "'Name");
  d.Enter("A2", "'x");
  d.ws.active()->MoveCursor(4, 4);
  DataDialog dlg;
  dlg.Open(d.ws, DataPage::kForm);
  dlg.SetText(DataEdit::kForm, "A1..A1");
  ASSERT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kOpenForm);
  EXPECT_EQ(dlg.form().fields().size(), 1u);
  dlg.form().SetText(0, "y");
  ASSERT_TRUE(dlg.form().Update());
  EXPECT_EQ(d.Col("A2", "A2"), "'y");
  ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
  EXPECT_EQ(d.Col("A2", "A2"), "'x") << "undo takes the form's edits back";
  dlg.SetText(DataEdit::kForm, "Z1");
  EXPECT_EQ(dlg.Ok(d.ws).outcome, DataDialog::Outcome::kFailed);

  dlg.Open(d.ws, DataPage::kSort);
  d.ws.active()->MoveCursor(9, 1);  // pointing moved the pointer
  dlg.Cancel(d.ws);
  EXPECT_EQ(d.ws.active()->CursorCell(), (CellAddress{4, 4}));
}

TEST(DataCommands, EveryCommandLeavesAConsistentSheetThatUndoRestores) {
  DataDesk d;
  d.Enter("A1", "'K");
  d.Enter("B1", "'V");
  for (int r = 2; r <= 9; ++r) {
    std::string n = std::to_string(r);
    d.Enter("A" + n, std::to_string((r * 7) % 5));
    d.Enter("B" + n, "+A" + n + "*2");
    d.Enter("C" + n, "'w" + n + " x-1");
  }
  d.Enter("E1", "@SUM(A2..A5)");
  d.Enter("F1", "'K");
  d.Enter("F2", "+A2>1");
  d.Enter("H1", "'V");
  d.Enter("I1", "1");
  d.Enter("I2", "3");
  const std::vector<std::pair<std::string, CommandArgs>> runs = {
      {"data.sort", {"A2..C9", "A2", "0", "B2", "1"}},
      {"data.query", {"A1..B9", "F1..F2", "H1"}},
      {"data.fill", {"J1..K4", "3", "2", "2", "2"}},
      {"data.bin", {"A2..A9", "I1..I2"}},
      {"data.parse", {"C2..C9"}},
  };
  for (const auto& [id, args] : runs) {
    std::string before;
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 12; ++c) before += testing::Short(d.Doc(), r, c) + " ";
    Status s = d.ws.Execute(id, args);
    ASSERT_TRUE(s.ok()) << id << ": " << s.message();
    EXPECT_EQ(CheckSheet(d.Doc()), "") << id;
    ASSERT_TRUE(d.ws.Execute("edit.undo").ok());
    std::string after;
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 12; ++c) after += testing::Short(d.Doc(), r, c) + " ";
    EXPECT_EQ(after, before) << id;
    EXPECT_EQ(CheckSheet(d.Doc()), "") << id;
  }
}

}  // namespace
}  // namespace tabulon
