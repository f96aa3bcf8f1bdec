// Reading worksheet files: the records are staged first (the whole file is
// read before the document is touched), then applied as an open or a merge.
//
// Each section's records are dispatched through a table of {type, minimum
// body size, handler}; a record shorter than its minimum, or of a type the
// table does not name, is skipped by its length.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "io/byte_io.h"
#include "io/worksheet_file.h"
#include "io/worksheet_records.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

using namespace wks;

namespace {

// Every finite value reads back exactly as it was written, denormals and
// the largest magnitudes included (the sheet accepts them all). Infinities
// and NaNs are never written as values (an error result has its own
// marker) and would upset formatting and arithmetic: they read as 0.
double SanitisedValue(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, 8);
  return std::isfinite(d) ? d : 0.0;
}

std::string Hex(unsigned v, int digits) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%0*X", digits, v);
  return buf;
}

// A record as read: the whole type word (its high byte may carry a cell
// colour) and the body in the reader's buffer.
struct Record {
  std::uint16_t type;
  Bytes b;
};

// A cell record read from the file, kept until the whole file has been read.
struct StagedCell {
  double value;
  std::uint32_t textOffset;  // into the staging text arena
  std::uint32_t colour;
  std::uint16_t textLength;
  std::int16_t row;
  std::uint8_t col;
  std::uint8_t format;
  std::uint8_t type;  // kRecBlank .. kRecFormula, kRecFormulaText
  std::uint8_t flags;
};
constexpr std::uint8_t kStagedError = 1;
constexpr std::uint8_t kStagedColour = 2;

struct StagedAttributes {
  std::int16_t row;
  std::uint8_t col, font, fontSize, style, borders;
  std::uint32_t colour;
};

struct StagedName {
  std::string name;
  CellRange range;
};

// Everything read from the file, before it is applied to a document.
struct Staging {
  explicit Staging(const SheetSettings& s) : settings(s) {
    for (int i = 0; i < 256; ++i) fontMap[i] = static_cast<std::uint8_t>(i);
  }

  std::uint32_t Keep(const void* p, std::size_t n) {
    std::uint32_t off = static_cast<std::uint32_t>(arena.size());
    const auto* bytes = static_cast<const std::uint8_t*>(p);
    arena.insert(arena.end(), bytes, bytes + n);
    return off;
  }
  std::string_view ArenaText(const StagedCell& c) const {
    return {reinterpret_cast<const char*>(arena.data() + c.textOffset), c.textLength};
  }

  bool external = false;  // values for external references: names are not read
  bool broken = false;    // a record that cannot be sound (bad formula code)

  std::vector<StagedCell> cells;
  std::vector<std::uint8_t> arena;
  std::vector<StagedName> names;
  bool settingsNameSeen = false;
  std::uint8_t settingsFlags = 0;
  std::uint8_t settingsOption = 0;
  SheetSettings settings;
  WorksheetExtras extras;
  std::vector<std::pair<int, int>> standardWidths, extWidths, heights;
  std::vector<StagedAttributes> attributes;
  std::array<std::uint8_t, 256> fontMap;
  std::vector<UserFunction> userFunctions;
  int namedGraphExt = 0;
  bool pageTabsCleared = false;
  std::uint16_t pages = 0;
};

// One row of a record table.
struct RecordRule {
  std::uint8_t type;
  std::uint16_t minSize;  // shorter bodies are skipped
  void (*handle)(Staging&, const Record&);
};

// ---------------------------------------------------------------------------
// Cell and name records: read by every kind of load.

