// File names shared by the worksheet reader and writer.
#include "io/worksheet_file.h"

namespace tabulon {

namespace {

bool HasExtension(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return base.find('.') != std::string_view::npos;
}

}  // namespace

std::string WorksheetFileName(std::string_view fileName) {
  std::string name(fileName);
  if (!name.empty() && !HasExtension(name)) name += ".WKS";
  return name;
}

std::string BackupFileName(std::string_view fileName) {
  std::string name(fileName);
  if (name.empty()) return name;
  char last = name.back();
  name.back() = (last >= 'a' && last <= 'z') ? 'b' : 'B';
  return name;
}

}  // namespace tabulon
