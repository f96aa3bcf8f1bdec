// Painting the worksheet grid through the Canvas interface, without any
// toolkit: the layout of the visible columns and rows of a pane, one walk
// per visible row that draws backgrounds, texts, overflow marks, label
// spill, grid lines and borders, and the column and row headers.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace tabulon {

class SheetDocument;
struct FormatSettings;
struct CellRecord;
struct GridPane;
struct GridMetrics;

// The seven colour words of a worksheet's colour scheme, in the order the
// worksheet file keeps them. Each word: bits 0-23 background RGB, bits
// 24-27 foreground palette index, bit 30 ignore background, bit 31 ignore
// foreground.
enum SchemeColour {
  kSchemeBackground = 0,
  kSchemeOdd = 1,
  kSchemeValue = 2,
  kSchemeNegative = 3,
  kSchemeLabel = 4,
  kSchemeUnlocked = 5,
  kSchemeCursor = 6,
};
using ColourScheme = std::array<std::uint32_t, 7>;
inline constexpr ColourScheme kDefaultColourScheme{0x00FFFFFFu, 0x00E0FFFFu, 0x41FFFFFFu,
                                                   0x4CFFFFFFu, 0x42FFFFFFu, 0x07800000u,
                                                   0x0FFF0000u};
inline constexpr std::uint32_t kSchemeIgnoreBackground = 0x40000000u;
inline constexpr std::uint32_t kSchemeIgnoreForeground = 0x80000000u;

// Entry i of the 16-colour palette (black for anything outside 0..15).
Rgb PaletteEntry(int i);
// The colour a foreground palette index (bits 24-27 of a colour word)
// draws: index i is entry i - 2, indices 0 and 1 draw black.
Rgb ForegroundColour(int paletteIndex);

// The zoom menu: item tags 1..8 and their percentages.
inline constexpr std::array<int, 8> kZoomSteps{200, 150, 125, 100, 87, 75, 65, 50};
// The percentage of a zoom item tag (1..8); 100 for anything else.
int ZoomForTag(int tag);
// The tag of a percentage; 0 when it is not on the menu.
int TagForZoom(int percent);
// A length in pixels at 100% scaled to `zoom` percent (at least 1 for a
// positive length).
int Zoomed(int pixels, int zoom);

// One visible column or row of a pane: its index and its place on screen.
struct GridSlot {
  int index = 0;
  int pos = 0;   // x of a column, y of a row
  int size = 0;  // zoomed width or height
};

// Everything the painter needs besides the canvas.
struct PaintOptions {
  int zoom = 100;
  FontSpec defaultFont{"Arial", 12, 0};  // the window's default font at 100%
  ColourScheme colours = kDefaultColourScheme;
  // Face names of the cell font numbers; font 255 (and any number without
  // a name) uses the default font.
  const std::vector<std::string>* fontNames = nullptr;
  bool windowActive = true;  // the cursor cell takes the cursor colour
  bool raised3d = false;
  bool noShades = false;  // every background white (printing without shades)
};

// The visible columns of a pane in a viewport `width` pixels wide starting
// at x = `origin`: frozen title columns first, then from the pane's left
// column until the width is used (the last one may be cut).
std::vector<GridSlot> VisibleColumns(const GridPane& pane, const GridMetrics& metrics, int zoom,
                                     int origin, int width);
// The visible rows, likewise. A row height of 0 is the default row height.
std::vector<GridSlot> VisibleRows(const GridPane& pane, const GridMetrics& metrics, int zoom,
                                  int defaultRowHeight, int origin, int height);
// The pixel height of a row at 100% zoom.
int RowPixelHeight(const GridMetrics& metrics, int row, int defaultRowHeight);

// What a cell shows in its rectangle, before overflow is settled.
struct ShownText {
  std::string text;
  Align align = Align::Left;
  bool numeric = false;  // numbers never run on; too wide, they become "x"
  bool spills = false;   // a left-aligned label may run on over empty cells
};

// Text widths in the caller's units (pixels of a canvas's font, or
// characters).
class TextMeasure {
 public:
  virtual int Width(std::string_view text) = 0;

 protected:
  ~TextMeasure() = default;
};

// What a cell shows in a cell `cellWidth` units wide: the formatted number
// (as many digits as zeros fit), the label without its prefix and aligned
// by it, a repeating label's character across the width less `inset` on
// either side, the formula text in Text format, "ERR". The window, the
// printed page and the print-to-file text all show cells by it.
ShownText CellShownText(SheetDocument& doc, const CellRecord* cell, int cellWidth, int inset,
                        const FormatSettings& fmt, TextMeasure& measure);

class RowPainter {
 public:
  RowPainter(Canvas& canvas, SheetDocument& doc, const GridPane& pane, const PaintOptions& options);

  // Paints one row across the given visible columns: one walk of the row's
  // records, fonts set only when they change from the previous cell.
  void PaintRow(const GridSlot& row, std::span<const GridSlot> columns);

  // Headers: column letters and row numbers within the page, and the
  // corner box with the page letters of the cursor's page.
  void PaintColumnHeader(std::span<const GridSlot> columns, int top, int height);
  void PaintRowHeader(std::span<const GridSlot> rows, int left, int width);
  void PaintCorner(const Rect& r, int cursorRow);

  // Fonts set on the canvas so far.
  int fontChanges() const { return fontChanges_; }

 private:
  struct CellLook {
    Rgb background;
    Rgb foreground;
  };
  FontSpec FontOf(const CellRecord* cell) const;
  void UseFont(const FontSpec& font);
  // The look of a cell; without `marks` the selection and cursor colours
  // are left out (the colours of the cell itself).
  CellLook LookOf(const CellRecord* cell, int row, int col, Rgb rowBackground,
                  bool marks = true) const;
  void SetTextColourOnce(Rgb colour);
  void DrawGridLines(const Rect& r, bool right);
  void DrawBorders(const Rect& r, std::uint8_t borders);
  void DrawRaised(const Rect& r);
  void DrawSelectionOutline(const GridSlot& row, std::span<const GridSlot> columns);
  // The steps of PaintRow.
  void CollectRow(int row, std::span<const GridSlot> columns);
  ShownText TextOf(const CellRecord* cell, int cellWidth, const FormatSettings& fmt);
  // Numbers too wide become "x" marks; returns the last column slot a
  // left-aligned label runs over.
  std::size_t FitText(ShownText& text, const CellRecord* cell, std::size_t slot,
                      std::span<const GridSlot> columns);
  void DrawText(const ShownText& text, const GridSlot& row, std::size_t slot, std::size_t last,
                std::span<const GridSlot> columns, const CellLook& look, Rgb rowBackground);

  Canvas& canvas_;
  SheetDocument& doc_;
  const GridPane& pane_;
  PaintOptions options_;
  FontSpec font_;
  bool haveFont_ = false;
  int fontChanges_ = 0;
  Rgb textColour_ = 0;
  bool haveTextColour_ = false;
  // Records of the row being painted, by position in the column list.
  std::vector<const CellRecord*> byColumn_;
};

}  // namespace tabulon
