// The Qt back end's top-level window against its contract, told what lies
// where by a stand-in for the library.
#include "backend/qt/qt_native_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "backend/event_loop.h"
#include "backend/painter.h"

namespace exdui::test {
namespace {

using backend::FrameHit;
using backend::FrameMouse;

constexpr ExArgb Background = 0xFF0000FF;
constexpr ExArgb Frame = 0xFFFF0000;
const ExRect FrameRect{300, 0, 400, 26};

struct Told {
    FrameMouse action;
    int32_t x, y;
    bool operator==(const Told&) const = default;
};

struct Library : backend::NativeWindowEvents {
    void OnPaint(backend::Painter& painter, const ExRect&) override { painter.Clear(Background); }
    void OnPaintFrame(backend::Painter& painter, const ExRect&) override {
        painter.FillRect(RectF::OfSize(300, 0, 100, 26), Frame);
    }
    FrameHit OnHitTest(ExPoint) override { return FrameHit::Client; }
    void OnResized(int32_t, int32_t) override { ++calls; }
    void OnMoved(int32_t, int32_t) override { ++calls; }
    void OnStateChanged(backend::WindowState) override { ++calls; }
    void OnCloseRequested() override {
        ++calls;
        ++closes;
    }
    void OnPopupDismissed() override {
        ++calls;
        ++dismissals;
    }
    void OnActivated(bool) override { ++calls; }
    void OnFrameMouse(FrameMouse action, ExPoint at) override {
        ++calls;
        if (action != FrameMouse::Move) {
            mouse.push_back({action, at.x, at.y});
        }
    }
    bool OnKeyDown(int32_t) override { return ++calls, false; }
    void OnDestroyed() override { callsBeforeDestroyed = calls, destroyed = true; }
    void OnVisible(bool) override { ++calls; }
    void OnMouseMove(ExPoint at, uint32_t keys) override { Input("move", at, keys); }
    void OnMouseDown(backend::MouseButton b, ExPoint at, uint32_t keys) override {
        Input(Name(b) + " down", at, keys);
    }
    void OnMouseUp(backend::MouseButton b, ExPoint at, uint32_t keys) override {
        Input(Name(b) + " up", at, keys);
    }
    void OnDoubleClick(backend::MouseButton b, ExPoint at, uint32_t keys) override {
        Input(Name(b) + " double", at, keys);
    }
    void OnMouseLeave() override { ++calls; }
    void OnMouseEnter(ExPoint) override { ++calls; }
    bool OnWheel(ExPoint, int32_t, uint32_t) override { return ++calls, false; }
    bool OnKey(bool down, int32_t key, uint32_t modifiers, std::u16string_view text) override {
        Input((down ? "key " : "keyup ") + std::to_string(key) + " " +
                  std::string(text.begin(), text.end()),
              {}, modifiers);
        return false;
    }
    void OnFocusChanged(bool) override { ++calls; }
    void OnViewFocus(backend::NativeView*, bool) override { ++calls; }
    bool OnFilesOver(ExPoint, const std::vector<std::u16string>&) override {
        return ++calls, false;
    }
    bool OnFilesDropped(ExPoint, const std::vector<std::u16string>&) override {
        return ++calls, false;
    }

    static std::string Name(backend::MouseButton b) {
        return b == backend::MouseButton::Left ? "left" : "right";
    }
    void Input(const std::string& what, ExPoint at, uint32_t keys) {
        ++calls;
        input.push_back(what + " " + std::to_string(at.x) + "," + std::to_string(at.y) + " " +
                        std::to_string(keys));
    }

