// The commands of tabulon-cli, callable from tests without a process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tabulon {

// Exit status: 0 success, 1 a failed entry, formula or file operation,
// 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace tabulon