void CellRecordIn(Staging& st, const Record& r) {
  const Bytes& b = r.b;
  std::uint8_t t = r.type & 0xFF;
  int col = b.U16(1), row = b.U16(3);
  if (!ColumnInSheet(col) || !RowInSheet(row)) return;
  StagedCell s{};
  s.row = static_cast<std::int16_t>(row);
  s.col = static_cast<std::uint8_t>(col);
  s.format = b.U8(0);
  s.type = t;
  if (std::uint8_t h = r.type >> 8; h != 0) {
    s.colour = (static_cast<std::uint32_t>(h & 0x0F) << 24) | kPalette[h >> 4];
    s.flags |= kStagedColour;
  }
  switch (t) {
    case kRecBlank:
      if (b.size != 5) return;
      break;
    case kRecInteger:
      if (b.size != 7) return;
      s.value = b.I16(5);
      break;
    case kRecNumber:
      if (b.size != 13) return;
      s.value = SanitisedValue(b.U64(5));
      break;
    case kRecLabel:
    case kRecFormulaText: {
      std::string_view text = b.Text(5, kMaxText);
      s.textOffset = st.Keep(text.data(), text.size());
      s.textLength = static_cast<std::uint16_t>(text.size());
      break;
    }
    case kRecFormula: {
      if (b.size < 15) return;
      std::size_t c = b.U16(13);
      if (15 + c > b.size || c == 0) {  // the code runs past the record
        st.broken = true;
        return;
      }
      const std::uint8_t* code = b.data + 15;
      // Some writers pad the code with a zero after the end operation.
      if (c >= 2 && code[c - 1] == 0 && code[c - 2] == kOpEnd) --c;
      if (c + 1 > static_cast<std::size_t>(kMaxCode)) return;  // too long to hold
      // Staged with the two bytes of L in front, as the cell will hold it.
      std::size_t at = st.arena.size();
      st.arena.resize(at + c + 2);
      std::uint8_t* staged = st.arena.data() + at;
      staged[0] = static_cast<std::uint8_t>(c + 1);
      staged[1] = 0;
      std::memcpy(staged + 2, code, c);
      if (!IsWellFormed(staged, c + 2)) {
        st.broken = true;
        return;
      }
      s.textOffset = static_cast<std::uint32_t>(at);
      s.textLength = static_cast<std::uint16_t>(c + 2);
      if (IsErrorValue(b, 5)) s.flags |= kStagedError;
      s.value = SanitisedValue(b.U64(5));
      break;
    }
    default: return;
  }
  st.cells.push_back(s);
}

void NameRecordIn(Staging& st, const Record& r) {
  if (st.external) return;  // names mean nothing to an external reference
  const Bytes& b = r.b;
  std::string_view name;
  CellRange range;
  if ((r.type & 0xFF) == kRecName) {
    if (b.size > 39) return;
    name = b.Text(0, 16);
    range = ReadRange(b, 16);
  } else {
    name = b.Text(0, b.size - 9);
    range = ReadRange(b, b.size - 9);
  }
  if (IsSettingsName(name)) {
    st.settingsNameSeen = true;
    st.settingsOption = static_cast<std::uint8_t>(name[2]);
    st.settingsFlags = static_cast<std::uint8_t>(name[3]);
    return;
  }
  if (name.empty() || static_cast<int>(st.names.size()) >= kMaxFileNames) return;
  st.names.push_back({NormaliseName(name.substr(0, kMaxNameLength)), range});
}

constexpr RecordRule kEveryLoadRules[] = {
    {kRecBlank, 5, CellRecordIn},
    {kRecInteger, 5, CellRecordIn},
    {kRecNumber, 5, CellRecordIn},
    {kRecLabel, 5, CellRecordIn},
    {kRecFormula, 5, CellRecordIn},
    {kRecFormulaText, 5, CellRecordIn},
    {kRecName, kNameRecordBytes, NameRecordIn},
    {kRecLongName, 10, NameRecordIn},
};

// ---------------------------------------------------------------------------
// Graph records. The blocks are kept as the file's bytes; the graph
// settings model interprets them.

void GraphRecordIn(Staging& st, const Record& r) {
  if (r.b.size != kGraphBlockBytes) return;
  GraphSettings& g = st.extras.graphs.current;
  ReadGraphBlock(g, r.b.data, r.b.size);
  // The X and Y step counts at the block's end need at least 2.
  for (GraphAxis& axis : g.axes)
    if (axis.step < 2) axis.step = 5;
}

void NamedGraphRecordIn(Staging& st, const Record& r) {
  NamedGraph g = ReadNamedGraph(r.b.data, r.b.size);
  std::vector<NamedGraph>& graphs = st.extras.graphs.named;
  if (static_cast<int>(graphs.size()) < kMaxNamedGraphs) graphs.push_back(g);
  else graphs.back() = g;
}

void GraphExtensionIn(Staging& st, const Record& r) {
  if (r.b.size != kGraphExtBlockBytes) return;
  ReadGraphExtBlock(st.extras.graphs.current, r.b.data, r.b.size);
}

// The extended blocks of named graphs come in the order of the graphs.
void NamedGraphExtensionIn(Staging& st, const Record& r) {
  if (r.b.size != kGraphExtBlockBytes) return;
  std::vector<NamedGraph>& graphs = st.extras.graphs.named;
  if (st.namedGraphExt < static_cast<int>(graphs.size()))
    ReadGraphExtBlock(graphs[st.namedGraphExt].settings, r.b.data, r.b.size);
  ++st.namedGraphExt;
}

// ---------------------------------------------------------------------------
// Settings records of the standard section: read by an open only.

void PaneIn(PaneState& p, const Bytes& b) {
  p.cursorCol = b.I16(0);
  p.cursorRow = b.I16(2);
  p.leftCol = b.I16(12);
  p.topRow = b.I16(14);
}

