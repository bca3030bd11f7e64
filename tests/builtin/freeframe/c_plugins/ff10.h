/* The FreeFrame 1.0 interface as a plug-in written in C sees it, declared
   here on its own so that the host's header cannot hide a disagreement.
   64-bit build: the input value, the instance id and the result are
   pointer-sized; numbers still travel in their low 32 bits. */
#ifndef FF10_H
#define FF10_H

#include <stdint.h>

#define FF10_EXPORT __attribute__((visibility("default")))
#define FF10_FAIL 0xFFFFFFFFu

enum {
  FF10_GET_INFO = 0,
  FF10_INITIALISE = 1,
  FF10_DEINITIALISE = 2,
  FF10_PROCESS_FRAME = 3,
  FF10_GET_NUM_PARAMETERS = 4,
  FF10_GET_PARAMETER_NAME = 5,
  FF10_GET_PARAMETER_DEFAULT = 6,
  FF10_GET_PARAMETER_DISPLAY = 7,
  FF10_SET_PARAMETER = 8,
  FF10_GET_PARAMETER = 9,
  FF10_GET_PLUGIN_CAPS = 10,
  FF10_INSTANTIATE = 11,
  FF10_DEINSTANTIATE = 12,
  FF10_GET_EXTENDED_INFO = 13,
  FF10_GET_PARAMETER_TYPE = 15
};

enum { FF10_CAP_32BIT_VIDEO = 2, FF10_CAP_MAXIMUM_INPUT_FRAMES = 11 };
enum { FF10_TYPE_STANDARD = 0, FF10_TYPE_TEXT = 100 };

typedef struct {
  uint32_t APIMajorVersion;
  uint32_t APIMinorVersion;
  uint8_t PluginUniqueID[4];
  uint8_t PluginName[16]; /* not terminated when all 16 are used */
  uint32_t PluginType;
} PlugInfoStruct;

typedef struct {
  uint32_t FrameWidth;
  uint32_t FrameHeight;
  uint32_t BitDepth;
  uint32_t Orientation;
} VideoInfoStruct;

/* What setParameter points to for a standard parameter. */
typedef struct {
  uint32_t ParameterNumber;
  float NewParameterValue;
} SetParameterStruct;

/* ... and for a text parameter in a 64-bit process: the pointer sits
   naturally aligned after the number. */
typedef struct {
  uint32_t ParameterNumber;
  uint32_t Unused;
  const char* NewParameterText;
} SetTextParameterStruct;

/* plugMain's answer. A plug-in writes only the member it means, so a
   number leaves the upper half of the register as it was. */
typedef union {
  uint32_t ivalue;
  float fvalue;
  const void* pvalue;
  uintptr_t whole;
} plugMainUnion;

static inline plugMainUnion ff10_int(uint32_t value) {
  plugMainUnion r;
  r.whole = 0;
  r.ivalue = value;
  return r;
}

static inline plugMainUnion ff10_float(float value) {
  plugMainUnion r;
  r.whole = 0;
  r.fvalue = value;
  return r;
}

static inline plugMainUnion ff10_pointer(const void* value) {
  plugMainUnion r;
  r.pvalue = value;
  return r;
}

/* Every pixel's colour channels (B, G, R; alpha kept) := level x 255. */
static inline void ff10_fill(uint8_t* pixels, uint32_t width, uint32_t height, float level) {
  const uint8_t value = (uint8_t)(level * 255.0f + 0.5f);
  for (uint32_t i = 0; i < width * height; ++i) {
    pixels[4 * i + 0] = value;
    pixels[4 * i + 1] = value;
    pixels[4 * i + 2] = value;
  }
}

/* The answers every test effect gives alike: its info record, initialise and
   deinitialise, and the capabilities (32-bit video, one input frame).
   Nonzero when `code` is one of them. */
static inline int ff10_common(uint32_t code, uintptr_t input, const PlugInfoStruct* info, plugMainUnion* answer) {
  switch (code) {
    case FF10_GET_INFO:
      *answer = info != 0 ? ff10_pointer(info) : ff10_int(FF10_FAIL);
      return 1;
    case FF10_INITIALISE:
    case FF10_DEINITIALISE:
      *answer = ff10_int(0);
      return 1;
    case FF10_GET_PLUGIN_CAPS:
      *answer = ff10_int(input == FF10_CAP_32BIT_VIDEO || input == FF10_CAP_MAXIMUM_INPUT_FRAMES ? 1 : 0);
      return 1;
    default:
      return 0;
  }
}

FF10_EXPORT plugMainUnion plugMain(uint32_t functionCode, uintptr_t inputValue, uintptr_t instanceId);

#endif
