// Patch drag and drop on the main dialog's list: copies of dragged patches,
// refused clips, which files are taken, file drops on patched and empty
// rows, and the drop events themselves.
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "main_dialog_fixture.h"
#include "patch_drag/patch_clip.h"
#include "patch_drag/patch_drag_drop.h"
#include "patch_list/patch_list.h"

namespace uitest {
namespace {

constexpr uint32_t kGainTag = lv::ChunkTag("GAIN");

class PatchDragDropTest : public MainDialogTest {
 protected:
  PatchDragDropTest() {
    for (QObject* child : dialog->List().children()) {
      if (auto* found = dynamic_cast<ui::PatchDragDrop*>(child)) drops = found;
    }
    NewPerformance();
    dialogs.bankNumbers = {1};
    dialog->Command(ids::kCreateNew);
    performer.SetState(lv::Live);
  }

  lv::Bank& Bank() { return *Current()->currentBank; }
  UiPlug* Patch(int note) { return static_cast<UiPlug*>(Bank().slots[note].patch.get()); }

  // Note 10: kind Alpha with state 7, gain 42, priority 3, target 1.
  UiPlug& Source() {
    alpha->params = {{0, 100, 50, 0, kGainTag, "Gain", nullptr}};
    Assign(10, 0);
    UiPlug& patch = *Patch(10);
    patch.state = 7;
    patch.SetParam(0, 42);
    Bank().slots[10].priority = 3;
    Bank().slots[10].target = 1;
    return patch;
  }

  static std::unique_ptr<QMimeData> Files(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
  }

  QString MakeFile(const QString& name) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return file.fileName();
  }

  ui::PatchDragDrop* drops = nullptr;
  QTemporaryDir folder;
};

TEST_F(PatchDragDropTest, ADroppedPatchIsACopyWithItsStateAndModulationOnAnotherOrTheSameRow) {
  ASSERT_NE(drops, nullptr);
  for (int target : {20, 10}) {
    UiPlug& original = Source();
    std::unique_ptr<QMimeData> data(drops->MakeDragData(10));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(drops->Acceptable(*data));
    ASSERT_TRUE(drops->Drop(*data, target));

    UiPlug* copy = Patch(target);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &original) << target;
    EXPECT_EQ(*copy->GetClassId(), *alpha->GetClassId());
    EXPECT_EQ(copy->state, 7);
    ASSERT_EQ(copy->GetNumParams(), 1);
    EXPECT_EQ(copy->GetParam(0), 42);
    EXPECT_EQ(Bank().slots[target].priority, 0);
    EXPECT_EQ(Bank().slots[target].target, lv::NoteSlot::kScreen);
    EXPECT_EQ(Cell(target, 3), "Alpha");
    if (target != 10) {
      EXPECT_EQ(Patch(10), &original);  // the dragged note keeps its patch
    }
    EXPECT_EQ(drops->HighlightedRow(), -1);
  }
}

TEST_F(PatchDragDropTest, BadClipsLeaveTheRowAsItWas) {
  Source();
  std::unique_ptr<QMimeData> good(drops->MakeDragData(10));
  const QByteArray clip = good->data("LVPatchClip");
  ASSERT_GE(clip.size(), ui::kPatchClipHeaderSize);

  QByteArray unknownKind = clip;
  unknownKind[10] = char(0x77);  // the class id's first byte
  QByteArray wrongTag = clip;
  wrongTag[0] = 'X';
  for (const QByteArray& bad : {clip.left(ui::kPatchClipHeaderSize - 1), unknownKind, wrongTag, QByteArray()}) {
    Assign(30, 1);
    UiPlug* before = Patch(30);
    QMimeData data;
    data.setData("LVPatchClip", bad);
    EXPECT_FALSE(drops->Drop(data, 30));
    EXPECT_EQ(Patch(30), before);
    EXPECT_EQ(Cell(30, 3), "Beta");
  }
}

TEST_F(PatchDragDropTest, TakesOneReadableVisibleMediaFileOnly) {
  const QString avi = MakeFile("clip.avi");
  const QString png = MakeFile("still.png");
  const QString text = MakeFile("notes.txt");
  const QString hidden = MakeFile(".secret.avi");
  ASSERT_TRUE(QDir(folder.path()).mkdir("movies.avi"));
  struct Case {
    QStringList files;
    bool accepted;
  };
  for (const Case& c : {Case{{avi}, true}, Case{{png}, true}, Case{{avi, png}, false}, Case{{text}, false},
                        Case{{folder.filePath("movies.avi")}, false}, Case{{folder.filePath("gone.avi")}, false},
                        Case{{hidden}, false}, Case{{}, false}}) {
    EXPECT_EQ(drops->Acceptable(*Files(c.files)), c.accepted) << c.files.join(",").toStdString();
  }
}

