// The keyword table of the macro language: every word that may stand in
// braces, with the number of arguments it declares and the command-stream
// bytes it expands to.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

struct MacroKeyword {
  std::string_view word;  // upper case, at most 12 characters
  // Declared number of arguments; kRepeatCount when the braces hold an
  // optional repeat count instead. The translator does not enforce it.
  std::int16_t argCount;
  std::uint8_t length;  // bytes of the expansion, 1..6
  std::array<std::uint8_t, 6> bytes;

  std::string_view expansion() const {
    return {reinterpret_cast<const char*>(bytes.data()), length};
  }
};

inline constexpr std::int16_t kRepeatCount = -1;
inline constexpr int kMacroKeywordCount = 163;
// Entries 1..kMacroKeywordFirstRun are sorted by word; the entries after them
// (synonyms and later additions) form a second sorted run.
inline constexpr int kMacroKeywordFirstRun = 144;
inline constexpr std::size_t kMaxKeywordLength = 12;

// Entry 1..kMacroKeywordCount.
const MacroKeyword& MacroKeywordEntry(int number);

// The entry number (1..kMacroKeywordCount) of a keyword, or 0 when it is not
// one. Letters are compared without regard to case; the first run is
// searched first, then the second.
int LookupMacroKeyword(std::string_view word);

// The keyword picker's list: the words of entries 1 to 145, in table order.
std::vector<std::string> MacroPickList();

}  // namespace tabulon
