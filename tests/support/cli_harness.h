// Runs tabulon-cli's entry point in the test process and collects what it
// wrote to standard output and standard error.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/cli.h"

namespace tabulon::testing {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun Cli(const std::vector<std::string>& args, const CliOutputs& outputs = {}) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliRun r;
  r.status = RunCli(args, out, err, outputs);
  for (auto [file, text] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    std::rewind(file);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) text->append(buf, n);
    std::fclose(file);
  }
  return r;
}

}  // namespace tabulon::testing
