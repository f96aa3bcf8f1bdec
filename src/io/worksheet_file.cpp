#include "io/worksheet_file.h"

#include "edit/cell_text.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "io/byte_io.h"
#include "edit/cell_ops.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

constexpr std::uint16_t kFileVersion = 0x0404;
constexpr int kMaxFileNames = 240;  // name records beyond this many are ignored
constexpr int kNameLength = kMaxNameLength;

// Record types of the standard section.
enum : std::uint8_t {
  kRecBof = 0, kRecEof = 1, kRecCalcMode = 2, kRecSplit = 4, kRecSync = 5, kRecActiveArea = 6,
  kRecWindow1 = 7, kRecColumnWidth = 8, kRecWindow2 = 9, kRecName = 11, kRecBlank = 12,
  kRecInteger = 13, kRecNumber = 14, kRecLabel = 15, kRecFormula = 16, kRecWhatIf = 24,
  kRecQuery = 25, kRecPrintRange = 26, kRecSortRange = 27, kRecSortKey1 = 29, kRecSortKey2 = 35,
  kRecProtect = 36, kRecFooter = 37, kRecHeader = 38, kRecSetup = 39, kRecMargins = 40,
  kRecLabelPrefix = 41, kRecTitles = 42, kRecGraph = 45, kRecNamedGraph = 46,
  kRecActivePane = 49, kRecFormulaText = 51, kRecLongName = 71,
};

// Record types of the extension section.
enum : std::uint8_t {
  kExtAttributes = 8, kExtWindow = 7, kExtRowHeight = 10, kExtColumnWidth = 11,
  kExtSortKeys = 29, kExtGraph = 45, kExtNamedGraph = 46, kExtButton = 80,
  kExtRegression = 103, kExtUserFunction = 105, kExtColours = 110, kExtMargins = 112,
  kExtPageTab = 114, kExtFont = 116, kExtSheetFont = 118, kExtPaneLayout = 120,
  kExtTitle = 122, kExtComments = 124, kExtRevisedBy = 126, kExtCreated = 128,
};

constexpr std::uint32_t kPalette[16] = {
    0,        0x800000, 0x8000,   0x808000, 0x80,     0x800080, 0x8080,   0xC0C0C0,
    0x808080, 0xFF0000, 0xFF00,   0xFFFF00, 0xFF,     0xFF00FF, 0xFFFF,   0xFFFFFF};

constexpr int kUserFunctionBytes = 274;
constexpr int kPaneLayoutBytes = 34;
constexpr int kMaxPageTabs = 64;
constexpr double kMarginColumn = 0.0125 * 8.5;  // inches per margin column unit
constexpr double kMarginLine = 11.0 / 60.0;     // inches per margin line unit

const char kOpenFailed[] = "Unable to Open File";
const char kInvalidFile[] = "Invalid WKS File!";
const char kOutOfMemory[] = "Out of Memory/File may be truncated";
const char kSaveFailed[] = "Unable to CLOSE file";

bool HasExtension(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return base.find('.') != std::string_view::npos;
}

// Values that the original arithmetic could not have produced, and that
// would upset formatting, are read as zero: zero and denormal exponents,
// the exponents 1 and 894, and everything from 2039 up (huge, infinite,
// not a number). +0.0 stays, -0.0 becomes +0.0.
double SanitisedValue(std::uint64_t bits) {
  if (bits == 0) return 0.0;
  unsigned exponent = static_cast<unsigned>((bits >> 52) & 0x7FF);
  if (exponent == 0 || exponent == 1 || exponent == 894 || exponent >= 2039) return 0.0;
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

bool IsErrorValue(const Bytes& b, std::size_t off) {
  return b.U8(off + 6) == 0xF0 && b.U8(off + 7) == 0x7F;
}

CellRange ReadRange(const Bytes& b, std::size_t off) {
  return {b.I16(off), b.I16(off + 2), b.I16(off + 4), b.I16(off + 6)};
}

std::string Hex(unsigned v, int digits) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%0*X", digits, v);
  return buf;
}

// Days since 30 December 1899 and the fraction of the day, local time.
void CurrentDateAndTime(double& date, double& time) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  using namespace std::chrono;
  year_month_day ymd{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                     day{static_cast<unsigned>(local.tm_mday)}};
  date = static_cast<double>((sys_days{ymd} - sys_days{year{1899} / December / 30}).count());
  time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
}

// ---------------------------------------------------------------------------
// Loading

// A cell record read from the file, kept until the whole file has been read.
struct StagedCell {
  double value;
  std::uint32_t textOffset;  // into the loader's text arena
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

class Loader {
 public:
  Loader(SheetDocument& doc, unsigned options)
      : doc_(doc),
        options_(options),
        settings_(doc.settings()),
        merge_((options & (kMergeInto | kExternalLoad)) != 0) {
    fontMap_.resize(256);
    for (int i = 0; i < 256; ++i) fontMap_[i] = static_cast<std::uint8_t>(i);
  }

  // Reads the whole file; on failure `message` says why.
  bool Read(const std::string& path, std::string& message);
  void ApplyOpen(LoadResult& result);
  void ApplyMerge(CellAddress insert, std::string_view filter, LoadResult& result);

 private:
  enum class Status { Ok, End, Truncated, Broken };

  Status NextRecord(std::uint16_t& type, Bytes& body);
  Status StandardRecord(std::uint16_t type, const Bytes& b);
  void SettingRecord(std::uint8_t type, const Bytes& b);
  void NameRecord(std::uint8_t type, const Bytes& b);
  Status CellRecordIn(std::uint16_t type, const Bytes& b);
  void ExtensionRecord(std::uint8_t type, const Bytes& b);

