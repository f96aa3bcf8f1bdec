#include "graph/graph_commands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/number_parse.h"
#include "base/text.h"
#include "display/format.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

GraphSettings& Current(SheetDocument& doc) { return doc.extras().graphs.current; }

bool ParseRangeArg(SheetDocument& doc, std::string_view text, CellRange& range) {
  Session& session = doc.session();
  RangeContext context{doc.settings().pageHeight, &doc.names(), session.cursor()};
  ParsedRange p = ParseRange(text, context, session.errors());
  if (!p.ok) return false;
  range = p.range;
  return true;
}

// Items separated by ",", blanks around them dropped.
std::vector<std::string> Items(std::string_view text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view item = text.substr(start, end - start);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    items.emplace_back(item);
    start = end + 1;
  }
  return items;
}

bool Number(std::string_view text, char decimalChar, double& v) {
  if (text.empty()) return false;
  ParsedNumber p = ParseNumber(text, decimalChar);
  if (p.errorPosition != 0 || !std::isfinite(p.value)) return false;
  v = p.value;
  return true;
}

bool Integer(std::string_view text, int lo, int hi, int& v) {
  double d;
  if (!Number(text, '.', d) || d < lo || d > hi) return false;
  v = static_cast<int>(d);
  return true;
}

}  // namespace

void ResetGraph(SheetDocument& doc) { Current(doc) = GraphSettings(); }

void GraphSeriesCommand(SheetDocument& doc, int n, const CellRange& r) {
  if (n < 0 || n > kGraphSeries) return;
  GraphSettings& g = Current(doc);
  (n == 0 ? g.x : g.series[n - 1]) = r;
}

bool GraphSeriesCommand(SheetDocument& doc, int n, std::string_view range) {
  CellRange r;
  if (n < 0 || n > kGraphSeries) return true;
  if (!ParseRangeArg(doc, range, r)) return false;
  GraphSeriesCommand(doc, n, r);
  return true;
}

void GraphLabelCommand(SheetDocument& doc, int series, const CellRange& r, int location) {
  if (series < 1 || series > kGraphSeries) return;
  GraphSettings& g = Current(doc);
  g.labels[series - 1] = r;
  if (location >= 1 && location <= 5) g.labelPlace[series - 1] = static_cast<std::uint8_t>(location);
}

bool GraphLabelCommand(SheetDocument& doc, int series, std::string_view range, int location) {
  CellRange r;
  if (series < 1 || series > kGraphSeries) return true;
  if (!ParseRangeArg(doc, range, r)) return false;
  GraphLabelCommand(doc, series, r, location);
  return true;
}

void GraphLegendCommand(SheetDocument& doc, int series, std::string_view text, int) {
  if (series < 1 || series > kGraphSeries) return;
  Current(doc).SetLegend(series - 1, text.substr(0, kGraphLegendBytes - 1));
}

void GraphHeadingCommand(SheetDocument& doc, int n, std::string_view text) {
  if (n < 0 || n >= kGraphHeadings) return;
  Current(doc).SetHeading(n, text.substr(0, kGraphHeadingBytes - 1));
}

Status GraphNameCommand(SheetDocument& doc, int action, std::string_view name) {
  GraphBook& book = doc.extras().graphs;
  std::string upper = UpperCase(name);
  switch (action) {
    case 0: {
      ErrorChannel errors;
      book.Create(upper, errors);
      if (errors.failed()) return Status::Error(errors.message());
      break;
    }
    case 1: book.Use(upper); break;
    case 2: book.Remove(upper); break;
    default: break;
  }
  return Status::Ok();
}

