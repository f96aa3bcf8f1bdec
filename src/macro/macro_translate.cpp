#include "macro/macro_translate.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "macro/macro_keywords.h"
#include "macro/macro_stream.h"
#include "sheet/range_names.h"
#include "sheet/session.h"
#include "sheet/sheet_document.h"

namespace tabulon {

char NormaliseMacroChar(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0x93:
    case 0x94: return '"';
    case 0x82: return ',';
    case 0x88: return '^';
    case 0x98: return '~';
    case 0xA6: return '|';
    case 0xB7: return '.';
    default: return c;
  }
}

std::vector<std::string> SplitMacroArguments(std::string_view text, char separator,
                                             bool& badQuote) {
  std::vector<std::string> args;
  std::string current;
  bool open = false;            // an argument (possibly still empty) is being collected
  bool closedBySpace = false;   // the last argument ended at a space; a separator may still close it
  bool inQuote = false;
  int depth = 0;
  for (char c : text) {
    if (inQuote) {
      current.push_back(c);
      if (c == '"') inQuote = false;
      continue;
    }
    if (depth == 0 && c == ' ') {
      if (open) {
        args.push_back(std::move(current));
        current.clear();
        open = false;
        closedBySpace = true;
      }
      continue;
    }
    if (depth == 0 && c == separator) {
      if (open) args.push_back(std::move(current));
      else if (!closedBySpace) args.emplace_back();  // nothing before this separator
      current.clear();
      open = false;
      closedBySpace = false;
      continue;
    }
    if (c == '"') inQuote = true;
    else if (c == '(') ++depth;
    else if (c == ')' && depth > 0) --depth;
    current.push_back(c == '~' ? static_cast<char>(kMacroEnter) : c);
    open = true;
    closedBySpace = false;
  }
  badQuote = inQuote;
  if (open) args.push_back(std::move(current));
  return args;
}

namespace {

// The separator can only take part in splitting when it is not one of the
// characters the splitting already gives a meaning to.
char UsableSeparator(char sep) {
  switch (sep) {
    case ' ': case '"': case '(': case ')': case '~': case '{': case '}': case '\0':
      return '\0';
    default:
      return sep;
  }
}

bool Untypeable(unsigned char c) { return c < 0x20 || c == kMacroArgEnd; }

// The output of a line: whole items (a key, a command with its arguments,
// one repetition of a key) are appended while they fit; the first that does
// not fit marks the line as cut.
class StreamWriter {
 public:
  explicit StreamWriter(std::size_t limit) : budget_(std::max<std::size_t>(limit, 3) - 1) {}

  bool cut() const { return cut_; }

  bool Append(std::string_view item) {
    if (cut_) return false;
    if (out_.size() + item.size() > budget_) {
      cut_ = true;
      return false;
    }
    starts_.push_back(out_.size());
    out_.append(item);
    return true;
  }

  std::string Finish() {
    if (cut_) {
      // Make room for the syntax error by dropping whole items.
      while (out_.size() + 2 > budget_ && !starts_.empty()) {
        out_.resize(starts_.back());
        starts_.pop_back();
      }
      out_.push_back(static_cast<char>(kMacroCommand));
      out_.push_back(static_cast<char>(kMacroCmdSyntaxError));
    }
    out_.push_back(static_cast<char>(kMacroEndOfLine));
    return std::move(out_);
  }

