/* Every status, count and number it answers carries garbage in the upper
   half of the result, as a 1.0 plug-in that writes only the 32-bit member
   of its answer leaves it. Pointers and the instance are whole. */
#include <stdlib.h>

#include "ff10.h"

typedef struct {
  VideoInfoStruct video;
  float level;
} Instance;

static PlugInfoStruct info = {1, 0, {'T', 'G', 'R', 'B'}, "High Garbage", 0};
static int frames = 0;

FF10_EXPORT int highGarbageFrames(void) { return frames; }

static plugMainUnion dirty(plugMainUnion answer) {
  plugMainUnion r;
  r.whole = (uintptr_t)0xA5A5A5A5u << 32;
  r.ivalue = answer.ivalue;
  return r;
}

FF10_EXPORT plugMainUnion plugMain(uint32_t code, uintptr_t input, uintptr_t instanceId) {
  Instance* instance = (Instance*)instanceId;
  switch (code) {
    case FF10_GET_INFO:
      return ff10_pointer(&info);
    case FF10_INITIALISE:
    case FF10_DEINITIALISE:
      return dirty(ff10_int(0));
    case FF10_GET_PLUGIN_CAPS:
      return dirty(ff10_int(input == FF10_CAP_32BIT_VIDEO || input == FF10_CAP_MAXIMUM_INPUT_FRAMES ? 1 : 0));
    case FF10_GET_NUM_PARAMETERS:
      return dirty(ff10_int(1));
    case FF10_GET_PARAMETER_TYPE:
      return dirty(ff10_int(FF10_TYPE_STANDARD));
    case FF10_GET_PARAMETER_NAME:
      return ff10_pointer("Level");
    case FF10_GET_PARAMETER_DEFAULT:
      return dirty(ff10_float(0.25f));
    case FF10_INSTANTIATE: {
      Instance* made = calloc(1, sizeof *made);
      if (made == NULL) return dirty(ff10_int(FF10_FAIL));
      made->video = *(const VideoInfoStruct*)input;
      made->level = 0.25f;
      return ff10_pointer(made);
    }
    case FF10_DEINSTANTIATE:
      free(instance);
      return dirty(ff10_int(0));
    case FF10_SET_PARAMETER:
      instance->level = ((const SetParameterStruct*)input)->NewParameterValue;
      return dirty(ff10_int(0));
    case FF10_GET_PARAMETER:
      return dirty(ff10_float(instance->level));
    case FF10_PROCESS_FRAME:
      ff10_fill((uint8_t*)input, instance->video.FrameWidth, instance->video.FrameHeight, instance->level);
      ++frames;
      return dirty(ff10_int(0));
    default:
      return dirty(ff10_int(FF10_FAIL));
  }
}
