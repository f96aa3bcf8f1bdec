#include "macro/macro_values.h"

#include <cmath>
#include <cstdio>

#include "base/text.h"
#include "display/format.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

bool StartsAsFormula(std::string_view text) {
  return !text.empty() && (text[0] == '(' || text[0] == '+' || text[0] == '-' || text[0] == '@');
}

std::string WithoutOuterSpaces(std::string_view text) {
  std::string out;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted) continue;
    out.push_back(c);
  }
  return out;
}

// The number as formula text that reads back exactly.
std::string ExactNumberText(double x, char decimal) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", x);
  std::string s(buf);
  for (char& c : s)
    if (c == '.') c = decimal;
  return s;
}

TextResult Evaluate(SheetDocument* doc, const std::string& formula) {
  if (doc == nullptr) {
    TextResult none;
    none.error = true;
    return none;
  }
  return Engine(doc->session()).evaluator->EvaluateText(*doc, formula);
}

}  // namespace

std::string MacroFormulaText(std::string_view text) {
  std::string compact = WithoutOuterSpaces(text);
  if (!compact.empty() && (compact[0] == '+' || compact[0] == '-')) return compact;
  return "+" + compact;
}

double MacroValue(SheetDocument* doc, std::string_view text) {
  std::string word = UpperCase(WithoutOuterSpaces(text));
  if (word == "TRUE") return 1;
  if (word == "FALSE") return 0;
  if (word.empty()) return 0;
  TextResult r = Evaluate(doc, MacroFormulaText(text));
  if (r.error || r.isString || !std::isfinite(r.number)) return 0;
  return r.number;
}

long long MacroInteger(SheetDocument* doc, std::string_view text) {
  double v = MacroValue(doc, text);
  if (!(std::fabs(v) < 2147483647.0)) return 0;
  return static_cast<long long>(std::trunc(v));
}

std::string MacroText(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
      text.substr(1, text.size() - 2).find('"') == std::string_view::npos)
    return std::string(text.substr(1, text.size() - 2));
  return std::string(text);
}

std::string MacroStringExpression(SheetDocument* doc, std::string_view text) {
  if (text.empty()) return {};
  bool formula = StartsAsFormula(text);
  std::string source = WithoutOuterSpaces(text);
  TextResult r = Evaluate(doc, formula ? source : "+" + source);
  // An empty text (what an empty cell gives) says nothing either.
  if (!r.error && r.isString && !r.text.empty()) return r.text;
  if (!r.error && formula && std::isfinite(r.number)) {
    char decimal = doc != nullptr ? doc->session().settings().decimalChar : '.';
    return InputForm(r.number, decimal);
  }
  return MacroText(text);
}

std::string_view MenuArgumentKinds(char family, char letter) {
  struct Entry {
    char family, letter;
    const char* kinds;
  };
  static constexpr Entry kTable[] = {
      {'b', 'b', "L"},    {'b', 'c', "LII"},  {'b', 'd', "T"},     {'b', 'e', "LI"},
      {'b', 'f', "LT"},   {'b', 'j', "LI"},   {'b', 'l', "LI"},    {'b', 'n', "TL"},
      {'b', 'p', "LT"},   {'b', 'r', ""},     {'b', 't', "L"},     {'c', 'f', "LL"},
      {'c', 'i', "LL"},   {'c', 's', "LLV"},  {'c', 't', "LL"},    {'c', 'v', "LL"},
      {'d', 'b', "LL"},   {'d', 'f', "LVVII"}, {'d', 'g', "LLVV"}, {'d', 'm', "LLLT"},
      {'d', 'p', "L"},    {'d', 'q', "LLL"},  {'d', 'r', "LLL"},   {'d', 's', "LLILILILI"},
      {'d', 't', "LLL"},  {'e', 'c', "L"},    {'e', 'p', "L"},     {'e', 't', "L"},
      {'f', 'a', "TI"},   {'f', 'c', "T"},    {'f', 'd', "IT"},    {'f', 'e', ""},
      {'f', 'f', "T"},    {'f', 'i', "TLI"},  {'f', 'm', "TLLT"},  {'f', 'n', ""},
      {'f', 'o', "T"},    {'f', 'p', "TTL"},  {'f', 's', ""},      {'f', 'x', "TLI"},
      {'g', 'c', "IT"},   {'g', 'f', "IT"},   {'g', 'g', "IT"},    {'g', 'h', "IT"},
      {'g', 'l', "ILI"},  {'g', 'n', "IT"},   {'g', 'o', "IT"},    {'g', 's', "IL"},
      {'g', 't', "IT"},   {'g', 'v', "II"},   {'h', 'a', "T"},     {'h', 'c', "IIII"},
      {'h', 'f', "T"},    {'h', 'o', "T"},    {'h', 't', "T"},     {'m', 'a', "LLL"},
      {'m', 'd', "LL"},   {'m', 'e', "LL"},   {'m', 'i', "LL"},    {'m', 'l', "LL"},
      {'m', 'm', "LLL"},  {'m', 's', "LLL"},  {'m', 't', "LL"},    {'p', 'a', ""},
      {'p', 'b', "IL"},   {'p', 'f', "TI"},   {'p', 'g', "T"},     {'p', 'h', "TI"},
      {'p', 'm', "T"},    {'p', 'n', "TL"},   {'p', 'o', "T"},     {'p', 'r', "L"},
      {'v', 'v', "T"},    {'v', 'z', "I"},
  };
  family = LowerChar(family);
  letter = LowerChar(letter);
  for (const Entry& e : kTable)
    if (e.family == family && e.letter == letter) return e.kinds;
  return {};
}

std::vector<std::string> ReadMenuArguments(SheetDocument* doc, char family, char letter,
                                           std::vector<std::string> args, std::size_t count) {
  if (args.size() < count) args.resize(count);
  std::string_view kinds = MenuArgumentKinds(family, letter);
  char decimal = doc != nullptr ? doc->session().settings().decimalChar : '.';
  for (std::size_t i = 0; i < args.size() && i < kinds.size(); ++i) {
    std::string& a = args[i];
    // An argument left out stays empty: the command decides what that means
    // (the cell pointer, or an input or key left undefined).
    if (a.empty()) continue;
    switch (kinds[i]) {
      case 'I': a = std::to_string(MacroInteger(doc, a)); break;
      case 'V': a = ExactNumberText(MacroValue(doc, a), decimal); break;
      case 'T': a = MacroStringExpression(doc, a); break;
      default: break;
    }
  }
  return args;
}

}  // namespace tabulon
