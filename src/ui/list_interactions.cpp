#include "ui/list_interactions.h"

#include "core/event_log.h"
#include "platform/desktop/clipboard.h"
#include "platform/files.h"
#include "shell/clipboard_payload.h"
#include "ui/control_ids.h"
#include "ui/desktop_handover.h"
#include "ui/file_transfer.h"
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
        ShowMenuAtCursor(
            notify.from == resultList ? m_window.Search().Menu() : m_window.Copy().Menu(),
            notify.from);
        return true;
    }
    if (notify.code == EX_NM_KEYDOWN) {
        if (notify.from == resultList) {
            return OnResultKey(notify.wParam, notify.lParam);
        }
        if (notify.wParam == 'C' && (notify.lParam & EX_MK_CONTROL) != 0) {
            if (!TryCopyFiles(SelectedEntryPaths())) {
                core::LogFailure("把文件放到剪贴板失败");
            }
            return true;
        }
        return notify.wParam == EX_VK_DELETE && OnCommand(RemoveSelectedCommand);
    }
    if (notify.code == EX_LVN_BEGINDRAG && notify.from == resultList) {
        // A drop that nobody took needs no word: the user sees it come back.
        static_cast<void>(DragFiles(resultList, SelectedPaths()));
        return true;
    }
    return false;
}

bool ListInteractions::OnResultKey(intptr_t key, intptr_t modifiers) {
    const bool ctrl = (modifiers & EX_MK_CONTROL) != 0;
    if (key == 'C' && ctrl) {
        return OnCommand(CopySelectedCommand);
    }
    if (key == EX_VK_RETURN && !ctrl) {
        OnResultEnter();
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
            m_window.QueueDirectCopy(std::span(&row, 1));
            break;
        case core::DoubleClickAction::OpenFile:
            OpenCurrentFile();
            break;
    }
}

void ListInteractions::OnResultEnter() {
    const search::ResultsArray& records = m_window.Rows().Records();
    std::vector<std::size_t> rows = SelectedRows(m_window.Search().ResultList());
    // Rows the list counts while a search has just emptied the array have no hit.
    std::erase_if(rows, [&records](std::size_t row) { return row > records.Count(); });
    if (rows.size() < 2) {
        OnResultDoubleClick();
        return;
    }
    // Several hits: each gets the double-click's action, and they stay
    // selected for the next step (Ctrl+C, a drag).
    const std::optional<core::DoubleClickAction> action = m_window.Options().doubleClick;
    if (!action) {
        return;
    }
    switch (*action) {
        case core::DoubleClickAction::AddToCopyList:
            AddSelectedHits();
            break;
        case core::DoubleClickAction::CopyDirectly:
            m_window.QueueDirectCopy(rows);
            break;
        case core::DoubleClickAction::OpenFile:
            // Ctrl+A and Enter would start a program for every hit.
            if (rows.size() > ManyFilesToOpen &&
                !m_window.Ask(OpenManyFilesQuestion(rows.size()))) {
                return;
            }
            OpenFilesOrTell(m_window.Dialogs(), SelectedPaths());
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

std::vector<std::string> ListInteractions::SelectedPaths() {
    const search::ResultsArray& records = m_window.Rows().Records();
    std::vector<std::string> paths;
    for (const std::size_t row : SelectedRows(m_window.Search().ResultList())) {
        // The list may count rows the array no longer holds while a search
        // has just emptied it; such rows have no file.
        if (row <= records.Count()) {
            paths.emplace_back(records.Path(row));
        }
    }
    return paths;
}

std::string ListInteractions::CurrentPath() {
    const search::ResultsArray& records = m_window.Rows().Records();
    const intptr_t mark = Send(m_window.Search().ResultList(), EX_LVM_GETSELECTIONMARK);
    if (mark <= 0 || static_cast<std::size_t>(mark) > records.Count()) {
        return {};
    }
    return std::string(records.Path(static_cast<std::size_t>(mark)));
}

// Without a current hit there is nothing to open: the desktop would only be
// handed an empty path to fail on.
void ListInteractions::OpenCurrentFile() {
    if (std::string path = CurrentPath(); !path.empty()) {
        OpenFilesOrTell(m_window.Dialogs(), {std::move(path)});
    }
}

void ListInteractions::ShowCurrentInFolder() {
    if (const std::string path = CurrentPath(); !path.empty()) {
        ShowInFolderOrTell(m_window.Dialogs(), path);
    }
}

std::vector<std::string> ListInteractions::SelectedEntryPaths() {
    const std::vector<copylist::CopyEntry>& entries = m_window.CopyEntries().Entries();
    std::vector<std::string> paths;
    for (const std::size_t row : SelectedRows(m_window.Copy().CopyList().Handle())) {
        if (row <= entries.size()) {
            paths.push_back(entries[row - 1].path);
        }
    }
    return paths;
}

std::string ListInteractions::CurrentEntryPath() {
    const std::vector<copylist::CopyEntry>& entries = m_window.CopyEntries().Entries();
    const int row = m_window.Copy().CopyList().SelectedRow();
    if (row <= 0 || static_cast<std::size_t>(row) > entries.size()) {
        return {};
    }
    return entries[static_cast<std::size_t>(row) - 1].path;
}

void ListInteractions::OpenCurrentEntry(bool inFolder) {
    std::string path = CurrentEntryPath();
    if (path.empty()) {
        return;
    }
    if (inFolder) {
        ShowInFolderOrTell(m_window.Dialogs(), path);
    } else {
        OpenFilesOrTell(m_window.Dialogs(), {std::move(path)});
    }
}

void ListInteractions::ClearCopyList() {
    const std::size_t count = m_window.CopyEntries().Count();
    if (count == 0) {
        return;
    }
    if (!m_window.Ask(ClearListQuestion(count))) {
        return;
    }
    m_window.CopyEntries().Clear();
    m_window.ShowListMarks();
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
            m_window.ShowListMarks();
            return true;
        case BackUpListCommand: {
            const std::error_code error = m_window.CopyEntries().TryWriteBackup();
            m_window.Search().ShowNotice(
                error ? BackupFailedText(error) : BackupDoneText(m_window.CopyEntries().Count()),
                false);
            return true;
        }
        case ClearListCommand:
            ClearCopyList();
            return true;
        case OpenEntryCommand:
            OpenCurrentEntry(false);
            return true;
        case ShowEntryInFolderCommand:
            OpenCurrentEntry(true);
            return true;
        case OpenFileCommand:
            OpenCurrentFile();
            return true;
        // A clipboard that cannot be taken stays as it was: the user sees the
        // old content come with the paste and copies again.
        case CopySelectedCommand:
            if (!TryCopyFiles(SelectedPaths())) {
                core::LogFailure("把文件放到剪贴板失败");
            }
            return true;
        case CopyNamesCommand:
            if (!desktop::TrySetClipboardText(shell::NamesText(SelectedPaths()))) {
                core::LogFailure("把文件名放到剪贴板失败");
            }
            return true;
        case CopyPathsCommand:
            if (!desktop::TrySetClipboardText(shell::PathsText(SelectedPaths()))) {
                core::LogFailure("把路径放到剪贴板失败");
            }
            return true;
        case ShowInFolderCommand:
            ShowCurrentInFolder();
            return true;
        default:
            return false;
    }
}

}  // namespace cj::ui
