#pragma once
// The capture devices and samplers a project file saves and restores. They
// belong to the show rather than to the performance, and live outside the
// engine: the program hands them to the project file through this.
#include <functional>

#include "lv/chunk_stream.h"

namespace lv {

class ShowObjects {
 public:
  // Writes one section body into the stream; the project file frames it.
  using SectionBody = std::function<bool(ChunkStream& stream)>;
  // Writes and frames one section; false when it could not be written.
  using SectionSink = std::function<bool(const SectionBody& body)>;

  virtual ~ShowObjects() = default;
  // Once a file to load has opened: stops the running captures and deletes
  // the samplers.
  virtual void Release() = 0;
  // One "CAPT" section per capture device in use; false at the first that
  // could not be written.
  virtual bool SaveCaptures(const SectionSink& section) = 0;
  // One "SAMP" section per sampler.
  virtual bool SaveSamplers(const SectionSink& section) = 0;
  // The body of one "CAPT" or "SAMP" section, the stream reset at its start.
  virtual void LoadCapture(ChunkStream& stream) = 0;
  virtual void LoadSampler(ChunkStream& stream) = 0;
};

}  // namespace lv
