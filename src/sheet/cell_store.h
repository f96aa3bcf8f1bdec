// The sparse cell store of one worksheet: a pool of cell records with
// stable identities, a per-row index ordered by column, the dependents
// lists and the used-area extents.
//
// Records live in fixed-size chunks, so a record never moves and its
// identity (the pool index) stays valid until the record is freed. Each row
// keeps the identities of its records sorted by column; finding a cell is a
// binary search of its row.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "sheet/cell_record.h"
#include "sheet/error_channel.h"
#include "base/limits.h"
#include "sheet/text_pool.h"

namespace tabulon {

class CellStore {
 public:
  CellStore(ErrorChannel& errors, bool& modified);
  ~CellStore();
  CellStore(const CellStore&) = delete;
  CellStore& operator=(const CellStore&) = delete;

  // --- records by identity -------------------------------------------
  // The live record with this identity, or null (no cell, freed slot,
  // identity never issued).
  CellRecord* Get(CellId id) {
    if (id == kNoCell || id >= nextId_) return nullptr;
    CellRecord& r = Slot(id);
    return r.row < 0 ? nullptr : &r;
  }
  const CellRecord* Get(CellId id) const { return const_cast<CellStore*>(this)->Get(id); }
  // The record of an identity known to be live (hot paths).
  CellRecord& At(CellId id) { return Slot(id); }
  const CellRecord& At(CellId id) const { return const_cast<CellStore*>(this)->Slot(id); }

  // --- records by position -------------------------------------------
  // First record of `row` whose column is at least `col`; null when none
  // or the row is outside the sheet.
  CellRecord* FindFrom(int row, int col);
  // The record at (row, col) or null.
  CellRecord* FindCell(int row, int col);
  const CellRecord* FindCell(int row, int col) const {
    return const_cast<CellStore*>(this)->FindCell(row, col);
  }
  // Existing record, or a new one from the template. Outside the sheet:
  // "Out of Range" on the error channel and null. Marks the sheet modified.
  CellRecord* GetOrCreateCell(int row, int col);

  // Identities of a row's records in ascending column order.
  std::span<const CellId> Row(int row) const {
    if (!RowInSheet(row) || row >= static_cast<int>(rows_.size())) return {};
    return rows_[row];
  }

  // Visits every record inside the rectangle (corners in any order), row by
  // row and by ascending column. fn(CellRecord&) may not create or free
  // records.
  template <typename Fn>
  void ForEachIn(int r1, int c1, int r2, int c2, Fn&& fn);

  int maxRow() const { return maxRow_; }
  int maxCol() const { return maxCol_; }
  void SetExtents(int maxRow, int maxCol) {
    maxRow_ = static_cast<std::int16_t>(maxRow);
    maxCol_ = static_cast<std::int16_t>(maxCol);
  }
  std::size_t recordCount() const { return liveCount_; }
  // Changes whenever records come or go, move, gain or lose their text or
  // code, or a dependents list changes: an order of evaluation worked out
  // at one value stays right while the value stands.
  std::uint64_t structureVersion() const { return structure_; }
  // Makes room in the row index for `n` records of `row` at once (a loader
  // that knows how many are coming saves the step-by-step growth).
  void ReserveRow(int row, std::size_t n) {
    if (RowInSheet(row)) RowVector(row).reserve(n);
  }
  // Makes room for `n` more dependents-list entries.
  void ReserveDependents(std::size_t n) { depNodes_.reserve(depNodes_.size() + n); }
  // Gives back the spare capacity of the row index and the dependents lists
  // once a sheet is complete (after loading); later entries grow them again.
  void TrimRows();

  // --- text and values -----------------------------------------------
  // Stores a length-prefixed copy of the bytes (cut at 240); the old block is
  // reused when the length is unchanged.
  void SetCellText(CellRecord& cell, std::string_view bytes);
  // Stores compiled code: bytes 0..L where byte 0 is L.
  void SetCode(CellRecord& cell, const std::uint8_t* code);
  void FreeText(CellRecord& cell);
  // Number as Integer when integral and |x| < 32767, otherwise Real.
  void StoreNumber(CellRecord& cell, double x);
  // Result of a formula: numeric, or text (an empty text stores no string).
  void StoreFormulaNumber(CellRecord& cell, double x, bool error);
  void StoreFormulaText(CellRecord& cell, std::string_view text);
  // Frees an owned text result and zeroes the value.
  void ReleaseValue(CellRecord& cell);

