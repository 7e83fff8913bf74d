// Dragging rows out of a list and the keys a list passes on to its owner,
// through the C API and the input injection, offscreen. The drags end in the
// test's stand-in, which sees the data a file manager or a chat window would
// get.
#include <string>
#include <thread>
#include <vector>

#include "list_view_test_support.h"

namespace exdui::test {
namespace {

struct Heard {
    int32_t code;
    intptr_t wParam;
    intptr_t lParam;
};

std::vector<Heard>* g_heard = nullptr;
// What the begin-drag handler drags out; empty: it starts no drag.
std::vector<ExDragFormat>* g_dragFormats = nullptr;
int32_t g_dragResult = -1;

intptr_t Record(ExHandle object, int32_t /*id*/, int32_t code, intptr_t wParam, intptr_t lParam) {
    g_heard->push_back({code, wParam, lParam});
    if (code == EX_LVN_BEGINDRAG && !g_dragFormats->empty()) {
        g_dragResult =
            Ex_ObjDoDragDrop(object, g_dragFormats->data(),
                             static_cast<int32_t>(g_dragFormats->size()), EX_DROPEFFECT_COPY);
    }
    return 0;
}

struct DragSeen {
    ExHandle source = 0;
    std::vector<inject::DragData> formats;
    uint32_t effects = 0;
};

class ListDragTest : public ListWindowTest {
  protected:
    // Rows of the default height, 30 pixels: the owner does not answer -97.
    static constexpr int RowPixels = 30;
    // Farther than any system's drag distance (Qt's 10 pixels, Windows' 4).
    static constexpr int FarEnough = 60;

    void SetUp() override {
        ListWindowTest::SetUp();
        g_heard = &heard;
        g_dragFormats = &dragFormats;
        g_dragResult = -1;
        list = Ex_ObjCreateEx(-1, u"ListView", nullptr, 0x50000008, 0, 0, 400, 600, surface, 0, -1,
                              0, 0, nullptr);
        ASSERT_NE(list, 0);
        for (const int32_t code : {EX_LVN_BEGINDRAG, EX_NM_KEYDOWN}) {
            Ex_ObjHandleEvent(list, code, Record);
        }
        Send(list, EX_LVM_SETITEMCOUNT, 20);
        inject::RunEvents(1);
        inject::SetDragOutAnswer([this](ExHandle source,
                                        const std::vector<inject::DragData>& formats,
                                        uint32_t effects) {
            drags.push_back({source, formats, effects});
            return EX_DROPEFFECT_COPY;
        });
    }

    void TearDown() override {
        inject::SetDragOutAnswer({});
        Ex_ObjDestroy(list);
        ListWindowTest::TearDown();
        g_heard = nullptr;
        g_dragFormats = nullptr;
    }

    static ExPoint RowCentre(int32_t row) { return {100, (row - 1) * RowPixels + RowPixels / 2}; }

    // Presses the left button at from with modifiers held, moves it by
    // (dx, dy) with the button held, and releases it there.
    void PressMoveRelease(ExPoint from, int dx, int dy, uint32_t modifiers = 0) {
        const ExPoint to{from.x + dx, from.y + dy};
        inject::MouseMove(window, inject::PointIn(list, from.x, from.y), modifiers);
        inject::MouseDown(window, inject::PointIn(list, from.x, from.y), inject::Button::Left,
                          modifiers);
        inject::MouseMove(window, inject::PointIn(list, to.x, to.y), modifiers);
        inject::MouseUp(window, inject::PointIn(list, to.x, to.y), inject::Button::Left, modifiers);
    }

