#pragma once
// A host service object for plug-in tests without a program: every
// operation answers "nothing" unless a test sets the hook it needs, and the
// calls that matter are recorded.
#include <functional>
#include <string>
#include <vector>

#include "lv/lorvane_interface.h"
#include "platform/gfx/resources.h"

class TestHost final : public lv::LorvaneInterface {
 public:
  struct ResolveCall {
    std::string path;
    int32_t bufferLength;
  };

  // Hooks.
  std::function<const char*(lv::WindowHandle owner, const char* current)> selectSource;
  // Gets the path as stored; returns the text to write back or "" for none.
  std::function<std::string(const std::string& path)> resolvePath;

  // Records.
  std::vector<ResolveCall> resolveCalls;
  std::vector<std::string> selectSourceCurrents;  // "(null)" for no current name

  gfx::SurfaceDesc target;

  lv::WindowHandle GetMainWindow() override { return nullptr; }
  lv::ModuleHandle GetInstance() override { return nullptr; }
  gfx::Device* GetDevice() override { return nullptr; }
  const gfx::SurfaceDesc* GetBackBufferDesc() override { return &target; }
  audio::SoundDevice* GetDirectSound() override { return nullptr; }
  gfx::Surface* GetBackBuffer() override { return nullptr; }
  bool HasCpuid() override { return false; }
  bool HasMMX() override { return false; }
  bool HasCMOV() override { return false; }
  int32_t GetCpuMHz() override { return 0; }
  int32_t GetMemoryKB() override { return 0; }
  bool NonPow2Supported() override { return true; }
  bool RoundToNearestPow2() override { return true; }
  const char* GetVertexShaderProfile() override { return "vs_3_0"; }
  const char* GetPixelShaderProfile() override { return "ps_3_0"; }
  uint8_t GetController(uint8_t, uint8_t) override { return 0; }
  uint32_t GetMidiClock() override { return 0; }
  int32_t ResolveFilePath(char* path, int32_t bufferLength) override {
    resolveCalls.push_back({path, bufferLength});
    if (!resolvePath) return 0;
    const std::string found = resolvePath(path);
    if (found.empty()) return -1;
    const int32_t needed = int32_t(found.size() + 1);
    if (needed <= bufferLength) found.copy(path, found.size()), path[found.size()] = '\0';
    return needed;
  }
  bool IsPowerOfTwo(uint32_t n) override { return ((n - 1) & n) == 0; }
  uint32_t TextureSize(uint32_t n) override { return n; }
  gfx::Texture* CreateTexture(uint32_t, uint32_t, gfx::Format, uint32_t, gfx::Pool) override { return nullptr; }
  gfx::Surface* CreateOffscreenSurface(uint32_t, uint32_t, gfx::Format, gfx::Pool) override { return nullptr; }
  void GetTargetDesc(gfx::SurfaceDesc* out, bool) override { *out = target; }
  const char* SelectSource(lv::WindowHandle owner, const char* current) override {
    selectSourceCurrents.push_back(current != nullptr ? current : "(null)");
    return selectSource ? selectSource(owner, current) : nullptr;
  }
  lv::Source* CreateSource(const char*, uint8_t) override { return nullptr; }
  gfx::VertexShader* CompileVertexShader(const lv::ShaderDesc*) override { return nullptr; }
  gfx::PixelShader* CompilePixelShader(const lv::ShaderDesc*) override { return nullptr; }
  const float* GetSpectrum() override { return nullptr; }
  int32_t GetSpectrumLength() override { return kSpectrumLength; }
  bool GetBeat() override { return false; }
  float GetBandLevel(int32_t) override { return 0; }
  float GetLevel() override { return 0; }
  int32_t GetNumBands() override { return kNumBands; }
};
