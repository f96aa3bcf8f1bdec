// Regeneration runs the code like the evaluator, but on a stack of texts:
// operands push their text, operators and functions pop their arguments'
// texts and push the combined text.
#include "formula/formula_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "formula/engine.h"
#include "formula/formula_code.h"
#include "formula/number_text.h"
#include "formula/op_table.h"
#include "sheet/address.h"
#include "sheet/error_channel.h"
#include "sheet/session.h"
#include "base/text.h"

namespace tabulon {

namespace {

// Stack bytes: texts and their length bytes together stay below this.
constexpr std::size_t kStackBytes = 998;

bool ReadsBackAs(const std::string& text, double x, char decimalChar) {
  std::string t = text;
  for (char& c : t)
    if (c == decimalChar) c = '.';
  char* end = nullptr;
  double back = std::strtod(t.c_str(), &end);
  return end == t.c_str() + t.size() && back == x;
}

class TextGenerator {
 public:
  TextGenerator(SheetDocument& doc, std::string_view code)
      : doc_(doc),
        session_(doc.session()),
        code_(reinterpret_cast<const std::uint8_t*>(code.data())),
        size_(code.size()),
        separator_(doc.session().settings().argSeparator),
        decimal_(doc.session().settings().decimalChar),
        pageHeight_(doc.settings().pageHeight) {}

  std::string Run() {
    std::string text = Walk();
    if (!text.empty()) {
      char c = text[0];
      // A leading "+" is dropped by the compiler, so a text that starts with
      // a unary plus needs one more in front.
      if (IsUpperLetter(c) || c == '$' || c == '"' || c == '[' || c == '+') text.insert(0, "+");
    }
    if (text.size() > static_cast<std::size_t>(kMaxText)) text = "+OVERFLOW";
    return text;
  }

 private:
  std::string Walk() {
    if (size_ < 3) return "NOEND";
    int end = code_[0];
    if (end >= kMaxCode || code_[1] != 0 || static_cast<std::size_t>(end) >= size_ ||
        code_[end] != kOpEnd)
      return "NOEND";
    int pos = 2;
    while (pos < end && !overflow_) {
      int size = Step(pos, end);
      if (size == 0) return "NOEND";
      if (size < 0) break;  // the end operation
      pos += size;
    }
    if (overflow_) return "OVERFLOW";
    return stack_.empty() ? std::string() : stack_.back();
  }

  // Handles the operation at pos; returns its size, 0 when its operands do
  // not fit before the end, -1 for the end operation.
  int Step(int pos, int end) {
    std::uint8_t op = code_[pos];
    if (op == kOpSheetFunction) return SheetFunction(pos, end);
    std::uint8_t cls = OpClassOf(op);
    if (cls == kClassEnd) return -1;
    if (cls == kClassUnassigned) {
      Push("@UKW");
      return 1;
    }
    int size = OperationSize(code_, pos, end);
    if (size == 0) return 0;
    const std::uint8_t* p = code_ + pos + 1;
    std::string name(OpName(op));
    if (name.empty()) name = "UKW";
    switch (cls) {
      case kClassNumber: Push(ConstantText(ReadDouble(p), decimal_)); break;
      case kClassInteger: Push(std::to_string(ReadI16(p))); break;
      case kClassCell: Push(CellText(ReadU32(p))); break;
      case kClassRange: Push(RangeOperandText(ReadU32(p), ReadU32(p + 4))); break;
      case kClassParens: Push("(" + ExpressionStart(Pop()) + ")"); break;
      case kClassString: Push("\"" + std::string(reinterpret_cast<const char*>(p), size - 2) + "\""); break;
      case kClassLink: Push(LinkText(p, size - 1)); break;
      case kClassPrefix: Push(name + Pop()); break;
      case kClassPostfix: Push(Pop() + name); break;
      case kClassInfix: {
        std::string right = Pop();
        std::string left = Pop();
        Push(left + name + right);
        break;
      }
      case kClassFunction0: Push("@" + name); break;
      case kClassFunction1:
      case kClassFunction2:
      case kClassFunction3:
      case kClassFunction4: Push(Call("@" + name, cls - kClassFunction0)); break;
      case kClassVariadic: Push(Call("@" + name, p[0])); break;
      case kClassUser: Push(UserCall(p[0])); break;
      default: Push("@UKW"); break;
    }
    return size;
  }

