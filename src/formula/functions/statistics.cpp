#include "formula/evaluator.h"

namespace tabulon {

void RegisterStatisticsFunctions(DispatchTable&) {}

}  // namespace tabulon
