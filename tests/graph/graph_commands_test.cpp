#include "graph/graph_commands.h"

#include <gtest/gtest.h>

#include "sheet/graph_settings.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

struct Sheet : TestSheet {
  GraphSettings& g() { return doc->extras().graphs.current; }
  GraphBook& book() { return doc->extras().graphs; }
};

TEST(GraphCommands, SeriesLabelsLegendsAndHeadings) {
  Sheet t;
  ASSERT_TRUE(t.doc->names().DefineName("SALES", CellRange::Of(1, 1, 9, 1)));
  EXPECT_TRUE(GraphSeriesCommand(*t.doc, 0, "A2..A10"));
  EXPECT_TRUE(GraphSeriesCommand(*t.doc, 6, "sales"));
  EXPECT_TRUE(GraphSeriesCommand(*t.doc, 7, "C1"));  // ignored
  EXPECT_EQ(t.g().x, CellRange::Of(1, 0, 9, 0));
  EXPECT_EQ(t.g().series[5], CellRange::Of(1, 1, 9, 1));
  GraphSettings before = t.g();
  EXPECT_FALSE(GraphSeriesCommand(*t.doc, 1, "A1..!!"));
  EXPECT_TRUE(t.session.errors().failed());
  EXPECT_EQ(t.g(), before);

  EXPECT_TRUE(GraphLabelCommand(*t.doc, 2, "D2..D10", 4));
  EXPECT_EQ(t.g().labels[1], CellRange::Of(1, 3, 9, 3));
  EXPECT_EQ(t.g().labelPlace[1], 4);
  EXPECT_TRUE(GraphLabelCommand(*t.doc, 2, "D2", 9));
  EXPECT_EQ(t.g().labelPlace[1], 4) << "a location outside 1..5 is not taken";

  GraphLegendCommand(*t.doc, 1, std::string(25, 'x'), 7);
  EXPECT_EQ(t.g().Legend(0), std::string(19, 'x'));
  GraphHeadingCommand(*t.doc, 3, std::string(45, 'y'));
  EXPECT_EQ(t.g().Heading(kYTitle), std::string(39, 'y'));
  GraphHeadingCommand(*t.doc, 4, "ignored");
  EXPECT_EQ(t.g().Heading(kMainHeading), "");
}

TEST(GraphCommands, TypeLetters) {
  Sheet t;
  GraphTypeCommand(*t.doc, 2, "c");
  EXPECT_EQ(t.g().Type(), GraphType::Contour);
  GraphTypeCommand(*t.doc, 2, "Radar");
  EXPECT_EQ(t.g().Type(), GraphType::Radar);
  GraphTypeCommand(*t.doc, 3, "T");
  EXPECT_EQ(t.g().Type(), GraphType::StackedBar3D);
  GraphTypeCommand(*t.doc, 0, "W");
  EXPECT_EQ(t.g().Type(), GraphType::Wall);
  GraphTypeCommand(*t.doc, 2, "W");  // not a 2D letter
  GraphTypeCommand(*t.doc, 3, "");
  EXPECT_EQ(t.g().Type(), GraphType::Wall);
}

TEST(GraphCommands, ScaleItems) {
  Sheet t;
  GraphScaleCommand(*t.doc, 1, "M, L-2.5,U1E3,K10,D2,E,FP2");
  const GraphAxis& y = t.g().axes[1];
  EXPECT_EQ(y.manual, 1);
  EXPECT_EQ(y.low, -2.5);
  EXPECT_EQ(y.high, 1000);
  EXPECT_EQ(y.step, 10);
  EXPECT_EQ(y.minor, 2);
  EXPECT_TRUE(t.g().LogY());
  EXPECT_EQ(y.format, 48 + 2);
  // Unreadable items are skipped; the others still apply.
  GraphScaleCommand(*t.doc, 1, "Lx,U,K999,FQ,A,N");
  EXPECT_EQ(y.low, -2.5);
  EXPECT_EQ(y.high, 1000);
  EXPECT_EQ(y.step, 10);
  EXPECT_EQ(y.format, 50);
  EXPECT_EQ(y.manual, 0);
  EXPECT_FALSE(t.g().LogY());
  GraphScaleCommand(*t.doc, 2, "M");  // only axes 0 and 1
  EXPECT_EQ(t.g().axes[0].manual, 0);
  GraphScaleCommand(*t.doc, 0, "E");
  EXPECT_TRUE(t.g().LogX());
}

TEST(GraphCommands, OptionsForASeriesAndForTheGraph) {
  Sheet t;
  GraphOptionsCommand(*t.doc, 3, "F12,B3,O1,H7,M0,S2,T3");
  EXPECT_EQ(t.g().foreColour[2], 12);
  EXPECT_EQ(t.g().backColour[2], 3);
  EXPECT_EQ(t.g().display[2], 1);
  EXPECT_EQ(t.g().hatch[2], 8) << "counted from 0";
  EXPECT_EQ(t.g().marker[2], 1);
  EXPECT_EQ(t.g().lineStyle[2], 3);
  EXPECT_EQ(t.g().thickness[2], 4);
  GraphOptionsCommand(*t.doc, 0, "GV,S,I4,O5");
  EXPECT_EQ(t.g().Grid(), 2);
  EXPECT_TRUE(t.g().GridSolid());
  EXPECT_EQ(t.g().insideColour, 4);
  EXPECT_EQ(t.g().outsideColour, 5);
  GraphOptionsCommand(*t.doc, 9, "GB,D");
  EXPECT_EQ(t.g().Grid(), 3);
  EXPECT_FALSE(t.g().GridSolid());
}

