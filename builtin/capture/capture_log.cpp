#include "capture/capture_log.h"

namespace builtin {

sys::LogChannel CaptureLog;

}  // namespace builtin
