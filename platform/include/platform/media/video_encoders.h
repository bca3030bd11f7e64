#pragma once
#include <string>
#include <vector>

namespace media {

// One video compressor that can write into an AVI file, as a compressor
// chooser lists it.
struct VideoEncoderInfo {
  std::string name;         // the encoder's own name, stored in CompressorChoice::encoder
  std::string description;  // what the chooser shows
  bool lossless = false;
  bool hasQuality = false;      // CompressorChoice::quality is used
  bool hasKeyFrames = false;    // CompressorChoice::keyFrameEvery is used
  bool hasDataRate = false;     // CompressorChoice::dataRateKBps is used
};

// The user's compressor settings for one render.
struct CompressorChoice {
  std::string encoder = "rawvideo";  // full frames, uncompressed
  int quality = -1;                  // 0 (smallest) .. 100 (best); -1: the compressor's default
  int keyFrameEvery = 0;             // frames from one key frame to the next; 0: the default
  int dataRateKBps = 0;              // kilobytes per second aimed at; 0: no target
};

// Encoders present in this FFmpeg build that write AVI, uncompressed first.
const std::vector<VideoEncoderInfo>& AvailableVideoEncoders();

// The entry for `name`, or null when this build does not have it.
const VideoEncoderInfo* FindVideoEncoder(const std::string& name);

}  // namespace media
