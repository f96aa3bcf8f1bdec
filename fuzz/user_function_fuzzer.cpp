// Reads arbitrary text as the user-function file: nothing may crash and
// every entry stays within the limits of the file's record.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formula/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<tabulon::UserFunction> list = tabulon::ParseUserFunctionFile(text);
  if (list.size() > 255) std::abort();
  for (const tabulon::UserFunction& f : list) {
    if (f.name.empty() || f.name.size() > 12 || f.definition.size() > 255) std::abort();
    if (f.argCount < 0 || f.argCount > 10) std::abort();
    for (char c : f.name)
      if (c >= 'a' && c <= 'z') std::abort();  // names are upper case
  }
  return 0;
}
