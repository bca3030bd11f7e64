#pragma once
// The FreeFrame 1.0 calling interface as this host speaks it: one C entry
// point "plugMain"(function code, input value, instance id) in each plug-in
// library. The interface was defined for 32-bit code, where pointers travel
// in the 32-bit input value and result; here those are pointer-sized so the
// same calls work in a 64-bit process (the numeric values are unchanged).
#include <cstddef>
#include <cstdint>

namespace ff {

using Word = uintptr_t;

extern "C" {
using PlugMainFn = Word (*)(uint32_t functionCode, Word inputValue, Word instanceId);
}

inline constexpr const char* kEntryName = "plugMain";

// A result of all ones in the low 32 bits is failure.
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

// setParameter's argument for a numeric parameter: the value is a float in
// the 4 bytes after the index, the layout every FreeFrame 1.0 plug-in reads.
struct SetParameter {
  uint32_t index;
  float value;
};
static_assert(sizeof(SetParameter) == 8);

// setParameter's argument for a text parameter. A pointer does not fit the 4
// bytes after the index in a 64-bit process, so it travels as 64-bit
// FreeFrame hosts pass any pointer value: pointer-sized and naturally aligned,
// at offset 8. The 4 bytes between are zero, so a plug-in that looks for a
// 32-bit pointer after the index finds null rather than half an address.
struct SetTextParameter {
  uint32_t index;
  uint32_t unused;
  const char* text;
};
static_assert(sizeof(void*) != 8 || (sizeof(SetTextParameter) == 16 && offsetof(SetTextParameter, text) == 8));

// A 1.0 plug-in fills only the low 32 bits of a status, count or float
// answer; the rest is whatever its register held. Pointers (info records,
// texts) and instance ids use the whole width, but a failed one may carry
// the failure value in its low half only, so that half decides failure.
inline uint32_t ResultWord(Word result) { return uint32_t(result); }
inline bool Failed(Word result) { return ResultWord(result) == uint32_t(kFail); }

// A pointer answer, or null when the call failed.
template <typename T>
const T* ResultPointer(Word result) {
  return Failed(result) ? nullptr : reinterpret_cast<const T*>(result);
}

// The float a call answers, carried in the low 32 bits of the result.
inline float ResultAsFloat(Word result) {
  const uint32_t bits = ResultWord(result);
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
