// The settings page driven as a user drives it: titles typed into the list
// box, its buttons clicked, folders picked and dropped, the thread count
// chosen from its drop-down; offscreen. Message boxes and the folder picker
// are the test's own, so nothing blocks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "index/index_commit.h"
#include "main_window_fixture.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

using Folders = std::vector<std::string>;

class SettingsPageTest : public MainWindowFixture {
  protected:
    SettingsPageTest() {
        m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
        m_dir.WriteFile("scans/2023/SF1400000000002.png", "png");
        m_dir.WriteFile("archive/SF1400000000003.jpg", "jpeg");
        m_dir.MakeDirs("more/a");
        m_dir.MakeDirs("more/b");
        EXPECT_FALSE(Settings().TrySaveDirectoryList({"门店", {m_dir / "scans"}, "jpg", true}));
        EXPECT_FALSE(Settings().TrySaveDirectoryList({"仓库", {m_dir / "archive"}, "", true}));
        EXPECT_FALSE(Settings().TrySaveThreadCount("2"));
    }

    std::string Ini() const { return m_dir.ReadFile("data/chengjing.ini"); }

    void BuildIndex() { MainWindowFixture::BuildIndex(2, "jpg"); }

    // The settings page shown, with the test's picker.
    void OnWindowShown() override {
        Window().Dialogs().pickFolder = [this](const std::string& title, const std::string& start) {
            m_pickerCalls.push_back(title + "|" + start);
            return m_picked;
        };
        ShowPage(3);
    }

    static SettingsPage& Page() { return Window().SettingsTab(); }

    using MainWindowFixture::Click;
    static void Click(const Control& button) { ClickButton(button); }
    // Replaces the list title as a user does: clicks into the box, selects
    // what is there and types over it.
    static void TypeTitle(std::string_view title) {
        const ExHandle edit = Ex_ObjFind(Page().DirectoryLists().Handle(), 0, u"Edit", nullptr);
        ASSERT_NE(edit, 0);
        ExRect box{};
        ASSERT_TRUE(Ex_ObjGetClientRect(edit, &box));
        Click(inject::PointIn(edit, 20, box.bottom / 2));
        ASSERT_EQ(inject::FocusedObject(Top()), edit);
        inject::Key(Top(), 'A', EX_MK_CONTROL);
        inject::Key(Top(), EX_VK_DELETE);
        inject::Type(Top(), platform::NarrowToUtf16(title));
        ASSERT_EQ(Page().DirectoryLists().GetText(), title);
    }
    static std::vector<std::string> ListTitles() {
        std::vector<std::string> titles;
        for (int item = 1; item <= Page().DirectoryLists().ItemCount(); ++item) {
            titles.push_back(Page().DirectoryLists().ItemText(item));
        }
        return titles;
    }
    // Opens the thread-count drop-down by its arrow and chooses item count.
    static void ChooseThreadCount(int count) { ChooseFromDropDown(Page().ThreadCount(), count); }

    std::vector<std::string> m_pickerCalls;
    std::optional<std::string> m_picked;
};

TEST_F(SettingsPageTest, AddListCreatesTheTypedTitleAndRefusesWhatItCannotStore) {
    Run([this] {
        TypeTitle("Shop B");
        Click(Page().AddListButton());
        EXPECT_TRUE(m_told.empty());
        EXPECT_EQ(ListTitles(), (std::vector<std::string>{"门店", "仓库", "Shop B"}));
        EXPECT_EQ(Page().FolderList().RowCount(), 0) << "the new list has no folders yet";
        EXPECT_EQ(Page().TypeFilter(), "") << "nor the last list's filter, which 保存 would store";
        const std::optional<core::DirectoryList> added = Settings().ReadDirectoryList("Shop B");
        ASSERT_TRUE(added);
        EXPECT_TRUE(added->created);
        EXPECT_TRUE(added->folders.empty());

        // Refused, each with its message and nothing written: a title that
        // exists (in any letter case, as the file matches it), an empty one,
        // blanks only, and titles the file would read back as something else.
        const std::string before = Ini();
        const std::vector<std::pair<std::string, std::string_view>> refused = {
            {"shop b", ListExistsText},         {"", ListTitleEmptyText},
            {"   ", ListTitleEmptyText},        {"a]b", ListTitleUnstorableText},
            {"[x", ListTitleUnstorableText},    {"k=v", ListTitleUnstorableText},
            {" lead", ListTitleUnstorableText},
        };
        for (const auto& [title, text] : refused) {
            m_told.clear();
            TypeTitle(title);
            Click(Page().AddListButton());
            EXPECT_EQ(m_told, (std::vector<Message>{{std::string(text), "提示"}})) << title;
        }
        EXPECT_EQ(Ini(), before);
        EXPECT_EQ(ListTitles().size(), 3u);
    });
}

