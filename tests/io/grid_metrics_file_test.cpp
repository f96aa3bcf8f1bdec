// Column widths and row heights through the worksheet file: which columns
// and rows follow the default after a load.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "io/worksheet_file.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using testing::TestSheet;

class GridMetricsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tabulon_metrics_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Saves `from` and loads the file into `into`.
  void RoundTrip(TestSheet& from, TestSheet& into) {
    std::string path = Path("METRICS.WKS");
    ASSERT_TRUE(SaveWorksheet(*from.doc, path));
    LoadResult r = LoadWorksheet(*into.doc, path, 0);
    ASSERT_TRUE(r.ok) << r.message;
  }

  fs::path dir_;
};

TEST_F(GridMetricsFile, SizesSetOnPurposeStayTheirOwnAndTheRestFollow) {
  TestSheet s;
  s.Enter("A1", "1");
  GridMetrics& m = s.doc->metrics();
  m.SetColumnWidth(1, kDefaultColumnWidth);  // B: the default width, set on purpose
  m.SetColumnWidth(2, 120);
  m.SetRowHeight(3, 30);
  TestSheet t;
  RoundTrip(s, t);
  GridMetrics& n = t.doc->metrics();
  EXPECT_FALSE(n.FollowsDefaultWidth(1));
  EXPECT_FALSE(n.FollowsDefaultWidth(2));
  EXPECT_TRUE(n.FollowsDefaultWidth(3));
  EXPECT_FALSE(n.FollowsDefaultHeight(3));
  EXPECT_TRUE(n.FollowsDefaultHeight(4));
  n.SetDefaultColumnWidth(88);
  n.SetDefaultRowHeight(20);
  EXPECT_EQ(n.columnWidths[0], 88);
  EXPECT_EQ(n.columnWidths[1], kDefaultColumnWidth);
  EXPECT_EQ(n.columnWidths[2], 120);
  EXPECT_EQ(n.rowHeights[3], 30);
  EXPECT_EQ(n.rowHeights[4], 20);
}

TEST_F(GridMetricsFile, AChangedDefaultLoadsAsWidthsOfTheirOwn) {
  // The file has no place for the default itself: the columns that
  // followed a changed default are written with their width, and come back
  // with that width as their own.
  TestSheet s;
  s.Enter("A1", "1");
  s.doc->metrics().SetDefaultColumnWidth(88);
  TestSheet t;
  RoundTrip(s, t);
  GridMetrics& n = t.doc->metrics();
  EXPECT_EQ(n.columnWidths[0], 88);
  EXPECT_EQ(n.columnWidths[255], 88);
  EXPECT_FALSE(n.FollowsDefaultWidth(0));
}

TEST_F(GridMetricsFile, StoredDefaultMarkFollowsTheDefault) {
  auto word = [](std::vector<std::uint8_t>& v, int w) {
    v.push_back(static_cast<std::uint8_t>(w));
    v.push_back(static_cast<std::uint8_t>(w >> 8));
  };
  std::vector<std::uint8_t> bytes;
  auto record = [&](int type, const std::vector<std::uint8_t>& body) {
    word(bytes, type);
    word(bytes, static_cast<int>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
  };
  record(0, {0x04, 0x04});
  record(1, {});
  bytes.push_back(0x1A);
  bytes.push_back(0x00);
  record(11, {1, 0, 255});  // B: follows the default
  record(11, {2, 0, 8});    // C: 8 characters of its own
  record(10, {5, 0, 255});  // row 6: follows
  record(10, {6, 0, 0});    // row 7: a height of its own
  record(1, {});
  std::string path = Path("HAND.WKS");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  TestSheet t;
  LoadResult r = LoadWorksheet(*t.doc, path, 0);
  ASSERT_TRUE(r.ok) << r.message;
  GridMetrics& n = t.doc->metrics();
  EXPECT_TRUE(n.FollowsDefaultWidth(1));
  EXPECT_EQ(n.columnWidths[1], kDefaultColumnWidth);
  EXPECT_FALSE(n.FollowsDefaultWidth(2));
  EXPECT_EQ(n.columnWidths[2], 64);
  EXPECT_TRUE(n.FollowsDefaultHeight(5));
  EXPECT_FALSE(n.FollowsDefaultHeight(6));
}

}  // namespace
}  // namespace tabulon
