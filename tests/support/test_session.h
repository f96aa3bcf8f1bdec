// A fresh session with one worksheet, and shortcuts for tests.
#pragma once

#include <string>
#include <string_view>

#include "edit/cell_entry.h"
#include "sheet/session.h"
#include "platform/headless_host.h"

namespace tabulon::testing {

struct TestSheet {
  TestSheet();
  HeadlessHost host;
  Session session{host};
  SheetDocument* doc = nullptr;

  CellStore& cells() { return doc->cells(); }
  // The record at an address such as "B3", or null.
  CellRecord* Cell(std::string_view address);
  // Enters text at an address through EnterCell; returns whether it succeeded.
  bool Enter(std::string_view address, std::string_view text);
  // The numeric value of a cell (CellNumber rules).
  double Number(std::string_view address);
  // The text value of a string formula or label (without prefix).
  std::string Text(std::string_view address);
  bool IsError(std::string_view address);
  // Evaluates formula text in a scratch cell; ERR comes back as the string "ERR".
  std::string Eval(std::string_view text);
  double EvalNumber(std::string_view text);
};

// Row and column of an address such as "B3".
struct Pos {
  int row, col;
};
Pos At(std::string_view address);

}  // namespace tabulon::testing
