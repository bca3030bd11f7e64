#include "avi/avi_log.h"

namespace lv {

sys::LogChannel AviLog;

}  // namespace lv
