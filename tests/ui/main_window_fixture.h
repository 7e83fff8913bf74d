// What the offscreen tests of the main window share: a run folder with an
// indexed scans folder, the program run with a body on the UI thread, and
// real mouse events on its lists and menus.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "app/program.h"
#include "app/startup.h"
#include "core/data_lock.h"
#include "core/settings_file.h"
#include "exdui/exdui_qt.h"
#include "index/refresh.h"
#include "temp_dir.h"

namespace cj::ui {

// Pixels of a result row and of a copy-list row.
inline constexpr int ResultRowPixels = 60;
inline constexpr int CopyRowPixels = 100;

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
    // shows, then the window is closed.
    void Run(const std::function<void()>& whileOpen) {
        int argc = 1;
        char name[] = "main_window_test";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        QTimer::singleShot(0, [&] {
            QWidget* window = ExQtWidget(Window().Frame().WindowHandle());
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            OnWindowShown();
            whileOpen();
            Window().Frame().Close();
        });
        app::RunProgram(m_dir.Path());
    }

    static MainWindow& Window() { return app::CurrentProgram().window; }
    static SearchPage& Search() { return Window().Search(); }
    static CopyPage& Copy() { return Window().Copy(); }
    static copylist::CopyList& Entries() { return Window().CopyEntries(); }
    static search::ResultsArray& Hits() { return Window().Rows().Records(); }
    static ExHandle ResultList() { return Search().ResultList(); }
    static ExHandle CopyList() { return Copy().CopyList().Handle(); }

    // The scroll area of a list (it takes the keys) and its viewport (the mouse).
    static QAbstractScrollArea* AreaOf(ExHandle list) {
        auto* area = ExQtWidget(list)->findChild<QAbstractScrollArea*>();
        EXPECT_NE(area, nullptr);
        return area;
    }
    static QWidget* ViewportOf(ExHandle list) { return AreaOf(list)->viewport(); }
    static QPoint ResultRow(int row) { return {300, (row - 1) * ResultRowPixels + 30}; }
    static QPoint CopyRow(int row) { return {300, (row - 1) * CopyRowPixels + 50}; }

    static std::string Status() { return Search().Status().GetText(); }
    // Until the engine is idle and the window shows the list again.
    static bool WaitForIdle() {
        return QTest::qWaitFor(
            [] {
                return app::CurrentProgram().activity.IsIdle() &&
                       Ex_ObjIsVisible(ResultList()) != 0;
            },
            10000);
    }

    static void ClickButton(const Control& button) {
        QWidget* widget = ExQtWidget(button.Handle());
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    // The hits of keyword (every indexed file for none), once the window has
    // applied them.
    static void SearchFor(const std::string& keyword = "") {
        Search().SearchBox().SetText(keyword);
        ClickButton(Search().SearchButton());
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                return app::CurrentProgram().activity.IsIdle() &&
                       Ex_ObjIsVisible(ResultList()) != 0;
            },
            10000));
        ASSERT_GT(Hits().Count(), 0u);
    }
    static void DoubleClick(ExHandle list, QPoint at) {
        QWidget* view = ViewportOf(list);
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QTest::mouseDClick(view, Qt::LeftButton, {}, at);
    }
    // Right-clicks list at `at` and chooses the menu's item named text.
    static void ChooseFromMenu(ExHandle list, QPoint at, const char* text) {
        const QString wanted = QString::fromUtf8(text);
        bool chosen = false;
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, wanted, &chosen] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                return;
            }
            timer->stop();
            timer->deleteLater();
            for (QAction* action : menu->actions()) {
                if (action->text() == wanted) {
                    chosen = true;
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        });
        timer->start();
        QTest::mouseClick(ViewportOf(list), Qt::RightButton, {}, at);
        EXPECT_TRUE(chosen) << text;
    }
    static void ShowPage(int page) {
        QWidget* item = ExQtWidget(Search().Pages().ItemHandle(page));
        QTest::mouseClick(item, Qt::LeftButton, {}, item->rect().center());
        QApplication::processEvents();
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
};

}  // namespace cj::ui
