// The print settings as the macro commands and the options page change
// them: margins given as letter items ("T0.5,L1"), options as letter items
// ("F1,G0,M1,L,S75"), the scale the dialog accepts, and the borders.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

struct PrintOptions;
struct WorksheetExtras;

// PRINTMARGIN: items separated by ",", each a letter and a number of
// inches: T top, L left, R right, B bottom. An item with another letter is
// skipped. A number that does not read, or lies outside 0..100 inches,
// refuses the whole text: nothing changes and `error` says why.
bool ApplyMarginItems(std::string_view text, WorksheetExtras& x, std::string& error);

// PRINTOPTION: F frame, G grid, M mono (each followed by 1 for on, anything
// else off), L landscape, P portrait, S and the scale in percent. The
// scale is not held to the dialog's bounds, only to what a job can print
// (1..1000); beyond that the whole text is refused and nothing changes.
bool ApplyOptionItems(std::string_view text, PrintOptions& o, std::string& error);

// The options as PRINTOPTION items, for the record ("F1,G1,M0,P,S100").
std::string OptionItemsText(const PrintOptions& o);

// A scale typed into the dialog: below 10 becomes 10, above 150 becomes
// 150. False when the text is not a number.
bool ReadDialogScale(std::string_view text, int& scale);

// A number of inches for a margin field: 0..100. False otherwise.
bool ReadMargin(std::string_view text, double& inches);

}  // namespace tabulon
