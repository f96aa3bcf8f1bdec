// Layout of compiled formula code and the walkers every user of it shares.
//
// Code is a byte string: bytes 0-1 hold L, the offset of the end operation
// (little-endian; byte 0 doubles as the length prefix of the stored string),
// then operations in postfix order, each an operation byte followed by its
// operand bytes, and the end operation 3 at offset L. L never exceeds 240.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "formula/op_table.h"
#include "base/limits.h"

namespace tabulon {

class CellStore;

inline constexpr int kMaxCode = 240;  // largest L

// A cell reference inside code: two absolute flags and a record identity.
using CellRef = std::uint32_t;
inline constexpr CellRef kRefAbsRow = 0x80000000u;
inline constexpr CellRef kRefAbsCol = 0x40000000u;
inline CellId RefId(CellRef ref) { return ref & kCellIdMask; }
inline CellRef MakeRef(CellId id, bool absRow, bool absCol) {
  return id | (absRow ? kRefAbsRow : 0) | (absCol ? kRefAbsCol : 0);
}

// Little-endian access to operand bytes.
inline std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t ReadI16(const std::uint8_t* p) { return static_cast<std::int16_t>(ReadU16(p)); }
inline std::uint32_t ReadU32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline double ReadDouble(const std::uint8_t* p) {
  double d;
  std::memcpy(&d, p, 8);  // the machine is little-endian like the format
  return d;
}
inline void WriteU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void WriteDouble(std::uint8_t* p, double d) { std::memcpy(p, &d, 8); }

// L of a code. Only byte 0 counts: it is also the length of the stored
// string, so a damaged high byte can never send a walker past the end.
inline int CodeEnd(const std::uint8_t* code) { return code[0]; }

// A code is well formed when L < 240 fits the bytes available and the byte
// at L is the end operation, and every operation up to L walks cleanly.
bool IsWellFormed(const std::uint8_t* code, std::size_t available);

// Size of a string or link operation at `pos` (see OperationSize).
int VariableOperationSize(const std::uint8_t* code, int pos, int end);

// Size in bytes of the operation at `pos` (operation byte included), or 0
// when the operation is unassigned or its operands run past `end`.
inline int OperationSize(const std::uint8_t* code, int pos, int end) {
  int operands;
  switch (OpClassOf(code[pos])) {
    case kClassNumber: operands = 8; break;
    case kClassCell: operands = 4; break;
    case kClassRange: operands = 8; break;
    case kClassInteger: operands = 2; break;
    case kClassString:
    case kClassLink: return VariableOperationSize(code, pos, end);
    case kClassVariadic: operands = 1; break;
    case kClassUser: operands = 1; break;
    case kClassEnd: return 0;  // an end operation before L
    case kClassUnassigned: return 0;
    default: operands = 0; break;  // parentheses, operators, fixed-argument functions
  }
  if (pos + 1 + operands > end) return 0;
  return 1 + operands;
}

// Calls fn(pos, op) for each operation from offset 2 up to the end
// operation. Returns false when the code is malformed (the walk stops at the
// first bad operation).
template <typename Fn>
bool ForEachOperation(const std::uint8_t* code, Fn&& fn) {
  int end = CodeEnd(code);
  if (end > kMaxCode) return false;
  int pos = 2;
  while (pos < end) {
    int size = OperationSize(code, pos, end);
    if (size == 0) return false;
    fn(pos, code[pos]);
    pos += size;
  }
  return pos == end && code[end] == kOpEnd;
}

// The code as a std::string of bytes 0..L (what the cell stores).
inline std::string CodeBytes(const std::uint8_t* code) {
  return std::string(reinterpret_cast<const char*>(code), CodeEnd(code) + 1);
}

// Converts every cell reference in place to relative form, as seen from the
// formula cell at (row, col): a column word then a row word, bit 15 set for
// a relative coordinate holding the 14-bit offset, clear for an absolute one
// holding the coordinate. An invalid reference becomes an absolute position
// outside the sheet.
void ToRelativeForm(std::uint8_t* code, const CellStore& cells, int row, int col);

// Converts relative-form references back to record references for a
// formula cell at (row, col), creating placeholder records as needed.
// Coordinates that fall outside the sheet become invalid references.
// Returns false when the code is malformed or a record could not be made.
bool ToLinkedForm(std::uint8_t* code, CellStore& cells, int row, int col);

// Row and column of the live record a 4-byte reference designates; false
// for an invalid reference or a freed record.
bool ReferencedPosition(const CellStore& cells, const std::uint8_t* ref, int& row, int& col);

// Reference words of one corner in relative form.
struct RelativeCorner {
  int col;
  int row;
  bool absCol;
  bool absRow;
};
RelativeCorner DecodeRelative(const std::uint8_t* words, int row, int col);

}  // namespace tabulon
