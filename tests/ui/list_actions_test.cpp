// Handing hits to other programs through the main window, as a user does it:
// the result menu's clipboard and shell commands, the keys of both lists and
// dragging hits out, offscreen. The clipboard is read back as another program
// would see it; opening files goes to the test's own functions, showing one
// in its folder to a stand-in file manager on a session bus of the test's own
// (Qt's D-Bus: the desktop's side, not the window's).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDBusConnection>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "desktop_stand_ins.h"
#include "main_window_fixture.h"
#include "platform/desktop/clipboard.h"
#include "private_bus.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

// The bus every window of this test sees as its session bus, started before
// the first application object exists: no file manager of the machine answers.
std::unique_ptr<cj::test::PrivateBus> g_bus;

class PrivateBusEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        g_bus = std::make_unique<cj::test::PrivateBus>();
        setenv("DBUS_SESSION_BUS_ADDRESS",
               g_bus->Address().empty() ? "unix:path=/nonexistent/bus" : g_bus->Address().c_str(),
               1);
    }
    void TearDown() override { g_bus.reset(); }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new PrivateBusEnvironment);

using Paths = std::vector<std::string>;

class ListActionsTest : public MainWindowFixture {
  protected:
    // Each file's path below the run folder and how it reads in a file URL.
    const std::map<std::string, std::string> m_encoded = {
        {"/scans/a.txt", "/scans/a.txt"},
        {"/scans/archive.tar.gz", "/scans/archive.tar.gz"},
        {"/scans/README", "/scans/README"},
        {"/scans/顺丰 单号/SF1#100%.jpg",
         "/scans/%E9%A1%BA%E4%B8%B0%20%E5%8D%95%E5%8F%B7/SF1%23100%25.jpg"},
    };

    ListActionsTest() {
        for (const auto& [file, url] : m_encoded) {
            m_dir.WriteFile(file.substr(1), "scan");
        }
        BuildIndex();
    }

    // The file URL of a path of the run folder, spelled out by hand.
    std::string UrlOf(std::string_view path) const {
        const std::string inRun(path.substr(m_dir.Path().size()));
        return "file://" + m_dir.Path() + m_encoded.at(inRun);
    }

    static std::vector<std::size_t> SelectedHits() {
        std::vector<std::size_t> rows;
        for (std::size_t row = 1; row <= Hits().Count(); ++row) {
            if ((Ex_ObjSendMessage(ResultList(), EX_LVM_GETITEMSTATE, static_cast<intptr_t>(row),
                                   0) &
                 EX_LVIS_SELECTED) != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }
    static Paths PathsOf(const std::vector<std::size_t>& rows) {
        Paths paths;
        for (const std::size_t row : rows) {
            paths.emplace_back(Hits().Path(row));
        }
        return paths;
    }
    static std::string Lines(const Paths& lines, std::string_view end) {
        std::string text;
        for (const std::string& line : lines) {
            text += line;
            text += end;
        }
        return text;
    }

    // What the clipboard holds now, by type.
    static std::map<std::string, std::string> Clipboard() {
        std::map<std::string, std::string> formats;
        for (const desktop::ClipboardFormat& format : desktop::ReadClipboard()) {
            formats[format.mimeType] = format.bytes;
        }
        return formats;
    }

    // A click on a hit, with modifiers (EX_MK_*).
    static void ClickHit(std::size_t row, uint32_t modifiers = 0) {
        Click(ResultRow(static_cast<int>(row)), modifiers);
    }
    // Below the last hit: a click there selects nothing, a right-click keeps
    // the selection and the current hit as they are.
    static ExPoint BelowTheHits() { return ResultRow(static_cast<int>(Hits().Count()) + 2); }
    static void ClickBelowTheHits() { Click(BelowTheHits()); }
};

TEST_F(ListActionsTest, CopySelectedPutsTheFilesOnTheClipboardForFileManagersAndEditors) {
    Run([this] {
        SearchFor();
        ASSERT_EQ(Hits().Count(), 4u);
        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "复制选中");
        const Paths paths = PathsOf(SelectedHits());
        ASSERT_EQ(paths.size(), 4u);
        Paths urls;
        for (const std::string& path : paths) {
            urls.push_back(UrlOf(path));
        }
        std::map<std::string, std::string> clipboard = Clipboard();
        EXPECT_EQ(clipboard["text/uri-list"], Lines(urls, "\r\n"));
        std::string gnome = "copy";
        for (const std::string& url : urls) {
            gnome += "\n" + url;
        }
        EXPECT_EQ(clipboard["x-special/gnome-copied-files"], gnome);
        EXPECT_EQ(clipboard["text/plain"], Lines(paths, "\n")) << "a clean list of paths";

        // Nothing selected: nothing stale stays to be pasted.
        ClickBelowTheHits();
        ASSERT_TRUE(SelectedHits().empty());
        ChooseFromMenu(BelowTheHits(), "复制选中");
        EXPECT_TRUE(Clipboard().empty());
    });
}

TEST_F(ListActionsTest, NamesAndPathsAreCopiedAsTextOneALineInRowOrder) {
    Run([this] {
        SearchFor();
        const std::size_t text = HitEndingIn("a.txt");
        const std::size_t archive = HitEndingIn("archive.tar.gz");
        const std::size_t readme = HitEndingIn("README");
        // Picked out of order: the text follows the rows.
        ClickHit(readme);
        ClickHit(text, EX_MK_CONTROL);
        ClickHit(archive, EX_MK_CONTROL);
        ChooseFromMenu(ResultRow(static_cast<int>(archive)), "复制文件名");
        std::vector<std::pair<std::size_t, std::string>> names = {
            {text, "a"}, {archive, "archive.tar"}, {readme, "README"}};
        std::sort(names.begin(), names.end());
        std::string expected;
        for (const auto& [row, name] : names) {
            expected += name + "\n";
        }
        EXPECT_EQ(Clipboard(), (std::map<std::string, std::string>{{"text/plain", expected}}))
            << "no file list left from before";

        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "复制路径");
        EXPECT_EQ(Clipboard()["text/plain"], Lines(PathsOf(SelectedHits()), "\n"));
        EXPECT_EQ(SelectedHits().size(), 4u);

        ClickBelowTheHits();
        ChooseFromMenu(BelowTheHits(), "复制路径");
        EXPECT_EQ(Clipboard(), (std::map<std::string, std::string>{{"text/plain", ""}}))
            << "the empty text";
    });
}

