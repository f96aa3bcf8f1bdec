#include "formula/evaluator.h"

namespace tabulon {

void RegisterTextFunctions(DispatchTable&) {}

}  // namespace tabulon
