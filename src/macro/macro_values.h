// How a macro command reads its arguments: values and integers are
// evaluated as formulas, string expressions give text, plain text loses the
// quotes that kept its spaces together, and the arguments of a menu command
// are read by the kinds that command declares before the command table
// receives them as texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class SheetDocument;

// Formula text as a macro argument holds it, ready for the compiler: spaces
// outside double quotes go ("(1 + 2)" reads as "(1+2)"), and a value that
// does not start with "+" or "-" gets a "+" in front.
std::string MacroFormulaText(std::string_view text);

// A value: "TRUE" is 1 and "FALSE" 0 (any case); otherwise the text is
// evaluated as a formula in the document. Anything that is not a number
// (an error, a text, a formula that does not compile, no document) is 0.
double MacroValue(SheetDocument* doc, std::string_view text);

// An integer: the value truncated toward zero; 0 when its magnitude is not
// below 2147483647.
long long MacroInteger(SheetDocument* doc, std::string_view text);

// Plain text: a whole argument enclosed in double quotes loses them (they
// only kept its spaces together); anything else stays as written.
std::string MacroText(std::string_view text);

// A string expression. Text beginning with "(", "+", "-" or "@" is a
// formula; anything else is read as "+" and the text. A text result is
// used as it is. A number is used (in input form) only when the argument
// was written as a formula; otherwise, and when the evaluation fails or
// gives an empty text (an empty cell), the argument means itself: a file name, a range name or a format code such as
// F2 need no quotes.
std::string MacroStringExpression(SheetDocument* doc, std::string_view text);

// The kinds of a menu command's arguments, one letter each: 'L' location,
// 'V' value, 'I' integer, 'T' text (a string expression). Empty for a
// command that takes none or that is unknown.
std::string_view MenuArgumentKinds(char family, char letter);

// The arguments of a menu command as the command table takes them:
// locations as written, values and integers evaluated (an integer as its
// digits, a value as number text that reads back exactly), texts as their
// string expression's result. `args` is padded with empty texts to `count`.
std::vector<std::string> ReadMenuArguments(SheetDocument* doc, char family, char letter,
                                           std::vector<std::string> args, std::size_t count);

}  // namespace tabulon
