#pragma once
// Plays a capture file back through the Performer: at 59.94 frames per
// second for viewing, or at 29.97 while every frame is compressed into AVI
// files of about 1 GiB each, so a show renders at full quality without
// keeping real time. One render at a time.
//
// The commands and StopRenderFile run on the user-interface thread; OnFrame
// and the switch to the next part run on the render thread inside its frame
// lock. StopRenderFile first moves the Performer out of playback, which waits
// for the frame in progress, so the two never run at once. FinishFile, at the
// program's end, waits for no frame: the files are the file lock's, a leaf
// lock held only while frames are written and parts change.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "capture/file_dialog_request.h"
#include "platform/media/video_file_writer.h"

namespace lv {

class CaptureAudio;
class CompressorChooser;
class FrameGrabber;
struct FrameView;
class Performer;
class RenderPrompts;

inline constexpr char kAviCreateErrorText[] = "There was a problem creating the target AVI file.";
inline constexpr char kPlaybackStartErrorText[] = "There was a problem initiating playback mode.";
inline constexpr char kRenderErrorCaption[] = "Recording error";
inline constexpr char kPlaybackErrorCaption[] = "Playback error";

class RenderController {
 public:
  static constexpr float kPlayFramesPerSecond = 59.94f;
  static constexpr float kRenderFramesPerSecond = 29.97f;
  static constexpr media::Rational kRenderFrameRate{2997, 100};
  static constexpr int64_t kPartBytes = 0x40000000;

  RenderController(Performer& performer, RenderPrompts& prompts, CompressorChooser& chooser);
  ~RenderController();
  RenderController(const RenderController&) = delete;
  RenderController& operator=(const RenderController&) = delete;

  void SetFrameGrabber(FrameGrabber* grabber) { grabber_ = grabber; }
  void SetCaptureAudio(CaptureAudio* audio) { audio_ = audio; }
  // A part is closed and the next begun once it holds more than this many
  // compressed bytes.
  void SetPartBytes(int64_t bytes) { partBytes_ = bytes; }

  // The open dialog for the capture file; false without a performance or
  // when the user cancels.
  bool ChooseCaptureFile(std::string* path);
  // Menu "Play captured MIDI file".
  void PlayCaptureFile();
  // Menu "Render captured MIDI file".
  void RenderCaptureFile();
  // The frame callback; `argument` is the controller. False ends the render.
  static bool OnFrame(void* argument);
  // Ends playback or rendering (the main dialog on the end-of-playback
  // message). Runs once per playback: later calls do nothing.
  void StopRenderFile();
  // At the program's end, before anything waits for the render thread (its
  // pass may never end): the part being written is finished with its index
  // and the parts take their names; later frames are not written.
  void FinishFile();

  // File steps.
  void CloseAvi();
  // Finishes the current part; false when it could not be kept.
  bool ReleaseStreams();
  void NextPartName();
  // Creates the current part; false with the reason logged.
  bool CreateAvi();

  static FileDialogRequest CaptureFileDialog();
  static FileDialogRequest TargetFileDialog();

  // Progress.
  bool Active() const { return active_; }
  const std::string& CurrentPartName() const { return currentPartName_; }
  int PartCount() const { return partCount_; }
  int64_t FrameIndex() const { return frameIndex_; }
  int64_t ByteCount() const { return byteCount_; }

 private:
  bool WriteFrame();
  // Under the file lock: the grabbed frame into the current part, and the
  // next part begun when this one is full.
  bool WriteGrabbedFrame(const FrameView& view);
  // Under the file lock: the current part finished, the first part renamed.
  void FinishParts();
  std::string TargetStem() const;

  Performer& performer_;
  RenderPrompts& prompts_;
  CompressorChooser& chooser_;
  FrameGrabber* grabber_ = nullptr;
  CaptureAudio* audio_ = nullptr;
  int64_t partBytes_ = kPartBytes;

  bool active_ = false;  // a playback this controller started has not been stopped
  std::string capturePath_;
  std::string targetName_;
  std::string currentPartName_;
  int partCount_ = 0;
  media::VideoFileFormat format_;
  media::CompressorChoice choice_;
  // Over the writer, the part names and counts and the pending error
  // between the render thread's frames and FinishFile.
  std::mutex fileLock_;
  std::unique_ptr<media::VideoFileWriter> writer_;
  int64_t frameIndex_ = 0;
  int64_t byteCount_ = 0;
  bool grabbing_ = false;  // the grabber holds device copies
  // Set on the render thread, shown by StopRenderFile on the user-interface
  // thread: the render thread never opens a message box.
  std::optional<std::string> pendingError_;
};

}  // namespace lv
