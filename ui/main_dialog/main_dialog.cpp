#include "main_dialog/main_dialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <atomic>
#include <cstdio>

#include "dialogs/program_dialogs.h"
#include "dialogs/program_ids.h"
#include "dialogs/program_note_dialogs.h"
#include "knobs/knob_shelf.h"
#include "main_dialog/keyboard_field.h"
#include "main_dialog/template_widgets.h"
#include "modulation/audio_input.h"
#include "patch_drag/patch_drag_drop.h"
#include "platform/sys/clock.h"
#include "platform/window/qt_window_handle.h"
#include "platform/window/ui_thread.h"

namespace ui {

// Bar 1090 in place of the bank name while a bank's patches get their device
// objects. A program change drives it from the render thread while the
// user-interface thread may be waiting for that thread, so updates are
// queued and never waited for.
class MainDialog::ProgressBar final : public lv::BankProgress {
 public:
  explicit ProgressBar(MainDialog* dialog) : dialog_(dialog) {}

  void Begin() override {
    percent_.store(0);
    Queue([](MainDialog& dialog, int) {
      if (auto* bar = qobject_cast<QProgressBar*>(dialog.Item(ids::kBankProgress))) bar->setValue(0);
      dialog.Item(ids::kBankName)->setVisible(false);
      dialog.Item(ids::kBankProgress)->setVisible(true);
    });
  }
  void SetPosition(int percent) override {
    percent_.store(percent);
    Queue([](MainDialog& dialog, int value) {
      if (auto* bar = qobject_cast<QProgressBar*>(dialog.Item(ids::kBankProgress))) bar->setValue(value);
    });
  }
  void End() override {
    Queue([](MainDialog& dialog, int) {
      dialog.Item(ids::kBankName)->setVisible(true);
      dialog.Item(ids::kBankProgress)->setVisible(false);
    });
  }

 private:
  void Queue(void (*update)(MainDialog&, int)) {
    window::RunOnUiThread([dialog = dialog_, update, this] {
      if (dialog) update(*dialog, percent_.load());
    });
  }

  QPointer<MainDialog> dialog_;
  std::atomic<int> percent_{0};
};

namespace {

// What the knobs follow: the Performer's controllers, the live LFOs and the
// audio input's bands.
KnobSources ShelfSources(lv::Performer& performer) {
  KnobSources sources;
  sources.controllers = &performer.Controllers();
  sources.lastController = [&performer] { return performer.LastController(); };
  sources.lfos = lv::LfoTable.data();
  sources.bandLevel = [&performer](int band) {
    const lv::AudioInput* audio = performer.Audio();
    return audio != nullptr ? audio->BandLevel(band) : 0.0f;
  };
  return sources;
}

// The output area's double click (STN_DBLCLK), also from the surface the
// picture is shown in, whose unhandled clicks come up to the area.
class DoubleClickReport final : public QObject {
 public:
  DoubleClickReport(QWidget* area, std::function<void()> report) : QObject(area), report_(std::move(report)) {
    area->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonDblClick) return false;
    report_();
    return true;
  }

 private:
  std::function<void()> report_;
};

// The performance buttons: enabled exactly while a performance exists.
constexpr int kPerformanceButtons[] = {ids::kAssign,     ids::kEdit,        ids::kReassign,
                                       ids::kPriority,   ids::kDeleteNote,  ids::kRename,
                                       ids::kCreateNew,  ids::kListPatches, ids::kDeleteBank};

}  // namespace

MainDialog::MainDialog(MainDialogServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  keyboard_.keyNoteMap = services_.keyNoteMap;
  if (services_.dialogs != nullptr) {
    dialogs_ = services_.dialogs;
  } else {
    ownDialogs_ = std::make_unique<ProgramNoteDialogs>(performer(), noteReports_, keyboard_, services_.kinds,
                                                       services_.facts);
    dialogs_ = ownDialogs_.get();
  }
  progress_ = std::make_unique<ProgressBar>(this);
  setObjectName(QString::number(ids::kMainDialog));
  BuildControls();
  BuildMenu();
  noteReports_.SetHandler([this](uint32_t message, uintptr_t w, intptr_t l) { OnMessage(message, w, l); });
  mainReports_.SetHandler([this](uint32_t message, uintptr_t w, intptr_t l) { OnMessage(message, w, l); });
  UpdateMainTitle();
}

