#pragma once
// The host's service object: the one way plug-ins and sources reach the
// program (device and target, system facts, MIDI controllers and clock, paths,
// textures, sources, shaders, audio analysis). Its operations cross the
// library boundary, so their order below is binding; new operations only
// ever go at the end. Libraries never create or destroy it.
#include <cstdint>
#include <memory>

#include "lv/platform_types.h"

namespace gfx {
class Device;
class Surface;
class VertexShader;
class PixelShader;
class ConstantTable;
class ShaderIncludeHandler;
struct SurfaceDesc;
enum class Format : uint32_t;
enum class Pool;
}  // namespace gfx

namespace audio {
// The sound output device plug-ins may play through.
class SoundDevice;
}  // namespace audio

namespace lv {

class Source;

// Opaque handle of the program's (or a library's) module.
using ModuleHandle = void*;

// One macro definition given to the shader compiler; an array of them ends
// with an entry whose name is null.
struct ShaderMacro {
  const char* name;
  const char* definition;
};

// A request to the shader compile operations.
struct ShaderDesc {
  const char* source = nullptr;   // HLSL text
  uint32_t length = 0;            // its length in bytes
  const ShaderMacro* defines = nullptr;          // or null
  gfx::ShaderIncludeHandler* include = nullptr;  // or null
  const char* entry = nullptr;    // entry-point name
  const char* profile = nullptr;  // null: the device's best profile of the stage
  uint32_t flags = 0;             // gfx::ShaderCompileFlags
  // Receives the compiled shader's constant table when not null.
  std::shared_ptr<gfx::ConstantTable>* constantTable = nullptr;
};

class LorvaneInterface {
 public:
  static constexpr int32_t kSpectrumLength = 1024;
  static constexpr int32_t kNumBands = 6;
  static constexpr int kChannels = 16;
  static constexpr int kControllers = 128;

  virtual WindowHandle GetMainWindow() = 0;
  virtual ModuleHandle GetInstance() = 0;
  // No reference is added to the device or the surface.
  virtual gfx::Device* GetDevice() = 0;
  virtual const gfx::SurfaceDesc* GetBackBufferDesc() = 0;
  virtual audio::SoundDevice* GetDirectSound() = 0;
  // The surface the current note draws into.
  virtual gfx::Surface* GetBackBuffer() = 0;

  virtual bool HasCpuid() = 0;
  virtual bool HasMMX() = 0;
  virtual bool HasCMOV() = 0;
  virtual int32_t GetCpuMHz() = 0;
  virtual int32_t GetMemoryKB() = 0;  // total physical memory

  virtual bool NonPow2Supported() = 0;
  virtual bool RoundToNearestPow2() = 0;
  virtual const char* GetVertexShaderProfile() = 0;
  virtual const char* GetPixelShaderProfile() = 0;

  // Channel 0-15, controller 0-127 (123 and 124: the pitch bend's high and
  // low 7 bits); 0 outside those ranges.
  virtual uint8_t GetController(uint8_t channel, uint8_t controller) = 0;
  // MIDI clock messages since the last start message.
  virtual uint32_t GetMidiClock() = 0;

  // Finds a file that moved with the project being loaded. 0: the path opens
  // as it is (buffer untouched). -1: neither it nor the project folder's file
  // of the same name opens. Otherwise the length of the found path plus its
  // NUL; it was written into `path` only when that is at most bufferLength.
  virtual int32_t ResolveFilePath(char* path, int32_t bufferLength) = 0;
  // 0 counts as a power of two.
  virtual bool IsPowerOfTwo(uint32_t n) = 0;
  // A power of two for a texture that holds n texels along one side.
  virtual uint32_t TextureSize(uint32_t n) = 0;

  // One mip level; Format::Unknown takes the target's format. Null on failure.
  // The caller owns the returned reference.
  virtual gfx::Texture* CreateTexture(uint32_t width, uint32_t height, gfx::Format format, uint32_t usage,
                                      gfx::Pool pool) = 0;
  virtual gfx::Surface* CreateOffscreenSurface(uint32_t width, uint32_t height, gfx::Format format,
                                               gfx::Pool pool) = 0;
  // Copies the target's description (re-read from the surface when refresh)
  // and refreshes the shader profiles.
  virtual void GetTargetDesc(gfx::SurfaceDesc* out, bool refresh) = 0;

  // Lets the user pick a source by file or by name; null when cancelled. The
  // text stays valid until the next call.
  virtual const char* SelectSource(WindowHandle owner, const char* current) = 0;
  // An opened source owned by the caller, or null.
  virtual Source* CreateSource(const char* name, uint8_t option) = 0;

  // A shader owned by the caller, or null; compiler messages are shown to the
  // user.
  virtual gfx::VertexShader* CompileVertexShader(const ShaderDesc* desc) = 0;
  virtual gfx::PixelShader* CompilePixelShader(const ShaderDesc* desc) = 0;

  // Audio analysis of the current frame.
  virtual const float* GetSpectrum() = 0;
  virtual int32_t GetSpectrumLength() = 0;
  virtual bool GetBeat() = 0;
  // Band 0-5; 0 for any other band.
  virtual float GetBandLevel(int32_t band) = 0;
  virtual float GetLevel() = 0;  // band 0
  virtual int32_t GetNumBands() = 0;

 protected:
  LorvaneInterface() = default;
  // Not virtual: libraries never delete the host, and the table keeps
  // exactly the operations above.
  ~LorvaneInterface() = default;
  LorvaneInterface(const LorvaneInterface&) = delete;
  LorvaneInterface& operator=(const LorvaneInterface&) = delete;
};

}  // namespace lv
