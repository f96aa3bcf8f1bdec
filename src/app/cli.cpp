// tabulon-cli: evaluate formulas, enter cells, dump and convert worksheets
// without a display.
#include "app/cli.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "app/cli_sheet_tools.h"
#include "base/limits.h"
#include "base/text.h"
#include "display/format.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/recalc.h"
#include "graph/graph_commands.h"
#include "graph/graph_image.h"
#include "graph/graph_render.h"
#include "io/encoding.h"
#include "io/link_store.h"
#include "io/text_export.h"
#include "io/text_import.h"
#include "io/worksheet_file.h"
#include "io/xlsx_export.h"
#include "commands/command_set.h"
#include "macro/macro_batch.h"
#include "platform/headless_host.h"
#include "platform/print_target.h"
#include "print/page_layout.h"
#include "print/print_file.h"
#include "print/sheet_printer.h"
#include "sheet/print_options.h"
#include "sheet/session.h"
#include "ui/audit.h"
#include "ui/find_replace.h"

#ifndef TABULON_VERSION
#error "TABULON_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace tabulon {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: tabulon-cli COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "commands:\n"
    "  eval [--file F] TEXT...\n"
    "      evaluate each formula text (in a scratch cell of F's sheet when given;\n"
    "      links such as [other.wks]B2 are read from F's folder)\n"
    "      and print one line per text: the number, the string, ERR, or\n"
    "      'Error: syntax' for text that does not compile\n"
    "  enter [--file IN] [--out OUT] [--dump] [--script S] ADDRESS=TEXT...\n"
    "      enter each TEXT at ADDRESS as if typed; a script holds one\n"
    "      ADDRESS=TEXT per line ('-' reads standard input); then save to OUT\n"
    "      and/or print the dump. A graph macro command in braces, such as\n"
    "      {GRAPHSERIES 1 B2..B9} or {GRAPHTYPE 2 B}, sets the current graph\n"
    "  dump FILE [--range R]\n"
    "      one line per cell: ADDRESS, KIND, CONTENTS and DISPLAY, tab-separated\n"
    "      (tabs, line breaks and other control characters inside cell text are\n"
    "      written as \\t, \\r, \\n and \\xNN)\n"
    "  convert IN OUT [--range R] [--import text|values]\n"
    "      load IN (recalculated) and write OUT by its extension: .wks worksheet\n"
    "      (an extract with --range; .WKS is added to a name without one),\n"
    "      .csv comma-delimited text, .prn quoted text, .txt the print-to-file\n"
    "      text layout, .xlsx an Office Open XML workbook with live formulas\n"
    "      (formulas without an equivalent go out as values, each with its\n"
    "      formula in a comment, and 'Note: ' lines on stderr count them).\n"
    "      IN may be a text file: .csv and .prn are imported as values (fields\n"
    "      split at blanks, commas and semicolons; quoted fields stay labels),\n"
    "      .txt as text (one label per line); --import chooses\n"
    "  graph FILE [--name G] --out F.png|F.svg|F.bmp [--size WxH]\n"
    "      draw the sheet's current graph, or its named graph G, into a picture\n"
    "      of W x H pixels (default 800x600)\n"
    "  print FILE [--range R | --graph G] --out OUT.pdf|OUT.txt\n"
    "      print with the sheet's stored print settings: its print range (the\n"
    "      used area when none is stored) or R, or the named graph G, as PDF\n"
    "      pages or as the print-to-file text layout\n"
    "  run (FILE | --new) [--at LOCATION | --text MACRO] [--input TEXT]...\n"
    "      [--out OUT] [--dump] [--timeout SECONDS]\n"
    "      open FILE (running its AUTOEXEC macro) or a new sheet, run the macro at\n"
    "      LOCATION (a cell or range name) or the macro text (lines separated by\n"
    "      line breaks); prompts take the --input values in order (a menu takes\n"
    "      the option's number); messages go to stderr as 'Error: ...' or\n"
    "      'Note: ...'; the macro is stopped after SECONDS (default 60, 0 for no\n"
    "      limit); then save to OUT and/or print the dump, also after an error\n"
    "  find FILE TEXT [--replace NEW] [--range R] [--case] [--out OUT] [--]\n"
    "      print ADDRESS and CONTENTS, tab-separated, of each cell whose entry\n"
    "      text contains TEXT (in any case unless --case), rows first, within R\n"
    "      or the used area; with --replace, replace every occurrence by NEW,\n"
    "      print how many cells changed and save to OUT; after --, every\n"
    "      argument is FILE or TEXT\n"
    "  audit FILE (--dependents CELL [--depth N] | --xref [--range R] | --stats)\n"
    "      print the cells that depend on CELL as an indented tree N levels\n"
    "      deep (default 3), the cross-reference list of R or the used area\n"
    "      (CELL:KIND CODE:COUNT#:REFERENCES), or the counts of cells by kind\n"
    "\n"
    "A damaged worksheet is read up to the damage: dump and convert print or\n"
    "write what was recovered, say so on standard error and exit with 1.\n"
    "\n"
    "options:\n"
    "  --utf8     write text output as UTF-8 instead of 8-bit Windows-1252\n"
    "  --encoding utf8|cp1252\n"
    "             how text files are read and written: imports detect UTF-8\n"
    "             unless told (characters Windows-1252 lacks become '?');\n"
    "             exports (.csv, .prn) are 8-bit unless utf8 is given\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "exit status: 0 success, 1 a failed entry, formula or file operation, 2 usage error\n";