  std::uint32_t Keep(const void* p, std::size_t n) {
    std::uint32_t off = static_cast<std::uint32_t>(arena_.size());
    const auto* bytes = static_cast<const std::uint8_t*>(p);
    arena_.insert(arena_.end(), bytes, bytes + n);
    return off;
  }
  std::string_view ArenaText(const StagedCell& c) const {
    return {reinterpret_cast<const char*>(arena_.data() + c.textOffset), c.textLength};
  }

  // Applying staged content.
  void ClearEntry(CellRecord& cell);
  CellRecord* PutCell(const StagedCell& s, int row, int col, bool valuesOnly, unsigned combine);
  void LinkFormulas(bool recalcAll);
  void RemapUserFunctions();

  SheetDocument& doc_;
  unsigned options_;
  FileReader reader_;

  std::vector<StagedCell> cells_;
  std::vector<std::uint8_t> arena_;
  std::vector<StagedName> names_;
  bool settingsNameSeen_ = false;
  std::uint8_t settingsFlags_ = 0;
  std::uint8_t settingsOption_ = 0;
  SheetSettings settings_;
  WorksheetExtras extras_;
  std::vector<std::pair<int, int>> standardWidths_, extWidths_, heights_;
  std::vector<StagedAttributes> attributes_;
  std::vector<std::uint8_t> fontMap_;
  std::vector<UserFunction> userFunctions_;
  int namedGraphExt_ = 0;
  bool pageTabsCleared_ = false;
  std::uint16_t pages_ = 0;
  bool merge_;

