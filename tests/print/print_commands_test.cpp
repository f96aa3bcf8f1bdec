// The print commands through the workspace's command table, the print
// dialog's and the preview's models, the status window, and the print
// settings kept with the worksheet.
#include "print/print_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "edit/block_ops.h"
#include "edit/cell_entry.h"
#include "io/config_file.h"
#include "io/worksheet_file.h"
#include "platform/headless_host.h"
#include "print/print_dialog.h"
#include "print/print_preview.h"
#include "print/print_service.h"
#include "sheet/print_options.h"
#include "support/recording_print_target.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::RecordingDevices;

struct DialogView : WorkspaceView {
  std::vector<DialogKind> shown;
  void ShowDialog(DialogKind kind, int) override { shown.push_back(kind); }
};

struct Desk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  RecordingDevices devices{{"Laser", "Inkjet"}};
  PrintService& print = RegisterPrintCommands(ws, &devices);
  DialogView view;
  fs::path dir = fs::temp_directory_path() /
                 ("tabulon-pc-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));

  Desk() {
    devices.metrics = LetterPage(kScreenDpi, false);
    ws.SetView(&view);
    ws.NewSheet();
    fs::create_directories(dir);
  }
  ~Desk() {
    ws.SetView(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  SheetDocument& Doc() { return ws.active()->document(); }
  WorksheetExtras& X() { return Doc().extras(); }
  PrintOptions& O() { return session.settings().print; }
  Status Run(const std::string& id, CommandArgs args = {}) { return ws.Execute(id, args); }
  void Rows(int n) {
    for (int r = 0; r < n; ++r) EnterCell(Doc(), "row" + std::to_string(r + 1), r, 0);
  }
  std::string LastMessage() const { return host.messages.empty() ? "" : host.messages.back(); }
};

TEST(PrintCommands, TheMenuItemTheButtonAndTheMacroLetters) {
  Desk d;
  const Command* c = d.ws.commands().Find("file.print");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->menu, "&File");
  EXPECT_EQ(c->caption, "&Print...");
  EXPECT_EQ(c->hint, "Print Worksheet/Graphs");
  const auto& bar = d.ws.quickBar();
  auto sum = std::find_if(bar.begin(), bar.end(), [](auto& b) { return b.command == "quick.sum"; });
  ASSERT_NE(sum, bar.end());
  EXPECT_EQ((sum + 1)->command, "file.print");
  EXPECT_EQ((sum + 1)->hint, "Print Worksheet");
  for (char letter : std::string("abfghmnor")) {
    const Command* m = d.ws.commands().FindMacro('p', letter);
    ASSERT_NE(m, nullptr) << letter;
    EXPECT_TRUE(m->run) << letter;
  }
  d.ws.Invoke("file.print");
  EXPECT_EQ(d.view.shown, std::vector<DialogKind>{DialogKind::kPrint});
}

TEST(PrintCommands, MarginsOptionsBordersAndTexts) {
  Desk d;
  EXPECT_TRUE(d.Run("print.margin", {"T1, l0.25,R0.75,B2,X9"}));
  EXPECT_EQ(d.X().margins[0], 1);
  EXPECT_EQ(d.X().margins[1], 0.25);
  EXPECT_EQ(d.X().margins[2], 0.75);
  EXPECT_EQ(d.X().margins[3], 2);
  EXPECT_TRUE(d.Doc().settings().modified);
  // One bad item refuses the text; nothing changes.
  EXPECT_FALSE(d.Run("print.margin", {"T3,L-1"}));
  EXPECT_EQ(d.LastMessage(), "Error:Margin must be 0 to 100 inches: L-1");
  EXPECT_EQ(d.X().margins[0], 1);
  EXPECT_FALSE(d.Run("print.margin", {"Tabc"}));

  EXPECT_TRUE(d.Run("print.option", {"F0,G0,M1,L,S75"}));
  EXPECT_FALSE(d.O().frame);
  EXPECT_FALSE(d.O().grid);
  EXPECT_TRUE(d.O().mono);
  EXPECT_TRUE(d.O().landscape);
  EXPECT_EQ(d.O().scale, 75);
  EXPECT_TRUE(d.Run("print.option", {"P,S5,F1"}));  // not held to the dialog's 10..150
  EXPECT_EQ(d.O().scale, 5);
  EXPECT_FALSE(d.O().landscape);
  EXPECT_TRUE(d.O().frame);
  for (const char* bad : {"S0", "S10000", "F0,S-3", "Sx"}) {
    EXPECT_FALSE(d.Run("print.option", {bad})) << bad;
    EXPECT_EQ(d.LastMessage(), std::string("Error:") + kBadScale);
    EXPECT_EQ(d.O().scale, 5);
    EXPECT_TRUE(d.O().frame);
  }

  EXPECT_TRUE(d.Run("print.border", {"1", "A1..B2"}));
  EXPECT_EQ(d.X().titleRows, CellRange::Of(0, 0, 1, 1));
  EXPECT_TRUE(d.Run("print.border", {"0", "A1..A9"}));
  EXPECT_EQ(d.X().titleCols, CellRange::Of(0, 0, 8, 0));
  EXPECT_TRUE(d.Run("print.border", {"2", "C1"}));  // other kinds do nothing
  EXPECT_EQ(d.X().titleRows, CellRange::Of(0, 0, 1, 1));

  EXPECT_TRUE(d.Run("print.head", {"Page #|@", "7"}));
  EXPECT_EQ(d.X().printHeader, "Page #|@");
  EXPECT_TRUE(d.Run("print.foot", {std::string(300, 'f'), "0"}));
  EXPECT_EQ(d.X().printFooter, std::string(240, 'f'));
}

TEST(PrintCommands, PrintRangeStoresTheRangeAndPrintsOnTheCurrentPrinter) {
  Desk d;
  d.Rows(100);
  EXPECT_TRUE(d.Run("print.range", {"A1..A100"}));
  EXPECT_EQ(d.X().printRange, CellRange::Of(0, 0, 99, 0));
  ASSERT_EQ(d.devices.opened, std::vector<std::string>{"Laser"});
  ASSERT_EQ(d.devices.jobs.size(), 1u);
  EXPECT_TRUE(d.devices.jobs[0].ended);
  EXPECT_EQ(d.devices.jobs[0].pages.size(), 2u);
  EXPECT_EQ(d.print.lastOutcome().pages, 2);
  EXPECT_EQ(d.host.beeps, 1);  // a beep ends the job

  d.O().printer = "Inkjet";
  d.O().landscape = true;
  EXPECT_TRUE(d.Run("print.all"));
  EXPECT_EQ(d.devices.opened.back(), "Inkjet");
  EXPECT_EQ(d.devices.jobs.back().pages.size(), 3u);  // 96 dpi landscape: 43 rows a page
}

TEST(PrintCommands, WithoutPrintersThePdfFileIsAskedFor) {
  Desk d;
  RecordingDevices none;
  none.metrics = LetterPage(kScreenDpi, false);
  HeadlessHost host;
  Session session(host);
  Workspace ws(session);
  RegisterPrintCommands(ws, &none);
  ws.NewSheet();
  EnterCell(ws.active()->document(), "x", 0, 0);
  // Cancelled: nothing printed, nothing said.
  EXPECT_TRUE(ws.Execute("print.all"));
  EXPECT_TRUE(none.opened.empty());
  host.fileNames.push_back("/tmp/out.pdf");
  EXPECT_TRUE(ws.Execute("print.all"));
  EXPECT_EQ(none.opened, std::vector<std::string>{"pdf:/tmp/out.pdf"});
  ASSERT_EQ(none.jobs.size(), 1u);
  EXPECT_TRUE(none.jobs[0].ended);
  none.failPdf = true;
  host.fileNames.push_back("/nowhere/out.pdf");
  EXPECT_FALSE(ws.Execute("print.all"));
  EXPECT_EQ(host.messages.back(), "Error:Cannot write /nowhere/out.pdf");

  // No devices at all: settings still work, printing says why not.
  HeadlessHost h2;
  Session s2(h2);
  Workspace w2(s2);
  RegisterPrintCommands(w2);
  w2.NewSheet();
  EnterCell(w2.active()->document(), "x", 0, 0);
  EXPECT_TRUE(w2.Execute("print.head", {"h", "0"}));
  EXPECT_FALSE(w2.Execute("print.all"));
  EXPECT_EQ(h2.messages.back(), "Error:Printing is not available");
}

TEST(PrintCommands, NothingToPrintAndBadRangesAreRefused) {
  Desk d;
  EXPECT_FALSE(d.Run("print.all"));
  EXPECT_EQ(d.LastMessage(), std::string("Error:") + kNothingToPrint);
  EXPECT_TRUE(d.devices.opened.empty());
  EXPECT_FALSE(d.Run("print.range", {"A1..ZZ9"}));
  EXPECT_FALSE(d.X().printRange.IsDefined());
  d.X().titleRows = CellRange::Of(0, 0, 99, 0);
  d.Rows(3);
  EXPECT_FALSE(d.Run("print.range", {"A1..A3"}));
  EXPECT_EQ(d.LastMessage(), std::string("Error:") + kBordersTooTall);
  EXPECT_EQ(d.devices.opened.size(), 1u);
  EXPECT_TRUE(d.devices.jobs.empty());  // the job never started
}

TEST(PrintCommands, PrintFileWritesTheRangeAndMakesItThePrintRange) {
  Desk d;
  d.Rows(2);
  std::string name = (d.dir / "report").string();
  EXPECT_TRUE(d.Run("print.file", {name, "A1..A2"}));
  EXPECT_EQ(d.X().printRange, CellRange::Of(0, 0, 1, 0));
  std::ifstream f(name + ".prn", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "row1\r\nrow2\r\n");
  EXPECT_FALSE(d.Run("print.file", {(d.dir / "no" / "such.txt").string(), "A1..A2"}));
  EXPECT_NE(d.LastMessage().find("Cannot write"), std::string::npos);
  EXPECT_FALSE(d.Run("print.file", {"", "A1"}));
}

TEST(PrintStatus, PageLineAndGaugeAndAbort) {
  Desk d;
  d.Rows(120);
  std::vector<std::string> seen;
  bool wasOpen = false;
  d.print.status().shown = [&](bool open) { wasOpen |= open; };
  d.print.status().changed = [&] {
    seen.push_back(d.print.status().PageText() + " " + d.print.status().LineText() + " " +
                   std::to_string(d.print.status().percent()));
    if (d.print.status().percent() >= 50) d.print.status().Abort();
  };
  EXPECT_FALSE(d.Run("print.range", {"A1..A120"}));
  EXPECT_TRUE(wasOpen);
  EXPECT_FALSE(d.print.status().open());
  EXPECT_EQ(d.LastMessage(), std::string("Error:") + kPrintAborted);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), "Page: 1 Line: 0 0");
  EXPECT_EQ(seen[1], "Page: 1 Line: 1 0");
  EXPECT_EQ(seen.back(), "Page: 2 Line: 61 50");
  ASSERT_EQ(d.devices.jobs.size(), 1u);
  EXPECT_TRUE(d.devices.jobs[0].aborted);
  EXPECT_FALSE(d.devices.jobs[0].ended);
}

