// Query: extracts the records of an input range that satisfy a criteria
// range into an output range.
//
// The input range's first row names the fields; each row below it is a
// record. Each row below the criteria range's first row is one criteria
// row: its fields must all match (AND), and every criteria row extracts
// its own matches (OR, duplicates kept). The output range's first row
// names the fields to copy; matches go to the rows below it, one field per
// column from its first column on.
#pragma once

#include <string_view>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
struct CellRecord;

struct QuerySpec {
  CellRange input, criteria, output;
};

// Runs the extract. An undefined criteria, input or output range does
// nothing. Every match is found before anything is written, so an output
// that overlaps the input reads the records as they were. Fails (the error
// channel says why, nothing written) with "Out of Range" when the matches
// would run past the sheet's last row, or "Protected Cell" when a cell to
// be written is locked under protection. `extracted`, when given, receives
// the number of records written. The caller takes the undo snapshot.
bool ExtractRecords(SheetDocument& doc, const QuerySpec& spec, int* extracted = nullptr);

// The label criterion test: the criterion's stored text (prefix included)
// against the text of an input cell (prefix removed): "~" negates, "*"
// ends the comparison, "?" matches any character, a leading "..." looks
// for the rest anywhere, in any case.
bool LabelCriterionMatches(std::string_view criterion, std::string_view input);

}  // namespace tabulon
