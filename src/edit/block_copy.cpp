// Copy and move of a block, the nudges, and the value copies.
#include <algorithm>
#include <string>

#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "edit/block_ops.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "sheet/session.h"
#include "edit/undo.h"

namespace tabulon {

namespace {

using block::InSheet;
using block::IsLockedForEntry;

constexpr const char* kCopyError = "Copy Error";

BlockResult Failed(SheetDocument& doc, const char* message) {
  doc.session().errors().Fail(message);
  BlockResult r;
  r.ok = false;
  return r;
}

// The normalised source block and the destination anchors it is written to.
struct Plan {
  int top, left, height, width;          // source
  int anchorTop, anchorLeft;             // first anchor
  int anchorBottom, anchorRight;         // last anchor
};

// Works out the destination anchors: a source more than one column wide
// (or any move) collapses the destination's columns to its first column,
// and likewise for rows. False when an anchor block would leave the sheet.
bool MakePlan(const CellRange& source, const CellRange& destination, bool move, Plan& p) {
  if (!InSheet(source) || !destination.IsDefined() || !RowInSheet(destination.firstRow) ||
      !ColumnInSheet(destination.firstCol))
    return false;
  p.top = source.Top();
  p.left = source.Left();
  p.height = source.Bottom() - p.top + 1;
  p.width = source.Right() - p.left + 1;
  CellRange d = destination;
  if (p.width > 1 || move) d.lastCol = d.firstCol;
  if (p.height > 1 || move) d.lastRow = d.firstRow;
  if (!InSheet(d)) return false;
  p.anchorTop = d.Top();
  p.anchorLeft = d.Left();
  p.anchorBottom = d.Bottom();
  p.anchorRight = d.Right();
  return p.anchorBottom + p.height - 1 < kRowCount && p.anchorRight + p.width - 1 < kColumnCount;
}

// Visits the source positions in an order that reads every source cell
// before the copy to `anchor` can overwrite it: forward along an axis when
// the anchor lies before the source on it, backward otherwise.
template <typename Fn>
bool ForEachPair(const Plan& p, int anchorRow, int anchorCol, Fn&& fn) {
  bool rowsForward = anchorRow < p.top;
  bool colsForward = anchorCol < p.left;
  for (int i = 0; i < p.height; ++i) {
    int r = rowsForward ? p.top + i : p.top + p.height - 1 - i;
    int tr = anchorRow + (r - p.top);
    for (int j = 0; j < p.width; ++j) {
      int c = colsForward ? p.left + j : p.left + p.width - 1 - j;
      int tc = anchorCol + (c - p.left);
      if (r == tr && c == tc) continue;
      if (!fn(r, c, tr, tc)) return false;
    }
  }
  return true;
}

void CopyStyle(const CellRecord& from, CellRecord& to) {
  to.format = from.format;
  to.font = from.font;
  to.fontSize = from.fontSize;
  to.style = from.style;
  to.borders = from.borders;
  to.colour = from.colour;
}

class Copier {
 public:
  explicit Copier(SheetDocument& doc) : doc_(doc), store_(doc.cells()) {}

  // Copies the cell at (r, c) to (tr, tc); false stops the command.
  bool CopyCell(int r, int c, int tr, int tc) {
    CellRecord* src = store_.FindCell(r, c);
    CellRecord* tgt = store_.FindCell(tr, tc);
    if (src == nullptr) {
      // A missing source erases the target's entry and leaves its style.
      if (tgt != nullptr && !IsLockedForEntry(doc_, tgt) && tgt->Kind() != kEmpty) {
        BlankCell(doc_, *tgt);
        touched_.push_back(tgt->id);
      }
      return true;
    }
    if (IsLockedForEntry(doc_, tgt)) return true;
    if (tgt == nullptr) tgt = store_.GetOrCreateCell(tr, tc);
    if (tgt == nullptr) return false;
    BlankCell(doc_, *tgt);
    CopyStyle(*src, *tgt);
    touched_.push_back(tgt->id);
    switch (src->Kind()) {
      case kLabel:
        store_.SetCellText(*tgt, src->TextView());
        tgt->kind = kLabel;
        return true;
      case kReal:
      case kInteger:
        tgt->value = src->value;
        tgt->kind = src->Kind();
        return true;
      case kFormula:
      case kStringFormula:
        return CopyFormula(*src, *tgt);
      default:
        return true;
    }
  }

  std::vector<CellId>& touched() { return touched_; }

