#include "app/cli.h"

#include <cmath>
#include <string_view>

#include "formula/evaluator.h"
#include "formula/engine.h"
#include "formula/number_text.h"
#include "model/session.h"
#include "platform/headless_host.h"

namespace tabulon {

namespace {

constexpr const char* kUsage =
    "usage: tabulon-cli COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  eval TEXT...     evaluate each formula text and print its value\n"
    "  --help           show this text\n";

int Eval(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  HeadlessHost host;
  Session session(host);
  SheetDocument* doc = session.NewDocument();
  session.SetCurrent(doc);
  int status = 0;
  if (args.empty()) {
    std::fputs("tabulon-cli eval: no formula text given\n", err);
    return 2;
  }
  for (const std::string& text : args) {
    TextResult r = session.engine().evaluator->EvaluateText(*doc, text);
    if (r.syntaxError) {
      std::fputs("Error: syntax\n", out);
      status = 1;
    } else if (r.error) {
      std::fputs("ERR\n", out);
    } else if (r.isString) {
      std::fprintf(out, "%s\n", r.text.c_str());
    } else {
      std::fprintf(out, "%s\n", NumberText(r.number).c_str());
    }
  }
  return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? err : out);
    return args.empty() ? 2 : 0;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "eval") return Eval(rest, out, err);
  std::fprintf(err, "tabulon-cli: unknown command '%s' (try --help)\n", args[0].c_str());
  return 2;
}

}  // namespace tabulon
