#pragma once
// Small text helpers shared by the program and the plug-in libraries.

namespace lv {

// The part of `path` after its last '\' or '/', or the whole path when it has
// neither (paths written on Windows use backslashes).
const char* FileNamePart(const char* path);

// Filters the character at `index` of `buffer`: mode 1 makes it upper case,
// mode -1 lower case, other modes leave it. A character then found in
// `rejected` (when not null) is removed. Returns 2 when removed, 1 when its
// case changed, else 0.
int FilterChar(int mode, char* buffer, int index, const char* rejected);

}  // namespace lv
