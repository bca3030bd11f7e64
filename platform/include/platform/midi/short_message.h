#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace midi {

// A complete message of 1 to 3 bytes packed as drivers deliver short
// messages (status in the low byte). Nothing for system-exclusive and other
// long data, or for bytes that do not start with a status byte.
std::optional<uint32_t> PackShortMessage(const unsigned char* bytes, size_t size);

// The name a device is listed under: the port's name without the ALSA
// address ("client:port" numbers) at its end, which changes from one boot or
// plug-in to the next.
std::string DeviceNameFromPort(const std::string& portName);

// Earlier versions cut device names to this length in saved settings and
// projects.
inline constexpr size_t kOldDeviceNameLength = 31;

// The index of the first of `names` equal to `name` ignoring case; else,
// for a name of the old cut length, of the one name that begins with it
// (ignoring case); -1 when none, or when a cut name begins several.
int MatchDeviceName(const std::vector<std::string>& names, const std::string& name);

}  // namespace midi
