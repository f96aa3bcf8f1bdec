// The settings file (sections of KEY=value lines, read at start-up and
// written back at exit with a backup of the previous file) and the
// user-function file (pairs of lines: "NAME,n" and the body's formula
// text). What cannot be read keeps its default; only a refused number
// character is reported (ParseSettings).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formula/engine.h"

namespace tabulon {

struct ProgramSettings;

struct ConfigSettings {
  // [Directories]
  std::string startDir, saveDir, loadDir;
  // [Formats]: "code,description" entries of the format selector.
  std::vector<std::string> formats;
  // [Flags]
  bool protect = false, negativeColour = false, hideZeros = false, banding = true;
  bool manualRecalc = false, raised3d = false, dist = true, tips = true, usDate = true;
  bool quickBar = true, macroBar = true, statusBar = true, winControlKeys = true;
  bool preOpen = true, mdiMaximised = false, oldFileDialogs = false, rdtsc = false;
  bool undo = true;
  // [Chars]
  char labelPrefix = '\'';
  std::string currencyPrefix = "$", currencySuffix = " ";
  char argSeparator = ',', thousandsChar = ',', decimalChar = '.';
  // [Colors]: background, banding, value, negative, label, protected cell,
  // cell pointer.
  std::array<std::uint32_t, 7> colours{0x00FFFFFFu, 0x00E0FFFFu, 0x41FFFFFFu, 0x4CFFFFFFu,
                                       0x42FFFFFFu, 0x07800000u, 0x0FFF0000u};
  // [Files]
  std::string autoexec, toolMacros;
  int historySize = 5;
  std::vector<std::string> history;  // oldest first
  // [Defaults]
  int scale = 100, defaultFormat = 113;
  std::string graphFont = "Arial";
  int graphFontSize = 12, preload = 1;
  // [Printer]
  bool printMono = true, printFrame = false;
  int orientation = 0;
  // Inches: top, left, right, bottom, header, footer.
  std::array<double, 6> margins{0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
};

// The default format list, used when the file has no "FORMAT=" line.
std::vector<std::string> DefaultFormatList();

// Defaults for a program whose files live in `dir` (with a trailing "/")
// and whose base name is `base`.
ConfigSettings DefaultConfig(const std::string& dir, const std::string& base);

// The base name of the program's files: the program file's name up to its
// first "." (at most 12 characters), "TBL" when it has no ".".
std::string ConfigBaseName(std::string_view programFileName);

// Reads settings text over `cfg` (which holds the defaults). Installs the
// default format list when no "FORMAT=" line was read. Returns a message
// for each value refused with a reason the user must hear: a decimal
// character, argument separator or thousands separator that could be
// mistaken for part of an entry (a digit, an operator, a quote, a label
// prefix) or that clashes with another of the three. Such a value is not
// taken; the previous one stays.
std::vector<std::string> ParseSettings(std::string_view text, ConfigSettings& cfg);
// Reads the file; a missing or unreadable file leaves the defaults.
std::vector<std::string> ReadSettings(const std::string& fileName, ConfigSettings& cfg);

std::string SettingsText(const ConfigSettings& cfg);
// Writes the settings anew, keeping an existing file as its backup (last
// character replaced by "b"). False when the file could not be written; the
// previous file is then unchanged.
bool WriteSettings(const std::string& fileName, const ConfigSettings& cfg);
std::string SettingsBackupName(const std::string& fileName);

// Reads the user-function file (its format: ParseUserFunctionFile); an
// unreadable file gives an empty list.
std::vector<UserFunction> ReadUserFunctions(const std::string& fileName);

// The program-wide settings the model consults, and back.
void ApplyConfig(const ConfigSettings& cfg, ProgramSettings& program);
void CaptureConfig(const ProgramSettings& program, ConfigSettings& cfg);

}  // namespace tabulon