void GraphTypeCommand(SheetDocument& doc, int family, std::string_view letter) {
  static constexpr std::string_view kFlat = "XBPSLMHRADOC";
  static constexpr GraphType kFlatTypes[] = {
      GraphType::XY,     GraphType::Bar,        GraphType::Pie,     GraphType::StackedBar,
      GraphType::Line,   GraphType::Cumulative, GraphType::HighLow, GraphType::Radar,
      GraphType::Area,   GraphType::Delta,      GraphType::Polar,   GraphType::Contour};
  static constexpr std::string_view kSolid = "SPDWBT";
  static constexpr GraphType kSolidTypes[] = {GraphType::Strip, GraphType::Pie3D,
                                              GraphType::Donut, GraphType::Wall,
                                              GraphType::Bar3D, GraphType::StackedBar3D};
  if (letter.empty()) return;
  char c = UpperChar(letter[0]);
  std::string_view list = family == 2 ? kFlat : kSolid;
  std::size_t i = list.find(c);
  if (i == std::string_view::npos) return;
  Current(doc).type = static_cast<std::uint8_t>(family == 2 ? kFlatTypes[i] : kSolidTypes[i]);
}

void GraphScaleCommand(SheetDocument& doc, int axis, std::string_view items) {
  if (axis != 0 && axis != 1) return;
  GraphSettings& g = Current(doc);
  GraphAxis& a = g.axes[axis];
  char decimal = doc.session().settings().decimalChar;
  for (const std::string& item : Items(items)) {
    if (item.empty()) continue;
    std::string_view value = std::string_view(item).substr(1);
    double d;
    int n;
    switch (UpperChar(item[0])) {
      case 'A': a.manual = 0; break;
      case 'M': a.manual = 1; break;
      case 'L': if (Number(value, decimal, d)) a.low = d; break;
      case 'U': if (Number(value, decimal, d)) a.high = d; break;
      case 'K': if (Integer(value, 0, 255, n)) a.step = static_cast<std::uint8_t>(n); break;
      case 'D': if (Integer(value, 0, 255, n)) a.minor = static_cast<std::uint8_t>(n); break;
      case 'E': g.SetLog(axis, true); break;
      case 'N': g.SetLog(axis, false); break;
      case 'F': {
        std::uint8_t code = ParseFormatCode(value);
        if (code != kFormatUseDefault) a.format = code;
        break;
      }
      default: break;
    }
  }
}

void GraphOptionsCommand(SheetDocument& doc, int target, std::string_view items) {
  GraphSettings& g = Current(doc);
  for (const std::string& item : Items(items)) {
    if (item.empty()) continue;
    std::string_view value = std::string_view(item).substr(1);
    char letter = UpperChar(item[0]);
    int n = 0;
    bool number = Integer(value, 0, 255, n);
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    if (target >= 1 && target <= kGraphSeries) {
      int s = target - 1;
      if (!number) continue;
      switch (letter) {
        case 'F': g.foreColour[s] = byte(n & 15); break;
        case 'B': g.backColour[s] = byte(n & 15); break;
        case 'O': g.display[s] = byte(n & 3); break;
        case 'H': g.hatch[s] = byte(std::min(n + 1, 255)); break;
        case 'M': g.marker[s] = byte(std::min(n + 1, 255)); break;
        case 'S': g.lineStyle[s] = byte(std::min(n + 1, 255)); break;
        case 'T': g.thickness[s] = byte(std::min(n + 1, 255)); break;
        default: break;
      }
      continue;
    }
    switch (letter) {
      case 'G': {
        static constexpr std::string_view kGrid = "NHVB";
        std::size_t i = value.empty() ? std::string_view::npos : kGrid.find(UpperChar(value[0]));
        if (i != std::string_view::npos) g.SetGrid(static_cast<int>(i));
        break;
      }
      case 'S': g.SetFlag(4, true); break;
      case 'D': g.SetFlag(4, false); break;
      case 'I': if (number) g.insideColour = byte(n & 15); break;
      case 'O': if (number) g.outsideColour = byte(n & 15); break;
      default: break;
    }
  }
}

