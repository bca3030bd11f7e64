#include "host/lorvane_host.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "files/regular_file.h"
#include "lv/source.h"
#include "lv/text.h"
#include "modulation/audio_input.h"
#include "modulation/midi_controller_table.h"
#include "performer/performer.h"
#include "platform/gfx/caps.h"
#include "platform/gfx/device.h"
#include "platform/gfx/shader_compiler.h"
#include "platform/sys/clock.h"
#include "platform/sys/log.h"
#include "platform/window/message_box.h"
#include "platform/window/ui_thread.h"
#include "registry/plug_registry.h"

namespace lv {

namespace {

void CopyProfile(char (&room)[LorvaneHost::kProfileRoom], const char* profile) {
  std::snprintf(room, sizeof room, "%s", profile);
}

// The box goes up where the user interface lives. Elsewhere (the render
// thread compiles inside a frame, holding the frame lock) it is only queued,
// so the caller never waits for the user.
void ShowCompilerMessages(const std::string& messages, WindowHandle owner, const char* caption) {
  std::fprintf(stderr, "%s\n", messages.c_str());
  sys::Log("%s: %s", caption, messages.c_str());
  window::MessageBoxRequest request;
  request.owner = static_cast<window::WindowHandle>(owner);
  request.text = messages;
  request.caption = caption;
  request.icon = window::MessageBoxIcon::kError;
  if (window::IsUiThread()) {
    window::ShowMessageBox(request);
  } else {
    window::PostMessageBox(std::move(request));
  }
}

}  // namespace

struct LorvaneHost::Compiled {
  std::shared_ptr<const gfx::ShaderCode> code;
};

LorvaneHost::LorvaneHost(SystemQuery query) {
  sys::Log("LorvaneInterface Constructor");
  sys::Log("Querying system information");
  SystemInfo info;
  if (query != nullptr) query(&info);
  hasCpuid = (info.features & SystemInfo::kFeatureCpuid) != 0;
  hasMMX = (info.features & SystemInfo::kFeatureMmx) != 0;
  hasCMOV = (info.features & SystemInfo::kFeatureCmov) != 0;
  cpuMHz = info.cpuMHz;
  memoryKB = static_cast<int32_t>(info.physicalKB > 0x7FFFFFFFu ? 0x7FFFFFFFu : info.physicalKB);
  sys::Log("LorvaneInterface Constructor finished");
}

uint8_t LorvaneHost::GetController(uint8_t channel, uint8_t controller) {
  const Performer* source = performer.load();
  if (source == nullptr || channel >= kChannels || controller >= kControllers) return 0;
  return source->Controllers().Get(channel, controller);
}

uint32_t LorvaneHost::GetMidiClock() {
  const Performer* source = performer.load();
  return source != nullptr ? source->Controllers().Clock() : 0;
}

std::string LorvaneHost::ProjectFile() const {
  const Performer* source = performer.load();
  if (source == nullptr) return {};
  const Performance* loading = source->PerformanceBeingLoaded();
  return loading != nullptr ? loading->name.CStr() : "";
}

int32_t LorvaneHost::ResolveFilePath(char* path, int32_t bufferLength) {
  if (path == nullptr) return -1;
  if (IsReadableFile(path)) return 0;

  const std::string project = ProjectFile();
  if (project.empty()) return -1;
  const char* projectFilePart = FileNamePart(project.c_str());
  std::string candidate = project.substr(0, static_cast<size_t>(projectFilePart - project.c_str()));
  candidate += FileNamePart(path);
  if (candidate.size() > static_cast<size_t>(kMaxResolvedPath)) return -1;
  if (!IsReadableFile(candidate.c_str())) return -1;

  const auto needed = static_cast<int32_t>(candidate.size() + 1);
  // A path that does not fit is not written at all: a cut-off path in the
  // caller's buffer would look like a found file.
  if (bufferLength >= needed) std::memcpy(path, candidate.c_str(), candidate.size() + 1);
  return needed;
}

bool LorvaneHost::IsPowerOfTwo(uint32_t n) { return ((n - 1) & n) == 0; }

uint32_t LorvaneHost::TextureSize(uint32_t n) {
  if (IsPowerOfTwo(n)) return n;
  uint32_t above = n;
  above |= above >> 1;
  above |= above >> 2;
  above |= above >> 4;
  above |= above >> 8;
  above |= above >> 16;
  const uint32_t below = (above >> 1) + 1;
  // Beyond 2^31 the power above does not fit: the one below is the answer.
  if (above == 0xFFFFFFFFu) return below;
  above += 1;
  if (!RoundToNearestPow2()) return above;
  return above - n < n - below ? above : below;
}

gfx::Texture* LorvaneHost::CreateTexture(uint32_t width, uint32_t height, gfx::Format format, uint32_t usage,
                                         gfx::Pool pool) {
  gfx::Device* target = device.load();
  if (target == nullptr) return nullptr;
  if (format == gfx::Format::Unknown) format = targetDesc.format;
  gfx::Texture* texture = nullptr;
  if (gfx::Failed(target->CreateTexture(width, height, 1, usage, format, pool, &texture))) return nullptr;
  return texture;
}

gfx::Surface* LorvaneHost::CreateOffscreenSurface(uint32_t width, uint32_t height, gfx::Format format,
                                                  gfx::Pool pool) {
  gfx::Device* target = device.load();
  if (target == nullptr) return nullptr;
  if (format == gfx::Format::Unknown) format = targetDesc.format;
  gfx::Surface* surface = nullptr;
  if (gfx::Failed(target->CreateOffscreenPlainSurface(width, height, format, pool, &surface))) return nullptr;
  return surface;
}

void LorvaneHost::GetTargetDesc(gfx::SurfaceDesc* out, bool refresh) {
  sys::Log("Getting surface description");
  gfx::Surface* surface = targetSurface.load();
  if (refresh && surface != nullptr) surface->GetDesc(&targetDesc);
  sys::Log("Got surface description");
  if (out != nullptr) *out = targetDesc;

  sys::Log("Getting vertex shader profile");
  gfx::DeviceCaps caps;
  gfx::Device* current = device.load();
  const bool haveCaps = current != nullptr && gfx::Succeeded(current->GetDeviceCaps(&caps));
  const char* vertex = haveCaps ? gfx::VertexShaderProfile(caps) : nullptr;
  if (vertex != nullptr) {
    CopyProfile(vertexShaderProfile, vertex);
  } else {
    sys::Log("Vertex shader profile = null");
  }
  const char* pixel = haveCaps ? gfx::PixelShaderProfile(caps) : nullptr;
  if (pixel != nullptr) {
    CopyProfile(pixelShaderProfile, pixel);
  } else {
    sys::Log("Pixel shader profile = null");
  }
}

const char* LorvaneHost::SelectSource(WindowHandle owner, const char* current) {
  const std::string currentName = current != nullptr ? current : "";
  PlugRegistry* kinds = registry.load();

  SourceDialogRequest request;
  request.files.owner = static_cast<window::WindowHandle>(owner);
  request.files.title = "Select a source";
  request.files.filter = kinds != nullptr ? kinds->BuildSourceFilter() : std::string(1, '\0');
  request.files.filterIndex = 1;
  request.files.fileMustExist = true;

  // A name of a source that is not a file starts the dialog without a file
  // name and is preselected among the other sources instead.
  SourceDesc* kind = kinds != nullptr ? kinds->FindSourceKind(currentName.c_str()) : nullptr;
  const size_t colon = currentName.find(':');
  const bool namesNonFileSource =
      kind != nullptr ? !kind->IsFileBased() : colon != std::string::npos && colon >= 2;
  if (namesNonFileSource) {
    request.currentSource = currentName;
  } else {
    request.files.initialPath = currentName;
  }

  const SourceDialogAnswer answer = sourceDialog_ ? sourceDialog_(request) : SourceDialogAnswer{};
  if (answer.file) {
    selectedSource_ = *answer.file;
  } else if (!answer.source.empty()) {
    selectedSource_ = answer.source + ":";
  } else {
    return nullptr;
  }
  return selectedSource_.c_str();
}

Source* LorvaneHost::CreateSource(const char* name, uint8_t option) {
  PlugRegistry* kinds = registry.load();
  SourceDesc* kind = kinds != nullptr ? kinds->FindSourceKind(name) : nullptr;
  if (kind == nullptr) {
    sys::Log("No source kind opens \"%s\"", name != nullptr ? name : "");
    return nullptr;
  }
  Source* source = kind->Create();
  if (source == nullptr) return nullptr;
  source->host = this;
  source->SetOption2(option);
  if (!source->Open(name)) {
    delete source;
    return nullptr;
  }
  return source;
}

LorvaneHost::Compiled LorvaneHost::Compile(const ShaderDesc* desc, const char* bestProfile,
                                           const char* errorCaption, bool timed) {
  if (desc == nullptr || desc->source == nullptr) return {};
  gfx::ShaderCompileRequest request;
  request.source = std::string_view(desc->source, desc->length);
  for (const ShaderMacro* macro = desc->defines; macro != nullptr && macro->name != nullptr; ++macro) {
    request.defines.push_back({macro->name, macro->definition != nullptr ? macro->definition : ""});
  }
  request.include = desc->include;
  request.entryPoint = desc->entry != nullptr ? desc->entry : "";
  request.profile = desc->profile != nullptr ? desc->profile : bestProfile;
  request.flags = desc->flags;

  const uint32_t start = sys::TimeMs();
  gfx::ShaderCompileResult result = gfx::CompileShader(request);
  if (timed) sys::Log("Shader compile: %d ms", static_cast<int>(sys::TimeMs() - start));

  if (!result.messages.empty()) ShowCompilerMessages(result.messages, mainWindow, errorCaption);
  if (result.code != nullptr && desc->constantTable != nullptr) *desc->constantTable = result.constantTable;
  return {std::move(result.code)};
}

gfx::VertexShader* LorvaneHost::CompileVertexShader(const ShaderDesc* desc) {
  const Compiled compiled = Compile(desc, vertexShaderProfile, "Vertex shader error", true);
  gfx::Device* target = device.load();
  if (compiled.code == nullptr || target == nullptr) return nullptr;
  gfx::VertexShader* shader = nullptr;
  if (gfx::Failed(target->CreateVertexShader(*compiled.code, &shader))) return nullptr;
  return shader;
}

gfx::PixelShader* LorvaneHost::CompilePixelShader(const ShaderDesc* desc) {
  const Compiled compiled = Compile(desc, pixelShaderProfile, "Pixel shader error", false);
  gfx::Device* target = device.load();
  if (compiled.code == nullptr || target == nullptr) return nullptr;
  gfx::PixelShader* shader = nullptr;
  if (gfx::Failed(target->CreatePixelShader(*compiled.code, &shader))) return nullptr;
  return shader;
}

const float* LorvaneHost::GetSpectrum() {
  static const float kSilence[kSpectrumLength] = {};
  const AudioInput* audio = audioInput.load();
  return audio != nullptr ? audio->Spectrum() : kSilence;
}

bool LorvaneHost::GetBeat() {
  const AudioInput* audio = audioInput.load();
  return audio != nullptr && audio->Beat() != 0.0f;
}

float LorvaneHost::GetBandLevel(int32_t band) {
  const AudioInput* audio = audioInput.load();
  if (audio == nullptr || band < 0 || band >= kNumBands) return 0.0f;
  return audio->BandLevel(band);
}

LorvaneHost& TheLorvaneHost() {
  static LorvaneHost host;
  return host;
}

}  // namespace lv
