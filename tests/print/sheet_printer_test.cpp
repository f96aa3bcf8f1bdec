// Printing a worksheet through a recording print target: what lands on
// which page, headers and footers, rules, frame, mono, aborting and
// failing jobs.
#include "print/sheet_printer.h"

#include <gtest/gtest.h>

#include "base/calendar.h"
#include "support/recording_print_target.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::RecordingCanvas;
using testing::RecordingPrintTarget;
using testing::TestSheet;

constexpr Rgb kBlack = 0;
constexpr Rgb kWhite = MakeRgb(255, 255, 255);

struct Printing {
  TestSheet t;
  RecordingPrintTarget target{"Recorder", LetterPage(kScreenDpi, false)};
  PrintJob job;

  Printing() {
    job.fontHeight = 12;
    job.jobName = "SHEET1.WKS";
    job.frame = false;
  }
  PrintOutcome Print(const CellRange& range, int only = -1, PrintProgress* progress = nullptr) {
    job.range = range;
    return PrintSheet(target, *t.doc, job, only, progress);
  }
  // Fills A1..A<rows> with "r<n>" labels.
  void Rows(int rows, int col = 0) {
    for (int r = 0; r < rows; ++r)
      EnterCell(*t.doc, "r" + std::to_string(r + 1), r, col);
  }
  const RecordingCanvas::TextOp* Find(std::size_t page, const std::string& text) {
    for (const auto& op : target.pages.at(page)->texts)
      if (op.text == text) return &op;
    return nullptr;
  }
};

TEST(PrintSheet, EachPageGetsItsRowsAndTheJobEnds) {
  Printing p;
  p.Rows(100);
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 99, 0));
  ASSERT_TRUE(out.ok()) << out.error;
  EXPECT_EQ(out.pages, 2);
  EXPECT_EQ(out.printed, 2);
  EXPECT_TRUE(p.target.begun && p.target.ended && !p.target.aborted);
  EXPECT_EQ(p.target.job, "SHEET1.WKS");
  ASSERT_EQ(p.target.pages.size(), 2u);
  EXPECT_TRUE(p.target.HasText(0, "r1"));
  EXPECT_TRUE(p.target.HasText(0, "r57"));
  EXPECT_FALSE(p.target.HasText(0, "r58"));
  EXPECT_TRUE(p.target.HasText(1, "r58"));
  EXPECT_TRUE(p.target.HasText(1, "r100"));
  // The first row's text sits in the first row of the row area.
  const auto* r1 = p.Find(0, "r1");
  ASSERT_NE(r1, nullptr);
  EXPECT_GE(r1->y, 72);
  EXPECT_LT(r1->y, 72 + 16);
  EXPECT_EQ(r1->x, 48 + 4);
}

TEST(PrintSheet, BandsPrintLeftToRightWithBordersOnEveryPage) {
  Printing p;
  for (int c = 0; c < 32; ++c)
    for (int r = 0; r < 60; ++r)
      EnterCell(*p.t.doc, "c" + std::to_string(c) + "r" + std::to_string(r), r, c);
  p.job.borderRows = CellRange::Of(0, 0, 0, 0);
  p.job.borderCols = CellRange::Of(0, 0, 0, 0);
  PrintOutcome out = p.Print(CellRange::Of(1, 1, 59, 31));
  ASSERT_TRUE(out.ok());
  // Ten columns fit beside the border column: bands B..K, L..U, V..AE, AF.
  ASSERT_EQ(out.pages, 8);
  for (std::size_t page = 0; page < 8; ++page) {
    EXPECT_TRUE(p.target.HasText(page, "c0r0")) << page;  // the corner
    EXPECT_TRUE(p.target.HasText(page, "c" + std::to_string(1 + 10 * (page / 2)) + "r0"))
        << page;
  }
  EXPECT_TRUE(p.target.HasText(0, "c1r1"));
  EXPECT_TRUE(p.target.HasText(1, "c1r59"));
  EXPECT_TRUE(p.target.HasText(2, "c11r1"));
  EXPECT_FALSE(p.target.HasText(2, "c10r1"));
  EXPECT_TRUE(p.target.HasText(7, "c31r59"));
  // Border column text on page 3 at the left margin, the band after it.
  const auto* border = p.Find(2, "c0r5");
  const auto* band = p.Find(2, "c11r5");
  ASSERT_TRUE(border && band);
  EXPECT_EQ(border->x, 48 + 4);
  EXPECT_EQ(band->x, 48 + 64 + 4);
}

