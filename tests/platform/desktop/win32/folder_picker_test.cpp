// The folder dialog, answered from a timer while it runs, as a user would:
// a folder typed into its name box and Open pressed, or the dialog closed.
#include "platform/desktop/folder_picker.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace cj::desktop {
namespace {

struct Answer {
    std::wstring typed;  // empty: cancel
    std::wstring title;  // what the dialog was titled
};
Answer g_answer;

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Edit") == 0 && IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = GetActiveWindow();
    wchar_t name[16] = {};
    GetClassNameW(dialog, name, 16);
    if (dialog == nullptr || lstrcmpW(name, L"#32770") != 0) {
        return;  // not up yet
    }
    KillTimer(nullptr, timer);
    wchar_t title[128] = {};
    GetWindowTextW(dialog, title, 128);
    g_answer.title = title;
    HWND edit = nullptr;
    EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (g_answer.typed.empty() || edit == nullptr) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetWindowTextW(edit, g_answer.typed.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

std::optional<std::string> Pick(const std::wstring& typed) {
    g_answer = {typed, {}};
    SetTimer(nullptr, 0, 50, AnswerDialog);
    return PickFolder("Choose", "C:\\windows\\gone\\deeper");
}

TEST(PickFolder, ReturnsTheFolderChosenWithoutTrailingSeparator) {
    struct Case {
        std::wstring typed;
        std::optional<std::string> picked;
    };
    for (const Case& c : {Case{L"C:\\windows\\system32\\", "C:\\windows\\system32"},
                          Case{L"C:\\", "C:\\"}, Case{L"", std::nullopt}}) {
        const std::optional<std::string> picked = Pick(c.typed);
        ASSERT_TRUE(picked.has_value() == c.picked.has_value());
        if (picked) {
            EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, picked->c_str(), -1,
                                     c.picked->c_str(), -1),
                      CSTR_EQUAL)
                << *picked;
        }
        EXPECT_EQ(g_answer.title, L"Choose");
    }
}

TEST(PickFolder, ShowsNoDialogOffTheUiThread) {
    EXPECT_EQ(Pick(L""), std::nullopt);  // this thread is the UI thread now
    std::optional<std::string> picked = "unset";
    std::thread([&] { picked = PickFolder("Choose", "C:\\"); }).join();
    EXPECT_EQ(picked, std::nullopt);
}

}  // namespace
}  // namespace cj::desktop