// Script lines longer than this are not entries: a cell holds at most 240
// characters, which UTF-8 may triple, after an address.
constexpr std::size_t kMaxScriptLine = 4096;

// The deepest dependents tree audit prints; the tree's own line limit
// keeps a deep one finite as well.
constexpr int kMaxAuditDepth = 8192;

// Text from the command line or a file, shown in a message: control bytes
// appear as \xNN rather than acting on the terminal.
std::string Visible(std::string_view text) {
  std::string out;
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

// Keeps a dump line on one line: tabs and line breaks inside cell text are
// written as \t, \r and \n, other control characters as \xNN.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\t') out += "\\t";
    else if (ch == '\r') out += "\\r";
    else if (ch == '\n') out += "\\n";
    else out += Visible(std::string_view(&ch, 1));
  }
  return out;
}

// Text arriving from the command line or a script: UTF-8 is converted to
// the 8-bit code page the sheet holds.
std::string Incoming(const std::string& text) {
  return LooksLikeUtf8(text) ? Utf8ToCp1252(text) : text;
}

// Whether a circular reference can be reached from the cells through their
// dependents lists (an iterative depth-first walk: sheets are deep).
bool ReachesCycle(const CellStore& store, const std::vector<CellId>& from) {
  enum : std::uint8_t { kUnseen, kOnPath, kDone };
  std::unordered_map<CellId, std::uint8_t> state;
  std::vector<std::pair<CellId, std::uint32_t>> path;  // cell, next dependents node
  auto head = [&](CellId id) {
    const CellRecord* c = store.Get(id);
    return c == nullptr ? 0u : store.DependentHead(*c);
  };
  for (CellId start : from) {
    if (state[start] != kUnseen) continue;
    state[start] = kOnPath;
    path.emplace_back(start, head(start));
    while (!path.empty()) {
      auto& [id, node] = path.back();
      if (node == 0) {
        state[id] = kDone;
        path.pop_back();
        continue;
      }
      CellId next = store.DependentAt(node);
      node = store.NextDependent(node);
      std::uint8_t& s = state[next];
      if (s == kOnPath) return true;
      if (s == kUnseen) {
        s = kOnPath;
        path.emplace_back(next, head(next));
      }
    }
  }
  return false;
}

// One run of the tool: a headless session and where its output goes.
class Cli {
 public:
  Cli(std::FILE* out, std::FILE* err, const CliOutputs& outputs)
      : out_(out), err_(err), images_(outputs.images), printing_(outputs.printing),
        session_(host_) {}

  int Run(std::vector<std::string> args) {
    int status;
    try {
      status = Dispatch(std::move(args));
    } catch (const std::bad_alloc&) {
      Error("out of memory");
      status = 1;
    }
    // Output that did not arrive is a failure, whatever the command did.
    errno = 0;
    if (std::fflush(out_) != 0 || std::ferror(out_)) {
      int e = errno;
      Error(std::string("cannot write the output: ") +
            (e != 0 ? std::strerror(e) : "write error"));
      if (status == 0) status = 1;
    }
    return status;
  }

