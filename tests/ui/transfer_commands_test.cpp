// File > Merge..., Import..., Export ..., Uplink and Sheet > External @
// through the command table, as the menus' dialogs and the File macro
// commands run them.
#include "ui/transfer_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "commands/command_set.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "io/worksheet_file.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/transfer_dialog.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tabulon_transfer_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    RegisterAllCommands(ws);
    ws.NewSheet();
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  SheetDocument& Doc() { return ws.active()->document(); }
  void Enter(const char* address, const char* text) {
    CellRange r = ws.Location(address);
    ASSERT_TRUE(EnterCell(Doc(), text, r.Top(), r.Left()).ok) << address;
  }
  double Number(const char* address) {
    CellRange r = ws.Location(address);
    return CellNumber(Doc().cells().FindCell(r.Top(), r.Left()));
  }
  std::string Text(const char* address) {
    CellRange r = ws.Location(address);
    return CellStringValue(Doc().cells().FindCell(r.Top(), r.Left()));
  }
  const CellRecord* Cell(const char* address) {
    CellRange r = ws.Location(address);
    return Doc().cells().FindCell(r.Top(), r.Left());
  }
  // The source file of the merges: numbers in A1..B2, a formula in C1, a
  // label in C2, and the name PART over B1..B2.
  std::string Source() {
    Session other(host);
    SheetDocument* d = other.NewDocument();
    EnterCell(*d, "3", 0, 0);
    EnterCell(*d, "4", 0, 1);
    EnterCell(*d, "5", 1, 0);
    EnterCell(*d, "6", 1, 1);
    EnterCell(*d, "+A1*100", 0, 2);
    EnterCell(*d, "'text", 1, 2);
    d->names().DefineName("PART", CellRange::Of(0, 1, 1, 1));
    std::string path = Path("source.wks");
    EXPECT_TRUE(SaveWorksheet(*d, path));
    return path;
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  fs::path dir_;
};

TEST_F(Transfer, MergeReplacesAddsOrSubtractsValues) {
  std::string src = Source();
  Enter("A1", "10");
  Enter("B1", "10");
  ASSERT_TRUE(ws.Execute("file.merge", {src, "A1", "", "VR"}));
  EXPECT_EQ(Number("A1"), 3);
  EXPECT_EQ(Number("C1"), 300);
  EXPECT_NE(Cell("C1")->Kind(), kFormula) << "values only";
  EXPECT_EQ(Text("C2"), "text");
  ASSERT_TRUE(ws.Execute("file.merge", {src, "A1", "", "VS"}));
  EXPECT_EQ(Number("A1"), 6);
  EXPECT_EQ(Number("B2"), 12);
  ASSERT_TRUE(ws.Execute("file.merge", {src, "A1", "", "VD"}));
  EXPECT_EQ(Number("A1"), 3);
  EXPECT_EQ(Number("B2"), 6);
  ASSERT_TRUE(ws.Execute("file.merge", {src, "A1", "", "D"}));
  EXPECT_EQ(Number("A1"), 0) << "a difference with itself";
}

TEST_F(Transfer, MergeFormulasAndANamedPartAtTheInsertCell) {
  std::string src = Source();
  ASSERT_TRUE(ws.Execute("file.merge", {src, "D5", "", "FR"}));
  EXPECT_EQ(Cell("F5")->Kind(), kFormula);
  EXPECT_EQ(Number("F5"), 300);
  EXPECT_EQ(ws.active()->CursorCell().row, 4);
  EXPECT_EQ(ws.active()->CursorCell().col, 3);
  // Only the named range, its top-left cell at the insert cell.
  ASSERT_TRUE(ws.Execute("file.merge", {src, "H1", "PART", "VR"}));
  EXPECT_EQ(Number("H1"), 4);
  EXPECT_EQ(Number("H2"), 6);
  EXPECT_EQ(Cell("I1"), nullptr);
  EXPECT_EQ(Cell("G1"), nullptr);
  // A name the file does not have is refused, and so is a missing file.
  Status s = ws.Execute("file.merge", {src, "A1", "NOPE", "VR"});
  EXPECT_FALSE(s);
  EXPECT_NE(s.message().find("NOPE"), std::string::npos);
  EXPECT_FALSE(ws.Execute("file.merge", {Path("none.wks"), "A1", "", "VR"}));
  EXPECT_EQ(Cell("A1"), nullptr);
}

TEST_F(Transfer, MergeOptionsReadTheFirstThreeCharacters) {
  unsigned combine;
  bool values;
  ReadMergeOptions("", combine, values);
  EXPECT_EQ(combine, 1u);
  EXPECT_TRUE(values);
  ReadMergeOptions("fd", combine, values);
  EXPECT_EQ(combine, 3u);
  EXPECT_FALSE(values);
  ReadMergeOptions("VVVF", combine, values);
  EXPECT_TRUE(values) << "F beyond the third character does not count";
  ReadMergeOptions("S", combine, values);
  EXPECT_EQ(combine, 2u);
}

