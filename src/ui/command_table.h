// One table of every command the program offers: the menus, the quick
// bar, the grid's pop-up menu, the shortcut keys and the macro language's
// menu commands all dispatch through it. An entry names the command, says
// where it appears (menu path, caption, hint, shortcut, the macro family and
// command letters) and holds its handlers: `run` takes the arguments a
// macro or a dialog supplies; `invoke`, where present, is what a menu click
// does first (asking for ranges or opening a dialog) before it calls `run`.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/status.h"

namespace tabulon {

class Workspace;

// Arguments as a macro or a dialog gives them: texts that the command reads
// as locations, numbers or texts. A missing argument reads as empty.
struct CommandArgs {
  std::vector<std::string> values;

  CommandArgs() = default;
  CommandArgs(std::initializer_list<std::string> v) : values(v) {}
  explicit CommandArgs(std::vector<std::string> v) : values(std::move(v)) {}
  std::size_t size() const { return values.size(); }
  const std::string& operator[](std::size_t i) const {
    static const std::string kEmpty;
    return i < values.size() ? values[i] : kEmpty;
  }
};

// Where and how an entry appears.
enum CommandFlag : unsigned {
  kNeedsSheet = 1u << 0,       // disabled while no worksheet window is open
  kTakesSnapshot = 1u << 1,    // the undo snapshot is taken before `run`
  kSeparatorBefore = 1u << 2,  // a menu separator precedes the item
  kCheckable = 1u << 3,        // the item shows `checked`
  kOnMenuBar = 1u << 4,        // the item sits on the menu bar itself
  kCancelsEntry = 1u << 5,     // an open entry on the input line is cancelled first
};

struct Command {
  std::string id;        // "file.open", "range.copy.value", ...
  std::string menu;      // menu path, levels joined by "/" ("&View/&Zoom"); empty: none
  std::string caption;   // "&Open ...", with the "&" before the access letter
  std::string hint;      // shown while the item is highlighted
  std::string shortcut;  // "Ctrl+Z"; empty for none
  char family = 0;       // macro menu command family letter ('f' File, ...), 0: none
  char letter = 0;       // macro command letter within the family
  unsigned flags = 0;    // CommandFlag bits
  std::function<Status(Workspace&, const CommandArgs&)> run;
  std::function<void(Workspace&)> invoke;  // null: a click runs `run` without arguments
  std::function<bool(const Workspace&)> checked;
};

// A command entry from its parts; family, letter and the rest are set on the
// result where needed.
Command MakeCommand(std::string id, std::string menu, std::string caption, std::string hint,
                    unsigned flags, std::function<Status(Workspace&, const CommandArgs&)> run);

class CommandTable {
 public:
  // Adds an entry; entries keep the order in which they were added, which is
  // the order of the menus and their items. The id must be new.
  Command& Add(Command command);
  // Adds an entry right after the one with id `after` (at the end when
  // there is none), for a subsystem whose items stand among the
  // workspace's own. The returned reference lasts until the next addition.
  Command& AddAfter(std::string_view after, Command command);

  const Command* Find(std::string_view id) const;
  // The macro language's menu command of a family and command letter.
  const Command* FindMacro(char family, char letter) const;
  const std::vector<Command>& entries() const { return entries_; }

 private:
  std::vector<Command> entries_;
};

// A button of the quick bar or an item of the grid's pop-up menu: the
// command it runs, with its own caption and hint.
struct CommandButton {
  std::string command;
  std::string caption;
  std::string hint;
  bool separatorBefore = false;
};

}  // namespace tabulon
