// Formula text regenerated from compiled code: what the input line shows
// for a formula cell, and what copying, exporting and printing write.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;
struct CellRecord;

// The normalised text of compiled code (bytes 0..L) in the document:
// upper-case function names with "@", the current argument separator, range
// names where a reference names exactly a named range, parentheses only
// where they were typed, and a leading "+" when the text would not start
// like a formula. Compiling the text in the same document gives the same
// code. Never fails: malformed code gives "NOEND", text beyond 240
// characters "OVERFLOW" (both with the leading "+"), an unknown operation
// "@UKW", a missing user-defined function "@NOFUN", an invalid reference
// "ERR".
std::string FormulaText(SheetDocument& doc, std::string_view code);

// The formula text of a formula cell's stored code.
std::string FormulaText(SheetDocument& doc, const CellRecord& cell);

// Text of a number constant inside formula text: the number-text rule, with
// more digits only when that rule would not read back as the same double,
// and every exponent written with "E".
std::string ConstantText(double x, char decimalChar);

}  // namespace tabulon
