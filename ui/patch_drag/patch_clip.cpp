#include "patch_drag/patch_clip.h"

#include <cstring>

#include "files/param_bindings_record.h"
#include "lv/kind_desc.h"
#include "main_dialog/main_dialog_services.h"

namespace ui {
namespace {

constexpr uint32_t kClipTag = lv::ChunkTag("CLIP");

}  // namespace

std::string EncodePatchClip(const lv::Bank& bank, uint8_t note) {
  if (note > 127 || !bank.slots[note].patch) return {};
  const lv::NoteSlot& slot = bank.slots[note];
  const lv::ClassId none{};
  const lv::ClassId* id = slot.patch->GetClassId();
  const uint8_t priority = static_cast<uint8_t>(slot.priority);
  const uint8_t target = static_cast<uint8_t>(slot.target);

  lv::MemoryChunkStream data;
  slot.patch->Save(&data);
  data.Reset();
  WriteParamBindings(data, bank, note);
  data.Reset();
  const int32_t dataLength = data.Tell();

  lv::MemoryChunkStream clip;
  bool ok = clip.BeginChunk(kClipTag) && clip.WriteRaw(&priority, 1) && clip.WriteRaw(&target, 1) &&
            clip.WriteRaw(id != nullptr ? id : &none, static_cast<int32_t>(sizeof(lv::ClassId))) && clip.EndChunk();
  if (ok && dataLength > 0) ok = clip.WriteRaw(data.Buffer(), dataLength);
  if (!ok) return {};
  return std::string(reinterpret_cast<const char*>(clip.Buffer()), static_cast<size_t>(clip.Tell()));
}

std::unique_ptr<LoadedPatchClip> LoadPatchClip(const std::string& clip, const PluginKinds& kinds) {
  auto loaded = std::make_unique<LoadedPatchClip>();
  if (clip.size() < static_cast<size_t>(kPatchClipHeaderSize) || clip.size() > 0x7FFFFFFF) return loaded;
  lv::MemoryChunkStream& stream = loaded->stream;
  stream.Attach(clip.data(), static_cast<int32_t>(clip.size()));
  if (stream.NextChunk() != kClipTag) return loaded;
  lv::ClassId id{};
  if (!stream.Read(&loaded->priority, 1) || !stream.Read(&loaded->target, 1) ||
      !stream.Read(&id, static_cast<int32_t>(sizeof id))) {
    return loaded;
  }
  lv::PlugDesc* kind = kinds.Find(id);
  if (kind == nullptr || kind->GetKind() == lv::kKindNotCreatable) return loaded;
  std::unique_ptr<lv::Plug> patch(kinds.Create(kind));
  if (!patch) return loaded;
  // The plug-in's chunks follow the header; the header's size is not used.
  stream.Seek(kPatchClipHeaderSize);
  stream.Reset();
  if (!patch->Load(&stream)) return loaded;
  loaded->patch = std::move(patch);
  return loaded;
}

}  // namespace ui
