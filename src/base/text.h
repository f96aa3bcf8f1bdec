// Small helpers for the 8-bit (Windows-1252) text the model holds.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// ASCII-only case mapping: byte values above 127 stay as they are, so the
// byte order of names and the 240-byte limits are unaffected.
inline char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline void UpperCaseInPlace(std::string& s) {
  for (char& c : s) c = UpperChar(c);
}
inline std::string UpperCase(std::string_view s) {
  std::string r(s);
  UpperCaseInPlace(r);
  return r;
}

// Cuts a byte string to at most n bytes.
inline std::string_view CutTo(std::string_view s, std::size_t n) { return s.substr(0, n); }

}  // namespace tabulon
