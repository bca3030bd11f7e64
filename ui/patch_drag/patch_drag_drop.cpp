#include "patch_drag/patch_drag_drop.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "files/param_bindings_record.h"
#include "lv/class_id.h"
#include "main_dialog/main_dialog_services.h"
#include "patch_drag/patch_clip.h"
#include "patch_list/patch_list.h"
#include "platform/window/qt_window_handle.h"

namespace ui {
namespace {

QString ClipFormat() { return QString::fromLatin1(kPatchClipFormat); }

// Notes are ignored while a drop changes a row: a note-on taken in between
// would restart the patch that is about to be deleted or re-made.
class EditingWhile {
 public:
  explicit EditingWhile(lv::Performer* performer)
      : performer_(performer), before_(performer != nullptr ? performer->State() : lv::Halted) {
    if (performer_ != nullptr && !performer_->SetState(lv::Editing)) {
      performer_ = nullptr;
      refused_ = true;
    }
  }
  ~EditingWhile() {
    if (performer_ != nullptr) performer_->SetState(before_);
  }
  EditingWhile(const EditingWhile&) = delete;
  EditingWhile& operator=(const EditingWhile&) = delete;
  // The render thread did not answer: the drop changes nothing.
  bool Refused() const { return refused_; }

 private:
  lv::Performer* performer_;
  lv::PerformerState before_;
  bool refused_ = false;
};

}  // namespace

PatchDragDrop::PatchDragDrop(PatchList& list, Links links) : QObject(&list), list_(list), links_(std::move(links)) {
  // The view's own drag and drop stays off (it would move items); this
  // object takes the drops instead. Setting the mode resets acceptDrops.
  list_.setDragDropMode(QAbstractItemView::NoDragDrop);
  list_.setAcceptDrops(true);
  list_.viewport()->setAcceptDrops(true);
  list_.viewport()->installEventFilter(this);
  // Its own mark, so a drag over the list leaves the playing rows' marks alone.
  highlight_ = new QFrame(list_.viewport());
  highlight_->setFrameStyle(QFrame::Box | QFrame::Plain);
  highlight_->setLineWidth(2);
  highlight_->setAttribute(Qt::WA_TransparentForMouseEvents);
  highlight_->hide();
}

lv::Bank* PatchDragDrop::CurrentBank() const {
  lv::Performance* performance = links_.performer != nullptr ? links_.performer->GetPerformance() : nullptr;
  return performance != nullptr ? performance->currentBank : nullptr;
}

int PatchDragDrop::RowAt(const QPoint& viewportPoint) const {
  const QModelIndex index = list_.indexAt(viewportPoint);
  return index.isValid() ? index.row() : -1;
}

void PatchDragDrop::Highlight(int row) {
  highlighted_ = row;
  if (row < 0) {
    highlight_->hide();
    return;
  }
  QRect rect = list_.visualRect(list_.model()->index(row, 0));
  rect.setLeft(0);
  rect.setRight(list_.viewport()->width() - 1);
  highlight_->setGeometry(rect);
  highlight_->show();
  highlight_->raise();
}

QMimeData* PatchDragDrop::MakeDragData(int note) const {
  lv::Bank* bank = CurrentBank();
  if (bank == nullptr || note < 0 || note >= PatchList::kRows || !bank->slots[note].patch) return nullptr;
  const std::string clip = EncodePatchClip(*bank, static_cast<uint8_t>(note));
  if (clip.empty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(ClipFormat(), QByteArray(clip.data(), static_cast<qsizetype>(clip.size())));
  // Other programs get the patch's media file, when it has one.
  lv::Plug& patch = *bank->slots[note].patch;
  const char* source = patch.GetNumInputs() > 0 ? patch.GetInputName(0) : nullptr;
  if (source != nullptr && source[0] != '\0' && QFileInfo(QString::fromUtf8(source)).isFile()) {
    data->setUrls({QUrl::fromLocalFile(QString::fromUtf8(source))});
  }
  return data;
}

std::string PatchDragDrop::SingleFile(const QMimeData& data) {
  if (!data.hasUrls()) return {};
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  return urls.front().toLocalFile().toStdString();
}

bool PatchDragDrop::Acceptable(const QMimeData& data) const {
  if (data.hasFormat(ClipFormat())) return data.data(ClipFormat()).size() >= kPatchClipHeaderSize;
  const std::string path = SingleFile(data);
  if (path.empty()) return false;
  const QFileInfo info(QString::fromStdString(path));
  if (!info.isFile() || info.isHidden()) return false;
  QFile file(info.filePath());
  if (!file.open(QIODevice::ReadOnly)) return false;
  return links_.opensAsSource && links_.opensAsSource(path);
}

bool PatchDragDrop::Drop(const QMimeData& data, int note) {
  if (CurrentBank() == nullptr || note < 0 || note >= PatchList::kRows) return false;
  bool changed = false;
  const EditingWhile editing(links_.performer);
  if (editing.Refused()) {
    Highlight(-1);
    return false;
  }
  if (data.hasFormat(ClipFormat())) {
    const QByteArray clip = data.data(ClipFormat());
    changed = DropClip(std::string(clip.constData(), static_cast<size_t>(clip.size())), note);
  } else if (Acceptable(data)) {
    changed = DropFile(SingleFile(data), note);
  }
  Highlight(-1);
  return changed;
}

bool PatchDragDrop::DropClip(const std::string& clip, int note) {
  if (links_.kinds == nullptr || !links_.assign) return false;
  std::unique_ptr<LoadedPatchClip> loaded = LoadPatchClip(clip, *links_.kinds);
  if (!loaded->patch) return false;  // the row stays as it was
  lv::Bank& bank = *CurrentBank();
  const uint8_t slot = static_cast<uint8_t>(note);
  // The old patch may be playing: its notes end before it goes.
  if (links_.performer != nullptr && !links_.performer->ReleaseNote(slot)) return false;
  bank.ClearNote(slot);
  if (links_.assign(loaded->patch.release(), false, nullptr, note) == 1) {
    loaded->stream.Reset();
    lv::ReadParamBindings(loaded->stream, bank, slot);
  }
  list_.RefreshNote(note);
  return true;
}

bool PatchDragDrop::DropFile(const std::string& path, int note) {
  lv::Performance* performance = links_.performer->GetPerformance();
  lv::Bank& bank = *performance->currentBank;
  lv::NoteSlot& slot = bank.slots[note];
  if (slot.patch) {
    lv::Plug& patch = *slot.patch;
    if (!links_.performer->ReleaseNote(static_cast<uint8_t>(note))) return false;
    if (patch.channelMask != 0) patch.ReleaseDeviceObjects();
    patch.channelMask = 0;
    patch.SetInputName(0, path.c_str());
    if (links_.createDeviceObjects) links_.createDeviceObjects(patch, bank);
    performance->modified = 1;  // the new source must be offered for saving
    list_.RefreshNote(note);
    return true;
  }
  if (!links_.choosePlugin || links_.kinds == nullptr || !links_.assign) return false;
  const window::WindowHandle owner = window::HandleOf(&list_);
  const int index = links_.choosePlugin(owner);
  if (index < 0) return false;
  lv::PlugDesc* kind = links_.kinds->At(index);
  if (kind == nullptr || kind->GetKind() == lv::kKindNotCreatable) return false;
  lv::Plug* instance = links_.kinds->Create(kind);
  if (instance == nullptr) return false;
  instance->SetInputName(0, path.c_str());
  return links_.assign(instance, true, owner, note) == 1;
}

void PatchDragDrop::StartDrag(int row) {
  QMimeData* data = MakeDragData(row);
  if (data == nullptr) return;
  auto* drag = new QDrag(&list_);
  drag->setMimeData(data);
  // Copy only: a file manager offered a move would take the user's file.
  drag->exec(Qt::CopyAction, Qt::CopyAction);
}

bool PatchDragDrop::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_.viewport()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      pressedRow_ = mouse->button() == Qt::LeftButton ? RowAt(mouse->position().toPoint()) : -1;
      pressAt_ = mouse->position().toPoint();
      return false;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (pressedRow_ >= 0 && (mouse->buttons() & Qt::LeftButton) &&
          (mouse->position().toPoint() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
        const int row = pressedRow_;
        pressedRow_ = -1;
        StartDrag(row);
        return true;
      }
      return false;
    }
    case QEvent::MouseButtonRelease: pressedRow_ = -1; return false;
    case QEvent::DragEnter: {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      dragAcceptable_ = drag->mimeData() != nullptr && Acceptable(*drag->mimeData());
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
      return true;
    }
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      const int row = CurrentBank() != nullptr ? RowAt(drag->position().toPoint()) : -1;
      if (row >= 0 && dragAcceptable_) {
        Highlight(row);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
      } else {
        Highlight(-1);
        drag->ignore();
      }
      return true;
    }
    case QEvent::DragLeave: Highlight(-1); return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const int row = RowAt(drop->position().toPoint());
      if (row >= 0 && drop->mimeData() != nullptr && Drop(*drop->mimeData(), row)) {
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
      } else {
        drop->ignore();
      }
      Highlight(-1);
      return true;
    }
    default: return false;
  }
}

}  // namespace ui
