#include "io/encoding.h"

#include <array>

namespace tabulon {

namespace {

// Code points of bytes 0x80..0x9F; 0 where the code page leaves a hole.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePoint(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80] ? kHigh[b - 0x80] : b;
  return b;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The byte of a code point. The five bytes the code page leaves without a
// character travel as the control characters of the same number, so that
// every byte survives a round trip through UTF-8.
char ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  if (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80] == 0) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when malformed.
// Overlong forms (C0 80 for NUL, C1 81 for "A", ...), surrogates and code
// points beyond U+10FFFF are malformed: each would let a byte in under a
// disguise.
int Decode(std::string_view s, std::size_t i, char32_t& c) {
  static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  unsigned char b = static_cast<unsigned char>(s[i]);
  int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  c = n == 1 ? b : (b & (0x7F >> n));
  for (int k = 1; k < n; ++k) {
    unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  if (c < kSmallest[n] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  return n;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) AppendUtf8(out, CodePoint(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    int n = Decode(utf8, i, c);
    if (n == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(ByteOf(c));
    i += n;
  }
  return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool multi = false;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    int n = Decode(bytes, i, c);
    if (n == 0) return false;
    multi |= n > 1;
    i += n;
  }
  return multi;
}

}  // namespace tabulon
