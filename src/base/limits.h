// Sheet-wide limits and the basic identifier types of the cell model.
#pragma once

#include <cstdint>

namespace tabulon {

inline constexpr int kRowCount = 8192;      // rows 0..8191
inline constexpr int kColumnCount = 256;    // columns 0..255 (A..IV)
inline constexpr int kMaxText = 240;        // bytes of a label, formula code or any model text
inline constexpr int kDocumentSlots = 256;  // open documents, slots 1..256
inline constexpr int kMaxNameLength = 12;   // range names and user-function names
inline constexpr int kMaxNames = 255;       // entries of a name table

// Identity of a cell record inside its document's record pool. 0 is "no record".
using CellId = std::uint32_t;
inline constexpr CellId kNoCell = 0;
inline constexpr CellId kCellIdMask = 0x3FFFFFFFu;  // identities use 30 bits

inline bool RowInSheet(int row) { return row >= 0 && row < kRowCount; }
inline bool ColumnInSheet(int col) { return col >= 0 && col < kColumnCount; }

}  // namespace tabulon
