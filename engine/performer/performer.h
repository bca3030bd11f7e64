#pragma once
// Turns MIDI into pictures. Producers on any thread queue MIDI events in a
// ring; one render thread runs passes in a loop: it paces itself, begins the
// frame, drains and dispatches the ring, renders the playing notes and
// presents. The user interface steers it only through the state and the
// channel banks, and hears of notes through posted messages.
//
// Locks, always taken in this order: the frame lock (held by the render
// thread for a whole pass; others take it to write the state, to change what
// a pass reads, and to end notes), then the device lock (a frame holds it from
// BeginFrame to EndScene), then the list lock; the ring lock is taken alone.
// No code takes the frame lock while holding another, nor waits for another
// thread while holding the frame lock or the device lock. Notes end inside a
// frame: the pass's own, or, off the render thread's frame, one the call
// opens after the frame lock and before the list lock, since a patch's
// NoteOff makes device calls. The program's whole order, with the locks of
// the other threads that meet the device, is in platform/gfx/device_lock.h.
//
// The user-interface thread never waits for a pass without end: a plug-in may
// never return from one. Its takes of the frame lock (HoldFrame, and every
// call below that takes the lock) wait at most kUserWaitMs; past that the
// render thread counts as not responding until that pass ends, the call is
// refused (answers false and changes nothing) and later ones are refused at
// once. Other threads wait as before.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "lv/list.h"
#include "modulation/midi_controller_table.h"
#include "performance/performance.h"
#include "performer/active_note.h"
#include "performer/knob_writes.h"
#include "performer/midi_event.h"
#include "performer/performer_state.h"
#include "platform/sys/critical_section.h"
#include "platform/sys/event.h"
#include "platform/sys/thread.h"

namespace lv {

class AudioInput;
class BankProgress;
class CaptureAudio;
class CaptureFile;
class FrameDevice;
class MessageWindow;

class Performer {
 public:
  static constexpr int kRingSize = 1024;  // holds at most kRingSize - 1 events
  static constexpr int kChannels = 16;
  static constexpr int kNotes = 128;
  static constexpr uint32_t kStopWaitMs = 5000;
  // How long the user-interface thread waits for the pass in progress.
  static constexpr uint32_t kUserWaitMs = 1000;

  using Clock = uint32_t (*)();
  // Offline rendering: called after every frame of capture playback up to
  // the one in which the file ends; false asks the main dialog to stop, and
  // no frame follows.
  using FrameCallback = bool (*)(void* argument);

  // `clock` gives the system milliseconds the loop paces itself by.
  explicit Performer(Clock clock = nullptr);
  ~Performer();
  Performer(const Performer&) = delete;
  Performer& operator=(const Performer&) = delete;

  // --- Thread -------------------------------------------------------------
  // Starts the render thread (above normal priority where permitted).
  bool Start();
  // Ends the render thread, waiting at most `waitMs`; then takes every
  // channel's bank away and deletes the performance. When the thread did not
  // end in time nothing it may still touch is released: a later Stop, once
  // it has ended, finishes the job. Answers whether the thread ended.
  bool Stop(uint32_t waitMs = kStopWaitMs);
  static uint32_t ThreadProc(Performer* performer);
  // The render thread's loop: passes until `running` is cleared.
  void Run();
  // One pass of the loop. Whoever calls it acts as the render thread.
  void RunPass();

  // --- Producers (any thread) ---------------------------------------------
  // Queues the event; waits while the ring is full and passes drain it. The
  // event is dropped (and logged) once the render thread counts as not
  // responding, or when no pass has taken anything from the ring for
  // kUserWaitMs (later events at once until a pass drains it): a producer
  // never waits on a stuck pass for good. While
  // recording, the event goes to the capture file first, stamped with the
  // system clock so that one recording never mixes two clocks.
  void PushMidi(const MidiEvent& event);
  // Queues the event only when the ring has room; never waits.
  bool TryPushMidi(const MidiEvent& event);

