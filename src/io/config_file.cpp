#include "io/config_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/limits.h"
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

enum class KeyId {
  Start, Save, Load, Format, Pro, Neg, Zero, Band, MCalc, ThreeD, Dist, Tips, UsDate, QBar, MBar,
  SBar, WinCtrl, PreOpen, MdiMax, Ocfds, Rdtsc, Undo, Prefix, Curr, Curs, Sep, Comma, Period,
  BkClr, BdClr, ValClr, NegClr, LblClr, ProClr, CurClr, Autoexec, ToolMac, ToolGl, HSize, Hist,
  Scale, GForm, GFont, GSize, Preload, PMono, PFrame, POrient, Mttr, Mltr, Mrtr, Mbtr, Mthr, Mbfr,
  Color, PScale,
};

struct KeyName {
  const char* name;
  KeyId id;
};

constexpr KeyName kKeys[] = {
    {"START=", KeyId::Start},     {"SAVE=", KeyId::Save},       {"LOAD=", KeyId::Load},
    {"FORMAT=", KeyId::Format},   {"PRO=", KeyId::Pro},         {"NEG=", KeyId::Neg},
    {"ZERO=", KeyId::Zero},       {"BAND=", KeyId::Band},       {"MCALC=", KeyId::MCalc},
    {"3DON=", KeyId::ThreeD},     {"DIST=", KeyId::Dist},       {"TIPS=", KeyId::Tips},
    {"USDATE=", KeyId::UsDate},   {"QBAR=", KeyId::QBar},       {"MBAR=", KeyId::MBar},
    {"SBAR=", KeyId::SBar},       {"WINCTRL=", KeyId::WinCtrl}, {"PREOPEN=", KeyId::PreOpen},
    {"MDIMAX=", KeyId::MdiMax},   {"OCFDS=", KeyId::Ocfds},     {"RDTSC=", KeyId::Rdtsc},
    {"UNDO=", KeyId::Undo},       {"PREFIX=", KeyId::Prefix},   {"CURR=", KeyId::Curr},
    {"CURS=", KeyId::Curs},       {"SEP=", KeyId::Sep},         {"COMMA=", KeyId::Comma},
    {"PERIOD=", KeyId::Period},   {"BKCLR=", KeyId::BkClr},     {"BDCLR=", KeyId::BdClr},
    {"VALCLR=", KeyId::ValClr},   {"NEGCLR=", KeyId::NegClr},   {"LBLCLR=", KeyId::LblClr},
    {"PROCLR=", KeyId::ProClr},   {"CURCLR=", KeyId::CurClr},   {"AUTOEXEC=", KeyId::Autoexec},
    {"TOOLMAC=", KeyId::ToolMac}, {"TOOLGL=", KeyId::ToolGl},   {"HSIZE=", KeyId::HSize},
    {"HIST=", KeyId::Hist},       {"SCALE=", KeyId::Scale},     {"GFORM=", KeyId::GForm},
    {"GFONT=", KeyId::GFont},     {"GSIZE=", KeyId::GSize},     {"PRELOAD=", KeyId::Preload},
    {"PMONO=", KeyId::PMono},     {"PFRAME=", KeyId::PFrame},   {"PORIENT=", KeyId::POrient},
    {"MTTR=", KeyId::Mttr},       {"MLTR=", KeyId::Mltr},       {"MRTR=", KeyId::Mrtr},
    {"MBTR=", KeyId::Mbtr},       {"MTHR=", KeyId::Mthr},       {"MBFR=", KeyId::Mbfr},
    {"COLOR=", KeyId::Color},     {"PSCALE=", KeyId::PScale},
};
static_assert(std::size(kKeys) == 56);

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

