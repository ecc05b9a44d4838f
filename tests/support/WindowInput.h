#pragma once
// What the window tests do to a window the way the operator does it: bring
// it up as the active window, type into a field and leave it with Tab, and
// click an option or check box on its mark.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// Shows a window as the active one, so that its fields take the focus.
inline void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Types over a field's text and leaves the field with Tab.
inline void typeAndLeave(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

// Clicks an option or check box on its mark, as only the mark and the
// caption take clicks.
inline void choose(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }
