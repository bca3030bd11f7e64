#include "platform/midi/midi_log.h"

namespace midi {

sys::LogChannel Log;

}  // namespace midi
