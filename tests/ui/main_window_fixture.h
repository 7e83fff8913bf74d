// What the offscreen tests of the main window share: a run folder with an
// indexed scans folder, the program run with a body on the UI thread, and the
// user's input given through the library's injection (exdui_inject.h): clicks,
// keys and menus on the window, answers to its message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "core/data_lock.h"
#include "core/settings_file.h"
#include "exdui/exdui_inject.h"
#include "index/refresh.h"
#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::ui {

namespace inject = exdui::inject;

// Pixels of a result row and of a copy-list row.
inline constexpr int ResultRowPixels = 60;
inline constexpr int CopyRowPixels = 100;

// A message box the window showed: its text and caption.
struct Message {
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
};

class MainWindowFixture : public ::testing::Test {
  protected:
    // One folder list, "门店", holding the scans folder; one search thread.
    MainWindowFixture() {
        m_dir.MakeDirs("data");
        m_dir.MakeDirs("scans");
        const auto settings = core::SettingsFile::InRunDirectory(m_dir.Path());
        EXPECT_FALSE(settings.TrySaveDirectoryList({"门店", {m_dir / "scans"}, "", true}));
        EXPECT_FALSE(settings.TrySaveThreadCount("1"));
        EXPECT_FALSE(settings.TrySaveWindowState({core::WindowSizeOption::Remembered, 1000, 720}));
    }

    core::SettingsFile Settings() const { return core::SettingsFile::InRunDirectory(m_dir.Path()); }

    // Takes the index lock, so that a search or batch started now waits for
    // it, before it opens a shard, until the lock is let go.
    platform::FileLock HoldIndex() const {
        platform::FileLock gate;
        EXPECT_FALSE(core::TryLockData(m_dir / "data", core::DataLock::Index,
                                       platform::LockMode::Exclusive, platform::LockWait::No,
                                       gate));
        return gate;
    }

    // Indexes the scans folder into shardCount shards, with filter.
    void BuildIndex(int shardCount = 1, const std::string& filter = "") {
        core::EngineActivity activity;
        index::Refresher refresher(activity, nullptr);
        index::RefreshRequest request;
        request.runDirectory = m_dir.Path();
        request.folders = {m_dir / "scans"};
        request.filter = filter;
        request.shardCount = shardCount;
        ASSERT_EQ(refresher.Run(request), core::StartOutcome::Started);
    }

    // Called on the UI thread once the window shows, before the test's body:
    // where a fixture puts its stand-ins for the dialogs.
    virtual void OnWindowShown() {}

    // Runs the program; whileOpen runs on the UI thread once the window
    // shows, then the window is closed. Every message box is answered by
    // the fixture (see m_answer) and recorded in m_told and m_asked.
    void Run(const std::function<void()>& whileOpen) {
        int argc = 1;
        char name[] = "main_window_test";
        char* argv[] = {name, nullptr};
        // The back end's start: the program runs its loop on this application,
        // and the body starts from it once the loop runs.
        QApplication app(argc, argv);
        QTimer::singleShot(0, [&] {
            // Shown, and the events of its showing run: the window takes input now.
            EXPECT_TRUE(inject::RunEventsUntil([] { return Ex_WndIsVisible(Top()) != 0; }));
            inject::RunEvents(0);
            inject::SetMessageBoxAnswer([this](ExHandle, std::u16string_view text,
                                               std::u16string_view caption, uint32_t type) {
                Message message{platform::Utf16ToNarrow(text), platform::Utf16ToNarrow(caption)};
                if ((type & 0xF) != EX_MB_YESNO) {
                    m_told.push_back(std::move(message));
                    return EX_IDOK;
                }
                m_asked.push_back(std::move(message));
                return m_answer ? EX_IDYES : EX_IDNO;
            });
            OnWindowShown();
            whileOpen();
            Window().Frame().Close();
        });
        app::RunProgram(m_dir.Path());
        inject::SetMessageBoxAnswer({});
        inject::SetPopupMenuAnswer({});
        inject::SetDragOutAnswer({});
    }

    static MainWindow& Window() { return app::CurrentProgram().window; }
    static ExHandle Top() { return Window().Frame().WindowHandle(); }
    static SearchPage& Search() { return Window().Search(); }
    static CopyPage& Copy() { return Window().Copy(); }
    static copylist::CopyList& Entries() { return Window().CopyEntries(); }
    static search::ResultsArray& Hits() { return Window().Rows().Records(); }
    static ExHandle ResultList() { return Search().ResultList(); }
    static ExHandle CopyList() { return Copy().CopyList().Handle(); }

