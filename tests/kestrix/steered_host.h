#pragma once
// The program's host object with the MIDI clock and the audio spectrum set by
// the test; everything else is passed on to the real host.
#include <vector>

#include "host/lorvane_host.h"

class SteeredHost final : public lv::LorvaneInterface {
 public:
  explicit SteeredHost(lv::LorvaneHost& real) : real_(real) {}

  uint32_t midiClock = 0;
  std::vector<float> spectrum = std::vector<float>(kSpectrumLength, 0.0f);

  uint32_t GetMidiClock() override { return midiClock; }
  const float* GetSpectrum() override { return spectrum.data(); }
  int32_t GetSpectrumLength() override { return int32_t(spectrum.size()); }

  lv::WindowHandle GetMainWindow() override { return real_.GetMainWindow(); }
  lv::ModuleHandle GetInstance() override { return real_.GetInstance(); }
  gfx::Device* GetDevice() override { return real_.GetDevice(); }
  const gfx::SurfaceDesc* GetBackBufferDesc() override { return real_.GetBackBufferDesc(); }
  audio::SoundDevice* GetDirectSound() override { return real_.GetDirectSound(); }
  gfx::Surface* GetBackBuffer() override { return real_.GetBackBuffer(); }
  bool HasCpuid() override { return real_.HasCpuid(); }
  bool HasMMX() override { return real_.HasMMX(); }
  bool HasCMOV() override { return real_.HasCMOV(); }
  int32_t GetCpuMHz() override { return real_.GetCpuMHz(); }
  int32_t GetMemoryKB() override { return real_.GetMemoryKB(); }
  bool NonPow2Supported() override { return real_.NonPow2Supported(); }
  bool RoundToNearestPow2() override { return real_.RoundToNearestPow2(); }
  const char* GetVertexShaderProfile() override { return real_.GetVertexShaderProfile(); }
  const char* GetPixelShaderProfile() override { return real_.GetPixelShaderProfile(); }
  uint8_t GetController(uint8_t channel, uint8_t controller) override {
    return real_.GetController(channel, controller);
  }
  int32_t ResolveFilePath(char* path, int32_t length) override { return real_.ResolveFilePath(path, length); }
  bool IsPowerOfTwo(uint32_t n) override { return real_.IsPowerOfTwo(n); }
  uint32_t TextureSize(uint32_t n) override { return real_.TextureSize(n); }
  gfx::Texture* CreateTexture(uint32_t w, uint32_t h, gfx::Format f, uint32_t usage, gfx::Pool pool) override {
    return real_.CreateTexture(w, h, f, usage, pool);
  }
  gfx::Surface* CreateOffscreenSurface(uint32_t w, uint32_t h, gfx::Format f, gfx::Pool pool) override {
    return real_.CreateOffscreenSurface(w, h, f, pool);
  }
  void GetTargetDesc(gfx::SurfaceDesc* out, bool refresh) override { real_.GetTargetDesc(out, refresh); }
  const char* SelectSource(lv::WindowHandle owner, const char* current) override {
    return real_.SelectSource(owner, current);
  }
  lv::Source* CreateSource(const char* name, uint8_t option) override { return real_.CreateSource(name, option); }
  gfx::VertexShader* CompileVertexShader(const lv::ShaderDesc* desc) override {
    return real_.CompileVertexShader(desc);
  }
  gfx::PixelShader* CompilePixelShader(const lv::ShaderDesc* desc) override { return real_.CompilePixelShader(desc); }
  bool GetBeat() override { return real_.GetBeat(); }
  float GetBandLevel(int32_t band) override { return real_.GetBandLevel(band); }
  float GetLevel() override { return real_.GetLevel(); }
  int32_t GetNumBands() override { return real_.GetNumBands(); }

 private:
  lv::LorvaneHost& real_;
};
