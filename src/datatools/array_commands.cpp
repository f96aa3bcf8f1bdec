#include "datatools/array_commands.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "datatools/cell_values.h"
#include "datatools/matrix.h"
#include "datatools/result_block.h"
#include "edit/cell_text.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

int Rows(const CellRange& r) { return r.Bottom() - r.Top() + 1; }
int Cols(const CellRange& r) { return r.Right() - r.Left() + 1; }

bool Fail(SheetDocument& doc, MatrixFailure f) {
  doc.session().errors().Fail(FailureMessage(f));
  return false;
}

// The working matrix of inversion, equations, determinants and programmes
// holds at most 30 rows and 60 columns.
bool FitsWorkArea(const CellRange& r) { return Rows(r) <= kWorkRows && Cols(r) <= kWorkColumns; }

std::string UpperWord(const CellRecord* c) {
  if (c == nullptr || c->Kind() != kLabel) return {};
  std::string w(WithoutPrefix(c->TextView()).substr(0, 3));
  for (char& ch : w) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return w;
}

bool Linear(SheetDocument& doc, const CellRange& in, const CellRange& out) {
  const int rows = Rows(in), cols = Cols(in);
  ErrorChannel& errors = doc.session().errors();
  if (rows < 2 || cols < 3) {
    errors.Fail("A programme needs a constraint row, an objective row and three columns");
    return false;
  }
  const int m = rows - 1, nv = cols - 2;
  const int top = in.Top(), left = in.Left();
  const CellStore& store = doc.cells();
  LinearProgramme lp;
  lp.constraints = ReadBlock(doc, top, left, m, nv);
  for (int i = 0; i < m; ++i) {
    const std::string w = UpperWord(store.FindCell(top + i, left + nv));
    if (w.rfind("LE", 0) == 0) lp.relations.push_back(Relation::kLessEqual);
    else if (w.rfind("GE", 0) == 0) lp.relations.push_back(Relation::kGreaterEqual);
    else if (w.rfind("EQ", 0) == 0) lp.relations.push_back(Relation::kEqual);
    else {
      errors.Fail("Constraint type must be LE, GE or EQ");
      return false;
    }
    lp.rhs.push_back(CellNumber(store.FindCell(top + i, left + nv + 1)));
  }
  Matrix objective = ReadBlock(doc, top + m, left, 1, nv);
  for (int j = 0; j < nv; ++j) lp.objective.push_back(objective(0, j));
  const CellRecord* word = store.FindCell(top + m, left + cols - 1);
  lp.minimise = UpperWord(word).rfind("MIN", 0) == 0;
  std::string name = word != nullptr && word->Kind() == kLabel
                         ? std::string(WithoutPrefix(word->TextView()))
                         : std::string(lp.minimise ? "MIN" : "MAX");

  ResultWriter w(doc);
  if (!w.Check(out.Top(), out.Left(), nv + 1, 2)) return false;
  ProgrammeResult r = SolveProgramme(lp);
  if (r.failure != MatrixFailure::kNone) return Fail(doc, r.failure);
  bool ok = w.Label(out.Top(), out.Left(), name) && w.Number(out.Top(), out.Left() + 1, r.value);
  for (int j = 0; ok && j < nv; ++j)
    ok = w.Label(out.Top() + 1 + j, out.Left(), "X" + std::to_string(j + 1)) &&
         w.Number(out.Top() + 1 + j, out.Left() + 1, r.x[static_cast<std::size_t>(j)]);
  return ok;
}

}  // namespace

