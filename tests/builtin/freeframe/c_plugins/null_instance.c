/* A plug-in that cannot allocate its instance: instantiate answers null.
   It counts every call that names an instance, which must be none. */
#include "ff10.h"

static PlugInfoStruct info = {1, 0, {'T', 'N', 'U', 'L'}, "Null Instance", 0};
static int instanceCalls = 0;

FF10_EXPORT int nullInstanceCalls(void) { return instanceCalls; }

FF10_EXPORT plugMainUnion plugMain(uint32_t code, uintptr_t input, uintptr_t instanceId) {
  (void)instanceId;
  plugMainUnion answer;
  if (ff10_common(code, input, &info, &answer)) return answer;
  switch (code) {
    case FF10_GET_NUM_PARAMETERS:
      return ff10_int(1);
    case FF10_GET_PARAMETER_TYPE:
      return ff10_int(FF10_TYPE_STANDARD);
    case FF10_GET_PARAMETER_NAME:
      return ff10_pointer("Level");
    case FF10_GET_PARAMETER_DEFAULT:
      return ff10_float(0.5f);
    case FF10_INSTANTIATE:
      return ff10_pointer(0);
    case FF10_PROCESS_FRAME:
    case FF10_SET_PARAMETER:
    case FF10_GET_PARAMETER:
    case FF10_GET_PARAMETER_DISPLAY:
    case FF10_DEINSTANTIATE:
      ++instanceCalls;
      return ff10_int(FF10_FAIL);
    default:
      return ff10_int(FF10_FAIL);
  }
}
