// Operator-precedence compiler from formula text to postfix code.
//
// Operators are first reduced to one character each (negation, unary plus,
// the two-character comparisons and #AND#/#OR#/#NOT# have private byte
// values); an operator's precedence is its position in the precedence
// string. Operands are compiled as they are met; operators wait on a stack
// until an incoming operator of no higher precedence pushes them out.
#include "formula/compiler.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

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

class Compiler {
 public:
  Compiler(SheetDocument& doc)
      : doc_(doc),
        session_(doc.session()),
        errors_(doc.session().errors()),
        decimal_(doc.session().settings().decimalChar),
        separator_(doc.session().settings().argSeparator) {
    precedence_ = " ";
    precedence_ += separator_;
    precedence_ += "#\x1C\x1D\\=<>?\x1F|+-*/^\x1E_&";
  }

  std::string Compile(std::string_view text) {
    errors_.Clear();
    len_ = 2;
    linkPending_ = false;
    int counter = 0;
    CompileExpression(text.substr(0, kMaxText), counter);
    if (counter != 0 || linkPending_) Fail();
    if (errors_.failed()) return {};
    WriteU16(code_.data(), static_cast<std::uint16_t>(len_));
    code_[len_] = kOpEnd;
    return std::string(reinterpret_cast<const char*>(code_.data()), len_ + 1);
  }

 private:
  void Fail() { errors_.Raise(); }
  bool failed() const { return errors_.failed(); }

  // Appends bytes; code that would pass the 239-byte limit of L fails.
  std::uint8_t* Reserve(int n) {
    if (len_ + n > kMaxCode - 1) {
      Fail();
      return nullptr;
    }
    std::uint8_t* p = code_.data() + len_;
    len_ += n;
    return p;
  }
  void Emit(std::uint8_t op) {
    if (std::uint8_t* p = Reserve(1)) *p = op;
  }

  bool IsOperatorChar(char c) const { return precedence_.find(c) != std::string::npos; }
  int Precedence(char c) const { return static_cast<int>(precedence_.find(c)); }

  void EmitOperator(char c) {
    std::size_t p = kOperatorOps.find(c);
    if (c != ' ' && c != separator_ && p != std::string_view::npos) Emit(static_cast<std::uint8_t>(kOpNegate + p));
  }

  // Index just past the ")" matching the "(" at `open`, or npos. Quoted
  // strings are skipped so that parentheses inside them do not count.
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