void MarginsIn(Staging& st, const Record& r) {
  const Bytes& b = r.b;
  auto two = [](double v) { return std::round(v * 100) * 0.01; };
  double right = 8.5 - b.U16(2) * kMarginColumn;
  std::array<double, 6>& m = st.extras.margins;
  m[0] = two(b.U16(6) * kMarginLine);
  m[1] = two(b.U16(0) * kMarginColumn);
  m[2] = two(right < 0 ? 0 : right);
  m[3] = two(b.U16(8) * kMarginLine);
}

constexpr RecordRule kOpenRules[] = {
    {kRecCalcMode, 1, [](Staging& st, const Record& r) {
       st.settings.manualRecalc = r.b.U8(0) == 0;
     }},
    {kRecSplit, 1, [](Staging& st, const Record& r) {
       st.extras.split = r.b.U8(0) != 0;
       st.extras.splitSecondDirection = r.b.U8(0) == 1;
     }},
    {kRecSync, 1, [](Staging& st, const Record& r) {
       st.extras.synchronised = r.b.U8(0) == 0xFF;
     }},
    {kRecWindow1, 16, [](Staging& st, const Record& r) {
       PaneIn(st.extras.pane1, r.b);
       st.settings.defaultFormat = r.b.U8(4);
     }},
    {kRecWindow2, 16, [](Staging& st, const Record& r) { PaneIn(st.extras.pane2, r.b); }},
    {kRecColumnWidth, 3, [](Staging& st, const Record& r) {
       if (ColumnInSheet(r.b.U16(0))) st.standardWidths.emplace_back(r.b.U16(0), r.b.U8(2));
     }},
    {kRecWhatIf, 25, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.whatIfKind = r.b.U8(0);
       x.whatIfTable = ReadRange(r.b, 1);
       x.whatIfInput1 = ReadRange(r.b, 9);
       x.whatIfInput2 = ReadRange(r.b, 17);
     }},
    {kRecQuery, 24, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.queryInput = ReadRange(r.b, 0);
       x.queryOutput = ReadRange(r.b, 8);
       x.queryCriteria = ReadRange(r.b, 16);
     }},
    {kRecPrintRange, 8, [](Staging& st, const Record& r) {
       st.extras.printRange = ReadRange(r.b, 0);
     }},
    {kRecSortRange, 8, [](Staging& st, const Record& r) { st.extras.sortData = ReadRange(r.b, 0); }},
    {kRecSortKey1, 8, [](Staging& st, const Record& r) {
       st.extras.sortKeys[0] = ReadRange(r.b, 0);
     }},
    {kRecSortKey2, 8, [](Staging& st, const Record& r) {
       st.extras.sortKeys[1] = ReadRange(r.b, 0);
     }},
    {kRecProtect, 1, [](Staging& st, const Record& r) { st.settings.protect = r.b.U8(0) != 0; }},
    {kRecFooter, 0, [](Staging& st, const Record& r) {
       st.extras.printFooter = r.b.Text(0, kMaxText);
     }},
    {kRecHeader, 0, [](Staging& st, const Record& r) {
       st.extras.printHeader = r.b.Text(0, kMaxText);
     }},
    {kRecMargins, 10, MarginsIn},
    {kRecLabelPrefix, 1, [](Staging& st, const Record& r) {
       char p = static_cast<char>(r.b.U8(0));
       if (p == '\'' || p == '^' || p == '"') st.settings.labelPrefix = p;
     }},
    {kRecTitles, 16, [](Staging& st, const Record& r) {
       st.extras.titleRows = ReadRange(r.b, 0);
       st.extras.titleCols = ReadRange(r.b, 8);
     }},
    {kRecActivePane, 1, [](Staging& st, const Record& r) {
       st.extras.activePaneOnLoad = r.b.U8(0) == 2 ? 2 : 1;
     }},
    // Graph records.
    {kRecGraph, kGraphBlockBytes, GraphRecordIn},
    {kRecNamedGraph, kGraphFileNameBytes + 1, NamedGraphRecordIn},
    // Calculation order, printer set-up and active area are not read.
};

// ---------------------------------------------------------------------------
// Records of the extension section.

void UserFunctionIn(Staging& st, const Record& r) {
  const Bytes& b = r.b;
  UserFunction f;
  f.name = UpperCase(std::string_view(reinterpret_cast<const char*>(b.data + 1),
                                      std::min<int>(b.U8(0), kMaxNameLength)));
  f.definition.assign(reinterpret_cast<const char*>(b.data + 15), b.U8(14));
  std::uint32_t n = b.U32(270);
  f.argCount = n > static_cast<std::uint32_t>(kMaxUserArgs) ? kMaxUserArgs : static_cast<int>(n);
  if (static_cast<int>(st.userFunctions.size()) < kMaxUserFunctions)
    st.userFunctions.push_back(std::move(f));
}

