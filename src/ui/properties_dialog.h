// The range properties dialog without a toolkit: its six pages (format,
// shade, typeface, label prefix, lock, borders), the presets read from the
// selection's top-left cell, the mask of pages the user changed, and the
// application of the changed pages to every cell of the range. The Qt
// dialog binds its controls to this class.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

// The pages in tab order; each page's bit in the changed mask is 1 << index.
enum class PropertyPage { kFormat = 0, kShade, kTypeface, kPrefix, kLock, kBorder };
inline constexpr int kPropertyPageCount = 6;
inline constexpr const char* kPropertyTabCaptions[kPropertyPageCount] = {
    "&Format", "&Shade", "&Typeface", "&Prefix", "&Lock", "&Border"};
inline constexpr unsigned PageBit(PropertyPage p) { return 1u << static_cast<int>(p); }

enum class PrefixChoice { kLeft, kCenter, kRight };
enum class BorderType { kNone, kSingle, kThick };
enum class BorderApply { kIn, kOut, kAll, kClear };

// Border byte: two bits per edge, left (bits 0-1), bottom, right, top.
inline constexpr std::uint8_t kBorderLeft = 0x03, kBorderBottom = 0x0C, kBorderRight = 0x30,
                              kBorderTop = 0xC0;

// The format page offers every format as a group and, within it, a choice:
// the decimals, the largest denominator of a fraction, or the form of a
// date or time.
enum class FormatGroup {
  kFixed, kScientific, kCurrency, kFraction, kPercent, kComma, kEngineering, kGeneral,
  kBar, kDate, kTime, kText, kHidden, kLabel, kDefault
};
inline constexpr int kFormatGroupCount = 15;

struct FormatGroupInfo {
  const char* caption;        // "Fixed"
  const char* choiceCaption;  // the label of the choice list, or "" when there is none
  int choices;                // 0 for a group without choices
  int usualChoice;            // the choice a change of group starts with
};
const FormatGroupInfo& FormatGroupInfoOf(FormatGroup group);
// The caption of one choice of a group ("2", "1/8", "D1  DD-Mon-YYYY").
std::string FormatChoiceCaption(FormatGroup group, int choice);

struct FormatPick {
  FormatGroup group = FormatGroup::kDefault;
  int choice = 0;
  bool operator==(const FormatPick&) const = default;
};
// The format byte of a group and choice; the choice is clamped to the
// group's.
std::uint8_t FormatCodeOf(FormatPick pick);
// The group and choice a format byte shows under (bit 7 ignored). Bytes
// that format alike (the General codes, bit 3 of Percent and Comma) show
// under the same pick.
FormatPick FormatPickOf(std::uint8_t code);

// A configured quick format: an entry "F2,Fixed" gives the code of "F2"
// and the caption "Fixed (F2)".
struct QuickFormat {
  std::string caption;
  std::uint8_t code = 0;
};
// The entries whose code text is understood, in order.
std::vector<QuickFormat> QuickFormats(const std::vector<std::string>& entries);

// The edges of a cell at (row, col) that lie on the outline of `range`.
std::uint8_t OutlineMask(const CellRange& range, int row, int col);
// The border byte a cell receives: the type's line on the chosen edges.
std::uint8_t BorderByte(BorderType type, BorderApply apply, std::uint8_t outline);

class PropertiesDialog {
 public:
  // --- activation ----------------------------------------------------------
  // Takes the selection as the range, presets the controls from its
  // top-left cell (or from the defaults when it does not exist) and clears
  // the changed mask.
  void Activate(SheetDocument& doc, const CellRange& selection);

  const CellRange& activatedRange() const { return activated_; }
  const std::string& rangeText() const { return rangeText_; }
  void SetRangeText(std::string_view text) { rangeText_.assign(text.substr(0, 240)); }

  unsigned changed() const { return changed_; }
  bool okEnabled() const { return changed_ != 0; }

  // --- page values (reading) -------------------------------------------------
  std::uint8_t format() const { return format_; }
  FormatPick formatPick() const { return FormatPickOf(format_); }
  // The selection's top-left value (or a sample number when it has none)
  // in the chosen format, as the sheet would show it.
  std::string FormatSample(SheetDocument& doc) const;
  std::uint32_t shade() const { return shade_; }  // 0x00BBGGRR
  bool shadeDefault() const { return shadeDefault_; }
  std::uint8_t font() const { return font_; }
  int fontSize() const { return fontSize_; }
  unsigned fontStyle() const { return style_; }  // bold 1, italic 2, underline 4
  int fontColour() const { return fontColour_; }
  PrefixChoice prefix() const { return prefix_; }
  bool lockEnable() const { return lock_; }
  BorderType borderType() const { return borderType_; }
  BorderApply borderApply() const { return borderApply_; }

  // --- changes: each marks its page as changed --------------------------------
  // False (nothing changes) for a code outside 0..127.
  bool SetFormat(int code);
  // A new group starts at its usual choice; between groups of decimals the
  // decimals carry over as far as the new group has them. False for a
  // group outside the list.
  bool SetFormatGroup(FormatGroup group);
  // False (nothing changes) for a choice the current group does not have.
  bool SetFormatChoice(int choice);
  void SetShade(std::uint32_t rgb);
  void SetShadeDefault(bool on);
  void SetFont(std::uint8_t fontNumber);
  // False for a size outside 0..255 pixels; 0 follows the window's size.
  bool SetFontSize(int pixels);
  void SetFontStyle(unsigned bits);
  // False for an index outside 0..15.
  bool SetFontColour(int index);
  void SetPrefix(PrefixChoice choice);
  void SetLock(bool enable);
  void SetBorderType(BorderType type);
  void SetBorderApply(BorderApply apply);

  // --- "&Ok" -------------------------------------------------------------------
  // Takes the undo snapshot and writes the changed pages into every cell of
  // the range text's range, creating missing cells; locked cells under
  // protection are skipped. Returns false without changing anything when
  // the range text does not name a range inside the sheet. `cursor` is
  // what "RANGE" and "CURSOR" refer to.
  bool Apply(SheetDocument& doc, const CursorSource* cursor);
  // The range the last successful Apply wrote.
  const CellRange& appliedRange() const { return applied_; }

 private:
  void ApplyTo(SheetDocument& doc, CellRecord& cell, const CellRange& range, int row, int col);

  CellRange activated_;
  CellRange applied_;
  std::string rangeText_;
  unsigned changed_ = 0;
  std::uint8_t format_ = 127;
  bool hasSample_ = false;  // the top-left cell holds a number
  double sample_ = 0;
  std::uint32_t shade_ = 0x00FFFFFF;
  bool shadeDefault_ = false;
  std::uint8_t font_ = 255;
  int fontSize_ = 0;
  unsigned style_ = 0;
  int fontColour_ = 0;
  PrefixChoice prefix_ = PrefixChoice::kLeft;
  bool lock_ = true;
  BorderType borderType_ = BorderType::kNone;
  BorderApply borderApply_ = BorderApply::kClear;
};

}  // namespace tabulon
