// The data form without a toolkit: one record of a range at a time in a
// column of labelled edits, for browsing, changing and appending records.
// The Qt window binds its edits and buttons to this class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

inline constexpr int kMaxFormFields = 50;

struct FormField {
  int column;
  std::string caption;  // the header's text without a leading "'", "\"" or "^", then a blank
  int width;            // pixels: the column's width plus 72
  std::string text;     // what the edit holds
};

class DataForm {
 public:
  // Opens the form on a range whose first row names the fields: the
  // non-blank header cells left to right that are not hidden, at most 50.
  // False (nothing opens) when the range is undefined, leaves the sheet or
  // names no field.
  bool Open(SheetDocument& doc, const CellRange& range);
  bool isOpen() const { return doc_ != nullptr; }

  const std::vector<FormField>& fields() const { return fields_; }
  int record() const { return record_; }
  int recordCount() const { return count_; }
  // "Record:" with the record number, " of " and the record count.
  std::string RecordLine() const;
  // The sheet row of a record.
  int RowOf(int record) const { return header_ + record; }

  // An edit's text typed by the user; enables Update.
  void SetText(int field, std::string_view text);
  bool changed() const { return changed_; }
  bool clone = false;  // "Clone Last Record"

  // The buttons. Each returns false where the window beeps. Next, Prev,
  // Top and Bot first enter the changed edits into the current record.
  bool Next();
  bool Prev();
  bool Top();
  bool Bottom();
  // Appends the edits as a new last record and shows it.
  bool Add();
  // Enters the changed edits into the current record.
  bool Update();
  // Cancel: the form closes.
  void Close() { doc_ = nullptr; }

 private:
  void Show(int record);
  // Enters the edits into a record's row; only the edits that differ from
  // what was shown when `onlyChanged` is set. An unchanged edit carries the
  // entry of the cell it was read from rather than its formatted text.
  bool EnterInto(int record, bool onlyChanged);
  bool Append();

  SheetDocument* doc_ = nullptr;
  int header_ = 0;
  int record_ = 1, count_ = 1;
  bool changed_ = false;
  std::vector<FormField> fields_;
  std::vector<std::string> shown_;    // each edit's text as it was shown
  std::vector<std::string> entries_;  // the entries it was read from
};

}  // namespace tabulon