TEST_F(ListActionsTest, OpenAndShowInFolderActOnTheCurrentHitAndOnNothingWithoutOne) {
    Run([this] {
        Paths opened;
        Paths shown;
        Window().Dialogs().openFile = [&](const std::string& path) {
            opened.push_back(path);
            return true;
        };
        Window().Dialogs().showInFolder = [&](const std::string& path) {
            shown.push_back(path);
            return true;
        };
        SearchFor();
        const std::size_t row = HitEndingIn(".jpg");
        const std::string path(Hits().Path(row));
        ClickHit(1);
        ClickHit(row, EX_MK_SHIFT);  // Several selected, row the current one.
        ChooseFromMenu(ResultRow(static_cast<int>(row)), "打开文件");
        ChooseFromMenu(ResultRow(static_cast<int>(row)), "打开文件目录");
        EXPECT_EQ(opened, Paths{path});
        EXPECT_EQ(shown, Paths{path});

        // The double-click's "打开文件" opens the hit clicked on.
        Window().Options().doubleClick = core::DoubleClickAction::OpenFile;
        DoubleClick(ResultRow(1));
        EXPECT_EQ(opened, (Paths{path, std::string(Hits().Path(1))}));
        EXPECT_EQ(Entries().Count(), 0u);

        Ex_ObjSendMessage(ResultList(), EX_LVM_SETSELECTIONMARK, 0, 0);
        ChooseFromMenu(BelowTheHits(), "打开文件");
        ChooseFromMenu(BelowTheHits(), "打开文件目录");
        EXPECT_EQ(opened.size(), 2u);
        EXPECT_EQ(shown.size(), 1u);
    });
}

// "打开文件" on a hit whose file had gone since the refresh did nothing a
// clerk could see: the failure went only to the error stream.
TEST_F(ListActionsTest, AFileThatCannotBeOpenedOrShownIsToldWithItsReason) {
    Run([this] {
        Paths opened;
        Window().Dialogs().openFile = [&](const std::string& path) {
            opened.push_back(path);
            return true;
        };
        // No file manager and no program for folders.
        Window().Dialogs().showInFolder = [](const std::string&) { return false; };
        SearchFor();
        const std::size_t gone = HitEndingIn("a.txt");
        const std::string gonePath(Hits().Path(gone));
        ASSERT_EQ(::unlink(gonePath.c_str()), 0);
        ClickHit(gone);
        ChooseFromMenu(ResultRow(static_cast<int>(gone)), "打开文件");
        EXPECT_TRUE(opened.empty()) << "a gone file is not handed over";
        ASSERT_EQ(m_told.size(), 1u);
        EXPECT_EQ(m_told[0].text,
                  OpenFileFailedText(gonePath,
                                     std::make_error_code(std::errc::no_such_file_or_directory)));

        const std::size_t there = HitEndingIn("README");
        ClickHit(there);
        ChooseFromMenu(ResultRow(static_cast<int>(there)), "打开文件目录");
        ASSERT_EQ(m_told.size(), 2u);
        EXPECT_EQ(m_told[1].text, ShowInFolderFailedText(Hits().Path(there), {}));
    });
}

