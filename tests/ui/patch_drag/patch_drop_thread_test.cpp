// Drops on a row whose note the render thread keeps playing: the patch is
// changed or replaced only while notes are ignored.
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <atomic>
#include <memory>
#include <thread>

#include "main_dialog_fixture.h"
#include "patch_drag/patch_drag_drop.h"
#include "patch_list/patch_list.h"

namespace uitest {
namespace {

using PatchDropThreadTest = MainDialogTest;

TEST_F(PatchDropThreadTest, DropsOnARowWhoseNoteIsBeingPlayed) {
  ui::PatchDragDrop* drops = nullptr;
  for (QObject* child : dialog->List().children())
    if (auto* found = dynamic_cast<ui::PatchDragDrop*>(child)) drops = found;
  ASSERT_NE(drops, nullptr);
  NewPerformance();
  dialogs.bankNumbers = {1};
  dialog->Command(ids::kCreateNew);
  performer.SetState(lv::Live);
  Assign(10, 0);

  QTemporaryDir folder;
  QFile media(folder.filePath("clip.avi"));
  ASSERT_TRUE(media.open(QIODevice::WriteOnly));
  QMimeData file;
  file.setUrls({QUrl::fromLocalFile(media.fileName())});
  const std::unique_ptr<QMimeData> clip(drops->MakeDragData(10));
  ASSERT_NE(clip, nullptr);

  std::atomic<bool> stop{false};
  std::atomic<int> passes{0};
  std::thread render([&] {
    while (!stop.load()) {
      performer.PushMidi(lv::MidiEvent{0x90u | 10u << 8 | 100u << 16, 0});
      performer.RunPass();
      performer.PushMidi(lv::MidiEvent{0x90u | 10u << 8, 0});
      performer.RunPass();
      passes += 2;
    }
  });
  // Each drop either re-makes the playing patch with a new source or
  // deletes it for a copy.
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(drops->Drop(i % 2 == 0 ? file : *clip, 10));
    Deliver();
  }
  while (passes.load() < 100) std::this_thread::yield();
  stop = true;
  render.join();
  Deliver();
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_NE(Current()->currentBank->slots[10].patch, nullptr);
}

}  // namespace
}  // namespace uitest
