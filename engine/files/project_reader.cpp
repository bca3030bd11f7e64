#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "display/display_modes.h"
#include "files/chunk_fields.h"
#include "files/file_progress.h"
#include "files/param_bindings_record.h"
#include "files/project_file.h"
#include "files/project_file_dialogs.h"
#include "files/project_sections.h"
#include "lv/file_chunk_stream.h"
#include "platform/sys/critical_section.h"
#include "platform/sys/log.h"
#include "registry/plug_registry.h"

namespace lv {
namespace {

using namespace project;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// What one LFO's "LFOI" sections gave.
struct LoadedLfo {
  bool read = false;
  std::optional<int32_t> type;  // none: the LFO keeps its own
  float offset = 0, scale = 0, rate = 0, phase = 0, duty = 0;
};

class ProjectReader {
 public:
  ProjectReader(std::FILE* file, int64_t length, Performance& performance, const ProjectFileContext& context)
      : sections_(file, true),
        stream_(file),
        length_(std::min<int64_t>(length, INT32_MAX)),
        performance_(performance),
        context_(context) {}

  void Read();
  // The file's LFO values into `lfos`; their running phase and output stay.
  void CopyLfosInto(LfoArray& lfos) const;

 private:
  // Raw bytes of the section body, never past its end.
  bool ReadRaw(void* dest, int64_t n);
  void ReadSection(uint32_t magic);
  void ReadPerformance();
  void ReadLfo();
  void ReadBanks();
  void ReadNote();
  void ReadNext();
  void SkipPlugList(int32_t start);
  Bank* BankAndNote(uint8_t& note);