  void Push(std::string text) {
    if (text.size() > static_cast<std::size_t>(kMaxText) ||
        used_ + text.size() + 1 > kStackBytes) {
      overflow_ = true;
      return;
    }
    used_ += text.size() + 1;
    stack_.push_back(std::move(text));
  }
  std::string Pop() {
    if (stack_.empty()) return {};
    std::string t = std::move(stack_.back());
    stack_.pop_back();
    used_ -= t.size() + 1;
    return t;
  }

  // The compiler drops one "+" at the start of every expression, the text
  // between parentheses included; a unary plus there needs a second one.
  static std::string ExpressionStart(std::string text) {
    if (!text.empty() && text[0] == '+') text.insert(0, "+");
    return text;
  }

  // name "(" the n arguments in written order ")".
  std::string Call(const std::string& name, int n) {
    std::vector<std::string> args(n);
    for (int i = n - 1; i >= 0; --i) args[i] = Pop();
    std::string s = name + "(";
    for (int i = 0; i < n; ++i) {
      if (i > 0) s += separator_;
      s += i == 0 ? ExpressionStart(args[i]) : args[i];
      if (s.size() > static_cast<std::size_t>(kMaxText)) break;
    }
    return s + ")";
  }

  std::string UserCall(int index) {
    const auto& used = Engine(session_).usedFunctions;
    if (index < 1 || index > static_cast<int>(used.size())) return "@NOFUN";
    const UserFunction& f = used[index - 1];
    if (f.argCount == 0) return "@" + f.name;
    return Call("@" + f.name, f.argCount);
  }

  const CellRecord* Target(CellRef ref) const { return doc_.cells().Get(RefId(ref)); }

  std::string AddressOf(CellRef ref) const {
    const CellRecord* cell = Target(ref);
    if (cell == nullptr) return "ERR";
    return AddressText(cell->row, cell->col, ref & kRefAbsRow, ref & kRefAbsCol, pageHeight_);
  }

  bool IsOperatorChar(char c) const {
    static constexpr std::string_view kOperators = " #=<>?|+-*/^_&\\()[]\"\x1C\x1D\x1E\x1F";
    return c == separator_ || kOperators.find(c) != std::string_view::npos;
  }

  // Whether the name, written where an operand stands ("NAME" or "$NAME"),
  // compiles back to the named range: it must read as one token that the
  // range parser resolves to this very name.
  bool WritableAsOperand(const RangeName& entry) const {
    const std::string& name = entry.name;
    if (name.empty() || !IsLetter(name[0]) || name.back() == '%' || name.back() == '!') return false;
    for (char c : name)
      if (IsOperatorChar(c)) return false;
    RangeContext context{pageHeight_, &doc_.names(), nullptr};
    ErrorChannel scratch;
    ParsedRange parsed = ParseRange(name, context, scratch);
    return parsed.ok && !scratch.failed() && parsed.range == entry.range && parsed.flags == 0;
  }

  // The first name (in table order) whose range is exactly `range` and that
  // can be written back.
  const RangeName* NameFor(const CellRange& range) const {
    for (const RangeName& entry : doc_.names().entries())
      if (entry.range == range && WritableAsOperand(entry)) return &entry;
    return nullptr;
  }

  std::string CellText(CellRef ref) const {
    const CellRecord* cell = Target(ref);
    if (cell == nullptr) return "ERR";
    bool absRow = ref & kRefAbsRow, absCol = ref & kRefAbsCol;
    // A name compiles with all flags clear, or all set with "$"; a mixed
    // reference keeps its address so that its flags survive.
    if (absRow == absCol)
      if (const RangeName* n = NameFor(CellRange::Cell(cell->row, cell->col)))
        return (absRow ? "$" : "") + n->name;
    return AddressOf(ref);
  }

  // `second` is stored first: the corner typed second.
  std::string RangeOperandText(CellRef second, CellRef first) const {
    const CellRecord* a = Target(first);
    const CellRecord* b = Target(second);
    constexpr CellRef kFlags = kRefAbsRow | kRefAbsCol;
    bool allClear = ((first | second) & kFlags) == 0;
    bool allSet = (first & kFlags) == kFlags && (second & kFlags) == kFlags;
    if (a != nullptr && b != nullptr && (allClear || allSet)) {
      CellRange r = CellRange::Of(a->row, a->col, b->row, b->col);
      // A single-cell name would compile to a cell operand.
      if (!r.IsSingleCell())
        if (const RangeName* n = NameFor(r)) return (allSet ? "$" : "") + n->name;
    }
    return AddressOf(first) + ".." + AddressOf(second);
  }

