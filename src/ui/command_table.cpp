#include "ui/command_table.h"

#include <algorithm>
#include <cassert>

#include "base/text.h"

namespace tabulon {

Command MakeCommand(std::string id, std::string menu, std::string caption, std::string hint,
                    unsigned flags, std::function<Status(Workspace&, const CommandArgs&)> run) {
  Command c;
  c.id = std::move(id);
  c.menu = std::move(menu);
  c.caption = std::move(caption);
  c.hint = std::move(hint);
  c.flags = flags;
  c.run = std::move(run);
  return c;
}

Command& CommandTable::Add(Command command) {
  assert(Find(command.id) == nullptr && "command ids are unique");
  entries_.push_back(std::move(command));
  return entries_.back();
}

Command& CommandTable::AddAfter(std::string_view after, Command command) {
  assert(Find(command.id) == nullptr && "command ids are unique");
  auto at = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Command& c) { return c.id == after; });
  if (at == entries_.end()) return Add(std::move(command));
  return *entries_.insert(at + 1, std::move(command));
}

const Command* CommandTable::Find(std::string_view id) const {
  for (const Command& c : entries_)
    if (c.id == id) return &c;
  return nullptr;
}

const Command* CommandTable::FindMacro(char family, char letter) const {
  family = LowerChar(family);
  letter = LowerChar(letter);
  for (const Command& c : entries_)
    if (c.family != 0 && c.family == family && c.letter == letter) return &c;
  return nullptr;
}

}  // namespace tabulon
