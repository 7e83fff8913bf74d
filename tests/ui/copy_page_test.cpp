// The copy list, the copy job and the direct copy driven through the main
// window as a user drives them: double-clicks and right-click menus on the
// lists, the copy page's buttons, the copy progress window; offscreen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "copylist/list_backup.h"
#include "copylist/list_status.h"
#include "core/settings_file.h"
#include "file_size_limit.h"
#include "index/refresh.h"
#include "main_window_fixture.h"
#include "platform/free_space.h"
#include "temp_dir.h"
#include "ui/control_ids.h"
#include "ui/result_list.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

namespace fs = std::filesystem;
using search::CopyMark;

class CopyPageTest : public MainWindowFixture {
  protected:
    // Yes to every question (a folder to make, a list to clear), unless a
    // test asks otherwise.
    CopyPageTest() {
        m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
        m_dir.WriteFile("scans/2023/SF1400000000002.png", std::string(1536, 'p'));
        m_dir.WriteFile("scans/old/SF1400000000001.jpg", "older scan");
        m_answer = true;
    }

    static void ShowCopyPage() { ShowPage(2); }
    static void ShowSearchPage() { ShowPage(1); }
    static std::vector<std::string> CopyListPaths() {
        std::vector<std::string> paths;
        for (int row = 1; row <= Copy().CopyList().RowCount(); ++row) {
            paths.push_back(Copy().CopyList().CellText(row, 3));
        }
        return paths;
    }
    static std::vector<std::string> EntryPaths() {
        std::vector<std::string> paths;
        for (const copylist::CopyEntry& entry : Entries().Entries()) {
            paths.push_back(entry.path);
        }
        return paths;
    }
    static std::string StatusLine() { return Search().Status().GetText(); }
    // The marker's red, green and blue of result row (from 1), with no row
    // highlighted.
    struct Colour {
        int red, green, blue;
    };
    static Colour MarkerColour(int row) {
        Ex_ObjSendMessage(ResultList(), EX_LVM_SETITEMSTATE, -1, 0);
        inject::Leave(Top());  // The pointer leaves: no hot row either.
        const ExPoint at = inject::PointIn(ResultList(), 10, (row - 1) * ResultRowPixels + 30);
        const ExArgb pixel = inject::Grab(Top()).At(at.x, at.y);
        return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                static_cast<int>(pixel & 0xFF)};
    }
    // Whether the main window takes the user's clicks, with the copy page
    // shown and two rows or more in the copy list: a click on a row that is
    // not the current one makes it the current one.
    static bool TakesClicks() {
        const int row = Copy().CopyList().SelectedRow() == 1 ? 2 : 1;
        Click(CopyRow(row));
        return Copy().CopyList().SelectedRow() == row;
    }

    // Sparse files of 256 MiB: made at once, each copied in full, so a job
    // is still on its first files when the test acts.
    static constexpr int BigFiles = 6;
    void MakeBigFiles() const {
        for (int i = 0; i < BigFiles; ++i) {
            const std::string path = m_dir / ("scans/big/BIG" + std::to_string(i) + ".tif");
            fs::create_directories(fs::path(path).parent_path());
            const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::ftruncate(fd, off_t{256} << 20), 0);
            ::close(fd);
        }
    }
    // Adds the big files to the copy list and starts copying them into
    // target; returns once the job reports its first file.
    static void StartCopyingBigFiles(const std::string& target) {
        SearchFor("BIG");
        ASSERT_EQ(Hits().Count(), static_cast<std::size_t>(BigFiles));
        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "选中添加列表");
        ShowCopyPage();
        Copy().SetTargetText(target);
        ClickButton(Copy().CopyButton());
        const CopyProgressWindow& progress = Window().CopyWindow();
        ASSERT_TRUE(progress.IsOpen());
        ASSERT_TRUE(inject::RunEventsUntil(
            [&] { return progress.Counter().GetText() != "共：0 个文件，复制第：0 个"; }, 10000));
    }
    // The files in folder, each of which must be a whole copy of a big file.
    static int WholeFilesIn(const std::string& folder) {
        int whole = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_EQ(entry.file_size(), std::uintmax_t{256} << 20) << entry.path();
            ++whole;
        }
        return whole;
    }
};

