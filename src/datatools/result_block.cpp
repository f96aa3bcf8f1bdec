#include "datatools/result_block.h"

#include <string>

#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_ops.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

Matrix ReadBlock(const SheetDocument& doc, int row, int col, int rows, int cols) {
  Matrix m(rows, cols);
  const CellStore& store = doc.cells();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m(i, j) = CellNumber(store.FindCell(row + i, col + j));
  return m;
}

bool ResultWriter::Check(int row, int col, int rows, int cols) {
  ErrorChannel& errors = doc_.session().errors();
  if (rows < 1 || cols < 1) return true;
  if (!RowInSheet(row) || !ColumnInSheet(col) || !RowInSheet(row + rows - 1) ||
      !ColumnInSheet(col + cols - 1)) {
    errors.Fail("Out of Range");
    return false;
  }
  if (doc_.settings().protect) {
    for (int r = row; r < row + rows; ++r)
      for (int c = col; c < col + cols; ++c)
        if (block::IsLockedForEntry(doc_, doc_.cells().FindCell(r, c))) {
          errors.Fail("Protected Cell");
          return false;
        }
  }
  return true;
}

bool ResultWriter::Number(int row, int col, double x) {
  CellRecord* c = doc_.cells().GetOrCreateCell(row, col);
  if (c == nullptr) return false;
  SetNumber(doc_, *c, x);
  written_.push_back(c->id);
  doc_.settings().modified = true;
  return true;
}

bool ResultWriter::Entry(int row, int col, std::string_view text) {
  return EnterCell(doc_, text, row, col).ok;
}

bool ResultWriter::Label(int row, int col, std::string_view text) {
  std::string typed = "'";
  typed += text;
  return Entry(row, col, typed);
}

bool ResultWriter::Block(int row, int col, const Matrix& m) {
  for (int i = 0; i < m.rows(); ++i)
    for (int j = 0; j < m.cols(); ++j)
      if (!Number(row + i, col + j, m(i, j))) return false;
  return true;
}

void ResultWriter::Finish() {
  if (written_.empty()) return;
  block::Recalculate(doc_, written_);
  written_.clear();
}

}  // namespace tabulon
