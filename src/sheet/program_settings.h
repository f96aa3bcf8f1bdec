// Program-wide settings, read from the configuration file at start-up and
// written back at exit. New worksheets copy their settings from here.
#pragma once

#include <string>

#include "sheet/print_options.h"
#include "sheet/sheet_settings.h"

namespace tabulon {

struct ProgramSettings {
  char decimalChar = '.';     // decimal character of numbers typed and shown
  char thousandsChar = ',';   // thousands separator of the Comma and Currency formats
  char argSeparator = ',';    // separator of function arguments: ',' or ';'
  std::string currencyPrefix = "$";  // up to 2 characters each
  std::string currencySuffix;
  bool twoDigitYears = false;  // dates show two-digit years
  bool usDate = true;          // date text reads month before day (else day first)
  bool undoEnabled = true;
  // The data tools' bin intervals: a <= x < b when set, a < x <= b
  // otherwise. Kept between uses, not saved.
  bool binLowerClosed = true;
  SheetSettings sheetDefaults;  // copied into every new worksheet
  PrintOptions print;           // kept between print jobs
};

}  // namespace tabulon