  std::vector<CellId> formulas_;
  CellRecord* lastFormula_ = nullptr;
};

Loader::Status Loader::NextRecord(std::uint16_t& type, Bytes& body) {
  const std::uint8_t* header = reader_.Take(4);
  if (header == nullptr) return Status::Truncated;
  type = static_cast<std::uint16_t>(header[0] | (header[1] << 8));
  std::uint16_t length = static_cast<std::uint16_t>(header[2] | (header[3] << 8));
  const std::uint8_t* data = reader_.Take(length);
  if (data == nullptr) return Status::Truncated;
  body = Bytes{data, length};
  return Status::Ok;
}

bool Loader::Read(const std::string& path, std::string& message) {
  if (!reader_.Open(path)) {
    message = kOpenFailed;
    return false;
  }
  try {
    std::uint16_t type;
    Bytes b;
    // A worksheet starts with the file-start record; anything else is not
    // one of ours (or is another program's dialect).
    if (NextRecord(type, b) != Status::Ok || type != kRecBof || b.size != 2) {
      message = kInvalidFile;
      return false;
    }
    // Staging room for a file of formulas, the largest records per cell,
    // so that the staging vectors are seldom copied while they grow.
    std::uint64_t estimate = std::min<std::uint64_t>(reader_.remaining() / 24,
                                                     std::uint64_t{kRowCount} * kColumnCount);
    cells_.reserve(estimate);
    arena_.reserve(estimate * 16);
    std::uint16_t eofLength = 0;
    for (;;) {
      Status s = NextRecord(type, b);
      if (s == Status::Truncated) {
        message = kInvalidFile;
        return false;
      }
      if ((type & 0xFF) == kRecEof) {
        eofLength = static_cast<std::uint16_t>(b.size);
        break;
      }
      s = StandardRecord(type, b);
      if (s == Status::Broken) {
        message = "Error at Record:" + Hex(type & 0xFF, 2) + "[" + Hex(b.size, 4) + "]";
        return false;
      }
    }
    if (merge_ || eofLength != 0 || reader_.remaining() < 2) return true;
    std::uint8_t marker[2];
    if (!reader_.Read(marker, 2) || marker[1] == 0x1A) return true;
    for (;;) {
      if (NextRecord(type, b) != Status::Ok) {
        message = kInvalidFile;
        return false;
      }
      std::uint8_t t = type & 0xFF;
      if (type == kRecBof || type == kRecEof) break;
      ExtensionRecord(t, b);
    }
    return true;
  } catch (const std::bad_alloc&) {
    message = kOutOfMemory;
    return false;
  }
}

Loader::Status Loader::StandardRecord(std::uint16_t type, const Bytes& b) {
  std::uint8_t t = type & 0xFF;
  switch (t) {
    case kRecBof: return Status::Ok;
    case kRecBlank:
    case kRecInteger:
    case kRecNumber:
    case kRecLabel:
    case kRecFormula:
    case kRecFormulaText: return CellRecordIn(type, b);
    case kRecName:
    case kRecLongName:
      if (!(options_ & kExternalLoad)) NameRecord(t, b);
      return Status::Ok;
    default:
      if (!merge_) SettingRecord(t, b);
      return Status::Ok;
  }
}

Loader::Status Loader::CellRecordIn(std::uint16_t type, const Bytes& b) {
  std::uint8_t t = type & 0xFF;
  if (b.size < 5) return Status::Ok;
  int col = b.U16(1), row = b.U16(3);
  if (!ColumnInSheet(col) || !RowInSheet(row)) return Status::Ok;
  StagedCell s{};
  s.row = static_cast<std::int16_t>(row);
  s.col = static_cast<std::uint8_t>(col);
  s.format = b.U8(0);
  s.type = t;
  if (std::uint8_t h = type >> 8; h != 0) {
    s.colour = (static_cast<std::uint32_t>(h & 0x0F) << 24) | kPalette[h >> 4];
    s.flags |= kStagedColour;
  }
  switch (t) {
    case kRecBlank:
      if (b.size != 5) return Status::Ok;
      break;
    case kRecInteger:
      if (b.size != 7) return Status::Ok;
      s.value = b.I16(5);
      break;
    case kRecNumber:
      if (b.size != 13) return Status::Ok;
      s.value = SanitisedValue(b.U64(5));
      break;
    case kRecLabel:
    case kRecFormulaText: {
      std::string_view text = b.Text(5, kMaxText);
      s.textOffset = Keep(text.data(), text.size());
      s.textLength = static_cast<std::uint16_t>(text.size());
      break;
    }
    case kRecFormula: {
      if (b.size < 15) return Status::Ok;
      std::size_t c = b.U16(13);
      if (15 + c > b.size || c == 0) return Status::Broken;  // the code runs past the record
      const std::uint8_t* code = b.data + 15;
      // Some writers pad the code with a zero after the end operation.
      if (c >= 2 && code[c - 1] == 0 && code[c - 2] == kOpEnd) --c;
      if (c + 1 > static_cast<std::size_t>(kMaxCode)) return Status::Ok;  // too long to hold
      // Staged with the two bytes of L in front, as the cell will hold it.
      std::size_t at = arena_.size();
      arena_.resize(at + c + 2);
      std::uint8_t* staged = arena_.data() + at;
      staged[0] = static_cast<std::uint8_t>(c + 1);
      staged[1] = 0;
      std::memcpy(staged + 2, code, c);
      if (!IsWellFormed(staged, c + 2)) return Status::Broken;
      s.textOffset = static_cast<std::uint32_t>(at);
      s.textLength = static_cast<std::uint16_t>(c + 2);
      if (IsErrorValue(b, 5)) s.flags |= kStagedError;
      s.value = SanitisedValue(b.U64(5));
      break;
    }
    default: return Status::Ok;
  }
  cells_.push_back(s);
  return Status::Ok;
}

void Loader::NameRecord(std::uint8_t type, const Bytes& b) {
  std::string_view name;
  CellRange range;
  if (type == kRecName) {
    if (b.size < 24 || b.size > 39) return;
    name = b.Text(0, 16);
    range = ReadRange(b, 16);
  } else {
    if (b.size < 10) return;
    name = b.Text(0, b.size - 9);
    range = ReadRange(b, b.size - 9);
  }
  if (name.size() >= 6 && name[0] == 'G' && name[1] == '!') {
    settingsNameSeen_ = true;
    settingsOption_ = static_cast<std::uint8_t>(name[2]);
    settingsFlags_ = static_cast<std::uint8_t>(name[3]);
    return;
  }
  if (name.empty() || static_cast<int>(names_.size()) >= kMaxFileNames) return;
  names_.push_back({NormaliseName(name.substr(0, kNameLength)), range});
}

void Loader::SettingRecord(std::uint8_t type, const Bytes& b) {
  WorksheetExtras& x = extras_;
  auto pane = [&](PaneState& p) {
    p.cursorCol = b.I16(0);
    p.cursorRow = b.I16(2);
    p.leftCol = b.I16(12);
    p.topRow = b.I16(14);
  };
  switch (type) {
    case kRecCalcMode:
      if (b.size >= 1) settings_.manualRecalc = b.U8(0) == 0;
      break;
    case kRecSplit:
      if (b.size >= 1) {
        x.split = b.U8(0) != 0;
        x.splitSecondDirection = b.U8(0) == 1;
      }
      break;
    case kRecSync:
      if (b.size >= 1) x.synchronised = b.U8(0) == 0xFF;
      break;
    case kRecWindow1:
      if (b.size >= 16) {
        pane(x.pane1);
        settings_.defaultFormat = b.U8(4);
      }
      break;
    case kRecWindow2:
      if (b.size >= 16) pane(x.pane2);
      break;
    case kRecColumnWidth:
      if (b.size >= 3 && ColumnInSheet(b.U16(0))) standardWidths_.emplace_back(b.U16(0), b.U8(2));
      break;
    case kRecWhatIf:
      if (b.size >= 25) {
        x.whatIfKind = b.U8(0);
        x.whatIfTable = ReadRange(b, 1);
        x.whatIfInput1 = ReadRange(b, 9);
        x.whatIfInput2 = ReadRange(b, 17);
      }
      break;
    case kRecQuery:
      if (b.size >= 24) {
        x.queryInput = ReadRange(b, 0);
        x.queryOutput = ReadRange(b, 8);
        x.queryCriteria = ReadRange(b, 16);
      }
      break;
    case kRecPrintRange:
      if (b.size >= 8) x.printRange = ReadRange(b, 0);
      break;
    case kRecSortRange:
      if (b.size >= 8) x.sortData = ReadRange(b, 0);
      break;
    case kRecSortKey1:
      if (b.size >= 8) x.sortKeys[0] = ReadRange(b, 0);
      break;
    case kRecSortKey2:
      if (b.size >= 8) x.sortKeys[1] = ReadRange(b, 0);
      break;
    case kRecProtect:
      if (b.size >= 1) settings_.protect = b.U8(0) != 0;
      break;
    case kRecFooter: x.printFooter = b.Text(0, kMaxText); break;
    case kRecHeader: x.printHeader = b.Text(0, kMaxText); break;
    case kRecMargins:
      if (b.size >= 10) {
        auto two = [](double v) { return std::round(v * 100) * 0.01; };
        double right = 8.5 - b.U16(2) * kMarginColumn;
        x.margins[0] = two(b.U16(6) * kMarginLine);
        x.margins[1] = two(b.U16(0) * kMarginColumn);
        x.margins[2] = two(right < 0 ? 0 : right);
        x.margins[3] = two(b.U16(8) * kMarginLine);
      }
      break;
    case kRecLabelPrefix: {
      char p = static_cast<char>(b.U8(0));
      if (b.size >= 1 && (p == '\'' || p == '^' || p == '"')) settings_.labelPrefix = p;
      break;
    }
    case kRecTitles:
      if (b.size >= 16) {
        x.titleRows = ReadRange(b, 0);
        x.titleCols = ReadRange(b, 8);
      }
      break;
    case kRecGraph:
      if (b.size == kGraphBlockBytes) {
        ReadGraphBlock(x.graphs.current, b.data, b.size);
        // The X and Y step counts at the block's end need at least 2.
        for (GraphAxis& axis : x.graphs.current.axes)
          if (axis.step < 2) axis.step = 5;
      }
      break;
    case kRecNamedGraph:
      if (b.size > kGraphFileNameBytes) {
        NamedGraph g = ReadNamedGraph(b.data, b.size);
        if (static_cast<int>(x.graphs.named.size()) < kMaxNamedGraphs) x.graphs.named.push_back(g);
        else x.graphs.named.back() = g;
      }
      break;
    case kRecActivePane:
      if (b.size >= 1) x.activePaneOnLoad = b.U8(0) == 2 ? 2 : 1;
      break;
    default: break;  // calculation order, printer set-up and others: skipped
  }
}

void Loader::ExtensionRecord(std::uint8_t type, const Bytes& b) {
  WorksheetExtras& x = extras_;
  switch (type) {
    case kExtGraph:
      if (b.size == kGraphExtBlockBytes) ReadGraphExtBlock(x.graphs.current, b.data, b.size);
      break;
    case kExtNamedGraph:
      if (b.size == kGraphExtBlockBytes) {
        if (namedGraphExt_ < static_cast<int>(x.graphs.named.size()))
          ReadGraphExtBlock(x.graphs.named[namedGraphExt_].settings, b.data, b.size);
        ++namedGraphExt_;
      }
      break;
    case kExtButton:
      if (b.size == kSheetButtonBytes) {
        std::array<std::uint8_t, kSheetButtonBytes> blob;
        std::memcpy(blob.data(), b.data, kSheetButtonBytes);
        x.buttons.push_back(blob);
      }
      break;
    case kExtSortKeys:
      if (b.size >= 18) {
        x.sortKeys[2] = ReadRange(b, 0);
        x.sortAscending[2] = b.U8(8) != 0;
        x.sortKeys[3] = ReadRange(b, 9);
        x.sortAscending[3] = b.U8(17) != 0;
      }
      break;
    case kExtRegression:
      if (b.size >= 26) {
        x.regressionX = ReadRange(b, 0);
        x.regressionY = ReadRange(b, 8);
        for (int i = 0; i < 10; ++i) x.regressionCodes[i] = b.U8(16 + i) & 7;
      }
      break;
    case kExtColours:
      if (b.size >= 28)
        for (int i = 0; i < 7; ++i) x.colours[i] = b.U32(4 * i);
      break;
    case kExtMargins:
      if (b.size >= 24)
        for (int i = 0; i < 6; ++i) x.margins[i] = static_cast<std::int32_t>(b.U32(4 * i)) / 100.0;
      break;
    case kExtPageTab:
      if (!pageTabsCleared_) {
        x.pageTabs.clear();
        pageTabsCleared_ = true;
      }
      if (static_cast<int>(x.pageTabs.size()) < kMaxPageTabs) x.pageTabs.emplace_back(b.Text(0, 11));
      break;
    case kExtUserFunction:
      if (b.size >= kUserFunctionBytes) {
        UserFunction f;
        f.name = UpperCase(std::string_view(reinterpret_cast<const char*>(b.data + 1),
                                            std::min<int>(b.U8(0), kMaxNameLength)));
        f.definition.assign(reinterpret_cast<const char*>(b.data + 15), b.U8(14));
        std::uint32_t n = b.U32(270);
        f.argCount = n > static_cast<std::uint32_t>(kMaxUserArgs) ? kMaxUserArgs : static_cast<int>(n);
        if (static_cast<int>(userFunctions_.size()) < kMaxUserFunctions)
          userFunctions_.push_back(std::move(f));
      }
      break;
    case kExtFont:
      if (b.size >= 3 && b.U16(0) < 256) {
        // The number first means "no font", then the font of that name.
        fontMap_[b.U16(0)] = 255;
        fontMap_[b.U16(0)] = x.FontNumber(std::string(b.Text(2, 80)));
      }
      break;
    case kExtSheetFont:
      if (b.size >= 5) {
        x.sheetRowHeight = b.I16(0);
        x.sheetFontStyle = b.U8(2);
        x.sheetFontName = b.Text(4, 80);
      }
      break;
    case kExtPaneLayout:
      if (b.size >= 26) {
        PaneLayout& p = x.layout;
        pages_ = b.U16(0);
        for (int i = 0; i < 3; ++i) p.displayOptions[i] = b.U8(2 + i);
        p.activePane = b.U8(5) ? 1 : 0;
        p.pane1 = {b.I16(10), b.I16(12), b.I16(6), b.I16(8)};
        p.pane1Height = b.I16(14);
        p.pane1Width = b.I16(16);
        p.pane2 = {b.I16(22), b.I16(24), b.I16(18), b.I16(20)};
        if (b.size >= kPaneLayoutBytes)
          for (int i = 0; i < 4; ++i) p.frozen[i] = b.I16(26 + 2 * i);
      }
      break;
    case kExtTitle: x.title = b.Text(0, 80); break;
    case kExtComments: x.comments = b.Text(0, 255); break;
    case kExtRevisedBy: x.revisedBy = b.Text(0, 80); break;
    case kExtCreated:
      if (b.size >= 16) {
        x.createdTime = b.Double(0);
        x.createdDate = b.Double(8);
        if (!std::isfinite(x.createdTime) || !std::isfinite(x.createdDate)) x.createdTime = -1;
      }
      break;
    case kExtAttributes:
      if (b.size >= 12 && RowInSheet(b.U16(0)) && ColumnInSheet(b.U16(2)))
        attributes_.push_back({static_cast<std::int16_t>(b.U16(0)),
                               static_cast<std::uint8_t>(b.U16(2)), b.U8(4), b.U8(5), b.U8(6),
                               b.U8(7), b.U32(8)});
      break;
    case kExtColumnWidth:
      if (b.size >= 3 && ColumnInSheet(b.U16(0))) extWidths_.emplace_back(b.U16(0), b.U8(2));
      break;
    case kExtRowHeight:
      if (b.size >= 3 && RowInSheet(b.U16(0))) heights_.emplace_back(b.U16(0), b.U8(2));
      break;
    default: break;  // window bookkeeping and unknown records
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
      text.append(ArenaText(s));
      store.SetCellText(*c, text);
      c->kind = kLabel;
      return c;
    }
    if (merge_ || lastFormula_ == nullptr || lastFormula_->row != row || lastFormula_->col != col)
      return nullptr;
    store.StoreFormulaText(*lastFormula_, ArenaText(s));
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
      store.SetCellText(*c, ArenaText(s));
      c->kind = kLabel;
      break;
    case kRecFormula:
      store.SetCellText(*c, ArenaText(s).substr(1));  // byte 0 is the length
      c->kind = kFormula | kFileFormBit;
      store.StoreFormulaNumber(*c, value, (s.flags & kStagedError) != 0);
      formulas_.push_back(c->id);
      lastFormula_ = c;
      break;
  }
  return c;
}

