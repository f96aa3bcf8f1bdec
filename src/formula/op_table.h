// The operator table: every operation number 0-255 with its name, class
// and function family, built from the operation list (operations.def). The
// class says how many operand bytes follow the operation byte in compiled
// code, how the operation is printed and how many arguments a function
// takes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tabulon {

// Every assigned operation number by name, from the operation list.
enum Op : std::uint8_t {
#define OPERATION(number, identifier, name, cls, family, handler) kOp##identifier = number,
#include "formula/operations.def"
  kOpHighest = kOpOsVer,  // the highest number with a name
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

// The function family whose file evaluates an operation.
enum class OpFamily : std::uint8_t {
  kNone,  // unassigned numbers
  kCore,
  kMath,
  kStatistics,
  kSpecial,
  kMatrix,
  kFormulaArgument,
  kText,
  kDateTime,
  kFinancial,
  kLookup,
  kInformation,
};

struct OpInfo {
  std::string_view name;  // empty for operands and unassigned numbers
  std::uint8_t cls = kClassUnassigned;
  OpFamily family = OpFamily::kNone;
  bool assigned() const { return family != OpFamily::kNone; }
};

// The row of the operation list for a number; unassigned numbers have no
// name, the class kClassUnassigned and no family.
const OpInfo& OpTable(std::uint8_t op);
// The class of every operation number, for the code walkers.
extern const std::array<std::uint8_t, 256> kOpClasses;
inline std::uint8_t OpClassOf(std::uint8_t op) { return kOpClasses[op]; }
inline std::string_view OpName(std::uint8_t op) { return OpTable(op).name; }

// Operation number 8-186 of a function or operator name, compared without
// regard to case, first match from 8 up; 0 when there is none.
int FindFunction(std::string_view name);

}  // namespace tabulon
