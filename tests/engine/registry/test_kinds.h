#pragma once
// Source and plug-in kinds configured by the tests.
#include <string>
#include <vector>

#include "lv/plug_desc.h"
#include "lv/source_desc.h"

namespace lvtest {

class TestSourceKind : public lv::SourceDesc {
 public:
  TestSourceKind(std::string name, bool fileBased, bool animated, std::vector<std::string> extensionsOrPrefix)
      : name_(std::move(name)), fileBased_(fileBased), animated_(animated), words_(std::move(extensionsOrPrefix)) {}

  int32_t GetKind() override { return 0; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return name_.c_str(); }
  const char* GetDescription() override { return name_.c_str(); }
  lv::Source* Create() override { return nullptr; }
  bool IsFileBased() override { return fileBased_; }
  bool IsAnimated() override { return animated_; }
  int32_t NumExtensions() override { return fileBased_ ? static_cast<int32_t>(words_.size()) : 0; }
  const char* Extension(int32_t i) override { return words_[static_cast<size_t>(i)].c_str(); }
  const char* GetPrefix() override { return fileBased_ ? nullptr : words_[0].c_str(); }

 private:
  std::string name_;
  bool fileBased_;
  bool animated_;
  std::vector<std::string> words_;
  lv::ClassId id_{};
};

class TestPlugKind : public lv::PlugDesc {
 public:
  TestPlugKind(const lv::ClassId& id, int32_t kind = 1, lv::Plug* (*create)() = nullptr)
      : id_(id), kind_(kind), create_(create) {}
  int32_t GetKind() override { return kind_; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Kind"; }
  const char* GetDescription() override { return "Kind"; }
  lv::Plug* Create() override { return create_ != nullptr ? create_() : nullptr; }

 private:
  lv::ClassId id_;
  int32_t kind_;
  lv::Plug* (*create_)();
};

}  // namespace lvtest