bool RunArrayOperation(SheetDocument& doc, ArrayOperation op, const CellRange& first,
                       const CellRange& second, const CellRange& output) {
  const bool usesSecond = op == ArrayOperation::kAdd || op == ArrayOperation::kSubtract ||
                          op == ArrayOperation::kMultiply;
  if (!first.IsDefined() || !output.IsDefined() || (usesSecond && !second.IsDefined()))
    return false;
  const int rows = Rows(first), cols = Cols(first);
  const int top = first.Top(), left = first.Left();
  const int outTop = output.Top(), outLeft = output.Left();
  const bool worksInPlace = op == ArrayOperation::kInvert || op == ArrayOperation::kSolve ||
                            op == ArrayOperation::kDeterminant || op == ArrayOperation::kLinear;
  if (worksInPlace && !FitsWorkArea(first)) return Fail(doc, MatrixFailure::kTooLarge);

  Matrix result;
  switch (op) {
    case ArrayOperation::kAdd:
    case ArrayOperation::kSubtract: {
      // The second range is read at the first's offsets whatever its size.
      Matrix a = ReadBlock(doc, top, left, rows, cols);
      Matrix b = ReadBlock(doc, second.Top(), second.Left(), rows, cols);
      const double s = op == ArrayOperation::kAdd ? 1 : -1;
      result = Matrix(rows, cols);
      for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) result(i, j) = a(i, j) + s * b(i, j);
      break;
    }
    case ArrayOperation::kMultiply:
      // The second range gives its columns; its rows are read from its top,
      // as many as the first has columns.
      result = Multiply(ReadBlock(doc, top, left, rows, cols),
                        ReadBlock(doc, second.Top(), second.Left(), cols, Cols(second)));
      break;
    case ArrayOperation::kTranspose:
      result = Transpose(ReadBlock(doc, top, left, rows, cols));
      break;
    case ArrayOperation::kInvert: {
      Matrix a = ReadBlock(doc, top, left, rows, rows);
      MatrixFailure f = Invert(a, result);
      if (f != MatrixFailure::kNone) return Fail(doc, f);
      break;
    }
    case ArrayOperation::kSolve: {
      if (cols <= rows) {
        doc.session().errors().Fail("No right-hand side: the input needs more columns than rows");
        return false;
      }
      Matrix work = ReadBlock(doc, top, left, rows, cols);
      MatrixFailure f = SolveInPlace(work, result);
      if (f != MatrixFailure::kNone) return Fail(doc, f);
      break;
    }
    case ArrayOperation::kDeterminant:
      result = Matrix(1, 1);
      result(0, 0) = Determinant(ReadBlock(doc, top, left, rows, rows));
      break;
    case ArrayOperation::kLinear:
      return Linear(doc, first, output);
  }
  ResultWriter w(doc);
  if (!w.Check(outTop, outLeft, result.rows(), result.cols())) return false;
  return w.Block(outTop, outLeft, result);
}

namespace {

struct ArrayItem {
  ArrayOperation op;
  const char* id;
  const char* caption;
  const char* hint;
  char letter;
};
constexpr ArrayItem kItems[kArrayOperationCount] = {
    {ArrayOperation::kAdd, "array.add", "&Add", "Add: Source1, Source2, Desti", 'a'},
    {ArrayOperation::kSubtract, "array.subtract", "&Subtract", "Subtract: S1,S2,D", 's'},
    {ArrayOperation::kMultiply, "array.multiply", "&Multiply", "Multiply: S1,S2,O1", 'm'},
    {ArrayOperation::kTranspose, "array.transpose", "&Transpose", "Transpose: S1,O1", 't'},
    {ArrayOperation::kInvert, "array.invert", "&Invert", "Invert: S1,O1", 'i'},
    {ArrayOperation::kSolve, "array.solve", "&E-Solve", "Equation Solve: S1,O1", 'e'},
    {ArrayOperation::kDeterminant, "array.determinant", "&Determinate", "Determinat: S1,O1", 'd'},
    {ArrayOperation::kLinear, "array.linear", "&Linear", "Linear Equations: S1,O1", 'l'},
};

}  // namespace

const char* ArrayCommandId(ArrayOperation op) { return kItems[static_cast<int>(op)].id; }

void RegisterArrayCommands(Workspace& ws) {
  for (const ArrayItem& item : kItems) {
    Command c;
    c.id = item.id;
    c.menu = "&Array";
    c.caption = item.caption;
    c.hint = item.hint;
    c.flags = kNeedsSheet | kTakesSnapshot | kCancelsEntry;
    c.family = 'm';
    c.letter = item.letter;
    const ArrayOperation op = item.op;
    const int page = static_cast<int>(op);
    c.invoke = [page](Workspace& w) { w.view().ShowDialog(DialogKind::kArray, page); };
    c.run = [op](Workspace& w, const CommandArgs& a) -> Status {
      const bool two = op == ArrayOperation::kAdd || op == ArrayOperation::kSubtract ||
                       op == ArrayOperation::kMultiply;
      CellRange first = w.Location(a[0]);
      CellRange second, output = w.Location(a[two ? 2 : 1]);
      if (two) second = w.Location(a[1]);
      if (!first.IsDefined() || !output.IsDefined() || (two && !second.IsDefined()))
        return Status::Beep();
      SheetDocument& doc = w.active()->document();
      if (RunArrayOperation(doc, op, first, second, output)) return Status::Ok();
      const std::string& m = w.session().errors().message();
      return m.empty() ? Status::Beep() : Status::Error(m);
    };
    ws.commands().Add(std::move(c));
  }
}

}  // namespace tabulon
