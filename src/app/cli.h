// The commands of tabulon-cli, callable from tests without a process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tabulon {

class ImageOutput;

// Exit status: 0 success, 1 a failed entry, formula or file operation,
// 2 a usage error. `images` writes picture files (the graph command); null
// when the program was built without an image writer.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
           ImageOutput* images = nullptr);

}  // namespace tabulon