 private:
  int Dispatch(std::vector<std::string> args) {
    // Global options may stand anywhere.
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--utf8") {
        utf8_ = true;
      } else if (a == "--encoding") {
        if (++i >= args.size()) return Usage("--encoding needs utf8 or cp1252");
        std::string e = UpperCase(args[i]);
        if (e == "UTF8" || e == "UTF-8") encoding_ = TextEncoding::Utf8;
        else if (e == "CP1252" || e == "WINDOWS-1252") encoding_ = TextEncoding::Cp1252;
        else return Usage("--encoding needs utf8 or cp1252, not '" + Visible(args[i]) + "'");
      } else {
        rest.push_back(a);
      }
    }
    if (rest.empty()) return Usage("no command given");
    if (rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help") {
      std::fputs(kUsage, out_);
      return 0;
    }
    if (rest[0] == "--version") {
      std::fprintf(out_, "tabulon-cli %s\n", ProgramVersion());
      return 0;
    }
    std::string command = rest[0];
    rest.erase(rest.begin());
    if (command == "eval") return Eval(rest);
    if (command == "enter") return Enter(rest);
    if (command == "dump") return Dump(rest);
    if (command == "convert") return Convert(rest);
    if (command == "graph") return Graph(rest);
    if (command == "print") return PrintCommand(rest);
    if (command == "run") return RunMacro(rest);
    if (command == "find") return FindCommand(rest);
    if (command == "audit") return AuditCommand(rest);
    return Usage("unknown command '" + Visible(command) + "'");
  }

  // A usage error: its one line and where to look, not the whole help.
  int Usage(const std::string& message) {
    std::fprintf(err_, "tabulon-cli: %s\nTry 'tabulon-cli --help'.\n", message.c_str());
    return 2;
  }

  void Print(const std::string& line) {
    if (std::ferror(out_)) return;  // reported once at the end
    std::string text = utf8_ ? Cp1252ToUtf8(line) : line;
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), out_);
  }

  void Error(const std::string& message) {
    std::fprintf(err_, "tabulon-cli: %s\n", message.c_str());
  }

  SheetDocument* NewSheet() {
    SheetDocument* doc = session_.NewDocument();
    session_.SetCurrent(doc);
    return doc;
  }

  // Loads a worksheet; reports and returns null on failure. A damaged file
  // gives what was recovered, reported, and the run ends with status 1.
  SheetDocument* Load(const std::string& file) {
    std::string path = WorksheetFileName(file);
    SheetDocument* doc = NewSheet();
    LoadResult r = LoadWorksheet(*doc, file, 0);
    std::string message = r.message.empty() ? "cannot load" : r.message;
    if (r.status == LoadStatus::Failed) {
      Error(Visible(path) + ": " + message);
      session_.Release(*doc);
      return nullptr;
    }
    if (r.status == LoadStatus::Recovered) {
      Error(Visible(path) + ": " + message);
      damaged_ = true;
    }
    return doc;
  }

  // The sheet the entries of `enter` start from: the input file or a new one.
  SheetDocument* StartSheet(const std::string& in) {
    damaged_ = false;
    return in.empty() ? NewSheet() : Load(in);
  }

  int Status(int status) const { return damaged_ && status == 0 ? 1 : status; }

  bool ParseRangeOption(SheetDocument& doc, const std::string& text, CellRange& range) {
    ErrorChannel errors;
    ParsedRange p = ParseRange(Incoming(text),
                               RangeContext{doc.settings().pageHeight, &doc.names(), nullptr},
                               errors);
    if (!p.ok || !p.range.IsDefined()) return false;
    range = p.range;
    return true;
  }

  int Eval(std::vector<std::string> args) {
    std::string file;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--file") {
        if (++i >= args.size()) return Usage("--file needs a file name");
        file = args[i];
      } else {
        texts.push_back(args[i]);
      }
    }
    if (texts.empty()) return Usage("eval needs formula text");
    SheetDocument* doc = file.empty() ? NewSheet() : Load(file);
    if (doc == nullptr) return 1;
    int status = 0;
    char decimal = session_.settings().decimalChar;
    for (const std::string& text : texts) {
      TextResult r = Engine(session_).evaluator->EvaluateText(*doc, Incoming(text));
      if (r.syntaxError) {
        Print("Error: syntax");
        status = 1;
      } else if (r.error) {
        Print("ERR");
      } else if (r.isString) {
        Print(r.text);
      } else {
        Print(InputForm(r.number, decimal));
      }
    }
    return Status(status);
  }

  int Enter(std::vector<std::string> args) {
    std::string in, out, script;
    bool dump = false;
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--file" || a == "--out" || a == "--script") {
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        (a == "--file" ? in : a == "--out" ? out : script) = args[++i];
      } else if (a == "--dump") {
        dump = true;
      } else {
        entries.push_back(a);
      }
    }
    if (!script.empty() && !ReadScript(script, entries)) return 1;
    if (entries.empty() && in.empty()) return Usage("enter needs ADDRESS=TEXT entries");
    SheetDocument* doc = StartSheet(in);
    if (doc == nullptr) return 1;
    // Graph settings are set the way macros set them ("{GRAPHTYPE 2 B}");
    // they name ranges, not values, so they go in after the cells.
    std::vector<std::string> graphCommands;
    std::erase_if(entries, [&](const std::string& e) {
      if (e.empty() || e[0] != '{') return false;
      graphCommands.push_back(e);
      return true;
    });
    BatchEntry batch = EnterEntries(*doc, entries, true);
    if (batch.needsReplay) {
      // Circular references: their values depend on the order of entry, so
      // the entries go in again one at a time, as typed.
      session_.Release(*doc);
      doc = StartSheet(in);
      if (doc == nullptr) return 1;
      batch = EnterEntries(*doc, entries, false);
    }
    for (const std::string& m : batch.messages) Error(m);
    int status = batch.failures > 0 ? 1 : 0;
    for (const std::string& command : graphCommands) {
      std::string message;
      session_.errors().Clear();
      if (!RunGraphCommandText(*doc, Incoming(command), message)) {
        Error(message);
        status = 1;
      }
    }
    if (!out.empty() && !Save(*doc, out, CellRange{})) status = 1;
    if (dump) DumpSheet(*doc, CellRange{});
    return Status(status);
  }

  // Reads a script of one entry per line. A line is at most kMaxScriptLine
  // bytes and holds no NUL byte; anything else is not a script and ends the
  // run before a cell is touched.
  bool ReadScript(const std::string& script, std::vector<std::string>& entries) {
    std::FILE* f = stdin;
    std::string name = script == "-" ? "standard input" : Visible(script);
    if (script != "-") {
      std::error_code ec;
      if (fs::is_directory(script, ec)) {
        Error(name + ": is a directory, not a script");
        return false;
      }
      f = std::fopen(script.c_str(), "rb");
      if (f == nullptr) {
        Error(name + ": cannot read the script: " + std::strerror(errno));
        return false;
      }
    }
    bool ok = true;
    std::string line;
    std::size_t number = 1;
    char buf[65536];
    std::size_t n;
    auto finishLine = [&] {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) entries.push_back(std::move(line));
      line.clear();
      ++number;
    };
    while (ok && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
      for (std::size_t i = 0; i < n; ++i) {
        char ch = buf[i];
        if (ch == '\n') {
          finishLine();
        } else if (ch == '\0') {
          Error(name + ":" + std::to_string(number) + ": not a text file (a NUL byte)");
          ok = false;
          break;
        } else if (line.size() >= kMaxScriptLine) {
          Error(name + ":" + std::to_string(number) + ": a line longer than " +
                std::to_string(kMaxScriptLine) + " bytes; not a script");
          ok = false;
          break;
        } else {
          line.push_back(ch);
        }
      }
    }
    if (ok && std::ferror(f)) {
      Error(name + ": cannot read the script: " + std::strerror(errno));
      ok = false;
    }
    if (ok && !line.empty()) finishLine();
    if (f != stdin) std::fclose(f);
    return ok;
  }

  static std::string KindName(const CellRecord& c) {
    std::string name;
    switch (c.Kind()) {
      case kLabel: name = "label"; break;
      case kInteger: name = "integer"; break;
      case kReal: name = "real"; break;
      case kFormula: name = "formula"; break;
      case kStringFormula: name = "text-formula"; break;
      default: return {};
    }
    if (c.HasError()) name += '!';
    return name;
  }

  void DumpSheet(SheetDocument& doc, const CellRange& range) {
    CellStore& cells = doc.cells();
    int r1 = 0, c1 = 0, r2 = cells.maxRow(), c2 = cells.maxCol();
    if (range.IsDefined()) {
      r1 = range.Top();
      r2 = range.Bottom();
      c1 = range.Left();
      c2 = range.Right();
    }
    int pageHeight = doc.settings().pageHeight;
    cells.ForEachIn(r1, c1, r2, c2, [&](CellRecord& c) {
      std::string kind = KindName(c);
      if (kind.empty()) return;
      std::string display = c.HasError() ? "ERR" : CellDisplayText(doc, &c);
      Print(AddressText(c.row, c.col, false, false, pageHeight) + "\t" + kind + "\t" +
            OneLine(CellEditText(doc, &c)) + "\t" + OneLine(display));
    });
  }

  int Dump(std::vector<std::string> args) {
    std::string file, rangeText;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--range") {
        if (++i >= args.size()) return Usage("--range needs a range");
        rangeText = args[i];
      } else if (file.empty()) {
        file = args[i];
      } else {
        return Usage("dump takes one file");
      }
    }
    if (file.empty()) return Usage("dump needs a file");
    SheetDocument* doc = Load(file);
    if (doc == nullptr) return 1;
    CellRange range;
    if (!rangeText.empty() && !ParseRangeOption(*doc, rangeText, range))
      return Usage("not a range: " + Visible(rangeText));
    DumpSheet(*doc, range);
    return Status(0);
  }

  // Writes the sheet by the output name's extension. A directory, a device
  // or anything else that is not a regular file is refused: the file is
  // written beside its place and renamed into it.
  bool Save(SheetDocument& doc, const std::string& file, const CellRange& range) {
    std::string ext;
    if (std::size_t dot = file.rfind('.');
        dot != std::string::npos && file.find('/', dot) == std::string::npos)
      ext = UpperCase(file.substr(dot));
    std::error_code ec;
    if ((!file.empty() && file.back() == '/') || fs::is_directory(file, ec)) {
      Error(Visible(file) + ": is a directory; give the output a file name");
      return false;
    }
    if (fs::exists(file, ec) && !fs::is_regular_file(file, ec)) {
      Error(Visible(file) + ": not a regular file; give the output a file name");
      return false;
    }
    bool worksheet = ext == ".WKS" || ext.empty();
    if (!worksheet && ext != ".CSV" && ext != ".PRN" && ext != ".TXT" && ext != ".XLSX") {
      Error(Visible(file) + ": unknown output type (use .wks, .xlsx, .csv, .prn or .txt)");
      return false;
    }
    std::string path = worksheet ? WorksheetFileName(file) : file;
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) {
      Error(Visible(path) + ": not a regular file");
      return false;
    }
    CellRange all = range.IsDefined()
                        ? range
                        : CellRange::Of(0, 0, doc.cells().maxRow(), doc.cells().maxCol());
    bool ok;
    bool utf8 = encoding_ == TextEncoding::Utf8;
    if (ext == ".CSV") {
      ok = ExportText(doc, path, TextExportMode::Comma, all, utf8);
    } else if (ext == ".PRN") {
      ok = ExportText(doc, path, TextExportMode::Quoted, all, utf8);
    } else if (ext == ".XLSX") {
      XlsxExportResult result = ExportXlsx(doc, path, all);
      if (!result.ok) {
        Error(result.error);
        return false;
      }
      for (const std::string& note : result.notes) std::fprintf(err_, "Note: %s\n", note.c_str());
      return true;
    } else if (ext == ".TXT") {
      std::string error = WritePrintFile(doc, all, path);
      if (!error.empty()) {
        Error(error);
        return false;
      }
      return true;
    } else {
      ok = SaveWorksheet(doc, path, range);
    }
    if (!ok) Error(Visible(path) + ": cannot write the file");
    return ok;
  }

  // A text file imported into a new sheet at A1; reports and returns null
  // when it cannot be read. What the import should tell (characters that
  // became "?", cut lines) goes to standard error as a note.
  SheetDocument* ImportFile(const std::string& file, ImportMode mode) {
    std::error_code ec;
    if (fs::is_directory(file, ec)) {
      Error(Visible(file) + ": is a directory");
      return nullptr;
    }
    SheetDocument* doc = NewSheet();
    if (doc == nullptr) return nullptr;
    ImportResult r = ImportText(*doc, mode, CellAddress{}, file, encoding_);
    if (!r.ok) {
      Error(Visible(file) + ": " + r.message);
      session_.Release(*doc);
      return nullptr;
    }
    if (!r.message.empty()) std::fprintf(err_, "Note: %s\n", Visible(r.message).c_str());
    return doc;
  }

  int Convert(std::vector<std::string> args) {
    std::vector<std::string> files;
    std::string rangeText, importText;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--range" || args[i] == "--import") {
        if (i + 1 >= args.size()) return Usage(args[i] + " needs a value");
        (args[i] == "--range" ? rangeText : importText) = args[i + 1];
        ++i;
      } else {
        files.push_back(args[i]);
      }
    }
    if (files.size() != 2) return Usage("convert needs IN and OUT");
    std::string inExt = Extension(files[0]);
    std::optional<ImportMode> mode;
    if (importText == "text") mode = ImportMode::Text;
    else if (importText == "values") mode = ImportMode::Values;
    else if (!importText.empty()) return Usage("--import needs text or values");
    else if (inExt == ".CSV" || inExt == ".PRN") mode = ImportMode::Values;
    else if (inExt == ".TXT") mode = ImportMode::Text;
    SheetDocument* doc = mode ? ImportFile(files[0], *mode) : Load(files[0]);
    if (doc == nullptr) return 1;
    // Opening keeps the values stored in the file; a conversion writes
    // current ones, whatever the sheet's recalculation mode.
    RecalcAll(*doc);
    CellRange range;
    if (!rangeText.empty() && !ParseRangeOption(*doc, rangeText, range))
      return Usage("not a range: " + Visible(rangeText));
    return Status(Save(*doc, files[1], range) ? 0 : 1);
  }

  int Graph(std::vector<std::string> args) {
    std::string file, name, out;
    bool named = false;
    int width = 800, height = 600;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--name" || a == "--out" || a == "--size") {
        if (++i >= args.size()) return Usage(a + " needs a value");
        if (a == "--name") {
          name = Incoming(args[i]);
          named = true;
        } else if (a == "--out") {
          out = args[i];
        } else if (!ParseSize(args[i], width, height)) {
          return Usage("--size needs WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxImageSide));
        }
      } else if (file.empty()) {
        file = a;
      } else {
        return Usage("graph takes one file");
      }
    }
    if (file.empty()) return Usage("graph needs a file");
    if (out.empty()) return Usage("graph needs --out");
    std::optional<ImageFormat> format = ImageFormatOf(out);
    if (!format) return Usage("--out must name a .png, .svg or .bmp file");
    if (images_ == nullptr) {
      std::fputs("Error: Pictures need the Qt libraries, which this build lacks\n", err_);
      return 1;
    }
    SheetDocument* doc = Load(file);
    if (doc == nullptr) return 1;
    RecalcAll(*doc);
    int index = -1;
    if (named && (index = FindNamedGraph(*doc, name)) < 0) {
      std::fprintf(err_, "Error: %s\n", kGraphUndefined);
      return 1;
    }
    std::string failure = WriteGraphImage(*images_, *doc, index, out, *format, width, height);
    if (!failure.empty()) {
      std::fprintf(err_, "Error: %s\n", failure.c_str());
      return 1;
    }
    return 0;
  }

  static bool ParseSize(const std::string& text, int& width, int& height) {
    std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    auto number = [](std::string_view digits, int& v) {
      if (digits.empty() || digits.size() > 6) return false;
      v = 0;
      for (char c : digits) {
        if (!IsDigit(c)) return false;
        v = v * 10 + (c - '0');
      }
      return v >= 1 && v <= kMaxImageSide;
    };
    std::string_view t(text);
    return number(t.substr(0, x), width) && number(t.substr(x + 1), height);
  }

  static std::string Extension(const std::string& file) {
    std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || file.find('/', dot) != std::string::npos) return {};
    return UpperCase(file.substr(dot));
  }

  // print FILE [--range R | --graph G] --out OUT.pdf|OUT.txt
  int PrintCommand(std::vector<std::string> args) {
    std::string file, rangeText, graph, out;
    bool haveRange = false, haveGraph = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--range" || a == "--graph" || a == "--out") {
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        (a == "--range" ? rangeText : a == "--graph" ? graph : out) = args[++i];
        if (a == "--range") haveRange = true;
        if (a == "--graph") haveGraph = true;
      } else if (file.empty()) {
        file = a;
      } else {
        return Usage("print takes one file");
      }
    }
    if (file.empty()) return Usage("print needs a file");
    if (out.empty()) return Usage("print needs --out OUT.pdf or OUT.txt");
    if (haveRange && haveGraph) return Usage("print takes --range or --graph, not both");
    std::string ext = Extension(out);
    if (ext != ".PDF" && ext != ".TXT") return Usage(out + ": print writes .pdf or .txt");
    if (haveGraph && ext == ".TXT") return Usage("a graph prints as .pdf only");

    SheetDocument* doc = Load(file);
    if (doc == nullptr) return 1;
    RecalcAll(*doc);
    int graphIndex = -1;
    if (haveGraph && (graphIndex = FindNamedGraph(*doc, Incoming(graph))) < 0) {
      Error(kGraphUndefined);
      return 1;
    }
    CellRange range;
    if (!haveGraph) {
      range = doc->extras().printRange;
      if (haveRange) {
        if (!ParseRangeOption(*doc, rangeText, range)) return 2;
      } else if (!range.IsDefined()) {
        range = UsedArea(*doc);
      }
      if (!range.IsDefined()) {
        Error(file + ": nothing to print: the sheet is empty");
        return 1;
      }
    }
    if (ext == ".TXT") {
      std::string error = WritePrintFile(*doc, range, out);
      if (!error.empty()) {
        Error(error);
        return 1;
      }
      return 0;
    }
    if (printing_ == nullptr) {
      Error("PDF output needs the Qt libraries, which this build lacks");
      return 1;
    }
    std::string error;
    std::unique_ptr<PrintTarget> target = printing_->OpenPdf(out, error);
    if (!target) {
      Error(error.empty() ? "cannot write " + out : error);
      return 1;
    }
    PrintOptions options = session_.settings().print;
    target->SetLandscape(options.landscape);
    PrintJob job = JobFor(*doc, options, range, 12, CurrentDateNumber());
    PrintOutcome outcome =
        haveGraph ? PrintGraphPage(*target, job,
                                   [&](Canvas& canvas, int width, int height) {
                                     GraphDrawOptions draw;
                                     draw.recordHits = false;
                                     return DrawDocumentGraph(canvas, *doc, graphIndex, width,
                                                              height, draw)
                                         .defined;
                                   })
                  : PrintSheet(*target, *doc, job);
    if (!outcome.ok()) {
      Error(out + ": " + outcome.error);
      return 1;
    }
    return 0;
  }

  // find FILE TEXT [--replace NEW] [--range R] [--case] [--out OUT]
  int FindCommand(std::vector<std::string> args) {
    std::string file, rangeText, out;
    std::vector<std::string> texts;
    FindRequest request;
    bool haveRange = false, options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (!options) {
        (file.empty() ? file : texts.emplace_back()) = a;
      } else if (a == "--") {
        options = false;  // a text to find that starts with "--" follows
      } else if (a == "--replace" || a == "--range" || a == "--out") {
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--replace") {
          request.replacement = Incoming(v);
          request.replace = true;
        } else if (a == "--range") {
          rangeText = v;
          haveRange = true;
        } else {
          out = v;
        }
      } else if (a == "--case") {
        request.matchCase = true;
      } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
        return Usage("unknown option " + Visible(a) + " for find");
      } else if (file.empty()) {
        file = a;
      } else {
        texts.push_back(a);
      }
    }
    if (file.empty()) return Usage("find needs a file and the text to find");
    if (texts.size() != 1) return Usage("find needs one text to find");
    request.text = Incoming(texts[0]);
    if (request.text.empty()) return Usage("the text to find is empty");
    if (request.text.size() > FindReplace::kMaxFindText ||
        request.replacement.size() > FindReplace::kMaxFindText)
      return Usage("find and replacement texts hold at most " +
                   std::to_string(FindReplace::kMaxFindText) + " characters");
    if (request.replace && out.empty()) return Usage("find --replace needs --out OUT");
    if (!request.replace && !out.empty()) return Usage("find --out goes with --replace");

    SheetDocument* doc = Load(file);
    if (doc == nullptr) return 1;
    if (haveRange && !ParseRangeOption(*doc, rangeText, request.scope))
      return Usage("not a range: " + Visible(rangeText));
    FindOutcome found = FindInSheet(*doc, request);
    int pageHeight = doc->settings().pageHeight;
    for (const FindMatch& m : found.matches)
      Print(AddressText(m.cell.row, m.cell.col, false, false, pageHeight) + "\t" +
            OneLine(m.contents));
    if (!request.replace) return Status(0);
    Print(std::to_string(found.changedCells) +
          (found.changedCells == 1 ? " cell changed" : " cells changed"));
    int status = 0;
    if (found.refused > 0) {
      std::fprintf(err_,
                   "Error: %d replacement%s refused: a protected cell, or a text longer than "
                   "%d characters\n",
                   found.refused, found.refused == 1 ? "" : "s", kMaxText);
      status = 1;
    }
    // What was replaced is saved even when some replacements were refused.
    if (!Save(*doc, out, CellRange{})) status = 1;
    return Status(status);
  }

  // audit FILE (--dependents CELL [--depth N] | --xref [--range R] | --stats)
  int AuditCommand(std::vector<std::string> args) {
    std::string file, cellText, rangeText;
    int depth = AuditDialog::kInitialDepth;
    int modes = 0;
    bool dependents = false, xref = false, stats = false, haveDepth = false, haveRange = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--dependents" || a == "--depth" || a == "--range") {
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--dependents") {
          cellText = v;
          dependents = true;
          ++modes;
        } else if (a == "--range") {
          rangeText = v;
          haveRange = true;
        } else {
          haveDepth = true;
          if (!ParseCount(v, kMaxAuditDepth, depth))
            return Usage("--depth needs a number from 1 to " + std::to_string(kMaxAuditDepth));
        }
      } else if (a == "--xref") {
        xref = true;
        ++modes;
      } else if (a == "--stats") {
        stats = true;
        ++modes;
      } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
        return Usage("unknown option " + Visible(a) + " for audit");
      } else if (file.empty()) {
        file = a;
      } else {
        return Usage("audit takes one file");
      }
    }
    if (file.empty()) return Usage("audit needs a file");
    if (modes != 1) return Usage("audit takes one of --dependents CELL, --xref or --stats");
    if (haveDepth && !dependents) return Usage("--depth goes with --dependents");
    if (haveRange && !xref) return Usage("--range goes with --xref");

    SheetDocument* doc = Load(file);
    if (doc == nullptr) return 1;
    if (stats) {
      std::string text = StatisticsText(*doc);
      for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        Print(text.substr(at, end - at));
        at = end + 1;
      }
      return Status(0);
    }
    if (xref) {
      CellRange range = UsedArea(*doc);
      if (haveRange && !ParseRangeOption(*doc, rangeText, range))
        return Usage("not a range: " + Visible(rangeText));
      for (const std::string& line : CrossReference(*doc, range)) Print(line);
      return Status(0);
    }
    CellRange at;
    if (!ParseRangeOption(*doc, cellText, at)) return Usage("not a cell: " + Visible(cellText));
    CellAddress root{static_cast<std::int16_t>(at.Left()), static_cast<std::int16_t>(at.Top())};
    AuditTreeText tree = DependentsText(*doc, root, depth);
    for (const std::string& line : tree.lines) Print(OneLine(line));
    std::string where = AddressText(root.row, root.col, false, false, doc->settings().pageHeight);
    if (tree.missing) std::fprintf(err_, "Note: %s holds nothing\n", where.c_str());
    if (tree.truncated)
      std::fprintf(err_, "Note: the tree was cut short after %d lines\n", kMaxTreeLines);
    return Status(0);
  }

  // A whole number from 1 to `most`.
  static bool ParseCount(const std::string& text, int most, int& value) {
    if (text.empty() || text.size() > 6) return false;
    value = 0;
    for (char c : text) {
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= most;
  }

  int RunMacro(std::vector<std::string> args) {
    MacroBatchOptions options;
    std::string out;
    bool dump = false, fresh = false, hasAt = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--at" || a == "--text" || a == "--input" || a == "--out" || a == "--timeout") {
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--at") {
          options.location = Incoming(v);
          hasAt = true;
        } else if (a == "--text") {
          options.text = Incoming(v);
          options.hasText = true;
        } else if (a == "--input") {
          options.inputs.push_back(Incoming(v));
        } else if (a == "--out") {
          out = v;
        } else {
          char* end = nullptr;
          options.timeoutSeconds = std::strtod(v.c_str(), &end);
          if (end == v.c_str() || *end != '\0' || !(options.timeoutSeconds >= 0))
            return Usage("--timeout needs a number of seconds");
        }
      } else if (a == "--new") {
        fresh = true;
      } else if (a == "--dump") {
        dump = true;
      } else if (!a.empty() && a[0] == '-' && a != "-") {
        return Usage("unknown option " + a + " for run");
      } else if (options.file.empty()) {
        options.file = a;
      } else {
        return Usage("run takes one file");
      }
    }
    if (fresh == !options.file.empty()) return Usage("run needs a FILE or --new");
    if (hasAt && options.hasText) return Usage("run takes --at or --text, not both");
    if (hasAt && options.location.empty()) return Usage("--at needs a location");
    MacroBatch batch(err_, utf8_);
    // The menu commands of the other subsystems join the macro's table.
    RegisterAllCommands(batch.workspace(), CommandViews{nullptr, printing_});
    int status = batch.Run(options) ? 0 : 1;
    SheetDocument* doc = batch.Active();
    if (doc == nullptr) {
      if (!out.empty() || dump) std::fprintf(err_, "Note: no sheet is open\n");
      return status;
    }
    if (!out.empty() && !Save(*doc, out, CellRange{})) status = 1;
    if (dump) DumpSheet(*doc, CellRange{});
    return status;
  }

  std::FILE* out_;
  std::FILE* err_;
  ImageOutput* images_;
  PrintDevices* printing_;
  bool utf8_ = false;
  bool damaged_ = false;  // a file was read only up to its damage
  // Text files read as UTF-8 or 8-bit (Auto: detected); text files
  // written as UTF-8 only when asked (Utf8), otherwise 8-bit.
  TextEncoding encoding_ = TextEncoding::Auto;
  HeadlessHost host_;
  Session session_;
  // Links of the sheets read values out of other worksheet files.
  LinkStore links_{session_};
};

}  // namespace