MainDialog::~MainDialog() {
  if (attached_) {
    // Nothing may report to a dialog that is gone.
    performer().SetNoteWindow(nullptr);
    performer().SetMainDialog(nullptr);
    performer().SetBankProgress(nullptr);
  }
}

void MainDialog::AttachToPerformer() {
  attached_ = true;
  performer().SetNoteWindow(&noteReports_);
  performer().SetMainDialog(&mainReports_);
  performer().SetBankProgress(progress_.get());
}

window::WindowHandle MainDialog::Handle() { return window::HandleOf(this); }

KeyboardTargets MainDialog::KeyboardPlayTargets() {
  KeyboardTargets targets;
  targets.performer = services_.performer;
  targets.keyboard = &keyboard_;
  targets.postFull = [this] { QMetaObject::invokeMethod(this, [this] { Command(ids::kFull); }, Qt::QueuedConnection); };
  targets.postBankScroll = [this](window::ScrollCode code) {
    QMetaObject::invokeMethod(this, [this, code] { BankScroll(code, 0); }, Qt::QueuedConnection);
  };
  targets.clock = [] { return sys::TimeMs(); };
  return targets;
}

QWidget* MainDialog::Item(int id) const {
  const auto found = items_.find(id);
  return found != items_.end() ? found->second : nullptr;
}

QAction* MainDialog::MenuAction(int id) const {
  const auto found = actions_.find(id);
  return found != actions_.end() ? found->second : nullptr;
}

bool MainDialog::IsChecked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(Item(id));
  return button != nullptr && button->isChecked();
}

void MainDialog::SetItemText(int id, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(Item(id))) label->setText(StaticText(text));
}

