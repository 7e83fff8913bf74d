// The main window driven as a user drives it: keys typed into the search box,
// clicks on the band, the window resized; offscreen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>

#include "argb.h"
#include "index/index_commit.h"
#include "main_window_fixture.h"
#include "platform/file_lock.h"
#include "ui/object_text.h"
#include "ui/result_list.h"
#include "ui/texts.h"

namespace cj::ui {
using cj::test::Blue;
using cj::test::Green;
using cj::test::Red;

namespace {

// A shop's scans, indexed before the window opens, with the settings a user
// would have saved.
class MainWindowTest : public MainWindowFixture {
  protected:
    MainWindowTest() {
        m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
        m_dir.WriteFile("scans/2023/SF1400000000001-back.png", std::string(1536, 'p'));
        m_dir.WriteFile("scans/2023/JD0000000002.jpg", "");
        m_dir.WriteFile("scans/.thumbs/SF1400000000001.jpg", "");
        EXPECT_FALSE(Settings().TrySaveThreadCount("2"));
    }

    void BuildIndex(int extraFiles = 0) {
        for (int i = 0; i < extraFiles; ++i) {
            m_dir.WriteFile("scans/bulk/" + std::to_string(i) + ".jpg", "");
        }
        MainWindowFixture::BuildIndex(2);
    }

    static SearchPage& Page() { return Window().Search(); }

    // Clicks into the control, as a user does before typing, and types into
    // whatever took the focus.
    static void Type(const Control& control, std::string_view text) {
        Click(inject::PointIn(control.Handle(), 100, control.Height() / 2));
        ASSERT_NE(inject::FocusedObject(Top()), 0);
        inject::Type(Top(), platform::NarrowToUtf16(text));
    }
    static void PressEnter() {
        if (inject::FocusedObject(Top()) == 0) {
            Type(Page().SearchBox(), "");
        }
        inject::Key(Top(), EX_VK_RETURN);
    }
    static bool ListShown() {
        return Ex_ObjIsVisible(Page().ResultList()) != 0 &&
               Ex_ObjIsVisible(Page().Busy().Handle()) == 0;
    }
    // Until the engine is idle and the window has applied what it reported.
    static bool WaitForResults() {
        return inject::RunEventsUntil(
            [] { return app::CurrentProgram().activity.IsIdle() && ListShown(); }, 10000);
    }
    static intptr_t ListMessage(int32_t message, intptr_t wParam = 0, intptr_t lParam = 0) {
        return Ex_ObjSendMessage(Page().ResultList(), message, wParam, lParam);
    }
    // The result list's pixel at its client point (x, y), as the window shows it.
    static ExArgb ListPixel(const inject::Snapshot& window, int x, int y) {
        const ExPoint at = inject::PointIn(Page().ResultList(), x, y);
        return window.At(at.x, at.y);
    }
    static int ListWidth() {
        ExRect list{};
        Ex_ObjGetRect(Page().ResultList(), &list);
        return list.right - list.left;
    }
};

TEST_F(MainWindowTest, TypedSearchShowsTheHitsAndTheirCount) {
    BuildIndex();
    Run([] {
        EXPECT_EQ(Status(), "找到：0 个文件") << "before any search";
        Type(Page().SearchBox(), "SF1400000000001");
        PressEnter();
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), "找到：2 个文件");
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 2);
        EXPECT_EQ(ListMessage(EX_LVM_GETSELECTIONMARK), 1) << "row 1 is selected";
        ResultRows& rows = Window().Rows();
        ASSERT_EQ(rows.Count(), 2u);
        // Which shard a file lands in follows the folder's listing order.
        const bool jpgFirst = rows.Texts(1)->name == u"SF1400000000001";
        const RowTexts jpg = *rows.Texts(jpgFirst ? 1 : 2);
        const RowTexts png = *rows.Texts(jpgFirst ? 2 : 1);
        EXPECT_EQ(jpg.name, u"SF1400000000001");
        EXPECT_EQ(jpg.typeAndSize, u"文件类型：jpg   文件大小：4 B");
        EXPECT_EQ(png.name, u"SF1400000000001-back");
        EXPECT_EQ(png.typeAndSize, u"文件类型：png   文件大小：1.50 KB");
        EXPECT_EQ(png.path.substr(png.path.size() - 29), u"2023/SF1400000000001-back.png");