void Loader::RemapUserFunctions() {
  if (userFunctions_.empty()) return;
  FormulaEngine& engine = Engine(doc_.session());
  std::vector<std::uint8_t> map(256, 0);
  for (std::size_t i = 0; i < userFunctions_.size(); ++i) {
    const UserFunction& f = userFunctions_[i];
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
  if (settingsNameSeen_) {
    settings_.hideZeros = (settingsFlags_ & 1) != 0;
    settings_.negativeColour = (settingsFlags_ & 4) != 0;
    extras_.settingsOption = settingsOption_ == 255 ? 0 : settingsOption_;
  }
  if (pages_ != 0 && pages_ <= 64 && (pages_ & (pages_ - 1)) == 0)
    settings_.pageHeight = static_cast<std::int16_t>(kRowCount / pages_);
  doc_.settings() = settings_;
  doc_.extras() = std::move(extras_);
  for (const StagedName& n : names_) doc_.names().DefineName(n.name, n.range);

  GridMetrics& m = doc_.metrics();
  // A stored width (even one equal to the default) is the column's own; only
  // 255 and an absent record follow the default. The same for heights.
  for (auto [col, w] : extWidths_.empty() ? standardWidths_ : extWidths_) {
    if (w == 255) m.ResetColumnWidth(col);
    else m.SetColumnWidth(col, static_cast<std::int16_t>(w * 8));
  }
  for (auto [row, h] : heights_) {
    if (h == 255) m.ResetRowHeight(row);
    else m.SetRowHeight(row, static_cast<std::int16_t>(h));
  }

  {
    std::vector<std::uint16_t> perRow(kRowCount, 0);
    std::size_t formulas = 0;
    for (const StagedCell& s : cells_) {
      perRow[s.row] += s.type != kRecFormulaText;
      formulas += s.type == kRecFormula;
    }
    for (int row = 0; row < kRowCount; ++row)
      if (perRow[row] > 2) store.ReserveRow(row, perRow[row]);
    formulas_.reserve(formulas);
    store.ReserveDependents(formulas);  // at least one reference each, as a rule
  }
  for (const StagedCell& s : cells_)
    if (PutCell(s, s.row, s.col, (options_ & kValuesOnly) != 0, 0) != nullptr) ++result.cells;
  for (const StagedAttributes& a : attributes_) {
    CellRecord* c = store.FindCell(a.row, a.col);
    if (c == nullptr) continue;
    c->font = fontMap_[a.font];
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
      for (const StagedName& n : names_)
        if (n.name == key) area = n.range;
    }
  }
  if (!area.IsDefined()) return;
  int dRow = insert.row - area.Top(), dCol = insert.col - area.Left();
  if (filter.empty() && !(options_ & kExternalLoad)) {
    for (const StagedName& n : names_) {
      CellRange r = n.range;
      if (r.IsDefined()) {
        r.firstCol = static_cast<std::int16_t>(r.firstCol + dCol);
        r.lastCol = static_cast<std::int16_t>(r.lastCol + dCol);
        r.firstRow = static_cast<std::int16_t>(r.firstRow + dRow);
        r.lastRow = static_cast<std::int16_t>(r.lastRow + dRow);
      }
      doc_.names().DefineName(n.name, r);
    }
    if (settingsNameSeen_) {
      doc_.settings().hideZeros = (settingsFlags_ & 1) != 0;
      doc_.settings().negativeColour = (settingsFlags_ & 4) != 0;
    }
  }
  bool valuesOnly = (options_ & kValuesOnly) != 0;
  unsigned combine = options_ & kCombineMask;
  for (const StagedCell& s : cells_) {
    if (!area.Contains(s.row, s.col)) continue;
    int row = s.row + dRow, col = s.col + dCol;
    if (!RowInSheet(row) || !ColumnInSheet(col)) continue;
    if (PutCell(s, row, col, valuesOnly, combine) != nullptr) ++result.cells;
  }
  if (!(options_ & kExternalLoad)) LinkFormulas(true);
}

