// Page headers and footers: the codes a header text may hold (page number,
// date, time, file name) and its sections separated by "|", placed left,
// centred and right across the page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace tabulon {

struct FormatSettings;

// What the codes stand for on one page.
struct HeaderValues {
  int page = 1;
  std::string date;      // today's date as the sheet shows dates
  std::string time;      // the current time
  std::string fileName;  // the worksheet's file name
};

// The date and time texts of a date number (days and the time of day).
std::string HeaderDateText(double now, const FormatSettings& fmt);
std::string HeaderTimeText(double now, const FormatSettings& fmt);

// Replaces "#" and "^P" by the page number, "@" and "^D" by the date, "^T"
// by the time and "^F" by the file name (the letter after "^" in either
// case). Text put in by a code is never read for codes again, so a file
// name holding "#" or "^F" stays as it is. At most 240 characters result.
std::string ExpandHeaderCodes(std::string_view text, const HeaderValues& values);

// A section of a header placed on the page: x is its left edge, centre or
// right edge by alignment.
struct PlacedText {
  int x = 0;
  Align align = Align::Left;
  std::string text;
};

// The sections of an expanded header across `width` units from `left`: one
// section is centred; two go left and right; three are placed left,
// centred and right in thirds of the width. A fourth and later section
// stay part of the third. Empty sections are left out.
std::vector<PlacedText> PlaceSections(std::string_view text, int left, int width);

}  // namespace tabulon
