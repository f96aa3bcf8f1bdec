// Export of a range as text: quoted or comma-delimited, one line per row.
#pragma once

#include <string>
#include <string_view>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

enum class TextExportMode { Quoted = 2, Comma = 3 };

// The text of the range: each cell's display text without spaces (at most
// 80 characters), quoted in quoted mode, separated by commas, rows ended by
// CR LF. Error values are written as ERR. In comma mode a text holding a
// comma, a double quote or a line break is quoted with its quotes doubled,
// so that every cell stays one field.
std::string ExportTextString(SheetDocument& doc, const CellRange& range, TextExportMode mode);
// Writes it to a file (replacing an existing one safely), as 8-bit text or,
// with `utf8`, converted to UTF-8; false on an I/O error, which leaves an
// existing file as it was.
bool ExportText(SheetDocument& doc, std::string_view fileName, TextExportMode mode,
                const CellRange& range, bool utf8 = false);

}  // namespace tabulon