TEST_F(CopyPageTest, DoubleClickAddsAHitOnceAndItsMarkerTurnsRedThenBlack) {
    BuildIndex();
    Run([] {
        SearchFor();
        DoubleClick(ResultRow(2));
        EXPECT_EQ(Hits().Mark(2), CopyMark::InCopyList);
        EXPECT_EQ(Ex_ObjSendMessage(ResultList(), EX_LVM_GETSELECTIONMARK, 0, 0), 2);
        ASSERT_EQ(EntryPaths(), std::vector<std::string>{std::string(Hits().Path(2))});
        EXPECT_EQ(CopyListPaths(), EntryPaths());
        const Colour red = MarkerColour(2);
        EXPECT_GE(red.red, 230);
        EXPECT_LE(red.green + red.blue, 60);

        DoubleClick(ResultRow(2));
        EXPECT_EQ(Hits().Mark(2), CopyMark::AddedAgain);
        EXPECT_EQ(Entries().Count(), 1u) << "added once";
        EXPECT_EQ(Copy().CopyList().RowCount(), 1);
        const Colour black = MarkerColour(2);
        EXPECT_LE(black.red + black.green + black.blue, 3 * 40);

        // A double-click on the copy list only makes its row the current one.
        ShowCopyPage();
        DoubleClick(CopyRow(1));
        EXPECT_EQ(Copy().CopyList().SelectedRow(), 1);
        EXPECT_EQ(Entries().Count(), 1u);
    });
}

TEST_F(CopyPageTest, SelectedHitsAreAddedAsOneBatchWithoutABackupAndSingleAdditionsWriteIt) {
    for (std::size_t i = 0; i < 8; ++i) {
        m_dir.WriteFile("scans/bulk/JD" + std::to_string(i) + ".jpg", std::string(10 + i, 'x'));
    }
    BuildIndex();
    const std::string backup = m_dir / "data/Backup.txt";
    Run([&] {
        SearchFor();
        const std::size_t hits = Hits().Count();
        ASSERT_EQ(hits, 11u);
        ChooseFromMenu(ResultRow(1), "全选");
        EXPECT_EQ(Ex_ObjSendMessage(ResultList(), EX_LVM_GETSELECTEDCOUNT, 0, 0),
                  static_cast<intptr_t>(hits));
        ChooseFromMenu(ResultRow(1), "选中添加列表");
        EXPECT_EQ(Entries().Count(), hits);
        EXPECT_EQ(Copy().CopyList().RowCount(), static_cast<int>(hits));
        EXPECT_EQ(CopyListPaths(), EntryPaths());
        for (std::size_t row = 1; row <= hits; ++row) {
            EXPECT_EQ(Hits().Mark(row), CopyMark::InCopyList) << row;
        }
        EXPECT_FALSE(fs::exists(backup)) << "a batch writes no backup";

        // An emptied list; five single additions write nothing, the sixth
        // the whole list.
        ShowCopyPage();
        ChooseFromMenu(CopyRow(1), "清空列表");
        ShowSearchPage();
        for (int row = 1; row <= 5; ++row) {
            DoubleClick(ResultRow(row));
        }
        EXPECT_FALSE(fs::exists(backup));
        DoubleClick(ResultRow(6));
        ASSERT_TRUE(fs::exists(backup));
        std::vector<std::string> saved;
        EXPECT_FALSE(copylist::TryReadBackupFile(backup, saved));
        EXPECT_EQ(saved, EntryPaths());
        EXPECT_EQ(saved.size(), 6u);
    });
}

TEST_F(CopyPageTest, RemovingSelectedRowsKeepsTheTotalsExactAndTheRowsInOrder) {
    BuildIndex();
    Run([&] {
        SearchFor();
        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "选中添加列表");
        ASSERT_EQ(Entries().Count(), 3u);
        const std::vector<copylist::CopyEntry> before = Entries().Entries();
        // The kept file grows after it was added: the list still counts what
        // it counted then.
        m_dir.WriteFile("scans/2023/SF1400000000002.png", std::string(9000, 'p'));

        ShowCopyPage();
        Click(CopyRow(1));
        Click(CopyRow(3), EX_MK_CONTROL);
        const std::size_t kept = 2;
        ChooseFromMenu(CopyRow(3), "删除选中");
        EXPECT_EQ(Entries().Count(), 1u);
        EXPECT_EQ(Entries().Bytes(), before[kept - 1].countedSize);
        EXPECT_EQ(EntryPaths(), std::vector<std::string>{before[kept - 1].path});
        EXPECT_EQ(CopyListPaths(), EntryPaths());
        EXPECT_EQ(Copy().CopyList().CellText(1, 1),
                  fs::path(before[kept - 1].path).filename().string());
    });
}

