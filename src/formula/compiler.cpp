// Operator-precedence compiler from formula text to postfix code.
//
// Operators are first reduced to one character each (negation, unary plus,
// the two-character comparisons and #AND#/#OR# have private byte values);
// an operator's precedence is its position in the precedence string.
// Operands are compiled as they are met; operators wait on a stack until an
// incoming operator of no higher precedence pushes them out.
//
// The compiler counts the values the code leaves on the evaluator's stack
// as it emits operations, so that no operand can be left over unused: text
// the user typed is either part of the formula or a syntax error.
#include "formula/compiler.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/op_table.h"
#include "sheet/address.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

constexpr char kNegate = 30;
constexpr char kLessEqual = 31;
constexpr char kAndChar = 29;
constexpr char kOrChar = 28;
constexpr char kUnaryPlus = '_';
constexpr char kNotChar = '\\';

// Operator characters in operation order: position p (from 0) is operation
// kOpNegate + p.
constexpr std::string_view kOperatorOps = "\x1E+-*/^=?\x1F|<>\x1D\x1C\\_&";

// Characters that stand for operators only inside the compiler; typed, they
// are syntax errors.
bool IsPrivateOperator(char c) {
  return c == kNegate || c == kLessEqual || c == kAndChar || c == kOrChar || c == kUnaryPlus ||
         c == kNotChar;
}

// Whether `word` (upper case) starts at s[i], compared without regard to case.
bool WordAt(const std::string& s, std::size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (UpperChar(s[i + k]) != word[k]) return false;
  return true;
}

class Compiler {
 public:
  explicit Compiler(SheetDocument& doc)
      : doc_(doc),
        session_(doc.session()),
        decimal_(doc.session().settings().decimalChar),
        separator_(doc.session().settings().argSeparator) {
    // The precedence string: a space, the argument separator, then the
    // operators from the lowest precedence up. A character's precedence is
    // its first position; -1 marks every other character.
    precedence_.fill(-1);
    auto rank = [&](char c, int position) {
      auto& p = precedence_[static_cast<unsigned char>(c)];
      if (p < 0) p = static_cast<std::int8_t>(position);
    };
    rank(' ', 0);
    rank(separator_, 1);
    constexpr std::string_view kOperators = "#\x1C\x1D\\=<>?\x1F|+-*/^\x1E_&";
    for (std::size_t i = 0; i < kOperators.size(); ++i) rank(kOperators[i], static_cast<int>(i) + 2);
  }

  CompiledFormula Compile(std::string_view input) {
    std::string_view text = input.substr(0, kMaxText);
    CompileExpression(text, 0, nullptr);
    // A link still waiting for its address, or values left over.
    if (linkPending_ || depth_ != 1) FailAt(text.size());
    if (failed_) {
      int position = static_cast<int>(std::min(errorAt_, text.size())) + 1;
      return CompiledFormula{{}, position, std::move(message_)};
    }
    WriteU16(code_.data(), static_cast<std::uint16_t>(len_));
    code_[len_] = kOpEnd;
    return CompiledFormula{std::string(reinterpret_cast<const char*>(code_.data()), len_ + 1), 0, {}};
  }

 private:
  // The first failure decides the position and the message.
  void FailAt(std::size_t at, std::string_view message = {}) {
    if (failed_) return;
    failed_ = true;
    errorAt_ = at;
    message_.assign(message);
  }
  void Fail(std::string_view message = {}) { FailAt(at_, message); }
  bool failed() const { return failed_; }

  // Appends bytes; code that would pass the 239-byte limit of L fails.
  std::uint8_t* Reserve(int n) {
    if (len_ + n > kMaxCode - 1) {
      Fail("Formula too long");
      return nullptr;
    }
    std::uint8_t* p = code_.data() + len_;
    len_ += n;
    return p;
  }
  void Emit(std::uint8_t op) {
    if (std::uint8_t* p = Reserve(1)) *p = op;
  }
  // The operation just emitted takes `inputs` values and leaves one.
  void Takes(int inputs) {
    if (depth_ < inputs) {
      Fail();
      return;
    }
    depth_ += 1 - inputs;
  }

  int Precedence(char c) const { return precedence_[static_cast<unsigned char>(c)]; }
  bool IsOperatorChar(char c) const { return Precedence(c) >= 0; }

  void EmitOperator(char c) {
    std::size_t p = kOperatorOps.find(c);
    if (c == ' ' || c == separator_ || p == std::string_view::npos) return;
    auto op = static_cast<std::uint8_t>(kOpNegate + p);
    Emit(op);
    Takes(OpClassOf(op) == kClassInfix ? 2 : 1);
  }

