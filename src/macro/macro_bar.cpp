#include "macro/macro_bar.h"

#include <algorithm>
#include <fstream>

#include "macro/macro_interpreter.h"
#include "ui/workspace.h"

namespace tabulon {

// --- items --------------------------------------------------------------------------

std::string ButtonName(std::string_view item) { return std::string(item.substr(0, item.find('|'))); }

std::string ButtonHint(std::string_view item) {
  std::size_t a = item.find('|');
  if (a == std::string_view::npos) return {};
  std::size_t b = item.find('|', a + 1);
  return std::string(item.substr(a + 1, b == std::string_view::npos ? b : b - a - 1));
}

std::string ButtonMacro(std::string_view item) {
  std::size_t a = item.find('|');
  if (a == std::string_view::npos) return {};
  std::size_t b = item.find('|', a + 1);
  if (b == std::string_view::npos) return {};
  return std::string(item.substr(b + 1));
}

std::string ButtonLabel(std::string_view item) { return ButtonName(item).substr(0, 2); }

std::string ButtonHintText(std::string_view item) {
  std::string hint = ButtonHint(item);
  return hint.empty() || hint == " " ? std::string("Unassigned Macro") : hint;
}

// --- glyph strip ----------------------------------------------------------------------

void GlyphStrip::Fill(std::uint32_t argb) { std::fill(pixels_.begin(), pixels_.end(), argb); }

void GlyphStrip::Load(int width, int height, const std::uint32_t* pixels) {
  if (pixels == nullptr) return;
  int w = std::clamp(width, 0, kWidth), h = std::clamp(height, 0, kHeight);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels_[static_cast<std::size_t>(y * kWidth + x)] =
          pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
  changed = false;
}

bool GlyphStrip::SetGlyph(int index, int width, int height, const std::uint32_t* pixels) {
  if (index < 0 || index >= kGlyphCount || pixels == nullptr || width <= 0 || height <= 0)
    return false;
  BlankGlyph(index);
  int w = std::min(width, kGlyphSize), h = std::min(height, kGlyphSize);
  int left = (kGlyphSize - w + 1) / 2, top = (kGlyphSize - h + 1) / 2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels_[static_cast<std::size_t>((index * kGlyphSize + top + y) * kWidth + left + x)] =
          pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
  changed = true;
  return true;
}

bool GlyphStrip::BlankGlyph(int index, std::uint32_t argb) {
  if (index < 0 || index >= kGlyphCount) return false;
  auto from = pixels_.begin() + index * kGlyphSize * kWidth;
  std::fill(from, from + kGlyphSize * kWidth, argb);
  changed = true;
  return true;
}

std::vector<std::uint32_t> GlyphStrip::Glyph(int index) const {
  if (index < 0 || index >= kGlyphCount) return {};
  auto from = pixels_.begin() + index * kGlyphSize * kWidth;
  return {from, from + kGlyphSize * kWidth};
}

// --- the bar ----------------------------------------------------------------------------

MacroBar::MacroBar(Metrics metrics, int unassigned)
    : metrics_(metrics), items_(static_cast<std::size_t>(std::max(0, unassigned)), " ") {
  metrics_.barHeight = std::max(1, metrics_.barHeight);
  metrics_.margin = std::max(0, metrics_.margin);
}

void MacroBar::SetItems(std::vector<std::string> items) {
  if (items.size() > kMaxItems) items.resize(kMaxItems);
  items_ = std::move(items);
  first_ = std::min(first_, std::max(0, static_cast<int>(items_.size()) - 1));
}

std::string MacroBar::Item(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return {};
  return items_[static_cast<std::size_t>(index)];
}

void MacroBar::SetItem(int index, std::string item) {
  if (index < 0 || index >= static_cast<int>(kMaxItems)) return;
  if (index >= static_cast<int>(items_.size())) items_.resize(static_cast<std::size_t>(index) + 1, " ");
  items_[static_cast<std::size_t>(index)] = std::move(item);
}

bool MacroBar::Load(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  std::vector<std::string> items;
  std::string line;
  while (items.size() < kMaxItems && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxItemLength) line.resize(kMaxItemLength);
    items.push_back(line);
  }
  if (in.bad()) return false;
  SetItems(std::move(items));
  return true;
}

bool MacroBar::Save(const std::string& fileName) const {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const std::string& item : items_) out << item << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