void MainDialog::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  const window::DialogTemplate* layout = resources::ProgramDialogs().Find(ids::kMainDialog);

  PatchList::Links links;
  links.performer = services_.performer;
  links.kinds = services_.kinds;
  links.workBuffers = services_.workBuffers;
  if (services_.shelf == nullptr) {
    ownShelf_ = std::make_unique<KnobShelf>(ShelfSources(*services_.performer), services_.performer);
    services_.shelf = ownShelf_.get();
  }
  links.shelf = services_.shelf;
  links.keyboard = &keyboard_;
  const KeyboardTargets keys = KeyboardPlayTargets();
  links.postFull = keys.postFull;
  links.postBankScroll = keys.postBankScroll;
  links.activated = [this](int note) {
    // Editing from the list halts the performance around the settings
    // dialog; a recording or playback is never interrupted for it.
    lv::Performance* performance = Current();
    if (performance == nullptr || CaptureOrPlayback()) return;
    const lv::PerformerState before = performer().State();
    if (!performer().SetState(lv::Halted)) return;
    const window::WindowHandle owner = window::HandleOf(list_);
    if (performance->NotePatch(static_cast<uint8_t>(note)) != nullptr) {
      EditNotePatch(note, owner);
    } else {
      ChoosePlugInForNote(note, owner);
    }
    list_->RefreshNote(note);
    performer().SetState(before == lv::Halted ? lv::Live : before);
  };
  links.clock = keys.clock;

  auto custom = [this, &links](const window::ControlTemplate& control, QWidget* parent) -> QWidget* {
    if (control.id == ids::kPatchList) return list_ = new PatchList(parent, links);
    if (control.id == ids::kOutputArea || control.id == ids::kKnobShelf) {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::StyledPanel);
      if (control.id == ids::kOutputArea) {
        frame->setAutoFillBackground(true);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, Qt::black);
        frame->setPalette(palette);
      }
      return frame;
    }
    return nullptr;
  };
  const std::vector<BuiltControl> built = ui::BuildControls(*layout, central, custom);
  if (list_ != nullptr) {
    PatchDragDrop::Links drops;
    drops.performer = services_.performer;
    drops.kinds = services_.kinds;
    drops.assign = [this](lv::Plug* instance, bool configure, window::WindowHandle owner, int note) {
      return AssignPatchToNote(instance, configure, owner, note);
    };
    drops.choosePlugin = [this](window::WindowHandle owner) { return dialogs_->ChoosePlugin(owner); };
    drops.opensAsSource = services_.opensAsSource;
    drops.createDeviceObjects = [this](lv::Plug& patch, const lv::Bank& bank) { CreateDeviceObjects(patch, bank); };
    new PatchDragDrop(*list_, std::move(drops));
  }
  for (const BuiltControl& control : built) {
    items_[control.id] = control.widget;
    const int id = control.id;
    if (auto* button = qobject_cast<QAbstractButton*>(control.widget)) {
      connect(button, &QAbstractButton::clicked, this, [this, id] { Command(id); });
    }
  }
  if (auto* name = qobject_cast<QLabel*>(Item(ids::kBankName))) name->setTextFormat(Qt::PlainText);
  // The patch list follows the played notes from the start, and its flag is
  // whatever the box shows, however the box came to show it.
  if (auto* selector = qobject_cast<QAbstractButton*>(Item(ids::kActiveNoteSelector))) {
    connect(selector, &QAbstractButton::toggled, this, [this](bool on) { list_->SetSelector(on); });
    selector->setChecked(true);
  }
  new DoubleClickReport(Item(ids::kOutputArea), [this] { Command(ids::kOutputArea, 1); });
  bankScroll_ = qobject_cast<QScrollBar*>(Item(ids::kBankScroll));
  bankScroll_->setTracking(false);
  connect(bankScroll_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: BankScroll(window::ScrollCode::kLineRight, 0); break;
      case QAbstractSlider::SliderSingleStepSub: BankScroll(window::ScrollCode::kLineLeft, 0); break;
      case QAbstractSlider::SliderPageStepAdd: BankScroll(window::ScrollCode::kPageRight, 0); break;
      case QAbstractSlider::SliderPageStepSub: BankScroll(window::ScrollCode::kPageLeft, 0); break;
      case QAbstractSlider::SliderToMinimum: BankScroll(window::ScrollCode::kLeft, 0); break;
      case QAbstractSlider::SliderToMaximum: BankScroll(window::ScrollCode::kRight, 0); break;
      case QAbstractSlider::SliderMove:
        BankScroll(window::ScrollCode::kThumbTrack, bankScroll_->sliderPosition());
        break;
      default: break;
    }
  });
  connect(bankScroll_, &QAbstractSlider::sliderReleased, this,
          [this] { BankScroll(window::ScrollCode::kThumbPosition, bankScroll_->sliderPosition()); });
  if (ownShelf_) ownShelf_->Attach(Item(ids::kKnobShelf), qobject_cast<QScrollBar*>(Item(ids::kKnobShelfScroll)));
}

void MainDialog::BuildMenu() {
  for (const resources::SubMenu& sub : resources::MainMenu()) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(sub.title.c_str()));
    if (fileMenu_ == nullptr) fileMenu_ = menu;
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
    for (const resources::MenuEntry& entry : sub.entries) {
      if (entry.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString::fromUtf8(entry.text.c_str()));
      action->setObjectName(QString::number(entry.id));
      const int id = entry.id;
      connect(action, &QAction::triggered, this, [this, id] { Command(id); });
      actions_[id] = action;
    }
  }
  RebuildRecentFiles();
  UpdateCommandStates();
}

