#include "platform/audio/audio_log.h"

namespace audio {

sys::LogChannel Log;

}  // namespace audio
