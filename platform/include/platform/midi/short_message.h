#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace midi {

// A complete message of 1 to 3 bytes packed as drivers deliver short
// messages (status in the low byte). Nothing for system-exclusive and other
// long data, or for bytes that do not start with a status byte.
std::optional<uint32_t> PackShortMessage(const unsigned char* bytes, size_t size);

// The name a device is listed under: the port's name without the ALSA
// address ("client:port" numbers) at its end, which changes from one boot or
// plug-in to the next.
std::string DeviceNameFromPort(const std::string& portName);

}  // namespace midi
