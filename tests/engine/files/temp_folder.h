#pragma once
// A fresh folder under the test temporary directory, removed with its files.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace lvtest {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::path(testing::TempDir()) / "lvfiles.XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Names of the files in the folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
    return names;
  }

 private:
  std::string path_;
};

}  // namespace lvtest
