// Document information, the word tool and the function and keyword picker.
#include <gtest/gtest.h>

#include "edit/cell_text.h"
#include "formula/engine.h"
#include "macro/macro_keywords.h"
#include "support/test_session.h"
#include "ui/document_info.h"
#include "ui/function_picker.h"
#include "ui/input_line.h"
#include "ui/sheet_window.h"

namespace tabulon {
namespace {

using testing::TestSheet;

TEST(DocumentInfo, CommentsAreStoredLastLineFirstAndShownAsTyped) {
  std::vector<std::string> typed{"first", "second", "third"};
  std::string stored = StoredComments(typed);
  EXPECT_EQ(stored, "third\rsecond\rfirst\r");
  EXPECT_EQ(CommentLines(stored), typed);
  EXPECT_EQ(StoredComments({std::string(300, 'x')}).size(), kMaxDocumentText);
}

TEST(DocumentInfo, ANeverSavedSheetShowsNotAvailable) {
  TestSheet t;
  DocumentInfo info = ReadDocumentInfo(*t.doc);
  EXPECT_EQ(info.revisedBy, "N/A");
  EXPECT_EQ(info.created, "N/A");
  WriteDocumentInfo(*t.doc, "Budget", {"a", "b"});
  EXPECT_TRUE(t.doc->settings().modified);
  info = ReadDocumentInfo(*t.doc);
  EXPECT_EQ(info.title, "Budget");
  EXPECT_EQ(info.comments, (std::vector<std::string>{"a", "b"}));
}

TEST(WordTool, LinesGoBackOnePerRowAndMayRunPastTheSelection) {
  TestSheet t;
  t.Enter("B2", "+B9*2");
  t.Enter("B3", "'old");
  CellRange sel = CellRange::Of(1, 1, 2, 1);
  EXPECT_EQ(WordToolLines(*t.doc, sel), (std::vector<std::string>{"+B9*2", "'old"}));
  ASSERT_TRUE(ApplyWordTool(*t.doc, sel, {"plain", "'new", "5", "six"}).ok());
  EXPECT_EQ(t.doc->cells().FindCell(1, 1)->Kind(), kLabel) << "a formula edited to text";
  EXPECT_EQ(t.Text("B3"), "new");
  EXPECT_EQ(t.Number("B4"), 5);
  EXPECT_EQ(t.Text("B5"), "six");
  t.doc->settings().protect = true;
  EXPECT_EQ(ApplyWordTool(*t.doc, sel, {"x"}).message(), "Protected Cell");
}

TEST(Picker, FunctionsAreSortedWithTheirArgumentCounts) {
  TestSheet t;
  Engine(t.session).masterFunctions = {{"ZED", "@A(1)", 1}, {"DBL", "@A(1)*2", 1}};
  std::vector<std::string> list = FunctionPickList(t.session);
  auto at = [&](std::string_view e) { return std::find(list.begin(), list.end(), e) - list.begin(); };
  ASSERT_LT(at("ABS(1)"), static_cast<long>(list.size()));
  ASSERT_LT(at("SUM( var )(5)"), static_cast<long>(list.size()));
  ASSERT_LT(at("PI"), static_cast<long>(list.size()));
  ASSERT_LT(at("NOT(1)"), static_cast<long>(list.size()));
  long external = at(kExternalSeparator);
  EXPECT_TRUE(std::is_sorted(list.begin(), list.begin() + external));
  EXPECT_EQ(list[static_cast<std::size_t>(external) + 1], "DBL(1)");
  EXPECT_EQ(list[static_cast<std::size_t>(external) + 2], "ZED(1)");
  for (const std::string& e : list) EXPECT_LE(e.size(), 15u) << e;
  int vt = PickFilter(list, "vt");
  ASSERT_GE(vt, 0);
  EXPECT_EQ(list[static_cast<std::size_t>(vt)], "VTABLE(3)");
  EXPECT_EQ(PickFilter(list, "QQQ"), -1);
  EXPECT_EQ(PickResult("SUM( var )(5)"), "SUM(");
  EXPECT_EQ(PickResult("PI"), "PI");
  EXPECT_EQ(MacroPickList().size(), 145u);
  EXPECT_EQ(MacroPickList().front(), "?");
}

TEST(Picker, TheChoiceGoesIntoTheLineWithItsLeadCharacter) {
  TestSheet t;
  SheetWindow w(*t.doc);
  InputLine line(t.session);
  line.SetWindow(&w);
  line.TypeChar('+');
  InsertPick(line, PickMode::kFunctions, "SUM(");
  EXPECT_EQ(line.text(), "+@SUM(");
  line.SetText("+@", 2);
  InsertPick(line, PickMode::kFunctions, "PI");
  EXPECT_EQ(line.text(), "+@PI");
  EXPECT_EQ(line.caret(), 4);
  line.SetText("{", 1);
  InsertPick(line, PickMode::kMacros, "DOWN");
  EXPECT_EQ(line.text(), "{DOWN");
}

}  // namespace
}  // namespace tabulon
