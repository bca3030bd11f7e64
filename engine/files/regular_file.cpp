#include "files/regular_file.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lv {

bool IsReadableFile(const char* path) {
  struct stat info;
  if (path == nullptr || stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return access(path, R_OK) == 0;
}

}  // namespace lv
