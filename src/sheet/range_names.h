// The per-worksheet table of range names, kept sorted by name in byte order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

struct RangeName {
  std::string name;  // upper case, at most 12 bytes
  CellRange range;
};

class NameTable {
 public:
  int count() const { return static_cast<int>(entries_.size()); }
  // Entry 1..count.
  const RangeName& entry(int index) const { return entries_[index - 1]; }
  RangeName& entry(int index) { return entries_[index - 1]; }
  const std::vector<RangeName>& entries() const { return entries_; }
  // For changing ranges in place (never the names: the order must hold).
  std::vector<RangeName>& entries_mut() { return entries_; }

  // Index >= 1 when found; otherwise minus the position where the name
  // would be inserted (-1 for an empty table). Case-insensitive; only the
  // first 12 characters take part.
  int FindName(std::string_view name) const;
  // Upper-cases the name; replaces the range of an existing entry or inserts
  // a new entry at its sorted position. Returns false when the table is full.
  bool DefineName(std::string_view name, const CellRange& range);
  // Index removed, or <= 0 when not found.
  int RemoveName(std::string_view name);
  void ResetNames() { entries_.clear(); }
  // The range of a name, or nullptr.
  const CellRange* Lookup(std::string_view name) const;

  // Every name whose first or last corner is exactly (row, col) becomes
  // undefined.
  void UndefineCorner(int row, int col);

 private:
  std::vector<RangeName> entries_;
};

// Upper-cases and cuts to the 12-character name limit.
std::string NormaliseName(std::string_view name);

}  // namespace tabulon
