#pragma once
// The plug-in kind of one accepted FreeFrame library: its name and
// description from the library's info, and a class id made from its unique
// id so projects find the kind again.
#include <string>

#include "freeframe/freeframe_abi.h"
#include "lv/plug_desc.h"

namespace ff {

// {00000000-0FE9-4E0A-8A0F-F9A73558FADE} with the first four bytes replaced
// by the plug-in's unique id, in their stored order.
lv::ClassId ClassIdFor(const uint8_t uniqueId[4]);

class FreeFrameDesc final : public lv::PlugDesc {
 public:
  // Reads getInfo and getExtendedInfo of `entry`.
  explicit FreeFrameDesc(PlugMainFn entry);

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &classId_; }
  const char* GetCategory() override { return "FreeFrame"; }
  const char* GetName() override { return name_.c_str(); }
  const char* GetDescription() override;
  lv::Plug* Create() override;

  PlugMainFn Entry() const { return entry_; }

 private:
  PlugMainFn entry_;
  lv::ClassId classId_{};
  std::string name_;
  const char* description_ = nullptr;  // the library's own text, not copied
};

}  // namespace ff