void MainDialog::RebuildRecentFiles() {
  for (QAction* action : recentActions_) {
    fileMenu_->removeAction(action);
    action->deleteLater();
  }
  recentActions_.clear();
  if (services_.recent == nullptr) return;
  const std::vector<std::string> entries = services_.recent->Entries();
  if (entries.empty()) return;
  QAction* before = fileMenu_->actions().value(resources::kRecentFilesPosition, nullptr);
  const int count = std::min<int>(static_cast<int>(entries.size()), ids::kMenuRecentLast - ids::kMenuRecentFirst + 1);
  for (int i = 0; i < count; ++i) {
    const QString text = QStringLiteral("&%1 - %2").arg(i + 1).arg(QString::fromUtf8(entries[static_cast<size_t>(i)].c_str()));
    auto* action = new QAction(text, fileMenu_);
    const int id = ids::kMenuRecentFirst + i;
    action->setObjectName(QString::number(id));
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    fileMenu_->insertAction(before, action);
    recentActions_.push_back(action);
  }
  QAction* separator = fileMenu_->insertSeparator(before);
  separator->setObjectName(QString::number(ids::kMenuRecentSeparator));
  recentActions_.push_back(separator);
}

bool MainDialog::CaptureOrPlayback() const {
  const lv::PerformerState state = performer().State();
  return state == lv::Recording || state == lv::PlayingCapture;
}

void MainDialog::UpdateCommandStates() {
  const bool performance = Current() != nullptr;
  const bool busy = CaptureOrPlayback();
  auto enable = [this](int id, bool enabled) {
    if (QAction* action = MenuAction(id)) action->setEnabled(enabled);
  };
  const bool files = services_.projects != nullptr;
  enable(ids::kMenuOpen, files && !busy);
  enable(ids::kMenuClose, files);
  enable(ids::kMenuSave, files && performance);
  enable(ids::kMenuSaveAs, files && performance);
  enable(ids::kMenuSaveDefaults, services_.settings != nullptr && performance);
  const bool full = services_.display != nullptr && performance && !busy && Current()->cust == 0;
  enable(ids::kMenuFullScreen, full);
  if (QWidget* button = Item(ids::kFull)) button->setEnabled(full);
  enable(ids::kMenuCaptureMidi, services_.capture != nullptr && IsLive());
  enable(ids::kMenuPlayCapture, services_.capture != nullptr && !busy);
  enable(ids::kMenuRenderCapture, services_.capture != nullptr && !busy);
  enable(ids::kMenuSystemInfo, services_.facts != nullptr);
  enable(ids::kMenuBundle, services_.bundler != nullptr && performance);
  // A display rebuild would cut a recording or a playback short.
  enable(ids::kMenuOptions, services_.options != nullptr && performance && !busy);
  enable(ids::kMenuAbout, static_cast<bool>(services_.showTitleWindow));
  for (QAction* action : recentActions_) action->setEnabled(files && !busy);
}

void MainDialog::Command(int id, int code) {
  if (code == 0 && MenuCommand(id)) return;
  if (id == ids::kPatchList) return;
  if (id == ids::kOutputArea) {
    if (code == 1 && services_.toggleFloatingPreview) services_.toggleFloatingPreview();
    return;
  }
  if (code == 0) ButtonCommand(id);
}

bool MainDialog::NeedsRenderThread(int id) {
  if (id >= ids::kMenuRecentFirst && id <= ids::kMenuRecentLast) return true;
  switch (id) {
    case ids::kMenuNew:
    case ids::kMenuOpen:
    case ids::kMenuClose:
    case ids::kMenuFullScreen:
    case ids::kMenuCaptureMidi:
    case ids::kMenuPlayCapture:
    case ids::kMenuRenderCapture:
    case ids::kMenuOptions:
    case ids::kAssign:
    case ids::kEdit:
    case ids::kPriority:
    case ids::kDeleteNote:
    case ids::kCreateNew:
    case ids::kDeleteBank:
    case ids::kFull:
    case ids::kStopRecording: return true;
    default: return false;
  }
}