TEST(PrintDialog, ActivationTakesTheSelectionAndOkStoresEverySetting) {
  Desk d;
  d.Rows(10);
  PrintDialog& dlg = d.print.dialog();
  d.ws.active()->MoveCursor(0, 0);
  d.ws.active()->MoveCursor(4, 1, true);
  dlg.Activate();
  EXPECT_EQ(dlg.printers(), (std::vector<std::string>{"Laser", "Inkjet", kPdfPrinter}));
  EXPECT_EQ(dlg.what, PrintWhat::kSelected);
  EXPECT_EQ(dlg.rangeText, "A1..B5");
  EXPECT_EQ(dlg.AllText(), "A1..A10");
  EXPECT_EQ(dlg.ChosenRange(), CellRange::Of(0, 0, 4, 1));
  dlg.ChoosePrinter(2);
  EXPECT_EQ(d.O().printer, kPdfPrinter);
  dlg.ChoosePrinter(0);
  EXPECT_EQ(d.O().printer, "");
  dlg.what = PrintWhat::kGraph;
  EXPECT_FALSE(dlg.PreviewEnabled());
  EXPECT_FALSE(dlg.FileEnabled());
  EXPECT_EQ(dlg.GraphChoices().front(), "- Default -");

  dlg.ShowOptions();
  EXPECT_EQ(dlg.page(), 1);
  EXPECT_EQ(dlg.fields.top, "0.50");
  EXPECT_EQ(dlg.fields.scale, "100");
  dlg.fields.top = "1";
  dlg.fields.rows = "A1..A2";
  dlg.fields.header = "Page #";
  dlg.fields.footerLine = true;
  dlg.fields.landscape = true;
  for (auto [typed, stored] : {std::pair{"5", 10}, std::pair{"200", 150}, std::pair{"87", 87}}) {
    dlg.fields.scale = typed;
    EXPECT_TRUE(dlg.OptionsOk()) << typed;
    EXPECT_EQ(d.O().scale, stored) << typed;
  }
  EXPECT_EQ(dlg.page(), 0);
  EXPECT_EQ(d.X().margins[0], 1);
  EXPECT_EQ(d.X().titleRows, CellRange::Of(0, 0, 1, 0));
  EXPECT_FALSE(d.X().titleCols.IsDefined());
  EXPECT_EQ(d.X().printHeader, "Page #");
  EXPECT_TRUE(d.O().footerLine);
  EXPECT_TRUE(d.O().landscape);

  // A bad field refuses Ok and stores nothing.
  dlg.ShowOptions();
  dlg.fields.top = "2";
  dlg.fields.left = "-1";
  EXPECT_FALSE(dlg.OptionsOk());
  dlg.fields.left = "0.5";
  dlg.fields.cols = "not a range!";
  EXPECT_FALSE(dlg.OptionsOk());
  dlg.fields.cols = "";
  dlg.fields.scale = "big";
  EXPECT_FALSE(dlg.OptionsOk());
  EXPECT_EQ(dlg.page(), 1);
  EXPECT_EQ(d.X().margins[0], 1);
  dlg.OptionsCancel();
  EXPECT_EQ(dlg.page(), 0);
  EXPECT_EQ(d.X().margins[0], 1);

  auto info = dlg.PrinterInfo();
  ASSERT_EQ(info.size(), 3u);
  EXPECT_EQ(info[0], "Resolution: 96 x 96 dpi");
}

