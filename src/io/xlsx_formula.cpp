// Translation of compiled formula code into workbook formula text. The
// walk runs the postfix code on a stack of translated operands, like the
// regeneration of formula text, but each operand also carries its kind
// (number, truth value, text, reference) and its precedence in the
// workbook's grammar, so that the translator can check that an operation
// means the same there and add the parentheses the workbook needs.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "formula/formula_code.h"
#include "formula/op_table.h"
#include "io/encoding.h"
#include "io/xlsx_export.h"
#include "sheet/address.h"
#include "sheet/cell_record.h"
#include "sheet/sheet_document.h"

namespace tabulon {

namespace {

// The longest formula text a workbook cell holds, less room for the
// wrappers added at the end.
constexpr std::size_t kMaxWorkbookFormula = 8000;

enum class Kind { kNumber, kBool, kText, kCell, kRange, kUnknown };

// Precedence of the workbook's operators, loosest first; operands and calls
// bind tightest.
enum Prec : int {
  kPrecCompare = 30,
  kPrecConcat = 40,
  kPrecAdd = 50,
  kPrecMultiply = 60,
  kPrecPower = 70,
  kPrecPercent = 80,
  kPrecNegate = 90,
  kPrecAtom = 100,
};

struct Node {
  std::string text;
  int prec = kPrecAtom;
  Kind kind = Kind::kUnknown;
  const CellRecord* cell = nullptr;  // the referenced cell of a kCell node
  bool constant = false;             // a number constant, with its value
  double value = 0;
};

// What a referenced cell holds now: text (a label or a text result), a
// number, or nothing. Empty cells read as an empty text or 0 alike.
enum class Holds { kText, kNumber, kNothing };
Holds CellHolds(const CellRecord* cell) {
  if (cell == nullptr) return Holds::kNothing;
  switch (cell->Kind()) {
    case kLabel:
    case kStringFormula: return cell->HasError() ? Holds::kNumber : Holds::kText;
    case kEmpty: return Holds::kNothing;
    default: return Holds::kNumber;
  }
}

std::string Wrap(const Node& n, int minPrec) {
  return n.prec < minPrec ? "(" + n.text + ")" : n.text;
}

class Translator {
 public:
  Translator(SheetDocument& doc, std::string_view code, const std::vector<XlsxName>& names)
      : doc_(doc),
        code_(reinterpret_cast<const std::uint8_t*>(code.data())),
        size_(code.size()),
        names_(names) {}

  XlsxFormula Run() {
    XlsxFormula result;
    if (size_ < 3 || code_[0] >= kMaxCode || static_cast<std::size_t>(code_[0]) >= size_ ||
        code_[code_[0]] != kOpEnd)
      return Fail("the formula code is damaged");
    int end = code_[0];
    int pos = 2;
    while (pos < end) {
      std::uint8_t op = code_[pos];
      int size = op == kOpSheetFunction ? 1 : OperationSize(code_, pos, end);
      if (size == 0) return Fail("the formula code is damaged");
      if (!Step(pos, op, size)) return Fail(reason_);
      // Written-out functions repeat their arguments; nested ones could
      // grow without bound.
      if (!stack_.empty() && stack_.back().text.size() > kMaxWorkbookFormula)
        return Fail("the formula would pass the workbook's 8192 characters");
      pos += size;
    }
    if (stack_.size() != 1) return Fail("the formula code is damaged");
    Node top = stack_.back();
    BlankAsText(top);
    // A truth value ends as a number, as the cell holds 1 or 0.
    if (top.kind == Kind::kBool) top.text = "--" + Wrap(top, kPrecAtom);
    result.ok = true;
    result.text = top.text;
    return result;
  }

 private:
  XlsxFormula Fail(const std::string& reason) const {
    XlsxFormula f;
    f.reason = reason;
    return f;
  }
  bool Refuse(std::string reason) {
    reason_ = std::move(reason);
    return false;
  }
  bool RefuseOp(std::uint8_t op) {
    const XlsxOperation* row = XlsxOperationOf(op);
    std::string name(OpName(op));
    std::string shown = OpClassOf(op) >= kClassFunction0 && OpClassOf(op) <= kClassVariadic
                            ? "@" + name
                            : name;
    return Refuse(shown + ": " + std::string(row != nullptr ? row->reason : "unknown operation"));
  }

