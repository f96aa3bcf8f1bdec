// A worksheet's graph settings: the fixed 839-byte record of one graph
// (the ranges it plots and every presentation choice), its reset values,
// the byte-exact conversion to and from the record and the worksheet
// file's blocks, and the book of the current graph with up to ten named
// copies.
//
// Every byte of the record has a field here, reserved bytes included, so
// decoding and encoding again reproduces the bytes exactly. Text fields
// keep their fixed-size bytes (the bytes after a terminator travel with
// them); the accessors read and write them as text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class ErrorChannel;

inline constexpr int kGraphRecordBytes = 839;
inline constexpr int kGraphSeries = 6;
inline constexpr int kGraphTextItems = 7;
inline constexpr int kGraphHeadings = 4;
inline constexpr int kGraphHeadingBytes = 40;
inline constexpr int kGraphLegendBytes = 20;
inline constexpr int kGraphFontFaceBytes = 20;  // after the length byte
inline constexpr int kGraphNameLength = 12;     // the record's own name field
inline constexpr int kMaxNamedGraphs = 10;

// The worksheet file splits the record: the block after the 13-byte name
// (offsets 13..449) in the standard section, the extended block (offsets
// 450..834) in the extension section; a named graph's standard record puts
// a 16-byte name before its block.
inline constexpr int kGraphBlockBytes = 437;
inline constexpr int kGraphExtBlockBytes = 385;
inline constexpr int kGraphFileNameBytes = 16;

// Graph type codes as the record stores them.
enum class GraphType : std::uint8_t {
  XY = 0, Bar = 1, Pie = 2, StackedBar = 3, Line = 4, Cumulative = 5, HighLow = 6, Radar = 7,
  Area = 8, Delta = 9, Polar = 10, Strip = 11, Wall = 12, Contour = 13, Pie3D = 14, Donut = 15,
  Bar3D = 16, StackedBar3D = 17,
};
inline constexpr int kGraphTypeCount = 18;

// Text items 0..6 (numbered 1..7 by the dialog and the file's users).
enum GraphText : int {
  kMainHeading = 0, kSecondHeading = 1, kXTitle = 2, kYTitle = 3, kValuesText = 4,
  kLabelsText = 5, kLegendText = 6,
};

// Series display (lines, symbols) and data-label locations.
inline constexpr std::uint8_t kShowLines = 1;
inline constexpr std::uint8_t kShowSymbols = 2;
enum class LabelPlace : std::uint8_t { Above = 1, Below = 2, Left = 3, Right = 4, None = 5 };

// The graph palette: 16 colours as 0x00BBGGRR.
std::uint32_t GraphPaletteColour(int index);

// One axis' scaling; X is axis 0, Y axis 1.
struct GraphAxis {
  std::uint8_t manual = 0;  // 1 manual, 0 automatic
  double low = 0, high = 0;
  std::uint8_t format = 1;  // display format code of the tick labels
  std::uint8_t step = 4;    // major intervals
  std::uint8_t minor = 0;   // minor divisions per major interval
  std::uint16_t workingMinor = 0;
  bool operator==(const GraphAxis&) const = default;
};

struct GraphSettings {
  // Reset values: everything zero but the documented defaults.
  GraphSettings();

  std::array<std::uint8_t, 1 + kGraphNameLength> nameField{};
  CellRange x;
  std::array<CellRange, kGraphSeries> series;
  std::array<CellRange, kGraphSeries> labels;
  std::uint8_t type = 0;
  // Bits 0-1 grid (0 none, 1 horizontal, 2 vertical, 3 both), bit 2 solid
  // grid lines, bit 3 legend as a table, bit 4 legend hidden.
  std::uint8_t options = 0;
  // Bit 6 Y axis logarithmic, bit 7 X axis logarithmic.
  std::uint8_t axisFlags = 0;
  std::array<std::uint8_t, kGraphSeries> display{};     // kShowLines | kShowSymbols
  std::array<std::uint8_t, kGraphSeries> labelPlace{};  // LabelPlace values
  std::array<GraphAxis, 2> axes;
  std::array<std::array<std::uint8_t, kGraphHeadingBytes>, kGraphHeadings> headings{};
  std::array<std::array<std::uint8_t, kGraphLegendBytes>, kGraphSeries> legends{};
  std::array<std::uint8_t, 33> reserved450{};
  std::array<std::uint8_t, kGraphSeries> foreColour{};
  std::uint8_t outsideColour = 15;
  std::uint8_t insideColour = 8;
  std::array<std::uint8_t, kGraphTextItems> textColour{};
  std::array<std::uint8_t, kGraphSeries> backColour{};
  std::array<std::uint8_t, 7> reserved504{};
  std::array<std::uint8_t, kGraphSeries> marker{};     // 1-based symbol number
  std::array<std::uint8_t, kGraphSeries> lineStyle{};  // 1 solid, 2 dashed, 3 dotted, ...
  std::array<std::uint8_t, kGraphSeries> thickness{};  // pen width
  std::array<std::uint8_t, kGraphSeries> hatch{};      // 1 solid .. 8 hollow
  std::array<std::uint8_t, 2> reserved535{};
  std::array<std::uint8_t, kGraphTextItems> fontSize{};  // points
  std::array<std::array<std::uint8_t, 1 + kGraphFontFaceBytes>, kGraphTextItems> fontFace{};
  std::array<std::uint8_t, 126> reserved691{};
  std::array<std::uint8_t, kGraphTextItems> fontStyle{};  // FontStyle bits
  std::array<std::uint8_t, 6> reserved824{};
  std::array<std::uint8_t, 3> kept836{};

