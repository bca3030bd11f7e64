// The Performer's note logic: which bank each channel plays, what note-on and
// note-off do in each state, the playing list in drawing order, and the
// per-frame walk that renders or retires each playing note.
#include <cstdint>
#include <thread>

#include "modulation/audio_input.h"
#include "modulation/lfo.h"
#include "performer/bank_progress.h"
#include "performer/frame_device.h"
#include "performer/message_window.h"
#include "performer/performer.h"

namespace lv {
namespace {

ActiveNote* AsNote(ListNode* node) { return static_cast<ActiveNote*>(node); }

// Reports reach the note window in the states that show notes.
bool ReportsNotes(int state) {
  return state == Live || state == NoteSelect || state == Recording || state == PlayingCapture;
}

// A slot's target from a file can hold any value; one that does not fit the
// note's byte names no work buffer and draws on the screen.
int8_t NoteTarget(int32_t slotTarget) {
  return slotTarget >= -1 && slotTarget <= INT8_MAX ? static_cast<int8_t>(slotTarget) : int8_t{-1};
}

}  // namespace

// Ending a note calls its patch's NoteOff, which makes device calls (an
// erase, targets freed). A frame holds the device lock and then takes the list
// lock, so a note may only end with the device lock already held: this scope
// waits for the pass in progress (the render thread touches patches only in
// passes), and where this thread has no frame open and notes play it begins a
// scene of its own, so each patch ends on its own target as in a pass.
class Performer::NoteEndScope {
 public:
  explicit NoteEndScope(Performer& performer) : performer_(performer), frame_(performer.HoldFrame()) {
    if (!frame_ || performer_.OnFrameThread()) return;
    device_ = performer_.device_.load();
    if (device_ == nullptr || performer_.ActiveNoteCount() == 0) {
      device_ = nullptr;
      return;
    }
    device_->BeginFrame();
    performer_.frameThread_.store(std::this_thread::get_id());
  }
  ~NoteEndScope() {
    if (device_ == nullptr) return;
    // Outside a pass the back buffer is the target, as every pass leaves it.
    if (performer_.currentTarget_ != FrameDevice::kBackBuffer) performer_.SelectTarget(FrameDevice::kBackBuffer);
    performer_.frameThread_.store(std::thread::id{});
    sys::CriticalSectionLock lock(device_->DeviceLock());
    device_->EndScene();
  }
  NoteEndScope(const NoteEndScope&) = delete;
  NoteEndScope& operator=(const NoteEndScope&) = delete;
  // False when the wait for the pass was refused: no note may end.
  explicit operator bool() const { return frame_.owns_lock(); }

