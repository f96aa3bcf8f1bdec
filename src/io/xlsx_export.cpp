// Writing a worksheet as a workbook through libxlsxwriter: cells with their
// formats, live formulas with cached values, names, column widths, row
// heights, the print range and titles.
#include "io/xlsx_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "display/format.h"
#include "formula/formula_text.h"
#include "io/encoding.h"
#include "io/safe_file.h"
#include "io/worksheet_records.h"
#include "sheet/cell_record.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

namespace fs = std::filesystem;

constexpr char kSheetName[] = "Sheet1";

// The workbook takes the error value as a formula: ERR goes out as #VALUE!.
constexpr char kErrorValue[] = "#VALUE!";

// Whether `name` reads as a cell address in the workbook's A1 form (columns
// up to XFD, rows up to 1048576) or its R1C1 form.
bool LooksLikeAddress(const std::string& name) {
  std::size_t i = 0;
  while (i < name.size() && name[i] >= 'A' && name[i] <= 'Z') ++i;
  std::size_t letters = i;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
  if (i == name.size() && letters >= 1 && letters <= 3 && letters < name.size()) {
    std::string col = name.substr(0, letters);
    bool colOk = letters < 3 || col <= "XFD";
    std::string digits = name.substr(letters);
    bool rowOk = digits.size() < 7 || (digits.size() == 7 && digits <= "1048576");
    if (colOk && rowOk) return true;
  }
  // R1C1 forms: R, C, Rn, Cn, RnCn, RC.
  auto digitsFrom = [&](std::size_t& k) {
    while (k < name.size() && name[k] >= '0' && name[k] <= '9') ++k;
  };
  std::size_t k = 0;
  bool any = false;
  if (k < name.size() && name[k] == 'R') ++k, digitsFrom(k), any = true;
  if (k < name.size() && name[k] == 'C') ++k, digitsFrom(k), any = true;
  return any && k == name.size();
}

// Names the workbook reserves or that read as its functions' names.
bool IsReservedName(const std::string& name) {
  static constexpr std::string_view kReserved[] = {
      "TRUE", "FALSE", "SUM", "AVERAGE", "COUNT", "MIN", "MAX", "IF", "AND", "OR", "NOT",
      "ABS", "INT", "ROUND", "DATE", "NOW", "TODAY", "PI", "N", "T", "LOG", "LN", "EXP",
      "MOD", "INDEX", "ROWS", "COLUMNS", "CHOOSE", "LEFT", "RIGHT", "MID", "LEN", "TRIM",
      "UPPER", "LOWER", "EXACT", "VAR", "STDEV", "PRINT_AREA", "PRINT_TITLES"};
  for (std::string_view r : kReserved)
    if (name == r) return true;
  return false;
}

}  // namespace

std::vector<XlsxName> WorkbookNames(const SheetDocument& doc) {
  std::vector<XlsxName> out;
  for (const RangeName& entry : doc.names().entries()) {
    if (!entry.range.IsDefined()) continue;
    std::string name;
    for (unsigned char c : entry.name) {
      bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '_' || c == '.' || c == '\\';
      name += ok ? static_cast<char>(c) : '_';
    }
    bool startsWell = !name.empty() && ((name[0] >= 'A' && name[0] <= 'Z') ||
                                        (name[0] >= 'a' && name[0] <= 'z') || name[0] == '_');
    if (!startsWell || LooksLikeAddress(name) || IsReservedName(name)) name = "_" + name;
    // Keep the names apart after the changes.
    std::string base = name;
    for (int n = 2;; ++n) {
      bool taken = false;
      for (const XlsxName& x : out) taken = taken || x.exported == name;
      if (!taken) break;
      name = base + "_" + std::to_string(n);
    }
    out.push_back({entry.name, name, entry.range});
  }
  return out;
}