TEST_F(ListActionsTest, ShowInFolderAsksTheFileManagerAndOpensTheFolderWhereNoneAnswers) {
    if (g_bus->Address().empty()) {
        GTEST_SKIP() << "no dbus-daemon to run a private session bus";
    }
    // One for the whole run, never destroyed (see FakeFileManager).
    static auto* const fileManager = new desktop::test::FakeFileManager;
    Run([this] {
        SearchFor();
        const std::size_t row = HitEndingIn(".jpg");
        const std::string path(Hits().Path(row));
        ClickHit(row);

        // No file manager on the bus: the folder opens instead.
        {
            desktop::test::OpenedUrls opened;
            ChooseFromMenu(ResultRow(static_cast<int>(row)), "打开文件目录");
            ASSERT_TRUE(
                inject::RunEventsUntil([&] { return !opened.LocalPaths().empty(); }, 10000));
            EXPECT_EQ(opened.LocalPaths(), Paths{m_dir / "scans/顺丰 单号"});
        }

        const QString connection = QStringLiteral("fake-file-manager");
        QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromStdString(g_bus->Address()), connection);
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), fileManager,
                                       QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        ChooseFromMenu(ResultRow(static_cast<int>(row)), "打开文件目录");
        EXPECT_TRUE(inject::RunEventsUntil([] { return fileManager->calls > 0; }, 10000));
        EXPECT_EQ(fileManager->calls, 1);
        EXPECT_EQ(fileManager->uris, QStringList{QString::fromStdString(UrlOf(path))});
        bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        QDBusConnection::disconnectFromBus(connection);
    });
}

TEST_F(ListActionsTest, KeysCopySelectAllActOnTheCurrentHitAndRemoveFromTheCopyList) {
    Run([this] {
        Paths opened;
        Window().Dialogs().openFile = [&](const std::string& path) {
            opened.push_back(path);
            return true;
        };
        SearchFor();
        ClickHit(2);
        KeyOnList(ResultList(), 'A', EX_MK_CONTROL);
        ASSERT_EQ(SelectedHits().size(), 4u);
        KeyOnList(ResultList(), 'C', EX_MK_CONTROL);
        Paths urls;
        for (const std::string& path : PathsOf(SelectedHits())) {
            urls.push_back(UrlOf(path));
        }
        EXPECT_EQ(Clipboard()["text/uri-list"], Lines(urls, "\r\n"));

        // Enter runs the double-click's action on the current hit.
        ClickHit(3);
        Window().Options().doubleClick = core::DoubleClickAction::OpenFile;
        KeyOnList(ResultList(), EX_VK_RETURN);
        EXPECT_EQ(opened, Paths{std::string(Hits().Path(3))});
        Window().Options().doubleClick = core::DoubleClickAction::AddToCopyList;
        for (const std::size_t row : {std::size_t{1}, std::size_t{2}, std::size_t{4}}) {
            ClickHit(row);
            KeyOnList(ResultList(), EX_VK_RETURN);
        }
        ASSERT_EQ(Entries().Count(), 3u);
        EXPECT_EQ(Hits().Mark(4), search::CopyMark::InCopyList);

        // Delete removes the copy list's selected rows, the others stay.
        ShowPage(static_cast<int>(Page::Copy));
        Click(CopyRow(1));
        Click(CopyRow(3), EX_MK_CONTROL);
        KeyOnList(CopyList(), EX_VK_DELETE);
        ASSERT_EQ(Entries().Count(), 1u);
        EXPECT_EQ(Entries().Entries()[0].path, Hits().Path(2));
        EXPECT_EQ(Copy().CopyList().RowCount(), 1);
    });
}

// Enter with several hits selected added only the current one and dropped
// the selection.
TEST_F(ListActionsTest, EnterActsOnEverySelectedHitAndKeepsThemSelected) {
    Run([] {
        Window().Options().doubleClick = core::DoubleClickAction::AddToCopyList;
        SearchFor();
        ClickHit(1);
        ClickHit(3, EX_MK_SHIFT);
        ASSERT_EQ(SelectedHits().size(), 3u);
        KeyOnList(ResultList(), EX_VK_RETURN);
        EXPECT_EQ(Entries().Count(), 3u);
        EXPECT_EQ(SelectedHits(), (std::vector<std::size_t>{1, 2, 3}));
    });
}

