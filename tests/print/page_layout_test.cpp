// Page geometry and pagination: bands across page widths, rows down pages,
// row markers, hidden columns, border rows and columns, the Fit search and
// the scale limits.
#include "print/page_layout.h"

#include <gtest/gtest.h>

#include "sheet/print_options.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

// A 96-dpi Letter page: page units are device pixels. With half-inch
// margins and the 12-pixel font the row area is 912 pixels high (57 rows
// of 16) and 720 wide (11 columns of 64).
struct Layout {
  TestSheet t;
  PageMetrics metrics = LetterPage(kScreenDpi, false);
  PrintJob job;

  Layout() { job.fontHeight = 12; }
  Pagination Run(const std::string& range) {
    job.range = Range(range);
    return Paginate(*t.doc, job, ComputeGeometry(metrics, job));
  }
  CellRange Range(const std::string& text) {
    ParsedRange p = ParseRange(text, RangeContext{0, nullptr, nullptr}, t.session.errors());
    return p.range;
  }
  std::vector<int> Rows(const PrintedPage& page) {
    std::vector<int> r;
    for (std::size_t i = page.borderRows; i < page.rows.size(); ++i) r.push_back(page.rows[i].index);
    return r;
  }
};

TEST(PageGeometry, DeviceLengthsBecomeScreenPixelsAndTheRowAreaLeavesFourLines) {
  PrintJob job;
  job.fontHeight = 12;
  job.margins = {1.0, 0.5, 0.25, 0.75};
  PageMetrics m;
  m.dpiX = m.dpiY = 300;
  m.physicalWidth = 2550;
  m.physicalHeight = 3300;
  m.offsetX = m.offsetY = 75;
  m.printableWidth = 2400;   // at most the device's own printable size
  m.printableHeight = 3100;  // smaller than 3300 - 150
  PageGeometry g = ComputeGeometry(m, job);
  EXPECT_EQ(g.pageWidth, 768);   // 2400 device pixels at 300 dpi
  EXPECT_EQ(g.pageHeight, 992);  // 3100
  EXPECT_EQ(g.top, 96);
  EXPECT_EQ(g.left, 48);
  EXPECT_EQ(g.right, 24);
  EXPECT_EQ(g.bottom, 72);
  EXPECT_EQ(g.lineHeight, 12);
  EXPECT_EQ(g.rowAreaTop, 96 + 24);
  EXPECT_EQ(g.rowAreaHeight, 992 - 96 - 72 - 48);
  EXPECT_EQ(g.footerTop, 992 - 72 - 12);
  EXPECT_EQ(g.areaWidth, 768 - 48 - 24);

  job.scale = 50;  // the line height follows the scale
  EXPECT_EQ(ComputeGeometry(m, job).lineHeight, 6);
  m.printableWidth = 5000;  // the physical width less both offsets bounds it too
  EXPECT_EQ(ComputeGeometry(m, job).pageWidth, 2400 * 96 / 300);
}

TEST(Pagination, ARangeThreePageWidthsWidePrintsEachBandWholeBeforeTheNext) {
  Layout l;
  Pagination p = l.Run("A1..AF100");  // 32 columns, 100 rows
  ASSERT_TRUE(p.ok()) << p.error;
  ASSERT_EQ(p.bands.size(), 3u);
  EXPECT_EQ(p.bands[0].firstCol, 0);
  EXPECT_EQ(p.bands[0].lastCol, 10);
  EXPECT_EQ(p.bands[1].firstCol, 11);
  EXPECT_EQ(p.bands[1].lastCol, 21);
  EXPECT_EQ(p.bands[2].firstCol, 22);
  EXPECT_EQ(p.bands[2].lastCol, 31);
  ASSERT_EQ(p.pages.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p.pages[i].band, i / 2);
  EXPECT_EQ(p.pages[0].firstRow, 0);
  EXPECT_EQ(p.pages[0].lastRow, 56);
  EXPECT_EQ(p.pages[1].firstRow, 57);
  EXPECT_EQ(p.pages[1].lastRow, 99);
  EXPECT_EQ(p.pages[2].firstRow, 0);  // the second band starts at the top again
  // Columns are laid from the left margin; no band passes the area.
  for (const PageBand& b : p.bands) {
    EXPECT_EQ(b.columns.front().pos, 48);
    EXPECT_LE(b.columns.back().pos + b.columns.back().size, 48 + 720);
  }
  // Rows go down from the row area's top.
  EXPECT_EQ(p.pages[0].rows[0].pos, 72);
  EXPECT_EQ(p.pages[0].rows[1].pos, 88);
}

