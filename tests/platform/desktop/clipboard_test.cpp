#include "platform/desktop/clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
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

// What the copy of two files puts on the clipboard: the URLs for file
// managers, the GNOME list, and the plain paths for editors.
const std::vector<ClipboardFormat> CopiedFiles = {
    {"text/uri-list",
     "file:///srv/%E9%A1%BA%E4%B8%B0/a%201.jpg\r\nfile:///srv/%E9%A1%BA%E4%B8%B0/b%231.png\r\n"},
    {"x-special/gnome-copied-files",
     "copy\nfile:///srv/%E9%A1%BA%E4%B8%B0/a%201.jpg\nfile:///srv/%E9%A1%BA%E4%B8%B0/b%231.png"},
    {"text/plain", "/srv/顺丰/a 1.jpg\n/srv/顺丰/b#1.png\n"},
};

TEST(Clipboard, HoldsEveryFormatOfOneCopy) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    EXPECT_EQ(Read(), (Formats{{"text/uri-list", CopiedFiles[0].bytes},
                               {"x-special/gnome-copied-files", CopiedFiles[1].bytes},
                               {"text/plain", CopiedFiles[2].bytes}}));

    // Other programs read the list as files and the text as the bare paths.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->urls().size(), 2);
    EXPECT_EQ(data->urls()[0].toLocalFile().toStdString(), "/srv/顺丰/a 1.jpg");
    EXPECT_EQ(data->urls()[1].toLocalFile().toStdString(), "/srv/顺丰/b#1.png");
    EXPECT_EQ(data->text().toStdString(), CopiedFiles[2].bytes);
}

TEST(Clipboard, TextReplacesEveryFormatOfTheLastCopy) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    // A paste into a file manager after copying text must not find the files
    // of the copy before.
    const std::string text = "顺丰 SF1400\r\n第二行\ttab\n";
    ASSERT_TRUE(TrySetClipboardText(text));
    EXPECT_EQ(Read(), (Formats{{"text/plain", text}}));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasUrls());
}

TEST(Clipboard, ClearLeavesNoFilesAndNoText) {
    ASSERT_TRUE(TrySetClipboard(CopiedFiles));
    ASSERT_TRUE(TryClearClipboard());
    EXPECT_EQ(Read(), Formats{});
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data != nullptr) {
        EXPECT_FALSE(data->hasUrls());
        EXPECT_FALSE(data->hasText());
    }

    ASSERT_TRUE(TrySetClipboardText("stale"));
    ASSERT_TRUE(TrySetClipboard({}));  // Nothing to put: nothing stays either.
    EXPECT_EQ(Read(), Formats{});
}

TEST(Clipboard, RefusedCopyKeepsThePreviousContent) {
    ASSERT_TRUE(TrySetClipboardText("before"));
    EXPECT_FALSE(TrySetClipboard({{"text/plain", "half"}, {"", "no type"}}));
    EXPECT_EQ(Read(), (Formats{{"text/plain", "before"}}));
}

TEST(Clipboard, DoesNothingOffTheUiThread) {
    ASSERT_TRUE(TrySetClipboardText("kept"));
    bool set = true;
    bool cleared = true;
    std::vector<ClipboardFormat> read{{"x", "y"}};
    std::thread worker([&] {
        set = TrySetClipboardText("from a worker");
        cleared = TryClearClipboard();
        read = ReadClipboard();
    });
    worker.join();
    EXPECT_FALSE(set);
    EXPECT_FALSE(cleared);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(Read(), (Formats{{"text/plain", "kept"}}));
}

}  // namespace
}  // namespace cj::desktop
