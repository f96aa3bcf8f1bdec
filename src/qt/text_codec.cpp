#include "qt/text_codec.h"

#include <QList>

namespace tabulon {

namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five unassigned bytes, which
// map to the C1 control of the same value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char16_t ToUnit(unsigned char b) {
  if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
  return b;
}

char FromUnit(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] != 0 && kHigh[i] == u) return static_cast<char>(0x80 + i);
  if (u >= 0x80 && u < 0xA0) return static_cast<char>(u);  // unassigned C1 bytes
  return '?';
}

}  // namespace

QString ToQt(std::string_view cp1252) {
  QString s;
  s.reserve(static_cast<qsizetype>(cp1252.size()));
  for (char c : cp1252) s.append(QChar(ToUnit(static_cast<unsigned char>(c))));
  return s;
}

std::string FromQt(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  // Code points, so that a character outside the basic plane gives one "?".
  for (char32_t u : text.toUcs4()) out.push_back(FromUnit(u));
  return out;
}

}  // namespace tabulon