    std::vector<std::string> input;
    int calls = 0;
    int closes = 0;
    int dismissals = 0;
    int callsBeforeDestroyed = -1;
    bool destroyed = false;
    std::vector<Told> mouse;
};

backend::NativeWindow* Make(Library& library) {
    backend::NativeWindowOptions options;
    options.rect = {50, 60, 450, 360};
    return backend::CreateNativeWindow(options, library);
}

TEST(QtNativeWindow, ClosingOnlyAsksAndDestroyingHidesThenTellsLast) {
    Library library;
    backend::NativeWindow* window = Make(library);
    const ExRect rect = window->Rect();
    EXPECT_EQ((std::vector<int32_t>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<int32_t>{50, 60, 450, 360}));
    window->Show(EX_SW_SHOW);
    ASSERT_TRUE(window->IsVisible());
    backend::qt::WidgetOf(*window)->close();
    EXPECT_EQ(library.closes, 1);
    EXPECT_TRUE(window->IsVisible());

    window->Destroy();
    EXPECT_FALSE(window->IsVisible());
    EXPECT_FALSE(library.destroyed) << "destroyed outside the call";
    backend::DeleteDeferredObjects();
    ASSERT_TRUE(library.destroyed);
    EXPECT_EQ(library.callsBeforeDestroyed, library.calls) << "nothing after it";
}

TEST(QtNativeWindow, TheFrameAreaLiesAboveWhatCameAfterAndTellsInClientPixels) {
    Library library;
    backend::NativeWindow* window = Make(library);
    QWidget* widget = backend::qt::WidgetOf(*window);
    window->SetFrameArea(FrameRect);
    auto* object = new QWidget(widget);  // an object's widget over all of it
    object->setGeometry(0, 0, 400, 300);
    object->show();
    window->SetFrameArea(FrameRect);

    const QImage shot = widget->grab().toImage();
    EXPECT_EQ(shot.pixel(350, 10), Frame);
    EXPECT_EQ(shot.pixel(299, 10), Background);
    EXPECT_EQ(shot.pixel(350, 26), Background);

    QWidget* area = widget->childAt(350, 10);
    ASSERT_NE(area, object);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(area, Qt::RightButton, {}, QPoint(20, 5));
    const std::vector<Told> told{{FrameMouse::Press, 320, 5}, {FrameMouse::Release, 320, 5}};
    EXPECT_EQ(library.mouse, told);

    window->SetFrameArea({});
    EXPECT_EQ(widget->childAt(350, 10), object);
    window->Destroy();
    backend::DeleteDeferredObjects();
}

// What the window itself is given goes to the library in its terms: client
// points, EX_MK_* bits held after the event, a double click in place of its
// second press, the printable text of a key.
TEST(QtNativeWindow, TellsThePointerAndTheKeysInTheLibrarysTerms) {
    Library library;
    backend::NativeWindow* window = Make(library);
    window->Show(EX_SW_SHOW);
    QWidget* widget = backend::qt::WidgetOf(*window);
    QTest::mouseMove(widget, QPoint(30, 40));
    QTest::mousePress(widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 40));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(31, 40));
    QTest::mouseDClick(widget, Qt::RightButton, {}, QPoint(5, 6));
    QTest::keyClick(widget, Qt::Key_A);
    QTest::keyClick(widget, Qt::Key_Escape);
    std::erase_if(library.input, [](const std::string& s) { return s.starts_with("move"); });
    EXPECT_EQ(library.input,
              (std::vector<std::string>{"left down 30,40 5", "left up 31,40 0",
                                        "right double 5,6 2", "key 65 a 0,0 0", "keyup 65  0,0 0",
                                        "key 27  0,0 0", "keyup 27  0,0 0"}));
    window->Destroy();
    backend::DeleteDeferredObjects();
}

// A popup takes every press while shown: one outside it, or its owner moving,
// hides it and says so, never as a request to close; nothing else of the
// owner's goes with it.
TEST(QtNativeWindow, APopupGoesAwayOnAPressOutsideOrItsOwnerMoving) {
    struct Case {
        const char* what;
        std::function<void(backend::NativeWindow& owner, QWidget* popup)> act;
        bool dismissed;
    };
    const Case cases[] = {
        {"a press inside",
         [](backend::NativeWindow&, QWidget* popup) {
             QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(10, 10));
         },
         false},
        {"a press outside",
         [](backend::NativeWindow&, QWidget* popup) {
             QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(10, 200));
         },
         true},
        {"the owner moving",
         [](backend::NativeWindow& owner, QWidget*) {
             owner.SetRect({70, 60, 470, 360});
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Library ownerLibrary;
        backend::NativeWindow* owner = Make(ownerLibrary);
        owner->Show(EX_SW_SHOW);
        owner->SetFrameArea(FrameRect);
        Library library;
        backend::NativeWindowOptions options;
        options.rect = {60, 100, 260, 160};
        options.owner = owner;
        options.popup = true;
        backend::NativeWindow* popup = backend::CreateNativeWindow(options, library);
        popup->Show(EX_SW_SHOWNOACTIVATE);
        ASSERT_TRUE(popup->IsVisible());
        c.act(*owner, backend::qt::WidgetOf(*popup));
        EXPECT_EQ(library.dismissals, c.dismissed ? 1 : 0);
        EXPECT_EQ(popup->IsVisible(), !c.dismissed);
        EXPECT_EQ(library.closes + ownerLibrary.closes, 0);
        EXPECT_NE(backend::qt::WidgetOf(*owner)->childAt(350, 10), nullptr)
            << "the owner's own parts stay";
        popup->Destroy();
        owner->Destroy();
        backend::DeleteDeferredObjects();
        EXPECT_TRUE(library.destroyed);
    }
}

}  // namespace
}  // namespace exdui::test
