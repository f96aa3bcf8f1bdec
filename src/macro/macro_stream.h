// The command stream a macro line is translated into, and a reader that
// splits a stream into items for the interpreter.
//
// A translated line is a byte string ending with kMacroEndOfLine. Plain
// bytes are keys to type; bytes below 0x20 are the special keys below; the
// command prefix introduces a macro command (one code byte), a menu command
// (family letter and command letter) or a file command (kMacroFileCommand
// and an operation letter). A command's arguments follow it in the stream,
// each ended by kMacroEnter (or kMacroArgEnd). Because arguments are read
// from the stream and not from the braces they were written in, a command
// written without arguments takes them from the keys that follow it:
// "{GOTO}B5~" goes to B5.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// --- framing ---------------------------------------------------------------
inline constexpr std::uint8_t kMacroEndOfLine = 0x00;    // appended to every translated line
inline constexpr std::uint8_t kMacroEnter = 0x0D;        // the Enter key; also ends an argument
inline constexpr std::uint8_t kMacroCommand = 0x14;      // a command code follows
inline constexpr std::uint8_t kMacroFileCommand = 0x15;  // after kMacroCommand: a file operation letter follows
inline constexpr std::uint8_t kMacroArgEnd = 0xFF;       // ends an argument and every one after it
inline constexpr std::uint8_t kMacroTilde = 0x7E;        // "~": typed as Enter

// --- special keys ------------------------------------------------------------
inline constexpr std::uint8_t kMacroKeyBigLeft = 0x02;   // one screenful left
inline constexpr std::uint8_t kMacroKeyCalc = 0x03;      // F9
inline constexpr std::uint8_t kMacroKeyRight = 0x04;
inline constexpr std::uint8_t kMacroKeyEdit = 0x05;      // F2
inline constexpr std::uint8_t kMacroKeyGoto = 0x06;      // F5 (no keyword produces it)
inline constexpr std::uint8_t kMacroKeyHome = 0x07;
inline constexpr std::uint8_t kMacroKeyBackspace = 0x08;
inline constexpr std::uint8_t kMacroKeyBigRight = 0x09;  // one screenful right
inline constexpr std::uint8_t kMacroKeyAlt = 0x0A;
inline constexpr std::uint8_t kMacroKeyLeft = 0x0B;
inline constexpr std::uint8_t kMacroKeyPageUp = 0x0E;
inline constexpr std::uint8_t kMacroKeyEnd = 0x0F;
inline constexpr std::uint8_t kMacroKeyDown = 0x10;
inline constexpr std::uint8_t kMacroKeyPageDown = 0x11;
inline constexpr std::uint8_t kMacroKeyInsert = 0x12;
inline constexpr std::uint8_t kMacroKeyDelete = 0x13;
inline constexpr std::uint8_t kMacroKeyName = 0x18;      // F4 (ABS and NAME)
inline constexpr std::uint8_t kMacroKeyUp = 0x19;
inline constexpr std::uint8_t kMacroKeyWindow = 0x1A;    // F6
inline constexpr std::uint8_t kMacroKeyEscape = 0x1B;
inline constexpr std::uint8_t kMacroKeyHelp = 0x1C;      // F1
inline constexpr std::uint8_t kMacroKeyGraph = 0x1D;     // F10

// --- macro command codes (the byte after kMacroCommand) ----------------------
inline constexpr std::uint8_t kMacroCmdDelay = 0x01;
inline constexpr std::uint8_t kMacroCmdCursorDown = 0x02;   // XDN
inline constexpr std::uint8_t kMacroCmdSyntaxError = 0x11;  // unknown word, bad quote, cut line
inline constexpr std::uint8_t kMacroCmdFor = 0x16;
inline constexpr std::uint8_t kMacroCmdNext = 0x17;
inline constexpr std::uint8_t kMacroCmdInRange = '.';       // does nothing
inline constexpr std::uint8_t kMacroCmdCopy = '1';
inline constexpr std::uint8_t kMacroCmdMove = '2';
inline constexpr std::uint8_t kMacroCmdBlank = '3';
inline constexpr std::uint8_t kMacroCmdInsertCol = '4';
inline constexpr std::uint8_t kMacroCmdDeleteCol = '5';
inline constexpr std::uint8_t kMacroCmdInsertRow = '6';
inline constexpr std::uint8_t kMacroCmdDeleteRow = '7';
inline constexpr std::uint8_t kMacroCmdOnError = '9';
inline constexpr std::uint8_t kMacroCmdKey = '?';           // followed by kMacroKeyWait or kMacroKeyGet
inline constexpr std::uint8_t kMacroCmdGoto = '@';
inline constexpr std::uint8_t kMacroCmdBeep = 'B';
inline constexpr std::uint8_t kMacroCmdCall = 'C';
inline constexpr std::uint8_t kMacroCmdLet = 'E';
inline constexpr std::uint8_t kMacroCmdJump = 'G';
inline constexpr std::uint8_t kMacroCmdRestart = 'H';
inline constexpr std::uint8_t kMacroCmdIf = 'I';
inline constexpr std::uint8_t kMacroCmdExit = 'J';
inline constexpr std::uint8_t kMacroCmdRecalc = 'K';
inline constexpr std::uint8_t kMacroCmdInLabel = 'L';
inline constexpr std::uint8_t kMacroCmdMenuJump = 'M';
inline constexpr std::uint8_t kMacroCmdInValue = 'N';
inline constexpr std::uint8_t kMacroCmdQuit = 'Q';
inline constexpr std::uint8_t kMacroCmdReturn = 'R';
inline constexpr std::uint8_t kMacroCmdClearScreen = 'S';   // no handler: a syntax error
inline constexpr std::uint8_t kMacroCmdTone = 'T';
inline constexpr std::uint8_t kMacroCmdUpdate = 'U';
inline constexpr std::uint8_t kMacroCmdWhile = 'W';
inline constexpr std::uint8_t kMacroCmdGotoXY = 'X';        // no handler: a syntax error
inline constexpr std::uint8_t kMacroCmdMenuCall = 'Z';
inline constexpr std::uint8_t kMacroCmdPlayWave = '[';      // also BREAKON
inline constexpr std::uint8_t kMacroCmdBreakOff = ']';      // no handler: a syntax error
inline constexpr std::uint8_t kMacroCmdColWidth = 'a';
inline constexpr std::uint8_t kMacroCmdRowHeight = 'r';
inline constexpr std::uint8_t kMacroCmdUndo = 'u';
inline constexpr std::uint8_t kMacroCmdBorder = 'w';
inline constexpr std::uint8_t kMacroCmdAnchor = 'x';