TEST(PrintSheet, MarkedRowsAndHiddenColumnsDoNotPrint) {
  Printing p;
  p.Rows(6);
  EnterCell(*p.t.doc, "|secret", 2, 0);
  EnterCell(*p.t.doc, "|::", 3, 0);
  EnterCell(*p.t.doc, "hidden column", 0, 1);
  EnterCell(*p.t.doc, "shown", 0, 2);
  p.t.doc->metrics().columnWidths[1] = 0;
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 5, 2));
  ASSERT_EQ(out.pages, 2);
  EXPECT_TRUE(p.target.HasText(0, "r2"));
  EXPECT_TRUE(p.target.HasText(0, "shown"));
  EXPECT_TRUE(p.target.HasText(1, "r5"));
  for (std::size_t page = 0; page < 2; ++page) {
    EXPECT_FALSE(p.target.HasText(page, "secret"));
    EXPECT_FALSE(p.target.HasText(page, "::"));
    EXPECT_FALSE(p.target.HasText(page, "hidden column"));
  }
  const auto* shown = p.Find(0, "shown");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->x, 48 + 64 + 4);  // C follows A directly
}

TEST(PrintSheet, HeaderAndFooterCodesPerPageInThreeSections) {
  Printing p;
  p.Rows(200);
  p.job.header = "Page #|@";
  p.job.footer = "^F|Draft|p. ^P";
  p.job.fileName = "BUDGET.WKS";
  p.job.now = SerialFromDate(2024, 3, 5) + 0.25;
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 199, 0));
  ASSERT_EQ(out.pages, 4);
  const auto* page3 = p.Find(2, "Page 3");
  ASSERT_NE(page3, nullptr);
  EXPECT_EQ(page3->align, Align::Left);
  EXPECT_EQ(page3->x, 48);
  EXPECT_EQ(page3->y, 48);  // the header line: the top margin, 12 high
  EXPECT_EQ(page3->font.face, "Arial");
  EXPECT_EQ(page3->font.pixelHeight, 12);
  const auto* date = p.Find(2, "05-Mar-2024");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->align, Align::Right);
  EXPECT_EQ(date->x, 48 + 720);
  const auto* name = p.Find(3, "BUDGET.WKS");
  const auto* mid = p.Find(3, "Draft");
  const auto* num = p.Find(3, "p. 4");
  ASSERT_TRUE(name && mid && num);
  EXPECT_EQ(name->y, 1056 - 48 - 12);
  EXPECT_EQ(mid->x, 48 + 360);
  EXPECT_EQ(mid->align, Align::Centre);
  EXPECT_EQ(num->align, Align::Right);
  EXPECT_FALSE(p.target.HasText(2, "Page 2"));
}

TEST(PrintSheet, HeaderFollowsTheScale) {
  Printing p;
  p.Rows(3);
  p.job.header = "#";
  p.job.scale = 50;
  p.Print(CellRange::Of(0, 0, 2, 0));
  const auto* h = p.Find(0, "1");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->font.pixelHeight, 6);
}

// Black fills one rule thick across the print area.
int Rules(const RecordingCanvas& c, int y) {
  int n = 0;
  for (const auto& f : c.fills)
    if (f.colour == kBlack && f.rect.top == y && f.rect.height() == 3 && f.rect.left == 48 &&
        f.rect.right == 48 + 720)
      ++n;
  return n;
}

TEST(PrintSheet, HeaderAndFooterRulesAndTheFrame) {
  Printing p;
  p.Rows(2);
  p.job.headerLine = true;
  p.Print(CellRange::Of(0, 0, 1, 0));
  EXPECT_EQ(Rules(*p.target.pages[0], 48 + 12), 1);
  EXPECT_EQ(Rules(*p.target.pages[0], 1056 - 48 - 12 - 3), 0);

  Printing q;
  q.Rows(2);
  q.job.footerLine = true;
  q.job.frame = true;
  q.Print(CellRange::Of(0, 0, 1, 0));
  const RecordingCanvas& c = *q.target.pages[0];
  EXPECT_EQ(Rules(c, 48 + 12), 0);
  EXPECT_EQ(Rules(c, 1056 - 48 - 12 - 3), 1);
  auto hasLine = [&](Point a, Point b) {
    for (const auto& l : c.lines)
      if (l.colour == kBlack && l.from.x == a.x && l.from.y == a.y && l.to.x == b.x &&
          l.to.y == b.y)
        return true;
    return false;
  };
  EXPECT_TRUE(hasLine({0, 0}, {815, 0}));                  // page outline
  EXPECT_TRUE(hasLine({815, 1055}, {0, 1055}));
  EXPECT_TRUE(hasLine({48, 72}, {48 + 719, 72}));           // print area outline
  EXPECT_TRUE(hasLine({48, 72 + 911}, {48, 72}));
}