  // --- The user interface's waits for a pass -------------------------------
  // The thread whose takes of the frame lock are bounded by kUserWaitMs.
  void SetUserInterfaceThread(std::thread::id thread) { userThread_.store(thread); }
  // The frame lock, for an action that changes what passes read. On the
  // user-interface thread the hold is empty (the action must be refused) when
  // the pass in progress did not end within kUserWaitMs, or still has not
  // ended since a wait for it was refused. Other threads wait for it.
  using FrameHold = std::unique_lock<sys::CriticalSection>;
  FrameHold HoldFrame();
  // A wait for the frame lock was refused and the pass it waited for has not
  // ended since.
  bool NotResponding() const;
  // Where the render thread is calling a patch: the patch's kind and the note
  // it plays (-1: a knob write, no note), or no kind outside such a call.
  struct PatchCall {
    const ClassId* kind = nullptr;
    int note = -1;
  };
  PatchCall CallInProgress() const { return {callKind_.load(), callNote_.load()}; }
  // Runs on the refused thread at the first refusal of each pass that does
  // not end, to tell the user once.
  void SetNotRespondingReport(std::function<void()> report) { notRespondingReport_ = std::move(report); }

  // --- Knob turns and binding changes (any thread) -------------------------
  // Hands the change to the render thread, which makes it at the start of
  // its next pass, in every state (the latest write of a field wins), so the
  // caller never waits for a pass. It is made at once, under the frame lock,
  // when no render thread runs, on the render thread itself, and when the
  // table is full. False when the write had to wait and was refused (dropped).
  bool WriteKnob(const KnobWrite& write);
  // Makes every change still waiting, under the frame lock. Each pass does it
  // first; so do state writes, bank and performance switches and ReleaseNote,
  // one of which comes before a patch is edited or deleted: no waiting write
  // outlives its patch. False when refused, the writes still waiting.
  bool MakeKnobWrites();

  // --- State (user-interface thread) --------------------------------------
  // Waits for the pass in progress to end, then writes the state. False when
  // refused: the state is unchanged.
  bool SetState(PerformerState state);
  // Held for a whole pass; the user interface takes it to change what the
  // render thread reads (LFO records among them).
  sys::CriticalSection& FrameLock() { return frameLock_; }
  PerformerState State() const { return static_cast<PerformerState>(state_.load()); }

  // --- Notes and banks ----------------------------------------------------
  // Every call below that ends notes may be made from any thread: off the
  // render thread it waits for the pass in progress, then ends the notes at
  // once, each patch on its own target, before it returns. Those answering
  // a flag answer false when the wait was refused (no note ended).
  void NoteOn(uint8_t channel, uint32_t message);
  void NoteOff(uint8_t note, uint8_t channel);
  // Ends the first playing instance of the note on the channel; on a key
  // release a patch that keeps playing, or hold mode, leaves it playing.
  bool EndNote(uint8_t note, uint8_t channel, bool keyRelease);
  // Ends the note on every played channel whatever keep or hold say, and
  // forgets that its key is down (before its patch is replaced or edited).
  bool ReleaseNote(uint8_t note);
  bool AllNotesOff(uint8_t channel);
  bool StopAllNotes();
  // Switches the channel's bank, creating and releasing device objects.
  // False when refused before the switch (the bank unchanged).
  bool SetChannelBank(uint8_t channel, Bank* bank);
  // Makes `performance` current (not taking ownership of the one it
  // replaces) and gives its played channels its current bank. False when
  // refused before the switch (the performance unchanged).
  bool SetPerformance(Performance* performance);
  // The note's target, or the back buffer without a note.
  void SetRenderTarget(const ActiveNote* note);
  // Audio analysis, LFOs, then every playing note rendered or retired.
  void RenderFrame();