void SetInt(std::string_view v, long long lo, long long hi, int& field) {
  long long x;
  if (IntValue(v, lo, hi, x)) field = static_cast<int>(x);
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

void ParseSettings(std::string_view text, ConfigSettings& cfg) {
  bool formatRead = false;
  std::vector<std::string> formats;
  ForEachLine(text, [&](std::string_view line) {
    std::size_t eq = line.find('=');
    std::size_t semi = line.find(';');
    if (eq == std::string_view::npos || semi < eq) return true;
    std::string_view key = line.substr(0, std::min<std::size_t>(eq + 1, 16));
    const KeyName* k = nullptr;
    for (const KeyName& n : kKeys)
      if (key == n.name) k = &n;
    if (k == nullptr) return true;
    // ";" is a valid separator character: as the first character of a
    // character value it is the value, not the start of a comment.
    bool charKey = k->id == KeyId::Sep || k->id == KeyId::Comma || k->id == KeyId::Period ||
                   k->id == KeyId::Curr || k->id == KeyId::Curs;
    if (charKey && semi == eq + 1) semi = line.find(';', eq + 2);
    std::string_view v = line.substr(eq + 1, semi == std::string_view::npos ? semi : semi - eq - 1);
    bool flag = v.find("TRUE") != std::string_view::npos;
    std::string text(v.substr(0, kMaxValueText));
    auto colour = [&](int i) {
      long long x;
      if (IntValue(v, 0, 0xFFFFFFFFll, x)) cfg.colours[i] = static_cast<std::uint32_t>(x);
    };
    auto margin = [&](int i) {
      double x;
      if (NumberValue(v, x) && x >= 0 && x <= 100) cfg.margins[i] = x;
    };
    switch (k->id) {
      case KeyId::Start: break;  // written only
      case KeyId::Save: cfg.saveDir = std::string(v); break;
      case KeyId::Load: cfg.loadDir = std::string(v); break;
      case KeyId::Format:
        formatRead = true;
        if (!text.empty() && formats.size() < kMaxFormats) formats.push_back(text);
        break;
      case KeyId::Pro: cfg.protect = flag; break;
      case KeyId::Neg: cfg.negativeColour = flag; break;
      case KeyId::Zero: cfg.hideZeros = flag; break;
      case KeyId::Band: cfg.banding = flag; break;
      case KeyId::MCalc: cfg.manualRecalc = flag; break;
      case KeyId::ThreeD: cfg.raised3d = flag; break;
      case KeyId::Dist: cfg.dist = flag; break;
      case KeyId::Tips: cfg.tips = flag; break;
      case KeyId::UsDate: cfg.usDate = flag; break;
      case KeyId::QBar: cfg.quickBar = flag; break;
      case KeyId::MBar: cfg.macroBar = flag; break;
      case KeyId::SBar: cfg.statusBar = flag; break;
      case KeyId::WinCtrl: cfg.winControlKeys = flag; break;
      case KeyId::PreOpen: cfg.preOpen = flag; break;
      case KeyId::MdiMax: cfg.mdiMaximised = flag; break;
      case KeyId::Ocfds: cfg.oldFileDialogs = flag; break;
      // The time-stamp option only applies to one processor family; it is
      // never on here.
      case KeyId::Rdtsc: cfg.rdtsc = false; break;
      case KeyId::Undo: cfg.undo = flag; break;
      case KeyId::Prefix:
        if (!v.empty() && IsLabelPrefix(v[0])) cfg.labelPrefix = v[0];
        break;
      case KeyId::Curr: cfg.currencyPrefix = std::string(v.substr(0, 2)); break;
      case KeyId::Curs: cfg.currencySuffix = std::string(v.substr(0, 2)); break;
      case KeyId::Sep:
        if (!v.empty()) cfg.argSeparator = v[0];
        break;
      case KeyId::Comma:
        if (!v.empty()) cfg.thousandsChar = v[0];
        break;
      case KeyId::Period:
        if (!v.empty()) cfg.decimalChar = v[0];
        break;
      case KeyId::BkClr: colour(0); break;
      case KeyId::BdClr: colour(1); break;
      case KeyId::ValClr: colour(2); break;
      case KeyId::NegClr: colour(3); break;
      case KeyId::LblClr: colour(4); break;
      case KeyId::ProClr: colour(5); break;
      case KeyId::CurClr: colour(6); break;
      case KeyId::Autoexec: cfg.autoexec = std::string(v); break;
      case KeyId::ToolMac:
        if (!v.empty()) cfg.toolMacros = std::string(v);
        break;
      case KeyId::ToolGl: break;
      case KeyId::HSize: SetInt(v, 0, kMaxHistory, cfg.historySize); break;
      case KeyId::Hist:
        if (!v.empty()) {
          cfg.history.emplace_back(v);
          TrimHistory(cfg.history, kMaxHistory);
        }
        break;
      case KeyId::Scale: break;  // written only
      case KeyId::GForm: SetInt(v, 0, 255, cfg.defaultFormat); break;
      case KeyId::GFont:
        if (!v.empty()) cfg.graphFont = std::string(v.substr(0, 40));
        break;
      case KeyId::GSize: SetInt(v, 1, 255, cfg.graphFontSize); break;
      case KeyId::Preload: SetInt(v, 0, 255, cfg.preload); break;
      case KeyId::PMono: cfg.printMono = flag; break;
      case KeyId::PFrame: cfg.printFrame = flag; break;
      case KeyId::POrient: SetInt(v, 0, 1, cfg.orientation); break;
      case KeyId::Mttr: margin(0); break;
      case KeyId::Mltr: margin(1); break;
      case KeyId::Mrtr: margin(2); break;
      case KeyId::Mbtr: margin(3); break;
      case KeyId::Mthr: margin(4); break;
      case KeyId::Mbfr: margin(5); break;
      case KeyId::Color:
      case KeyId::PScale: break;  // recognised, without effect
    }
    return true;
  });
  if (formatRead && !formats.empty()) cfg.formats = std::move(formats);
  else if (cfg.formats.empty() || !formatRead) cfg.formats = DefaultFormatList();
  TrimHistory(cfg.history, cfg.historySize);
}

void ReadSettings(const std::string& fileName, ConfigSettings& cfg) {
  ParseSettings(ReadBounded(fileName), cfg);
}

std::string SettingsText(const ConfigSettings& c) {
  std::string out;
  auto section = [&](const char* name) {
    out += "\n[";
    out += name;
    out += "]\n";
  };
  auto line = [&](const char* key, std::string_view value) {
    out += key;
    out += value;
    out += '\n';
  };
  auto flag = [&](const char* key, bool on) { line(key, on ? "TRUE" : "FALSE"); };
  auto number = [&](const char* key, long long v) { line(key, std::to_string(v)); };
  auto colour = [&](const char* key, std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", v);
    line(key, buf);
  };
  auto real = [&](const char* key, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    line(key, buf);
  };
  section("Directories");
  line("START=", c.startDir);
  line("SAVE=", c.saveDir);
  line("LOAD=", c.loadDir);
  section("Formats");
  for (const std::string& f : c.formats) line("FORMAT=", f);
  section("Flags");
  flag("PRO=", c.protect);
  flag("NEG=", c.negativeColour);
  flag("ZERO=", c.hideZeros);
  flag("BAND=", c.banding);
  flag("MCALC=", c.manualRecalc);
  flag("3DON=", c.raised3d);
  flag("DIST=", c.dist);
  flag("TIPS=", c.tips);
  flag("USDATE=", c.usDate);
  flag("QBAR=", c.quickBar);
  flag("MBAR=", c.macroBar);
  flag("SBAR=", c.statusBar);
  flag("WINCTRL=", c.winControlKeys);
  flag("PREOPEN=", c.preOpen);
  flag("MDIMAX=", c.mdiMaximised);
  flag("OCFDS=", c.oldFileDialogs);
  flag("RDTSC=", c.rdtsc);
  flag("UNDO=", c.undo);
  section("Chars");
  line("PREFIX=", std::string(1, c.labelPrefix));
  line("CURR=", c.currencyPrefix);
  line("CURS=", c.currencySuffix);
  line("SEP=", std::string(1, c.argSeparator));
  line("COMMA=", std::string(1, c.thousandsChar));
  line("PERIOD=", std::string(1, c.decimalChar));
  section("Colors");
  const char* colourKeys[] = {"BKCLR=", "BDCLR=", "VALCLR=", "NEGCLR=",
                              "LBLCLR=", "PROCLR=", "CURCLR="};
  for (int i = 0; i < 7; ++i) colour(colourKeys[i], c.colours[i]);
  section("Files");
  line("AUTOEXEC=", c.autoexec);
  line("TOOLMAC=", c.toolMacros);
  line("TOOLGL=", "");
  number("HSIZE=", c.historySize);
  for (const std::string& h : c.history) line("HIST=", h);
  section("Defaults");
  number("SCALE=", c.scale);
  number("GFORM=", c.defaultFormat);
  line("GFONT=", c.graphFont);
  number("GSIZE=", c.graphFontSize);
  number("PRELOAD=", c.preload);
  section("Printer");
  flag("PMONO=", c.printMono);
  flag("PFRAME=", c.printFrame);
  number("PORIENT=", c.orientation);
  const char* marginKeys[] = {"MTTR=", "MLTR=", "MRTR=", "MBTR=", "MTHR=", "MBFR="};
  for (int i = 0; i < 6; ++i) real(marginKeys[i], c.margins[i]);
  return out;
}

std::string SettingsBackupName(const std::string& fileName) {
  std::string b = fileName;
  if (!b.empty()) b.back() = 'b';
  return b;
}

bool WriteSettings(const std::string& fileName, const ConfigSettings& cfg) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(fileName, ec)) {
    std::string backup = SettingsBackupName(fileName);
    fs::remove(backup, ec);
    fs::rename(fileName, backup, ec);
  }
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string text = SettingsText(cfg);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
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
