// A file that cannot be shown leaves a line in the program's log. Alone in
// its binary, as the log file is the binary's own.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sys/log.h"
#include "platform/sys/module_path.h"
#include "source_device_fixture.h"

namespace lvtest {
namespace {

// The log is written only when its file exists at the first line.
const std::string kLogPath = [] {
  std::string path = sys::LogPathFor(sys::ProgramPath());
  std::ofstream(path, std::ios::trunc).flush();
  return path;
}();

std::string LogText() {
  std::ifstream in(kLogPath);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ImageLogTest : public SourceDeviceTest {};

TEST_F(ImageLogTest, EveryRefusedNameIsLogged) {
  const std::string corrupt = TempPath("logged-corrupt.bmp");
  std::ofstream(corrupt) << "BM but nothing more";
  for (const std::string& name : {TempPath("logged-absent.png"), corrupt, TempPath("logged.unknown")}) {
    EXPECT_EQ(host_.CreateSource(name.c_str(), 0), nullptr);
    EXPECT_NE(LogText().find(name), std::string::npos) << "no log line names " << name;
  }
}

}  // namespace
}  // namespace lvtest
