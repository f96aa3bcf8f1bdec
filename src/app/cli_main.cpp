// tabulon-cli: the headless batch tool.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.h"
#ifdef TABULON_CLI_IMAGES
#include "qt/qt_image_output.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef TABULON_CLI_IMAGES
  // Pictures come from Qt's writers; the application object they need is
  // made only when a picture is written.
  tabulon::QtImageOutput images;
  return tabulon::RunCli(args, stdout, stderr, &images);
#else
  return tabulon::RunCli(args, stdout, stderr);
#endif
}
