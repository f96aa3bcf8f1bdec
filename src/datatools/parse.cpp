#include "datatools/parse.h"

#include "datatools/cell_values.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

bool IsBreak(char c) { return c == '(' || c == '+' || c == '-' || c == '@'; }

}  // namespace

std::vector<ParseToken> SplitTokens(std::string_view text, char argSeparator) {
  auto isDelimiter = [&](char c) { return c == ' ' || c == ';' || c == argSeparator; };
  std::vector<ParseToken> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (isDelimiter(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    bool quoted = false;
    for (; i < text.size(); ++i) {
      char c = text[i];
      if (c == '"') {
        quoted = !quoted;
        continue;
      }
      if (quoted) continue;
      if (isDelimiter(c)) break;
      if (IsBreak(c) && i != start && text[i - 1] != 'E' && text[i - 1] != 'e') break;
    }
    ParseToken t;
    std::string_view raw = text.substr(start, i - start);
    t.quoted = raw[0] == '"';
    for (char c : raw)
      if (!(t.quoted && c == '"')) t.text.push_back(c);
    tokens.push_back(std::move(t));
  }
  return tokens;
}

bool ParseLabels(SheetDocument& doc, const CellRange& input) {
  if (!input.IsDefined()) return true;
  ErrorChannel& errors = doc.session().errors();
  if (!block::InSheet(input)) {
    errors.Fail("Out of Range");
    return false;
  }
  CellStore& store = doc.cells();
  const int col = input.Left();
  const char separator = doc.session().settings().argSeparator;
  struct Row {
    int row;
    std::vector<ParseToken> tokens;
  };
  std::vector<Row> rows;
  for (int r = input.Top(); r <= input.Bottom(); ++r) {
    const CellRecord* c = store.FindCell(r, col);
    if (c == nullptr) continue;
    std::string text;
    if (c->Kind() == kLabel) text = WithoutPrefix(c->TextView());
    else if (c->KindAndError() == kStringFormula) text = PStringView(c->value.str);
    else continue;
    Row row{r, SplitTokens(text, separator)};
    if (row.tokens.empty()) continue;
    if (col + row.tokens.size() > static_cast<std::size_t>(kColumnCount)) {
      errors.Fail("Out of Range");
      return false;
    }
    if (doc.settings().protect) {
      for (std::size_t k = 0; k < row.tokens.size(); ++k)
        if (block::IsLockedForEntry(doc, store.FindCell(r, col + static_cast<int>(k)))) {
          errors.Fail("Protected Cell");
          return false;
        }
    }
    rows.push_back(std::move(row));
  }
  for (const Row& row : rows) {
    for (std::size_t k = 0; k < row.tokens.size(); ++k) {
      const ParseToken& t = row.tokens[k];
      int at = col + static_cast<int>(k);
      // A quoted token, or one that does not enter as typed, is a label.
      if (t.quoted || !EnterCell(doc, t.text, row.row, at).ok) {
        if (!EnterCell(doc, "'" + t.text, row.row, at).ok) return false;
      }
    }
  }
  errors.Clear();
  doc.settings().modified = true;
  return true;
}

}  // namespace tabulon