TEST(GraphCommands, Fonts) {
  Sheet t;
  GraphFontCommand(*t.doc, 6, "Times New Roman Extra,14,BIU,12");
  EXPECT_EQ(t.g().FontFace(kLegendText), "Times New Ro");
  EXPECT_EQ(t.g().fontSize[kLegendText], 14);
  EXPECT_EQ(t.g().fontStyle[kLegendText], 7);
  EXPECT_EQ(t.g().textColour[kLegendText], 12);
  GraphFontCommand(*t.doc, 6, "Courier,0");
  EXPECT_EQ(t.g().fontSize[kLegendText], 14) << "size 0 is not taken";
  EXPECT_EQ(t.g().fontStyle[kLegendText], 0);
  GraphFontCommand(*t.doc, 7, "Ignored,9");
  EXPECT_EQ(t.g().fontSize[kMainHeading], 24);
}

TEST(GraphCommands, NamesShowTheLimitAsAnError) {
  Sheet t;
  GraphHeadingCommand(*t.doc, 0, "first");
  EXPECT_TRUE(GraphNameCommand(*t.doc, 0, "one"));
  ASSERT_EQ(t.book().named.size(), 1u);
  EXPECT_EQ(t.book().named[0].name(), "ONE");
  GraphHeadingCommand(*t.doc, 0, "changed");
  GraphNameCommand(*t.doc, 1, "One");
  EXPECT_EQ(t.g().Heading(kMainHeading), "first");
  for (int i = 2; i <= 10; ++i) EXPECT_TRUE(GraphNameCommand(*t.doc, 0, "g" + std::to_string(i)));
  Status full = GraphNameCommand(*t.doc, 0, "eleven");
  EXPECT_FALSE(full);
  EXPECT_EQ(full.message(), "Named Graphs>10");
  EXPECT_EQ(t.book().named.size(), 10u);
  GraphNameCommand(*t.doc, 2, "G5");
  EXPECT_EQ(t.book().named.size(), 9u);
  EXPECT_EQ(t.book().named[4].name(), "G6");
}

TEST(GraphCommands, QuickGraphFromASelection) {
  Sheet t;
  GraphHeadingCommand(*t.doc, 0, "old");
  ASSERT_TRUE(QuickGraph(*t.doc, CellRange::Of(4, 2, 1, 4)));  // C5..E2, corners reversed
  EXPECT_EQ(t.g().x, CellRange::Of(1, 2, 4, 2));
  EXPECT_EQ(t.g().series[0], CellRange::Of(1, 3, 4, 3));
  EXPECT_EQ(t.g().series[1], CellRange::Of(1, 4, 4, 4));
  EXPECT_FALSE(t.g().series[2].IsDefined());
  EXPECT_EQ(t.g().Heading(kMainHeading), "") << "the record was reset";
  ASSERT_EQ(t.book().named.size(), 1u);
  EXPECT_EQ(t.book().named[0].name(), "GRAPH1");

  // Up to six series from a wide selection.
  ASSERT_TRUE(QuickGraph(*t.doc, CellRange::Of(0, 0, 1, 20)));
  EXPECT_EQ(t.g().series[5], CellRange::Of(0, 6, 1, 6));
  EXPECT_EQ(t.book().named[1].name(), "GRAPH2");

  // Too small: a beep and nothing else.
  GraphSettings before = t.g();
  Status small = QuickGraph(*t.doc, CellRange::Of(0, 0, 9, 0));
  EXPECT_FALSE(small);
  EXPECT_EQ(small.message(), "");
  EXPECT_EQ(t.g(), before);

  while (t.book().named.size() < 10) t.book().CreateAutomatic();
  before = t.g();
  Status full = QuickGraph(*t.doc, CellRange::Of(0, 0, 5, 5));
  EXPECT_FALSE(full);
  EXPECT_EQ(full.message(), "Max Graphs Exceeded");
  EXPECT_EQ(t.g(), before);

  ResetGraph(*t.doc);
  EXPECT_EQ(t.g(), GraphSettings());
}

TEST(GraphCommands, CommandText) {
  Sheet t;
  std::string message;
  EXPECT_TRUE(RunGraphCommandText(*t.doc, "{GRAPHSERIES 0,A1..A4}", message));
  EXPECT_EQ(t.g().x, CellRange::Of(0, 0, 3, 0));
  EXPECT_TRUE(RunGraphCommandText(*t.doc, " {graphheading 0 \"Sales, by month\"} ", message));
  EXPECT_EQ(t.g().Heading(kMainHeading), "Sales, by month");
  EXPECT_TRUE(RunGraphCommandText(*t.doc, "{GRAPHSCALE 1 M,L0,U50}", message));
  EXPECT_EQ(t.g().axes[1].high, 50);
  EXPECT_TRUE(RunGraphCommandText(*t.doc, "{GRAPHFONT 0 \"Courier,30,B,4\"}", message));
  EXPECT_EQ(t.g().fontSize[0], 30);

  EXPECT_FALSE(RunGraphCommandText(*t.doc, "{GRAPHTYPE}", message));
  EXPECT_FALSE(message.empty());
  EXPECT_FALSE(RunGraphCommandText(*t.doc, "{BEEP 1}", message));
  EXPECT_FALSE(RunGraphCommandText(*t.doc, "{GRAPHHEADING 0 \"open}", message));
  EXPECT_FALSE(RunGraphCommandText(*t.doc, "GRAPHTYPE 2 B", message));
  EXPECT_FALSE(RunGraphCommandText(*t.doc, "{GRAPHSERIES 1 A1..B}", message));
  EXPECT_EQ(message, "not a range: A1..B");
}

}  // namespace
}  // namespace tabulon
