// tabulon-cli: the headless batch tool.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // The version is the one the build declares for the project.
  if (!args.empty() && args[0] == "--version") {
    std::printf("tabulon-cli %s\n", TABULON_VERSION);
    return 0;
  }
  return tabulon::RunCli(args, stdout, stderr);
}
