#include "io/text_import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/limits.h"
#include "base/text.h"
#include "edit/cell_entry.h"
#include "io/encoding.h"
#include "sheet/session.h"

namespace tabulon {

namespace fs = std::filesystem;

namespace {

bool EndsFieldBefore(char ch) { return ch == '+' || ch == '-' || ch == '(' || ch == '@'; }

// Enters one field; text that cell entry refuses (a formula that does not
// compile) goes in as a label instead, so no field is lost. Only a
// refusal that a label would meet too (protection) stops the import.
bool EnterField(SheetDocument& doc, const ImportField& f, int row, int col) {
  ErrorChannel& errors = doc.session().errors();
  errors.Clear();
  if (EnterCell(doc, f.text, row, col).ok) return true;
  if (f.label) return false;
  errors.Clear();
  std::string label(1, doc.settings().labelPrefix);
  label += f.text.substr(0, kMaxText - 1);
  return EnterCell(doc, label, row, col).ok;
}

// The lines of the text: ended by CR LF, LF or CR; a last line without its
// end counts, an empty text has none.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string Plural(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::vector<ImportField> SplitFields(std::string_view line, char separator, char decimalChar) {
  // A tab delimits like ";": tab-separated files keep texts with blanks
  // whole, as comma-separated ones do.
  auto isBlank = [](char ch) { return ch == ' '; };
  auto isMark = [&](char ch) {
    return ch == ';' || ch == '\t' || (ch == separator && separator != decimalChar && separator != ' ');
  };
  // A line holding a mark outside quotes is delimited, as spreadsheets
  // write comma-separated files: only the marks end its fields, so a text
  // with blanks or a date with dashes stays one field.
  bool delimited = false;
  for (bool quoted = false; char ch : line) {
    if (ch == '"') quoted = !quoted;
    else if (!quoted && isMark(ch)) delimited = true;
  }
  std::vector<ImportField> fields;
  auto finish = [&](ImportField& f, bool wasQuoted) {
    if (wasQuoted || f.text.empty()) {
      f.text.insert(f.text.begin(), '\'');
      f.label = true;
    }
    fields.push_back(std::move(f));
  };
  std::size_t i = 0;
  if (delimited) {
    for (bool afterMark = false;; afterMark = true) {
      while (i < line.size() && isBlank(line[i])) ++i;
      ImportField f;
      bool quoted = false, wasQuoted = false;
      std::size_t kept = 0;  // text length up to its last character that is not padding
      for (; i < line.size(); ++i) {
        char ch = line[i];
        if (ch == '"') {
          if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
            f.text.push_back('"');
            ++i;
          } else {
            quoted = !quoted;
            wasQuoted = true;
          }
          kept = f.text.size();
          continue;
        }
        if (!quoted && isMark(ch)) break;
        f.text.push_back(ch);
        if (quoted || !isBlank(ch)) kept = f.text.size();
      }
      f.text.resize(kept);
      bool more = i < line.size();
      if (more || afterMark || !f.text.empty() || wasQuoted) finish(f, wasQuoted);
      if (!more) break;
      ++i;  // the mark
    }
    return fields;
  }
  while (i < line.size() && isBlank(line[i])) ++i;  // leading separators
  while (i < line.size()) {
    ImportField f;
    bool quoted = false, wasQuoted = false;
    std::size_t first = i;
    for (; i < line.size(); ++i) {
      char ch = line[i];
      if (ch == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          f.text.push_back('"');
          ++i;
        } else {
          quoted = !quoted;
          wasQuoted = true;
        }
        continue;
      }
      if (!quoted) {
        if (isBlank(ch)) break;
        if (i > first && EndsFieldBefore(ch)) {
          char before = line[i - 1];
          if (before != 'E' && before != 'e') break;
        }
      }
      f.text.push_back(ch);
    }
    finish(f, wasQuoted);
    while (i < line.size() && isBlank(line[i])) ++i;
  }
  return fields;
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding, bool& utf8, int& unmappable) {
  utf8 = false;
  unmappable = 0;
  bool bom = bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (bom) bytes.remove_prefix(3);
  utf8 = encoding == TextEncoding::Utf8 || (encoding == TextEncoding::Auto && (bom || LooksLikeUtf8(bytes)));
  if (!utf8) return std::string(bytes);
  std::string out = Utf8ToCp1252(bytes);
  // "?" stands for itself or for a character the code page lacks.
  auto marks = [](std::string_view s) { return static_cast<int>(std::count(s.begin(), s.end(), '?')); };
  unmappable = marks(out) - marks(bytes);
  return out;
}

