// Printing from the audit dialog: text pages for the cross-reference
// report, the statistics chart scaled to the page, and the dialog model's
// Print button.
#include "print/audit_print.h"

#include <gtest/gtest.h>

#include "edit/cell_entry.h"
#include "platform/headless_host.h"
#include "print/print_commands.h"
#include "print/print_service.h"
#include "print/text_pages.h"
#include "support/recording_print_target.h"
#include "ui/audit.h"
#include "ui/sheet_window.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

using testing::RecordingDevices;
using testing::RecordingPrintTarget;

TEST(TextPages, TabsStopEveryEighthCharacter) {
  EXPECT_EQ(ExpandTabs("A1\tReal 2\t3#\tB1"), "A1      Real 2  3#      B1");
  EXPECT_EQ(ExpandTabs("\tx"), "        x");
  EXPECT_EQ(ExpandTabs("0#\t"), "0#") << "trailing blanks go";
  EXPECT_EQ(ExpandTabs("12345678\tX"), "12345678        X");
  EXPECT_EQ(ExpandTabs("no tabs"), "no tabs");
}

TEST(TextPages, LinesFlowOnToAsManyPagesAsTheyNeed) {
  PrintJob job;
  job.jobName = "report";
  RecordingPrintTarget target("Recorder", LetterPage(kScreenDpi, false));
  PageGeometry g = ComputeGeometry(target.Metrics(), job);
  int perPage = (g.pageHeight - g.top - g.bottom) / kTextPageFont.pixelHeight;
  ASSERT_GT(perPage, 2);
  std::vector<std::string> lines;
  for (int i = 1; i <= 2 * perPage + 1; ++i) lines.push_back("line" + std::to_string(i));
  PrintOutcome out = PrintTextPages(target, job, lines);
  ASSERT_TRUE(out.ok()) << out.error;
  EXPECT_EQ(out.printed, 3);
  ASSERT_EQ(target.pages.size(), 3u);
  EXPECT_TRUE(target.ended);
  EXPECT_EQ(target.Texts(0).front(), "line1");
  EXPECT_EQ(target.Texts(0).back(), "line" + std::to_string(perPage));
  EXPECT_EQ(target.Texts(1).front(), "line" + std::to_string(perPage + 1));
  EXPECT_EQ(target.Texts(2), std::vector<std::string>{"line" + std::to_string(2 * perPage + 1)});
  // Each line stands a line below the one before, inside the margins.
  const auto& texts = target.pages[0]->texts;
  EXPECT_EQ(texts[1].y - texts[0].y, kTextPageFont.pixelHeight);
  EXPECT_EQ(texts[0].x, g.left);
  EXPECT_EQ(texts[0].y, g.top);

  // Nothing to print still gives a page; a page that fails drops the job.
  RecordingPrintTarget empty("Recorder", LetterPage(kScreenDpi, false));
  EXPECT_EQ(PrintTextPages(empty, job, {}).printed, 1);
  RecordingPrintTarget failing("Recorder", LetterPage(kScreenDpi, false));
  failing.failNewPageAt = 2;
  PrintOutcome failed = PrintTextPages(failing, job, lines);
  EXPECT_FALSE(failed.ok());
  EXPECT_TRUE(failing.aborted);
}

struct Desk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  RecordingDevices devices{{"Laser"}};
  PrintService& print = RegisterPrintCommands(ws, &devices);
  Desk() {
    devices.metrics = LetterPage(kScreenDpi, false);
    ws.NewSheet();
    SheetDocument& doc = ws.active()->document();
    EnterCell(doc, "2.5", 0, 0);
    EnterCell(doc, "'text", 1, 0);
    for (int col = 1; col <= 3; ++col) EnterCell(doc, "+A1", 0, col);
  }
  bool HasText(const RecordingDevices::Job& job, const std::string& text) const {
    for (const auto& page : job.pages)
      for (const auto& t : page->texts)
        if (t.text == text) return true;
    return false;
  }
};