TEST_F(CopyPageTest, ClearingResetsTheBackupCounterAndARestoreKeepsIt) {
    BuildIndex();
    m_answer = false;
    Run([&] {
        SearchFor();
        DoubleClick(ResultRow(1));
        DoubleClick(ResultRow(2));
        ShowCopyPage();
        ChooseFromMenu(CopyRow(1), "备份列表");
        const std::vector<std::string> backedUp = EntryPaths();
        ASSERT_EQ(backedUp.size(), 2u);
        EXPECT_EQ(Status(), "列表已备份：2 个文件") << "the band says it is done";
        // "清空列表" asks first and says how many go; no keeps the list.
        ChooseFromMenu(CopyRow(1), "清空列表");
        EXPECT_EQ(EntryPaths(), backedUp);
        EXPECT_EQ(Copy().CopyList().RowCount(), 2);
        m_answer = true;
        ChooseFromMenu(CopyRow(1), "清空列表");
        EXPECT_EQ(Entries().Count(), 0u);
        EXPECT_EQ(Entries().Bytes(), 0);
        EXPECT_EQ(Entries().AutoBackupCounter(), 0);
        EXPECT_EQ(Copy().CopyList().RowCount(), 0);

        ShowSearchPage();
        DoubleClick(ResultRow(3));
        ASSERT_EQ(Entries().AutoBackupCounter(), 1);
        const std::vector<std::string> current = EntryPaths();

        // No: nothing changes.
        ShowCopyPage();
        m_answer = false;
        ClickButton(Copy().OpenBackup());
        EXPECT_EQ(EntryPaths(), current);
        // Yes: the backup's list, the counter as it was.
        m_answer = true;
        ClickButton(Copy().OpenBackup());
        EXPECT_EQ(EntryPaths(), backedUp);
        EXPECT_EQ(CopyListPaths(), backedUp);
        EXPECT_EQ(Entries().AutoBackupCounter(), 1);
    });
    ASSERT_EQ(m_asked.size(), 4u);
    EXPECT_EQ(m_asked[0], (Message{"确定清空列表吗？将移除 2 个文件。", "提示"}));
    EXPECT_EQ(m_asked[2], (Message{"是否打开备份？", "提示"}));
}

// A backup that was a FIFO held the window for good at "打开备份"; now it is
// refused at once and the band says why.
TEST_F(CopyPageTest, BackupThatIsNoRegularFileIsRefusedWithItsReason) {
    ASSERT_EQ(::mkfifo((m_dir / "data/Backup.txt").c_str(), 0600), 0);
    Run([&] {
        ShowCopyPage();
        ClickButton(Copy().OpenBackup());
        EXPECT_EQ(Status(), "打开备份失败（备份文件不是普通文件）");
    });
}

TEST_F(CopyPageTest, AFileCollectedInOneSearchIsMarkedInTheNextAndAddedOnce) {
    // Double-clicked in one search and added again with "选中添加列表" from
    // the next, a file sat in the list twice and its size counted twice.
    BuildIndex();
    Run([] {
        SearchFor("SF1400000000002");
        DoubleClick(ResultRow(1));
        const std::int64_t bytes = Entries().Bytes();

        SearchFor();
        const std::size_t row = HitEndingIn("SF1400000000002.png");
        ASSERT_NE(row, 0u);
        EXPECT_EQ(Hits().Mark(row), CopyMark::InCopyList);
        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "选中添加列表");
        EXPECT_EQ(Entries().Count(), 3u);
        EXPECT_EQ(Copy().CopyList().RowCount(), 3);
        EXPECT_EQ(Entries().Bytes(), bytes + 4 + 10);

        ShowCopyPage();
        ChooseFromMenu(CopyRow(1), "清空列表");
        EXPECT_EQ(Hits().Mark(row), CopyMark::None) << "no longer in the list";
    });
}