  SectionFile sections_;
  FileChunkStream stream_;
  int64_t length_;
  int64_t bodyEnd_ = 0;
  Performance& performance_;
  const ProjectFileContext& context_;
  // The live table is written only once the whole file was read.
  std::array<LoadedLfo, kLfoCount> lfos_{};
};

bool ProjectReader::ReadRaw(void* dest, int64_t n) {
  const int32_t at = stream_.Tell();
  if (at < 0 || n < 0 || at + n > bodyEnd_) return false;
  return stream_.Read(dest, int32_t(n));
}

void ProjectReader::ReadPerformance() {
  Performance& p = performance_;
  stream_.Reset();
  while (uint32_t tag = stream_.NextChunk()) {
    switch (tag) {
      case kChannels: ReadChunkValue(stream_, p.channelMask); break;
      case kAdapter:
        if (ReadChunkValue(stream_, p.displayAdapter))
          p.displayAdapter = std::clamp(p.displayAdapter, 0, std::max(context_.adapterCount - 1, 0));
        break;
      case kWidth:
        if (ReadChunkValue(stream_, p.width)) p.width = std::clamp(p.width, 1, kMaxDisplaySide);
        break;
      case kHeight:
        if (ReadChunkValue(stream_, p.height)) p.height = std::clamp(p.height, 1, kMaxDisplaySide);
        break;
      case kBits: ReadChunkValue(stream_, p.bitsPerPixel); break;
      case kRefresh: ReadChunkValue(stream_, p.refreshRate); break;
      case kWorkBuffers:
        if (ReadChunkValue(stream_, p.workBuffers)) p.workBuffers = std::clamp(p.workBuffers, 0, kMaxWorkBuffers);
        break;
      case kPowerOfTwo: ReadChunkValue(stream_, p.npw2); break;
      case kHold: ReadChunkValue(stream_, p.hold); break;
      case kHide: ReadChunkValue(stream_, p.hide); break;
      case kMidiDevice: p.SetMidiDevice(ReadChunkText(stream_).c_str()); break;
      default: break;
    }
  }
}

void ProjectReader::ReadLfo() {
  int32_t index = -1;
  std::optional<int32_t> type;
  float offset = 0, scale = 0, rate = 0, phase = 0, duty = 0;
  stream_.Reset();
  while (uint32_t tag = stream_.NextChunk()) {
    switch (tag) {
      case kLfoIndex: ReadChunkValue(stream_, index); break;
      case kLfoType: {
        int32_t value = 0;
        if (ReadChunkValue(stream_, value)) type = value >= 0 && value < Lfo::kTypeCount ? value : 0;
        break;
      }
      case kLfoOffset: ReadChunkValue(stream_, offset); break;
      case kLfoScale: ReadChunkValue(stream_, scale); break;
      case kLfoRate: ReadChunkValue(stream_, rate); break;
      case kLfoPhase: ReadChunkValue(stream_, phase); break;
      case kLfoDuty: ReadChunkValue(stream_, duty); break;
      default: break;
    }
  }
  if (index < 0 || index >= kLfoCount) return;
  LoadedLfo& lfo = lfos_[size_t(index)];
  lfo.read = true;
  if (type) lfo.type = type;
  lfo.offset = offset;
  lfo.scale = scale;
  lfo.rate = rate;
  lfo.phase = phase;
  lfo.duty = duty;
}

void ProjectReader::CopyLfosInto(LfoArray& lfos) const {
  for (size_t i = 0; i < lfos_.size(); ++i) {
    const LoadedLfo& loaded = lfos_[i];
    if (!loaded.read) continue;
    Lfo& lfo = lfos[i];
    if (loaded.type) lfo.type = *loaded.type;
    lfo.offset = loaded.offset;
    lfo.scale = loaded.scale;
    lfo.rate = loaded.rate;
    lfo.phase = loaded.phase;
    lfo.parm = loaded.duty;
  }
}

void ProjectReader::ReadBanks() {
  // The leading count is one byte and wraps at 256 banks: the records run
  // to the end of the section instead.
  uint8_t count = 0;
  if (!ReadRaw(&count, 1)) return;
  for (;;) {
    uint8_t program = 0;
    uint32_t length = 0;
    if (!ReadRaw(&program, 1) || !ReadRaw(&length, 4)) return;
    // A length past the section's end is never allocated.
    if (stream_.Tell() < 0 || stream_.Tell() + int64_t(length) > bodyEnd_) return;
    std::vector<char> name(length);
    if (length > 0 && !ReadRaw(name.data(), length)) return;
    Bank* bank = performance_.CreateBank(program);
    if (length > 0) bank->SetName(std::string(name.begin(), std::find(name.begin(), name.end(), '\0')).c_str());
  }
}

Bank* ProjectReader::BankAndNote(uint8_t& note) {
  uint8_t program = 0;
  if (!ReadRaw(&program, 1) || !ReadRaw(&note, 1) || note >= Bank::kNoteCount) return nullptr;
  return performance_.FindBank(program);
}

void ProjectReader::SkipPlugList(int32_t start) {
  // The modulation list starts after the plug-in list's end marker, wherever
  // the plug-in's Load stopped reading.
  stream_.Seek(start);
  stream_.Reset();
  while (stream_.NextChunk() != 0) {
  }
  stream_.Seek(stream_.CurrentStart() + 8);
}

void ProjectReader::ReadNote() {
  uint8_t note = 0;
  Bank* bank = BankAndNote(note);
  int8_t priority = 0;
  ClassId id{};
  if (bank == nullptr || !ReadRaw(&priority, 1) || !ReadRaw(&id, sizeof id)) return;
  if (context_.registry == nullptr) return;
  PlugDesc* kind = context_.registry->FindPlugKind(id);
  if (kind == nullptr || kind->GetKind() == kKindNotCreatable) return;
  std::unique_ptr<Plug> patch(context_.registry->CreatePlug(kind));
  if (!patch) return;

  NoteSlot& slot = bank->slots[note];
  slot.Clear();
  const int32_t listStart = stream_.Tell();
  stream_.Reset();
  patch->Load(&stream_);
  SkipPlugList(listStart);

  slot.patch = std::move(patch);
  slot.priority = priority;
  slot.bindings.Attach(slot.patch.get());
  slot.target = NoteSlot::kScreen;
  ReadParamBindings(stream_, *bank, note);
}

void ProjectReader::ReadNext() {
  uint8_t note = 0;
  Bank* bank = BankAndNote(note);
  if (bank == nullptr) return;
  NoteSlot& slot = bank->slots[note];
  stream_.Reset();
  while (uint32_t tag = stream_.NextChunk()) {
    int8_t target = 0;
    if (tag != kTarget || !ReadChunkValue(stream_, target)) continue;
    slot.target = target >= NoteSlot::kScreen && target < kMaxWorkBuffers ? target : NoteSlot::kScreen;
  }
}

void ProjectReader::Read() {
  FileProgress* progress = context_.progress;
  for (;;) {
    const SectionFile::Section section = sections_.NextSection();
    if (section.magic == -1 && section.size == -1) break;
    const int32_t bodyStart = stream_.Tell();
    if (bodyStart < 0) break;
    bodyEnd_ = std::min<int64_t>(int64_t(bodyStart) + section.size, length_);
    stream_.SetReadLimit(int32_t(bodyEnd_));
    const char* text = nullptr;
    switch (uint32_t(section.magic)) {
      case kPerformance: text = "Loading header..."; break;
      case kLfo: text = "Loading LFO config..."; break;
      case kBanks: text = "Loading patch list..."; break;
      case kNote: text = "Loading notes..."; break;
      case kCapture: text = "Loading capture config..."; break;
      case kSampler: text = "Loading sampler config..."; break;
      default: break;
    }
    if (progress != nullptr && text != nullptr) progress->SetText(text);
    try {
      ReadSection(uint32_t(section.magic));
    } catch (const std::exception& error) {
      // A section asking for more than can be had (a damaged sampler size,
      // a plug-in's state) is dropped; the rest of the show still loads.
      sys::Log("Project section at byte %d dropped: %s", bodyStart, error.what());
    }
    stream_.SetReadLimit(-1);
    if (progress != nullptr && length_ > 0)
      progress->SetPosition(int(float(bodyEnd_) / float(length_) * 100.0f));
  }
}

void ProjectReader::ReadSection(uint32_t magic) {
  switch (magic) {
    case kPerformance: ReadPerformance(); break;
    case kLfo: ReadLfo(); break;
    case kBanks: ReadBanks(); break;
    case kNote: ReadNote(); break;
    case kNext: ReadNext(); break;
    case kCapture:
      if (context_.show != nullptr) {
        stream_.Reset();
        context_.show->LoadCapture(stream_);
      }
      break;
    case kSampler:
      if (context_.show != nullptr) {
        stream_.Reset();
        context_.show->LoadSampler(stream_);
      }
      break;
    default: break;
  }
}

// The file's length, or nothing when it cannot be taken.
std::optional<int64_t> LengthOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
  const long length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return std::nullopt;
  return length;
}

// Why the file is no whole run of sections, or nothing when it is. A file
// cut short (a copy that stopped, a full disk) would otherwise load as far
// as it goes and replace the performance with a part of itself. Chunks that
// end early inside a whole section are the section reader's business.
std::optional<std::string> DamageIn(std::FILE* file, int64_t length) {
  std::optional<std::string> damage;
  if (length == 0) damage = "The file is empty.";
  int64_t at = 0;
  while (at < length && !damage) {
    char magic[5] = {};
    uint32_t size = 0;
    if (length - at < 8 || std::fseek(file, long(at), SEEK_SET) != 0 || std::fread(magic, 1, 4, file) != 4 ||
        std::fread(&size, 1, 4, file) != 4) {
      damage = "The file ends inside a section header at byte " + std::to_string(at) + ".";
      break;
    }
    for (int i = 0; i < 4; ++i)
      if (magic[i] < ' ' || magic[i] > '~') magic[i] = '?';
    if (size > uint32_t(INT32_MAX) || at + 8 + int64_t(size) > length)
      damage = std::string("The section \"") + magic + "\" at byte " + std::to_string(at) + " needs " +
               std::to_string(size) + " bytes, but the file ends " + std::to_string(length - at - 8) +
               " bytes after its header.";
    at += 8 + int64_t(size);
  }
  if (std::fseek(file, 0, SEEK_SET) != 0 && !damage) damage = "The file could not be read.";
  if (damage) *damage += " It may have been cut short; the performance was not opened.";
  return damage;
}

}  // namespace

