#include "ui/properties_dialog.h"

#include <algorithm>

#include "base/text.h"
#include "display/format.h"
#include "edit/block_support.h"
#include "edit/cell_text.h"
#include "sheet/cell_record.h"
#include "sheet/error_channel.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"
#include "edit/undo.h"

namespace tabulon {

namespace {

// The byte of each border type: the same two-bit line code on every edge.
constexpr std::uint8_t kBorderTypeBytes[] = {0, 85, 170};
// Alignment codes in style bits 4-6, and the label prefixes, per choice.
constexpr std::uint8_t kAlignmentCodes[] = {1, 3, 2};
constexpr char kPrefixChars[] = {'\'', '^', '"'};

constexpr FormatGroupInfo kGroups[kFormatGroupCount] = {
    {"Fixed", "&Decimals:", 16, 2},        {"Scientific", "&Decimals:", 16, 2},
    {"Currency", "&Decimals:", 8, 2},      {"Fraction", "Largest &denominator:", 8, 3},
    {"Percent", "&Decimals:", 8, 0},       {"Comma", "&Decimals:", 8, 2},
    {"Engineering", "&Decimals:", 16, 2},  {"General", "", 0, 0},
    {"+/- Bar", "", 0, 0},                 {"Date", "&Form:", 5, 0},
    {"Time", "&Form:", 4, 0},              {"Text", "", 0, 0},
    {"Hidden", "", 0, 0},                  {"Label", "", 0, 0},
    {"Default", "", 0, 0}};

// The dates and times in the order offered, with how each writes a value.
constexpr std::uint8_t kDateCodes[] = {114, 115, 116, 121, 122};
constexpr const char* kDateForms[] = {"D1  DD-Mon-YYYY", "D2  DD-Mon", "D3  Mon YYYY",
                                      "D4  MM/DD/YYYY", "D5  DD/MM/YYYY"};
constexpr std::uint8_t kTimeCodes[] = {119, 120, 123, 124};
constexpr const char* kTimeForms[] = {"T1  h:MM:SS am/pm", "T2  h:MM am/pm", "T3  HH:MM:SS",
                                      "T4  HH:MM"};

bool HasDecimals(FormatGroup g) {
  switch (g) {
    case FormatGroup::kFixed:
    case FormatGroup::kScientific:
    case FormatGroup::kCurrency:
    case FormatGroup::kPercent:
    case FormatGroup::kComma:
    case FormatGroup::kEngineering: return true;
    default: return false;
  }
}

int IndexOf(const std::uint8_t* codes, int count, int code) {
  for (int i = 0; i < count; ++i)
    if (codes[i] == code) return i;
  return 0;
}

}  // namespace

const FormatGroupInfo& FormatGroupInfoOf(FormatGroup group) {
  int g = std::clamp(static_cast<int>(group), 0, kFormatGroupCount - 1);
  return kGroups[g];
}

std::string FormatChoiceCaption(FormatGroup group, int choice) {
  const FormatGroupInfo& info = FormatGroupInfoOf(group);
  if (choice < 0 || choice >= info.choices) return {};
  switch (group) {
    case FormatGroup::kFraction: return choice == 0 ? "1" : "1/" + std::to_string(1 << choice);
    case FormatGroup::kDate: return kDateForms[choice];
    case FormatGroup::kTime: return kTimeForms[choice];
    default: return std::to_string(choice);
  }
}

std::uint8_t FormatCodeOf(FormatPick pick) {
  const FormatGroupInfo& info = FormatGroupInfoOf(pick.group);
  int c = info.choices > 0 ? std::clamp(pick.choice, 0, info.choices - 1) : 0;
  switch (pick.group) {
    case FormatGroup::kFixed: return static_cast<std::uint8_t>(c);
    case FormatGroup::kScientific: return static_cast<std::uint8_t>(16 + c);
    case FormatGroup::kCurrency: return static_cast<std::uint8_t>(32 + c);
    case FormatGroup::kFraction: return static_cast<std::uint8_t>(40 + c);
    case FormatGroup::kPercent: return static_cast<std::uint8_t>(48 + c);
    case FormatGroup::kComma: return static_cast<std::uint8_t>(64 + c);
    case FormatGroup::kEngineering: return static_cast<std::uint8_t>(80 + c);
    case FormatGroup::kGeneral: return kFormatGeneral;
    case FormatGroup::kBar: return kFormatBar;
    case FormatGroup::kDate: return kDateCodes[c];
    case FormatGroup::kTime: return kTimeCodes[c];
    case FormatGroup::kText: return kFormatText;
    case FormatGroup::kHidden: return kFormatHidden;
    case FormatGroup::kLabel: return kFormatLabelOnly;
    default: return kFormatUseDefault;
  }
}

FormatPick FormatPickOf(std::uint8_t code) {
  int p = code & 0x0F;
  switch ((code >> 4) & 7) {
    case 0: return {FormatGroup::kFixed, p};
    case 1: return {FormatGroup::kScientific, p};
    case 2: return (p & 8) ? FormatPick{FormatGroup::kFraction, p & 7}
                           : FormatPick{FormatGroup::kCurrency, p};
    case 3: return {FormatGroup::kPercent, p & 7};
    case 4: return {FormatGroup::kComma, p & 7};
    case 5: return {FormatGroup::kEngineering, p};
    case 6: return {FormatGroup::kGeneral, 0};
    default: break;
  }
  switch (p) {
    case 0: return {FormatGroup::kBar, 0};
    case 2: case 3: case 4: case 9: case 10:
      return {FormatGroup::kDate, IndexOf(kDateCodes, 5, 112 + p)};
    case 5: return {FormatGroup::kText, 0};
    case 6: return {FormatGroup::kHidden, 0};
    case 7: case 8: case 11: case 12:
      return {FormatGroup::kTime, IndexOf(kTimeCodes, 4, 112 + p)};
    case 14: return {FormatGroup::kLabel, 0};
    case 15: return {FormatGroup::kDefault, 0};
    default: return {FormatGroup::kGeneral, 0};  // 1 and 13
  }
}

std::vector<QuickFormat> QuickFormats(const std::vector<std::string>& entries) {
  std::vector<QuickFormat> quick;
  for (const std::string& entry : entries) {
    std::string_view code = std::string_view(entry).substr(0, entry.find(','));
    std::uint8_t f = ParseFormatCode(code);
    // Only "R" means the default; any other letter giving it is unknown.
    if (code.empty() || (f == kFormatUseDefault && UpperChar(code[0]) != 'R')) continue;
    std::size_t comma = entry.find(',');
    std::string caption = comma == std::string::npos ? std::string() : entry.substr(comma + 1);
    QuickFormat q;
    q.code = f;
    q.caption = caption.empty() ? std::string(code) : caption + " (" + std::string(code) + ")";
    quick.push_back(std::move(q));
  }
  return quick;
}

std::uint8_t OutlineMask(const CellRange& range, int row, int col) {
  std::uint8_t mask = 0;
  if (col == range.Left()) mask |= kBorderLeft;
  if (row == range.Bottom()) mask |= kBorderBottom;
  if (col == range.Right()) mask |= kBorderRight;
  if (row == range.Top()) mask |= kBorderTop;
  return mask;
}

std::uint8_t BorderByte(BorderType type, BorderApply apply, std::uint8_t outline) {
  std::uint8_t edges = 0;
  switch (apply) {
    case BorderApply::kIn: edges = static_cast<std::uint8_t>(~outline); break;
    case BorderApply::kOut: edges = outline; break;
    case BorderApply::kAll: edges = 0xFF; break;
    case BorderApply::kClear: edges = 0; break;
  }
  return kBorderTypeBytes[static_cast<int>(type)] & edges;
}

void PropertiesDialog::Activate(SheetDocument& doc, const CellRange& selection) {
  activated_ = selection;
  applied_.SetUndefined();
  rangeText_ = RangeText(selection, doc.settings().pageHeight);
  const CellRecord* cell =
      selection.IsDefined() ? doc.cells().FindCell(selection.Top(), selection.Left()) : nullptr;
  if (cell != nullptr) {
    fontColour_ = static_cast<int>((cell->colour >> 24) & 0x0F);
    shade_ = (cell->colour & kColourNoShade) ? 0x00FFFFFFu : (cell->colour & 0x00FFFFFFu);
    format_ = cell->FormatCode();
    lock_ = cell->IsLocked();
    font_ = cell->font;
    fontSize_ = cell->fontSize;
    style_ = cell->style & 0x07u;
    hasSample_ = !cell->HasError() && (cell->Kind() == kFormula || cell->Kind() == kReal ||
                                       cell->Kind() == kInteger);
    sample_ = CellNumber(cell);
  } else {
    hasSample_ = false;
    fontColour_ = 0;
    shade_ = 0x00FFFFFF;
    format_ = kDefaultFormat;
    lock_ = true;
    font_ = kDefaultFont;
    fontSize_ = 0;
    style_ = 0;
  }
  shadeDefault_ = false;
  borderType_ = BorderType::kNone;
  borderApply_ = BorderApply::kClear;
  prefix_ = PrefixChoice::kLeft;
  changed_ = 0;
}

bool PropertiesDialog::SetFormat(int code) {
  if (code < 0 || code > 127) return false;
  format_ = static_cast<std::uint8_t>(code);
  changed_ |= PageBit(PropertyPage::kFormat);
  return true;
}

bool PropertiesDialog::SetFormatGroup(FormatGroup group) {
  int g = static_cast<int>(group);
  if (g < 0 || g >= kFormatGroupCount) return false;
  FormatPick now = formatPick();
  const FormatGroupInfo& info = FormatGroupInfoOf(group);
  int choice = info.usualChoice;
  if (now.group == group) choice = now.choice;
  else if (HasDecimals(now.group) && HasDecimals(group)) choice = std::min(now.choice, info.choices - 1);
  return SetFormat(FormatCodeOf({group, choice}));
}

bool PropertiesDialog::SetFormatChoice(int choice) {
  FormatGroup group = formatPick().group;
  if (choice < 0 || choice >= FormatGroupInfoOf(group).choices) return false;
  return SetFormat(FormatCodeOf({group, choice}));
}

std::string PropertiesDialog::FormatSample(SheetDocument& doc) const {
  FormatGroup group = formatPick().group;
  double x = hasSample_ ? sample_
             : group == FormatGroup::kDate || group == FormatGroup::kTime ? 35000.75
             : group == FormatGroup::kBar ? 3
             : 1234.5678;
  std::string text = FormatValue(20, EffectiveFormat(format_, doc.settings()), x,
                                 FormatSettingsOf(doc));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void PropertiesDialog::SetShade(std::uint32_t rgb) {
  shade_ = rgb & 0x00FFFFFFu;
  changed_ |= PageBit(PropertyPage::kShade);
}

void PropertiesDialog::SetShadeDefault(bool on) {
  shadeDefault_ = on;
  changed_ |= PageBit(PropertyPage::kShade);
}

void PropertiesDialog::SetFont(std::uint8_t fontNumber) {
  font_ = fontNumber;
  changed_ |= PageBit(PropertyPage::kTypeface);
}

bool PropertiesDialog::SetFontSize(int pixels) {
  if (pixels < 0 || pixels > 255) return false;
  fontSize_ = pixels;
  changed_ |= PageBit(PropertyPage::kTypeface);
  return true;
}

void PropertiesDialog::SetFontStyle(unsigned bits) {
  style_ = bits & 0x07u;
  changed_ |= PageBit(PropertyPage::kTypeface);
}

bool PropertiesDialog::SetFontColour(int index) {
  if (index < 0 || index > 15) return false;
  fontColour_ = index;
  changed_ |= PageBit(PropertyPage::kTypeface);
  return true;
}

void PropertiesDialog::SetPrefix(PrefixChoice choice) {
  prefix_ = choice;
  changed_ |= PageBit(PropertyPage::kPrefix);
}

void PropertiesDialog::SetLock(bool enable) {
  lock_ = enable;
  changed_ |= PageBit(PropertyPage::kLock);
}

void PropertiesDialog::SetBorderType(BorderType type) {
  borderType_ = type;
  changed_ |= PageBit(PropertyPage::kBorder);
}

void PropertiesDialog::SetBorderApply(BorderApply apply) {
  borderApply_ = apply;
  changed_ |= PageBit(PropertyPage::kBorder);
}

bool PropertiesDialog::Apply(SheetDocument& doc, const CursorSource* cursor) {
  ErrorChannel& errors = doc.session().errors();
  errors.Clear();
  RangeContext context{doc.settings().pageHeight, &doc.names(), cursor};
  ParsedRange parsed = ParseRange(rangeText_, context, errors);
  // The whole range is checked first so that a bad range changes nothing.
  if (!parsed.ok || errors.failed() || !block::InSheet(parsed.range)) {
    errors.Clear();
    return false;
  }
  TakeSnapshot(doc);
  const CellRange range = parsed.range;
  for (int r = range.Top(); r <= range.Bottom(); ++r) {
    for (int c = range.Left(); c <= range.Right(); ++c) {
      CellRecord* cell = doc.cells().GetOrCreateCell(r, c);
      if (cell == nullptr) {
        errors.Clear();
        continue;
      }
      if (doc.settings().protect && cell->IsLocked()) continue;
      ApplyTo(doc, *cell, range, r, c);
    }
  }
  doc.settings().modified = true;
  applied_ = range;
  return true;
}

void PropertiesDialog::ApplyTo(SheetDocument& doc, CellRecord& cell, const CellRange& range,
                               int row, int col) {
  if (changed_ & PageBit(PropertyPage::kFormat))
    cell.format = static_cast<std::uint8_t>((cell.format & kLockBit) | format_);
  if (changed_ & PageBit(PropertyPage::kShade)) {
    std::uint32_t shade = shadeDefault_ ? kColourNoShade : shade_;
    cell.colour = (cell.colour & 0x7F000000u) | shade;
  }
  if (changed_ & PageBit(PropertyPage::kTypeface)) {
    cell.font = font_;
    cell.fontSize = static_cast<std::uint8_t>(fontSize_);
    cell.style = static_cast<std::uint8_t>((cell.style & 0xF0u) | style_);
    // Without a shade of its own the cell also drops back to the first
    // font colour.
    int colour = (changed_ & PageBit(PropertyPage::kShade)) && shadeDefault_ ? 0 : fontColour_;
    cell.colour = (cell.colour & 0x80FFFFFFu) | (static_cast<std::uint32_t>(colour) << 24);
  }
  if (changed_ & PageBit(PropertyPage::kPrefix)) {
    int choice = static_cast<int>(prefix_);
    if (cell.Kind() == kLabel && cell.text != nullptr && cell.text[0] > 0) {
      std::string text(1, kPrefixChars[choice]);
      text.append(cell.TextView().substr(1));
      doc.cells().SetCellText(cell, text);
    } else {
      cell.style = static_cast<std::uint8_t>((cell.style & 0x8Fu) | (kAlignmentCodes[choice] << 4));
    }
  }
  if (changed_ & PageBit(PropertyPage::kLock))
    cell.format = static_cast<std::uint8_t>((cell.format & kFormatMask) | (lock_ ? kLockBit : 0));
  if (changed_ & PageBit(PropertyPage::kBorder))
    cell.borders = BorderByte(borderType_, borderApply_, OutlineMask(range, row, col));
}

}  // namespace tabulon
