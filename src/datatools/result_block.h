// Writing a data tool's results: the block they occupy is checked first
// (inside the sheet, no locked cell under protection) so that a refused
// command writes nothing; numbers are stored directly and their dependents
// recalculated once at the end, texts go through cell entry as if typed.
#pragma once

#include <string_view>
#include <vector>

#include "base/limits.h"
#include "datatools/matrix.h"
#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// The numbers of the rows x cols block whose top-left cell is (row, col):
// a cell's number, 0 for a blank, a label, a text or an error; cells past
// the sheet's edge read 0.
Matrix ReadBlock(const SheetDocument& doc, int row, int col, int rows, int cols);

class ResultWriter {
 public:
  explicit ResultWriter(SheetDocument& doc) : doc_(doc) {}
  ~ResultWriter() { Finish(); }
  ResultWriter(const ResultWriter&) = delete;
  ResultWriter& operator=(const ResultWriter&) = delete;

  // False with "Out of Range" when the block leaves the sheet, or with
  // "Protected Cell" when protection is on and a cell of it is locked.
  bool Check(int row, int col, int rows, int cols);
  bool Number(int row, int col, double x);
  // The text entered as typed: a number, a label or a formula.
  bool Entry(int row, int col, std::string_view text);
  // The text as a label, whatever it starts with.
  bool Label(int row, int col, std::string_view text);
  bool Block(int row, int col, const Matrix& m);
  // Recalculates what the stored numbers feed (done by the destructor too).
  void Finish();

 private:
  SheetDocument& doc_;
  std::vector<CellId> written_;
};

}  // namespace tabulon
