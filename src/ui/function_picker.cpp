#include "ui/function_picker.h"

#include <algorithm>

#include "base/text.h"
#include "formula/engine.h"
#include "formula/op_table.h"
#include "ui/input_line.h"

namespace tabulon {

namespace {

constexpr std::size_t kEntryLength = 15;

std::string FunctionEntry(std::string_view name, int argClass, bool variadic) {
  std::string e(name);
  if (variadic) e += "( var )";
  if (argClass > 0) e += "(" + std::to_string(argClass) + ")";
  return e.substr(0, kEntryLength);
}

}  // namespace

std::vector<std::string> FunctionPickList(Session& session) {
  std::vector<std::string> list;
  for (int op = kOpNA; op <= kOpHighest; ++op) {
    const OpInfo& info = OpTable(static_cast<std::uint8_t>(op));
    if (info.name.empty()) continue;
    list.push_back(FunctionEntry(info.name, info.cls - kClassFunction0, info.cls == kClassVariadic));
  }
  list.push_back("NOT(1)");
  std::sort(list.begin(), list.end());
  list.push_back(kExternalSeparator);
  std::vector<std::string> user;
  for (const UserFunction& f : Engine(session).masterFunctions)
    user.push_back(FunctionEntry(f.name, f.argCount, false));
  std::sort(user.begin(), user.end());
  list.insert(list.end(), user.begin(), user.end());
  return list;
}

int PickFilter(const std::vector<std::string>& entries, std::string_view typed) {
  std::string key = UpperCase(typed.substr(0, 40));
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].compare(0, key.size(), key) == 0) return static_cast<int>(i);
  return -1;
}

std::string PickResult(std::string_view entry) {
  std::size_t paren = entry.find('(');
  return std::string(paren == std::string_view::npos ? entry : entry.substr(0, paren + 1));
}

void InsertPick(InputLine& line, PickMode mode, std::string_view result) {
  if (result.empty()) return;
  char lead = mode == PickMode::kFunctions ? '@' : '{';
  std::string text = line.text();
  if (text.empty() || text.back() != lead) text.push_back(lead);
  text += result;
  line.SetText(text, static_cast<int>(text.size()));
}

}  // namespace tabulon