TEST(PrintDialog, PrintAndPrintToFileRunTheCommands) {
  Desk d;
  d.Rows(3);
  PrintDialog& dlg = d.print.dialog();
  dlg.Activate();
  EXPECT_EQ(dlg.what, PrintWhat::kAll);
  EXPECT_TRUE(dlg.Print());
  EXPECT_EQ(d.devices.jobs.size(), 1u);
  EXPECT_FALSE(d.X().printRange.IsDefined());
  dlg.what = PrintWhat::kSelected;
  dlg.rangeText = "A2..A3";
  EXPECT_TRUE(dlg.Print());
  EXPECT_EQ(d.X().printRange, CellRange::Of(1, 0, 2, 0));
  EXPECT_TRUE(dlg.PrintToFile((d.dir / "listing").string()));
  EXPECT_TRUE(fs::exists(d.dir / "listing.prn"));
  dlg.rangeText = "";  // no range: no file
  EXPECT_FALSE(dlg.PrintToFile((d.dir / "empty").string()));
  EXPECT_FALSE(fs::exists(d.dir / "empty.prn"));
  // The stored print range is offered the next time.
  d.ws.active()->MoveCursor(0, 0);
  dlg.Activate();
  EXPECT_EQ(dlg.rangeText, "A2..A3");
}

