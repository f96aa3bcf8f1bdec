#include <gtest/gtest.h>

#include <cmath>

#include "edit/cell_ops.h"
#include "sheet/cell_store.h"
#include "edit/undo.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(CellStoreLimits, CreationOutsideTheSheetFailsWithOutOfRange) {
  TestSheet t;
  EXPECT_EQ(t.cells().GetOrCreateCell(8192, 0), nullptr);
  EXPECT_EQ(t.session.errors().message(), "Out of Range");
  t.session.errors().Clear();
  EXPECT_EQ(t.cells().GetOrCreateCell(0, 256), nullptr);
  EXPECT_TRUE(t.session.errors().failed());
  t.session.errors().Clear();
  EXPECT_EQ(t.cells().GetOrCreateCell(-1, 0), nullptr);

  CellRecord* corner = t.cells().GetOrCreateCell(8191, 255);
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(t.cells().maxRow(), 8191);
  EXPECT_EQ(t.cells().maxCol(), 255);
}

TEST(CellStoreRecords, NewRecordsCarryTheTemplate) {
  TestSheet t;
  CellRecord* c = t.cells().GetOrCreateCell(3, 4);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->font, 255);
  EXPECT_EQ(c->fontSize, 0);
  EXPECT_EQ(c->colour, 0xC0000000u);
  EXPECT_EQ(c->format, 255);
  EXPECT_EQ(c->Kind(), kEmpty);
  EXPECT_EQ(c->text, nullptr);
  EXPECT_TRUE(t.doc->settings().modified);
  EXPECT_EQ(t.cells().GetOrCreateCell(3, 4), c) << "an existing record is returned, not a new one";
}

TEST(CellStoreRecords, RowsStayOrderedByColumnWhateverTheInsertionOrder) {
  TestSheet t;
  for (int col : {9, 2, 200, 0, 5, 255, 1}) t.cells().GetOrCreateCell(7, col);
  std::vector<int> cols;
  for (CellId id : t.cells().Row(7)) cols.push_back(t.cells().At(id).col);
  EXPECT_EQ(cols, (std::vector<int>{0, 1, 2, 5, 9, 200, 255}));
  EXPECT_EQ(t.cells().FindFrom(7, 6)->col, 9);
  EXPECT_EQ(t.cells().FindFrom(7, 256), nullptr);
  EXPECT_EQ(t.cells().FindCell(7, 6), nullptr);
  EXPECT_EQ(t.cells().FindCell(8192, 0), nullptr);
}

TEST(CellStoreRecords, IdentitiesSurviveOtherCellsComingAndGoing) {
  TestSheet t;
  CellRecord* a = t.cells().GetOrCreateCell(0, 5);
  CellId id = a->id;
  for (int c = 0; c < 5; ++c) t.cells().GetOrCreateCell(0, c);
  t.cells().FreeRecord(*t.cells().FindCell(0, 2));
  EXPECT_EQ(t.cells().Get(id), a);
  EXPECT_EQ(a->col, 5);
  // A freed identity no longer designates a live record.
  CellRecord* gone = t.cells().FindCell(0, 3);
  CellId goneId = gone->id;
  t.cells().FreeRecord(*gone);
  EXPECT_EQ(t.cells().Get(goneId), nullptr);
  EXPECT_EQ(t.cells().Get(0), nullptr);
  EXPECT_EQ(t.cells().Get(0x3FFFFFFF), nullptr);
}

TEST(CellStoreNumbers, IntegersBelow32767AreStoredAsIntegers) {
  TestSheet t;
  CellRecord* c = t.cells().GetOrCreateCell(0, 0);
  struct Case {
    double x;
    std::uint8_t kind;
  } cases[] = {{32766, kInteger}, {-32766, kInteger}, {0, kInteger},     {32767, kReal},
               {-32767, kReal},   {2.5, kReal},       {1e10, kReal},     {-0.5, kReal}};
  for (const Case& k : cases) {
    t.cells().StoreNumber(*c, k.x);
    EXPECT_EQ(c->Kind(), k.kind) << k.x;
    EXPECT_EQ(t.Number("A1"), k.x);
  }
}

TEST(CellStoreText, TextIsCutAt240BytesAndBlocksAreReused) {
  TestSheet t;
  CellRecord* c = t.cells().GetOrCreateCell(0, 0);
  t.cells().SetCellText(*c, std::string(1000, 'x'));
  EXPECT_EQ(c->TextView().size(), 240u);
  std::uint8_t* block = c->text;
  t.cells().SetCellText(*c, std::string(240, 'y'));
  EXPECT_EQ(c->text, block);
  EXPECT_EQ(c->TextView(), std::string(240, 'y'));
  t.cells().SetCellText(*c, "ab");
  EXPECT_EQ(c->TextView(), "ab");
}

