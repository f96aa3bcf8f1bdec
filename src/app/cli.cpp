// tabulon-cli: evaluate formulas, enter cells, dump and convert worksheets
// without a display.
#include "app/cli.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>

#include "display/format.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/recalc.h"
#include "io/encoding.h"
#include "io/text_export.h"
#include "io/worksheet_file.h"
#include "datatools/data_commands.h"
#include "macro/macro_batch.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "base/text.h"
#include "platform/headless_host.h"

namespace tabulon {

namespace {

constexpr const char* kUsage =
    "usage: tabulon-cli COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "commands:\n"
    "  eval [--file F] TEXT...\n"
    "      evaluate each formula text (in a scratch cell of F's sheet when given)\n"
    "      and print one line per text: the number, the string, or ERR\n"
    "  enter [--file IN] [--out OUT] [--dump] [--script S] ADDRESS=TEXT...\n"
    "      enter each TEXT at ADDRESS as if typed; a script holds one\n"
    "      ADDRESS=TEXT per line ('-' reads standard input); then save to OUT\n"
    "      and/or print the dump\n"
    "  dump FILE [--range R]\n"
    "      one line per cell: ADDRESS, KIND, CONTENTS and DISPLAY, tab-separated\n"
    "      (tabs and line breaks inside cell text are written as \\t, \\r, \\n)\n"
    "  convert IN OUT [--range R]\n"
    "      load IN (recalculated) and write OUT by its extension: .wks worksheet\n"
    "      (an extract with --range), .csv comma-delimited text, .prn quoted text\n"
    "  run (FILE | --new) [--at LOCATION | --text MACRO] [--input TEXT]...\n"
    "      [--out OUT] [--dump] [--timeout SECONDS]\n"
    "      open FILE (running its AUTOEXEC macro) or a new sheet, run the macro at\n"
    "      LOCATION (a cell or range name) or the macro text (lines separated by\n"
    "      line breaks); prompts take the --input values in order (a menu takes\n"
    "      the option's number); messages go to stderr as 'Error: ...' or\n"
    "      'Note: ...'; the macro is stopped after SECONDS (default 60, 0 for no\n"
    "      limit); then save to OUT and/or print the dump, also after an error\n"
    "\n"
    "options:\n"
    "  --utf8    write text output as UTF-8 instead of 8-bit Windows-1252\n"
    "  --help    show this text\n"
    "\n"
    "exit status: 0 success, 1 a failed entry, formula or file operation, 2 usage error\n";

// One run of the tool: a headless session and where its output goes.
class Cli {
 public:
  Cli(std::FILE* out, std::FILE* err) : out_(out), err_(err), session_(host_) {}

  int Run(std::vector<std::string> args) {
    // Global options may stand anywhere.
    std::vector<std::string> rest;
    for (const std::string& a : args) {
      if (a == "--utf8") utf8_ = true;
      else rest.push_back(a);
    }
    if (rest.empty()) return Usage("no command given");
    if (rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help") {
      std::fputs(kUsage, out_);
      return 0;
    }
    std::string command = rest[0];
    rest.erase(rest.begin());
    if (command == "eval") return Eval(rest);
    if (command == "enter") return Enter(rest);
    if (command == "dump") return Dump(rest);
    if (command == "convert") return Convert(rest);
    if (command == "run") return RunMacro(rest);
    return Usage("unknown command '" + command + "'");
  }

 private:
  int Usage(const std::string& message) {
    std::fprintf(err_, "tabulon-cli: %s\n\n%s", message.c_str(), kUsage);
    return 2;
  }

  void Print(const std::string& line) {
    std::string text = utf8_ ? Cp1252ToUtf8(line) : line;
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
  }

  void Error(const std::string& message) {
    std::fprintf(err_, "tabulon-cli: %s\n", message.c_str());
  }

  // Text arriving from the command line or a script: UTF-8 is converted to
  // the 8-bit code page the sheet holds.
  static std::string Incoming(const std::string& text) {
    return LooksLikeUtf8(text) ? Utf8ToCp1252(text) : text;
  }

  SheetDocument* NewSheet() {
    SheetDocument* doc = session_.NewDocument();
    session_.SetCurrent(doc);
    return doc;
  }

  // Loads a worksheet; reports and returns null on failure.
  SheetDocument* Load(const std::string& file) {
    SheetDocument* doc = NewSheet();
    LoadResult r = LoadWorksheet(*doc, file, 0);
    if (!r.ok) {
      std::string message = r.message.empty() ? "cannot load" : r.message;
      Error(file + ": " + message);
      return nullptr;
    }
    return doc;
  }

