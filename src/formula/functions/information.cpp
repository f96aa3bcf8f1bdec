// Information functions: what a value's cell holds, files, the session and
// the system.
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/formula_code.h"
#include "formula/functions/args.h"
#include "formula/functions/handler_support.h"
#include "formula/op_table.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

// The memory total the figures of @MEMAVAIL are measured against.
constexpr double kMemoryTotal = 66842640;

// The cell the evaluation referenced last before the current operation:
// the argument's own cell when the argument is a reference, else the last
// cell or range operand earlier in the code (a range operand reads the
// corner stored first). Null when the code references no cell before here,
// or the argument comes from another worksheet through a link.
const CellRecord* LastReferencedCell(Evaluator& e, const Value& arg) {
  const std::uint8_t* code = e.code();
  int at = arg.origin;
  if (at != 0 && code[at] == kOpLink) return nullptr;  // a cell of another worksheet
  if (at == 0) {
    int limit = e.OperationStart();
    ForEachOperation(code, [&](int pos, std::uint8_t op) {
      if (pos < limit && (op == kOpCell || op == kOpRange)) at = pos;
    });
  }
  if (at == 0 || (code[at] != kOpCell && code[at] != kOpRange)) return nullptr;
  return e.cells().Get(RefId(ReadU32(code + at + 1)));
}

// @ISNUM and @ISSTR look at the cell behind the argument; a value that no
// cell lies behind is judged by its own kind.
void IsNumOrStr(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  bool wantNumber = e.op() == kOpIsNum;
  const CellRecord* c = LastReferencedCell(e, e.Top());
  bool yes;
  if (c != nullptr) {
    std::uint8_t k = c->Kind();
    yes = wantNumber ? (k == kFormula || k == kReal || k == kInteger)
                     : (k == kLabel || k == kStringFormula);
  } else {
    yes = (e.Top().kind == kSlotNumber) == wantNumber && e.Top().kind != kSlotBlank;
  }
  ResultNumber(e, 1, yes ? 1 : 0);
}

void FileInfo(Evaluator& e) {
  if (!Arguments(e, 2)) return;
  std::string name = e.Text(ArgumentAt(e, 2, 0));
  double n = RoundedArg(ArgumentAt(e, 2, 1));
  if (n == 4) {
    ResultString(e, 2, e.doc().fileName());
    return;
  }
  if (n == 2) {
    std::ifstream in(name, std::ios::binary);
    struct stat st{};
    bool regular = ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    ResultNumber(e, 2, in.is_open() && regular ? 1 : 0);
    return;
  }
  struct stat st{};
  if ((n != 1 && n != 3) || name.empty() || ::stat(name.c_str(), &st) != 0) {
    ResultError(e, 2);
    return;
  }
  if (n == 1) {
    ResultNumber(e, 2, static_cast<double>(st.st_size));
    return;
  }
  // Attribute bits as the file system reports them: 1 read-only,
  // 16 directory, 32 ordinary file.
  int bits = 0;
  if (!(st.st_mode & S_IWUSR)) bits |= 1;
  if (S_ISDIR(st.st_mode)) bits |= 16;
  if (S_ISREG(st.st_mode)) bits |= 32;
  ResultNumber(e, 2, bits);
}

void IoResult(Evaluator& e) {
  FormulaEngine& engine = Engine(e.session());
  e.PushNumber(engine.ioResult);
  engine.ioResult = 0;
}

void FileName(Evaluator& e) { e.PushString(e.doc().fileName()); }

void Path(Evaluator& e) {
  char buf[4096];
  if (::getcwd(buf, sizeof buf) == nullptr) {
    e.PushError();
    return;
  }
  e.PushString(buf);
}

// Bytes held by the worksheets: their cell records, as the allocator would
// count them.
double AllocatedBytes(Session& session) {
  double bytes = 0;
  for (int slot = 1; slot <= kDocumentSlots; ++slot)
    if (SheetDocument* doc = session.Document(slot))
      bytes += static_cast<double>(doc->cells().recordCount()) * sizeof(CellRecord);
  return bytes;
}

void MemAvail(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double n = RoundedArg(e.Top());
  if (n == 0) ResultNumber(e, 1, kMemoryTotal);
  else if (n == 1) ResultNumber(e, 1, kMemoryTotal - AllocatedBytes(e.session()));
  else if (n == 2) ResultNumber(e, 1, AllocatedBytes(e.session()));
  else ResultNumber(e, 1, Num(e.Top()));  // an unknown selector comes back unchanged
}

void DosVer(Evaluator& e) { e.PushString("N/A"); }

// Kernel release "5.15.0-91-generic" gives 5.015.
void OsVer(Evaluator& e) {
  struct utsname u{};
  int major = 0, minor = 0;
  if (::uname(&u) != 0 || std::sscanf(u.release, "%d.%d", &major, &minor) < 1) {
    e.PushError();
    return;
  }
  e.PushNumber(major + minor / 1000.0);
}

void Version(Evaluator& e) { e.PushNumber(1.6006); }
void Auto(Evaluator& e) { e.PushNumber(e.doc().settings().manualRecalc ? 0 : 1); }
void Protect(Evaluator& e) { e.PushNumber(e.doc().settings().protect ? 1 : 0); }

// Without a window table every open worksheet counts as one view, and the
// active view is the current worksheet's.
void QView(Evaluator& e) {
  if (!Arguments(e, 1)) return;
  double n = RoundedArg(e.Top());
  Session& session = e.session();
  if (n == 0) {
    SheetDocument* current = session.current();
    ResultNumber(e, 1, current != nullptr ? current->slot() : e.doc().slot());
  } else if (n == 1) {
    ResultNumber(e, 1, session.documentCount());
  } else {
    ResultError(e, 1);
  }
}

void Rgb(Evaluator& e) {
  if (!Arguments(e, 3)) return;
  double r = RoundedArg(ArgumentAt(e, 3, 0));
  double g = RoundedArg(ArgumentAt(e, 3, 1));
  double b = RoundedArg(ArgumentAt(e, 3, 2));
  ResultNumber(e, 3, r + 256 * g + 65536 * b);
}

}  // namespace

// The handlers of this family's rows of the operation list.
void RegisterInformationFunctions(DispatchTable& t) {
#define INFORMATION_FUNCTION(number, identifier, name, cls, handler) t[kOp##identifier] = handler;
#include "formula/operations.def"
}

}  // namespace tabulon
