// The general settings dialog without a toolkit: the active worksheet's
// settings and the program-wide ones on six pages (Format, Option,
// Typeface, Color, Files, Advanced). Most changes take effect at once;
// Cancel puts the worksheet's settings back (program-wide changes stay),
// Escape keeps everything, Apply Globally makes the worksheet's settings
// the defaults of new worksheets.
//
// The macro commands GENFORMAT, GENOPTION, GENFONT, GENCOLOR and GENADV
// drive the same methods; their option texts are read by the Apply...
// functions below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/sheet_settings.h"
#include "ui/status.h"

namespace tabulon {

class Workspace;
class SheetWindow;

enum class GeneralPage { kFormat = 0, kOption, kTypeface, kColor, kFiles, kAdvanced };
inline constexpr int kGeneralPageCount = 6;
inline constexpr const char* kGeneralPageCaptions[kGeneralPageCount] = {
    "&Format...", "&Option...", "&Typeface...", "&Color...", "F&iles", "&Advanced"};

// The colour types in the dialog's order and the sheet colour word each
// edits (the document keeps them as background, banding, value, negative,
// label, protected cell, cell pointer).
enum class ColourType { kLabel = 0, kValue, kNegative, kUnlocked, kCursor, kOdd, kBackground };
inline constexpr int kColourTypes = 7;
int ColourWordIndex(ColourType type);
// The seven words' reset values, in the document's order.
inline constexpr std::array<std::uint32_t, 7> kColourResets{
    0x00FFFFFFu, 0x00E0FFFFu, 0x41FFFFFFu, 0x4CFFFFFFu, 0x42FFFFFFu, 0x07800000u, 0x0FFF0000u};

class GeneralSettings {
 public:
  explicit GeneralSettings(Workspace& ws) : ws_(ws) {}

  // Copies the worksheet's settings aside for Cancel and fills the fields.
  void Activate();
  bool active() const { return window_ != nullptr; }

  // --- Format (taken on Ok) ------------------------------------------------------
  std::uint8_t defaultFormat = 0x71;
  // --- Option ------------------------------------------------------------------
  int rowHeight = 12;      // pixels, taken on Ok
  int columnUnits = 8;     // units of 8 pixels, taken on Ok
  bool raised3d = true;    // taken on Ok
  void SetPageCount(int pages);  // 1, 2, 4 ... 64, at once
  int pageCount() const;
  void SetGridLines(bool solid, bool horizontal, bool vertical);
  void SetLabelAlignment(char prefix);  // '\'', '^' or '"'
  void SetShowZeros(bool on);
  void SetNegativeColour(bool on);
  void SetBanding(bool on);
  void SetProtect(bool on);
  void SetAutoRecalc(bool on);
  // --- Typeface (taken on Ok when changed) -------------------------------------------
  void SetFont(const std::string& face, int pixelHeight, unsigned style);
  // --- Color ---------------------------------------------------------------------------
  ColourType colourType = ColourType::kLabel;
  std::uint32_t ColourWord() const;
  int foregroundIndex() const { return static_cast<int>((ColourWord() >> 24) & 0x0F); }
  bool ignoreForeground() const { return (ColourWord() & 0x80000000u) != 0; }
  bool ignoreBackground() const { return (ColourWord() & 0x40000000u) != 0; }
  void SetForeground(int paletteIndex);
  void SetBackground(int red, int green, int blue);  // clamped to 0..255
  void SetIgnoreForeground(bool on);
  void SetIgnoreBackground(bool on);
  void ResetColours();
  // --- Files -----------------------------------------------------------------------
  std::string autoexec, toolbar;  // taken on Ok
  int historySize = 5;            // taken on Ok
  void ClearHistory();            // at once
  // --- Advanced (at once) ------------------------------------------------------------
  Status SetArgumentSeparator(char c);  // ',' or ';'
  Status SetThousandsSeparator(char c);  // ',' or '.'
  Status SetDecimal(char c);            // '.' or ','
  void SetCurrency(const std::string& text, bool prefix);
  void SetFlags(bool winControlKeys, bool usDate, bool preOpen, bool oldFileDialogs);

  // --- the buttons ----------------------------------------------------------------------
  void Ok(GeneralPage page);
  void Cancel();
  void Escape();
  void ApplyGlobally(GeneralPage page);

  // --- the macro commands' option texts ----------------------------------------------------
  // GENOPTION: letters with 0 or 1 — Z zeros shown, N negative colour, B banding,
  // P protection, A automatic recalculation, R raised borders; a G with a
  // digit 1..7 sets the grid lines (1 horizontal, 2 vertical, 4 dotted); a L
  // with ', ^ or " the label alignment; a K with 1..64 the page count.
  Status ApplyOptionText(std::string_view text);
  // GENADV: A with the argument separator, T the thousands separator, D the
  // decimal character, P or S with a currency text (up to two characters,
  // to the next space), U, W, O and F with 0 or 1 (US dates, control keys,
  // an empty sheet at start-up, the older file dialogs).
  Status ApplyAdvancedText(std::string_view text);
  // GENFONT: "name,size,style" with style letters B, I and U.
  Status ApplyFontText(std::string_view text);

 private:
  void Repaint();
  Workspace& ws_;
  SheetWindow* window_ = nullptr;
  SheetSettings saved_;
  std::array<std::uint32_t, 7> savedColours_{};
  unsigned savedGridLines_ = 3;
  bool fontChanged_ = false;
  std::string font_;
  int fontHeight_ = 12;
  unsigned fontStyle_ = 0;
};

}  // namespace tabulon