 private:
  Performer& performer_;
  FrameHold frame_;
  FrameDevice* device_ = nullptr;
};

bool Performer::HoldMode() const {
  Performance* performance = performance_.load();
  return performance != nullptr && performance->hold != 0;
}

void Performer::NoteOn(uint8_t channel, uint32_t message) {
  channel &= 15;
  const uint8_t note = (message >> 8) & 0x7F;
  const uint8_t velocity = static_cast<uint8_t>(message >> 16);
  const int state = state_.load();
  if (ReportsNotes(state)) Post(noteWindow_.load(), kNoteOnMessage, channel, note);

  if (IsDrawingState(state)) {
    bool idleChannel;
    {
      sys::CriticalSectionLock list(listLock_);
      idleChannel = heldCount_[channel] == 0;
    }
    if (HoldMode() && idleChannel) AllNotesOff(channel);
    if (Bank* bank = channelBanks_[channel].load()) {
      // A still-playing instance of the same note restarts.
      EndNote(note, channel, false);
      NoteSlot& slot = bank->slots[note];
      Plug* patch = slot.patch.get();
      if (patch != nullptr && patch->channelMask != 0) {
        auto* active = new ActiveNote;
        active->patch = patch;
        active->bindings = &slot.bindings;
        active->note = note;
        active->channel = channel;
        active->priority = slot.priority;
        active->target = NoteTarget(slot.target);

        sys::CriticalSectionLock list(listLock_);
        // After every playing note of the same or a lower priority: equal
        // priorities draw in the order they started.
        ListNode* after = activeNotes_->Tail();
        while (after != nullptr && AsNote(after)->priority > active->priority) after = after->Prev();
        activeNotes_->InsertAfter(active, after);
        patch->velocity = velocity;
        patch->channel = channel;
        slot.bindings.channel = channel;
        slot.bindings.time = 0;
        if (OnFrameThread()) SetRenderTarget(active);
        const PatchCallRecord call(*this, patch, note);
        patch->NoteOn();
      }
    }
  }

  sys::CriticalSectionLock list(listLock_);
  const uint16_t bit = static_cast<uint16_t>(1u << channel);
  if ((heldNotes_[note] & bit) == 0) {
    heldNotes_[note] |= bit;
    ++heldCount_[channel];
  }
}

void Performer::NoteOff(uint8_t note, uint8_t channel) {
  note &= 0x7F;
  channel &= 15;
  {
    sys::CriticalSectionLock list(listLock_);
    const uint16_t bit = static_cast<uint16_t>(1u << channel);
    if (heldNotes_[note] & bit) {
      heldNotes_[note] &= static_cast<uint16_t>(~bit);
      --heldCount_[channel];
    }
  }
  const int state = state_.load();
  if (state == Live || state == Recording || state == PlayingCapture || state == FullScreen)
    EndNote(note, channel, true);
  if (ReportsNotes(state)) Post(noteWindow_.load(), kNoteOffMessage, channel, note);
}

void Performer::EndInstance(ActiveNote* note) {
  // A patch that erases its target on note-off must erase its own.
  if (OnFrameThread()) SetRenderTarget(note);
  const PatchCallRecord call(*this, note->patch, note->note);
  note->patch->NoteOff();
  activeNotes_->Unlink(note);
  delete note;
}

bool Performer::EndNote(uint8_t note, uint8_t channel, bool keyRelease) {
  NoteEndScope ending(*this);
  if (!ending) return false;
  sys::CriticalSectionLock list(listLock_);
  ActiveNote* found = nullptr;
  for (ListNode* node = activeNotes_->Head(); node != nullptr; node = node->Next()) {
    if (AsNote(node)->note == note && AsNote(node)->channel == channel) {
      found = AsNote(node);
      break;
    }
  }
  if (found == nullptr) return true;
  // Under hold the patch is not asked: to a patch the question means it is
  // being let go (String Theory stops giving birth to play out).
  if (keyRelease && HoldMode()) return true;
  if (keyRelease) {
    const PatchCallRecord call(*this, found->patch, found->note);
    if (found->patch->KeepAfterNoteOff()) return true;
  }
  EndInstance(found);
  return true;
}

void Performer::ForgetHeldChannel(uint8_t channel) {
  const uint16_t keep = static_cast<uint16_t>(~(1u << channel));
  for (uint16_t& held : heldNotes_) held &= keep;
  heldCount_[channel] = 0;
}

bool Performer::AllNotesOff(uint8_t channel) {
  channel &= 15;
  NoteEndScope ending(*this);
  if (!ending) return false;
  sys::CriticalSectionLock list(listLock_);
  for (ListNode* node = activeNotes_->Head(); node != nullptr;) {
    ListNode* next = node->Next();
    if (AsNote(node)->channel == channel) EndInstance(AsNote(node));
    node = next;
  }
  ForgetHeldChannel(channel);
  return true;
}

bool Performer::StopAllNotes() {
  NoteEndScope ending(*this);
  if (!ending) return false;
  sys::CriticalSectionLock list(listLock_);
  while (ListNode* node = activeNotes_->Head()) EndInstance(AsNote(node));
  for (uint16_t& held : heldNotes_) held = 0;
  for (int& count : heldCount_) count = 0;
  return true;
}

bool Performer::ReleaseNote(uint8_t note) {
  note &= 0x7F;
  // One wait and one scene for every channel: the caller may delete the
  // patch as soon as this returns.
  NoteEndScope ending(*this);
  if (!ending) return false;
  // The patch may be replaced or edited next: knob writes for it are made now.
  MakeKnobWrites();
  for (uint8_t channel = 0; channel < kChannels; ++channel) {
    if (!InChannelMask(channel)) continue;
    EndNote(note, channel, false);
    sys::CriticalSectionLock list(listLock_);
    const uint16_t bit = static_cast<uint16_t>(1u << channel);
    if (heldNotes_[note] & bit) {
      heldNotes_[note] &= static_cast<uint16_t>(~bit);
      --heldCount_[channel];
    }
  }
  return true;
}

bool Performer::SetChannelBank(uint8_t channel, Bank* bank) {
  channel &= 15;
  // Before the early return: a bank about to be deleted may be on no channel.
  if (!MakeKnobWrites()) return false;
  Bank* old = channelBanks_[channel].load();
  if (old == bank) return true;
  const int remembered = state_.load();
  if (!WriteState(Halted)) return false;
  // Halted from here on; a pass stuck in a patch after all still leaves this
  // switch refused, halted, with its notes playing.
  if (!AllNotesOff(channel)) return false;

  const uint16_t bit = static_cast<uint16_t>(1u << channel);
  if (old != nullptr) {
    for (NoteSlot& slot : old->slots) {
      Plug* patch = slot.patch.get();
      if (patch == nullptr || patch->channelMask == 0) continue;
      patch->channelMask &= static_cast<uint16_t>(~bit);
      const PatchCallRecord call(*this, patch, static_cast<int>(&slot - old->slots));
      if (patch->channelMask == 0) patch->ReleaseDeviceObjects();
    }
  }

  channelBanks_[channel].store(bank);
  if (bank != nullptr) {
    BankProgress* progress = remembered == Live && channel == 0 ? progress_.load() : nullptr;
    const int patches = progress != nullptr ? bank->PatchCount() : 0;
    if (patches == 0) progress = nullptr;
    if (progress != nullptr) progress->Begin();
    int creations = 0;
    for (NoteSlot& slot : bank->slots) {
      Plug* patch = slot.patch.get();
      if (patch == nullptr) continue;
      if (patch->channelMask != 0) {
        patch->channelMask |= bit;
        continue;
      }
      // A patch that cannot create its objects stays unplayable (mask 0).
      const PatchCallRecord call(*this, patch, static_cast<int>(&slot - bank->slots));
      if (patch->CreateDeviceObjects()) patch->channelMask |= bit;
      ++creations;
      if (progress != nullptr) progress->SetPosition(100 * creations / patches);
    }
    if (progress != nullptr) progress->End();
  }
  return WriteState(remembered);
}

bool Performer::SetPerformance(Performance* performance) {
  const int remembered = state_.load();
  if (!WriteState(Halted)) return false;
  event_.Set();
  // Cleared first, so the render thread plays no channel of the performance
  // going away; the main dialog sets the new mask afterwards.
  channelMask_.store(0);
  for (auto& program : pendingProgram_) program.store(-1);
  performance_.store(performance);
  for (uint8_t channel = 0; channel < kChannels; ++channel) {
    if (performance == nullptr)
      SetChannelBank(channel, nullptr);
    else if ((performance->channelMask >> channel) & 1)
      SetChannelBank(channel, performance->currentBank);
  }
  return WriteState(remembered);
}

void Performer::SelectTarget(int target) {
  if (FrameDevice* device = device_.load()) device->SetRenderTarget(target);
  currentTarget_ = target;
}

void Performer::SetRenderTarget(const ActiveNote* note) {
  int target = note != nullptr ? note->target : FrameDevice::kBackBuffer;
  // A target naming no existing work buffer draws on the screen.
  FrameDevice* device = device_.load();
  if (target >= 0 && (device == nullptr || target >= device->WorkBufferCount())) target = FrameDevice::kBackBuffer;
  if (note != nullptr && target == currentTarget_) return;
  SelectTarget(target);
}

void Performer::RenderFrame() {
  AudioInput* audio = audio_.load();
  if (audio != nullptr) audio->ProcessPass();
  const int frameTime = frameTime_.load(std::memory_order_relaxed);
  for (Lfo& lfo : LfoTable) Lfo::Advance(lfo, static_cast<uint32_t>(frameTime));

  if (!IsDrawingState(state_.load())) return;
  const ModulationInputs inputs{&controllers_, LfoTable.data(), audio};
  {
    sys::CriticalSectionLock list(listLock_);
    const bool hold = HoldMode();
    for (ListNode* node = activeNotes_->Head(); node != nullptr;) {
      ListNode* next = node->Next();
      ActiveNote* note = AsNote(node);
      const bool keyDown = (heldNotes_[note->note] >> note->channel) & 1;
      SetRenderTarget(note);
      const PatchCallRecord call(*this, note->patch, note->note);
      if (!keyDown && !hold && !note->patch->KeepAfterNoteOff()) {
        note->patch->NoteOff();
        activeNotes_->Unlink(note);
        delete note;
      } else {
        note->bindings->Apply(frameTime, inputs);
        note->patch->Render(static_cast<uint32_t>(frameTime));
      }
      node = next;
    }
  }
  SelectTarget(FrameDevice::kBackBuffer);
}

bool Performer::IsHeld(uint8_t note, uint8_t channel) {
  sys::CriticalSectionLock list(listLock_);
  return (heldNotes_[note & 0x7F] >> (channel & 15)) & 1;
}

int Performer::HeldCount(uint8_t channel) {
  sys::CriticalSectionLock list(listLock_);
  return heldCount_[channel & 15];
}

int Performer::ActiveNoteCount() {
  sys::CriticalSectionLock list(listLock_);
  return activeNotes_->Count();
}

}  // namespace lv
