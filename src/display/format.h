// Display formats: the one-byte format code of a cell or of a worksheet's
// default, and the texts built from it.
//
// Format byte: bits 4-6 the group (Fixed, Scientific, Currency/Fraction,
// Percent, Comma, Engineering, General, Special), bits 0-3 its parameter;
// bit 7 is the cell's lock and is ignored here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

struct ProgramSettings;
struct SheetSettings;
class SheetDocument;

// Format codes with a meaning of their own elsewhere.
inline constexpr std::uint8_t kFormatBar = 112;
inline constexpr std::uint8_t kFormatGeneral = 113;
inline constexpr std::uint8_t kFormatD1 = 114;
inline constexpr std::uint8_t kFormatText = 117;
inline constexpr std::uint8_t kFormatHidden = 118;
inline constexpr std::uint8_t kFormatD4 = 121;
inline constexpr std::uint8_t kFormatD5 = 122;
inline constexpr std::uint8_t kFormatLabelOnly = 126;
inline constexpr std::uint8_t kFormatUseDefault = 127;

// Everything the formatter consults besides its arguments.
struct FormatSettings {
  bool hideZeros = false;
  char decimalChar = '.';
  char thousandsChar = ',';  // '\0': no separator
  std::string currencyPrefix = "$";
  std::string currencySuffix;
  bool twoDigitYears = false;
};

FormatSettings FormatSettingsOf(const ProgramSettings& program, const SheetSettings& sheet);
FormatSettings FormatSettingsOf(SheetDocument& doc);

// The format a cell shows: its own code, or the worksheet default for 127.
std::uint8_t EffectiveFormat(std::uint8_t cellFormat, const SheetSettings& sheet);

// The text of a number in a format, for a column `width` digits wide; at
// most 240 characters. Most results end in one blank, percent results in
// "%", negative Comma and Currency results in ")".
std::string FormatValue(int width, std::uint8_t format, double x, const FormatSettings& settings);

// The number as it is written for editing and unformatted output.
std::string InputForm(double x, char decimalChar = '.');

// Short name for the cell indicator ("F2", "Fr3", "D1", "Pr C2"), at most 5
// characters.
std::string FormatShortName(std::uint8_t format, bool protectionOn);

// Format-code text ("F2", "D0", "T", "R") to a format byte; 127 when the
// letter is unknown.
std::uint8_t ParseFormatCode(std::string_view text);

// Calendar date of a day number (day 0 = 30 December 1899), Julian calendar
// before 15 October 1582.
struct CalendarDate {
  long long year;
  int month;  // 1..12
  int day;    // 1..31
};
CalendarDate DateOfDayNumber(double x);

}  // namespace tabulon
