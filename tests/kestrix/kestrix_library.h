#pragma once
// Kestrix as the program loads it: the registry's loader opens Plugins/ and
// registers the library's kinds; instances are made through the registry so
// they carry their host.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lv/memory_chunk_stream.h"
#include "registry/plugin_libraries.h"

class KestrixLibrary {
 public:
  explicit KestrixLibrary(lv::LorvaneInterface* host) : registry_(host) {
    libraries_.LoadFolder(LV_PLUGIN_DIR, registry_);
  }
  ~KestrixLibrary() {
    // Instances are gone before the library is closed.
    registry_.Clear();
    libraries_.FreeAll();
  }

  lv::PlugRegistry& Registry() { return registry_; }

  lv::PlugDesc* Kind(const std::string& name) {
    for (int32_t i = 0; i < registry_.PlugKindCount(); ++i) {
      if (name == registry_.GetPlugKind(i)->GetName()) return registry_.GetPlugKind(i);
    }
    ADD_FAILURE() << "no kind " << name;
    return nullptr;
  }

  struct PlugDeleter {
    void operator()(lv::Plug* plug) const { delete plug; }
  };
  using PlugPtr = std::unique_ptr<lv::Plug, PlugDeleter>;

  PlugPtr Create(const std::string& name) {
    lv::PlugDesc* kind = Kind(name);
    return PlugPtr(kind != nullptr ? registry_.CreatePlug(kind) : nullptr);
  }

 private:
  lv::PlugRegistry registry_;
  lv::PluginLibraries libraries_;
};

// Loads `bytes` (a chunk list) into `plug`.
inline bool LoadInto(lv::Plug& plug, const std::vector<uint8_t>& bytes) {
  lv::MemoryChunkStream stream;
  stream.Attach(bytes.data(), int32_t(bytes.size()));
  return plug.Load(&stream);
}

// What `plug` saves.
inline std::vector<uint8_t> SavedBy(lv::Plug& plug) {
  lv::MemoryChunkStream stream;
  EXPECT_TRUE(plug.Save(&stream));
  return {stream.Buffer(), stream.Buffer() + stream.Tell()};
}
