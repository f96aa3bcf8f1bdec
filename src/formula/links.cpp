#include "formula/links.h"

#include <filesystem>
#include <system_error>

#include "sheet/sheet_document.h"

namespace tabulon {

std::string ResolveLinkPath(std::string_view path, std::string_view folder) {
  std::string resolved(path);
  if (path.empty() || path[0] == '/' || path.find(':') != std::string_view::npos) return resolved;
  std::string dir(folder);
  if (dir.empty() || dir[0] != '/') {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (ec) return dir.empty() ? resolved : dir + "/" + resolved;
    dir = dir.empty() ? cwd : cwd + "/" + dir;
  }
  if (dir.back() != '/') dir += '/';
  return dir + resolved;
}

std::string LinkFolder(const SheetDocument& doc) {
  const std::string& name = doc.fileName();
  std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : name.substr(0, slash);
}

}  // namespace tabulon
