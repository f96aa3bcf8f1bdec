// Sort: reorders the rows of a data range by up to four key columns.
//
// Each level is a run sort: the rows whose key cell is numeric go to the
// front in row order, the others (text and blanks) to the back in reverse
// row order; each part is pre-shuffled and quicksorted (numbers by value,
// texts byte by byte); descending reverses the whole run. Keys 2-4 sort the
// groups of rows whose earlier keys are equal. The final order is worked out
// first and the row segments are then relinked once, so a failure leaves
// the sheet as it was. Records keep their identities: formulas inside the
// range follow the cells they use; formulas outside it that refer into it
// are re-aimed by address, so they use whatever cell stands there after the
// sort.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

struct SortSpec {
  CellRange data;
  std::array<CellRange, 4> keys;  // only each key's first column counts
  std::array<bool, 4> ascending{true, true, true, true};
};

// Sorts the data range's rows. An undefined data range or key 1 does
// nothing. Fails (the error channel says why, nothing changed) with
// "Sort Key outside Data Range", "Protected Cell" under protection when the
// range holds a locked cell, or "Insufficient Memory". The caller takes
// the undo snapshot.
bool SortRows(SheetDocument& doc, const SortSpec& spec);

// The sort's building blocks, on slots holding row numbers.
namespace sorting {

// What a key cell contributes to the order.
struct Key {
  enum Kind : std::uint8_t { kNumber, kBlank, kLabel, kTextFormula } kind = kBlank;
  double number = 0;
  std::string_view text;  // a label's stored text, a text result; empty for blanks
};
Key KeyOf(const CellRecord* cell);
// Whether `cell` belongs to the group of the reference cell `ref`.
bool SameGroup(const Key& ref, const Key& cell);

// Swaps runs of slots a..b in ten strides, against already ordered input.
void PreShuffle(std::span<int> slots, int a, int b);
// Orders slots l..r so that ge(slot, slot) holds left to right, with the
// last slot of each part as the pivot.
template <typename Ge>
void QuickSort(std::span<int> s, int l, int r, const Ge& ge);

// The run sort of slots (row numbers) by `key` of each row, in place.
// `keyOf(row)` gives the key; `descending` reverses the result.
template <typename KeyFn>
void RunSort(std::span<int> slots, const KeyFn& keyOf, bool descending);

}  // namespace sorting

// --- templates ---------------------------------------------------------------------

template <typename Ge>
void sorting::QuickSort(std::span<int> s, int l, int r, const Ge& ge) {
  while (r > l) {
    int i = l - 1, j = r;
    const int pivot = s[r];
    int held;
    do {
      do ++i; while (!(ge(s[i], pivot) || i >= r));
      do --j; while (!(ge(pivot, s[j]) || j <= i));
      held = s[i];
      s[i] = s[j];
      s[j] = held;
    } while (j > i);
    // Undo the last swap and put the pivot in its place.
    s[j] = s[i];
    s[i] = s[r];
    s[r] = held;
    // The smaller part first, the larger one in this loop: the stack stays
    // shallow, and the parts are independent, so the result is the same.
    if (i - l < r - i) {
      QuickSort(s, l, i - 1, ge);
      l = i + 1;
    } else {
      QuickSort(s, i + 1, r, ge);
      r = i - 1;
    }
  }
}

template <typename KeyFn>
void sorting::RunSort(std::span<int> slots, const KeyFn& keyOf, bool descending) {
  const int n = static_cast<int>(slots.size());
  if (n < 2) return;
  std::vector<int> rows(slots.begin(), slots.end());
  int front = 0, back = n - 1;
  for (int row : rows) {
    if (keyOf(row).kind == Key::kNumber) slots[front++] = row;
    else slots[back--] = row;
  }
  const int m = front;
  auto byNumber = [&](int a, int b) { return keyOf(a).number >= keyOf(b).number; };
  auto byText = [&](int a, int b) { return keyOf(a).text.compare(keyOf(b).text) >= 0; };
  PreShuffle(slots, 0, m - 1);
  QuickSort(slots, 0, m - 1, byNumber);
  PreShuffle(slots, m, n - 1);
  QuickSort(slots, m, n - 1, byText);
  if (descending) std::reverse(slots.begin(), slots.end());
}

}  // namespace tabulon