TEST(PrintPreview, PageCountPagesScaleAndFit) {
  Desk d;
  d.Rows(120);
  PrintPreview pv(d.print, CellRange::Of(0, 0, 119, 0));
  EXPECT_EQ(pv.pageCount(), 3);
  EXPECT_EQ(pv.page(), 1);
  EXPECT_TRUE(pv.SetPageText("3"));
  EXPECT_EQ(pv.page(), 3);
  EXPECT_FALSE(pv.SetPageText("4"));
  EXPECT_FALSE(pv.SetPageText("0"));
  EXPECT_FALSE(pv.SetPageText("two"));
  EXPECT_EQ(pv.page(), 3);

  EXPECT_TRUE(pv.SetScaleText("40"));  // 50 or less is not applied
  EXPECT_EQ(d.O().scale, 100);
  EXPECT_TRUE(pv.SetScaleText("60"));
  EXPECT_EQ(d.O().scale, 60);
  EXPECT_EQ(pv.pageCount(), 2);
  EXPECT_EQ(pv.page(), 2);  // kept within the new count

  ASSERT_TRUE(pv.SetPageText("1"));
  testing::RecordingCanvas canvas;
  pv.DrawPage(canvas);
  bool row1 = false;
  for (const auto& t : canvas.texts) row1 |= t.text == "row1";
  EXPECT_TRUE(row1);
  EXPECT_TRUE(pv.PrintCurrentPage());
  ASSERT_EQ(d.devices.jobs.size(), 1u);
  EXPECT_EQ(d.devices.jobs[0].pages.size(), 1u);

  // Thirteen columns are two bands at 100%; Fit finds the scale of one page.
  PrintPreview wide(d.print, CellRange::Of(0, 0, 49, 12));
  EXPECT_TRUE(wide.SetScaleText("100"));
  EXPECT_EQ(wide.pageCount(), 2);
  wide.Fit();
  EXPECT_EQ(d.O().scale, 87);
  EXPECT_EQ(wide.pageCount(), 1);
  EXPECT_EQ(wide.ScaleText(), "87");
}

