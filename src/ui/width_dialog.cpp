#include "ui/width_dialog.h"

#include <algorithm>
#include <cmath>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "edit/block_support.h"
#include "sheet/error_channel.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"
#include "edit/undo.h"
#include "ui/row_painter.h"

namespace tabulon {

namespace {

// Every index in [first, last] that is a multiple of skip + 1.
template <typename Fn>
void EveryNth(int first, int last, double skip, Fn&& fn) {
  int step = skip > 0 ? static_cast<int>(std::min(skip, 8192.0)) + 1 : 1;
  for (int i = first; i <= last; ++i)
    if (i % step == 0) fn(i);
}

}  // namespace

std::optional<double> EvaluateNumberField(SheetDocument& doc, std::string_view text) {
  if (text.empty() || text.size() > 240) return std::nullopt;
  ErrorChannel& errors = doc.session().errors();
  TextResult r = Engine(doc.session()).evaluator->EvaluateText(doc, text);
  errors.Clear();
  if (r.error || r.isString || !std::isfinite(r.number)) return std::nullopt;
  return r.number;
}

void WidthDialog::Activate(SheetDocument& doc, const CellRange& selection, int windowRowHeight) {
  touched_ = 0;
  rangeText_ = RangeText(selection, doc.settings().pageHeight);
  const GridMetrics& m = doc.metrics();
  int col = selection.IsDefined() ? selection.Left() : 0;
  int row = selection.IsDefined() ? selection.Top() : 0;
  width_ = std::round(m.columnWidths[static_cast<std::size_t>(std::clamp(col, 0, 255))] / 8.0);
  height_ = RowPixelHeight(m, std::clamp(row, 0, kRowCount - 1), windowRowHeight);
  globalWidth_ = globalHeight_ = false;
}

WidthDialog::Outcome WidthDialog::Apply(SheetDocument& doc, const CursorSource* cursor) {
  ErrorChannel& errors = doc.session().errors();
  errors.Clear();
  RangeContext context{doc.settings().pageHeight, &doc.names(), cursor};
  ParsedRange parsed = ParseRange(rangeText_, context, errors);
  bool rangeOk = parsed.ok && !errors.failed() && block::InSheet(parsed.range);
  errors.Clear();
  if (touched_ == 0) return Outcome::kApplied;
  if (!rangeOk) return Outcome::kBadRange;
  bool doWidth = touched_ & kWidthPage, doHeight = touched_ & kHeightPage;
  // Whole numbers only: a width of 254 characters is the widest stored.
  double w = std::round(width_), h = std::round(height_);
  if (doWidth && !(w >= 0 && w <= 254)) return Outcome::kBadWidth;
  if (doHeight && !(h >= 1 && h <= 254)) return Outcome::kBadHeight;

  TakeSnapshot(doc);
  GridMetrics& m = doc.metrics();
  const CellRange& r = parsed.range;
  if (doWidth) {
    auto pixels = static_cast<std::int16_t>(w * 8);
    if (globalWidth_) m.SetDefaultColumnWidth(pixels);
    EveryNth(r.Left(), r.Right(), skipColumns_, [&](int c) {
      if (resetWidth_) m.ResetColumnWidth(c); else m.SetColumnWidth(c, pixels);
    });
  }
  if (doHeight) {
    auto pixels = static_cast<std::int16_t>(h);
    if (globalHeight_) m.SetDefaultRowHeight(pixels);
    EveryNth(r.Top(), r.Bottom(), skipRows_, [&](int row) {
      if (resetHeight_) m.ResetRowHeight(row); else m.SetRowHeight(row, pixels);
    });
  }
  doc.settings().modified = true;
  return Outcome::kApplied;
}

}  // namespace tabulon
