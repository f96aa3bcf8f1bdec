// The text files a macro works with: numbered slots, each holding an open
// file, and the directory commands. Every operation returns its result
// code, which the interpreter keeps for @IORESULT; nothing here stops a
// macro. The codes are the classic run-time I/O codes.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

namespace tabulon {

enum MacroIoResult : int {
  kIoOk = 0,
  kIoFileNotFound = 2,
  kIoPathNotFound = 3,
  kIoAccessDenied = 5,
  kIoBadSlot = 6,         // a slot number outside 0..255
  kIoBadMode = 12,        // an open mode other than 1, 2 or 3
  kIoReadPastEnd = 100,   // reading at the end of the file
  kIoWriteFailed = 101,   // the disk refused the bytes
  kIoNotOpen = 103,       // the slot holds no file
  kIoNotForInput = 104,   // reading a file opened for writing
  kIoNotForOutput = 105,  // writing a file opened for reading
};

class MacroFiles {
 public:
  static constexpr int kMaxSlot = 255;
  static constexpr std::size_t kMaxLine = 240;

  MacroFiles() = default;
  MacroFiles(const MacroFiles&) = delete;
  MacroFiles& operator=(const MacroFiles&) = delete;
  ~MacroFiles() { CloseAll(); }

  // Opens the file in the slot (closing what the slot held): mode 1 for
  // reading, 2 for writing (created or emptied), 3 for appending (created
  // when missing). Names are taken as given; a relative name is relative to
  // the current directory.
  int Open(int slot, int mode, std::string_view name);
  int Close(int slot);
  // Writes the text, followed by CR LF when `lineEnd` is set.
  int Write(int slot, std::string_view text, bool lineEnd);
  // Reads one line (up to LF; a CR before it is dropped) and keeps at most
  // kMaxLine bytes of it.
  int ReadLine(int slot, std::string& line);
  // The directory commands; an empty path does nothing.
  static int ChangeDirectory(std::string_view path);
  static int MakeDirectory(std::string_view path);
  static int RemoveDirectory(std::string_view path);

  void CloseAll();
  bool IsOpen(int slot) const { return files_.count(slot) != 0; }

 private:
  struct Slot {
    std::FILE* file = nullptr;
    bool reading = false;
  };
  std::map<int, Slot> files_;
};

}  // namespace tabulon