ImportResult ImportTextBytes(SheetDocument& doc, ImportMode mode, CellAddress start,
                             std::string_view bytes, TextEncoding encoding) {
  ImportResult result;
  if (!RowInSheet(start.row) || !ColumnInSheet(start.col)) {
    result.message = "Out of Range";
    return result;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    result.message = "Not a text file (it holds NUL bytes); nothing was imported";
    return result;
  }
  std::string text = DecodeText(bytes, encoding, result.utf8, result.unmappable);
  std::vector<std::string_view> lines = Lines(text);

  const ProgramSettings& ps = doc.session().settings();
  int row = start.row, col = start.col;
  int widest = col;  // last column a values line reached in this column band
  int top = start.row, left = start.col, bottom = -1, right = -1;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (row >= kRowCount) {
      row = start.row;
      col = (mode == ImportMode::Values ? widest : col) + 1;
      widest = col;
    }
    if (col >= kColumnCount) {
      result.droppedLines = static_cast<int>(lines.size() - n);
      break;
    }
    std::string_view line = lines[n];
    if (mode == ImportMode::Values) {
      int c = col;
      for (ImportField& f : SplitFields(line, ps.argSeparator, ps.decimalChar)) {
        if (c >= kColumnCount) break;
        if (f.text.size() > static_cast<std::size_t>(kMaxText)) {
          f.text.resize(kMaxText);
          ++result.cutLines;
        }
        if (!EnterField(doc, f, row, c)) {
          result.message = doc.session().errors().message();
          if (result.message.empty()) result.message = "Import stopped at " + ShortAddressText(row, c, 0);
          return result;
        }
        right = std::max(right, c);
        widest = std::max(widest, c);
        ++c;
      }
    } else {
      ImportField f{std::string(1, doc.settings().labelPrefix), true};
      if (line.size() > static_cast<std::size_t>(kMaxText - 1)) {
        line = line.substr(0, kMaxText - 1);
        ++result.cutLines;
      }
      f.text.append(line);
      if (!EnterField(doc, f, row, col)) {
        result.message = doc.session().errors().message();
        return result;
      }
      right = std::max(right, col);
    }
    bottom = std::max(bottom, row);
    top = std::min(top, row);
    left = std::min(left, col);
    ++result.lines;
    ++row;
  }
  result.ok = true;
  if (bottom >= 0 && right >= 0) result.area = CellRange::Of(top, left, bottom, right);

  std::vector<std::string> notes;
  if (result.unmappable > 0)
    notes.push_back(Plural(result.unmappable, "character", "characters") +
                    " not in the character set became \"?\"");
  if (result.cutLines > 0)
    notes.push_back(Plural(result.cutLines, "line was", "lines were") + " longer than " +
                    std::to_string(kMaxText) + " characters and cut");
  if (result.droppedLines > 0)
    notes.push_back("the sheet ends at column IV: " +
                    Plural(result.droppedLines, "line was", "lines were") + " not imported");
  for (std::size_t i = 0; i < notes.size(); ++i)
    result.message += (i == 0 ? "Import: " : "; ") + notes[i];
  return result;
}

std::vector<std::string> DirectoryListing(std::string_view fileName) {
  fs::path path{std::string(fileName)};
  std::string name = path.filename().string();
  std::string ext;
  if (std::size_t dot = name.find('.'); dot != std::string::npos) ext = name.substr(dot + 1, 3);
  bool any = ext.empty() || ext.find('*') != std::string::npos || ext.find('?') != std::string::npos;
  fs::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (!any) {
      std::size_t dot = entry.rfind('.');
      if (dot == std::string::npos || UpperCase(entry.substr(dot + 1)) != UpperCase(ext)) continue;
    }
    names.push_back(entry.substr(0, 80));
  }
  std::sort(names.begin(), names.end());
  return names;
}

ImportResult ImportText(SheetDocument& doc, ImportMode mode, CellAddress start,
                        std::string_view fileName, TextEncoding encoding) {
  if (mode == ImportMode::Directory) {
    std::string lines;
    for (const std::string& n : DirectoryListing(fileName)) lines += n + "\n";
    // Names are file-system bytes; each becomes a label as it stands.
    return ImportTextBytes(doc, ImportMode::Text, start, lines, encoding);
  }
  ImportResult result;
  std::error_code ec;
  std::string path(fileName);
  if (!fs::is_regular_file(path, ec)) {
    result.message = "File Not Found";
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    result.message = "File Not Found";
    return result;
  }
  return ImportTextBytes(doc, mode, start, bytes, encoding);
}

}  // namespace tabulon
