#include "ui/general_settings.h"

#include <algorithm>
#include <cstdlib>

#include "base/limits.h"
#include "base/text.h"
#include "display/format.h"
#include "platform/host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr std::uint32_t kIgnoreForeground = 0x80000000u;
constexpr std::uint32_t kIgnoreBackground = 0x40000000u;

// Reads a flag digit after a letter; false when the text has none.
bool Digit(std::string_view text, std::size_t i, bool& on) {
  if (i >= text.size() || (text[i] != '0' && text[i] != '1')) return false;
  on = text[i] == '1';
  return true;
}

}  // namespace

int ColourWordIndex(ColourType type) {
  switch (type) {
    case ColourType::kLabel: return 4;
    case ColourType::kValue: return 2;
    case ColourType::kNegative: return 3;
    case ColourType::kUnlocked: return 5;
    case ColourType::kCursor: return 6;
    case ColourType::kOdd: return 1;
    case ColourType::kBackground: return 0;
  }
  return 0;
}

void GeneralSettings::Activate() {
  window_ = ws_.active();
  if (window_ == nullptr) return;
  SheetDocument& doc = window_->document();
  saved_ = doc.settings();
  savedColours_ = doc.extras().colours;
  savedGridLines_ = window_->activePane().gridLines;
  defaultFormat = doc.settings().defaultFormat;
  rowHeight = window_->defaultRowHeight;
  columnUnits = doc.metrics().defaultColumnWidth / 8;
  raised3d = window_->activePane().raised3d;
  autoexec = ws_.config().autoexec;
  toolbar = ws_.config().toolMacros;
  historySize = ws_.recent().size();
  font_ = doc.extras().sheetFontName;
  fontHeight_ = window_->defaultRowHeight;
  fontStyle_ = doc.extras().sheetFontStyle;
  fontChanged_ = false;
}

void GeneralSettings::Repaint() { ws_.AfterChange(true); }

int GeneralSettings::pageCount() const {
  if (window_ == nullptr) return 1;
  const SheetSettings& s = window_->document().settings();
  return s.UsesPages() ? kRowCount / s.pageHeight : 1;
}

void GeneralSettings::SetPageCount(int pages) {
  if (window_ == nullptr) return;
  static constexpr int kCounts[] = {1, 2, 4, 8, 16, 32, 64};
  if (std::find(std::begin(kCounts), std::end(kCounts), pages) == std::end(kCounts)) return;
  window_->document().settings().pageHeight = static_cast<std::int16_t>(pages == 1 ? 0 : kRowCount / pages);
  Repaint();
}

void GeneralSettings::SetGridLines(bool solid, bool horizontal, bool vertical) {
  if (window_ == nullptr) return;
  window_->activePane().gridLines = (horizontal ? 1u : 0u) | (vertical ? 2u : 0u) | (solid ? 0u : 4u);
  Repaint();
}

void GeneralSettings::SetLabelAlignment(char prefix) {
  if (window_ == nullptr || (prefix != '\'' && prefix != '^' && prefix != '"')) return;
  window_->document().settings().labelPrefix = prefix;
}

void GeneralSettings::SetShowZeros(bool on) {
  if (window_ == nullptr) return;
  window_->document().settings().hideZeros = !on;
  Repaint();
}

void GeneralSettings::SetNegativeColour(bool on) {
  if (window_ == nullptr) return;
  window_->document().settings().negativeColour = on;
  Repaint();
}

void GeneralSettings::SetBanding(bool on) {
  if (window_ == nullptr) return;
  window_->document().settings().banding = on;
  Repaint();
}

void GeneralSettings::SetProtect(bool on) {
  if (window_ == nullptr) return;
  window_->document().settings().protect = on;
  Repaint();
}

void GeneralSettings::SetAutoRecalc(bool on) {
  if (window_ == nullptr) return;
  window_->document().settings().manualRecalc = !on;
}

void GeneralSettings::SetFont(const std::string& face, int pixelHeight, unsigned style) {
  font_ = face.substr(0, 40);
  fontHeight_ = std::clamp(pixelHeight, 1, 255);
  fontStyle_ = style & 0x0F;
  fontChanged_ = true;
}

std::uint32_t GeneralSettings::ColourWord() const {
  if (window_ == nullptr) return 0;
  return window_->document().extras().colours[static_cast<std::size_t>(ColourWordIndex(colourType))];
}

void GeneralSettings::SetForeground(int paletteIndex) {
  if (window_ == nullptr) return;
  std::uint32_t& w = window_->document().extras().colours[static_cast<std::size_t>(ColourWordIndex(colourType))];
  w = (w & ~0x0F000000u) | (static_cast<std::uint32_t>(std::clamp(paletteIndex, 0, 15)) << 24);
  Repaint();
}

