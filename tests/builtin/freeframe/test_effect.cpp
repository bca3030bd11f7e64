// A small FreeFrame effect built in several variants by the tests: the good
// one inverts the colour of its frame; the others break one rule each
// (see the FF_* definitions). It records what the host asked for.
#include <cstdint>
#include <cstring>

#include "test_effect_log.h"

#ifndef FF_API_MAJOR
#define FF_API_MAJOR 1
#endif
#ifndef FF_MAX_INPUTS
#define FF_MAX_INPUTS 1
#endif
#ifndef FF_UNIQUE_ID
#define FF_UNIQUE_ID "TINV"
#endif
#ifndef FF_NAME
#define FF_NAME "Test Invert"
#endif

namespace {

using Word = uintptr_t;
constexpr Word kFail = 0xFFFFFFFFu;

struct Info {
  uint32_t apiMajor, apiMinor;
  uint8_t uniqueId[4];
  char name[16];
  uint32_t type;
};
struct ExtendedInfo {
  uint32_t major, minor;
  const char* description;
  const char* about;
  uint32_t size;
  void* block;
};
struct Video {
  uint32_t width, height, depth, orientation;
};
// setParameter: a number in the 4 bytes after the index; a text pointer,
// which does not fit there, at offset 8.
struct Set {
  uint32_t index;
  float number;
  const char* text;
};

Info info = {FF_API_MAJOR, 7, {}, {}, 0};
ExtendedInfo extended = {1, 0, "Inverts the colours", "tests", 0, nullptr};
TestEffectLog log;
float values[4] = {0.5f, 0, 0.9999f, 0.25f};
Video video{};

// Parameter 1 is text; parameter 3 has no name. The display texts are full
// 16-character fields without a terminator.
constexpr char kNames[4][16] = {{'G', 'a', 'i', 'n'}, {'L', 'a', 'b', 'e', 'l'}, {'M', 'i', 'x'}, {}};
char displays[4][16];

Word FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TestEffectLog* testEffectLog() { return &log; }

#ifndef FF_NO_ENTRY
extern "C" __attribute__((visibility("default"))) Word plugMain(uint32_t code, Word input, Word instance) {
  switch (code) {
    case 0:
      std::memcpy(info.uniqueId, FF_UNIQUE_ID, 4);
      std::strncpy(info.name, FF_NAME, 16);
      return reinterpret_cast<Word>(&info);
    case 13:
      return reinterpret_cast<Word>(&extended);
    case 10:
      if (input == 2) return 1;
      if (input == 11) return FF_MAX_INPUTS;
      return 0;
    case 1:
      ++log.initialised;
      std::memcpy(displays[0], "Gain            ", 16);
      std::memcpy(displays[2], "                ", 16);
      std::memcpy(displays[3], "Short", 6);
      return 0;
    case 2:
      ++log.deinitialised;
      return 0;
    case 4:
      return 4;
    case 15:
      return input == 1 ? 100 : 0;
    case 5:
      return input == 3 ? kFail : reinterpret_cast<Word>(kNames[input]);
    case 6:
      return input == 1 ? reinterpret_cast<Word>("hello") : FloatBits(values[input]);
    case 11: {
#ifdef FF_FAIL_INSTANTIATE
      return kFail;
#else
      video = *reinterpret_cast<const Video*>(input);
      log.width = video.width;
      log.height = video.height;
      log.bitDepth = video.depth;
      log.orientation = video.orientation;
      ++log.instantiated;
      return 0x1234;
#endif
    }
    case 12:
      if (instance == 0x1234) ++log.deinstantiated;
      return 0;
    case 8: {
      if (instance != 0x1234) return kFail;
      const Set* set = reinterpret_cast<const Set*>(input);
      if (set->index == 1) {
        std::strncpy(log.text, set->text, sizeof log.text - 1);
      } else if (set->index < 4) {
        values[set->index] = set->number;
        log.lastSetIndex = set->index;
        log.lastSetValue = set->number;
      }
      ++log.sets;
      return 0;
    }
    case 9:
      return instance == 0x1234 && input < 4 ? FloatBits(values[input]) : kFail;
    case 7:
      return instance == 0x1234 && input < 4 && input != 1 ? reinterpret_cast<Word>(displays[input]) : kFail;
    case 3: {
      auto* p = reinterpret_cast<uint8_t*>(input);
      for (uint32_t i = 0; i < video.width * video.height; ++i) {
        for (int c = 0; c < 3; ++c) p[4 * i + c] = uint8_t(255 - p[4 * i + c]);
      }
      log.frameGain = values[0];
      ++log.frames;
      return 0;
    }
    default:
      return kFail;
  }
}
#endif
