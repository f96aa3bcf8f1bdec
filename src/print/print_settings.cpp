#include "print/print_settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "sheet/print_options.h"
#include "sheet/worksheet_extras.h"

namespace tabulon {

namespace {

constexpr double kLargestMargin = 100;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole text as a finite number.
bool ReadNumber(std::string_view text, double& x) {
  std::string s(Trim(text));
  if (s.empty()) return false;
  char* end = nullptr;
  x = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(x);
}

std::vector<std::string_view> Items(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    std::string_view item =
        Trim(text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                 : comma - start));
    if (!item.empty()) items.push_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

bool ReadMargin(std::string_view text, double& inches) {
  double x = 0;
  if (!ReadNumber(text, x) || x < 0 || x > kLargestMargin) return false;
  inches = x;
  return true;
}

bool ApplyMarginItems(std::string_view text, WorksheetExtras& x, std::string& error) {
  std::array<double, 6> margins = x.margins;
  for (std::string_view item : Items(text)) {
    int slot = -1;
    switch (Upper(item[0])) {
      case 'T': slot = 0; break;
      case 'L': slot = 1; break;
      case 'R': slot = 2; break;
      case 'B': slot = 3; break;
      default: continue;
    }
    double inches = 0;
    if (!ReadMargin(item.substr(1), inches)) {
      error = "Margin must be 0 to 100 inches: " + std::string(item);
      return false;
    }
    margins[slot] = inches;
  }
  x.margins = margins;
  return true;
}

bool ApplyOptionItems(std::string_view text, PrintOptions& o, std::string& error) {
  PrintOptions next = o;
  for (std::string_view item : Items(text)) {
    std::string_view value = Trim(item.substr(1));
    bool on = value == "1";
    switch (Upper(item[0])) {
      case 'F': next.frame = on; break;
      case 'G': next.grid = on; break;
      case 'M': next.mono = on; break;
      case 'L': next.landscape = true; break;
      case 'P': next.landscape = false; break;
      case 'S': {
        double s = 0;
        if (!ReadNumber(value, s) || s < kMinPrintScale || s > kMaxPrintScale) {
          error = "Print scale must be 1 to 1000%";
          return false;
        }
        next.scale = static_cast<int>(std::lround(s));
        break;
      }
      default: break;
    }
  }
  o = next;
  return true;
}

std::string OptionItemsText(const PrintOptions& o) {
  return std::string("F") + (o.frame ? "1" : "0") + ",G" + (o.grid ? "1" : "0") + ",M" +
         (o.mono ? "1" : "0") + (o.landscape ? ",L" : ",P") + ",S" + std::to_string(o.scale);
}

bool ReadDialogScale(std::string_view text, int& scale) {
  double s = 0;
  if (!ReadNumber(text, s)) return false;
  scale = static_cast<int>(std::lround(std::clamp(s, double{kMinDialogScale},
                                                  double{kMaxDialogScale})));
  return true;
}

}  // namespace tabulon