void PaneLayoutIn(Staging& st, const Record& r) {
  const Bytes& b = r.b;
  PaneLayout& p = st.extras.layout;
  st.pages = b.U16(0);
  for (int i = 0; i < 3; ++i) p.displayOptions[i] = b.U8(2 + i);
  p.activePane = b.U8(5) ? 1 : 0;
  p.pane1 = {b.I16(10), b.I16(12), b.I16(6), b.I16(8)};
  p.pane1Height = b.I16(14);
  p.pane1Width = b.I16(16);
  p.pane2 = {b.I16(22), b.I16(24), b.I16(18), b.I16(20)};
  if (b.size >= kPaneLayoutBytes)
    for (int i = 0; i < 4; ++i) p.frozen[i] = b.I16(26 + 2 * i);
}

constexpr RecordRule kExtensionRules[] = {
    // Graph records.
    {kExtGraph, kGraphExtBlockBytes, GraphExtensionIn},
    {kExtNamedGraph, kGraphExtBlockBytes, NamedGraphExtensionIn},

    {kExtButton, kSheetButtonBytes, [](Staging& st, const Record& r) {
       if (r.b.size != kSheetButtonBytes) return;
       std::array<std::uint8_t, kSheetButtonBytes> blob;
       std::memcpy(blob.data(), r.b.data, kSheetButtonBytes);
       st.extras.buttons.push_back(blob);
     }},
    {kExtSortKeys, 18, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.sortKeys[2] = ReadRange(r.b, 0);
       x.sortAscending[2] = r.b.U8(8) != 0;
       x.sortKeys[3] = ReadRange(r.b, 9);
       x.sortAscending[3] = r.b.U8(17) != 0;
     }},
    {kExtRegression, 26, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.regressionX = ReadRange(r.b, 0);
       x.regressionY = ReadRange(r.b, 8);
       for (int i = 0; i < 10; ++i) x.regressionCodes[i] = r.b.U8(16 + i) & 7;
     }},
    {kExtColours, 28, [](Staging& st, const Record& r) {
       for (int i = 0; i < 7; ++i) st.extras.colours[i] = r.b.U32(4 * i);
     }},
    {kExtMargins, 24, [](Staging& st, const Record& r) {
       for (int i = 0; i < 6; ++i)
         st.extras.margins[i] = static_cast<std::int32_t>(r.b.U32(4 * i)) / 100.0;
     }},
    {kExtPageTab, 0, [](Staging& st, const Record& r) {
       // The first tab caption replaces the default ones.
       std::vector<std::string>& tabs = st.extras.pageTabs;
       if (!st.pageTabsCleared) {
         tabs.clear();
         st.pageTabsCleared = true;
       }
       if (static_cast<int>(tabs.size()) < kMaxPageTabs) tabs.emplace_back(r.b.Text(0, 11));
     }},
    {kExtUserFunction, kUserFunctionBytes, UserFunctionIn},
    {kExtFont, 3, [](Staging& st, const Record& r) {
       std::uint16_t number = r.b.U16(0);
       if (number >= 256) return;
       // The number first means "no font", then the font of that name.
       st.fontMap[number] = 255;
       st.fontMap[number] = st.extras.FontNumber(std::string(r.b.Text(2, 80)));
     }},
    {kExtSheetFont, 5, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.sheetRowHeight = r.b.I16(0);
       x.sheetFontStyle = r.b.U8(2);
       x.sheetFontName = r.b.Text(4, 80);
     }},
    {kExtPaneLayout, kShortPaneLayoutBytes, PaneLayoutIn},
    {kExtTitle, 0, [](Staging& st, const Record& r) { st.extras.title = r.b.Text(0, 80); }},
    {kExtComments, 0, [](Staging& st, const Record& r) { st.extras.comments = r.b.Text(0, 255); }},
    {kExtRevisedBy, 0, [](Staging& st, const Record& r) { st.extras.revisedBy = r.b.Text(0, 80); }},
    {kExtCreated, 16, [](Staging& st, const Record& r) {
       WorksheetExtras& x = st.extras;
       x.createdTime = r.b.Double(0);
       x.createdDate = r.b.Double(8);
       if (!std::isfinite(x.createdTime) || !std::isfinite(x.createdDate)) x.createdTime = -1;
     }},
    {kExtAttributes, 12, [](Staging& st, const Record& r) {
       const Bytes& b = r.b;
       if (!RowInSheet(b.U16(0)) || !ColumnInSheet(b.U16(2))) return;
       st.attributes.push_back({static_cast<std::int16_t>(b.U16(0)),
                                static_cast<std::uint8_t>(b.U16(2)), b.U8(4), b.U8(5), b.U8(6),
                                b.U8(7), b.U32(8)});
     }},
    {kExtColumnWidth, 3, [](Staging& st, const Record& r) {
       if (ColumnInSheet(r.b.U16(0))) st.extWidths.emplace_back(r.b.U16(0), r.b.U8(2));
     }},
    {kExtRowHeight, 3, [](Staging& st, const Record& r) {
       if (RowInSheet(r.b.U16(0))) st.heights.emplace_back(r.b.U16(0), r.b.U8(2));
     }},
    // Window bookkeeping (7) is not read.
};

