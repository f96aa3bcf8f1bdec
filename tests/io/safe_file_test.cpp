#include "io/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "io/config_file.h"
#include "io/text_export.h"
#include "io/worksheet_file.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tabulon_safe_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  // Nothing but the named files is left in the folder (no temporary file).
  void ExpectOnly(std::initializer_list<std::string> names) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
      ++n;
      EXPECT_NE(std::find(names.begin(), names.end(), e.path().filename().string()), names.end())
          << "left behind: " << e.path();
    }
    EXPECT_EQ(n, names.size());
  }

  fs::path dir_;
};

// Makes every write past `bytes` into a regular file fail, as a full disk
// does, for as long as it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

// Every kind of file TABULON writes fails cleanly when the disk fills up:
// the previous file is untouched and no fragment or temporary file stays.
TEST_F(SafeFile, AFailingWriteLeavesThePreviousFileWhole) {
  testing::TestSheet s;
  for (int r = 0; r < 60; ++r) ASSERT_TRUE(s.Enter("A" + std::to_string(r + 1), "'row text"));
  ConfigSettings cfg = DefaultConfig("/p/", "TBL");

  struct Case {
    const char* name;
    std::function<bool(const std::string&)> write;
  };
  const Case cases[] = {
      {"plain.txt",
       [](const std::string& p) { return WriteFileSafely(p, std::string(4000, 'x')); }},
      {"export.csv",
       [&](const std::string& p) {
         return ExportText(*s.doc, p, TextExportMode::Comma, CellRange::Of(0, 0, 59, 0));
       }},
      {"TBL.INI", [&](const std::string& p) { return WriteSettings(p, cfg); }},
      {"SHEET.WKS", [&](const std::string& p) { return SaveWorksheet(*s.doc, p, {}, "me"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = Path(c.name);
    Put(path, "the previous contents");
    {
      FileSizeLimit full(200);
      EXPECT_FALSE(c.write(path));
    }
    EXPECT_EQ(Slurp(path), "the previous contents");
    EXPECT_FALSE(fs::exists(SafeFileWriter::TemporaryName(path)));
    // With room again the same write succeeds.
    ASSERT_TRUE(c.write(path));
    EXPECT_GT(Slurp(path).size(), 200u);
    fs::remove(path);
    fs::remove(BackupFileName(path));
    fs::remove(SettingsBackupName(path));
  }
  ExpectOnly({});
}

TEST_F(SafeFile, ReplacesOnlyRegularFilesAndKeepsLinksAndPermissions) {
  EXPECT_FALSE(WriteFileSafely(dir_.string(), "x")) << "a directory";
  EXPECT_FALSE(WriteFileSafely("/dev/null", "x")) << "a device is never replaced";
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_FALSE(WriteFileSafely(Path("missing/file.txt"), "x"));
  EXPECT_FALSE(WriteFileSafely("", "x"));

  std::string real = Path("real.txt"), link = Path("link.txt");
  Put(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(real, link);
  ASSERT_TRUE(WriteFileSafely(link, "new", [](const std::string& t) { return t + ".bak"; }));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(real), "new");
  EXPECT_EQ(Slurp(real + ".bak"), "old") << "the backup sits beside the file, not the link";
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  ExpectOnly({"real.txt", "link.txt", "real.txt.bak"});
}

TEST_F(SafeFile, AnUncommittedWriterRemovesItsTemporaryFile) {
  std::string path = Path("data.bin");
  Put(path, "keep");
  {
    SafeFileWriter w(path);
    ASSERT_TRUE(w.opened());
    w.out().Bytes("partial", 7);
    EXPECT_TRUE(fs::exists(SafeFileWriter::TemporaryName(path)));
  }
  EXPECT_EQ(Slurp(path), "keep");
  ExpectOnly({"data.bin"});
}

}  // namespace
}  // namespace tabulon
