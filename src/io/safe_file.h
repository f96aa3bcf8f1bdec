// The one way TABULON writes a file: the bytes go to a temporary file beside
// the target, which is flushed to the disk and then renamed over the target
// in one step. The target is therefore never missing or half written: a
// failure at any point (a full disk, a write error, a target that cannot be
// replaced) leaves an existing file exactly as it was and removes the
// temporary file.
#pragma once

#include <string>
#include <string_view>

#include "io/byte_io.h"

namespace tabulon {

class SafeFileWriter {
 public:
  // Names the backup of a target.
  using BackupName = std::string (*)(const std::string& target);

  // Creates the temporary file for `target`. When `backup` is given, the
  // previous target is kept under the name it gives (replacing an older
  // backup) just before the new file takes its place. A symbolic link as
  // the target is followed, so the file it names is replaced (and backed
  // up beside it) and the link stays.
  explicit SafeFileWriter(std::string_view target, BackupName backup = nullptr);
  ~SafeFileWriter();  // removes the temporary file unless committed
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Whether the temporary file could be created; writes to an unopened
  // writer are ignored and Commit fails.
  bool opened() const { return opened_; }
  FileWriter& out() { return out_; }

  // Flushes the temporary file to the disk, keeps the backup and renames
  // the file into place. False when anything failed since the start; the
  // target is then unchanged.
  bool Commit();

  // The path written (the target with a link resolved).
  const std::string& path() const { return target_; }
  // The temporary file's name for a target.
  static std::string TemporaryName(const std::string& target) { return target + ".~tmp"; }

 private:
  std::string target_, temp_;
  BackupName backup_;
  FileWriter out_;
  bool opened_ = false;
  bool done_ = false;
};

// Writes `bytes` as the whole file through a SafeFileWriter.
bool WriteFileSafely(std::string_view target, std::string_view bytes,
                     SafeFileWriter::BackupName backup = nullptr);

}  // namespace tabulon
