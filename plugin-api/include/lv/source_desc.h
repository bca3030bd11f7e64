#pragma once
// The descriptor of a video source kind.
#include <cstdint>

#include "lv/kind_desc.h"
#include "lv/source.h"

namespace lv {

class SourceDesc : public KindDesc {
 public:
  virtual Source* Create() = 0;
  // True: opened by file name and matched by extension; false: opened by a
  // name made of the prefix and a colon.
  virtual bool IsFileBased() = 0;
  // File kinds: true lists the extensions under "Anim Files", false under
  // "Image Files".
  virtual bool IsAnimated() = 0;
  virtual int32_t NumExtensions() = 0;
  // Extension i without the dot, compared ignoring case.
  virtual const char* Extension(int32_t i) = 0;
  // Non-file kinds: the name before the colon ("FrameBuffer", "Work 1").
  virtual const char* GetPrefix() = 0;
  // Unused; the host never calls them.
  virtual bool Reserved12() { return false; }
  virtual bool Reserved13() { return true; }
  virtual bool Reserved14() { return true; }
  virtual bool Reserved15() { return true; }
};

}  // namespace lv