        // The search button as well as Enter starts a search; nothing found
        // reads "0 个文件" with the blank and selects no row.
        Page().SearchBox().SetText("ZZ9999999999999");
        ClickButton(Page().SearchButton());
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), "找到：0 个文件");
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 0);
        EXPECT_EQ(ListMessage(EX_LVM_GETSELECTIONMARK), 0);

        // An empty file says its size, as any other does.
        Page().SearchBox().SetText("JD0000000002");
        ClickButton(Page().SearchButton());
        ASSERT_TRUE(WaitForResults());
        ASSERT_EQ(rows.Count(), 1u);
        EXPECT_EQ(rows.Texts(1)->typeAndSize, u"文件类型：jpg   文件大小：0 B");
    });
}

TEST_F(MainWindowTest, SecondPressStopsTheSearchAndAThirdStartsAnother) {
    // The index lock is held: the search waits for it before it opens a
    // shard until the test has pressed Enter a second time, so the stop is
    // certain to come before either shard has been scanned.
    BuildIndex();
    Run([&] {
        platform::FileLock gate = HoldIndex();
        PressEnter();  // No keywords: every indexed file is a hit.
        ASSERT_TRUE(app::CurrentProgram().activity.IsSearchRunning());
        PressEnter();  // During the search: a stop request.
        EXPECT_TRUE(app::CurrentProgram().activity.IsSearchStopRequested());
        gate.Unlock();
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Window().Rows().Count(), 0u);
        EXPECT_EQ(Status(), "找到：0 个文件");

        PressEnter();  // A third press searches again, from the start.
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), "找到：3 个文件");
    });
}

TEST_F(MainWindowTest, ASearchStartedWhileTheLastOnesReportWaitsNeverShowsThatReport) {
    // The first search ends and reports while the window takes no messages
    // (the test holds them back); the user starts a second search, which
    // waits for the index lock the test holds until the test lets it. When the
    // window then takes its messages, the first search's report must not
    // end the second one's busy state or show its rows.
    BuildIndex();
    Run([&] {
        JobInbox& inbox = app::CurrentProgram().inbox;
        // The first search reads shard 1 only, as the stored count says.
        ASSERT_FALSE(Settings().TrySaveThreadCount("1"));
        Page().SearchBox().SetText("");
        inbox.AttachWindow(0);
        PressEnter();
        ASSERT_TRUE(inject::RunEventsUntil([] { return app::CurrentProgram().activity.IsIdle(); }));

        platform::FileLock gate = HoldIndex();
        ASSERT_FALSE(Settings().TrySaveThreadCount("2"));
        PressEnter();
        ASSERT_TRUE(app::CurrentProgram().activity.IsSearchRunning());
        inbox.AttachWindow(Top());
        inject::RunEvents(0);  // The first search's report arrives now.
        EXPECT_FALSE(ListShown()) << "the second search is still busy";
        EXPECT_EQ(Status(), "找到：0 个文件") << "the first search's count never shows";
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 0);

        gate.Unlock();
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), "找到：3 个文件");
        EXPECT_EQ(ListMessage(EX_LVM_GETITEMCOUNT), 3);
    });
}

// A clerk who pressed "更新缓存" for a scan made a minute ago saw no word of
// the refresh and the same rows as before: the new file showed only after
// searching again by hand.
TEST_F(MainWindowTest, UpdateCacheSaysWhatItIndexedAndRunsTheSearchAgain) {
    BuildIndex();
    Run([this] {
        Type(Page().SearchBox(), "SF14");
        PressEnter();
        ASSERT_TRUE(WaitForResults());
        const std::size_t before = Window().Rows().Count();
        m_dir.WriteFile("scans/new/SF1400000000001-2.jpg", "new");
        ClickButton(Page().UpdateCache());
        ASSERT_TRUE(inject::RunEventsUntil(
            [] {
                return app::CurrentProgram().activity.IsIdle() && ListShown() &&
                       Status().find("找到") != std::string::npos;
            },
            10000));
        EXPECT_EQ(Window().Rows().Count(), before + 1);
        EXPECT_GT(HitEndingIn("new/SF1400000000001-2.jpg"), 0u);
        std::uint64_t indexed = 0;
        for (const std::uint64_t count : Settings().ReadShardCounts(2)) {
            indexed += count;
        }
        EXPECT_EQ(Status(),
                  "索引已刷新：" + std::to_string(indexed) + " 个文件，" + FoundText(before + 1));
    });
}