  // --- Capture ------------------------------------------------------------
  // The open capture file, or null; changed only outside states 7 and 8, and
  // under the ring lock so that no record writer still holds the old one.
  void SetCaptureFile(CaptureFile* file);
  CaptureFile* GetCaptureFile() const { return capture_.load(); }
  // Resets the playback clock for a playback about to start; false when refused.
  bool SetPlayback(double frameStepMs, FrameCallback callback, void* argument);
  // Recording, from the live state only: the Performer keeps `file` and
  // moves to Recording. False (nothing changed) in any other state.
  bool StartRecording(std::unique_ptr<CaptureFile> file);
  // Opens the capture file at `path` and plays it on a clock advancing
  // 1000 / fps ms per pass; `callback` runs after each frame. False when the
  // file cannot be opened or another capture file is open.
  bool StartPlayback(const std::string& path, float framesPerSecond, FrameCallback callback, void* argument);
  // Takes the capture file away under the ring lock, then closes the one the
  // Performer keeps. False when closing lost data.
  bool CloseCaptureFile();
  // At the program's end: a recording in progress is finished (its file
  // closed and moved to its name) without waiting for the pass in progress,
  // which may never end; the state stays Recording, with no file to write.
  // Also a recording halted on the way (a display switch that failed for
  // good). False when closing lost data.
  bool FinishRecording();
  // What playback needs of the audio input: closing it and the spectrum it
  // loads recorded spectra into.
  void SetCaptureAudio(CaptureAudio* audio) { captureAudio_.store(audio); }

  // --- Connections --------------------------------------------------------
  void SetDevice(FrameDevice* device) { device_.store(device); }
  void SetNoteWindow(MessageWindow* window) { noteWindow_.store(window); }
  void SetMainDialog(MessageWindow* window) { mainDialog_.store(window); }
  void SetBankProgress(BankProgress* progress) { progress_.store(progress); }
  void SetAudioInput(AudioInput* audio) { audio_.store(audio); }
  AudioInput* Audio() const { return audio_.load(); }

  // --- Read by the user interface and the host object ---------------------
  void SetChannelMask(uint32_t mask) { channelMask_.store(mask); }
  uint32_t ChannelMask() const { return channelMask_.load(); }
  Performance* GetPerformance() const { return performance_.load(); }
  Performance* PerformanceBeingLoaded() const { return performanceBeingLoaded_.load(); }
  void SetPerformanceBeingLoaded(Performance* performance) { performanceBeingLoaded_.store(performance); }
  Bank* ChannelBank(uint8_t channel) const { return channelBanks_[channel & 15].load(); }
  const MidiControllerTable& Controllers() const { return controllers_; }
  int LastController() const { return lastController_.load(std::memory_order_relaxed); }
  int FrameTime() const { return frameTime_.load(std::memory_order_relaxed); }
  bool IsHeld(uint8_t note, uint8_t channel);
  int HeldCount(uint8_t channel);
  int ActiveNoteCount();

 private:
  void Dispatch(uint32_t message);
  void ProgramChange(uint8_t channel, uint8_t program);
  void ApplyPendingProgramChanges();
  void DrainRing();
  bool StoreInRing(const MidiEvent& event);
  void PostPlaybackEnd();
  // Real-time playback, outside the frame lock: waits until the clock is
  // `dueMs` past `startMs`, for one frame step at most; ends early on Stop or
  // when the state leaves playback.
  void WaitForPlaybackClock(uint32_t startMs, double dueMs, double stepMs);
  bool OnFrameThread() const { return frameThread_.load() == std::this_thread::get_id(); }
  bool InChannelMask(uint8_t channel) const { return (ChannelMask() >> channel) & 1; }
  bool HoldMode() const;
  bool WriteState(int state);
  // Before a pass takes the frame lock: lets a user-interface wait have it.
  void LetUserInterfaceIn();
  // Marks the render thread's call into a patch for the whole scope, so a
  // pass that never returns from it can be told by patch and note.
  class PatchCallRecord {
   public:
    PatchCallRecord(Performer& performer, Plug* patch, int note);
    ~PatchCallRecord();
    PatchCallRecord(const PatchCallRecord&) = delete;
    PatchCallRecord& operator=(const PatchCallRecord&) = delete;