 private:
  std::size_t budget_;  // bytes before the end-of-line byte
  std::string out_;
  std::vector<std::size_t> starts_;
  bool cut_ = false;
};

std::string SyntaxErrorLine() {
  return {static_cast<char>(kMacroCommand), static_cast<char>(kMacroCmdSyntaxError),
          static_cast<char>(kMacroEndOfLine)};
}

// One "{...}" group: the word, the text of its arguments and where the line
// goes on after it.
struct BraceGroup {
  std::string_view word;
  std::string_view argText;
  std::size_t end = 0;
  bool badQuote = false;
};

BraceGroup ScanBraces(std::string_view text, std::size_t open) {
  BraceGroup g;
  std::size_t i = open + 1;
  std::size_t wordEnd = i;
  bool inQuote = false;  // a quote may open inside the word itself
  while (wordEnd < text.size() && text[wordEnd] != ' ' && text[wordEnd] != '}') {
    if (text[wordEnd] == '"') inQuote = !inQuote;
    ++wordEnd;
  }
  g.word = text.substr(i, wordEnd - i);
  if (wordEnd >= text.size() || text[wordEnd] == '}') {
    g.badQuote = inQuote;
    g.end = std::min(wordEnd + 1, text.size());
    return g;
  }
  std::size_t argStart = wordEnd + 1;
  std::size_t j = argStart;
  for (; j < text.size(); ++j) {
    if (text[j] == '"') inQuote = !inQuote;
    else if (!inQuote && text[j] == '}') break;
  }
  g.badQuote = inQuote;
  g.argText = text.substr(argStart, j - argStart);
  g.end = std::min(j + 1, text.size());
  return g;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// How many times a key with a repeat count is emitted: the count text
// evaluated as a formula and rounded; once when there is none, when it is
// below 1 or when it is not a number. At most `most`.
std::size_t RepeatCount(SheetDocument& doc, std::string_view countText, std::size_t most) {
  countText = Trim(countText);
  if (countText.empty()) return 1;
  std::string formula(countText);
  std::replace(formula.begin(), formula.end(), '~', static_cast<char>(kMacroEnter));
  TextResult r = Engine(doc.session()).evaluator->EvaluateText(doc, formula);
  if (r.error || r.isString || !std::isfinite(r.number)) return 1;
  double n = std::round(r.number);
  if (n < 1) return 1;
  if (n > static_cast<double>(most)) return most;
  return static_cast<std::size_t>(n);
}

}  // namespace

std::string TranslateMacroLine(SheetDocument& doc, std::string_view line, std::size_t limit) {
  std::string text(line);
  for (char& c : text) {
    c = NormaliseMacroChar(c);
    if (Untypeable(static_cast<unsigned char>(c))) return SyntaxErrorLine();
  }
  const char separator = UsableSeparator(doc.session().settings().argSeparator);
  StreamWriter out(limit);
  std::string item;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c != '{') {
      char key = c == '~' ? static_cast<char>(kMacroEnter) : c;
      out.Append(std::string_view(&key, 1));
      ++i;
      continue;
    }
    BraceGroup g = ScanBraces(text, i);
    // An unclosed quote spoils the whole line, even after a cut.
    if (g.badQuote) return SyntaxErrorLine();
    i = g.end;
    if (out.cut()) continue;

    int number = LookupMacroKeyword(g.word);
    if (number > 0) {
      const MacroKeyword& k = MacroKeywordEntry(number);
      if (k.argCount == kRepeatCount) {
        std::size_t times = RepeatCount(doc, g.argText, std::max<std::size_t>(limit, 3));
        for (std::size_t n = 0; n < times && out.Append(k.expansion()); ++n) {
        }
        continue;
      }
      bool badQuote = false;
      std::vector<std::string> args = SplitMacroArguments(g.argText, separator, badQuote);
      item.assign(k.expansion());
      for (const std::string& arg : args) {
        item.append(arg);
        item.push_back(static_cast<char>(kMacroEnter));
      }
      out.Append(item);
      continue;
    }
    if (!g.word.empty() && doc.names().FindName(g.word) > 0) {
      item.assign({static_cast<char>(kMacroCommand), static_cast<char>(kMacroCmdCall)});
      item.append(NormaliseName(g.word));
      item.push_back(static_cast<char>(kMacroEnter));
      out.Append(item);
      continue;
    }
    // Type the word as written, then stop with the syntax error.
    item.assign(g.word);
    item.push_back(static_cast<char>(kMacroCommand));
    item.push_back(static_cast<char>(kMacroCmdSyntaxError));
    out.Append(item);
  }
  return out.Finish();
}

}  // namespace tabulon
