// Every text, date, financial, lookup and information function must cope
// with damaged code (missing arguments) and with extreme arguments: no
// crash, no string beyond 240 bytes, and a clean evaluator afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

struct Fn {
  const char* name;
  int op;
  int args;
};
const Fn kFunctions[] = {
    {"LENGTH", 70, 1}, {"VAL", 71, 1},      {"STR", 72, 2},      {"MID", 73, 3},
    {"CHR", 74, 1},    {"ORD", 75, 1},      {"FIND", 76, 3},     {"REPEAT", 101, 2},
    {"UPPER", 102, 1}, {"LOWER", 103, 1},   {"LEFT", 104, 2},    {"RIGHT", 105, 2},
    {"PROPER", 107, 1}, {"TRIM", 109, 1},   {"CLEAN", 110, 1},   {"S", 111, 1},
    {"N", 112, 1},     {"EXACT", 113, 2},   {"HEX", 146, 1},     {"DEC", 147, 1},
    {"DMS", 180, 1},   {"DATE", 54, 3},     {"DAY", 60, 1},      {"MONTH", 61, 1},
    {"YEAR", 62, 1},   {"TIME", 64, 3},     {"HOUR", 65, 1},     {"MINUTE", 66, 1},
    {"SECOND", 67, 1}, {"DATEVAL", 77, 1},  {"TIMEVAL", 78, 1},  {"PMT", 56, 3},
    {"PV", 57, 3},     {"FV", 58, 3},       {"RATE", 116, 3},    {"TERM", 117, 3},
    {"CTERM", 118, 3}, {"SLN", 119, 3},     {"SYD", 120, 4},     {"DDB", 121, 4},
    {"NPV", 86, 2},    {"IRR", 89, 2},      {"BAL", 153, 4},     {"ACI", 154, 4},
    {"PMTP", 155, 4},  {"VTABLE", 85, 3},   {"HTABLE", 90, 3},   {"VTERP", 125, 3},
    {"HTERP", 124, 3}, {"INDEX", 98, 3},    {"COLS", 99, 1},     {"ROWS", 100, 1},
    {"@", 115, 1},     {"CELL", 108, 2},    {"CELLPT", 79, 1},   {"LINK", 123, 1},
    {"ISNUM", 68, 1},  {"ISSTR", 69, 1},    {"FILEINFO", 151, 2}, {"MEMAVAIL", 139, 1},
    {"QVIEW", 145, 1}, {"RGB", 185, 3},
};

TEST(FunctionLibraryRobustness, MissingArgumentsInDamagedCode) {
  TestSheet s;
  Evaluator& e = *Engine(s.session).evaluator;
  for (const Fn& f : kFunctions) {
    for (int given = 0; given < f.args; ++given) {
      // `given` integer constants, then the function: too few values.
      std::vector<std::uint8_t> code = {0, 0};
      for (int i = 0; i < given; ++i) code.insert(code.end(), {5, 1, 0});
      code.push_back(static_cast<std::uint8_t>(f.op));
      code[0] = static_cast<std::uint8_t>(code.size());
      code.push_back(3);
      TextResult r = e.EvaluateCode(*s.doc, code.data());
      EXPECT_TRUE(r.error) << f.name << " with " << given << " arguments";
    }
  }
  EXPECT_EQ(s.Eval("@MID(\"abc\",2,1)"), "b");  // the evaluator is sound afterwards
}

TEST(FunctionLibraryRobustness, ExtremeArguments) {
  TestSheet s;
  s.Enter("A1", "1");
  s.Enter("A2", "'x");
  s.Enter("B1", "@ERR");
  const char* values[] = {"0",         "-1",      "1E300",   "-1E300", "0.5",    "-0.5",
                          "255",       "65536",   "1E9",     "-1E9",   "\"\"",   "\"abc\"",
                          "@REPEAT(\"z\",240)", "A1", "A2", "B1", "A1..B2", "@ERR", "@NA"};
  for (const Fn& f : kFunctions) {
    for (const char* v : values) {
      std::string text = std::string("@") + f.name + "(";
      for (int i = 0; i < f.args; ++i) text += std::string(i ? "," : "") + v;
      text += ")";
      TextResult r = Engine(s.session).evaluator->EvaluateText(*s.doc, text);
      ASSERT_FALSE(r.syntaxError) << text;
      ASSERT_LE(r.text.size(), 240u) << text;
    }
  }
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"ab\",200))"), "240");
}

}  // namespace
}  // namespace tabulon
