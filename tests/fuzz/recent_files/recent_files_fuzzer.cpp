// Reads arbitrary bytes as the recent-files list.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/recent_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "lv_recent_fuzz_" + std::to_string(getpid()) + ".mru";
  std::FILE* file = std::fopen(("/tmp/" + name).c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  lv::RecentFiles list;
  list.folder = "/tmp";
  list.Load(name.c_str());
  const int32_t count = list.EntryCount();
  if (count > lv::RecentFiles::kCount) std::abort();
  for (int32_t i = 0; i < count; ++i)
    if (std::strlen(list.Entry(i)) > size_t(lv::RecentFiles::kMaxPathLength)) std::abort();
  std::remove(("/tmp/" + name).c_str());
  return 0;
}