TEST(CellStoreValues, NumberOfLabelsEmptyAndTextFormulasIsZero) {
  TestSheet t;
  t.Enter("A1", "hello");
  t.Enter("A2", "+\"text\"");
  t.Cell("A1");
  t.cells().GetOrCreateCell(2, 0);
  EXPECT_EQ(t.Number("A1"), 0);
  EXPECT_EQ(t.Number("A2"), 0);
  EXPECT_EQ(t.Text("A2"), "text");
  EXPECT_EQ(t.Number("A3"), 0);
  EXPECT_EQ(t.Number("Z99"), 0);
}

TEST(CellErase, BlankKeepsAttributesAndTheRecord) {
  TestSheet t;
  t.Enter("B2", "42");
  CellRecord* c = t.Cell("B2");
  c->font = 3;
  c->colour = 0x0A123456;
  c->borders = 0x55;
  c->format = 0x02;  // unlocked, fixed 2
  c->style = 1;
  BlankCell(*t.doc, *c);
  EXPECT_EQ(t.Cell("B2"), c);
  EXPECT_EQ(c->Kind(), kEmpty);
  EXPECT_EQ(c->font, 3);
  EXPECT_EQ(c->colour, 0x0A123456u);
  EXPECT_EQ(c->borders, 0x55);
  EXPECT_EQ(c->format, 0x02);
  EXPECT_EQ(c->style, 1);
}

TEST(CellErase, ClearStoreEmptiesEverythingAndResetsTheExtents) {
  TestSheet t;
  t.Enter("C3", "1");
  t.Enter("D4", "+C3*2");
  t.cells().Clear();
  EXPECT_EQ(t.cells().recordCount(), 0u);
  EXPECT_EQ(t.cells().maxRow(), 0);
  EXPECT_EQ(t.cells().maxCol(), 0);
  EXPECT_EQ(t.Cell("C3"), nullptr);
  // The store works normally afterwards.
  EXPECT_TRUE(t.Enter("A1", "+5"));
  EXPECT_EQ(t.Number("A1"), 5);
}

TEST(CellDelete, FormulasThatUsedTheCellGetAnErrorReferenceAndKeepTheRest) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("B1", "2");
  t.Enter("C1", "+A1+B1");
  EXPECT_EQ(t.Number("C1"), 3);
  CellRecord* a1 = t.Cell("A1");
  DeleteCell(*t.doc, *a1);
  t.cells().FreeRecord(*a1);
  EXPECT_TRUE(t.IsError("C1"));
  // The surviving reference still drives the formula.
  CellRecord* b1 = t.Cell("B1");
  bool stillDependent = false;
  t.cells().ForEachDependent(*b1, [&](CellId d) { stillDependent |= d == t.Cell("C1")->id; });
  EXPECT_TRUE(stillDependent);
  t.Enter("B1", "7");
  EXPECT_TRUE(t.IsError("C1"));
}

TEST(CellDelete, RangesWithACornerOnTheCellBecomeUndefined) {
  TestSheet t;
  t.Enter("A1", "1");
  t.Enter("A3", "3");
  t.Enter("B1", "@SUM(A1..A3)");
  t.doc->names().DefineName("top", CellRange::Of(0, 0, 2, 0));
  t.doc->names().DefineName("inner", CellRange::Of(1, 0, 1, 0));
  CellRange other = CellRange::Of(5, 5, 2, 0);
  t.doc->RegisterStoredRange(&other);
  CellRecord* a3 = t.Cell("A3");
  DeleteCell(*t.doc, *a3);
  t.cells().FreeRecord(*a3);
  EXPECT_FALSE(t.doc->names().Lookup("TOP")->IsDefined());
  EXPECT_TRUE(t.doc->names().Lookup("INNER")->IsDefined());
  EXPECT_FALSE(other.IsDefined());
  EXPECT_TRUE(t.IsError("B1"));
  // The formula is gone from every cell the nulled range covered.
  EXPECT_FALSE(t.cells().HasDependents(*t.Cell("A1")));
  EXPECT_FALSE(t.cells().HasDependents(*t.Cell("A2")));
}

