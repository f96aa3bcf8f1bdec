// The operator table: every operation number 0-255 with its name and
// class. The class says how many operand bytes follow the operation byte
// in compiled code, how the operation is printed and how many arguments a
// function takes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tabulon {

// Operation numbers with a role of their own in compiler, evaluator and
// code walkers.
enum Op : std::uint8_t {
  kOpNumber = 0,
  kOpCell = 1,
  kOpRange = 2,
  kOpEnd = 3,
  kOpParens = 4,
  kOpInteger = 5,
  kOpString = 6,
  kOpLink = 7,
  kOpNegate = 8,
  kOpAdd = 9,
  kOpSubtract = 10,
  kOpMultiply = 11,
  kOpDivide = 12,
  kOpPower = 13,
  kOpEqual = 14,
  kOpNotEqual = 15,
  kOpLessEqual = 16,
  kOpGreaterEqual = 17,
  kOpLess = 18,
  kOpGreater = 19,
  kOpAnd = 20,
  kOpOr = 21,
  kOpNot = 22,
  kOpUnaryPlus = 23,
  kOpConcat = 24,
  kOpPercent = 25,
  kOpFactorial = 26,
  kOpNA = 31,
  kOpErr = 32,
  kOpIf = 59,
  kOpSum = 80,
  kOpLinkFn = 123,
  kOpA = 179,
  kOpHighest = 186,
  kOpUserFunction = 254,
  kOpSheetFunction = 255,
};

enum OpClass : std::uint8_t {
  kClassNumber = 0,
  kClassCell = 1,
  kClassRange = 2,
  kClassEnd = 3,
  kClassParens = 4,
  kClassInteger = 5,
  kClassString = 6,
  kClassLink = 7,
  kClassPrefix = 8,
  kClassInfix = 9,
  kClassFunction0 = 10,
  kClassFunction1 = 11,
  kClassFunction2 = 12,
  kClassFunction3 = 13,
  kClassFunction4 = 14,
  kClassVariadic = 15,
  kClassPostfix = 16,
  kClassUser = 254,
  kClassUnassigned = 255,  // numbers 187-253: never valid in code
};

struct OpInfo {
  std::string_view name;  // empty for operands and unassigned numbers
  std::uint8_t cls;
};

const OpInfo& OpTable(std::uint8_t op);
// The class of every operation number, for the code walkers.
extern const std::array<std::uint8_t, 256> kOpClasses;
inline std::uint8_t OpClassOf(std::uint8_t op) { return kOpClasses[op]; }
inline std::string_view OpName(std::uint8_t op) { return OpTable(op).name; }

// Operation number 8-186 of a function or operator name, compared without
// regard to case, first match from 8 up; 0 when there is none.
int FindFunction(std::string_view name);

}  // namespace tabulon
