#include "performer/performer.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "modulation/audio_input.h"
#include "performer/capture_file.h"
#include "performer/frame_device.h"
#include "performer/message_window.h"
#include "platform/sys/clock.h"
#include "platform/sys/log.h"

namespace lv {
namespace {

constexpr uint32_t kRingMask = Performer::kRingSize - 1;
constexpr int kNoProgram = -1;
// Passes that wait on the event aim at about 16 ms, and do not wait at all
// when 11 ms or more have passed since the previous pass began.
constexpr uint32_t kPaceMs = 16;
constexpr uint32_t kNoWaitAfterMs = 11;
constexpr uint32_t kPresentPauseMs = 3;
// A pass lets a user-interface wait have the frame lock first, for this long
// at most (the wait itself is bounded by kUserWaitMs).
constexpr uint32_t kLetInStepMs = 1;
// Keeps one wait within the event's range at an absurdly low frame rate.
constexpr double kLongestPlaybackWaitMs = 86400000.0;

const float kSilentSpectrum[AudioInput::kSpectrumLength] = {};

}  // namespace

Performer::Performer(Clock clock) : clock_(clock != nullptr ? clock : sys::TimeMs) {
  previousStart_ = clock_();
  for (auto& program : pendingProgram_) program.store(kNoProgram);
}

Performer::~Performer() {
  running_.store(0);
  event_.Set();
  if (!thread_.Join(kStopWaitMs)) {
    // The render thread may still be inside a pass: leave it what it uses.
    (void)activeNotes_.release();
    (void)ownedCapture_.release();
    return;
  }
  // A recording still running at shutdown is kept.
  CloseCaptureFile();
  delete performance_.exchange(nullptr);
}

bool Performer::Start() {
  running_.store(1);
  if (!thread_.Start([this] { ThreadProc(this); }, sys::ThreadPriority::AboveNormal)) {
    running_.store(0);
    return false;
  }
  return true;
}

uint32_t Performer::ThreadProc(Performer* performer) {
  performer->Run();
  return 0;
}

void Performer::Run() {
  previousStart_ = clock_();
  while (running_.load()) RunPass();
}

bool Performer::Stop(uint32_t waitMs) {
  running_.store(0);
  event_.Set();
  if (!thread_.Join(waitMs)) {
    sys::Log("Performer thread did not end within %u ms", static_cast<unsigned>(waitMs));
    return false;
  }
  // Every channel, not just the played ones: a windowed display switch gives
  // banks to all sixteen.
  for (uint8_t channel = 0; channel < kChannels; ++channel) SetChannelBank(channel, nullptr);
  delete performance_.exchange(nullptr);
  return true;
}

void Performer::PushMidi(const MidiEvent& event) {
  if (state_.load() == Recording) {
    // Tested again under the ring lock: stopping a recording takes the file
    // away under it, so a record is never written to a closed file.
    sys::CriticalSectionLock ring(ringLock_);
    CaptureFile* file = capture_.load();
    if (file != nullptr && state_.load() == Recording) file->WriteEvent(MidiEvent{event.message, clock_()});
  }
  uint32_t drainedAt = readIndex_.load(std::memory_order_acquire);
  uint32_t sinceMs = sys::TimeMs();
  while (!StoreInRing(event)) {
    if (renderThread_.load() == std::this_thread::get_id()) {
      // Capture playback feeds the ring from the render thread itself: make
      // room by dispatching what is queued, in order.
      DrainRing();
      continue;
    }
    const uint32_t read = readIndex_.load(std::memory_order_acquire);
    if (read != drainedAt) {
      drainedAt = read;
      sinceMs = sys::TimeMs();
    } else if (stalledAt_.load() == read || NotResponding() || sys::TimeMs() - sinceMs >= kUserWaitMs) {
      // No pass drains the ring: a key played or the MIDI input's delivery
      // thread does not wait for one that may never come (the input could
      // not be closed while it waits).
      if (stalledAt_.exchange(read) != read)
        sys::Log("MIDI events dropped from %08x on: the render thread is not responding",
                 static_cast<unsigned>(event.message));
      droppedInStall_.fetch_add(1);
      return;
    }
    event_.Set();
    sys::Sleep(1);
  }
  if (stalledAt_.load() >= 0 && stalledAt_.exchange(-1) >= 0)
    sys::Log("MIDI events flow again: %u were dropped", droppedInStall_.exchange(0));
  event_.Set();
}

bool Performer::TryPushMidi(const MidiEvent& event) {
  if (!StoreInRing(event)) return false;
  event_.Set();
  return true;
}

bool Performer::StoreInRing(const MidiEvent& event) {
  sys::CriticalSectionLock ring(ringLock_);
  const uint32_t write = writeIndex_.load(std::memory_order_relaxed);
  if (((write + 1) & kRingMask) == readIndex_.load(std::memory_order_acquire)) return false;
  ring_[write] = event;
  writeIndex_.store((write + 1) & kRingMask, std::memory_order_release);
  return true;
}

void Performer::SetCaptureFile(CaptureFile* file) {
  sys::CriticalSectionLock ring(ringLock_);
  capture_.store(file);
}

void Performer::DrainRing() {
  while (readIndex_.load(std::memory_order_relaxed) != writeIndex_.load(std::memory_order_acquire)) {
    MidiEvent event;
    {
      sys::CriticalSectionLock ring(ringLock_);
      const uint32_t read = readIndex_.load(std::memory_order_relaxed);
      event = ring_[read];
      readIndex_.store((read + 1) & kRingMask, std::memory_order_release);
    }
    Dispatch(event.message);
  }
}

void Performer::Dispatch(uint32_t message) {
  const MidiEvent event{message, 0};
  const uint8_t status = event.Status();
  const uint8_t channel = status & 0x0F;
  const uint8_t data1 = event.Data1();
  const uint8_t data2 = event.Data2();
  if (status < 0x80) return;  // a data byte where the status belongs
  // Data bytes index 128-entry tables: a message with a bad one is dropped.
  if (status < 0xF0 && ((data1 | data2) & 0x80)) return;
  switch (status & 0xF0) {
    case 0x80:
      if (InChannelMask(channel)) NoteOff(data1, channel);
      break;
    case 0x90:
      if (!InChannelMask(channel)) break;
      if (data2 == 0)
        NoteOff(data1, channel);
      else
        NoteOn(channel, message);
      break;
    case 0xB0:
      // Controllers are kept for every channel, played or not.
      if (data1 < MidiControllerTable::kPitchBendHigh) {
        controllers_.Set(channel, data1, data2);
        lastController_.store(data1, std::memory_order_relaxed);
      } else if (data1 == 123) {
        AllNotesOff(channel);
      }
      break;
    case 0xC0:
      if (InChannelMask(channel)) ProgramChange(channel, data1);
      break;
    case 0xE0:
      if (!InChannelMask(channel)) break;
      controllers_.Set(channel, MidiControllerTable::kPitchBendHigh, data2);
      controllers_.Set(channel, MidiControllerTable::kPitchBendLow, data1);
      lastController_.store(MidiControllerTable::kPitchBendHigh, std::memory_order_relaxed);
      break;
    case 0xF0:
      if (status == 0xF8) controllers_.CountClock();
      if (status == 0xFA) controllers_.ResetClock();
      break;
    default: break;
  }
}

void Performer::ProgramChange(uint8_t channel, uint8_t program) {
  if (state_.load() == Halted) {
    // The user interface may be switching this channel's bank or the whole
    // performance right now; the change waits for it to finish.
    pendingProgram_[channel].store(program);
    return;
  }
  Performance* performance = performance_.load();
  SetChannelBank(channel, performance != nullptr ? performance->FindBank(program) : nullptr);
}

void Performer::ApplyPendingProgramChanges() {
  if (state_.load() == Halted) return;
  for (uint8_t channel = 0; channel < kChannels; ++channel) {
    const int program = pendingProgram_[channel].exchange(kNoProgram);
    if (program != kNoProgram && InChannelMask(channel)) ProgramChange(channel, static_cast<uint8_t>(program));
  }
}

void Performer::RunPass() {
  renderThread_.store(std::this_thread::get_id());
  // A pass that draws nothing waits for MIDI input (or its pace) before it
  // takes the frame lock: waiting with the lock held and taking it again at
  // once kept the user interface, which takes it to change what passes read
  // (a display switch several times), waiting for seconds.
  if (const int before = state_.load(); before != PlayingCapture && before != Live && before != Recording) {
    const uint32_t elapsed = clock_() - previousStart_;
    if (elapsed < kNoWaitAfterMs) event_.Wait(kPaceMs - elapsed);
  }
  LetUserInterfaceIn();
  std::unique_lock<sys::CriticalSection> frame(frameLock_);
  // Other threads write the state only between passes, so the state a pass
  // began in decides whether it begins and ends a frame.
  const int state = state_.load();
  FrameDevice* device = device_.load();
  const bool framed = device != nullptr && IsDrawingState(state);
  // Begun before a playback's feed: a feed with more events than the ring
  // holds dispatches them itself, and its notes must start inside the frame.
  if (framed) {
    device->BeginFrame();
    frameThread_.store(std::this_thread::get_id());
  }
  // Knobs turned since the last pass reach their patches before any note
  // starts or renders with them.
  MakeKnobWrites();
  bool fileEnded = false;
  if (state == PlayingCapture) {
    if (CaptureFile* file = capture_.load()) {
      const int now = static_cast<int>(playbackClock_);
      if (!file->Feed(*this, static_cast<uint32_t>(now))) {
        fileEnded = true;
        PostPlaybackEnd();
      }
    }
    frameTime_.store(static_cast<int>(playbackClock_) - previousClock_, std::memory_order_relaxed);
    // Keeps the wall clock's start current, so the first live pass after a
    // playback or an offline render gets one frame's time, not the playback's.
    previousStart_ = clock_();
  } else {
    const uint32_t start = clock_();
    frameTime_.store(static_cast<int>(start - previousStart_), std::memory_order_relaxed);
    previousStart_ = start;
  }

  ApplyPendingProgramChanges();
  DrainRing();
  RenderFrame();

  if (state_.load() == Recording) {
    sys::CriticalSectionLock ring(ringLock_);
    CaptureFile* file = capture_.load();
    if (file != nullptr && state_.load() == Recording) {
      AudioInput* audio = audio_.load();
      file->WriteSpectrum(audio != nullptr ? audio->Spectrum() : kSilentSpectrum);
    }
  }

  if (state == Live || state == FullScreen || state == Recording) {
    if (framed) {
      {
        sys::CriticalSectionLock lock(device->DeviceLock());
        device->EndScene();
      }
      frameThread_.store(std::thread::id{});
      sys::CriticalSectionLock lock(device->DeviceLock());
      device->Present();
    }
    // The pause after presenting is the user interface's moment to take the
    // frame lock (to write the state, to end notes): it is not held through it.
    frame.unlock();
    sys::Sleep(kPresentPauseMs);
  } else if (state == PlayingCapture) {
    if (framed) {
      sys::CriticalSectionLock lock(device->DeviceLock());
      device->EndScene();
    }
    frameThread_.store(std::thread::id{});
    // The pass that meets the end of the file still delivers the show's last
    // events, and its frame is the render's last: the passes after it, which
    // run until the main dialog answers the end, show nothing of the file.
    // Nor does a frame follow one the callback refused: a render has no gaps.
    if (frameCallback_ != nullptr && !framesEnded_ && !frameCallback_(frameCallbackArgument_)) {
      framesEnded_ = true;
      PostPlaybackEnd();
    }
    if (fileEnded) framesEnded_ = true;
    if (framed) {
      sys::CriticalSectionLock lock(device->DeviceLock());
      device->Present();
    }
    previousClock_ = static_cast<int>(playbackClock_);
    playbackClock_ += frameStep_;
    // Real-time playback has no other wait: Present does not wait for a
    // retrace everywhere (a virtual display, software rendering, an
    // off-screen surface), and the fixed step would run ahead of the wall
    // clock. An offline render goes on as fast as its frames are written.
    if (frameCallback_ == nullptr) {
      const uint32_t startMs = playbackStartMs_;
      const double dueMs = playbackClock_;
      const double stepMs = frameStep_;
      frame.unlock();
      WaitForPlaybackClock(startMs, dueMs, stepMs);
    } else if (framesEnded_) {
      // An ended render waits for the main dialog's stop, which takes the
      // frame lock: passes that write nothing must not keep it from it.
      frame.unlock();
      sys::Sleep(kPresentPauseMs);
    }
  }
  passesEnded_.fetch_add(1);
}

void Performer::LetUserInterfaceIn() {
  // The render thread takes the lock again at once after a pass in some
  // states (an offline render): a waiting user interface gets it first, so
  // a busy render thread is never taken for a stuck one.
  for (uint32_t waited = 0; userWaiting_.load() != 0 && running_.load() != 0 && waited < kUserWaitMs;
       waited += kLetInStepMs)
    sys::Sleep(kLetInStepMs);
}

Performer::FrameHold Performer::HoldFrame() {
  if (userThread_.load() != std::this_thread::get_id()) return FrameHold(frameLock_);
  FrameHold hold(frameLock_, std::defer_lock);
  const uint64_t passes = passesEnded_.load();
  if (stuckPass_.load() == passes) {
    // Still the pass that did not end: no new wait for it.
    if (hold.try_lock()) stuckPass_.store(kNoStuckPass);
  } else {
    stuckPass_.store(kNoStuckPass);
    userWaiting_.fetch_add(1);
    const bool taken = frameLock_.TryEnterFor(kUserWaitMs);
    userWaiting_.fetch_sub(1);
    if (taken) {
      hold = FrameHold(frameLock_, std::adopt_lock);
    } else if (passesEnded_.load() == passes) {
      stuckPass_.store(passes);
    }
  }
  if (hold.owns_lock()) return hold;
  const PatchCall call = CallInProgress();
  sys::Log("Render thread not responding (%s, note %d): the change that needs it is refused",
           call.kind != nullptr ? "in a patch" : "outside a patch", call.note);
  if (stuckPass_.load() == passes && reportedPass_ != passes) {
    reportedPass_ = passes;
    if (notRespondingReport_) notRespondingReport_();
  }
  return hold;
}

Performer::PatchCallRecord::PatchCallRecord(Performer& performer, Plug* patch, int note) : performer_(performer) {
  if (patch == nullptr || performer_.renderThread_.load() != std::this_thread::get_id()) return;
  recorded_ = true;
  previousKind_ = performer_.callKind_.exchange(patch->GetClassId());
  previousNote_ = performer_.callNote_.exchange(note);
}

Performer::PatchCallRecord::~PatchCallRecord() {
  if (!recorded_) return;
  performer_.callKind_.store(previousKind_);
  performer_.callNote_.store(previousNote_);
}

bool Performer::NotResponding() const {
  const uint64_t stuck = stuckPass_.load();
  return stuck != kNoStuckPass && stuck == passesEnded_.load();
}

void Performer::WaitForPlaybackClock(uint32_t startMs, double dueMs, double stepMs) {
  // Measured from the playback's start, not pass by pass, so the waits do not
  // drift; a late pass waits for nothing and the next ones catch up.
  while (running_.load() && state_.load() == PlayingCapture) {
    const double earlyMs = dueMs - static_cast<double>(clock_() - startMs);
    if (earlyMs <= 0.0) return;
    // One step at most, then the pass runs: a clock that stands still cannot
    // hold the loop. A push, leaving playback or Stop wakes the wait: look again.
    const double waitMs = std::min({std::ceil(earlyMs), std::ceil(stepMs), kLongestPlaybackWaitMs});
    if (!event_.Wait(static_cast<uint32_t>(waitMs))) return;
  }
}

bool Performer::SetPlayback(double frameStepMs, FrameCallback callback, void* argument) {
  // Written before the state becomes PlayingCapture under the frame lock.
  const FrameHold frame = HoldFrame();
  if (!frame) return false;
  frameStep_ = frameStepMs;
  frameCallback_ = callback;
  frameCallbackArgument_ = argument;
  playbackClock_ = 0.0;
  previousClock_ = 0;
  playbackStartMs_ = clock_();
  playbackEndPosted_ = false;
  framesEnded_ = false;
  return true;
}

void Performer::PostPlaybackEnd() {
  if (playbackEndPosted_) return;
  playbackEndPosted_ = true;
  Post(mainDialog_.load(), kPlaybackEndMessage, 0, 0);
}

bool Performer::SetState(PerformerState state) { return WriteState(state); }

bool Performer::WriteState(int state) {
  int previous;
  {
    const FrameHold frame = HoldFrame();
    if (!frame) return false;
    // A state write comes before a patch is edited in its dialog or halted
    // for a switch: nothing may reach it from the render thread afterwards.
    MakeKnobWrites();
    previous = state_.exchange(state);
  }
  // A playback waiting for its next pass's time ends at once (Esc).
  if (previous == PlayingCapture && state != PlayingCapture) event_.Set();
  return true;
}

bool Performer::WriteKnob(const KnobWrite& write) {
  const bool handOver = running_.load() != 0 && renderThread_.load() != std::this_thread::get_id();
  if (handOver && knobWrites_.Put(write)) return true;
  const FrameHold frame = HoldFrame();
  if (!frame) return false;
  // The writes still waiting were made first.
  MakeKnobWrites();
  write.Make();
  return true;
}

bool Performer::MakeKnobWrites() {
  if (knobWrites_.Empty()) return true;
  const FrameHold frame = HoldFrame();
  if (!frame) return false;
  KnobWrites::Batch batch;
  const int count = knobWrites_.Take(batch);
  for (int i = 0; i < count; ++i) {
    const KnobWrite& write = batch[static_cast<size_t>(i)];
    const PatchCallRecord call(*this, write.patch, -1);
    write.Make();
  }
  return true;
}

void Performer::Post(MessageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window != nullptr) window->Post(message, wParam, lParam);
}

}  // namespace lv