MacroBar::Layout MacroBar::LayoutFor(int height) const {
  Layout l;
  int inner = height - 2 * metrics_.margin;
  l.buttons = inner > 0 ? inner / metrics_.barHeight : 0;
  int left = std::max(0, height - l.buttons * metrics_.barHeight);
  l.top = left / 2;
  l.bottom = left - l.top;
  return l;
}

void MacroBar::Scroll(int delta, int height) {
  int shown = std::max(1, LayoutFor(height).buttons);
  int last = std::max(0, static_cast<int>(items_.size()) - shown);
  first_ = std::clamp(first_ + delta, 0, last);
}

MacroBar::Area MacroBar::HitTest(int y, int height, int& index) const {
  index = -1;
  Layout l = LayoutFor(height);
  if (y < 0 || y >= height) return Area::kNone;
  if (y < l.top) return Area::kUp;
  if (y >= height - l.bottom) return Area::kDown;
  int k = (y - l.top) / metrics_.barHeight;
  if (k >= l.buttons) return Area::kDown;
  index = first_ + k;
  return Area::kButton;
}

std::string MacroBar::MouseMove(int y, int height) {
  int index = -1;
  Area a = HitTest(y, height, index);
  itemIndex_ = a == Area::kButton ? index : -1;
  if (captured_ >= 0) sunken_ = itemIndex_ == captured_;
  return a == Area::kButton ? ButtonHintText(Item(index)) : std::string();
}

MacroBar::Area MacroBar::LeftDown(int y, int height) {
  int index = -1;
  Area a = HitTest(y, height, index);
  if (a == Area::kButton) {
    captured_ = index;
    sunken_ = true;
  } else if (a == Area::kUp) {
    Scroll(-1, height);
  } else if (a == Area::kDown) {
    Scroll(1, height);
  }
  return a;
}

std::optional<std::string> MacroBar::LeftUp(int y, int height) {
  int index = -1;
  Area a = HitTest(y, height, index);
  int was = captured_;
  captured_ = -1;
  sunken_ = false;
  if (was < 0 || a != Area::kButton || index != was) return std::nullopt;
  std::string item = Item(index);
  if (item.empty()) return std::nullopt;
  return ButtonMacro(item);
}

std::optional<int> MacroBar::RightDown(int y, int height) const {
  int index = -1;
  if (HitTest(y, height, index) != Area::kButton) return std::nullopt;
  return index;
}

// --- the Define Button dialog ----------------------------------------------------------

void DefineButtonDialog::Open(const MacroBar& bar, int index) {
  index_ = std::max(0, index);
  std::string item = bar.Item(index_);
  name = ButtonName(item);
  hint = ButtonHint(item);
  macroLines.clear();
  std::string macro = ButtonMacro(item);
  if (!macro.empty()) macroLines.push_back(macro);
  std::vector<std::uint32_t> g = bar.glyphs().Glyph(index_);
  if (g.empty()) BlankGlyph();
  else glyph_ = std::move(g);
}

void DefineButtonDialog::SetGlyphImage(int width, int height, const std::uint32_t* pixels) {
  GlyphStrip one;
  if (one.SetGlyph(0, width, height, pixels)) glyph_ = one.Glyph(0);
}

void DefineButtonDialog::BlankGlyph() { std::fill(glyph_.begin(), glyph_.end(), kButtonFace); }

void DefineButtonDialog::Reset() {
  BlankGlyph();
  name.clear();
  hint.clear();
  macroLines.clear();
}

std::string DefineButtonDialog::ItemText() const {
  auto field = [](const std::string& s) {
    std::string out;
    for (char c : s)
      if (c != '|' && c != '\r' && c != '\n') out.push_back(c);
    return out;
  };
  std::string macro;
  for (const std::string& line : macroLines)
    for (char c : line)
      if (c != '\r' && c != '\n') macro.push_back(c);
  if (macro.size() > MacroBar::kMaxItemLength) macro.resize(MacroBar::kMaxItemLength);
  return field(name) + "|" + field(hint) + "|" + macro;
}

void DefineButtonDialog::Ok(MacroBar& bar) const {
  bar.SetItem(index_, ItemText());
  bar.glyphs().SetGlyph(index_, kGlyphSize, kGlyphSize, glyph_.data());
}

bool RunButtonMacro(Workspace& ws, MacroInterpreter& macros, const std::string& macro) {
  if (macro.empty() || ws.windows().empty() || macros.Running()) return false;
  macros.RunMacroText(macro);
  return true;
}

}  // namespace tabulon
