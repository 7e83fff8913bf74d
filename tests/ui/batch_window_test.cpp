// The batch search driven through the window as a clerk drives it: a list
// pasted into the search box or the batch box, Ctrl+Enter and the box's
// buttons, the grouped rows in the result list, the counts, the per-number
// table and the missing numbers on the clipboard; offscreen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "platform/desktop/clipboard.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

// The numbers a courier's claim lists, and the scans a shop holds of them.
class BatchWindowTest : public MainWindowFixture {
  protected:
    BatchWindowTest() {
        m_dir.WriteFile("scans/SF1400000000001.jpg", "front");
        m_dir.WriteFile("scans/2023/SF1400000000001-back.png", "back");
        m_dir.WriteFile("scans/JD0000000002.jpg", "jd");
        m_dir.WriteFile("scans/old/YT3000000000003.jpg", "yt");
        m_dir.WriteFile("scans/other/ZZ9000000000009.jpg", "not asked for");
        EXPECT_FALSE(Settings().TrySaveThreadCount("2"));
    }

    void BuildIndex() { MainWindowFixture::BuildIndex(2); }

    // The clipboard writes are caught.
    void OnWindowShown() override {
        Window().Dialogs().setClipboardText = [this](std::string_view text) {
            m_clipboard.emplace_back(text);
            return true;
        };
    }

    static BatchWindow& Box() { return Window().Batch(); }
    using MainWindowFixture::Click;
    static void Click(const Control& control) { ClickButton(control); }

    static ExHandle BoxWindow() { return Box().Frame().WindowHandle(); }
    // Puts text on the clipboard and pastes it into the control with Ctrl+V.
    static void Paste(const Control& control, const char* text) {
        ASSERT_TRUE(desktop::TrySetClipboardText(text));
        const ExHandle window = WindowOf(control.Handle());
        inject::Click(window, inject::PointIn(control.Handle(), 60, control.Height() / 2));
        ASSERT_NE(inject::FocusedObject(window), 0);
        inject::Key(window, 'V', EX_MK_CONTROL);
    }
    // A key in the batch box's input, clicked into first unless it has the focus.
    static void KeyInBox(int32_t key, uint32_t modifiers = 0) {
        ASSERT_TRUE(Box().IsOpen());
        const ExHandle input = Box().Input().Handle();
        if (inject::FocusedObject(BoxWindow()) != input) {
            inject::Click(BoxWindow(), inject::PointIn(input, 60, 20));
        }
        ASSERT_EQ(inject::FocusedObject(BoxWindow()), input);
        inject::Key(BoxWindow(), key, modifiers);
    }
    static void PressCtrlEnterInBox() { KeyInBox(EX_VK_RETURN, EX_MK_CONTROL); }
    // The table as rows of its three cells.
    static std::vector<std::vector<std::string>> TableRows() {
        std::vector<std::vector<std::string>> rows;
        const ReportList& table = Box().Table();
        for (int row = 1; row <= table.RowCount(); ++row) {
            rows.push_back(
                {table.CellText(row, 1), table.CellText(row, 2), table.CellText(row, 3)});
        }
        return rows;
    }
    // Clicks the table's header (at the top of its client area, at least
    // 24 pixels high) at x.
    static void ClickTitle(int x) {
        inject::Click(BoxWindow(), inject::PointIn(Box().Table().Handle(), x, 10));
    }
    static void ChooseFromResultMenu(const char* text) { ChooseFromMenu(ResultRow(1), text); }

    std::vector<std::string> m_clipboard;  // What the window put on the clipboard.
};

// A claim as clerks paste it: a spreadsheet column with a blank line, a chat
// message with full-width commas, an enumeration comma and a semicolon, a
// number repeated, and two numbers the shop never scanned.
constexpr char Claim[] =
    "SF1400000000001\r\n\r\nJD0000000002，SF1400000000001、ZT4000000000004；\tEMS5000000000005\n"
    "YT3000000000003\n";

