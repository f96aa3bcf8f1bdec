#include "ui/help_text.h"

#include <map>

namespace tabulon {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The chapter's lines; a final line without a line end counts too.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A line that opens or closes fenced code: three backquotes or tildes after
// at most three blanks.
bool IsFence(std::string_view line) {
  std::size_t i = 0;
  while (i < 3 && i < line.size() && line[i] == ' ') ++i;
  line.remove_prefix(i);
  return line.substr(0, 3) == "```" || line.substr(0, 3) == "~~~";
}

// The text of a heading line ("## Moving around ##" gives "Moving around"),
// or nothing when the line is not a heading.
bool HeadingText(std::string_view line, std::string_view& text) {
  std::size_t level = 0;
  while (level < line.size() && line[level] == '#') ++level;
  if (level == 0 || level > 6) return false;
  if (level < line.size() && line[level] != ' ' && line[level] != '\t') return false;
  std::string_view rest = Trim(line.substr(level));
  // An optional closing run of "#" after a blank.
  std::size_t end = rest.size();
  while (end > 0 && rest[end - 1] == '#') --end;
  if (end < rest.size() && (end == 0 || rest[end - 1] == ' ')) rest = Trim(rest.substr(0, end));
  text = rest;
  return true;
}

// The line with its code spans blanked out, so that what they show is not
// read as links.
std::string WithoutCodeSpans(std::string_view line) {
  std::string out(line);
  std::size_t i = 0;
  while (i < out.size()) {
    if (out[i] != '`') {
      ++i;
      continue;
    }
    std::size_t run = 0;
    while (i + run < out.size() && out[i + run] == '`') ++run;
    std::string ticks(run, '`');
    std::size_t close = out.find(ticks, i + run);
    if (close == std::string::npos) break;  // an unmatched run is plain text
    for (std::size_t k = i; k < close + run; ++k) out[k] = ' ';
    i = close + run;
  }
  return out;
}

bool IsWebAddress(std::string_view target) {
  return target.find("://") != std::string_view::npos || target.substr(0, 7) == "mailto:";
}

}  // namespace

std::string ManualDirectory(const std::string& dataDirectory) {
  return dataDirectory + "/manual";
}

std::string ManualIndexFile(const std::string& dataDirectory) {
  return ManualDirectory(dataDirectory) + "/index.md";
}

std::string TipsFile(const std::string& dataDirectory) {
  return ManualDirectory(dataDirectory) + "/tips.txt";
}

std::string HeadingAnchor(std::string_view heading) {
  std::string anchor;
  for (char c : heading) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c >= 'A' && c <= 'Z') anchor += static_cast<char>(c - 'A' + 'a');
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || u >= 0x80)
      anchor += c;
    else if (c == ' ') anchor += '-';
  }
  return anchor;
}

std::vector<std::string> HeadingAnchors(const std::vector<std::string>& headings) {
  std::vector<std::string> anchors;
  std::map<std::string, int> seen;
  for (const std::string& heading : headings) {
    std::string anchor = HeadingAnchor(heading);
    int& count = seen[anchor];
    if (count > 0) anchor += "-" + std::to_string(count);
    ++count;
    anchors.push_back(anchor);
  }
  return anchors;
}

std::vector<std::string> MarkdownAnchors(std::string_view markdown) {
  std::vector<std::string> headings;
  bool inFence = false;
  for (std::string_view line : Lines(markdown)) {
    if (IsFence(line)) {
      inFence = !inFence;
      continue;
    }
    std::string_view text;
    if (!inFence && HeadingText(line, text)) headings.emplace_back(text);
  }
  return HeadingAnchors(headings);
}

std::vector<ManualLink> MarkdownLinks(std::string_view markdown) {
  std::vector<ManualLink> links;
  bool inFence = false;
  int number = 0;
  for (std::string_view raw : Lines(markdown)) {
    ++number;
    if (IsFence(raw)) {
      inFence = !inFence;
      continue;
    }
    if (inFence) continue;
    std::string line = WithoutCodeSpans(raw);
    std::size_t at = 0;
    while ((at = line.find("](", at)) != std::string::npos) {
      std::size_t start = at + 2;
      std::size_t end = line.find(')', start);
      if (end == std::string::npos) break;
      std::string target = std::string(Trim(std::string_view(line).substr(start, end - start)));
      // A title after the address: [text](file.md "title").
      std::size_t blank = target.find(' ');
      if (blank != std::string::npos) target.resize(blank);
      at = end;
      if (target.empty() || IsWebAddress(target)) continue;
      ManualLink link;
      link.line = number;
      std::size_t hash = target.find('#');
      link.file = target.substr(0, hash);
      if (hash != std::string::npos) link.fragment = target.substr(hash + 1);
      links.push_back(std::move(link));
    }
  }
  return links;
}

std::vector<std::string> ParseTips(std::string_view text) {
  std::vector<std::string> tips;
  std::string current;
  auto finish = [&] {
    if (!current.empty()) tips.push_back(current);
    current.clear();
  };
  for (std::string_view raw : Lines(text)) {
    std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '#') continue;
    if (line.empty()) {
      finish();
      continue;
    }
    if (!current.empty()) current += ' ';
    current += line;
  }
  finish();
  return tips;
}

}  // namespace tabulon
