#include "io/byte_io.h"

#include <filesystem>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace tabulon {

namespace {
constexpr std::size_t kReadBuffer = 1 << 18;
constexpr std::size_t kWriteBuffer = 1 << 16;
static_assert(kReadBuffer >= FileReader::kLongestTake, "a taken run must fit the buffer");
}  // namespace

bool FileReader::Open(const std::string& path) {
  Close();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return false;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  buffer_.resize(kReadBuffer);
  pos_ = end_ = 0;
  remaining_ = size;
  failed_ = false;
  return true;
}

void FileReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool FileReader::Fill() {
  if (file_ == nullptr) return false;
  pos_ = 0;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  return end_ > 0;
}

bool FileReader::Read(void* dst, std::size_t n) {
  if (failed_ || n > remaining_) {
    failed_ = true;
    return false;
  }
  auto* out = static_cast<std::uint8_t*>(dst);
  while (n > 0) {
    if (pos_ == end_ && !Fill()) {
      failed_ = true;  // the file shrank while being read
      return false;
    }
    std::size_t k = std::min(n, end_ - pos_);
    std::memcpy(out, buffer_.data() + pos_, k);
    out += k;
    pos_ += k;
    n -= k;
    remaining_ -= k;
  }
  return true;
}

// Moves the unread bytes to the front of the buffer and reads until at
// least n bytes are there.
bool FileReader::Gather(std::size_t n) {
  if (file_ == nullptr) return false;
  std::size_t have = end_ - pos_;
  std::memmove(buffer_.data(), buffer_.data() + pos_, have);
  pos_ = 0;
  end_ = have;
  while (end_ < n) {
    std::size_t k = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (k == 0) return false;
    end_ += k;
  }
  return true;
}

const std::uint8_t* FileReader::Take(std::size_t n) {
  if (failed_ || n > remaining_ || n > kLongestTake) {
    failed_ = true;
    return nullptr;
  }
  if (end_ - pos_ < n && !Gather(n)) {
    failed_ = true;  // the file shrank while being read
    return nullptr;
  }
  const std::uint8_t* p = buffer_.data() + pos_;
  pos_ += n;
  remaining_ -= n;
  return p;
}

bool FileReader::Skip(std::size_t n) {
  if (failed_ || n > remaining_) {
    failed_ = true;
    return false;
  }
  while (n > 0) {
    if (pos_ == end_ && !Fill()) {
      failed_ = true;
      return false;
    }
    std::size_t k = std::min(n, end_ - pos_);
    pos_ += k;
    n -= k;
    remaining_ -= k;
  }
  return true;
}

FileWriter::~FileWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool FileWriter::Create(const std::string& path) {
  file_ = std::fopen(path.c_str(), "wb");
  failed_ = file_ == nullptr;
  buffer_.resize(kWriteBuffer);
  used_ = 0;
  return !failed_;
}

void FileWriter::FlushBuffer() {
  if (used_ == 0) return;
  if (file_ == nullptr || std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
  used_ = 0;
}

void FileWriter::Spill(const void* p, std::size_t n) {
  FlushBuffer();
  if (n <= buffer_.size()) {
    std::memcpy(buffer_.data(), p, n);
    used_ = n;
  } else if (file_ == nullptr || std::fwrite(p, 1, n, file_) != n) {
    failed_ = true;
  }
}

bool FileWriter::Finish() {
  FlushBuffer();
  if (file_ == nullptr) return false;
  if (std::fflush(file_) != 0) failed_ = true;
#if defined(__unix__) || defined(__APPLE__)
  if (!failed_ && ::fsync(fileno(file_)) != 0) failed_ = true;
#endif
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace tabulon