TEST_F(CopyPageTest, ClosingTheWindowBacksUpTheListItCollected) {
    // The list lived only in the window: whatever was collected since the
    // last backup went with it.
    BuildIndex();
    std::string path;
    Run([&] {
        SearchFor();
        DoubleClick(ResultRow(1));
        path = Hits().Path(1);
    });
    EXPECT_EQ(m_dir.ReadFile("data/Backup.txt"), path + std::string(copylist::BackupSeparator));
}

TEST_F(CopyPageTest, BrowseFillsTheTargetBoxWithTheChosenFolder) {
    std::vector<std::pair<std::string, std::string>> asked;
    Run([&] {
        const std::string chosen = m_dir / "out";
        Window().Dialogs().pickFolder =
            [&](const std::string& title, const std::string& start) -> std::optional<std::string> {
            asked.emplace_back(title, start);
            return asked.size() == 1 ? std::optional<std::string>(chosen) : std::nullopt;
        };
        ShowCopyPage();
        ClickButton(Copy().Browse());
        EXPECT_EQ(Copy().TargetText(), chosen);
        ClickButton(Copy().Browse());
        EXPECT_EQ(Copy().TargetText(), chosen) << "a cancelled picker keeps the box";
    });
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].first, "请选择目录：");
    EXPECT_EQ(asked[1].second, m_dir / "out") << "starts in the folder chosen last";
}

TEST_F(CopyPageTest, TheTargetBoxIsSavedAtTheEndAndShownAtTheStart) {
    const std::string target = m_dir / "快递单";
    Run([&] { Copy().SetTargetText(target); });
    EXPECT_EQ(core::SettingsFile::InRunDirectory(m_dir.Path()).ReadCopyTarget(), target);
    Run([&] { EXPECT_EQ(Copy().TargetText(), target); });
}

TEST_F(CopyPageTest, StatusTextsFollowTheListAndTheTargetsFileSystem) {
    // A sparse file of 1.5 GiB: the list's size reads 1536 MB.
    const std::string big = m_dir / "scans/SF1400000000009.tif";
    {
        const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{3} << 29), 0);
        ::close(fd);
    }
    BuildIndex();
    Run([&] {
        EXPECT_EQ(Search().AddedCount().GetText(), "添加：0 个文件");
        Copy().SetTargetText(m_dir / "not/yet");
        SearchFor();
        DoubleClick(ResultRow(static_cast<int>(HitEndingIn(".tif"))));
        ASSERT_TRUE(inject::RunEventsUntil(
            [] { return Copy().ListSize().GetText() == "列表占用空间：1536 MB"; }, 5000))
            << Copy().ListSize().GetText();
        EXPECT_EQ(Search().AddedCount().GetText(), "添加：1 个文件");
        // The folder does not exist: its nearest existing ancestor is asked.
        const std::string free = Copy().FreeSpace().GetText();
        EXPECT_EQ(free.rfind("磁盘可用空间：", 0), 0u) << free;
        EXPECT_NE(free, "磁盘可用空间：0 MB");
        EXPECT_EQ(free.find("-"), std::string::npos) << free;
    });
}

TEST_F(CopyPageTest, CopyWithAnEmptyBoxAsksForTheFolderAndACancelCopiesNothing) {
    BuildIndex();
    int asked = 0;
    Run([&] {
        Window().Dialogs().pickFolder = [&](const std::string&, const std::string&) {
            ++asked;
            return std::optional<std::string>();
        };
        SearchFor();
        DoubleClick(ResultRow(1));
        DoubleClick(ResultRow(2));
        ShowCopyPage();
        Copy().SetTargetText("");
        ClickButton(Copy().CopyButton());
        EXPECT_FALSE(Window().CopyWindow().IsOpen());
        EXPECT_FALSE(app::CurrentProgram().copyJob.IsRunning());
        EXPECT_EQ(Copy().TargetText(), "");
        EXPECT_TRUE(TakesClicks());
    });
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(fs::exists(m_dir / "data/CopyReport.txt"));
}