  Node Pop() {
    Node n = std::move(stack_.back());
    stack_.pop_back();
    return n;
  }
  bool Need(std::size_t n) {
    if (stack_.size() < n) return Refuse("the formula code is damaged");
    return true;
  }

  bool Step(int pos, std::uint8_t op, int size) {
    const std::uint8_t* p = code_ + pos + 1;
    std::uint8_t cls = OpClassOf(op);
    switch (cls) {
      case kClassNumber: return PushNumber(ReadDouble(p));
      case kClassInteger: return PushNumber(ReadI16(p));
      case kClassString: {
        std::string bytes(reinterpret_cast<const char*>(p), static_cast<std::size_t>(size - 2));
        if (std::size_t zero = bytes.find('\0'); zero != std::string::npos) bytes.resize(zero);
        std::string text;
        for (char c : Cp1252ToUtf8(bytes)) {
          if (c == '"') text += '"';
          text += c;
        }
        stack_.push_back({"\"" + text + "\"", kPrecAtom, Kind::kText});
        return true;
      }
      case kClassCell: return PushCell(ReadU32(p));
      case kClassRange: return PushRange(ReadU32(p), ReadU32(p + 4));
      case kClassParens: {
        if (!Need(1)) return false;
        Node n = Pop();
        n.text = "(" + n.text + ")";
        n.prec = kPrecAtom;
        stack_.push_back(std::move(n));
        return true;
      }
      case kClassEnd: return true;
      default: break;
    }
    const XlsxOperation* row = XlsxOperationOf(op);
    if (row == nullptr || row->mapping == XlsxMapping::kValueOnly) return RefuseOp(op);
    switch (op) {
      case kOpNegate:
      case kOpUnaryPlus: return Prefix(op);
      case kOpAdd:
      case kOpSubtract: return Arithmetic(row->workbook, kPrecAdd);
      case kOpMultiply:
      case kOpDivide: return Arithmetic(row->workbook, kPrecMultiply);
      case kOpPower: return Power(op);
      case kOpEqual:
      case kOpNotEqual:
      case kOpLessEqual:
      case kOpGreaterEqual:
      case kOpLess:
      case kOpGreater: return Compare(op, row->workbook);
      case kOpAnd:
      case kOpOr: return Logical(op, row->workbook);
      case kOpConcat: return Concat(op);
      case kOpPercent: return Percent();
      case kOpIf: return If();
      case kOpCase: return Case(p[0]);
      case kOpDate: return Date(op);
      case kOpRound:
      case kOpFloor:
      case kOpCeil: return Rounding(op);
      default: break;
    }
    int argc = cls == kClassVariadic                         ? p[0]
               : cls == kClassPostfix || cls == kClassPrefix ? 1
                                                             : cls - kClassFunction0;
    if (argc < 0 || (argc > 4 && cls != kClassVariadic)) return RefuseOp(op);
    return Call(op, *row, argc);
  }

  bool PushNumber(double x) {
    if (!std::isfinite(x)) return Refuse("a number the workbook cannot hold");
    // The shortest text that reads back as the same double.
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
    if (ec != std::errc()) return Refuse("a number the workbook cannot hold");
    *end = '\0';
    Node n{buf, kPrecAtom, Kind::kNumber};
    // A negative constant reads as a negation in the workbook.
    if (x < 0) n.prec = kPrecNegate;
    n.constant = true;
    n.value = x;
    stack_.push_back(std::move(n));
    return true;
  }

  bool Address(CellRef ref, int& row, int& col) {
    const CellRecord* cell = doc_.cells().Get(RefId(ref));
    if (RefId(ref) == 0 || cell == nullptr) return Refuse("a reference to a deleted cell");
    row = cell->row;
    col = cell->col;
    return true;
  }

  static std::string AddressText(int row, int col, bool absRow, bool absCol) {
    return std::string(absCol ? "$" : "") + ColumnLetters(col) + (absRow ? "$" : "") +
           std::to_string(row + 1);
  }

  // A workbook name for exactly this range, when it has one.
  const XlsxName* NameFor(const CellRange& range) const {
    for (const XlsxName& n : names_)
      if (n.range == range) return &n;
    return nullptr;
  }

