// Shader messages from the render thread reach the user on the
// user-interface thread, without the render thread waiting for them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <mutex>
#include <thread>

#include "fake_prompts.h"
#include "host/lorvane_host.h"

namespace {

TEST(HostShaderMessages, FromTheRenderThreadAreQueuedForTheUserInterface) {
  FakePrompts prompts;
  lv::LorvaneHost host(nullptr);
  lv::ShaderDesc desc;
  desc.source = "float4 ps_main() : COLOR0 { return undefinedThing; }\n";
  desc.length = static_cast<uint32_t>(std::strlen(desc.source));
  desc.entry = "ps_main";
  desc.profile = "ps_3_0";

  std::mutex frameLock;
  bool returnedNull = false;
  std::thread renderThread([&] {
    std::lock_guard lock(frameLock);  // held for the whole compile, as in a frame
    returnedNull = host.CompilePixelShader(&desc) == nullptr;
  });
  renderThread.join();  // no events were processed here meanwhile
  EXPECT_TRUE(returnedNull);
  EXPECT_TRUE(prompts.Boxes().empty());

  QElapsedTimer clock;
  clock.start();
  while (prompts.Boxes().empty() && clock.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].caption, "Pixel shader error");
  EXPECT_NE(prompts.Boxes()[0].text.find("undefinedThing"), std::string::npos);
  EXPECT_EQ(prompts.Threads()[0], std::this_thread::get_id());
}

}  // namespace