TEST_F(BatchWindowTest, PastedListShowsItsRowsByNumberTheCountsAndTheMissingNumbers) {
    BuildIndex();
    Run([this] {
        Paste(Window().Search().SearchBox(), Claim);
        ASSERT_TRUE(Box().IsOpen()) << "a pasted list opens the batch box";
        EXPECT_EQ(Window().Search().SearchBox().GetText(), "") << "the list is not a keyword";
        EXPECT_EQ(Box().Count().GetText(), "已识别 5 个单号");

        const std::string pasted = Box().Input().GetText();
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Box().Input().GetText(), pasted) << "Ctrl+Enter added no line";

        // The rows come number by number in the list's order, each file once.
        std::vector<std::string> rowNumbers;
        for (std::size_t row = 1; row <= Hits().Count(); ++row) {
            const std::string_view path = Hits().Path(row);
            for (const char* number : {"SF1400000000001", "JD0000000002", "YT3000000000003"}) {
                if (path.find(number) != std::string_view::npos) {
                    rowNumbers.emplace_back(number);
                }
            }
        }
        EXPECT_EQ(rowNumbers, (std::vector<std::string>{"SF1400000000001", "SF1400000000001",
                                                        "JD0000000002", "YT3000000000003"}));
        EXPECT_EQ(Ex_ObjSendMessage(Window().Search().ResultList(), EX_LVM_GETITEMCOUNT, 0, 0), 4);
        EXPECT_EQ(Status(), "单号：找到 3 个，缺少 2 个");
        EXPECT_EQ(TableRows(), (std::vector<std::vector<std::string>>{
                                   {"SF1400000000001", "2", "找到"},
                                   {"JD0000000002", "1", "找到"},
                                   {"ZT4000000000004", "0", "缺少"},
                                   {"EMS5000000000005", "0", "缺少"},
                                   {"YT3000000000003", "1", "找到"},
                               }));
        EXPECT_EQ(Box().Summary().GetText(), "单号：找到 3 个，缺少 2 个，共 4 个文件");

        // The hits go to the copy list as a single search's do.
        ChooseFromResultMenu("全选");
        ChooseFromResultMenu("选中添加列表");
        EXPECT_EQ(Window().CopyEntries().Count(), 4u);

        Click(Box().CopyMissingButton());
        EXPECT_EQ(m_clipboard, (std::vector<std::string>{"ZT4000000000004\nEMS5000000000005\n"}));
        EXPECT_EQ(Box().Notice().GetText(), "已复制 2 个缺少单号到剪贴板");
    });
}

// A number typed in lower case was marked "缺少" and sent back to the
// courier, though its scan was there.
TEST_F(BatchWindowTest, NumberFoundOnlyIgnoringCaseSaysSoInsteadOfMissing) {
    BuildIndex();
    Run([] {
        Paste(Window().Search().SearchBox(), "jd0000000002\nSF1400000000001\n");
        ASSERT_TRUE(Box().IsOpen());
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(TableRows(), (std::vector<std::vector<std::string>>{
                                   {"jd0000000002", "0", "缺少（忽略大小写可找到 1 个）"},
                                   {"SF1400000000001", "2", "找到"},
                               }));
    });
}

// Before the first refresh a search read "找到：0 个文件" and a batch marked
// every number "缺少": a clerk reported parcels lost that were on the disk.
TEST_F(BatchWindowTest, WithoutAnIndexSearchAndBatchSayHowToBuildOne) {
    Run([this] {
        Window().Search().SearchBox().SetText("SF1400000000001");
        Click(Window().Search().SearchButton());
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Status(), std::string(NoIndexText));
        Paste(Window().Search().SearchBox(), Claim);
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Status(), std::string(NoIndexText));
        EXPECT_EQ(Box().Summary().GetText(), std::string(NoIndexText));
        ASSERT_EQ(Box().Table().RowCount(), 5);
        EXPECT_EQ(Box().Table().CellText(3, 3), std::string(BatchUnsureWord));
    });
}

TEST_F(BatchWindowTest, ListWithoutNumbersSearchesNothingAndSaysSo) {
    BuildIndex();
    Run([this] {
        Click(Window().Search().BatchButton());
        ASSERT_TRUE(Box().IsOpen());
        Paste(Box().Input(), " ，、；\r\n\t,;\n\n");
        Click(Box().SearchButton());
        EXPECT_EQ(Box().Notice().GetText(), std::string(BatchNothingToSearchText));
        EXPECT_TRUE(app::CurrentProgram().activity.IsIdle());
        EXPECT_TRUE(Ex_ObjIsVisible(Window().Search().ResultList()) != 0) << "no busy label";
        EXPECT_EQ(Status(), "找到：0 个文件");
        EXPECT_EQ(Box().Table().RowCount(), 0);

        // Nothing searched: nothing missing to copy either.
        Click(Box().CopyMissingButton());
        EXPECT_TRUE(m_clipboard.empty());

        // A list past the command line's limit is refused as there, not
        // matched with gigabytes of tables.
        Window().StartBatch(std::string(search::MaxBatchListBytes + 1, '7'));
        EXPECT_EQ(Box().Notice().GetText(), std::string(BatchListTooLargeText));
        EXPECT_TRUE(app::CurrentProgram().activity.IsIdle());
    });
}

TEST_F(BatchWindowTest, OneNumberPastedWithItsLineBreakStaysInTheSearchBox) {
    // A spreadsheet cell copies as its text and a line break; the box must
    // not take the break into the keyword, nor open the batch box for it.
    BuildIndex();
    Run([] {
        Paste(Window().Search().SearchBox(), "JD0000000002\r\n");
        EXPECT_FALSE(Box().IsOpen());
        EXPECT_EQ(Window().Search().SearchBox().GetText(), "JD0000000002");
    });
}

TEST_F(BatchWindowTest, BatchStartedWhileOneRunsStopsItAndItsMissingNumbersAreNotOffered) {
    // The index lock is held: the batch waits for it before it opens a shard
    // until the test has pressed Ctrl+Enter a second time.
    BuildIndex();
    Run([&] {
        platform::FileLock gate = HoldIndex();
        Click(Window().Search().BatchButton());
        Paste(Box().Input(), Claim);
        PressCtrlEnterInBox();
        ASSERT_TRUE(app::CurrentProgram().activity.IsSearchRunning());
        EXPECT_FALSE(Ex_ObjIsVisible(Window().Search().ResultList()) != 0) << "busy";
        PressCtrlEnterInBox();
        EXPECT_TRUE(app::CurrentProgram().activity.IsSearchStopRequested());
        EXPECT_EQ(Box().Notice().GetText(), std::string(BatchStoppingText));
        gate.Unlock();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_TRUE(Status().starts_with("搜索未完成")) << Status();
        for (const std::vector<std::string>& row : TableRows()) {
            EXPECT_NE(row[2], "缺少") << row[0] << " may be in the part not searched";
        }
        Click(Box().CopyMissingButton());
        EXPECT_TRUE(m_clipboard.empty());
        EXPECT_EQ(Box().Notice().GetText(), std::string(MissingUnsureText));

        // Searched again to its end, the same list gives its missing numbers.
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Status(), "单号：找到 3 个，缺少 2 个");
        Click(Box().CopyMissingButton());
        EXPECT_EQ(m_clipboard, (std::vector<std::string>{"ZT4000000000004\nEMS5000000000005\n"}));
    });
}

TEST_F(BatchWindowTest, OutcomeOfABatchReplacedByANewerOneNeverShows) {
    // The first batch ends and reports while the window takes no messages
    // (the test holds them back); the user starts a second batch, which waits
    // for the index lock the test holds. When the window then takes its
    // messages, the first batch's outcome must neither end the second one's
    // busy state nor fill the list or the table.
    BuildIndex();
    Run([&] {
        JobInbox& inbox = app::CurrentProgram().inbox;
        Click(Window().Search().BatchButton());
        Paste(Box().Input(), "ZZ9000000000009\nSF1400000000001\n");
        inbox.AttachWindow(0);
        PressCtrlEnterInBox();
        app::CurrentProgram().batch.Wait();  // Its outcome now waits in the inbox.

        platform::FileLock gate = HoldIndex();
        Box().Input().SetText(Claim);
        PressCtrlEnterInBox();
        ASSERT_TRUE(app::CurrentProgram().activity.IsSearchRunning());
        inbox.AttachWindow(Top());
        inject::RunEvents(0);  // The first batch's outcome arrives now.
        EXPECT_FALSE(Ex_ObjIsVisible(Window().Search().ResultList()) != 0) << "still busy";
        EXPECT_EQ(Status(), "找到：0 个文件") << "the first batch's counts never show";
        EXPECT_EQ(Box().Table().RowCount(), 0);
        EXPECT_EQ(Hits().Count(), 0u);

        gate.Unlock();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Status(), "单号：找到 3 个，缺少 2 个");
        EXPECT_EQ(Box().Table().RowCount(), 5);
    });
}

