// The formula compiler: formula text to postfix operation code.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class SheetDocument;

// What compiling gives: the code, or where and why compiling stopped.
struct CompiledFormula {
  std::string code;       // bytes 0..L; empty when the text does not compile
  int errorPosition = 0;  // 1-based position in the text where compiling stopped
  std::string message;    // empty for a syntax error; otherwise what went wrong
  bool ok() const { return !code.empty(); }
};

// Compiles formula text (cut at 240 bytes) against the document: references
// name records of its cell store (placeholders are created), names come from
// its name table, user-defined functions from the session's lists. Nothing
// the user typed is dropped: two operands without an operator between them,
// an operator without its operands, a separator outside an argument list or
// a function called with the wrong number of arguments is a syntax error.
// The session's error channel is not touched.
CompiledFormula CompileFormula(SheetDocument& doc, std::string_view text);

}  // namespace tabulon
