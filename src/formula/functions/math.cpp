#include "formula/evaluator.h"

namespace tabulon {

void RegisterMathFunctions(DispatchTable&) {}

}  // namespace tabulon
