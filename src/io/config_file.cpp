#include "io/config_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <variant>

#include "base/limits.h"
#include "io/safe_file.h"
#include "sheet/program_settings.h"
#include "base/text.h"

namespace tabulon {

namespace {

// Lines longer than this are cut. File names in the directory and history
// keys need more than the 80 characters of a short text value.
constexpr std::size_t kMaxLine = 1024;
// Settings and user-function files are small; anything beyond this is not
// one of ours and is not read further.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr std::size_t kMaxValueText = 80;
constexpr std::size_t kMaxFormats = 64;
constexpr int kMaxHistory = 10;

// The value text read as a number: hexadecimal after "$", otherwise
// decimal with optional fraction and exponent. No value when it does not
// read or is not finite.
bool NumberValue(std::string_view v, double& out) {
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  if (v.empty()) return false;
  if (v.front() == '$') {
    v.remove_prefix(1);
    if (v.empty() || v.size() > 16) return false;
    std::uint64_t x = 0;
    auto r = std::from_chars(v.data(), v.data() + v.size(), x, 16);
    if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return false;
    out = static_cast<double>(x);
    return true;
  }
  if (v.front() == '+') v.remove_prefix(1);
  double x = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), x);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size() || !std::isfinite(x)) return false;
  out = x;
  return true;
}

bool IntValue(std::string_view v, long long lo, long long hi, long long& out) {
  double x;
  if (!NumberValue(v, x)) return false;
  x = std::round(x);
  if (x < static_cast<double>(lo) || x > static_cast<double>(hi)) return false;
  out = static_cast<long long>(x);
  return true;
}

bool IsLabelPrefix(char c) { return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|'; }

void TrimHistory(std::vector<std::string>& h, int size) {
  std::size_t keep = static_cast<std::size_t>(std::clamp(size, 0, kMaxHistory));
  if (h.size() > keep) h.erase(h.begin(), h.begin() + static_cast<long>(h.size() - keep));
}

// Splits text into lines (LF, CR LF or a lone CR), each cut to kMaxLine.
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && text[j] != '\n' && text[j] != '\r') ++j;
    std::string_view line = text.substr(i, j - i);
    if (line.size() > kMaxLine) line = line.substr(0, kMaxLine);
    if (!fn(line)) return;
    if (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
    i = j + 1;
  }
}

// The file's bytes, at most kMaxFileBytes; empty when it cannot be read.
std::string ReadBounded(const std::string& fileName) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return {};
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return {};
  std::string data(kMaxFileBytes, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<std::size_t>(in.gcount()));
  return data;
}

// Where a key's value lives in ConfigSettings; the kind of pointer gives
// the value's form: flag, integer, colour, real, character, text, or a
// repeated key's list.
using Field = std::variant<std::monostate, bool*, int*, std::uint32_t*, double*, char*,
                           std::string*, std::vector<std::string>*>;

enum class Use { ReadWrite, WriteOnly, Ignored };

enum KeyOption : unsigned {
  kKeepOnEmpty = 1,     // an empty value leaves the setting as it is
  kSemicolonValue = 2,  // ";" right after "=" is the value, not a comment
  kLabelPrefix = 4,     // only a label prefix character is accepted
  kKeepNewest = 8,      // a full list drops its oldest entry
};

// One key of the settings file, for reading and writing alike. Keys are
// written in table order, each section's header before its first key.
struct ConfigKey {
  const char* section;  // null for keys that are recognised but never written
  const char* name;     // with its "="
  Use use;
  Field (*field)(ConfigSettings&);
  long long lo = 0, hi = 0;  // numbers: the accepted range
  std::size_t maxText = 0;   // texts and list entries: at most this many bytes (0: any)
  std::size_t maxEntries = 0;
  unsigned options = 0;
};

#define TABULON_FIELD(member) [](ConfigSettings& c) -> Field { return &c.member; }

