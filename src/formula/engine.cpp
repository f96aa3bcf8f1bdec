#include "formula/engine.h"

#include <chrono>

#include "formula/evaluator.h"
#include "model/text.h"

namespace tabulon {

FormulaEngine::FormulaEngine()
    : randomState(static_cast<std::uint64_t>(
          std::chrono::system_clock::now().time_since_epoch().count())) {}
FormulaEngine::~FormulaEngine() = default;

double FormulaEngine::NextRandom() {
  // splitmix64: every seed, including 0, gives a full-period sequence.
  std::uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53;
}

int FormulaEngine::FindUserFunction(std::string_view name) {
  std::string key = UpperCase(name.substr(0, 12));
  for (std::size_t i = 0; i < usedFunctions.size(); ++i)
    if (usedFunctions[i].name == key) return static_cast<int>(i + 1);
  for (const UserFunction& f : masterFunctions) {
    if (f.name != key) continue;
    if (usedFunctions.size() >= kMaxUserFunctions) return 0;
    usedFunctions.push_back(f);
    return static_cast<int>(usedFunctions.size());
  }
  return 0;
}

namespace {
std::string_view CutComment(std::string_view line) {
  if (std::size_t semi = line.find(';'); semi != std::string_view::npos) line = line.substr(0, semi);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ' ||
                           line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}
}  // namespace

std::vector<UserFunction> ParseUserFunctionFile(std::string_view contents) {
  std::vector<std::string_view> lines;
  while (!contents.empty()) {
    std::size_t nl = contents.find('\n');
    lines.push_back(contents.substr(0, nl));
    if (nl == std::string_view::npos) break;
    contents.remove_prefix(nl + 1);
  }
  std::vector<UserFunction> result;
  for (std::size_t i = 0; i + 1 < lines.size() + 1 && i < lines.size(); i += 2) {
    std::string head = UpperCase(CutComment(lines[i]));
    std::string_view body = i + 1 < lines.size() ? CutComment(lines[i + 1]) : std::string_view{};
    if (head.empty()) continue;
    std::size_t comma = head.find(',');
    if (comma == std::string::npos || comma == 0) continue;
    UserFunction f;
    f.name = head.substr(0, std::min<std::size_t>(comma, 12));
    int n = 0;
    for (std::size_t k = comma + 1; k < head.size(); ++k) {
      char c = head[k];
      if (c == ' ') continue;
      if (c < '0' || c > '9') break;
      n = std::min(n * 10 + (c - '0'), 1000);
    }
    f.argCount = std::min(n, kMaxUserArgs);
    f.definition = std::string(body.substr(0, 240));
    result.push_back(std::move(f));
    if (result.size() >= kMaxUserFunctions) break;
  }
  return result;
}

}  // namespace tabulon
