// Without an application object nothing can be shown: every call must answer
// at once, on the caller's thread, and never crash.
#include <gtest/gtest.h>

#include <thread>

#include "fake_prompts.h"
#include "platform/window/clipboard.h"
#include "platform/window/dialog.h"
#include "platform/window/fonts.h"
#include "platform/window/messages.h"
#include "platform/window/ui_thread.h"

namespace {

using window::MessageBoxButtons;

TEST(NoUserInterface, BoxesGoToTheInstalledPromptsOnTheCallersThread) {
  FakePrompts prompts;
  prompts.answer = window::kIdYes;
  EXPECT_TRUE(window::IsUiThread());
  EXPECT_EQ(window::ShowMessageBox({nullptr, "Shader failed", "Vertex shader error", MessageBoxButtons::kOk,
                                    window::MessageBoxIcon::kError, 0}),
            window::kIdYes);

  int posted = 0;
  window::PostMessageBox({nullptr, "x", "Pixel shader error"}, [&](window::MessageBoxResult r) { posted = r; });
  EXPECT_EQ(posted, window::kIdYes) << "with nobody to queue for, the box is asked at once";

  ASSERT_EQ(prompts.Boxes().size(), 2u);
  EXPECT_EQ(prompts.Boxes()[0].caption, "Vertex shader error");
  EXPECT_EQ(prompts.Threads()[0], std::this_thread::get_id());
}

TEST(NoUserInterface, RealPromptsGiveTheUnansweredResult) {
  struct Case {
    MessageBoxButtons buttons;
    window::MessageBoxResult expected;
  };
  for (const Case c : {Case{MessageBoxButtons::kOk, window::kIdOk}, Case{MessageBoxButtons::kOkCancel, window::kIdCancel},
                       Case{MessageBoxButtons::kYesNo, window::kIdNo},
                       Case{MessageBoxButtons::kYesNoCancel, window::kIdCancel}}) {
    EXPECT_EQ(window::ShowMessageBox({nullptr, "text", "caption", c.buttons}), c.expected);
  }
  EXPECT_EQ(window::GetOpenFileName({}), std::nullopt);
  EXPECT_EQ(window::ChooseColour({}), std::nullopt);
}

TEST(NoUserInterface, DialogsClipboardAndFontsAnswerEmpty) {
  window::DialogTemplateSet templates;
  templates.Add({157, "Enter text", 100, 50, {}});
  bool called = false;
  EXPECT_EQ(window::RunModalDialog(templates, 157, nullptr,
                                   [&](window::Dialog&, window::MessageId, window::WParam, window::LParam) {
                                     called = true;
                                     return std::intptr_t{0};
                                   }),
            -1);
  EXPECT_FALSE(called);
  EXPECT_EQ(window::GetClipboardText(), std::nullopt);
  window::SetClipboardText("ignored");
  EXPECT_TRUE(window::ListFontFamilies().empty());
}

TEST(CommandWords, PackAndUnpack) {
  const window::WParam w = window::MakeCommand(1014, window::NotifyCode::kClicked);
  EXPECT_EQ(window::CommandId(w), 1014);
  EXPECT_EQ(window::CommandCode(w), window::NotifyCode::kClicked);
  EXPECT_EQ(window::CommandId(window::MakeCommand(-1, window::NotifyCode::kDoubleClicked)), -1);
  const window::WParam scroll = window::MakeWParam(static_cast<unsigned>(window::ScrollCode::kThumbTrack), 300);
  EXPECT_EQ(window::ScrollCodeOf(scroll), window::ScrollCode::kThumbTrack);
  EXPECT_EQ(window::ScrollPositionOf(scroll), 300);
  EXPECT_EQ(window::ScrollPositionOf(window::MakeWParam(0, static_cast<unsigned>(-63))), -63);
}

}  // namespace