const ConfigKey kConfigKeys[] = {
    {"Directories", "START=", Use::WriteOnly, TABULON_FIELD(startDir)},
    {"Directories", "SAVE=", Use::ReadWrite, TABULON_FIELD(saveDir)},
    {"Directories", "LOAD=", Use::ReadWrite, TABULON_FIELD(loadDir)},
    {"Formats", "FORMAT=", Use::ReadWrite, TABULON_FIELD(formats), 0, 0, kMaxValueText,
     kMaxFormats},
    {"Flags", "PRO=", Use::ReadWrite, TABULON_FIELD(protect)},
    {"Flags", "NEG=", Use::ReadWrite, TABULON_FIELD(negativeColour)},
    {"Flags", "ZERO=", Use::ReadWrite, TABULON_FIELD(hideZeros)},
    {"Flags", "BAND=", Use::ReadWrite, TABULON_FIELD(banding)},
    {"Flags", "MCALC=", Use::ReadWrite, TABULON_FIELD(manualRecalc)},
    {"Flags", "3DON=", Use::ReadWrite, TABULON_FIELD(raised3d)},
    {"Flags", "DIST=", Use::ReadWrite, TABULON_FIELD(dist)},
    {"Flags", "TIPS=", Use::ReadWrite, TABULON_FIELD(tips)},
    {"Flags", "USDATE=", Use::ReadWrite, TABULON_FIELD(usDate)},
    {"Flags", "QBAR=", Use::ReadWrite, TABULON_FIELD(quickBar)},
    {"Flags", "MBAR=", Use::ReadWrite, TABULON_FIELD(macroBar)},
    {"Flags", "SBAR=", Use::ReadWrite, TABULON_FIELD(statusBar)},
    {"Flags", "WINCTRL=", Use::ReadWrite, TABULON_FIELD(winControlKeys)},
    {"Flags", "PREOPEN=", Use::ReadWrite, TABULON_FIELD(preOpen)},
    {"Flags", "MDIMAX=", Use::ReadWrite, TABULON_FIELD(mdiMaximised)},
    {"Flags", "OCFDS=", Use::ReadWrite, TABULON_FIELD(oldFileDialogs)},
    {"Flags", "RDTSC=", Use::ReadWrite, TABULON_FIELD(rdtsc)},
    {"Flags", "UNDO=", Use::ReadWrite, TABULON_FIELD(undo)},
    {"Chars", "PREFIX=", Use::ReadWrite, TABULON_FIELD(labelPrefix), 0, 0, 0, 0,
     kKeepOnEmpty | kLabelPrefix},
    {"Chars", "CURR=", Use::ReadWrite, TABULON_FIELD(currencyPrefix), 0, 0, 2, 0, kSemicolonValue},
    {"Chars", "CURS=", Use::ReadWrite, TABULON_FIELD(currencySuffix), 0, 0, 2, 0, kSemicolonValue},
    {"Chars", "SEP=", Use::ReadWrite, TABULON_FIELD(argSeparator), 0, 0, 0, 0,
     kKeepOnEmpty | kSemicolonValue},
    {"Chars", "COMMA=", Use::ReadWrite, TABULON_FIELD(thousandsChar), 0, 0, 0, 0,
     kKeepOnEmpty | kSemicolonValue},
    {"Chars", "PERIOD=", Use::ReadWrite, TABULON_FIELD(decimalChar), 0, 0, 0, 0,
     kKeepOnEmpty | kSemicolonValue},
    {"Colors", "BKCLR=", Use::ReadWrite, TABULON_FIELD(colours[0]), 0, 0xFFFFFFFFll},
    {"Colors", "BDCLR=", Use::ReadWrite, TABULON_FIELD(colours[1]), 0, 0xFFFFFFFFll},
    {"Colors", "VALCLR=", Use::ReadWrite, TABULON_FIELD(colours[2]), 0, 0xFFFFFFFFll},
    {"Colors", "NEGCLR=", Use::ReadWrite, TABULON_FIELD(colours[3]), 0, 0xFFFFFFFFll},
    {"Colors", "LBLCLR=", Use::ReadWrite, TABULON_FIELD(colours[4]), 0, 0xFFFFFFFFll},
    {"Colors", "PROCLR=", Use::ReadWrite, TABULON_FIELD(colours[5]), 0, 0xFFFFFFFFll},
    {"Colors", "CURCLR=", Use::ReadWrite, TABULON_FIELD(colours[6]), 0, 0xFFFFFFFFll},
    {"Files", "AUTOEXEC=", Use::ReadWrite, TABULON_FIELD(autoexec)},
    {"Files", "TOOLMAC=", Use::ReadWrite, TABULON_FIELD(toolMacros), 0, 0, 0, 0, kKeepOnEmpty},
    {"Files", "TOOLGL=", Use::WriteOnly, [](ConfigSettings&) -> Field { return {}; }},
    {"Files", "HSIZE=", Use::ReadWrite, TABULON_FIELD(historySize), 0, kMaxHistory},
    {"Files", "HIST=", Use::ReadWrite, TABULON_FIELD(history), 0, 0, 0, kMaxHistory, kKeepNewest},
    {"Defaults", "SCALE=", Use::WriteOnly, TABULON_FIELD(scale)},
    {"Defaults", "GFORM=", Use::ReadWrite, TABULON_FIELD(defaultFormat), 0, 255},
    {"Defaults", "GFONT=", Use::ReadWrite, TABULON_FIELD(graphFont), 0, 0, 40, 0, kKeepOnEmpty},
    {"Defaults", "GSIZE=", Use::ReadWrite, TABULON_FIELD(graphFontSize), 1, 255},
    {"Defaults", "PRELOAD=", Use::ReadWrite, TABULON_FIELD(preload), 0, 255},
    {"Printer", "PMONO=", Use::ReadWrite, TABULON_FIELD(printMono)},
    {"Printer", "PFRAME=", Use::ReadWrite, TABULON_FIELD(printFrame)},
    {"Printer", "PORIENT=", Use::ReadWrite, TABULON_FIELD(orientation), 0, 1},
    {"Printer", "MTTR=", Use::ReadWrite, TABULON_FIELD(margins[0]), 0, 100},
    {"Printer", "MLTR=", Use::ReadWrite, TABULON_FIELD(margins[1]), 0, 100},
    {"Printer", "MRTR=", Use::ReadWrite, TABULON_FIELD(margins[2]), 0, 100},
    {"Printer", "MBTR=", Use::ReadWrite, TABULON_FIELD(margins[3]), 0, 100},
    {"Printer", "MTHR=", Use::ReadWrite, TABULON_FIELD(margins[4]), 0, 100},
    {"Printer", "MBFR=", Use::ReadWrite, TABULON_FIELD(margins[5]), 0, 100},
    // Recognised as keys, without effect, never written.
    {nullptr, "COLOR=", Use::Ignored, [](ConfigSettings&) -> Field { return {}; }},
    {nullptr, "PSCALE=", Use::Ignored, [](ConfigSettings&) -> Field { return {}; }},
};
static_assert(std::size(kConfigKeys) == 56);

