// Buffered binary file reading and writing with one sticky error flag, and
// bounds-checked little-endian access to bytes already in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// Reads a file front to back through one buffer. Asking for bytes past the
// end of the file sets the error flag; the flag stays set.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader() { Close(); }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens a regular file; false for a missing file, a directory or any
  // other failure.
  bool Open(const std::string& path);
  void Close();

  // Copies n bytes to dst; false (and the flag set) when fewer remain.
  bool Read(void* dst, std::size_t n);
  // The next n bytes (n at most kLongestTake) where they lie in the buffer,
  // valid until the next call; null (and the flag set) when fewer remain.
  const std::uint8_t* Take(std::size_t n);
  static constexpr std::size_t kLongestTake = 1 << 17;
  bool Skip(std::size_t n);
  // Bytes not yet read.
  std::uint64_t remaining() const { return remaining_; }
  bool failed() const { return failed_; }

 private:
  bool Fill();
  bool Gather(std::size_t n);

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  std::size_t pos_ = 0, end_ = 0;
  std::uint64_t remaining_ = 0;
  bool failed_ = false;
};

// Writes a file through one buffer. Any failed write sets the error flag;
// later writes are still attempted so that the flag reflects the first one.
class FileWriter {
 public:
  FileWriter() = default;
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  bool Create(const std::string& path);
  void Bytes(const void* p, std::size_t n) {
    if (n == 0) return;
    if (n <= buffer_.size() - used_) {
      std::memcpy(buffer_.data() + used_, p, n);
      used_ += n;
    } else {
      Spill(p, n);
    }
  }
  void U8(std::uint8_t v) { Bytes(&v, 1); }
  void U16(std::uint16_t v) {
    std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    Bytes(b, 2);
  }
  void U32(std::uint32_t v) {
    std::uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    Bytes(b, 4);
  }
  void Double(double d) {
    std::uint8_t b[8];
    std::memcpy(b, &d, 8);  // the machine is little-endian like the files
    Bytes(b, 8);
  }
  // Writes the buffer out, forces the data to the disk and closes the file;
  // false when anything failed since Create.
  bool Finish();
  bool failed() const { return failed_; }

 private:
  void Spill(const void* p, std::size_t n);
  void FlushBuffer();

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// A record body in memory. Every accessor checks the offset against the
// length and yields 0 (or an empty text) outside it.
struct Bytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;

  std::uint8_t U8(std::size_t off) const { return off < size ? data[off] : 0; }
  std::uint16_t U16(std::size_t off) const {
    return off + 2 <= size ? static_cast<std::uint16_t>(data[off] | (data[off + 1] << 8)) : 0;
  }
  std::int16_t I16(std::size_t off) const { return static_cast<std::int16_t>(U16(off)); }
  std::uint32_t U32(std::size_t off) const {
    if (off + 4 > size) return 0;
    return data[off] | (data[off + 1] << 8) | (data[off + 2] << 16) |
           (static_cast<std::uint32_t>(data[off + 3]) << 24);
  }
  double Double(std::size_t off) const {
    double d = 0;
    if (off + 8 <= size) std::memcpy(&d, data + off, 8);
    return d;
  }
  std::uint64_t U64(std::size_t off) const {
    std::uint64_t v = 0;
    if (off + 8 <= size) std::memcpy(&v, data + off, 8);
    return v;
  }
  // Text from off up to the first zero byte or the end, at most max bytes.
  std::string_view Text(std::size_t off, std::size_t max) const {
    if (off >= size) return {};
    const char* p = reinterpret_cast<const char*>(data + off);
    std::size_t n = 0, limit = size - off;
    while (n < limit && p[n] != 0) ++n;
    return {p, n < max ? n : max};
  }
};

}  // namespace tabulon
