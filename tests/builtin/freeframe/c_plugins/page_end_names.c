/* Its name, its parameter's name and that parameter's display text each
   fill all 16 characters without a terminator and end exactly where a
   readable page ends: the next page is not readable. */
#include <stddef.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "ff10.h"

typedef struct {
  VideoInfoStruct video;
} Instance;

static Instance instance;
static const PlugInfoStruct* info;
static const char* parameterName;
static const char* display;

/* `size` bytes copied so that their last byte is the last readable one. */
static void* at_page_end(const void* bytes, size_t size) {
  const size_t page = (size_t)sysconf(_SC_PAGESIZE);
  uint8_t* pages = mmap(NULL, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return NULL;
  uint8_t* place = pages + page - size;
  memcpy(place, bytes, size);
  mprotect(pages + page, page, PROT_NONE);
  return place;
}

static void make_fields(void) {
  if (info != NULL) return;
  PlugInfoStruct whole = {1, 0, {'T', 'E', 'D', 'G'}, {0}, 0};
  memcpy(whole.PluginName, "SixteenCharName!", 16);
  /* The record ends with its name: the fields after it are never read. */
  info = at_page_end(&whole, offsetof(PlugInfoStruct, PluginName) + 16);
  parameterName = at_page_end("ParameterNameXYZ", 16);
  display = at_page_end("DisplayText16chr", 16);
}

FF10_EXPORT plugMainUnion plugMain(uint32_t code, uintptr_t input, uintptr_t instanceId) {
  (void)instanceId;
  make_fields();
  plugMainUnion answer;
  if (ff10_common(code, input, info, &answer)) return answer;
  switch (code) {
    case FF10_DEINSTANTIATE:
    case FF10_SET_PARAMETER:
    case FF10_PROCESS_FRAME:
      return ff10_int(0);
    case FF10_GET_NUM_PARAMETERS:
      return ff10_int(1);
    case FF10_GET_PARAMETER_TYPE:
      return ff10_int(FF10_TYPE_STANDARD);
    case FF10_GET_PARAMETER_NAME:
      return ff10_pointer(parameterName);
    case FF10_GET_PARAMETER_DEFAULT:
    case FF10_GET_PARAMETER:
      return ff10_float(0.5f);
    case FF10_GET_PARAMETER_DISPLAY:
      return ff10_pointer(display);
    case FF10_INSTANTIATE:
      instance.video = *(const VideoInfoStruct*)input;
      return ff10_pointer(&instance);
    default:
      return ff10_int(FF10_FAIL);
  }
}