TEST(PrintPreview, ThePictureKeepsLetterProportionsWithItsShadow) {
  Desk d;
  d.Rows(1);
  PrintPreview pv(d.print, CellRange::Of(0, 0, 0, 0));
  PreviewPicture p = pv.Picture(632, 632);
  EXPECT_EQ(p.page.height(), 600);
  EXPECT_EQ(p.page.width(), 463);  // 600 x 8.5 / 11
  EXPECT_EQ(p.inner.left, p.page.left + 4);
  EXPECT_EQ(p.inner.bottom, p.page.bottom - 4);
  EXPECT_EQ(p.shadowRight.left, p.page.right);
  EXPECT_EQ(p.shadowRight.width(), 6);
  EXPECT_EQ(p.shadowRight.top, p.page.top + 7);
  EXPECT_EQ(p.shadowBottom.left, p.page.left + 7);
  d.O().landscape = true;
  p = pv.Picture(632, 632);
  EXPECT_EQ(p.page.width(), 600);
  EXPECT_EQ(p.page.height(), 463);
  pv.ZoomIn();
  EXPECT_EQ(pv.Picture(632, 632).page.width(), 900);
  pv.ZoomOut();
  pv.ZoomOut();
  EXPECT_EQ(pv.zoom(), 100);

  PrintPreview empty(d.print, CellRange{});
  EXPECT_EQ(empty.pageCount(), 0);
  EXPECT_EQ(empty.error(), kNothingToPrint);
  EXPECT_FALSE(empty.PrintCurrentPage());
}

TEST(PrintSettings, StoredRangesFollowInsertionsAndTravelWithTheFile) {
  Desk d;
  d.Rows(5);
  d.X().printRange = CellRange::Of(1, 0, 4, 0);
  d.X().titleRows = CellRange::Of(0, 0, 0, 2);
  d.X().titleCols = CellRange::Of(0, 0, 9, 0);
  InsertRows(d.Doc(), 0, 2);
  EXPECT_EQ(d.X().printRange, CellRange::Of(3, 0, 6, 0));
  EXPECT_EQ(d.X().titleRows, CellRange::Of(2, 0, 2, 2));
  DeleteRows(d.Doc(), 4, 1);
  EXPECT_EQ(d.X().printRange, CellRange::Of(3, 0, 5, 0));

  d.X().printHeader = "Page #|@";
  d.X().printFooter = "^F";
  d.X().margins = {1.25, 0.75, 0.5, 2, 0.3, 0.4};
  std::string file = (d.dir / "SETTINGS.WKS").string();
  ASSERT_TRUE(SaveWorksheet(d.Doc(), file));
  SheetDocument* back = d.session.NewDocument();
  ASSERT_TRUE(LoadWorksheet(*back, file, 0).ok);
  const WorksheetExtras& x = back->extras();
  EXPECT_EQ(x.printRange, d.X().printRange);
  EXPECT_EQ(x.titleRows, d.X().titleRows);
  EXPECT_EQ(x.titleCols, d.X().titleCols);
  EXPECT_EQ(x.printHeader, "Page #|@");
  EXPECT_EQ(x.printFooter, "^F");
  EXPECT_EQ(x.margins, d.X().margins);
  d.session.Release(*back);
}

TEST(PrintSettings, FrameMonoAndOrientationComeFromTheConfigurationAndGoBack) {
  ConfigSettings cfg = DefaultConfig("", "TBL");
  ParseSettings("PMONO=FALSE\nPFRAME=TRUE\nPORIENT=1\n", cfg);
  ProgramSettings program;
  ApplyConfig(cfg, program);
  EXPECT_FALSE(program.print.mono);
  EXPECT_TRUE(program.print.frame);
  EXPECT_TRUE(program.print.landscape);
  program.print.mono = true;
  program.print.landscape = false;
  CaptureConfig(program, cfg);
  EXPECT_TRUE(cfg.printMono);
  EXPECT_EQ(cfg.orientation, 0);
  EXPECT_NE(SettingsText(cfg).find("PMONO=TRUE"), std::string::npos);
}

}  // namespace
}  // namespace tabulon
