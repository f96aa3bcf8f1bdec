#include "datatools/data_commands.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "datatools/array_commands.h"
#include "datatools/bin.h"
#include "datatools/data_dialog.h"
#include "datatools/fill.h"
#include "datatools/parse.h"
#include "datatools/query.h"
#include "datatools/regression.h"
#include "datatools/sort.h"
#include "datatools/what_if.h"
#include "platform/host.h"
#include "ui/width_dialog.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr unsigned kChanges = kNeedsSheet | kTakesSnapshot | kCancelsEntry;

SheetDocument& Doc(Workspace& ws) { return ws.active()->document(); }

Status Failed(Workspace& ws) {
  const std::string& m = ws.session().errors().message();
  return m.empty() ? Status::Beep() : Status::Error(m);
}

Status Result(Workspace& ws, bool ok) { return ok ? Status::Ok() : Failed(ws); }

// A location argument: the whole range it names, the cell pointer when
// empty; false when the text names no range.
bool ReadRange(Workspace& ws, const std::string& text, CellRange& range) {
  range = ws.Location(text);
  return range.IsDefined();
}

// An optional location: empty text leaves it undefined.
bool ReadOptionalRange(Workspace& ws, const std::string& text, CellRange& range) {
  if (text.empty()) {
    range.SetUndefined();
    return true;
  }
  return ReadRange(ws, text, range);
}

std::optional<int> ReadInt(const std::string& text) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v) || std::fabs(v) > 2e9) return std::nullopt;
  return static_cast<int>(std::lround(v));
}

Status Fill(Workspace& ws, const CommandArgs& a) {
  FillSpec spec;
  std::optional<double> start = EvaluateNumberField(Doc(ws), a[1]);
  std::optional<double> step = EvaluateNumberField(Doc(ws), a[2]);
  std::optional<int> type = ReadInt(a[3]);
  if (!ReadRange(ws, a[0], spec.output) || !start || !step || !type || *type < 1 || *type > 3)
    return Status::Beep();
  spec.start = *start;
  spec.step = *step;
  spec.type = static_cast<FillType>(*type);
  spec.order = ReadInt(a[4]).value_or(0) == 1 ? FillOrder::kRow : FillOrder::kColumn;
  return Result(ws, FillRange(Doc(ws), spec));
}

Status Sort(Workspace& ws, const CommandArgs& a) {
  SortSpec spec;
  if (!ReadRange(ws, a[0], spec.data) || !ReadRange(ws, a[1], spec.keys[0])) return Status::Beep();
  for (int k = 1; k < 4; ++k)
    if (!ReadOptionalRange(ws, a[1 + 2 * k], spec.keys[k])) return Status::Beep();
  for (int k = 0; k < 4; ++k) spec.ascending[k] = ReadInt(a[2 + 2 * k]).value_or(0) == 1;
  WorksheetExtras& x = Doc(ws).extras();
  x.sortData = spec.data;
  x.sortKeys = spec.keys;
  x.sortAscending = spec.ascending;
  return Result(ws, SortRows(Doc(ws), spec));
}

// The sort buttons: the selection by its first column, in one direction,
// with keys 2-4 as stored; key 1's stored direction stays.
Status SortSelection(Workspace& ws, bool ascending) {
  SheetWindow& w = *ws.active();
  WorksheetExtras& x = Doc(ws).extras();
  CellRange sel = w.SelectionRange();
  x.sortData = sel;
  x.sortKeys[0] = CellRange::Cell(sel.Top(), sel.Left());
  SortSpec spec;
  spec.data = x.sortData;
  spec.keys = x.sortKeys;
  spec.ascending = x.sortAscending;
  spec.ascending[0] = ascending;
  // Keys of another table do not apply to this one.
  for (int k = 1; k < 4; ++k)
    if (spec.keys[k].IsDefined() && !sel.Contains(sel.Top(), spec.keys[k].firstCol))
      spec.keys[k].SetUndefined();
  return Result(ws, SortRows(Doc(ws), spec));
}

Status Query(Workspace& ws, const CommandArgs& a) {
  QuerySpec q;
  if (!ReadRange(ws, a[0], q.input) || !ReadRange(ws, a[1], q.criteria) ||
      !ReadRange(ws, a[2], q.output))
    return Status::Beep();
  WorksheetExtras& x = Doc(ws).extras();
  x.queryInput = q.input;
  x.queryCriteria = q.criteria;
  x.queryOutput = q.output;
  return Result(ws, ExtractRecords(Doc(ws), q));
}

