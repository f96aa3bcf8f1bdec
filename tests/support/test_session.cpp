#include "support/test_session.h"

#include <stdexcept>

#include "formula/engine.h"
#include "formula/evaluator.h"
#include "formula/number_text.h"
#include "sheet/address.h"
#include "edit/cell_text.h"

namespace tabulon::testing {

Pos At(std::string_view address) {
  ParsedCorner c = ParseCorner(address, 0);
  if (!c.ok) throw std::invalid_argument("bad test address");
  return {c.row, c.col};
}

TestSheet::TestSheet() {
  doc = session.NewDocument();
  session.SetCurrent(doc);
}

CellRecord* TestSheet::Cell(std::string_view address) {
  Pos p = At(address);
  return cells().FindCell(p.row, p.col);
}

bool TestSheet::Enter(std::string_view address, std::string_view text) {
  Pos p = At(address);
  return EnterCell(*doc, text, p.row, p.col).ok;
}

double TestSheet::Number(std::string_view address) { return CellNumber(Cell(address)); }

std::string TestSheet::Text(std::string_view address) {
  const CellRecord* c = Cell(address);
  if (c == nullptr) return {};
  if (c->KindAndError() == kStringFormula) return std::string(PStringView(c->value.str));
  if (c->Kind() == kLabel) return std::string(c->TextView().substr(1));
  return {};
}

bool TestSheet::IsError(std::string_view address) {
  const CellRecord* c = Cell(address);
  return c != nullptr && c->HasError();
}

std::string TestSheet::Eval(std::string_view text) {
  TextResult r = Engine(session).evaluator->EvaluateText(*doc, text);
  if (r.syntaxError) return "SYNTAX";
  if (r.error) return "ERR";
  if (r.isString) return r.text;
  return NumberText(r.number);
}

double TestSheet::EvalNumber(std::string_view text) {
  TextResult r = Engine(session).evaluator->EvaluateText(*doc, text);
  if (r.error || r.isString) throw std::runtime_error("not a number: " + std::string(text));
  return r.number;
}

}  // namespace tabulon::testing
