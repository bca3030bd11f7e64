// The floating preview over a main dialog: the windowed target moves into it
// and back, the toggle is refused while recording or playing back, its keys
// reach the dialog, and resizing keeps the picture's shape.
#include <QAbstractButton>
#include <QKeyEvent>
#include <QTest>

#include "floating_preview/floating_preview.h"
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

// Remembers where the windowed display was set up at each switch.
class TargetRecorder final : public ui::DisplayControl {
 public:
  void SetDisplay(bool fullScreen) override {
    calls.push_back({fullScreen, preview != nullptr ? preview->Window() : nullptr});
  }
  struct Call {
    bool fullScreen;
    ui::FloatingPreviewWindow* target;  // null: the output area
  };
  std::vector<Call> calls;
  ui::FloatingPreview* preview = nullptr;
};

class FloatingPreviewTest : public MainDialogTest {
 protected:
  void SetUp() override {
    NewPerformance();
    dialog->show();
    QApplication::processEvents();
    ui::FloatingPreview::Links links;
    links.performer = &performer;
    links.display = &recorder;
    links.outputArea = dialog->Item(ids::kOutputArea);
    links.keys = dialog->KeyboardPlayTargets();
    links.backBufferSize = [](uint32_t* w, uint32_t* h) {
      *w = 640;
      *h = 480;
    };
    preview = std::make_unique<ui::FloatingPreview>(std::move(links));
    recorder.preview = preview.get();
  }
  QRect AreaOnScreen() const {
    QWidget* area = dialog->Item(ids::kOutputArea);
    return QRect(area->mapToGlobal(area->contentsRect().topLeft()), area->contentsRect().size());
  }

  TargetRecorder recorder;
  std::unique_ptr<ui::FloatingPreview> preview;
};

TEST_F(FloatingPreviewTest, DockedFloatingClosedDocked) {
  ASSERT_TRUE(preview->Toggle());
  QPointer<ui::FloatingPreviewWindow> first = preview->Window();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(preview->IsFloating());
  EXPECT_EQ(first->windowTitle(), "Lorvane GPU Preview");
  EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->geometry(), AreaOnScreen()) << "the window opens where the picture was";
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_FALSE(recorder.calls[0].fullScreen);
  EXPECT_EQ(recorder.calls[0].target, first) << "the display is set up into the new window";

  first->close();  // as the window's close button does
  EXPECT_FALSE(preview->IsFloating());
  ASSERT_EQ(recorder.calls.size(), 2u);
  EXPECT_FALSE(recorder.calls[1].fullScreen);
  EXPECT_EQ(recorder.calls[1].target, nullptr) << "the output area is the target again";
  EXPECT_FALSE(first->isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(first, nullptr) << "the closed window is gone";

  dialog->move(dialog->pos() + QPoint(30, 20));
  QApplication::processEvents();
  ASSERT_TRUE(preview->Toggle());
  ASSERT_NE(preview->Window(), nullptr);
  EXPECT_EQ(preview->Window()->geometry(), AreaOnScreen()) << "a new window at the output area's new place";
  EXPECT_EQ(recorder.calls.back().target, preview->Window());
  ASSERT_TRUE(preview->Toggle());
  EXPECT_EQ(recorder.calls.size(), 4u);
}

TEST_F(FloatingPreviewTest, RefusedWhileRecordingOrPlayingBack) {
  for (lv::PerformerState busy : {lv::Recording, lv::PlayingCapture}) {
    SCOPED_TRACE(busy);
    performer.SetState(busy);
    EXPECT_FALSE(preview->Toggle());
    EXPECT_FALSE(preview->IsFloating());
    EXPECT_TRUE(recorder.calls.empty());
    performer.SetState(lv::Live);
  }
  ASSERT_TRUE(preview->Toggle());
  performer.SetState(lv::Recording);
  preview->Window()->close();
  EXPECT_TRUE(preview->IsFloating()) << "a recording keeps its display: the window stays";
  EXPECT_TRUE(preview->Window()->isVisible());
  EXPECT_EQ(recorder.calls.size(), 1u);
  performer.SetState(lv::Live);
}

TEST_F(FloatingPreviewTest, TheOutputAreaDoubleClickTogglesThroughTheDialog) {
  MainDialogTest::dialog.reset();
  ui::MainDialogServices services;
  services.performer = &performer;
  services.kinds = &kinds;
  services.dialogs = &dialogs;
  int toggles = 0;
  services.toggleFloatingPreview = [&toggles] { ++toggles; };
  dialog = std::make_unique<ui::MainDialog>(services);
  dialog->show();
  // The picture's surface inside the area passes its unhandled clicks up.
  auto* surface = new QWidget(dialog->Item(ids::kOutputArea));
  surface->setGeometry(4, 4, 40, 30);
  surface->show();
  QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(toggles, 1);
}

TEST_F(FloatingPreviewTest, KeysStepBanksGoFullAndPlayOnlyWithUseKeyboard) {
  Current()->CreateBank(8);
  ASSERT_TRUE(preview->Toggle());
  ui::FloatingPreviewWindow* window = preview->Window();
  auto key = [window](QEvent::Type type, int code, bool repeat = false) {
    QKeyEvent event(type, code, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(window, &event);
    QApplication::processEvents();
  };
  key(QEvent::KeyPress, Qt::Key_Up);
  EXPECT_EQ(Current()->currentBankNumber, 8) << "Up: the next bank";
  key(QEvent::KeyPress, Qt::Key_Down);
  EXPECT_EQ(Current()->currentBankNumber, 0) << "Down: the previous bank";
  key(QEvent::KeyPress, Qt::Key_Up, true);
  EXPECT_EQ(Current()->currentBankNumber, 0) << "a repeat does nothing";
  key(QEvent::KeyPress, Qt::Key_QuoteLeft);
  EXPECT_EQ(display.calls, std::vector<bool>{true}) << "backtick: Full";

  Assign(25, 0);
  journal.Clear();
  key(QEvent::KeyPress, Qt::Key_Q);
  key(QEvent::KeyRelease, Qt::Key_Q);
  performer.RunPass();
  EXPECT_TRUE(journal.Matching("on:").empty()) << "no notes while Use Keyboard is off";
}

TEST_F(FloatingPreviewTest, ResizingKeepsTheBackBuffersShape) {
  ASSERT_TRUE(preview->Toggle());
  ui::FloatingPreviewWindow* window = preview->Window();
  const QRect start = window->geometry();
  window->resize(400, start.height());
  EXPECT_EQ(window->size(), QSize(400, 300)) << "a wider window is as much taller";
  window->resize(window->width(), 150);
  EXPECT_EQ(window->size(), QSize(200, 150));
}

}  // namespace
}  // namespace uitest
