#include "io/text_export.h"

#include "display/format.h"
#include "edit/cell_text.h"
#include "io/encoding.h"
#include "io/safe_file.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

std::string ExportCellText(SheetDocument& doc, const CellRecord* c, const FormatSettings& fs) {
  if (c == nullptr) return {};
  if (c->HasError()) return "ERR";
  switch (c->Kind()) {
    case kFormula:
    case kReal:
    case kInteger: {
      std::uint8_t format = EffectiveFormat(c->FormatCode(), doc.settings());
      return FormatValue(20, format, CellNumber(c), fs);
    }
    case kStringFormula:
    case kLabel: return CellStringValue(c);
    default: return {};
  }
}

// A comma-delimited field stays one field: text holding the delimiter, a
// double quote or a line break is quoted, its inner quotes doubled.
std::string CommaField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string field = "\"";
  for (char ch : text) {
    if (ch == '"') field += '"';
    field += ch;
  }
  field += '"';
  return field;
}

}  // namespace

std::string ExportTextString(SheetDocument& doc, const CellRange& range, TextExportMode mode) {
  std::string out;
  if (!range.IsDefined()) return out;
  FormatSettings fs = FormatSettingsOf(doc);
  for (int r = range.Top(); r <= range.Bottom(); ++r) {
    for (int col = range.Left(); col <= range.Right(); ++col) {
      if (col > range.Left()) out += ',';
      std::string text;
      for (char ch : ExportCellText(doc, doc.cells().FindCell(r, col), fs))
        if (ch != ' ') text.push_back(ch);
      if (text.size() > 80) text.resize(80);
      if (mode == TextExportMode::Quoted && !text.empty()) out += '"' + text + '"';
      else out += CommaField(text);
    }
    out += "\r\n";
  }
  return out;
}

bool ExportText(SheetDocument& doc, std::string_view fileName, TextExportMode mode,
                const CellRange& range, bool utf8) {
  std::string text = ExportTextString(doc, range, mode);
  return WriteFileSafely(fileName, utf8 ? Cp1252ToUtf8(text) : text);
}

}  // namespace tabulon
