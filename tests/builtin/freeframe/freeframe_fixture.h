#pragma once
// The test FreeFrame folder scanned into a registry, and the record each
// test library keeps of the host's calls.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "freeframe/freeframe_host.h"
#include "freeframe/freeframe_plug.h"
#include "test_effect_log.h"

inline const std::string kFreeFrameFolder = LV_FREEFRAME_TEST_DIR;

// The class id of a test library with unique id `id`.
inline lv::ClassId TestClassId(const char (&id)[5]) { return ff::ClassIdFor(reinterpret_cast<const uint8_t*>(id)); }

// Keeps one test library open on its own, so its record can be read even
// after the host closed it.
class LibraryRecord {
 public:
  explicit LibraryRecord(const char* name) {
    handle_ = dlopen((kFreeFrameFolder + "/" + name + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) log_ = reinterpret_cast<TestEffectLogFn>(dlsym(handle_, "testEffectLog"))();
    if (log_ != nullptr) *log_ = {};
  }
  ~LibraryRecord() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  TestEffectLog* operator->() const { return log_; }
  explicit operator bool() const { return log_ != nullptr; }

 private:
  void* handle_ = nullptr;
  TestEffectLog* log_ = nullptr;
};

struct PlugDeleter {
  void operator()(lv::Plug* plug) const { delete plug; }
};
using PlugPtr = std::unique_ptr<lv::Plug, PlugDeleter>;

inline ff::FreeFramePlug* AsFreeFrame(const PlugPtr& plug) { return static_cast<ff::FreeFramePlug*>(plug.get()); }