  bool operator==(const GraphSettings&) const = default;

  GraphType Type() const { return static_cast<GraphType>(type); }
  std::string Name() const;
  void SetName(std::string_view name);  // at most 12 bytes kept
  std::string Heading(int i) const;
  // At most 40 bytes; shorter text is zero-terminated.
  void SetHeading(int i, std::string_view text);
  std::string Legend(int series) const;  // series 0..5
  void SetLegend(int series, std::string_view text);
  // The face name of a text item; empty means the default face.
  std::string FontFace(int item) const;
  void SetFontFace(int item, std::string_view face);

  int Grid() const { return options & 3; }
  bool GridSolid() const { return (options & 4) != 0; }
  bool LegendTable() const { return (options & 8) != 0; }
  bool LegendHidden() const { return (options & 16) != 0; }
  void SetGrid(int grid) { options = static_cast<std::uint8_t>((options & ~3) | (grid & 3)); }
  void SetFlag(std::uint8_t bit, bool on) {
    options = static_cast<std::uint8_t>(on ? options | bit : options & ~bit);
  }
  bool LogX() const { return (axisFlags & 0x80) != 0; }
  bool LogY() const { return (axisFlags & 0x40) != 0; }
  void SetLog(int axis, bool on) {
    std::uint8_t bit = axis == 0 ? 0x80 : 0x40;
    axisFlags = static_cast<std::uint8_t>(on ? axisFlags | bit : axisFlags & ~bit);
  }

  // Every range of the record: X, the six series, the six label ranges.
  template <typename Fn>
  void ForEachRange(Fn&& fn) {
    fn(x);
    for (CellRange& r : series) fn(r);
    for (CellRange& r : labels) fn(r);
  }
};

// The thirteen ranges of a record in ForEachRange order.
using GraphRanges = std::array<CellRange, 1 + 2 * kGraphSeries>;
GraphRanges RangesOf(const GraphSettings& g);
void SetRanges(GraphSettings& g, const GraphRanges& ranges);

using GraphRecordBytes = std::array<std::uint8_t, kGraphRecordBytes>;

GraphRecordBytes EncodeGraphRecord(const GraphSettings& g);
GraphSettings DecodeGraphRecord(const GraphRecordBytes& bytes);

// The worksheet file's blocks of a record.
std::array<std::uint8_t, kGraphBlockBytes> GraphBlock(const GraphSettings& g);
std::array<std::uint8_t, kGraphExtBlockBytes> GraphExtBlock(const GraphSettings& g);
// Replaces the fields a block covers with the block's bytes; `size` may be
// shorter than the block (the rest of the fields keep their values) and
// longer (the excess is ignored).
void ReadGraphBlock(GraphSettings& g, const std::uint8_t* data, std::size_t size);
void ReadGraphExtBlock(GraphSettings& g, const std::uint8_t* data, std::size_t size);

// A named graph: its record, whose name field holds the name, and the name
// field of the file it came from, written back unchanged while the name
// stays the same.
struct NamedGraph {
  GraphSettings settings;
  std::array<std::uint8_t, kGraphFileNameBytes> fileName{};
  std::string name() const { return settings.Name(); }
};

// The file's 16-byte name field of a named graph.
std::array<std::uint8_t, kGraphFileNameBytes> GraphFileName(const NamedGraph& g);
// A named graph from the file's name field and block (as ReadGraphBlock).
NamedGraph ReadNamedGraph(const std::uint8_t* data, std::size_t size);

// A worksheet's current graph and its named graphs.
struct GraphBook {
  GraphSettings current;
  std::vector<NamedGraph> named;  // at most ten, in creation order

  // Index 0..count-1 of the graph whose stored name equals `name` (cut to
  // the name field's 12 bytes) byte for byte, or -1.
  int Find(std::string_view name) const;
  // Create or replace, under the name with its blanks removed: copies the
  // current record into the named graph, appending it (with the name
  // written into the current record first) when absent. Returns the 1-based
  // position, or 0 with "Named Graphs>10" on the channel when ten exist
  // already, or 0 for a name that is empty once its blanks are gone.
  int Create(std::string_view name, ErrorChannel& errors);
  // Copies the named graph (name upper-cased) over the current one; its
  // position, or 0 when absent.
  int Use(std::string_view name);
  // Removes the named graph (name upper-cased); its former position or 0.
  int Remove(std::string_view name);
  // Creates "GRAPH1", "GRAPH2", ... (the first unused) from the current
  // record and returns its position, or -1 when ten exist.
  int CreateAutomatic();

  template <typename Fn>
  void ForEachRange(Fn&& fn) {
    current.ForEachRange(fn);
    for (NamedGraph& g : named) g.settings.ForEachRange(fn);
  }
};

}  // namespace tabulon
