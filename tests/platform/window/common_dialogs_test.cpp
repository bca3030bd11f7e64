#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "modal_driver.h"
#include "platform/window/clipboard.h"
#include "platform/window/common_dialogs.h"
#include "platform/window/fonts.h"

namespace {

using namespace std::string_literals;

TEST(FileDialogs, SaveAddsTheDefaultExtensionAndShowsTheFilter) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  window::FileDialogRequest request;
  request.title = "Capture MIDI";
  request.filter = "Lorvane MIDI capture\0*.midicap\0\0"s;
  request.initialPath = (folder.path() + "/Performance.midicap").toStdString();
  request.defaultExtension = "midicap";
  request.overwritePrompt = true;
  request.pathMustExist = true;
  WhenModal<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Capture MIDI");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Lorvane MIDI capture (*.midicap)"});
    EXPECT_EQ(dialog->selectedFiles().value(0).section('/', -1), "Performance.midicap");
    dialog->selectFile("take2");
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its accept
  });
  const auto chosen = window::GetSaveFileName(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (folder.path() + "/take2.midicap").toStdString());
}

TEST(FileDialogs, OpenGivesTheChosenFileAndNothingOnCancel) {
  QTemporaryDir folder;
  QFile file(folder.path() + "/clip.avi");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  window::FileDialogRequest request;
  request.title = "Select a source";
  request.filter = "AVIs\0*.avi\0Images\0*.bmp;*.png\0\0"s;
  request.filterIndex = 2;
  request.initialPath = folder.path().toStdString();
  request.fileMustExist = true;
  WhenModal<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->selectedNameFilter(), "Images (*.bmp *.png)");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->selectNameFilter("AVIs (*.avi)");
    dialog->selectFile("clip.avi");
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its accept
  });
  EXPECT_EQ(window::GetOpenFileName(request), (folder.path() + "/clip.avi").toStdString());

  WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(window::GetOpenFileName(request), std::nullopt);
}

TEST(ColourDialog, StartsFromTheColourAndKeepsTheCustomTable) {
  std::array<window::ColourRef, 16> custom{};
  custom[0] = 0x00336699;
  window::ColourRequest request;
  request.initial = 0x000000FF;  // red in the low byte
  request.customColours = &custom;
  WhenModal<QColorDialog>([](QColorDialog* dialog) {
    EXPECT_EQ(dialog->currentColor(), QColor(255, 0, 0));
    EXPECT_EQ(QColorDialog::customColor(0), QColor(0x99, 0x66, 0x33));
    QColorDialog::setCustomColor(1, QColor(1, 2, 3));
    dialog->setCurrentColor(QColor(0x10, 0x20, 0x30));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its accept
  });
  EXPECT_EQ(window::ChooseColour(request), window::ColourRef{0x00302010});
  EXPECT_EQ(custom[1], window::ColourRef{0x00030201});

  WhenModal<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(window::ChooseColour(request), std::nullopt);
}

TEST(Clipboard, TextRoundTrips) {
  window::SetClipboardText("12.5");
  EXPECT_EQ(window::GetClipboardText(), "12.5");
}

TEST(Fonts, FamiliesAreListed) { EXPECT_FALSE(window::ListFontFamilies().empty()); }

}  // namespace