TEST_F(BatchWindowTest, BatchOutcomeNeverReplacesTheRowsOfASearchStartedSince) {
    // The batch's generation is still the last batch's, but the list now
    // belongs to the single search the user started after it. The batch's
    // outcome waits (the test holds the window's messages back) until then.
    BuildIndex();
    Run([&] {
        JobInbox& inbox = app::CurrentProgram().inbox;
        Click(Window().Search().BatchButton());
        Paste(Box().Input(), Claim);
        inbox.AttachWindow(0);
        PressCtrlEnterInBox();
        app::CurrentProgram().batch.Wait();

        platform::FileLock gate = HoldIndex();
        const Control& searchBox = Window().Search().SearchBox();
        searchBox.SetText("ZZ9000000000009");
        Click(inject::PointIn(searchBox.Handle(), 60, searchBox.Height() / 2));
        inject::Key(Top(), EX_VK_RETURN);
        ASSERT_TRUE(app::CurrentProgram().activity.IsSearchRunning());
        inbox.AttachWindow(Top());
        inject::RunEvents(0);  // The batch's outcome arrives now.
        EXPECT_FALSE(Ex_ObjIsVisible(Window().Search().ResultList()) != 0) << "still busy";
        EXPECT_EQ(Status(), "找到：0 个文件");

        gate.Unlock();
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(Status(), "找到：1 个文件");
        ASSERT_EQ(Hits().Count(), 1u);
        EXPECT_TRUE(Hits().Path(1).ends_with("ZZ9000000000009.jpg"));
    });
}

// The table could be read only in the list's order, so the missing numbers
// of a long claim were scattered through it; and a new list pasted into the
// box still showed the last run's numbers beside it.
TEST_F(BatchWindowTest, TableSortsByAClickedTitleAndANewListClearsIt) {
    BuildIndex();
    Run([this] {
        Paste(Window().Search().SearchBox(), Claim);
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        using Rows = std::vector<std::vector<std::string>>;
        const std::vector<std::string> sf{"SF1400000000001", "2", "找到"};
        const std::vector<std::string> jd{"JD0000000002", "1", "找到"};
        const std::vector<std::string> zt{"ZT4000000000004", "0", "缺少"};
        const std::vector<std::string> ems{"EMS5000000000005", "0", "缺少"};
        const std::vector<std::string> yt{"YT3000000000003", "1", "找到"};
        // The middle of each column's title (widths 190, 80, 80).
        ClickTitle(310);
        EXPECT_EQ(TableRows(), (Rows{zt, ems, sf, jd, yt})) << "missing first, else list order";
        ClickTitle(310);
        EXPECT_EQ(TableRows(), (Rows{sf, jd, yt, zt, ems}));
        ClickTitle(230);
        EXPECT_EQ(TableRows(), (Rows{zt, ems, jd, yt, sf}));
        ClickTitle(95);
        EXPECT_EQ(TableRows(), (Rows{ems, jd, sf, yt, zt}));

        Paste(Box().Input(), "SF1400000000001\nJD0000000002\n");
        EXPECT_EQ(Box().Table().RowCount(), 0);
        EXPECT_EQ(Box().Summary().GetText(), "");
        Click(Box().CopyMissingButton());
        EXPECT_TRUE(m_clipboard.empty()) << "the last run's numbers are not offered";
    });
}

TEST_F(BatchWindowTest, BoxClosesWithEscapeAndReopensWithTheLastNumbers) {
    BuildIndex();
    Run([] {
        Paste(Window().Search().SearchBox(), Claim);
        PressCtrlEnterInBox();
        ASSERT_TRUE(WaitForIdle());
        KeyInBox(EX_VK_ESCAPE);
        ASSERT_TRUE(inject::RunEventsUntil([] { return !Box().IsOpen(); }, 5000));
        Click(Window().Search().BatchButton());
        ASSERT_TRUE(Box().IsOpen());
        EXPECT_EQ(Box().Table().RowCount(), 5);
        EXPECT_EQ(Box().Table().CellText(3, 3), "缺少");
    });
}

}  // namespace
}  // namespace cj::ui