TEST_F(SettingsPageTest, AddListRecreatesAListThatWasNeverCreatedHere) {
    // A list found only among the folders (written by hand, or by an older
    // version) is created afresh: its folders go, its filter stays.
    ASSERT_FALSE(Settings().TrySaveDirectoryList({"旧", {m_dir / "archive"}, "tif", false}));
    Run([this] {
        Page().DirectoryLists().SetText("旧");
        Click(Page().AddListButton());
        EXPECT_TRUE(m_told.empty());
        const std::optional<core::DirectoryList> list = Settings().ReadDirectoryList("旧");
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->created);
        EXPECT_TRUE(list->folders.empty());
        EXPECT_EQ(list->filter, "tif");
        EXPECT_EQ(Page().TypeFilter(), "tif") << "the box shows the filter the list keeps";
        EXPECT_EQ(ListTitles(), (std::vector<std::string>{"门店", "仓库", "旧"})) << "listed once";
    });
}

TEST_F(SettingsPageTest, DeleteListAsksThenRemovesItAndShowsTheFirstRemainingList) {
    Run([this] {
        Page().DirectoryLists().SetText("门店");
        const std::string before = Ini();
        Click(Page().DeleteListButton());
        EXPECT_EQ(m_asked, (std::vector<Message>{{"删除目录列表「门店」（1 个目录）？", "提示"}}));
        EXPECT_EQ(Ini(), before) << "No keeps the list";
        EXPECT_EQ(ListTitles(), (std::vector<std::string>{"门店", "仓库"}));
        EXPECT_EQ(Page().Folders(), Folders{m_dir / "scans"});

        m_answer = true;
        Click(Page().DeleteListButton());
        EXPECT_FALSE(Settings().ReadDirectoryList("门店"));
        EXPECT_EQ(Ini().find("门店"), std::string::npos) << "folders, mark and filter all go";
        EXPECT_EQ(ListTitles(), std::vector<std::string>{"仓库"});
        // The box shows the list whose title it now shows, so that the next
        // folder added cannot save the deleted list's folders under it.
        EXPECT_EQ(Page().DirectoryLists().GetText(), "仓库");
        EXPECT_EQ(Page().Folders(), Folders{m_dir / "archive"});
        EXPECT_EQ(Page().TypeFilter(), "");

        Click(Page().DeleteListButton());
        EXPECT_TRUE(ListTitles().empty());
        EXPECT_EQ(Page().DirectoryLists().GetText(), "");
        EXPECT_TRUE(Page().Folders().empty());
        EXPECT_TRUE(Settings().ReadDirectoryLists().empty());
        EXPECT_TRUE(m_told.empty());
    });
}

