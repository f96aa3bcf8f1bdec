#include "ui/properties_dialog.h"

#include "edit/block_support.h"
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

}  // namespace

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
  } else {
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
