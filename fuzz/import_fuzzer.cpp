// Text import of arbitrary bytes: the field splitter keeps every character
// of a line that is not a separator or a quote, never makes an empty entry,
// and the import itself never fails on text (only on NUL bytes) and writes
// no more lines than the text holds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/text_import.h"
#include "platform/headless_host.h"
#include "sheet/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the mode, the argument separator and the
  // decimal character; the rest is the file.
  const char separators[] = {',', ';', '|', '.', ' '};
  char separator = separators[data[0] % 5];
  char decimal = (data[0] & 0x80) ? ',' : '.';
  auto mode = (data[1] & 1) ? tabulon::ImportMode::Values : tabulon::ImportMode::Text;
  auto encoding = static_cast<tabulon::TextEncoding>((data[1] >> 1) % 3);
  std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
  std::size_t kept = 0;
  for (const tabulon::ImportField& f : tabulon::SplitFields(line, separator, decimal)) {
    if (f.text.empty()) std::abort();
    if (f.label && f.text[0] != '\'') std::abort();
    kept += f.text.size() - (f.label ? 1 : 0);
  }
  if (kept > line.size()) std::abort();

  tabulon::HeadlessHost host;
  tabulon::Session session(host);
  session.settings().argSeparator = separator;
  session.settings().decimalChar = decimal;
  tabulon::SheetDocument* doc = session.NewDocument();
  auto start = tabulon::CellAddress{static_cast<std::int16_t>(data[1] >> 4), 8180};
  tabulon::ImportResult r = tabulon::ImportTextBytes(*doc, mode, start, bytes, encoding);
  bool nul = bytes.find('\0') != std::string::npos;
  if (r.ok == nul) std::abort();
  std::size_t lines = std::count(bytes.begin(), bytes.end(), '\n') +
                      std::count(bytes.begin(), bytes.end(), '\r') + 1;
  if (static_cast<std::size_t>(r.lines) > lines) std::abort();
  if (r.ok && r.area.IsDefined() && (r.area.Top() < start.row || r.area.Left() < start.col)) std::abort();
  return 0;
}