TEST_F(SettingsPageTest, AddFolderSavesThePickedFolderAndAnEmptyTitleOpensNoPicker) {
    Run([this] {
        m_picked = m_dir / "more/a";
        Click(Page().AddFolderButton());
        EXPECT_EQ(m_pickerCalls, std::vector<std::string>{"请选择目录：|"})
            << "the user's home, not the program's folder";
        const Folders expected = {m_dir / "scans", m_dir / "more/a"};
        EXPECT_EQ(Page().Folders(), expected);
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->folders, expected);
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->filter, "jpg") << "the filter stays";

        // Cancelled: the list is written as the box shows it, unchanged.
        m_picked.reset();
        const std::string before = Ini();
        Click(Page().AddFolderButton());
        EXPECT_EQ(m_pickerCalls.back(), "请选择目录：|" + m_dir / "more/a")
            << "the last folder chosen";
        EXPECT_EQ(Page().Folders(), expected);
        EXPECT_EQ(Ini(), before);

        // A folder whose path the list cannot hold is named and left out.
        m_dir.MakeDirs("odd*");
        m_picked = m_dir / "odd*/";
        Click(Page().AddFolderButton());
        EXPECT_EQ(m_told, (std::vector<Message>{{FolderUnstorableText(*m_picked), "提示"}}));
        EXPECT_EQ(Page().Folders(), expected);
        EXPECT_EQ(Ini(), before);

        // So is a folder inside one the list has.
        m_told.clear();
        m_picked = m_dir / "scans/2023";
        Click(Page().AddFolderButton());
        EXPECT_EQ(
            m_told,
            (std::vector<Message>{{FolderAlreadyListedText(*m_picked, m_dir / "scans"), "提示"}}));
        EXPECT_EQ(Ini(), before);

        m_told.clear();
        m_pickerCalls.clear();
        Page().DirectoryLists().SetText("");
        Click(Page().AddFolderButton());
        EXPECT_TRUE(m_pickerCalls.empty());
        EXPECT_EQ(m_told, (std::vector<Message>{{std::string(ListTitleEmptyText), "提示"}}));
        EXPECT_EQ(Ini(), before);
    });
}

TEST_F(SettingsPageTest, AFolderSavedUnderANewTitleMakesAListTheDropDownOffers) {
    // The title typed over the shown list's names another list: the box's
    // folders, the shown ones and the picked one, are saved under it.
    Run([this] {
        Page().DirectoryLists().SetText("Bench");
        m_picked = m_dir / "more/b";
        Click(Page().AddFolderButton());
        EXPECT_EQ(Settings().ReadDirectoryList("Bench")->folders,
                  (Folders{m_dir / "scans", m_dir / "more/b"}));
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->folders, Folders{m_dir / "scans"});
        EXPECT_EQ(ListTitles().back(), "Bench");
    });
}

TEST_F(SettingsPageTest, RemoveFolderTakesTheSelectedRowOnly) {
    ASSERT_FALSE(Settings().TrySaveDirectoryList(
        {"门店", {m_dir / "scans", m_dir / "more/a", m_dir / "more/b"}, "jpg", true}));
    Run([this] {
        ASSERT_EQ(Page().FolderList().RowCount(), 3);
        const std::string before = Ini();
        Click(Page().RemoveFolderButton());
        EXPECT_EQ(Page().FolderList().RowCount(), 3) << "no row selected: nothing happens";
        EXPECT_EQ(Ini(), before);

        Click(inject::PointIn(Page().FolderList().Handle(), 100, 40 + 20));
        ASSERT_EQ(Page().FolderList().SelectedRow(), 2);
        Click(Page().RemoveFolderButton());
        const Folders left = {m_dir / "scans", m_dir / "more/b"};
        EXPECT_EQ(Page().Folders(), left);
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->folders, left);
        EXPECT_TRUE(m_told.empty());
    });
}

TEST_F(SettingsPageTest, SaveFilterWritesTheBoxAndDoesNothingWithoutATitle) {
    Run([this] {
        Page().TypeFilterBox().SetText("png|.tif");
        Page().DirectoryLists().SetText("");
        const std::string before = Ini();
        Click(Page().SaveFilterButton());
        EXPECT_EQ(Ini(), before);
        EXPECT_TRUE(m_told.empty());

        EXPECT_NE(Status(), SavedText);

        Page().DirectoryLists().SetText("仓库");
        Click(Page().SaveFilterButton());
        EXPECT_EQ(Settings().ReadDirectoryList("仓库")->filter, "png|.tif");
        EXPECT_EQ(Status(), SavedText) << "confirmed in the band";
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->filter, "jpg");
    });
}

