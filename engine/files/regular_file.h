#pragma once
// Whether a path names a file that can be read. Opening a directory for
// reading succeeds on Linux, so opening alone does not tell.
namespace lv {

bool IsReadableFile(const char* path);

}  // namespace lv
