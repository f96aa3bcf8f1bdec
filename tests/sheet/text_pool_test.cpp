#include "sheet/text_pool.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace tabulon {
namespace {

// Every string holds a pattern derived from its own address and length; a
// string that overlaps another or was handed out twice breaks a pattern.
struct Live {
  std::uint8_t* p;
  std::size_t length;
};

void Stamp(const Live& s) {
  for (std::size_t i = 1; i <= s.length; ++i)
    s.p[i] = static_cast<std::uint8_t>(reinterpret_cast<std::uintptr_t>(s.p) * 31 + i);
}

bool Intact(const Live& s) {
  if (s.p[0] != s.length) return false;
  for (std::size_t i = 1; i <= s.length; ++i)
    if (s.p[i] != static_cast<std::uint8_t>(reinterpret_cast<std::uintptr_t>(s.p) * 31 + i))
      return false;
  return true;
}

TEST(TextPool, StringsNeverOverlapUnderRandomAllocationAndRelease) {
  TextPool pool;
  std::mt19937 rng(7);
  std::vector<Live> live;
  for (int step = 0; step < 200000; ++step) {
    if (live.empty() || rng() % 3 != 0) {
      std::size_t length = rng() % 2 ? rng() % 16 : rng() % 256;
      Live s{pool.Allocate(length), length};
      ASSERT_NE(s.p, nullptr);
      ASSERT_EQ(s.p[0], length) << "the length byte is set";
      ASSERT_EQ(reinterpret_cast<std::uintptr_t>(s.p) % 8, 0u);
      Stamp(s);
      live.push_back(s);
    } else {
      std::size_t k = rng() % live.size();
      ASSERT_TRUE(Intact(live[k])) << "step " << step;
      pool.Free(live[k].p);
      live[k] = live.back();
      live.pop_back();
    }
  }
  for (const Live& s : live) ASSERT_TRUE(Intact(s));
}

TEST(TextPool, FreedRoomIsReusedBySameSizeStrings) {
  TextPool pool;
  std::vector<std::uint8_t*> first;
  for (int i = 0; i < 20000; ++i) first.push_back(pool.Allocate(13));
  std::size_t reserved = pool.reservedBytes();
  EXPECT_LE(reserved, 20000u * 16 + 64 * 1024) << "13-byte strings take 16 bytes each";
  for (std::uint8_t* p : first) pool.Free(p);
  // Lengths 8..15 share the 16-byte step; the freed room serves all of them.
  for (int i = 0; i < 20000; ++i) ASSERT_NE(pool.Allocate(8 + i % 8), nullptr);
  EXPECT_EQ(pool.reservedBytes(), reserved);
  pool.Free(nullptr);
  pool.Clear();
  EXPECT_EQ(pool.reservedBytes(), 0u);
  EXPECT_NE(pool.Allocate(240), nullptr) << "usable again after Clear";
}

}  // namespace
}  // namespace tabulon
