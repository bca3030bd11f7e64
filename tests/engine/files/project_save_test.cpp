// A save that cannot finish keeps the previous file as it was.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "project_file_fixture.h"

namespace lvtest {
namespace {

// Limits the size of files this process writes, so writes past it fail.
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

class ProjectSaveTest : public ProjectFileTest {
 protected:
  void SetUp() override {
    old = Bytes().Text("the previous project").data;
    WriteFileBytes(path, old);
    AddPatch(*performance.CreateBank(1), 1, 1);
    performance.modified = 1;
  }
  void ExpectUntouched() {
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(performance.modified, 1);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.LVP"});  // no temporary left behind
  }
  std::vector<uint8_t> old;
  lv::Performance performance;
};

TEST_F(ProjectSaveTest, AWriteErrorPartWayKeepsTheOldFile) {
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(Save(performance));
  }
  ExpectUntouched();
  EXPECT_TRUE(Save(performance));
  EXPECT_NE(ReadFileBytes(path), old);
  EXPECT_EQ(performance.modified, 0);
}

TEST_F(ProjectSaveTest, ATargetThatCannotBeReplacedKeepsTheOldFile) {
  std::filesystem::create_directory(folder.File("folder.LVP"));
  performance.name.Assign(folder.File("folder.LVP").c_str());
  EXPECT_FALSE(lv::SavePerformance(performance, false, context));
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("folder.LVP")));
  std::filesystem::remove(folder.File("folder.LVP"));

  performance.name.Assign(folder.File("no/such/folder.LVP").c_str());
  EXPECT_FALSE(lv::SavePerformance(performance, false, context));
  ExpectUntouched();
}

TEST_F(ProjectSaveTest, TheReplacementKeepsPermissionsAndLinks) {
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const std::string link = folder.File("link.LVP");
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
  performance.name.Assign(link.c_str());
  ASSERT_TRUE(lv::SavePerformance(performance, false, context));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(ReadFileBytes(path), old);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace lvtest
