// Text printed as a typewriter would: lines of a fixed-pitch font down the
// page inside the job's margins, tabs stopping every eighth character, a
// new page when one is full. Reports such as the cross-reference list
// print this way.
#pragma once

#include <string>
#include <vector>

#include "platform/print_target.h"
#include "print/page_layout.h"
#include "print/sheet_printer.h"

namespace tabulon {

// The font of printed text: 10 characters to the inch at 96 to the inch.
inline const FontSpec kTextPageFont{"Courier New", 16, 0};
inline constexpr int kTextTabStop = 8;

// A line with its tabs turned into blanks up to the next tab stop, less
// its trailing blanks.
std::string ExpandTabs(const std::string& line);

// Prints the lines on as many pages as they need; lines wider than the
// page are cut at the right margin. An empty list prints one empty page.
PrintOutcome PrintTextPages(PrintTarget& target, const PrintJob& job,
                            const std::vector<std::string>& lines);

}  // namespace tabulon