TEST(Pagination, AColumnWiderThanThePageTakesABandOfItsOwn) {
  Layout l;
  l.t.doc->metrics().columnWidths[1] = 2000;
  Pagination p = l.Run("A1..C3");
  ASSERT_EQ(p.bands.size(), 3u);
  EXPECT_EQ(p.bands[1].firstCol, 1);
  EXPECT_EQ(p.bands[1].lastCol, 1);
}

TEST(Pagination, RowMarkersHideRowsAndForcePageBreaksInTheBandsFirstColumn) {
  Layout l;
  l.t.Enter("A3", "|hidden");
  l.t.Enter("A5", "|::");
  l.t.Enter("A6", "|::");  // a second break in a row leaves no empty page
  l.t.Enter("B8", "|not a marker: not in the band's first column");
  Pagination p = l.Run("A1..A10");
  ASSERT_EQ(p.pages.size(), 2u);
  EXPECT_EQ(l.Rows(p.pages[0]), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(l.Rows(p.pages[1]), (std::vector<int>{6, 7, 8, 9}));

  // A band that starts in another column reads its markers there.
  l.t.doc->metrics().columnWidths[0] = 700;
  p = l.Run("A1..B10");
  ASSERT_EQ(p.bands.size(), 2u);
  ASSERT_EQ(p.pages.size(), 3u);
  EXPECT_EQ(l.Rows(p.pages[2]), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8, 9}));
}

TEST(Pagination, AMarkerOnTheLastRowLeavesNoEmptyPage) {
  Layout l;
  l.t.Enter("A4", "|::");
  EXPECT_EQ(l.Run("A1..A4").pages.size(), 1u);
}

TEST(Pagination, HiddenColumnsTakeNoRoomAndAreNotLaidOut) {
  Layout l;
  l.t.doc->metrics().columnWidths[2] = 0;   // C
  l.t.doc->metrics().columnWidths[11] = 0;  // L
  Pagination p = l.Run("A1..Z1");
  ASSERT_GE(p.bands.size(), 1u);
  // Eleven visible columns fit: A..M less C and L.
  EXPECT_EQ(p.bands[0].lastCol, 12);
  for (const PageBand& b : p.bands)
    for (const GridSlot& s : b.columns) EXPECT_TRUE(s.index != 2 && s.index != 11);

  // A band's hidden first column still carries its markers.
  Layout m;
  m.t.doc->metrics().columnWidths[0] = 0;
  m.t.Enter("A2", "|");
  m.t.Enter("B2", "shown elsewhere");
  Pagination q = m.Run("A1..B3");
  ASSERT_EQ(q.pages.size(), 1u);
  EXPECT_EQ(m.Rows(q.pages[0]), (std::vector<int>{0, 2}));

  // Nothing visible: nothing to print.
  Layout n;
  n.t.doc->metrics().columnWidths[0] = 0;
  EXPECT_EQ(n.Run("A1..A5").error, kNothingToPrint);
}

TEST(Pagination, BorderRowsAndColumnsStandOnEveryPage) {
  Layout l;
  l.job.borderRows = l.Range("A1..A2");
  l.job.borderCols = l.Range("A1");
  Pagination p = l.Run("B3..B200");
  ASSERT_EQ(p.bands.size(), 1u);
  // Border column A at the left margin, then B.
  ASSERT_EQ(p.bands[0].columns.size(), 2u);
  EXPECT_EQ(p.bands[0].columns[0].index, 0);
  EXPECT_EQ(p.bands[0].columns[0].pos, 48);
  EXPECT_EQ(p.bands[0].columns[1].index, 1);
  EXPECT_EQ(p.bands[0].columns[1].pos, 48 + 64);
  // 198 rows, 55 to a page under two border rows.
  ASSERT_EQ(p.pages.size(), 4u);
  for (const PrintedPage& page : p.pages) {
    ASSERT_EQ(page.borderRows, 2);
    EXPECT_EQ(page.rows[0].index, 0);
    EXPECT_EQ(page.rows[0].pos, 72);
    EXPECT_EQ(page.rows[1].index, 1);
    EXPECT_EQ(page.rows[2].pos, 72 + 32);
  }
  EXPECT_EQ(p.pages[0].lastRow, 2 + 54);

  // Border columns narrow every band.
  l.job.borderCols = l.Range("A1..E1");
  EXPECT_EQ(l.Run("F1..Z3").bands[0].lastCol, 5 + 5);
}

TEST(Pagination, BorderRowsTallerThanTheRowAreaStopTheJob) {
  Layout l;
  l.job.borderRows = l.Range("A1..A58");  // 58 x 16 > 912
  EXPECT_EQ(l.Run("A60..A70").error, kBordersTooTall);
  l.job.borderRows = l.Range("A1..A57");  // exactly the area: fits, rows each get a page
  Pagination p = l.Run("A60..A61");
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.pages.size(), 2u);
}