namespace {

// 0x00BBGGRR as the cell colour word holds it, to the workbook's 0xRRGGBB.
lxw_color_t WorkbookColour(std::uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

std::string Decimals(int d) { return d > 0 ? "." + std::string(static_cast<std::size_t>(d), '0') : ""; }

std::string Quoted(const std::string& s) {
  if (s.empty()) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

// The workbook's number format for a format code; empty for General.
std::string NumberFormat(std::uint8_t format, const FormatSettings& fs) {
  int p = format & 0x0F;
  switch ((format >> 4) & 7) {
    case 0: return "0" + Decimals(p);
    case 1: return "0" + Decimals(p) + "E+000";
    case 2: {
      if (p & 8) return "# ?/" + std::to_string(1 << (p & 7));
      std::string pre = Quoted(Cp1252ToUtf8(fs.currencyPrefix));
      std::string suf = Quoted(Cp1252ToUtf8(fs.currencySuffix));
      std::string body = "#,##0" + Decimals(p & 7);
      return pre + body + suf + "_);(" + pre + body + suf + ")";
    }
    case 3: return "0" + Decimals(p & 7) + "%";
    case 4: {
      std::string body = "#,##0" + Decimals(p & 7);
      return body + "_);(" + body + ")";
    }
    case 5: return "##0" + Decimals(p) + "E+0";
    case 6: return "";
    default: break;
  }
  switch (format) {
    case 114: return "dd-mmm-yyyy";
    case 115: return "dd-mmm";
    case 116: return "mmm yyyy";
    case 118: return ";;;";
    case 119: return "h:mm:ss AM/PM";
    case 120: return "h:mm AM/PM";
    case 121: return "mm/dd/yyyy";
    case 122: return "dd/mm/yyyy";
    case 123: return "hh:mm:ss";
    case 124: return "hh:mm";
    case 126: return "@";
    default: return "";
  }
}

// Everything that decides a cell's workbook format.
using FormatKey = std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint32_t,
                             std::uint8_t, int, bool>;

class Writer {
 public:
  Writer(SheetDocument& doc, lxw_workbook* book, lxw_worksheet* sheet, bool cached)
      : doc_(doc), book_(book), sheet_(sheet), cached_(cached), fs_(FormatSettingsOf(doc)),
        names_(WorkbookNames(doc)) {}

  void Cells(const CellRange& range, XlsxExportResult& result) {
    doc_.cells().ForEachIn(range.Top(), range.Left(), range.Bottom(), range.Right(),
                           [&](CellRecord& cell) { Cell(cell, result); });
  }

  void Names(XlsxExportResult& result) {
    for (const XlsxName& n : names_) {
      const CellRange& r = n.range;
      std::string ref = std::string("=") + kSheetName + "!$" + ColumnLetters(r.Left()) + "$" +
                        std::to_string(r.Top() + 1);
      if (!r.IsSingleCell())
        ref += ":$" + ColumnLetters(r.Right()) + "$" + std::to_string(r.Bottom() + 1);
      workbook_define_name(book_, n.exported.c_str(), ref.c_str());
      if (n.exported != n.original)
        result.notes.push_back("range name " + Cp1252ToUtf8(n.original) + " is written as " +
                               n.exported + " (the workbook cannot hold it as it is)");
    }
  }

  void Layout(const CellRange& range) {
    GridMetrics& m = doc_.metrics();
    for (int c = range.Left(); c <= range.Right(); ++c) {
      int w = m.columnWidths[static_cast<std::size_t>(c)];
      if (w == kDefaultColumnWidth) continue;
      lxw_row_col_options hidden{};
      hidden.hidden = 1;
      worksheet_set_column_pixels_opt(sheet_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                      static_cast<std::uint32_t>(std::max(w, 0)), nullptr,
                                      w <= 0 ? &hidden : nullptr);
    }
    for (int r = range.Top(); r <= range.Bottom(); ++r) {
      int h = m.rowHeights[static_cast<std::size_t>(r)];
      if (m.FollowsDefaultHeight(r) && h == kDefaultRowHeight) continue;
      if (h <= 0) continue;
      worksheet_set_row_pixels(sheet_, static_cast<lxw_row_t>(r), static_cast<std::uint32_t>(h), nullptr);
    }
    const WorksheetExtras& x = doc_.extras();
    if (x.printRange.IsDefined())
      worksheet_print_area(sheet_, static_cast<lxw_row_t>(x.printRange.Top()),
                           static_cast<lxw_col_t>(x.printRange.Left()),
                           static_cast<lxw_row_t>(x.printRange.Bottom()),
                           static_cast<lxw_col_t>(x.printRange.Right()));
    if (x.titleRows.IsDefined())
      worksheet_repeat_rows(sheet_, static_cast<lxw_row_t>(x.titleRows.Top()),
                            static_cast<lxw_row_t>(x.titleRows.Bottom()));
    if (x.titleCols.IsDefined())
      worksheet_repeat_columns(sheet_, static_cast<lxw_col_t>(x.titleCols.Left()),
                               static_cast<lxw_col_t>(x.titleCols.Right()));
    if (doc_.settings().protect) worksheet_protect(sheet_, nullptr, nullptr);
  }

  // One line per reason, most frequent first.
  void Reasons(XlsxExportResult& result) const {
    std::vector<std::pair<std::string, std::pair<std::size_t, std::string>>> list(
        reasons_.begin(), reasons_.end());
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return a.second.first > b.second.first;
    });
    std::vector<std::string> lines;
    for (const auto& [reason, count] : list)
      lines.push_back(std::to_string(count.first) + (count.first == 1 ? " cell" : " cells") +
                      " written as values: " + reason + " (first at " + count.second + ")");
    result.notes.insert(result.notes.begin(), lines.begin(), lines.end());
  }

 private:
  void Cell(CellRecord& cell, XlsxExportResult& result) {
    auto row = static_cast<lxw_row_t>(cell.row);
    auto col = static_cast<lxw_col_t>(cell.col);
    std::uint8_t kind = cell.Kind();
    ++result.cells;
    if (kind == kLabel) {
      std::string_view text = cell.TextView();
      char prefix = text.empty() ? '\'' : text[0];
      if (!text.empty()) text.remove_prefix(1);
      lxw_format* f = Format(cell, prefix);
      std::string utf8 = Clean(Cp1252ToUtf8(text), cell, result);
      if (utf8.empty())
        worksheet_write_blank(sheet_, row, col, f);
      else
        worksheet_write_string(sheet_, row, col, utf8.c_str(), f);
      return;
    }
    lxw_format* f = Format(cell, 0);
    if (kind == kReal || kind == kInteger) {
      double v = kind == kInteger ? cell.value.integer : cell.value.num;
      worksheet_write_number(sheet_, row, col, v, f);
      return;
    }
    if (kind == kEmpty) {
      if (f != nullptr) worksheet_write_blank(sheet_, row, col, f);
      return;
    }
    // A formula.
    XlsxFormula t = TranslateFormula(doc_, cell, names_);
    bool error = cell.HasError();
    std::string text = kind == kStringFormula ? Clean(Cp1252ToUtf8(PStringView(cell.value.str)), cell, result) : "";
    if (t.ok) {
      ++result.formulas;
      if (!cached_)
        worksheet_write_formula(sheet_, row, col, t.text.c_str(), f);
      else if (error)
        worksheet_write_formula_str(sheet_, row, col, t.text.c_str(), f, kErrorValue);
      else if (kind == kStringFormula)
        worksheet_write_formula_str(sheet_, row, col, t.text.c_str(), f, text.c_str());
      else
        worksheet_write_formula_num(sheet_, row, col, t.text.c_str(), f, cell.value.num);
      return;
    }
    ++result.valuesOnly;
    auto [it, fresh] = reasons_.try_emplace(t.reason, 0, AddressText(cell.row, cell.col, false, false, 0));
    ++it->second.first;
    if (error)
      worksheet_write_formula_str(sheet_, row, col, kErrorValue, f, kErrorValue);
    else if (kind == kStringFormula)
      worksheet_write_string(sheet_, row, col, text.c_str(), f);
    else
      worksheet_write_number(sheet_, row, col, cell.value.num, f);
    std::string comment = "TABULON formula: " + Cp1252ToUtf8(FormulaText(doc_, cell));
    worksheet_write_comment(sheet_, row, col, comment.c_str());
  }

  // XML cannot carry most control characters: they become "?".
  std::string Clean(std::string text, const CellRecord& cell, XlsxExportResult& result) {
    bool changed = false;
    for (char& c : text) {
      auto u = static_cast<unsigned char>(c);
      if (u < 32 && u != '\t' && u != '\n' && u != '\r') c = '?', changed = true;
    }
    if (changed && ++controlTexts_ == 1)
      result.notes.push_back("control characters in texts are written as \"?\" (first at " +
                             AddressText(cell.row, cell.col, false, false, 0) + ")");
    return text;
  }

  lxw_format* Format(const CellRecord& cell, char prefix) {
    std::uint8_t format = EffectiveFormat(cell.format, doc_.settings());
    int align = 0;  // 0 general, 1 left, 2 right, 3 centre, 4 fill
    if (prefix == '\'') align = 1;
    else if (prefix == '"') align = 2;
    else if (prefix == '^') align = 3;
    else if (prefix == '\\') align = 4;
    else if (prefix == 0) align = (cell.style >> 4) & 7;
    FormatKey key{format, cell.font, cell.fontSize, static_cast<std::uint8_t>(cell.style & 7),
                  cell.colour, cell.borders, align, cell.IsLocked()};
    auto it = formats_.find(key);
    if (it != formats_.end()) return it->second;
    lxw_format* f = workbook_add_format(book_);
    std::string number = NumberFormat(format, fs_);
    if (!number.empty()) format_set_num_format(f, number.c_str());
    const std::vector<std::string>& fonts = doc_.extras().fontNames;
    std::string face = doc_.extras().sheetFontName;
    if (cell.font != kDefaultFont && cell.font < fonts.size() && !fonts[cell.font].empty())
      face = fonts[cell.font];
    if (!face.empty()) format_set_font_name(f, Cp1252ToUtf8(face).c_str());
    format_set_font_size(f, cell.fontSize != 0 ? cell.fontSize : 10);
    if (cell.style & 1) format_set_bold(f);
    if (cell.style & 2) format_set_italic(f);
    if (cell.style & 4) format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (!(cell.colour & kColourSchemeFont)) {
      // The painter shows palette index i in entry i - 2.
      int index = static_cast<int>((cell.colour >> 24) & 0x0F) - 2;
      std::uint32_t bgr = index >= 0 && index < 16 ? wks::kPalette[index] : 0;
      if (bgr != 0) format_set_font_color(f, WorkbookColour(bgr));
    }
    if (!(cell.colour & kColourNoShade)) format_set_bg_color(f, WorkbookColour(cell.colour & 0xFFFFFF));
    static constexpr std::uint8_t kAlign[] = {LXW_ALIGN_NONE, LXW_ALIGN_LEFT, LXW_ALIGN_RIGHT,
                                              LXW_ALIGN_CENTER, LXW_ALIGN_FILL};
    if (align > 0 && align <= 4) format_set_align(f, kAlign[align]);
    auto edge = [](int code) -> std::uint8_t {
      return code == 0 ? LXW_BORDER_NONE : code == 1 ? LXW_BORDER_THIN : LXW_BORDER_THICK;
    };
    // Edge codes: bits 0-1 left, 2-3 bottom, 4-5 right, 6-7 top.
    if (cell.borders & 0x03) format_set_left(f, edge(cell.borders & 3));
    if (cell.borders & 0x0C) format_set_bottom(f, edge((cell.borders >> 2) & 3));
    if (cell.borders & 0x30) format_set_right(f, edge((cell.borders >> 4) & 3));
    if (cell.borders & 0xC0) format_set_top(f, edge((cell.borders >> 6) & 3));
    if (!cell.IsLocked()) format_set_unlocked(f);
    formats_.emplace(key, f);
    return f;
  }

  SheetDocument& doc_;
  lxw_workbook* book_;
  lxw_worksheet* sheet_;
  bool cached_;
  FormatSettings fs_;
  std::vector<XlsxName> names_;
  std::map<FormatKey, lxw_format*> formats_;
  std::map<std::string, std::pair<std::size_t, std::string>> reasons_;
  std::size_t controlTexts_ = 0;
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

XlsxExportResult ExportXlsx(SheetDocument& doc, std::string_view path, const CellRange& range) {
  return ExportXlsx(doc, path, range, XlsxExportOptions());
}

XlsxExportResult ExportXlsx(SheetDocument& doc, std::string_view path, const CellRange& range,
                            const XlsxExportOptions& exportOptions) {
  XlsxExportResult result;
  std::string target(path);
  std::error_code ec;
  if (target.empty() || fs::is_directory(target, ec)) {
    result.error = target + ": not a file name";
    return result;
  }
  fs::path parent = fs::path(target).parent_path();
  if (!parent.empty() && !fs::is_directory(parent, ec)) {
    result.error = "Unable to write " + target + ": no such directory";
    return result;
  }
  // The library writes the whole file at close; it goes to a scratch name
  // beside the target and reaches the target through the safe writer, so a
  // failure leaves no half file under the requested name.
  std::string scratch = SafeFileWriter::TemporaryName(target) + ".xlsx";
  lxw_workbook_options options{};
  lxw_workbook* book = workbook_new_opt(scratch.c_str(), &options);
  if (book == nullptr) {
    result.error = "Unable to create " + target;
    return result;
  }
  lxw_worksheet* sheet = workbook_add_worksheet(book, kSheetName);
  CellRange all = range.IsDefined() ? CellRange::Of(range.Top(), range.Left(), range.Bottom(), range.Right())
                                    : CellRange::Of(0, 0, doc.cells().maxRow(), doc.cells().maxCol());
  Writer writer(doc, book, sheet, exportOptions.cachedValues);
  writer.Cells(all, result);
  writer.Names(result);
  writer.Layout(all);
  writer.Reasons(result);
  lxw_error closed = workbook_close(book);
  if (closed != LXW_NO_ERROR) {
    fs::remove(scratch, ec);
    result.error = "Unable to write " + target + ": " + lxw_strerror(closed);
    return result;
  }
  std::string bytes = ReadWhole(scratch);
  fs::remove(scratch, ec);
  if (bytes.empty() || !WriteFileSafely(target, bytes)) {
    result.error = "Unable to write " + target;
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace tabulon
