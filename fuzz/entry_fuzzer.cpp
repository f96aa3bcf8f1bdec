// Enters arbitrary text into a cell, then enters the cell's own edit text
// (what the input line shows for it) again: the cell must come out the
// same, so that pressing F2 and Enter never changes a cell.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "platform/headless_host.h"
#include "sheet/cell_record.h"
#include "sheet/session.h"

namespace {

// What makes a cell what it is: its kind, its text or code, and for
// numbers the exact value.
std::string Identity(const tabulon::CellRecord* c) {
  if (c == nullptr) return "none";
  std::string id = std::to_string(c->KindAndError()) + ":";
  if (c->text != nullptr) id += std::string(c->TextView());
  if (c->Kind() == tabulon::kInteger || c->Kind() == tabulon::kReal) {
    char bits[32];
    std::snprintf(bits, sizeof bits, "|%016llx",
                  static_cast<unsigned long long>(c->Kind() == tabulon::kReal
                                                      ? c->value.bits
                                                      : static_cast<std::uint64_t>(c->value.integer)));
    id += bits;
  }
  return id;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tabulon::HeadlessHost host;
  tabulon::Session session(host);
  tabulon::SheetDocument* doc = session.NewDocument();
  session.SetCurrent(doc);
  doc->names().DefineName("NAMED", tabulon::CellRange::Of(0, 0, 2, 1));
  tabulon::EnterCell(*doc, "5", 0, 0);
  tabulon::EnterCell(*doc, "'text", 1, 0);
  std::string text(reinterpret_cast<const char*>(data), size);
  if (!tabulon::EnterCell(*doc, text, 4, 3).ok) return 0;
  const tabulon::CellRecord* cell = doc->cells().FindCell(4, 3);
  std::string before = Identity(cell);
  std::string edit = tabulon::CellEditText(*doc, cell);
  if (!tabulon::EnterCell(*doc, edit, 4, 3).ok) std::abort();  // its own text is refused
  if (Identity(doc->cells().FindCell(4, 3)) != before) std::abort();
  return 0;
}