  bool ParseRangeOption(SheetDocument& doc, const std::string& text, CellRange& range) {
    ErrorChannel errors;
    ParsedRange p = ParseRange(Incoming(text),
                               RangeContext{doc.settings().pageHeight, &doc.names(), nullptr},
                               errors);
    if (!p.ok || !p.range.IsDefined()) {
      Error("not a range: " + text);
      return false;
    }
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
    return status;
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
    SheetDocument* doc = in.empty() ? NewSheet() : Load(in);
    if (doc == nullptr) return 1;
    int status = 0;
    for (const std::string& entry : entries) {
      std::size_t eq = entry.find('=');
      if (eq == std::string::npos || eq == 0) {
        Error("not ADDRESS=TEXT: " + entry);
        status = 1;
        continue;
      }
      std::string address = entry.substr(0, eq);
      ParsedCorner c = ParseCorner(UpperCase(address), doc->settings().pageHeight);
      if (!c.ok) {
        Print("Error: Out of Range " + address);
        status = 1;
        continue;
      }
      EntryResult r = EnterCell(*doc, Incoming(entry.substr(eq + 1)), c.row, c.col);
      if (!r.ok) {
        std::string message = session_.errors().message();
        Print("Error: " + (message.empty() ? std::string("syntax") : message) + " " +
              UpperCase(address));
        status = 1;
      }
    }
    if (!out.empty() && !Save(*doc, out, CellRange{})) status = 1;
    if (dump) DumpSheet(*doc, CellRange{});
    return status;
  }

  bool ReadScript(const std::string& script, std::vector<std::string>& entries) {
    std::string contents;
    if (script == "-") {
      char buf[65536];
      std::size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) contents.append(buf, n);
    } else {
      std::ifstream f(script, std::ios::binary);
      if (!f) {
        Error("cannot read script " + script);
        return false;
      }
      std::ostringstream s;
      s << f.rdbuf();
      contents = s.str();
    }
    std::size_t start = 0;
    while (start < contents.size()) {
      std::size_t nl = contents.find('\n', start);
      std::string line = contents.substr(start, nl == std::string::npos ? nl : nl - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) entries.push_back(line);
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
    return true;
  }

  // Keeps a dump line on one line: tabs and line breaks inside cell text are
  // written as \t, \r and \n.
  static std::string OneLine(const std::string& text) {
    std::string out;
    for (char ch : text) {
      if (ch == '\t') out += "\\t";
      else if (ch == '\r') out += "\\r";
      else if (ch == '\n') out += "\\n";
      else out.push_back(ch);
    }
    return out;
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
    if (!rangeText.empty() && !ParseRangeOption(*doc, rangeText, range)) return 2;
    DumpSheet(*doc, range);
    return 0;
  }

  bool Save(SheetDocument& doc, const std::string& file, const CellRange& range) {
    std::string ext;
    if (std::size_t dot = file.rfind('.'); dot != std::string::npos && file.find('/', dot) == std::string::npos)
      ext = UpperCase(file.substr(dot));
    CellRange all = range.IsDefined()
                        ? range
                        : CellRange::Of(0, 0, doc.cells().maxRow(), doc.cells().maxCol());
    bool ok;
    if (ext == ".CSV") {
      ok = ExportText(doc, file, TextExportMode::Comma, all);
    } else if (ext == ".PRN") {
      ok = ExportText(doc, file, TextExportMode::Quoted, all);
    } else if (ext == ".WKS" || ext.empty()) {
      ok = SaveWorksheet(doc, file, range);
    } else {
      Error(file + ": unknown output type (use .wks, .csv or .prn)");
      return false;
    }
    if (!ok) Error(file + ": cannot write");
    return ok;
  }

  int Convert(std::vector<std::string> args) {
    std::vector<std::string> files;
    std::string rangeText;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--range") {
        if (++i >= args.size()) return Usage("--range needs a range");
        rangeText = args[i];
      } else {
        files.push_back(args[i]);
      }
    }
    if (files.size() != 2) return Usage("convert needs IN and OUT");
    SheetDocument* doc = Load(files[0]);
    if (doc == nullptr) return 1;
    // Opening keeps the values stored in the file; a conversion writes
    // current ones, whatever the sheet's recalculation mode.
    RecalcAll(*doc);
    CellRange range;
    if (!rangeText.empty() && !ParseRangeOption(*doc, rangeText, range)) return 2;
    return Save(*doc, files[1], range) ? 0 : 1;
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
    RegisterDataCommands(batch.workspace());
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
  bool utf8_ = false;
  HeadlessHost host_;
  Session session_;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  Cli cli(out, err);
  return cli.Run(args);
}

}  // namespace tabulon
