// One record per existing cell: its attributes, its entry and its value.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/limits.h"

namespace tabulon {

// Cell kinds: bits 0-2 of CellRecord::kind.
enum CellKind : std::uint8_t {
  kStringFormula = 0,  // formula with a text result (value.str)
  kFormula = 1,        // formula with a numeric result (value.num)
  kReal = 2,           // number (value.num)
  kInteger = 3,        // 16-bit integer (value.integer)
  kLabel = 4,          // label text with its prefix character
  kEmpty = 5,          // no entry: a placeholder or a cell carrying only attributes
};

inline constexpr std::uint8_t kKindMask = 0x07;
inline constexpr std::uint8_t kErrorBit = 0x08;     // the value is an error result
inline constexpr std::uint8_t kFileFormBit = 0x10;  // formula code not yet linked
inline constexpr std::uint8_t kVisitedMark = 0x20;  // recalculation walk marks
inline constexpr std::uint8_t kListedMark = 0x40;
inline constexpr std::uint8_t kRecalcMarks = kVisitedMark | kListedMark;

// Format byte: bits 0-6 the display format, bit 7 the lock.
inline constexpr std::uint8_t kLockBit = 0x80;
inline constexpr std::uint8_t kFormatMask = 0x7F;
inline constexpr std::uint8_t kDefaultFormat = 127;

// Colour word bits.
inline constexpr std::uint32_t kColourSchemeFont = 0x40000000u;  // font colour from the scheme
inline constexpr std::uint32_t kColourNoShade = 0x80000000u;     // no shade of its own
inline constexpr std::uint32_t kNewCellColour = kColourSchemeFont | kColourNoShade;

inline constexpr std::uint8_t kDefaultFont = 255;

// A length-prefixed byte string: one length byte, then that many bytes.
// Cell text (labels), compiled formula code and text results use it.
using PString = std::uint8_t*;

inline std::string_view PStringView(const std::uint8_t* p) {
  if (p == nullptr) return {};
  return {reinterpret_cast<const char*>(p + 1), p[0]};
}

// Identities a record can hold. A sheet has at most 8192 x 256 cells and
// freed identities are reused first, so the pool never comes near it.
inline constexpr CellId kMaxRecordId = (1u << 24) - 1;

union CellValue {
  double num;
  std::int16_t integer;
  PString str;  // kStringFormula: the text result (nullptr = empty text)
  std::uint64_t bits;
};

// 32 bytes. The head of the cell's dependents list is kept by the store
// beside the record (CellStore::DependentHead), as only the store uses it.
struct CellRecord {
  CellValue value;       // interpreted by kind
  PString text;          // label text, or compiled formula code (byte 0 = L)
  std::uint32_t colour;
  CellId id : 24;        // this record's identity in its pool (see kMaxRecordId)
  std::uint8_t col;      // shares the identity's 32-bit unit
  std::int16_t row;      // -1 marks a free pool slot
  std::uint8_t font;
  std::uint8_t fontSize;
  std::uint8_t style;
  std::uint8_t borders;
  std::uint8_t format;
  std::uint8_t kind;

  std::uint8_t Kind() const { return kind & kKindMask; }
  // Kind with the error bit: what decides whether a value is usable.
  std::uint8_t KindAndError() const { return kind & (kKindMask | kErrorBit); }
  bool HasError() const { return (kind & kErrorBit) != 0; }
  bool IsFormula() const { return Kind() <= kFormula; }
  bool IsLocked() const { return (format & kLockBit) != 0; }
  std::uint8_t FormatCode() const { return format & kFormatMask; }
  std::string_view TextView() const { return PStringView(text); }
};

static_assert(sizeof(CellRecord) == 32, "cell records must stay small");

}  // namespace tabulon