bool MainDialog::MenuCommand(int id) {
  // Asked before any prompt or file dialog, so a refused command asks nothing.
  if (NeedsRenderThread(id) && !RenderThreadAnswers()) return true;
  if (id >= ids::kMenuRecentFirst && id <= ids::kMenuRecentLast) {
    if (services_.projects == nullptr) return true;
    const size_t index = static_cast<size_t>(id - ids::kMenuRecentFirst);
    std::vector<std::string> entries;
    if (services_.recent != nullptr) entries = services_.recent->Entries();
    OpenPerformance(index < entries.size() ? entries[index].c_str() : nullptr);
    return true;
  }
  switch (id) {
    case ids::kMenuNew: NewPerformance(); return true;
    case ids::kMenuOpen: OpenPerformance(nullptr); return true;
    case ids::kMenuClose: ClosePerformance(); return true;
    case ids::kMenuSave: SavePerformance(false); return true;
    case ids::kMenuSaveAs: SavePerformance(true); return true;
    case ids::kMenuExit:
      QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
      return true;
    case ids::kMenuSaveDefaults: SaveOptionsAsDefaults(); return true;
    case ids::kMenuFullScreen: FullScreen(); return true;
    case ids::kMenuCaptureMidi: StartCapture(); return true;
    case ids::kMenuPlayCapture:
      if (services_.capture != nullptr && !CaptureOrPlayback()) services_.capture->PlayCaptureFile();
      return true;
    case ids::kMenuRenderCapture:
      if (services_.capture != nullptr && !CaptureOrPlayback()) services_.capture->RenderCaptureFile();
      return true;
    case ids::kMenuSystemInfo: dialogs_->ShowSystemInfo(Handle()); return true;
    case ids::kMenuBundle: BundleProject(); return true;
    case ids::kMenuOptions: ShowOptions(); return true;
    case ids::kMenuAbout:
      if (services_.showTitleWindow) services_.showTitleWindow();
      return true;
    default: return false;
  }
}

void MainDialog::ButtonCommand(int id) {
  if (NeedsRenderThread(id) && !RenderThreadAnswers()) return;
  switch (id) {
    case ids::kAssign: AssignNote(); break;
    case ids::kEdit: EditNote(); break;
    case ids::kPriority: ChangePriority(); break;
    case ids::kDeleteNote: DeleteNote(); break;
    case ids::kCreateNew: CreateNewBank(); break;
    case ids::kListPatches:
      if (IsLive() && Current() != nullptr) dialogs_->ListPatches(Handle(), *Current());
      break;
    case ids::kRename: RenameBank(); break;
    case ids::kDeleteBank: DeleteBank(); break;
    case ids::kFull: FullScreen(); break;
    case ids::kUseKeyboard: UseKeyboard(); break;
    case ids::kStopRecording:
      if (performer().State() == lv::Recording) StopCapture();
      break;
    default: break;  // Reassign does nothing
  }
}

void MainDialog::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const int channel = static_cast<int>(wParam & 15);
  const int note = static_cast<int>(lParam & 127);
  switch (message) {
    case lv::kNoteOnMessage: list_->MarkNotePlaying(note, channel); break;
    case lv::kNoteOffMessage: list_->MarkNoteReleased(note, channel); break;
    case lv::kPlaybackEndMessage:
      // Stopped by the close when the render thread does not answer.
      if (services_.capture != nullptr && RenderThreadAnswers()) services_.capture->StopRenderFile();
      UpdateCommandStates();
      break;
    default: break;
  }
}

void MainDialog::UseKeyboard() {
  const bool on = IsChecked(ids::kUseKeyboard);
  keyboard_.enabled = on;
  delete keyboardField_;
  keyboardField_ = on ? new KeyboardField(Item(ids::kKeyboardField), KeyboardPlayTargets()) : nullptr;
  for (int id : {ids::kKeyboardHint1, ids::kKeyboardHint2, ids::kKeyboardField}) Item(id)->setVisible(on);
  if (on) Item(ids::kKeyboardField)->setFocus(Qt::OtherFocusReason);
}

