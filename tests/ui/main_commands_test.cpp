#include "ui/main_commands.h"

#include <gtest/gtest.h>

#include "sheet/session.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(RecentFiles, NewestLastEqualEntryMovedOldestDropped) {
  RecentFiles r;
  r.SetSize(3);
  for (const char* n : {"a", "b", "c"}) r.Remember(n);
  r.Remember("a");
  EXPECT_EQ(r.names(), (std::vector<std::string>{"b", "c", "a"}));
  r.Remember("d");
  EXPECT_EQ(r.names(), (std::vector<std::string>{"c", "a", "d"}));
  r.SetSize(50);
  EXPECT_EQ(r.size(), 10) << "never more than ten";
  r.Assign({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
  EXPECT_EQ(r.names().front(), "3");
  r.SetSize(0);
  EXPECT_TRUE(r.names().empty());
}

TEST(Clipboard, CopyIsTabSeparatedRowsEndedByCrLf) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "'x");
  t.Enter("C1", "+A1*2");
  t.Enter("A2", "2.5");
  t.Enter("C2", "^c");
  ClipboardCopy c = ClipboardTextOf(*t.doc, CellRange::Of(0, 0, 1, 2));
  EXPECT_EQ(c.text, "1\t'x\t+A1*2\r\n2.5\t\t^c\r\n");
  EXPECT_FALSE(c.truncated);
}

TEST(Clipboard, HiddenCellsUnderProtectionCopyEmpty) {
  TestSheet t;
  t.Enter("A1", "secret");
  t.Cell("A1")->format = 118 | kLockBit;
  EXPECT_EQ(ClipboardTextOf(*t.doc, CellRange::Cell(0, 0)).text, "'secret\r\n");
  t.doc->settings().protect = true;
  EXPECT_EQ(ClipboardTextOf(*t.doc, CellRange::Cell(0, 0)).text, "\r\n");
}

TEST(Clipboard, CopyStopsAtTheLimitWithWholeRows) {
  TestSheet t;
  std::string label(200, 'y');
  for (int r = 1; r <= 400; ++r) t.Enter("A" + std::to_string(r), label);
  ClipboardCopy c = ClipboardTextOf(*t.doc, CellRange::Of(0, 0, 399, 0));
  EXPECT_TRUE(c.truncated);
  EXPECT_LE(c.text.size(), kClipboardLimit);
  EXPECT_EQ(c.text.size() % 203, 0u) << "only whole rows";
}

TEST(Clipboard, PasteRoundTripAndLineBreaks) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "+A1+1");
  t.Enter("A2", "'lbl");
  std::string text = ClipboardTextOf(*t.doc, CellRange::Of(0, 0, 1, 1)).text;
  PasteResult r = PasteText(*t.doc, {3, 4}, text);  // D5
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(t.Number("D5"), 1);
  EXPECT_EQ(t.Number("E5"), 2) << "formulas are entered as formulas";
  EXPECT_EQ(t.Text("D6"), "lbl");
  // CR LF counts as one break, a blank line advances one row, lone CR too.
  r = PasteText(*t.doc, {0, 10}, "a\r\n\r\nb\rc\nd");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(t.Text("A11"), "a");
  EXPECT_EQ(t.Cell("A12"), nullptr);
  EXPECT_EQ(t.Text("A13"), "b");
  EXPECT_EQ(t.Text("A14"), "c");
  EXPECT_EQ(t.Text("A15"), "d");
  EXPECT_EQ(r.cellsEntered, 4);
}

TEST(Clipboard, PasteStopsAtTheFirstFailingEntry) {
  TestSheet t;
  PasteResult r = PasteText(*t.doc, {254, 0}, "1\t2\t3\t4\n5");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedAt.col, 256 - 0);
  EXPECT_EQ(t.session.errors().message(), "Out of Range");
  EXPECT_EQ(t.Cell("A2"), nullptr) << "nothing after the failure";
  EXPECT_EQ(r.cellsEntered, 2);
}

