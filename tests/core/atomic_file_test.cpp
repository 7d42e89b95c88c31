#include "io/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("quorvane_atomic_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::size_t EntriesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
};

TEST_F(AtomicFileTest, ReplacesTheWholeFileAndLeavesNothingElse) {
  const fs::path target = folder_ / "逐桩坐标.txt";
  WriteFileAtomically(target.string(), "a longer first content\r\n");
  WriteFileAtomically(target.string(), std::string("x\0y", 3));
  EXPECT_EQ(Read(target), std::string("x\0y", 3));
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, AnUnwrittenOrEmptyTemporaryNeverReplacesTheTarget) {
  const fs::path target = folder_ / "plan.png";
  std::ofstream(target) << "earlier";
  {
    AtomicFile file(target.string());
    EXPECT_THROW(file.Commit(), FileError);  // the writer wrote nothing
  }
  {
    AtomicFile file(target.string());
    std::ofstream(file.TemporaryPath()) << "half";
  }  // neither committed nor discarded
  EXPECT_EQ(Read(target), "earlier");
  EXPECT_EQ(EntriesInFolder(), 1u);

  AtomicFile file(target.string());
  std::ofstream(file.TemporaryPath()) << "new";
  file.Commit();
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST(FileErrorCause, TheUsersWords) {
  EXPECT_EQ(FileErrorCause(ENOSPC), "磁盘空间不足");
  EXPECT_EQ(FileErrorCause(EACCES), "没有写入权限");
  EXPECT_EQ(FileErrorCause(ENOENT), "文件夹不存在");
}

}  // namespace
}  // namespace quorvane