TEST(UndoSnapshot, RestoreBringsBackCellsFormulasAndMetrics) {
  TestSheet t;
  t.Enter("A1", "10");
  t.Enter("A2", "'label");
  t.Enter("A3", "+A1*2");
  t.Enter("B1", "+\"t\"&A2");
  t.Cell("A1")->format = 0x02;
  t.doc->metrics().columnWidths[0] = 99;
  TakeSnapshot(*t.doc);

  t.Enter("A1", "1");
  t.Enter("A3", "junk");
  t.Enter("C9", "5");
  t.doc->metrics().columnWidths[0] = 10;
  ASSERT_TRUE(RestoreSnapshot(*t.doc));

  EXPECT_EQ(t.Number("A1"), 10);
  EXPECT_EQ(t.Cell("A1")->format, 0x02);
  EXPECT_EQ(t.Text("A2"), "label");
  EXPECT_EQ(t.Number("A3"), 20);
  EXPECT_EQ(t.Text("B1"), "tlabel");
  EXPECT_EQ(t.Cell("C9"), nullptr);
  EXPECT_EQ(t.doc->metrics().columnWidths[0], 99);
  // The restored formula is linked again: it follows its input.
  t.Enter("A1", "4");
  EXPECT_EQ(t.Number("A3"), 8);
  // One level only.
  EXPECT_FALSE(RestoreSnapshot(*t.doc));
}

TEST(UndoSnapshot, DisabledUndoRestoresNothing) {
  TestSheet t;
  t.session.settings().undoEnabled = false;
  t.Enter("A1", "10");
  TakeSnapshot(*t.doc);
  t.Enter("A1", "11");
  EXPECT_FALSE(RestoreSnapshot(*t.doc));
  EXPECT_EQ(t.Number("A1"), 11);
}

TEST(Documents, SlotsReferenceCountsAndSharing) {
  HeadlessHost host;
  Session s(host);
  SheetDocument* a = s.NewDocument();
  SheetDocument* b = s.NewDocument();
  EXPECT_EQ(a->slot(), 1);
  EXPECT_EQ(b->slot(), 2);
  a->SetFileName("/tmp/Sheet.wks");
  EXPECT_EQ(s.FindDocument("/TMP/SHEET.WKS"), a);
  s.Retain(*a);  // a second window on the same sheet
  s.Release(*a);
  EXPECT_EQ(s.Document(1), a);
  s.Release(*a);
  EXPECT_EQ(s.Document(1), nullptr);
  // The lowest free slot is taken next.
  EXPECT_EQ(s.NewDocument()->slot(), 1);
}

TEST(Documents, The257thDocumentIsRefused) {
  HeadlessHost host;
  Session s(host);
  for (int i = 0; i < 256; ++i) ASSERT_NE(s.NewDocument(), nullptr);
  EXPECT_EQ(s.NewDocument(), nullptr);
  EXPECT_EQ(s.errors().message(), "Too many worksheets");
}

TEST(ErrorChannel, ShowErrorBeepsAndPrefixesTheMessage) {
  TestSheet t;
  t.session.ShowError("Protected Cell");
  EXPECT_EQ(t.host.beeps, 1);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0], "Error:Protected Cell");
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// Trimming after a load must leave rows searchable and growable, and the
// dependents lists intact.
TEST(CellStoreTrim, RowsAndDependentsStayUsableAfterTrimming) {
  testing::TestSheet t;
  ASSERT_TRUE(t.Enter("A1", "5"));
  ASSERT_TRUE(t.Enter("E1", "+A1*2"));
  ASSERT_TRUE(t.Enter("C1", "+E1+1"));
  t.cells().TrimRows();
  ASSERT_TRUE(t.Enter("B1", "7"));
  ASSERT_TRUE(t.Enter("D1", "+B1"));
  ASSERT_TRUE(t.Enter("A1", "6"));
  EXPECT_EQ(t.Number("E1"), 12);
  EXPECT_EQ(t.Number("C1"), 13);
  EXPECT_EQ(t.Number("D1"), 7);
  std::vector<int> cols;
  for (CellId id : t.cells().Row(0)) cols.push_back(t.cells().At(id).col);
  EXPECT_EQ(cols, (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// Identities are packed next to the column: past 65 536 records each must
// still lead back to its own record, and the column must stay intact.
TEST(CellStoreTrim, IdentitiesOfManyRecordsLeadBackToTheirRecords) {
  testing::TestSheet t;
  CellStore& store = t.cells();
  for (int r = 0; r < 300; ++r)
    for (int c = 0; c < kColumnCount; ++c) store.StoreNumber(*store.GetOrCreateCell(r, c), c);
  int wrong = 0;
  store.ForEachIn(0, 0, 299, kColumnCount - 1, [&](CellRecord& cell) {
    if (store.Get(cell.id) != &cell || cell.value.integer != cell.col) ++wrong;
  });
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(store.recordCount(), 300u * kColumnCount);
}

}  // namespace
}  // namespace tabulon