// ---------------------------------------------------------------------------
// Saving

class Saver {
 public:
  Saver(SheetDocument& doc, const CellRange& extract, std::string_view user)
      : doc_(doc), store_(doc.cells()), extract_(extract.IsDefined()), user_(user) {
    if (extract_) {
      top_ = extract.Top();
      left_ = extract.Left();
      bottom_ = std::min(extract.Bottom(), kRowCount - 1);
      right_ = std::min(extract.Right(), kColumnCount - 1);
    } else {
      bottom_ = store_.maxRow();
      right_ = store_.maxCol();
    }
  }
  bool Write(const std::string& path);

 private:
  void Header(std::uint16_t type, std::uint16_t length) {
    w_.U16(type);
    w_.U16(length);
  }
  void Range(const CellRange& r) {
    w_.U16(static_cast<std::uint16_t>(r.firstCol));
    w_.U16(static_cast<std::uint16_t>(r.firstRow));
    w_.U16(static_cast<std::uint16_t>(r.lastCol));
    w_.U16(static_cast<std::uint16_t>(r.lastRow));
  }
  void TextRecord(std::uint8_t type, std::string_view text, std::size_t max) {
    text = CutTo(text, max);
    std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    Header(type, static_cast<std::uint16_t>(text.size() + 1));
    w_.Bytes(text.data(), text.size());
    w_.U8(0);
  }
  void Byte(std::uint8_t type, std::uint8_t v) {
    Header(type, 1);
    w_.U8(v);
  }
  void Window(std::uint8_t type, const PaneState& p, std::uint8_t format);
  void Settings();
  void Cells();
  void Cell(const CellRecord& c);
  void Extension();
  bool HasAttributes(const CellRecord& c) const {
    return c.font != kDefaultFont || c.fontSize != 0 || c.style != 0 || c.borders != 0 ||
           c.colour != kNewCellColour;
  }

