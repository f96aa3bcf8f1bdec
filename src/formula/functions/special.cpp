#include "formula/evaluator.h"

namespace tabulon {

void RegisterSpecialFunctions(DispatchTable&) {}

}  // namespace tabulon
