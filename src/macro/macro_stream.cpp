#include "macro/macro_stream.h"

namespace tabulon {

int MacroCommandArity(std::uint8_t code, std::uint8_t letter) {
  switch (code) {
    case kMacroCmdCursorDown:
    case kMacroCmdNext:
    case kMacroCmdInRange:  // its arguments are typed as keys
    case kMacroCmdBeep:
    case kMacroCmdRestart:
    case kMacroCmdExit:
    case kMacroCmdQuit:
    case kMacroCmdReturn:
    case kMacroCmdUpdate:
    case kMacroCmdUndo:
      return 0;
    case kMacroCmdDelay:
    case kMacroCmdBlank:
    case kMacroCmdInsertCol:
    case kMacroCmdDeleteCol:
    case kMacroCmdInsertRow:
    case kMacroCmdDeleteRow:
    case kMacroCmdOnError:
    case kMacroCmdGoto:
    case kMacroCmdCall:
    case kMacroCmdMenuCall:
    case kMacroCmdJump:
    case kMacroCmdIf:
    case kMacroCmdRecalc:
    case kMacroCmdMenuJump:
    case kMacroCmdAnchor:
      return 1;
    case kMacroCmdCopy:
    case kMacroCmdMove:
    case kMacroCmdLet:
    case kMacroCmdInLabel:
    case kMacroCmdInValue:
    case kMacroCmdTone:
    case kMacroCmdWhile:
    case kMacroCmdPlayWave:
    case kMacroCmdColWidth:
    case kMacroCmdRowHeight:
    case kMacroCmdBorder:
      return 2;
    case kMacroCmdFor:
      return 4;
    case kMacroCmdKey:
      if (letter == kMacroKeyWait) return 0;
      if (letter == kMacroKeyGet) return 1;
      return -1;
    default:
      return -1;
  }
}

int MacroMenuArity(std::uint8_t family, std::uint8_t letter) {
  // Per family: the command letters it has and how many arguments each reads,
  // as pairs of characters (letter, count).
  std::string_view table;
  switch (family) {
    case kMacroMenuRange: table = "b1c3d1e2f2j2l2n2p2r0t1"; break;
    case kMacroMenuCopy: table = "f2i2s3t2v2"; break;
    case kMacroMenuData: table = "b2f5g4m4p1q3r3s9t3"; break;
    case kMacroMenuEdit: table = "c1p1t1"; break;
    case kMacroMenuFile: table = "a2c1d2e0f1i3m4n0o1p3s0x3"; break;
    case kMacroMenuGraph: table = "c2f2g2h2l3n2o2s2t2v2"; break;
    case kMacroMenuGeneral: table = "a1c4f1o1t1"; break;
    case kMacroMenuArray: table = "a3d2e2i2l2m3s3t2"; break;
    case kMacroMenuPrint: table = "a0b2f2g1h2m1n2o1r1"; break;
    case kMacroMenuView: table = "v1z1"; break;
    default: return -1;
  }
  for (std::size_t i = 0; i + 1 < table.size(); i += 2)
    if (static_cast<std::uint8_t>(table[i]) == letter) return table[i + 1] - '0';
  return -1;
}

int MacroFileArity(std::uint8_t letter) {
  switch (letter) {
    case kMacroFileOpen: return 3;
    case kMacroFileAppend:
    case kMacroFileWrite:
    case kMacroFileWriteLine:
    case kMacroFileReadLine:
      return 2;
    case kMacroFileClose:
    case kMacroFileChangeDir:
    case kMacroFileMakeDir:
    case kMacroFileRemoveDir:
      return 1;
    default:
      return 0;
  }
}

namespace {

std::uint8_t ByteAt(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<std::uint8_t>(s[i]) : kMacroEndOfLine;
}

// Reads `count` arguments into the item from item.next on.
void ReadArguments(std::string_view stream, MacroItem& item, int count) {
  std::size_t pos = item.next;
  bool allEnded = false;  // a kMacroArgEnd makes every later argument empty
  for (int i = 0; i < count; ++i) {
    if (allEnded) {
      item.args.emplace_back();
      continue;
    }
    std::uint8_t first = ByteAt(stream, pos);
    if (first == kMacroEndOfLine || first == kMacroCommand) {
      item.missingArgs = count - i;
      break;
    }
    std::string arg;
    for (;;) {
      // The line's end and the next command close the argument.
      std::uint8_t b = ByteAt(stream, pos);
      if (b == kMacroEndOfLine || b == kMacroCommand) break;
      ++pos;
      if (b == kMacroEnter) break;
      if (b == kMacroArgEnd) {
        allEnded = true;
        break;
      }
      if (arg.size() < kMacroMaxArgument) arg.push_back(static_cast<char>(b));
    }
    item.args.push_back(std::move(arg));
  }
  item.next = pos;
}

}  // namespace

MacroItem ReadMacroItem(std::string_view stream, std::size_t pos) {
  while (ByteAt(stream, pos) == kMacroArgEnd) ++pos;
  MacroItem item;
  item.start = pos;
  std::uint8_t b = ByteAt(stream, pos);
  if (b == kMacroEndOfLine) {
    item.kind = MacroItemKind::EndOfLine;
    item.next = pos < stream.size() ? pos + 1 : pos;
    return item;
  }
  if (b != kMacroCommand) {
    item.kind = MacroItemKind::Key;
    item.code = b;
    item.next = pos + 1;
    return item;
  }
  // A command: its code byte must be on this line.
  std::uint8_t code = ByteAt(stream, pos + 1);
  item.code = code;
  item.next = pos + 2;
  item.kind = MacroItemKind::SyntaxError;
  if (code == kMacroEndOfLine) {
    item.next = pos + 1;  // leave the line's end to be read
    return item;
  }
  if (code == kMacroCmdSyntaxError) return item;
  if (code == kMacroFileCommand) {
    std::uint8_t letter = ByteAt(stream, pos + 2);
    if (letter == kMacroEndOfLine) return item;
    item.kind = MacroItemKind::FileCommand;
    item.code = letter;
    item.next = pos + 3;
    ReadArguments(stream, item, MacroFileArity(letter));
    return item;
  }
  int arity = MacroCommandArity(code);
  if (code == kMacroCmdKey) {
    std::uint8_t letter = ByteAt(stream, pos + 2);
    item.letter = letter;
    arity = MacroCommandArity(code, letter);
    if (arity < 0) return item;
    item.kind = MacroItemKind::Command;
    item.next = pos + 3;
    ReadArguments(stream, item, arity);
    return item;
  }
  if (arity >= 0) {
    item.kind = MacroItemKind::Command;
    ReadArguments(stream, item, arity);
    return item;
  }
  std::uint8_t letter = ByteAt(stream, pos + 2);
  int menuArity = MacroMenuArity(code, letter);
  if (menuArity < 0) return item;
  item.kind = MacroItemKind::MenuCommand;
  item.letter = letter;
  item.next = pos + 3;
  ReadArguments(stream, item, menuArity);
  return item;
}

std::vector<MacroItem> DecodeMacroLine(std::string_view stream) {
  std::vector<MacroItem> items;
  std::size_t pos = 0;
  for (;;) {
    items.push_back(ReadMacroItem(stream, pos));
    if (items.back().kind == MacroItemKind::EndOfLine) break;
    pos = items.back().next;
  }
  return items;
}

}  // namespace tabulon
