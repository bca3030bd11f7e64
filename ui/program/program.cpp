#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "app/key_note_map.h"
#include "builtin_kinds.h"
#include "freeframe/freeframe_host.h"
#include "sources/work_buffer_frame_kind.h"
#include "source_chooser/source_chooser.h"
#include "dialogs/program_ids.h"
#include "patch_list/note_names.h"
#include "platform/sys/clock.h"
#include "platform/sys/log.h"
#include "platform/sys/resources.h"
#include "platform/window/application.h"
#include "platform/window/message_box.h"
#include "platform/window/prompts_above_window.h"
#include "platform/window/qt_window_handle.h"

namespace app {
namespace {

constexpr int kOutputWidth = 320;
constexpr int kOutputHeight = 240;

}  // namespace

Program::Program()
    : d3d_(gfx::CreateGraphicsSystem),
      midi_(midi::CreateInputSystem()),
      waveInDevices_(audio::CreateSystemWaveInDevices()),
      audioInput_(*waveInDevices_) {
  registry_.SetHost(&host_);
  workBuffers_.Connect(&displayHost_, &sourceKinds_, builtin::MakeWorkBufferFrameKind);
  performer_.SetDevice(&frameDevice_);
  render_.SetFrameGrabber(&frameGrabber_);
  samplers_.env = builtin::ProgramSamplerEnvironment(&host_, &showKinds_);
  // Samplers record at the pace of the performance now playing.
  samplers_.refreshRate = [this] {
    const lv::Performance* performance = performer_.GetPerformance();
    return performance != nullptr && performance->refreshRate > 0 ? uint32_t(performance->refreshRate) : 60u;
  };
  // A project's samplers are bounded by the output of the project itself.
  samplers_.env.outputSize = [this] {
    const lv::Performance* performance = performer_.PerformanceBeingLoaded();
    if (performance == nullptr) performance = performer_.GetPerformance();
    if (performance == nullptr || performance->width <= 0 || performance->height <= 0) return builtin::OutputSize{};
    return builtin::OutputSize{uint32_t(performance->width), uint32_t(performance->height)};
  };
  projectFiles_.SetShow(&show_);
  projectFiles_.SetExitWatch(&exitWatch_);
  // This thread runs the user interface: it never waits for a pass without end.
  performer_.SetUserInterfaceThread(std::this_thread::get_id());
  performer_.SetNotRespondingReport([this] { ReportRenderThreadNotResponding(); });
  midi_.SetLostHandler([this](const std::string& name) {
    NoteDeviceLost("MIDI input: " + name + " (choose it again on the Options sheet once the server is back)");
  });
  audioInput_.SetLostHandler([this](const std::string& name) {
    NoteDeviceLost("Audio input: " + name + " (silent until the program is started again)");
  });
}

void Program::ReportRenderThreadNotResponding() {
  const lv::Performer::PatchCall call = performer_.CallInProgress();
  std::string text = "The render thread is not responding";
  if (call.kind != nullptr) {
    lv::PlugDesc* kind = registry_.FindPlugKind(*call.kind);
    const char* name = kind != nullptr ? kind->GetName() : nullptr;
    text += ": the plug-in \"" + std::string(name != nullptr ? name : "(unknown)") + "\" has not returned from ";
    if (call.note >= 0)
      text += "note " + ui::NoteName(call.note) + " (" + std::to_string(call.note) + ")";
    else
      text += "a knob change";
  }
  text += ".\nChanges that need the render thread are refused until it returns; closing the program ends it.";
  std::string line = text;
  std::replace(line.begin(), line.end(), '\n', ' ');
  sys::Log("Plug-in Error: %s", line.c_str());
  window::MessageBoxRequest request;
  request.owner = mainDialog_ ? mainDialog_->Handle() : nullptr;
  request.text = std::move(text);
  request.caption = "Plug-in Error";
  request.icon = window::MessageBoxIcon::kWarning;
  // Queued: the refused action returns at once and the dialog keeps answering.
  window::PostMessageBox(std::move(request));
}

void Program::NoteDeviceLost(std::string what) {
  bool post;
  {
    std::lock_guard lock(lostMutex_);
    lostDevices_.push_back(std::move(what));
    post = !lostNoticePending_;
    lostNoticePending_ = true;
  }
  if (!post) return;
  // The handlers are forgotten before the main dialog goes, so it outlives
  // the call and its timer.
  QMetaObject::invokeMethod(
      mainDialog_.get(), [this] { QTimer::singleShot(300, mainDialog_.get(), [this] { TellLostDevices(); }); },
      Qt::QueuedConnection);
}

void Program::TellLostDevices() {
  std::vector<std::string> lost;
  {
    std::lock_guard lock(lostMutex_);
    lost.swap(lostDevices_);
    lostNoticePending_ = false;
  }
  if (lost.empty()) return;
  window::MessageBoxRequest box;
  box.owner = mainDialog_ ? mainDialog_->Handle() : nullptr;
  box.caption = "Device Lost";
  box.text = "The sound server (JACK) has stopped, and these devices went with it:";
  for (const std::string& device : lost) box.text += "\n" + device;
  box.icon = window::MessageBoxIcon::kWarning;
  window::PostMessageBox(std::move(box));
}

Program::~Program() {
  if (!shutDown_) Shutdown();
  title_.reset();
  preview_.reset();
  mainDialog_.reset();
  host_.performer.store(nullptr);
  host_.registry.store(nullptr);
  host_.mainWindow = nullptr;
}

int Program::AdapterCount() const { return std::max(1, d3d_.AdapterCount()); }

void Program::CreateMainDialog() {
  ui::MainDialogServices services;
  services.performer = &performer_;
  services.kinds = &pluginKinds_;
  services.opensAsSource = [this](const std::string& path) { return registry_.FindSourceKind(path.c_str()) != nullptr; };
  services.projects = &projectFiles_;
  services.bundler = &projectFiles_;
  services.recent = &recentProjects_;
  services.settings = &settingsDefaults_;
  services.display = &displayControl_;
  services.midi = &midiControl_;
  services.options = &optionsSheet_;
  services.capture = &captureCommands_;
  services.facts = &systemFacts_;
  services.workBuffers = &workBufferNames_;
  services.keyNoteMap = [](int key) { return lv::NoteOfKey(key); };
  services.closing = [this] { BeginShutdown(); };
  services.shutdown = [this] { Shutdown(); };
  services.toggleFloatingPreview = [this] { preview_->Toggle(); };
  services.showTitleWindow = [this] { title_->Show(); };
  mainDialog_ = std::make_unique<ui::MainDialog>(std::move(services));
  projectFiles_.SetMainDialog(mainDialog_.get());
  renderPrompts_.SetOwner(mainDialog_->Handle());
  compressorChooser_.SetOwner(mainDialog_->Handle());

  // The windowed output is presented into a surface filling the dialog's output area.
  QWidget* area = mainDialog_->Item(ids::kOutputArea);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  outputArea_ = new OutputSurface(area);
  outputArea_->onUncovered = [this] { PresentAgain(); };
  outputArea_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(outputArea_);
  windowedSurface_.store(outputArea_);
  FitOutputArea();

  ui::FloatingPreview::Links preview;
  preview.performer = &performer_;
  preview.display = &displayControl_;
  preview.outputArea = area;
  preview.dockedSurface = outputArea_;
  preview.keys = mainDialog_->KeyboardPlayTargets();
  preview.makeSurface = [this](QWidget* parent) {
    floatingSurface_ = new OutputSurface(parent);
    floatingSurface_->onUncovered = [this] { PresentAgain(); };
    return floatingSurface_;
  };
  preview.backBufferSize = [this](uint32_t* width, uint32_t* height) {
    *width = host_.targetDesc.width;
    *height = host_.targetDesc.height;
  };
  preview_ = std::make_unique<ui::FloatingPreview>(std::move(preview));
  title_ = std::make_unique<ui::TitleWindow>(sys::FindResource(sys::kResourceBitmap, 113).Bytes());
}

// The output area's inside becomes 320 x 240; the dialog grows with it and
// the controls to its right and below move along, so none come to overlap it.
void Program::FitOutputArea() {
  QWidget* area = mainDialog_->Item(ids::kOutputArea);
  QWidget* central = mainDialog_->centralWidget();
  const QRect before = area->geometry();
  const int dx = kOutputWidth - area->contentsRect().width();
  const int dy = kOutputHeight - area->contentsRect().height();
  for (QWidget* control : central->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (control == area) continue;
    QRect place = control->geometry();
    const bool below = place.top() >= before.bottom();
    if (place.left() >= before.right()) {
      place.translate(dx, 0);
    } else if (below && place.right() >= before.right()) {
      place.setRight(place.right() + dx);  // spans the dialog's width
    }
    if (below) place.translate(0, dy);
    control->setGeometry(place);
  }
  area->setGeometry(before.adjusted(0, 0, dx, dy));
  central->setFixedSize(central->width() + dx, central->height() + dy);
  mainDialog_->adjustSize();
}

bool Program::InitInstance() {
  sys::Log("InitInstance started");
  lv::OutputWindowCommands::Connections connections;
  connections.setWindowed = [this] { display_.SetDisplay(false); };
  connections.keyboardPlay = [this] {
    const ui::KeyboardPlay& play = mainDialog_->Keyboard();
    return lv::KeyboardPlay{play.enabled, static_cast<uint8_t>(play.channel & 15)};
  };
  connections.clearPlayingMarks = [this] { mainDialog_->List().ClearPlaying(); };
  connections.clock = sys::TimeMs;

  auto keyDown = [this](int key, bool repeat) { commands_->KeyDown(key, repeat); };
  auto keyUp = [this](int key) { commands_->KeyUp(key); };
  outputWindow_ = std::make_unique<OutputWindow>(OutputWindow::Handlers{keyDown, keyUp});
  // Prompts of any kind open above the full-screen output, which then has the keys again.
  new window::PromptsAboveWindow(outputWindow_.get());
  CreateMainDialog();
  sys::Log("Windows created");
  connections.mainDialog = &mainDialog_->NoteReports();
  commands_ = std::make_unique<lv::OutputWindowCommands>(performer_, std::move(connections));
  // Losing the foreground in full screen on the first screen returns to the window.
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && commands_) commands_->Deactivated();
  });

  // The output area needs its native window before the device presents into it.
  outputArea_->winId();
  outputWindow_->winId();
  d3d_.SetPresentFallback([this](const gfx::PresentImage& image) {
    (fullScreenShown_ ? static_cast<OutputSurface&>(*outputWindow_) : *windowedSurface_.load()).ShowPicture(image);
  });

  sys::Log("Resetting performance");
  mainDialog_->UpdateMainTitle();
  mainDialog_->EnablePerformanceButtons(false);
  mainDialog_->UpdateBankControls();
  if (!lifecycle_.Startup()) return false;
  mainDialog_->AttachToPerformer();
  mainDialog_->RebuildRecentFiles();
  mainDialog_->UpdateCommandStates();
  mainDialog_->show();
  mainDialog_->activateWindow();
  if (const char* path = std::getenv("LV_DUMP_GEOMETRY")) {
    const std::string file = path;
    QTimer::singleShot(500, mainDialog_.get(), [this, file] { DumpGeometry(file); });
    // The sheet's controls while it is open; the main dialog again once the
    // display has been rebuilt after it.
    optionsSheet_.shown = [this, file](ui::OptionsSheet& sheet) {
      auto* timer = new QTimer(&sheet);
      QObject::connect(timer, &QTimer::timeout, &sheet, [this, file, &sheet] { DumpOptionsGeometry(sheet, file + ".options"); });
      timer->start(300);
    };
    optionsSheet_.closed = [this, file] {
      QTimer::singleShot(500, mainDialog_.get(), [this, file] { DumpGeometry(file); });
    };
  }
  sys::Log("InitInstance finished");
  return true;
}

