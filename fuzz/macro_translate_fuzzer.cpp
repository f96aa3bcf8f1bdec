// Translates arbitrary macro text and reads the stream back: nothing may
// crash, the stream must stay within its bound and end with its end byte,
// and reading it must reach that end. The raw input is read as a stream too.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "edit/cell_entry.h"
#include "macro/macro_stream.h"
#include "macro/macro_translate.h"
#include "platform/headless_host.h"
#include "sheet/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tabulon::HeadlessHost host;
  static tabulon::Session session(host);
  static tabulon::SheetDocument* doc = [] {
    tabulon::SheetDocument* d = session.NewDocument();
    session.SetCurrent(d);
    d->names().DefineName("SUB", tabulon::CellRange::Cell(0, 0));
    tabulon::EnterCell(*d, "3", 0, 0);
    return d;
  }();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  session.settings().argSeparator = size > 0 && (data[0] & 1) ? ';' : ',';

  std::string stream = tabulon::TranslateMacroLine(*doc, text);
  if (stream.empty() || stream.size() > tabulon::kMaxText || stream.back() != '\0') std::abort();
  if (stream.find('\0') != stream.size() - 1) std::abort();
  std::vector<tabulon::MacroItem> items = tabulon::DecodeMacroLine(stream);
  if (items.back().next != stream.size()) std::abort();

  std::size_t pos = 0;
  for (int guard = 0; guard <= static_cast<int>(size) + 1; ++guard) {
    tabulon::MacroItem item = tabulon::ReadMacroItem(text, pos);
    if (item.kind == tabulon::MacroItemKind::EndOfLine) return 0;
    if (item.next <= pos || item.next > size) std::abort();
    pos = item.next;
  }
  std::abort();  // the reader did not advance
}
