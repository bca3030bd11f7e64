#pragma once
// The library's settings dialogs from its own layouts, driven like a user on
// real widgets.
#include <QAbstractButton>
#include <QTest>
#include <QWidget>

#include "chunk_list.h"
#include "library_fixture.h"
#include "modal_driver.h"

// The control of the dialog with layout id `id`.
template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

// On the box itself: a wide check box's centre may lie past its text.
inline void Toggle(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
