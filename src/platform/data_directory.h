// Where the programs find the read-only files installed with them (the user
// manual, the default macro-button glyphs): a folder found relative to the
// running program, so that an installed tree still works after it has been
// moved elsewhere. Nothing here writes; what the user changes lives in the
// configuration folder instead.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

struct DataLocation {
  std::string directory;  // where the data files are looked for
  bool found = false;     // that folder exists
};

// The data folder of the program at `programPath` (absolute, or relative to
// the current folder; symbolic links are followed). `installedRelative` is
// the data folder relative to the program's folder in an installed tree,
// e.g. "../share/tabulon". A build tree has no such layout: there the data
// is staged in "share/tabulon" beside the program, which is tried second.
// When neither exists the installed location is returned, not found, so
// that messages can name where the files were expected.
DataLocation DataDirectory(std::string_view programPath, std::string_view installedRelative);

// The entries of `names` (files or folders, relative to `directory`) that
// do not exist there, in the order given.
std::vector<std::string> MissingDataFiles(const std::string& directory,
                                          const std::vector<std::string>& names);

// One line for a start-up notice naming what is missing and where it was
// looked for; empty when nothing is missing.
std::string MissingDataNotice(const std::string& directory,
                              const std::vector<std::string>& missing);

// Splits a ':'-separated list, as the build passes the names of the data
// it installs, dropping empty items.
std::vector<std::string> SplitDataList(std::string_view list);

}  // namespace tabulon
