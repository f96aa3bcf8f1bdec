#include "sheet/range_names.h"

#include <algorithm>

#include "base/limits.h"
#include "base/text.h"

namespace tabulon {

std::string NormaliseName(std::string_view name) {
  std::string s(name.substr(0, kMaxNameLength));
  UpperCaseInPlace(s);
  return s;
}

int NameTable::FindName(std::string_view name) const {
  std::string key = NormaliseName(name);
  int lo = 0, hi = count();  // search entries [lo, hi), 0-based
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    int c = entries_[mid].name.compare(key);
    if (c == 0) return mid + 1;
    if (c < 0) lo = mid + 1; else hi = mid;
  }
  return -(lo + 1);
}

bool NameTable::DefineName(std::string_view name, const CellRange& range) {
  int k = FindName(name);
  if (k > 0) {
    entries_[k - 1].range = range;
    return true;
  }
  if (count() >= kMaxNames) return false;
  entries_.insert(entries_.begin() + (-k - 1), RangeName{NormaliseName(name), range});
  return true;
}

int NameTable::RemoveName(std::string_view name) {
  int k = FindName(name);
  if (k > 0) entries_.erase(entries_.begin() + (k - 1));
  return k;
}

const CellRange* NameTable::Lookup(std::string_view name) const {
  int k = FindName(name);
  return k > 0 ? &entries_[k - 1].range : nullptr;
}

void NameTable::UndefineCorner(int row, int col) {
  for (RangeName& n : entries_) {
    const CellRange& r = n.range;
    if (!r.IsDefined()) continue;
    if ((r.firstRow == row && r.firstCol == col) || (r.lastRow == row && r.lastCol == col))
      n.range.SetUndefined();
  }
}

}  // namespace tabulon
