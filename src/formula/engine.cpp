#include "formula/engine.h"

#include <chrono>

#include "formula/evaluator.h"
#include "base/text.h"

namespace tabulon {

FormulaEngine::FormulaEngine(Session& session)
    : evaluator(std::make_unique<Evaluator>(session)),
      randomState(static_cast<std::uint64_t>(
          std::chrono::system_clock::now().time_since_epoch().count())) {}
FormulaEngine::~FormulaEngine() = default;

FormulaEngine& Engine(Session& session) {
  std::unique_ptr<SessionPart>& part = session.formulaPart();
  if (!part) part = std::make_unique<FormulaEngine>(session);
  return static_cast<FormulaEngine&>(*part);
}

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
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (std::size_t semi = line.find(';'); semi != std::string_view::npos) line = line.substr(0, semi);
  return line;
}
}  // namespace

std::vector<UserFunction> ParseUserFunctionFile(std::string_view contents) {
  std::vector<UserFunction> result;
  bool wantHeader = true;
  UserFunction pending;
  while (!contents.empty() && result.size() < static_cast<std::size_t>(kMaxUserFunctions)) {
    std::size_t nl = contents.find('\n');
    std::string_view line = CutComment(contents.substr(0, nl));
    contents.remove_prefix(nl == std::string_view::npos ? contents.size() : nl + 1);
    if (wantHeader) {
      // An empty header line is skipped; the next line is read as the header.
      std::string head = UpperCase(line);
      while (!head.empty() && (head.back() == ' ' || head.back() == '\t')) head.pop_back();
      if (head.empty()) continue;
      std::size_t comma = head.find(',');
      pending = UserFunction{};
      pending.name = head.substr(0, std::min<std::size_t>(comma, 12));
      while (!pending.name.empty() && pending.name.back() == ' ') pending.name.pop_back();
      int n = 0;
      if (comma != std::string::npos) {
        for (std::size_t k = comma + 1; k < head.size(); ++k) {
          char c = head[k];
          if (c == ' ' && n == 0) continue;
          if (c < '0' || c > '9') break;
          n = std::min(n * 10 + (c - '0'), 1000);
        }
      }
      pending.argCount = std::min(n, kMaxUserArgs);
      wantHeader = false;
      continue;
    }
    pending.definition = std::string(line.substr(0, 255));
    if (!pending.name.empty()) result.push_back(std::move(pending));
    wantHeader = true;
  }
  return result;
}

}  // namespace tabulon
