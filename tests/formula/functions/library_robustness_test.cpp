// Every text, date, financial, lookup and information function must cope
// with damaged code (missing arguments) and with extreme arguments: no
// crash, no string beyond 240 bytes, and a clean evaluator afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/op_table.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

using testing::TestSheet;

struct Fn {
  std::string name;
  int op;
  int args;
};

// Every named function of the text, date, financial, lookup and
// information families, from the operation list.
std::vector<Fn> Functions() {
  std::vector<Fn> list;
  for (int op = kOpNot; op <= kOpHighest; ++op) {
    const OpInfo& info = OpTable(static_cast<std::uint8_t>(op));
    switch (info.family) {
      case OpFamily::kText:
      case OpFamily::kDateTime:
      case OpFamily::kFinancial:
      case OpFamily::kLookup:
      case OpFamily::kInformation: break;
      default: continue;
    }
    if (info.name.empty()) continue;
    int args = info.cls == kClassVariadic ? 2 : info.cls - kClassFunction0;
    list.push_back({std::string(info.name), op, args});
  }
  return list;
}

TEST(FunctionLibraryRobustness, MissingArgumentsInDamagedCode) {
  TestSheet s;
  Evaluator& e = *Engine(s.session).evaluator;
  const std::vector<Fn> functions = Functions();
  ASSERT_GT(functions.size(), 70u);
  for (const Fn& f : functions) {
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
  for (const Fn& f : Functions()) {
    for (const char* v : values) {
      std::string text = "@" + f.name;
      if (f.args > 0) {
        text += "(";
        for (int i = 0; i < f.args; ++i) text += std::string(i ? "," : "") + v;
        text += ")";
      }
      TextResult r = Engine(s.session).evaluator->EvaluateText(*s.doc, text);
      ASSERT_FALSE(r.syntaxError) << text;
      ASSERT_LE(r.text.size(), 240u) << text;
    }
  }
  EXPECT_EQ(s.Eval("@LENGTH(@REPEAT(\"ab\",200))"), "240");
}

}  // namespace
}  // namespace tabulon
