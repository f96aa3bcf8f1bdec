// tabulon-cli: the headless batch tool.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.h"
#ifdef TABULON_CLI_IMAGES
#include "qt/page_target.h"
#include "qt/qt_image_output.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef TABULON_CLI_IMAGES
  // Pictures and PDF pages come from Qt's writers; the application object
  // they need is made only when one is written.
  tabulon::QtImageOutput images;
  tabulon::QtPdfDevices pdf;
  return tabulon::RunCli(args, stdout, stderr, {&images, &pdf});
#else
  return tabulon::RunCli(args, stdout, stderr);
#endif
}