TEST(Clipboard, HugeAndBinaryPastesAreBounded) {
  TestSheet t;
  std::string junk;
  for (unsigned i = 0; i < 3'000'000; ++i) junk += static_cast<char>((i * 7919u) % 256u);
  PasteResult r = PasteText(*t.doc, {0, 0}, junk);
  EXPECT_TRUE(r.truncated);
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "1\n";
  r = PasteText(*t.doc, {5, 0}, lines);
  EXPECT_TRUE(r.truncated);
  EXPECT_FALSE(r.ok) << "row 8193 is out of range";
  EXPECT_EQ(r.cellsEntered, 8192) << "stops at the last row";
}

TEST(SpeedSum, ColumnsRowsAndRuns) {
  TestSheet t;
  for (const char* a : {"B2", "B3", "B4"}) t.Enter(a, "1");
  auto e = SpeedSumEntries(*t.doc, CellRange::Cell(4, 1));  // B5
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].formula, "@SUM(B2..B4)");
  e = SpeedSumEntries(*t.doc, CellRange::Of(1, 1, 3, 2));  // B2..C4
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[1].cell, (CellAddress{2, 4}));
  EXPECT_EQ(e[1].formula, "@SUM(C2..C4)");
  e = SpeedSumEntries(*t.doc, CellRange::Of(0, 0, 0, 2));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].cell, (CellAddress{3, 0}));
  EXPECT_TRUE(SpeedSumEntries(*t.doc, CellRange::Cell(0, 5)).empty()) << "nothing to add";
  t.Enter("A9", "4");
  e = SpeedSumEntries(*t.doc, CellRange::Cell(8, 1));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].formula, "@SUM(A9)");
  EXPECT_TRUE(SpeedSumEntries(*t.doc, CellRange::Of(0, 255, 1, 255)).empty() == false);
  EXPECT_TRUE(SpeedSumEntries(*t.doc, CellRange::Of(0, 250, 0, 255)).empty())
      << "no cell right of the last column";
}

TEST(QuickBar, StyleFontAndFormatOverASelection) {
  TestSheet t;
  t.Enter("A1", "1");
  CellRange r = CellRange::Of(0, 0, 1, 1);
  EXPECT_TRUE(ToggleStyle(*t.doc, r, StyleBit::Bold));
  EXPECT_EQ(t.Cell("B2")->style & 1, 1) << "cells are created";
  EXPECT_FALSE(ToggleStyle(*t.doc, r, StyleBit::Bold));
  EXPECT_EQ(t.Cell("A1")->style & 1, 0);
  t.Cell("A1")->format = kLockBit | 127;
  EXPECT_TRUE(ApplyFormatEntry(*t.doc, r, "F2,Fixed"));
  EXPECT_EQ(t.Cell("A1")->format, kLockBit | 2) << "the lock stays";
  EXPECT_FALSE(ApplyFormatEntry(*t.doc, r, "?,Nothing"));
  ApplyFontSize(*t.doc, r, 1000);
  EXPECT_EQ(t.Cell("B1")->fontSize, 255);
  ApplyAlignment(*t.doc, r, 3);
  EXPECT_EQ((t.Cell("B1")->style >> 4) & 7, 3);
  EXPECT_TRUE(t.doc->settings().modified);
}

TEST(EraseRange, ErasesEntriesKeepsStyleAndRecalculates) {
  TestSheet t;
  t.Enter("A1", "5");
  t.Enter("B1", "+A1*2");
  t.Cell("A1")->style = 1;
  EraseRange(*t.doc, CellRange::Cell(0, 0));
  ASSERT_NE(t.Cell("A1"), nullptr);
  EXPECT_EQ(t.Cell("A1")->Kind(), kEmpty);
  EXPECT_EQ(t.Cell("A1")->style, 1);
  EXPECT_EQ(t.Number("B1"), 0);
  EXPECT_EQ(NewSheetName(2), "SHEET3.WKS");
}

}  // namespace
}  // namespace tabulon
