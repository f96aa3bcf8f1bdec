#include "ui/audit.h"

#include <gtest/gtest.h>

#include "support/recording_canvas.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

std::vector<std::string> Texts(const DependentsTree& t) {
  std::vector<std::string> v;
  for (const TreeLine& l : t.lines) v.push_back(std::string(static_cast<std::size_t>(l.depth), ' ') + l.text);
  return v;
}

TEST(Audit, TheTreeFollowsDependentsToTheChosenDepth) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1");
  t.Enter("C1", "+B1");
  t.Enter("D1", "+C1");
  DependentsTree one = BuildDependentsTree(*t.doc, {0, 0}, 1);
  EXPECT_EQ(Texts(one), (std::vector<std::string>{"A1: 1", " B1: +A1", "  C1: +B1"}));
  EXPECT_EQ(one.references(), 2);
  EXPECT_EQ(one.depthReached, 3);
  DependentsTree two = BuildDependentsTree(*t.doc, {0, 0}, 2);
  EXPECT_EQ(two.lines.size(), 4u);
  EXPECT_EQ(two.lines.back().text, "D1: +C1");
  EXPECT_TRUE(BuildDependentsTree(*t.doc, {0, 0}, 0).lines.empty()) << "depth 0 builds nothing";
  DependentsTree lone = BuildDependentsTree(*t.doc, {3, 0}, 3);  // D1: nothing refers to it
  EXPECT_EQ(lone.lines.size(), 1u);
  EXPECT_EQ(lone.references(), 0);
  EXPECT_TRUE(BuildDependentsTree(*t.doc, {5, 5}, 3).lines.empty()) << "a missing cell";
}

TEST(Audit, DiamondsRepeatAndCyclesStopAtTheDepthOrTheLimit) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1");
  t.Enter("B2", "+A1*2");
  t.Enter("C1", "+B1+B2");
  DependentsTree d = BuildDependentsTree(*t.doc, {0, 0}, 5);
  int c1 = 0;
  for (const TreeLine& l : d.lines) c1 += l.text.rfind("C1", 0) == 0 ? 1 : 0;
  EXPECT_EQ(c1, 2) << "C1 is reached through both B1 and B2";

  TestSheet u;
  u.Enter("A1", "+B1");
  u.Enter("B1", "+A1");
  DependentsTree cycle = BuildDependentsTree(*u.doc, {0, 0}, 1000000);
  EXPECT_TRUE(cycle.truncated);
  EXPECT_EQ(static_cast<int>(cycle.lines.size()), kMaxTreeLines);
  DependentsTree small = BuildDependentsTree(*u.doc, {0, 0}, 3);
  EXPECT_EQ(small.lines.size(), 5u) << "levels 0 to 3 expand, level 4 is listed";
  EXPECT_FALSE(small.truncated);
}

TEST(Audit, TheCrossReferenceListsKindCountAndEveryReference) {
  TestSheet t;
  t.Enter("A1", "2.5");
  t.Enter("A2", "'text");
  for (const char* c : {"B1", "C1", "D1"}) t.Enter(c, "+A1");
  CellRange r = CellRange::Of(0, 0, 1, 0);
  std::vector<std::string> lines = CrossReference(*t.doc, r);
  ASSERT_EQ(lines.size(), 2u);
  // In the order of the dependents list, newest first.
  EXPECT_EQ(lines[0], "A1:Real 2:3#:D1,C1,B1");
  EXPECT_EQ(lines[1], "A2:String 4:0#:");
  // More than eight references continue on lines of their own.
  for (int i = 0; i < 7; ++i) t.Enter("E" + std::to_string(i + 1), "+A1");
  lines = CrossReference(*t.doc, CellRange::Cell(0, 0));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 16), "A1:Real 2:10#:E7");
  EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), 7);
  EXPECT_EQ(lines[1][0], ':');
  EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 1);
  std::string report = CrossReferenceReport(*t.doc, r, lines);
  EXPECT_NE(report.find("CELL\t TYPE\t COUNT\t: REFERENCES\n"), std::string::npos);
  EXPECT_NE(report.find("A1\tReal 2\t10#\tE7"), std::string::npos);
}

TEST(Audit, CountsAndTheChartOnAnEmptySheet) {
  TestSheet t;
  CellCounts c = CountCells(*t.doc);
  EXPECT_EQ(c.total, 0);
  EXPECT_NE(StatisticsText(*t.doc).find("Formula: 0 -NA-"), std::string::npos);
  testing::RecordingCanvas canvas;
  DrawStatsChart(canvas, *t.doc, 400, 300, false);
  int na = 0;
  for (const auto& text : canvas.texts) na += text.text == "-NA-" ? 1 : 0;
  EXPECT_EQ(na, 5);

  t.Enter("A1", "1");
  t.Enter("A2", "1.5");
  t.Enter("B3", "+A1");
  t.Enter("C9", "'x");
  c = CountCells(*t.doc);
  EXPECT_EQ(c.total, 4);
  EXPECT_EQ(c.lastRow, 8);
  EXPECT_EQ(c.maxColumn, 2);
  EXPECT_EQ(c.Groups()[0], 1);
  EXPECT_EQ(c.Largest(), 1);
  EXPECT_NE(StatisticsText(*t.doc).find("String: 1 25.00 %"), std::string::npos);
}

TEST(Audit, TheOverviewPlacesEachCellOnTheMap) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("D4", "'x");
  testing::RecordingCanvas canvas;
  DrawOverview(canvas, *t.doc, 456, 440);
  // Columns map to x = c * 400 / 4 + 40 and rows to y = r * 400 / 4 + 16.
  bool red = false, olive = false;
  for (const auto& f : canvas.fills) {
    if (f.colour == kAuditGroupColours[2] && f.rect.left == 40 && f.rect.top == 16 &&
        f.rect.right == 141 && f.rect.bottom == 117)
      red = true;
    if (f.colour == kAuditGroupColours[3] && f.rect.left == 340 && f.rect.top == 316) olive = true;
  }
  EXPECT_TRUE(red) << "the integer in A1";
  EXPECT_TRUE(olive) << "the label in D4";
}

}  // namespace
}  // namespace tabulon
