// Date and time helpers shared by the date functions and cell entry.
#pragma once

#include <string_view>

namespace tabulon {

// The date number of date text such as "10/28/1995": month before day, or
// day before month when dayFirst is set. Text that is not a date gives the
// value the date-text function gives for it.
double DateValueFromText(std::string_view text, bool dayFirst);

}  // namespace tabulon
