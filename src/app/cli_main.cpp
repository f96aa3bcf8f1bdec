// tabulon-cli: the headless batch tool.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.h"
#ifdef TABULON_CLI_PDF
#include "qt/page_target.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // The version is the one the build declares for the project.
  if (!args.empty() && args[0] == "--version") {
    std::printf("tabulon-cli %s\n", TABULON_VERSION);
    return 0;
  }
#ifdef TABULON_CLI_PDF
  // PDF pages come from Qt's writer; the application object it needs is
  // made only when a PDF is written.
  tabulon::QtPdfDevices pdf;
  return tabulon::RunCli(args, stdout, stderr, &pdf);
#else
  return tabulon::RunCli(args, stdout, stderr);
#endif
}