const char* ProgramVersion() { return TABULON_VERSION; }

BatchEntry EnterEntries(SheetDocument& doc, const std::vector<std::string>& entries,
                        bool recalcOnce) {
  BatchEntry result;
  Session& session = doc.session();
  SheetSettings& settings = doc.settings();
  bool deferred = recalcOnce && !settings.manualRecalc;
  // Under manual recalculation each entered formula is still evaluated
  // once as it is entered; only its dependents wait.
  if (deferred) settings.manualRecalc = true;
  std::vector<CellId> entered;
  for (const std::string& entry : entries) {
    std::size_t eq = entry.find('=');
    if (eq == std::string::npos || eq == 0) {
      result.messages.push_back("not ADDRESS=TEXT: " + Visible(entry));
      ++result.failures;
      continue;
    }
    std::string address = entry.substr(0, eq);
    ParsedCorner c = ParseCorner(UpperCase(address), settings.pageHeight);
    if (!c.ok) {
      result.messages.push_back("Error: Out of Range " + Visible(address));
      ++result.failures;
      continue;
    }
    session.errors().Clear();
    EntryResult r = EnterCell(doc, Incoming(entry.substr(eq + 1)), c.row, c.col);
    if (!r.ok) {
      std::string message = session.errors().message();
      result.messages.push_back("Error: " + (message.empty() ? std::string("syntax") : message) +
                                " " + Visible(UpperCase(address)));
      ++result.failures;
    }
    if (deferred)
      if (const CellRecord* cell = doc.cells().FindCell(c.row, c.col)) entered.push_back(cell->id);
  }
  if (deferred) {
    settings.manualRecalc = false;
    if (ReachesCycle(doc.cells(), entered)) result.needsReplay = true;
    else RecalcCells(doc, entered);
  }
  return result;
}

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
           const CliOutputs& outputs) {
  Cli cli(out, err, outputs);
  return cli.Run(args);
}

}  // namespace tabulon