#undef TABULON_FIELD

template <typename... Fn>
struct Overloaded : Fn... {
  using Fn::operator()...;
};
template <typename... Fn>
Overloaded(Fn...) -> Overloaded<Fn...>;

const ConfigKey* FindKey(std::string_view key) {
  for (const ConfigKey& k : kConfigKeys)
    if (key == k.name) return &k;
  return nullptr;
}

// Reads one value into its field; `seen` tells whether an earlier line had
// the same key (a repeated key's list starts afresh with its first line).
void ReadValue(const ConfigKey& k, std::string_view v, bool seen, ConfigSettings& cfg) {
  std::visit(
      Overloaded{
          [](std::monostate) {},
          // A flag is on when the value contains upper-case TRUE anywhere.
          [&](bool* f) { *f = v.find("TRUE") != std::string_view::npos; },
          [&](int* f) {
            long long x;
            if (IntValue(v, k.lo, k.hi, x)) *f = static_cast<int>(x);
          },
          [&](std::uint32_t* f) {
            long long x;
            if (IntValue(v, k.lo, k.hi, x)) *f = static_cast<std::uint32_t>(x);
          },
          [&](double* f) {
            double x;
            if (NumberValue(v, x) && x >= static_cast<double>(k.lo) &&
                x <= static_cast<double>(k.hi))
              *f = x;
          },
          [&](char* f) {
            if (v.empty() || ((k.options & kLabelPrefix) && !IsLabelPrefix(v[0]))) return;
            *f = v[0];
          },
          [&](std::string* f) {
            if (v.empty() && (k.options & kKeepOnEmpty)) return;
            *f = std::string(k.maxText ? v.substr(0, k.maxText) : v);
          },
          [&](std::vector<std::string>* f) {
            if (!seen) f->clear();
            if (v.empty()) return;
            if (f->size() >= k.maxEntries) {
              if (!(k.options & kKeepNewest)) return;
              f->erase(f->begin());
            }
            f->emplace_back(k.maxText ? v.substr(0, k.maxText) : v);
          },
      },
      k.field(cfg));
}

// The characters that shape how numbers and argument lists are typed. Each
// must not be mistaken for a digit, an operator, a quote or a label prefix
// while an entry is read, and the decimal character must differ from the
// other two (the thousands separator only appears in displayed values, so
// it may equal the argument separator, as it does by default).
struct NumberChars {
  char decimal, separator, thousands;
};

constexpr std::string_view kDecimalChars = ".,";
constexpr std::string_view kSeparatorChars = ",;";
constexpr std::string_view kThousandsChars = ",. ";

std::string Quoted(char c) { return std::string("\"") + c + '"'; }

std::string Choices(std::string_view allowed) {
  std::string text;
  for (std::size_t i = 0; i < allowed.size(); ++i) {
    if (i > 0) text += i + 1 == allowed.size() ? " or " : ", ";
    text += allowed[i] == ' ' ? std::string("a space") : Quoted(allowed[i]);
  }
  return text;
}

