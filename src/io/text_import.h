// Import of text files into a sheet: each line as one label, each line split
// into fields across a row, or the names of the files matching a pattern.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

enum class ImportMode { Text = 1, Values = 2, Directory = 3 };

// How the bytes of an imported file are read. Auto takes a file with a
// UTF-8 byte-order mark, or one whose bytes are well-formed UTF-8 with at
// least one multi-byte sequence, as UTF-8, and anything else as 8-bit.
enum class TextEncoding { Auto, Utf8, Cp1252 };

// One field of a line as it is entered: `text` goes through cell entry
// (a quoted or empty field already carries the label apostrophe).
struct ImportField {
  std::string text;
  bool label = false;  // quoted or empty: entered as a label as it stands
};

// Splits a line into fields. A line holding ";", a tab or `separator` outside
// double quotes is delimited: each of those marks ends a field (so "1,,3"
// keeps an empty field between 1 and 3) and blanks around a field are
// padding. Any other line splits at runs of blanks, and a field also ends
// before "+", "-", "(" or "@" unless that is its first character or follows
// "E"/"e" (1.5E-3 stays whole, 12-5 gives 12 and -5). Double quotes make
// separators part of the field; inside quotes "" is one quote. A quoted or
// empty field is a label. A separator equal to the decimal character is
// not used, so "1,5" stays a number when the comma is the decimal character.
std::vector<ImportField> SplitFields(std::string_view line, char separator, char decimalChar);

struct ImportResult {
  bool ok = false;
  std::string message;        // the error, or what the user should know
  int lines = 0;              // lines (or names) taken
  int cutLines = 0;           // lines longer than a cell holds, cut
  int unmappable = 0;         // characters the code page lacks, now "?"
  int droppedLines = 0;       // lines left out when the sheet was full
  bool utf8 = false;          // the file was read as UTF-8
  CellRange area;             // the cells written
};

// Converts a file's bytes to the code page: a UTF-8 byte-order mark is
// dropped; `unmappable` counts the characters that became "?".
std::string DecodeText(std::string_view bytes, TextEncoding encoding, bool& utf8, int& unmappable);

// Imports the text at `start`: lines go down the column from the start row;
// past the last row they continue at the start row in the next free column
// (for values: right of the widest line so far, so no line overwrites
// another's fields); past the last column the import stops and says how
// many lines were left out. A file holding NUL bytes is not text and is
// refused before anything changes.
ImportResult ImportTextBytes(SheetDocument& doc, ImportMode mode, CellAddress start,
                             std::string_view bytes, TextEncoding encoding = TextEncoding::Auto);
// Reads the file (mode Text or Values) and imports it; "File Not Found"
// when it cannot be read. Directory mode lists the names matching the
// pattern made from `fileName`: "*." and the first three characters of its
// extension, or "*.*" without one, in the file name's folder.
ImportResult ImportText(SheetDocument& doc, ImportMode mode, CellAddress start,
                        std::string_view fileName, TextEncoding encoding = TextEncoding::Auto);

// The names of the files in `fileName`'s folder matching its pattern,
// sorted, each at most 80 characters.
std::vector<std::string> DirectoryListing(std::string_view fileName);

}  // namespace tabulon