Status Bin(Workspace& ws, const CommandArgs& a) {
  CellRange values, bins;
  if (!ReadRange(ws, a[0], values) || !ReadRange(ws, a[1], bins)) return Status::Beep();
  return Result(ws, BinValues(Doc(ws), values, bins, ws.session().settings().binLowerClosed));
}

Status Parse(Workspace& ws, const CommandArgs& a) {
  CellRange input;
  if (!ReadRange(ws, a[0], input)) return Status::Beep();
  return Result(ws, ParseLabels(Doc(ws), input));
}

Status Goal(Workspace& ws, const CommandArgs& a) {
  CellRange input, output;
  if (!ReadRange(ws, a[0], input) || !ReadRange(ws, a[1], output)) return Status::Beep();
  // An empty desire or tolerance takes the dialog's starting values.
  std::optional<double> desired =
      a[2].empty() ? std::optional<double>(0) : EvaluateNumberField(Doc(ws), a[2]);
  std::optional<double> tolerance =
      a[3].empty() ? std::optional<double>(0.000001) : EvaluateNumberField(Doc(ws), a[3]);
  if (!desired || !tolerance) return Status::Error("Desire and tolerance must be numbers");
  ws.input().SetBusy(true);  // the mode panel reads " WAIT! " while it works
  ws.view().EntryChanged();
  GoalOutcome outcome = GoalSeek(Doc(ws), input, output, *desired, *tolerance);
  ws.input().SetBusy(false);
  ws.view().EntryChanged();
  if (outcome == GoalOutcome::kRefused) return Failed(ws);
  // Done or not, the end is told by a beep; a failure shows +@ERR in the cell.
  ws.host().Beep();
  return Status::Ok();
}

Status Regress(Workspace& ws, const CommandArgs& a) {
  CellRange x, y, output;
  if (!ReadRange(ws, a[0], x) || !ReadRange(ws, a[1], y) || !ReadRange(ws, a[2], output))
    return Status::Beep();
  return Result(ws, LinearRegression(Doc(ws), x, y, output));
}

Status MultiRegress(Workspace& ws, const CommandArgs& a) {
  CellRange x, y, output;
  if (!ReadRange(ws, a[0], x) || !ReadRange(ws, a[1], y) || !ReadRange(ws, a[2], output))
    return Status::Beep();
  std::optional<TermGrid> terms = ParseTermOptions(a[3]);
  if (!terms) return Status::Error("Terms must read like A01,B1 (A-C, then rows 0-8)");
  WorksheetExtras& extras = Doc(ws).extras();
  extras.regressionX = x;
  extras.regressionY = y;
  for (std::size_t i = 0; i < terms->size(); ++i)
    extras.regressionCodes[i] = static_cast<std::uint8_t>((*terms)[i] & 7u);
  return Result(ws, MultipleRegression(Doc(ws), x, y, output, *terms));
}

Status Table(Workspace& ws, const CommandArgs& a) {
  CellRange input1, input2, output;
  // An empty second input makes a one-input table.
  if (!ReadRange(ws, a[0], input1) || !ReadOptionalRange(ws, a[1], input2) ||
      !ReadRange(ws, a[2], output))
    return Status::Beep();
  WorksheetExtras& x = Doc(ws).extras();
  x.whatIfKind = input2.IsDefined() ? 2 : 1;
  x.whatIfInput1 = input1;
  x.whatIfInput2 = input2;
  x.whatIfTable = output;
  return Result(ws, WhatIfTable(Doc(ws), input1, input2, output));
}

// The table commands by pointing: the input cells, then the output range.
void PointTable(Workspace& w, bool two) {
  auto text = [&w](const CellRange& r) {
    return RangeText(r, w.active()->document().settings().pageHeight);
  };
  auto output = [&w, text](std::string first, std::string second) {
    w.AskRange("Output Range", [&w, text, first, second](const CellRange& out) {
      if (!out.IsDefined()) return w.host().Beep();
      w.Execute("data.table", {first, second, text(out)});
    });
  };
  w.AskRange(two ? "TABLE 2: Specify FIRST Input Cell" : "TABLE 1: Specify Input Cell",
             [&w, two, text, output](const CellRange& in1) {
               if (!in1.IsDefined()) return w.host().Beep();
               if (!two) return output(text(in1), "");
               std::string first = text(in1);
               w.AskRange("Specify SECOND Cell", [&w, text, output, first](const CellRange& in2) {
                 if (!in2.IsDefined()) return w.host().Beep();
                 output(first, text(in2));
               });
             });
}

