// Program-wide state of the formula engine, owned by the Session: the
// user-defined function lists and the evaluator's working state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/session.h"

namespace tabulon {

struct UserFunction {
  std::string name;        // upper case, at most 12 characters
  std::string definition;  // formula text using @A(1)..@A(n)
  int argCount = 0;        // 0..10
};

inline constexpr int kMaxUserFunctions = 255;
inline constexpr int kMaxUserArgs = 10;

class Evaluator;
class LinkSource;

struct FormulaEngine : SessionPart {
  explicit FormulaEngine(Session& session);
  ~FormulaEngine() override;

  // Definitions read from the user-function file at start-up.
  std::vector<UserFunction> masterFunctions;
  // Functions used by formulas so far; code holds 1-based indexes into it.
  std::vector<UserFunction> usedFunctions;

  // Index (1-based) of a used function, copying it from the master list on
  // first use; 0 when the name is unknown or the used list is full.
  int FindUserFunction(std::string_view name);

  std::unique_ptr<Evaluator> evaluator;
  // Resolves link operands; null until the link store is installed.
  LinkSource* links = nullptr;
  // Result code of the macro language's last file operation; reading it
  // through @IORESULT resets it.
  int ioResult = 0;
  // The X variable of @X, @INTG, @RECUR and the database functions.
  double x = 0;
  // How many functions that evaluate a formula argument are running inside
  // one another; bounds the work nested integrals and iterations can cause.
  int formulaArgDepth = 0;

  // @RAND: a uniform number in [0, 1). The generator is seeded from the
  // clock when the engine is created.
  double NextRandom();
  std::uint64_t randomState = 0;
};

// The session's formula engine, made on first use.
FormulaEngine& Engine(Session& session);

// Reads the master list from the user-function file format: pairs of lines,
// "NAME,n" then the definition; text after ';' is a comment.
std::vector<UserFunction> ParseUserFunctionFile(std::string_view contents);

}  // namespace tabulon
