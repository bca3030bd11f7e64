#pragma once
// The device lock: a recursive lock that owns the EGL context. The thread
// that enters it makes the context current; when it leaves for good the
// context is released, so another thread can take it. A frame (BeginScene to
// EndScene) holds the lock on the drawing thread throughout.
//
// The program's locks and their order (written down here only).
//
//   frame lock     Performer::frameLock_ (engine/performer/performer.h). Held
//                  by the render thread for a whole pass; other threads take
//                  it to change what passes read: the state, LFO records,
//                  capture devices starting and stopping, samplers made and
//                  freed, the display's surfaces released and restored, the
//                  performance fields the Options pages write, knob writes
//                  that cannot wait for the render thread. The user-interface
//                  thread waits for it at most Performer::kUserWaitMs
//                  (Performer::HoldFrame and the Performer's calls), since a
//                  pass stuck in a plug-in never lets it go: past that the
//                  action is refused, and refused at once until that pass
//                  ends. Its other takes (a project's LFOs and capture and
//                  sampler sections read in, capture surfaces released and
//                  restored by a display switch) come only after the state
//                  write that halted the passes.
//   D3D lock       D3D::deviceLock_ (engine/display/d3d.h). Device creation
//                  and release against frames and presentation; the render
//                  thread holds it from BeginFrame to EndScene. Presenting
//                  holds it while a read-back picture is handed to its
//                  widget, so the program switches that widget under it.
//   device lock    gfx::DeviceLock (this file), inside the device: every
//                  device call takes it; a frame holds it from BeginScene to
//                  EndScene.
//   list lock      Performer::listLock_: the playing notes and the keys down.
//   ring lock      Performer::ringLock_: the MIDI ring's writers and the
//                  capture file slot; a recording's file writes happen under
//                  it, never a device call.
//   leaf locks     held for work in memory (or a file write) only:
//                  TextureRenderer::lock_ (the newest captured frame),
//                  RenderController::fileLock_ (the AVI parts of a render:
//                  a frame written, a part begun or finished),
//                  FreeFramePlug::instanceLock_ (calls into the instance),
//                  KnobWrites::lock_ (knob writes waiting for the next pass;
//                  they are made outside it, under the frame lock),
//                  AudioInput::passLock_ then AudioInput::audioLock_ (a pass
//                  analysing; the buffer lists), the wave-in and sound-mixer
//                  locks, ServoPort::users_ then ServoPort::lock_ (users; the
//                  queue), TitleView::imageMutex_ (the title frame), the
//                  window posting lock (PostMessageEvent), sys::LogFile's
//                  lock (one line at a time).
//
// Order: the frame lock first and the leaf locks last (under a leaf only the
// leaves named after it in its entry, the log's lock and the posting lock).
// Between them:
//   - The frame lock, then the D3D lock, then the device lock, then the
//     list lock, on every thread. Notes end only with the device already
//     held, because a patch's note-off makes device calls: inside the render
//     thread's frame, or inside a scene that the ending call opens after the
//     frame lock and before the list lock (Performer::NoteEndScope). No
//     thread holds the list lock while waiting for the device.
//   - The ring lock is taken alone or under any of the above, and nothing
//     but a leaf is taken under it.
// Rules that keep every other thread out of a cycle with the render thread:
//   - No leaf lock is held across a device call or a wait for another
//     thread: the render thread takes leaf locks inside its frame. (The
//     capture streaming thread copies frames into memory under the
//     renderer's lock; the render thread uploads them.)
//   - Code that makes device objects and also takes a leaf lock makes them
//     outside that lock (TextureRenderer::SetMediaType).
//   - No thread waits for another (a join, an answer from the user
//     interface, room in the MIDI ring) while holding the frame lock, the
//     D3D lock or the device lock, unless the other thread takes none of
//     them: a capture streaming thread (renderer lock, log) and the servo
//     writer (its queue lock) may be joined under the frame lock; the render
//     thread only queues message boxes.
//   - The MIDI input's delivery thread holds its hand-over's delivery lock
//     while it waits for room in the ring (a wait that ends once no pass has
//     drained the ring for Performer::kUserWaitMs): the input is stopped and
//     closed only by a thread holding no lock above.
#include <mutex>
#include <thread>

namespace gfx {

class EglContext;

class DeviceLock {
 public:
  explicit DeviceLock(EglContext* context) : context_(context) {}

  void Enter();
  void Leave();
  // Keeps the lock for the calling thread until EndFrame; false when a frame is already held.
  bool BeginFrame();
  // False when the calling thread holds no frame.
  bool EndFrame();
  bool InFrame() const { return frameHeld_; }

 private:
  std::recursive_mutex mutex_;
  EglContext* context_;
  int depth_ = 0;
  bool frameHeld_ = false;
};

// Holds the device lock for a scope.
class DeviceScope {
 public:
  explicit DeviceScope(DeviceLock& lock) : lock_(lock) { lock_.Enter(); }
  ~DeviceScope() { lock_.Leave(); }
  DeviceScope(const DeviceScope&) = delete;
  DeviceScope& operator=(const DeviceScope&) = delete;

 private:
  DeviceLock& lock_;
};

}  // namespace gfx