  SheetDocument& doc_;
  CellStore& store_;
  bool extract_;
  std::string_view user_;
  int top_ = 0, left_ = 0, bottom_ = 0, right_ = 0;
  FileWriter w_;
  std::array<bool, 256> fontUsed_{};
};

void Saver::Window(std::uint8_t type, const PaneState& p, std::uint8_t format) {
  Header(type, 31);
  w_.U16(p.cursorCol);
  w_.U16(p.cursorRow);
  w_.U8(format);
  w_.U8(0);
  w_.U16(9);   // column width
  w_.U16(7);   // columns on screen
  w_.U16(20);  // rows on screen
  w_.U16(p.leftCol);
  w_.U16(p.topRow);
  for (int i = 0; i < 4; ++i) w_.U16(0);  // titles
  w_.U16(4);
  w_.U16(4);
  w_.U16(72);
  w_.U8(0);
}

void Saver::Settings() {
  const SheetSettings& s = doc_.settings();
  const WorksheetExtras& x = doc_.extras();
  Byte(kRecCalcMode, s.manualRecalc ? 0x00 : 0xFF);
  Byte(kRecSplit, x.split ? (x.splitSecondDirection ? 1 : 0xFF) : 0);
  Byte(kRecSync, x.synchronised ? 0xFF : 0);
  Window(kRecWindow1, x.pane1, s.defaultFormat);
  const GridMetrics& m = doc_.metrics();
  for (int c = 0; c < kColumnCount; ++c) {
    if (m.FollowsDefaultWidth(c) && m.columnWidths[c] == kDefaultColumnWidth) continue;
    Header(kRecColumnWidth, 3);
    w_.U16(static_cast<std::uint16_t>(c));
    w_.U8(static_cast<std::uint8_t>(std::clamp(m.columnWidths[c] / 8, 0, 254)));
  }
  if (x.split) Window(kRecWindow2, x.pane2, 0x71);

  // The settings name, then the range names.
  Header(kRecName, 24);
  std::uint8_t flags = (s.hideZeros ? 1 : 2) | (s.negativeColour ? 4 : 0);
  std::uint8_t field[16] = {'G', '!', static_cast<std::uint8_t>(x.settingsOption == 0 ? 255 : x.settingsOption),
                            flags, 'P', 0x01};
  w_.Bytes(field, 16);
  for (int i = 0; i < 4; ++i) w_.U16(0);
  for (const RangeName& n : doc_.names().entries()) {
    Header(kRecName, 24);
    std::uint8_t name[16] = {};
    std::memcpy(name, n.name.data(), std::min<std::size_t>(n.name.size(), 15));
    w_.Bytes(name, 16);
    Range(n.range);
  }

  Header(kRecWhatIf, 25);
  w_.U8(x.whatIfKind);
  Range(x.whatIfTable);
  Range(x.whatIfInput1);
  Range(x.whatIfInput2);
  Header(kRecQuery, 25);
  Range(x.queryInput);
  Range(x.queryOutput);
  Range(x.queryCriteria);
  w_.U8(0);
  Header(kRecPrintRange, 8);
  Range(x.printRange);
  Header(kRecSortRange, 8);
  Range(x.sortData);
  Header(kRecSortKey1, 9);
  Range(x.sortKeys[0]);
  w_.U8(0xFF);
  Header(kRecSortKey2, 9);
  Range(x.sortKeys[1]);
  w_.U8(0xFF);
  Byte(kRecProtect, s.protect ? 0xFF : 0);
  TextRecord(kRecFooter, x.printFooter, kMaxText);
  TextRecord(kRecHeader, x.printHeader, kMaxText);
  TextRecord(kRecSetup, x.printerSetup, kMaxText);
  Header(kRecMargins, 10);
  auto word = [](double v) {
    return static_cast<std::uint16_t>(std::clamp(std::round(v), 0.0, 65535.0));
  };
  w_.U16(word(x.margins[1] / kMarginColumn));
  w_.U16(word((8.5 - x.margins[2]) / kMarginColumn));
  w_.U16(66);
  w_.U16(word(x.margins[0] / kMarginLine));
  w_.U16(word(x.margins[3] / kMarginLine));
  Byte(kRecLabelPrefix, static_cast<std::uint8_t>(s.labelPrefix));
  Header(kRecTitles, 16);
  Range(x.titleRows);
  Range(x.titleCols);
  Header(kRecGraph, kGraphBlockBytes);
  w_.Bytes(GraphBlock(x.graphs.current).data(), kGraphBlockBytes);
  for (const NamedGraph& g : x.graphs.named) {
    Header(kRecNamedGraph, kGraphFileNameBytes + kGraphBlockBytes);
    w_.Bytes(GraphFileName(g).data(), kGraphFileNameBytes);
    w_.Bytes(GraphBlock(g.settings).data(), kGraphBlockBytes);
  }
}

