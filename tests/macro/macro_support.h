// A headless workspace with the macro interpreter installed, for running
// macros in tests: macro lines are put down a column as labels, names are
// defined as the range-name command does, and cells are read back.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "edit/name_commands.h"
#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/address.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon::testing {

struct MacroDesk {
  HeadlessHost host;
  Session session{host};
  Workspace ws{session};
  MacroInterpreter macros{ws};

  MacroDesk() {
    RegisterMacroCommands(ws, macros);
    ws.NewSheet();
  }
  SheetWindow& W() { return *ws.active(); }
  SheetDocument& Doc() { return W().document(); }

  static CellAddress At(std::string_view address) {
    ParsedCorner c = ParseCorner(address, 0);
    return CellAddress{static_cast<std::int16_t>(c.col), static_cast<std::int16_t>(c.row)};
  }
  // Lines of a macro down a column from `address`, each stored as a label.
  void Lines(std::string_view address, std::initializer_list<std::string_view> lines) {
    CellAddress a = At(address);
    int row = a.row;
    for (std::string_view line : lines) {
      EnterCell(Doc(), "'" + std::string(line), row++, a.col);
    }
  }
  void Put(std::string_view address, std::string_view text) {
    CellAddress a = At(address);
    EnterCell(Doc(), text, a.row, a.col);
  }
  void Name(std::string_view name, std::string_view range) { CreateName(Doc(), name, range); }
  void RunAt(std::string_view address) {
    CellAddress a = At(address);
    macros.RunMacroAt(a.row, a.col);
  }
  void RunText(std::string_view text) { macros.RunMacroText(text); }

  const CellRecord* Cell(std::string_view address) {
    CellAddress a = At(address);
    return Doc().cells().FindCell(a.row, a.col);
  }
  // What the input line would show for the cell: the number, the label with
  // its prefix, the formula.
  std::string Edit(std::string_view address) { return CellEditText(Doc(), Cell(address)); }
  double Number(std::string_view address) { return CellNumber(Cell(address)); }
  std::string Cursor() {
    CellAddress c = W().CursorCell();
    return AddressText(c.row, c.col, false, false, 0);
  }
  // The last message box, or empty.
  std::string LastMessage() const { return host.messages.empty() ? "" : host.messages.back(); }
};

// A scratch directory removed at the end of the test.
struct ScratchDir {
  std::filesystem::path path;
  explicit ScratchDir(const std::string& tag) {
    path = std::filesystem::temp_directory_path() /
           ("tabulon-" + tag + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(path);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

}  // namespace tabulon::testing
