#pragma once
// The FreeFrame 1.0 calling interface as this host speaks it: one C entry
// point "plugMain"(function code, input value, instance id) in each plug-in
// library. The interface was defined for 32-bit code, where pointers travel
// in the 32-bit input value and result; here those are pointer-sized so the
// same calls work in a 64-bit process (the numeric values are unchanged).
#include <cstdint>

namespace ff {

using Word = uintptr_t;

extern "C" {
using PlugMainFn = Word (*)(uint32_t functionCode, Word inputValue, Word instanceId);
}

inline constexpr const char* kEntryName = "plugMain";

// A result of all ones in the low 32 bits (and nothing above) is failure.
inline constexpr Word kFail = 0xFFFFFFFFu;
inline constexpr Word kSuccess = 0;

// Instance id the host keeps after a failed instantiation.
inline constexpr Word kFailedInstance = 0xFFFFFFFFu;

enum Function : uint32_t {
  kGetInfo = 0,
  kInitialise = 1,
  kDeInitialise = 2,
  kProcessFrame = 3,
  kGetNumParameters = 4,
  kGetParameterName = 5,
  kGetParameterDefault = 6,
  kGetParameterDisplay = 7,
  kSetParameter = 8,
  kGetParameter = 9,
  kGetPluginCaps = 10,
  kInstantiate = 11,
  kDeInstantiate = 12,
  kGetExtendedInfo = 13,
  kGetParameterType = 15,
};

// getPluginCaps questions.
enum Capability : uint32_t {
  kCap16BitVideo = 0,
  kCap24BitVideo = 1,
  kCap32BitVideo = 2,
  kCapProcessFrameCopy = 3,
  kCapMinimumInputFrames = 10,
  kCapMaximumInputFrames = 11,
  kCapCopyOrInPlace = 15,
};

// getParameterType answer of a text parameter; every other type is numeric.
inline constexpr uint32_t kTextParameter = 100;

// Bit depths and orientations of VideoInfo.
inline constexpr uint32_t kBitDepth32 = 2;
inline constexpr uint32_t kOriginTopLeft = 1;

// Names and parameter texts are 16 characters, not necessarily terminated.
inline constexpr int kNameLength = 16;

struct PlugInfo {
  uint32_t apiMajorVersion;
  uint32_t apiMinorVersion;
  uint8_t uniqueId[4];
  uint8_t pluginName[kNameLength];
  uint32_t pluginType;  // 0 effect, 1 source
};

struct PlugExtendedInfo {
  uint32_t pluginMajorVersion;
  uint32_t pluginMinorVersion;
  const char* description;
  const char* about;
  uint32_t extendedDataSize;
  void* extendedDataBlock;
};

struct VideoInfo {
  uint32_t frameWidth;
  uint32_t frameHeight;
  uint32_t bitDepth;
  uint32_t orientation;
};

// setParameter's argument: a float for numeric parameters, a text pointer
// for text parameters.
struct SetParameter {
  uint32_t index;
  union {
    float number;
    const char* text;
    Word raw;
  } value;
};

// The float a call answers, carried in the low 32 bits of the result.
inline float ResultAsFloat(Word result) {
  const uint32_t bits = uint32_t(result);
  float value;
  __builtin_memcpy(&value, &bits, sizeof value);
  return value;
}

inline Word FloatAsResult(float value) {
  uint32_t bits;
  __builtin_memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace ff
