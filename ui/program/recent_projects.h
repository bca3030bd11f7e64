#pragma once
// The recent-files list as the main dialog's File menu shows it.
#include "files/recent_files.h"
#include "main_dialog/main_dialog_services.h"

namespace app {

class RecentProjects final : public ui::RecentProjects {
 public:
  explicit RecentProjects(lv::RecentFiles& files) : files_(files) {}
  void Add(const std::string& path) override { files_.Add(path.c_str()); }
  std::vector<std::string> Entries() const override {
    std::vector<std::string> entries;
    for (int i = 0; i < files_.EntryCount(); ++i)
      if (const char* entry = files_.Entry(i)) entries.emplace_back(entry);
    return entries;
  }

 private:
  lv::RecentFiles& files_;
};

}  // namespace app
