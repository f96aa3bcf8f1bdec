#include "io/safe_file.h"

#include <filesystem>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tabulon {

namespace fs = std::filesystem;

namespace {

// Makes the rename itself durable: the directory entry is on the disk once
// its directory has been flushed.
void SyncDirectoryOf(const std::string& path) {
#if defined(__unix__) || defined(__APPLE__)
  fs::path dir = fs::path(path).parent_path();
  if (dir.empty()) dir = ".";
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#else
  (void)path;
#endif
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string_view target, BackupName backup)
    : target_(target), backup_(backup) {
  if (target_.empty()) return;
  std::error_code ec;
  // Write through a link to the file it names, so the link survives.
  if (fs::is_symlink(target_, ec)) {
    fs::path resolved = fs::weakly_canonical(target_, ec);
    if (ec) return;
    target_ = resolved.string();
  }
  // Only a regular file (or nothing) may be replaced: renaming over a
  // device or a directory would destroy it or fail late.
  fs::file_status status = fs::status(target_, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) return;
  temp_ = TemporaryName(target_);
  opened_ = out_.Create(temp_);
}

SafeFileWriter::~SafeFileWriter() {
  if (!done_ && opened_) {
    out_.Finish();
    std::error_code ec;
    fs::remove(temp_, ec);
  }
}

bool SafeFileWriter::Commit() {
  if (done_ || !opened_) return false;
  done_ = true;
  std::error_code ec;
  bool ok = out_.Finish();
  fs::file_status old = fs::status(target_, ec);
  bool replacing = fs::is_regular_file(old);
  if (ok && replacing) {
    // The new file keeps the permissions of the one it replaces.
    fs::permissions(temp_, old.permissions(), ec);
    std::string backup = backup_ != nullptr ? backup_(target_) : std::string();
    if (!backup.empty() && backup != target_) {
      fs::remove(backup, ec);
      fs::create_hard_link(target_, backup, ec);
      if (ec) fs::copy_file(target_, backup, fs::copy_options::overwrite_existing, ec);
    }
  }
  if (ok) {
    fs::rename(temp_, target_, ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(temp_, ec);
    return false;
  }
  SyncDirectoryOf(target_);
  return true;
}

bool WriteFileSafely(std::string_view target, std::string_view bytes,
                     SafeFileWriter::BackupName backup) {
  SafeFileWriter file(target, backup);
  file.out().Bytes(bytes.data(), bytes.size());
  return file.Commit();
}

}  // namespace tabulon
