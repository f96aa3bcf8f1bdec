#include "sheet/cell_store.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace tabulon {

namespace {

// Template of every new record.
CellRecord NewRecordTemplate() {
  CellRecord r;
  std::memset(&r, 0, sizeof r);
  r.font = kDefaultFont;
  r.fontSize = 0;
  r.colour = kNewCellColour;
  r.format = kLockBit | kDefaultFormat;
  r.kind = kEmpty;
  return r;
}

const CellRecord kTemplate = NewRecordTemplate();

}  // namespace

CellStore::CellStore(ErrorChannel& errors, bool& modified)
    : errors_(errors), modified_(modified) {
  depNodes_.push_back({kNoCell, 0});
}

CellStore::~CellStore() { Clear(); }

std::vector<CellId>& CellStore::RowVector(int row) {
  if (row >= static_cast<int>(rows_.size())) {
    // Room for every row at once: growing by doubling would copy the row
    // table and hold both copies; pages of rows never used stay untouched.
    if (rows_.capacity() < static_cast<std::size_t>(kRowCount)) rows_.reserve(kRowCount);
    rows_.resize(row + 1);
  }
  return rows_[row];
}

void CellStore::TrimRows() {
  for (std::vector<CellId>& ids : rows_) {
    if (ids.capacity() != ids.size()) ids.shrink_to_fit();
  }
  depNodes_.shrink_to_fit();
}

CellRecord* CellStore::FindFrom(int row, int col) {
  if (!RowInSheet(row) || row >= static_cast<int>(rows_.size())) return nullptr;
  const std::vector<CellId>& ids = rows_[row];
  // Rows filled from column A without gaps hold column c at index c: reach it
  // directly, as exports and scans of dense sheets ask for every column.
  if (col >= 0 && static_cast<std::size_t>(col) < ids.size() && Slot(ids[col]).col == col)
    return &Slot(ids[col]);
  // Past the last record: the usual case while a row is being filled.
  if (ids.empty() || Slot(ids.back()).col < col) return nullptr;
  auto it = std::lower_bound(ids.begin(), ids.end(), col,
                             [this](CellId id, int c) { return Slot(id).col < c; });
  return it == ids.end() ? nullptr : &Slot(*it);
}

CellRecord* CellStore::FindCell(int row, int col) {
  CellRecord* r = FindFrom(row, col);
  return (r != nullptr && r->col == col) ? r : nullptr;
}

CellId CellStore::AllocateRecord() {
  ++structure_;
  if (!freeIds_.empty()) {
    CellId id = freeIds_.back();
    freeIds_.pop_back();
    return id;
  }
  if (nextId_ > kMaxRecordId) return kNoCell;
  if ((nextId_ >> kChunkBits) >= chunks_.size()) {
    chunks_.emplace_back(new (std::nothrow) Chunk);
    if (!chunks_.back()) {
      chunks_.pop_back();
      return kNoCell;
    }
  }
  return nextId_++;
}

// Capacity of a row index that must hold `n` identities. Rows grow by small
// steps rather than doubling: a row holds at most 256 identities, so the
// copies stay cheap, and a sheet filled column by column (every row growing
// one cell at a time) keeps little spare room. Capacities of the form 4k + 2
// fill the allocator's 16-byte granules exactly (4 bytes per identity plus
// its 8-byte header).
static std::size_t RowCapacityFor(std::size_t n) {
  std::size_t step = std::max<std::size_t>(4, n / 8);
  std::size_t cap = n <= 2 ? 2 : ((n - 2 + step - 1) / step) * step + 2;
  return ((cap - 2 + 3) / 4) * 4 + 2;
}

void CellStore::PlaceInRow(CellRecord& cell) {
  std::vector<CellId>& ids = RowVector(cell.row);
  if (ids.size() == ids.capacity()) ids.reserve(RowCapacityFor(ids.size() + 1));
  // Entries usually arrive in column order (loading, filling): append fast.
  if (ids.empty() || Slot(ids.back()).col < cell.col) {
    ids.push_back(cell.id);
    return;
  }
  auto it = std::lower_bound(ids.begin(), ids.end(), cell.col,
                             [this](CellId id, int c) { return Slot(id).col < c; });
  ids.insert(it, cell.id);
}

void CellStore::UnlinkFromRow(CellRecord& cell) {
  std::vector<CellId>& ids = RowVector(cell.row);
  auto it = std::lower_bound(ids.begin(), ids.end(), static_cast<int>(cell.col),
                             [this](CellId id, int c) { return Slot(id).col < c; });
  if (it != ids.end() && *it == cell.id) ids.erase(it);
}