TEST_F(SettingsPageTest, OptionsChosenAreSavedWhenTheWindowCloses) {
    Run([] {
        // The window opened at the size it closed with (the fixture's), and
        // none of the window choices showed it.
        EXPECT_TRUE(Page().CustomSize().IsChecked());
        Click(Page().OpenFileOption());
        Click(Page().Maximised());
        EXPECT_EQ(Window().Options().doubleClick, core::DoubleClickAction::OpenFile);
        EXPECT_EQ(Window().Options().windowState, core::WindowSizeOption::Maximised);
    });
    EXPECT_EQ(Settings().ReadDoubleClickAction(), core::DoubleClickAction::OpenFile);
    EXPECT_EQ(Settings().ReadWindowState().option, core::WindowSizeOption::Maximised);
}

// A clerk typed the number in lower case, or in the input method's
// full-width mode, and the window said it found nothing.
TEST_F(SettingsPageTest, IgnoringCaseAndWidthIsStoredAtOnceAndTheNextSearchUsesIt) {
    BuildIndex();
    Run([this] {
        EXPECT_TRUE(Page().ExactMatchOption().IsChecked());
        Search().SearchBox().SetText("sf1400000000001");
        ClickButton(Search().SearchButton());
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Hits().Count(), 0u);
        EXPECT_EQ(Status(), FoundIgnoringCaseText(1)) << "the exact search says what it missed";

        ShowPage(3);
        Click(Page().IgnoreCaseAndWidthOption());
        EXPECT_TRUE(Settings().ReadIgnoreCaseAndWidth());
        SearchFor("ｓｆ1400000000001");
        EXPECT_EQ(Hits().Count(), 1u);
        EXPECT_EQ(Status(), FoundText(1));
    });
}

TEST_F(SettingsPageTest, DroppedFoldersJoinTheListInDropOrderAndFilesAndListedFoldersDoNot) {
    Run([this] {
        // Where a file manager drops: on the rows, which the window's own
        // drop handling resolves to the list box.
        const ExPoint at = inject::PointIn(Page().FolderList().Handle(), 100, 60);
        std::vector<std::u16string> paths;
        for (const char* name :
             {"more/b", "scans/SF1400000000001.jpg", "more/a", "gone", "scans/2023", "more/b"}) {
            paths.push_back(platform::NarrowToUtf16(m_dir / name));
        }
        EXPECT_TRUE(inject::DragFilesOver(Top(), at, paths));
        EXPECT_TRUE(inject::DropFiles(Top(), at, paths));

        const Folders expected = {m_dir / "scans", m_dir / "more/b", m_dir / "more/a"};
        EXPECT_EQ(Page().Folders(), expected);
        EXPECT_EQ(Settings().ReadDirectoryList("门店")->folders, expected);
        EXPECT_TRUE(Settings().ReadDirectoryList("门店")->created);
        // The folders the list covers already are named in one message.
        EXPECT_EQ(m_told,
                  (std::vector<Message>{{"目录「" + m_dir / "scans/2023" +
                                             "」已包含在列表中的目录「" + m_dir / "scans" +
                                             "」里\n目录「" + m_dir / "more/b" + "」已在列表中",
                                         "提示"}}));
    });
}

// Both refreshes of this page used to switch to the search page, and said
// nothing when they ended.
TEST_F(SettingsPageTest, ARefreshStartedHereStaysOnThePageAndTheBandSaysWhatItIndexed) {
    Run([] {
        for (const std::function<void()>& start :
             {std::function<void()>([] { Click(Page().RefreshButton()); }),
              std::function<void()>([] { ChooseThreadCount(3); })}) {
            start();
            EXPECT_EQ(Search().SelectedPage(), ui::Page::Settings);
            EXPECT_EQ(Status(), RefreshBusyText);
            ASSERT_TRUE(WaitForIdle());
            EXPECT_EQ(Search().SelectedPage(), ui::Page::Settings);
            EXPECT_EQ(Status(), "索引已刷新：1 个文件") << "the list's filter is jpg";
        }
    });
}

TEST_F(SettingsPageTest, ANewThreadCountRebuildsTheIndexWithThatManyShards) {
    BuildIndex();
    Run([this] {
        ChooseThreadCount(3);
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Page().ThreadCountText(), "3");
        EXPECT_EQ(Settings().ReadThreadCount().text, "3") << "stored with the new shards";
        EXPECT_EQ(::access((m_dir / "data/3.txt").c_str(), F_OK), 0);

        Window().Search().SearchBox().SetText("SF14");
        Click(Window().Search().SearchButton());
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Window().Rows().Count(), 1u) << "the filter of the list shown is jpg";
    });
    EXPECT_EQ(Settings().ReadThreadCount().text, "3");
}