// A clerk starting the program for the first time met an empty grey page,
// and a search that found nothing, with no word of the settings page.
TEST_F(MainWindowTest, FirstStartSaysWhereToAddAListAndItsLinkOpensTheSettings) {
    ASSERT_FALSE(Settings().TryDeleteDirectoryList("门店"));
    Run([this] {
        const LinkLabel& hint = Page().FirstStartHint();
        ASSERT_NE(Ex_ObjIsVisible(hint.Handle()), 0);
        EXPECT_EQ(hint.GetText(), "还没有目录列表：在「设置」添加目录，然后刷新索引");
        inject::Grab(Top());  // Painted: the link has its place.
        const ExRect link = hint.LinkRect();
        ASSERT_LT(link.left, link.right);
        const int middle = (link.top + link.bottom) / 2;
        Click(inject::PointIn(hint.Handle(), link.left - 20, middle));
        EXPECT_EQ(Page().SelectedPage(), Page::Search) << "beside the link: nothing";
        Click(inject::PointIn(hint.Handle(), (link.left + link.right) / 2, middle));
        EXPECT_EQ(Page().SelectedPage(), Page::Settings);

        // Once a list holds a folder the hint is gone.
        ASSERT_FALSE(Settings().TrySaveDirectoryList({"门店", {m_dir / "scans"}, "", true}));
        ShowPage(static_cast<int>(Page::Search));
        EXPECT_EQ(Ex_ObjIsVisible(hint.Handle()), 0);
    });
}

TEST_F(MainWindowTest, ARefreshThatCannotWriteTheIndexSaysSoInTheStatusLine) {
    BuildIndex();
    m_dir.MakeDirs("data/2.txt.d");
    ASSERT_EQ(::unlink((m_dir / "data/2.txt").c_str()), 0);
    ASSERT_EQ(::rename((m_dir / "data/2.txt.d").c_str(), (m_dir / "data/2.txt").c_str()), 0);
    Run([&] {
        ClickButton(Page().UpdateCache());
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status().rfind("索引更新失败（已有同名文件夹）：", 0), 0u) << Status();
        EXPECT_GT(Page().Status().Width(), 200) << "room for the reason and the path";
        EXPECT_NE(Status().find(m_dir / "data/2.txt"), std::string::npos) << Status();
    });
}

TEST_F(MainWindowTest, ARefreshRefusedBecauseAnotherProgramRefreshesSaysSo) {
    BuildIndex();
    const std::string before = m_dir.ReadFile("data/1.txt");
    platform::FileLock otherProgram;  // Another program's refresh holds the lock.
    ASSERT_FALSE(index::TryLockRefresh(m_dir.Path(), otherProgram));
    Run([&] {
        ClickButton(Page().UpdateCache());
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), std::string(AnotherRefreshRunsText));
    });
    EXPECT_EQ(m_dir.ReadFile("data/1.txt"), before);
}

TEST_F(MainWindowTest, AnUnpluggedFolderKeepsItsIndexAndIsNamed) {
    BuildIndex();
    const std::string before = m_dir.ReadFile("data/1.txt") + m_dir.ReadFile("data/2.txt");
    std::filesystem::rename(m_dir / "scans", m_dir / "unplugged");
    Run([&] {
        ClickButton(Page().UpdateCache());
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Status(), FolderMissingText(m_dir / "scans"));
    });
    EXPECT_EQ(m_dir.ReadFile("data/1.txt") + m_dir.ReadFile("data/2.txt"), before);
}

