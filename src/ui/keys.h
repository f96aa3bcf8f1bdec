// Keys as the window logic sees them, independent of any toolkit.
#pragma once

namespace tabulon {

enum class Key {
  None,
  Left,
  Right,
  Up,
  Down,
  PageUp,
  PageDown,
  Home,
  End,
  Tab,
  Enter,
  Escape,
  Backspace,
  Delete,
  Insert,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  CapsLock,
  NumLock,
  ScrollLock,
  Break,      // Control+Break: stops a running macro
  Character,  // a printable character, given separately
};

struct KeyMods {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

}  // namespace tabulon
