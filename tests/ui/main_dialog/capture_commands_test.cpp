// Recording MIDI, and the commands a recording or playback must refuse.
#include <filesystem>

#include "main_dialog/engine_capture_commands.h"
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

constexpr int kHiddenWhileRecording[] = {1000, 1001, 1002, 1011, 1008, 1013, 1005, 1003, 1009,
                                         1138, 1139, 1007, 1006, 1052, 1106, 1113, 1114, 1115};

using CaptureCommandsTest = MainDialogTest;

TEST_F(CaptureCommandsTest, RecordingHidesTheEditingControlsUntilStopped) {
  NewPerformance();
  dialog->show();
  prompts.file = "/tmp/show.midicap";
  dialog->Command(ids::kMenuCaptureMidi);
  ASSERT_EQ(capture.started, std::vector<std::string>{"/tmp/show.midicap"});
  EXPECT_EQ(performer.State(), lv::Recording);
  for (int id : kHiddenWhileRecording) EXPECT_FALSE(dialog->Item(id)->isVisible()) << id;
  EXPECT_TRUE(dialog->Item(ids::kStopRecording)->isVisible());
  // Nothing else may take the display or the capture file away meanwhile.
  dialog->Command(ids::kMenuCaptureMidi);
  dialog->Command(ids::kMenuFullScreen);
  dialog->Command(ids::kMenuOpen);
  dialog->Command(ids::kMenuPlayCapture);
  EXPECT_EQ(capture.started.size(), 1u);
  EXPECT_TRUE(display.calls.empty());
  EXPECT_EQ(projects.loads, 0);
  EXPECT_EQ(capture.plays, 0);
  EXPECT_FALSE(dialog->MenuAction(ids::kMenuOpen)->isEnabled());

  dialog->Command(ids::kStopRecording);
  EXPECT_EQ(capture.stops, 1);
  EXPECT_EQ(performer.State(), lv::Live);
  for (int id : kHiddenWhileRecording) EXPECT_TRUE(dialog->Item(id)->isVisible()) << id;
  EXPECT_FALSE(dialog->Item(ids::kStopRecording)->isVisible());
}

TEST_F(CaptureCommandsTest, RecordingStartsOnlyFromLiveAndReportsAFileThatCannotBeMade) {
  NewPerformance();
  prompts.file = "/tmp/show.midicap";
  performer.SetState(lv::PlayingCapture);
  dialog->Command(ids::kMenuCaptureMidi);
  EXPECT_TRUE(capture.started.empty());
  performer.SetState(lv::Live);
  capture.startResult = false;
  dialog->Command(ids::kMenuCaptureMidi);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].text, "There was a problem initiating record mode.");
  EXPECT_EQ(prompts.Boxes()[0].caption, "Recording error");
  EXPECT_TRUE(dialog->Item(ids::kAssign)->isEnabled());
  EXPECT_EQ(performer.State(), lv::Live);
}

TEST_F(CaptureCommandsTest, EndOfPlaybackStopsTheRenderAndFullScreenHonoursTheCustomFlag) {
  NewPerformance();
  performer.SetState(lv::PlayingCapture);
  dialog->NoteReports();  // reports of the end of playback arrive on the main dialog
  dialog->OnMessage(lv::kPlaybackEndMessage, 0, 0);
  EXPECT_EQ(capture.renderStops, 1);
  performer.SetState(lv::Live);
  Current()->cust = 1;
  dialog->Command(ids::kFull);
  EXPECT_TRUE(display.calls.empty());
  Current()->cust = 0;
  dialog->Command(ids::kFull);
  EXPECT_EQ(display.calls, std::vector<bool>{true});
}

TEST_F(CaptureCommandsTest, EngineRecordingWritesTheCaptureFileUntilStopped) {
  NewPerformance();
  ui::EngineCaptureCommands engine(performer, nullptr);
  const std::string path = (std::filesystem::temp_directory_path() / "ui-recording.midicap").string();
  std::filesystem::remove(path);
  ASSERT_TRUE(engine.StartRecording(path));
  EXPECT_EQ(performer.State(), lv::Recording);
  EXPECT_NE(performer.GetCaptureFile(), nullptr);
  engine.StopRecording();
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(performer.GetCaptureFile(), nullptr);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(engine.StartRecording("/no/such/folder/x.midicap"));
  EXPECT_EQ(performer.State(), lv::Live);
}

}  // namespace
}  // namespace uitest
