/* One standard parameter, "Level", that sets the grey of every output
   pixel, and one text parameter, "Caption", that the tests read back. */
#include <stdlib.h>
#include <string.h>

#include "ff10.h"

typedef struct {
  VideoInfoStruct video;
  float level;
} Instance;

static PlugInfoStruct info = {1, 0, {'T', 'P', 'E', 'C'}, "Param Echo", 0};
static char caption[64] = "";

FF10_EXPORT const char* paramEchoCaption(void) { return caption; }

FF10_EXPORT plugMainUnion plugMain(uint32_t code, uintptr_t input, uintptr_t instanceId) {
  Instance* instance = (Instance*)instanceId;
  plugMainUnion answer;
  if (ff10_common(code, input, &info, &answer)) return answer;
  switch (code) {
    case FF10_GET_NUM_PARAMETERS:
      return ff10_int(2);
    case FF10_GET_PARAMETER_TYPE:
      return ff10_int(input == 1 ? FF10_TYPE_TEXT : FF10_TYPE_STANDARD);
    case FF10_GET_PARAMETER_NAME:
      return ff10_pointer(input == 0 ? "Level" : "Caption");
    case FF10_GET_PARAMETER_DEFAULT:
      return input == 0 ? ff10_float(0.0f) : ff10_pointer("none");
    case FF10_INSTANTIATE: {
      Instance* made = calloc(1, sizeof *made);
      if (made == NULL) return ff10_int(FF10_FAIL);
      made->video = *(const VideoInfoStruct*)input;
      return ff10_pointer(made);
    }
    case FF10_DEINSTANTIATE:
      free(instance);
      return ff10_int(0);
    case FF10_SET_PARAMETER: {
      const SetParameterStruct* set = (const SetParameterStruct*)input;
      if (set->ParameterNumber == 0) {
        instance->level = set->NewParameterValue;
      } else if (set->ParameterNumber == 1) {
        const char* text = ((const SetTextParameterStruct*)input)->NewParameterText;
        strncpy(caption, text != NULL ? text : "", sizeof caption - 1);
      }
      return ff10_int(0);
    }
    case FF10_GET_PARAMETER:
      return input == 0 ? ff10_float(instance->level) : ff10_int(FF10_FAIL);
    case FF10_PROCESS_FRAME:
      ff10_fill((uint8_t*)input, instance->video.FrameWidth, instance->video.FrameHeight, instance->level);
      return ff10_int(0);
    default:
      return ff10_int(FF10_FAIL);
  }
}