// The position of each type's rule in a table, 0xFF for none.
template <std::size_t N>
constexpr std::array<std::uint8_t, 256> IndexOf(const RecordRule (&rules)[N]) {
  static_assert(N < 0xFF);
  std::array<std::uint8_t, 256> index{};
  index.fill(0xFF);
  for (std::size_t i = 0; i < N; ++i) index[rules[i].type] = static_cast<std::uint8_t>(i);
  return index;
}

constexpr auto kEveryLoadIndex = IndexOf(kEveryLoadRules);
constexpr auto kOpenIndex = IndexOf(kOpenRules);
constexpr auto kExtensionIndex = IndexOf(kExtensionRules);

// Runs the rule for the record's type, when there is one and the body is
// long enough; true when a rule was found.
template <std::size_t N>
bool Dispatch(const RecordRule (&rules)[N], const std::array<std::uint8_t, 256>& index,
              Staging& st, const Record& r) {
  std::uint8_t i = index[r.type & 0xFF];
  if (i == 0xFF) return false;
  if (r.b.size >= rules[i].minSize) rules[i].handle(st, r);
  return true;
}

// ---------------------------------------------------------------------------
// The loader: reads a file into a Staging, then applies it.

class Loader {
 public:
  Loader(SheetDocument& doc, unsigned options)
      : doc_(doc),
        options_(options),
        merge_((options & (kMergeInto | kExternalLoad)) != 0),
        st_(doc.settings()) {
    st_.external = (options & kExternalLoad) != 0;
  }

  // A damaged file is read up to the damage; `message` then says what was
  // wrong. Only an open takes a damaged file, and only when something
  // before the damage is worth keeping: a cell, or the whole standard
  // section (the damage is in the extension section).
  enum class Outcome { Complete, Damaged, Failed };
  Outcome Read(const std::string& path, std::string& message);
  void ApplyOpen(LoadResult& result);
  void ApplyMerge(CellAddress insert, std::string_view filter, LoadResult& result);

 private:
  enum class Status { Ok, Truncated };

  Status NextRecord(Record& r);

  // Applying staged content.
  void ClearEntry(CellRecord& cell);
  CellRecord* PutCell(const StagedCell& s, int row, int col, bool valuesOnly, unsigned combine);
  void LinkFormulas(bool recalcAll);
  void RemapUserFunctions();

  SheetDocument& doc_;
  unsigned options_;
  bool merge_;
  FileReader reader_;
  Staging st_;

  std::vector<CellId> formulas_;
  CellRecord* lastFormula_ = nullptr;
};

Loader::Status Loader::NextRecord(Record& r) {
  const std::uint8_t* header = reader_.Take(4);
  if (header == nullptr) return Status::Truncated;
  r.type = static_cast<std::uint16_t>(header[0] | (header[1] << 8));
  std::uint16_t length = static_cast<std::uint16_t>(header[2] | (header[3] << 8));
  const std::uint8_t* data = reader_.Take(length);
  if (data == nullptr) return Status::Truncated;
  r.b = Bytes{data, length};
  return Status::Ok;
}

Loader::Outcome Loader::Read(const std::string& path, std::string& message) {
  if (!reader_.Open(path)) {
    message = kOpenFailed;
    return Outcome::Failed;
  }
  auto damaged = [&](std::string why, bool standardComplete) {
    message = std::move(why);
    bool worthKeeping = standardComplete || !st_.cells.empty();
    return !merge_ && worthKeeping ? Outcome::Damaged : Outcome::Failed;
  };
  try {
    Record r;
    // A worksheet starts with the file-start record; anything else is not
    // one of ours (or is another program's dialect).
    if (NextRecord(r) != Status::Ok || r.type != kRecBof || r.b.size != 2) {
      message = kInvalidFile;
      return Outcome::Failed;
    }
    // Staging room for a file of formulas, the largest records per cell,
    // so that the staging vectors are seldom copied while they grow.
    std::uint64_t estimate = std::min<std::uint64_t>(reader_.remaining() / 24,
                                                     std::uint64_t{kRowCount} * kColumnCount);
    st_.cells.reserve(estimate);
    st_.arena.reserve(estimate * 16);
    std::uint16_t eofLength = 0;
    for (;;) {
      if (NextRecord(r) == Status::Truncated) return damaged(kInvalidFile, false);
      std::uint8_t t = r.type & 0xFF;
      if (t == kRecEof) {
        eofLength = static_cast<std::uint16_t>(r.b.size);
        break;
      }
      if (!Dispatch(kEveryLoadRules, kEveryLoadIndex, st_, r) && !merge_)
        Dispatch(kOpenRules, kOpenIndex, st_, r);
      if (st_.broken)
        return damaged("Error at Record:" + Hex(t, 2) + "[" + Hex(r.b.size, 4) + "]", false);
    }
    if (merge_ || eofLength != 0 || reader_.remaining() < 2) return Outcome::Complete;
    std::uint8_t marker[2];
    if (!reader_.Read(marker, 2) || marker[1] == 0x1A) return Outcome::Complete;
    for (;;) {
      if (NextRecord(r) != Status::Ok) return damaged(kInvalidFile, true);
      if (r.type == kRecBof || r.type == kRecEof) break;
      Dispatch(kExtensionRules, kExtensionIndex, st_, r);
    }
    return Outcome::Complete;
  } catch (const std::bad_alloc&) {
    message = kOutOfMemory;
    return Outcome::Failed;
  }
}