  std::string LinkText(const std::uint8_t* p, int operandBytes) const {
    int c1 = ReadI16(p), r1 = ReadI16(p + 2), c2 = ReadI16(p + 4), r2 = ReadI16(p + 6);
    std::string address;
    if (!ColumnInSheet(c1) || !RowInSheet(r1) || !ColumnInSheet(c2) || !RowInSheet(r2)) {
      address = "ERR";
    } else {
      address = AddressText(r1, c1, false, false, pageHeight_);
      if (c1 != c2 || r1 != r2) address += ".." + AddressText(r2, c2, false, false, pageHeight_);
    }
    std::string path(reinterpret_cast<const char*>(p + 8), operandBytes - 9);
    return "[" + path + "]" + address;
  }

  // Operation 255: a cell or range operand naming a worksheet function,
  // after its arguments.
  int SheetFunction(int pos, int end) {
    if (pos + 1 >= end) return 0;
    std::uint8_t kind = code_[pos + 1];
    int size = kind == kOpCell ? 6 : kind == kOpRange ? 10 : 0;
    if (size == 0 || pos + size > end) return 0;
    CellRef second = ReadU32(code_ + pos + 2);
    CellRef first = kind == kOpRange ? ReadU32(code_ + pos + 6) : second;
    const CellRecord* a = Target(first);
    const CellRecord* b = Target(second);
    std::string name;
    int columns = 1;
    if (a != nullptr && b != nullptr) {
      CellRange r = CellRange::Of(a->row, a->col, b->row, b->col);
      columns = b->col - a->col + 1;
      for (const RangeName& entry : doc_.names().entries()) {
        if (entry.range == r && WritableAsFunction(entry)) {
          name = entry.name;
          break;
        }
      }
    }
    // Without its name the call can only show where it pointed.
    if (name.empty()) name = kind == kOpRange ? RangeOperandText(second, first) : CellText(first);
    if (columns < 1) columns = 1;
    if (columns > 255) columns = 255;
    Push(Call("@" + name, columns));
    return size;
  }

  // "@NAME" calls the named range only when no built-in or user-defined
  // function has that name (those are looked up first).
  bool WritableAsFunction(const RangeName& entry) const {
    if (!WritableAsOperand(entry) || FindFunction(entry.name) != 0) return false;
    const FormulaEngine& engine = Engine(session_);
    for (const auto* list : {&engine.usedFunctions, &engine.masterFunctions})
      for (const UserFunction& f : *list)
        if (UpperCase(f.name) == entry.name) return false;
    return true;
  }

  SheetDocument& doc_;
  Session& session_;
  const std::uint8_t* code_;
  std::size_t size_;
  char separator_;
  char decimal_;
  int pageHeight_;
  std::vector<std::string> stack_;
  std::size_t used_ = 0;
  bool overflow_ = false;
};

}  // namespace

std::string ConstantText(double x, char decimalChar) {
  std::string text = NumberText(x, decimalChar);
  // The general form writes magnitudes below 1E-04 with a lower-case
  // exponent; formula text writes every exponent with "E".
  for (char& c : text)
    if (c == 'e') c = 'E';
  if (!std::isfinite(x) || ReadsBackAs(text, x, decimalChar)) return text;
  // More significant digits until the text is exact; 17 always are.
  for (int digits = 12; digits <= 17; ++digits) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*E", digits - 1, x);
    std::string s(buf);
    std::size_t e = s.find('E');
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);  // "+07", "-123"
    if (mantissa.find('.') != std::string::npos) {
      while (mantissa.back() == '0') mantissa.pop_back();
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    while (exponent.size() > 3 && exponent[1] == '0') exponent.erase(1, 1);
    for (char& c : mantissa)
      if (c == '.') c = decimalChar;
    text = mantissa + "E" + exponent;
    if (ReadsBackAs(text, x, decimalChar)) break;
  }
  return text;
}

std::string FormulaText(SheetDocument& doc, std::string_view code) {
  return TextGenerator(doc, code).Run();
}

std::string FormulaText(SheetDocument& doc, const CellRecord& cell) {
  if (cell.text == nullptr) return FormulaText(doc, std::string_view());
  return FormulaText(doc, std::string_view(reinterpret_cast<const char*>(cell.text), cell.text[0] + 1u));
}

}  // namespace tabulon
