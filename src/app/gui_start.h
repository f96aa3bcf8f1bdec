// What the windowed program decides before it starts its toolkit: --help
// and --version are answered without a display, and a machine without one
// gets a one-line explanation instead of an abort inside the toolkit.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tabulon {

// The usage line of `tabulon`.
std::string GuiUsage();

// What the command line asks for before a window exists: the text to print
// on standard output and exit with status 0 (--help, -h, --version), or
// nothing when the program should start.
std::optional<std::string> GuiEarlyAnswer(const std::vector<std::string>& args);

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// When the window system named by the environment (or a -platform
// argument) has no display to connect to, the one line that says so and
// names the ways out; nothing when the program can start.
std::optional<std::string> NoDisplayMessage(const std::vector<std::string>& args,
                                            EnvironmentLookup env);

}  // namespace tabulon
