#include "formula/formula_code.h"

#include "sheet/cell_store.h"

namespace tabulon {

namespace {

constexpr std::uint16_t kRelativeBit = 0x8000;
constexpr std::uint16_t kInvalidWord = 0x3FFF;  // absolute, far outside the sheet

// Length of a zero-terminated operand starting at p, including the 0 byte,
// or 0 when no 0 byte comes before `limit`.
int TerminatedLength(const std::uint8_t* code, int p, int limit) {
  for (int i = p; i < limit; ++i)
    if (code[i] == 0) return i - p + 1;
  return 0;
}

}  // namespace

int VariableOperationSize(const std::uint8_t* code, int pos, int end) {
  int operands;
  if (OpClassOf(code[pos]) == kClassString) {
    operands = TerminatedLength(code, pos + 1, end);
    if (operands == 0) return 0;
  } else {
    if (pos + 9 > end) return 0;
    int n = TerminatedLength(code, pos + 9, end);
    if (n == 0) return 0;
    operands = 8 + n;
  }
  if (pos + 1 + operands > end) return 0;
  return 1 + operands;
}

bool IsWellFormed(const std::uint8_t* code, std::size_t available) {
  if (available < 3) return false;
  int end = CodeEnd(code);
  if (code[0] >= kMaxCode || code[1] != 0) return false;
  if (static_cast<std::size_t>(end) >= available) return false;
  return ForEachOperation(code, [](int, std::uint8_t) {});
}

bool ReferencedPosition(const CellStore& cells, const std::uint8_t* ref, int& row, int& col) {
  const CellRecord* c = cells.Get(RefId(ReadU32(ref)));
  if (c == nullptr) return false;
  row = c->row;
  col = c->col;
  return true;
}

RelativeCorner DecodeRelative(const std::uint8_t* words, int row, int col) {
  std::uint16_t cw = ReadU16(words);
  std::uint16_t rw = ReadU16(words + 2);
  RelativeCorner c;
  c.absCol = !(cw & kRelativeBit);
  c.absRow = !(rw & kRelativeBit);
  c.col = c.absCol ? (cw & 0x7FFF) : ((cw + col) & 0x1FFF);
  c.row = c.absRow ? (rw & 0x7FFF) : ((rw + row) & 0x1FFF);
  return c;
}

void ToRelativeForm(std::uint8_t* code, const CellStore& cells, int row, int col) {
  auto convert = [&](std::uint8_t* p) {
    CellRef ref = ReadU32(p);
    const CellRecord* target = cells.Get(RefId(ref));
    std::uint16_t cw = kInvalidWord, rw = kInvalidWord;
    if (target != nullptr) {
      if (ref & kRefAbsCol) cw = target->col;
      else cw = kRelativeBit | ((target->col - col) & 0x3FFF);
      if (ref & kRefAbsRow) rw = static_cast<std::uint16_t>(target->row);
      else rw = kRelativeBit | ((target->row - row) & 0x3FFF);
    }
    WriteU16(p, cw);
    WriteU16(p + 2, rw);
  };
  ForEachOperation(code, [&](int pos, std::uint8_t op) {
    if (op == kOpCell) {
      convert(code + pos + 1);
    } else if (op == kOpRange) {
      convert(code + pos + 1);
      convert(code + pos + 5);
    }
  });
}

bool ToLinkedForm(std::uint8_t* code, CellStore& cells, int row, int col) {
  bool ok = true;
  auto convert = [&](std::uint8_t* p) {
    RelativeCorner c = DecodeRelative(p, row, col);
    CellRef ref = 0;
    if (RowInSheet(c.row) && ColumnInSheet(c.col)) {
      CellRecord* target = cells.GetOrCreateCell(c.row, c.col);
      if (target == nullptr) ok = false;
      else ref = MakeRef(target->id, c.absRow, c.absCol);
    }
    WriteU32(p, ref);
  };
  bool wellFormed = ForEachOperation(code, [&](int pos, std::uint8_t op) {
    if (op == kOpCell) {
      convert(code + pos + 1);
    } else if (op == kOpRange) {
      convert(code + pos + 1);
      convert(code + pos + 5);
    }
  });
  return ok && wellFormed;
}

}  // namespace tabulon
