#include "platform/midi/short_message.h"

#include <strings.h>

#include <cctype>

namespace midi {

std::optional<uint32_t> PackShortMessage(const unsigned char* bytes, size_t size) {
  if (!bytes || size == 0 || size > 3 || bytes[0] < 0x80 || bytes[0] == 0xF0) return std::nullopt;
  uint32_t message = 0;
  for (size_t i = 0; i < size; ++i) message |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return message;
}

std::string DeviceNameFromPort(const std::string& portName) {
  // Strip a trailing " <digits>:<digits>".
  size_t end = portName.size();
  size_t at = end;
  auto skipDigits = [&] {
    size_t start = at;
    while (at > 0 && std::isdigit(static_cast<unsigned char>(portName[at - 1]))) --at;
    return at < start;
  };
  if (skipDigits() && at > 0 && portName[at - 1] == ':') {
    --at;
    if (skipDigits() && at > 0 && portName[at - 1] == ' ') return portName.substr(0, at - 1);
  }
  return portName;
}

int MatchDeviceName(const std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (strcasecmp(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
  if (name.size() != kOldDeviceNameLength) return -1;
  int found = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    if (strncasecmp(names[i].c_str(), name.c_str(), kOldDeviceNameLength) != 0) continue;
    if (found >= 0) return -1;
    found = static_cast<int>(i);
  }
  return found;
}

}  // namespace midi
