// The render commands' prompts as the window layer shows them: the file
// dialogs with the requests' filters and options, and error boxes.
#include "render/window_render_prompts.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <string>

#include "platform/window/qt_window_handle.h"
#include "recording_prompts.h"
#include "render/render_controller.h"

namespace {

using namespace std::string_literals;

TEST(WindowRenderPrompts, FileDialogsCarryTheRequestsFilterAndOptions) {
  RecordingPrompts user;
  QWidget mainDialog;
  lv::WindowRenderPrompts prompts(window::HandleOf(&mainDialog));

  user.file = "/shows/night.midicap";
  EXPECT_EQ(prompts.OpenFile(lv::RenderController::CaptureFileDialog()), "/shows/night.midicap");
  user.file.reset();
  EXPECT_EQ(prompts.SaveFile(lv::RenderController::TargetFileDialog()), std::nullopt) << "cancelled";

  ASSERT_EQ(user.Opens().size(), 1u);
  const window::FileDialogRequest open = user.Opens()[0];
  EXPECT_EQ(open.owner, window::HandleOf(&mainDialog));
  EXPECT_EQ(open.title, "Choose MIDI capture file to render");
  EXPECT_EQ(open.filter, "Lorvane MIDI capture\0*.midicap\0\0"s);
  EXPECT_EQ(open.filterIndex, 1);
  EXPECT_EQ(open.initialPath, "Performance.midicap");
  EXPECT_EQ(open.defaultExtension, "midicap");
  EXPECT_TRUE(open.fileMustExist);
  EXPECT_FALSE(open.overwritePrompt);

  ASSERT_EQ(user.Saves().size(), 1u);
  const window::FileDialogRequest save = user.Saves()[0];
  EXPECT_EQ(save.title, "Choose AVI file to save");
  EXPECT_EQ(save.filter, "AVI files\0*.avi\0\0"s);
  EXPECT_EQ(save.initialPath, "");
  EXPECT_EQ(save.defaultExtension, "avi");
  EXPECT_FALSE(save.fileMustExist);
  EXPECT_TRUE(save.overwritePrompt);
  EXPECT_TRUE(save.pathMustExist);
}

TEST(WindowRenderPrompts, ErrorsAreErrorBoxesOwnedByTheMainDialog) {
  RecordingPrompts user;
  QWidget mainDialog;
  lv::WindowRenderPrompts prompts(window::HandleOf(&mainDialog));
  prompts.ShowError(lv::kAviCreateErrorText, lv::kRenderErrorCaption);
  ASSERT_EQ(user.Boxes().size(), 1u);
  const window::MessageBoxRequest box = user.Boxes()[0];
  EXPECT_EQ(box.owner, window::HandleOf(&mainDialog));
  EXPECT_EQ(box.text, "There was a problem creating the target AVI file.");
  EXPECT_EQ(box.caption, "Recording error");
  EXPECT_EQ(box.icon, window::MessageBoxIcon::kError);
  EXPECT_EQ(box.buttons, window::MessageBoxButtons::kOk);
}

}  // namespace
