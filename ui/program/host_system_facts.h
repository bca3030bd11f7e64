#pragma once
// System Info reads the machine's facts from the host object.
#include "host/lorvane_host.h"
#include "main_dialog/main_dialog_services.h"

namespace app {

class HostSystemFacts final : public ui::SystemFacts {
 public:
  explicit HostSystemFacts(lv::LorvaneHost& host) : host_(host) {}
  int CpuMHz() override { return host_.GetCpuMHz(); }
  bool HasMmx() override { return host_.HasMMX(); }
  std::string VertexShaderProfile() override { return host_.GetVertexShaderProfile(); }
  std::string PixelShaderProfile() override { return host_.GetPixelShaderProfile(); }
  int MemoryKB() override { return host_.GetMemoryKB(); }

 private:
  lv::LorvaneHost& host_;
};

}  // namespace app
