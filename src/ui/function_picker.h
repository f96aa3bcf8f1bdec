// The function and keyword picker without a toolkit: the lists it offers
// (the @ functions with their argument counts, the sheet's user-defined
// functions after "--External--", or the macro keywords), the filter that
// selects the first entry beginning with the typed text, and how the chosen
// entry goes into the input line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class Session;
class InputLine;

enum class PickMode { kFunctions, kMacros };

inline constexpr const char* kExternalSeparator = "--External--";

// The function list in display order: the @ functions sorted, then
// "--External--" and the user-defined functions sorted. (The keyword list
// comes from the macro layer: MacroPickList.)
std::vector<std::string> FunctionPickList(Session& session);
// The index of the first entry that begins with the typed text (upper-cased,
// at most 40 characters); -1 when none does.
int PickFilter(const std::vector<std::string>& entries, std::string_view typed);
// An entry cut after its first "(": "SUM( var )(5)" gives "SUM(".
std::string PickResult(std::string_view entry);
// Appends "@" or "{" to the line's text unless it already ends with it, then
// the result; the caret goes to the end.
void InsertPick(InputLine& line, PickMode mode, std::string_view result);

}  // namespace tabulon
