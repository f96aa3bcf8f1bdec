#include "ui/block_commands.h"

#include <algorithm>
#include <vector>

#include "edit/block_support.h"
#include "edit/cell_ops.h"
#include "sheet/error_channel.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"
#include "edit/undo.h"
#include "ui/width_dialog.h"

namespace tabulon {

namespace {

BlockResult Fail(SheetDocument& doc, const char* message) {
  doc.session().errors().Fail(message);
  BlockResult r;
  r.ok = false;
  return r;
}

// A command built from several block commands is undone as one step: the
// snapshot taken before the first keeps its place over the ones the inner
// commands take.
template <typename Fn>
BlockResult UnderOneSnapshot(SheetDocument& doc, Fn&& fn) {
  TakeSnapshot(doc);
  UndoSnapshot before = std::move(doc.undo());
  BlockResult r = fn();
  doc.undo() = std::move(before);
  return r;
}

BlockResult InsertAcross(SheetDocument& doc, const CellRange& sel) {
  Span rows = SelectedRows(sel);
  CellStore& store = doc.cells();
  if (rows.first > store.maxRow()) return {};
  if (store.maxRow() + rows.count > kRowCount - 1) return Fail(doc, "CELLS in bottom row");
  CellRange source = CellRange::Of(rows.first, sel.Left(), store.maxRow(), sel.Right());
  CellRange target = CellRange::Cell(rows.first + rows.count, sel.Left());
  return MoveRange(doc, source, target);
}

BlockResult DeleteAcross(SheetDocument& doc, const CellRange& sel) {
  Span rows = SelectedRows(sel);
  CellStore& store = doc.cells();
  if (rows.first > store.maxRow()) return {};
  return UnderOneSnapshot(doc, [&] {
    std::vector<CellId> pending;
    CellRange removed = CellRange::Of(rows.first, sel.Left(), sel.Bottom(), sel.Right());
    ForEachCell(doc, removed, [&](CellRecord& c, int, int) {
      DeleteCell(doc, c, &pending);
      store.FreeRecord(c);
    });
    doc.settings().modified = true;
    BlockResult r;
    int below = sel.Bottom() + 1;
    if (below <= store.maxRow()) {
      r = MoveRange(doc, CellRange::Of(below, sel.Left(), store.maxRow(), sel.Right()),
                    CellRange::Cell(rows.first, sel.Left()));
    }
    block::Recalculate(doc, pending);
    r.changed = CellRange::Of(rows.first, sel.Left(), std::max<int>(store.maxRow(), sel.Bottom()),
                              sel.Right());
    return r;
  });
}

}  // namespace

const char* ValueCopyPrompt(ValueCopyMode mode) {
  switch (mode) {
    case ValueCopyMode::kValue: return "COPY VALUE: Specify Range";
    case ValueCopyMode::kTranspose: return "TRANSPOSE VALUE: Specify Range";
    case ValueCopyMode::kScale: return "SCALE VALUE: Specify Range";
    case ValueCopyMode::kInvert: return "INVERT VALUE: Specify Range";
  }
  return "";
}

Span SelectedRows(const CellRange& selection) {
  if (!selection.IsDefined()) return {};
  return {selection.Top(), selection.Bottom() - selection.Top() + 1};
}

Span SelectedColumns(const CellRange& selection) {
  if (!selection.IsDefined()) return {};
  return {selection.Left(), selection.Right() - selection.Left() + 1};
}

CellRange PromptRange(SheetDocument& doc, std::string_view text, const CursorSource* cursor) {
  ErrorChannel& errors = doc.session().errors();
  errors.Clear();
  RangeContext context{doc.settings().pageHeight, &doc.names(), cursor};
  ParsedRange parsed = ParseRange(text, context, errors);
  bool ok = parsed.ok && !errors.failed() && block::InSheet(parsed.range);
  errors.Clear();
  return ok ? parsed.range : CellRange{};
}

BlockResult RunSheetCommand(SheetDocument& doc, SheetCommand command, const CellRange& selection,
                            int cursorColumn) {
  doc.session().errors().Clear();
  if (!block::InSheet(selection)) return Fail(doc, "Out of Range");
  Span rows = SelectedRows(selection), cols = SelectedColumns(selection);
  switch (command) {
    case SheetCommand::kInsertPageBreak:
      return InsertPageBreak(doc, rows.first, cursorColumn);
    case SheetCommand::kInsertRows: return InsertRows(doc, rows.first, rows.count);
    case SheetCommand::kInsertColumns: return InsertColumns(doc, cols.first, cols.count);
    case SheetCommand::kInsertAcross: return InsertAcross(doc, selection);
    case SheetCommand::kDeleteRows: return DeleteRows(doc, rows.first, rows.count);
    case SheetCommand::kDeleteColumns: return DeleteColumns(doc, cols.first, cols.count);
    case SheetCommand::kDeleteAcross: return DeleteAcross(doc, selection);
  }
  return {};
}

std::optional<double> ParseScaleFactor(SheetDocument& doc, std::string_view text) {
  return EvaluateNumberField(doc, text);
}

}  // namespace tabulon
