#include "print/print_commands.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "base/limits.h"
#include "base/text.h"
#include "print/audit_print.h"
#include "print/print_dialog.h"
#include "print/print_file.h"
#include "print/print_service.h"
#include "graph/graph_image.h"
#include "print/print_settings.h"
#include "sheet/print_options.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

SheetDocument& Doc(Workspace& ws) { return ws.active()->document(); }

int ReadInt(const std::string& text, int fallback = 0) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return fallback;
  return static_cast<int>(std::lround(std::clamp(v, -2e9, 2e9)));
}

Command Item(std::string id, std::string menu, std::string caption, std::string hint,
             char family, char letter,
             std::function<Status(Workspace&, const CommandArgs&)> run) {
  Command c = MakeCommand(std::move(id), std::move(menu), std::move(caption), std::move(hint),
                          kNeedsSheet, std::move(run));
  c.family = family;
  c.letter = letter;
  return c;
}

void Modified(Workspace& ws) { Doc(ws).settings().modified = true; }

}  // namespace

PrintService& RegisterPrintCommands(Workspace& ws, PrintDevices* devices) {
  auto service = std::make_shared<PrintService>(ws, devices);
  CommandTable& t = ws.commands();

  // File > Print... stands after Close.
  Command& print = t.AddAfter("file.close", Item("file.print", "&File", "&Print...",
                                                 "Print Worksheet/Graphs", 0, 0, nullptr));
  print.flags |= kCancelsEntry;
  print.invoke = [service](Workspace& w) {
    service->dialog().Activate();
    w.view().ShowDialog(DialogKind::kPrint, 0);
  };

  t.Add(Item("print.all", "", "", "", 'p', 'a', [service](Workspace& w, const CommandArgs&) {
    CellRange all = UsedArea(Doc(w));
    if (!all.IsDefined()) return Status::Error(kNothingToPrint);
    return service->PrintRange(all);
  }));
  t.Add(Item("print.range", "", "", "", 'p', 'r',
             [service](Workspace& w, const CommandArgs& a) {
               CellRange r = w.Location(a[0]);
               if (!r.IsDefined()) return Status::Beep();
               Doc(w).extras().printRange = r;
               Modified(w);
               return service->PrintRange(r);
             }));
  t.Add(Item("print.file", "", "", "", 'p', 'n', [](Workspace& w, const CommandArgs& a) {
    if (a[0].empty()) return Status::Beep();
    CellRange r = w.Location(a[1]);
    if (!r.IsDefined()) return Status::Beep();
    Doc(w).extras().printRange = r;
    Modified(w);
    std::string error = WritePrintFile(Doc(w), r, PrintFileName(a[0]));
    return error.empty() ? Status::Ok() : Status::Error(error);
  }));
  t.Add(Item("print.border", "", "", "", 'p', 'b', [](Workspace& w, const CommandArgs& a) {
    int kind = ReadInt(a[0], -1);
    if (kind != 0 && kind != 1) return Status::Ok();
    CellRange r = w.Location(a[1]);
    if (!r.IsDefined()) return Status::Beep();
    (kind == 1 ? Doc(w).extras().titleRows : Doc(w).extras().titleCols) = r;
    Modified(w);
    return Status::Ok();
  }));
  for (auto [id, letter] : {std::pair{"print.foot", 'f'}, std::pair{"print.head", 'h'}}) {
    bool header = letter == 'h';
    t.Add(Item(id, "", "", "", 'p', letter, [header](Workspace& w, const CommandArgs& a) {
      // The second argument is read and not used.
      (header ? Doc(w).extras().printHeader : Doc(w).extras().printFooter) =
          a[0].substr(0, kMaxText);
      Modified(w);
      return Status::Ok();
    }));
  }
  t.Add(Item("print.margin", "", "", "", 'p', 'm', [](Workspace& w, const CommandArgs& a) {
    std::string error;
    if (!ApplyMarginItems(a[0], Doc(w).extras(), error)) return Status::Error(error);
    Modified(w);
    return Status::Ok();
  }));
  t.Add(Item("print.option", "", "", "", 'p', 'o',
             [service](Workspace&, const CommandArgs& a) {
               std::string error;
               if (!ApplyOptionItems(a[0], service->options(), error))
                 return Status::Error(error);
               return Status::Ok();
             }));
  t.Add(Item("print.graph", "", "", "", 'p', 'g',
             [service](Workspace& w, const CommandArgs& a) {
               // The current graph for an empty name; a named graph that
               // does not exist prints nothing.
               int named = -1;
               if (!a[0].empty()) {
                 named = FindNamedGraph(Doc(w), a[0]);
                 if (named < 0) return Status::Beep();
               }
               return service->PrintGraph(named);
             }));

  RegisterAuditPrintCommands(ws, service);

  // The quick bar's "Print Worksheet" stands after "Speed @SUM".
  std::vector<CommandButton>& bar = ws.quickBar();
  auto at = std::find_if(bar.begin(), bar.end(),
                         [](const CommandButton& b) { return b.command == "quick.sum"; });
  bar.insert(at == bar.end() ? at : at + 1, {"file.print", "Print", "Print Worksheet"});
  return *service;
}

}  // namespace tabulon