TEST_F(SettingsPageTest, AFailedThreadCountChangeKeepsTheOldIndexAndCount) {
    BuildIndex();
    const std::string shards = m_dir.ReadFile("data/1.txt") + m_dir.ReadFile("data/2.txt");
    m_dir.MakeDirs("data/3.txt");  // Shard 3 cannot be put in place.
    Run([&] {
        ChooseThreadCount(3);
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Page().ThreadCountText(), "2") << "the selector shows the count in use";
        EXPECT_EQ(Settings().ReadThreadCount().text, "2");
        EXPECT_EQ(m_dir.ReadFile("data/1.txt") + m_dir.ReadFile("data/2.txt"), shards);
        EXPECT_EQ(Window().Search().Status().GetText().rfind("索引更新失败", 0), 0u);

        Window().Search().SearchBox().SetText("SF14");
        Click(Window().Search().SearchButton());
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Window().Rows().Count(), 1u) << "the old index still answers";
    });
    EXPECT_EQ(Settings().ReadThreadCount().text, "2");
}

TEST_F(SettingsPageTest, AThreadCountChangeIsRefusedWhileARefreshRuns) {
    BuildIndex();
    Run([this] {
        // A reader opening the index holds its commit back: the refresh runs
        // until the reader lets go.
        auto reader = std::make_unique<index::IndexReadLock>(m_dir.Path(), 2);
        Click(Page().RefreshButton());
        ASSERT_TRUE(app::CurrentProgram().activity.IsRefreshRunning());
        ShowPage(3);
        ChooseThreadCount(5);
        EXPECT_EQ(m_told,
                  (std::vector<Message>{
                      {ThreadCountRefusedText(core::StartOutcome::RefreshRunning), "提示"}}));
        EXPECT_EQ(Page().ThreadCountText(), "2");
        EXPECT_FALSE(Window().PendingThreadCount());
        reader.reset();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Settings().ReadThreadCount().text, "2");
        EXPECT_NE(::access((m_dir / "data/5.txt").c_str(), F_OK), 0);
    });
}

TEST_F(SettingsPageTest, ClosingDuringAThreadCountChangeLeavesTheCountToItsCommit) {
    // The window used to save the selector's count when it closed. Closed
    // while the new index was still being built, it stored a count the index
    // did not have when that refresh then failed.
    BuildIndex();
    m_dir.MakeDirs("data/5.txt");  // The new index will fail.
    Run([this] {
        // The refresh's end does not reach the window before it closes: the
        // reader holds the commit back, and the test the window's messages.
        auto reader = std::make_unique<index::IndexReadLock>(m_dir.Path(), 2);
        app::CurrentProgram().inbox.AttachWindow(0);
        ChooseThreadCount(5);
        ASSERT_EQ(Window().PendingThreadCount(), 5);
        EXPECT_EQ(Page().ThreadCountText(), "5");
        Window().Frame().Close();
        ASSERT_TRUE(inject::RunEventsUntil([] { return Window().Frame().Width() == 0; }, 5000));
        reader.reset();
    });
    app::CurrentProgram().refresher.Wait();
    EXPECT_EQ(Settings().ReadThreadCount().text, "2");
    EXPECT_EQ(::access((m_dir / "data/1.txt").c_str(), F_OK), 0);
}

// The objects of the page that hold no others: every control, label and
// caption, in the order they were made.
std::vector<ExHandle> Leaves(ExHandle parent) {
    std::vector<ExHandle> leaves;
    for (ExHandle child = Ex_ObjFind(parent, 0, nullptr, nullptr); child != 0;
         child = Ex_ObjFind(parent, child, nullptr, nullptr)) {
        const std::vector<ExHandle> inner = Leaves(child);
        leaves.insert(leaves.end(), inner.begin(), inner.end());
        if (inner.empty()) {
            leaves.push_back(child);
        }
    }
    return leaves;
}

