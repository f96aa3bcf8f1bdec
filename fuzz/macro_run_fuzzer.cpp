// Runs arbitrary macro text headless, each input in a fresh workspace with
// a few cells, names and a second macro line to jump into: nothing may
// crash, every run must end (a deadline stops loops), and the sheet must
// stay consistent. Texts that name the file commands are left out: a
// fuzzer must not write, empty or remove files on the machine it runs on.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "edit/cell_entry.h"
#include "edit/name_commands.h"
#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string upper = tabulon::UpperCase(text);
  for (const char* word : {"OPEN", "APPEND", "DIR", "FILE", "WRITE", "CLOSE", "PLAYWAVE",
                           "BREAKON", "DELAY"})
    if (upper.find(word) != std::string::npos) return 0;

  tabulon::HeadlessHost host;
  tabulon::Session session(host);
  tabulon::Workspace ws(session);
  tabulon::MacroInterpreter macros(ws);
  tabulon::RegisterMacroCommands(ws, macros);
  ws.NewSheet();
  tabulon::SheetDocument& doc = ws.active()->document();
  tabulon::EnterCell(doc, "3", 0, 0);
  tabulon::EnterCell(doc, "+A1*2", 1, 0);
  tabulon::EnterCell(doc, "'{LET C1 C1+1}{RETURN}", 0, 7);
  tabulon::CreateName(doc, "SUB", "H1");
  tabulon::CreateName(doc, "DATA", "A1..A2");
  // Answers for the prompts that the input may reach.
  host.inputs = {std::string("7"), std::string("x")};
  host.keys = {std::string("y")};
  host.menuChoices = {0};
  macros.SetDeadline(host.TickCount() + 50);
  macros.RunMacroText(text);
  if (macros.Running()) std::abort();
  // The macro may have moved, closed or opened windows; whatever is open
  // must still be readable.
  for (const auto& w : ws.windows()) {
    tabulon::SheetDocument& d = w->document();
    d.cells().ForEachIn(0, 0, d.cells().maxRow(), d.cells().maxCol(),
                        [](tabulon::CellRecord& c) {
                          if (c.row < 0) std::abort();
                        });
  }
  return 0;
}
