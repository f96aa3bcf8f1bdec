// Print output files are written whole or not at all: the bytes go to a
// temporary file beside the target, which takes the target's name only
// when every byte is written.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// The temporary name used for `target` while it is written.
std::string PrintTemporaryName(const std::string& target);

// Writes `bytes` as the whole file. Returns an empty string, or what went
// wrong; on failure no file is left under either name, and an existing
// target is unchanged.
std::string WriteWholeFile(const std::string& target, std::string_view bytes);

// Moves a finished temporary file onto the target. Returns an empty string,
// or what went wrong (the temporary file is removed then).
std::string CommitTemporaryFile(const std::string& temporary, const std::string& target);

}  // namespace tabulon