void Saver::Cell(const CellRecord& c) {
  std::uint16_t col = static_cast<std::uint16_t>(c.col - left_);
  std::uint16_t row = static_cast<std::uint16_t>(c.row - top_);
  auto start = [&](std::uint8_t type, std::size_t length) {
    Header(type, static_cast<std::uint16_t>(length));
    w_.U8(c.format);
    w_.U16(col);
    w_.U16(row);
  };
  if (c.font != kDefaultFont) fontUsed_[c.font] = true;
  switch (c.Kind()) {
    case kEmpty:
      if (c.format != (kLockBit | kDefaultFormat) || HasAttributes(c)) start(kRecBlank, 5);
      break;
    case kInteger:
      start(kRecInteger, 7);
      w_.U16(static_cast<std::uint16_t>(c.value.integer));
      break;
    case kReal:
      start(kRecNumber, 13);
      w_.Double(c.value.num);
      break;
    case kLabel: {
      std::string_view text = c.TextView();
      text = text.substr(0, text.find('\0'));
      start(kRecLabel, 6 + text.size());
      w_.Bytes(text.data(), text.size());
      w_.U8(0);
      break;
    }
    case kFormula:
    case kStringFormula: {
      if (c.text == nullptr) break;
      int end = CodeEnd(c.text);
      if (end < 2 || end > kMaxCode) break;
      std::uint8_t code[kMaxCode + 1];
      std::memcpy(code, c.text, end + 1);
      ToRelativeForm(code, store_, c.row, c.col);
      std::size_t length = static_cast<std::size_t>(end - 1);  // without the two header bytes
      start(kRecFormula, 15 + length);
      bool text = c.KindAndError() == kStringFormula;
      if (c.HasError()) {
        const std::uint8_t error[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x7F};
        w_.Bytes(error, 8);
      } else {
        w_.Double(text ? 0.0 : c.value.num);
      }
      w_.U16(static_cast<std::uint16_t>(length));
      w_.Bytes(code + 2, length);
      if (text) {
        std::string_view value = PStringView(c.value.str);
        value = value.substr(0, value.find('\0'));
        start(kRecFormulaText, 6 + value.size());
        w_.Bytes(value.data(), value.size());
        w_.U8(0);
      }
      break;
    }
  }
}

void Saver::Cells() {
  store_.ForEachIn(top_, left_, bottom_, right_, [&](CellRecord& c) {
    if (!w_.failed()) Cell(c);
  });
}

void Saver::Extension() {
  WorksheetExtras& x = doc_.extras();
  const SheetSettings& s = doc_.settings();
  Header(kExtGraph, kGraphExtBlockBytes);
  w_.Bytes(GraphExtBlock(x.graphs.current).data(), kGraphExtBlockBytes);
  for (const NamedGraph& g : x.graphs.named) {
    Header(kExtNamedGraph, kGraphExtBlockBytes);
    w_.Bytes(GraphExtBlock(g.settings).data(), kGraphExtBlockBytes);
  }
  for (const auto& button : x.buttons) {
    Header(kExtButton, kSheetButtonBytes);
    w_.Bytes(button.data(), kSheetButtonBytes);
  }
  Header(kExtWindow, 2);
  w_.U8(1);
  w_.U8(static_cast<std::uint8_t>(doc_.slot()));
  Header(kExtSortKeys, 18);
  Range(x.sortKeys[2]);
  w_.U8(x.sortAscending[2] ? 0xFF : 0);
  Range(x.sortKeys[3]);
  w_.U8(x.sortAscending[3] ? 0xFF : 0);
  Header(kExtRegression, 26);
  Range(x.regressionX);
  Range(x.regressionY);
  w_.Bytes(x.regressionCodes.data(), 10);
  Header(kExtColours, 28);
  for (std::uint32_t c : x.colours) w_.U32(c);
  Header(kExtMargins, 24);
  for (double m : x.margins) w_.U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(m * 100))));
  for (const std::string& tab : x.pageTabs) TextRecord(kExtPageTab, tab, 80);
  for (const UserFunction& f : Engine(doc_.session()).usedFunctions) {
    Header(kExtUserFunction, kUserFunctionBytes);
    std::uint8_t rec[kUserFunctionBytes] = {};
    std::size_t n = std::min<std::size_t>(f.name.size(), kMaxNameLength);
    rec[0] = static_cast<std::uint8_t>(n);
    std::memcpy(rec + 1, f.name.data(), n);
    std::size_t d = std::min<std::size_t>(f.definition.size(), 255);
    rec[14] = static_cast<std::uint8_t>(d);
    std::memcpy(rec + 15, f.definition.data(), d);
    WriteU32(rec + 270, static_cast<std::uint32_t>(f.argCount));
    w_.Bytes(rec, kUserFunctionBytes);
  }
  for (int i = 0; i < 255; ++i) {
    if (!fontUsed_[i] || i >= static_cast<int>(x.fontNames.size())) continue;
    std::string_view name = CutTo(x.fontNames[i], 80);
    Header(kExtFont, static_cast<std::uint16_t>(name.size() + 3));
    w_.U16(static_cast<std::uint16_t>(i));
    w_.Bytes(name.data(), name.size());
    w_.U8(0);
  }
  std::string_view font = CutTo(x.sheetFontName, 80);
  Header(kExtSheetFont, static_cast<std::uint16_t>(font.size() + 5));
  w_.U16(static_cast<std::uint16_t>(x.sheetRowHeight));
  w_.U16(x.sheetFontStyle);
  w_.Bytes(font.data(), font.size());
  w_.U8(0);

  const PaneLayout& p = x.layout;
  Header(kExtPaneLayout, kPaneLayoutBytes);
  w_.U16(s.pageHeight > 0 ? static_cast<std::uint16_t>(kRowCount / s.pageHeight) : 0);
  w_.Bytes(p.displayOptions.data(), 3);
  w_.U8(p.activePane);
  for (std::int16_t v : {p.pane1.leftCol, p.pane1.topRow, p.pane1.cursorCol, p.pane1.cursorRow,
                         p.pane1Height, p.pane1Width, p.pane2.leftCol, p.pane2.topRow,
                         p.pane2.cursorCol, p.pane2.cursorRow})
    w_.U16(static_cast<std::uint16_t>(v));
  for (std::int16_t v : p.frozen) w_.U16(static_cast<std::uint16_t>(v));

  TextRecord(kExtTitle, x.title, 80);
  TextRecord(kExtComments, x.comments, 255);
  x.revisedBy = CutTo(user_, 80);
  TextRecord(kExtRevisedBy, x.revisedBy, 80);
  if (x.createdTime < 0) CurrentDateAndTime(x.createdDate, x.createdTime);
  Header(kExtCreated, 16);
  w_.Double(x.createdTime);
  w_.Double(x.createdDate);

  store_.ForEachIn(top_, left_, bottom_, right_, [&](CellRecord& c) {
    if (!HasAttributes(c)) return;
    Header(kExtAttributes, 12);
    w_.U16(static_cast<std::uint16_t>(c.row - top_));
    w_.U16(static_cast<std::uint16_t>(c.col - left_));
    w_.U8(c.font);
    w_.U8(c.fontSize);
    w_.U8(c.style);
    w_.U8(c.borders);
    w_.U32(c.colour);
  });
  const GridMetrics& m = doc_.metrics();
  for (int c = 0; c < kColumnCount; ++c) {
    if (m.FollowsDefaultWidth(c) && m.columnWidths[c] == kDefaultColumnWidth) continue;
    Header(kExtColumnWidth, 3);
    w_.U16(static_cast<std::uint16_t>(c));
    w_.U8(static_cast<std::uint8_t>(std::clamp(m.columnWidths[c] / 8, 0, 254)));
  }
  for (int r = 0; r < kRowCount && r < static_cast<int>(m.rowHeights.size()); ++r) {
    if (m.FollowsDefaultHeight(r) && m.rowHeights[r] == kDefaultRowHeight) continue;
    Header(kExtRowHeight, 3);
    w_.U16(static_cast<std::uint16_t>(r));
    w_.U8(static_cast<std::uint8_t>(std::clamp<int>(m.rowHeights[r], 0, 254)));
  }
}

