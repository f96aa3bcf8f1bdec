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

enum class LetterCase { kUpper = 0, kLower = 1, kProper = 2 };

// Changes the letters of s from byte `from` on: all capitals, all small, or
// proper (a letter after a blank or at the start capital, the others small).
// Only the letters A-Z and a-z change.
inline void ChangeCase(std::string& s, std::size_t from, LetterCase to) {
  for (std::size_t i = from; i < s.size(); ++i) {
    bool wordStart = i == from || s[i - 1] == ' ';
    bool upper = to == LetterCase::kUpper || (to == LetterCase::kProper && wordStart);
    s[i] = upper ? UpperChar(s[i]) : LowerChar(s[i]);
  }
}

// Cuts a byte string to at most n bytes.
inline std::string_view CutTo(std::string_view s, std::size_t n) { return s.substr(0, n); }

}  // namespace tabulon