 private:
  bool CopyFormula(const CellRecord& src, CellRecord& tgt) {
    if (src.text == nullptr) return true;
    std::string code = CodeBytes(src.text);
    auto* bytes = reinterpret_cast<std::uint8_t*>(code.data());
    if (!(src.kind & kFileFormBit)) {
      // Through the position-independent form: absolute parts stay, relative
      // parts are re-aimed from the target's position.
      ToRelativeForm(bytes, store_, src.row, src.col);
      if (!ToLinkedForm(bytes, store_, tgt.row, tgt.col)) return false;
    }
    store_.SetCode(tgt, bytes);
    // The source's result stands until the copy is evaluated; a text result
    // is duplicated, never shared.
    if (src.KindAndError() == kStringFormula) {
      store_.StoreFormulaText(tgt, PStringView(src.value.str));
    } else {
      tgt.value.num = src.value.num;
      tgt.kind = kFormula | (src.kind & kErrorBit);
    }
    tgt.kind |= src.kind & kFileFormBit;
    if (!(tgt.kind & kFileFormBit)) RegisterFormula(doc_, tgt, true);
    return true;
  }

  SheetDocument& doc_;
  CellStore& store_;
  std::vector<CellId> touched_;
};

class Mover {
 public:
  explicit Mover(SheetDocument& doc) : doc_(doc), store_(doc.cells()) {}

  void MoveCell(int r, int c, int tr, int tc) {
    CellRecord* src = store_.FindCell(r, c);
    if (src == nullptr || IsLockedForEntry(doc_, src)) return;
    CellRecord* tgt = store_.FindCell(tr, tc);
    if (IsLockedForEntry(doc_, tgt)) return;
    if (tgt != nullptr) {
      DeleteCell(doc_, *tgt, &pending_);
      store_.FreeRecord(*tgt);
    }
    store_.Relocate(*src, tr, tc);
    pending_.push_back(src->id);
  }

  std::vector<CellId>& pending() { return pending_; }