bool LoadPerformance(Performance& performance, const char* fileName, const ProjectFileContext& context) {
  std::string path = fileName != nullptr ? fileName : "";
  if (fileName == nullptr) {
    if (context.dialogs == nullptr) return false;
    std::optional<std::string> chosen = context.dialogs->AskLoadName();
    if (!chosen || chosen->empty()) return false;
    path = *chosen;
  }

  // Nothing is torn down before the file has shown it can be read.
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  const std::optional<int64_t> length = LengthOf(file.get());
  if (!length) return false;
  if (std::optional<std::string> damage = DamageIn(file.get(), *length)) {
    if (context.failure != nullptr) *context.failure = *damage;
    return false;
  }

  if (context.show != nullptr) context.show->Release();
  performance.SelectBank(-1);
  performance.banks.DeleteAll();
  performance.name.Assign(path.c_str());

  if (context.progress != nullptr) {
    context.progress->Open("Loading Performance...");
    context.progress->SetText("Loading header...");
  }
  ProjectReader reader(file.release(), *length, performance, context);
  reader.Read();
  if (context.lfos != nullptr) {
    // The render thread advances the live table under this lock, halted too.
    std::unique_lock<sys::CriticalSection> lock;
    if (context.lfoLock != nullptr) lock = std::unique_lock(*context.lfoLock);
    reader.CopyLfosInto(*context.lfos);
  }

  if (Bank* first = performance.BankAt(0)) performance.SelectBank(first->programNumber);
  performance.modified = 0;
  if (context.progress != nullptr) context.progress->Close();
  return true;
}

}  // namespace lv
