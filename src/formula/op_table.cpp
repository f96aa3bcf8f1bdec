#include "formula/op_table.h"

#include <array>

#include "base/text.h"

namespace tabulon {

namespace {

constexpr std::array<OpInfo, 256> BuildTable() {
  std::array<OpInfo, 256> t{};
#define OPERATION(number, identifier, name, cls, family, handler) \
  t[number] = OpInfo{name, kClass##cls, OpFamily::k##family};
#include "formula/operations.def"
  return t;
}

constexpr std::array<OpInfo, 256> kTable = BuildTable();

constexpr std::array<std::uint8_t, 256> BuildClasses() {
  std::array<std::uint8_t, 256> t{};
  for (int op = 0; op < 256; ++op) t[op] = kTable[op].cls;
  return t;
}

}  // namespace

extern const std::array<std::uint8_t, 256> kOpClasses = BuildClasses();

const OpInfo& OpTable(std::uint8_t op) { return kTable[op]; }

int FindFunction(std::string_view name) {
  if (name.empty()) return 0;
  for (int op = kOpNegate; op <= kOpHighest; ++op) {
    std::string_view n = kTable[op].name;
    if (n.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < n.size() && same; ++i) same = UpperChar(name[i]) == n[i];
    if (same) return op;
  }
  return 0;
}

}  // namespace tabulon
