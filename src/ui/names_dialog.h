// Range > Name ...: the names dialog. A Name and a Range field, the list of
// the sheet's names with their total, and the buttons Create, Delete,
// Reset, Build and Table. The buttons run the Range family's commands, so
// the dialog, a macro and the tests change names the same way.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

class Workspace;

class NamesDialog {
 public:
  explicit NamesDialog(Workspace& ws) : ws_(ws) {}

  // Fills the list from the active sheet; the Range field proposes the
  // selection.
  void Activate();

  std::string name;
  std::string range;

  // "NAME  A1..B5" per name, in the table's order.
  const std::vector<std::string>& list() const { return list_; }
  // "Total: n".
  std::string TotalText() const;

  // Choosing a list entry puts its name and range into the fields.
  void Choose(int index);

  // Each returns false after a beep or a message (nothing changed).
  bool Create();
  bool Delete();  // clears both fields when the name went
  bool Reset();   // asks "Reset All Names: Are You Sure?" first
  // Build and Table ask for their range on the input line; the dialog
  // closes meanwhile.
  void Build();
  void Table();

 private:
  void Refresh();

  Workspace& ws_;
  std::vector<std::string> list_;
};

}  // namespace tabulon
