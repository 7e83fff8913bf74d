// The main window driven as a user drives it: keys typed into the search box,
// clicks on the band, the window resized; offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "core/data_paths.h"
#include "exdui/exdui_qt.h"
#include "index/refresh.h"
#include "temp_dir.h"
#include "ui/object_text.h"
#include "ui/program_state.h"
#include "ui/result_list.h"
#include "ui/startup.h"

namespace cj::ui {
namespace {

class SilentRefreshView final : public index::RefreshView {
public:
    void ShowSearchPage() override {}
    void ShowBusy(std::string_view) override {}
    void ShowResultList(std::string_view) override {}
    void HideUpdateCacheButton() override {}
};

// A shop's scans, indexed before the window opens, with the settings a user
// would have saved.
class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        m_dir.MakeDirs("data");
        m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
        m_dir.WriteFile("scans/2023/SF1400000000001-back.png", std::string(1536, 'p'));
        m_dir.WriteFile("scans/2023/JD0000000002.jpg", "");
        m_dir.WriteFile("scans/.thumbs/SF1400000000001.jpg", "");
        const core::ConfigFile config(core::ConfigPath(m_dir.Path()));
        config.TryWriteItem("syml", "门店", m_dir / "scans*/*");
        config.TryWriteItem("syml_p", "门店", "1");
        config.TryWriteItem("xcs", "ma", "2");
        config.TryWriteItem("ckzt", "zt", "2");
        config.TryWriteItem("ckzt", "kd", "1000");
        config.TryWriteItem("ckzt", "gd", "720");
    }

    void BuildIndex(int extraFiles = 0) {
        for (int i = 0; i < extraFiles; ++i) {
            m_dir.WriteFile("scans/bulk/" + std::to_string(i) + ".jpg", "");
        }
        index::EngineActivity activity;
        SilentRefreshView view;
        index::Refresher refresher(activity, view);
        index::RefreshRequest request;
        request.runDirectory = m_dir.Path();
        request.folders = {m_dir / "scans"};
        request.shardCount = 2;
        ASSERT_EQ(refresher.Run(request), index::StartOutcome::Started);
    }

    // Runs the program; whileOpen runs on the UI thread once the window
    // shows, then the window is closed.
    void Run(const std::function<void()>& whileOpen) {
        int argc = 1;
        char name[] = "main_window_test";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        QTimer::singleShot(0, [&] {
            QWidget* window = Widget(State().mainWindow.WindowHandle());
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            whileOpen();
            State().mainWindow.Close();
        });
        RunProgram(m_dir.Path());
    }

    static MainControls& Controls() { return State().controls; }
    static QWidget* Widget(ExHandle handle) { return ExQtWidget(handle); }

    // Clicks into the control, as a user does before typing, and types into
    // whatever took the focus.
    static void Type(const Control& control, const char* text) {
        QWidget* widget = Widget(control.Handle());
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(100, widget->height() / 2));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    static void PressEnter() {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr) {
            Type(Controls().searchBox, "");
            focus = QApplication::focusWidget();
        }
        QTest::keyClick(focus, Qt::Key_Return);
    }
    static std::string Status() { return Controls().status.GetText(); }
    static bool WaitForIdle() {
        return QTest::qWaitFor([] { return State().engine.IsIdle(); }, 10000);
    }
    static intptr_t ListMessage(int32_t message, intptr_t wParam = 0, intptr_t lParam = 0) {
        return Ex_ObjSendMessage(Controls().resultList, message, wParam, lParam);
    }

    test::TempDir m_dir;
};