TEST(Pagination, ARowTallerThanThePageGetsAPageOfItsOwn) {
  Layout l;
  l.t.doc->metrics().rowHeights[1] = 2000;
  Pagination p = l.Run("A1..A3");
  ASSERT_EQ(p.pages.size(), 3u);
  EXPECT_EQ(l.Rows(p.pages[1]), std::vector<int>{1});
}

TEST(Pagination, MarginsOrAScaleThatLeaveNoRoomAreRefused) {
  Layout l;
  l.job.margins = {6, 0.5, 0.5, 6};
  EXPECT_EQ(l.Run("A1").error, kNoRoomOnPage);
  l.job.margins = {0.5, 5, 5, 0.5};
  EXPECT_EQ(l.Run("A1").error, kNoRoomOnPage);
  Layout s;
  for (int scale : {0, -5, 1001, 10000}) {
    s.job.scale = scale;
    EXPECT_EQ(s.Run("A1..B2").error, kBadScale) << scale;
  }
  s.job.scale = 1000;  // the largest: a 16-pixel row is 160 high, columns 640 wide
  Pagination p = s.Run("A1..B2");
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.bands.size(), 2u);
  s.job.scale = 1;  // the smallest: everything on one page
  EXPECT_EQ(s.Run("A1..Z900").pages.size(), 1u);
}

TEST(Pagination, AnUndefinedRangePrintsNothing) {
  Layout l;
  EXPECT_EQ(l.Run("").error, kNothingToPrint);
  EXPECT_FALSE(UsedArea(*l.t.doc).IsDefined());
  l.t.Enter("C7", "1");
  EXPECT_EQ(UsedArea(*l.t.doc), CellRange::Of(0, 0, 6, 2));
}

// The largest scale in 50..200 at which the range fits on one page.
int LargestFittingScale(Layout& l, const std::string& range) {
  PrintJob job = l.job;
  job.range = l.Range(range);
  int best = 50;
  for (int s = 50; s <= 200; ++s) {
    job.scale = s;
    if (CountPages(*l.t.doc, job, l.metrics) == 1) best = s;
  }
  return best;
}

TEST(FitScale, FindsTheLargestScaleThatFitsOnePage) {
  Layout l;
  for (const char* range : {"A1..M60", "A1..K80", "A1..P20"}) {
    l.job.range = l.Range(range);
    int fit = FitScale(*l.t.doc, l.job, l.metrics);
    EXPECT_EQ(fit, LargestFittingScale(l, range)) << range;
    PrintJob at = l.job;
    at.scale = fit;
    EXPECT_EQ(CountPages(*l.t.doc, at, l.metrics), 1) << range;
  }
}

TEST(FitScale, GrowsToAtMost200AndNeverGoesBelow50) {
  Layout l;
  l.job.range = l.Range("A1..B2");
  EXPECT_EQ(FitScale(*l.t.doc, l.job, l.metrics), 200);
  l.job.range = l.Range("A1..Z500");  // fits at no scale in reach
  EXPECT_EQ(FitScale(*l.t.doc, l.job, l.metrics), 50);
}

TEST(JobFor, TakesTheSheetsStoredSettingsAndTheProgramsOptions) {
  TestSheet t;
  WorksheetExtras& x = t.doc->extras();
  x.titleRows = CellRange::Of(3, 0, 1, 0);  // corners in any order
  x.printHeader = "H";
  x.printFooter = "F";
  x.margins = {1, 2, 3, 4, 9, 9};
  t.doc->SetFileName("/tmp/some/dir/BUDGET.WKS");
  PrintOptions o;
  o.scale = 75;
  o.mono = true;
  o.headerLine = true;
  PrintJob job = JobFor(*t.doc, o, CellRange::Of(5, 5, 1, 1), 14, 45000.5);
  EXPECT_EQ(job.range, CellRange::Of(1, 1, 5, 5));
  EXPECT_EQ(job.borderRows, CellRange::Of(1, 0, 3, 0));
  EXPECT_FALSE(job.borderCols.IsDefined());
  EXPECT_EQ(job.margins, (std::array<double, 4>{1, 2, 3, 4}));
  EXPECT_EQ(job.header, "H");
  EXPECT_EQ(job.footer, "F");
  EXPECT_EQ(job.scale, 75);
  EXPECT_TRUE(job.mono && job.headerLine && !job.footerLine);
  EXPECT_EQ(job.fileName, "BUDGET.WKS");
  EXPECT_EQ(job.fontHeight, 14);
}

}  // namespace
}  // namespace tabulon
