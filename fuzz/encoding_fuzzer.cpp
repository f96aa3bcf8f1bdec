// The text conversions between UTF-8 and the 8-bit code page: every byte
// string survives the round trip through UTF-8, and decoding arbitrary
// input never smuggles in a byte under a disguise (a NUL only from a NUL).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string utf8 = tabulon::Cp1252ToUtf8(bytes);
  if (tabulon::Utf8ToCp1252(utf8) != bytes) std::abort();
  bool ascii = std::all_of(bytes.begin(), bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii && !tabulon::LooksLikeUtf8(utf8)) std::abort();

  std::string decoded = tabulon::Utf8ToCp1252(bytes);
  if (decoded.size() > bytes.size()) std::abort();
  if (std::count(decoded.begin(), decoded.end(), '\0') !=
      std::count(bytes.begin(), bytes.end(), '\0'))
    std::abort();
  return 0;
}
