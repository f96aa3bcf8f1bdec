#include "sheet/graph_settings.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "base/text.h"
#include "sheet/error_channel.h"

namespace tabulon {

namespace {

constexpr std::uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr int kBlockStart = 13;
constexpr int kExtStart = kBlockStart + kGraphBlockBytes;

// Walks the record's fields in offset order; the same walk encodes and
// decodes, so the two cannot disagree about the layout.
template <bool kWrite>
class FieldWalk {
 public:
  using Bytes = std::conditional_t<kWrite, GraphRecordBytes, const GraphRecordBytes>;
  explicit FieldWalk(Bytes& b) : b_(b) {}

  template <typename T>
  void Raw(T& field, int offset) {
    static_assert(std::is_trivially_copyable_v<T>);
    if constexpr (kWrite) std::memcpy(b_.data() + offset, &field, sizeof(T));
    else std::memcpy(&field, b_.data() + offset, sizeof(T));
  }
  void U8(std::uint8_t& v, int offset) { Raw(v, offset); }
  void U16(std::uint16_t& v, int offset) {
    if constexpr (kWrite) {
      b_[offset] = static_cast<std::uint8_t>(v);
      b_[offset + 1] = static_cast<std::uint8_t>(v >> 8);
    } else {
      v = static_cast<std::uint16_t>(b_[offset] | (b_[offset + 1] << 8));
    }
  }
  void I16(std::int16_t& v, int offset) {
    std::uint16_t u = static_cast<std::uint16_t>(v);
    U16(u, offset);
    if constexpr (!kWrite) v = static_cast<std::int16_t>(u);
  }
  void F64(double& v, int offset) {
    std::uint64_t bits = 0;
    if constexpr (kWrite) std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) {
      if constexpr (kWrite) b_[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
      else bits |= static_cast<std::uint64_t>(b_[offset + i]) << (8 * i);
    }
    if constexpr (!kWrite) std::memcpy(&v, &bits, 8);
  }
  void Range(CellRange& r, int offset) {
    I16(r.firstCol, offset);
    I16(r.firstRow, offset + 2);
    I16(r.lastCol, offset + 4);
    I16(r.lastRow, offset + 6);
  }
  template <std::size_t N>
  void Array(std::array<std::uint8_t, N>& a, int offset) {
    if constexpr (kWrite) std::memcpy(b_.data() + offset, a.data(), N);
    else std::memcpy(a.data(), b_.data() + offset, N);
  }

