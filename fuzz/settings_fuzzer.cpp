// Reads arbitrary text as the settings file, writes the settings and reads
// what was written: nothing may crash, every refused character keeps a
// sound set, and a written file reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  tabulon::ConfigSettings cfg = tabulon::DefaultConfig("/p/", "TBL");
  tabulon::ParseSettings(text, cfg);
  if (cfg.decimalChar == cfg.argSeparator || cfg.decimalChar == cfg.thousandsChar) std::abort();
  if (cfg.history.size() > 10 || cfg.formats.empty()) std::abort();
  std::string written = tabulon::SettingsText(cfg);
  tabulon::ConfigSettings again = tabulon::DefaultConfig("/p/", "TBL");
  if (!tabulon::ParseSettings(written, again).empty()) std::abort();  // our own file is sound
  if (tabulon::SettingsText(again) != written) std::abort();
  return 0;
}