void GeneralSettings::SetBackground(int red, int green, int blue) {
  if (window_ == nullptr) return;
  std::uint32_t& w = window_->document().extras().colours[static_cast<std::size_t>(ColourWordIndex(colourType))];
  std::uint32_t rgb = static_cast<std::uint32_t>(std::clamp(red, 0, 255)) |
                      (static_cast<std::uint32_t>(std::clamp(green, 0, 255)) << 8) |
                      (static_cast<std::uint32_t>(std::clamp(blue, 0, 255)) << 16);
  w = (w & 0xFF000000u) | rgb;
  Repaint();
}

void GeneralSettings::SetIgnoreForeground(bool on) {
  if (window_ == nullptr) return;
  std::uint32_t& w = window_->document().extras().colours[static_cast<std::size_t>(ColourWordIndex(colourType))];
  w = on ? (w | kIgnoreForeground) : (w & ~kIgnoreForeground);
  Repaint();
}

void GeneralSettings::SetIgnoreBackground(bool on) {
  if (window_ == nullptr) return;
  std::uint32_t& w = window_->document().extras().colours[static_cast<std::size_t>(ColourWordIndex(colourType))];
  w = on ? (w | kIgnoreBackground) : (w & ~kIgnoreBackground);
  Repaint();
}

void GeneralSettings::ResetColours() {
  if (window_ == nullptr) return;
  window_->document().extras().colours = kColourResets;
  Repaint();
}

void GeneralSettings::ClearHistory() { ws_.recent().Clear(); ws_.view().RecentFilesChanged(); }

Status GeneralSettings::SetArgumentSeparator(char c) {
  if (c != ',' && c != ';') return Status::Beep();
  ProgramSettings& p = ws_.session().settings();
  if (c == p.decimalChar) return Status::Error("The argument separator must differ from the decimal character");
  p.argSeparator = c;
  return Status::Ok();
}

Status GeneralSettings::SetThousandsSeparator(char c) {
  if (c != ',' && c != '.') return Status::Beep();
  ProgramSettings& p = ws_.session().settings();
  if (c == p.decimalChar) return Status::Error("The thousands separator must differ from the decimal character");
  p.thousandsChar = c;
  Repaint();
  return Status::Ok();
}

Status GeneralSettings::SetDecimal(char c) {
  if (c != '.' && c != ',') return Status::Beep();
  ProgramSettings& p = ws_.session().settings();
  if (c == p.argSeparator) return Status::Error("The decimal character must differ from the argument separator");
  if (c == p.thousandsChar) p.thousandsChar = c == ',' ? '.' : ',';
  p.decimalChar = c;
  Repaint();
  return Status::Ok();
}

void GeneralSettings::SetCurrency(const std::string& text, bool prefix) {
  ProgramSettings& p = ws_.session().settings();
  std::string t = text.substr(0, 2);
  (prefix ? p.currencyPrefix : p.currencySuffix) = t;
  (prefix ? p.currencySuffix : p.currencyPrefix).clear();
  Repaint();
}

void GeneralSettings::SetFlags(bool winControlKeys, bool usDate, bool preOpen, bool oldFileDialogs) {
  ConfigSettings& c = ws_.config();
  c.winControlKeys = winControlKeys;
  c.usDate = usDate;
  ws_.session().settings().usDate = usDate;
  c.preOpen = preOpen;
  c.oldFileDialogs = oldFileDialogs;
}

void GeneralSettings::Ok(GeneralPage page) {
  if (window_ == nullptr) return;
  SheetDocument& doc = window_->document();
  doc.settings().defaultFormat = defaultFormat;
  window_->pane(0).raised3d = window_->pane(1).raised3d = raised3d;
  if (page == GeneralPage::kFiles) {
    ws_.recent().SetSize(std::clamp(historySize, 0, RecentFiles::kMaxEntries));
    ws_.config().autoexec = autoexec;
    ws_.config().toolMacros = toolbar;
    ws_.view().RecentFilesChanged();
  }
  if (page == GeneralPage::kOption) {
    if (rowHeight >= 0) window_->defaultRowHeight = std::clamp(rowHeight, 1, 255);
    if (columnUnits >= 0)
      doc.metrics().SetDefaultColumnWidth(static_cast<std::int16_t>(std::clamp(columnUnits, 1, 255) * 8));
    ws_.view().LayoutChanged();
  }
  if (fontChanged_) {
    doc.extras().sheetFontName = font_;
    doc.extras().sheetFontStyle = static_cast<std::uint8_t>(fontStyle_);
    window_->defaultRowHeight = fontHeight_;
    ws_.view().LayoutChanged();
  }
  doc.settings().modified = true;
  Repaint();
  window_ = nullptr;
}