TEST_F(MainWindow, TypedSearchShowsTheHitsAndTheirCount) {
    BuildIndex();
    Run([] {
        EXPECT_EQ(Status(), "找到：0个文件") << "before any search";
        Type(Controls().searchBox, "SF1400000000001");
        PressEnter();
        ASSERT_TRUE(WaitForIdle());
        QApplication::processEvents();
        EXPECT_EQ(Status(), "找到：2 个文件");
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 2);
        EXPECT_EQ(ListMessage(EX_LVM_GETSELECTIONMARK), 1) << "row 1 is selected";
        const search::ResultsArray& rows = State().search.Results();
        ASSERT_EQ(rows.Count(), 2u);
        // Which shard a file lands in follows the folder's listing order.
        const bool jpgFirst = rows.Row(1)->name == u"SF1400000000001";
        const search::ResultRecord& jpg = *rows.Row(jpgFirst ? 1 : 2);
        const search::ResultRecord& png = *rows.Row(jpgFirst ? 2 : 1);
        EXPECT_EQ(jpg.name, u"SF1400000000001");
        EXPECT_EQ(jpg.typeAndSize, u"文件类型：jpg   文件大小：4 B");
        EXPECT_EQ(png.name, u"SF1400000000001-back");
        EXPECT_EQ(png.typeAndSize, u"文件类型：png   文件大小：1.50 KB");
        EXPECT_EQ(png.path.substr(png.path.size() - 29), u"2023/SF1400000000001-back.png");

        // The search button as well as Enter starts a search; nothing found
        // reads "0 个文件" with the blank and selects no row.
        Controls().searchBox.SetText("ZZ9999999999999");
        QWidget* button = Widget(Controls().searchButton.Handle());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        ASSERT_TRUE(WaitForIdle());
        QApplication::processEvents();
        EXPECT_EQ(Status(), "找到：0 个文件");
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 0);
        EXPECT_EQ(ListMessage(EX_LVM_GETSELECTIONMARK), 0);
    });
}

TEST_F(MainWindow, SecondPressStopsTheSearchAndAThirdStartsAnother) {
    BuildIndex(10000);
    Run([] {
        PressEnter();  // No keywords: every indexed file is a hit.
        // Ten thousand size look-ups take far longer than the next key press.
        ASSERT_TRUE(State().engine.IsSearchRunning());
        PressEnter();  // During the search: a stop request.
        ASSERT_TRUE(WaitForIdle());
        QApplication::processEvents();
        const auto stopped = State().search.Results().Count();
        EXPECT_LE(stopped, 10003u);
        EXPECT_EQ(Status(), "找到：" + std::to_string(stopped) + " 个文件");

        PressEnter();
        ASSERT_TRUE(WaitForIdle());
        QApplication::processEvents();
        EXPECT_EQ(Status(), "找到：10003 个文件");
    });
}

