// Shared by the list classes' tests: a shown window, and a list's rows
// reached as a user reaches them, through the input injection. Points are
// the list's client coordinates. The library itself is started once per
// process by exdui_env.cpp.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "exdui.h"
#include "exdui_env.h"

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

    void Click(ExHandle list, ExPoint at, uint32_t modifiers = 0,
               inject::Button button = inject::Button::Left) const {
        inject::Click(window, inject::PointIn(list, at.x, at.y), button, modifiers);
    }
    void DoubleClick(ExHandle list, ExPoint at) const {
        inject::DoubleClick(window, inject::PointIn(list, at.x, at.y));
    }
    // The pointer moving to at with no button down.
    void Hover(ExHandle list, ExPoint at) const {
        inject::MouseMove(window, inject::PointIn(list, at.x, at.y));
    }
    // The wheel turned over the list: delta 120 a notch, negative towards the user.
    void Wheel(ExHandle list, ExPoint at, int32_t delta) const {
        inject::Wheel(window, inject::PointIn(list, at.x, at.y), delta);
    }
    // A key to the object with the focus.
    void Key(int32_t key, uint32_t modifiers = 0) const { inject::Key(window, key, modifiers); }
    // The window as painted now: the list's owner draws its rows meanwhile.
    inject::Snapshot Paint() const { return inject::Grab(window); }
    // A pixel of the list in the last painting.
    static ExArgb PixelOf(const inject::Snapshot& shot, ExHandle list, int x, int y) {
        const ExPoint at = inject::PointIn(list, x, y);
        return Pixel(shot, at.x, at.y);
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
