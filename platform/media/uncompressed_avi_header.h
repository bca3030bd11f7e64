#pragma once
#include <string>

namespace media {

// Rewrites the video format of a finished uncompressed AVI file so that it
// describes bottom-up rows of `stride` bytes (a positive height and the padded
// image size), as a 24-bit bitmap has them. False when the file has no such
// header or can't be rewritten.
bool MarkBottomUpFrames(const std::string& path, int stride);

}  // namespace media
