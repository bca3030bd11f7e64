#include <cstring>
#include <string>

#include "files/file_progress.h"
#include "files/param_bindings_record.h"
#include "files/project_file.h"
#include "files/project_file_dialogs.h"
#include "files/project_sections.h"
#include "files/replacing_file.h"
#include "lv/file_chunk_stream.h"

namespace lv {
namespace {

using namespace project;

// Sections are framed through the stream, so every byte of the file goes
// through one checked path.
class ProjectWriter {
 public:
  ProjectWriter(std::FILE* file, FileProgress* progress) : stream_(file), progress_(progress) {}

  bool Write(const Performance& performance, const LfoArray& lfos, ShowObjects* show);

 private:
  bool BeginSection(uint32_t magic);
  bool EndSection();
  bool WritePerformance(const Performance& performance);
  bool WriteLfo(int32_t index, const Lfo& lfo);
  bool WriteBanks(const Performance& performance);
  bool WriteNote(const Bank& bank, uint8_t note);
  ShowObjects::SectionSink SectionOf(uint32_t magic);
  void Step(int percent, const char* text);

  FileChunkStream stream_;
  FileProgress* progress_;
  int32_t sectionStart_ = -1;
};

const Bank* AsBank(const ListNode* node) { return static_cast<const Bank*>(node); }

bool ProjectWriter::BeginSection(uint32_t magic) {
  sectionStart_ = stream_.Tell();
  const uint32_t size = 0;
  return sectionStart_ >= 0 && stream_.WriteUInt32(&magic) && stream_.WriteUInt32(&size) && stream_.Reset();
}

bool ProjectWriter::EndSection() {
  const int32_t end = stream_.Tell();
  if (sectionStart_ < 0 || end < sectionStart_ + 8) return false;
  const uint32_t size = uint32_t(end - sectionStart_ - 8);
  return stream_.Seek(sectionStart_ + 4) && stream_.WriteUInt32(&size) && stream_.Seek(end);
}

void ProjectWriter::Step(int percent, const char* text) {
  if (progress_ == nullptr) return;
  if (percent >= 0) progress_->SetPosition(percent);
  progress_->SetText(text);
}

bool ProjectWriter::WritePerformance(const Performance& p) {
  bool ok = stream_.WriteUInt32Chunk(kChannels, &p.channelMask) && stream_.WriteInt32Chunk(kAdapter, &p.displayAdapter) &&
            stream_.WriteInt32Chunk(kWidth, &p.width) && stream_.WriteInt32Chunk(kHeight, &p.height) &&
            stream_.WriteInt32Chunk(kBits, &p.bitsPerPixel) && stream_.WriteInt32Chunk(kRefresh, &p.refreshRate) &&
            stream_.WriteInt32Chunk(kWorkBuffers, &p.workBuffers) && stream_.WriteUInt8Chunk(kPowerOfTwo, &p.npw2) &&
            stream_.WriteUInt8Chunk(kHold, &p.hold) && stream_.WriteUInt8Chunk(kHide, &p.hide);
  if (ok && p.MidiDevice() != nullptr)
    ok = stream_.WriteChunk(kMidiDevice, p.MidiDevice(), int32_t(std::strlen(p.MidiDevice()) + 1));
  return ok && stream_.WriteEnd();
}

bool ProjectWriter::WriteLfo(int32_t index, const Lfo& lfo) {
  return stream_.WriteInt32Chunk(kLfoIndex, &index) && stream_.WriteInt32Chunk(kLfoType, &lfo.type) &&
         stream_.WriteFloatChunk(kLfoOffset, &lfo.offset) && stream_.WriteFloatChunk(kLfoScale, &lfo.scale) &&
         stream_.WriteFloatChunk(kLfoRate, &lfo.rate) && stream_.WriteFloatChunk(kLfoPhase, &lfo.phase) &&
         stream_.WriteFloatChunk(kLfoDuty, &lfo.parm) && stream_.WriteEnd();
}

bool ProjectWriter::WriteBanks(const Performance& performance) {
  // The count is one byte; readers go by the section's size, so a 256th
  // bank is not lost.
  const uint8_t count = uint8_t(performance.banks.Count() & 0xFF);
  bool ok = stream_.WriteUInt8(&count);
  for (const ListNode* node = performance.banks.Head(); ok && node != nullptr; node = node->Next()) {
    const Bank* bank = AsBank(node);
    const uint32_t length = bank->Name() != nullptr ? uint32_t(std::strlen(bank->Name()) + 1) : 0;
    ok = stream_.WriteUInt8(&bank->programNumber) && stream_.WriteUInt32(&length) &&
         (length == 0 || stream_.WriteRaw(bank->Name(), int32_t(length)));
  }
  return ok;
}

bool ProjectWriter::WriteNote(const Bank& bank, uint8_t note) {
  const NoteSlot& slot = bank.slots[note];
  const int8_t priority = slot.priority;
  const ClassId* id = slot.patch->GetClassId();
  const ClassId none{};
  bool ok = BeginSection(kNote) && stream_.WriteUInt8(&bank.programNumber) && stream_.WriteUInt8(&note) &&
            stream_.WriteRaw(&priority, 1) && stream_.WriteRaw(id != nullptr ? id : &none, int32_t(sizeof(ClassId))) &&
            stream_.Reset();
  // The plug-in's own write errors show in the file's error state, which the
  // commit checks.
  if (ok) slot.patch->Save(&stream_);
  ok = ok && WriteParamBindings(stream_, bank, note) && EndSection();

  const int8_t target = int8_t(slot.target);
  return ok && BeginSection(kNext) && stream_.WriteUInt8(&bank.programNumber) && stream_.WriteUInt8(&note) &&
         stream_.Reset() && stream_.WriteChunk(kTarget, &target, 1) && stream_.WriteEnd() && EndSection();
}

ShowObjects::SectionSink ProjectWriter::SectionOf(uint32_t magic) {
  return [this, magic](const ShowObjects::SectionBody& body) {
    return BeginSection(magic) && body(stream_) && EndSection();
  };
}

bool ProjectWriter::Write(const Performance& performance, const LfoArray& lfos, ShowObjects* show) {
  Step(0, "Saving header...");
  bool ok = BeginSection(kPerformance) && WritePerformance(performance) && EndSection();
  Step(2, "Saving capture info...");
  ok = ok && (show == nullptr || show->SaveCaptures(SectionOf(kCapture)));
  Step(-1, "Saving sampler info...");
  ok = ok && (show == nullptr || show->SaveSamplers(SectionOf(kSampler)));
  Step(-1, "Saving LFO info...");
  for (int32_t i = 0; ok && i < kLfoCount; ++i)
    ok = BeginSection(kLfo) && WriteLfo(i, lfos[size_t(i)]) && EndSection();
  Step(-1, "Saving patch list...");
  ok = ok && BeginSection(kBanks) && WriteBanks(performance) && EndSection();
  Step(10, "Saving notes...");

  int total = 0;
  for (const ListNode* node = performance.banks.Head(); node != nullptr; node = node->Next())
    total += AsBank(node)->PatchCount();
  int written = 0;
  for (const ListNode* node = performance.banks.Head(); ok && node != nullptr; node = node->Next()) {
    for (int note = 0; ok && note < Bank::kNoteCount; ++note) {
      if (!AsBank(node)->slots[note].patch) continue;
      ok = WriteNote(*AsBank(node), uint8_t(note));
      ++written;
      if (progress_ != nullptr) progress_->SetPosition(10 + 90 * written / total);
    }
  }
  return ok;
}

}  // namespace

bool SavePerformance(Performance& performance, bool saveAs, const ProjectFileContext& context) {
  std::string path = performance.name.CStr();
  if (saveAs || path.empty()) {
    if (context.dialogs == nullptr) return false;
    std::optional<std::string> chosen = context.dialogs->AskSaveName(path);
    if (!chosen || chosen->empty()) return false;
    path = *chosen;
  }

  if (context.makeWaitingKnobWrites) context.makeWaitingKnobWrites();
  ReplacingFile file(path);
  if (!file.Open()) return false;
  if (context.progress != nullptr) context.progress->Open("Saving Performance...");
  bool saved = ProjectWriter(file.File(), context.progress).Write(performance, *context.lfos, context.show);
  if (context.progress != nullptr) context.progress->Close();
  saved = saved && file.Commit();
  if (!saved) return false;

  performance.name.Assign(path.c_str());
  performance.modified = 0;
  return true;
}

}  // namespace lv