   private:
    Performer& performer_;
    bool recorded_ = false;
    const ClassId* previousKind_ = nullptr;
    int previousNote_ = -1;
  };
  void Post(MessageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Holds the frame lock while notes end; see the lock order above.
  class NoteEndScope;
  // Under a NoteEndScope and the list lock: the patch's NoteOff on its own
  // target, then the node leaves the list and is deleted.
  void EndInstance(ActiveNote* note);
  void ForgetHeldChannel(uint8_t channel);
  void SelectTarget(int target);

  Clock clock_;
  sys::AutoResetEvent event_;
  sys::Thread thread_;
  sys::CriticalSection listLock_;
  sys::CriticalSection ringLock_;
  sys::CriticalSection frameLock_;
  std::atomic<int> running_{0};
  std::atomic<int> state_{Halted};

  std::atomic<MessageWindow*> noteWindow_{nullptr};
  std::atomic<MessageWindow*> mainDialog_{nullptr};
  std::atomic<FrameDevice*> device_{nullptr};
  std::atomic<BankProgress*> progress_{nullptr};
  std::atomic<AudioInput*> audio_{nullptr};
  std::atomic<CaptureFile*> capture_{nullptr};
  std::unique_ptr<CaptureFile> ownedCapture_;  // opened by StartRecording or StartPlayback
  // The kept file is a recording, whatever the state (a display switch halts one).
  std::atomic<bool> recordingKept_{false};
  std::atomic<CaptureAudio*> captureAudio_{nullptr};

  // Render thread only.
  std::atomic<int> frameTime_{0};
  uint32_t previousStart_ = 0;
  double frameStep_ = 0.0;
  FrameCallback frameCallback_ = nullptr;
  void* frameCallbackArgument_ = nullptr;
  double playbackClock_ = 0.0;
  int previousClock_ = 0;
  // The clock when the playback began: real-time playback begins each pass
  // once the clock has moved past it by the playback clock.
  uint32_t playbackStartMs_ = 0;
  // The end of a playback is reported once: the stop it asks for runs once.
  bool playbackEndPosted_ = false;
  // The frame callback has had the playback's last frame: the file ended in
  // an earlier pass, or the callback refused a frame.
  bool framesEnded_ = false;
  // Under the frame lock: the render thread's passes, or a NoteEndScope.
  int currentTarget_ = -1;
  // The user interface's waits: passes ended (counted after each), the count
  // a refused wait found (kNoStuckPass: none), the count last told to the
  // user, and a wait in progress that the next pass lets in first.
  static constexpr uint64_t kNoStuckPass = UINT64_MAX;
  std::atomic<std::thread::id> userThread_{};
  std::atomic<uint64_t> passesEnded_{0};
  std::atomic<uint64_t> stuckPass_{kNoStuckPass};
  uint64_t reportedPass_ = kNoStuckPass;  // user-interface thread only
  std::atomic<int> userWaiting_{0};
  std::function<void()> notRespondingReport_;
  // Written by the render thread around its calls into patches.
  std::atomic<const ClassId*> callKind_{nullptr};
  std::atomic<int> callNote_{-1};
  // The thread inside a frame, or none.
  std::atomic<std::thread::id> frameThread_{};
  std::atomic<std::thread::id> renderThread_{};
  // Program changes that arrived while halted (the user interface may be
  // switching banks or performances), applied by the first pass that is not.
  std::array<std::atomic<int>, kChannels> pendingProgram_;
  // Knob turns and binding changes waiting for the next pass.
  KnobWrites knobWrites_;

  std::atomic<uint32_t> channelMask_{0};
  // Under the list lock: bit c of entry n = note n is down on channel c.
  uint16_t heldNotes_[kNotes] = {};
  int heldCount_[kChannels] = {};
  std::atomic<int> lastController_{0};
  std::array<std::atomic<Bank*>, kChannels> channelBanks_{};
  std::atomic<Performance*> performance_{nullptr};
  std::atomic<Performance*> performanceBeingLoaded_{nullptr};
  MidiControllerTable controllers_;
  // Held through a pointer so a render thread that never ended keeps it.
  std::unique_ptr<List> activeNotes_ = std::make_unique<List>();

  // The ring: the render thread is the only writer of readIndex_.
  MidiEvent ring_[kRingSize] = {};
  std::atomic<uint32_t> readIndex_{0};
  std::atomic<uint32_t> writeIndex_{0};
  // The read index at which a producer last gave up waiting for room (-1:
  // none since the ring was last drained), and the events dropped since.
  std::atomic<int64_t> stalledAt_{-1};
  std::atomic<uint32_t> droppedInStall_{0};
};

}  // namespace lv
