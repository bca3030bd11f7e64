#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/media/video_format.h"

namespace media {

struct VideoStreamInfo {
  int width = 0;
  int height = 0;
  int64_t frameCount = 0;
  Rational frameRate;
  uint32_t fourcc = 0;    // the stream's handler code as stored in the file, 0 for uncompressed
  std::string codecName;  // the decoder's name, for logs
};

// The first video stream of a file, decoded frame by frame.
class VideoStreamReader {
 public:
  virtual ~VideoStreamReader() = default;
  virtual const VideoStreamInfo& Info() const = 0;

  // Decodes frame `index` (0 .. frameCount-1, in the order frames are
  // shown) as 32-bit pixels, top row first, rows `pitch` bytes apart; the
  // fourth byte of each pixel is 255. Nothing outside width x 4 bytes of each
  // of the height rows is written. A dropped frame (an empty chunk) gives the
  // frame before it. Reading the next frame decodes on; any other index seeks
  // to a key frame before it. False for an index out of range or a frame that
  // cannot be decoded.
  virtual bool ReadFrame(int64_t index, uint8_t* pixels, int pitch, PixelOrder order = PixelOrder::BGRX) = 0;
};

// Null when the file can't be read, has no video stream or no decoder for it;
// the reason is in `error`.
std::unique_ptr<VideoStreamReader> OpenVideoStream(const std::string& path, std::string* error);

}  // namespace media
