// The commands of tabulon-cli, callable from tests without a process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tabulon {

class PrintDevices;

// Exit status: 0 success, 1 a failed entry, formula or file operation,
// 2 a usage error. `printing` writes PDF files (the print command); null
// when the program was built without a PDF writer.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
           PrintDevices* printing = nullptr);

}  // namespace tabulon