  bool PushCell(CellRef ref) {
    int row, col;
    if (!Address(ref, row, col)) return false;
    bool absRow = ref & kRefAbsRow, absCol = ref & kRefAbsCol;
    Node n;
    n.kind = Kind::kCell;
    n.cell = doc_.cells().FindCell(row, col);
    const XlsxName* name = absRow == absCol ? NameFor(CellRange::Cell(row, col)) : nullptr;
    n.text = name != nullptr ? name->exported : AddressText(row, col, absRow, absCol);
    stack_.push_back(std::move(n));
    return true;
  }

  // The operand stores the corner typed second first. The workbook wants
  // the top-left corner first; each coordinate keeps the flag it was typed
  // with.
  bool PushRange(CellRef second, CellRef first) {
    int r1, c1, r2, c2;
    if (!Address(first, r1, c1) || !Address(second, r2, c2)) return false;
    bool ar1 = first & kRefAbsRow, ac1 = first & kRefAbsCol;
    bool ar2 = second & kRefAbsRow, ac2 = second & kRefAbsCol;
    int top = r1, bottom = r2, left = c1, right = c2;
    bool aTop = ar1, aBottom = ar2, aLeft = ac1, aRight = ac2;
    if (r2 < r1) std::swap(top, bottom), std::swap(aTop, aBottom);
    if (c2 < c1) std::swap(left, right), std::swap(aLeft, aRight);
    Node n;
    n.kind = Kind::kRange;
    bool allClear = !ar1 && !ac1 && !ar2 && !ac2, allSet = ar1 && ac1 && ar2 && ac2;
    CellRange range = CellRange::Of(top, left, bottom, right);
    const XlsxName* name = (allClear || allSet) ? NameFor(range) : nullptr;
    n.text = name != nullptr ? name->exported
                             : AddressText(top, left, aTop, aLeft) + ":" +
                                   AddressText(bottom, right, aBottom, aRight);
    stack_.push_back(std::move(n));
    return true;
  }

  // An operand where a number is wanted. TABULON reads a text as 0, the
  // workbook refuses it: a cell holding text goes through N(), a text
  // expression cannot be translated.
  bool AsNumber(Node& n, bool keepBool) {
    switch (n.kind) {
      case Kind::kText: return Refuse("a text used as a number");
      case Kind::kCell:
        if (CellHolds(n.cell) == Holds::kText) n.text = "N(" + n.text + ")";
        break;
      case Kind::kRange:
        // Outside a list function a range stands for its corner typed second.
        return Refuse("a range used as a single value");
      case Kind::kBool:
        if (!keepBool) n.text = "--" + Wrap(n, kPrecAtom), n.prec = kPrecNegate;
        break;
      case Kind::kUnknown:
        // A choice between a text and a number: N() reads a text as 0.
        n.text = "N(" + n.text + ")";
        n.prec = kPrecAtom;
        break;
      default: break;
    }
    if (n.kind != Kind::kBool) n.kind = Kind::kNumber;
    n.cell = nullptr;
    return true;
  }

  // An operand where a text is wanted. A number would become text by
  // TABULON's rule on one side and the workbook's on the other, which agree
  // for whole numbers only.
  bool AsText(Node& n) {
    switch (n.kind) {
      case Kind::kText:
      case Kind::kUnknown: return true;
      case Kind::kCell: {
        if (CellHolds(n.cell) != Holds::kNumber) return true;
        double v = n.cell->Kind() == kInteger ? n.cell->value.integer : n.cell->value.num;
        if (v == std::floor(v) && std::fabs(v) < 1e15) return true;
        return Refuse("a number joined as text is written by TABULON's own rule");
      }
      case Kind::kNumber:
        if (n.constant && n.value == std::floor(n.value) && std::fabs(n.value) < 1e15) return true;
        return Refuse("a number joined as text is written by TABULON's own rule");
      case Kind::kBool: return Refuse("a truth value joined as text");
      case Kind::kRange: return Refuse("a range used as a single value");
    }
    return true;
  }

  bool Prefix(std::uint8_t op) {
    if (!Need(1)) return false;
    Node a = Pop();
    if (!AsNumber(a, true)) return false;
    std::string sign = op == kOpNegate ? "-" : "+";
    Node n{sign + Wrap(a, kPrecNegate), kPrecNegate, Kind::kNumber};
    // A signed constant stays a constant (for the tests on constant
    // arguments).
    n.constant = a.constant;
    n.value = op == kOpNegate ? -a.value : a.value;
    stack_.push_back(std::move(n));
    return true;
  }

  bool Binary(Node& a, Node& b) {
    if (!Need(2)) return false;
    b = Pop();
    a = Pop();
    return true;
  }

