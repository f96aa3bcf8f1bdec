#include "datatools/data_form.h"

#include "datatools/cell_values.h"
#include "display/format.h"
#include "edit/block_support.h"
#include "edit/cell_entry.h"
#include "edit/cell_text.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

std::string Caption(SheetDocument& doc, const CellRecord* c) {
  std::string text = c->Kind() == kLabel ? std::string(c->TextView()) : CellDisplayText(doc, c);
  if (c->Kind() != kLabel) {
    std::size_t a = text.find_first_not_of(' ');
    std::size_t b = text.find_last_not_of(' ');
    text = a == std::string::npos ? std::string() : text.substr(a, b - a + 1);
  }
  if (!text.empty() && (text[0] == '\'' || text[0] == '"' || text[0] == '^')) text.erase(0, 1);
  return text + " ";
}

}  // namespace

bool DataForm::Open(SheetDocument& doc, const CellRange& range) {
  doc_ = nullptr;
  fields_.clear();
  if (!block::InSheet(range) || range.Top() >= kRowCount - 1) return false;
  header_ = range.Top();
  CellStore& store = doc.cells();
  for (int col = range.Left(); col <= range.Right() && fields_.size() < kMaxFormFields; ++col) {
    const CellRecord* c = store.FindCell(header_, col);
    if (IsBlankCell(c) || EffectiveFormat(c->format, doc.settings()) == kFormatHidden) continue;
    fields_.push_back({col, Caption(doc, c), doc.metrics().columnWidths[col] + 72, {}});
  }
  if (fields_.empty()) return false;
  count_ = 0;
  for (int row = header_ + 1; row < kRowCount; ++row) {
    bool empty = true;
    for (const FormField& f : fields_) empty &= IsBlankCell(store.FindCell(row, f.column));
    if (empty) break;
    ++count_;
  }
  if (count_ < 1) count_ = 1;
  doc_ = &doc;
  Show(1);
  return true;
}

std::string DataForm::RecordLine() const {
  return "Record:" + std::to_string(record_) + " of " + std::to_string(count_);
}

void DataForm::Show(int record) {
  record_ = record;
  shown_.assign(fields_.size(), {});
  entries_.assign(fields_.size(), {});
  CellStore& store = doc_->cells();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const CellRecord* c = store.FindCell(RowOf(record), fields_[i].column);
    std::string text;
    if (c != nullptr && (c->KindAndError() == kReal || c->KindAndError() == kInteger)) {
      for (char ch : CellDisplayText(*doc_, c))
        if (ch != ' ') text.push_back(ch);
    } else {
      text = CellEditText(*doc_, c);
      if (c != nullptr && c->Kind() == kLabel && !text.empty() && IsLabelPrefix(text[0]))
        text.erase(0, 1);
    }
    entries_[i] = CellEditText(*doc_, c);
    shown_[i] = text;
    fields_[i].text = std::move(text);
  }
  changed_ = false;
}

void DataForm::SetText(int field, std::string_view text) {
  if (field < 0 || field >= static_cast<int>(fields_.size())) return;
  fields_[static_cast<std::size_t>(field)].text.assign(text.substr(0, kMaxText));
  changed_ = true;
}

bool DataForm::EnterInto(int record, bool onlyChanged) {
  const int row = RowOf(record);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::string& text = fields_[i].text;
    bool same = text == shown_[i];
    if (same && onlyChanged) continue;
    if (!EnterCell(*doc_, same ? entries_[i] : text, row, fields_[i].column).ok) return false;
  }
  return true;
}

bool DataForm::Update() {
  if (!isOpen()) return false;
  if (!EnterInto(record_, true)) return false;
  Show(record_);
  return true;
}

bool DataForm::Append() {
  if (RowOf(count_ + 1) >= kRowCount) return false;
  ++count_;
  if (!EnterInto(count_, false)) {
    Show(count_);
    return false;
  }
  Show(count_);
  return true;
}

bool DataForm::Next() {
  if (!isOpen() || (changed_ && !Update())) return false;
  if (record_ < count_) {
    Show(record_ + 1);
    return true;
  }
  bool anyText = false;
  for (const FormField& f : fields_) anyText |= !f.text.empty();
  if (!anyText) return false;
  if (!clone) {
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i].text.clear();
  }
  return Append();
}

bool DataForm::Prev() {
  if (!isOpen() || (changed_ && !Update())) return false;
  if (record_ > 1) Show(record_ - 1);
  return true;
}

bool DataForm::Top() {
  if (!isOpen() || (changed_ && !Update())) return false;
  Show(1);
  return true;
}

bool DataForm::Bottom() {
  if (!isOpen() || (changed_ && !Update())) return false;
  Show(count_);
  return true;
}

bool DataForm::Add() {
  if (!isOpen()) return false;
  return Append();
}

}  // namespace tabulon
