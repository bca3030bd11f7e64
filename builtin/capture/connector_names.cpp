#include "capture/connector_names.h"

namespace builtin {

const char* ConnectorTypeName(int32_t type) {
  static const char* const kVideo[] = {"Video Tuner",  "Video Composite",       "S-Video",
                                       "Video RGB",    "Video YRYBY",           "Video Serial Digital",
                                       "Video Parallel Digital", "Video SCSI",  "Video AUX",
                                       "Video 1394",   "Video USB",             "Video Decoder",
                                       "Video Encoder"};
  static const char* const kAudio[] = {"Audio Tuner", "Audio Line", "Audio Microphone", "Audio AES/EBU Digital",
                                       "Audio S/PDIF", "Audio SCSI", "Audio AUX",       "Audio 1394",
                                       "Audio USB",   "Audio Decoder"};
  if (type >= 1 && type <= 13) return kVideo[type - 1];
  if (type >= 0x1000 && type <= 0x1009) return kAudio[type - 0x1000];
  return "Unknown Type";
}

}  // namespace builtin
