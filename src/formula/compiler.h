// The formula compiler: formula text to postfix operation code.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;

// Compiles formula text (cut at 240 bytes) against the document: references
// name records of its cell store (placeholders are created), names come from
// its name table, user-defined functions from the session's lists. Returns
// the code, bytes 0..L. On failure the session's error flag is raised (no
// message unless the cell store gave one) and the result is empty. The flag
// is cleared first.
std::string CompileFormula(SheetDocument& doc, std::string_view text);

}  // namespace tabulon