 private:
  SheetDocument& doc_;
  CellStore& store_;
  std::vector<CellId> pending_;
};

}  // namespace

BlockResult CopyRange(SheetDocument& doc, const CellRange& source, const CellRange& destination) {
  Plan p;
  if (!MakePlan(source, destination, false, p)) return Failed(doc, kCopyError);
  TakeSnapshot(doc);
  ErrorChannel& errors = doc.session().errors();
  errors.Fail(kCopyError);  // the message of any failure on the way
  CellStore& store = doc.cells();
  int farRow = p.anchorBottom + p.height - 1, farCol = p.anchorRight + p.width - 1;
  store.SetExtents(std::max(store.maxRow(), farRow), std::max(store.maxCol(), farCol));
  doc.settings().modified = true;

  Copier copier(doc);
  // A single-row or single-column source with several anchors overlaps at
  // most one of them; that anchor overwrites the source, so it goes last and
  // every other anchor reads the source as it was.
  bool ok = true;
  bool deferred = false;
  int deferRow = 0, deferCol = 0;
  auto pair = [&](int r, int c, int tr, int tc) { return copier.CopyCell(r, c, tr, tc); };
  for (int ar = p.anchorTop; ar <= p.anchorBottom && ok; ++ar) {
    for (int ac = p.anchorLeft; ac <= p.anchorRight && ok; ++ac) {
      bool overlaps = ar <= p.top + p.height - 1 && ar + p.height - 1 >= p.top &&
                      ac <= p.left + p.width - 1 && ac + p.width - 1 >= p.left;
      if (overlaps && !deferred) {
        deferred = true;
        deferRow = ar;
        deferCol = ac;
        continue;
      }
      ok = ForEachPair(p, ar, ac, pair);
    }
  }
  if (ok && deferred) ok = ForEachPair(p, deferRow, deferCol, pair);

  BlockResult result;
  result.ok = ok;
  result.changed = CellRange::Of(p.anchorTop, p.anchorLeft, farRow, farCol);
  if (ok) errors.Clear();
  block::Recalculate(doc, copier.touched());
  return result;
}

BlockResult MoveRange(SheetDocument& doc, const CellRange& source, const CellRange& destination) {
  Plan p;
  if (!MakePlan(source, destination, true, p)) return Failed(doc, kCopyError);
  TakeSnapshot(doc);
  doc.settings().modified = true;
  int bottom = p.top + p.height - 1, right = p.left + p.width - 1;
  CellRange from = CellRange::Of(p.top, p.left, bottom, right);
  CellRange to =
      CellRange::Of(p.anchorTop, p.anchorLeft, p.anchorTop + p.height - 1, p.anchorLeft + p.width - 1);

  block::RangeRegistrations ranges;
  ranges.Capture(doc, {from, to});
  Mover mover(doc);
  ForEachPair(p, p.anchorTop, p.anchorLeft, [&](int r, int c, int tr, int tc) {
    mover.MoveCell(r, c, tr, tc);
    return true;
  });
  std::vector<CellId> recalc = std::move(mover.pending());
  std::vector<CellId> again = ranges.Restore(doc);
  recalc.insert(recalc.end(), again.begin(), again.end());
  ShiftStoredRanges(doc, from, p.anchorTop - p.top, p.anchorLeft - p.left);
  block::Recalculate(doc, recalc);

  BlockResult result;
  result.changed = CellRange::Of(std::min(p.top, p.anchorTop), std::min(p.left, p.anchorLeft),
                                 std::max<int>(bottom, to.lastRow), std::max<int>(right, to.lastCol));
  return result;
}

BlockResult NudgeBlock(SheetDocument& doc, CellRange& selection, NudgeDirection direction) {
  if (!InSheet(selection)) return Failed(doc, kCopyError);
  int dr = 0, dc = 0;
  switch (direction) {
    case NudgeDirection::kUp: dr = -1; break;
    case NudgeDirection::kDown: dr = 1; break;
    case NudgeDirection::kLeft: dc = -1; break;
    case NudgeDirection::kRight: dc = 1; break;
  }
  if ((dr < 0 && selection.Top() == 0) || (dc < 0 && selection.Left() == 0)) return {};
  CellRange moved = selection;
  moved.firstRow = static_cast<std::int16_t>(moved.firstRow + dr);
  moved.lastRow = static_cast<std::int16_t>(moved.lastRow + dr);
  moved.firstCol = static_cast<std::int16_t>(moved.firstCol + dc);
  moved.lastCol = static_cast<std::int16_t>(moved.lastCol + dc);
  CellRange target = CellRange::Cell(selection.Top() + dr, selection.Left() + dc);
  BlockResult r = MoveRange(doc, selection, target);
  if (r.ok) selection = moved;
  return r;
}

BlockResult CopyValues(SheetDocument& doc, const CellRange& source, const CellRange& output,
                       ValueCopyMode mode, double factor) {
  if (!InSheet(source) || !output.IsDefined() || !RowInSheet(output.firstRow) ||
      !ColumnInSheet(output.firstCol))
    return Failed(doc, kCopyError);
  int top = source.Top(), left = source.Left();
  int height = source.Bottom() - top + 1, width = source.Right() - left + 1;
  bool single = height == 1 && width == 1;
  if (mode == ValueCopyMode::kTranspose) std::swap(height, width);
  CellRange out = single ? output : CellRange::Of(output.firstRow, output.firstCol,
                                                  output.firstRow + height - 1,
                                                  output.firstCol + width - 1);
  if (!InSheet(out)) return Failed(doc, kCopyError);

  TakeSnapshot(doc);
  doc.settings().modified = true;
  CellStore& store = doc.cells();
  const bool protect = doc.settings().protect;

  // Every value is read before anything is written, so an output that
  // overlaps the source (a transpose in place) reads the source as it was.
  struct Item {
    int dr, dc;
    enum { kText, kTextResult, kNumber, kFailed } what;
    std::string text;
    double v;
  };
  std::vector<Item> items;
  ForEachCell(doc, source, [&](CellRecord& c, int row, int col) {
    if (protect && c.IsLocked()) return;
    Item it{row - top, col - left, Item::kNumber, {}, 0};
    switch (c.KindAndError()) {
      case kFormula: it.v = c.value.num; break;
      case kReal: it.v = c.value.num; break;
      case kInteger: it.v = c.value.integer; break;
      default: break;
    }
    if (mode == ValueCopyMode::kTranspose) std::swap(it.dr, it.dc);
    if (mode == ValueCopyMode::kScale) it.v *= factor;
    if (mode == ValueCopyMode::kInvert) {
      if (it.v == 0) it.what = Item::kFailed;
      else it.v = 1 / it.v;
    }
    if (c.Kind() == kLabel) {
      it.what = Item::kText;
      it.text = std::string(c.TextView());
    } else if (c.KindAndError() == kStringFormula) {
      it.what = Item::kTextResult;
      it.text = std::string(PStringView(c.value.str));
    }
    items.push_back(std::move(it));
  });

  ErrorChannel& errors = doc.session().errors();
  std::vector<CellId> stored;
  auto write = [&](const Item& it, int row, int col) {
    switch (it.what) {
      case Item::kText:
        EnterCell(doc, it.text, row, col);
        break;
      case Item::kTextResult:
        // Text that does not enter as itself (a formula that does not
        // compile) goes in as a label.
        if (!EnterCell(doc, it.text, row, col).ok)
          EnterCell(doc, doc.settings().labelPrefix + it.text, row, col);
        break;
      case Item::kFailed:
        EnterCell(doc, "@ERR", row, col);
        break;
      case Item::kNumber: {
        CellRecord* t = store.FindCell(row, col);
        if (IsLockedForEntry(doc, t)) break;
        if (t == nullptr) t = store.GetOrCreateCell(row, col);
        if (t == nullptr) break;
        SetNumber(doc, *t, it.v);
        stored.push_back(t->id);
        break;
      }
    }
    errors.Clear();  // a locked target is skipped without a message
  };
  for (const Item& it : items) {
    if (single) {
      for (int r = out.Top(); r <= out.Bottom(); ++r)
        for (int c = out.Left(); c <= out.Right(); ++c) write(it, r, c);
    } else {
      write(it, output.firstRow + it.dr, output.firstCol + it.dc);
    }
  }
  block::Recalculate(doc, stored);
  BlockResult result;
  result.changed = CellRange::Of(out.Top(), out.Left(), out.Bottom(), out.Right());
  return result;
}

}  // namespace tabulon
