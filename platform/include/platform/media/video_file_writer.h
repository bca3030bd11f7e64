#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/media/video_encoders.h"
#include "platform/media/video_format.h"

namespace media {

struct VideoFileFormat {
  int width = 0;
  int height = 0;
  Rational frameRate{30000, 1001};
};

// A compressed video file being written. Frames go in top row first and are
// stored upright. The file is built under a temporary name beside the target
// and only moved to the target by a successful Close, so a failed or
// abandoned file never replaces what was there.
class VideoFileWriter {
 public:
  virtual ~VideoFileWriter() = default;

  // One frame of exactly the file's width and height; `stride` is the
  // distance in bytes from one row to the next (the lock's pitch).
  virtual bool WriteFrame(const uint8_t* pixels, int stride, PixelOrder order) = 0;

  // Finishes the file and moves it to its name. False when anything written
  // since the file was created failed: nothing is then left at the target.
  virtual bool Close() = 0;

  virtual int64_t FramesWritten() const = 0;
  // Compressed bytes handed to the file so far (the size to split parts by).
  virtual int64_t BytesWritten() const = 0;
  // Why the last call failed.
  virtual const std::string& LastError() const = 0;
};

// Creates an AVI file with one video stream. Null on failure, with the reason
// in `error`. Destroying the writer without Close discards the file.
std::unique_ptr<VideoFileWriter> CreateAviWriter(const std::string& path, const VideoFileFormat& format,
                                                 const CompressorChoice& choice, std::string* error);

}  // namespace media