void Loader::ClearEntry(CellRecord& cell) {
  if (cell.kind & kFileFormBit) {
    // Code still in file form was never registered; just drop it.
    CellStore& store = doc_.cells();
    store.ReleaseValue(cell);
    store.FreeText(cell);
    cell.kind = kEmpty;
  } else {
    BlankCell(doc_, cell);
  }
}

// Stores one staged cell at (row, col). Returns the cell, or null when it
// was not stored.
CellRecord* Loader::PutCell(const StagedCell& s, int row, int col, bool valuesOnly,
                            unsigned combine) {
  CellStore& store = doc_.cells();
  std::uint8_t type = s.type;
  if (type == kRecFormulaText) {
    // The text value of the formula record just before it.
    if (valuesOnly) {
      CellRecord* c = store.GetOrCreateCell(row, col);
      if (c == nullptr) return nullptr;
      ClearEntry(*c);
      std::string text(1, doc_.settings().labelPrefix);
      text.append(st_.ArenaText(s));
      store.SetCellText(*c, text);
      c->kind = kLabel;
      return c;
    }
    if (merge_ || lastFormula_ == nullptr || lastFormula_->row != row || lastFormula_->col != col)
      return nullptr;
    store.StoreFormulaText(*lastFormula_, st_.ArenaText(s));
    return lastFormula_;
  }
  lastFormula_ = nullptr;
  if (type == kRecFormula && valuesOnly) type = kRecNumber;
  bool adding = (type == kRecInteger || type == kRecNumber) &&
                (combine == kCombineAdd || combine == kCombineSubtract);
  CellRecord* existing = adding ? store.FindCell(row, col) : nullptr;
  CellRecord* c = existing != nullptr ? existing : store.GetOrCreateCell(row, col);
  if (c == nullptr) return nullptr;
  double value = s.value;
  if (existing != nullptr) {
    value = CellNumber(existing) + (combine == kCombineSubtract ? -value : value);
  } else {
    c->format = s.format;
  }
  ClearEntry(*c);
  if (s.flags & kStagedColour) c->colour = s.colour;
  switch (type) {
    case kRecBlank: break;
    case kRecInteger:
    case kRecNumber: store.StoreNumber(*c, value); break;
    case kRecLabel:
      store.SetCellText(*c, st_.ArenaText(s));
      c->kind = kLabel;
      break;
    case kRecFormula:
      store.SetCellText(*c, st_.ArenaText(s).substr(1));  // byte 0 is the length
      c->kind = kFormula | kFileFormBit;
      store.StoreFormulaNumber(*c, value, (s.flags & kStagedError) != 0);
      formulas_.push_back(c->id);
      lastFormula_ = c;
      break;
  }
  return c;
}

void Loader::RemapUserFunctions() {
  if (st_.userFunctions.empty()) return;
  FormulaEngine& engine = Engine(doc_.session());
  std::vector<std::uint8_t> map(256, 0);
  for (std::size_t i = 0; i < st_.userFunctions.size(); ++i) {
    const UserFunction& f = st_.userFunctions[i];
    std::size_t k = 0;
    while (k < engine.usedFunctions.size() && engine.usedFunctions[k].name != f.name) ++k;
    if (k == engine.usedFunctions.size()) {
      if (engine.usedFunctions.size() >= kMaxUserFunctions) continue;
      engine.usedFunctions.push_back(f);
    }
    map[i + 1] = static_cast<std::uint8_t>(k + 1);
  }
  CellStore& store = doc_.cells();
  for (CellId id : formulas_) {
    CellRecord& c = store.At(id);
    if (c.text == nullptr) continue;
    std::uint8_t* code = c.text;
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (op == kOpUserFunction) code[pos + 1] = map[code[pos + 1]];
    });
  }
}