TEST_F(PatchDragDropTest, AFileOnAPatchedRowBecomesItsSourceAndIsOfferedForSaving) {
  UiPlug& patch = Source();
  Current()->modified = 0;
  const QString avi = MakeFile("clip.avi");
  ASSERT_TRUE(drops->Drop(*Files({avi}), 10));
  EXPECT_EQ(Patch(10), &patch);
  EXPECT_EQ(patch.inputName, avi.toStdString());
  EXPECT_NE(Current()->modified, 0);
  EXPECT_EQ(Cell(10, 4), "clip.avi");
}

TEST_F(PatchDragDropTest, ADropOnAPlayingRowEndsItsNoteWhileNotesAreIgnored) {
  Source();
  const QString avi = MakeFile("clip.avi");
  const std::unique_ptr<QMimeData> file = Files({avi});
  const std::unique_ptr<QMimeData> clip(drops->MakeDragData(10));
  for (const QMimeData* data : {file.get(), clip.get()}) {
    performer.NoteOn(0, 0x90u | 10u << 8 | 100u << 16);
    ASSERT_EQ(performer.ActiveNoteCount(), 1);
    journal.Clear();
    ASSERT_TRUE(drops->Drop(*data, 10));
    EXPECT_EQ(performer.ActiveNoteCount(), 0);
    EXPECT_EQ(journal.Matching("state-at-off:"), std::vector<std::string>{"state-at-off:6"});
    EXPECT_EQ(performer.State(), lv::Live);
  }
}

TEST_F(PatchDragDropTest, AFileOnAnEmptyRowAsksForAPlugInThenItsSettings) {
  const QString avi = MakeFile("clip.avi");
  dialogs.plugins = {-1};
  EXPECT_FALSE(drops->Drop(*Files({avi}), 40));
  EXPECT_EQ(Patch(40), nullptr);

  dialogs.plugins = {1};
  ASSERT_TRUE(drops->Drop(*Files({avi}), 40));
  ASSERT_NE(Patch(40), nullptr);
  EXPECT_EQ(*Patch(40)->GetClassId(), *beta->GetClassId());
  EXPECT_EQ(Patch(40)->inputName, avi.toStdString());
  EXPECT_EQ(Patch(40)->configured, 1);
}

TEST_F(PatchDragDropTest, TheDragOffersThePatchsMediaFileOnlyWhenItHasOne) {
  UiPlug& patch = Source();
  std::unique_ptr<QMimeData> plain(drops->MakeDragData(10));
  EXPECT_TRUE(plain->hasFormat("LVPatchClip"));
  EXPECT_FALSE(plain->hasUrls());
  patch.inputName = MakeFile("clip.avi").toStdString();
  std::unique_ptr<QMimeData> withFile(drops->MakeDragData(10));
  ASSERT_EQ(withFile->urls().size(), 1);
  EXPECT_EQ(withFile->urls().front().toLocalFile().toStdString(), patch.inputName);
  EXPECT_EQ(drops->MakeDragData(11), nullptr);
}

TEST_F(PatchDragDropTest, DropEventsOnARowCopyAndHighlightOnlyWhileOver) {
  Source();
  dialog->show();
  ui::PatchList& list = dialog->List();
  std::unique_ptr<QMimeData> data(drops->MakeDragData(10));
  list.scrollToItem(list.item(12, 0));
  const QPoint at = list.visualRect(list.model()->index(12, 3)).center();

  QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &enter);
  QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &move);
  EXPECT_TRUE(move.isAccepted());
  EXPECT_EQ(drops->HighlightedRow(), 12);
  EXPECT_FALSE(list.item(12, 0)->data(ui::PatchList::kPlayingRole).toBool());

  QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  ASSERT_NE(Patch(12), nullptr);
  EXPECT_EQ(Patch(12)->state, 7);
  EXPECT_EQ(drops->HighlightedRow(), -1);

  // A file nothing opens is refused while dragged over a row.
  std::unique_ptr<QMimeData> text = Files({MakeFile("notes.txt")});
  QDragEnterEvent enterText(at, Qt::CopyAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &enterText);
  QDragMoveEvent moveText(at, Qt::CopyAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &moveText);
  EXPECT_FALSE(moveText.isAccepted());
  EXPECT_EQ(drops->HighlightedRow(), -1);
}

}  // namespace
}  // namespace uitest