TEST_F(MainWindowTest, RowsAreDrawnFromTheirRecords) {
    BuildIndex();
    Run([] {
        PressEnter();
        ASSERT_TRUE(WaitForResults());
        search::ResultsArray& rows = Window().Rows().Records();
        ASSERT_EQ(rows.Count(), 3u);
        rows.SetMark(2, search::CopyMark::InCopyList);
        rows.SetMark(3, search::CopyMark::CopiedDirectly);
        const inject::Snapshot image = inject::Grab(Top());
        const int right = ListWidth() - 20;  // Clear of any text.
        const auto rgb = [&](int x, int y) { return ListPixel(image, x, y) & 0xFFFFFF; };

        // Row 1 is selected: yellow over the odd grey.
        const ExArgb selected = ListPixel(image, right, 5);
        EXPECT_GE(Red(selected), 248);
        EXPECT_GE(Green(selected), 248);
        EXPECT_NEAR(Blue(selected), 20, 4);
        EXPECT_EQ(rgb(right, 60 + 5), 0xD3D3D3u) << "even rows";
        EXPECT_EQ(rgb(right, 120 + 5), 0xDCDCDCu) << "odd rows";
        // Markers: red for a row in the copy list, blue for a direct copy,
        // from x 5 to 20, two pixels in from the row's edges.
        const ExArgb red = ListPixel(image, 10, 60 + 30);
        EXPECT_GE(Red(red), 230);
        EXPECT_LE(Blue(red), 30);
        const ExArgb blue = ListPixel(image, 10, 120 + 30);
        EXPECT_GE(Blue(blue), 230);
        EXPECT_LE(Red(blue), 30);
        EXPECT_EQ(rgb(10, 60 + 1), 0xD3D3D3u) << "the marker stops 2 pixels short";
        EXPECT_EQ(rgb(3, 60 + 30), 0xD3D3D3u);

        // The row under the pointer gets a light wash: neither its own grey
        // nor the selection's yellow.
        inject::MouseMove(Top(), ResultRow(2));
        const ExArgb hot = ListPixel(inject::Grab(Top()), right, 65);
        EXPECT_NE(hot & 0xFFFFFF, 0xD3D3D3u);
        EXPECT_GT(Blue(hot), 100) << "not the selection's yellow";
        EXPECT_GT(Red(hot), Blue(hot)) << "a shade of it";
        inject::MouseMove(Top(), ResultRow(6));  // Below the rows: nothing is hot.

        // With no row selected: a black marker for a row added again, and the
        // texts of marked rows start 15 pixels further right.
        ListMessage(EX_LVM_SETITEMSTATE, -1, 0);
        rows.SetMark(1, search::CopyMark::AddedAgain);
        rows.SetMark(3, search::CopyMark::None);
        const inject::Snapshot again = inject::Grab(Top());
        const ExArgb black = ListPixel(again, 10, 30);
        EXPECT_LE(Red(black) + Green(black) + Blue(black), 3 * 40);
        EXPECT_EQ(ListPixel(again, right, 5) & 0xFFFFFF, 0xDCDCDCu) << "no highlight";
        const auto firstBlueColumn = [&](int rowTop) {
            for (int x = 0; x < 60; ++x) {
                for (int y = rowTop + 10; y < rowTop + 30; ++y) {
                    const ExArgb c = ListPixel(again, x, y);
                    if (Blue(c) > 150 && Red(c) < 120 && Green(c) < 120) {
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

TEST_F(MainWindowTest, ALongNameIsCutBeforeItsSizeTextAndItsRowShowsItWholeInATooltip) {
    // A name longer than the window is wide: the size after it used to be
    // pushed out of the row. Its size text is the short jpg's.
    const std::string longName =
        "SF1400000000001-退货单与签收底单合并扫描-客户张三-"
        "联系电话已涂抹-仓库A三号货架-复核通过-第二次拍摄-高清版本";
    m_dir.WriteFile("scans/" + longName + ".jpg", "jpeg");
    BuildIndex();
    Run([&] {
        Window().Frame().Place({}, {}, 800, 600);
        Type(Page().SearchBox(), "SF1400000000001");
        PressEnter();
        ASSERT_TRUE(WaitForResults());
        const std::size_t longRow = HitEndingIn(longName + ".jpg");
        const std::size_t shortRow = HitEndingIn("/scans/SF1400000000001.jpg");
        ASSERT_NE(longRow, 0u);
        ASSERT_NE(shortRow, 0u);
        const inject::Snapshot image = inject::Grab(Top());
        // The upper line's name (blue) and size text (red) of a row.
        struct Line {
            int firstRed = INT_MAX, lastRed = -1, lastBlue = -1;
        };
        const auto upperLine = [&](std::size_t row) {
            Line line;
            const int top = static_cast<int>(row - 1) * ResultRowPixels;
            for (int x = 0; x < ListWidth(); ++x) {
                for (int y = top + 8; y < top + 32; ++y) {
                    const ExArgb c = ListPixel(image, x, y);
                    if (Red(c) > 150 && Green(c) < 100 && Blue(c) < 100) {
                        line.firstRed = std::min(line.firstRed, x);
                        line.lastRed = x;
                    } else if (Blue(c) > 150 && Red(c) < 100 && Green(c) < 100) {
                        line.lastBlue = x;
                    }
                }
            }
            return line;
        };
        const Line cut = upperLine(longRow);
        const Line whole = upperLine(shortRow);
        ASSERT_GE(cut.lastRed, 0) << "the size text shows";
        EXPECT_NEAR(cut.lastRed - cut.firstRed, whole.lastRed - whole.firstRed, 1)
            << "all of it, as in a row with a short name";
        EXPECT_LT(cut.lastBlue, cut.firstRed) << "the name ends before it";

        // Resting on the row shows its whole name and path; a row that shows
        // both whole has no tooltip.
        const auto tipOver = [&](std::size_t row) {
            return platform::Utf16ToNarrow(
                inject::TooltipAt(Top(), ResultRow(static_cast<int>(row))));
        };
        EXPECT_EQ(tipOver(longRow), longName + "\n" + (m_dir / "scans") + "/" + longName + ".jpg");
        EXPECT_EQ(tipOver(shortRow), "");
    });
}

TEST_F(MainWindowTest, PlaceholderGoesWithTheFirstCharacter) {
    Run([] {
        const auto darkPixels = [&] {
            const inject::Snapshot image = inject::Grab(Top());
            int dark = 0;
            for (int x = 100; x < 170; ++x) {
                for (int y = 5; y < 25; ++y) {
                    const ExPoint at = inject::PointIn(Page().SearchBox().Handle(), x, y);
                    const ExArgb c = image.At(at.x, at.y);
                    // Grey as (11 red + 16 green + 5 blue) / 32.
                    dark += (Red(c) * 11 + Green(c) * 16 + Blue(c) * 5) / 32 < 128 ? 1 : 0;
                }
            }
            return dark;
        };
        EXPECT_GT(darkPixels(), 20) << "the placeholder reads across the box";
        Type(Page().SearchBox(), "S");
        EXPECT_EQ(darkPixels(), 0);
    });
}

TEST_F(MainWindowTest, ResizeKeepsTheLayout) {
    Run([] {
        SearchPage& page = Page();
        CopyPage& copy = Window().Copy();
        const ExRect before = copy.CopyList().Rect();
        Window().Frame().Place({}, {}, 1300, 800);
        inject::RunEvents(0);
        // The keyword box stays centred, the status texts beside it, the copy
        // panel at the bottom, and the result list fills the page below the band.
        const ExRect box = page.SearchBox().Rect();
        EXPECT_EQ(box.left + box.right, 1300);
        EXPECT_GT(page.Status().Left(), box.right);
        EXPECT_EQ(page.AddedCount().Left(), page.Status().Left());
        EXPECT_LT(page.UpdateCache().Rect().right, 1300 - 100) << "clear of the window's buttons";
        EXPECT_EQ(copy.Panel().Width(), 1300);
        ExRect list{};
        Ex_ObjGetRect(page.ResultList(), &list);
        EXPECT_EQ(list.right - list.left, 1300);
        EXPECT_EQ(list.bottom - list.top, 800 - 70) << "from the pages' top to the bottom edge";
        const ExRect busy = page.Busy().Rect();
        EXPECT_NEAR((busy.top + busy.bottom) / 2, (800 - BandHeight) / 2, 120) << "roughly centred";
        EXPECT_EQ(copy.CopyList().Rect().right - copy.CopyList().Rect().left,
                  before.right - before.left)
            << "the copy list waits until its page is chosen";

        ShowPage(static_cast<int>(Page::Copy));
        // The copy list reaches the panel and spans the window.
        EXPECT_LE(copy.CopyList().Rect().bottom, copy.Panel().Top() + 2 * 69);
        EXPECT_GT(copy.CopyList().Width(), 1300 - 10);
        EXPECT_LE(copy.CopyList().Width(), 1300);
    });
}

TEST_F(MainWindowTest, TheShardCountIsTheIndexsWhateverProgramChangedIt) {
    // A window left open while the command line rebuilt the index into 3
    // shards searched only the 2 it had read at start, and on closing stored
    // 2 over the 3 shards: from then on every search missed a third.
    BuildIndex(30);
    Run([this] {
        SearchFor();
        const std::size_t every = Hits().Count();
        core::EngineActivity otherProgram;
        index::Refresher refresher(otherProgram, nullptr);
        index::RefreshRequest request{
            .runDirectory = m_dir.Path(), .folders = {m_dir / "scans"}, .shardCount = 3};
        ASSERT_EQ(refresher.Run(request), core::StartOutcome::Started);
        ASSERT_GT(Settings().ReadShardCount(3), 0u);

        SearchFor();
        EXPECT_EQ(Hits().Count(), every);
        ShowPage(static_cast<int>(Page::Settings));
        EXPECT_EQ(Window().SettingsTab().ThreadCountText(), "3");

        // "更新缓存" rebuilds the index as it is.
        ShowPage(static_cast<int>(Page::Search));
        ClickButton(Page().UpdateCache());
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(Settings().ReadThreadCount().text, "3");
        EXPECT_GT(Settings().ReadShardCount(3), 0u);
    });
    EXPECT_EQ(Settings().ReadThreadCount().text, "3");
}

}  // namespace
}  // namespace cj::ui
