#pragma once
// The catalogue of what the program can instantiate: plug-in kinds (what a
// note's patch can be) and source kinds (what a plug-in reads video from).
// Descriptors are static objects of the program or of a plug-in library; the
// registry never destroys them. Used on the user-interface thread only.
#include <cstdint>
#include <string>

#include "lv/class_id.h"
#include "lv/kind_desc.h"
#include "lv/list.h"
#include "lv/lorvane_interface.h"
#include "lv/plug_desc.h"
#include "lv/source_desc.h"

namespace lv {

// One registered kind and the module that holds its descriptor.
class PlugKindNode : public ListNode {
 public:
  PlugKindNode(KindDesc* descriptor, ModuleHandle module) : descriptor(descriptor), module(module) {}

  KindDesc* const descriptor;  // not owned
  ModuleHandle const module;
};

class PlugRegistry {
 public:
  // Longest source-name prefix (the text before the colon) that is compared.
  static constexpr int kMaxPrefixLength = 259;

  // `host` is given to every instance CreatePlug makes.
  explicit PlugRegistry(LorvaneInterface* host = nullptr) : host_(host) {}
  PlugRegistry(const PlugRegistry&) = delete;
  PlugRegistry& operator=(const PlugRegistry&) = delete;

  void SetHost(LorvaneInterface* host) { host_ = host; }
  LorvaneInterface* Host() const { return host_; }

  // Append to the lists, in registration order. A null descriptor is ignored.
  void RegisterPlugKind(PlugDesc* descriptor, ModuleHandle module);
  void RegisterSourceKind(SourceDesc* descriptor, ModuleHandle module);
  // Removes the first plug-in kind holding `descriptor` (the descriptor
  // itself is left alone); nothing when absent.
  void UnregisterPlugKind(PlugDesc* descriptor);
  // Removes the first source kind holding `descriptor` (the descriptor itself
  // is left alone); nothing when absent.
  void UnregisterSourceKind(SourceDesc* descriptor);

  int32_t PlugKindCount() const { return plugKinds_.Count(); }
  int32_t SourceKindCount() const { return sourceKinds_.Count(); }
  // Null when index < 0 or >= the count.
  PlugDesc* GetPlugKind(int32_t index) const;
  SourceDesc* GetSourceKind(int32_t index) const;
  // The module that holds the index-th plug-in kind (null when out of range).
  ModuleHandle GetPlugKindModule(int32_t index) const;

  // The first plug-in kind whose class id equals all 16 bytes, or null.
  PlugDesc* FindPlugKind(const ClassId& id) const;
  // The source kind for a source name: a non-file kind by the prefix before
  // the first colon (at position 2 or later, so a drive letter never counts),
  // else a file kind by the extension after the last '.'; null when none.
  SourceDesc* FindSourceKind(const char* name) const;

  // The open-dialog filter of the file-based source kinds: pairs of name and
  // patterns, each ended by a NUL, the whole ended by one more NUL ("All File
  // Sources", "Anim Files", "Image Files", then every file kind).
  std::string BuildSourceFilter() const;

  // A new instance of the kind with its host set, owned by the caller; null
  // for a kind that is not creatable or when the kind makes no instance.
  Plug* CreatePlug(PlugDesc* descriptor) const;

  // Deletes every node of both lists (not the descriptors).
  void Clear();

 private:
  static KindDesc* At(const List& list, int32_t index, ModuleHandle* module);

  LorvaneInterface* host_;
  List plugKinds_;
  List sourceKinds_;
};

// The program's one registry.
PlugRegistry& ThePlugRegistry();

}  // namespace lv
