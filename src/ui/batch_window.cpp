#include "ui/batch_window.h"

#include <utility>

#include "platform/code_page.h"
#include "ui/object_owners.h"
#include "ui/texts.h"
#include "ui/window_style.h"

namespace cj::ui {
namespace {

// The main window's look: a red band over a light grey client.
constexpr ExArgb ClientGrey = 0xFFDCDCDC;
constexpr ExArgb Band = 0xC8FF0000;
constexpr ExArgb WindowRed = 0xFFFF0000;
constexpr int BandPixels = 40;
constexpr ExArgb White = 0xFFFFFFFF;
constexpr ExArgb Black = 0xFF000000;
constexpr ExArgb NoticeColour = 0xFFDC143C;  // The busy label's crimson.
// How often the count follows what the user types or pastes.
constexpr int CountInterval = 300;

// The box of each surface and input box, for their procedures. Never
// destroyed, so that a procedure that hears of its object's end while the
// process exits still finds it.
ObjectOwners<BatchWindow>& Boxes() {
    static auto* boxes = new ObjectOwners<BatchWindow>;
    return *boxes;
}

#ifdef _WIN32
constexpr std::string_view ClipboardLineEnd = "\r\n";
#else
constexpr std::string_view ClipboardLineEnd = "\n";
#endif

enum BatchWindowId : int {
    BatchLabelId = 1100,  // Every label of the box.
    BatchInputId = 1101,
    BatchTableId = 1102,
    BatchSearchId = 1103,
    CopyMissingId = 1104,
};

void PaintBox(ExHandle surface, ExHandle canvas) {
    PaintBandedBackground(surface, canvas, ClientGrey, Band, BandPixels);
}

}  // namespace

std::string MissingNumbersText(const std::vector<search::BatchNumber>& numbers) {
    std::string text;
    for (const search::BatchNumber& number : numbers) {
        if (number.files == 0) {
            text += number.number;
            text += ClipboardLineEnd;
        }
    }
    return text;
}

bool BatchWindow::Open(ExHandle owner, std::string_view text) {
    if (!m_open) {
        const std::u16string title = platform::NarrowToUtf16(BatchBoxTitle);
        const ExHandle window = Ex_WndCreate(owner, nullptr, title.c_str(), 0, 0, BatchWindowWidth,
                                             BatchWindowHeight, 0, 0);
        if (window == 0) {
            return false;
        }
        FrameWindowDescription d;
        d.embedded = true;
        d.existingWindow = window;
        d.title = std::string(BatchBoxTitle);
        d.width = BatchWindowWidth;
        d.height = BatchWindowHeight;
        d.background = WindowRed;
        d.style = BuildWindowStyle(
            {.centred = 1, .closeButton = 1, .movable = 1, .escapeCloses = 1, .notMainWindow = 1});
        d.outSurface = &m_surface;
        d.content = [this] { CreateControls(); };
        d.procedure = &BatchWindow::Procedure;
        m_open = m_frame.Create(d);
        if (!m_open) {
            return false;
        }
    }
    if (!text.empty()) {
        ForgetLastRun();
        m_input.SetText(text);
        UpdateCount();
    }
    m_input.Focus();
    return true;
}

void BatchWindow::Close() {
    if (m_open) {
        m_frame.Close();
        m_open = false;
    }
}

void BatchWindow::CreateControls() {
    Boxes().Set(m_surface, *this);
    m_title.Create({.parent = m_surface,
                    .id = BatchLabelId,
                    .x = 15,
                    .y = 10,
                    .width = 400,
                    .height = 20,
                    .text = std::string(BatchBoxTitle),
                    .textColour = White});
    m_inputCaption.Create({.parent = m_surface,
                           .id = BatchLabelId,
                           .x = 15,
                           .y = 50,
                           .width = 330,
                           .height = 20,
                           .text = std::string(BatchInputCaption)});
    m_input.Create({.parent = m_surface,
                    .id = BatchInputId,
                    .x = 15,
                    .y = 75,
                    .width = 300,
                    .height = 320,
                    .multiLine = true,
                    .textColour = Black,
                    .procedure = &BatchWindow::InputProcedure});
    Boxes().Set(m_input.Handle(), *this);
    m_count.Create({.parent = m_surface,
                    .id = BatchLabelId,
                    .x = 15,
                    .y = 405,
                    .width = 300,
                    .height = 20,
                    .text = BatchCountText(0)});
    m_tableCaption.Create({.parent = m_surface,
                           .id = BatchLabelId,
                           .x = 335,
                           .y = 50,
                           .width = 370,
                           .height = 20,
                           .text = std::string(BatchTableCaption)});
    m_table.Create({.parent = m_surface,
                    .id = BatchTableId,
                    .x = 335,
                    .y = 75,
                    .width = 370,
                    .height = 320,
                    .verticalScrollBar = true,
                    .styleBits = EX_RLVS_HLINES,
                    .background = 0xFFFFFFFF,
                    .border = 0x1E000000,
                    .header = 0xFFF0F0F0,
                    .rowHeight = 26,
                    .iconSize = 0});
    m_table.AddColumn(BatchNumberColumn, 190);
    m_table.AddColumn(BatchFilesColumn, 80);
    m_table.AddColumn(BatchResultColumn, 80);
    FillTable();
    m_summary.Create(
        {.parent = m_surface, .id = BatchLabelId, .x = 335, .y = 405, .width = 370, .height = 20});
    m_notice.Create({.parent = m_surface,
                     .id = BatchLabelId,
                     .x = 15,
                     .y = 432,
                     .width = 690,
                     .height = 20,
                     .textColour = NoticeColour});
    m_search.Create({.parent = m_surface,
                     .id = BatchSearchId,
                     .title = std::string(BatchSearchButtonText),
                     .textColour = White,
                     .normal = 0xC8FF0000,
                     .hover = 0xE8FF0000,
                     .pressed = 0xFFB00000,
                     .radius = 3,
                     .x = 15,
                     .y = 458,
                     .width = 150,
                     .height = 30});
    m_copyMissing.Create({.parent = m_surface,
                          .id = CopyMissingId,
                          .title = std::string(CopyMissingButtonText),
                          .textColour = White,
                          .normal = 0xC8FF0000,
                          .hover = 0xE8FF0000,
                          .pressed = 0xFFB00000,
                          .radius = 3,
                          .x = 585,
                          .y = 458,
                          .width = 120,
                          .height = 30});
    BindEvent<&BatchWindow::OnSearchClick>(m_search, EX_NM_CLICK, *this);
    BindEvent<&BatchWindow::OnCopyMissingClick>(m_copyMissing, EX_NM_CLICK, *this);
    BindEvent<&BatchWindow::OnInputKey>(m_input, EX_NM_KEYDOWN, *this);
    BindEvent<&BatchWindow::OnCountTimer>(m_count, EX_NM_TIMER, *this);
    BindEvent<&BatchWindow::OnColumnClick>(m_table, EX_LVN_COLUMNCLICK, *this);
    Ex_ObjSetTimer(m_count.Handle(), CountInterval);
    m_countedText.clear();
}

intptr_t BatchWindow::Procedure(ExHandle /*window*/, ExHandle surface, int32_t message,
                                intptr_t wParam, intptr_t /*lParam*/, intptr_t* result) {
    BatchWindow* self = Boxes().Find(surface);
    switch (message) {
        case EX_WM_ERASEBKGND:
            PaintBox(surface, static_cast<ExHandle>(wParam));
            if (result != nullptr) {
                *result = 1;
            }
            return 1;
        case EX_WM_DESTROY:
            // Closed by its button or Escape as well as by Close.
            if (self != nullptr) {
                self->m_open = false;
            }
            Boxes().Forget(surface);
            return 0;
        default:
            return 0;
    }
}

void BatchWindow::ShowNumbers(const std::vector<search::BatchNumber>& numbers, bool complete) {
    m_numbers = numbers;
    m_complete = complete;
    FillTable();
}

void BatchWindow::FillTable() const {
    m_table.DeleteAllRows();
    m_table.AppendRows(BatchTableRows(m_numbers, m_complete, m_order, Band));
    m_table.SetSortMark(static_cast<int>(m_order.column), m_order.ascending);
}

void BatchWindow::ForgetLastRun() {
    m_numbers.clear();
    FillTable();
    m_summary.SetText({});
    m_notice.SetText({});
    if (m_actions.newList) {
        m_actions.newList();
    }
}

intptr_t BatchWindow::OnColumnClick(const ControlEvent& event) {
    if (event.wParam < 1 || event.wParam > static_cast<intptr_t>(BatchColumn::Result)) {
        return 0;
    }
    m_order = NextOrder(m_order, static_cast<BatchColumn>(event.wParam));
    FillTable();
    return 0;
}

intptr_t BatchWindow::InputProcedure(ExHandle /*window*/, ExHandle object, int32_t message,
                                     intptr_t /*wParam*/, intptr_t /*lParam*/,
                                     intptr_t* /*result*/) {
    if (message == EX_WM_DESTROY) {
        Boxes().Forget(object);
    }
    if (message != EX_WM_PASTE) {
        return 0;
    }
    BatchWindow* self = Boxes().Find(object);
    try {
        if (self != nullptr) {
            self->ForgetLastRun();
        }
    } catch (...) {
        // Out of memory: the table stays; the paste goes on all the same.
    }
    return 0;  // The box pastes as usual.
}

void BatchWindow::UpdateCount() {
    std::string text = m_input.GetText();
    if (text == m_countedText) {
        return;
    }
    m_count.SetText(BatchCountText(search::SplitBatchNumbers(text).size()));
    m_countedText = std::move(text);
}

intptr_t BatchWindow::OnSearchClick(const ControlEvent& /*event*/) {
    UpdateCount();
    if (m_actions.search) {
        m_actions.search(m_input.GetText());
    }
    return 0;
}

intptr_t BatchWindow::OnInputKey(const ControlEvent& event) {
    if (event.wParam != EX_VK_RETURN || (event.lParam & EX_MK_CONTROL) == 0) {
        return 0;
    }
    // Ctrl+Enter searches and adds no line to the list.
    OnSearchClick(event);
    return 1;
}

intptr_t BatchWindow::OnCopyMissingClick(const ControlEvent& /*event*/) {
    if (m_actions.copyMissing) {
        m_actions.copyMissing();
    }
    return 0;
}

intptr_t BatchWindow::OnCountTimer(const ControlEvent& /*event*/) {
    UpdateCount();
    return 0;
}

}  // namespace cj::ui