  void CompileExpression(std::string_view input, int& callerCounter) {
    std::string s(input);
    s += ' ';
    std::string stack(1, ' ');
    std::size_t i = 0;
    if (!s.empty() && s[0] == '+') i = 1;
    bool operandExpected = true;
    int own = 0;

    while (i < s.size() && !failed()) {
      char c = s[i];
      if (IsOperatorChar(c)) {
        if (c == separator_) ++callerCounter;
        if (operandExpected) {
          if (c == '+') c = kUnaryPlus;
          else if (c == '-') c = kNegate;
          else {
            Fail();
            break;
          }
        }
        if (i + 1 < s.size()) {
          char pair[2] = {UpperChar(s[i]), UpperChar(s[i + 1])};
          struct Two { char a, b, to; int extra; };
          static constexpr Two kPairs[] = {
              {'>', '=', '|', 1},     {'>', '<', '?', 1},      {'<', '=', kLessEqual, 1},
              {'<', '>', '?', 1},     {'=', '>', '|', 1},      {'=', '<', kLessEqual, 1},
              {'#', 'X', kNotChar, 4}, {'#', 'A', kAndChar, 4}, {'#', 'O', kOrChar, 3}};
          for (const Two& t : kPairs) {
            if (pair[0] == t.a && pair[1] == t.b) {
              c = t.to;
              i += t.extra;
              break;
            }
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

      // An operand token starts here.
      operandExpected = false;
      std::size_t start = i;
      bool tokenDone = false;
      if (!IsLetter(c) && c != '$') {
        while (i < s.size() && IsNumberChar(s[i])) {
          ++i;
          if (i + 1 < s.size() && (s[i] == 'E' || s[i] == 'e')) i += 2;
        }
      }
      while (i < s.size() && !tokenDone && !failed()) {
        char t = s[i];
        if (IsOperatorChar(t)) break;
        if (t == '[') {
          // A link starts its own token; "[" anywhere else is a syntax error
          // (the token before it would otherwise be taken for the link).
          std::size_t close = s.find(']', i);
          if (close == std::string::npos || i != start) {
            Fail();
            break;
          }
          i = close + 1;
          CompileOperand(std::string_view(s).substr(start, i - start));
          linkPending_ = true;
          start = i;
          tokenDone = true;
        } else if (t == '"') {
          std::size_t close = s.find('"', i + 1);
          if (close == std::string::npos) {
            Fail();
            break;
          }
          i = close + 1;
        } else if (t == '(') {
          std::size_t close = MatchParen(s, i);
          if (close == std::string::npos) {
            Fail();
            break;
          }
          CompileExpression(std::string_view(s).substr(i + 1, close - i - 1), own);
          if (failed()) break;
          if (i == start) Emit(kOpParens);
          else CompileCall(std::string_view(s).substr(start, i - start), true, own);
          i = close + 1;
          start = i;
          tokenDone = true;
        } else {
          ++i;
        }
      }
      if (failed()) break;
      if (i > start) CompileCall(std::string_view(s).substr(start, i - start), false, own);
    }

    if (!failed() && !stack.empty()) EmitOperator(stack.back());
    callerCounter += own;
  }

  void CompileCall(std::string_view token, bool parens, int& counter) {
    if (failed()) return;
    if (token.empty() || token[0] != '@') {
      CompileOperand(token);
      return;
    }
    std::string name = UpperCase(token.substr(1));
    int op = FindFunction(name);
    if (op == 0) {
      if (int index = Engine(session_).FindUserFunction(name); index > 0) {
        Emit(kOpUserFunction);
        Emit(static_cast<std::uint8_t>(index));
        int n = Engine(session_).usedFunctions[index - 1].argCount;
        if (n >= 1) counter = counter + 1 - n;
        return;
      }
      std::string_view bare = std::string_view(name).substr(!name.empty() && name[0] == '$' ? 1 : 0);
      if (const CellRange* r = doc_.names().Lookup(bare); r != nullptr && !bare.empty()) {
        Emit(kOpSheetFunction);
        std::string ref = "$";
        ref += bare;
        CompileOperand(ref);
        counter -= (r->lastCol - r->firstCol);
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
    Emit(static_cast<std::uint8_t>(op));
    int n = cls - 10;
    if (!parens) {
      if (n != 0) Fail();
      return;
    }
    if (cls == kClassVariadic) {
      n = counter + 1;
      if (n > 255) {
        Fail();
        return;
      }
      Emit(static_cast<std::uint8_t>(n));
    }
    counter = counter + 1 - n;
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
    if (IsLetter(first) || first == '$') {
      CompileReference(token);
    } else if (first == '"') {
      if (token.size() < 2 || token.back() != '"' || linkPending_) {
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
    } else if (first == '[') {
      CompileLink(token);
      return;  // a link takes no postfix operation of its own
    } else {
      CompileNumber(token);
    }
    if (postfix != 0) Emit(postfix);
  }

  void CompileReference(std::string_view token) {
    RangeContext context{doc_.settings().pageHeight, &doc_.names(), session_.cursor()};
    ParsedRange parsed = ParseRange(token, context, errors_);
    if (!parsed.ok || !parsed.range.IsDefined()) {
      Fail();
      return;
    }
    const CellRange& r = parsed.range;
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
        Fail();
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
  }

  void CompileLink(std::string_view token) {
    // token is "[path]"
    if (linkPending_ || token.size() < 2 || token.back() != ']') {
      Fail();
      return;
    }
    std::string path(token.substr(1, token.size() - 2));
    if (path.empty() || path.find('\0') != std::string::npos) {
      Fail();
      return;
    }
    // A path without a directory part is taken relative to the current
    // directory, as a file dialog would resolve it. The case is kept: file
    // names are case-sensitive here.
    if (path.find(':') == std::string::npos && path[0] != '/') {
      std::error_code ec;
      std::string dir = std::filesystem::current_path(ec).string();
      if (!ec) path = dir + "/" + path;
    }
    Emit(kOpLink);
    int at = len_;
    if (std::uint8_t* p = Reserve(8)) std::memcpy(p, "XXXXXXXX", 8);
    if (std::uint8_t* p = Reserve(static_cast<int>(path.size()) + 1)) {
      std::memcpy(p, path.data(), path.size());
      p[path.size()] = 0;
    }
    linkPlaceholder_ = at;
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
  }

  SheetDocument& doc_;
  Session& session_;
  ErrorChannel& errors_;
  char decimal_;
  char separator_;
  std::string precedence_;
  std::array<std::uint8_t, 256> code_{};
  int len_ = 2;
  bool linkPending_ = false;
  int linkPlaceholder_ = 0;
};

}  // namespace

std::string CompileFormula(SheetDocument& doc, std::string_view text) {
  Compiler compiler(doc);
  return compiler.Compile(text);
}

}  // namespace tabulon