void GraphFontCommand(SheetDocument& doc, int item, std::string_view text) {
  if (item < 0 || item >= kGraphTextItems) return;
  GraphSettings& g = Current(doc);
  std::vector<std::string> f = Items(text);
  f.resize(4);
  g.SetFontFace(item, std::string_view(f[0]).substr(0, 12));
  int n;
  if (Integer(f[1], 1, 255, n)) g.fontSize[item] = static_cast<std::uint8_t>(n);
  std::uint8_t style = 0;
  for (char c : f[2]) {
    switch (UpperChar(c)) {
      case 'B': style |= 1; break;
      case 'I': style |= 2; break;
      case 'U': style |= 4; break;
      default: break;
    }
  }
  g.fontStyle[item] = style;
  if (Integer(f[3], 0, 255, n)) g.textColour[item] = static_cast<std::uint8_t>(n & 15);
}

Status QuickGraph(SheetDocument& doc, const CellRange& selection) {
  if (!selection.IsDefined() || selection.Bottom() - selection.Top() < 1 ||
      selection.Right() - selection.Left() < 1)
    return Status::Beep();
  GraphBook& book = doc.extras().graphs;
  if (static_cast<int>(book.named.size()) >= kMaxNamedGraphs)
    return Status::Error("Max Graphs Exceeded");
  GraphSettings g;
  int top = selection.Top(), bottom = selection.Bottom(), left = selection.Left();
  g.x = CellRange::Of(top, left, bottom, left);
  for (int s = 0; s < kGraphSeries && left + 1 + s <= selection.Right(); ++s)
    g.series[s] = CellRange::Of(top, left + 1 + s, bottom, left + 1 + s);
  book.current = g;
  book.CreateAutomatic();
  doc.settings().modified = true;
  return Status::Ok();
}

bool RunGraphCommandText(SheetDocument& doc, std::string_view line, std::string& message) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
  if (line.size() < 2 || line.front() != '{' || line.back() != '}') {
    message = "not a graph command: " + std::string(line);
    return false;
  }
  line = line.substr(1, line.size() - 2);
  // Arguments split at blanks and commas; double quotes keep text whole.
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (c == ' ' || c == ',')) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word.push_back(c);
      any = true;
    }
  }
  if (quoted) {
    message = "unterminated quote: " + std::string(line);
    return false;
  }
  if (any) words.push_back(word);
  if (words.empty()) {
    message = "empty command";
    return false;
  }
  std::string keyword = UpperCase(words[0]);
  auto arg = [&](std::size_t i) { return i < words.size() ? words[i] : std::string(); };
  auto intArg = [&](std::size_t i, int& v) { return Integer(arg(i), -32768, 32767, v); };
  // Text arguments that hold their own commas take the rest of the words.
  auto rest = [&](std::size_t i) {
    std::string r;
    for (std::size_t k = i; k < words.size(); ++k) r += (k > i ? "," : "") + words[k];
    return r;
  };
  int a = 0, b = 0;
  if (!intArg(1, a)) {
    message = keyword + " needs a number first";
    return false;
  }
  bool ok = true;
  if (keyword == "GRAPHSERIES") ok = GraphSeriesCommand(doc, a, arg(2));
  else if (keyword == "GRAPHLABEL") ok = GraphLabelCommand(doc, a, arg(2), intArg(3, b) ? b : 0);
  else if (keyword == "GRAPHLEGEND") GraphLegendCommand(doc, a, arg(2), intArg(3, b) ? b : 0);
  else if (keyword == "GRAPHHEADING") GraphHeadingCommand(doc, a, arg(2));
  else if (keyword == "GRAPHNAME") {
    Status s = GraphNameCommand(doc, a, arg(2));
    if (!s) {
      message = s.message();
      return false;
    }
  }
  else if (keyword == "GRAPHTYPE") GraphTypeCommand(doc, a, arg(2));
  else if (keyword == "GRAPHSCALE") GraphScaleCommand(doc, a, rest(2));
  else if (keyword == "GRAPHOPTIONS") GraphOptionsCommand(doc, a, rest(2));
  else if (keyword == "GRAPHFONT") GraphFontCommand(doc, a, rest(2));
  else {
    message = "not a graph command: " + keyword;
    return false;
  }
  if (!ok) message = "not a range: " + arg(2);
  return ok;
}

}  // namespace tabulon
