#include "app/gui_start.h"

#include <string_view>

namespace tabulon {

namespace {

bool Set(const EnvironmentLookup& env, const char* name) {
  const char* v = env(name);
  return v != nullptr && *v != 0;
}

}  // namespace

std::string GuiUsage() {
  return "usage: tabulon [--no-splash] [--config-dir DIR] [--screenshot FILE.png] [FILE]\n"
         "       tabulon --run-macro CELL   (in the TABULON that runs, or a new one)\n"
         "       tabulon --help | --version\n";
}

std::optional<std::string> GuiEarlyAnswer(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--config-dir" || a == "--screenshot" || a == "--run-macro") {
      ++i;  // its value, whatever it looks like
    } else if (a == "--help" || a == "-h") {
      return GuiUsage();
    } else if (a == "--version") {
      return std::string("tabulon ") + TABULON_VERSION + "\n";
    }
  }
  return std::nullopt;
}

std::optional<std::string> NoDisplayMessage(const std::vector<std::string>& args,
                                            EnvironmentLookup env) {
#if defined(_WIN32) || defined(__APPLE__)
  (void)args;
  (void)env;
  return std::nullopt;
#else
  std::string platform = env("QT_QPA_PLATFORM") != nullptr ? env("QT_QPA_PLATFORM") : "";
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "-platform" || args[i] == "--platform") platform = args[i + 1];
  std::string_view name = std::string_view(platform).substr(0, platform.find(':'));
  // Platforms such as offscreen, minimal, vnc or eglfs need no display
  // server; xcb and wayland (and the default, one of them) do.
  bool needsServer = name.empty() || name == "xcb" || name.substr(0, 7) == "wayland";
  if (!needsServer) return std::nullopt;
  bool x11 = Set(env, "DISPLAY"), wayland = Set(env, "WAYLAND_DISPLAY");
  if (name == "xcb" ? x11 : name.empty() ? (x11 || wayland) : wayland) return std::nullopt;
  return std::string("tabulon: no display to open a window on (") +
         (name.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
          : name == "xcb" ? "DISPLAY is not set"
                          : "WAYLAND_DISPLAY is not set") +
         "); use tabulon-cli for work without a window, or set QT_QPA_PLATFORM=offscreen\n";
#endif
}

}  // namespace tabulon
