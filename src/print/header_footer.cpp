#include "print/header_footer.h"

#include <cmath>

#include "base/limits.h"
#include "display/format.h"

namespace tabulon {

namespace {

constexpr std::size_t kMaxHeader = static_cast<std::size_t>(kMaxText);
constexpr std::uint8_t kTimeFormat = 119;  // T1: hours, minutes, seconds

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

}  // namespace

std::string HeaderDateText(double now, const FormatSettings& fmt) {
  return Trimmed(FormatValue(20, kFormatD1, std::floor(now), fmt));
}

std::string HeaderTimeText(double now, const FormatSettings& fmt) {
  return Trimmed(FormatValue(20, kTimeFormat, now - std::floor(now), fmt));
}

std::string ExpandHeaderCodes(std::string_view text, const HeaderValues& v) {
  std::string out;
  std::string page = std::to_string(v.page);
  for (std::size_t i = 0; i < text.size() && out.size() < kMaxHeader; ++i) {
    char ch = text[i];
    if (ch == '#') {
      out += page;
    } else if (ch == '@') {
      out += v.date;
    } else if (ch == '^' && i + 1 < text.size()) {
      switch (text[i + 1]) {
        case 'P': case 'p': out += page; ++i; break;
        case 'D': case 'd': out += v.date; ++i; break;
        case 'T': case 't': out += v.time; ++i; break;
        case 'F': case 'f': out += v.fileName; ++i; break;
        default: out.push_back(ch); break;
      }
    } else {
      out.push_back(ch);
    }
  }
  if (out.size() > kMaxHeader) out.resize(kMaxHeader);
  return out;
}

std::vector<PlacedText> PlaceSections(std::string_view text, int left, int width) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (parts.size() < 2) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) break;
    parts.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  parts.emplace_back(text.substr(start));

  std::vector<PlacedText> placed;
  auto add = [&](int x, Align a, const std::string& s) {
    if (!s.empty()) placed.push_back({x, a, s});
  };
  switch (parts.size()) {
    case 1: add(left + width / 2, Align::Centre, parts[0]); break;
    case 2:
      add(left, Align::Left, parts[0]);
      add(left + width, Align::Right, parts[1]);
      break;
    default:
      add(left, Align::Left, parts[0]);
      add(left + width / 2, Align::Centre, parts[1]);
      add(left + width, Align::Right, parts[2]);
      break;
  }
  return placed;
}

}  // namespace tabulon
