// The evaluator: runs a formula cell's compiled code on a small value stack
// and stores the result in the cell.
//
// Every operation is carried out by a handler chosen from a 256-entry
// dispatch table; the function library consists of such handlers, grouped
// by family under formula/functions/. Handlers work on the evaluator
// through the small interface below: pop and push values, read the operand
// bytes that follow their operation, read range arguments, raise the error
// flag.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/cell_record.h"
#include "sheet/cell_store.h"
#include "base/limits.h"

namespace tabulon {

class Session;
class SheetDocument;
class CellStore;
class Evaluator;

inline constexpr int kStackSlots = 25;
inline constexpr int kStringPoolBytes = 1024;
inline constexpr int kMaxNesting = 16;  // nested evaluations (user and sheet functions)
inline constexpr int kMaxCallArgs = 10;  // arguments of a user-defined function

enum SlotKind : std::uint8_t { kSlotNumber = 1, kSlotString = 2, kSlotBlank = 3 };

struct Value {
  double num = 0;
  std::uint8_t kind = kSlotNumber;
  bool error = false;
  std::uint16_t origin = 0;    // code position of the range operand that produced it
  std::uint16_t strOffset = 0;  // kSlotString: where its bytes are in the pool
  std::uint8_t strLength = 0;
};

using Handler = void (*)(Evaluator&);
using DispatchTable = std::array<Handler, 256>;

// A rectangle read from a range argument, corners ordered.
struct RangeArg {
  int top = 0, left = 0, bottom = 0, right = 0;
  bool valid = false;  // false: an invalid reference in the operand
  SheetDocument* linked = nullptr;  // another worksheet, for a link operand
  int rows() const { return bottom - top + 1; }
  int cols() const { return right - left + 1; }
};

// Accumulated list statistics (the shared list-argument routine).
struct ListStats {
  double sum = 0, min = 0, max = 0;
  double count = 0;
  double sumSquares = 0;  // second pass: squared differences from the mean
};

// Result of EvaluateText.
struct TextResult {
  double number = 0;
  std::string text;   // a string result (empty for a number)
  bool isString = false;
  bool error = false;  // the text did not compile, or the result was an error
  bool syntaxError = false;  // the text did not compile
};

class Evaluator {
 public:
  explicit Evaluator(Session& session);

  // Evaluates a formula cell of the document and stores its result. Cells
  // that are not formulas are left alone.
  void EvaluateCell(SheetDocument& doc, CellRecord& cell);

  // Compiles and evaluates formula text in a scratch cell of the document,
  // keeping the state of any evaluation in progress.
  TextResult EvaluateText(SheetDocument& doc, std::string_view text);
  // Evaluates already compiled code (bytes 0..L) the same way.
  TextResult EvaluateCode(SheetDocument& doc, const std::uint8_t* code, int row = 0, int col = 0);

  // --- for handlers ---------------------------------------------------
  Session& session() { return session_; }
  SheetDocument& doc() { return *doc_; }
  CellStore& cells();
  std::uint8_t op() const { return op_; }
  // Row and column of the formula cell being evaluated.
  int cellRow() const { return cellRow_; }
  int cellCol() const { return cellCol_; }

  int depth() const { return sp_; }
  Value& Top() { return stack_[sp_ - 1]; }
  // Slot i counted from the top: 0 is the top.
  Value& FromTop(int i) { return stack_[sp_ - 1 - i]; }
  // Ensures n values are on the stack; otherwise the code is broken and the
  // evaluation aborts.
  bool Need(int n) {
    if (sp_ >= n) return true;
    Abort();
    return false;
  }
  void PushNumber(double x);
  void PushString(std::string_view s);
  void PushError();  // the value -1 with the error mark
  // Pops the top value; its string bytes go back to the pool, so read them
  // with Text() before the next push.
  Value Pop();
  // Pops n values and returns them, the deepest first.
  void Drop(int n);
  // The text of a value: its string, or its number by the number-text rule.
  std::string Text(const Value& v) const;
  std::string_view StringOf(const Value& v) const {
    return {pool_.data() + v.strOffset, v.strLength};
  }
  // Replaces the top value by a number, keeping its error mark.
  void SetTopNumber(double x);
  void SetTopString(std::string_view s);

