// Lookup and reference functions. Expected values are read off the small
// tables each test builds (keys, offsets and cells named in the comments);
// interpolated values are worked by hand on straight lines between entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "formula/engine.h"
#include "formula/links.h"
#include "sheet/cell_store.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

// Keys 1, 4, 7 in A1..A3; values 10, 40, 100 in B1..B3; labels in C1..C3.
void VerticalTable(TestSheet& s) {
  s.Enter("A1", "1");
  s.Enter("A2", "4");
  s.Enter("A3", "7");
  s.Enter("B1", "10");
  s.Enter("B2", "40");
  s.Enter("B3", "100");
  s.Enter("C1", "'one");
  s.Enter("C2", "'four");
  s.Enter("C3", "'seven");
}

TEST(LookupFunctions, VerticalTable) {
  TestSheet s;
  VerticalTable(s);
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,1)"), "40");   // B2
  EXPECT_EQ(s.Eval("@VTABLE(4,A1..B3,1)"), "40");   // an exact key
  EXPECT_EQ(s.Eval("@VTABLE(1,A1..B3,1)"), "10");   // the first key
  EXPECT_EQ(s.Eval("@VTABLE(9,A1..B3,1)"), "100");  // past the last key: B3
  EXPECT_EQ(s.Eval("@VTABLE(0,A1..B3,1)"), "ERR");  // below the first key
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,0)"), "4");    // the key itself
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..C3,2)"), "four");  // a string result
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,2)"), "ERR");  // offset beyond the range
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,-1)"), "ERR");
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..D3,3)"), "0");    // D2 does not exist
  // Corners typed the other way round describe the same table.
  EXPECT_EQ(s.Eval("@VTABLE(5,B3..A1,1)"), "40");
}

TEST(LookupFunctions, HorizontalTable) {
  TestSheet s;
  // Keys 1, 'x, 4, 7 in A1..D1, values in row 2.
  s.Enter("A1", "1");
  s.Enter("B1", "'x");
  s.Enter("C1", "4");
  s.Enter("D1", "7");
  s.Enter("A2", "10");
  s.Enter("B2", "20");
  s.Enter("C2", "40");
  s.Enter("D2", "100");
  EXPECT_EQ(s.Eval("@HTABLE(5,A1..D2,1)"), "40");
  EXPECT_EQ(s.Eval("@HTABLE(3,A1..D2,1)"), "10");  // skips back over the label key to A1
  EXPECT_EQ(s.Eval("@HTABLE(8,A1..D2,1)"), "100");
  EXPECT_EQ(s.Eval("@HTABLE(0.5,A1..D2,1)"), "ERR");
  EXPECT_EQ(s.Eval("@HTABLE(5,A1..D2,2)"), "ERR");
}

TEST(LookupFunctions, Interpolation) {
  TestSheet s;
  VerticalTable(s);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VTERP(5,A1..B3,1)"), 60);   // 40 + 1/3 of 60
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VTERP(2.5,A1..B3,1)"), 25);  // halfway 10..40
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VTERP(4,A1..B3,1)"), 40);
  EXPECT_DOUBLE_EQ(s.EvalNumber("@VTERP(7,A1..B3,1)"), 100);  // last key, exactly
  EXPECT_EQ(s.Eval("@VTERP(7.5,A1..B3,1)"), "ERR");          // beyond it
  EXPECT_EQ(s.Eval("@VTERP(0,A1..B3,1)"), "ERR");
  // Row 1 keys 0, 10; row 2 values 0, 5.
  s.Enter("E1", "0");
  s.Enter("F1", "10");
  s.Enter("E2", "0");
  s.Enter("F2", "5");
  EXPECT_DOUBLE_EQ(s.EvalNumber("@HTERP(3,E1..F2,1)"), 1.5);
}

TEST(LookupFunctions, ErrorKeysAndErrorCorners) {
  TestSheet s;
  VerticalTable(s);
  s.Enter("A2", "@ERR");
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,1)"), "ERR");
  s.Enter("A2", "4");
  // The corner cell whose value the range operand carries may be an error
  // without spoiling lookups elsewhere in the range.
  s.Enter("B3", "@ERR");
  EXPECT_EQ(s.Eval("@VTABLE(5,A1..B3,1)"), "40");
  EXPECT_EQ(s.Eval("@VTABLE(9,A1..B3,1)"), "ERR");  // but reading it is an error
  EXPECT_EQ(s.Eval("@ROWS(A1..B3)"), "3");
}

