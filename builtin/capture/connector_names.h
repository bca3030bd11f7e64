#pragma once
// The names the Options page shows for a device's physical inputs.
#include <cstdint>

namespace builtin {

// "Video Tuner" for 1 ... "Audio Decoder" for 0x1009; "Unknown Type" otherwise.
const char* ConnectorTypeName(int32_t type);

}  // namespace builtin