  // Index of the ")" matching the "(" at `open`, or npos. Quoted strings
  // are skipped so that parentheses inside them do not count.
  static std::size_t MatchParen(std::string_view s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
      char c = s[i];
      if (c == '"') {
        std::size_t close = s.find('"', i + 1);
        if (close == std::string_view::npos) return std::string_view::npos;
        i = close;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) return i;
      }
    }
    return std::string_view::npos;
  }

  bool IsNumberChar(char c) const {
    return IsDigit(c) || c == '!' || c == '%' || c == decimal_;
  }

  // The operator at s[i], which follows an operand, as its one-character
  // form; `i` moves to its last character. 0 when it is no operator here.
  char InfixOperator(const std::string& s, std::size_t& i, bool lastChar, int* args) {
    char c = s[i];
    if (c == ' ') return lastChar ? c : 0;  // a space inside would part two operands
    if (c == separator_) {
      if (args == nullptr) return 0;  // outside an argument list
      ++*args;
      return c;
    }
    if (c == '#') {
      // #AND# and #OR# in any case; a lone "#" or #NOT# would part two operands.
      if (WordAt(s, i, "#AND#")) {
        i += 4;
        return kAndChar;
      }
      if (WordAt(s, i, "#OR#")) {
        i += 3;
        return kOrChar;
      }
      return 0;
    }
    if (IsPrivateOperator(c)) return 0;
    if (i + 1 < s.size()) {
      struct Two {
        char a, b, to;
      };
      static constexpr Two kPairs[] = {{'>', '=', '|'}, {'>', '<', '?'}, {'<', '=', kLessEqual},
                                       {'<', '>', '?'}, {'=', '>', '|'}, {'=', '<', kLessEqual}};
      for (const Two& t : kPairs) {
        if (c == t.a && s[i + 1] == t.b) {
          ++i;
          return t.to;
        }
      }
    }
    return c;
  }

  // Compiles one expression: the whole text, the text between a pair of
  // parentheses, or an argument list, where `args` counts the separators
  // (null where a separator is not allowed). `base` is the position of the
  // input in the formula text.
  void CompileExpression(std::string_view input, std::size_t base, int* args) {
    std::string s(input);
    s += ' ';  // flushes the operator stack at the end
    const std::size_t last = s.size() - 1;
    std::string stack(1, ' ');
    std::size_t i = 0;
    if (s[0] == '+') i = 1;
    bool operandExpected = true;

    while (i < s.size() && !failed()) {
      at_ = base + i;
      char c = s[i];
      if (IsOperatorChar(c)) {
        if (operandExpected) {
          if (c == '+') {
            c = kUnaryPlus;
          } else if (c == '-') {
            c = kNegate;
          } else {
            Fail();
            break;
          }
        } else {
          c = InfixOperator(s, i, i == last, args);
          if (c == 0) {
            Fail();
            break;
          }
        }
        int prec = Precedence(c);
        // A prefix operator has no left operand: whatever waits on the stack
        // still needs the operand that follows, so nothing may be emitted
        // yet (otherwise "--5" would emit a negation before the 5).
        bool prefix = c == kNegate || c == kUnaryPlus;
        while (!prefix && !stack.empty() && Precedence(stack.back()) >= prec) {
          EmitOperator(stack.back());
          stack.pop_back();
        }
        stack.push_back(c);
        operandExpected = true;
        ++i;
        continue;
      }

      // An operand token starts here; it must follow an operator.
      if (!operandExpected) {
        Fail();
        break;
      }
      operandExpected = false;
      std::size_t start = i;
      bool link = false;
      bool done = false;
      if (!IsLetter(c) && c != '$') {
        while (i < s.size() && IsNumberChar(s[i])) {
          ++i;
          if (i + 1 < s.size() && (s[i] == 'E' || s[i] == 'e')) i += 2;
        }
      }
      while (i < s.size() && !done && !failed()) {
        char t = s[i];
        if (IsOperatorChar(t)) break;
        if (t == '[') {
          // A link starts its own token and its address follows at once.
          std::size_t close = s.find(']', i);
          if (close == std::string::npos || i != start || link) {
            at_ = base + i;
            Fail();
            break;
          }
          i = close + 1;
          CompileLink(std::string_view(s).substr(start, i - start));
          start = i;
          link = true;
        } else if (t == '"') {
          std::size_t close = s.find('"', i + 1);
          if (close == std::string::npos) {
            Fail();
            break;
          }
          i = close + 1;
        } else if (t == '(') {
          std::size_t close = MatchParen(s, i);
          std::string_view token = std::string_view(s).substr(start, i - start);
          at_ = base + i;
          // Only a function name may stand before "(": an operand followed
          // by a parenthesised group would leave two values.
          if (close == std::string::npos || link || (!token.empty() && token[0] != '@')) {
            Fail();
            break;
          }
          std::string_view inner = std::string_view(s).substr(i + 1, close - i - 1);
          if (token.empty()) {
            CompileExpression(inner, base + i + 1, nullptr);
            at_ = base + i;
            Emit(kOpParens);
            Takes(1);
          } else {
            int count = 0;
            CompileExpression(inner, base + i + 1, &count);
            at_ = base + start;
            CompileCall(token, true, count);
          }
          i = close + 1;
          done = true;
        } else {
          ++i;
        }
      }
      if (failed()) break;
      at_ = base + start;
      if (link && i == start) {
        Fail();  // a link without its address
        break;
      }
      if (done) continue;
      std::string_view token = std::string_view(s).substr(start, i - start);
      if (link) CompileOperand(token);  // the address, never a function
      else CompileCall(token, false, 0);
    }

    if (!failed() && !stack.empty()) EmitOperator(stack.back());
  }

  // A function call (with `args` separators between its parentheses) or,
  // for a token without "@", an operand.
  void CompileCall(std::string_view token, bool parens, int args) {
    if (failed()) return;
    if (token.empty() || token[0] != '@') {
      CompileOperand(token);
      return;
    }
    int given = parens ? args + 1 : 0;
    std::string name = UpperCase(token.substr(1));
    int op = FindFunction(name);
    if (op == 0) {
      if (int index = Engine(session_).FindUserFunction(name); index > 0) {
        // Without parentheses only a function of no arguments, so that the
        // text reads back the same.
        int n = Engine(session_).usedFunctions[index - 1].argCount;
        if (given != n) {
          Fail();
          return;
        }
        Emit(kOpUserFunction);
        Emit(static_cast<std::uint8_t>(index));
        Takes(n);
        return;
      }
      std::string_view bare = std::string_view(name).substr(!name.empty() && name[0] == '$' ? 1 : 0);
      if (const CellRange* r = doc_.names().Lookup(bare); r != nullptr && !bare.empty()) {
        // A worksheet function takes one argument per column of its range.
        int columns = std::abs(r->lastCol - r->firstCol) + 1;
        if (given != columns) {
          Fail();
          return;
        }
        Emit(kOpSheetFunction);
        std::string ref = "$";
        ref += bare;
        CompileOperand(ref);
        --depth_;  // the range names the function; it is no value
        Takes(columns);
        return;
      }
      Fail();
      return;
    }
    std::uint8_t cls = OpClassOf(static_cast<std::uint8_t>(op));
    if (cls < kClassFunction0 || cls > kClassVariadic) {
      Fail();
      return;
    }
    int n = cls == kClassVariadic ? given : cls - kClassFunction0;
    if (given != n || (cls == kClassVariadic && (n < 1 || n > 255))) {
      Fail();
      return;
    }
    Emit(static_cast<std::uint8_t>(op));
    if (cls == kClassVariadic) Emit(static_cast<std::uint8_t>(n));
    Takes(n);
  }

  void CompileOperand(std::string_view token) {
    if (failed()) return;
    std::uint8_t postfix = 0;
    if (!token.empty() && (token.back() == '%' || token.back() == '!')) {
      postfix = token.back() == '%' ? kOpPercent : kOpFactorial;
      token.remove_suffix(1);
    }
    if (token.empty()) {
      Fail();
      return;
    }
    char first = token[0];
    bool reference = IsLetter(first) || first == '$';
    if (linkPending_ && !reference) {
      Fail();  // a link's address is a cell or a range
      return;
    }
    if (reference) {
      CompileReference(token);
    } else if (first == '"') {
      if (token.size() < 2 || token.back() != '"') {
        Fail();
        return;
      }
      std::string_view body = token.substr(1, token.size() - 2);
      if (body.find('\0') != std::string_view::npos) {
        Fail();
        return;
      }
      Emit(kOpString);
      if (std::uint8_t* p = Reserve(static_cast<int>(body.size()) + 1)) {
        std::memcpy(p, body.data(), body.size());
        p[body.size()] = 0;
      }
      Takes(0);
    } else {
      CompileNumber(token);
    }
    if (postfix != 0) {
      Emit(postfix);
      Takes(1);
    }
  }

  void CompileReference(std::string_view token) {
    RangeContext context{doc_.settings().pageHeight, &doc_.names(), session_.cursor()};
    ErrorChannel parse;  // the parser's verdict, kept from the session
    ParsedRange parsed = ParseRange(token, context, parse);
    if (parse.failed() || !parsed.ok || !parsed.range.IsDefined()) {
      Fail();
      return;
    }
    const CellRange& r = parsed.range;
    if (!RowInSheet(r.firstRow) || !RowInSheet(r.lastRow) || !ColumnInSheet(r.firstCol) ||
        !ColumnInSheet(r.lastCol)) {
      Fail();
      return;
    }
    if (linkPending_) {
      std::uint8_t* p = code_.data() + linkPlaceholder_;
      WriteU16(p, r.firstCol);
      WriteU16(p + 2, r.firstRow);
      WriteU16(p + 4, r.lastCol);
      WriteU16(p + 6, r.lastRow);
      linkPending_ = false;
      return;
    }
    auto ref = [&](int row, int col, bool absRow, bool absCol) -> CellRef {
      CellRecord* cell = doc_.cells().GetOrCreateCell(row, col);
      if (cell == nullptr) {
        Fail("Out of Memory");  // the cell store has no record left
        return 0;
      }
      return failed() ? 0 : MakeRef(cell->id, absRow, absCol);
    };
    if (r.IsSingleCell()) {
      CellRef a = ref(r.firstRow, r.firstCol, parsed.flags & kAbsFirstRow, parsed.flags & kAbsFirstCol);
      Emit(kOpCell);
      if (std::uint8_t* p = Reserve(4)) WriteU32(p, a);
    } else {
      CellRef last = ref(r.lastRow, r.lastCol, parsed.flags & kAbsLastRow, parsed.flags & kAbsLastCol);
      CellRef first = ref(r.firstRow, r.firstCol, parsed.flags & kAbsFirstRow, parsed.flags & kAbsFirstCol);
      Emit(kOpRange);
      if (std::uint8_t* p = Reserve(8)) {
        WriteU32(p, last);
        WriteU32(p + 4, first);
      }
    }
    Takes(0);
  }

  // "[path]": the path is kept as typed, case and all; the link store
  // resolves it when the link is looked up.
  void CompileLink(std::string_view token) {
    if (linkPending_ || token.size() < 2 || token.back() != ']') {
      Fail();
      return;
    }
    std::string_view path = token.substr(1, token.size() - 2);
    if (path.empty() || path.find('\0') != std::string_view::npos) {
      Fail();
      return;
    }
    Emit(kOpLink);
    int at = len_;
    if (std::uint8_t* p = Reserve(8)) std::memcpy(p, "XXXXXXXX", 8);
    if (std::uint8_t* p = Reserve(static_cast<int>(path.size()) + 1)) {
      std::memcpy(p, path.data(), path.size());
      p[path.size()] = 0;
    }
    Takes(0);
    linkPlaceholder_ = at;
    linkPending_ = true;
  }

  void CompileNumber(std::string_view token) {
    std::string t(token);
    if (decimal_ != '.') {
      if (t.find('.') != std::string::npos) {
        Fail();
        return;
      }
      if (std::size_t d = t.find(decimal_); d != std::string::npos) t[d] = '.';
    }
    for (char ch : t) {
      if (!(IsDigit(ch) || ch == '.' || ch == 'E' || ch == 'e' || ch == '+' || ch == '-')) {
        Fail();
        return;
      }
    }
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(v)) {
      Fail();
      return;
    }
    if (std::fabs(v) < 32767 && v == std::round(v)) {
      Emit(kOpInteger);
      if (std::uint8_t* p = Reserve(2)) WriteU16(p, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    } else {
      Emit(kOpNumber);
      if (std::uint8_t* p = Reserve(8)) WriteDouble(p, v);
    }
    Takes(0);
  }

  SheetDocument& doc_;
  Session& session_;
  char decimal_;
  char separator_;
  std::array<std::int8_t, 256> precedence_;
  std::array<std::uint8_t, 256> code_{};
  int len_ = 2;
  int depth_ = 0;  // values the code emitted so far leaves on the stack
  bool linkPending_ = false;
  int linkPlaceholder_ = 0;
  std::size_t at_ = 0;  // where in the text compiling stands
  bool failed_ = false;
  std::size_t errorAt_ = 0;
  std::string message_;
};

}  // namespace

CompiledFormula CompileFormula(SheetDocument& doc, std::string_view text) {
  return Compiler(doc).Compile(text);
}

}  // namespace tabulon