TEST_F(CopyPageTest, TheJobCopiesIntoANewFolderSkipsAnExistingTargetAndSaysSo) {
    BuildIndex();
    const std::string out = m_dir / "out";
    Run([&] {
        SearchFor();
        // Both scans named SF1400000000001.jpg, the newer first, then the png.
        const std::size_t newer = HitEndingIn("scans/SF1400000000001.jpg");
        const std::size_t older = HitEndingIn("old/SF1400000000001.jpg");
        const std::size_t png = HitEndingIn(".png");
        ASSERT_TRUE(newer != 0 && older != 0 && png != 0);
        for (const std::size_t row : {newer, older, png}) {
            DoubleClick(ResultRow(static_cast<int>(row)));
        }
        ASSERT_EQ(Entries().Count(), 3u);
        ShowCopyPage();
        Window().Dialogs().pickFolder = [&](const std::string&, const std::string&) {
            return std::optional<std::string>(out);
        };
        Copy().SetTargetText("");

        // The window takes no report until the test has looked at it.
        JobInbox& inbox = app::CurrentProgram().inbox;
        inbox.AttachWindow(0);
        ClickButton(Copy().CopyButton());
        EXPECT_EQ(Copy().TargetText(), out) << "the chosen folder fills the box";
        const CopyProgressWindow& progress = Window().CopyWindow();
        ASSERT_TRUE(progress.IsOpen());
        EXPECT_EQ(progress.Frame().Width(), 450);
        EXPECT_EQ(progress.Frame().Height(), 255);
        EXPECT_EQ(progress.Counter().GetText(), "共：0 个文件，复制第：0 个");
        EXPECT_EQ(progress.StopButton().GetText(), "停止复制");
        EXPECT_FALSE(TakesClicks()) << "the progress window holds the main window";
        inbox.AttachWindow(Window().Frame().WindowHandle());

        ASSERT_TRUE(inject::RunEventsUntil([&] { return !progress.IsOpen(); }, 10000));
        EXPECT_TRUE(TakesClicks());
        EXPECT_EQ(StatusLine(), "已复制 2 个，未复制 1 个");
        ASSERT_NE(Ex_ObjIsVisible(Search().CopyReportButton().Handle()), 0);
        std::string opened;
        Window().Dialogs().openFile = [&](const std::string& path) {
            opened = path;
            return true;
        };
        ClickButton(Search().CopyReportButton());
        EXPECT_EQ(opened, m_dir / "data/CopyReport.txt") << "the report button opens the report";
    });
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), "jpeg") << "the first one wins";
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000002.png"), std::string(1536, 'p'));
    const std::string report = m_dir.ReadFile("data/CopyReport.txt");
    EXPECT_NE(report.find(m_dir / "scans/old/SF1400000000001.jpg"), std::string::npos) << report;
    EXPECT_NE(report.find("已存在，未覆盖"), std::string::npos) << report;
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator{}), 2)
        << "nothing but the copied files goes into the target folder";
}

TEST_F(CopyPageTest, AFileThatDoesNotFitIsNamedInTheReportWithItsReason) {
    m_dir.WriteFile("scans/SF1400000000003.tif", std::string(256 * 1024, 't'));
    BuildIndex();
    const std::string out = m_dir / "out";
    Run([&] {
        SearchFor();
        DoubleClick(ResultRow(static_cast<int>(HitEndingIn(".tif"))));
        DoubleClick(ResultRow(static_cast<int>(HitEndingIn(".png"))));
        ShowCopyPage();
        Copy().SetTargetText(out);
        test::FileSizeLimit limit(64 * 1024);  // The report itself is smaller.
        ASSERT_TRUE(limit.IsSet());
        ClickButton(Copy().CopyButton());
        ASSERT_TRUE(inject::RunEventsUntil([] { return !Window().CopyWindow().IsOpen(); }, 10000));
        EXPECT_EQ(StatusLine(), "已复制 1 个，未复制 1 个");
    });
    EXPECT_FALSE(fs::exists(out + "/SF1400000000003.tif")) << "no partial file";
    const std::string report = m_dir.ReadFile("data/CopyReport.txt");
    EXPECT_NE(report.find("SF1400000000003.tif：磁盘空间不足"), std::string::npos) << report;
}

