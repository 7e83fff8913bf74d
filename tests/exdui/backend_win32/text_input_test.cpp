// The editor on a real EDIT control, given keys and pastes as the system
// sends them.
#include "backend/text_input.h"

#include <gtest/gtest.h>

#include <functional>

#include "backend/clipboard.h"
#include "backend/win32/win32_native_view.h"
#include "win32_test_window.h"

namespace exdui::backend::win32 {
namespace {

// Records what the editor reports and answers as told.
class Recorder final : public TextInputCallbacks {
  public:
    bool KeyDown(int32_t virtualKey, intptr_t modifiers) override {
        keys.push_back({virtualKey, modifiers});
        if (onKey) {
            onKey();
        }
        return takeKeys;
    }
    bool Pasting(std::u16string_view text) override {
        pasted.emplace_back(text);
        return takePastes;
    }
    void TextChanged(std::u16string_view text) override { changes.emplace_back(text); }
    void FocusChanged(bool gained) override { focus.push_back(gained); }

    bool takeKeys = false;
    bool takePastes = false;
    std::function<void()> onKey;
    std::vector<std::pair<int32_t, intptr_t>> keys;
    std::vector<std::u16string> pasted;
    std::vector<std::u16string> changes;
    std::vector<bool> focus;
};

class TextInputTest : public ::testing::Test {
  protected:
    std::unique_ptr<TextInput> Make(TextInputOptions options) {
        auto input = MakeTextInput(ToNativeView(window.Handle()), options, recorder);
        input->SetGeometry({10, 10, 300, 100});
        return input;
    }
    // A key as the system delivers it: down, its character, up.
    static void Type(TextInput& input, WPARAM key, wchar_t character) {
        HWND edit = ToHwnd(input.View());
        SendMessageW(edit, WM_KEYDOWN, key, 1);
        if (character != 0) {
            SendMessageW(edit, WM_CHAR, character, 1);
        }
        SendMessageW(edit, WM_KEYUP, key, 0xC0000001);
    }

    // A key with Ctrl or Shift held and no character, as a key sent to the
    // control directly arrives.
    static void Press(TextInput& input, WPARAM key, BYTE modifier) {
        BYTE state[256];
        GetKeyboardState(state);
        state[modifier] = 0x80;
        SetKeyboardState(state);
        SendMessageW(ToHwnd(input.View()), WM_KEYDOWN, key, 1);
        SendMessageW(ToHwnd(input.View()), WM_KEYUP, key, 0xC0000001);
        state[modifier] = 0;
        SetKeyboardState(state);
    }

    test::TestWindow window;
    Recorder recorder;
};

TEST_F(TextInputTest, AKeyTheOwnerTakesNeverReachesTheText) {
    struct Case {
        bool take;
        std::u16string text;
    };
    for (const Case& c : {Case{false, u"x"}, Case{true, u""}}) {
        auto input = Make({});
        recorder.takeKeys = c.take;
        Type(*input, 'X', L'x');
        Type(*input, VK_F2, 0);  // no character: the next one still arrives
        recorder.takeKeys = false;
        Type(*input, 'Y', L'y');
        EXPECT_EQ(input->Text(), c.text + u"y");
    }
    EXPECT_EQ(recorder.keys.front(), (std::pair<int32_t, intptr_t>{'X', 0}));
}

TEST_F(TextInputTest, APasteTheOwnerTakesNeverReachesTheText) {
    SetClipboardText(u"顺丰\r\nSF");
    struct Case {
        WPARAM key;  // with modifier, or 0 for the menu's WM_PASTE
        BYTE modifier;
        bool readOnly;
        bool take;
        std::u16string text;
        size_t pastes;
    };
    for (const Case& c :
         {Case{0, 0, false, false, u"顺丰\nSF", 1}, Case{'V', VK_CONTROL, false, true, u"", 1},
          Case{VK_INSERT, VK_SHIFT, false, false, u"顺丰\nSF", 1},
          Case{'V', VK_CONTROL, true, false, u"", 0}}) {
        recorder.pasted.clear();
        recorder.takePastes = c.take;
        auto input = Make({.multiLine = true, .readOnly = c.readOnly});
        if (c.key == 0) {
            SendMessageW(ToHwnd(input->View()), WM_PASTE, 0, 0);
        } else {
            Press(*input, c.key, c.modifier);
        }
        EXPECT_EQ(input->Text(), c.text);
        ASSERT_EQ(recorder.pasted.size(), c.pastes);
        if (c.pastes != 0) {
            EXPECT_EQ(recorder.pasted[0], u"顺丰\nSF");  // the library's line breaks
        }
    }
}

TEST_F(TextInputTest, ReportsEachChangeButNotTheFirstText) {
    auto input = Make({.text = u"start"});
    input->SetText(u"start");  // no change
    input->SetText(u"new");
    input->Select({3, 3});
    Type(*input, 'A', L'a');
    input->Select({0, 1});
    input->ReplaceSelection(u"N");
    EXPECT_EQ(recorder.changes, (std::vector<std::u16string>{u"new", u"newa", u"Newa"}));
}

TEST_F(TextInputTest, ManyLinesKeepTheLibrarysLineBreaksAndPositions) {
    auto input = Make({.multiLine = true, .readOnly = true, .text = u"ab\ncd"});
    wchar_t native[16] = {};
    GetWindowTextW(ToHwnd(input->View()), native, 16);
    EXPECT_STREQ(native, L"ab\r\ncd");
    input->Select({3, 5});
    EXPECT_EQ(input->Selection().start, 3);
    EXPECT_EQ(input->Selection().end, 5);
    input->ReplaceSelection(u"x\ny");  // read only, yet the owner may write
    EXPECT_EQ(input->Text(), u"ab\nx\ny");
    input->Deselect();
    EXPECT_EQ(input->Selection().start, 6);
    EXPECT_EQ(input->Selection().end, 6);
}

TEST_F(TextInputTest, FocusIsReportedBothWays) {
    auto input = Make({});
    input->Focus();
    EXPECT_TRUE(input->HasFocus());
    SetFocus(window.Handle());
    EXPECT_FALSE(input->HasFocus());
    EXPECT_EQ(recorder.focus, (std::vector<bool>{true, false}));
}

TEST_F(TextInputTest, TheOwnerMayDestroyTheEditorFromAKey) {
    auto input = Make({});
    recorder.onKey = [&] { input.reset(); };
    Type(*input, 'X', L'x');  // must not touch the gone editor
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(GetWindow(window.Handle(), GW_CHILD), nullptr);
}

}  // namespace
}  // namespace exdui::backend::win32