TEST(LookupFunctions, IndexAndSizes) {
  TestSheet s;
  VerticalTable(s);
  EXPECT_EQ(s.Eval("@INDEX(A1..C3,2,3)"), "100");    // column B, row 3
  EXPECT_EQ(s.Eval("@INDEX(A1..C3,3,1)"), "one");
  EXPECT_EQ(s.Eval("@INDEX(A1..B2,2,3)"), "100");    // not checked against the range
  EXPECT_EQ(s.Eval("@INDEX(A1..C3,5,5)"), "0");      // a missing cell
  EXPECT_EQ(s.Eval("@INDEX(A1..C3,0,1)"), "ERR");    // left of column A
  EXPECT_EQ(s.Eval("@INDEX(A1..C3,1,9000)"), "ERR");  // below the sheet
  EXPECT_EQ(s.Eval("@COLS(A1..C3)"), "3");
  EXPECT_EQ(s.Eval("@ROWS(C3..A1)"), "3");
  EXPECT_EQ(s.Eval("@COLS(B7)"), "1");
  EXPECT_EQ(s.Eval("@COLS(5)"), "ERR");
}

TEST(LookupFunctions, CellByAddressText) {
  TestSheet s;
  VerticalTable(s);
  EXPECT_EQ(s.Eval("@@(\"B2\")"), "40");
  EXPECT_EQ(s.Eval("@@(\"c3\")"), "seven");
  EXPECT_EQ(s.Eval("@@(\"$B$3\")"), "100");
  EXPECT_EQ(s.Eval("@@(\"A1..B3\")"), "1");  // a range gives its first cell
  EXPECT_EQ(s.Eval("@@(\"Z99\")"), "0");
  EXPECT_EQ(s.Eval("@@(\"not an address\")"), "ERR");
  EXPECT_EQ(s.Eval("@@(\"\")"), "ERR");
  // The failed parse leaves the session's error channel as it was.
  EXPECT_FALSE(s.session.errors().failed());
}

TEST(LookupFunctions, CellAttributes) {
  TestSheet s;
  s.Enter("B7", "'hello");
  s.Enter("C8", "12.5");
  s.Enter("D9", "7");
  s.Enter("E1", "+D9*2");
  EXPECT_EQ(s.Eval("@CELL(\"row\",B7..C9)"), "7");
  EXPECT_EQ(s.Eval("@CELL(\"col\",B7..C9)"), "2");
  EXPECT_EQ(s.Eval("@CELL(\"address\",C9..B7)"), "$B$7");
  EXPECT_EQ(s.Eval("@CELL(\"xyz\",B7)"), "0");
  EXPECT_EQ(s.Eval("@CELL(\"type\",B7)"), "4");
  EXPECT_EQ(s.Eval("@CELL(\"type\",C8)"), "2");
  EXPECT_EQ(s.Eval("@CELL(\"type\",D9)"), "3");
  EXPECT_EQ(s.Eval("@CELL(\"type\",E1)"), "1");
  EXPECT_EQ(s.Eval("@CELL(\"contents\",B7)"), "'hello");
  EXPECT_EQ(s.Eval("@CELL(\"contents\",C8)"), "12.5");
  EXPECT_EQ(s.Eval("@CELL(\"prefix\",B7)"), "'");
  EXPECT_EQ(s.Eval("@CELL(\"width\",B7)"), "8");  // 64 pixels in 8-pixel characters
  s.doc->metrics().columnWidths[1] = 96;
  EXPECT_EQ(s.Eval("@CELL(\"width\",B7)"), "12");
  s.Cell("C8")->format = 2;  // fixed, two decimals
  EXPECT_EQ(s.Eval("@CELL(\"format\",C8)"), "F2");
  s.Cell("C8")->format = 121;
  EXPECT_EQ(s.Eval("@CELL(\"format\",C8)"), "D4");
  s.doc->settings().protect = true;
  EXPECT_EQ(s.Eval("@CELL(\"format\",C8)"), "Un D4");
  // Without a worksheet window the pointer rests on A1.
  EXPECT_EQ(s.Eval("@CELLPT(\"address\")"), "$A$1");
}

