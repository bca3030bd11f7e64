// The device called from several threads at once, as the render thread, the
// user-interface thread and a capture thread do.
#include <atomic>
#include <thread>

#include "device_fixture.h"

// The Mesa driver synchronises its worker threads with its own futex-based
// primitives, which ThreadSanitizer cannot see (the driver is not built
// with it): its reports from inside the driver are not about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace gfx::test {
namespace {

TEST_F(DeviceTest, TexturesMadeOnAnotherThreadWhileFramesAreDrawn) {
  PixelShader* ps = MakePixelShader("ps_color");
  std::atomic<bool> drawing{true};
  std::atomic<int> frames{0};
  std::thread render([&] {
    for (int i = 0; i < 40; ++i) {
      ASSERT_EQ(Result::Ok, device_->BeginScene());
      device_->Clear(0, nullptr, clear::Target | clear::ZBuffer, 0xFF000000u, 1.0f, 0);
      device_->SetPixelShader(ps);
      SetProjection(kWidth, kHeight);
      SetColor(0, 0, 1, 1);
      DrawQuad(kWidth, kHeight);
      ASSERT_EQ(Result::Ok, device_->EndScene());
      ASSERT_EQ(Result::Ok, device_->Present(nullptr, nullptr, NativeWindow{}, nullptr));
      ++frames;
    }
    drawing = false;
  });
  int made = 0;
  while (drawing || made < 5) {
    const uint32_t value = 0xFF000000u | static_cast<uint32_t>(made * 0x010203);
    Texture* texture = nullptr;
    ASSERT_EQ(Result::Ok, device_->CreateTexture(32, 16, 1, usage::Dynamic, Format::A8R8G8B8, Pool::Default, &texture));
    LockedRect lr;
    ASSERT_EQ(Result::Ok, texture->LockRect(0, &lr, nullptr, lock::Discard));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) static_cast<uint32_t*>(lr.bits)[y * lr.pitch / 4 + x] = value;
    ASSERT_EQ(Result::Ok, texture->UnlockRect(0));
    ASSERT_EQ(Result::Ok, texture->LockRect(0, &lr, nullptr, lock::ReadOnly));
    EXPECT_EQ(value, static_cast<uint32_t*>(lr.bits)[15 * lr.pitch / 4 + 31]);
    texture->UnlockRect(0);
    texture->Release();
    ++made;
  }
  render.join();
  EXPECT_EQ(40, frames.load());
  EXPECT_EQ(0xFF0000FFu, ReadBackBuffer()[0]) << "the frames were drawn whole";
  ps->Release();
}

}  // namespace
}  // namespace gfx::test
