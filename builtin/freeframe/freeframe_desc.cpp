#include "freeframe/freeframe_desc.h"

#include <cstring>

#include "freeframe/freeframe_plug.h"
#include "freeframe/freeframe_values.h"

namespace ff {

lv::ClassId ClassIdFor(const uint8_t uniqueId[4]) {
  static constexpr uint8_t kTemplate[16] = {0x00, 0x00, 0x00, 0x00, 0xE9, 0x0F, 0x0A, 0x4E,
                                            0x8A, 0x0F, 0xF9, 0xA7, 0x35, 0x58, 0xFA, 0xDE};
  uint8_t bytes[16];
  std::memcpy(bytes, kTemplate, sizeof bytes);
  std::memcpy(bytes, uniqueId, 4);
  lv::ClassId id;
  std::memcpy(&id, bytes, sizeof id);
  return id;
}

FreeFrameDesc::FreeFrameDesc(PlugMainFn entry) : entry_(entry) {
  if (const auto* plugInfo = ResultPointer<PlugInfo>(entry_(kGetInfo, 0, 0))) {
    classId_ = ClassIdFor(plugInfo->uniqueId);
    name_ = FieldText(reinterpret_cast<const char*>(plugInfo->pluginName), "");
  }
  if (const auto* extended = ResultPointer<PlugExtendedInfo>(entry_(kGetExtendedInfo, 0, 0))) {
    description_ = extended->description;
  }
}

const char* FreeFrameDesc::GetDescription() {
  return description_ != nullptr ? description_ : "FreeFrame Plugin";
}

lv::Plug* FreeFrameDesc::Create() { return new FreeFramePlug(entry_, classId_); }

}  // namespace ff