// "contents" and "prefix" of a formula cell are its input-line text and
// that text's first character, as for every other kind of cell.
TEST(LookupFunctions, ContentsOfFormulaCellsAreTheirText) {
  TestSheet s;
  s.Enter("A1", "4");
  s.Enter("A2", "+A1*2");
  s.Enter("A3", "@SUM(A1..A2)");
  s.Enter("A4", "+\"x\"&\"y\"");
  EXPECT_EQ(s.Eval("@CELL(\"con\",A2)"), "+A1*2");
  EXPECT_EQ(s.Eval("@CELL(\"pre\",A2)"), "+");
  EXPECT_EQ(s.Eval("@CELL(\"contents\",A3)"), "@SUM(A1..A2)");
  EXPECT_EQ(s.Eval("@CELL(\"prefix\",A3)"), "@");
  EXPECT_EQ(s.Eval("@CELL(\"con\",A4)"), "+\"x\"&\"y\"") << "a text result";
  // The pointer rests on A1 without a window.
  TestSheet p;
  p.Enter("A1", "+B1/2");
  EXPECT_EQ(p.Eval("@CELLPT(\"contents\")"), "+B1/2");
  EXPECT_EQ(p.Eval("@CELLPT(\"prefix\")"), "+");
}

class OneDocumentLinks : public LinkSource {
 public:
  explicit OneDocumentLinks(SheetDocument& doc) : doc_(doc) {}
  std::string last;

 protected:
  SheetDocument* Linked(const std::string& path, const SheetDocument&) override {
    last = path;
    return path == ResolveLinkPath("DATA.WKS") ? &doc_ : nullptr;
  }

 private:
  SheetDocument& doc_;
};

TEST(LookupFunctions, Links) {
  TestSheet s;
  EXPECT_EQ(s.Eval("@LINK(\"DATA.WKS>A1\")"), "N/A");  // no link store yet
  EXPECT_EQ(s.Eval("@LINK(\"DATA.WKS A1\")"), "ERR");
  EXPECT_EQ(s.Eval("@LINK(\"DATA.WKS>??\")"), "ERR");
  TestSheet other;
  other.Enter("C5", "99");
  OneDocumentLinks links(*other.doc);
  Engine(s.session).links = &links;
  EXPECT_EQ(s.Eval("@LINK(\"DATA.WKS>C5\")"), "99");
  EXPECT_EQ(s.Eval("@LINK(\"data.wks>C5\")"), "N/A") << "the file name keeps its case";
  EXPECT_EQ(links.last, ResolveLinkPath("data.wks"));
  EXPECT_EQ(s.Eval("@LINK(\"DATA.WKS>A:C5\")"), "99");  // page A is the first
  EXPECT_EQ(s.Eval("@LINK(\"OTHER.WKS>C5\")"), "N/A");
  // A link operand keeps the path as typed; it is resolved when looked up.
  EXPECT_EQ(s.Eval("[DATA.WKS]C5*2"), "198");
  EXPECT_EQ(s.Eval("@SUM([DATA.WKS]A1..C5)"), "99");
  EXPECT_EQ(s.Eval("[data.wks]C5"), "ERR") << "file names keep their case";
  // Attributes of a linked cell come from its own worksheet.
  other.Enter("D7", "+C5+1");
  EXPECT_EQ(s.Eval("@CELL(\"contents\",[DATA.WKS]D7)"), "+C5+1");
  Engine(s.session).links = nullptr;
}

TEST(LookupFunctions, LinkPathsResolveAgainstTheCurrentDirectory) {
  EXPECT_EQ(ResolveLinkPath("/data/a.wks"), "/data/a.wks");
  EXPECT_EQ(ResolveLinkPath("C:\\DATA\\A.WKS"), "C:\\DATA\\A.WKS");
  std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(ResolveLinkPath("a.wks"), cwd + "/a.wks");
  EXPECT_EQ(ResolveLinkPath("sub/a.wks"), cwd + "/sub/a.wks");
}

}  // namespace
}  // namespace tabulon
