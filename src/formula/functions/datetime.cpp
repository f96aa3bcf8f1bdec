#include "formula/functions/datetime.h"

#include "formula/evaluator.h"

namespace tabulon {

double DateValueFromText(std::string_view, bool) { return 0; }

void RegisterDateTimeFunctions(DispatchTable&) {}

}  // namespace tabulon
