#include <gtest/gtest.h>

#include <vector>

#include "platform/midi/short_message.h"

namespace midi {
namespace {

TEST(PackShortMessage, PacksStatusFirstAndDropsLongOrBrokenData) {
  struct Case {
    std::vector<unsigned char> bytes;
    std::optional<uint32_t> packed;
  } cases[] = {
      {{0x90, 60, 100}, 0x643C90},   // note on
      {{0x80, 60, 0}, 0x003C80},     // note off
      {{0xC3, 5}, 0x05C3},           // program change: two bytes
      {{0xF8}, 0xF8},                // clock: one byte
      {{0xF0, 0x7E, 0x7F, 0xF7}, std::nullopt},  // system exclusive
      {{0xF0, 0x01}, std::nullopt},
      {{0x3C, 0x40}, std::nullopt},  // data without a status byte
      {{}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(PackShortMessage(c.bytes.data(), c.bytes.size()), c.packed);
  EXPECT_EQ(PackShortMessage(nullptr, 3), std::nullopt);
}

TEST(DeviceNameFromPort, DropsTheChangingAlsaAddressOnly) {
  struct Case {
    const char* port;
    const char* name;
  } cases[] = {
      {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0"},
      {"USB Keys:USB Keys MIDI 1 20:0", "USB Keys:USB Keys MIDI 1"},
      {"system:midi_capture_1", "system:midi_capture_1"},  // JACK names have no address
      {"Port 20:", "Port 20:"},
      {"20:0", "20:0"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DeviceNameFromPort(c.port), c.name) << c.port;
}

}  // namespace
}  // namespace midi
