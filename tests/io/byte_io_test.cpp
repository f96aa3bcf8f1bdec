#include "io/byte_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace tabulon {
namespace {

// Runs of every size, mixing copies and in-place views, must return the file
// byte for byte, also where a run straddles the end of the reader's buffer.
TEST(FileReader, MixedReadsAndTakesReturnTheFileInOrder) {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("tabulon_reader_" + std::to_string(::getpid()))).string();
  std::vector<std::uint8_t> bytes(900000);
  std::mt19937 rng(3);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(rng());
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  FileReader reader;
  ASSERT_TRUE(reader.Open(path));
  std::size_t at = 0;
  std::vector<std::uint8_t> copy(FileReader::kLongestTake);
  while (at < bytes.size()) {
    std::size_t n = std::min<std::size_t>(bytes.size() - at,
                                          rng() % 4 == 0 ? rng() % 70000 : rng() % 40);
    if (rng() % 2) {
      const std::uint8_t* p = reader.Take(n);
      ASSERT_NE(p, nullptr) << "at " << at;
      ASSERT_EQ(std::memcmp(p, bytes.data() + at, n), 0) << "at " << at << " taking " << n;
    } else {
      ASSERT_TRUE(reader.Read(copy.data(), n));
      ASSERT_EQ(std::memcmp(copy.data(), bytes.data() + at, n), 0) << "at " << at;
    }
    at += n;
  }
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_FALSE(reader.failed());
  EXPECT_EQ(reader.Take(1), nullptr) << "nothing past the end";
  EXPECT_TRUE(reader.failed());

  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.Take(FileReader::kLongestTake + 1), nullptr) << "longer than a view can be";
  EXPECT_TRUE(reader.failed());
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tabulon
