#include "platform/desktop/clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <thread>

namespace cj::desktop {
namespace {

using Formats = std::map<std::string, std::string>;

Formats Read() {
    Formats formats;
    for (ClipboardFormat& format : ReadClipboard()) {
        formats.emplace(std::move(format.mimeType), std::move(format.bytes));
    }
    return formats;
}

// What copying two files puts on the clipboard on Windows: the file-drop
// block (a DROPFILES header and the names) and the plain paths.
const std::string DropBlock = std::string("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20) +
                              std::string("C:\\a 1.jpg\0C:\\b#1.png\0\0", 23);
const std::vector<ClipboardFormat> CopiedFiles = {
    {"application/x-windows-hdrop", DropBlock},
    {"text/plain", "C:\\a 1.jpg\r\nC:\\b#1.png\r\n"},
    {"x-chengjing/test", std::string("raw\0bytes", 9)},
};

std::wstring UnicodeText() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

TEST(Clipboard, HoldsEveryFormatOfOneCopy) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    const Formats read = Read();
    ASSERT_TRUE(read.contains("application/x-windows-hdrop"));
    // The system may round the block up: the list is what counts.
    EXPECT_EQ(read.at("application/x-windows-hdrop").substr(0, DropBlock.size()), DropBlock);
    EXPECT_EQ(read.at("text/plain"), CopiedFiles[1].bytes);
    EXPECT_EQ(read.at("x-chengjing/test").substr(0, 9), CopiedFiles[2].bytes);

    // Other programs read the files as a drop list and the text in UTF-16.
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    ASSERT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    wchar_t second[MAX_PATH] = {};
    DragQueryFileW(drop, 1, second, MAX_PATH);
    CloseClipboard();
    EXPECT_STREQ(second, L"C:\\b#1.png");
    EXPECT_EQ(UnicodeText(), L"C:\\a 1.jpg\r\nC:\\b#1.png\r\n");
}

TEST(Clipboard, TextReplacesEveryFormatOfTheLastCopy) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    ASSERT_TRUE(TrySetClipboardText("SF1400\r\nline\ttab\n"));
    const Formats read = Read();
    EXPECT_FALSE(read.contains("application/x-windows-hdrop"));
    EXPECT_FALSE(read.contains("x-chengjing/test"));
    EXPECT_EQ(read.at("text/plain"), "SF1400\r\nline\ttab\n");
}

TEST(Clipboard, ClearLeavesNoFilesAndNoText) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    ASSERT_TRUE(TryClearClipboard());
    EXPECT_EQ(Read(), Formats{});
}

TEST(Clipboard, RefusedCopyKeepsThePreviousContent) {
    ASSERT_TRUE(TrySetClipboardText("kept"));
    EXPECT_FALSE(TrySetClipboard({{"", "no type"}, {"text/plain", "lost"}}));
    EXPECT_EQ(Read().at("text/plain"), "kept");
}

TEST(Clipboard, DoesNothingOffTheUiThread) {
    ASSERT_TRUE(TrySetClipboardText("kept"));
    bool set = true;
    bool cleared = true;
    size_t read = 1;
    std::thread([&] {
        set = TrySetClipboardText("other");
        cleared = TryClearClipboard();
        read = ReadClipboard().size();
    }).join();
    EXPECT_FALSE(set);
    EXPECT_FALSE(cleared);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(Read().at("text/plain"), "kept");
}

}  // namespace
}  // namespace cj::desktop