    // The top-level window an object lies in.
    static ExHandle WindowOf(ExHandle object) {
        ExHandle handle = object;
        while (handle != 0 && Ex_DUIGetWindow(handle) == 0) {
            handle = Ex_ObjGetParent(handle);
        }
        return Ex_DUIGetWindow(handle);
    }

    // Window points in a row of the result list and of the copy list (from
    // 1). The copy list's client area starts with its header, less than
    // three quarters of a row high: the point three quarters down a row's
    // height from where the row would start without it lies in that row.
    static ExPoint ResultRow(int row) {
        return inject::PointIn(ResultList(), 300, (row - 1) * ResultRowPixels + 30);
    }
    static ExPoint CopyRow(int row) {
        return inject::PointIn(CopyList(), 300, (row - 1) * CopyRowPixels + CopyRowPixels * 3 / 4);
    }

    static std::string Status() { return Search().Status().GetText(); }
    // Until the engine is idle and the window shows the list again.
    static bool WaitForIdle() {
        return inject::RunEventsUntil(
            [] {
                return app::CurrentProgram().activity.IsIdle() &&
                       Ex_ObjIsVisible(ResultList()) != 0;
            },
            10000);
    }

    // A left click on the main window, with modifiers (EX_MK_*).
    static void Click(ExPoint at, uint32_t modifiers = 0) {
        inject::Click(Top(), at, inject::Button::Left, modifiers);
    }
    static void ClickButton(const Control& button) {
        inject::Click(WindowOf(button.Handle()), inject::CenterOf(button.Handle()));
    }
    // A key on the main window's list, which has the keyboard focus.
    static void KeyOnList(ExHandle list, int32_t key, uint32_t modifiers = 0) {
        ASSERT_EQ(inject::FocusedObject(Top()), list);
        inject::Key(Top(), key, modifiers);
    }
    // The hits of keyword (every indexed file for none), once the window has
    // applied them.
    static void SearchFor(const std::string& keyword = "") {
        Search().SearchBox().SetText(keyword);
        ClickButton(Search().SearchButton());
        ASSERT_TRUE(WaitForIdle());
        ASSERT_GT(Hits().Count(), 0u);
    }
    static void DoubleClick(ExPoint at) { inject::DoubleClick(Top(), at); }
    // Right-clicks the main window at `at` and chooses the menu's item named text.
    static void ChooseFromMenu(ExPoint at, std::string_view text) {
        const std::u16string wanted = platform::NarrowToUtf16(text);
        bool chosen = false;
        inject::SetPopupMenuAnswer([&](ExHandle, const std::vector<inject::MenuItem>& items) {
            for (const inject::MenuItem& item : items) {
                if (item.text == wanted) {
                    chosen = true;
                    return item.id;
                }
            }
            return intptr_t{0};
        });
        inject::Click(Top(), at, inject::Button::Right);
        inject::SetPopupMenuAnswer({});
        EXPECT_TRUE(chosen) << text;
    }
    // Opens a drop-down list of the main window by its arrow and chooses its
    // item (from 1) with the keys.
    static void ChooseFromDropDown(const ComboBox& box, int item) {
        Click(inject::PointIn(box.Handle(), box.Width() - 12, box.Height() / 2));
        inject::Key(Top(), EX_VK_HOME);
        for (int i = 1; i < item; ++i) {
            inject::Key(Top(), EX_VK_DOWN);
        }
        inject::Key(Top(), EX_VK_RETURN);
    }
    // Clicks the page selector's item, once its bar has stopped (a click
    // while it moves does nothing).
    static void ShowPage(int page) {
        ASSERT_TRUE(
            inject::RunEventsUntil([] { return Search().Pages().RunningAnimation() == 0; }));
        inject::Click(Top(), inject::CenterOf(Search().Pages().ItemHandle(page)));
        EXPECT_EQ(static_cast<int>(Search().SelectedPage()), page);
    }
    // The row of the hit whose path ends in suffix; 0 when none does.
    static std::size_t HitEndingIn(std::string_view suffix) {
        for (std::size_t row = 1; row <= Hits().Count(); ++row) {
            if (Hits().Path(row).ends_with(suffix)) {
                return row;
            }
        }
        return 0;
    }

    cj::test::TempDir m_dir;
    std::vector<Message> m_told;   // Every notice (an OK box) the window showed.
    std::vector<Message> m_asked;  // Every yes-or-no question it asked.
    bool m_answer = false;         // What the user answers a question with.
};

}  // namespace cj::ui
