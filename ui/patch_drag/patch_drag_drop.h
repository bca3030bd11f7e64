#pragma once
// Drag and drop on the patch list: a row's patch dragged to another row
// becomes a copy there ("LVPatchClip", also offering the patch's media file
// to other programs), and one media file dropped from outside becomes the
// source of the row's patch, or of a new patch on an empty row.
#include <QObject>
#include <QPoint>
#include <functional>
#include <string>

#include "lv/plug.h"
#include "performance/bank.h"
#include "performer/performer.h"
#include "platform/window/window_handle.h"

class QFrame;
class QMimeData;

namespace ui {

class PatchList;
class PluginKinds;

class PatchDragDrop final : public QObject {
 public:
  struct Links {
    lv::Performer* performer = nullptr;
    const PluginKinds* kinds = nullptr;
    // Puts the instance (owned from here on) on the note, its settings
    // dialog first when `configure`; 1 on success.
    std::function<int(lv::Plug* instance, bool configure, window::WindowHandle owner, int note)> assign;
    // The plug-in chooser: a kind index, or -1 when cancelled.
    std::function<int(window::WindowHandle owner)> choosePlugin;
    // True when some source kind opens the file.
    std::function<bool(const std::string& path)> opensAsSource;
    // Makes the patch's device objects for the channels playing the bank.
    std::function<void(lv::Plug& patch, const lv::Bank& bank)> createDeviceObjects;
  };

  // Takes the list's drops and starts its drags from here on.
  PatchDragDrop(PatchList& list, Links links);

  // What a drag of the note's patch carries; null when the current bank's
  // note holds no patch. The caller owns it.
  QMimeData* MakeDragData(int note) const;
  // Whether the data can be dropped on a row: a patch clip, or exactly one
  // readable, visible regular file that a source kind opens.
  bool Acceptable(const QMimeData& data) const;
  // Drops on the note of the current bank; true when something changed.
  bool Drop(const QMimeData& data, int note);
  // The row under the drop highlight, -1 for none.
  int HighlightedRow() const { return highlighted_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  lv::Bank* CurrentBank() const;
  int RowAt(const QPoint& viewportPoint) const;
  void Highlight(int row);
  void StartDrag(int row);
  bool DropClip(const std::string& clip, int note);
  bool DropFile(const std::string& path, int note);
  static std::string SingleFile(const QMimeData& data);

  PatchList& list_;
  Links links_;
  QFrame* highlight_ = nullptr;
  int highlighted_ = -1;
  bool dragAcceptable_ = false;
  QPoint pressAt_;
  int pressedRow_ = -1;
};

}  // namespace ui
