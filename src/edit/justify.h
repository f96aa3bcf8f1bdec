// Text justify: the texts of a range, read column by column, reflowed into
// lines no wider than a width in pixels and written back down the range as
// labels, optionally padded with spaces so every line but the last fills
// the width.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// The pixel width of a text in the font of the range's first cell.
using MeasureText = std::function<int(std::string_view)>;

inline constexpr int kMaxJustifyCells = 500;
inline constexpr const char* kJustifyTooSmall = " RANGE to Small. Expand it!";

// The width field's preset: the range's columns' total pixel width / 4.
int JustifyWidthPreset(SheetDocument& doc, const CellRange& range);

// The lines the range's text makes at line width W = widthField * 4 - 4.
std::vector<std::string> JustifyLines(SheetDocument& doc, const CellRange& range, int widthField,
                                      bool pad, const MeasureText& measure);
// One padded line: a space more after each word, left to right, pass after
// pass, while the line stays within the width.
std::string PadLine(const std::string& line, int width, const MeasureText& measure);

// Justifies the range. False with " RANGE to Small. Expand it!" in the
// error channel (nothing changed) when the lines need more cells than the
// range has, or with the entry's message when writing stops at a cell.
bool Justify(SheetDocument& doc, const CellRange& range, int widthField, bool pad,
             const MeasureText& measure);

}  // namespace tabulon