// Converts every formula still in file form and registers it. The values
// stored in the file stay: an open recalculates nothing unless a formula
// reads another file through @LINK, which is evaluated at once and, under
// automatic recalculation, brings the sheet up to date. `recalcAll` (a
// merge) recalculates the whole sheet afterwards.
void Loader::LinkFormulas(bool recalcAll) {
  CellStore& store = doc_.cells();
  Evaluator& evaluator = *Engine(doc_.session()).evaluator;
  bool linked = false;
  for (CellId id : formulas_) {
    CellRecord& c = store.At(id);
    if (c.row < 0 || !(c.kind & kFileFormBit) || c.text == nullptr) continue;
    c.kind &= ~kFileFormBit;
    if (!ToLinkedForm(c.text, store, c.row, c.col)) {
      store.StoreFormulaNumber(c, -1, true);
      continue;
    }
    if (RegisterFormula(doc_, c, true) && !recalcAll) {
      evaluator.EvaluateCell(doc_, c);
      linked = true;
    }
  }
  if (recalcAll || (linked && !doc_.settings().manualRecalc)) RecalcAll(doc_);
}

void Loader::ApplyOpen(LoadResult& result) {
  CellStore& store = doc_.cells();
  store.Clear();
  doc_.names().ResetNames();
  doc_.undo() = UndoSnapshot{};
  doc_.metrics() = GridMetrics{};
  SheetSettings settings = st_.settings;
  if (st_.settingsNameSeen) {
    settings.hideZeros = (st_.settingsFlags & 1) != 0;
    settings.negativeColour = (st_.settingsFlags & 4) != 0;
    st_.extras.settingsOption = st_.settingsOption == 255 ? 0 : st_.settingsOption;
  }
  std::uint16_t pages = st_.pages;
  if (pages != 0 && pages <= 64 && (pages & (pages - 1)) == 0)
    settings.pageHeight = static_cast<std::int16_t>(kRowCount / pages);
  doc_.settings() = settings;
  doc_.extras() = std::move(st_.extras);
  for (const StagedName& n : st_.names) doc_.names().DefineName(n.name, n.range);

  GridMetrics& m = doc_.metrics();
  // A stored width (even one equal to the default) is the column's own; only
  // 255 and an absent record follow the default. The same for heights.
  for (auto [col, w] : st_.extWidths.empty() ? st_.standardWidths : st_.extWidths) {
    if (w == 255) m.ResetColumnWidth(col);
    else m.SetColumnWidth(col, static_cast<std::int16_t>(w * 8));
  }
  for (auto [row, h] : st_.heights) {
    if (h == 255) m.ResetRowHeight(row);
    else m.SetRowHeight(row, static_cast<std::int16_t>(h));
  }

  {
    std::vector<std::uint16_t> perRow(kRowCount, 0);
    std::size_t formulas = 0;
    for (const StagedCell& s : st_.cells) {
      perRow[s.row] += s.type != kRecFormulaText;
      formulas += s.type == kRecFormula;
    }
    for (int row = 0; row < kRowCount; ++row)
      if (perRow[row] > 2) store.ReserveRow(row, perRow[row]);
    formulas_.reserve(formulas);
    store.ReserveDependents(formulas);  // at least one reference each, as a rule
  }
  // A formula's text value is part of the formula's cell, not a cell of
  // its own.
  for (const StagedCell& s : st_.cells)
    if (PutCell(s, s.row, s.col, (options_ & kValuesOnly) != 0, 0) != nullptr &&
        s.type != kRecFormulaText)
      ++result.cells;
  for (const StagedAttributes& a : st_.attributes) {
    CellRecord* c = store.FindCell(a.row, a.col);
    if (c == nullptr) continue;
    c->font = st_.fontMap[a.font];
    c->fontSize = a.fontSize;
    c->style = a.style;
    c->borders = a.borders;
    c->colour = a.colour;
  }
  RemapUserFunctions();
  if (!(options_ & kExternalLoad)) LinkFormulas(false);
  doc_.cells().TrimRows();
  doc_.settings().modified = false;
  result.hasAutoexec = doc_.names().Lookup("AUTOEXEC") != nullptr;
  result.focusSecondPane = doc_.extras().activePaneOnLoad == 2;
}

