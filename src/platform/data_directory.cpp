#include "platform/data_directory.h"

#include <filesystem>
#include <system_error>

namespace tabulon {

namespace fs = std::filesystem;

namespace {

// A normal form without a trailing separator, so that messages read well.
std::string Tidy(const fs::path& p) {
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool IsDirectory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

}  // namespace

DataLocation DataDirectory(std::string_view programPath, std::string_view installedRelative) {
  if (programPath.empty()) return {};
  std::error_code ec;
  fs::path program(programPath);
  if (program.is_relative()) {
    fs::path absolute = fs::absolute(program, ec);
    if (!ec) program = absolute;
  }
  // Follow a link such as /usr/local/bin/tabulon -> /opt/tabulon/bin/tabulon
  // to the tree the program belongs to.
  fs::path resolved = fs::weakly_canonical(program, ec);
  if (!ec) program = resolved;
  fs::path programDir = program.parent_path();

  fs::path installed = programDir / fs::path(installedRelative);
  if (IsDirectory(installed)) return {Tidy(installed), true};
  fs::path staged = programDir / "share" / "tabulon";
  if (IsDirectory(staged)) return {Tidy(staged), true};
  return {Tidy(installed), false};
}

std::vector<std::string> MissingDataFiles(const std::string& directory,
                                          const std::vector<std::string>& names) {
  std::vector<std::string> missing;
  for (const std::string& name : names) {
    std::error_code ec;
    if (directory.empty() || !fs::exists(fs::path(directory) / name, ec)) missing.push_back(name);
  }
  return missing;
}

std::string MissingDataNotice(const std::string& directory,
                              const std::vector<std::string>& missing) {
  if (missing.empty()) return {};
  std::string list;
  for (const std::string& name : missing) {
    if (!list.empty()) list += ", ";
    list += name;
  }
  std::string where = directory.empty() ? "the program's data folder" : directory;
  return "missing from " + where + ": " + list + " (starting without " +
         (missing.size() == 1 ? "it" : "them") + ")";
}

std::vector<std::string> SplitDataList(std::string_view list) {
  std::vector<std::string> items;
  while (!list.empty()) {
    std::size_t semi = list.find(':');
    std::string_view item = list.substr(0, semi);
    if (!item.empty()) items.emplace_back(item);
    if (semi == std::string_view::npos) break;
    list.remove_prefix(semi + 1);
  }
  return items;
}

}  // namespace tabulon
