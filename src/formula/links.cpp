#include "formula/links.h"

#include <filesystem>
#include <system_error>

namespace tabulon {

std::string ResolveLinkPath(std::string_view path) {
  std::string resolved(path);
  if (path.empty() || path[0] == '/' || path.find(':') != std::string_view::npos) return resolved;
  std::error_code ec;
  std::string dir = std::filesystem::current_path(ec).string();
  if (ec) return resolved;
  return dir + "/" + resolved;
}

}  // namespace tabulon