void Loader::ApplyMerge(CellAddress insert, std::string_view filter, LoadResult& result) {
  CellRange area = CellRange::Of(0, 0, kRowCount - 1, kColumnCount - 1);
  if (!filter.empty()) {
    if (filter.find("..") != std::string_view::npos) {
      ErrorChannel scratch;
      RangeContext context;
      context.pageHeight = doc_.settings().pageHeight;
      ParsedRange p = ParseRange(filter, context, scratch);
      area = (p.ok && !scratch.failed()) ? p.range : CellRange{};
    } else {
      area = CellRange{};
      std::string key = NormaliseName(filter);
      for (const StagedName& n : st_.names)
        if (n.name == key) area = n.range;
    }
  }
  if (!area.IsDefined()) return;
  int dRow = insert.row - area.Top(), dCol = insert.col - area.Left();
  if (filter.empty() && !(options_ & kExternalLoad)) {
    for (const StagedName& n : st_.names) {
      CellRange r = n.range;
      if (r.IsDefined()) {
        r.firstCol = static_cast<std::int16_t>(r.firstCol + dCol);
        r.lastCol = static_cast<std::int16_t>(r.lastCol + dCol);
        r.firstRow = static_cast<std::int16_t>(r.firstRow + dRow);
        r.lastRow = static_cast<std::int16_t>(r.lastRow + dRow);
      }
      doc_.names().DefineName(n.name, r);
    }
    if (st_.settingsNameSeen) {
      doc_.settings().hideZeros = (st_.settingsFlags & 1) != 0;
      doc_.settings().negativeColour = (st_.settingsFlags & 4) != 0;
    }
  }
  bool valuesOnly = (options_ & kValuesOnly) != 0;
  unsigned combine = options_ & kCombineMask;
  for (const StagedCell& s : st_.cells) {
    if (!area.Contains(s.row, s.col)) continue;
    int row = s.row + dRow, col = s.col + dCol;
    if (!RowInSheet(row) || !ColumnInSheet(col)) continue;
    if (PutCell(s, row, col, valuesOnly, combine) != nullptr && s.type != kRecFormulaText)
      ++result.cells;
  }
  if (!(options_ & kExternalLoad)) LinkFormulas(true);
}

}  // namespace

LoadResult LoadWorksheet(SheetDocument& doc, std::string_view fileName, unsigned options,
                         CellAddress insert, std::string_view filter) {
  LoadResult result;
  std::string path = WorksheetFileName(fileName);
  Loader loader(doc, options);
  Loader::Outcome outcome = loader.Read(path, result.message);
  if (outcome == Loader::Outcome::Failed) {
    return result;
  }
  try {
    if (options & (kMergeInto | kExternalLoad)) {
      loader.ApplyMerge(insert, filter, result);
    } else {
      loader.ApplyOpen(result);
      doc.SetFileName((options & kStartupSheet) ? std::string() : path);
    }
  } catch (const std::bad_alloc&) {
    result.message = kOutOfMemory;
    doc.session().errors().Fail(result.message);
    return result;
  }
  if (outcome == Loader::Outcome::Damaged) {
    // What was read before the damage stays, in a sheet without a name, so
    // that saving it cannot overwrite the damaged original by accident.
    // Stored results may depend on cells that were lost: they are brought
    // up to date unless the sheet calculates by hand.
    doc.SetFileName(std::string());
    if (!doc.settings().manualRecalc) RecalcAll(doc);
    doc.settings().modified = true;
    result.status = LoadStatus::Recovered;
    result.message += " Recovered " + std::to_string(result.cells) +
                      (result.cells == 1 ? " cell" : " cells") + " read before the damage.";
    return result;
  }
  result.status = LoadStatus::Loaded;
  result.ok = true;
  return result;
}

std::vector<FileRangeName> ListFileRangeNames(std::string_view fileName) {
  std::vector<FileRangeName> list;
  FileReader reader;
  if (!reader.Open(WorksheetFileName(fileName))) return list;
  std::vector<std::uint8_t> body(65536);
  for (;;) {
    std::uint8_t header[4];
    if (!reader.Read(header, 4)) break;
    std::uint8_t type = header[0];
    std::uint16_t length = static_cast<std::uint16_t>(header[2] | (header[3] << 8));
    if (!reader.Read(body.data(), length)) break;
    Bytes b{body.data(), length};
    if (type == kRecEof) break;
    std::string_view name;
    CellRange range;
    if (type == kRecName && length >= kNameRecordBytes && length <= 39) {
      name = b.Text(0, 16);
      range = ReadRange(b, 16);
    } else if (type == kRecLongName && length >= 10) {
      name = b.Text(0, length - 9);
      range = ReadRange(b, length - 9);
    } else {
      continue;
    }
    if (name.empty() || IsSettingsName(name)) continue;
    FileRangeName entry;
    entry.name = NormaliseName(name);
    entry.range = range;
    entry.text = CutTo(entry.name + " " + RangeText(range, 0), 16);
    list.push_back(std::move(entry));
  }
  return list;
}

bool IsWorksheetFile(std::string_view fileName) {
  FileReader reader;
  if (!reader.Open(std::string(fileName))) return false;
  std::uint8_t head[4];
  return reader.Read(head, 4) && head[2] == 2 && head[3] == 0;
}

}  // namespace tabulon
