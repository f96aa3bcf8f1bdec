#include "sheet/text_pool.h"

#include <algorithm>
#include <new>

namespace tabulon {

std::uint8_t* TextPool::Allocate(std::size_t length) {
  std::size_t cls = ClassOf(length);
  std::uint8_t* p;
  if (FreeSlot* slot = free_[cls]) {
    free_[cls] = slot->next;
    p = reinterpret_cast<std::uint8_t*>(slot);
  } else {
    std::size_t bytes = cls * kStep;
    if (room_ < bytes) {
      std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[kBlockSize]);
      if (!block) return nullptr;
      // The unused tail of the old block serves smaller strings later.
      while (room_ >= kStep) {
        std::size_t tail = std::min(room_ / kStep, kClasses - 1);
        free_[tail] = new (cursor_) FreeSlot{free_[tail]};
        cursor_ += tail * kStep;
        room_ -= tail * kStep;
      }
      cursor_ = block.get();
      room_ = kBlockSize;
      blocks_.push_back(std::move(block));
    }
    p = cursor_;
    cursor_ += bytes;
    room_ -= bytes;
  }
  p[0] = static_cast<std::uint8_t>(length);
  return p;
}

void TextPool::Free(std::uint8_t* p) {
  if (p == nullptr) return;
  std::size_t cls = ClassOf(p[0]);
  free_[cls] = new (p) FreeSlot{free_[cls]};
}

void TextPool::Clear() {
  free_.fill(nullptr);
  blocks_.clear();
  cursor_ = nullptr;
  room_ = 0;
}

}  // namespace tabulon
