#pragma once
// The program's host service object: the LorvaneInterface every plug-in and
// source instance calls, over the graphics layer, the registry, the Performer
// and the audio input. Its fields are filled by their owners: start-up and the
// display setup (window, module, device, sound, the power-of-two flags), the
// frame loop (the current target surface), the Performer (controllers and
// clock, the performance being loaded) and the audio input.
#include <atomic>
#include <cstdint>
#include <string>

#include "host/source_dialog.h"
#include "host/system_info.h"
#include "lv/lorvane_interface.h"
#include "platform/gfx/resources.h"

namespace lv {

class AudioInput;
class MidiControllerTable;
class Performer;
class PlugRegistry;

class LorvaneHost final : public LorvaneInterface {
 public:
  static constexpr int kProfileRoom = 256;
  // Longest path ResolveFilePath builds in the project's folder.
  static constexpr int kMaxResolvedPath = 511;

  using SystemQuery = uint32_t (*)(SystemInfo* info);

  // Clears every field and fills the system facts from `query`.
  explicit LorvaneHost(SystemQuery query = QuerySystemInfo);
  LorvaneHost(const LorvaneHost&) = delete;
  LorvaneHost& operator=(const LorvaneHost&) = delete;
  ~LorvaneHost() = default;

  // --- The operations ------------------------------------------------------
  WindowHandle GetMainWindow() override { return mainWindow; }
  ModuleHandle GetInstance() override { return instance; }
  gfx::Device* GetDevice() override { return device.load(); }
  const gfx::SurfaceDesc* GetBackBufferDesc() override { return &targetDesc; }
  audio::SoundDevice* GetDirectSound() override { return directSound; }
  gfx::Surface* GetBackBuffer() override { return targetSurface.load(); }
  bool HasCpuid() override { return hasCpuid; }
  bool HasMMX() override { return hasMMX; }
  bool HasCMOV() override { return hasCMOV; }
  int32_t GetCpuMHz() override { return cpuMHz; }
  int32_t GetMemoryKB() override { return memoryKB; }
  bool NonPow2Supported() override { return nonPow2Supported.load(); }
  bool RoundToNearestPow2() override { return roundToNearestPow2.load(); }
  const char* GetVertexShaderProfile() override { return vertexShaderProfile; }
  const char* GetPixelShaderProfile() override { return pixelShaderProfile; }
  uint8_t GetController(uint8_t channel, uint8_t controller) override;
  uint32_t GetMidiClock() override;
  int32_t ResolveFilePath(char* path, int32_t bufferLength) override;
  bool IsPowerOfTwo(uint32_t n) override;
  uint32_t TextureSize(uint32_t n) override;
  gfx::Texture* CreateTexture(uint32_t width, uint32_t height, gfx::Format format, uint32_t usage,
                              gfx::Pool pool) override;
  gfx::Surface* CreateOffscreenSurface(uint32_t width, uint32_t height, gfx::Format format,
                                       gfx::Pool pool) override;
  void GetTargetDesc(gfx::SurfaceDesc* out, bool refresh) override;
  const char* SelectSource(WindowHandle owner, const char* current) override;
  Source* CreateSource(const char* name, uint8_t option) override;
  gfx::VertexShader* CompileVertexShader(const ShaderDesc* desc) override;
  gfx::PixelShader* CompilePixelShader(const ShaderDesc* desc) override;
  const float* GetSpectrum() override;
  int32_t GetSpectrumLength() override { return kSpectrumLength; }
  bool GetBeat() override;
  float GetBandLevel(int32_t band) override;
  float GetLevel() override { return GetBandLevel(0); }
  int32_t GetNumBands() override { return kNumBands; }

  // --- Connections --------------------------------------------------------
  // The dialog SelectSource runs (the plain open-file dialog until replaced).
  void SetSourceDialog(SourceDialog dialog) { sourceDialog_ = std::move(dialog); }

  // --- Fields, written by their owners ------------------------------------
  WindowHandle mainWindow = nullptr;   // owner of the host's message boxes
  ModuleHandle instance = nullptr;
  std::atomic<gfx::Device*> device{nullptr};         // no reference held
  audio::SoundDevice* directSound = nullptr;
  std::atomic<gfx::Surface*> targetSurface{nullptr}; // no reference held
  gfx::SurfaceDesc targetDesc;
  bool hasCpuid = false;
  bool hasMMX = false;
  bool hasCMOV = false;
  int32_t cpuMHz = 0;
  int32_t memoryKB = 0;
  std::atomic<bool> nonPow2Supported{false};
  std::atomic<bool> roundToNearestPow2{true};
  char vertexShaderProfile[kProfileRoom] = {};
  char pixelShaderProfile[kProfileRoom] = {};

  // Where the controllers, the clock and the project file come from.
  std::atomic<const Performer*> performer{nullptr};
  // Audio analysis; without one every audio value reads 0.
  std::atomic<const AudioInput*> audioInput{nullptr};
  // Where CreateSource and SelectSource find source kinds.
  std::atomic<PlugRegistry*> registry{nullptr};

 private:
  // Compiles for either stage; null code on failure (already reported).
  struct Compiled;
  Compiled Compile(const ShaderDesc* desc, const char* bestProfile, const char* errorCaption, bool timed);
  std::string ProjectFile() const;

  SourceDialog sourceDialog_ = RunPlainSourceDialog;
  std::string selectedSource_;
};

// The program's one host object, made on first use.
LorvaneHost& TheLorvaneHost();

}  // namespace lv