// Refuses a character that is not among `allowed`, keeping `previous`.
void CheckChar(const char* key, const char* what, std::string_view allowed, char previous,
               char& value, std::vector<std::string>& messages) {
  if (allowed.find(value) != std::string_view::npos) return;
  messages.push_back(std::string(key) + Quoted(value) + " refused: the " + what + " must be " +
                     Choices(allowed) + "; " + Quoted(previous) + " is kept");
  value = previous;
}

// Checks the three characters after reading: each on its own, then against
// each other. A clash between two of them refuses all three changes, so the
// previous (consistent) set stays.
void CheckNumberChars(NumberChars before, ConfigSettings& cfg, std::vector<std::string>& messages) {
  auto valid = [](NumberChars c) {
    return kDecimalChars.find(c.decimal) != std::string_view::npos &&
           kSeparatorChars.find(c.separator) != std::string_view::npos &&
           kThousandsChars.find(c.thousands) != std::string_view::npos &&
           c.decimal != c.separator && c.decimal != c.thousands;
  };
  if (!valid(before)) before = {'.', ',', ','};
  CheckChar("PERIOD=", "decimal character", kDecimalChars, before.decimal, cfg.decimalChar,
            messages);
  CheckChar("SEP=", "argument separator", kSeparatorChars, before.separator, cfg.argSeparator,
            messages);
  CheckChar("COMMA=", "thousands separator", kThousandsChars, before.thousands,
            cfg.thousandsChar, messages);
  const char* clash = nullptr;
  if (cfg.decimalChar == cfg.argSeparator)
    clash = "the decimal character is also the argument separator";
  else if (cfg.decimalChar == cfg.thousandsChar)
    clash = "the decimal character is also the thousands separator";
  if (clash == nullptr) return;
  messages.push_back("PERIOD=" + Quoted(cfg.decimalChar) + ", SEP=" + Quoted(cfg.argSeparator) +
                     " and COMMA=" + Quoted(cfg.thousandsChar) + " refused: " + clash + "; " +
                     Quoted(before.decimal) + ", " + Quoted(before.separator) + " and " +
                     Quoted(before.thousands) + " are kept");
  cfg.decimalChar = before.decimal;
  cfg.argSeparator = before.separator;
  cfg.thousandsChar = before.thousands;
}

// Writes one key's line, or one line per entry of a repeated key.
void WriteValue(const ConfigKey& k, ConfigSettings& cfg, std::string& out) {
  auto line = [&](std::string_view value) {
    out += k.name;
    out += value;
    out += '\n';
  };
  char buf[64];
  std::visit(Overloaded{
                 [&](std::monostate) { line(""); },
                 [&](bool* f) { line(*f ? "TRUE" : "FALSE"); },
                 [&](int* f) { line(std::to_string(*f)); },
                 [&](std::uint32_t* f) {
                   std::snprintf(buf, sizeof buf, "$%08X", *f);
                   line(buf);
                 },
                 [&](double* f) {
                   std::snprintf(buf, sizeof buf, "%.2f", *f);
                   line(buf);
                 },
                 [&](char* f) { line(std::string_view(f, 1)); },
                 [&](std::string* f) { line(*f); },
                 [&](std::vector<std::string>* f) {
                   for (const std::string& entry : *f) line(entry);
                 },
             },
             k.field(cfg));
}

}  // namespace

std::vector<std::string> DefaultFormatList() {
  return {"F2,Fixed",   "S2,Science", "M2,Comma",    "G,General", "P2,Percent",
          "E2,Eng",     "C2,Currency", "D0,YY:MM:DD", "X,Text"};
}

std::string ConfigBaseName(std::string_view programFileName) {
  std::size_t slash = programFileName.find_last_of("/\\");
  if (slash != std::string_view::npos) programFileName.remove_prefix(slash + 1);
  std::size_t dot = programFileName.find('.');
  if (dot == std::string_view::npos) return "TBL";
  return std::string(programFileName.substr(0, std::min<std::size_t>(dot, 12)));
}

ConfigSettings DefaultConfig(const std::string& dir, const std::string& base) {
  ConfigSettings c;
  c.startDir = c.saveDir = c.loadDir = dir;
  c.autoexec = dir + "AUTOEXEC.WKS";
  c.toolMacros = dir + base + ".MAC";
  return c;
}

