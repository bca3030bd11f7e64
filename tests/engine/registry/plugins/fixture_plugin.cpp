// One source for the small plug-in libraries the loader is tried against;
// each library is this file built with a different FIXTURE_* choice.
#include "lv/plug_desc.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class FixtureKind : public lv::PlugDesc {
 public:
  FixtureKind(const char* name, uint8_t idByte) : name_(name), id_{0x4C564658, 0x5445, 0x5354, {idByte}} {}
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Fixture"; }
  const char* GetName() override { return name_; }
  const char* GetDescription() override { return name_; }
  lv::Plug* Create() override { return nullptr; }

 private:
  const char* name_;
  lv::ClassId id_;
};

FixtureKind first(FIXTURE_LIBRARY " one", 1);
FixtureKind second(FIXTURE_LIBRARY " two", 2);

}  // namespace

#ifndef FIXTURE_NO_EXPORTS
EXPORT int lvpGetVersion() { return FIXTURE_VERSION; }
EXPORT int lvpGetNumPlugs() { return 2; }
#ifndef FIXTURE_MISSING_DESC
EXPORT lv::PlugDesc* lvpGetPlugDesc(int i) {
#ifdef FIXTURE_NULL_FIRST
  if (i == 0) return nullptr;
#endif
  return i == 0 ? &first : i == 1 ? &second : nullptr;
}
#endif
#endif