 private:
  Bytes& b_;
};

template <bool kWrite, typename G, typename B>
void WalkRecord(G& g, B& bytes) {
  FieldWalk<kWrite> w(bytes);
  // Encoding only reads the fields; the one walk serves both directions.
  auto& s = const_cast<GraphSettings&>(g);
  w.Array(s.nameField, 0);
  w.Range(s.x, 13);
  for (int i = 0; i < kGraphSeries; ++i) w.Range(s.series[i], 21 + 8 * i);
  for (int i = 0; i < kGraphSeries; ++i) w.Range(s.labels[i], 69 + 8 * i);
  w.U8(s.type, 117);
  w.U8(s.options, 118);
  w.U8(s.axisFlags, 119);
  w.Array(s.display, 120);
  w.Array(s.labelPlace, 126);
  for (int a = 0; a < 2; ++a) {
    GraphAxis& axis = s.axes[a];
    int base = a == 0 ? 132 : 149;
    w.U8(axis.manual, base);
    w.F64(axis.low, base + 1);
    w.F64(axis.high, base + 9);
    w.U8(axis.format, 446 + a);
    w.U8(axis.step, 448 + a);
    w.U8(axis.minor, 830 + a);
    w.U16(axis.workingMinor, 832 + 2 * a);
  }
  for (int i = 0; i < kGraphHeadings; ++i) w.Array(s.headings[i], 166 + kGraphHeadingBytes * i);
  for (int i = 0; i < kGraphSeries; ++i) w.Array(s.legends[i], 326 + kGraphLegendBytes * i);
  w.Array(s.reserved450, 450);
  w.Array(s.foreColour, 483);
  w.U8(s.outsideColour, 489);
  w.U8(s.insideColour, 490);
  w.Array(s.textColour, 491);
  w.Array(s.backColour, 498);
  w.Array(s.reserved504, 504);
  w.Array(s.marker, 511);
  w.Array(s.lineStyle, 517);
  w.Array(s.thickness, 523);
  w.Array(s.hatch, 529);
  w.Array(s.reserved535, 535);
  w.Array(s.fontSize, 537);
  for (int i = 0; i < kGraphTextItems; ++i) w.Array(s.fontFace[i], 544 + 21 * i);
  w.Array(s.reserved691, 691);
  w.Array(s.fontStyle, 817);
  w.Array(s.reserved824, 824);
  w.Array(s.kept836, 836);
}

// Text of a fixed field: up to the first zero byte or the field's end.
template <std::size_t N>
std::string FieldText(const std::array<std::uint8_t, N>& a) {
  const auto* p = reinterpret_cast<const char*>(a.data());
  return std::string(p, std::find(p, p + N, '\0'));
}

template <std::size_t N>
void SetFieldText(std::array<std::uint8_t, N>& a, std::string_view text) {
  a.fill(0);
  std::memcpy(a.data(), text.data(), std::min(text.size(), N));
}

// A length byte followed by up to N - 1 characters.
template <std::size_t N>
std::string LengthText(const std::array<std::uint8_t, N>& a) {
  std::size_t n = std::min<std::size_t>(a[0], N - 1);
  return std::string(reinterpret_cast<const char*>(a.data() + 1), n);
}

template <std::size_t N>
void SetLengthText(std::array<std::uint8_t, N>& a, std::string_view text) {
  a.fill(0);
  std::size_t n = std::min(text.size(), N - 1);
  a[0] = static_cast<std::uint8_t>(n);
  std::memcpy(a.data() + 1, text.data(), n);
}

std::string WithoutBlanks(std::string_view name) {
  std::string s;
  for (char c : name)
    if (c != ' ') s.push_back(c);
  return s;
}

}  // namespace

std::uint32_t GraphPaletteColour(int index) { return kPalette[index & 15]; }

GraphSettings::GraphSettings() {
  constexpr std::uint8_t kFore[kGraphSeries] = {9, 3, 2, 4, 5, 6};
  constexpr std::uint8_t kSizes[kGraphTextItems] = {24, 18, 16, 16, 12, 12, 8};
  for (int i = 0; i < kGraphSeries; ++i) {
    display[i] = kShowLines | kShowSymbols;
    labelPlace[i] = static_cast<std::uint8_t>(LabelPlace::Above);
    foreColour[i] = kFore[i];
    backColour[i] = 7;
    marker[i] = static_cast<std::uint8_t>(i + 1);
    lineStyle[i] = static_cast<std::uint8_t>(i % 3 + 1);
    thickness[i] = 1;
    hatch[i] = static_cast<std::uint8_t>(i + 1);
  }
  for (int i = 0; i < kGraphTextItems; ++i) {
    textColour[i] = 1;
    fontSize[i] = kSizes[i];
  }
  reserved504.fill(7);
  axes[0].minor = 1;
}

std::string GraphSettings::Name() const { return LengthText(nameField); }
void GraphSettings::SetName(std::string_view name) { SetLengthText(nameField, name); }
std::string GraphSettings::Heading(int i) const { return FieldText(headings[i]); }
void GraphSettings::SetHeading(int i, std::string_view text) { SetFieldText(headings[i], text); }
std::string GraphSettings::Legend(int i) const { return FieldText(legends[i]); }
void GraphSettings::SetLegend(int i, std::string_view text) { SetFieldText(legends[i], text); }
std::string GraphSettings::FontFace(int i) const { return LengthText(fontFace[i]); }
void GraphSettings::SetFontFace(int i, std::string_view face) { SetLengthText(fontFace[i], face); }

GraphRanges RangesOf(const GraphSettings& g) {
  GraphRanges r;
  std::size_t i = 0;
  const_cast<GraphSettings&>(g).ForEachRange([&](CellRange& x) { r[i++] = x; });
  return r;
}

void SetRanges(GraphSettings& g, const GraphRanges& ranges) {
  std::size_t i = 0;
  g.ForEachRange([&](CellRange& x) { x = ranges[i++]; });
}

GraphRecordBytes EncodeGraphRecord(const GraphSettings& g) {
  GraphRecordBytes bytes{};
  WalkRecord<true>(g, bytes);
  return bytes;
}

GraphSettings DecodeGraphRecord(const GraphRecordBytes& bytes) {
  GraphSettings g;
  WalkRecord<false>(g, bytes);
  return g;
}

std::array<std::uint8_t, kGraphBlockBytes> GraphBlock(const GraphSettings& g) {
  GraphRecordBytes r = EncodeGraphRecord(g);
  std::array<std::uint8_t, kGraphBlockBytes> b;
  std::memcpy(b.data(), r.data() + kBlockStart, kGraphBlockBytes);
  return b;
}

std::array<std::uint8_t, kGraphExtBlockBytes> GraphExtBlock(const GraphSettings& g) {
  GraphRecordBytes r = EncodeGraphRecord(g);
  std::array<std::uint8_t, kGraphExtBlockBytes> b;
  std::memcpy(b.data(), r.data() + kExtStart, kGraphExtBlockBytes);
  return b;
}

void ReadGraphBlock(GraphSettings& g, const std::uint8_t* data, std::size_t size) {
  GraphRecordBytes r = EncodeGraphRecord(g);
  std::memcpy(r.data() + kBlockStart, data, std::min<std::size_t>(size, kGraphBlockBytes));
  g = DecodeGraphRecord(r);
}

void ReadGraphExtBlock(GraphSettings& g, const std::uint8_t* data, std::size_t size) {
  GraphRecordBytes r = EncodeGraphRecord(g);
  std::memcpy(r.data() + kExtStart, data, std::min<std::size_t>(size, kGraphExtBlockBytes));
  g = DecodeGraphRecord(r);
}

std::array<std::uint8_t, kGraphFileNameBytes> GraphFileName(const NamedGraph& g) {
  // The file's field holds up to 15 characters; the record keeps 12. A
  // field whose first 12 characters still give the name goes back as read.
  std::string kept = FieldText(g.fileName).substr(0, kGraphFileNameBytes - 1);
  if (kept.substr(0, kGraphNameLength) == g.name() && g.fileName[kGraphFileNameBytes - 1] == 0 &&
      !kept.empty())
    return g.fileName;
  std::array<std::uint8_t, kGraphFileNameBytes> field{};
  std::string name = g.name();
  std::memcpy(field.data(), name.data(), std::min<std::size_t>(name.size(), kGraphFileNameBytes - 1));
  return field;
}

NamedGraph ReadNamedGraph(const std::uint8_t* data, std::size_t size) {
  NamedGraph g;
  std::size_t n = std::min<std::size_t>(size, kGraphFileNameBytes);
  std::memcpy(g.fileName.data(), data, n);
  std::string name = FieldText(g.fileName).substr(0, kGraphFileNameBytes - 1);
  if (size > kGraphFileNameBytes)
    ReadGraphBlock(g.settings, data + kGraphFileNameBytes, size - kGraphFileNameBytes);
  g.settings.SetName(name);
  return g;
}

int GraphBook::Find(std::string_view name) const {
  std::string_view key = name.substr(0, kGraphNameLength);
  for (std::size_t i = 0; i < named.size(); ++i)
    if (named[i].name() == key) return static_cast<int>(i);
  return -1;
}

int GraphBook::Create(std::string_view name, ErrorChannel& errors) {
  std::string key = WithoutBlanks(name).substr(0, kGraphNameLength);
  if (key.empty()) return 0;
  int i = Find(key);
  if (i >= 0) {
    // Replacing keeps the graph's own name whatever the current record's is.
    named[i].settings = current;
    named[i].settings.SetName(key);
    return i + 1;
  }
  if (static_cast<int>(named.size()) >= kMaxNamedGraphs) {
    errors.Fail("Named Graphs>" + std::to_string(kMaxNamedGraphs));
    return 0;
  }
  current.SetName(key);
  NamedGraph g;
  g.settings = current;
  named.push_back(g);
  return static_cast<int>(named.size());
}

int GraphBook::Use(std::string_view name) {
  int i = Find(UpperCase(name));
  if (i < 0) return 0;
  current = named[i].settings;
  return i + 1;
}

int GraphBook::Remove(std::string_view name) {
  int i = Find(UpperCase(name));
  if (i < 0) return 0;
  named.erase(named.begin() + i);
  return i + 1;
}

int GraphBook::CreateAutomatic() {
  if (static_cast<int>(named.size()) >= kMaxNamedGraphs) return -1;
  for (int n = 1;; ++n) {
    std::string name = "GRAPH" + std::to_string(n);
    if (Find(name) >= 0) continue;
    ErrorChannel unused;
    return Create(name, unused);
  }
}

}  // namespace tabulon