void MainDialog::FullScreen() {
  lv::Performance* performance = Current();
  if (performance == nullptr || services_.display == nullptr || CaptureOrPlayback() || performance->cust != 0) return;
  services_.display->SetDisplay(true);
}

void MainDialog::EnablePerformanceButtons(bool enabled) {
  for (int id : kPerformanceButtons) Item(id)->setEnabled(enabled);
}

void MainDialog::UpdateMainTitle() {
  lv::Performance* performance = Current();
  char title[1200];
  if (performance != nullptr) {
    performer().SetChannelMask(performance->channelMask);
    EnablePerformanceButtons(true);
    std::snprintf(title, sizeof title, "%s %s - %.1024s", kProductName, kVersionText,
                  performance->name.Length() > 0 ? performance->name.CStr() : "Untitled");
  } else {
    EnablePerformanceButtons(false);
    std::snprintf(title, sizeof title, "%s %s", kProductName, kVersionText);
  }
  setWindowTitle(QString::fromUtf8(title));
  list_->Refresh();
  UpdateBankControls();
  UpdateCommandStates();
}

void MainDialog::UpdateBankControls() {
  lv::Performance* performance = Current();
  if (performance != nullptr && performance->banks.Count() > 0) {
    bankScroll_->setRange(0, performance->banks.Count() - 1);
    bankScroll_->setPageStep(1);
    bankScroll_->setValue(performance->IndexOfBank(performance->currentBank));
    bankScroll_->setEnabled(true);
    SetBankLabels(performance->currentBankNumber, performance->currentBank);
  } else {
    bankScroll_->setEnabled(false);
    SetBankLabels(-1, nullptr);
  }
}

void MainDialog::SetBankLabels(int number, const lv::Bank* bank) {
  SetItemText(ids::kBankNumber, number == -1 ? QStringLiteral("---") : QString::number(number + 1));
  QString name;
  if (bank != nullptr) {
    name = bank->Name() != nullptr ? QString::fromUtf8(bank->Name()).replace('&', QStringLiteral("&&"))
                                   : QStringLiteral("(unnamed)");
  }
  SetItemText(ids::kBankName, name);
  if (lv::Performance* performance = Current()) {
    list_->setUpdatesEnabled(false);
    for (int note = 0; note < PatchList::kRows; ++note) list_->UpdateItem(note, *performance);
    list_->setUpdatesEnabled(true);
  }
}

void MainDialog::closeEvent(QCloseEvent* event) {
  if (PromptSaveModified() == window::kIdCancel) {
    event->ignore();
    return;
  }
  // The program's closing may already have stopped the render thread, and
  // the performance with it (the thread may be stuck in a pass that holds it).
  if (services_.closing) services_.closing();
  lv::Performance* performance = Current();
  // A render thread that never ended may still be inside the performance.
  if (performer().SetPerformance(nullptr)) delete performance;
  if (services_.shutdown) services_.shutdown();
  event->accept();
}

window::MessageBoxResult MainDialog::Box(const char* text, const char* caption, window::MessageBoxButtons buttons,
                                         window::MessageBoxIcon icon, int defaultButton, window::WindowHandle owner) {
  window::MessageBoxRequest request;
  request.owner = owner != nullptr ? owner : Handle();
  request.text = text;
  request.caption = caption;
  request.buttons = buttons;
  request.icon = icon;
  request.defaultButton = defaultButton;
  return window::ShowMessageBox(request);
}

bool MainDialog::NeedBank(const char* text) {
  lv::Performance* performance = Current();
  if (performance == nullptr) return false;
  if (performance->currentBank != nullptr) return true;
  Box(text, "No patch bank selected");
  return false;
}

}  // namespace ui
