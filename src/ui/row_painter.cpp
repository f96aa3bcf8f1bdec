#include "ui/row_painter.h"

#include <algorithm>

#include "display/format.h"
#include "formula/formula_text.h"
#include "sheet/address.h"
#include "sheet/cell_record.h"
#include "sheet/sheet_document.h"
#include "sheet/session.h"
#include "ui/sheet_window.h"

namespace tabulon {

namespace {

constexpr Rgb kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr Rgb kGridLineColour = MakeRgb(192, 192, 192);
constexpr Rgb kSelectionColour = MakeRgb(255, 0, 0);
constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr Rgb kBlack = 0;
constexpr int kTextInset = 4;  // text keeps this far from the cell's left or right edge

int PaletteIndexOf(std::uint32_t word) { return static_cast<int>((word >> 24) & 0x0F); }
Rgb BackgroundOf(std::uint32_t word) { return word & 0x00FFFFFFu; }

bool IsNumberKind(std::uint8_t kind) {
  return kind == kFormula || kind == kReal || kind == kInteger;
}

double NumberOf(const CellRecord& c) {
  return c.Kind() == kInteger ? static_cast<double>(c.value.integer) : c.value.num;
}

// The scheme colour a cell's kind selects, or -1 for kinds without one.
int SchemeFor(const CellRecord& c, bool negativeColour) {
  if (c.HasError()) return kSchemeValue;
  std::uint8_t k = c.Kind();
  if (k == kStringFormula || k == kLabel) return kSchemeLabel;
  if (IsNumberKind(k)) {
    return (negativeColour && NumberOf(c) < 0) ? kSchemeNegative : kSchemeValue;
  }
  return -1;
}

}  // namespace

Rgb PaletteEntry(int i) { return (i >= 0 && i < 16) ? kPalette[i] : kBlack; }

Rgb ForegroundColour(int paletteIndex) { return PaletteEntry(paletteIndex - 2); }

int ZoomForTag(int tag) {
  return (tag >= 1 && tag <= 8) ? kZoomSteps[tag - 1] : 100;
}

int TagForZoom(int percent) {
  for (int i = 0; i < 8; ++i)
    if (kZoomSteps[i] == percent) return i + 1;
  return 0;
}

int Zoomed(int pixels, int zoom) {
  if (pixels <= 0) return 0;
  return std::max(1, pixels * zoom / 100);
}

int RowPixelHeight(const GridMetrics& metrics, int row, int defaultRowHeight) {
  int h = (row >= 0 && row < static_cast<int>(metrics.rowHeights.size())) ? metrics.rowHeights[row]
                                                                          : 0;
  // The default height leaves a little room around a default-sized font.
  return h > 0 ? h : defaultRowHeight + 4;
}

namespace {

template <typename SizeOf>
std::vector<GridSlot> Lay(int titleFirst, int titleLast, int first, int count, int origin,
                          int extent, SizeOf&& sizeOf) {
  std::vector<GridSlot> slots;
  int pos = origin;
  int end = origin + extent;
  auto add = [&](int i) {
    int s = sizeOf(i);
    if (s <= 0) return true;  // a hidden column or row takes no room
    slots.push_back({i, pos, s});
    pos += s;
    return pos < end;
  };
  if (titleFirst >= 0 && titleLast >= titleFirst) {
    for (int i = titleFirst; i <= titleLast && i < count; ++i)
      if (!add(i)) return slots;
    first = std::max(first, titleLast + 1);
  }
  for (int i = std::max(first, 0); i < count; ++i)
    if (!add(i)) break;
  return slots;
}

}  // namespace

std::vector<GridSlot> VisibleColumns(const GridPane& pane, const GridMetrics& metrics, int zoom,
                                     int origin, int width) {
  return Lay(pane.titleColFirst, pane.titleColLast, pane.leftCol, kColumnCount, origin, width,
             [&](int c) { return Zoomed(metrics.columnWidths[c], zoom); });
}

std::vector<GridSlot> VisibleRows(const GridPane& pane, const GridMetrics& metrics, int zoom,
                                  int defaultRowHeight, int origin, int height) {
  return Lay(pane.titleRowFirst, pane.titleRowLast, pane.topRow, kRowCount, origin, height,
             [&](int r) { return Zoomed(RowPixelHeight(metrics, r, defaultRowHeight), zoom); });
}

RowPainter::RowPainter(Canvas& canvas, SheetDocument& doc, const GridPane& pane,
                       const PaintOptions& options)
    : canvas_(canvas), doc_(doc), pane_(pane), options_(options) {}

FontSpec RowPainter::FontOf(const CellRecord* cell) const {
  const FontSpec& def = options_.defaultFont;
  FontSpec f;
  f.face = def.face;
  int size = def.pixelHeight;
  f.style = def.style;
  if (cell != nullptr) {
    if (cell->font != kDefaultFont && options_.fontNames != nullptr &&
        cell->font < options_.fontNames->size() && !(*options_.fontNames)[cell->font].empty()) {
      f.face = (*options_.fontNames)[cell->font];
    }
    if (cell->fontSize != 0) size = cell->fontSize;
    f.style = (cell->style & 0x80) ? 0u : ((cell->style & 0x0Fu) | def.style);
  }
  f.pixelHeight = Zoomed(size, options_.zoom);
  return f;
}

void RowPainter::SetTextColourOnce(Rgb colour) {
  if (haveTextColour_ && textColour_ == colour) return;
  canvas_.SetTextColour(colour);
  textColour_ = colour;
  haveTextColour_ = true;
}

void RowPainter::UseFont(const FontSpec& font) {
  if (haveFont_ && font == font_) return;
  font_ = font;
  haveFont_ = true;
  ++fontChanges_;
  canvas_.SetFont(font_);
}

RowPainter::CellLook RowPainter::LookOf(const CellRecord* cell, int row, int col,
                                        Rgb rowBackground, bool marks) const {
  const ColourScheme& scheme = options_.colours;
  const SheetSettings& s = doc_.settings();
  CellLook look{rowBackground, ForegroundColour(PaletteIndexOf(scheme[kSchemeLabel]))};
  if (cell != nullptr) {
    bool unlocked = s.protect && !cell->IsLocked();
    int byKind = SchemeFor(*cell, s.negativeColour);
    if (unlocked) {
      look.background = BackgroundOf(scheme[kSchemeUnlocked]);
    } else if (!(cell->colour & kColourNoShade)) {
      look.background = BackgroundOf(cell->colour);
    } else if (byKind >= 0 && !(scheme[byKind] & kSchemeIgnoreBackground)) {
      look.background = BackgroundOf(scheme[byKind]);
    }
    if (unlocked) {
      look.foreground = ForegroundColour(PaletteIndexOf(scheme[kSchemeUnlocked]));
    } else if (cell->colour & kColourSchemeFont) {
      std::uint32_t w = byKind >= 0 ? scheme[byKind] : scheme[kSchemeLabel];
      look.foreground =
          (w & kSchemeIgnoreForeground) ? kBlack : ForegroundColour(PaletteIndexOf(w));
    } else {
      look.foreground = ForegroundColour(PaletteIndexOf(cell->colour));
    }
  }
  if (options_.noShades) look.background = kWhite;
  if (!marks) return look;
  if (pane_.selection.Contains(row, col)) {
    look.background = kSelectionColour;
    look.foreground = kWhite;
  }
  if (options_.windowActive && pane_.cursor.row == row && pane_.cursor.col == col) {
    look.background = BackgroundOf(scheme[kSchemeCursor]);
  }
  return look;
}

void RowPainter::DrawGridLines(const Rect& r, bool right) {
  unsigned flags = pane_.gridLines;
  if ((flags & 3) == 0) return;
  canvas_.SetPen(kGridLineColour, 1, (flags & 4) ? PenStyle::Dot : PenStyle::Solid);
  if (flags & 1) canvas_.Line({r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1});
  if ((flags & 2) && right) canvas_.Line({r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
}

void RowPainter::DrawBorders(const Rect& r, std::uint8_t borders) {
  if (borders == 0) return;
  // Edge codes: bits 0-1 left, 2-3 bottom, 4-5 right, 6-7 top; code 1 is a
  // thin line, 2 and 3 a thick one.
  auto edge = [&](int shift, Point a, Point b) {
    int code = (borders >> shift) & 3;
    if (code == 0) return;
    canvas_.SetPen(kBlack, (code & 2) ? 2 : 1);
    canvas_.Line(a, b);
  };
  edge(0, {r.left, r.top}, {r.left, r.bottom - 1});
  edge(2, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1});
  edge(4, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
  edge(6, {r.left, r.top}, {r.right - 1, r.top});
}

void RowPainter::DrawRaised(const Rect& r) {
  canvas_.SetPen(kWhite, 1);
  canvas_.Line({r.left, r.top}, {r.right - 2, r.top});
  canvas_.Line({r.left, r.top}, {r.left, r.bottom - 2});
  canvas_.SetPen(MakeRgb(128, 128, 128), 1);
  canvas_.Line({r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2});
  canvas_.Line({r.right - 2, r.top + 1}, {r.right - 2, r.bottom - 2});
}

void RowPainter::DrawSelectionOutline(const GridSlot& row, std::span<const GridSlot> columns) {
  const CellRange& sel = pane_.selection;
  if (!sel.IsDefined() || row.index < sel.Top() || row.index > sel.Bottom()) return;
  int top = row.pos, bottom = row.pos + row.size;
  canvas_.SetPen(kBlack, 2);
  for (const GridSlot& c : columns) {
    if (c.index < sel.Left() || c.index > sel.Right()) continue;
    int left = c.pos, right = c.pos + c.size;
    if (row.index == sel.Top()) canvas_.Line({left, top}, {right - 1, top});
    if (row.index == sel.Bottom()) canvas_.Line({left, bottom - 1}, {right - 1, bottom - 1});
    if (c.index == sel.Left()) canvas_.Line({left, top}, {left, bottom - 1});
    if (c.index == sel.Right()) canvas_.Line({right - 1, top}, {right - 1, bottom - 1});
  }
}

void RowPainter::CollectRow(int row, std::span<const GridSlot> columns) {
  const CellStore& store = doc_.cells();
  int minCol = kColumnCount, maxCol = -1;
  for (const GridSlot& c : columns) {
    minCol = std::min(minCol, c.index);
    maxCol = std::max(maxCol, c.index);
  }
  std::array<std::int16_t, kColumnCount> slotOf;
  slotOf.fill(-1);
  for (std::size_t i = 0; i < columns.size(); ++i)
    slotOf[columns[i].index] = static_cast<std::int16_t>(i);
  byColumn_.assign(columns.size(), nullptr);
  std::span<const CellId> ids = store.Row(row);
  auto it = std::lower_bound(ids.begin(), ids.end(), minCol, [&](CellId id, int col) {
    return store.At(id).col < col;
  });
  for (; it != ids.end(); ++it) {
    const CellRecord& rec = store.At(*it);
    if (rec.col > maxCol) break;
    if (slotOf[rec.col] >= 0) byColumn_[slotOf[rec.col]] = &rec;
  }
}

ShownText CellShownText(SheetDocument& doc, const CellRecord* cell, int cellWidth, int inset,
                        const FormatSettings& fmt, TextMeasure& measure) {
  ShownText t;
  if (cell == nullptr) return t;
  std::uint8_t format = EffectiveFormat(cell->format, doc.settings());
  if (format == kFormatHidden || cell->Kind() == kEmpty) return t;
  std::uint8_t kind = cell->Kind();
  if (cell->HasError()) {
    t.text = "ERR";
    t.align = Align::Right;
  } else if (format == kFormatText && cell->IsFormula()) {
    t.text = FormulaText(doc, *cell);
  } else if (kind == kStringFormula) {
    t.text = std::string(PStringView(cell->value.str));
  } else if (IsNumberKind(kind)) {
    int zero = std::max(1, measure.Width("0"));
    t.text = FormatValue(cellWidth / zero, format, NumberOf(*cell), fmt);
    t.align = Align::Right;
    t.numeric = true;
  } else if (kind == kLabel) {
    std::string_view text = cell->TextView();
    char prefix = text.empty() ? '\'' : text[0];
    std::string_view body = text.empty() ? text : text.substr(1);
    switch (prefix) {
      case '"': t.align = Align::Right; break;
      case '^': t.align = Align::Centre; break;
      case '\\': {
        // Repeats the character after the prefix across the cell.
        if (!body.empty()) {
          int w = std::max(1, measure.Width(body.substr(0, 1)));
          int copies = std::max(0, (cellWidth - 2 * inset) / w);
          t.text.assign(static_cast<std::size_t>(copies), body[0]);
        }
        body = {};
        break;
      }
      default: t.spills = true; break;
    }
    if (prefix != '\\') t.text.assign(body);
  }
  switch ((cell->style >> 4) & 7) {
    case 1: t.align = Align::Left; break;
    case 2: t.align = Align::Right; break;
    case 3: t.align = Align::Centre; break;
    default: break;
  }
  if (t.align != Align::Left) t.spills = false;
  return t;
}

namespace {

struct CanvasMeasure final : TextMeasure {
  explicit CanvasMeasure(Canvas& c) : canvas(c) {}
  int Width(std::string_view text) override { return canvas.TextWidth(text); }
  Canvas& canvas;
};

}  // namespace

ShownText RowPainter::TextOf(const CellRecord* cell, int cellWidth,
                             const FormatSettings& fmt) {
  if (cell == nullptr) return {};
  UseFont(FontOf(cell));
  CanvasMeasure measure(canvas_);
  return CellShownText(doc_, cell, cellWidth, kTextInset, fmt, measure);
}

std::size_t RowPainter::FitText(ShownText& t, const CellRecord* cell, std::size_t i,
                                std::span<const GridSlot> columns) {
  const GridSlot& col = columns[i];
  std::size_t last = i;
  int width = t.text.empty() ? 0 : canvas_.TextWidth(t.text);
  // A centred label too wide for its cell would lose both ends: it starts
  // at the left edge instead and runs on like a left-aligned one.
  if (t.align == Align::Centre && !t.numeric && cell != nullptr && cell->Kind() == kLabel &&
      width > col.size - 2 * kTextInset) {
    t.align = Align::Left;
    t.spills = true;
  }
  if (!t.text.empty() && t.numeric && width > col.size - kTextInset) {
    int xw = std::max(1, canvas_.TextWidth("x"));
    t.text.assign(static_cast<std::size_t>(std::max(0, (col.size - 2 * kTextInset) / xw)), 'x');
  } else if (t.spills && width > col.size - kTextInset) {
    int reach = col.size;
    while (last + 1 < columns.size() && reach < width + kTextInset &&
           columns[last + 1].index == columns[last].index + 1 &&
           (byColumn_[last + 1] == nullptr || byColumn_[last + 1]->Kind() == kEmpty)) {
      ++last;
      reach += columns[last].size;
    }
  }
  return last;
}

void RowPainter::DrawText(const ShownText& t, const GridSlot& row, std::size_t i,
                          std::size_t last, std::span<const GridSlot> columns,
                          const CellLook& look, Rgb rowBackground) {
  const GridSlot& col = columns[i];
  int top = row.pos, bottom = row.pos + row.size;
  Rect cellRect{col.pos, top, col.pos + col.size, bottom};
  int clipRight = last == i ? cellRect.right : columns[last].pos + columns[last].size;
  int y = top + (row.size - canvas_.TextHeight()) / 2;
  int x = t.align == Align::Left    ? cellRect.left + kTextInset
          : t.align == Align::Right ? cellRect.right - kTextInset
                                    : (cellRect.left + cellRect.right) / 2;
  // The text takes the colours of the cells it crosses: a label running
  // out of the selected cursor cell is white only inside the selection.
  // Cells of one colour share one clipped draw.
  Rgb own = LookOf(byColumn_[i], row.index, col.index, rowBackground, false).foreground;
  auto colourAt = [&](std::size_t j) {
    if (j == i) return look.foreground;
    return pane_.selection.Contains(row.index, columns[j].index) ? kWhite : own;
  };
  for (std::size_t j = i; j <= last;) {
    Rgb colour = colourAt(j);
    std::size_t k = j;
    while (k < last && colourAt(k + 1) == colour) ++k;
    Rect part{columns[j].pos, top, columns[k].pos + columns[k].size, bottom};
    if (k == last) part.right = clipRight;
    SetTextColourOnce(colour);
    canvas_.SetClip(part);
    canvas_.Text(x, y, t.text, t.align);
    j = k + 1;
  }
  canvas_.ClearClip();
}

void RowPainter::PaintRow(const GridSlot& row, std::span<const GridSlot> columns) {
  if (columns.empty()) return;
  // 1. One walk of the row's records over the visible columns.
  CollectRow(row.index, columns);

  // 2. Row background: displayed rows 1, 3, 5, ... take the banding colour.
  const ColourScheme& scheme = options_.colours;
  Rgb rowBackground = (doc_.settings().banding && row.index % 2 == 0)
                          ? BackgroundOf(scheme[kSchemeOdd])
                          : BackgroundOf(scheme[kSchemeBackground]);
  FormatSettings fmt = FormatSettingsOf(doc_);

  // 3. Cell by cell: its text, the neighbours a label runs over, the
  // backgrounds, the text, then lines and borders.
  int top = row.pos, bottom = row.pos + row.size;
  for (std::size_t i = 0; i < columns.size();) {
    const GridSlot& col = columns[i];
    const CellRecord* cell = byColumn_[i];
    CellLook look = LookOf(cell, row.index, col.index, rowBackground);
    ShownText text = TextOf(cell, col.size, fmt);
    std::size_t last = FitText(text, cell, i, columns);

    canvas_.FillRect({col.pos, top, col.pos + col.size, bottom}, look.background);
    for (std::size_t j = i + 1; j <= last; ++j) {
      const GridSlot& c = columns[j];
      canvas_.FillRect({c.pos, top, c.pos + c.size, bottom},
                       LookOf(byColumn_[j], row.index, c.index, rowBackground).background);
    }
    if (!text.text.empty()) DrawText(text, row, i, last, columns, look, rowBackground);

    for (std::size_t j = i; j <= last; ++j) {
      const GridSlot& c = columns[j];
      Rect r{c.pos, top, c.pos + c.size, bottom};
      // No vertical line cuts through a label running over its neighbours.
      DrawGridLines(r, j == last);
      const CellRecord* rec = byColumn_[j];
      if (rec != nullptr) {
        DrawBorders(r, rec->borders);
        if (options_.raised3d && rec->Kind() != kEmpty) DrawRaised(r);
      }
    }
    i = last + 1;
  }

  DrawSelectionOutline(row, columns);
}

void RowPainter::PaintColumnHeader(std::span<const GridSlot> columns, int top, int height) {
  FontSpec f{options_.zoom >= 87 ? "Arial" : "Small Fonts", Zoomed(14, options_.zoom), 0};
  UseFont(f);
  canvas_.SetTextColour(kBlack);
  haveTextColour_ = false;
  int y = top + (height - canvas_.TextHeight()) / 2;
  for (const GridSlot& c : columns) {
    Rect r{c.pos, top, c.pos + c.size, top + height};
    canvas_.FillRect(r, MakeRgb(212, 208, 200));
    canvas_.SetPen(MakeRgb(128, 128, 128), 1);
    canvas_.Line({r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
    canvas_.Line({r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1});
    canvas_.SetClip(r);
    canvas_.Text((r.left + r.right) / 2, y, ColumnLetters(c.index), Align::Centre);
    canvas_.ClearClip();
  }
}

void RowPainter::PaintRowHeader(std::span<const GridSlot> rows, int left, int width) {
  FontSpec f{options_.zoom >= 87 ? "Arial" : "Small Fonts", Zoomed(14, options_.zoom), 0};
  UseFont(f);
  canvas_.SetTextColour(kBlack);
  haveTextColour_ = false;
  int pageHeight = doc_.settings().UsesPages() ? doc_.settings().pageHeight : kRowCount;
  for (const GridSlot& r : rows) {
    Rect box{left, r.pos, left + width, r.pos + r.size};
    canvas_.FillRect(box, MakeRgb(212, 208, 200));
    canvas_.SetPen(MakeRgb(128, 128, 128), 1);
    canvas_.Line({box.left, box.bottom - 1}, {box.right - 1, box.bottom - 1});
    canvas_.Line({box.right - 1, box.top}, {box.right - 1, box.bottom - 1});
    canvas_.SetClip(box);
    canvas_.Text((box.left + box.right) / 2, r.pos + (r.size - canvas_.TextHeight()) / 2,
                 std::to_string(r.index % pageHeight + 1), Align::Centre);
    canvas_.ClearClip();
  }
}

void RowPainter::PaintCorner(const Rect& r, int cursorRow) {
  canvas_.FillRect(r, MakeRgb(212, 208, 200));
  const SheetSettings& s = doc_.settings();
  if (!s.UsesPages()) return;
  FontSpec f{options_.zoom >= 87 ? "Arial" : "Small Fonts", Zoomed(14, options_.zoom), 0};
  UseFont(f);
  canvas_.SetTextColour(kBlack);
  haveTextColour_ = false;
  canvas_.Text((r.left + r.right) / 2, r.top + (r.height() - canvas_.TextHeight()) / 2,
               ColumnLetters(cursorRow / s.pageHeight), Align::Centre);
}

}  // namespace tabulon
