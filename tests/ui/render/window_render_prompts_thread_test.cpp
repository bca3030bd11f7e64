// An error raised off the user-interface thread is shown on it, and the
// raising thread does not wait for the user.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <future>
#include <thread>

#include "recording_prompts.h"
#include "render/window_render_prompts.h"

namespace {

TEST(WindowRenderPromptsThreads, AnErrorFromAnotherThreadIsQueuedForTheUserInterface) {
  RecordingPrompts user;
  lv::WindowRenderPrompts prompts;
  std::future<void> raised = std::async(std::launch::async, [&prompts] {
    prompts.ShowError("There was a problem initiating playback mode.", "Recording error");
  });
  // The user-interface thread runs no events meanwhile: a caller that
  // waited for the box would never return.
  ASSERT_EQ(raised.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  raised.get();
  EXPECT_TRUE(user.Boxes().empty());

  QCoreApplication::processEvents();
  ASSERT_EQ(user.Boxes().size(), 1u);
  EXPECT_EQ(user.Boxes()[0].text, "There was a problem initiating playback mode.");
  EXPECT_EQ(user.BoxThreads()[0], std::this_thread::get_id());
}

}  // namespace
