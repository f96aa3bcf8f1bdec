#include "formula/evaluator.h"

namespace tabulon {

void RegisterFinancialFunctions(DispatchTable&) {}

}  // namespace tabulon