Status SpeedFillCommand(Workspace& ws, const CommandArgs& a) {
  CellRange sel = ws.active()->SelectionRange();
  if (a.size() != 0 && !ReadRange(ws, a[0], sel)) return Status::Beep();
  return Result(ws, SpeedFill(Doc(ws), sel));
}

Command Item(std::string id, DataPage page, std::string caption, std::string hint, unsigned flags,
             std::function<Status(Workspace&, const CommandArgs&)> run) {
  Command c;
  c.id = std::move(id);
  c.menu = "&Data";
  c.caption = std::move(caption);
  c.hint = std::move(hint);
  c.flags = flags;
  c.run = std::move(run);
  int p = static_cast<int>(page);
  c.invoke = [p](Workspace& w) { w.view().ShowDialog(DialogKind::kData, p); };
  return c;
}

}  // namespace

void RegisterDataCommands(Workspace& ws) {
  CommandTable& t = ws.commands();
  struct MenuItem {
    const char* id;
    DataPage page;
    const char* caption;
    const char* hint;
    char letter;  // macro command letter of the Data family, 0: none here
    Status (*run)(Workspace&, const CommandArgs&);
  };
  const MenuItem items[] = {
      {"data.fill", DataPage::kFill, "&Fill", "Fill: Linear,Mult,Exp", 'f', Fill},
      {"data.sort", DataPage::kSort, "&Sort", "Sort Primary,Secondary", 's', Sort},
      {"data.query", DataPage::kQuestion, "&Query", "Query: Database  Extract", 'q', Query},
      {"data.bin", DataPage::kBin, "&Bin", "Bin: Count, Frequency", 'b', Bin},
      {"data.parse", DataPage::kParse, "&Parse", "Parse text into adjacent cells", 'p', Parse},
      {"data.goal", DataPage::kGoal, "&GoalSeek", "GoalSeek: Input,Output,Desire,Tolerance", 'g',
       Goal},
      {"data.regress", DataPage::kRegress, "&Regress", "Linear Regression y=mx+b", 'r', Regress},
      {"data.multiregress", DataPage::kMultiRegress, "&MultiRegress",
       "Multivariable Regression x^1,x^2... ", 'm', MultiRegress},
      {"data.table", DataPage::kTable, "&Table", "Table: Input 1 {Input 2}, Output", 't', Table},
      {"data.form", DataPage::kForm, "F&orm", "", 0, nullptr},
  };
  for (const MenuItem& m : items) {
    Command& c = t.Add(Item(m.id, m.page, m.caption, m.hint,
                            m.run != nullptr ? kChanges : kNeedsSheet, m.run));
    if (m.letter != 0) {
      c.family = 'd';
      c.letter = m.letter;
    }
  }

  auto add = [&](const char* id, const char* hint, unsigned flags,
                 std::function<Status(Workspace&, const CommandArgs&)> run) -> Command& {
    Command c;
    c.id = id;
    c.hint = hint;
    c.flags = flags;
    c.run = std::move(run);
    return t.Add(std::move(c));
  };
  // The Array menu follows the Data menu.
  RegisterArrayCommands(ws);

  add("quick.fill", "Speed Fill", kChanges, SpeedFillCommand);
  add("data.sort.ascend", "Ascend/Descend Sort", kChanges,
      [](Workspace& w, const CommandArgs&) { return SortSelection(w, true); });
  add("data.sort.descend", "Ascend/Descend Sort", kChanges,
      [](Workspace& w, const CommandArgs&) { return SortSelection(w, false); });
  add("data.table1.point", "Table: Input 1 {Input 2}, Output", kNeedsSheet, nullptr).invoke =
      [](Workspace& w) { PointTable(w, false); };
  add("data.table2.point", "Table: Input 1 {Input 2}, Output", kNeedsSheet, nullptr).invoke =
      [](Workspace& w) { PointTable(w, true); };
  Command& point = add("data.bin.point", "Bin: Count, Frequency", kNeedsSheet, nullptr);
  point.invoke = [](Workspace& w) {
    w.AskRange("BIN: Enter Analysis Range", [&w](const CellRange& values) {
      if (!values.IsDefined()) return w.host().Beep();
      std::string valuesText = RangeText(values, w.active()->document().settings().pageHeight);
      w.AskRange("Enter Bin Range", [&w, valuesText](const CellRange& bins) {
        if (!bins.IsDefined()) return w.host().Beep();
        w.Execute("data.bin",
                  {valuesText, RangeText(bins, w.active()->document().settings().pageHeight)});
      });
    });
  };
}

}  // namespace tabulon