void Program::Close() {
  if (mainDialog_ && !shutDown_) {
    mainDialog_->close();
  } else {
    Shutdown();
  }
}

void Program::BeginShutdown() {
  exitWatch_.Arm();
  // The performance is the render thread's while its pass lasts: with the
  // thread stuck, the close must not wait to release it.
  if (!lifecycle_.BeginShutdown()) Shutdown();
}

void Program::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  exitWatch_.Arm();
  if (!lifecycle_.Shutdown()) {
    // The render thread did not end within its wait: the destructors of what
    // it may still hold (the device, the capture devices, the libraries)
    // would wait for it or pull objects from under it. The process ends here
    // without them; the performer's files were written before the wait.
    sys::Log("Ending the process without waiting for the render thread");
    std::_Exit(EXIT_FAILURE);
  }
  // The end is decided: the loop ends now. Qt's own quit would first ask
  // every visible window to close, and the full-screen output and the
  // floating preview refuse that (the preview would even set up a display).
  window::Application::Quit(0);
}

void Program::ConnectHost() {
  host_.mainWindow = mainDialog_ ? mainDialog_->Handle() : nullptr;
  host_.performer.store(&performer_);
  host_.registry.store(&registry_);
  host_.SetSourceDialog(
      [this](const lv::SourceDialogRequest& request) { return ui::RunSourceChooser(request, &registry_); });
}

