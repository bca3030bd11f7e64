#include "registry/plug_registry.h"

#include <strings.h>

#include <cstring>

namespace lv {

namespace {

KindDesc* DescriptorOf(const ListNode* node) { return static_cast<const PlugKindNode*>(node)->descriptor; }

bool EqualIgnoringCase(const char* a, size_t aLength, const char* b) {
  return b != nullptr && std::strlen(b) == aLength && strncasecmp(a, b, aLength) == 0;
}

void AppendPattern(std::string& list, const char* extension) {
  if (!list.empty()) list += ';';
  list += "*.";
  list += extension != nullptr ? extension : "";
}

// An empty pattern list would end the dialog's filter early, so a pair
// without patterns is left out.
void AddFilterPair(std::string& filter, const char* name, const std::string& patterns) {
  if (patterns.empty()) return;
  filter += name;
  filter += '\0';
  filter += patterns;
  filter += '\0';
}

}  // namespace

void PlugRegistry::RegisterPlugKind(PlugDesc* descriptor, ModuleHandle module) {
  if (descriptor != nullptr) plugKinds_.Append(new PlugKindNode(descriptor, module));
}

void PlugRegistry::RegisterSourceKind(SourceDesc* descriptor, ModuleHandle module) {
  if (descriptor != nullptr) sourceKinds_.Append(new PlugKindNode(descriptor, module));
}

namespace {

void UnlinkFirstHolding(List& list, const KindDesc* descriptor) {
  for (ListNode* node = list.Head(); node != nullptr; node = node->Next()) {
    if (DescriptorOf(node) == descriptor) {
      list.Unlink(node);
      delete node;
      return;
    }
  }
}

}  // namespace

void PlugRegistry::UnregisterPlugKind(PlugDesc* descriptor) { UnlinkFirstHolding(plugKinds_, descriptor); }

void PlugRegistry::UnregisterSourceKind(SourceDesc* descriptor) { UnlinkFirstHolding(sourceKinds_, descriptor); }

KindDesc* PlugRegistry::At(const List& list, int32_t index, ModuleHandle* module) {
  if (index < 0 || index >= list.Count()) return nullptr;
  ListNode* node = list.Head();
  for (int32_t i = 0; i < index; ++i) node = node->Next();
  const auto* kind = static_cast<const PlugKindNode*>(node);
  if (module != nullptr) *module = kind->module;
  return kind->descriptor;
}

PlugDesc* PlugRegistry::GetPlugKind(int32_t index) const {
  return static_cast<PlugDesc*>(At(plugKinds_, index, nullptr));
}

SourceDesc* PlugRegistry::GetSourceKind(int32_t index) const {
  return static_cast<SourceDesc*>(At(sourceKinds_, index, nullptr));
}

ModuleHandle PlugRegistry::GetPlugKindModule(int32_t index) const {
  ModuleHandle module = nullptr;
  At(plugKinds_, index, &module);
  return module;
}

PlugDesc* PlugRegistry::FindPlugKind(const ClassId& id) const {
  for (ListNode* node = plugKinds_.Head(); node != nullptr; node = node->Next()) {
    auto* kind = static_cast<PlugDesc*>(DescriptorOf(node));
    const ClassId* kindId = kind->GetClassId();
    if (kindId != nullptr && *kindId == id) return kind;
  }
  return nullptr;
}

SourceDesc* PlugRegistry::FindSourceKind(const char* name) const {
  if (name == nullptr) return nullptr;

  // A colon at position 0 or 1 is a drive letter's, never a prefix's. A
  // prefix longer than any kind may have is not compared at all.
  const char* colon = std::strchr(name, ':');
  if (colon != nullptr) {
    const size_t prefixLength = static_cast<size_t>(colon - name);
    if (prefixLength >= 2 && prefixLength <= static_cast<size_t>(kMaxPrefixLength)) {
      for (ListNode* node = sourceKinds_.Head(); node != nullptr; node = node->Next()) {
        auto* kind = static_cast<SourceDesc*>(DescriptorOf(node));
        if (!kind->IsFileBased() && EqualIgnoringCase(name, prefixLength, kind->GetPrefix())) return kind;
      }
    }
  }

  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr) return nullptr;
  const char* extension = dot + 1;
  for (ListNode* node = sourceKinds_.Head(); node != nullptr; node = node->Next()) {
    auto* kind = static_cast<SourceDesc*>(DescriptorOf(node));
    if (!kind->IsFileBased()) continue;
    const int32_t count = kind->NumExtensions();
    for (int32_t i = 0; i < count; ++i) {
      const char* candidate = kind->Extension(i);
      if (candidate != nullptr && strcasecmp(extension, candidate) == 0) return kind;
    }
  }
  return nullptr;
}

std::string PlugRegistry::BuildSourceFilter() const {
  std::string allFiles, animated, images, kinds;
  for (ListNode* node = sourceKinds_.Head(); node != nullptr; node = node->Next()) {
    auto* kind = static_cast<SourceDesc*>(DescriptorOf(node));
    if (!kind->IsFileBased()) continue;
    std::string own;
    const int32_t count = kind->NumExtensions();
    for (int32_t i = 0; i < count; ++i) {
      const char* extension = kind->Extension(i);
      AppendPattern(own, extension);
      AppendPattern(allFiles, extension);
      AppendPattern(kind->IsAnimated() ? animated : images, extension);
    }
    const char* name = kind->GetName();
    AddFilterPair(kinds, name != nullptr ? name : "", own);
  }

  std::string filter;
  AddFilterPair(filter, "All File Sources", allFiles);
  AddFilterPair(filter, "Anim Files", animated);
  AddFilterPair(filter, "Image Files", images);
  filter += kinds;
  filter += '\0';
  return filter;
}

Plug* PlugRegistry::CreatePlug(PlugDesc* descriptor) const {
  if (descriptor == nullptr || descriptor->GetKind() == kKindNotCreatable) return nullptr;
  Plug* plug = descriptor->Create();
  if (plug != nullptr) plug->host = host_;
  return plug;
}

void PlugRegistry::Clear() {
  plugKinds_.DeleteAll();
  sourceKinds_.DeleteAll();
}

PlugRegistry& ThePlugRegistry() {
  static PlugRegistry registry;
  return registry;
}

}  // namespace lv