    std::vector<int32_t> SelectedRows() {
        std::vector<int32_t> rows;
        for (int32_t row = 1; row <= 20; ++row) {
            if ((Send(list, EX_LVM_GETITEMSTATE, row) & EX_LVIS_SELECTED) != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    std::vector<Heard> HeardOf(int32_t code) const {
        std::vector<Heard> found;
        for (const Heard& h : heard) {
            if (h.code == code) {
                found.push_back(h);
            }
        }
        return found;
    }

    std::vector<Heard> heard;
    std::vector<ExDragFormat> dragFormats;
    std::vector<DragSeen> drags;
    ExHandle list = 0;
};

TEST_F(ListDragTest, MovingFromASelectedRowBeginsADragThatKeepsTheSelection) {
    Click(list, RowCentre(2));
    Click(list, RowCentre(4), EX_MK_SHIFT);
    // Short of the drag distance nothing begins.
    PressMoveRelease(RowCentre(3), 1, 0);
    EXPECT_TRUE(HeardOf(EX_LVN_BEGINDRAG).empty());
    EXPECT_EQ(SelectedRows(), std::vector<int32_t>{3}) << "a plain click selects the row alone";

    Click(list, RowCentre(2));
    Click(list, RowCentre(4), EX_MK_SHIFT);
    PressMoveRelease(RowCentre(3), 0, FarEnough);
    const std::vector<Heard> begun = HeardOf(EX_LVN_BEGINDRAG);
    ASSERT_EQ(begun.size(), 1u);
    EXPECT_EQ(begun[0].wParam, 3) << "the row pressed on";
    EXPECT_EQ(begun[0].lParam, 100 | ((2 * RowPixels + RowPixels / 2) << 16))
        << "where it was pressed, in the list's client coordinates";
    EXPECT_EQ(SelectedRows(), (std::vector<int32_t>{2, 3, 4})) << "all of them go with the drag";
}

TEST_F(ListDragTest, NoDragBeginsFromAnUnselectedPlaceOrADoubleClick) {
    // A press below the last row: nothing selected to drag.
    Send(list, EX_LVM_SETITEMCOUNT, 3);
    PressMoveRelease({100, 500}, 0, FarEnough);
    // A Ctrl press that unselects the row it lands on.
    Click(list, RowCentre(1));
    PressMoveRelease(RowCentre(1), 0, 2 * RowPixels, EX_MK_CONTROL);
    // The second press of a double-click, held and moved.
    inject::DoubleClickAndHold(window, inject::PointIn(list, RowCentre(2).x, RowCentre(2).y));
    const ExPoint away = inject::PointIn(list, RowCentre(3).x, RowCentre(3).y + FarEnough);
    inject::MouseMove(window, away);
    inject::MouseUp(window, away);
    EXPECT_TRUE(HeardOf(EX_LVN_BEGINDRAG).empty());
}

TEST_F(ListDragTest, TheDragCarriesEveryFormatByteForByte) {
    const std::string uris = "file:///srv/%E5%8D%95.jpg\r\nfile:///srv/%B5%A5\r\n";
    const std::string binary("\x14\0\0\0\xFF\x80", 6);
    dragFormats = {{"text/uri-list", uris.data(), uris.size()},
                   {"application/x-windows-hdrop", binary.data(), binary.size()},
                   {"text/plain", "", 0}};
    Click(list, RowCentre(5));
    PressMoveRelease(RowCentre(5), 0, FarEnough);
    ASSERT_EQ(drags.size(), 1u);
    const DragSeen& drag = drags[0];
    EXPECT_EQ(g_dragResult, EX_DROPEFFECT_COPY);
    EXPECT_EQ(drag.effects, static_cast<uint32_t>(EX_DROPEFFECT_COPY));
    EXPECT_EQ(drag.source, list);
    ASSERT_EQ(drag.formats.size(), 3u);
    EXPECT_EQ(drag.formats[0].mimeType, "text/uri-list");
    EXPECT_EQ(drag.formats[0].bytes, uris);
    EXPECT_EQ(drag.formats[1].mimeType, "application/x-windows-hdrop");
    EXPECT_EQ(drag.formats[1].bytes, binary);
    EXPECT_EQ(drag.formats[2].mimeType, "text/plain");
    EXPECT_EQ(drag.formats[2].bytes, "");
}

TEST_F(ListDragTest, ADragIsRefusedWithoutUsableFormatsAHandleOrTheUiThread) {
    const std::string text = "x";
    const ExDragFormat good{"text/plain", text.data(), text.size()};
    const ExDragFormat untyped{"", text.data(), text.size()};
    const ExDragFormat missing{"text/plain", nullptr, 4};
    EXPECT_EQ(Ex_ObjDoDragDrop(list, nullptr, 1, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    EXPECT_EQ(Ex_ObjDoDragDrop(list, &good, 0, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    EXPECT_EQ(Ex_ObjDoDragDrop(list, &untyped, 1, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    EXPECT_EQ(Ex_ObjDoDragDrop(list, &missing, 1, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    EXPECT_EQ(Ex_ObjDoDragDrop(list, &good, 1, 0), EX_DROPEFFECT_NONE) << "no effect allowed";
    EXPECT_EQ(Ex_ObjDoDragDrop(0, &good, 1, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    EXPECT_EQ(Ex_ObjDoDragDrop(surface, &good, 1, EX_DROPEFFECT_COPY), EX_DROPEFFECT_NONE);
    int32_t fromWorker = -1;
    std::thread([&] { fromWorker = Ex_ObjDoDragDrop(list, &good, 1, EX_DROPEFFECT_COPY); }).join();
    EXPECT_EQ(fromWorker, EX_DROPEFFECT_NONE);
    EXPECT_TRUE(drags.empty());

    EXPECT_EQ(Ex_ObjDoDragDrop(list, &good, 1, EX_DROPEFFECT_COPY | EX_DROPEFFECT_MOVE),
              EX_DROPEFFECT_COPY);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].effects, static_cast<uint32_t>(EX_DROPEFFECT_COPY | EX_DROPEFFECT_MOVE));
    // A target cannot take what the source did not allow.
    EXPECT_EQ(Ex_ObjDoDragDrop(list, &good, 1, EX_DROPEFFECT_MOVE), EX_DROPEFFECT_NONE);
}

TEST_F(ListDragTest, KeysTheListLeavesAloneReachTheOwnerWithTheirModifiers) {
    Click(list, RowCentre(1));
    Key('C', EX_MK_CONTROL);
    Key(EX_VK_RETURN);
    Key(EX_VK_DELETE, EX_MK_SHIFT);
    Key(EX_VK_DOWN);  // The list's own: moves the selection, not passed on.
    // The modifier keys come as keys of their own first; the others carry them.
    std::vector<Heard> keys;
    for (const Heard& key : HeardOf(EX_NM_KEYDOWN)) {
        if (key.wParam != EX_VK_CONTROL && key.wParam != EX_VK_SHIFT) {
            keys.push_back(key);
        }
    }
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].wParam, 'C');
    EXPECT_EQ(keys[0].lParam, EX_MK_CONTROL);
    EXPECT_EQ(keys[1].wParam, EX_VK_RETURN);
    EXPECT_EQ(keys[1].lParam, 0);
    EXPECT_EQ(keys[2].wParam, EX_VK_DELETE);
    EXPECT_EQ(keys[2].lParam, EX_MK_SHIFT);
    EXPECT_EQ(SelectedRows(), std::vector<int32_t>{2});

    // Ctrl+A is the list's own too: every row selected, only Ctrl passed on.
    const std::size_t before = HeardOf(EX_NM_KEYDOWN).size();
    Key('A', EX_MK_CONTROL);
    EXPECT_EQ(SelectedRows().size(), 20u);
    ASSERT_EQ(HeardOf(EX_NM_KEYDOWN).size(), before + 1);
    EXPECT_EQ(HeardOf(EX_NM_KEYDOWN).back().wParam, EX_VK_CONTROL);
}

}  // namespace
}  // namespace exdui::test