void Program::LoadRecentFiles() { recentFiles_.Load("Lorvane.mru"); }

void Program::LoadSettings() { settings_.Load("Lorvane.cfg"); }

void Program::SaveSettings() {
  if (!settings_.Save()) sys::Log("Settings could not be saved to %s", settings_.Path().c_str());
}

void Program::ShowCursor(bool show) {
  if (show)
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  else
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void Program::LoadPlugins() {
  lv::LoadPlugins(registry_, libraries_, builtin::RegisterBuiltinKinds, mainDialog_ ? mainDialog_->Handle() : nullptr);
}

void Program::FreePluginLibraries() {
  // Nothing may still point at a library's descriptors once it is closed.
  registry_.Clear();
  libraries_.FreeAll();
}

void Program::OpenAudioInput() {
  audioInput_.FindDevices();
  audioInput_.Open(audioInput_.FirstDevice());
  if (!audioInput_.IsOpen()) sys::Log("No audio input device opened");
  performer_.SetAudioInput(&engineAudio_);
  performer_.SetCaptureAudio(&engineAudio_);
  render_.SetCaptureAudio(&engineAudio_);
  host_.audioInput.store(&engineAudio_);
}

void Program::CloseAudioInput() {
  host_.audioInput.store(nullptr);
  performer_.SetAudioInput(nullptr);
  performer_.SetCaptureAudio(nullptr);
  render_.SetCaptureAudio(nullptr);
  audioInput_.Shutdown();
}

gfx::NativeWindow Program::FullScreenWindow() { return outputWindow_->Native(); }

// An output surface was uncovered. Passes that draw present again soon
// enough; while none does (halted, or a patch being chosen or edited), the
// device's picture, which it keeps, is presented again at once.
void Program::PresentAgain() {
  if (lv::IsDrawingState(performer_.State())) return;
  // A pass inside a scene (a note ending while halted) holds the D3D lock,
  // and may be stuck in a plug-in: the user interface never waits for it and
  // tries again shortly instead.
  std::unique_lock lock(d3d_.DeviceLock(), std::try_to_lock);
  if (!lock.owns_lock()) {
    if (!presentAgainQueued_) {
      presentAgainQueued_ = true;
      QTimer::singleShot(50, mainDialog_.get(), [this] {
        presentAgainQueued_ = false;
        PresentAgain();
      });
    }
    return;
  }
  d3d_.Present();
}

gfx::NativeWindow Program::WindowedOutput() {
  OutputSurface* surface = preview_ && preview_->IsFloating() ? floatingSurface_ : outputArea_;
  {
    // Under the lock every present holds: once stored, no picture is still
    // being handed to the surface this one replaces, which may then go.
    sys::CriticalSectionLock lock(d3d_.DeviceLock());
    windowedSurface_.store(surface);
  }
  return surface->Native();
}

void Program::ShowFullScreenWindow(const lv::DisplayRequest& request) {
  const auto screens = QGuiApplication::screens();
  QScreen* screen = request.adapter < static_cast<uint32_t>(screens.size()) ? screens[static_cast<int>(request.adapter)]
                                                                           : QGuiApplication::primaryScreen();
  if (screen != nullptr) outputWindow_->setGeometry(screen->geometry());
  fullScreenShown_ = true;
  outputWindow_->showFullScreen();
  outputWindow_->raise();
  outputWindow_->activateWindow();
  outputWindow_->setFocus();
}

void Program::HideFullScreenWindow() {
  fullScreenShown_ = false;
  if (outputWindow_) outputWindow_->hide();
}

void Program::ActivateMainDialog() {
  if (!mainDialog_ || !mainDialog_->isVisible()) return;
  mainDialog_->raise();
  mainDialog_->activateWindow();
}

void Program::ReportModeUnavailable(const lv::DisplayRequest& request) {
  window::MessageBoxRequest box;
  box.owner = mainDialog_ ? mainDialog_->Handle() : nullptr;
  box.caption = "Display Mode Not Available";
  box.text = "The display mode " + std::to_string(request.width) + " x " + std::to_string(request.height) + ", " +
             std::to_string(request.bitsPerPixel) + " bits, " + std::to_string(request.refreshRate) +
             " Hz is not available on this display.\nThe output stays in the window.";
  box.icon = window::MessageBoxIcon::kWarning;
  window::PostMessageBox(std::move(box));
}

void Program::FatalDisplayError(int code) {
  window::MessageBoxRequest box;
  box.caption = lv::kDisplayErrorCaption;
  box.text = lv::DisplayErrorText(code);
  box.icon = window::MessageBoxIcon::kError;
  // What the performer keeps was written and the render thread stopped
  // before this (the first half of shutdown), so an unanswered message
  // loses nothing.
  window::ShowMessageBox(box);
  std::_Exit(EXIT_FAILURE);
}

namespace {

// One line for a control: its object name (the control id), its class, its
// place in screen pixels (x y width height), its text and the pixels that
// text needs in the control's font.
QString ControlLine(const QString& name, const QWidget& control, const QRect& place, QString text) {
  text.replace('\n', ' ').remove('&');
  const int needed = text.isEmpty() ? 0 : control.fontMetrics().horizontalAdvance(text);
  return QStringLiteral("%1\t%2\t%3 %4 %5 %6\t%7\t%8\n")
      .arg(name, QString::fromLatin1(control.metaObject()->className()))
      .arg(place.x())
      .arg(place.y())
      .arg(place.width())
      .arg(place.height())
      .arg(text)
      .arg(needed);
}

QString ControlLine(const QWidget& control) {
  const QVariant property = control.property("text");
  return ControlLine(control.objectName(), control, QRect(control.mapToGlobal(QPoint(0, 0)), control.size()),
                     property.isValid() ? property.toString() : QString());
}

}  // namespace

// One line per visible control of the main dialog, then the dialog itself;
// the back buffer's size and the number of work buffers in "<path>.display".
void Program::DumpGeometry(const std::string& path) const {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  QWidget* central = mainDialog_->centralWidget();
  for (QWidget* control : central->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (control->isVisible()) file.write(ControlLine(*control).toUtf8());
  const QPoint at = mainDialog_->centralWidget()->mapToGlobal(QPoint(0, 0));
  file.write(QStringLiteral("101\tdialog\t%1 %2 %3 %4\t\t0\n")
                 .arg(at.x())
                 .arg(at.y())
                 .arg(central->width())
                 .arg(central->height())
                 .toUtf8());
  // What the output shows, beside it.
  QFile display(QString::fromStdString(path + ".display"));
  if (!display.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  const gfx::SurfaceDesc& backBuffer = d3d_.BackBufferDesc();
  display.write(QStringLiteral("backbuffer\tsurface\t0 0 %1 %2\t\t0\n").arg(backBuffer.width).arg(backBuffer.height).toUtf8());
  display.write(QStringLiteral("workbuffers\ttable\t0 0 %1 0\t\t0\n").arg(workBuffers_.Count()).toUtf8());
}

// The Options sheet itself as "sheet", its visible controls with ids (check
// boxes and radio buttons with their state after the line), and its tabs as
// "tab<n>".
void Program::DumpOptionsGeometry(const ui::OptionsSheet& sheet, const std::string& path) const {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  const QPoint corner = sheet.mapToGlobal(QPoint(0, 0));
  file.write(ControlLine(QStringLiteral("sheet"), sheet, QRect(corner, sheet.size()), QString()).toUtf8());
  const QTabBar* tabs = sheet.Tabs().tabBar();
  for (int i = 0; i < tabs->count(); ++i) {
    const QRect tab = tabs->tabRect(i);
    file.write(ControlLine(QStringLiteral("tab%1").arg(i), *tabs, QRect(tabs->mapToGlobal(tab.topLeft()), tab.size()),
                           tabs->tabText(i))
                   .toUtf8());
  }
  for (const QWidget* control : sheet.findChildren<QWidget*>()) {
    bool numeric = false;
    control->objectName().toInt(&numeric);
    if (!numeric || !control->isVisible()) continue;
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
      file.write(ControlLine(combo->objectName(), *combo, QRect(combo->mapToGlobal(QPoint(0, 0)), combo->size()),
                             combo->currentText())
                     .toUtf8());
    else if (const auto* box = qobject_cast<const QAbstractButton*>(control); box != nullptr && box->isCheckable())
      file.write(ControlLine(*control)
                     .replace('\n', box->isChecked() ? QStringLiteral("\tchecked\n") : QStringLiteral("\tunchecked\n"))
                     .toUtf8());
    else
      file.write(ControlLine(*control).toUtf8());
  }
  for (const QAbstractButton* button : sheet.findChildren<QAbstractButton*>())
    if (button->isVisible() && button->objectName().isEmpty() && !button->text().isEmpty())
      file.write(ControlLine(QStringLiteral("button:") + button->text().remove('&'), *button,
                             QRect(button->mapToGlobal(QPoint(0, 0)), button->size()), button->text())
                     .toUtf8());
}

}  // namespace app

namespace app {

void Program::OpenSoundOutput() {
  std::string error;
  soundOutput_ = audio::OpenSoundOutput(&error);
  if (!soundOutput_) sys::Log("No sound output: %s", error.c_str());
  host_.directSound = soundOutput_.get();
}

void Program::ScanFreeFrameFolder() { ff::ScanFreeFrameFolder(settings_.freeFramePath, registry_); }

bool Program::StartCaptureManager() {
  std::unique_ptr<capture::CaptureSystem> system = capture::CreateCaptureSystem();
  const bool created = system != nullptr;
  captures_ = std::make_unique<builtin::CaptureManager>(std::move(system),
                                                        builtin::ProgramCaptureEnvironment(&host_, &showKinds_));
  show_.SetCaptures(captures_.get());
  if (created) captures_->EnumerateDevices();
  return created;
}

// The devices and samplers go before the graphics device their textures
// belong to.
void Program::ReleaseCaptureDevices() {
  {
    std::lock_guard<sys::CriticalSection> frame(performer_.FrameLock());
    show_.SetCaptures(nullptr);
    captures_.reset();
  }
  show_.DeleteSamplers();
}

void Program::UnloadFreeFrame() { ff::UnloadFreeFrame(); }

void Program::ReleaseSound() {
  host_.directSound = nullptr;
  soundOutput_.reset();
}

}  // namespace app