TEST_F(CopyPageTest, CopyAsksBeforeAListLargerThanTheFreeSpaceAndBeforeMakingFolders) {
    // Every file failed with "找不到文件或目标文件夹" when the folder's parent
    // was missing, and a list larger than the disk was only found out file by
    // file. A sparse file counted larger than the free space, then cut down,
    // so that a yes copies little.
    std::uint64_t free = 0;
    ASSERT_FALSE(platform::FreeBytes(m_dir.Path(), free));
    const std::string huge = m_dir / "scans/SF1400000000009.tif";
    m_dir.WriteFile("scans/SF1400000000009.tif", "");
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(free + (std::uint64_t{1} << 30))), 0);
    BuildIndex();
    const std::string out = m_dir / "out/2026/门店";
    std::vector<std::string> asked;
    std::vector<bool> answers;
    Run([&] {
        inject::SetMessageBoxAnswer(
            [&](ExHandle, std::u16string_view text, std::u16string_view, uint32_t type) {
                EXPECT_EQ(type & 0xF, static_cast<uint32_t>(EX_MB_YESNO));
                asked.push_back(platform::Utf16ToNarrow(text));
                const bool answer = !answers.empty() && answers.front();
                if (!answers.empty()) {
                    answers.erase(answers.begin());
                }
                return answer ? EX_IDYES : EX_IDNO;
            });
        SearchFor();
        DoubleClick(ResultRow(static_cast<int>(HitEndingIn(".tif"))));
        DoubleClick(ResultRow(static_cast<int>(HitEndingIn(".png"))));
        ASSERT_EQ(::truncate(huge.c_str(), 4), 0);
        ShowCopyPage();
        Copy().SetTargetText(out);
        const auto copyAnswering = [&](std::vector<bool> given) {
            asked.clear();
            answers = std::move(given);
            ClickButton(Copy().CopyButton());
        };

        copyAnswering({false});
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0].find("放不下全部文件"), std::string::npos) << asked[0];
        EXPECT_FALSE(Window().CopyWindow().IsOpen());

        copyAnswering({true, false});
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[1], "目标文件夹不存在：\n" + out + "\n是否创建并复制？");
        EXPECT_FALSE(Window().CopyWindow().IsOpen());
        EXPECT_FALSE(fs::exists(m_dir / "out")) << "a no leaves nothing";

        copyAnswering({true, true});
        EXPECT_EQ(asked.size(), 2u);
        ASSERT_TRUE(inject::RunEventsUntil([] { return !Window().CopyWindow().IsOpen(); }, 10000));
        EXPECT_EQ(StatusLine(), "复制完成：2 个文件");
    });
    EXPECT_EQ(m_dir.ReadFile("out/2026/门店/SF1400000000002.png"), std::string(1536, 'p'));
    EXPECT_EQ(fs::file_size(out + "/SF1400000000009.tif"), 4u);
}

TEST_F(CopyPageTest, KeepBothIsChosenOnThePageKeptAndCopiesBothSameNameFiles) {
    BuildIndex();
    const std::string out = m_dir / "out";
    m_dir.WriteFile("out/SF1400000000001.jpg", "the user's own");
    Run([&] {
        ShowCopyPage();
        EXPECT_EQ(Copy().SameName().GetText(), "跳过") << "the default";
        ChooseFromDropDown(Copy().SameName(), 2);
        EXPECT_EQ(Settings().ReadSameNameRule(), core::SameNameRule::KeepBoth) << "kept at once";

        ShowSearchPage();
        SearchFor("SF1400000000001");
        ChooseFromMenu(ResultRow(1), "全选");
        ChooseFromMenu(ResultRow(1), "选中添加列表");
        ShowCopyPage();
        Copy().SetTargetText(out);
        ClickButton(Copy().CopyButton());
        ASSERT_TRUE(inject::RunEventsUntil([] { return !Window().CopyWindow().IsOpen(); }, 10000));
        EXPECT_EQ(StatusLine(), "复制完成：2 个文件，改名 2 个");
    });
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), "the user's own") << "nothing replaced";
    std::vector<std::string> copies = {m_dir.ReadFile("out/SF1400000000001 (2).jpg"),
                                       m_dir.ReadFile("out/SF1400000000001 (3).jpg")};
    std::sort(copies.begin(), copies.end());
    EXPECT_EQ(copies, (std::vector<std::string>{"jpeg", "older scan"}));
    Run([] { EXPECT_EQ(Copy().SameName().GetText(), "保留两者") << "shown at the next start"; });
}

