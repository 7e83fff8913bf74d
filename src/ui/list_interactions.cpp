#include "ui/list_interactions.h"

#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

intptr_t Send(ExHandle list, std::int32_t message, intptr_t wParam = 0, intptr_t lParam = 0) {
    return Ex_ObjSendMessage(list, message, wParam, lParam);
}

// The double-click first makes the current row the only selected one, so
// that what it acts on is what the user sees highlighted. Returns that row.
std::size_t ReMarkCurrentRow(ExHandle list) {
    const intptr_t mark = Send(list, EX_LVM_GETSELECTIONMARK);
    Send(list, EX_LVM_SETSELECTIONMARK, 1, mark);
    return mark > 0 ? static_cast<std::size_t>(mark) : 0;
}

// Shows menu at the pointer; the chosen command comes back to the window
// procedure as EX_WM_COMMAND.
void ShowMenuAtCursor(ExHandle menu, ExHandle owner) {
    ExPoint cursor{};
    Ex_GetCursorPos(&cursor);
    Ex_TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, owner, nullptr, nullptr, 0);
}

}  // namespace

std::vector<std::size_t> SelectedRows(ExHandle list) {
    std::vector<std::size_t> rows;
    const intptr_t count = Send(list, EX_LVM_GETITEMCOUNT);
    for (intptr_t row = 1; row <= count; ++row) {
        if ((Send(list, EX_LVM_GETITEMSTATE, row) & EX_LVIS_SELECTED) != 0) {
            rows.push_back(static_cast<std::size_t>(row));
        }
    }
    return rows;
}

bool ListInteractions::OnNotify(const ExNotify& notify) {
    const ExHandle resultList = m_window.Search().ResultList();
    const ExHandle copyList = m_window.Copy().CopyList().Handle();
    if (notify.from == 0 || (notify.from != resultList && notify.from != copyList)) {
        return false;
    }
    if (notify.code == EX_NM_DBLCLK) {
        if (notify.from == resultList) {
            OnResultDoubleClick();
        } else if (Send(copyList, EX_LVM_GETITEMCOUNT) > 0) {
            ReMarkCurrentRow(copyList);
        }
        return true;
    }
    if (notify.code == EX_NM_RCLICK) {
        ShowMenuAtCursor(notify.from == resultList ? m_window.Search().Menu()
                                                   : m_window.Copy().Menu(),
                         notify.from);
        return true;
    }
    return false;
}

void ListInteractions::OnResultDoubleClick() {
    search::ResultsArray& records = m_window.Rows().Records();
    if (records.Count() == 0) {
        return;
    }
    const ExHandle resultList = m_window.Search().ResultList();
    const std::size_t row = ReMarkCurrentRow(resultList);
    const std::optional<core::DoubleClickAction> action = m_window.Options().doubleClick;
    if (!action) {
        return;
    }
    switch (*action) {
        case core::DoubleClickAction::AddToCopyList:
            m_window.CopyEntries().AddHit(records, row);
            Send(resultList, EX_LVM_UPDATE);
            break;
        case core::DoubleClickAction::CopyDirectly:
            m_window.QueueDirectCopy(row);
            break;
        case core::DoubleClickAction::OpenFile:
            break;
    }
}

void ListInteractions::AddSelectedHits() {
    const ExHandle resultList = m_window.Search().ResultList();
    const std::vector<std::size_t> rows = SelectedRows(resultList);
    m_window.CopyEntries().AddHits(m_window.Rows().Records(), rows);
    // One repaint for the whole batch, however many markers changed.
    Send(resultList, EX_LVM_UPDATE);
}

bool ListInteractions::OnCommand(intptr_t command) {
    switch (command) {
        case SelectAllCommand:
            Send(m_window.Search().ResultList(), EX_LVM_SETITEMSTATE, -1, EX_LVIS_SELECTED);
            return true;
        case AddSelectedCommand:
            AddSelectedHits();
            return true;
        case RemoveSelectedCommand:
            m_window.CopyEntries().RemoveRows(SelectedRows(m_window.Copy().CopyList().Handle()));
            return true;
        case BackUpListCommand:
            if (const std::error_code error = m_window.CopyEntries().TryWriteBackup()) {
                m_window.Search().ShowNotice(BackupFailedText(error), false);
            }
            return true;
        case ClearListCommand:
            m_window.CopyEntries().Clear();
            return true;
        case OpenFileCommand:
        case CopySelectedCommand:
        case CopyNamesCommand:
        case CopyPathsCommand:
        case ShowInFolderCommand:
            return true;  // The clipboard and the shell come later.
        default:
            return false;
    }
}

}  // namespace cj::ui