CellRecord* CellStore::GetOrCreateCell(int row, int col) {
  if (!RowInSheet(row) || !ColumnInSheet(col)) {
    errors_.Fail("Out of Range");
    return nullptr;
  }
  modified_ = true;
  if (CellRecord* existing = FindCell(row, col)) return existing;
  CellId id = AllocateRecord();
  if (id == kNoCell) return nullptr;
  CellRecord& cell = Slot(id);
  cell = kTemplate;
  cell.id = id;
  HeadOf(id) = 0;
  cell.row = static_cast<std::int16_t>(row);
  cell.col = static_cast<std::uint8_t>(col);
  PlaceInRow(cell);
  ++liveCount_;
  if (row > maxRow_) maxRow_ = static_cast<std::int16_t>(row);
  if (col > maxCol_) maxCol_ = static_cast<std::int16_t>(col);
  return &cell;
}

void CellStore::SetCellText(CellRecord& cell, std::string_view bytes) {
  ++structure_;
  std::size_t n = std::min<std::size_t>(bytes.size(), kMaxText);
  if (cell.text == nullptr || cell.text[0] != n) {
    texts_.Free(cell.text);
    cell.text = texts_.Allocate(n);
    if (cell.text == nullptr) throw std::bad_alloc();
  }
  if (n > 0) std::memcpy(cell.text + 1, bytes.data(), n);
}

void CellStore::SetCode(CellRecord& cell, const std::uint8_t* code) {
  // Byte 0 of the code is L, so the code is itself a length-prefixed string
  // of L bytes (bytes 1..L).
  SetCellText(cell, std::string_view(reinterpret_cast<const char*>(code + 1), code[0]));
}

void CellStore::FreeText(CellRecord& cell) {
  ++structure_;
  texts_.Free(cell.text);
  cell.text = nullptr;
}

void CellStore::ReleaseValue(CellRecord& cell) {
  if ((cell.kind & (kKindMask | kErrorBit)) == kStringFormula) texts_.Free(cell.value.str);
  cell.value.bits = 0;
}

void CellStore::StoreNumber(CellRecord& cell, double x) {
  if (cell.IsFormula()) ++structure_;  // a formula no more
  ReleaseValue(cell);
  std::uint8_t marks = cell.kind & ~(kKindMask | kErrorBit);
  if (x == std::trunc(x) && std::fabs(x) < 32767) {
    cell.value.integer = static_cast<std::int16_t>(x);
    cell.kind = marks | kInteger;
  } else {
    cell.value.num = x;
    cell.kind = marks | kReal;
  }
}

void CellStore::StoreFormulaNumber(CellRecord& cell, double x, bool error) {
  ReleaseValue(cell);
  std::uint8_t keep = cell.kind & kFileFormBit;
  if (error) {
    cell.value.num = -1.0;
    cell.kind = keep | kFormula | kErrorBit;
  } else {
    cell.value.num = x;
    cell.kind = keep | kFormula;
  }
}

void CellStore::StoreFormulaText(CellRecord& cell, std::string_view text) {
  ReleaseValue(cell);
  std::uint8_t keep = cell.kind & kFileFormBit;
  cell.kind = keep | kStringFormula;
  if (text.empty()) return;
  std::size_t n = std::min<std::size_t>(text.size(), kMaxText);
  PString p = texts_.Allocate(n);
  if (p == nullptr) throw std::bad_alloc();
  std::memcpy(p + 1, text.data(), n);
  cell.value.str = p;
}

void CellStore::AddDependent(CellRecord& cell, CellId dependent) {
  ++structure_;
  std::uint32_t& head = HeadOf(cell.id);
  if (head != 0 && depNodes_[head].cell == dependent) return;
  std::uint32_t node;
  if (freeDep_ != 0) {
    node = freeDep_;
    freeDep_ = depNodes_[node].next;
  } else {
    node = static_cast<std::uint32_t>(depNodes_.size());
    depNodes_.push_back({});
  }
  depNodes_[node] = {dependent, head};
  head = node;
}

void CellStore::RemoveDependent(CellRecord& cell, CellId dependent) {
  ++structure_;
  std::uint32_t* link = &HeadOf(cell.id);
  while (*link != 0) {
    std::uint32_t node = *link;
    if (depNodes_[node].cell == dependent) {
      *link = depNodes_[node].next;
      depNodes_[node] = {kNoCell, freeDep_};
      freeDep_ = node;
      return;
    }
    link = &depNodes_[node].next;
  }
}

void CellStore::FreeDependents(CellRecord& cell) {
  ++structure_;
  std::uint32_t& head = HeadOf(cell.id);
  std::uint32_t node = head;
  while (node != 0) {
    std::uint32_t next = depNodes_[node].next;
    depNodes_[node] = {kNoCell, freeDep_};
    freeDep_ = node;
    node = next;
  }
  head = 0;
}

void CellStore::FreeRecord(CellRecord& cell) {
  ++structure_;
  if (cell.row < 0) return;
  ReleaseValue(cell);
  FreeText(cell);
  FreeDependents(cell);
  UnlinkFromRow(cell);
  cell.row = -1;
  cell.kind = kEmpty;
  freeIds_.push_back(cell.id);
  --liveCount_;
}

