// Translation of a macro line (the text of one cell) into the command
// stream of macro/macro_stream.h.
//
// Plain characters become keys and "~" the Enter key. "{" starts a word that
// ends at the first space, "}" or the end of the line (the closing brace may
// be left out). A keyword expands to its table bytes: with its arguments,
// each ended by Enter, or, for a key that takes a repeat count, as many times
// as the count says. A word that names a range of the document calls it as
// a subroutine; any other word is typed and then stops the macro with a
// syntax error.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/limits.h"

namespace tabulon {

class SheetDocument;

// The typographic variants of Windows-1252 that stand for delimiters become
// the plain characters: curly double quotes, the low comma quote, the
// modifier circumflex, the small tilde, the broken bar and the middle dot.
char NormaliseMacroChar(char c);

// The arguments written inside braces (the text after the keyword and its
// space, without the closing brace). Arguments are separated by spaces
// outside parentheses and double quotes; parentheses nest. The argument
// separator works the same way, except that it also delimits an empty
// argument: "A1,,C1" is three arguments, the second empty, and a leading
// separator gives an empty first argument. Quoted text is copied unchanged
// with its quotes; "~" elsewhere becomes Enter. badQuote is set when a
// quote is not closed.
std::vector<std::string> SplitMacroArguments(std::string_view text, char separator,
                                             bool& badQuote);

// Translates one macro line for the document (its range names, its program
// settings' argument separator, and its cells for repeat counts, which are
// evaluated as formulas). The result always ends with kMacroEndOfLine and
// holds at most `limit` bytes with it (at least 3).
//
// A line that holds an unclosed double quote inside braces, or a byte that
// cannot be typed (below 0x20, or 0xFF, which the stream reserves),
// translates to the syntax error alone. A line whose translation does not
// fit is cut after the last key or command that fits whole and then ends
// with the syntax error, so the macro stops there rather than running half
// a command or silently leaving out the rest.
std::string TranslateMacroLine(SheetDocument& doc, std::string_view line,
                               std::size_t limit = kMaxText);

}  // namespace tabulon
