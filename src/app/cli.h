// The commands of tabulon-cli, callable from tests without a process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tabulon {

class ImageOutput;
class PrintDevices;
class SheetDocument;

// What writes the files that need a drawing toolkit; each is null when
// the program was built without one.
struct CliOutputs {
  ImageOutput* images = nullptr;   // picture files (the graph command)
  PrintDevices* printing = nullptr;  // PDF pages (the print command)
};

// Exit status: 0 success, 1 a failed entry, formula or file operation
// (a damaged file included, even when part of it was recovered), 2 a
// usage error. Messages go to `err`; `out` carries only the command's
// output, and a failure to write it is an error too.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
           const CliOutputs& outputs = {});

// The program's version, from the build.
const char* ProgramVersion();

// Enters ADDRESS=TEXT entries into the sheet as if they were typed one
// after another. With `recalcOnce`, a sheet under automatic recalculation
// is recalculated once at the end (every entered cell and everything that
// depends on it) instead of after each entry: the same sheet for formulas
// that depend on their references alone, in linear instead of quadratic
// time for a chain entered from its end. `needsReplay` is set when that
// cannot hold: a circular reference among the recalculated formulas,
// whose values depend on the order they were entered in; the caller then
// enters the script again into the original sheet without `recalcOnce`.
struct BatchEntry {
  int failures = 0;
  std::vector<std::string> messages;  // one per failed entry
  bool needsReplay = false;
};
BatchEntry EnterEntries(SheetDocument& doc, const std::vector<std::string>& entries,
                        bool recalcOnce);

}  // namespace tabulon