class SettingsPageScrollTest : public SettingsPageTest {
  protected:
    // The object's rectangle in the window.
    static ExRect InWindow(ExHandle object) {
        const ExPoint origin = inject::PointIn(object, 0, 0);
        ExRect rect{};
        Ex_ObjGetRect(object, &rect);
        return {origin.x, origin.y, origin.x + rect.right - rect.left,
                origin.y + rect.bottom - rect.top};
    }
    // What of the page the window shows: the page less the bar.
    static ExRect Shown() {
        ExRect shown = InWindow(Ex_ObjGetParent(Page().Panel().Handle()));
        if (Ex_ObjIsVisible(Page().Panel().Bar()) != 0) {
            shown.right = InWindow(Page().Panel().Bar()).left;
        }
        return shown;
    }
    static ExPoint Centre(const ExRect& rect) {
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    // Wholly shown, and what a click at its centre reaches.
    static bool Reachable(ExHandle object) {
        const ExRect rect = InWindow(object);
        const ExRect shown = Shown();
        if (rect.left < shown.left || rect.top < shown.top || rect.right > shown.right ||
            rect.bottom > shown.bottom) {
            return false;
        }
        for (ExHandle hit = inject::ObjectAt(Top(), Centre(rect)); hit != 0;
             hit = Ex_ObjGetParent(hit)) {
            if (hit == object) {
                return true;
            }
        }
        return false;
    }
    // One notch of the wheel at `at` (window coordinates), routed by the
    // window to the object under it and on to its parents.
    static void Wheel(ExPoint at, int delta) { inject::Wheel(Top(), at, delta); }
    static ExPoint OnBar(int y) {
        const ExRect bar = InWindow(Page().Panel().Bar());
        return {(bar.left + bar.right) / 2, bar.top + y};
    }
    static int BarHeight() {
        const ExRect bar = InWindow(Page().Panel().Bar());
        return bar.bottom - bar.top;
    }
};

// At the smallest window (800 by 600) the thread count lay below the edge
// of the page, out of reach.
TEST_F(SettingsPageScrollTest, EveryControlCanBeScrolledIntoViewAndClicked) {
    Run([] {
        for (const auto& [width, height] :
             {std::pair(800, 600), std::pair(1024, 768), std::pair(1920, 1080)}) {
            SCOPED_TRACE(width);
            Window().Frame().Place({}, {}, width, height);
            inject::RunEvents(0);
            const std::vector<ExHandle> leaves = Leaves(Page().Panel().Handle());
            const bool allShown = std::all_of(leaves.begin(), leaves.end(), Reachable);
            EXPECT_EQ(Ex_ObjIsVisible(Page().Panel().Bar()) != 0, !allShown)
                << "the bar shows when, and only when, something is out of view";
            if (allShown) {
                ASSERT_NE(width, 800) << "the page is higher than the smallest window";
                continue;
            }
            // The wheel, over whatever control lies at the page's centre.
            for (const ExHandle leaf : leaves) {
                for (int notch = 0; notch < 20 && !Reachable(leaf); ++notch) {
                    Wheel(Centre(Shown()), InWindow(leaf).top < Shown().top ? 120 : -120);
                }
                EXPECT_TRUE(Reachable(leaf)) << "by the wheel: " << leaf;
            }
            // Presses on the track above the thumb page back to the top.
            const ExHandle first = leaves.front();
            for (int page = 0; page < 10 && !Reachable(first); ++page) {
                inject::Click(Top(), OnBar(1));
            }
            ASSERT_TRUE(Reachable(first)) << "by the track";
            // The thumb, now at the top, dragged down to the bottom.
            std::set<ExHandle> reached;
            inject::MouseDown(Top(), OnBar(5));
            for (int y = 5; y < BarHeight(); y += 5) {
                inject::MouseMove(Top(), OnBar(y), EX_MK_LBUTTON);
                std::copy_if(leaves.begin(), leaves.end(), std::inserter(reached, reached.end()),
                             Reachable);
            }
            inject::MouseUp(Top(), OnBar(BarHeight() - 1));
            EXPECT_EQ(reached.size(), leaves.size()) << "by the thumb";
        }
    });
}

}  // namespace
}  // namespace cj::ui
