// Shared by the list classes' tests: a shown window with its surface, the Qt
// scroll area behind a list object, and real mouse and key events on it. The
// tests reach the lists only through the C API and Qt's own widget classes.
// The library itself is started once per process by exdui_env.cpp.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "exdui.h"
#include "exdui_env.h"
#include "exdui_qt.h"

namespace exdui::test {

class ListWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_window = std::make_unique<TestWindow>(900, 700);
        window = m_window->Window();
        surface = m_window->Surface();
        ASSERT_NE(surface, 0);
    }

    void TearDown() override { m_window.reset(); }

    // The scroll area that a list object fills. A list without one cannot be
    // tested further: the run stops here.
    static QAbstractScrollArea* AreaOf(ExHandle object) {
        QWidget* widget = ExQtWidget(object);
        QAbstractScrollArea* area = widget != nullptr ? widget->findChild<QAbstractScrollArea*>(
                                                            QString(), Qt::FindDirectChildrenOnly)
                                                      : nullptr;
        if (area == nullptr) {
            std::fprintf(stderr, "object %d has no list widget\n", object);
            std::abort();
        }
        return area;
    }

    static QWidget* Viewport(ExHandle object) { return AreaOf(object)->viewport(); }

    // Paints the list's rows now.
    static void Repaint(ExHandle object) { Viewport(object)->repaint(); }

    static void Click(ExHandle object, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Viewport(object), button, modifiers, pos);
    }

    static void DoubleClick(ExHandle object, QPoint pos) {
        // A real double-click: press and release, then the double-click press.
        QTest::mouseClick(Viewport(object), Qt::LeftButton, Qt::NoModifier, pos);
        QTest::mouseDClick(Viewport(object), Qt::LeftButton, Qt::NoModifier, pos);
    }

    // The pointer moving to pos with no button down. Sent as the event itself:
    // QTest::mouseMove moves Qt's cursor through a pooled thread, which
    // ThreadSanitizer reports as a race inside Qt.
    static void Hover(ExHandle object, QPoint pos) {
        QWidget* view = Viewport(object);
        QMouseEvent move(QEvent::MouseMove, pos, view->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }

    static void Key(ExHandle object, Qt::Key key,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(AreaOf(object), key, modifiers);
    }

    static intptr_t Send(ExHandle object, int32_t message, intptr_t wParam = 0,
                         intptr_t lParam = 0) {
        return Ex_ObjSendMessage(object, message, wParam, lParam);
    }

    ExHandle window = 0;
    ExHandle surface = 0;

  private:
    std::unique_ptr<TestWindow> m_window;
};

}  // namespace exdui::test
