// Reads arbitrary bytes as the settings file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/project_file.h"
#include "files/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "lv_settings_fuzz_" + std::to_string(getpid()) + ".cfg";
  lv::Settings settings;
  settings.folder = "/tmp";
  std::FILE* file = std::fopen(("/tmp/" + name).c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  settings.Load(name.c_str());
  if (settings.freeFramePath.size() > size_t(lv::Settings::kMaxFreeFramePathLength)) std::abort();
  if (settings.workBuffers > lv::kMaxWorkBuffers) std::abort();
  if (settings.MidiDevice() != nullptr && std::strlen(settings.MidiDevice()) > size) std::abort();
  std::remove(("/tmp/" + name).c_str());
  return 0;
}
