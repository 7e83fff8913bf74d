// The message box and the popup menu, answered from a timer while their own
// loops run, as a user would answer them.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "backend/message_box.h"
#include "backend/popup_menu.h"
#include "backend/win32/win32_native_view.h"
#include "win32_test_window.h"

namespace exdui::backend::win32 {
namespace {

using test::FindThreadWindow;
using test::TestWindow;

// Calls act with the first visible window of className once it is up.
class WhenShown {
  public:
    WhenShown(const wchar_t* className, std::function<void(HWND)> act) {
        s_className = className;
        s_act = std::move(act);
        m_timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            if (HWND window = FindThreadWindow(s_className); window != nullptr && s_act) {
                auto pending = std::exchange(s_act, nullptr);
                pending(window);
            }
        });
    }
    ~WhenShown() {
        KillTimer(nullptr, m_timer);
        s_act = nullptr;
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

  private:
    static inline const wchar_t* s_className = nullptr;
    static inline std::function<void(HWND)> s_act;
    UINT_PTR m_timer = 0;
};

TEST(SystemMessageBox, SpeaksTheProgramsLanguageAndAnswersTheButtonChosen) {
    struct Case {
        uint32_t type;
        UINT press;  // a button, or 0 to close the box
        int32_t result;
        std::map<int, std::wstring> labels;
    };
    const Case cases[] = {
        {EX_MB_OK | EX_MB_ICONINFORMATION, 0, EX_IDOK, {{IDOK, L"确定"}}},
        {EX_MB_OKCANCEL | EX_MB_ICONWARNING,
         0,
         EX_IDCANCEL,
         {{IDOK, L"确定"}, {IDCANCEL, L"取消"}}},
        {EX_MB_OKCANCEL, IDOK, EX_IDOK, {}},
        {EX_MB_YESNO | EX_MB_ICONQUESTION, IDNO, EX_IDNO, {{IDYES, L"是"}, {IDNO, L"否"}}},
        {EX_MB_YESNO, IDYES, EX_IDYES, {}},
    };
    TestWindow owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        std::map<int, std::wstring> labels;
        WhenShown answer(L"#32770", [&](HWND box) {
            for (const auto& [id, label] : c.labels) {
                wchar_t text[32] = {};
                GetDlgItemTextW(box, id, text, 32);
                labels[id] = text;
            }
            if (c.press == 0) {
                PostMessageW(box, WM_CLOSE, 0, 0);
            } else {
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.press, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, static_cast<int>(c.press))));
            }
        });
        EXPECT_EQ(ShowMessageBox(ToNativeView(owner.Handle()), u"正文", u"标题", c.type), c.result);
        EXPECT_EQ(labels, c.labels);
    }
}

TEST(PopupMenu, ReturnsTheIdOfTheItemChosenOrNothing) {
    const intptr_t deepId = static_cast<intptr_t>(0x123456789AB);
    const std::vector<MenuEntry> entries = {
        {0, 101, u"打开"},
        {EX_MF_GRAYED, 102, u"Gone"},
        {EX_MF_CHECKED, 103, u"Checked"},
        {EX_MF_SEPARATOR, 0, u""},
        {EX_MF_POPUP, 0, u"More", {{0, deepId, u"Deep"}}},
    };
    struct Case {
        std::vector<WPARAM> keys;
        std::optional<intptr_t> chosen;
    };
    const Case cases[] = {
        {{VK_DOWN, VK_RETURN}, 101},
        {{VK_UP, VK_RIGHT, VK_RETURN}, deepId},  // up from nothing: the last item
        {{VK_ESCAPE}, std::nullopt},
    };
    TestWindow owner;
    for (const Case& c : cases) {
        UINT grayed = 0;
        UINT checked = 0;
        WhenShown answer(L"#32768", [&](HWND menuWindow) {
            auto* menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
            grayed = GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED;
            checked = GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED;
            for (WPARAM key : c.keys) {
                PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
            }
        });
        EXPECT_EQ(ShowPopupMenu(ToNativeView(owner.Handle()), entries, {100, 100}), c.chosen);
        EXPECT_NE(grayed, 0u);
        EXPECT_NE(checked, 0u);
    }
}

}  // namespace
}  // namespace exdui::backend::win32
