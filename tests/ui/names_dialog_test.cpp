// Range > Name ...: creating, choosing, deleting and resetting names through
// the dialog model, Build and Table asking for their range on the input
// line, and the refusals that leave the table as it was.
#include <gtest/gtest.h>

#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/names_dialog.h"
#include "ui/workspace.h"

namespace tabulon {
namespace {

struct NamesDesk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  NamesDialog dialog{ws};
  NamesDesk() { ws.NewSheet(); }
  SheetDocument& Doc() { return ws.active()->document(); }
  void Answer(std::string_view range) {
    ws.TypeText(range);
    ws.HandleKey(Key::Enter);
  }
};

TEST(NamesDialog, CreateChooseDeleteAndReset) {
  NamesDesk d;
  d.ws.active()->MoveCursor(1, 1);
  d.ws.active()->MoveCursor(3, 2, true);
  d.dialog.Activate();
  EXPECT_EQ(d.dialog.range, "B2..C4") << "the selection is proposed";
  d.dialog.name = "sales";
  EXPECT_TRUE(d.dialog.Create());
  d.dialog.name = "ALPHA";
  d.dialog.range = "A1";
  EXPECT_TRUE(d.dialog.Create());
  ASSERT_EQ(d.dialog.list().size(), 2u);
  EXPECT_EQ(d.dialog.TotalText(), "Total: 2");
  EXPECT_EQ(d.dialog.list()[0].substr(0, 5), "ALPHA") << "sorted by name";
  EXPECT_NE(d.dialog.list()[1].find("B2..C4"), std::string::npos);

  // Refusals: no name, an unreadable range, deleting what is not there.
  d.dialog.name = "";
  d.dialog.range = "A1";
  EXPECT_FALSE(d.dialog.Create());
  d.dialog.name = "BAD";
  d.dialog.range = "A1..Q";
  EXPECT_FALSE(d.dialog.Create());
  d.dialog.name = "NOPE";
  EXPECT_FALSE(d.dialog.Delete());
  EXPECT_EQ(d.Doc().names().count(), 2);

  d.dialog.Choose(1);
  EXPECT_EQ(d.dialog.name, "SALES");
  EXPECT_EQ(d.dialog.range, "B2..C4");
  EXPECT_TRUE(d.dialog.Delete());
  EXPECT_TRUE(d.dialog.name.empty());
  EXPECT_EQ(d.Doc().names().count(), 1);

  d.host.okAnswers = {false, true};
  EXPECT_FALSE(d.dialog.Reset()) << "Cancel keeps the names";
  EXPECT_EQ(d.Doc().names().count(), 1);
  EXPECT_TRUE(d.dialog.Reset());
  EXPECT_EQ(d.Doc().names().count(), 0);
  EXPECT_EQ(d.dialog.TotalText(), "Total: 0");
}

TEST(NamesDialog, BuildAndTableAskForTheirRange) {
  NamesDesk d;
  EnterCell(d.Doc(), "'first", 0, 0);
  EnterCell(d.Doc(), "'C1..C3", 0, 1);
  EnterCell(d.Doc(), "'second", 1, 0);
  EnterCell(d.Doc(), "'D5", 1, 1);
  d.dialog.Build();
  EXPECT_TRUE(d.ws.input().promptOpen());
  d.Answer("A1..A2");
  ASSERT_NE(d.Doc().names().Lookup("FIRST"), nullptr);
  EXPECT_EQ(*d.Doc().names().Lookup("SECOND"), CellRange::Cell(4, 3));

  d.dialog.Table();
  d.Answer("F1");
  EXPECT_EQ(CellEditText(d.Doc(), d.Doc().cells().FindCell(0, 5)), "'FIRST");
  EXPECT_EQ(CellEditText(d.Doc(), d.Doc().cells().FindCell(0, 6)), "'C1..C3");
  EXPECT_EQ(CellEditText(d.Doc(), d.Doc().cells().FindCell(1, 6)), "'D5");
}

}  // namespace
}  // namespace tabulon
