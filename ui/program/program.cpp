#include "program.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <cstdlib>

#include "platform/sys/log.h"
#include "platform/sys/module_path.h"
#include "platform/window/message_box.h"
#include "platform/window/qt_window_handle.h"

namespace app {
namespace {

Program* theProgram = nullptr;
lv::DisplayHostState* theHost = nullptr;

gfx::Device* CurrentDevice() { return theHost != nullptr ? theHost->Device() : nullptr; }

}  // namespace

Program::Program() : d3d_(gfx::CreateGraphicsSystem), midi_(midi::CreateInputSystem()) {
  theProgram = this;
  theHost = &host_;
  workBuffers_.Connect(&host_, nullptr, lv::WorkBufferKindMaker{});
  performer_.SetDevice(&frameDevice_);
}

Program::~Program() {
  if (!shutDown_) Shutdown();
  theHost = nullptr;
  theProgram = nullptr;
}

bool Program::InitInstance() {
  sys::Log("InitInstance started");
  lv::OutputWindowCommands::Connections connections;
  connections.setWindowed = [this] { display_.SetDisplay(false); };
  connections.keyboardPlay = [this] { return keyboardPlay_; };
  commands_ = std::make_unique<lv::OutputWindowCommands>(performer_, std::move(connections));

  auto keyDown = [this](int key, bool repeat) { commands_->KeyDown(key, repeat); };
  auto keyUp = [this](int key) { commands_->KeyUp(key); };
  outputWindow_ = std::make_unique<OutputWindow>(OutputWindow::Handlers{keyDown, keyUp});
  mainDialog_ = std::make_unique<MainDialog>(MainDialog::Handlers{keyDown, keyUp, [this] { Shutdown(); }});
  sys::Log("Windows created");
  // Losing the foreground in full screen on the first screen returns to the window.
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && commands_) commands_->Deactivated();
  });

  // The output area needs its native window before the device presents into it.
  mainDialog_->OutputArea().winId();
  outputWindow_->winId();
  d3d_.SetPresentFallback([this](const gfx::PresentImage& image) {
    (fullScreenShown_ ? static_cast<OutputSurface&>(*outputWindow_) : mainDialog_->OutputArea()).ShowPicture(image);
  });

  sys::Log("Resetting performance");
  if (!lifecycle_.Startup()) return false;
  PlayTestPatch();
  mainDialog_->show();
  mainDialog_->activateWindow();
  mainDialog_->setFocus();
  sys::Log("InitInstance finished");
  return true;
}

void Program::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  lifecycle_.Shutdown();
  QApplication::quit();
}

void Program::LoadRecentFiles() {
  // Call site for the recent-files list ("Lorvane.mru" beside the program).
}

void Program::LoadSettings() {
  // Call site for the settings file ("Lorvane.cfg" beside the program).
}

void Program::SaveSettings() {
  // Call site for saving the settings file.
}

void Program::ShowCursor(bool show) {
  if (show)
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  else
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void Program::LoadPlugins() {
  // INTERIM: becomes LoadPlugins(ThePlugRegistry(), libraries, main dialog).
  libraries_.LoadFolder(sys::FolderOf(sys::ProgramPath()) + "/Plugins", CurrentDevice);
}

void Program::FreePluginLibraries() { libraries_.FreeAll(); }

// INTERIM, for the end-to-end test until project files open: with
// LV_TEST_PATCH_NOTE set, a performance whose bank 0 plays the first loaded
// plug-in kind on that note of channel 1.
void Program::PlayTestPatch() {
  const char* note = std::getenv("LV_TEST_PATCH_NOTE");
  if (note == nullptr || libraries_.Kinds().empty()) return;
  auto* performance = new lv::Performance;
  lv::Bank* bank = performance->CreateBank(0);
  performance->SelectBank(0);
  const int index = std::atoi(note) & 0x7F;
  bank->slots[index].patch.reset(libraries_.Kinds().front()->Create());
  bank->slots[index].bindings.Attach(bank->slots[index].patch.get());
  performer_.SetPerformance(performance);
  performer_.SetChannelMask(performance->channelMask);
  sys::Log("Test patch on note %d", index);
}

gfx::NativeWindow Program::FullScreenWindow() { return outputWindow_->Native(); }

gfx::NativeWindow Program::WindowedOutput() { return mainDialog_->OutputArea().Native(); }

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
  box.owner = window::HandleOf(mainDialog_.get());
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
  window::ShowMessageBox(box);
  // The render thread is running: end it before the process goes.
  midi_.Close();
  performer_.Stop();
  std::_Exit(1);
}

}  // namespace app
