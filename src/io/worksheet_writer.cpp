// Writing worksheet files: the standard section (settings, cells), then
// the extension section, in the order readers expect.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <new>

#include "edit/cell_text.h"
#include "formula/engine.h"
#include "formula/formula_code.h"
#include "io/byte_io.h"
#include "io/safe_file.h"
#include "io/worksheet_file.h"
#include "io/worksheet_records.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

using namespace wks;

namespace {

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

class Saver {
 public:
  Saver(SheetDocument& doc, const CellRange& extract, std::string_view user, FileWriter& out)
      : doc_(doc), store_(doc.cells()), extract_(extract.IsDefined()), user_(user), w_(out) {
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
  // Writes the records; false when a write failed.
  bool Write();

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
  void GraphRecords();
  void GraphExtensionRecords();
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
  FileWriter& w_;
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
  GraphRecords();
}

// Graph records of the standard section: the current graph's settings
// block, then each named graph's name and block.
void Saver::GraphRecords() {
  const GraphBook& graphs = doc_.extras().graphs;
  Header(kRecGraph, kGraphBlockBytes);
  w_.Bytes(GraphBlock(graphs.current).data(), kGraphBlockBytes);
  for (const NamedGraph& g : graphs.named) {
    Header(kRecNamedGraph, kGraphFileNameBytes + kGraphBlockBytes);
    w_.Bytes(GraphFileName(g).data(), kGraphFileNameBytes);
    w_.Bytes(GraphBlock(g.settings).data(), kGraphBlockBytes);
  }
}

// Graph records of the extension section: the extended blocks, in the
// order of the graphs.
void Saver::GraphExtensionRecords() {
  const GraphBook& graphs = doc_.extras().graphs;
  Header(kExtGraph, kGraphExtBlockBytes);
  w_.Bytes(GraphExtBlock(graphs.current).data(), kGraphExtBlockBytes);
  for (const NamedGraph& g : graphs.named) {
    Header(kExtNamedGraph, kGraphExtBlockBytes);
    w_.Bytes(GraphExtBlock(g.settings).data(), kGraphExtBlockBytes);
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
  GraphExtensionRecords();
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

bool Saver::Write() {
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
  return !w_.failed();
}

std::string SignedInUser() {
  for (const char* var : {"USER", "LOGNAME", "USERNAME"})
    if (const char* v = std::getenv(var); v != nullptr && *v != 0) return v;
  return {};
}

}  // namespace

bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract) {
  return SaveWorksheet(doc, fileName, extract, SignedInUser());
}

bool SaveWorksheet(SheetDocument& doc, std::string_view fileName, const CellRange& extract,
                   std::string_view userName) {
  std::string target = WorksheetFileName(fileName);
  bool ok = false;
  if (!target.empty()) {
    // The previous file stays as the backup; a failed save leaves it and
    // the target as they were.
    SafeFileWriter file(target, [](const std::string& t) { return BackupFileName(t); });
    try {
      Saver saver(doc, extract, userName, file.out());
      ok = file.opened() && saver.Write() && file.Commit();
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (!ok) {
    doc.session().errors().Fail(kSaveFailed);
    return false;
  }
  if (!extract.IsDefined()) {
    doc.settings().modified = false;
    doc.SetFileName(target);
  }
  return true;
}

}  // namespace tabulon
