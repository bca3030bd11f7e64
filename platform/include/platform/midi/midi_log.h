#pragma once
// Where the MIDI input's diagnostic lines go: the program's log by default;
// tests may capture them. Called like printf: midi::Log("...", ...).
#include "platform/sys/log_channel.h"

namespace midi {

extern sys::LogChannel Log;

}  // namespace midi
