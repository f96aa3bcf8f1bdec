#include "print/safe_output.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tabulon {

std::string PrintTemporaryName(const std::string& target) { return target + ".~tmp"; }

std::string CommitTemporaryFile(const std::string& temporary, const std::string& target) {
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return "Cannot write " + target;
  }
  return {};
}

std::string WriteWholeFile(const std::string& target, std::string_view bytes) {
  if (target.empty()) return "No file name given";
  std::error_code ec;
  if (std::filesystem::is_directory(target, ec)) return "Cannot write " + target;
  std::string temporary = PrintTemporaryName(target);
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (f == nullptr) return "Cannot write " + target;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::filesystem::remove(temporary, ec);
    return "Cannot write " + target;
  }
  return CommitTemporaryFile(temporary, target);
}

}  // namespace tabulon