  // --- dependents lists ----------------------------------------------
  // Adds `dependent` to the cell's list unless it is already at its head
  // (a formula is registered in one pass, so a repeat is always at the head).
  void AddDependent(CellRecord& cell, CellId dependent);
  void RemoveDependent(CellRecord& cell, CellId dependent);
  void FreeDependents(CellRecord& cell);
  bool HasDependents(const CellRecord& cell) const { return DependentHead(cell) != 0; }
  template <typename Fn>
  void ForEachDependent(const CellRecord& cell, Fn&& fn) const {
    for (std::uint32_t n = DependentHead(cell); n != 0; n = depNodes_[n].next)
      fn(depNodes_[n].cell);
  }
  // Raw list access for the iterative recalculation walk.
  std::uint32_t DependentHead(const CellRecord& cell) const {
    return const_cast<CellStore*>(this)->HeadOf(cell.id);
  }
  std::uint32_t NextDependent(std::uint32_t node) const { return depNodes_[node].next; }
  CellId DependentAt(std::uint32_t node) const { return depNodes_[node].cell; }

  // --- removal ---------------------------------------------------------
  // Frees the record's text, value and dependents list, unlinks it from its
  // row and returns its slot to the pool. References to it elsewhere must
  // already be gone (see DeleteCell).
  void FreeRecord(CellRecord& cell);
  // Frees every record, empties the rows and resets the extents.
  void Clear();

  // Moves the records of row `from` to row `to` (which must be empty),
  // updating their row fields. Used by row insertion and deletion.
  void MoveRow(int from, int to);
  // Changes a record's column within its row, keeping the row sorted.
  void SetColumn(CellRecord& cell, int col);
  // Takes a record out of its row and places it at (row, col), which must
  // be free and inside the sheet; raises the extents. Used by Move.
  void Relocate(CellRecord& cell, int row, int col);
  // Adds `delta` to the column of every record of `row` at or after column
  // `from`. The caller guarantees the shifted columns stay inside the sheet
  // and collide with no record left behind, so the row stays sorted.
  void ShiftColumns(int row, int from, int delta);
  // Reorders the segments of rows top..top+n-1 that lie in columns
  // left..right (n = from.size()): row top+i receives the records that row
  // from[i] held there, which must be a permutation of those rows. Records
  // keep their identities and take their new row numbers; records outside
  // the columns stay. Room is made in every row before anything moves, so
  // an allocation failure (std::bad_alloc) leaves the store as it was.
  void PermuteRowSegments(int top, int left, int right, std::span<const int> from);

 private:
  static constexpr int kChunkBits = 12;
  static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;

  // Records and the heads of their dependents lists (0 = none), side by side
  // so that the record stays 32 bytes.
  struct Chunk {
    CellRecord records[kChunkSize];
    std::uint32_t dependentHeads[kChunkSize];
  };

  CellRecord& Slot(CellId id) {
    return chunks_[id >> kChunkBits]->records[id & (kChunkSize - 1)];
  }
  std::uint32_t& HeadOf(CellId id) {
    return chunks_[id >> kChunkBits]->dependentHeads[id & (kChunkSize - 1)];
  }
  CellId AllocateRecord();
  std::vector<CellId>& RowVector(int row);
  void PlaceInRow(CellRecord& cell);
  void UnlinkFromRow(CellRecord& cell);

  struct DepNode {
    CellId cell;
    std::uint32_t next;
  };

  ErrorChannel& errors_;
  bool& modified_;
  std::vector<std::unique_ptr<Chunk>> chunks_;
  CellId nextId_ = 1;          // identities issued so far: 1..nextId_-1
  std::vector<CellId> freeIds_;
  std::size_t liveCount_ = 0;
  std::vector<std::vector<CellId>> rows_;  // grown on demand up to kRowCount
  std::vector<DepNode> depNodes_;          // node 0 is unused
  std::uint32_t freeDep_ = 0;              // free-list head of depNodes_
  TextPool texts_;
  std::uint64_t structure_ = 0;
  std::int16_t maxRow_ = 0;
  std::int16_t maxCol_ = 0;
};

template <typename Fn>
void CellStore::ForEachIn(int r1, int c1, int r2, int c2, Fn&& fn) {
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  if (r1 < 0) r1 = 0;
  if (r2 >= static_cast<int>(rows_.size())) r2 = static_cast<int>(rows_.size()) - 1;
  for (int r = r1; r <= r2; ++r) {
    const std::vector<CellId>& ids = rows_[r];
    if (ids.empty()) continue;
    std::size_t i = 0;
    if (c1 > 0) {
      std::size_t lo = 0, hi = ids.size();
      while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (Slot(ids[mid]).col < c1) lo = mid + 1; else hi = mid;
      }
      i = lo;
    }
    for (; i < ids.size(); ++i) {
      CellRecord& cell = Slot(ids[i]);
      if (cell.col > c2) break;
      fn(cell);
    }
  }
}

}  // namespace tabulon
