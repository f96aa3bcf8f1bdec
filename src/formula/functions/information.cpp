#include "formula/evaluator.h"

namespace tabulon {

void RegisterInformationFunctions(DispatchTable&) {}

}  // namespace tabulon
