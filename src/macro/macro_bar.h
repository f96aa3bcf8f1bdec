// The macro button bar without a toolkit: the button items ("name|hint|
// macro"), the definitions file they are kept in, the glyph strip, the
// layout of whole buttons between two scroll-arrow areas, the mouse (hint,
// press, release, scrolling, the right click that opens the "Define
// Button" dialog) and that dialog's fields. The Qt bar paints from this
// state and forwards its events here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class Workspace;
class MacroInterpreter;

// The parts of a button item: the name, "|", the hint, "|", the macro (which
// may itself hold "|").
std::string ButtonName(std::string_view item);
std::string ButtonHint(std::string_view item);
std::string ButtonMacro(std::string_view item);
// The two characters shown on the button: the name's first two.
std::string ButtonLabel(std::string_view item);
// What the bar shows while the mouse is over the button.
std::string ButtonHintText(std::string_view item);

inline constexpr int kGlyphSize = 20;
inline constexpr int kGlyphCount = 50;
inline constexpr std::uint32_t kButtonFace = 0xFFC0C0C0u;  // ARGB

// A bitmap of 20 x 1000 pixels (ARGB, rows top to bottom): glyph i is the
// square at 20 * i from the top and belongs to item i.
class GlyphStrip {
 public:
  static constexpr int kWidth = kGlyphSize;
  static constexpr int kHeight = kGlyphSize * kGlyphCount;

  GlyphStrip() { Fill(kButtonFace); }
  void Fill(std::uint32_t argb);
  // Takes the part of an image (row-major ARGB) that fits, from its top-left
  // corner, as the strip read from a glyph file.
  void Load(int width, int height, const std::uint32_t* pixels);
  // The glyph of item `index`: the image centred in the square when smaller
  // (an odd remainder puts the extra pixel before it), its top-left part
  // when larger. False for an index without a slot.
  bool SetGlyph(int index, int width, int height, const std::uint32_t* pixels);
  bool BlankGlyph(int index, std::uint32_t argb = kButtonFace);
  // The 20 x 20 pixels of a glyph, or empty for an index without a slot.
  std::vector<std::uint32_t> Glyph(int index) const;
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kWidth + x)]; }
  // Set when a glyph was changed since the strip was loaded.
  bool changed = false;

 private:
  std::vector<std::uint32_t> pixels_ = std::vector<std::uint32_t>(kWidth * kHeight);
};

class MacroBar {
 public:
  struct Metrics {
    int barHeight = 20;  // height of one button
    int margin = 8;      // least height of each scroll-arrow area
    int border = 0;
    int width = 20;
  };
  // The main window's bar: buttons 24 high, arrow areas of 18, 28 wide,
  // twelve unassigned buttons.
  static Metrics MainBarMetrics() { return {24, 18, 0, 28}; }
  static constexpr std::size_t kMaxItems = 1000;
  static constexpr std::size_t kMaxItemLength = 4096;

  // A bar of `unassigned` buttons whose items are a single space each.
  explicit MacroBar(Metrics metrics = MainBarMetrics(), int unassigned = 12);

  const Metrics& metrics() const { return metrics_; }
  const std::vector<std::string>& items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  // The item at `index`, or empty beyond the list.
  std::string Item(int index) const;
  void SetItem(int index, std::string item);
  GlyphStrip& glyphs() { return glyphs_; }
  const GlyphStrip& glyphs() const { return glyphs_; }

  // The definitions file: one item per line. A missing or unreadable file
  // leaves the items as they are (false). At most kMaxItems lines of at
  // most kMaxItemLength bytes are read.
  bool Load(const std::string& fileName);
  bool Save(const std::string& fileName) const;

  // --- layout -----------------------------------------------------------------
  // Whole buttons fit between the two arrow areas; the height left over
  // goes to the areas, half to each (the odd pixel to the bottom one).
  struct Layout {
    int top = 0;      // height of the upper arrow area
    int bottom = 0;   // height of the lower arrow area
    int buttons = 0;  // whole buttons shown
  };
  Layout LayoutFor(int height) const;
  int firstVisible() const { return first_; }
  // Scrolls by whole buttons; the first visible item stays within the list.
  void Scroll(int delta, int height);

  // --- the mouse ----------------------------------------------------------------
  enum class Area { kNone, kButton, kUp, kDown };
  // What lies at y; `index` is the item of a button.
  Area HitTest(int y, int height, int& index) const;
  // The hint for the mouse at y: the item's hint ("Unassigned Macro" when
  // empty), empty when it is not over a button. Sets itemIndex().
  std::string MouseMove(int y, int height);
  // Left button down: on a button it is captured and drawn sunken; on an
  // arrow area the list scrolls (the view repeats this on a timer while
  // the button is held). Returns the area.
  Area LeftDown(int y, int height);
  // Left button up: the capture ends; the macro of the captured button
  // when the pointer is still on it and its item is not empty.
  std::optional<std::string> LeftUp(int y, int height);
  // Right button down: the item to define, or none off the buttons.
  std::optional<int> RightDown(int y, int height) const;
  int itemIndex() const { return itemIndex_; }
  // The captured button (-1 for none) and whether it is drawn sunken.
  int captured() const { return captured_; }
  bool sunken(int index) const { return index == captured_ && sunken_; }

 private:
  Metrics metrics_;
  std::vector<std::string> items_;
  GlyphStrip glyphs_;
  int first_ = 0;
  int itemIndex_ = -1;
  int captured_ = -1;
  bool sunken_ = false;
};

// The "Define Button" dialog: "&Name:", "&Hint:", "&Macro:" (lines joined
// without separators), the glyph, "&Blank Glyph", "&Reset", "&Ok".
class DefineButtonDialog {
 public:
  // Fills the fields from the item and its glyph.
  void Open(const MacroBar& bar, int index);
  int index() const { return index_; }
  std::string name, hint;
  std::vector<std::string> macroLines;
  const std::vector<std::uint32_t>& glyph() const { return glyph_; }
  // A picture chosen for the glyph (row-major ARGB), placed as the strip
  // places glyphs.
  void SetGlyphImage(int width, int height, const std::uint32_t* pixels);
  void BlankGlyph();
  // Blank glyph, empty name, hint and macro.
  void Reset();
  // The item the fields make: name, "|", hint, "|", macro. A "|" typed in
  // the name or hint would move the fields apart, so it is left out there.
  std::string ItemText() const;
  // "&Ok": the item and the glyph go into the bar.
  void Ok(MacroBar& bar) const;

 private:
  int index_ = 0;
  std::vector<std::uint32_t> glyph_ = std::vector<std::uint32_t>(kGlyphSize * kGlyphSize,
                                                                 kButtonFace);
};

// What a click on a button does with its macro: runs it as macro text when
// a worksheet window is open and the text is not empty. False when nothing
// ran.
bool RunButtonMacro(Workspace& ws, MacroInterpreter& macros, const std::string& macro);

}  // namespace tabulon