TEST_F(ListActionsTest, TheCopyListCopiesItsEntriesWithCtrlCAndOpensThemFromItsMenu) {
    Run([this] {
        Paths opened;
        Paths shown;
        bool openWorks = false;
        Window().Dialogs().openFile = [&](const std::string& path) {
            opened.push_back(path);
            return openWorks;
        };
        Window().Dialogs().showInFolder = [&](const std::string& path) {
            shown.push_back(path);
            return true;
        };
        SearchFor();
        for (const std::size_t row : {std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
            ClickHit(row);
            KeyOnList(ResultList(), EX_VK_RETURN);
        }
        ASSERT_EQ(Entries().Count(), 3u);
        const std::string first = Entries().Entries()[0].path;
        const std::string third = Entries().Entries()[2].path;

        ShowPage(static_cast<int>(Page::Copy));
        Click(CopyRow(1));
        Click(CopyRow(3), EX_MK_CONTROL);
        KeyOnList(CopyList(), 'C', EX_MK_CONTROL);
        EXPECT_EQ(Clipboard()["text/uri-list"], Lines({UrlOf(first), UrlOf(third)}, "\r\n"));
        EXPECT_EQ(Clipboard()["text/plain"], Lines({first, third}, "\n"));

        // The menu acts on the current entry, and says when it could not.
        Click(CopyRow(1));
        ChooseFromMenu(CopyRow(1), "打开文件目录");
        EXPECT_EQ(shown, Paths{first});
        ChooseFromMenu(CopyRow(1), "打开文件");
        EXPECT_EQ(opened, Paths{first});
        ASSERT_EQ(m_told.size(), 1u);
        EXPECT_EQ(m_told[0].text, OpenFileFailedText(first, {}));
        // A file gone since it was collected is not handed to the desktop.
        std::filesystem::remove(first);
        openWorks = true;
        ChooseFromMenu(CopyRow(1), "打开文件");
        EXPECT_EQ(opened.size(), 1u);
        ASSERT_EQ(m_told.size(), 2u);
        EXPECT_EQ(
            m_told[1].text,
            OpenFileFailedText(first, std::make_error_code(std::errc::no_such_file_or_directory)));
    });
}

TEST_F(ListActionsTest, SelectedHitsAreDraggedOutAsFiles) {
    struct Drag {
        std::map<std::string, std::string> formats;
        uint32_t effects;
    };
    std::vector<Drag> drags;
    Run([&] {
        inject::SetDragOutAnswer(
            [&](ExHandle, const std::vector<inject::DragData>& formats, uint32_t effects) {
                Drag drag{{}, effects};
                for (const inject::DragData& format : formats) {
                    drag.formats[format.mimeType] = format.bytes;
                }
                drags.push_back(drag);
                return EX_DROPEFFECT_COPY;
            });
        SearchFor();
        ClickHit(1);
        ClickHit(3, EX_MK_CONTROL);
        ClickHit(4, EX_MK_CONTROL);
        const std::vector<std::size_t> selected = SelectedHits();
        ASSERT_EQ(selected, (std::vector<std::size_t>{1, 3, 4}));
        // Pressed on the second of them, moved down with the button held
        // further than any system's drag distance.
        const ExPoint from = ResultRow(3);
        const ExPoint to{from.x, from.y + 40};
        inject::MouseDown(Top(), from);
        inject::MouseMove(Top(), to, EX_MK_LBUTTON);
        inject::MouseUp(Top(), to);

        ASSERT_EQ(drags.size(), 1u);
        Paths urls;
        for (const std::string& path : PathsOf(selected)) {
            urls.push_back(UrlOf(path));
        }
        EXPECT_EQ(drags[0].formats["text/uri-list"], Lines(urls, "\r\n"));
        EXPECT_EQ(drags[0].formats["text/plain"], Lines(PathsOf(selected), "\n"));
        EXPECT_EQ(drags[0].formats.count("x-special/gnome-copied-files"), 1u);
        EXPECT_EQ(drags[0].effects, static_cast<uint32_t>(EX_DROPEFFECT_COPY)) << "the files stay";
        EXPECT_EQ(SelectedHits(), selected) << "the drag keeps the selection";
    });
}

}  // namespace
}  // namespace cj::ui
