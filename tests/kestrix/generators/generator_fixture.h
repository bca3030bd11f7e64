#pragma once
// The generators on the shared drawing fixture: no source, only the target,
// which a frame may keep from the frame before (the generators fade or add
// onto what is there).
#include "render_fixture.h"

class GeneratorRender : public KestrixRender {
 protected:
  // A new instance of `kind` with the option word `options`, its device
  // objects made.
  void Make(const char* kind, uint32_t options) {
    plug_ = MakePlug(kind, {{"FLAG", U32(options)}}, nullptr);
    ASSERT_NE(plug_, nullptr);
  }

  // One frame of `milliseconds`, over a target cleared to `background` unless
  // it is kept from the frame before.
  std::vector<uint32_t> Frame(uint32_t milliseconds, bool clear = true, uint32_t background = 0xFF000000) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    if (clear) device_->Clear(0, nullptr, gfx::clear::Target, background, 1.0f, 0);
    plug_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  uint32_t State(gfx::RenderState state) { return RenderState(state); }
};