  void Fail() { err_ = true; }       // the engine's error flag
  bool failed() const { return err_; }
  void ClearFailure() { err_ = false; }
  void Abort() { abort_ = true; }    // broken code or exhausted resources
  bool aborted() const { return abort_; }
  // The code being run (bytes 0..L) and the position of the current
  // operation's byte.
  const std::uint8_t* code() const { return code_; }
  int OperationStart() const { return opStart_; }

  // Operand bytes that follow the current operation; aborts when they would
  // run past the code.
  const std::uint8_t* Operand(int n);
  std::uint8_t CountByte() { const std::uint8_t* p = Operand(1); return p ? *p : 0; }

  // The range designated by a value that came from a range operand or a
  // cell reference (origin != 0); invalid when the value has no origin.
  RangeArg RangeOf(const Value& v) const;
  // The worksheet a range lies in: the linked one, or the evaluation's own.
  SheetDocument& DocumentOf(const RangeArg& r) { return r.linked != nullptr ? *r.linked : *doc_; }
  CellStore& CellsOf(const RangeArg& r);
  // Visits the existing cells of a range: rows from the top, columns from
  // the left.
  template <typename Fn>
  void ForEachCellIn(const RangeArg& r, Fn&& fn);

  // The shared list routine over the top `count` values. Two passes when
  // `variance` is set (sumSquares filled).
  ListStats CollectList(int count, bool variance);

  // Cell value as an operand (operation 1 rules).
  void PushCell(const CellRecord* cell);

  // The user-defined function argument tables of the innermost call.
  struct UserArgs {
    int count = 0;
    std::array<Value, kMaxCallArgs> values;
    std::array<std::string, kMaxCallArgs> texts;
  };
  const UserArgs* userArgs() const { return userArgs_; }

  // The handler of every operation number: each function family fills in
  // its rows of the operation list; every other number has
  // UnassignedOperation.
  static const DispatchTable& Dispatch();

 private:
  friend void RunUserFunction(Evaluator&);
  friend void RunSheetFunction(Evaluator&);

  struct State {
    const std::uint8_t* code;
    int pos, end, sp, poolTop;
    std::uint8_t op;
    bool err, abort;
    SheetDocument* doc;
    int cellRow, cellCol;
    const UserArgs* userArgs;
    std::uint16_t lastPoppedError;
  };
  State Save() const;
  void Restore(const State& s);
  // Runs code_ from offset 2; returns false when it aborted.
  bool Run();
  TextResult RunNested(SheetDocument& doc, const std::uint8_t* code, int row, int col);

  Session& session_;
  SheetDocument* doc_ = nullptr;
  const std::uint8_t* code_ = nullptr;
  int pos_ = 0;
  int end_ = 0;
  std::uint8_t op_ = 0;
  int opStart_ = 0;
  bool err_ = false;
  bool abort_ = false;
  bool lastPoppedError_ = false;
  int cellRow_ = 0, cellCol_ = 0;
  int nesting_ = 0;
  const UserArgs* userArgs_ = nullptr;

  int sp_ = 0;
  std::array<Value, kStackSlots> stack_{};
  int poolTop_ = 0;
  std::array<char, kStringPoolBytes> pool_{};
};

template <typename Fn>
void Evaluator::ForEachCellIn(const RangeArg& r, Fn&& fn) {
  CellsOf(r).ForEachIn(r.top, r.left, r.bottom, r.right, fn);
}

// The handler of numbers that the operation list leaves unassigned: code
// holding one is broken, and its evaluation ends with ERR.
void UnassignedOperation(Evaluator& e);

// Registration points of the function families: each installs the handlers
// of its rows of the operation list (formula/operations.def).
void RegisterCoreOperations(DispatchTable& table);
void RegisterMathFunctions(DispatchTable& table);
void RegisterStatisticsFunctions(DispatchTable& table);
void RegisterSpecialFunctions(DispatchTable& table);
void RegisterMatrixFunctions(DispatchTable& table);
void RegisterFormulaArgumentFunctions(DispatchTable& table);
void RegisterTextFunctions(DispatchTable& table);
void RegisterDateTimeFunctions(DispatchTable& table);
void RegisterFinancialFunctions(DispatchTable& table);
void RegisterLookupFunctions(DispatchTable& table);
void RegisterInformationFunctions(DispatchTable& table);

}  // namespace tabulon
