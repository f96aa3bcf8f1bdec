// Storage for the length-prefixed strings of one cell store: labels,
// formula code and text results.
//
// Strings are at most 241 bytes (a length byte and up to 240 bytes), so
// they are carved from large blocks in size steps of 8 bytes, and a freed
// string goes onto the free list of its size step, found again from its
// length byte. That avoids one allocator call and its bookkeeping per cell;
// the blocks are given back all at once by Clear().
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tabulon {

class TextPool {
 public:
  TextPool() = default;
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  // Room for a string of `length` bytes after its length byte, which is set
  // to `length`; null when memory runs out. `length` is at most 255.
  std::uint8_t* Allocate(std::size_t length);
  // Returns a string from Allocate (null is ignored). Its length byte must
  // still hold the length it was allocated with.
  void Free(std::uint8_t* p);
  // Forgets every string at once and gives back the blocks.
  void Clear();

  // Bytes held in blocks (in use or free), for tests and measurements.
  std::size_t reservedBytes() const { return blocks_.size() * kBlockSize; }

 private:
  static constexpr std::size_t kStep = 8;
  static constexpr std::size_t kClasses = 256 / kStep + 1;
  static constexpr std::size_t kBlockSize = 64 * 1024;

  static std::size_t ClassOf(std::size_t length) { return (length + kStep) / kStep; }

  struct FreeSlot {
    FreeSlot* next;
  };

  std::array<FreeSlot*, kClasses> free_{};
  std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
  std::uint8_t* cursor_ = nullptr;  // unused room of the newest block
  std::size_t room_ = 0;
};

}  // namespace tabulon