  // Left-associative operators: the right operand needs parentheses at the
  // same precedence.
  void PushInfix(const Node& a, std::string_view sign, const Node& b, int prec, Kind kind) {
    stack_.push_back({Wrap(a, prec) + std::string(sign) + Wrap(b, prec + 1), prec, kind});
  }

  bool Arithmetic(std::string_view sign, int prec) {
    Node a, b;
    if (!Binary(a, b) || !AsNumber(a, true) || !AsNumber(b, true)) return false;
    PushInfix(a, sign, b, prec, Kind::kNumber);
    return true;
  }

  // a^b means the same unless the base is 0 and the exponent not positive:
  // that is certain for a positive constant exponent or a non-zero
  // constant base.
  bool Power(std::uint8_t op) {
    Node a, b;
    if (!Binary(a, b) || !AsNumber(a, true) || !AsNumber(b, true)) return false;
    if (!((b.constant && b.value > 0) || (a.constant && a.value != 0))) return RefuseOp(op);
    // Programs disagree on how a^b^c groups, so a power inside a power
    // always gets its parentheses.
    stack_.push_back({Wrap(a, kPrecPower + 1) + "^" + Wrap(b, kPrecPower + 1), kPrecPower, Kind::kNumber});
    return true;
  }

  static bool IsTextLike(const Node& n) {
    return n.kind == Kind::kText || (n.kind == Kind::kCell && CellHolds(n.cell) == Holds::kText);
  }
  static bool IsNumberLike(const Node& n) {
    return n.kind == Kind::kNumber || n.kind == Kind::kBool ||
           (n.kind == Kind::kCell && CellHolds(n.cell) == Holds::kNumber);
  }

  bool Compare(std::uint8_t op, std::string_view sign) {
    Node a, b;
    if (!Binary(a, b)) return false;
    if (a.kind == Kind::kRange || b.kind == Kind::kRange)
      return Refuse("a range used as a single value");
    bool text = IsTextLike(a) || IsTextLike(b);
    if (text) {
      // A value of unknown kind may turn out a number at run time.
      if (IsNumberLike(a) || IsNumberLike(b) || a.kind == Kind::kUnknown || b.kind == Kind::kUnknown)
        return Refuse("a text compared with a number");
      // Texts are equal in TABULON only byte for byte.
      if (op == kOpEqual || op == kOpNotEqual) {
        std::string call = "EXACT(" + a.text + "," + b.text + ")";
        if (op == kOpNotEqual) call = "NOT(" + call + ")";
        stack_.push_back({call, kPrecAtom, Kind::kBool});
        return true;
      }
      return RefuseOp(op);
    }
    // An empty cell compared with a number reads 0 in both.
    if (!AsNumber(a, true) || !AsNumber(b, true)) return false;
    PushInfix(a, sign, b, kPrecCompare, Kind::kBool);
    return true;
  }

  static bool IsTruthValue(const Node& n) {
    return n.kind == Kind::kBool ||
           (n.constant && (n.value == 0 || n.value == 1));
  }

  bool Logical(std::uint8_t op, std::string_view name) {
    Node a, b;
    if (!Binary(a, b)) return false;
    if (!IsTruthValue(a) || !IsTruthValue(b)) return RefuseOp(op);
    stack_.push_back({std::string(name) + "(" + a.text + "," + b.text + ")", kPrecAtom, Kind::kBool});
    return true;
  }

  bool Concat(std::uint8_t) {
    Node a, b;
    if (!Binary(a, b) || !AsText(a) || !AsText(b)) return false;
    PushInfix(a, "&", b, kPrecConcat, Kind::kText);
    return true;
  }

  bool Percent() {
    if (!Need(1)) return false;
    Node a = Pop();
    if (!AsNumber(a, true)) return false;
    stack_.push_back({Wrap(a, kPrecPercent) + "%", kPrecPercent, Kind::kNumber});
    return true;
  }

  // A reference to an empty cell gives an empty text in TABULON and 0 in
  // the workbook, where it stands as the result.
  static void BlankAsText(Node& n) {
    if (n.kind != Kind::kCell || CellHolds(n.cell) != Holds::kNothing) return;
    n.text = "IF(ISBLANK(" + n.text + "),\"\"," + n.text + ")";
    n.prec = kPrecAtom;
    n.kind = Kind::kUnknown;
  }

