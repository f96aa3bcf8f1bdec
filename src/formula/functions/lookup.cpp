#include "formula/evaluator.h"

namespace tabulon {

void RegisterLookupFunctions(DispatchTable&) {}

}  // namespace tabulon
