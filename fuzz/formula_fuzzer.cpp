// Compiles arbitrary formula text, evaluates it, regenerates its text and
// compiles that again: nothing may crash, sound code must stay sound, and
// the regenerated text must compile to the same code.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formula/compiler.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/formula_text.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "platform/headless_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tabulon::HeadlessHost host;
  tabulon::Session session(host);
  tabulon::SheetDocument* doc = session.NewDocument();
  session.SetCurrent(doc);
  doc->names().DefineName("NAMED", tabulon::CellRange::Of(0, 0, 2, 1));
  tabulon::EnterCell(*doc, "5", 0, 0);
  tabulon::EnterCell(*doc, "'text", 1, 0);
  std::string text(reinterpret_cast<const char*>(data), size);
  tabulon::EntryResult entry = tabulon::EnterCell(*doc, text, 5, 5);
  (void)entry;
  std::string code = tabulon::CompileFormula(*doc, text).code;
  if (code.empty()) return 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(code.data());
  if (!tabulon::IsWellFormed(bytes, code.size())) std::abort();
  Engine(session).evaluator->EvaluateCode(*doc, bytes);
  std::string regenerated = tabulon::FormulaText(*doc, code);
  if (regenerated.size() > 241) std::abort();
  if (regenerated != "+OVERFLOW" && tabulon::CompileFormula(*doc, regenerated).code != code)
    std::abort();
  return 0;
}