TEST(AuditPrint, TheReportPrintsAsTextWithItsHeadings) {
  Desk d;
  ASSERT_TRUE(d.ws.Execute(kAuditPrintReport, {"A1..A2"}).ok());
  ASSERT_EQ(d.devices.jobs.size(), 1u);
  const auto& job = d.devices.jobs[0];
  EXPECT_EQ(job.name, "Laser");
  EXPECT_TRUE(job.ended);
  EXPECT_TRUE(d.HasText(job, "CELL     TYPE    COUNT  : REFERENCES"));
  EXPECT_TRUE(d.HasText(job, " ================================"));
  EXPECT_TRUE(d.HasText(job, "A1      Real 2  3#      D1,C1,B1"));
  EXPECT_TRUE(d.HasText(job, "A2      String 4        0#"));
  std::vector<std::string> lines = CrossReferenceReportLines(d.ws.active()->document(),
                                                             CellRange::Of(0, 0, 1, 0));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_NE(lines[1].find(" : Cross Reference Report A1..A2"), std::string::npos) << lines[1];
  // A range that does not read prints nothing.
  EXPECT_FALSE(d.ws.Execute(kAuditPrintReport, {"no such"}).ok());
  EXPECT_EQ(d.devices.jobs.size(), 1u);
}

TEST(AuditPrint, TheChartFillsThePageInThePrinterFont) {
  Desk d;
  int beeps = d.host.beeps;
  ASSERT_TRUE(d.ws.Execute(kAuditPrintChart).ok());
  EXPECT_GT(d.host.beeps, beeps) << "the end of the job beeps";
  ASSERT_EQ(d.devices.jobs.size(), 1u);
  const auto& job = d.devices.jobs[0];
  ASSERT_EQ(job.pages.size(), 1u);
  EXPECT_TRUE(d.HasText(job, "Relative Proportion of Cells"));
  EXPECT_EQ(job.pages[0]->texts.front().font.pixelHeight, 12);
  // The largest group's bar spans the page's width less the chart's edges.
  PageGeometry g = ComputeGeometry(d.devices.metrics, d.print.JobFor(CellRange{}));
  int width = g.pageWidth - g.left - g.right;
  int widest = 0;
  for (const auto& f : job.pages[0]->fills)
    if (f.rect.bottom - f.rect.top == 1) widest = std::max(widest, f.rect.right - f.rect.left);
  EXPECT_EQ(widest, width - 96);
}

TEST(AuditDialogModel, TakesTheSelectionOnceAndPrintsFromTwoPages) {
  Desk d;
  SheetWindow& w = *d.ws.active();
  w.MoveCursor(0, 0);
  w.MoveCursor(1, 2, true);
  AuditDialog dialog;
  EXPECT_TRUE(dialog.Activate(w));
  EXPECT_EQ(dialog.cellText, "A1");
  EXPECT_EQ(dialog.rangeText, "A1..C2");
  EXPECT_EQ(dialog.depth, 3);
  w.MoveCursor(5, 5);
  dialog.cellText = "B1";
  EXPECT_FALSE(dialog.Activate(w)) << "later openings keep the fields";
  EXPECT_EQ(dialog.cellText, "B1");

  for (AuditPage page : {AuditPage::kTree, AuditPage::kOverview}) {
    dialog.page = page;
    EXPECT_FALSE(dialog.PrintVisible());
    EXPECT_FALSE(dialog.Print(d.ws).ok());
  }
  EXPECT_TRUE(d.devices.jobs.empty());
  dialog.page = AuditPage::kStats;
  EXPECT_TRUE(dialog.PrintVisible());
  EXPECT_TRUE(dialog.Print(d.ws).ok());
  dialog.page = AuditPage::kXRef;
  dialog.rangeText = "A2";
  EXPECT_TRUE(dialog.Print(d.ws).ok());
  ASSERT_EQ(d.devices.jobs.size(), 2u);
  EXPECT_TRUE(d.HasText(d.devices.jobs[0], "Relative Proportion of Cells"));
  EXPECT_TRUE(d.HasText(d.devices.jobs[1], "A2      String 4        0#"));
  EXPECT_FALSE(d.HasText(d.devices.jobs[1], "A1      Real 2  3#      D1,C1,B1"));
}

}  // namespace
}  // namespace tabulon