  // A value chosen by IF or CASE: a truth value is held as 1 or 0.
  bool AsValue(Node& n) {
    if (n.kind == Kind::kRange) return Refuse("a range used as a single value");
    BlankAsText(n);
    if (n.kind == Kind::kBool) return AsNumber(n, false);
    return true;
  }

  static Kind Merge(const std::vector<Node>& values) {
    Kind k = values.front().kind == Kind::kCell ? Kind::kUnknown : values.front().kind;
    for (const Node& v : values)
      if (v.kind != k) return Kind::kUnknown;
    return k;
  }

  // TABULON's IF takes only 1 as true.
  bool If() {
    if (!Need(3)) return false;
    Node b = Pop(), a = Pop(), c = Pop();
    if (!AsValue(a) || !AsValue(b)) return false;
    std::string condition;
    if (c.kind == Kind::kBool) {
      condition = c.text;
    } else {
      if (!AsNumber(c, true)) return false;
      condition = Wrap(c, kPrecCompare + 1) + "=1";
    }
    Kind kind = Merge({a, b});
    stack_.push_back({"IF(" + condition + "," + a.text + "," + b.text + ")", kPrecAtom, kind});
    return true;
  }

  // CASE rounds its selector; CHOOSE truncates it.
  bool Case(int argc) {
    if (argc < 2 || !Need(static_cast<std::size_t>(argc))) return Refuse("the formula code is damaged");
    std::vector<Node> values(static_cast<std::size_t>(argc - 1));
    for (int i = argc - 2; i >= 0; --i) values[static_cast<std::size_t>(i)] = Pop();
    Node k = Pop();
    if (!AsNumber(k, false)) return false;
    std::string text = "CHOOSE(ROUND(" + k.text + ",0)";
    for (Node& v : values) {
      if (!AsValue(v)) return false;
      text += "," + v.text;
    }
    stack_.push_back({text + ")", kPrecAtom, Merge(values)});
    return true;
  }

  bool Date(std::uint8_t op) {
    if (!Need(3)) return false;
    const Node& year = stack_[stack_.size() - 3];
    if (!year.constant || !((year.value >= 0 && year.value < 100) || year.value >= 1900))
      return RefuseOp(op);
    // With such a year the workbook's DATE means the same.
    const XlsxOperation call{op, XlsxMapping::kFunction, "DATE", "n=nnn"};
    return Call(op, call, 3);
  }

  // x rounded to n decimals the way TABULON does it, with p = 10^|n|:
  //   @ROUND  trunc(x*p +- 0.5)/p             (n < 0: trunc(x/p +- 0.5)*p)
  //   @FLOOR  sign(x)*trunc(|x|*p)/p          (n < 0: sign(x)*p*trunc(|x|/p))
  //   @CEIL   as @FLOOR with 0.9999999999 added before truncating
  bool Rounding(std::uint8_t op) {
    if (!Need(2)) return false;
    Node n = Pop(), x = Pop();
    if (!n.constant || n.value != std::floor(n.value) || std::fabs(n.value) > 15) return RefuseOp(op);
    if (!AsNumber(x, false)) return false;
    int digits = static_cast<int>(n.value);
    std::string p = "1" + std::string(static_cast<std::size_t>(std::abs(digits)), '0');
    std::string sx = Wrap(x, kPrecAtom);
    std::string scaled = digits == 0 ? sx : digits > 0 ? sx + "*" + p : sx + "/" + p;
    std::string absScaled = digits == 0 ? "ABS(" + x.text + ")"
                            : digits > 0 ? "ABS(" + x.text + ")*" + p
                                         : "ABS(" + x.text + ")/" + p;
    std::string sign = "IF(" + sx + "<0,-1,1)";
    std::string text;
    auto unscale = [&](const std::string& t) { return digits == 0 ? t : digits > 0 ? t + "/" + p : t + "*" + p; };
    if (op == kOpRound) {
      text = unscale("TRUNC(" + scaled + "+IF(" + sx + "<0,-0.5,0.5))");
    } else {
      std::string lift = op == kOpCeil ? "+0.9999999999" : "";
      std::string inner = "TRUNC(" + absScaled + lift + ")";
      text = digits >= 0 ? unscale(sign + "*" + inner) : sign + "*" + p + "*" + inner;
    }
    stack_.push_back({text, digits == 0 && op == kOpRound ? kPrecAtom : kPrecCompare - 1, Kind::kNumber});
    return true;
  }