// The letter after kMacroCmdKey.
inline constexpr std::uint8_t kMacroKeyWait = '0';  // wait for a key and consume it
inline constexpr std::uint8_t kMacroKeyGet = '1';   // read a key into a cell

// --- menu command families (the byte after kMacroCommand) --------------------
inline constexpr std::uint8_t kMacroMenuRange = 'b';
inline constexpr std::uint8_t kMacroMenuCopy = 'c';     // copy special
inline constexpr std::uint8_t kMacroMenuData = 'd';
inline constexpr std::uint8_t kMacroMenuEdit = 'e';     // clipboard
inline constexpr std::uint8_t kMacroMenuFile = 'f';
inline constexpr std::uint8_t kMacroMenuGraph = 'g';
inline constexpr std::uint8_t kMacroMenuGeneral = 'h';  // general settings
inline constexpr std::uint8_t kMacroMenuArray = 'm';
inline constexpr std::uint8_t kMacroMenuPrint = 'p';
inline constexpr std::uint8_t kMacroMenuView = 'v';

// --- file operations (the byte after kMacroFileCommand) ----------------------
inline constexpr std::uint8_t kMacroFileAppend = 'A';
inline constexpr std::uint8_t kMacroFileClose = 'C';
inline constexpr std::uint8_t kMacroFileRemoveDir = 'D';
inline constexpr std::uint8_t kMacroFileWriteLine = 'F';
inline constexpr std::uint8_t kMacroFileChangeDir = 'H';
inline constexpr std::uint8_t kMacroFileMakeDir = 'M';
inline constexpr std::uint8_t kMacroFileOpen = 'O';
inline constexpr std::uint8_t kMacroFileReadLine = 'R';  // no keyword produces it
inline constexpr std::uint8_t kMacroFileWrite = 'W';

// Longest argument text a command reads; longer arguments are cut.
inline constexpr std::size_t kMacroMaxArgument = 240;

// --- reading a stream ----------------------------------------------------------

enum class MacroItemKind {
  Key,          // code: the key byte (a character, kMacroEnter or a special key)
  Command,      // code: the command code; letter: kMacroKeyWait/kMacroKeyGet after kMacroCmdKey
  MenuCommand,  // code: the family letter; letter: the command letter
  FileCommand,  // code: the operation letter
  SyntaxError,  // kMacroCmdSyntaxError, or a code no command has (code and letter as read)
  EndOfLine,    // kMacroEndOfLine, or the end of the stream
};

struct MacroItem {
  MacroItemKind kind = MacroItemKind::EndOfLine;
  std::uint8_t code = 0;
  std::uint8_t letter = 0;
  // The arguments the command reads, in order (at most kMacroMaxArgument
  // bytes each). Arguments the line ended before are not in the list:
  // missingArgs counts them, and the interpreter treats them as empty.
  std::vector<std::string> args;
  int missingArgs = 0;
  std::size_t start = 0;  // position of the item's first byte
  std::size_t next = 0;   // position just after the item
};

// How many arguments a macro command reads; -1 when no command has the code.
// letter is the byte after kMacroCmdKey (ignored for other codes).
int MacroCommandArity(std::uint8_t code, std::uint8_t letter = 0);
// How many arguments a menu command reads; -1 when the family does not have
// the letter.
int MacroMenuArity(std::uint8_t family, std::uint8_t letter);
// How many arguments a file operation reads; 0 for the letters that have no
// operation (the interpreter ignores them).
int MacroFileArity(std::uint8_t letter);

// Reads the item that starts at pos. A command's arguments never reach past
// the end of its line or into the next command: an argument cut by
// kMacroEndOfLine or kMacroCommand ends there, and the arguments after it
// are missing. So "{DATASORT A1..C9 B1 1}{QUIT}" sorts by one key and then
// quits. A stray kMacroArgEnd is skipped.
// Positions at or past the end of the stream read as EndOfLine.
MacroItem ReadMacroItem(std::string_view stream, std::size_t pos);

// Every item of a translated line, up to and including its EndOfLine.
std::vector<MacroItem> DecodeMacroLine(std::string_view stream);

}  // namespace tabulon
