#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include "backend/tooltip.h"
#include "backend/win32/win32_native_view.h"
#include "win32_test_window.h"

namespace exdui::backend::win32 {
namespace {

// The text the visible tooltip of this thread shows, or nothing.
std::optional<std::wstring> ShownTip() {
    HWND tip = test::FindThreadWindow(TOOLTIPS_CLASSW);
    if (tip == nullptr) {
        return std::nullopt;
    }
    wchar_t text[256] = {};
    GetWindowTextW(tip, text, 256);
    return text;
}

TEST(Tooltip, ShowsItsTextAsItIsUntilHidden) {
    test::TestWindow view;
    // A name that looks like markup or a menu's mnemonic is shown as it is.
    ShowTooltip(ToNativeView(view.Handle()), {100, 100}, u"<b>.jpg & 顺丰", {0, 0, 400, 300});
    EXPECT_EQ(ShownTip(), L"<b>.jpg & 顺丰");
    ShowTooltip(ToNativeView(view.Handle()), {100, 100}, u"", {0, 0, 400, 300});
    EXPECT_EQ(ShownTip(), std::nullopt);

    ShowTooltip(ToNativeView(view.Handle()), {100, 100}, u"again", {0, 0, 400, 300});
    EXPECT_EQ(ShownTip(), L"again");
    HideTooltip();
    EXPECT_EQ(ShownTip(), std::nullopt);
}

}  // namespace
}  // namespace exdui::backend::win32