void GeneralSettings::Cancel() {
  if (window_ == nullptr) return;
  SheetDocument& doc = window_->document();
  bool modified = doc.settings().modified;
  doc.settings() = saved_;
  doc.settings().modified = modified;
  doc.extras().colours = savedColours_;
  window_->activePane().gridLines = savedGridLines_;
  Repaint();
  window_ = nullptr;
}

void GeneralSettings::Escape() {
  ws_.host().Beep();
  window_ = nullptr;
}

void GeneralSettings::ApplyGlobally(GeneralPage page) {
  if (window_ == nullptr) return;
  const SheetDocument& doc = window_->document();
  ProgramSettings& p = ws_.session().settings();
  p.sheetDefaults = doc.settings();
  p.sheetDefaults.modified = false;
  p.sheetDefaults.defaultFormat = defaultFormat;
  ConfigSettings& c = ws_.config();
  c.colours = doc.extras().colours;
  c.defaultFormat = defaultFormat;
  if (page == GeneralPage::kTypeface) {
    c.graphFont = font_.substr(0, 40);
  }
}

Status GeneralSettings::ApplyOptionText(std::string_view text) {
  if (window_ == nullptr) return Status::Beep();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char k = UpperChar(text[i]);
    bool on = false;
    switch (k) {
      case 'Z': if (Digit(text, i + 1, on)) SetShowZeros(on), ++i; break;
      case 'N': if (Digit(text, i + 1, on)) SetNegativeColour(on), ++i; break;
      case 'B': if (Digit(text, i + 1, on)) SetBanding(on), ++i; break;
      case 'P': if (Digit(text, i + 1, on)) SetProtect(on), ++i; break;
      case 'A': if (Digit(text, i + 1, on)) SetAutoRecalc(on), ++i; break;
      case 'R':
        if (Digit(text, i + 1, on)) {
          window_->pane(0).raised3d = window_->pane(1).raised3d = on;
          ++i;
        }
        break;
      case 'G':
        if (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
          int g = text[i + 1] - '0';
          SetGridLines((g & 4) == 0, (g & 1) != 0, (g & 2) != 0);
          ++i;
        }
        break;
      case 'L':
        if (i + 1 < text.size()) SetLabelAlignment(text[++i]);
        break;
      case 'K': {
        int pages = std::atoi(std::string(text.substr(i + 1)).c_str());
        SetPageCount(pages);
        while (i + 1 < text.size() && IsDigit(text[i + 1])) ++i;
        break;
      }
      default: break;
    }
  }
  window_->document().settings().modified = true;
  return Status::Ok();
}

Status GeneralSettings::ApplyAdvancedText(std::string_view text) {
  Status result = Status::Ok();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char k = UpperChar(text[i]);
    bool on = false;
    ConfigSettings& c = ws_.config();
    switch (k) {
      case 'A': if (i + 1 < text.size()) { Status s = SetArgumentSeparator(text[++i]); if (!s) result = s; } break;
      case 'T': if (i + 1 < text.size()) { Status s = SetThousandsSeparator(text[++i]); if (!s) result = s; } break;
      case 'D': if (i + 1 < text.size()) { Status s = SetDecimal(text[++i]); if (!s) result = s; } break;
      case 'P':
      case 'S': {
        std::size_t end = text.find(' ', i + 1);
        std::string value(text.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
        SetCurrency(value, k == 'P');
        i = end == std::string_view::npos ? text.size() : end;
        break;
      }
      case 'U': if (Digit(text, i + 1, on)) { SetFlags(c.winControlKeys, on, c.preOpen, c.oldFileDialogs); ++i; } break;
      case 'W': if (Digit(text, i + 1, on)) { c.winControlKeys = on; ++i; } break;
      case 'O': if (Digit(text, i + 1, on)) { c.preOpen = on; ++i; } break;
      case 'F': if (Digit(text, i + 1, on)) { c.oldFileDialogs = on; ++i; } break;
      default: break;
    }
  }
  return result;
}

Status GeneralSettings::ApplyFontText(std::string_view text) {
  if (window_ == nullptr) return Status::Beep();
  std::string t(text);
  std::size_t c1 = t.find(',');
  std::string face = t.substr(0, c1);
  int size = window_->defaultRowHeight;
  unsigned style = 0;
  if (c1 != std::string::npos) {
    std::size_t c2 = t.find(',', c1 + 1);
    size = std::atoi(t.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1).c_str());
    if (c2 != std::string::npos) {
      for (char ch : t.substr(c2 + 1)) {
        ch = UpperChar(ch);
        style |= ch == 'B' ? 1u : ch == 'I' ? 2u : ch == 'U' ? 4u : 0u;
      }
    }
  }
  if (face.empty() || size <= 0) return Status::Beep();
  SetFont(face, size, style);
  return Status::Ok();
}

}  // namespace tabulon