TEST_F(MainWindow, RowsAreDrawnFromTheirRecords) {
    BuildIndex();
    Run([] {
        PressEnter();
        ASSERT_TRUE(WaitForIdle());
        QApplication::processEvents();
        search::ResultsArray& rows = State().search.Results();
        ASSERT_EQ(rows.Count(), 3u);
        rows.Row(2)->copyMark = 1;
        rows.Row(3)->copyMark = 3;
        QWidget* list = Widget(Controls().resultList);
        const QImage image = list->grab().toImage();
        const int right = image.width() - 20;  // Clear of any text.
        const auto rgb = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };

        // Row 1 is selected: yellow over the odd grey.
        const QColor selected = image.pixelColor(right, 5);
        EXPECT_GE(selected.red(), 248);
        EXPECT_GE(selected.green(), 248);
        EXPECT_NEAR(selected.blue(), 20, 4);
        EXPECT_EQ(rgb(right, 60 + 5), 0xD3D3D3u) << "even rows";
        EXPECT_EQ(rgb(right, 120 + 5), 0xDCDCDCu) << "odd rows";
        // Markers: red for a row in the copy list, blue for a direct copy,
        // from x 5 to 20, two pixels in from the row's edges.
        const QColor red = image.pixelColor(10, 60 + 30);
        EXPECT_GE(red.red(), 230);
        EXPECT_LE(red.blue(), 30);
        const QColor blue = image.pixelColor(10, 120 + 30);
        EXPECT_GE(blue.blue(), 230);
        EXPECT_LE(blue.red(), 30);
        EXPECT_EQ(rgb(10, 60 + 1), 0xD3D3D3u) << "the marker stops 2 pixels short";
        EXPECT_EQ(rgb(3, 60 + 30), 0xD3D3D3u);

        // With no row selected: a black marker for a row added again, and the
        // texts of marked rows start 15 pixels further right.
        ListMessage(EX_LVM_SETITEMSTATE, -1, 0);
        rows.Row(1)->copyMark = 2;
        rows.Row(3)->copyMark = 0;
        const QImage again = list->grab().toImage();
        const QColor black = again.pixelColor(10, 30);
        EXPECT_LE(black.red() + black.green() + black.blue(), 3 * 40);
        EXPECT_EQ(again.pixel(again.width() - 20, 5) & 0xFFFFFF, 0xDCDCDCu) << "no highlight";
        const auto firstBlueColumn = [&](int rowTop) {
            for (int x = 0; x < 60; ++x) {
                for (int y = rowTop + 10; y < rowTop + 30; ++y) {
                    const QColor c = again.pixelColor(x, y);
                    if (c.blue() > 150 && c.red() < 120 && c.green() < 120) {
                        return x;
                    }
                }
            }
            return -1;
        };
        const int plain = firstBlueColumn(120);  // Row 3, no marker: the name at 15.
        const int marked = firstBlueColumn(60);  // Row 2, marked: the name at 30.
        EXPECT_GE(plain, 15);
        EXPECT_LT(plain, 22);
        EXPECT_GE(marked, 30);
        EXPECT_LT(marked, 37);
    });
}

TEST_F(MainWindow, PlaceholderGoesWithTheFirstCharacter) {
    Run([] {
        QWidget* box = Widget(Controls().searchBox.Handle());
        const auto darkPixels = [&] {
            const QImage image = box->grab().toImage();
            int dark = 0;
            for (int x = 100; x < 170; ++x) {
                for (int y = 5; y < 25; ++y) {
                    dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
                }
            }
            return dark;
        };
        EXPECT_GT(darkPixels(), 20) << "the placeholder reads across the box";
        Type(Controls().searchBox, "S");
        EXPECT_EQ(darkPixels(), 0);
    });
}

TEST_F(MainWindow, ResizeKeepsTheLayout) {
    Run([] {
        MainControls& c = Controls();
        const ExRect before = c.copyList.Rect();
        State().mainWindow.Place({}, {}, 1300, 800);
        QApplication::processEvents();
        EXPECT_EQ(c.searchBox.Left(), 500) << "centred: (1300 - 300) / 2";
        EXPECT_EQ(c.status.Left(), 850) << "50 pixels right of the search box";
        EXPECT_EQ(c.addedCount.Left(), 850);
        EXPECT_EQ(c.copyPanel.Top(), 800 - 129);
        EXPECT_EQ(c.copyPanel.Width(), 1300);
        EXPECT_EQ(c.busy.Top(), 250);
        EXPECT_EQ(c.pages.PageHandle(1) != 0, true);
        ExRect list{};
        Ex_ObjGetRect(c.resultList, &list);
        EXPECT_EQ(list.right - list.left, 1300);
        EXPECT_EQ(list.bottom - list.top, 740);
        EXPECT_EQ(c.copyList.Rect().right - c.copyList.Rect().left, before.right - before.left)
            << "the copy list waits until its page is chosen";

        QWidget* copyItem = Widget(c.pages.ItemHandle(2));
        QTest::mouseClick(copyItem, Qt::LeftButton, {}, copyItem->rect().center());
        QApplication::processEvents();
        EXPECT_EQ(c.pages.SelectedIndex(), 2);
        EXPECT_EQ(c.copyList.Width(), 1300 - 4);
        EXPECT_EQ(c.copyList.Height(), 800 - 132);
    });
}

}  // namespace
}  // namespace cj::ui