  bool Argument(Node& n, char want) {
    switch (want) {
      case 'n': return AsNumber(n, false);
      case 's': return AsText(n);
      case 'a': return AsValue(n);
      case 'b':
        if (n.kind == Kind::kBool) return true;
        return AsNumber(n, false);
      case 'c':
        if (n.kind != Kind::kCell) return Refuse("the argument must be a single cell reference");
        return true;
      case 'r':
        if (n.kind != Kind::kCell && n.kind != Kind::kRange)
          return Refuse("the argument must be a range");
        return true;
      default: return Refuse("the formula code is damaged");
    }
  }

  // A list argument. Ranges count their numeric cells in both; a single
  // cell counts whatever it holds in TABULON (a text as 0, an empty cell
  // too), which N() gives the workbook.
  bool ListArgument(Node& n, bool sum) {
    switch (n.kind) {
      case Kind::kRange: return true;
      case Kind::kCell:
        if (!sum) n.text = "N(" + n.text + ")";
        return true;
      default: return AsNumber(n, false);
    }
  }

  bool Call(std::uint8_t op, const XlsxOperation& row, int argc) {
    if (!Need(static_cast<std::size_t>(argc))) return false;
    std::string_view signature = row.reason;
    char result = signature.empty() ? 'n' : signature[0];
    std::string_view wants = signature.size() > 2 ? signature.substr(2) : std::string_view();
    std::vector<Node> args(static_cast<std::size_t>(argc));
    for (int i = argc - 1; i >= 0; --i) args[static_cast<std::size_t>(i)] = Pop();
    bool list = wants == "l";
    if (!list && wants.size() != args.size()) return Refuse("the formula code is damaged");
    for (std::size_t i = 0; i < args.size(); ++i) {
      bool ok = list ? ListArgument(args[i], op == kOpSum) : Argument(args[i], wants[i]);
      if (!ok) {
        reason_ = "@" + std::string(OpName(op)) + ": " + reason_;
        return false;
      }
    }
    Kind kind = result == 'b' ? Kind::kBool : result == 's' ? Kind::kText : Kind::kNumber;
    if (row.mapping == XlsxMapping::kTemplate) {
      std::string text;
      std::string_view t = row.workbook;
      for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '{' && i + 2 < t.size() && t[i + 2] == '}') {
          std::size_t k = static_cast<std::size_t>(t[i + 1] - '1');
          if (k < args.size()) text += Wrap(args[k], kPrecAtom);
          i += 2;
        } else {
          text += t[i];
        }
      }
      stack_.push_back({text, TemplatePrecedence(t), kind});
      return true;
    }
    std::string text = std::string(row.workbook) + "(";
    for (std::size_t i = 0; i < args.size(); ++i) text += (i ? "," : "") + args[i].text;
    stack_.push_back({text + ")", kPrecAtom, kind});
    return true;
  }

  // A template that is one call binds like an operand; any other is taken
  // as loosely as a comparison, so that it is always put in parentheses.
  static int TemplatePrecedence(std::string_view t) {
    int depth = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '(') ++depth;
      if (t[i] == ')' && --depth == 0 && i + 1 != t.size()) return kPrecCompare - 1;
      if (depth == 0 && (t[i] == '/' || t[i] == '+' || t[i] == '-' || t[i] == '*' || t[i] == '='))
        return kPrecCompare - 1;
    }
    return kPrecAtom;
  }

  SheetDocument& doc_;
  const std::uint8_t* code_;
  std::size_t size_;
  std::vector<Node> stack_;
  const std::vector<XlsxName>& names_;
  std::string reason_;
};

}  // namespace

XlsxFormula TranslateFormula(SheetDocument& doc, const CellRecord& cell) {
  return TranslateFormula(doc, cell, WorkbookNames(doc));
}

XlsxFormula TranslateFormula(SheetDocument& doc, const CellRecord& cell,
                             const std::vector<XlsxName>& names) {
  if (!cell.IsFormula() || cell.text == nullptr) {
    XlsxFormula f;
    f.reason = "not a formula";
    return f;
  }
  if (cell.kind & kFileFormBit) {
    XlsxFormula f;
    f.reason = "the formula code is damaged";
    return f;
  }
  std::string_view code(reinterpret_cast<const char*>(cell.text), static_cast<std::size_t>(cell.text[0]) + 1);
  return Translator(doc, code, names).Run();
}

}  // namespace tabulon