void CellStore::Clear() {
  ++structure_;
  // Every string lives in the pool, so they all go with it.
  texts_.Clear();
  rows_.clear();
  rows_.shrink_to_fit();
  chunks_.clear();
  freeIds_.clear();
  nextId_ = 1;
  liveCount_ = 0;
  depNodes_.assign(1, {kNoCell, 0});
  freeDep_ = 0;
  maxRow_ = 0;
  maxCol_ = 0;
}

void CellStore::MoveRow(int from, int to) {
  ++structure_;
  if (from == to || !RowInSheet(from) || !RowInSheet(to)) return;
  std::vector<CellId>& dst = RowVector(to);
  std::vector<CellId>& src = RowVector(from);
  dst.swap(src);
  src.clear();
  for (CellId id : dst) Slot(id).row = static_cast<std::int16_t>(to);
  if (!dst.empty() && to > maxRow_) maxRow_ = static_cast<std::int16_t>(to);
}

void CellStore::SetColumn(CellRecord& cell, int col) {
  ++structure_;
  UnlinkFromRow(cell);
  cell.col = static_cast<std::uint8_t>(col);
  PlaceInRow(cell);
  if (col > maxCol_) maxCol_ = static_cast<std::int16_t>(col);
}

void CellStore::Relocate(CellRecord& cell, int row, int col) {
  ++structure_;
  UnlinkFromRow(cell);
  cell.row = static_cast<std::int16_t>(row);
  cell.col = static_cast<std::uint8_t>(col);
  PlaceInRow(cell);
  if (row > maxRow_) maxRow_ = static_cast<std::int16_t>(row);
  if (col > maxCol_) maxCol_ = static_cast<std::int16_t>(col);
}

void CellStore::ShiftColumns(int row, int from, int delta) {
  ++structure_;
  if (!RowInSheet(row) || row >= static_cast<int>(rows_.size()) || delta == 0) return;
  std::vector<CellId>& ids = rows_[row];
  auto it = std::lower_bound(ids.begin(), ids.end(), from,
                             [this](CellId id, int c) { return Slot(id).col < c; });
  for (; it != ids.end(); ++it) {
    CellRecord& cell = Slot(*it);
    cell.col = static_cast<std::uint8_t>(cell.col + delta);
    if (cell.col > maxCol_) maxCol_ = cell.col;
  }
}

void CellStore::PermuteRowSegments(int top, int left, int right, std::span<const int> from) {
  const int n = static_cast<int>(from.size());
  if (n == 0 || !RowInSheet(top) || !RowInSheet(top + n - 1)) return;
  auto lower = [this](const std::vector<CellId>& ids, int col) {
    return static_cast<std::size_t>(
        std::lower_bound(ids.begin(), ids.end(), col,
                         [this](CellId id, int c) { return Slot(id).col < c; }) -
        ids.begin());
  };
  // Where each row's segment lies in its row vector, and a copy of every
  // segment, before anything changes.
  std::vector<std::size_t> start(n), length(n), flatStart(n);
  std::vector<CellId> flat;
  for (int i = 0; i < n; ++i) {
    int row = top + i;
    flatStart[i] = flat.size();
    if (row >= static_cast<int>(rows_.size())) continue;
    const std::vector<CellId>& ids = rows_[row];
    start[i] = lower(ids, left);
    length[i] = lower(ids, right + 1) - start[i];
    flat.insert(flat.end(), ids.begin() + start[i], ids.begin() + start[i] + length[i]);
  }
  for (int i = 0; i < n; ++i) {
    int src = from[i] - top;
    if (length[src] == 0) continue;
    std::vector<CellId>& ids = RowVector(top + i);
    std::size_t need = ids.size() - length[i] + length[src];
    if (need > ids.capacity()) ids.reserve(RowCapacityFor(need));
  }
  // Nothing below allocates.
  ++structure_;
  for (int i = 0; i < n; ++i) {
    int row = top + i;
    int src = from[i] - top;
    if (length[i] == 0 && length[src] == 0) continue;
    std::vector<CellId>& ids = rows_[row];
    auto at = ids.begin() + static_cast<std::ptrdiff_t>(start[i]);
    at = ids.erase(at, at + static_cast<std::ptrdiff_t>(length[i]));
    auto first = flat.begin() + static_cast<std::ptrdiff_t>(flatStart[src]);
    ids.insert(at, first, first + static_cast<std::ptrdiff_t>(length[src]));
    for (std::size_t k = 0; k < length[src]; ++k) Slot(first[k]).row = static_cast<std::int16_t>(row);
    if (length[src] != 0 && row > maxRow_) maxRow_ = static_cast<std::int16_t>(row);
  }
}

}  // namespace tabulon