bool Saver::Write(const std::string& path) {
  if (!w_.Create(path)) return false;
  Header(kRecBof, 2);
  w_.U16(kFileVersion);
  Header(kRecActiveArea, 8);
  w_.U16(0);
  w_.U16(0);
  w_.U16(static_cast<std::uint16_t>(right_ - left_));
  w_.U16(static_cast<std::uint16_t>(bottom_ - top_));
  if (!extract_) Settings();
  Cells();
  Header(kRecEof, 0);
  w_.U8(0x1A);
  w_.U8(0x00);
  Extension();
  Header(kRecEof, 0);
  w_.U8(0x1A);
  w_.U8(0x1A);
  return w_.Finish();
}

std::string SignedInUser() {
  for (const char* var : {"USER", "LOGNAME", "USERNAME"})
    if (const char* v = std::getenv(var); v != nullptr && *v != 0) return v;
  return {};
}

}  // namespace

std::string WorksheetFileName(std::string_view fileName) {
  std::string name(fileName);
  if (!name.empty() && !HasExtension(name)) name += ".WKS";
  return name;
}

std::string BackupFileName(std::string_view fileName) {
  std::string name(fileName);
  if (name.empty()) return name;
  char last = name.back();
  name.back() = (last >= 'a' && last <= 'z') ? 'b' : 'B';
  return name;
}

LoadResult LoadWorksheet(SheetDocument& doc, std::string_view fileName, unsigned options,
                         CellAddress insert, std::string_view filter) {
  LoadResult result;
  std::string path = WorksheetFileName(fileName);
  Loader loader(doc, options);
  if (!loader.Read(path, result.message)) {
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
  result.ok = true;
  return result;
}

bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract) {
  return SaveWorksheet(doc, fileName, extract, SignedInUser());
}

bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract,
                   std::string_view userName) {
  namespace fs = std::filesystem;
  std::string target = WorksheetFileName(fileName);
  std::string temp = target + ".~tmp";
  std::error_code ec;
  bool ok = false;
  try {
    Saver saver(doc, extract, userName);
    ok = !target.empty() && saver.Write(temp);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (ok && fs::exists(target, ec)) {
    // Keep the previous file as the backup; the new one replaces it in one
    // rename, so the target is never missing or half written.
    std::string backup = BackupFileName(target);
    if (backup != target && fs::is_regular_file(target, ec)) {
      fs::remove(backup, ec);
      fs::create_hard_link(target, backup, ec);
      if (ec) fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
    }
  }
  if (ok) {
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(temp, ec);
    doc.session().errors().Fail(kSaveFailed);
    return false;
  }
  if (!extract.IsDefined()) {
    doc.settings().modified = false;
    doc.SetFileName(target);
  }
  return true;
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
    if (type == kRecName && length >= 24 && length <= 39) {
      name = b.Text(0, 16);
      range = ReadRange(b, 16);
    } else if (type == kRecLongName && length >= 10) {
      name = b.Text(0, length - 9);
      range = ReadRange(b, length - 9);
    } else {
      continue;
    }
    if (name.empty() || (name.size() >= 6 && name[0] == 'G' && name[1] == '!')) continue;
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