TEST(PrintSheet, GridFollowsTheOptionAndMonoDrawsNoShades) {
  Printing p;
  p.Rows(3);
  CellRecord* c = p.t.doc->cells().FindCell(1, 0);
  c->colour = 0x0000FF00u;  // a green background
  p.job.grid = false;
  p.Print(CellRange::Of(0, 0, 2, 0));
  bool green = false;
  for (const auto& f : p.target.pages[0]->fills) green |= f.colour == 0x0000FF00u;
  EXPECT_TRUE(green);
  EXPECT_TRUE(p.target.pages[0]->lines.empty());  // no grid, no frame

  Printing m;
  m.Rows(3);
  m.t.doc->settings().banding = true;
  m.t.doc->cells().FindCell(1, 0)->colour = 0x0000FF00u;
  m.job.mono = true;
  m.Print(CellRange::Of(0, 0, 2, 0));
  for (const auto& f : m.target.pages[0]->fills)
    EXPECT_TRUE(f.colour == kWhite || f.colour == kBlack) << std::hex << f.colour;
  bool gridLines = false;
  for (const auto& l : m.target.pages[0]->lines) gridLines |= l.colour != kBlack;
  EXPECT_TRUE(gridLines);
}

TEST(PrintSheet, OnePageOnlyForThePreviewAndPrintCurrentPage) {
  Printing p;
  p.Rows(150);
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 149, 0), 2);
  EXPECT_EQ(out.pages, 3);
  EXPECT_EQ(out.printed, 1);
  ASSERT_EQ(p.target.pages.size(), 1u);
  EXPECT_TRUE(p.target.HasText(0, "r58"));
  EXPECT_FALSE(p.target.HasText(0, "r1"));

  Printing beyond;
  beyond.Rows(3);
  out = beyond.Print(CellRange::Of(0, 0, 2, 0), 5);
  EXPECT_EQ(out.pages, 1);
  EXPECT_EQ(out.printed, 0);
  EXPECT_FALSE(beyond.target.begun);
}

struct AbortAfter : PrintProgress {
  explicit AbortAfter(int rows) : left(rows) {}
  void Page(int page) override { pages.push_back(page); }
  void Line(int row, int percent) override {
    --left;
    rows.push_back(row);
    percents.push_back(percent);
  }
  bool Aborted() override { return left <= 0; }
  int left;
  std::vector<int> pages, rows, percents;
};

TEST(PrintSheet, ProgressSeesEachRowAndAnAbortDropsTheJob) {
  Printing p;
  p.Rows(99);
  AbortAfter watch(1000);
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 98, 0), -1, &watch);
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(watch.pages, (std::vector<int>{1, 2}));
  ASSERT_EQ(watch.rows.size(), 99u);
  EXPECT_EQ(watch.rows.back(), 98);
  EXPECT_EQ(watch.percents.front(), 1);   // 1 x 100 / 100
  EXPECT_EQ(watch.percents.back(), 99);  // 99 x 100 / 100

  Printing q;
  q.Rows(99);
  AbortAfter abort(60);
  out = q.Print(CellRange::Of(0, 0, 98, 0), -1, &abort);
  EXPECT_TRUE(out.aborted);
  EXPECT_EQ(out.error, kPrintAborted);
  EXPECT_TRUE(q.target.aborted);
  EXPECT_FALSE(q.target.ended);
  EXPECT_EQ(out.printed, 1);
}

TEST(PrintSheet, FailuresOfTheTargetAreReportedAndDropTheJob) {
  Printing p;
  p.Rows(200);
  p.target.failBegin = true;
  PrintOutcome out = p.Print(CellRange::Of(0, 0, 199, 0));
  EXPECT_EQ(out.error, "printer offline");
  EXPECT_FALSE(p.target.aborted);

  Printing q;
  q.Rows(200);
  q.target.failNewPageAt = 3;
  out = q.Print(CellRange::Of(0, 0, 199, 0));
  EXPECT_FALSE(out.ok());
  EXPECT_TRUE(q.target.aborted);
  EXPECT_EQ(out.printed, 2);

  Printing r;
  r.Rows(2);
  r.target.failEnd = true;
  EXPECT_FALSE(r.Print(CellRange::Of(0, 0, 1, 0)).ok());

  Printing s;
  s.Rows(5);
  s.job.borderRows = CellRange::Of(0, 0, 99, 0);
  out = s.Print(CellRange::Of(0, 0, 4, 0));
  EXPECT_EQ(out.error, kBordersTooTall);
  EXPECT_FALSE(s.target.begun);
}

TEST(PrintSheet, LandscapeWidensTheBands) {
  Printing p;
  for (int c = 0; c < 15; ++c) EnterCell(*p.t.doc, "x", 0, c);
  EXPECT_EQ(p.Print(CellRange::Of(0, 0, 0, 14)).pages, 2);
  Printing q;
  for (int c = 0; c < 15; ++c) EnterCell(*q.t.doc, "x", 0, c);
  q.target.SetLandscape(true);
  EXPECT_EQ(q.Print(CellRange::Of(0, 0, 0, 14)).pages, 1);  // 960 wide: fifteen columns of 64
}

}  // namespace
}  // namespace tabulon