TEST_F(CopyPageTest, StopEndsTheJobAndLeavesNoPartialFile) {
    MakeBigFiles();
    BuildIndex();
    const std::string out = m_dir / "out";
    Run([&] {
        StartCopyingBigFiles(out);
        const CopyProgressWindow& progress = Window().CopyWindow();
        ClickButton(progress.StopButton());
        EXPECT_EQ(progress.StopButton().GetText(), "正在停止...");
        ASSERT_TRUE(inject::RunEventsUntil([&] { return !progress.IsOpen(); }, 60000));
        EXPECT_EQ(StatusLine().rfind("已停止：已复制 ", 0), 0u) << StatusLine();
    });
    // The stop takes effect within the file being copied (copylist's tests
    // pin that): any number of whole files before it, and nothing else.
    EXPECT_LT(WholeFilesIn(out), BigFiles);
}

TEST_F(CopyPageTest, ClosingTheWindowDuringTheJobStopsItAndLeavesNoPartialFile) {
    MakeBigFiles();
    BuildIndex();
    const std::string out = m_dir / "out";
    Run([&] { StartCopyingBigFiles(out); });  // The window closes as the job copies.
    EXPECT_FALSE(app::HasProgram() && app::CurrentProgram().copyJob.IsRunning());
    EXPECT_LT(WholeFilesIn(out), BigFiles);
}

TEST_F(CopyPageTest, ClosingTheWindowDuringADirectCopyLeavesNoPartialFile) {
    MakeBigFiles();
    BuildIndex();
    const std::string out = m_dir / "direct";
    Run([&] {
        Window().Options().doubleClick = core::DoubleClickAction::CopyDirectly;
        Copy().SetTargetText(out);
        SearchFor("BIG");
        for (int row = 1; row <= BigFiles; ++row) {
            DoubleClick(ResultRow(row));
        }
    });
    if (fs::exists(out)) {
        EXPECT_LT(WholeFilesIn(out), BigFiles);
    }
}

TEST_F(CopyPageTest, ADirectCopyMarksTheHitBlueAtOnceAndShowsItsEnd) {
    BuildIndex();
    const std::string out = m_dir / "direct";
    Run([&] {
        Window().Options().doubleClick = core::DoubleClickAction::CopyDirectly;
        SearchFor();
        const int png = static_cast<int>(HitEndingIn(".png"));
        // An empty box asks for the folder first; a cancel copies nothing.
        Copy().SetTargetText("");
        std::optional<std::string> answer;
        Window().Dialogs().pickFolder = [&](const std::string&, const std::string&) {
            return answer;
        };
        DoubleClick(ResultRow(png));
        EXPECT_EQ(Hits().Mark(static_cast<std::size_t>(png)), CopyMark::None);
        EXPECT_EQ(Ex_ObjIsVisible(Search().DirectCopyBar().Handle()), 0);
        answer = out;

        // The window takes no report of the copy until the test has looked.
        JobInbox& inbox = app::CurrentProgram().inbox;
        inbox.AttachWindow(0);
        DoubleClick(ResultRow(png));
        EXPECT_EQ(Hits().Mark(static_cast<std::size_t>(png)), CopyMark::CopiedDirectly);
        EXPECT_NE(Ex_ObjIsVisible(Search().DirectCopyBar().Handle()), 0);
        EXPECT_EQ(Entries().Count(), 0u) << "not added to the copy list";
        EXPECT_EQ(Copy().TargetText(), out) << "the chosen folder fills the box";
        const Colour blue = MarkerColour(png);
        EXPECT_GE(blue.blue, 230);
        EXPECT_LE(blue.red + blue.green, 60);
        inbox.AttachWindow(Window().Frame().WindowHandle());

        ASSERT_TRUE(inject::RunEventsUntil(
            [] { return Ex_ObjIsVisible(Search().DirectCopyBar().Handle()) == 0; }, 10000));
        EXPECT_EQ(StatusLine(), "复制完成：1 个文件");
        EXPECT_EQ(Ex_ObjIsVisible(Search().CopyReportButton().Handle()), 0)
            << "no report to look at when every file was copied";
        // Again: the target exists now and is left alone.
        DoubleClick(ResultRow(png));
        ASSERT_TRUE(inject::RunEventsUntil(
            [] { return Ex_ObjIsVisible(Search().DirectCopyBar().Handle()) == 0; }, 10000));
        EXPECT_EQ(StatusLine(), "已复制 0 个，未复制 1 个");
        EXPECT_NE(Ex_ObjIsVisible(Search().CopyReportButton().Handle()), 0);
    });
    EXPECT_EQ(m_dir.ReadFile("direct/SF1400000000002.png"), std::string(1536, 'p'));
}

}  // namespace
}  // namespace cj::ui