std::vector<std::string> ParseSettings(std::string_view text, ConfigSettings& cfg) {
  std::vector<std::string> messages;
  const NumberChars before{cfg.decimalChar, cfg.argSeparator, cfg.thousandsChar};
  std::array<bool, std::size(kConfigKeys)> seen{};
  ForEachLine(text, [&](std::string_view line) {
    std::size_t eq = line.find('=');
    std::size_t semi = line.find(';');
    if (eq == std::string_view::npos || semi < eq) return true;
    const ConfigKey* k = FindKey(line.substr(0, std::min<std::size_t>(eq + 1, 16)));
    if (k == nullptr || k->use != Use::ReadWrite) return true;
    // ";" is a valid separator character: as the first character of a
    // character value it is the value, not the start of a comment.
    if ((k->options & kSemicolonValue) && semi == eq + 1) semi = line.find(';', eq + 2);
    std::string_view v = line.substr(eq + 1, semi == std::string_view::npos ? semi : semi - eq - 1);
    std::size_t i = static_cast<std::size_t>(k - kConfigKeys);
    ReadValue(*k, v, seen[i], cfg);
    seen[i] = true;
    return true;
  });
  // The time-stamp option only applies to one processor family; it is
  // never on here.
  cfg.rdtsc = false;
  // Without a "FORMAT=" line the default format list is installed.
  if (!seen[static_cast<std::size_t>(FindKey("FORMAT=") - kConfigKeys)] || cfg.formats.empty())
    cfg.formats = DefaultFormatList();
  TrimHistory(cfg.history, cfg.historySize);
  CheckNumberChars(before, cfg, messages);
  return messages;
}

std::vector<std::string> ReadSettings(const std::string& fileName, ConfigSettings& cfg) {
  return ParseSettings(ReadBounded(fileName), cfg);
}

std::string SettingsText(const ConfigSettings& cfg) {
  ConfigSettings c = cfg;  // the fields are reached through one accessor for both directions
  std::string out;
  const char* section = nullptr;
  for (const ConfigKey& k : kConfigKeys) {
    if (k.section == nullptr) continue;
    if (section == nullptr || std::strcmp(section, k.section) != 0) {
      section = k.section;
      out += "\n[";
      out += section;
      out += "]\n";
    }
    WriteValue(k, c, out);
  }
  return out;
}

std::string SettingsBackupName(const std::string& fileName) {
  std::string b = fileName;
  if (!b.empty()) b.back() = 'b';
  return b;
}

bool WriteSettings(const std::string& fileName, const ConfigSettings& cfg) {
  return WriteFileSafely(fileName, SettingsText(cfg),
                         [](const std::string& target) { return SettingsBackupName(target); });
}

std::vector<UserFunction> ReadUserFunctions(const std::string& fileName) {
  return ParseUserFunctionFile(ReadBounded(fileName));
}

void ApplyConfig(const ConfigSettings& cfg, ProgramSettings& p) {
  p.decimalChar = cfg.decimalChar;
  p.thousandsChar = cfg.thousandsChar;
  p.argSeparator = cfg.argSeparator;
  p.currencyPrefix = cfg.currencyPrefix;
  p.currencySuffix = cfg.currencySuffix;
  p.undoEnabled = cfg.undo;
  SheetSettings& s = p.sheetDefaults;
  s.protect = cfg.protect;
  s.negativeColour = cfg.negativeColour;
  s.hideZeros = cfg.hideZeros;
  s.banding = cfg.banding;
  s.manualRecalc = cfg.manualRecalc;
  s.labelPrefix = cfg.labelPrefix;
  s.defaultFormat = static_cast<std::uint8_t>(cfg.defaultFormat);
  p.print.mono = cfg.printMono;
  p.print.frame = cfg.printFrame;
  p.print.landscape = cfg.orientation == 1;
}

void CaptureConfig(const ProgramSettings& p, ConfigSettings& cfg) {
  cfg.decimalChar = p.decimalChar;
  cfg.thousandsChar = p.thousandsChar;
  cfg.argSeparator = p.argSeparator;
  cfg.currencyPrefix = p.currencyPrefix.substr(0, 2);
  cfg.currencySuffix = p.currencySuffix.substr(0, 2);
  cfg.undo = p.undoEnabled;
  const SheetSettings& s = p.sheetDefaults;
  cfg.protect = s.protect;
  cfg.negativeColour = s.negativeColour;
  cfg.hideZeros = s.hideZeros;
  cfg.banding = s.banding;
  cfg.manualRecalc = s.manualRecalc;
  cfg.labelPrefix = s.labelPrefix;
  cfg.defaultFormat = s.defaultFormat;
  cfg.printMono = p.print.mono;
  cfg.printFrame = p.print.frame;
  cfg.orientation = p.print.landscape ? 1 : 0;
}

}  // namespace tabulon
