// What the worksheet reader and writer share: the record type numbers of
// both sections, the colour palette of the type word's high byte, the sizes
// of fixed records and the messages. Internal to io/.
#pragma once

#include <cstdint>
#include <string_view>

#include "io/byte_io.h"
#include "sheet/address.h"

namespace tabulon::wks {

inline constexpr std::uint16_t kFileVersion = 0x0404;

// Record types of the standard section.
enum : std::uint8_t {
  kRecBof = 0, kRecEof = 1, kRecCalcMode = 2, kRecCalcOrder = 3, kRecSplit = 4, kRecSync = 5,
  kRecActiveArea = 6, kRecWindow1 = 7, kRecColumnWidth = 8, kRecWindow2 = 9, kRecName = 11,
  kRecBlank = 12, kRecInteger = 13, kRecNumber = 14, kRecLabel = 15, kRecFormula = 16,
  kRecWhatIf = 24, kRecQuery = 25, kRecPrintRange = 26, kRecSortRange = 27, kRecSortKey1 = 29,
  kRecSortKey2 = 35, kRecProtect = 36, kRecFooter = 37, kRecHeader = 38, kRecSetup = 39,
  kRecMargins = 40, kRecLabelPrefix = 41, kRecTitles = 42, kRecActivePane = 49,
  kRecFormulaText = 51, kRecLongName = 71,
  // Graph records.
  kRecGraph = 45, kRecNamedGraph = 46,
};

// Record types of the extension section (some numbers mean something else
// in the standard section).
enum : std::uint8_t {
  kExtWindow = 7, kExtAttributes = 8, kExtRowHeight = 10, kExtColumnWidth = 11,
  kExtSortKeys = 29, kExtButton = 80, kExtRegression = 103, kExtUserFunction = 105,
  kExtColours = 110, kExtMargins = 112, kExtPageTab = 114, kExtFont = 116, kExtSheetFont = 118,
  kExtPaneLayout = 120, kExtTitle = 122, kExtComments = 124, kExtRevisedBy = 126,
  kExtCreated = 128,
  // Graph records: the extended blocks of the current and the named graphs.
  kExtGraph = 45, kExtNamedGraph = 46,
};

// Colours of the high byte of a cell record's type word.
inline constexpr std::uint32_t kPalette[16] = {
    0,        0x800000, 0x8000,   0x808000, 0x80,     0x800080, 0x8080,   0xC0C0C0,
    0x808080, 0xFF0000, 0xFF00,   0xFFFF00, 0xFF,     0xFF00FF, 0xFFFF,   0xFFFFFF};

inline constexpr int kMaxFileNames = 240;  // name records beyond this many are ignored
inline constexpr int kNameRecordBytes = 24;
inline constexpr int kWindowRecordBytes = 31;
inline constexpr int kUserFunctionBytes = 274;
inline constexpr int kPaneLayoutBytes = 34;
inline constexpr int kShortPaneLayoutBytes = 26;
inline constexpr int kMaxPageTabs = 64;
inline constexpr double kMarginColumn = 0.0125 * 8.5;  // inches per margin column unit
inline constexpr double kMarginLine = 11.0 / 60.0;     // inches per margin line unit

inline constexpr char kOpenFailed[] = "Unable to Open File";
inline constexpr char kInvalidFile[] = "Invalid WKS File!";
inline constexpr char kOutOfMemory[] = "Out of Memory/File may be truncated";
inline constexpr char kSaveFailed[] = "Unable to CLOSE file";

// The two words of an error value in a formula record's value field.
inline bool IsErrorValue(const Bytes& b, std::size_t off) {
  return b.U8(off + 6) == 0xF0 && b.U8(off + 7) == 0x7F;
}

inline CellRange ReadRange(const Bytes& b, std::size_t off) {
  return {b.I16(off), b.I16(off + 2), b.I16(off + 4), b.I16(off + 6)};
}

// The settings name: a name record whose name starts with "G!" and has at
// least six characters carries sheet options, not a range.
inline bool IsSettingsName(std::string_view name) {
  return name.size() >= 6 && name[0] == 'G' && name[1] == '!';
}

}  // namespace tabulon::wks
