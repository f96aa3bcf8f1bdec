// Parse: splits the text of each label in a column into tokens entered
// into the cell itself and the cells to its right.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

struct ParseToken {
  std::string text;  // quotes removed
  bool quoted = false;
};

// Splits text into tokens. Delimiters (blank, ";" and the argument
// separator) end a token and are skipped; a break character ("(", "+", "-",
// "@") ends the token before it unless it is the token's first character or
// follows an "E" or "e"; between double quotes neither ends a token.
std::vector<ParseToken> SplitTokens(std::string_view text, char argSeparator);

// For each row of the input range whose first-column cell is a label or a
// text result, enters the tokens of its text (without the label prefix)
// from that cell rightwards: a quoted token as a label, any other as typed
// (a token that does not enter as typed, such as a formula that does not
// compile, goes in as a label). Every row is split before anything is
// entered. A row whose tokens would pass column IV fails the command with
// "Out of Range", a locked target under protection with "Protected Cell",
// before anything is entered. The caller takes the undo snapshot.
bool ParseLabels(SheetDocument& doc, const CellRange& input);

}  // namespace tabulon