TEST_F(Transfer, TheMergeDialogListsNamesAndBuildsTheCommand) {
  std::string src = Source();
  Enter("A1", "1");
  ws.active()->MoveCursor(0, 0);
  TransferDialog d(ws, TransferKind::kMerge, src, 0);
  EXPECT_EQ(d.Caption(), "Merge Value");
  EXPECT_EQ(d.FieldLabel(), "&Insert at Cell: ");
  ASSERT_EQ(d.names().size(), 1u);
  EXPECT_EQ(d.names()[0].substr(0, 5), "PART ");
  d.wholeFile = false;
  d.action = 2;
  d.field = "A1";
  ASSERT_TRUE(d.Ok());
  EXPECT_EQ(Number("A1"), 5) << "1 + the name's first value 4";
  EXPECT_EQ(TransferDialog(ws, TransferKind::kMerge, src, 1).Caption(), "Merge by Formula");
}

TEST_F(Transfer, ImportAndExportThroughTheirCommands) {
  {
    std::ofstream out(Path("in.prn"), std::ios::binary);
    out << "1 2\n\"x y\",3\n";
  }
  ASSERT_TRUE(ws.Execute("file.import", {Path("in.prn"), "B2", "1"}));
  EXPECT_EQ(Number("C2"), 2);
  EXPECT_EQ(Text("B3"), "x y");
  ASSERT_TRUE(ws.Execute("file.import", {Path("in.prn"), "A10", "0"}));
  EXPECT_EQ(Text("A10"), "1 2");
  Status missing = ws.Execute("file.import", {Path("nope.prn"), "A1", "1"});
  EXPECT_EQ(missing.message(), "File Not Found");

  ASSERT_TRUE(ws.Execute("file.export", {Path("q.prn"), "B2..C3", "1"}));
  EXPECT_EQ(ReadAll(Path("q.prn")), "\"1\",\"2\"\r\n\"xy\",\"3\"\r\n");
  ASSERT_TRUE(ws.Execute("file.export", {Path("c.prn"), "B2..C3", "2"}));
  EXPECT_EQ(ReadAll(Path("c.prn")), "1,2\r\nxy,3\r\n");
  ASSERT_TRUE(ws.Execute("file.export", {Path("x.wks"), "B2..C3", "0"}));
  EXPECT_TRUE(IsWorksheetFile(Path("x.wks")));
  // The dialog proposes the extension of the chosen kind.
  EXPECT_EQ(TransferDialog(ws, TransferKind::kExport, Path("out"), 2).file(), Path("out.prn"));
  EXPECT_EQ(TransferDialog(ws, TransferKind::kExport, Path("out"), 0).file(), Path("out.wks"));
  EXPECT_EQ(TransferDialog(ws, TransferKind::kExport, Path("out"), 2).Caption(),
            "Export Comma Delimited Text");

  // The fourth kind writes a workbook; a formula with no workbook
  // equivalent goes out as its value and the user is told.
  EXPECT_EQ(TransferDialog(ws, TransferKind::kExport, Path("book"), 3).file(), Path("book.xlsx"));
  ws.active()->MoveCursor(0, 5);
  ws.TypeText("@VTABLE(1,B2..C3,1)");
  ws.HandleKey(Key::Enter);
  std::size_t messages = host.messages.size();
  ASSERT_TRUE(ws.Execute("file.export", {Path("book.xlsx"), "A1..F3", "3"}));
  std::string book = ReadAll(Path("book.xlsx"));
  EXPECT_EQ(book.substr(0, 2), "PK") << "a zip container";
  ASSERT_GT(host.messages.size(), messages);
  EXPECT_NE(host.messages.back().find("as values"), std::string::npos) << host.messages.back();
  EXPECT_FALSE(ws.Execute("file.export", {Path("no/such/dir/b.xlsx"), "A1", "3"}).ok());
}

TEST_F(Transfer, ImportNotesReachTheUserWithoutFailing) {
  {
    std::ofstream out(Path("long.txt"), std::ios::binary);
    out << std::string(300, 'z') << "\n";
  }
  ASSERT_TRUE(ws.Execute("file.import", {Path("long.txt"), "A1", "0"}));
  ASSERT_FALSE(host.messages.empty());
  EXPECT_NE(host.messages.back().find("cut"), std::string::npos);
}

TEST_F(Transfer, UplinkRefreshesAndTheTableListsSources) {
  {
    Session other(host);
    SheetDocument* d = other.NewDocument();
    EnterCell(*d, "1", 0, 0);
    ASSERT_TRUE(SaveWorksheet(*d, Path("src.wks")));
  }
  ASSERT_TRUE(ws.Execute("file.saveas", {Path("main.wks"), "0"}));
  Enter("A1", ("+[src.wks]A1+[" + Path("gone.wks") + "]A1").c_str());
  Enter("A2", "+[src.wks]A1");
  EXPECT_EQ(Number("A2"), 1);
  {
    Session other(host);
    SheetDocument* d = other.NewDocument();
    EnterCell(*d, "2", 0, 0);
    ASSERT_TRUE(SaveWorksheet(*d, Path("src.wks")));
  }
  ASSERT_TRUE(ws.Execute("file.uplink"));
  EXPECT_EQ(Number("A2"), 2);
  ASSERT_TRUE(ws.Execute("sheet.external.table", {"D1"}));
  EXPECT_EQ(Text("D1"), Path("gone.wks"));
  EXPECT_EQ(Text("E1"), "Not found");
  EXPECT_EQ(Text("D2"), Path("src.wks"));
  EXPECT_EQ(Text("E2"), "Loaded");
  ASSERT_TRUE(ws.Execute("sheet.external.reset"));
  EXPECT_FALSE(ws.Execute("sheet.external.table", {"D5"}));
  EXPECT_EQ(Cell("D5"), nullptr);
}

}  // namespace
}  // namespace tabulon
