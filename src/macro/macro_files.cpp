#include "macro/macro_files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tabulon {

namespace {

namespace fs = std::filesystem;

int FromErrno(int e, std::string_view name) {
  switch (e) {
    case ENOENT: {
      // A missing directory on the way is a different failure from a
      // missing file in an existing one.
      fs::path parent = fs::path(std::string(name)).parent_path();
      std::error_code ec;
      if (!parent.empty() && !fs::is_directory(parent, ec)) return kIoPathNotFound;
      return kIoFileNotFound;
    }
    case ENOTDIR: return kIoPathNotFound;
    default: return kIoAccessDenied;
  }
}

int FromErrorCode(const std::error_code& ec, std::string_view path) {
  if (!ec) return kIoOk;
  return FromErrno(ec.value(), path);
}

}  // namespace

int MacroFiles::Open(int slot, int mode, std::string_view name) {
  if (slot < 0 || slot > kMaxSlot) return kIoBadSlot;
  const char* how = mode == 1 ? "rb" : mode == 2 ? "wb" : mode == 3 ? "ab" : nullptr;
  if (how == nullptr) return kIoBadMode;
  Close(slot);
  if (name.empty()) return kIoFileNotFound;
  std::string path(name);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return kIoAccessDenied;
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), how);
  if (f == nullptr) return FromErrno(errno, name);
  files_[slot] = Slot{f, mode == 1};
  return kIoOk;
}

int MacroFiles::Close(int slot) {
  auto it = files_.find(slot);
  if (it == files_.end()) return slot < 0 || slot > kMaxSlot ? kIoBadSlot : kIoNotOpen;
  int result = std::fclose(it->second.file) == 0 ? kIoOk : kIoWriteFailed;
  files_.erase(it);
  return result;
}

int MacroFiles::Write(int slot, std::string_view text, bool lineEnd) {
  auto it = files_.find(slot);
  if (it == files_.end()) return slot < 0 || slot > kMaxSlot ? kIoBadSlot : kIoNotOpen;
  if (it->second.reading) return kIoNotForOutput;
  std::FILE* f = it->second.file;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size())
    return kIoWriteFailed;
  if (lineEnd && std::fwrite("\r\n", 1, 2, f) != 2) return kIoWriteFailed;
  return std::ferror(f) ? kIoWriteFailed : kIoOk;
}

int MacroFiles::ReadLine(int slot, std::string& line) {
  line.clear();
  auto it = files_.find(slot);
  if (it == files_.end()) return slot < 0 || slot > kMaxSlot ? kIoBadSlot : kIoNotOpen;
  if (!it->second.reading) return kIoNotForInput;
  std::FILE* f = it->second.file;
  int c = std::fgetc(f);
  if (c == EOF) return std::ferror(f) ? kIoAccessDenied : kIoReadPastEnd;
  for (; c != EOF && c != '\n'; c = std::fgetc(f))
    if (line.size() < kMaxLine + 1) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxLine) line.resize(kMaxLine);
  return kIoOk;
}

int MacroFiles::ChangeDirectory(std::string_view path) {
  if (path.empty()) return kIoOk;
  std::error_code ec;
  fs::current_path(fs::path(std::string(path)), ec);
  return ec ? kIoPathNotFound : kIoOk;
}

int MacroFiles::MakeDirectory(std::string_view path) {
  if (path.empty()) return kIoOk;
  std::error_code ec;
  fs::path p{std::string(path)};
  if (fs::exists(p, ec)) return kIoAccessDenied;
  fs::create_directory(p, ec);
  return FromErrorCode(ec, path);
}

int MacroFiles::RemoveDirectory(std::string_view path) {
  if (path.empty()) return kIoOk;
  std::error_code ec;
  fs::path p{std::string(path)};
  if (!fs::is_directory(p, ec)) return fs::exists(p, ec) ? kIoAccessDenied : kIoPathNotFound;
  fs::remove(p, ec);  // only an empty directory goes
  return FromErrorCode(ec, path);
}

void MacroFiles::CloseAll() {
  for (auto& [slot, s] : files_) std::fclose(s.file);
  files_.clear();
}

}  // namespace tabulon
